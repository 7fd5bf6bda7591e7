// The one-line text of a laid-out message.
#include <gtest/gtest.h>

#include "textout/shown_text.h"
#include "textout/text_out_target.h"

namespace orva {
namespace {

TEST(ShownText, NameAndLinesJoinWithoutBreaksIndentsOrDroppedMarks) {
    // Narration with a forced break and a "①": the text as one line, the marks gone.
    EXPECT_EQ(JoinShownLines(LayoutMessage(u"朝の光が/差し込んでいる。①")), u"朝の光が差し込んでいる。");
    // A spoken text over three lines: the continuation lines lose the indent the break gave them.
    const std::u16string spoken = u"アヤ「今日はとても良い天気だから、海まで歩いて行こうと思うんだけど、一緒に来ない？　お弁当も作ったよ。」";
    const MessageLineSet lines = LayoutMessage(spoken);
    ASSERT_EQ(lines[2].substr(0, 1), u"　");
    EXPECT_EQ(JoinShownLines(lines), spoken);
    // A narration that happens to begin with a full-width space keeps it.
    EXPECT_EQ(JoinShownLines({u"", u"　字下げ", u"　も残る", u""}), u"　字下げ　も残る");
    // Text past the third line is not shown, so it is not sent either.
    const std::u16string longText(100, u'あ');
    EXPECT_EQ(JoinShownLines(LayoutMessage(longText)), longText.substr(0, 75));
    // Lines of a spaced script get a space for their break, never a second one.
    EXPECT_EQ(JoinShownLines({u"Aya", u"\"Shall we go to", u"the sea?\"", u""}), u"Aya \"Shall we go to the sea?\"");
    EXPECT_EQ(JoinShownLines({u"", u"a well-", u"known tune", u""}), u"a well-known tune");
    EXPECT_EQ(JoinShownLines({u"ミナ", u"「行こう」", u"", u""}), u"ミナ「行こう」");
    EXPECT_EQ(JoinShownLines({u"", u"Trailing space ", u"stays single", u""}), u"Trailing space stays single");
    EXPECT_EQ(JoinShownLines({u"", u"", u"", u""}), u"");
}

TEST(TextOutTarget, ParsesEveryFormAndRefusesTheRest) {
    TextOutTarget t;
    std::string error;
    ASSERT_TRUE(ParseTextOutTarget("clipboard", t, error));
    EXPECT_EQ(t.Kind, TextOutKind::Clipboard);
    ASSERT_TRUE(ParseTextOutTarget("websocket", t, error));
    EXPECT_EQ(t, (TextOutTarget{TextOutKind::WebSocket, 6677}));
    ASSERT_TRUE(ParseTextOutTarget("websocket:9001", t, error));
    EXPECT_EQ(t, (TextOutTarget{TextOutKind::WebSocket, 9001}));
    ASSERT_TRUE(ParseTextOutTarget("off", t, error));
    EXPECT_EQ(t.Kind, TextOutKind::Off);
    for (const char* bad : {"websocket:", "websocket:0", "websocket:65536", "websocket:80x", "websockets", "Clipboard", ""}) {
        error.clear();
        EXPECT_FALSE(ParseTextOutTarget(bad, t, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

}  // namespace
}  // namespace orva
