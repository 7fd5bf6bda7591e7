// Rollback on the headless engine: a small assembled story with pictures, music, a looping
// effect, voices, variables, random draws and a choice, played by injected clicks and keys.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "fixtures/script_game.h"
#include "data/file_io.h"
#include "graphics/png_write.h"
#include "platform/screen_layout.h"
#include "sound/ogg_writer.h"

namespace orva {
namespace {

constexpr const char* kStory = R"(.script 1 "story"
bgm "M01" 1 0
bg "red"
char1 2 "mark" show
trans
set F1 1
msg "最初の言葉。" "V1"
set F1 2
set S10 7
rand F2 1 30000
bg "blue"
char1 2 "mark"
bgm "M02" 1 0
se1 "SE1" 1 0
trans
msg "二番目の言葉。" "V2"
set F1 3
choice "右へ,左へ"
rand F3 1 30000
if W1 == 1
  msg "右の道。"
else
  msg "左の道。"
end
rand F4 1 30000
msg "道の先。"
system 101
)";

std::vector<uint8_t> Png(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    TABitmap pic(w, h);
    pic.FillColor(r, g, b);
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(EncodePng(pic, bytes, false));
    return bytes;
}

std::vector<uint8_t> Tone(int seconds) {
    std::vector<int16_t> pcm(static_cast<size_t>(44100 * seconds) * 2);
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<int16_t>((i / 2) % 100 * 50);
    std::vector<uint8_t> out;
    std::string error;
    EXPECT_TRUE(EncodeOggVorbis(pcm, OggWriteOptions{}, out, error)) << error;
    return out;
}

TimelineEvent KeyEvent(Key k, bool down) { return {.Verb = TimelineVerb::Key, .KeyName = k, .Pressed = down}; }

// The story with its pictures and sounds, and the player's hands.
struct RollbackGame : test::ScriptGame {
    explicit RollbackGame(const std::string& source = kStory) : ScriptGame(source) {
        const auto tone = Tone(1);
        test::WriteArchive(GameDir, 1,
                           {{"red.png", Png(kScreenWidth, kScreenHeight, 200, 0, 0)},
                            {"blue.png", Png(kScreenWidth, kScreenHeight, 0, 0, 200)},
                            {"mark.png", Png(100, 100, 0, 200, 0)},
                            {"M01.ogg", tone}, {"M02.ogg", tone}, {"SE1.ogg", tone}, {"V1.ogg", tone}, {"V2.ogg", tone}});
    }
    TForm1& Begin() {
        TForm1& f = Boot();
        f.Config.TextSpeed = 50;
        std::string error;
        if (!f.Trace.Open(Root.Path() / "trace.jsonl", error)) throw std::runtime_error(error);
        return f;
    }
    void Run(int passes) { Passes(passes); }
    // Runs until the game waits at a message or a choice.
    bool Waiting() {
        for (int i = 0; i < 2000; ++i) {
            if (Form->EngineMode == Mode::MessageWait || Form->EngineMode == Mode::ChoiceWait) return true;
            Form->IdleEvent();
        }
        return false;
    }
    void Click(Point at = {400, 500}) {
        Plat->Inject({.Verb = TimelineVerb::Click, .Pos = at});
        Run(3);
    }
    void Press(Key k) {
        Plat->Inject(KeyEvent(k, true));
        Run(2);
        Plat->Inject(KeyEvent(k, false));
        Run(12);  // past the keys' repeat delay
    }
    void BackButton() {
        Plat->Inject({.Verb = TimelineVerb::Click, .Button = MouseButton::Back, .Pos = {400, 300}});
        Run(3);
    }
    // The trace so far; it ends the trace.
    std::string Trace() {
        Form->Trace.Close();
        std::ifstream in(Root.Path() / "trace.jsonl");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    const uint8_t* ScenePx(int x, int y) const { return Form->Pics->ScenePicture.Row(y) + static_cast<size_t>(x) * 4; }
};

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(Rollback, OneMessageBackRestoresTheStoryButNotWhatBelongsToEveryGame) {
    RollbackGame g;
    TForm1& f = g.Begin();
    ASSERT_TRUE(g.Waiting());
    EXPECT_EQ(f.Msg.MessageLines[1], u"最初の言葉。");
    const TABitmap firstScene = f.Pics->ScenePicture;
    EXPECT_EQ(g.ScenePx(700, 300)[2], 200);

    g.Click();
    ASSERT_TRUE(g.Waiting());
    EXPECT_EQ(f.Msg.MessageLines[1], u"二番目の言葉。");
    EXPECT_EQ(g.F(1), 2);
    EXPECT_NE(g.F(2), 0);
    EXPECT_STREQ(f.Game.BgLayerName, "blue");
    EXPECT_STREQ(f.Game.MusicName, "M02");
    EXPECT_EQ(f.SoundPlayer->GetState(3), 3);  // the looping effect in slot 1
    EXPECT_EQ(f.Msg.MessageLog.Count(), 1);
    const int32_t secondMsg = f.Text.MsgNo;
    f.Skip.AutoMode = true;
    const auto saveBytes = ReadWholeFile(g.SaveDir / "SAVE.DAT");
    ASSERT_TRUE(saveBytes);

    // Backspace: the first message as it began, shown whole at the next frame, with its voice.
    g.Plat->Inject(KeyEvent(Key::Backspace, true));
    f.IdleEvent();
    f.IdleEvent();
    EXPECT_EQ(f.Msg.MessageLines[1], u"最初の言葉。");
    EXPECT_EQ(g.F(1), 1);
    EXPECT_EQ(g.F(2), 0);
    EXPECT_FALSE(f.Skip.AutoMode);
    EXPECT_STREQ(f.Game.BgLayerName, "red");
    EXPECT_STREQ(f.Game.LayerName[0], "mark");
    // The scene is there at once, without a fade: the red one with the mark, as it was.
    EXPECT_TRUE(std::equal(firstScene.Pixels(), firstScene.Pixels() + kScreenWidth * kScreenHeight,
                           f.Pics->ScenePicture.Pixels()));
    EXPECT_STREQ(f.Game.MusicName, "M01");
    EXPECT_EQ(f.SoundPlayer->GetState(static_cast<uint32_t>(f.MusicSlot)), 3);
    EXPECT_LT(f.SoundPlayer->GetState(3), 2);  // the effect began after the first message: stopped
    EXPECT_TRUE(f.VoicePlaying());
    g.Run(3);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_GT(f.Text.PrintCount, static_cast<int32_t>(f.Msg.MessageLines[1].size()));
    EXPECT_EQ(f.Msg.MessageLog.Count(), 0);
    EXPECT_EQ(f.Rollback.Size(), 1u);

    // Not rolled back: the system variable, the read record, the save files.
    EXPECT_EQ(g.S(10), 7);
    EXPECT_TRUE(f.CheckKidoku(secondMsg));
    EXPECT_EQ(ReadWholeFile(g.SaveDir / "SAVE.DAT"), saveBytes);

    // At the first message nothing goes back further.
    g.Plat->Inject(KeyEvent(Key::Backspace, false));
    g.Run(2);
    g.Press(Key::Backspace);
    g.BackButton();
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_EQ(f.Msg.MessageLines[1], u"最初の言葉。");

    // Playing on runs the story again from there.
    g.Click();
    ASSERT_TRUE(g.Waiting());
    EXPECT_EQ(f.Msg.MessageLines[1], u"二番目の言葉。");
    EXPECT_EQ(f.SoundPlayer->GetState(3), 3);

    const std::string trace = g.Trace();
    EXPECT_EQ(Count(trace, R"("ev":"rollback")"), 1u);
    EXPECT_NE(trace.find(R"("ev":"rollback","script":1,"step":5,"msg":0})"), std::string::npos) << trace;
    EXPECT_EQ(Count(trace, R"("ev":"voice","name":"V1")"), 2u);
}

TEST(Rollback, AChoiceIsOfferedAgainAndTheSameAnswerReplaysTheSameDraws) {
    RollbackGame g;
    TForm1& f = g.Begin();
    ASSERT_TRUE(g.Waiting());
    g.Click();
    ASSERT_TRUE(g.Waiting());
    g.Click();
    ASSERT_TRUE(g.Waiting());
    ASSERT_EQ(f.EngineMode, Mode::ChoiceWait);
    g.Click({400, 230});  // the first answer
    ASSERT_TRUE(g.Waiting());
    EXPECT_EQ(f.Msg.MessageLines[1], u"右の道。");
    const int16_t f3 = g.F(3);
    g.Run(37);
    g.Click();
    ASSERT_TRUE(g.Waiting());
    EXPECT_EQ(f.Msg.MessageLines[1], u"道の先。");
    const int16_t f4 = g.F(4);

    // Back over the message after the choice to the choice itself, with the back button.
    g.BackButton();
    EXPECT_EQ(f.Msg.MessageLines[1], u"右の道。");
    EXPECT_EQ(g.F(4), 0);
    g.BackButton();
    EXPECT_EQ(f.EngineMode, Mode::ChoiceWait);
    EXPECT_TRUE(f.Text.ChoiceOnScreen);
    EXPECT_EQ(g.F(3), 0);
    EXPECT_EQ(g.F(1), 3);

    // The same answer, after another wait than before: the same draws all the way.
    g.Run(101);
    g.Click({400, 230});
    ASSERT_TRUE(g.Waiting());
    EXPECT_EQ(f.Msg.MessageLines[1], u"右の道。");
    EXPECT_EQ(g.F(3), f3);
    g.Run(13);
    g.Click();
    ASSERT_TRUE(g.Waiting());
    EXPECT_EQ(g.F(4), f4);

    // Another answer: the other road.
    g.Press(Key::Backspace);
    g.Press(Key::Backspace);
    ASSERT_EQ(f.EngineMode, Mode::ChoiceWait);
    g.Click({400, 300});
    ASSERT_TRUE(g.Waiting());
    EXPECT_EQ(f.Msg.MessageLines[1], u"左の道。");
    EXPECT_EQ(f.WorkFlg[0], 2);
    EXPECT_EQ(f.Msg.MessageLog.Entry(0).Text, u"【選択肢】/左へ");
}

TEST(Rollback, TheLogReviewGoesBackToTheEntryShown) {
    RollbackGame g;
    TForm1& f = g.Begin();
    ASSERT_TRUE(g.Waiting());
    g.Click();
    ASSERT_TRUE(g.Waiting());
    g.Click();
    ASSERT_TRUE(g.Waiting());
    g.Click({400, 230});
    ASSERT_TRUE(g.Waiting());
    ASSERT_EQ(f.Msg.MessageLog.Count(), 3);
    g.Press(Key::PageUp);
    g.Press(Key::PageUp);
    g.Press(Key::PageUp);
    ASSERT_TRUE(f.Text.LogReview);
    EXPECT_EQ(f.Msg.MessageLines[1], u"最初の言葉。");

    g.Press(Key::Backspace);
    EXPECT_FALSE(f.Text.LogReview);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_EQ(f.Msg.MessageLines[1], u"最初の言葉。");
    EXPECT_EQ(g.F(1), 1);
    EXPECT_STREQ(f.Game.BgLayerName, "red");
    EXPECT_EQ(f.Msg.MessageLog.Count(), 0);
    EXPECT_EQ(f.Rollback.Size(), 1u);
}

TEST(Rollback, LoadsTheTitleAndMenusEndOrIgnoreTheHistory) {
    RollbackGame g;
    TForm1& f = g.Begin();
    ASSERT_TRUE(g.Waiting());
    f.QuickSave();
    g.Click();
    ASSERT_TRUE(g.Waiting());
    ASSERT_EQ(f.Rollback.Size(), 2u);

    // A menu: Backspace does nothing there, nor when the menu closes.
    f.OpenSaveMenu(false);
    ASSERT_TRUE(g.RunUntilMode(Mode::SaveMenuWait));
    g.Press(Key::Backspace);
    EXPECT_EQ(f.EngineMode, Mode::SaveMenuWait);
    EXPECT_EQ(f.Rollback.Size(), 2u);
    f.EngineMode = f.PrevMode;
    g.Run(2);

    // A quick load starts a new history at the loaded message.
    f.QuickLoad();
    ASSERT_TRUE(g.Waiting());
    EXPECT_EQ(f.Msg.MessageLines[1], u"最初の言葉。");
    EXPECT_EQ(f.Rollback.Size(), 1u);
    g.Press(Key::Backspace);
    EXPECT_EQ(f.Msg.MessageLines[1], u"最初の言葉。");
    EXPECT_EQ(f.Rollback.Size(), 1u);

    // The title clears it too.
    for (int i = 0; i < 5 && f.EngineMode != Mode::TitleMenuWait; ++i) {
        if (f.EngineMode == Mode::ChoiceWait) g.Click({400, 230});
        else g.Click();
        g.RunUntilMode(Mode::TitleMenuWait, 300);
        if (f.EngineMode != Mode::TitleMenuWait) g.Waiting();
    }
    ASSERT_EQ(f.EngineMode, Mode::TitleMenuWait);
    EXPECT_EQ(f.Rollback.Size(), 0u);
    EXPECT_EQ(Count(g.Trace(), R"("ev":"rollback")"), 0u);
}

TEST(Rollback, TheHistoryKeepsTheLast100Texts) {
    RollbackGame g(R"(.script 1 "loop"
*top
add F1 F1 1
msg "また一つ。"
jump *top
)");
    TForm1& f = g.Begin();
    f.Config.TextSpeed = 100;
    ASSERT_TRUE(g.Waiting());
    for (int i = 0; i < 120; ++i) {
        g.Click();
        ASSERT_TRUE(g.Waiting());
    }
    EXPECT_EQ(g.F(1), 121);
    EXPECT_EQ(f.Rollback.Size(), kRollbackEntries);
    // A rollback point is small: a few kilobytes.
    EXPECT_LT(f.Rollback.Bytes() / f.Rollback.Size(), 4096u);

    for (int i = 0; i < 99; ++i) g.Press(Key::Backspace);
    EXPECT_EQ(g.F(1), 22);
    g.Press(Key::Backspace);
    EXPECT_EQ(g.F(1), 22);
    EXPECT_EQ(Count(g.Trace(), R"("ev":"rollback")"), 99u);
}

TEST(Rollback, TimelinesNameBackspaceAndTheBackButton) {
    std::vector<TimelineEvent> events;
    std::string error;
    ASSERT_TRUE(ParseInputTimeline("100 key backspace down\n150 key backspace up\n200 click 5 6 back\n"
                                   "300 down 1 2 back msg\n",
                                   events, error))
        << error;
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].KeyName, Key::Backspace);
    EXPECT_TRUE(events[0].Pressed);
    EXPECT_EQ(events[2].Verb, TimelineVerb::Click);
    EXPECT_EQ(events[2].Button, MouseButton::Back);
    EXPECT_EQ(events[3].Button, MouseButton::Back);
    EXPECT_EQ(events[3].Window, WindowId::Msg);
}

}  // namespace
}  // namespace orva
