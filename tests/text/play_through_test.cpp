// A small story assembled from script text and played headless from its first line: narration,
// a named speaker with a voice, hiding and showing the window, the log review, a choice, a
// held-Ctrl skip and, on the second pass, the skip of read text that stops at the choice.
#include <gtest/gtest.h>

#include <fstream>

#include "fixtures/script_game.h"
#include "text/text_harness.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

constexpr const char* kStory = R"(.script 1 "story"
system 3 1
*top
msg "朝の光が差し込んでいる。"
msg "アヤ「おはよう。今日はどうする？」" "v_aya001"
choice "海へ行く,家にいる"
if W1 == 1
  msg "アヤ「じゃあ、行こう！」"
else
  msg "家でゆっくり過ごすことにした。"
  msg "本を読んで、昼寝をした。"
end
msg "一日が終わった。"
jump *top
)";

TimelineEvent KeyAt(uint32_t t, Key k, bool down) {
    return {.Time = t, .Verb = TimelineVerb::Key, .KeyName = k, .Pressed = down};
}
TimelineEvent ClickAt(uint32_t t, Point p) { return {.Time = t, .Verb = TimelineVerb::Click, .Pos = p}; }

// The trace's text events ("message", "choice", "chosen", "log") without their times.
std::vector<std::string> TextEvents(const std::filesystem::path& trace) {
    std::ifstream in(trace);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
        const size_t ev = line.find("\"ev\":");
        if (ev == std::string::npos) continue;
        const std::string rest = line.substr(ev);
        for (const char* name : {"\"ev\":\"message\"", "\"ev\":\"choice\"", "\"ev\":\"chosen\"", "\"ev\":\"log\""})
            if (rest.rfind(name, 0) == 0) out.push_back(rest);
    }
    return out;
}

