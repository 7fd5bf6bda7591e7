// The SDL platform on SDL's dummy video driver: windows, pictures, placement, the dialog's
// modal run and the translation of SDL events into engine events.
#include "platform/sdl/sdl_platform.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "graphics/abitmap.h"
#include "platform/screen_layout.h"
#include "platform_sdl/virtual_pad.h"

namespace orva {
namespace {

// Every engine event as one line of text, in arrival order.
class Recorder : public PlatformEvents {
public:
    std::vector<std::string> Log;
    static const char* Name(WindowId w) {
        switch (w) {
            case WindowId::Main: return "main";
            case WindowId::Msg: return "msg";
            case WindowId::Query: return "query";
            case WindowId::Debug: return "debug";
            default: return "none";
        }
    }
    static const char* Name(MouseButton b) {
        return b == MouseButton::Left    ? "left"
               : b == MouseButton::Right ? "right"
               : b == MouseButton::Back  ? "back"
                                         : "middle";
    }
    void OnMouseDown(WindowId w, MouseButton b, Point p) override {
        Log.push_back(std::string("down ") + Name(w) + " " + Name(b) + " " + std::to_string(p.X) + "," +
                      std::to_string(p.Y));
    }
    void OnMouseUp(WindowId w, MouseButton b, Point p) override {
        Log.push_back(std::string("up ") + Name(w) + " " + Name(b) + " " + std::to_string(p.X) + "," +
                      std::to_string(p.Y));
    }
    void OnMouseWheel(WindowId w, int d) override { Log.push_back(std::string("wheel ") + Name(w) + " " + std::to_string(d)); }
    void OnTextInput(const std::string& s) override { Log.push_back("text " + s); }
    void OnTextComposition(const std::string& s) override { Log.push_back("compose " + s); }
    void OnCloseRequest() override { Log.push_back("close"); }
    void OnPadAction(PadAction a) override {
        static const char* const kNames[] = {"back", "config", "previous", "next"};
        Log.push_back(std::string("pad ") + kNames[static_cast<int>(a)]);
    }
};

class SdlPlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_RENDER_DRIVER", "software", 0);
    }
    static SdlOptions Opts(int scale) {
        SdlOptions o;
        o.Scale = scale;
        o.Title = "orva test";
        return o;
    }
    static SDL_Window* Win(const SdlPlatform& p, WindowId w) { return SDL_GetWindowFromID(p.SdlWindowId(w)); }
    static Point Size(const SdlPlatform& p, WindowId w) {
        Point s;
        SDL_GetWindowSize(Win(p, w), &s.X, &s.Y);
        return s;
    }
    static Point Pos(const SdlPlatform& p, WindowId w) {
        Point s;
        SDL_GetWindowPosition(Win(p, w), &s.X, &s.Y);
        return s;
    }
    static SdlOptions Opts(int scale, PresentPath path) {
        SdlOptions o = Opts(scale);
        o.Path = path;
        return o;
    }
    // What the window shows, as ARGB words (read from its renderer, or its window surface).
    static std::vector<uint32_t> Shown(const SdlPlatform& p, WindowId w) {
        SDL_Renderer* r = SDL_GetRenderer(Win(p, w));
        if (!r) {
            SDL_Surface* s = SDL_GetWindowSurface(Win(p, w));
            std::vector<uint32_t> px(static_cast<size_t>(s->w) * s->h);
            if (SDL_ConvertPixels(s->w, s->h, s->format->format, s->pixels, s->pitch, SDL_PIXELFORMAT_ARGB8888,
                                  px.data(), s->w * 4) != 0)
                px.clear();
            for (uint32_t& v : px) v |= 0xFF000000u;  // an XRGB surface has no alpha to read
            return px;
        }
        int ww = 0, hh = 0;
        SDL_GetRendererOutputSize(r, &ww, &hh);
        std::vector<uint32_t> px(static_cast<size_t>(ww) * hh);
        if (SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_ARGB8888, px.data(), ww * 4) != 0) px.clear();
        return px;
    }
    static void Push(SDL_Event ev) { ASSERT_EQ(SDL_PushEvent(&ev), 1) << SDL_GetError(); }
    static SDL_Event Button(uint32_t type, uint32_t window, uint8_t button, int x, int y) {
        SDL_Event ev{};
        ev.type = type;
        ev.button.windowID = window;
        ev.button.button = button;
        ev.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        ev.button.x = x;
        ev.button.y = y;
        return ev;
    }
    static SDL_Event WindowEvent(uint32_t window, uint8_t what) {
        SDL_Event ev{};
        ev.type = SDL_WINDOWEVENT;
        ev.window.windowID = window;
        ev.window.event = what;
        return ev;
    }
    static std::vector<std::string> Pump(SdlPlatform& p) {
        Recorder r;
        p.PumpMessages(r);
        return r.Log;
    }
};

