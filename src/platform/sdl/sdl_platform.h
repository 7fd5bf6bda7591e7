// The SDL2 platform: the four program windows, each given its way to the screen (a renderer with
// a streaming texture, or the window's own surface) when it is first shown; the event pump, key
// and cursor queries, full screen on the desktop's own resolution and the confirmation dialog's
// modal run. The only place in the program that includes SDL.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include <vector>

#include "platform/pad_input.h"
#include "platform/platform.h"
#include "platform/sdl/frame_diff.h"
#include "platform/sdl/view_mapping.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Surface;
struct _SDL_GameController;
union SDL_Event;

namespace orva {

// How the windows' pictures reach the screen.
enum class PresentPath : uint8_t {
    Auto,       // an accelerated renderer on a machine with a hardware GPU, else the window surface
    Renderer,   // an SDL renderer (SDL_RENDER_DRIVER chooses which) with a streaming texture
    Surface,    // the window's own surface, updated by rectangles; no renderer, no GL
};

struct SdlOptions {
    int Scale = 1;          // physical pixels per logical pixel in a window (below 1 counts as 1)
    bool Smooth = false;    // fill keeping the aspect, filtered; else whole-pixel scales, nearest pixel
    std::string Title;      // the main window's title
    PresentPath Path = PresentPath::Auto;
};

// What one window's presentation has cost so far.
struct PresentStats {
    uint64_t Frames = 0;           // pictures handed to Present
    uint64_t Unchanged = 0;        // of those, equal to the one before: nothing uploaded or shown
    uint64_t Uploads = 0;          // rectangles copied into the texture or the window surface
    uint64_t UploadedPixels = 0;   // picture pixels in those rectangles
    uint64_t Shows = 0;            // times the window's output went to the screen (frames, exposes)
};

// Shows a start-up problem in a message box, since a program started from a menu has no
// terminal for its stderr. False when there is no display to show it on.
bool ShowStartupMessage(const std::string& title, const std::string& text);

// Whether there is a display to open the windows on: one named by DISPLAY or WAYLAND_DISPLAY,
// or a video driver chosen explicitly (SDL_VIDEODRIVER). Without either SDL would settle on a
// driver that shows nothing, and the game would play unseen.
bool DisplayAvailable();

class SdlPlatform : public Platform {
public:
    explicit SdlPlatform(SdlOptions options);
    ~SdlPlatform() override;
    SdlPlatform(const SdlPlatform&) = delete;
    SdlPlatform& operator=(const SdlPlatform&) = delete;

    // Starts SDL's video and opens the windows: the main window shown and centred, the others
    // hidden. False with SDL's error text when there is no display or a window cannot be made;
    // every other method is then a harmless no-op.
    bool Init(std::string& error);

    uint32_t Ticks() override;
    void Sleep(uint32_t ms) override;
    void PumpMessages(PlatformEvents& events) override;

    bool KeyDown(Key key) override;
    Point CursorIn(WindowId window) override;
    void SetCursorVisible(bool visible) override;
    WindowId Foreground() override;
    void WarpPointer(WindowId window, Point client) override;
    bool PresentedPicture(WindowId window, TABitmap& out) override;

    void ShowWindow(WindowId window, bool visible) override;
    bool IsWindowVisible(WindowId window) override;
    void PlaceWindow(WindowId window, Point mainClient) override;
    void SetWindowTitle(WindowId window, const std::string& title) override;
    void Present(WindowId window, const TABitmap& picture) override;
    void PresentChanged(WindowId window, const TABitmap& picture, int x, int y, int w, int h) override;
    void SetFullScreen(bool on) override;
    bool IsFullScreen() override { return FullScreen; }

    void BeginModal(WindowId dialog) override;
    void EndModal(WindowId dialog) override;
    // A quit request of the system confirms the close without asking.
    bool ModalAutoConfirm() override { return QuitRequested; }

    void SetTextInput(bool on) override;
    void SetTextInputArea(Point mainClient, int width, int height) override;

    // Audio (sdl_audio.cpp): an SDL audio device whose callback pulls from the source, and
    // tickers on threads of their own.
    bool OpenAudio(AudioSource& source, std::string& error) override;
    void CloseAudio() override;
    std::unique_ptr<PlatformTicker> StartTicker(uint32_t periodMs, std::function<void()> tick) override;
    // The desktop's clipboard; it holds the text while the program runs (X11 serves it on request
    // through the event pump).
    bool SetClipboardText(const std::string& utf8) override;

    // SDL's id of one of the windows (0 when it does not exist), for matching events.
    uint32_t SdlWindowId(WindowId window) const;
    // The window of an SDL window id, or None.
    WindowId FromSdlWindowId(uint32_t id) const;
    // Delivers one SDL event the way PumpMessages does.
    void HandleEvent(const SDL_Event& ev, PlatformEvents& events);

    // Game controllers attached now (opened as SDL reports them, closed when they go).
    size_t PadCount() const { return Pads.size(); }

