// The interpreter's pure arithmetic: operand substitution from the three variable arrays,
// result stores, the 16-bit arithmetic commands and the condition tests.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "script/command_table.h"
#include "script/line_rec.h"

namespace orva {

constexpr int kScriptVarCount = 512;  // variables per array, addressed 1..512

// The three variable arrays as the interpreter sees them; entry i of a span is variable i+1.
struct ScriptVars {
    std::span<int16_t, kScriptVarCount> Scenario;  // F: saved with each game
    std::span<int16_t, kScriptVarCount> System;    // S: shared by all games
    std::span<int16_t, kScriptVarCount> Work;      // W: never saved

    // The value of a variable; a literal kind, or an index outside 1..512, reads as 0.
    int16_t Read(uint8_t kind, int32_t index) const;
    // Stores into a variable; a literal kind, or an index outside 1..512, stores nothing.
    void Store(uint8_t kind, int32_t index, int16_t value) const;
};

// One line as it is executed: operands after substitution, plus what the substitution used.
struct ScriptCommand {
    uint16_t Code = 0;
    uint16_t Kinds = 0;          // the kinds word as stored
    int16_t P1 = 0, P2 = 0, P3 = 0, P4 = 0;
    int32_t P5 = 0;
    DecodedKinds Kind{};         // each operand's kind and the show bit
    int16_t WrittenP1 = 0;       // P1 before substitution: the destination of a result
};

// Copies line and replaces each variable operand (P1..P5 in order) by its value; P5 reads
// the variable as a sign-extended 32-bit value.
ScriptCommand ResolveCommand(const LineRec& line, const ScriptVars& vars);

// The value a result command (0x51..0x55) stores for operands a and b, wrapping at 16 bits;
// division and remainder by 0 give 0, quotients truncate toward zero, remainders take a's
// sign. Codes outside 0x51..0x55 give 0.
int16_t ArithmeticResult(uint16_t code, int16_t a, int16_t b);

// Random (0x56): the bounds ordered low..high. r is a uniform draw in 0..high-low, given by
// the caller's generator from RandomSpan(a, b).
int32_t RandomSpan(int16_t a, int16_t b);
int16_t RandomResult(int16_t a, int16_t b, int32_t r);

// Whether condition code 0x70..0x75 holds for a and b (signed). Other codes: false.
bool ConditionHolds(uint16_t code, int16_t a, int16_t b);

}  // namespace orva