TEST_F(SdlPlatformTest, InitOpensFourWindowsOfTheRightSizesAndVisibility) {
    for (int scale : {1, 2}) {
        SdlPlatform p(Opts(scale));
        std::string error;
        ASSERT_TRUE(p.Init(error)) << error;
        EXPECT_TRUE(p.Init(error)) << "a second Init keeps the open windows";

        EXPECT_EQ(Size(p, WindowId::Main), (Point{kScreenWidth * scale, kScreenHeight * scale}));
        EXPECT_EQ(Size(p, WindowId::Msg), (Point{kMsgWindowWidth * scale, kMsgWindowHeight * scale}));
        EXPECT_EQ(Size(p, WindowId::Query), (Point{320 * scale, 128 * scale}));
        EXPECT_EQ(Size(p, WindowId::Debug), (Point{720 * scale, 220 * scale}));

        EXPECT_TRUE(p.IsWindowVisible(WindowId::Main));
        EXPECT_FALSE(p.IsWindowVisible(WindowId::Msg));
        EXPECT_FALSE(p.IsWindowVisible(WindowId::Query));
        EXPECT_FALSE(p.IsWindowVisible(WindowId::Debug));
        EXPECT_FALSE(p.IsWindowVisible(WindowId::None));
        EXPECT_FALSE(p.IsFullScreen());
        EXPECT_FALSE(p.ModalAutoConfirm());

        const uint32_t mainFlags = SDL_GetWindowFlags(Win(p, WindowId::Main));
        EXPECT_EQ(mainFlags & (SDL_WINDOW_RESIZABLE | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN), 0u);
        EXPECT_STREQ(SDL_GetWindowTitle(Win(p, WindowId::Main)), "orva test");
        const uint32_t msgFlags = SDL_GetWindowFlags(Win(p, WindowId::Msg));
        EXPECT_NE(msgFlags & SDL_WINDOW_BORDERLESS, 0u);
        EXPECT_NE(msgFlags & SDL_WINDOW_ALWAYS_ON_TOP, 0u);
        EXPECT_NE(SDL_GetWindowFlags(Win(p, WindowId::Query)) & SDL_WINDOW_BORDERLESS, 0u);
        const uint32_t debugFlags = SDL_GetWindowFlags(Win(p, WindowId::Debug));
        EXPECT_EQ(debugFlags & SDL_WINDOW_BORDERLESS, 0u);
        EXPECT_NE(debugFlags & SDL_WINDOW_ALWAYS_ON_TOP, 0u);
        EXPECT_EQ(Pos(p, WindowId::Debug), (Point{0, 0}));

        // Window ids are distinct and map back; strangers map to None.
        for (WindowId w : {WindowId::Main, WindowId::Msg, WindowId::Query, WindowId::Debug}) {
            EXPECT_NE(p.SdlWindowId(w), 0u);
            EXPECT_EQ(p.FromSdlWindowId(p.SdlWindowId(w)), w);
        }
        EXPECT_EQ(p.FromSdlWindowId(0), WindowId::None);
        EXPECT_EQ(p.FromSdlWindowId(0xFFFFFF), WindowId::None);

        p.ShowWindow(WindowId::Msg, true);
        EXPECT_TRUE(p.IsWindowVisible(WindowId::Msg));
        EXPECT_EQ(SDL_GetWindowFlags(Win(p, WindowId::Msg)) & SDL_WINDOW_SHOWN, SDL_WINDOW_SHOWN);
        p.ShowWindow(WindowId::Msg, false);
        EXPECT_FALSE(p.IsWindowVisible(WindowId::Msg));
    }
}

TEST_F(SdlPlatformTest, WithoutAVideoDeviceInitFailsWithTextAndNothingCrashes) {
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "no-such-driver", SDL_HINT_OVERRIDE);
    {
        SdlPlatform p(Opts(0));  // a bad scale counts as 1
        std::string error;
        EXPECT_FALSE(p.Init(error));
        EXPECT_FALSE(error.empty());
        // Every call stays harmless on a platform without windows.
        Recorder r;
        p.PumpMessages(r);
        EXPECT_TRUE(r.Log.empty());
        EXPECT_EQ(p.CursorIn(WindowId::Main), (Point{0, 0}));
        EXPECT_FALSE(p.KeyDown(Key::Return));
        EXPECT_EQ(p.Foreground(), WindowId::None);
        p.ShowWindow(WindowId::Msg, true);
        EXPECT_FALSE(p.IsWindowVisible(WindowId::Msg));
        p.PlaceWindow(WindowId::Msg, {0, kMsgWindowTop});
        p.Present(WindowId::Main, TABitmap(800, 600));
        p.SetFullScreen(true);
        EXPECT_FALSE(p.IsFullScreen());
        p.BeginModal(WindowId::Query);
        p.EndModal(WindowId::Query);
        p.SetTextInput(true);
        p.SetCursorVisible(true);
        const uint32_t t0 = p.Ticks();
        p.Sleep(5);
        EXPECT_GE(p.Ticks() - t0, 5u);
        EXPECT_LT(t0, 10000u) << "ticks count from the platform's creation";
    }
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    SdlPlatform again(Opts(1));
    std::string error;
    EXPECT_TRUE(again.Init(error)) << error;
}

