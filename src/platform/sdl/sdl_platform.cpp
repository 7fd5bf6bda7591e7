// The SDL2 platform backend.
#include "platform/sdl/sdl_platform.h"

#include <cmath>

#include "graphics/abitmap.h"

namespace orva {
namespace {

// Only presses in the detached window's top 32 rows drag it; the window manager moves it.
SDL_HitTestResult MsgHitTest(SDL_Window*, const SDL_Point* area, void* data) {
    const int scale = *static_cast<const int*>(data);
    return area->y < 32 * scale ? SDL_HITTEST_DRAGGABLE : SDL_HITTEST_NORMAL;
}

}  // namespace

SdlPlatform::SdlPlatform(SdlOptions options) : Options(std::move(options)) {}

SdlPlatform::~SdlPlatform() {
    for (auto& w : Wins) {
        if (w.Texture) SDL_DestroyTexture(w.Texture);
        if (w.Renderer) SDL_DestroyRenderer(w.Renderer);
        if (w.Window) SDL_DestroyWindow(w.Window);
    }
    if (Inited) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER);
}

bool SdlPlatform::Init(std::string& error) {
    SDL_SetHint(SDL_HINT_IME_SHOW_UI, "1");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, Options.Smooth ? "linear" : "nearest");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
        error = SDL_GetError();
        return false;
    }
    Inited = true;
    Start = SDL_GetTicks64();
    struct Spec {
        WindowId Id;
        int W, H;
        uint32_t Flags;
        const char* Title;
    };
    const Spec specs[] = {
        {WindowId::Main, 800, 600, SDL_WINDOW_SHOWN, Options.Title.c_str()},
        {WindowId::Msg, 800, 184, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP, "MsgForm"},
        {WindowId::Query, 320, 128, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP, "確認"},
        {WindowId::Debug, 720, 220, SDL_WINDOW_HIDDEN | SDL_WINDOW_ALWAYS_ON_TOP, "Debug Window"},
    };
    for (const Spec& s : specs) {
        Win& w = Wins[Index(s.Id)];
        w.LogicalW = s.W;
        w.LogicalH = s.H;
        const int pos = s.Id == WindowId::Debug ? 0 : static_cast<int>(SDL_WINDOWPOS_CENTERED);
        w.Window = SDL_CreateWindow(s.Title, pos, pos, s.W * Options.Scale, s.H * Options.Scale, s.Flags);
        if (!w.Window) {
            error = SDL_GetError();
            return false;
        }
        w.Renderer = SDL_CreateRenderer(w.Window, -1, 0);
        if (!w.Renderer) w.Renderer = SDL_CreateRenderer(w.Window, -1, SDL_RENDERER_SOFTWARE);
        if (!w.Renderer) {
            error = SDL_GetError();
            return false;
        }
        SDL_RenderSetLogicalSize(w.Renderer, s.W, s.H);
        SDL_RenderSetIntegerScale(w.Renderer, Options.Smooth ? SDL_FALSE : SDL_TRUE);
    }
    SDL_SetWindowHitTest(Wins[Index(WindowId::Msg)].Window, MsgHitTest, &Options.Scale);
    PlaceWindow(WindowId::Msg, {0, 416});
    return true;
}

uint32_t SdlPlatform::Ticks() { return static_cast<uint32_t>(SDL_GetTicks64() - Start); }

WindowId SdlPlatform::FromSdlId(uint32_t id) const {
    for (size_t i = 0; i < Wins.size(); ++i)
        if (Wins[i].Window && SDL_GetWindowID(Wins[i].Window) == id) return static_cast<WindowId>(i);
    return WindowId::None;
}

// Window pixels to logical pixels: through the renderer's viewport, so full screen's black bars
// and any scale map back onto the 800×600 picture.
Point SdlPlatform::ToLogical(WindowId w, int x, int y) const {
    const Win& win = Wins[Index(w)];
    int ww = 0, wh = 0;
    SDL_GetWindowSize(win.Window, &ww, &wh);
    const double sx = static_cast<double>(ww) / win.LogicalW, sy = static_cast<double>(wh) / win.LogicalH;
    double s = std::min(sx, sy);
    if (!Options.Smooth && s >= 1) s = std::floor(s);
    const double ox = (ww - win.LogicalW * s) / 2, oy = (wh - win.LogicalH * s) / 2;
    return {static_cast<int32_t>(std::floor((x - ox) / s)), static_cast<int32_t>(std::floor((y - oy) / s))};
}

void SdlPlatform::PumpMessages(PlatformEvents& events) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
        case SDL_QUIT: events.OnCloseRequest(); break;
        case SDL_WINDOWEVENT: {
            const WindowId w = FromSdlId(e.window.windowID);
            if (e.window.event == SDL_WINDOWEVENT_CLOSE && w == WindowId::Main) events.OnCloseRequest();
            if (e.window.event == SDL_WINDOWEVENT_EXPOSED && w != WindowId::None) {
                Win& win = Wins[Index(w)];
                if (win.Texture) {
                    SDL_RenderClear(win.Renderer);
                    SDL_RenderCopy(win.Renderer, win.Texture, nullptr, nullptr);
                    SDL_RenderPresent(win.Renderer);
                }
            }
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const WindowId w = FromSdlId(e.button.windowID);
            if (w == WindowId::None || (ModalOpen && w != WindowId::Query)) break;
            const MouseButton b = e.button.button == SDL_BUTTON_LEFT    ? MouseButton::Left
                                  : e.button.button == SDL_BUTTON_RIGHT ? MouseButton::Right
                                                                        : MouseButton::Middle;
            const Point p = ToLogical(w, e.button.x, e.button.y);
            if (e.type == SDL_MOUSEBUTTONDOWN) events.OnMouseDown(w, b, p);
            else events.OnMouseUp(w, b, p);
            break;
        }
        case SDL_MOUSEWHEEL: {
            const WindowId w = FromSdlId(e.wheel.windowID);
            if (w == WindowId::None || ModalOpen) break;
            int dy = e.wheel.y;
            if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) dy = -dy;
            for (; dy > 0; --dy) events.OnMouseWheel(w, 1);
            for (; dy < 0; ++dy) events.OnMouseWheel(w, -1);
            break;
        }
        case SDL_TEXTINPUT: events.OnTextInput(e.text.text); break;
        default: break;
        }
    }
}

