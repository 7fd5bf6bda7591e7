// The debug window's status lines and listings.
#include "debug/debug_listings.h"

#include <cstring>

#include "text/shown_text.h"

namespace orva {
namespace {

std::u16string Num(int64_t v) {
    const std::string s = std::to_string(v);
    return std::u16string(s.begin(), s.end());
}

const char16_t* KindMark(uint8_t kind) {
    switch (kind) {
        case kKindScenario: return u"F";
        case kKindSystem: return u"S";
        case kKindWork: return u"W";
        default: return u"";
    }
}

void AddArray(std::vector<std::u16string>& lines, const char16_t* mark, std::span<const int16_t, kScriptVarCount> values) {
    for (int line = 0; line < kScriptVarCount / 16; ++line) {
        std::u16string text;
        for (int i = line * 16; i < line * 16 + 16; ++i) {
            text += mark;
            text += Num(i + 1) + u":" + Num(values[size_t(i)]) + u" ";
        }
        lines.push_back(std::move(text));
    }
}

}  // namespace

std::u16string DebugStatusLine1(int32_t engineMode, int32_t scriptNo, int32_t scriptStep, const ScriptCommand& cmd) {
    return u"TC:" + Num(engineMode) + u" NO:" + Num(scriptNo) + u" ST:" + Num(scriptStep) + u" CD:" + Num(cmd.Code) +
           u" P1:" + KindMark(cmd.Kind.Kind[0]) + Num(cmd.P1) + u" P2:" + KindMark(cmd.Kind.Kind[1]) + Num(cmd.P2) +
           u" P3:" + KindMark(cmd.Kind.Kind[2]) + Num(cmd.P3);
}

std::u16string DebugStatusLine2(const GameRec& game) {
    uint32_t music = 0;
    std::memcpy(&music, game.MusicName + 32, sizeof music);
    auto loop = [](uint8_t flag) { return flag ? u"(L)" : u""; };
    return u"BGM:" + Num(music) + loop(game.MusicLoop) + u" SE1:" + Num(game.DebugValues[0]) + loop(game.EffectLoop[0]) +
           u" SE2:" + Num(game.DebugValues[1]) + loop(game.EffectLoop[1]) + u" SE3:" + Num(game.DebugValues[2]) +
           loop(game.EffectLoop[2]);
}

std::vector<std::u16string> DebugFlagListing(const ScriptVars& vars) {
    std::vector<std::u16string> lines;
    lines.push_back(u"--シナリオ変数---------------------------------------------");
    AddArray(lines, u"F", vars.Scenario);
    lines.push_back(u"");
    lines.push_back(u"--システム変数---------------------------------------------");
    AddArray(lines, u"S", vars.System);
    lines.push_back(u"");
    lines.push_back(u"--ワーク変数-----------------------------------------------");
    AddArray(lines, u"W", vars.Work);
    return lines;
}

std::vector<std::u16string> DebugLogListing(const TMessageLog& log) {
    std::vector<std::u16string> lines;
    lines.push_back(u"--メッセージログ-------------------------------------------");
    for (int n = 1; n <= 100; ++n) {
        const MessageLogEntry& e = log.Entry(n - 1);
        lines.push_back(Num(n) + u":" + PlainShownText(e.Text) + u" [" + e.Voice + u"]");
    }
    return lines;
}

std::vector<std::u16string> DebugReturnListing(const GameRec& game) {
    std::vector<std::u16string> lines;
    for (int i = 0; i < 6; ++i) lines.push_back(Num(game.ReturnTbl[i].Script) + u" " + Num(game.ReturnTbl[i].Step));
    return lines;
}

}  // namespace orva