TEST(PlayThrough, StoryWithReviewChoiceAndBothSkips) {
    test::ScriptGame g(kStory);
    TForm1& f = g.Start({
        ClickAt(1500, {400, 500}),                                     // on from the narration
        KeyAt(3000, Key::Space, true), KeyAt(3050, Key::Space, false),  // hide
        KeyAt(3500, Key::Space, true), KeyAt(3550, Key::Space, false),  // show
        KeyAt(4000, Key::PageUp, true), KeyAt(4050, Key::PageUp, false),  // review the narration
        KeyAt(4500, Key::Return, true), KeyAt(4550, Key::Return, false),  // leave the review
        ClickAt(5000, {400, 500}),                                     // on to the choice
        ClickAt(5500, {400, 300}),                                     // the second answer
        KeyAt(7000, Key::Ctrl, true), KeyAt(7040, Key::Ctrl, false),    // a short held skip
        ClickAt(9000, {400, 230}),                                     // the first answer
    });
    const auto tracePath = g.Root.Path() / "trace.jsonl";
    std::string error;
    ASSERT_TRUE(f.Trace.Open(tracePath, error)) << error;
    f.Config.TextSpeed = 80;
    f.Pics->ScenePicture.FillColor(40, 80, 160);
    auto runTo = [&](uint32_t t) {
        while (g.Plat->Ticks() < t) f.IdleEvent();
    };
    auto shot = [&](const char* name) {
        const TABitmap& main = g.Plat->LastPresented(WindowId::Main);
        test::Capture(main, name);
        return &main;
    };

    runTo(1000);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    EXPECT_EQ(f.Msg.MessageLines[1], u"朝の光が差し込んでいる。");
    shot("play_1_narration");

    runTo(2900);
    EXPECT_EQ(f.Msg.MessageLines[0], u"アヤ");
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);
    const TABitmap* pic = shot("play_2_speaker");
    // The name's orange is on the screen in the name band.
    bool orange = false;
    for (int y = 418; y < 446; ++y)
        for (int x = 32; x < 32 + 56; ++x) {
            const uint8_t* p = test::Px(*pic, x, y);
            orange |= p[2] > 240 && p[1] > 180 && p[1] < 200 && p[0] > 85 && p[0] < 105;
        }
    EXPECT_TRUE(orange);

    runTo(3300);
    EXPECT_FALSE(f.Text.MsgOnScreen);
    EXPECT_FALSE(test::AnyOther(*shot("play_3_hidden"), 0, kMsgWindowTop, kScreenWidth, kScreenHeight, 40, 80, 160));
    runTo(3800);
    EXPECT_TRUE(f.Text.MsgOnScreen);
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);

    runTo(4300);
    EXPECT_TRUE(f.Text.LogReview);
    EXPECT_EQ(f.Msg.MessageLines[1], u"朝の光が差し込んでいる。");
    shot("play_4_review");
    runTo(4800);
    EXPECT_FALSE(f.Text.LogReview);
    EXPECT_EQ(f.Msg.MessageLines[0], u"アヤ");
    EXPECT_EQ(f.EngineMode, Mode::MessageWait);

    runTo(5300);
    EXPECT_EQ(f.EngineMode, Mode::ChoiceWait);
    shot("play_5_choice");
    runTo(5600);
    EXPECT_EQ(g.W(1), 2);

    runTo(6900);
    EXPECT_EQ(f.Msg.MessageLines[1], u"家でゆっくり過ごすことにした。");
    runTo(7200);
    EXPECT_NE(f.Msg.MessageLines[1], u"家でゆっくり過ごすことにした。");  // Ctrl went past it

    // The skip button's request: read text passes until the choice, which stops skipping.
    runTo(8000);
    f.Skip.SkipReadRequested = true;
    runTo(8900);
    EXPECT_EQ(f.EngineMode, Mode::ChoiceWait);
    EXPECT_FALSE(f.Skip.SkipActive);
    runTo(9100);
    EXPECT_EQ(g.W(1), 1);
    // The unread answer prints normally, character by character.
    EXPECT_EQ(f.EngineMode, Mode::MessagePrint);
    EXPECT_EQ(f.Msg.MessageLines[1], u"「じゃあ、行こう！」");
    EXPECT_GT(f.Text.PrintCount, 0);
    EXPECT_LT(f.Text.PrintCount, 10);
    runTo(9600);
    shot("play_6_second_pass");

    f.Trace.Close();
    // Every composition is traced: the review's entry and the message composed again after it,
    // and each message a skip passed.
    const std::vector<std::string> expected = {
        R"("ev":"message","no":0,"lines":["","朝の光が差し込んでいる。","",""]})",
        R"("ev":"log","text":"朝の光が差し込んでいる。","voice":""})",
        R"("ev":"message","no":1,"lines":["アヤ","「おはよう。今日はどうする？」","",""]})",
        R"("ev":"message","no":1,"lines":["","朝の光が差し込んでいる。","",""]})",
        R"("ev":"message","no":1,"lines":["アヤ","「おはよう。今日はどうする？」","",""]})",
        R"("ev":"log","text":"アヤ「おはよう。今日はどうする？」","voice":"v_aya001"})",
        R"("ev":"choice","answers":["海へ行く","家にいる"]})",
        R"("ev":"chosen","n":2})",
        R"("ev":"log","text":"【選択肢】/家にいる","voice":""})",
        R"("ev":"message","no":4,"lines":["","家でゆっくり過ごすことにした。","",""]})",
        R"("ev":"log","text":"家でゆっくり過ごすことにした。","voice":""})",
        R"("ev":"message","no":5,"lines":["","本を読んで、昼寝をした。","",""]})",
        R"("ev":"log","text":"本を読んで、昼寝をした。","voice":""})",
        R"("ev":"message","no":6,"lines":["","一日が終わった。","",""]})",
        R"("ev":"log","text":"一日が終わった。","voice":""})",
        R"("ev":"message","no":0,"lines":["","朝の光が差し込んでいる。","",""]})",
        R"("ev":"log","text":"朝の光が差し込んでいる。","voice":""})",
        R"("ev":"message","no":1,"lines":["アヤ","「おはよう。今日はどうする？」","",""]})",
        R"("ev":"log","text":"アヤ「おはよう。今日はどうする？」","voice":"v_aya001"})",
        R"("ev":"choice","answers":["海へ行く","家にいる"]})",
        R"("ev":"chosen","n":1})",
        R"("ev":"log","text":"【選択肢】/海へ行く","voice":""})",
        R"("ev":"message","no":3,"lines":["アヤ","「じゃあ、行こう！」","",""]})",
    };
    EXPECT_EQ(TextEvents(tracePath), expected);
    // The log holds what the player went past, newest first.
    EXPECT_EQ(f.Msg.MessageLog.Count(), 9);
    EXPECT_EQ(f.Msg.MessageLog.Entry(0).Text, u"【選択肢】/海へ行く");
    EXPECT_EQ(f.Msg.MessageLog.Entry(1).Voice, u"v_aya001");
}

// A slash that follows a full line, directly or after the character that hangs there, breaks
// that line: the scenario's text reaches the window as two lines, the third band stays empty.
TEST(PlayThrough, ASlashAfterAFullLineBreaksItWithOrWithoutAHangingCharacter) {
    test::ScriptGame g(R"(.script 1 "story"
msg "あああああああああああああああああああああああああ/x"
msg "あああああああああああああああああああああああああ。/x"
)");
    TForm1& f = g.Boot();
    const std::u16string full(25, u'あ');
    auto bandInk = [&](int band) {  // any pixel of the text layer's band not fully transparent
        for (int y = 40 * band; y < 40 * band + 40; ++y)
            for (int x = 0; x < 800; ++x)
                if (test::Px(f.Pics->TextLayer, x, y)[3] != 255) return true;
        return false;
    };
    for (const std::u16string& first : {full, full + u"。"}) {
        ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));
        EXPECT_EQ(f.Msg.MessageLines[1], first);
        EXPECT_EQ(f.Msg.MessageLines[2], u"x");
        EXPECT_EQ(f.Msg.MessageLines[3], u"");
        EXPECT_TRUE(bandInk(2));
        EXPECT_FALSE(bandInk(3));
        g.Resume();
    }
}

}  // namespace
}  // namespace orva
