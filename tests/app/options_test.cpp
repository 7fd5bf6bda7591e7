// The command line and the headless input timeline.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "app/options.h"
#include "platform/headless/input_timeline.h"

namespace orva {
namespace {

TEST(CommandLine, HeadlessOptions) {
    CommandLine c;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--headless", "--game", "g", "--until", "2000", "--shot", "100:a.png",
                                  "--shot-msg", "200:b.png", "--shot-debug", "300:c.png", "--seed", "7", "--trace", "t.jsonl", "--audio-out", "a.wav"},
                                 c, error))
        << error;
    EXPECT_TRUE(c.Headless);
    EXPECT_EQ(c.UntilMs, 2000u);
    ASSERT_EQ(c.Shots.size(), 3u);
    EXPECT_EQ(c.Shots[1].Time, 200u);
    EXPECT_TRUE(c.Shots[1].MsgWindow);
    EXPECT_TRUE(c.Shots[2].DebugWindow);
    EXPECT_FALSE(c.Shots[2].MsgWindow);
    EXPECT_EQ(c.Seed, 7u);
    EXPECT_EQ(c.AudioOut, "a.wav");
    EXPECT_FALSE(ParseCommandLine({"--until", "soon"}, c, error));
    EXPECT_FALSE(ParseCommandLine({"--shot", "a.png", "--headless"}, c, error));
    EXPECT_FALSE(ParseCommandLine({"--scale", "0"}, c, error));
    CommandLine d;
    EXPECT_FALSE(ParseCommandLine({"--shot", "5:a.png"}, d, error));  // captures need --headless
    EXPECT_FALSE(ParseCommandLine({"--shot-debug", "5:a.png"}, d, error));
    CommandLine e;
    EXPECT_FALSE(ParseCommandLine({"--audio-out", "a.wav"}, e, error));  // so does the audio capture
    EXPECT_FALSE(ParseCommandLine({"--bogus"}, d, error));
}

// The option names at the start of lines matching `pattern`'s first group.
std::set<std::string> OptionNames(const std::string& text, const std::regex& pattern) {
    std::set<std::string> names;
    std::istringstream lines(text);
    std::smatch m;
    for (std::string line; std::getline(lines, line);)
        if (std::regex_search(line, m, pattern)) names.insert(m[1]);
    return names;
}

TEST(CommandLine, ManPageListsExactlyTheOptionsOfTheHelpText) {
    std::ifstream in(std::string(ORVA_SOURCE_DIR) + "/docs/man/orva.1.md");
    ASSERT_TRUE(in);
    std::stringstream man;
    man << in.rdbuf();
    const auto inHelp = OptionNames(HelpText(), std::regex("^  (--[a-z-]+)"));
    const auto inMan = OptionNames(man.str(), std::regex("^`(--[a-z-]+)"));
    EXPECT_GE(inHelp.size(), 15u);
    EXPECT_EQ(inHelp, inMan);
    // Every option the help offers is one the parser knows.
    for (const auto& name : inHelp) {
        CommandLine c;
        std::string error;
        ParseCommandLine({name, "1:x.png"}, c, error);
        EXPECT_EQ(error.find("unknown option '" + name + "'"), std::string::npos) << name;
    }
}

TEST(CommandLine, PickAsksForAWindowedRunWithoutAFolder) {
    CommandLine c;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--pick", "--scale", "2", "--smooth"}, c, error)) << error;
    EXPECT_TRUE(c.Pick);
    EXPECT_TRUE(c.Smooth);
    for (const auto& bad : std::vector<std::vector<std::string>>{
             {"--pick", "--headless"}, {"--pick", "--check"}, {"--game", "g", "--pick"}}) {
        CommandLine d;
        EXPECT_FALSE(ParseCommandLine(bad, d, error)) << bad[1];
        EXPECT_NE(error.find("--pick"), std::string::npos);
    }
}

