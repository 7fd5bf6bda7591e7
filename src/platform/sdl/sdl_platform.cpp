// The SDL2 backend of the platform interface.
//
// Sections: life cycle (open, close) | clock | events | keys and cursor | windows and pictures |
// output (path choice, upload, show) | full screen | modal runs and text input.
#include "platform/sdl/sdl_platform.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <utility>

#include "graphics/abitmap.h"
#include "platform/screen_layout.h"
#include "platform/sdl/window_icon.h"

namespace orva {

namespace {

constexpr int kMainW = kScreenWidth, kMainH = kScreenHeight;
constexpr int kMsgW = kMsgWindowWidth, kMsgH = kMsgWindowHeight;
constexpr int kQueryW = 320, kQueryH = 128;
constexpr int kDebugW = 720, kDebugH = 220;
constexpr Point kMsgDefaultPlace{0, kMainH - kMsgH};  // the message window's place on the screen
constexpr int kMaxWheelNotches = 16;                  // one event never pages further than this


// Presses in the message window's top strip become window-manager moves, so they never
// reach the engine.
SDL_HitTestResult MsgHitTest(SDL_Window*, const SDL_Point* area, void* data) {
    const int scale = *static_cast<const int*>(data);
    return InMsgDragStrip(area->y, scale) ? SDL_HITTEST_DRAGGABLE : SDL_HITTEST_NORMAL;
}

// Whether the machine has a GPU device a hardware GL driver could use. Without one, an OpenGL
// renderer would be a software rasteriser inside the process, slower and far larger than
// SDL's window surface.
bool HasGpuDevice() {
    std::error_code ec;
    if (std::filesystem::exists("/dev/nvidiactl", ec)) return true;
    for (const auto& e : std::filesystem::directory_iterator("/dev/dri", ec)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("renderD", 0) == 0 || name.rfind("card", 0) == 0) return true;
    }
    return false;
}

// Whether a renderer draws through a software GL (llvmpipe, softpipe, swrast) or is no
// accelerated renderer at all.
bool IsSoftwareRenderer(SDL_Renderer* r) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(r, &info) != 0 || (info.flags & SDL_RENDERER_ACCELERATED) == 0) return true;
    if (!info.name || std::strncmp(info.name, "opengl", 6) != 0) return false;
    using GetString = const unsigned char* (*)(unsigned int);
    constexpr unsigned int kGlRenderer = 0x1F01;
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString ? getString(kGlRenderer) : nullptr;
    if (!name) return false;
    const std::string gl(reinterpret_cast<const char*>(name));
    for (const char* soft : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
        if (gl.find(soft) != std::string::npos) return true;
    return false;
}

// The opaque screen pixel of an engine pixel (blue, green, red, transparency): XRGB/ARGB8888.
inline uint32_t Opaque(uint32_t enginePixel) { return 0xFF000000u | enginePixel; }

// A rectangle of logical pixels as the output pixels that show it under `fit`, clipped to the
// output.
SDL_Rect ToOutput(const ViewFit& fit, const PixelRect& r, int outW, int outH) {
    const int x0 = std::max(0, static_cast<int>(std::floor(fit.OffsetX + r.X * fit.Scale)));
    const int y0 = std::max(0, static_cast<int>(std::floor(fit.OffsetY + r.Y * fit.Scale)));
    const int x1 = std::min(outW, static_cast<int>(std::ceil(fit.OffsetX + (r.X + r.W) * fit.Scale)));
    const int y1 = std::min(outH, static_cast<int>(std::ceil(fit.OffsetY + (r.Y + r.H) * fit.Scale)));
    return {x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

bool ToButton(uint8_t sdlButton, MouseButton& out) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT: out = MouseButton::Left; return true;
        case SDL_BUTTON_RIGHT: out = MouseButton::Right; return true;
        case SDL_BUTTON_MIDDLE: out = MouseButton::Middle; return true;
        case SDL_BUTTON_X1: out = MouseButton::Back; return true;
        default: return false;  // the forward side button means nothing to the engine
    }
}

}  // namespace

bool ShowStartupMessage(const std::string& title, const std::string& text) {
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr) == 0;
}

bool DisplayAvailable() {
    auto set = [](const char* value) { return value && *value; };
    return set(SDL_GetHint(SDL_HINT_VIDEODRIVER)) || set(std::getenv("DISPLAY")) || set(std::getenv("WAYLAND_DISPLAY"));
}

// ---- life cycle -----------------------------------------------------------------------------

SdlPlatform::SdlPlatform(SdlOptions options) : Options(std::move(options)) {
    Options.Scale = std::max(1, Options.Scale);
    StartTicks = SDL_GetTicks64();
}

