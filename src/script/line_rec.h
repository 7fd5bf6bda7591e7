// LineRec: one compiled script line as it is stored in a script entry and in LineTbl.
#pragma once

#include <cstddef>
#include <cstdint>

#include "script/command_table.h"

namespace orva {

#pragma pack(push, 1)
// One line of a compiled script (16 bytes, little-endian).
struct LineRec {
    uint16_t Code;   // command code; searches look at its low byte
    uint16_t Kinds;  // operand-kind word: 2 bits per operand P1..P5, bit 15 the show bit
    int16_t P1;      // operands; their meaning depends on Code
    int16_t P2;
    int16_t P3;
    int16_t P4;
    int32_t P5;      // the wide operand (file, voice or script number)

    friend bool operator==(const LineRec&, const LineRec&) = default;
};
#pragma pack(pop)

static_assert(sizeof(LineRec) == 16);
static_assert(offsetof(LineRec, Code) == 0);
static_assert(offsetof(LineRec, Kinds) == 2);
static_assert(offsetof(LineRec, P1) == 4);
static_assert(offsetof(LineRec, P2) == 6);
static_assert(offsetof(LineRec, P3) == 8);
static_assert(offsetof(LineRec, P4) == 10);
static_assert(offsetof(LineRec, P5) == 12);

// Lines LineTbl holds (1 MiB); a script entry with more lines is refused.
constexpr int kLineTblCapacity = 65536;
// Line indices are stored and returned as signed 16-bit values, so only lines 0..32767
// can be the target of a label or block search.
constexpr int kMaxAddressableLine = 32767;

// The line every script ends with.
constexpr LineRec kEndLine{kCodeEndOfScript, 0, 0, 0, 0, 0, 0};

}  // namespace orva