bool SdlPlatform::KeyDown(Key key) {
    const Uint8* k = SDL_GetKeyboardState(nullptr);
    switch (key) {
    case Key::Return: return k[SDL_SCANCODE_RETURN] || k[SDL_SCANCODE_KP_ENTER];
    case Key::Ctrl: return k[SDL_SCANCODE_LCTRL] || k[SDL_SCANCODE_RCTRL];
    case Key::Space: return k[SDL_SCANCODE_SPACE];
    case Key::PageUp: return k[SDL_SCANCODE_PAGEUP];
    case Key::PageDown: return k[SDL_SCANCODE_PAGEDOWN];
    case Key::F1: return k[SDL_SCANCODE_F1];
    case Key::F2: return k[SDL_SCANCODE_F2];
    case Key::Alt: return k[SDL_SCANCODE_LALT] || k[SDL_SCANCODE_RALT];
    case Key::Count: break;
    }
    return false;
}

Point SdlPlatform::CursorIn(WindowId window) {
    if (window == WindowId::None) return {};
    int gx = 0, gy = 0, wx = 0, wy = 0;
    SDL_GetGlobalMouseState(&gx, &gy);
    SDL_GetWindowPosition(Wins[Index(window)].Window, &wx, &wy);
    return ToLogical(window, gx - wx, gy - wy);
}

WindowId SdlPlatform::Foreground() {
    SDL_Window* focus = SDL_GetKeyboardFocus();
    return focus ? FromSdlId(SDL_GetWindowID(focus)) : WindowId::None;
}

void SdlPlatform::ShowWindow(WindowId window, bool visible) {
    if (window == WindowId::None) return;
    if (visible) SDL_ShowWindow(Wins[Index(window)].Window);
    else SDL_HideWindow(Wins[Index(window)].Window);
}

bool SdlPlatform::IsWindowVisible(WindowId window) {
    if (window == WindowId::None) return false;
    return (SDL_GetWindowFlags(Wins[Index(window)].Window) & SDL_WINDOW_SHOWN) != 0;
}

void SdlPlatform::PlaceWindow(WindowId window, Point mainClient) {
    if (window == WindowId::None || window == WindowId::Main) return;
    int mx = 0, my = 0;
    SDL_GetWindowPosition(Wins[Index(WindowId::Main)].Window, &mx, &my);
    const int s = ScaleOf(WindowId::Main);
    SDL_SetWindowPosition(Wins[Index(window)].Window, mx + mainClient.X * s, my + mainClient.Y * s);
}

void SdlPlatform::Present(WindowId window, const TABitmap& picture) {
    if (window == WindowId::None || !picture.IsReady()) return;
    Win& w = Wins[Index(window)];
    if (!w.Texture || w.TexW != picture.Width() || w.TexH != picture.Height()) {
        if (w.Texture) SDL_DestroyTexture(w.Texture);
        w.Texture = SDL_CreateTexture(w.Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                      picture.Width(), picture.Height());
        if (!w.Texture) return;
        w.TexW = picture.Width();
        w.TexH = picture.Height();
    }
    // The fourth byte is the engine's transparency; on screen every pixel is opaque.
    SDL_UpdateTexture(w.Texture, nullptr, picture.Row(0), picture.Width() * 4);
    SDL_SetRenderDrawColor(w.Renderer, 0, 0, 0, 255);
    SDL_RenderClear(w.Renderer);
    SDL_RenderCopy(w.Renderer, w.Texture, nullptr, nullptr);
    SDL_RenderPresent(w.Renderer);
}

void SdlPlatform::SetFullScreen(bool on) {
    SDL_Window* main = Wins[Index(WindowId::Main)].Window;
    if (on == FullScreen) return;
    if (on) {
        SDL_SetWindowFullscreen(main, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(main, 0);
        SDL_SetWindowSize(main, 800 * Options.Scale, 600 * Options.Scale);
        SDL_SetWindowPosition(main, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    FullScreen = on;
}

void SdlPlatform::BeginModal(WindowId dialog) {
    Win& d = Wins[Index(dialog)];
    int mx = 0, my = 0, mw = 0, mh = 0;
    SDL_GetWindowPosition(Wins[Index(WindowId::Main)].Window, &mx, &my);
    SDL_GetWindowSize(Wins[Index(WindowId::Main)].Window, &mw, &mh);
    int dw = 0, dh = 0;
    SDL_GetWindowSize(d.Window, &dw, &dh);
    SDL_SetWindowPosition(d.Window, mx + (mw - dw) / 2, my + (mh - dh) / 2);
    SDL_ShowWindow(d.Window);
    SDL_RaiseWindow(d.Window);
    ModalOpen = true;
}

void SdlPlatform::EndModal(WindowId dialog) {
    SDL_HideWindow(Wins[Index(dialog)].Window);
    ModalOpen = false;
    SDL_RaiseWindow(Wins[Index(WindowId::Main)].Window);
}

void SdlPlatform::SetTextInput(bool on) {
    if (on) SDL_StartTextInput();
    else SDL_StopTextInput();
}

}  // namespace orva