SdlPlatform::~SdlPlatform() {
    CloseAudio();
    Destroy();
}

bool SdlPlatform::Open(WindowId w, const char* title, int logicalW, int logicalH, uint32_t flags,
                       std::string& error) {
    Surface& s = Windows[Index(w)];
    s.LogicalW = logicalW;
    s.LogicalH = logicalH;
    s.Window = SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, logicalW * Options.Scale,
                                logicalH * Options.Scale, flags | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!s.Window) {
        error = std::string("cannot create a window: ") + SDL_GetError();
        return false;
    }
    SetProgramIcon(s.Window);
    // The renderer or window surface comes when the window is first shown: the dialog, the
    // detached message window and the debug window are rarely or never shown.
    s.Visible = (flags & SDL_WINDOW_HIDDEN) == 0;
    return true;
}

bool SdlPlatform::Init(std::string& error) {
    if (Windows[Index(WindowId::Main)].Window) return true;
    // The input method draws its own composition window; a full-screen picture stays up when one
    // of the program's other windows (dialog, message window) takes the focus.
    SDL_SetHint(SDL_HINT_IME_SHOW_UI, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = SDL_GetError();
        if (error.empty()) error = "SDL video could not start";
        return false;
    }
    VideoStarted = true;
    // When no display answers, SDL falls back to its off-screen driver, where the game would
    // play on in windows nobody can see. Only a run that asks for such a driver gets one.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) &&
        !(asked && std::strstr(asked, driver))) {
        const char* display = std::getenv("DISPLAY");
        error = std::string("no display could be reached") + (display ? std::string(" (DISPLAY=") + display + ")" : "");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        VideoStarted = false;
        return false;
    }

    const uint32_t hidden = SDL_WINDOW_HIDDEN;
    const bool ok =
        Open(WindowId::Main, Options.Title.c_str(), kMainW, kMainH, 0, error) &&
        Open(WindowId::Msg, Options.Title.c_str(), kMsgW, kMsgH,
             hidden | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR, error) &&
        Open(WindowId::Query, Options.Title.c_str(), kQueryW, kQueryH,
             hidden | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR, error) &&
        Open(WindowId::Debug, "Debug", kDebugW, kDebugH, hidden | SDL_WINDOW_ALWAYS_ON_TOP, error);
    if (!ok) {
        Destroy();
        return false;
    }

    Surface& msg = Windows[Index(WindowId::Msg)];
    if (SDL_SetWindowHitTest(msg.Window, MsgHitTest, &Options.Scale) != 0) {
        // Without a hit test the window cannot be dragged, but everything else works.
        std::cerr << "orva: the message window cannot be dragged here: " << SDL_GetError() << "\n";
    }
    // The dialog belongs to the main window (kept above it, also in full screen); drivers
    // without the notion simply refuse.
    SDL_SetWindowModalFor(Windows[Index(WindowId::Query)].Window, Windows[Index(WindowId::Main)].Window);
    SDL_SetWindowPosition(Windows[Index(WindowId::Debug)].Window, 0, 0);
    PlaceWindow(WindowId::Msg, kMsgDefaultPlace);
    // SDL starts with text input on; the engine wants it only while the comment field is shown.
    SDL_StopTextInput();
    Redraw(Windows[Index(WindowId::Main)]);
    if (!Windows[Index(WindowId::Main)].Renderer && !Windows[Index(WindowId::Main)].Target) {
        error = std::string("cannot draw in the window: ") + SDL_GetError();
        Destroy();
        return false;
    }
    if (SDL_Window* under = SDL_GetMouseFocus()) PointerOver = FromSdlWindowId(SDL_GetWindowID(under));
    StartPads();
    return true;
}

