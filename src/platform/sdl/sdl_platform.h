// The SDL2 platform: the main window (800×600 logical), the detached message window, the
// confirmation dialog and the debug window, each presenting 32-bit pictures through its own
// renderer; keyboard state, cursor, focus, full screen on the desktop's own resolution.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace orva {

struct SdlOptions {
    int Scale = 1;          // window size in multiples of the logical size
    bool Smooth = false;    // linear instead of whole-pixel scaling
    std::string Title;      // the main window's title
};

class SdlPlatform : public Platform {
public:
    explicit SdlPlatform(SdlOptions options);
    ~SdlPlatform() override;
    // Opens the four windows (all but the main one hidden). False with SDL's reason when there
    // is no display.
    bool Init(std::string& error);

    uint32_t Ticks() override;
    void Sleep(uint32_t ms) override { SDL_Delay(ms); }
    void PumpMessages(PlatformEvents& events) override;
    bool KeyDown(Key key) override;
    Point CursorIn(WindowId window) override;
    void SetCursorVisible(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }
    WindowId Foreground() override;
    void ShowWindow(WindowId window, bool visible) override;
    bool IsWindowVisible(WindowId window) override;
    void PlaceWindow(WindowId window, Point mainClient) override;
    void Present(WindowId window, const TABitmap& picture) override;
    void SetFullScreen(bool on) override;
    bool IsFullScreen() override { return FullScreen; }
    void BeginModal(WindowId dialog) override;
    void EndModal(WindowId dialog) override;
    bool ModalAutoConfirm() override { return false; }
    void SetTextInput(bool on) override;

private:
    struct Win {
        SDL_Window* Window = nullptr;
        SDL_Renderer* Renderer = nullptr;
        SDL_Texture* Texture = nullptr;
        int LogicalW = 0, LogicalH = 0;  // client size in logical pixels
        int TexW = 0, TexH = 0;          // size of the texture
    };
    static size_t Index(WindowId w) { return static_cast<size_t>(w); }
    WindowId FromSdlId(uint32_t id) const;
    Point ToLogical(WindowId w, int x, int y) const;
    int ScaleOf(WindowId w) const { return w == WindowId::Main && FullScreen ? 1 : Options.Scale; }

    SdlOptions Options;
    std::array<Win, 4> Wins;
    uint64_t Start = 0;        // SDL_GetTicks64 at creation
    bool FullScreen = false;
    bool ModalOpen = false;
    bool Inited = false;
};

}  // namespace orva
