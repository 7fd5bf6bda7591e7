// Operand substitution, result stores, arithmetic and conditions of the interpreter.
#include "script/script_ops.h"

#include <utility>

namespace orva {

namespace {
std::span<int16_t, kScriptVarCount> const* ArrayOf(const ScriptVars& vars, uint8_t kind) {
    switch (kind) {
        case kKindScenario: return &vars.Scenario;
        case kKindSystem: return &vars.System;
        case kKindWork: return &vars.Work;
        default: return nullptr;
    }
}
bool InRange(int32_t index) { return index >= 1 && index <= kScriptVarCount; }
}  // namespace

int16_t ScriptVars::Read(uint8_t kind, int32_t index) const {
    const auto* array = ArrayOf(*this, kind);
    return array && InRange(index) ? (*array)[size_t(index - 1)] : int16_t(0);
}

void ScriptVars::Store(uint8_t kind, int32_t index, int16_t value) const {
    const auto* array = ArrayOf(*this, kind);
    if (array && InRange(index)) (*array)[size_t(index - 1)] = value;
}

ScriptCommand ResolveCommand(const LineRec& line, const ScriptVars& vars) {
    ScriptCommand c;
    c.Code = line.Code;
    c.Kinds = line.Kinds;
    c.Kind = DecodeKinds(line.Kinds);
    c.WrittenP1 = line.P1;
    auto sub16 = [&](int j, int16_t p) { return c.Kind.Kind[j] ? vars.Read(c.Kind.Kind[j], p) : p; };
    c.P1 = sub16(0, line.P1);
    c.P2 = sub16(1, line.P2);
    c.P3 = sub16(2, line.P3);
    c.P4 = sub16(3, line.P4);
    c.P5 = c.Kind.Kind[4] ? int32_t(vars.Read(c.Kind.Kind[4], line.P5)) : line.P5;
    return c;
}

int16_t ArithmeticResult(uint16_t code, int16_t a, int16_t b) {
    const int32_t x = a, y = b;
    int32_t r = 0;
    switch (code) {
        case kCodeAdd: r = x + y; break;
        case kCodeSubtract: r = x - y; break;
        case kCodeMultiply: r = x * y; break;
        case kCodeDivide: r = y == 0 ? 0 : x / y; break;
        case kCodeModulo: r = y == 0 ? 0 : x - (x / y) * y; break;
        default: r = 0; break;
    }
    return static_cast<int16_t>(static_cast<uint16_t>(r));  // the low 16 bits
}

int32_t RandomSpan(int16_t a, int16_t b) {
    if (a > b) std::swap(a, b);
    return int32_t(b) - int32_t(a) + 1;
}

int16_t RandomResult(int16_t a, int16_t b, int32_t r) {
    if (a > b) std::swap(a, b);
    return static_cast<int16_t>(int32_t(a) + r);
}

bool ConditionHolds(uint16_t code, int16_t a, int16_t b) {
    switch (code) {
        case kCodeIfEqual: return a == b;
        case kCodeIfNotEqual: return a != b;
        case kCodeIfLess: return a < b;
        case kCodeIfGreater: return a > b;
        case kCodeIfLessOrEqual: return a <= b;
        case kCodeIfGreaterOrEqual: return a >= b;
        default: return false;
    }
}

}  // namespace orva