void SdlPlatform::Destroy() {
    StopPads();
    for (Surface& s : Windows) {
        if (s.Texture) SDL_DestroyTexture(s.Texture);
        if (s.Renderer) SDL_DestroyRenderer(s.Renderer);
        if (s.Frame) SDL_FreeSurface(s.Frame);
        if (s.Window) SDL_DestroyWindow(s.Window);
        s = Surface{};
    }
    if (VideoStarted) {
        SDL_ShowCursor(SDL_ENABLE);  // the cursor is SDL's, and outlives these windows
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    MainCursorHidden = false;
    PointerOver = WindowId::None;
    VideoStarted = false;
    FullScreen = false;
    ModalOpen = false;
    ModalWindow = WindowId::None;
    Path = PresentPath::Auto;
}

SdlPlatform::Surface* SdlPlatform::Find(WindowId w) {
    if (Index(w) >= Windows.size()) return nullptr;
    Surface& s = Windows[Index(w)];
    return s.Window ? &s : nullptr;
}

const SdlPlatform::Surface* SdlPlatform::Find(WindowId w) const {
    if (Index(w) >= Windows.size()) return nullptr;
    const Surface& s = Windows[Index(w)];
    return s.Window ? &s : nullptr;
}

uint32_t SdlPlatform::SdlWindowId(WindowId window) const {
    const Surface* s = Find(window);
    return s ? SDL_GetWindowID(s->Window) : 0;
}

WindowId SdlPlatform::FromSdlWindowId(uint32_t id) const {
    if (id == 0) return WindowId::None;
    for (size_t i = 0; i < Windows.size(); ++i)
        if (Windows[i].Window && SDL_GetWindowID(Windows[i].Window) == id) return static_cast<WindowId>(i);
    return WindowId::None;
}

// ---- clock ----------------------------------------------------------------------------------

uint32_t SdlPlatform::Ticks() { return static_cast<uint32_t>(SDL_GetTicks64() - StartTicks); }

void SdlPlatform::Sleep(uint32_t ms) { SDL_Delay(ms); }

// ---- events ---------------------------------------------------------------------------------

void SdlPlatform::PumpMessages(PlatformEvents& events) {
    if (!VideoStarted) return;
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) HandleEvent(ev, events);
    MovePadPointer();
}

void SdlPlatform::HandleEvent(const SDL_Event& ev, PlatformEvents& events) {
    switch (ev.type) {
        // SDL_QUIT comes from the system (SIGTERM, SIGINT, the session ending), never from a
        // window: the engine then closes as its close button would, with the answer given.
        case SDL_QUIT:
            QuitRequested = true;
            events.OnCloseRequest();
            return;

        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const WindowId w = FromSdlWindowId(ev.button.windowID);
            MouseButton button;
            if (w == WindowId::None || !ToButton(ev.button.button, button)) return;
            // While a dialog is open the other windows take no mouse input; a press on them
            // brings the dialog back to the front.
            if (ModalOpen && w != ModalWindow) {
                if (ev.type == SDL_MOUSEBUTTONDOWN) {
                    if (Surface* d = Find(ModalWindow)) SDL_RaiseWindow(d->Window);
                }
                return;
            }
            const Point p = WindowToLogical(WindowFit(Windows[Index(w)]), {ev.button.x, ev.button.y});
            if (ev.type == SDL_MOUSEBUTTONDOWN) events.OnMouseDown(w, button, p);
            else events.OnMouseUp(w, button, p);
            return;
        }

        case SDL_MOUSEWHEEL: {
            const WindowId w = FromSdlWindowId(ev.wheel.windowID);
            if (w == WindowId::None || (ModalOpen && w != ModalWindow)) return;
            int notches = ev.wheel.y;
            if (ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
            const int direction = notches > 0 ? 1 : -1;
            const int count = std::min(notches < 0 ? -notches : notches, kMaxWheelNotches);
            for (int i = 0; i < count; ++i) events.OnMouseWheel(w, direction);
            return;
        }

        case SDL_KEYDOWN:
            if (!ev.key.repeat) {
                if (ev.key.keysym.sym == SDLK_BACKSPACE) BackspaceTapped = true;
                if (ev.key.keysym.scancode == SDL_SCANCODE_F12) F12Tapped = true;
            }
            // A text field with the focus takes Return and Backspace as typed characters.
            // While the input method composes, Return and Backspace belong to it.
            if (TextInputOn && !ModalOpen && !Composing) {
                const SDL_Keycode k = ev.key.keysym.sym;
                if (k == SDLK_RETURN || k == SDLK_KP_ENTER) events.OnTextInput("\r");
                else if (k == SDLK_BACKSPACE) events.OnTextInput("\b");
            }
            return;

        case SDL_TEXTEDITING:
            // The input method's composition: shown at the caret until it is committed.
            if (TextInputOn) {
                const std::string composition(ev.edit.text, strnlen(ev.edit.text, sizeof ev.edit.text));
                Composing = !composition.empty();
                events.OnTextComposition(composition);
            }
            return;

        case SDL_TEXTINPUT: {
            Composing = false;
            const size_t n = strnlen(ev.text.text, sizeof ev.text.text);
            if (n > 0) events.OnTextInput(std::string(ev.text.text, n));
            return;
        }

        case SDL_WINDOWEVENT: {
            const WindowId w = FromSdlWindowId(ev.window.windowID);
            if (w == WindowId::None) return;
            switch (ev.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    // The main window's close button asks the engine; it is inert behind a dialog.
                    if (w == WindowId::Main && !ModalOpen) events.OnCloseRequest();
                    else if (w == WindowId::Debug) ShowWindow(WindowId::Debug, false);
                    return;
                // SDL's cursor is one for the whole program: it follows the pointer from window
                // to window.
                case SDL_WINDOWEVENT_ENTER:
                    PointerOver = w;
                    ApplyCursor();
                    return;
                case SDL_WINDOWEVENT_LEAVE:
                    if (PointerOver == w) PointerOver = WindowId::None;
                    ApplyCursor();
                    return;
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                case SDL_WINDOWEVENT_RESTORED:
                    Redraw(Windows[Index(w)]);
                    return;
                default: return;
            }
        }

        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED:
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
        case SDL_CONTROLLERAXISMOTION:
            HandlePadEvent(ev, events);
            return;

        default: return;
    }
}