TEST_F(SdlPlatformTest, PresentShowsThePictureOpaqueAndScaledByWholePixels) {
    TABitmap pic(800, 600);
    for (int y = 0; y < 600; ++y) {
        uint8_t* row = pic.Row(y);
        for (int x = 0; x < 800; ++x) {
            row[x * 4 + 0] = static_cast<uint8_t>(x);        // blue
            row[x * 4 + 1] = static_cast<uint8_t>(y);        // green
            row[x * 4 + 2] = static_cast<uint8_t>(x ^ y);    // red
            row[x * 4 + 3] = static_cast<uint8_t>((x + y) & 1 ? 255 : 0);  // transparency, ignored
        }
    }
    auto expected = [](int x, int y) {
        return 0xFF000000u | uint32_t(uint8_t(x ^ y)) << 16 | uint32_t(uint8_t(y)) << 8 | uint8_t(x);
    };
    for (int scale : {1, 2}) {
        SdlPlatform p(Opts(scale));
        std::string error;
        ASSERT_TRUE(p.Init(error)) << error;
        p.Present(WindowId::Main, pic);
        const std::vector<uint32_t> shown = Shown(p, WindowId::Main);
        ASSERT_EQ(shown.size(), size_t(800 * scale) * 600 * scale);
        const int stride = 800 * scale;
        for (Point q : {Point{0, 0}, Point{1, 0}, Point{255, 17}, Point{799, 599}, Point{400, 300}}) {
            for (int dy = 0; dy < scale; ++dy)
                for (int dx = 0; dx < scale; ++dx)
                    EXPECT_EQ(shown[size_t(q.Y * scale + dy) * stride + q.X * scale + dx], expected(q.X, q.Y))
                        << "scale " << scale << " at " << q.X << "," << q.Y;
        }

        // A smaller picture replaces the texture; what it does not cover is black.
        TABitmap small(10, 10);
        small.FillColor(255, 0, 0);
        p.Present(WindowId::Main, small);
        const std::vector<uint32_t> after = Shown(p, WindowId::Main);
        ASSERT_EQ(after.size(), shown.size());
        EXPECT_EQ(after[0], 0xFFFF0000u);
        EXPECT_EQ(after[size_t(10 * scale - 1) * stride + 10 * scale - 1], 0xFFFF0000u);
        EXPECT_EQ(after[size_t(10 * scale) * stride + 10 * scale], 0xFF000000u);

        // An empty picture changes nothing; an expose shows the last picture again.
        p.Present(WindowId::Main, TABitmap());
        SDL_Renderer* r = SDL_GetRenderer(Win(p, WindowId::Main));
        SDL_SetRenderDrawColor(r, 0, 0, 255, 255);
        SDL_RenderClear(r);
        SDL_RenderPresent(r);
        ASSERT_EQ(Shown(p, WindowId::Main)[0], 0xFF0000FFu);
        Push(WindowEvent(p.SdlWindowId(WindowId::Main), SDL_WINDOWEVENT_EXPOSED));
        EXPECT_TRUE(Pump(p).empty());
        EXPECT_EQ(Shown(p, WindowId::Main)[0], 0xFFFF0000u);
    }
}

// A test picture whose every pixel differs from its neighbours, transparency varying.
TABitmap Pattern() {
    TABitmap pic(800, 600);
    for (int y = 0; y < 600; ++y) {
        uint8_t* row = pic.Row(y);
        for (int x = 0; x < 800; ++x) {
            row[x * 4 + 0] = static_cast<uint8_t>(x);
            row[x * 4 + 1] = static_cast<uint8_t>(y);
            row[x * 4 + 2] = static_cast<uint8_t>(x ^ y);
            row[x * 4 + 3] = static_cast<uint8_t>((x + y) & 1 ? 255 : 0);
        }
    }
    return pic;
}

// What the window must show of a picture at a whole scale: every logical pixel a square, opaque.
::testing::AssertionResult ShowsPicture(const std::vector<uint32_t>& shown, const TABitmap& pic, int scale) {
    const int stride = 800 * scale;
    if (shown.size() != size_t(stride) * 600 * scale) return ::testing::AssertionFailure() << "size " << shown.size();
    for (int y = 0; y < 600 * scale; ++y)
        for (int x = 0; x < stride; ++x) {
            const uint8_t* px = pic.Row(y / scale) + (x / scale) * 4;
            const uint32_t want = 0xFF000000u | uint32_t{px[2]} << 16 | uint32_t{px[1]} << 8 | px[0];
            if (shown[size_t(y) * stride + x] != want)
                return ::testing::AssertionFailure() << "differs at output " << x << "," << y;
        }
    return ::testing::AssertionSuccess();
}

TEST_F(SdlPlatformTest, OnlyShownWindowsGetAnOutputAndAPicturePresentedHiddenIsShownWhole) {
    for (PresentPath path : {PresentPath::Renderer, PresentPath::Surface}) {
        SdlPlatform p(Opts(1, path));
        std::string error;
        ASSERT_TRUE(p.Init(error)) << error;
        EXPECT_EQ(p.ActivePath(), path);
        EXPECT_TRUE(p.HasOutput(WindowId::Main));
        EXPECT_EQ(p.HasRenderer(WindowId::Main), path == PresentPath::Renderer);
        for (WindowId w : {WindowId::Msg, WindowId::Query, WindowId::Debug}) {
            EXPECT_FALSE(p.HasOutput(w));
            EXPECT_EQ(SDL_GetRenderer(Win(p, w)), nullptr);
        }

        // The dialog's picture arrives before the dialog opens: kept, not drawn.
        TABitmap dialog(320, 128);
        dialog.FillColor(10, 20, 30);
        p.Present(WindowId::Query, dialog);
        EXPECT_FALSE(p.HasOutput(WindowId::Query));
        EXPECT_EQ(p.Stats(WindowId::Query).Uploads, 0u);
        EXPECT_EQ(p.Stats(WindowId::Query).Shows, 0u);
        p.BeginModal(WindowId::Query);
        EXPECT_TRUE(p.HasOutput(WindowId::Query));
        const std::vector<uint32_t> shown = Shown(p, WindowId::Query);
        ASSERT_EQ(shown.size(), size_t(320) * 128);
        EXPECT_EQ(shown[0], 0xFF0A141Eu);
        EXPECT_EQ(shown.back(), 0xFF0A141Eu);

        // Changed while hidden, then shown again: the window shows the newest picture whole.
        p.EndModal(WindowId::Query);
        dialog.FillColor(200, 100, 0);
        p.Present(WindowId::Query, dialog);
        p.Present(WindowId::Query, dialog);
        p.BeginModal(WindowId::Query);
        EXPECT_EQ(Shown(p, WindowId::Query)[size_t(127) * 320 + 319], 0xFFC86400u);
        EXPECT_FALSE(p.HasOutput(WindowId::Debug));
    }
}

