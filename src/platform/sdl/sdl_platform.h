// The SDL2 platform: the four program windows with one renderer and streaming texture each,
// the event pump, key and cursor queries, full screen on the desktop's own resolution and the
// confirmation dialog's modal run. The only place in the program that includes SDL.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/sdl/view_mapping.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

namespace orva {

struct SdlOptions {
    int Scale = 1;          // physical pixels per logical pixel in a window (below 1 counts as 1)
    bool Smooth = false;    // fill keeping the aspect, filtered; else whole-pixel scales, nearest pixel
    std::string Title;      // the main window's title
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

    void ShowWindow(WindowId window, bool visible) override;
    bool IsWindowVisible(WindowId window) override;
    void PlaceWindow(WindowId window, Point mainClient) override;
    void SetWindowTitle(WindowId window, const std::string& title) override;
    void Present(WindowId window, const TABitmap& picture) override;
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

    // SDL's id of one of the windows (0 when it does not exist), for matching events.
    uint32_t SdlWindowId(WindowId window) const;
    // The window of an SDL window id, or None.
    WindowId FromSdlWindowId(uint32_t id) const;
    // Delivers one SDL event the way PumpMessages does.
    void HandleEvent(const SDL_Event& ev, PlatformEvents& events);

protected:
    // The pointer on the screen, in the same units as window positions.
    virtual Point GlobalCursor() const;

private:
    struct Surface {
        SDL_Window* Window = nullptr;
        SDL_Renderer* Renderer = nullptr;
        SDL_Texture* Texture = nullptr;
        int LogicalW = 0, LogicalH = 0;    // client size in logical pixels
        int TextureW = 0, TextureH = 0;    // size of the picture held in Texture
        bool HasPicture = false;           // Texture holds a picture to show again on expose
        bool Visible = false;              // shown by ShowWindow / BeginModal
    };

    static size_t Index(WindowId w) { return static_cast<size_t>(w); }
    Surface* Find(WindowId w);
    const Surface* Find(WindowId w) const;
    bool Open(WindowId w, const char* title, int logicalW, int logicalH, uint32_t flags, std::string& error);
    // The logical picture's place in the renderer's output, whose size is returned too.
    ViewFit OutputFit(const Surface& s, int& outW, int& outH) const;
    // The same place in window units, the units of mouse positions (letterboxed in full screen).
    ViewFit WindowFit(const Surface& s) const;
    // Draws the held picture again and shows it.
    void Redraw(Surface& s);
    Point ClientOrigin(const Surface& s) const;
    void Destroy();
    // Shows the pointer unless it is over the main window while the engine hides it there.
    void ApplyCursor();

    SdlOptions Options;
    uint64_t StartTicks = 0;           // SDL_GetTicks64 when the platform was made
    bool VideoStarted = false;         // this object holds a reference on SDL's video subsystem
    bool FullScreen = false;
    bool ModalOpen = false;
    bool TextInputOn = false;           // the comment field takes typed text
    bool Composing = false;             // the input method holds uncommitted text
    bool QuitRequested = false;           // the system asked the program to end
    bool MainCursorHidden = false;      // the engine hides the pointer over the main window
    WindowId PointerOver = WindowId::None;  // the window under the pointer, from enter/leave events
    WindowId ModalWindow = WindowId::None;
    std::array<Surface, 4> Windows;
    uint32_t AudioDevice = 0;          // the open SDL audio device, 0 when none
    AudioSource* Audio = nullptr;      // what the audio callback pulls from
};

}  // namespace orva
