// The assembler: encoding of commands, lists and blocks, and its diagnostics.
#include "orva_asm/assembler.h"

#include <gtest/gtest.h>

#include "data/cp932.h"
#include "script/script_search.h"

namespace orva {
namespace {

ScriptImage Asm(const std::string& body) {
    AssembledScript out;
    std::vector<Diagnostic> errors;
    const bool ok = AssembleScript(".script 1 \"t\"\n" + body, "t.txt", out, errors);
    std::string all;
    for (const auto& e : errors) all += e.Format() + "\n";
    EXPECT_TRUE(ok) << all;
    return out.Image;
}

std::vector<Diagnostic> Errors(const std::string& source) {
    AssembledScript out;
    std::vector<Diagnostic> errors;
    EXPECT_FALSE(AssembleScript(source, "bad.txt", out, errors));
    return errors;
}

TEST(Assembler, OperandKindsAndFieldsOfEachSyntax) {
    const ScriptImage img = Asm(
        "set F10 F20\n"
        "set F10 S20\n"
        "set W10 20\n"
        "if F1 == F2\n"
        "end\n"
        "char3 1 \"aya\" show\n"
        "bgm \"m\" 0 2\n"
        "msg \"hello\"\n"
        "msg \"again\" \"v1\" 7\n"
        "wait W7\n"
        "add F1 32767 -32768\n"
        "bg W7\n");
    ASSERT_EQ(img.Lines.size(), 13u);
    EXPECT_EQ(img.Lines[0], (LineRec{0x50, 0x0005, 10, 20, 0, 0, 0}));
    EXPECT_EQ(img.Lines[1], (LineRec{0x50, 0x0009, 10, 20, 0, 0, 0}));
    EXPECT_EQ(img.Lines[2], (LineRec{0x50, 0x0003, 10, 20, 0, 0, 0}));
    EXPECT_EQ(img.Lines[3], (LineRec{0x70, 0x0014, 1, 1, 2, 0, 0}));  // key 1 is a literal
    EXPECT_EQ(img.Lines[4], (LineRec{0x7F, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(img.Lines[5], (LineRec{0x13, 0x8000, 1, 0, 0, 0, 0}));
    EXPECT_EQ(img.Lines[6], (LineRec{0x30, 0, 0, 2, 0, 0, 1}));
    EXPECT_EQ(img.Lines[7], (LineRec{0x60, 0, 0, 0, 0, 0, -1}));      // no voice
    EXPECT_EQ(img.Lines[8], (LineRec{0x60, 0, 1, 7, 0, 0, 2}));
    EXPECT_EQ(img.Lines[9], (LineRec{0x80, 0x0003, 7, 0, 0, 0, 0}));
    EXPECT_EQ(img.Lines[10], (LineRec{0x51, 0x0001, 1, 32767, -32768, 0, 0}));
    EXPECT_EQ(img.Lines[11], (LineRec{0x10, 0x0300, 0, 0, 0, 0, 7}));  // P5 from W7
    EXPECT_EQ(img.Lines[12], kEndLine);
    EXPECT_EQ(img.FileNames, (std::vector<std::string>{"aya", "m", "v1"}));
    EXPECT_EQ(img.MsgTexts, (std::vector<std::string>{"hello", "again"}));
}

TEST(Assembler, ListsLabelsJumpsAndEndLine) {
    const ScriptImage img = Asm(
        "*top\n"
        "msg \"same\"\n"
        "msg \"same\"\n"           // its own message number
        "bg \"b\"\n"
        "bg \"b\"\n"               // one file entry
        "jump *top\n"
        "call 3 *elsewhere\n"      // another script: not checked here
        "*top\n"                   // a duplicate name is a second entry
        "*\"two words\"\n"
        "msg \"\\\"q\\\" \\\\ \\x82\\xA0 あ\"\n"
        "endscript\n");
    EXPECT_EQ(img.LabelNames, (std::vector<std::string>{"top", "top", "two words"}));
    EXPECT_EQ(img.JumpNames, (std::vector<std::string>{"top", "elsewhere"}));
    EXPECT_EQ(img.FileNames, (std::vector<std::string>{"b"}));
    ASSERT_EQ(img.MsgTexts.size(), 3u);
    EXPECT_EQ(img.MsgTexts[2], "\"q\" \\ \x82\xA0 \x82\xA0");
    EXPECT_EQ(img.Lines[2].P1, 1);
    EXPECT_EQ(img.Lines[5], (LineRec{0x40, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(img.Lines[6], (LineRec{0x41, 0, 1, 0, 0, 0, 3}));
    EXPECT_EQ(img.Lines[7], (LineRec{0x4E, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(img.Lines.back(), kEndLine);
    EXPECT_EQ(img.Lines.size(), 11u);  // the written endscript is not doubled
    // The engine's search finds the first "top".
    EXPECT_EQ(GetLabelStepIn(img.Lines, img.LabelNames, u"top"), 0);
    EXPECT_EQ(GetLabelStepIn(img.Lines, img.LabelNames, u"two words"), 8);

    const ScriptImage noEnd = Asm("set F1 1\n.noend\n");
    EXPECT_EQ(noEnd.Lines.size(), 1u);
}

TEST(Assembler, BlockKeysPairNestedBlocksAndAvoidExplicitKeys) {
    const ScriptImage img = Asm(
        "if F1 == 1\n"      // 0: gets key 2 (1 is taken below)
        "  if F2 != 2\n"    // 1: key 3
        "    set F3 1\n"    // 2
        "  else\n"          // 3
        "    set F3 2\n"    // 4
        "  end\n"           // 5
        "else\n"            // 6
        "  set F3 3\n"      // 7
        "end\n"             // 8
        "if[1] F4 < 0\n"    // 9
        "end[1]\n"          // 10
        "else[40]\n"        // 11: an explicit marker outside any block
        "if F5 >= 0\n"      // 12: key 4
        "end\n");           // 13
    EXPECT_EQ(img.Lines[0].P1, 2);
    EXPECT_EQ(img.Lines[1].P1, 3);
    EXPECT_EQ(img.Lines[3], (LineRec{0x7E, 0, 3, 0, 0, 0, 0}));
    EXPECT_EQ(img.Lines[5].P1, 3);
    EXPECT_EQ(img.Lines[6].P1, 2);
    EXPECT_EQ(img.Lines[8].P1, 2);
    EXPECT_EQ(img.Lines[9], (LineRec{0x72, 0x0004, 1, 4, 0, 0, 0}));
    EXPECT_EQ(img.Lines[11], (LineRec{0x7E, 0, 40, 0, 0, 0, 0}));
    EXPECT_EQ(img.Lines[12].Code, 0x75);
    EXPECT_EQ(img.Lines[12].P1, 4);
    // The engine's block search goes where the structure says.
    EXPECT_EQ(GetElseStepIn(img.Lines, 0, img.Lines[0].P1), 6);  // outer false → its else
    EXPECT_EQ(GetElseStepIn(img.Lines, 1, img.Lines[1].P1), 3);
    EXPECT_EQ(GetElseStepIn(img.Lines, 3, img.Lines[3].P1), 5);  // inner else → inner end
    EXPECT_EQ(GetElseStepIn(img.Lines, 6, img.Lines[6].P1), 8);  // outer else passes inner end
}

TEST(Assembler, DiagnosticsNameLineColumnAndCause) {
    auto one = [](const std::string& body, int line, int column, const std::string& part) {
        const auto errors = Errors(".script 1 \"t\"\n" + body);
        ASSERT_FALSE(errors.empty()) << body;
        EXPECT_EQ(errors[0].File, "bad.txt");
        EXPECT_EQ(errors[0].Line, line) << body;
        EXPECT_EQ(errors[0].Column, column) << body << ": " << errors[0].Message;
        EXPECT_NE(errors[0].Message.find(part), std::string::npos) << errors[0].Message;
    };
    one("bgm \"m\"\nfrobnicate 1\n", 3, 1, "unknown command 'frobnicate'");
    one("  set F1 40000\n", 2, 10, "does not fit");
    one("bg \"open\n", 2, 4, "not closed");
    one("msg \"あいう\" \"v\" x\n", 2, 15, "expected an operand");  // columns count characters
    one("if F1 == 1\nset F1 2\n", 2, 1, "'if' without 'end'");
    one("else\n", 2, 1, "without 'if'");
    one("jump *nowhere\n", 2, 6, "no label *nowhere");
    one("msg \"😀\"\n", 2, 5, "CP932");
    one("set F1\n", 2, 1, "takes 2 operands");
    one("bg \"a\\x0Ab\"\n", 2, 4, "line break");
    one("set F1 1 2\n", 2, 10, "found 3");
    one("bg *lbl\n", 2, 4, "label does not fit");
    one("set F1* 1\n", 2, 7, "expected a blank");
    one("if F1 = 1\nend\n", 2, 7, "unknown operator");
    one(".line 0x60 0 1 2 3 4\n", 2, 1, ".line takes");
    one(".breaks texts WX\nmsg \"a\"\n", 2, 15, "2 line breaks for 1 entries");
    one("if[", 2, 4, "malformed number");  // a key cut off by the end of the line
    one("end[-", 2, 5, "malformed number");

    // Every error of a source is reported, not only the first.
    const auto many = Errors(".script 1 \"t\"\nfoo\nbar\nset F1 1\nbaz\n");
    ASSERT_EQ(many.size(), 3u);
    EXPECT_EQ(many[2].Line, 5);
    EXPECT_EQ(many[0].Format(), "bad.txt:2:1: error: unknown command 'foo'");
    // Structure of the file itself.
    EXPECT_EQ(Errors("set F1 1\n")[0].Message, "no .script line before this line");
    EXPECT_NE(Errors(".script 0 \"x\"\n")[0].Message.find("1..65535"), std::string::npos);
    EXPECT_NE(Errors(".script 1 \"a\"\n.script 2 \"b\"\n")[0].Message.find("exactly one"), std::string::npos);
}

TEST(Assembler, ContainerFromSourcesDerivesNamesAndRejectsDuplicates) {
    AssembledSource a, b, c;
    std::vector<Diagnostic> errors;
    ASSERT_TRUE(AssembleSource(".script 3 \"third\"\nmsg \"x\"\n.script 1 \"first\"\n", "a.txt", a, errors));
    ASSERT_TRUE(AssembleSource(".script 5 \"first\" empty\n", "b.txt", b, errors));
    std::vector<const AssembledScript*> all{&a.Scripts[0], &a.Scripts[1], &b.Scripts[0]};
    EXPECT_EQ(DeriveNameList(all), (std::vector<std::string>{"first", "", "third", "", "first"}));
    std::vector<uint8_t> out;
    ASSERT_TRUE(BuildContainerFromSources({a, b}, out, errors));
    EXPECT_GT(out.size(), 16u + 524288u);

    ASSERT_TRUE(AssembleSource(".script 3 \"again\"\n", "c.txt", c, errors));
    std::vector<uint8_t> untouched{1, 2, 3};
    EXPECT_FALSE(BuildContainerFromSources({a, c}, untouched, errors));
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.back().File, "c.txt");
    EXPECT_NE(errors.back().Message.find("a.txt:1"), std::string::npos);
    EXPECT_EQ(untouched, (std::vector<uint8_t>{1, 2, 3}));
}

}  // namespace
}  // namespace orva