TEST_F(SdlPlatformTest, TheAutomaticPathTakesANamedRendererElseNeverASoftwareOne) {
    // A renderer named by SDL_RENDER_DRIVER (the tests name the software one) is used as named.
    {
        SdlPlatform p(Opts(1));
        std::string error;
        ASSERT_TRUE(p.Init(error)) << error;
        EXPECT_EQ(p.ActivePath(), PresentPath::Renderer);
        EXPECT_TRUE(p.HasRenderer(WindowId::Main));
    }
    // Unnamed: the dummy display has no accelerated renderer, GPU or not, so the windows draw
    // into their own surfaces.
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "", SDL_HINT_OVERRIDE);
    {
        SdlPlatform p(Opts(1));
        std::string error;
        ASSERT_TRUE(p.Init(error)) << error;
        EXPECT_EQ(p.ActivePath(), PresentPath::Surface);
        EXPECT_TRUE(p.HasOutput(WindowId::Main));
        EXPECT_FALSE(p.HasRenderer(WindowId::Main));
        p.ShowWindow(WindowId::Debug, true);
        EXPECT_TRUE(p.HasOutput(WindowId::Debug));
        EXPECT_FALSE(p.HasRenderer(WindowId::Debug));
        const TABitmap pic = Pattern();
        p.Present(WindowId::Main, pic);
        EXPECT_TRUE(ShowsPicture(Shown(p, WindowId::Main), pic, 1));
    }
    SDL_ResetHint(SDL_HINT_RENDER_DRIVER);
}

TEST_F(SdlPlatformTest, AnUnchangedFrameIsNotUploadedAndAChangeUploadsItsRectangleOnly) {
    for (PresentPath path : {PresentPath::Renderer, PresentPath::Surface}) {
        for (int scale : {1, 2}) {
            SCOPED_TRACE(testing::Message() << (path == PresentPath::Surface ? "surface" : "renderer") << " scale "
                                            << scale);
            SdlPlatform p(Opts(scale, path));
            std::string error;
            ASSERT_TRUE(p.Init(error)) << error;
            TABitmap pic = Pattern();
            p.Present(WindowId::Main, pic);
            EXPECT_TRUE(ShowsPicture(Shown(p, WindowId::Main), pic, scale));
            const PresentStats first = p.Stats(WindowId::Main);
            EXPECT_EQ(first.UploadedPixels, 800u * 600u);

            for (int i = 0; i < 3; ++i) p.Present(WindowId::Main, pic);
            PresentStats s = p.Stats(WindowId::Main);
            EXPECT_EQ(s.Frames, first.Frames + 3);
            EXPECT_EQ(s.Unchanged, first.Unchanged + 3);
            EXPECT_EQ(s.Uploads, first.Uploads);
            EXPECT_EQ(s.Shows, first.Shows);

            // The click-wait icon turns: one 32×32 upload, one show, and the screen has it.
            for (int y = 540; y < 572; ++y)
                for (int x = 700; x < 732; ++x) std::memset(pic.Row(y) + x * 4, 0x55, 4);
            p.Present(WindowId::Main, pic);
            s = p.Stats(WindowId::Main);
            EXPECT_EQ(s.Uploads, first.Uploads + 1);
            EXPECT_EQ(s.UploadedPixels, first.UploadedPixels + 32u * 32u);
            EXPECT_EQ(s.Shows, first.Shows + 1);
            EXPECT_TRUE(ShowsPicture(Shown(p, WindowId::Main), pic, scale));

            // With a promised rectangle only that part is compared: the icon turns again and is
            // uploaded; a rectangle reaching past the picture is cut to it.
            for (int y = 540; y < 572; ++y)
                for (int x = 700; x < 732; ++x) std::memset(pic.Row(y) + x * 4, 0x66, 4);
            p.PresentChanged(WindowId::Main, pic, 600, 500, 400, 400);
            s = p.Stats(WindowId::Main);
            EXPECT_EQ(s.Uploads, first.Uploads + 2);
            EXPECT_EQ(s.UploadedPixels, first.UploadedPixels + 2 * 32u * 32u);
            EXPECT_TRUE(ShowsPicture(Shown(p, WindowId::Main), pic, scale));
            p.PresentChanged(WindowId::Main, pic, -50, -50, 0, 0);
            EXPECT_EQ(p.Stats(WindowId::Main).Unchanged, s.Unchanged + 1);

            // An expose repaints although the picture did not change.
            Push(WindowEvent(p.SdlWindowId(WindowId::Main), SDL_WINDOWEVENT_EXPOSED));
            EXPECT_TRUE(Pump(p).empty());
            EXPECT_EQ(p.Stats(WindowId::Main).Shows, s.Shows + 1);
            EXPECT_TRUE(ShowsPicture(Shown(p, WindowId::Main), pic, scale));
        }
    }
}

