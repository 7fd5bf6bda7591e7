// The composed scene under a frame's overlays, kept between frames. Every painted frame starts
// from the same base (the scene picture, a playing movie's picture, the attached message window
// blended over them, and while a message waits the window's second blend with the message's
// shadow and text and the window buttons) and then draws the printing text, the click-wait
// icon, the buttons, menus and the status line over it. While the base's inputs stay the same,
// a frame need not compose it again: only the part of the back buffer that was drawn over since
// the last frame is copied back from the kept base. The same bookkeeping tells the platform
// which part of the frame can differ from the one it showed last, so it does not compare whole
// frames.
#pragma once

#include <cstdint>

#include "graphics/abitmap.h"
#include "text/window_buttons.h"

namespace orva {

// Everything the base is made from, as picture generations (unique per write, see TABitmap)
// and the few values of the composition. Equal keys compose equal bases.
struct FrameBaseKey {
    uint64_t Scene = 0;
    uint64_t Movie = 0;   // 0 when no movie picture is drawn
    uint64_t Window = 0;  // 0 when the message window is not blended in
    uint16_t Opacity = 0;
    bool Covers = false;  // the scene covers the whole back buffer, so the base owes nothing to older frames
    // A waiting message's window drawn again with its shadow and text layers (0: not in the base).
    uint64_t WaitWindow = 0, WaitShadow = 0, WaitText = 0;
    uint16_t WaitOpacity = 0;
    // The window buttons over them, from the parts sheet in these looks (0: not in the base).
    uint64_t ButtonSheet = 0;
    ButtonStates Buttons{};
    bool operator==(const FrameBaseKey&) const = default;
};

struct FrameRect {
    int X = 0, Y = 0, W = 0, H = 0;
    bool Empty() const { return W <= 0 || H <= 0; }
};

class FrameCache {
public:
    // Off: every frame composes its base (the reference the cached frames are checked against).
    bool Enabled = true;
    // The frame being painted has the waiting message's window and text in its base, so the
    // message's own draw leaves them out.
    bool BaseHasWaitingText = false;
    // … and the window buttons, so their own draw leaves them out.
    bool BaseHasButtons = false;

    // Brings `back` to the frame's base: `compose(back)` draws it when the key changed (the
    // result is kept), otherwise the part written since the last call is copied back from the
    // kept base. Afterwards back's written box is cleared, so it collects the overlays.
    template <typename Compose>
    void BeginFrame(TABitmap& back, const FrameBaseKey& key, Compose&& compose) {
        if (Reuse(back, key)) return;
        compose(back);
        Keep(back, key);
    }

    // The part of `back` that can differ from the frame last handed to Presented: whole after a
    // new base, otherwise what was copied back plus what was drawn since. Frames painted but not
    // presented add to it.
    FrameRect Changed(const TABitmap& back) const;
    // `back` is now the frame the platform shows.
    void Presented() { Pending = {}; PendingWhole = false; }

private:
    bool Reuse(TABitmap& back, const FrameBaseKey& key);
    void Keep(TABitmap& back, const FrameBaseKey& key);
    void AddPending(const FrameRect& r);

    TABitmap Base;           // the last composed base
    FrameBaseKey Key;        // what it was made from
    bool Valid = false;
    FrameBaseKey ComposedKey;  // the last base composed, kept or not
    bool Composed = false;     // ComposedKey is set
    FrameRect Pending;       // changed since the last presented frame, besides back's written box
    bool PendingWhole = true;
};

}  // namespace orva