// ---- keys and cursor ------------------------------------------------------------------------

bool SdlPlatform::KeyDown(Key key) {
    if (!VideoStarted) return false;
    int count = 0;
    const uint8_t* state = SDL_GetKeyboardState(&count);
    auto down = [&](SDL_Scancode sc) { return state && sc < count && state[sc] != 0; };
    // A gamepad holds Space, Page Up/Down and Ctrl as its buttons do.
    if (Pad.KeyHeld(key)) return true;
    switch (key) {
        case Key::Return: return down(SDL_SCANCODE_RETURN) || down(SDL_SCANCODE_KP_ENTER);
        case Key::Ctrl: return down(SDL_SCANCODE_LCTRL) || down(SDL_SCANCODE_RCTRL);
        case Key::Alt: return down(SDL_SCANCODE_LALT) || down(SDL_SCANCODE_RALT);
        case Key::Space: return down(SDL_SCANCODE_SPACE);
        case Key::PageUp: return down(SDL_SCANCODE_PAGEUP);
        case Key::PageDown: return down(SDL_SCANCODE_PAGEDOWN);
        case Key::F1: return down(SDL_SCANCODE_F1);
        case Key::F2: return down(SDL_SCANCODE_F2);
        case Key::Backspace: {
            const bool tapped = std::exchange(BackspaceTapped, false);
            return down(SDL_GetScancodeFromKey(SDLK_BACKSPACE)) || tapped;
        }
        case Key::F12: {
            const bool tapped = std::exchange(F12Tapped, false);
            return down(SDL_SCANCODE_F12) || tapped;
        }
        case Key::Count: return false;
    }
    return false;
}

Point SdlPlatform::ClientOrigin(const Surface& s) const {
    Point p;
    SDL_GetWindowPosition(s.Window, &p.X, &p.Y);
    return p;
}

ViewFit SdlPlatform::OutputFit(const Surface& s, int& outW, int& outH) const {
    int winW = 0, winH = 0;
    SDL_GetWindowSize(s.Window, &winW, &winH);
    // On a HiDPI display the renderer draws more pixels than the window has units.
    if (!s.Renderer || SDL_GetRendererOutputSize(s.Renderer, &outW, &outH) != 0 || outW <= 0 || outH <= 0) {
        outW = winW;
        outH = winH;
    }
    return FitPicture(s.LogicalW, s.LogicalH, outW, outH, Options.Smooth);
}

ViewFit SdlPlatform::WindowFit(const Surface& s) const {
    int outW = 0, outH = 0, winW = 0, winH = 0;
    const ViewFit fit = OutputFit(s, outW, outH);
    SDL_GetWindowSize(s.Window, &winW, &winH);
    return ToWindowUnits(fit, outW, outH, winW, winH);
}

Point SdlPlatform::GlobalCursor() const {
    // Over one of the program's windows SDL knows the pointer relative to it; that window's
    // origin makes it a screen position on every video driver. Elsewhere ask the system.
    Point p;
    if (SDL_Window* focus = SDL_GetMouseFocus()) {
        int wx = 0, wy = 0;
        SDL_GetMouseState(&p.X, &p.Y);
        SDL_GetWindowPosition(focus, &wx, &wy);
        return {p.X + wx, p.Y + wy};
    }
    SDL_GetGlobalMouseState(&p.X, &p.Y);
    return p;
}

Point SdlPlatform::CursorIn(WindowId window) {
    const Surface* s = Find(window);
    if (!s) return {};
    const Point g = GlobalCursor(), o = ClientOrigin(*s);
    return WindowToLogical(WindowFit(*s), {g.X - o.X, g.Y - o.Y});
}

void SdlPlatform::SetCursorVisible(bool visible) {
    MainCursorHidden = !visible;
    ApplyCursor();
}

void SdlPlatform::ApplyCursor() {
    if (!VideoStarted) return;
    const int wanted = MainCursorHidden && PointerOver == WindowId::Main ? SDL_DISABLE : SDL_ENABLE;
    if (SDL_ShowCursor(SDL_QUERY) != wanted) SDL_ShowCursor(wanted);
}