TEST_F(SdlPlatformTest, AResizedWindowSurfaceIsDrawnWholeWithBarsAtWholeAndSmoothScales) {
    for (bool smooth : {false, true}) {
        SCOPED_TRACE(smooth ? "smooth" : "whole pixels");
        SdlOptions o = Opts(1, PresentPath::Surface);
        o.Smooth = smooth;
        SdlPlatform p(o);
        std::string error;
        ASSERT_TRUE(p.Init(error)) << error;
        TABitmap pic(800, 600);
        pic.FillColor(200, 100, 50);
        p.Present(WindowId::Main, pic);

        // The window grows (as full screen makes it): SDL gives it a new surface, drawn whole.
        SDL_SetWindowSize(Win(p, WindowId::Main), 1000, 700);
        Push(WindowEvent(p.SdlWindowId(WindowId::Main), SDL_WINDOWEVENT_SIZE_CHANGED));
        EXPECT_TRUE(Pump(p).empty());
        std::vector<uint32_t> shown = Shown(p, WindowId::Main);
        ASSERT_EQ(shown.size(), size_t(1000) * 700);
        const uint32_t colour = 0xFFC86432u, black = 0xFF000000u;
        EXPECT_EQ(shown[size_t(350) * 1000 + 500], colour);
        EXPECT_EQ(shown[0], black);
        // Whole pixels: scale 1 centred, bars of 100 and 50; smooth: 933 × 700, bars left and right.
        EXPECT_EQ(shown[size_t(350) * 1000 + 20], black);
        EXPECT_EQ(shown[size_t(350) * 1000 + 980], black);
        EXPECT_EQ(shown[size_t(20) * 1000 + 500], smooth ? colour : black);

        // A change after the resize lands in the right place at the right scale.
        for (int y = 0; y < 10; ++y) std::memset(pic.Row(y), 0, 10 * 4);
        p.Present(WindowId::Main, pic);
        shown = Shown(p, WindowId::Main);
        const int left = smooth ? 34 : 100, top = smooth ? 0 : 50;
        EXPECT_EQ(shown[size_t(top + 2) * 1000 + left + 2], 0xFF000000u);
        EXPECT_EQ(shown[size_t(top + 30) * 1000 + left + 30], colour);
        EXPECT_EQ(shown[size_t(350) * 1000 + 500], colour);
    }
}

// The dummy driver has no screen pointer; this platform reads it from the test.
class PointerPlatform : public SdlPlatform {
public:
    using SdlPlatform::SdlPlatform;
    Point Pointer;
protected:
    Point GlobalCursor() const override { return Pointer; }
};

TEST_F(SdlPlatformTest, PlacementAndCursorUseMainClientCoordinatesAtScale2) {
    PointerPlatform p(Opts(2));
    std::string error;
    ASSERT_TRUE(p.Init(error)) << error;
    SDL_SetWindowPosition(Win(p, WindowId::Main), 100, 50);
    const Point main = Pos(p, WindowId::Main);
    ASSERT_EQ(main, (Point{100, 50}));

    p.PlaceWindow(WindowId::Msg, {10, kMsgWindowTop});
    EXPECT_EQ(Pos(p, WindowId::Msg), (Point{100 + 20, 50 + 832}));
    p.PlaceWindow(WindowId::Debug, {-5, 0});
    EXPECT_EQ(Pos(p, WindowId::Debug), (Point{90, 50}));
    p.PlaceWindow(WindowId::Main, {300, 300});  // the main window is not placed relative to itself
    EXPECT_EQ(Pos(p, WindowId::Main), main);

    // The pointer over the main window at its window pixel (301, 201).
    p.Pointer = {100 + 301, 50 + 201};
    EXPECT_EQ(p.CursorIn(WindowId::Main), (Point{150, 100}));
    // The same screen point in the message window (placed at main (10, 416)): above its top.
    EXPECT_EQ(p.CursorIn(WindowId::Msg), (Point{(301 - 20) / 2, (201 - 832 - 1) / 2}));
    p.Pointer = {100 + 1599, 50 + 1199};
    EXPECT_EQ(p.CursorIn(WindowId::Main), (Point{799, 599}));
    EXPECT_EQ(p.CursorIn(WindowId::Msg), (Point{(1599 - 20) / 2, (1199 - 832) / 2}));
    EXPECT_EQ(p.CursorIn(WindowId::None), (Point{0, 0}));
    // A hidden window still reports where the pointer is over its place.
    p.PlaceWindow(WindowId::Query, {0, 0});
    EXPECT_FALSE(p.IsWindowVisible(WindowId::Query));
    EXPECT_EQ(p.CursorIn(WindowId::Query), (Point{799, 599}));
}

