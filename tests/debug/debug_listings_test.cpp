// The debug window's status lines and the exact lines of its three listings.
#include "app/engine_modes.h"
#include "debug/debug_listings.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orva {
namespace {

TEST(DebugStatusLines, LineOneMarksEachOperandByTheArrayItNamed) {
    ScriptCommand cmd;
    cmd.Code = 0x50;
    cmd.P1 = 5;
    cmd.P2 = -2;
    cmd.P3 = 9;
    cmd.Kind.Kind = {kKindScenario, kKindLiteral, kKindWork, kKindSystem, kKindLiteral};
    EXPECT_EQ(DebugStatusLine1(ModeValue(Mode::MessageWait), 3, 17, cmd), u"TC:24578 NO:3 ST:17 CD:80 P1:F5 P2:-2 P3:W9");
    cmd.Kind.Kind = {kKindSystem, kKindSystem, kKindLiteral, kKindLiteral, kKindLiteral};
    EXPECT_EQ(DebugStatusLine1(-1, 0, -1, cmd), u"TC:-1 NO:0 ST:-1 CD:80 P1:S5 P2:S-2 P3:9");
}

TEST(DebugStatusLines, LineTwoShowsTheMusicTailTheEffectValuesAndTheLoopFlags) {
    GameRec game{};
    std::strcpy(game.MusicName, "bgm01");
    EXPECT_EQ(DebugStatusLine2(game), u"BGM:0 SE1:0 SE2:0 SE3:0") << "short names show 0";

    game.MusicLoop = 1;
    game.EffectLoop[1] = 1;
    game.DebugValues[0] = 7;
    game.DebugValues[2] = 4000000000u;
    // A name filling the field reaches its last four bytes: "ABCD" read little-endian.
    std::memcpy(game.MusicName, "0123456789012345678901234567890_ABCD", 36);
    EXPECT_EQ(DebugStatusLine2(game), u"BGM:1145258561(L) SE1:7 SE2:0(L) SE3:4000000000");
}

TEST(DebugListings, FlagListingHoldsThreeArraysOfThirtyTwoLines) {
    std::array<int16_t, kScriptVarCount> f{}, s{}, w{};
    f[0] = 3;
    f[15] = -32768;
    s[16] = 1;
    w[511] = -1;
    const auto lines = DebugFlagListing({f, s, w});
    ASSERT_EQ(lines.size(), 101u);
    EXPECT_EQ(lines[0], u"--シナリオ変数---------------------------------------------");
    EXPECT_EQ(lines[1], u"F1:3 F2:0 F3:0 F4:0 F5:0 F6:0 F7:0 F8:0 F9:0 F10:0 F11:0 F12:0 F13:0 F14:0 F15:0 F16:-32768 ");
    EXPECT_EQ(lines[32].substr(0, 9), u"F497:0 F4");
    EXPECT_EQ(lines[33], u"");
    EXPECT_EQ(lines[34], u"--システム変数---------------------------------------------");
    EXPECT_EQ(lines[36].substr(0, 12), u"S17:1 S18:0 ");
    EXPECT_EQ(lines[67], u"");
    EXPECT_EQ(lines[68], u"--ワーク変数-----------------------------------------------");
    EXPECT_EQ(lines[100].substr(lines[100].size() - 15), u"W511:0 W512:-1 ");
}

TEST(DebugListings, LogListingNumbersTheNewestHundredAndReturnListingSixEntries) {
    TMessageLog log;
    log.Add(u"古い", u"");
    log.Add(u"【アヤ】「新しい」", u"aya001");
    const auto lines = DebugLogListing(log);
    ASSERT_EQ(lines.size(), 101u);
    EXPECT_EQ(lines[0], u"--メッセージログ-------------------------------------------");
    EXPECT_EQ(lines[1], u"1:【アヤ】「新しい」 [aya001]");
    EXPECT_EQ(lines[2], u"2:古い []");
    EXPECT_EQ(lines[3], u"3: []");
    EXPECT_EQ(lines[100], u"100: []");

    GameRec game{};
    game.ReturnTbl[0] = {2, 15};
    game.ReturnTbl[5] = {-1, 300};
    game.ReturnTbl[6] = {9, 9};  // past the six shown
    const auto rt = DebugReturnListing(game);
    ASSERT_EQ(rt.size(), 6u);
    EXPECT_EQ(rt[0], u"2 15");
    EXPECT_EQ(rt[1], u"0 0");
    EXPECT_EQ(rt[5], u"-1 300");
}

}  // namespace
}  // namespace orva