WindowId SdlPlatform::Foreground() {
    if (!VideoStarted) return WindowId::None;
    SDL_Window* focus = SDL_GetKeyboardFocus();
    return focus ? FromSdlWindowId(SDL_GetWindowID(focus)) : WindowId::None;
}

// ---- windows and pictures -------------------------------------------------------------------

void SdlPlatform::ShowWindow(WindowId window, bool visible) {
    Surface* s = Find(window);
    if (!s) return;
    if (visible) {
        SDL_ShowWindow(s->Window);
        s->Visible = true;
        Redraw(*s);
    } else {
        SDL_HideWindow(s->Window);
        s->Visible = false;
    }
}

bool SdlPlatform::IsWindowVisible(WindowId window) {
    const Surface* s = Find(window);
    return s && s->Visible;
}

void SdlPlatform::PlaceWindow(WindowId window, Point mainClient) {
    Surface* s = Find(window);
    const Surface* main = Find(WindowId::Main);
    if (!s || !main || window == WindowId::Main) return;
    const Point o = ClientOrigin(*main), p = LogicalToWindow(WindowFit(*main), mainClient);
    SDL_SetWindowPosition(s->Window, o.X + p.X, o.Y + p.Y);
}

void SdlPlatform::SetWindowTitle(WindowId window, const std::string& title) {
    if (Surface* s = Find(window)) SDL_SetWindowTitle(s->Window, title.c_str());
}

void SdlPlatform::Present(WindowId window, const TABitmap& picture) {
    PresentChanged(window, picture, 0, 0, picture.Width(), picture.Height());
}

void SdlPlatform::PresentChanged(WindowId window, const TABitmap& picture, int x, int y, int cw, int ch) {
    Surface* s = Find(window);
    if (!s) return;
    const int w = picture.Width(), h = picture.Height();
    if (w <= 0 || h <= 0) return;
    ++s->Stats.Frames;
    const uint32_t* pixels = picture.Pixels();
    // Only the promised rectangle is compared; the rest equals the held picture.
    const int x0 = std::clamp(x, 0, w), y0 = std::clamp(y, 0, h);
    const int x1 = std::clamp(x + std::max(cw, 0), x0, w), y1 = std::clamp(y + std::max(ch, 0), y0, h);
    std::vector<PixelRect> rects;
    // A picture of a new size (the first one) goes to the screen straight from the engine's
    // pixels and is copied to Held afterwards, so the first frame does not wait for the copy.
    const bool newSize = w != s->HeldW || h != s->HeldH;
    if (newSize) {
        s->HeldW = w;
        s->HeldH = h;
        s->Incoming = pixels;
        s->Stale = true;
    } else {
        // The engine paints every frame; most frames repeat the last one, or change an icon.
        if (x1 > x0 && y1 > y0) {
            const size_t at = static_cast<size_t>(y0) * w + x0;
            rects = ChangedRects(s->Held.data() + at, w, pixels + at, w, x1 - x0, y1 - y0);
            for (PixelRect& r : rects) {
                r.X += x0;
                r.Y += y0;
            }
        }
        if (rects.empty() && !s->Stale) {
            ++s->Stats.Unchanged;
            return;
        }
        for (const PixelRect& r : rects)
            for (int y = r.Y; y < r.Y + r.H; ++y)
                std::memcpy(&s->Held[static_cast<size_t>(y) * w + r.X], pixels + static_cast<size_t>(y) * w + r.X,
                            static_cast<size_t>(r.W) * 4);
    }
    // A hidden window keeps the picture; it is drawn whole when the window is shown.
    if (!s->Visible || (!s->Renderer && !s->Target)) {
        s->Stale = true;
    } else {
        const bool all = Upload(*s, rects, s->Stale);
        Show(*s, rects, all);
    }
    if (newSize) {
        s->Held.assign(pixels, pixels + static_cast<size_t>(w) * h);
        s->Incoming = nullptr;
    }
}

void SdlPlatform::Redraw(Surface& s) {
    if (!s.Window || !s.Visible || !EnsureOutput(s)) return;
    Upload(s, {}, true);
    Show(s, {}, true);
}

PresentStats SdlPlatform::Stats(WindowId window) const {
    const Surface* s = Find(window);
    return s ? s->Stats : PresentStats{};
}

bool SdlPlatform::HasOutput(WindowId window) const {
    const Surface* s = Find(window);
    return s && (s->Renderer || s->Target);
}

bool SdlPlatform::HasRenderer(WindowId window) const {
    const Surface* s = Find(window);
    return s && s->Renderer;
}