TEST_F(SdlPlatformTest, ModalDialogIsCentredAndTheOtherWindowsTakeNoMouseInput) {
    for (int scale : {1, 2}) {
        SdlPlatform p(Opts(scale));
        std::string error;
        ASSERT_TRUE(p.Init(error)) << error;
        SDL_SetWindowPosition(Win(p, WindowId::Main), 30, 40);
        const uint32_t mainId = p.SdlWindowId(WindowId::Main), queryId = p.SdlWindowId(WindowId::Query);

        p.BeginModal(WindowId::Query);
        EXPECT_TRUE(p.IsWindowVisible(WindowId::Query));
        EXPECT_EQ(Pos(p, WindowId::Query), (Point{30 + (800 - 320) / 2 * scale, 40 + (600 - 128) / 2 * scale}));

        Push(Button(SDL_MOUSEBUTTONDOWN, mainId, SDL_BUTTON_LEFT, 10, 10));
        Push(Button(SDL_MOUSEBUTTONUP, mainId, SDL_BUTTON_LEFT, 10, 10));
        Push(WindowEvent(mainId, SDL_WINDOWEVENT_CLOSE));
        Push(Button(SDL_MOUSEBUTTONDOWN, queryId, SDL_BUTTON_LEFT, 40 * scale, 100 * scale + scale - 1));
        Push(Button(SDL_MOUSEBUTTONUP, queryId, SDL_BUTTON_LEFT, 40 * scale, 100 * scale));
        EXPECT_EQ(Pump(p), (std::vector<std::string>{"down query left 40,100", "up query left 40,100"}));

        p.EndModal(WindowId::Main);  // not the open dialog: nothing happens
        EXPECT_TRUE(p.IsWindowVisible(WindowId::Query));
        p.EndModal(WindowId::Query);
        EXPECT_FALSE(p.IsWindowVisible(WindowId::Query));
        Push(Button(SDL_MOUSEBUTTONDOWN, mainId, SDL_BUTTON_LEFT, 10, 10));
        Push(WindowEvent(mainId, SDL_WINDOWEVENT_CLOSE));
        const int c = 10 / scale;
        EXPECT_EQ(Pump(p), (std::vector<std::string>{"down main left " + std::to_string(c) + "," +
                                                         std::to_string(c),
                                                     "close"}));
    }
}

TEST_F(SdlPlatformTest, PumpTranslatesSdlEventsIntoEngineEvents) {
    SdlPlatform p(Opts(2));
    std::string error;
    ASSERT_TRUE(p.Init(error)) << error;
    Pump(p);  // whatever the windows' creation queued
    const uint32_t mainId = p.SdlWindowId(WindowId::Main), msgId = p.SdlWindowId(WindowId::Msg),
                   debugId = p.SdlWindowId(WindowId::Debug);

    Push(Button(SDL_MOUSEBUTTONDOWN, mainId, SDL_BUTTON_LEFT, 301, 201));
    Push(Button(SDL_MOUSEBUTTONUP, mainId, SDL_BUTTON_RIGHT, 1599, 1199));
    Push(Button(SDL_MOUSEBUTTONDOWN, msgId, SDL_BUTTON_MIDDLE, 100, 80));
    Push(Button(SDL_MOUSEBUTTONDOWN, mainId, SDL_BUTTON_X1, 3, 5));     // the back button
    Push(Button(SDL_MOUSEBUTTONDOWN, mainId, SDL_BUTTON_X2, 1, 1));     // the forward one means nothing
    Push(Button(SDL_MOUSEBUTTONDOWN, 0xFFFFFF, SDL_BUTTON_LEFT, 1, 1));  // not one of ours

    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.windowID = msgId;
    wheel.wheel.y = 2;
    wheel.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    Push(wheel);
    wheel.wheel.windowID = mainId;
    wheel.wheel.y = 1;
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    Push(wheel);
    wheel.wheel.y = -1000000;  // a wild count pages a bounded number of times
    wheel.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    Push(wheel);
    wheel.wheel.y = 0;  // a sideways scroll
    Push(wheel);

    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.windowID = mainId;
    SDL_strlcpy(text.text.text, "\xE3\x81\x82", sizeof text.text.text);  // U+3042
    Push(text);

    p.ShowWindow(WindowId::Debug, true);
    Push(WindowEvent(debugId, SDL_WINDOWEVENT_CLOSE));  // the debug window just hides
    Push(WindowEvent(msgId, SDL_WINDOWEVENT_CLOSE));
    Push(WindowEvent(mainId, SDL_WINDOWEVENT_CLOSE));

    std::vector<std::string> expected{"down main left 150,100", "up main right 799,599", "down msg middle 50,40",
                                      "down main back 1,2",
                                      "wheel msg 1", "wheel msg 1", "wheel main -1"};
    for (int i = 0; i < 16; ++i) expected.push_back("wheel main -1");
    expected.insert(expected.end(), {"text \xE3\x81\x82", "close"});
    EXPECT_EQ(Pump(p), expected);
    EXPECT_FALSE(p.IsWindowVisible(WindowId::Debug));
    EXPECT_FALSE(p.ModalAutoConfirm());  // the close button asks first

    // The system's quit request (SIGTERM, the session ending) closes with the answer given.
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    Push(quit);
    EXPECT_EQ(Pump(p), std::vector<std::string>{"close"});
    EXPECT_TRUE(p.ModalAutoConfirm());
}

