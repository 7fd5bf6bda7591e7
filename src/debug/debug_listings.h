// What the debug window shows: its two status lines and the listings of its buttons, built from
// the engine's state as plain text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/save_layout.h"
#include "script/script_ops.h"
#include "text/message_log.h"

namespace orva {

// "TC:mode NO:script ST:step CD:code P1:… P2:… P3:…", each operand after substitution and
// marked F, S or W when it named a scenario, system or work variable.
std::u16string DebugStatusLine1(int32_t engineMode, int32_t scriptNo, int32_t scriptStep, const ScriptCommand& cmd);

// "BGM:m SE1:e1 SE2:e2 SE3:e3", each followed by "(L)" when its loop flag is set. m is the 32-bit
// value in the last four bytes of the music name field (0 for every name shorter than 32
// characters), e1..e3 the effect values of the record.
std::u16string DebugStatusLine2(const GameRec& game);

// The three variable arrays, 16 entries to a line under a heading each.
std::vector<std::u16string> DebugFlagListing(const ScriptVars& vars);
// The newest 100 entries of the message log, numbered from 1, each with its voice in brackets.
std::vector<std::u16string> DebugLogListing(const TMessageLog& log);
// The first six entries of the call-return table: script number and line.
std::vector<std::u16string> DebugReturnListing(const GameRec& game);

}  // namespace orva
