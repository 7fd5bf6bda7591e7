// The engine on the SDL platform with a virtual game controller (dummy video driver): A goes
// on from a message, the stick moves the pointer the engine reads, and a pad plugged in after
// the start, pulled out and plugged in again keeps working.
#include <gtest/gtest.h>

#include <memory>

#include "app/main_form.h"
#include "fixtures/script_game.h"
#include "platform/pad_input.h"
#include "platform/sdl/sdl_platform.h"
#include "platform_sdl/virtual_pad.h"

namespace orva {
namespace {

constexpr const char* kStory = R"(.script 1 "story"
*top
msg "一つ目。"
msg "二つ目。"
msg "三つ目。"
msg "四つ目。"
jump *top
)";

// The dummy driver gives no window the keyboard focus, where a desktop gives it to the game's
// shown window; the engine takes clicks only then.
class FocusedSdlPlatform : public SdlPlatform {
public:
    using SdlPlatform::SdlPlatform;
    WindowId Foreground() override { return WindowId::Main; }
};

class SdlPadEngineTest : public ::testing::Test, public test::VirtualPad {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_RENDER_DRIVER", "software", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        test::WriteBytes(Root.Path() / "game" / "SCRIPT.DAT", test::AssembleContainer(kStory));
        test::WriteContainer(Root.Path() / "empty", {});
    }
    void TearDown() override {
        Form.reset();
        Plat.reset();
        DetachAll();
    }
    // The windows up, the game started and its first message standing whole.
    void Start() {
        SdlOptions o;
        o.Title = "orva pad test";
        Plat = std::make_unique<FocusedSdlPlatform>(o);
        std::string error;
        ASSERT_TRUE(Plat->Init(error)) << error;
        // The dummy driver reports the pointer relative to the window it was warped in: the main
        // window at the screen's origin makes that the screen position too.
        SDL_SetWindowPosition(SDL_GetWindowFromID(Plat->SdlWindowId(WindowId::Main)), 0, 0);
        EngineOptions options;
        options.GameDir = Root.Path() / "game";
        options.SaveDir = Root.Path() / "save";
        options.HasSeed = true;
        Form = std::make_unique<TForm1>(*Plat, options);
        ASSERT_TRUE(Form->FormCreate());
        Form->Config.TextSpeed = 100;  // a message stands whole at once
        ASSERT_TRUE(Until(Mode::MessageWait));
    }
    bool Until(Mode mode, int passes = 600) {
        for (int i = 0; i < passes && Form->EngineMode != mode; ++i) Form->IdleEvent();
        return Form->EngineMode == mode;
    }
    void Passes(int n) {
        for (int i = 0; i < n; ++i) Form->IdleEvent();
    }
    // A on the pad: the next message comes and waits. Returns its number.
    int32_t Next() {
        Press(kA, true);
        Passes(3);
        Press(kA, false);
        Passes(2);
        EXPECT_TRUE(Until(Mode::MessageWait));
        return Form->Text.MsgNo;
    }

    test::TempDir Root;
    std::unique_ptr<FocusedSdlPlatform> Plat;
    std::unique_ptr<TForm1> Form;
};

TEST_F(SdlPadEngineTest, AGoesOnTheStickMovesTheEnginesPointerAndAPadPluggedInLaterWorks) {
    // No pad at the start: SDL's controller subsystem is up all the same.
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);  // the dummy driver's windows never have the focus
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    Start();
    EXPECT_EQ(Plat->PadCount(), 0u);
    const int32_t first = Form->Text.MsgNo;

    // Plugged in while the game runs: SDL knows no mapping for it yet, so it comes as a game
    // controller once one is added, as SDL_GAMECONTROLLERCONFIG would have given it.
    const int index = Attach();
    ASSERT_GE(index, 0) << SDL_GetError();
    char guid[64];
    SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index), guid, sizeof guid);
    ASSERT_GE(SDL_GameControllerAddMapping((std::string(guid) +
                                            ",orva test pad,a:b0,b:b1,x:b2,y:b3,back:b4,start:b6,leftshoulder:b9,"
                                            "rightshoulder:b10,dpup:b11,dpdown:b12,dpleft:b13,dpright:b14,"
                                            "leftx:a0,lefty:a1,lefttrigger:a4,righttrigger:a5,")
                                               .c_str()),
              0)
        << SDL_GetError();
    Passes(3);
    ASSERT_EQ(Plat->PadCount(), 1u);
    Open();
    Passes(2);

    const int32_t second = Next();
    EXPECT_NE(second, first);
    EXPECT_EQ(Form->Input.CursorMain, kPadParkPoint);   // the first use parked the pointer

    // Full tilt to the left for about a fifth of a second.
    Tilt(kLeftX, -32768);
    Passes(20);
    Tilt(kLeftX, 0);
    Passes(2);
    EXPECT_LT(Form->Input.CursorMain.X, 400 - 40);
    EXPECT_EQ(Form->Input.CursorMain.Y, 300);

    Unplug();
    Passes(3);
    EXPECT_EQ(Plat->PadCount(), 0u);
    ASSERT_GE(Attach(), 0);
    Passes(3);
    ASSERT_EQ(Plat->PadCount(), 1u);
    Open();
    Passes(2);
    EXPECT_NE(Next(), second);
}

}  // namespace
}  // namespace orva