TEST_F(SdlPlatformTest, ATextFieldTakesReturnBackspaceAndTheCompositionOnlyWhileItIsOn) {
    SdlPlatform p(Opts(1));
    std::string error;
    ASSERT_TRUE(p.Init(error)) << error;
    Pump(p);
    auto key = [](SDL_Keycode k) {
        SDL_Event ev{};
        ev.type = SDL_KEYDOWN;
        ev.key.keysym.sym = k;
        return ev;
    };
    auto edit = [](const char* text) {
        SDL_Event ev{};
        ev.type = SDL_TEXTEDITING;
        SDL_strlcpy(ev.edit.text, text, sizeof ev.edit.text);
        return ev;
    };
    Push(key(SDLK_RETURN));                 // no field: keys are only keys
    Push(edit("\xE3\x81\x8B"));
    EXPECT_TRUE(Pump(p).empty());

    p.SetTextInput(true);
    p.SetTextInputArea({524, 202}, 232, 20);
    Push(key(SDLK_BACKSPACE));
    Push(edit("\xE3\x81\x8B"));             // composing: Return commits it, it does not confirm
    Push(key(SDLK_RETURN));
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    SDL_strlcpy(text.text.text, "\xE3\x81\x8B", sizeof text.text.text);
    Push(text);
    Push(key(SDLK_KP_ENTER));
    EXPECT_EQ(Pump(p), (std::vector<std::string>{"text \b", "compose \xE3\x81\x8B", "text \xE3\x81\x8B", "text \r"}));
    p.SetTextInput(false);
}

TEST_F(SdlPlatformTest, KeysReadTheKeyboardStateWithBothVariants) {
    SdlPlatform p(Opts(1));
    std::string error;
    ASSERT_TRUE(p.Init(error)) << error;
    int count = 0;
    // Pushed key events do not reach SDL's key state, so the test sets the state itself.
    uint8_t* state = const_cast<uint8_t*>(SDL_GetKeyboardState(&count));
    ASSERT_GT(count, SDL_SCANCODE_KP_ENTER);
    auto only = [&](std::initializer_list<SDL_Scancode> down) {
        std::fill(state, state + count, 0);
        for (SDL_Scancode s : down) state[s] = 1;
    };
    struct Case {
        SDL_Scancode Scancode;
        Key Expected;
    };
    const Case cases[] = {{SDL_SCANCODE_RETURN, Key::Return}, {SDL_SCANCODE_KP_ENTER, Key::Return},
                          {SDL_SCANCODE_LCTRL, Key::Ctrl},    {SDL_SCANCODE_RCTRL, Key::Ctrl},
                          {SDL_SCANCODE_LALT, Key::Alt},      {SDL_SCANCODE_RALT, Key::Alt},
                          {SDL_SCANCODE_SPACE, Key::Space},   {SDL_SCANCODE_PAGEUP, Key::PageUp},
                          {SDL_SCANCODE_PAGEDOWN, Key::PageDown}, {SDL_SCANCODE_F1, Key::F1},
                          {SDL_SCANCODE_F2, Key::F2},         {SDL_SCANCODE_BACKSPACE, Key::Backspace}};
    for (const Case& c : cases) {
        only({c.Scancode});
        for (int k = 0; k <= static_cast<int>(Key::Count); ++k)
            EXPECT_EQ(p.KeyDown(static_cast<Key>(k)), static_cast<Key>(k) == c.Expected)
                << "scancode " << c.Scancode << " key " << k;
    }
    only({SDL_SCANCODE_ESCAPE, SDL_SCANCODE_A});
    for (int k = 0; k <= static_cast<int>(Key::Count); ++k) EXPECT_FALSE(p.KeyDown(static_cast<Key>(k)));
    only({});
}

TEST_F(SdlPlatformTest, ATapOfBackspaceOrF12ReleasedBeforeTheKeysAreReadCountsOnce) {
    SdlPlatform p(Opts(1));
    std::string error;
    ASSERT_TRUE(p.Init(error)) << error;
    auto key = [](Uint32 type, SDL_Keycode k, SDL_Scancode sc, Uint8 repeat = 0) {
        SDL_Event ev{};
        ev.type = type;
        ev.key.keysym.sym = k;
        ev.key.keysym.scancode = sc;
        ev.key.repeat = repeat;
        return ev;
    };
    // Pushed events leave SDL's key state up: only the taps are seen.
    for (auto [k, sc, which] : {std::tuple{SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, Key::Backspace},
                                std::tuple{SDLK_F12, SDL_SCANCODE_F12, Key::F12}}) {
        Push(key(SDL_KEYDOWN, k, sc));
        Push(key(SDL_KEYUP, k, sc));
        Pump(p);
        EXPECT_TRUE(p.KeyDown(which)) << sc;
        EXPECT_FALSE(p.KeyDown(which)) << sc;  // once per press
        Push(key(SDL_KEYDOWN, k, sc, 1));      // a key repeat is no new press
        Pump(p);
        EXPECT_FALSE(p.KeyDown(which)) << sc;
    }
    // Other keys stay as the keyboard state has them.
    Push(key(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN));
    Pump(p);
    EXPECT_FALSE(p.KeyDown(Key::Return));
}