    PresentStats Stats(WindowId window) const;
    // Whether a window has its way to the screen yet (made when it is first shown), and whether
    // that way is a renderer.
    bool HasOutput(WindowId window) const;
    bool HasRenderer(WindowId window) const;
    // The path the windows use: Auto until the first window is shown.
    PresentPath ActivePath() const { return Path; }

protected:
    // The pointer on the screen, in the same units as window positions.
    virtual Point GlobalCursor() const;

private:
    struct Surface {
        SDL_Window* Window = nullptr;
        SDL_Renderer* Renderer = nullptr;  // the renderer path's renderer, made at the first show
        SDL_Texture* Texture = nullptr;    // its streaming texture, the size of the held picture
        SDL_Surface* Target = nullptr;     // the surface path's window surface (owned by SDL)
        SDL_Surface* Frame = nullptr;      // surface path: the opaque picture, when it must be scaled by SDL
        int LogicalW = 0, LogicalH = 0;    // client size in logical pixels
        std::vector<uint32_t> Held;        // the last presented picture, engine pixel order
        int HeldW = 0, HeldH = 0;          // its size (0 before the first picture)
        // While a picture of a new size goes to the screen, its pixels (Held takes them after).
        const uint32_t* Incoming = nullptr;
        const uint32_t* HeldRow(int y) const {
            return (Incoming ? Incoming : Held.data()) + static_cast<size_t>(y) * static_cast<size_t>(HeldW);
        }
        int TextureW = 0, TextureH = 0;    // size of the picture held in Texture
        int TargetW = 0, TargetH = 0;      // size of Target when it was last drawn
        bool Stale = true;                 // the output does not show Held yet: draw it whole
        bool Visible = false;              // shown by ShowWindow / BeginModal
        PresentStats Stats;
    };

    static size_t Index(WindowId w) { return static_cast<size_t>(w); }
    Surface* Find(WindowId w);
    const Surface* Find(WindowId w) const;
    bool Open(WindowId w, const char* title, int logicalW, int logicalH, uint32_t flags, std::string& error);
    // The logical picture's place in the renderer's output, whose size is returned too.
    ViewFit OutputFit(const Surface& s, int& outW, int& outH) const;
    // The same place in window units, the units of mouse positions (letterboxed in full screen).
    ViewFit WindowFit(const Surface& s) const;
    // Makes the window's renderer and texture or its window surface, choosing the path first
    // when no window has one yet. False (with a message on stderr) when that fails.
    bool EnsureOutput(Surface& s);
    void ChoosePath(Surface& s);
    // Copies rectangles of the held picture into the output; the whole picture when `all`.
    // Returns whether it drew the whole output (asked to, or because the output was new).
    bool Upload(Surface& s, const std::vector<PixelRect>& rects, bool all);
    // Puts the output on the screen: the renderer's whole frame, or the surface's rectangles.
    void Show(Surface& s, const std::vector<PixelRect>& rects, bool all);
    bool UploadToSurface(Surface& s, const std::vector<PixelRect>& rects, bool all);
    // Draws the held picture again and shows it (shown windows only).
    void Redraw(Surface& s);
    Point ClientOrigin(const Surface& s) const;
    void Destroy();
    // Shows the pointer unless it is over the main window while the engine hides it there.
    void ApplyCursor();
    // Game controllers (sdl_pad.cpp): hot-plug, buttons and the stick turned into events.
    void StartPads();
    void StopPads();
    void HandlePadEvent(const SDL_Event& ev, PlatformEvents& events);
    void PadButton(orva::PadButton button, bool down, PlatformEvents& events);
    void MovePadPointer();

    SdlOptions Options;
    uint64_t StartTicks = 0;           // SDL_GetTicks64 when the platform was made
    bool VideoStarted = false;         // this object holds a reference on SDL's video subsystem
    bool FullScreen = false;
    bool ModalOpen = false;
    bool TextInputOn = false;           // the comment field takes typed text
    bool Composing = false;             // the input method holds uncommitted text
    // Backspace and F12 act once per press: a press released before the engine samples the
    // keys (a quick tap, or a key sent by a tool) still counts once.
    bool BackspaceTapped = false;
    bool F12Tapped = false;
    bool QuitRequested = false;           // the system asked the program to end
    bool MainCursorHidden = false;      // the engine hides the pointer over the main window
    WindowId PointerOver = WindowId::None;  // the window under the pointer, from enter/leave events
    WindowId ModalWindow = WindowId::None;
    PresentPath Path = PresentPath::Auto;  // chosen when the first window gets its output
    bool FirstFrameReported = false;       // the first picture on screen has been logged
    std::array<Surface, 4> Windows;
    bool PadsStarted = false;          // this object holds a reference on the controller subsystem
    std::map<int32_t, _SDL_GameController*> Pads;  // open controllers by joystick instance id
    PadInput Pad;                      // all attached controllers as one pad
    Point PadPointer;                  // the pointer the stick moves, main-window logical pixels
    uint64_t PadMovedAt = 0;           // SDL_GetTicks64 of the stick's last step
    bool PadSteering = false;          // the stick was out of its dead zone at the last pump
    uint32_t AudioDevice = 0;          // the open SDL audio device, 0 when none
    AudioSource* Audio = nullptr;      // what the audio callback pulls from
};

}  // namespace orva
