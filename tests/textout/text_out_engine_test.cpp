// The engine's text out on the headless platform: each message as the window shows it goes to
// the clipboard, or to WebSocket readers, when it starts printing.
#include <gtest/gtest.h>

#include <fstream>

#include "fixtures/script_game.h"
#include "textout/ws_client.h"

namespace orva {
namespace {

using test::WsClient;

constexpr const char* kStory = R"(.script 1 "story"
system 3 1
msg "朝の光が/差し込んでいる。①"
msg "アヤ「今日はとても良い天気だから、海まで歩いて行こうと思うんだけど、一緒に来ない？」"
msg ""
msg "一日が終わった。"
choice "もう一度,やめる"
)";

const char* const kShown[] = {
    "朝の光が差し込んでいる。",
    "アヤ「今日はとても良い天気だから、海まで歩いて行こうと思うんだけど、一緒に来ない？」",
    "一日が終わった。",
};

// Runs until the next message prints or a choice waits (a hang guard bounds the passes).
void RunToNextStop(test::ScriptGame& g) {
    for (int i = 0; i < 20000; ++i) {
        const Mode m = g.Form->EngineMode;
        if (m == Mode::MessagePrint || m == Mode::ChoiceWait) return;
        g.Form->IdleEvent();
    }
    FAIL() << "no message or choice came";
}

// Shows the whole message and goes on, with two clicks.
void GoOn(test::ScriptGame& g) {
    for (int click = 0; click < 2; ++click) {
        const Mode before = g.Form->EngineMode;
        g.Plat->Inject({.Time = g.Plat->Ticks(), .Verb = TimelineVerb::Click, .Pos = {400, 300}});
        for (int i = 0; i < 2000 && g.Form->EngineMode == before; ++i) g.Form->IdleEvent();
    }
}

std::vector<std::string> TextOutEvents(const std::filesystem::path& trace) {
    std::ifstream in(trace);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);)
        if (const size_t ev = line.find("\"ev\":\"textout\""); ev != std::string::npos) out.push_back(line.substr(ev));
    return out;
}

TEST(TextOutEngine, EachMessageGoesToTheClipboardAsItBeginsAndNothingElseDoes) {
    test::ScriptGame g(kStory);
    g.TextOut = {TextOutKind::Clipboard};
    TForm1& f = g.Boot();
    const auto tracePath = g.Root.Path() / "trace.jsonl";
    std::string error;
    ASSERT_TRUE(f.Trace.Open(tracePath, error)) << error;

    RunToNextStop(g);
    ASSERT_EQ(f.EngineMode, Mode::MessagePrint);
    EXPECT_EQ(f.Text.PrintCount, 0);  // the text is out before its first character shows
    EXPECT_EQ(g.Plat->ClipboardText(), kShown[0]);
    EXPECT_EQ(f.ShownMessageText(), kShown[0]);
    GoOn(g);
    RunToNextStop(g);
    EXPECT_EQ(g.Plat->ClipboardText(), kShown[1]);
    EXPECT_EQ(g.Plat->ClipboardSetCount(), 2u);

    // The log review shows an older message: it is not a message beginning.
    ASSERT_TRUE(g.RunUntilMode(Mode::MessageWait));
    g.Plat->Inject({.Time = g.Plat->Ticks(), .Verb = TimelineVerb::Wheel, .WheelDirection = 1});
    for (int i = 0; i < 20 && !f.Text.LogReview; ++i) f.IdleEvent();
    ASSERT_TRUE(f.Text.LogReview);
    g.Plat->Inject({.Time = g.Plat->Ticks(), .Verb = TimelineVerb::Wheel, .WheelDirection = -1});
    for (int i = 0; i < 20 && f.Text.LogReview; ++i) f.IdleEvent();
    EXPECT_EQ(g.Plat->ClipboardSetCount(), 2u);

    // The empty message leaves the clipboard as it was; the next one replaces it.
    GoOn(g);
    RunToNextStop(g);
    EXPECT_EQ(g.Plat->ClipboardText(), kShown[1]);
    GoOn(g);
    RunToNextStop(g);
    EXPECT_EQ(g.Plat->ClipboardText(), kShown[2]);
    GoOn(g);
    RunToNextStop(g);
    EXPECT_EQ(f.EngineMode, Mode::ChoiceWait);
    EXPECT_EQ(g.Plat->ClipboardSetCount(), 3u);

    f.Trace.Close();
    const std::vector<std::string> events = TextOutEvents(tracePath);
    ASSERT_EQ(events.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(events[i], std::string(R"("ev":"textout","to":"clipboard","text":")") + kShown[i] + "\"}");
}

TEST(TextOutEngine, WithoutTheOptionTheClipboardIsNeverTouched) {
    test::ScriptGame g(kStory);
    g.Boot();
    RunToNextStop(g);
    GoOn(g);
    RunToNextStop(g);
    EXPECT_EQ(g.Plat->ClipboardSetCount(), 0u);
    EXPECT_EQ(g.Form->TextOutServer, nullptr);
}

TEST(TextOutEngine, AWebSocketReaderGetsTheRunsMessagesInOrderAndALateOneTheCurrentMessage) {
    test::ScriptGame g(kStory);
    g.TextOut = {TextOutKind::WebSocket, 0};
    TForm1& f = g.Boot();
    ASSERT_NE(f.TextOutServer, nullptr);
    const uint16_t port = f.TextOutServer->Port();
    WsClient early;
    std::string error;
    ASSERT_TRUE(early.Connect("127.0.0.1", port, error)) << error;

    RunToNextStop(g);
    GoOn(g);
    RunToNextStop(g);
    // A reader that connects while the second message is up gets it first.
    WsClient late;
    ASSERT_TRUE(late.Connect("127.0.0.1", port, error)) << error;
    EXPECT_EQ(late.Read().Text, kShown[1]);
    for (int i = 0; i < 3; ++i) {
        GoOn(g);
        RunToNextStop(g);
    }
    ASSERT_EQ(f.EngineMode, Mode::ChoiceWait);
    for (const char* shown : kShown) EXPECT_EQ(early.Read().Text, shown);
    EXPECT_EQ(late.Read().Text, kShown[2]);
    EXPECT_EQ(g.Plat->ClipboardSetCount(), 0u);

    // The form's end closes the server: the readers see their connections end.
    g.Form->FormDestroy();
    EXPECT_NE(early.Read().Kind, WsClient::Got::Text);
}

}  // namespace
}  // namespace orva
