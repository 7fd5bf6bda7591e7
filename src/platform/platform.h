// The platform interface: everything the engine asks of the desktop (clock, windows, input,
// modal runs). Two backends implement it: platform/sdl (real windows) and platform/headless
// (virtual clock, scripted input, captures). Nothing outside platform/ includes SDL.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>

namespace orva {

class TABitmap;

// The program's four windows; None stands for "another program's window" in Foreground().
enum class WindowId : uint8_t { Main, Msg, Query, Debug, None };

// Keys whose current up/down state the engine samples every frame.
enum class Key : uint8_t { Return, Ctrl, Space, PageUp, PageDown, F1, F2, Alt, Backspace, F12, Count };

enum class MouseButton : uint8_t { Left, Right, Middle, Back };  // Back: the side button X1

// What a gamepad asks of the engine beyond the mouse and keys it stands in for: B (the current
// menu's back element, else the right button), start (the configuration menu) and the d-pad
// (the previous or next hit area of the screen in reading order).
enum class PadAction : uint8_t { Back, Config, Previous, Next };

struct Point {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const Point&) const = default;
};

// Receives window events while the platform pumps its message queue. Events only set latches
// and flags; the engine acts on them in its next frame.
class PlatformEvents {
public:
    virtual ~PlatformEvents() = default;
    virtual void OnMouseDown(WindowId window, MouseButton button, Point client) = 0;
    virtual void OnMouseUp(WindowId window, MouseButton button, Point client) = 0;
    virtual void OnMouseWheel(WindowId window, int direction) = 0;  // +1 up, -1 down
    // Typed text while text input is on; Return and Backspace arrive as "\r" and "\b".
    virtual void OnTextInput(const std::string& utf8) = 0;
    // The input method's composition in progress (empty when it ends); shown at the caret.
    virtual void OnTextComposition(const std::string& /*utf8*/) {}
    virtual void OnCloseRequest() = 0;                              // the main window's close button
    // A gamepad's pad-only action (the pointer is already where the pad left it).
    virtual void OnPadAction(PadAction /*action*/) {}
};

// Feeds the raw audio output. The platform calls PullAudio on its own audio thread (SDL) or
// from the virtual clock (headless); it must fill every frame it is asked for.
class AudioSource {
public:
    virtual ~AudioSource() = default;
    // Fills `frames` interleaved 16-bit stereo 44,100 Hz frames (left, right).
    virtual void PullAudio(int16_t* out, uint32_t frames) = 0;
};

// A running periodic ticker; destroying it stops the ticks and waits for a tick in progress.
class PlatformTicker {
public:
    virtual ~PlatformTicker() = default;
};

inline constexpr uint32_t kAudioRate = 44100;  // frames per second of the raw audio output

class Platform {
public:
    virtual ~Platform() = default;

    // Milliseconds since program start (wraps after 49 days; the engine compares signed).
    virtual uint32_t Ticks() = 0;
    virtual void Sleep(uint32_t ms) = 0;
    // The calendar time that stamps saves: the system's clock, or a clock that follows the
    // virtual one on the headless platform so that identical runs write identical saves.
    virtual std::time_t WallClock() { return std::time(nullptr); }
    // Delivers every pending window event to `events`.
    virtual void PumpMessages(PlatformEvents& events) = 0;

    virtual bool KeyDown(Key key) = 0;
    // The cursor in a window's client coordinates (logical 800×600 / 800×184 pixels), whether or
    // not that window is shown.
    virtual Point CursorIn(WindowId window) = 0;
    // Shows or hides the pointer over the main window only; over the dialog, the message window
    // and the debug window it always shows, so a scene that hides it never leaves them without one.
    virtual void SetCursorVisible(bool visible) = 0;
    // Which of the program's windows has keyboard focus, or None.
    virtual WindowId Foreground() = 0;
    // Moves the one pointer the mouse and the gamepad share to a point of a window's client area.
    virtual void WarpPointer(WindowId /*window*/, Point /*client*/) {}
    // A copy of the picture last presented in a window, as it was handed over; false before the
    // first one.
    virtual bool PresentedPicture(WindowId /*window*/, TABitmap& /*out*/) { return false; }

    virtual void ShowWindow(WindowId window, bool visible) = 0;
    virtual bool IsWindowVisible(WindowId window) = 0;
    // Places a window's client area at a position given in the main window's client coordinates.
    virtual void PlaceWindow(WindowId window, Point mainClient) = 0;
    virtual void SetWindowTitle(WindowId, const std::string&) {}
    // Shows a picture in a window's client area at (0, 0).
    virtual void Present(WindowId window, const TABitmap& picture) = 0;
    // Present, with the caller's promise that outside the rectangle (x, y, w, h) the picture
    // equals the one last shown in that window, so only the rectangle needs comparing.
    virtual void PresentChanged(WindowId window, const TABitmap& picture, int /*x*/, int /*y*/, int /*w*/, int /*h*/) {
        Present(window, picture);
    }
    virtual void SetFullScreen(bool on) = 0;
    virtual bool IsFullScreen() = 0;

    // Modal runs: the dialog window is shown and takes the focus; the caller keeps running
    // frames until EndModal. Returns true when the platform itself has decided the answer
    // (a headless run's close at its time limit answers yes).
    virtual void BeginModal(WindowId dialog) = 0;
    virtual void EndModal(WindowId dialog) = 0;
    virtual bool ModalAutoConfirm() = 0;

    // Text input for the comment field: on while it is shown.
    virtual void SetTextInput(bool on) = 0;
    // Where the text field lies on the main window, so the input method places its candidate
    // list beside it.
    virtual void SetTextInputArea(Point /*mainClient*/, int /*width*/, int /*height*/) {}

    // Raw audio output: 16-bit stereo at 44,100 Hz, pulled from `source` until CloseAudio.
    // False with a reason when there is no output device; the program then runs silently.
    virtual bool OpenAudio(AudioSource& source, std::string& error) = 0;
    virtual void CloseAudio() = 0;
    // Calls `tick` every `periodMs` milliseconds, on a thread of its own (SDL) or on the virtual
    // clock (headless), until the returned ticker is destroyed.
    virtual std::unique_ptr<PlatformTicker> StartTicker(uint32_t periodMs, std::function<void()> tick) = 0;

    // Puts UTF-8 text on the desktop's clipboard, for a reader's dictionary. False when the
    // desktop refused it.
    virtual bool SetClipboardText(const std::string& /*utf8*/) { return false; }
};

}  // namespace orva