// ---- output ---------------------------------------------------------------------------------

void SdlPlatform::ChoosePath(Surface& s) {
    if (Options.Path != PresentPath::Auto) {
        Path = Options.Path;
    } else if (const char* driver = SDL_GetHint(SDL_HINT_RENDER_DRIVER); driver && *driver) {
        // A renderer asked for by name is used as asked.
        Path = PresentPath::Renderer;
    } else if (!HasGpuDevice()) {
        Path = PresentPath::Surface;
    } else {
        // A GPU device is no promise of hardware GL (a virtual display, a missing driver): the
        // renderer's GL names its rasteriser, and a software one is given up at once.
        s.Renderer = SDL_CreateRenderer(s.Window, -1, SDL_RENDERER_ACCELERATED);
        if (s.Renderer && IsSoftwareRenderer(s.Renderer)) {
            SDL_DestroyRenderer(s.Renderer);
            s.Renderer = nullptr;
        }
        Path = s.Renderer ? PresentPath::Renderer : PresentPath::Surface;
    }
    // SDL's window surface and its software renderer would otherwise draw through a GL texture.
    const char* renderDriver = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    if (Path == PresentPath::Surface || (renderDriver && SDL_strcasecmp(renderDriver, "software") == 0))
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}

bool SdlPlatform::EnsureOutput(Surface& s) {
    if (s.Renderer || s.Target) return true;
    if (Path == PresentPath::Auto) ChoosePath(s);
    if (Path == PresentPath::Renderer && !s.Renderer) {
        s.Renderer = SDL_CreateRenderer(s.Window, -1, 0);
        if (!s.Renderer) std::cerr << "orva: cannot create a renderer, drawing without one: " << SDL_GetError() << "\n";
    }
    if (!s.Renderer) {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        s.Target = SDL_GetWindowSurface(s.Window);
        if (!s.Target) {
            std::cerr << "orva: cannot draw in a window: " << SDL_GetError() << "\n";
            return false;
        }
    }
    s.Stale = true;
    return true;
}

bool SdlPlatform::Upload(Surface& s, const std::vector<PixelRect>& rects, bool all) {
    if (!s.Renderer) return UploadToSurface(s, rects, all);
    // The renderer path shows its whole texture every time; what matters is what is uploaded.
    if (s.HeldW <= 0 || s.HeldH <= 0) return true;
    if (!s.Texture || s.TextureW != s.HeldW || s.TextureH != s.HeldH) {
        if (s.Texture) SDL_DestroyTexture(s.Texture);
        s.TextureW = s.TextureH = 0;
        s.Texture = SDL_CreateTexture(s.Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, s.HeldW,
                                      s.HeldH);
        if (!s.Texture) {
            std::cerr << "orva: cannot show a " << s.HeldW << "x" << s.HeldH << " picture: " << SDL_GetError() << "\n";
            return true;
        }
        s.TextureW = s.HeldW;
        s.TextureH = s.HeldH;
        SDL_SetTextureBlendMode(s.Texture, SDL_BLENDMODE_NONE);
        SDL_SetTextureScaleMode(s.Texture, Options.Smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
        all = true;
    }
    const std::vector<PixelRect> whole{{0, 0, s.HeldW, s.HeldH}};
    for (const PixelRect& r : all ? whole : rects) {
        const SDL_Rect area{r.X, r.Y, r.W, r.H};
        void* out = nullptr;
        int pitch = 0;
        if (SDL_LockTexture(s.Texture, &area, &out, &pitch) != 0) {
            std::cerr << "orva: cannot show a picture: " << SDL_GetError() << "\n";
            return true;
        }
        // The picture's fourth byte is its transparency; on screen the picture is opaque.
        for (int y = 0; y < r.H; ++y) {
            const uint32_t* src = s.HeldRow(r.Y + y) + r.X;
            uint32_t* dst = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(out) + static_cast<size_t>(y) * pitch);
            for (int x = 0; x < r.W; ++x) dst[x] = Opaque(src[x]);
        }
        SDL_UnlockTexture(s.Texture);
        ++s.Stats.Uploads;
        s.Stats.UploadedPixels += static_cast<uint64_t>(r.W) * r.H;
    }
    return true;
}