TEST_F(SdlPlatformTest, AHiddenCursorHidesOverTheMainWindowOnly) {
    SdlPlatform p(Opts(1));
    std::string error;
    ASSERT_TRUE(p.Init(error)) << error;
    // The pointer crossing from window to window, as the window system reports it.
    WindowId over = WindowId::None;
    auto moveTo = [&](WindowId w) {
        if (over != WindowId::None) Push(WindowEvent(p.SdlWindowId(over), SDL_WINDOWEVENT_LEAVE));
        Push(WindowEvent(p.SdlWindowId(w), SDL_WINDOWEVENT_ENTER));
        EXPECT_EQ(Pump(p), std::vector<std::string>{});
        over = w;
    };
    moveTo(WindowId::Main);
    p.SetCursorVisible(false);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);

    p.BeginModal(WindowId::Query);
    moveTo(WindowId::Query);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE) << "the dialog keeps its pointer";
    p.EndModal(WindowId::Query);
    moveTo(WindowId::Main);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    for (WindowId w : {WindowId::Msg, WindowId::Debug}) {
        p.ShowWindow(w, true);
        moveTo(w);
        EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    }
    // Off every window of the program the pointer is the desktop's.
    Push(WindowEvent(p.SdlWindowId(over), SDL_WINDOWEVENT_LEAVE));
    Pump(p);
    over = WindowId::None;
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    // Shown again while elsewhere, it stays shown back over the main window.
    p.SetCursorVisible(true);
    moveTo(WindowId::Main);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    p.SetCursorVisible(false);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
}

class SdlPadTest : public SdlPlatformTest, public test::VirtualPad {
protected:
    void SetUp() override {
        SdlPlatformTest::SetUp();
        AttachFirst();
    }
    void TearDown() override { DetachAll(); }
};

TEST_F(SdlPadTest, AVirtualPadClicksHoldsKeysStepsSteersAndComesAndGoes) {
    SdlPlatform p(Opts(2));
    std::string error;
    ASSERT_TRUE(p.Init(error)) << error;
    // The dummy driver reports the pointer relative to the window it was warped in, and as the
    // screen position when no window has it: the main window at the screen's origin makes both agree.
    SDL_SetWindowPosition(Win(p, WindowId::Main), 0, 0);
    Pump(p);
    EXPECT_EQ(p.PadCount(), 1u);  // attached before the start
    Open();

    // The first use parks the pointer at the scene's centre; A is the left button there.
    Press(0, true);
    EXPECT_EQ(Pump(p), std::vector<std::string>{"down main left 400,300"});
    EXPECT_EQ(p.CursorIn(WindowId::Main), (Point{400, 300}));
    Press(0, false);
    EXPECT_EQ(Pump(p), std::vector<std::string>{"up main left 400,300"});

    // Held buttons are held keys: Y Space, the shoulders the log's pages, the right trigger Ctrl
    // past half its travel, back and the left trigger Backspace, X F12.
    Press(3, true);
    Press(9, true);
    Tilt(5, 10000);   // past half travel
    Tilt(4, -20000);  // not yet
    Press(2, true);
    EXPECT_TRUE(Pump(p).empty());
    EXPECT_TRUE(p.KeyDown(Key::Space) && p.KeyDown(Key::PageUp) && p.KeyDown(Key::Ctrl) && p.KeyDown(Key::F12));
    EXPECT_FALSE(p.KeyDown(Key::PageDown));
    EXPECT_FALSE(p.KeyDown(Key::Backspace));
    Press(3, false);
    Press(9, false);
    Tilt(5, -1000);
    Tilt(4, 32767);
    Press(2, false);
    Pump(p);
    EXPECT_FALSE(p.KeyDown(Key::Space));
    EXPECT_FALSE(p.KeyDown(Key::PageUp));
    EXPECT_FALSE(p.KeyDown(Key::Ctrl));
    EXPECT_FALSE(p.KeyDown(Key::F12));
    EXPECT_TRUE(p.KeyDown(Key::Backspace));
    Tilt(4, -32768);

    // B, start and the d-pad are the engine's pad actions, on the press only.
    for (int b : {1, 6, 11, 14, 13, 12}) Press(b, true);
    EXPECT_EQ(Pump(p), (std::vector<std::string>{"pad back", "pad config", "pad previous", "pad next",
                                                  "pad previous", "pad next"}));
    for (int b : {1, 6, 11, 14, 13, 12}) Press(b, false);
    EXPECT_TRUE(Pump(p).empty());

    // The stick moves the real pointer; a small tilt stays in the dead zone.
    Tilt(0, 6000);
    Pump(p);
    SDL_Delay(100);
    Pump(p);
    EXPECT_EQ(p.CursorIn(WindowId::Main), (Point{400, 300}));
    Tilt(0, 32767);
    Pump(p);
    SDL_Delay(60);
    Pump(p);
    SDL_Delay(60);
    Pump(p);
    const Point moved = p.CursorIn(WindowId::Main);
    EXPECT_GT(moved.X, 430);
    EXPECT_LE(moved.X, 400 + 160);  // at most 800 px/s, and a tenth of a second a step
    EXPECT_EQ(moved.Y, 300);
    Tilt(0, 0);
    Pump(p);

    // Unplugged while A is held: the press ends. Plugged in again, it works at once.
    Press(0, true);
    EXPECT_EQ(Pump(p), std::vector<std::string>{"down main left " + std::to_string(moved.X) + ",300"});
    Unplug();
    EXPECT_EQ(Pump(p), std::vector<std::string>{"up main left " + std::to_string(moved.X) + ",300"});
    EXPECT_EQ(p.PadCount(), 0u);
    ASSERT_GE(Attach(), 0);
    Pump(p);
    EXPECT_EQ(p.PadCount(), 1u);
    Open();
    Press(0, true);
    EXPECT_EQ(Pump(p), std::vector<std::string>{"down main left " + std::to_string(moved.X) + ",300"});
}

}  // namespace
}  // namespace orva
