// Operand substitution, result stores, arithmetic and conditions.
#include "script/script_ops.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

struct VarArrays {
    std::array<int16_t, kScriptVarCount> F{}, S{}, W{};
    ScriptVars Vars() { return ScriptVars{F, S, W}; }
};

LineRec Line(uint16_t code, uint16_t kinds, int16_t p1, int16_t p2 = 0, int16_t p3 = 0, int32_t p5 = 0) {
    return LineRec{code, kinds, p1, p2, p3, 0, p5};
}

// A set line as the interpreter runs it: resolve, then store P2 into P1 as written.
void RunSet(VarArrays& v, uint16_t kinds, int16_t p1, int16_t p2) {
    const ScriptCommand c = ResolveCommand(Line(0x50, kinds, p1, p2), v.Vars());
    v.Vars().Store(c.Kind.Kind[0], c.WrittenP1, c.P2);
}

TEST(ScriptOperands, KindsWordSelectsTheArrayOfEachOperand) {
    VarArrays v;
    v.F[20 - 1] = 33;
    v.S[20 - 1] = 44;
    RunSet(v, 0x0005, 10, 20);  // F10 := F20
    EXPECT_EQ(v.F[10 - 1], 33);
    RunSet(v, 0x0009, 11, 20);  // F11 := S20
    EXPECT_EQ(v.F[11 - 1], 44);
    RunSet(v, 0x0003, 10, 20);  // W10 := 20
    EXPECT_EQ(v.W[10 - 1], 20);
    EXPECT_EQ(v.F[10 - 1], 33);

    // A literal destination stores nothing anywhere.
    const VarArrays before = v;
    RunSet(v, 0x0000, 10, 99);
    EXPECT_EQ(v.F, before.F);
    EXPECT_EQ(v.S, before.S);
    EXPECT_EQ(v.W, before.W);
}

TEST(ScriptOperands, ConditionOperandsAreVariablesWhileTheKeyStaysLiteral) {
    VarArrays v;
    v.F[3 - 1] = -5;
    v.F[4 - 1] = -5;
    v.F[9 - 1] = 1234;  // would be the key if P1 were substituted
    const ScriptCommand c = ResolveCommand(Line(0x70, 0x0014, 9, 3, 4), v.Vars());
    EXPECT_EQ(c.P1, 9);
    EXPECT_EQ(c.P2, -5);
    EXPECT_EQ(c.P3, -5);
    EXPECT_TRUE(ConditionHolds(c.Code, c.P2, c.P3));
}

TEST(ScriptOperands, WideOperandReadsAVariableSignExtended) {
    VarArrays v;
    v.W[7 - 1] = -3;
    v.S[7 - 1] = 31000;
    EXPECT_EQ(ResolveCommand(Line(0x10, 3u << 8, 0, 0, 0, 7), v.Vars()).P5, -3);
    EXPECT_EQ(ResolveCommand(Line(0x10, 2u << 8, 0, 0, 0, 7), v.Vars()).P5, 31000);
    EXPECT_EQ(ResolveCommand(Line(0x10, 0, 0, 0, 0, 70000), v.Vars()).P5, 70000);
    // The show bit and the kinds of all five operands come along.
    const ScriptCommand c = ResolveCommand(Line(0x11, 0x8000 | (3u << 8), 2, 0, 0, 7), v.Vars());
    EXPECT_TRUE(c.Kind.Show);
    EXPECT_EQ(c.Kind.Kind[4], kKindWork);
}

TEST(ScriptOperands, IndicesOutsideOneTo512ReadZeroAndStoreNothing) {
    VarArrays v;
    v.F.fill(7);
    v.S.fill(7);
    v.W.fill(7);
    for (int16_t index : {int16_t(0), int16_t(513), int16_t(-1), int16_t(-32768), int16_t(32767)}) {
        EXPECT_EQ(v.Vars().Read(kKindScenario, index), 0) << index;
        EXPECT_EQ(v.Vars().Read(kKindWork, index), 0) << index;
        RunSet(v, 0x0001 | 0x0000, index, 99);  // F[index] := 99
        RunSet(v, 0x0002, index, 99);
        RunSet(v, 0x0003, index, 99);
    }
    EXPECT_EQ(ResolveCommand(Line(0x10, 3u << 8, 0, 0, 0, 100000), v.Vars()).P5, 0);
    for (int i = 0; i < kScriptVarCount; ++i) ASSERT_TRUE(v.F[i] == 7 && v.S[i] == 7 && v.W[i] == 7) << i;
    // 1 and 512 are the first and last variables.
    RunSet(v, 0x0001, 1, 1);
    RunSet(v, 0x0001, 512, 512);
    EXPECT_EQ(v.F.front(), 1);
    EXPECT_EQ(v.F.back(), 512);
}

TEST(ScriptArithmetic, SixteenBitWrapTruncationAndDivisionByZero) {
    EXPECT_EQ(ArithmeticResult(0x51, 32767, 1), -32768);
    EXPECT_EQ(ArithmeticResult(0x52, -32768, 1), 32767);
    EXPECT_EQ(ArithmeticResult(0x53, 300, 300), int16_t(90000 & 0xFFFF));
    EXPECT_EQ(ArithmeticResult(0x53, -2, 16384), -32768);
    EXPECT_EQ(ArithmeticResult(0x54, -7, 2), -3);
    EXPECT_EQ(ArithmeticResult(0x55, -7, 2), -1);
    EXPECT_EQ(ArithmeticResult(0x54, 7, -2), -3);
    EXPECT_EQ(ArithmeticResult(0x55, 7, -2), 1);
    EXPECT_EQ(ArithmeticResult(0x54, -32768, -1), -32768);  // 32768 wraps
    EXPECT_EQ(ArithmeticResult(0x55, -32768, -1), 0);
    EXPECT_EQ(ArithmeticResult(0x54, 5, 0), 0);
    EXPECT_EQ(ArithmeticResult(0x55, 5, 0), 0);
}

TEST(ScriptArithmetic, RandomBoundsInEitherOrderIncludeBothEnds) {
    EXPECT_EQ(RandomSpan(5, 2), 4);
    EXPECT_EQ(RandomSpan(2, 5), 4);
    EXPECT_EQ(RandomResult(5, 2, 0), 2);
    EXPECT_EQ(RandomResult(5, 2, 3), 5);
    EXPECT_EQ(RandomSpan(-32768, 32767), 65536);
    EXPECT_EQ(RandomResult(32767, -32768, 65535), 32767);
    EXPECT_EQ(RandomSpan(4, 4), 1);
}

TEST(ScriptConditions, SixComparisonsAreSigned) {
    struct Case {
        uint16_t Code;
        bool Less, Equal, Greater;  // outcome for a<b, a==b, a>b
    };
    const Case cases[] = {{0x70, false, true, false}, {0x71, true, false, true}, {0x72, true, false, false},
                          {0x73, false, false, true}, {0x74, true, true, false}, {0x75, false, true, true}};
    for (const Case& c : cases) {
        EXPECT_EQ(ConditionHolds(c.Code, -2, 1), c.Less) << c.Code;
        EXPECT_EQ(ConditionHolds(c.Code, -2, -2), c.Equal) << c.Code;
        EXPECT_EQ(ConditionHolds(c.Code, 1, -2), c.Greater) << c.Code;
    }
    EXPECT_FALSE(ConditionHolds(0x76, 1, 1));
}

}  // namespace
}  // namespace orva