bool SdlPlatform::UploadToSurface(Surface& s, const std::vector<PixelRect>& rects, bool all) {
    // SDL makes a new surface after the window's size changed; everything is drawn again then.
    SDL_Surface* target = SDL_GetWindowSurface(s.Window);
    if (!target) return true;
    if (target != s.Target || target->w != s.TargetW || target->h != s.TargetH) all = true;
    s.Target = target;
    s.TargetW = target->w;
    s.TargetH = target->h;
    if (all) SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    // What lies past the client area is not shown.
    const int visW = std::min(s.HeldW, s.LogicalW), visH = std::min(s.HeldH, s.LogicalH);
    if (visW <= 0 || visH <= 0) return all;
    const ViewFit fit = FitPicture(s.LogicalW, s.LogicalH, target->w, target->h, Options.Smooth);
    const int scale = static_cast<int>(fit.Scale);
    const bool wholeScale = scale >= 1 && fit.Scale == scale && fit.OffsetX == std::floor(fit.OffsetX) &&
                            fit.OffsetY == std::floor(fit.OffsetY);
    const SDL_PixelFormat* f = target->format;
    const bool xrgb = f->BytesPerPixel == 4 && f->Rmask == 0x00FF0000u && f->Gmask == 0x0000FF00u &&
                      f->Bmask == 0x000000FFu;
    // A fractional smooth scale filters across rectangle edges: it is drawn whole.
    if (!wholeScale) all = true;
    const std::vector<PixelRect> whole{{0, 0, visW, visH}};
    SDL_LockSurface(target);
    for (PixelRect r : all ? whole : rects) {
        r.W = std::min(r.W, visW - r.X);
        r.H = std::min(r.H, visH - r.Y);
        if (r.W <= 0 || r.H <= 0) continue;
        ++s.Stats.Uploads;
        s.Stats.UploadedPixels += static_cast<uint64_t>(r.W) * r.H;
        if (xrgb && wholeScale) {
            // The common case: written straight into the window's pixels, each logical pixel a
            // scale × scale square.
            const int ox = static_cast<int>(fit.OffsetX), oy = static_cast<int>(fit.OffsetY);
            for (int y = r.Y; y < r.Y + r.H; ++y) {
                const uint32_t* src = s.HeldRow(y);
                for (int dy = 0; dy < scale; ++dy) {
                    const int row = oy + y * scale + dy;
                    if (row < 0 || row >= target->h) continue;
                    uint32_t* dst = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target->pixels) +
                                                                static_cast<size_t>(row) * target->pitch);
                    for (int x = r.X; x < r.X + r.W; ++x) {
                        const uint32_t v = Opaque(src[x]);
                        for (int dx = 0; dx < scale; ++dx) {
                            const int col = ox + x * scale + dx;
                            if (col >= 0 && col < target->w) dst[col] = v;
                        }
                    }
                }
            }
            continue;
        }
        // Other formats and fractional scales: the opaque picture in a surface of its own,
        // scaled by SDL.
        if (!s.Frame || s.Frame->w != s.HeldW || s.Frame->h != s.HeldH) {
            if (s.Frame) SDL_FreeSurface(s.Frame);
            const uint32_t format = xrgb ? f->format : static_cast<uint32_t>(SDL_PIXELFORMAT_ARGB8888);
            s.Frame = SDL_CreateRGBSurfaceWithFormat(0, s.HeldW, s.HeldH, 32, format);
            if (!s.Frame) break;
            SDL_SetSurfaceBlendMode(s.Frame, SDL_BLENDMODE_NONE);
        }
        for (int y = r.Y; y < r.Y + r.H; ++y) {
            const uint32_t* src = s.HeldRow(y);
            uint32_t* dst = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s.Frame->pixels) +
                                                        static_cast<size_t>(y) * s.Frame->pitch);
            for (int x = r.X; x < r.X + r.W; ++x) dst[x] = Opaque(src[x]);
        }
        SDL_Rect src{r.X, r.Y, r.W, r.H};
        SDL_Rect dst = ToOutput(fit, r, target->w, target->h);
        SDL_UnlockSurface(target);
        if (Options.Smooth && s.Frame->format->format == f->format) SDL_SoftStretchLinear(s.Frame, &src, target, &dst);
        else SDL_BlitScaled(s.Frame, &src, target, &dst);
        SDL_LockSurface(target);
    }
    SDL_UnlockSurface(target);
    return all;
}