TEST(InputTimeline, EveryVerbParsesAndEventsAreSortedStably) {
    std::vector<TimelineEvent> ev;
    std::string error;
    const char* src =
        "# a comment\n"
        "500 key return down\n"
        "100 move 10 20 msg   # trailing comment\n"
        "100 click 1 2 right query\n"
        "200 down 3 4\n"
        "300 up 3 4 left main\n"
        "400 wheel down msg\n"
        "450 focus none\n"
        "460 text こんにちは # kept\n"
        "465 text a\\bb\\\\c\\r\\x\n"
        "470 close\r\n";
    ASSERT_TRUE(ParseInputTimeline(src, ev, error)) << error;
    ASSERT_EQ(ev.size(), 10u);
    EXPECT_EQ(ev[0].Verb, TimelineVerb::Move);
    EXPECT_EQ(ev[0].Window, WindowId::Msg);
    EXPECT_EQ(ev[1].Verb, TimelineVerb::Click);
    EXPECT_EQ(ev[1].Button, MouseButton::Right);
    EXPECT_EQ(ev[1].Window, WindowId::Query);
    EXPECT_EQ(ev[5].Window, WindowId::None);
    EXPECT_EQ(ev[6].Text, "こんにちは # kept");
    EXPECT_EQ(ev[7].Text, "a\bb\\c\r\\x");   // Backspace, backslash, Return; others kept
    EXPECT_EQ(ev[8].Verb, TimelineVerb::Close);
    EXPECT_EQ(ev[9].KeyName, Key::Return);
    EXPECT_TRUE(ev[9].Pressed);
}

TEST(InputTimeline, PadVerbsNameEveryButtonAndTheLeftStick) {
    std::vector<TimelineEvent> ev;
    std::string error;
    ASSERT_TRUE(ParseInputTimeline("1 pad a down\n2 pad righttrigger up\n3 pad dpleft down\n4 pad leftx -32768\n"
                                   "5 pad lefty 32767\n6 key f12 down\n",
                                   ev, error))
        << error;
    ASSERT_EQ(ev.size(), 6u);
    EXPECT_TRUE(ev[0].Verb == TimelineVerb::Pad && ev[0].PadKey == PadButton::A && ev[0].Pressed && !ev[0].PadStick);
    EXPECT_TRUE(ev[1].PadKey == PadButton::RightTrigger && !ev[1].Pressed);
    EXPECT_EQ(ev[2].PadKey, PadButton::DpadLeft);
    EXPECT_TRUE(ev[3].PadStick && ev[3].Axis == PadAxis::LeftX && ev[3].AxisValue == -32768);
    EXPECT_TRUE(ev[4].PadStick && ev[4].Axis == PadAxis::LeftY && ev[4].AxisValue == 32767);
    EXPECT_EQ(ev[5].KeyName, Key::F12);
    for (const char* name : {"a", "b", "x", "y", "back", "start", "leftshoulder", "rightshoulder", "lefttrigger",
                             "righttrigger", "dpup", "dpdown", "dpleft", "dpright"})
        EXPECT_TRUE(ParseInputTimeline(std::string("0 pad ") + name + " up\n", ev, error)) << name;
}

TEST(InputTimeline, AMalformedLineIsRejectedWithItsNumber) {
    std::vector<TimelineEvent> ev;
    std::string error;
    const std::pair<const char*, const char*> cases[] = {
        {"10 key return down\n20 key escape down\n", "line 2:"},
        {"x click 1 2\n", "line 1:"},
        {"\n\n5 click 1\n", "line 3:"},
        {"5 wheel sideways\n", "line 1:"},
        {"5 focus sideways\n", "line 1:"},
        {"5 wheel up query\n", "line 1:"},
        {"5 jump\n", "line 1:"},
        {"5 close now\n", "line 1:"},
        {"5 pad z down\n", "line 1:"},
        {"5 pad a pressed\n", "line 1:"},
        {"5 pad leftx 40000\n", "line 1:"},
        {"5 pad lefty\n", "line 1:"},
        {"5 pad rightx 1\n", "line 1:"},
    };
    for (auto [src, prefix] : cases) {
        EXPECT_FALSE(ParseInputTimeline(src, ev, error)) << src;
        EXPECT_TRUE(error.starts_with(prefix)) << error;
        EXPECT_TRUE(ev.empty());
    }
}

}  // namespace
}  // namespace orva