void SdlPlatform::Show(Surface& s, const std::vector<PixelRect>& rects, bool all) {
    if (s.Renderer) {
        SDL_SetRenderDrawColor(s.Renderer, 0, 0, 0, 255);
        SDL_RenderClear(s.Renderer);
        if (s.Texture) {
            int outW = 0, outH = 0;
            const ViewFit fit = OutputFit(s, outW, outH);
            // The picture sits at the client's (0, 0); what lies past the client area is not shown.
            const SDL_Rect src{0, 0, std::min(s.TextureW, s.LogicalW), std::min(s.TextureH, s.LogicalH)};
            const SDL_FRect dst{static_cast<float>(fit.OffsetX), static_cast<float>(fit.OffsetY),
                                static_cast<float>(src.w * fit.Scale), static_cast<float>(src.h * fit.Scale)};
            SDL_RenderCopyF(s.Renderer, s.Texture, &src, &dst);
        }
        SDL_RenderPresent(s.Renderer);
    } else {
        SDL_Surface* target = s.Target;
        if (!target) return;
        const ViewFit fit = FitPicture(s.LogicalW, s.LogicalH, target->w, target->h, Options.Smooth);
        std::vector<SDL_Rect> out;
        if (!all && fit.Scale == std::floor(fit.Scale))
            for (const PixelRect& r : rects) out.push_back(ToOutput(fit, r, target->w, target->h));
        if (out.empty()) SDL_UpdateWindowSurface(s.Window);
        else SDL_UpdateWindowSurfaceRects(s.Window, out.data(), static_cast<int>(out.size()));
    }
    ++s.Stats.Shows;
    s.Stale = false;
    if (!FirstFrameReported && s.HeldW > 0 && &s == &Windows[Index(WindowId::Main)]) {
        FirstFrameReported = true;
        // For start-up measurements: when the first picture reached the screen, on the wall clock.
        if (const char* report = std::getenv("ORVA_REPORT_FIRST_FRAME"); report && *report && *report != '0') {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::fprintf(stderr, "orva: first frame presented at %.6f\n",
                         std::chrono::duration<double>(now).count());
        }
    }
}

// ---- full screen ----------------------------------------------------------------------------

void SdlPlatform::SetFullScreen(bool on) {
    Surface* s = Find(WindowId::Main);
    if (!s) return;
    if (on) {
        // The desktop keeps its resolution; the picture is centred with black bars, scaled by
        // whole pixels (or filled smoothly with --smooth).
        if (SDL_SetWindowFullscreen(s->Window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            std::cerr << "orva: cannot switch to full screen: " << SDL_GetError() << "\n";
            return;
        }
        FullScreen = true;
    } else {
        if (SDL_SetWindowFullscreen(s->Window, 0) != 0)
            std::cerr << "orva: cannot leave full screen: " << SDL_GetError() << "\n";
        SDL_SetWindowSize(s->Window, kMainW * Options.Scale, kMainH * Options.Scale);
        const int display = std::max(0, SDL_GetWindowDisplayIndex(s->Window));
        SDL_SetWindowPosition(s->Window, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                              SDL_WINDOWPOS_CENTERED_DISPLAY(display));
        FullScreen = (SDL_GetWindowFlags(s->Window) & SDL_WINDOW_FULLSCREEN) != 0;
    }
    Redraw(*s);
}

// ---- modal runs and text input --------------------------------------------------------------

void SdlPlatform::BeginModal(WindowId dialog) {
    Surface* d = Find(dialog);
    const Surface* main = Find(WindowId::Main);
    if (!d || !main || dialog == WindowId::Main) return;
    if (dialog == WindowId::Query) {
        int mw = 0, mh = 0, dw = 0, dh = 0;
        SDL_GetWindowSize(main->Window, &mw, &mh);
        SDL_GetWindowSize(d->Window, &dw, &dh);
        const Point p = CentreOver(ClientOrigin(*main), {mw, mh}, {dw, dh});
        SDL_SetWindowPosition(d->Window, p.X, p.Y);
    }
    ModalOpen = true;
    ModalWindow = dialog;
    ShowWindow(dialog, true);
    SDL_RaiseWindow(d->Window);
}

void SdlPlatform::EndModal(WindowId dialog) {
    if (!ModalOpen || dialog != ModalWindow) return;
    ModalOpen = false;
    ModalWindow = WindowId::None;
    ShowWindow(dialog, false);
    if (Surface* main = Find(WindowId::Main)) SDL_RaiseWindow(main->Window);
}

void SdlPlatform::SetTextInputArea(Point mainClient, int width, int height) {
    if (!VideoStarted) return;
    const ViewFit fit = WindowFit(Windows[Index(WindowId::Main)]);
    const Point a = LogicalToWindow(fit, mainClient);
    const Point b = LogicalToWindow(fit, {mainClient.X + width, mainClient.Y + height});
    SDL_Rect rect{a.X, a.Y, b.X - a.X, b.Y - a.Y};
    SDL_SetTextInputRect(&rect);
}

bool SdlPlatform::SetClipboardText(const std::string& utf8) {
    return VideoStarted && SDL_SetClipboardText(utf8.c_str()) == 0;
}

void SdlPlatform::SetTextInput(bool on) {
    if (!VideoStarted) return;
    TextInputOn = on;
    Composing = false;
    if (on) SDL_StartTextInput();
    else SDL_StopTextInput();
}

}  // namespace orva
