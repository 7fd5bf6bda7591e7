// The disassembler: readable output for ordinary scripts, and byte-exact round trips for
// odd entries and whole containers.
#include "orva_asm/disassembler.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "data/archive_format.h"
#include "data/container_writer.h"
#include "orva_asm/assembler.h"

namespace orva {
namespace {

// Assembles text as one script and returns its entry bytes (empty on error, with a failure).
std::vector<uint8_t> Rebuild(const std::string& text) {
    AssembledScript out;
    std::vector<Diagnostic> errors;
    if (!AssembleScript(text, "dis.txt", out, errors)) {
        ADD_FAILURE() << (errors.empty() ? "" : errors[0].Format()) << "\n" << text;
        return {};
    }
    return out.EntryBytes();
}

TEST(Disassembler, OrdinaryScriptsComeOutInTheNaturalForm) {
    const std::string source =
        ".script 4 \"day one\"\n"
        "*top\n"
        "bg \"bg01\"\n"
        "msg \"【アヤ】「おはよう」\" \"v001\"\n"
        "choice \"行く:行かない\"\n"
        "if W1 == 1\n"
        "    call *sub\n"
        "else\n"
        "    jump 2 *other\n"
        "end\n"
        "wait 500 1\n"
        "jump *top\n"
        "*sub\n"
        "return\n";
    AssembledScript script;
    std::vector<Diagnostic> errors;
    ASSERT_TRUE(AssembleScript(source, "s.txt", script, errors));
    const std::string text = DisassembleScript(script.Image, 4, "day one");
    EXPECT_EQ(text, source);  // the canonical source reads back exactly as written
    EXPECT_EQ(Rebuild(text), script.EntryBytes());
}

LineRec L(uint16_t code, uint16_t kinds, int16_t p1 = 0, int16_t p2 = 0, int16_t p3 = 0, int16_t p4 = 0, int32_t p5 = 0) {
    return {code, kinds, p1, p2, p3, p4, p5};
}

TEST(Disassembler, OddHandMadeEntriesBuildBackByteForByte) {
    ScriptImage img;
    for (size_t k = 0; k < 16; ++k) img.Header[k] = uint8_t(0xF0 + k);
    img.Lines = {
        L(0x60, 0x8000, 0, 0, 0, 0, -1),   // show bit on a message
        L(0x50, 0x7C05, 1, 2),             // unused kind bits
        L(0x10, 0x0001, 3, 0, 0, 0, 0),    // a kind on an unused operand
        L(0x70, 0x0001, 9, 1, 2),          // a block key taken from a variable
        L(0x123, 0),                       // a code outside the table
        L(0x40, 0, 5, 0, 0, 0, 0),         // jump index past JumpNames
        L(0x4E, 0, 1),                     // the second of two equal label names
        L(0x4E, 0, 0),
        L(0x60, 0, 0, 0, 0, 0, 2),         // two messages sharing one text
        L(0x60, 0, 0, 0, 0, 0, -1),
        L(0x7F, 0, 77),                    // a block end with no condition
        L(0x11, 0x8000, 1, 0, 0, 0, 0),
        L(0x13, 0x0300, 1, 0, 0, 0, 4),    // file index from W4
        L(0x40, 0, 0, 0, 0, 0, 3),
        L(0x50, 0x0000, 10, 20),           // destination without kind: stores nothing
    };
    img.LabelNames = {"a", "a"};
    img.JumpNames = {"x", "unused"};
    img.FileNames = {"f", "unused", "f"};
    img.MsgTexts = {"\x80\xFF plain", "\\\"", "\x82\xA0"};
    img.Layouts[kSectionFiles].Breaks = {LineBreak::Lf, LineBreak::Cr, LineBreak::None};
    img.Trailer = {0, 1, 2};
    const auto bytes = BuildScriptEntry(img);
    const std::string text = DisassembleEntry(bytes, 7, "odd\xFF");
    EXPECT_EQ(Rebuild(text), bytes) << text;
    EXPECT_EQ(text.find(".raw"), std::string::npos) << text;  // still a readable listing

    // No end line at all, then two end lines at the end.
    ScriptImage noEnd = img;
    noEnd.Lines.resize(3);
    const auto noEndBytes = BuildScriptEntry(noEnd);
    EXPECT_EQ(Rebuild(DisassembleEntry(noEndBytes, 7, "")), noEndBytes);
    ScriptImage twoEnds;
    twoEnds.Lines = {kEndLine, kEndLine};
    twoEnds.Layouts[kSectionJumps].EmptyLength = -3;
    const auto twoEndBytes = BuildScriptEntry(twoEnds);
    EXPECT_EQ(Rebuild(DisassembleEntry(twoEndBytes, 7, "")), twoEndBytes);
    ScriptImage nothing;
    nothing.Lines.clear();
    const auto nothingBytes = BuildScriptEntry(nothing);
    EXPECT_EQ(Rebuild(DisassembleEntry(nothingBytes, 7, "")), nothingBytes);

    // A truncated entry is kept as raw bytes.
    const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 30);
    const std::string raw = DisassembleEntry(cut, 9, "cut");
    EXPECT_NE(raw.find(".raw"), std::string::npos);
    EXPECT_EQ(Rebuild(raw), cut);
}

TEST(Disassembler, RandomEntriesRoundTrip) {
    std::mt19937 rng(1234);
    auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
    const uint16_t codes[] = {0x10, 0x11, 0x15, 0x20, 0x30, 0x33, 0x40, 0x41, 0x4E, 0x4F, 0x50,
                              0x51, 0x56, 0x60, 0x68, 0x70, 0x75, 0x7E, 0x7F, 0x80, 0x88, 0xFF, 0x1FF};
    auto randomString = [&] {
        std::string s;
        const int n = pick(6);
        for (int k = 0; k < n; ++k) {
            uint8_t c = uint8_t(pick(256));
            if (c == '\r' || c == '\n') c = 'a';
            s += char(c);
        }
        return s;
    };
    for (int round = 0; round < 150; ++round) {
        ScriptImage img;
        if (pick(2)) img.Header[size_t(pick(16))] = uint8_t(pick(256));
        const int lines = pick(12);
        for (int k = 0; k < lines; ++k) {
            LineRec l{};
            l.Code = codes[pick(int(std::size(codes)))];
            l.Kinds = pick(3) == 0 ? uint16_t(rng()) : uint16_t(pick(2) ? 0 : pick(4) << (2 * pick(5)));
            l.P1 = int16_t(pick(3) == 0 ? int(rng()) : pick(4) - 1);
            l.P2 = int16_t(pick(3) == 0 ? int(rng()) : pick(3));
            l.P3 = int16_t(pick(2) ? 0 : pick(5));
            l.P4 = int16_t(pick(6) == 0 ? 1 : 0);
            l.P5 = pick(3) == 0 ? int32_t(rng()) : pick(4) - 1;
            img.Lines.push_back(l);
        }
        if (pick(3)) img.Lines.push_back(kEndLine);
        for (int s = 0; s < kSectionCount; ++s) {
            const int n = pick(4);
            for (int k = 0; k < n; ++k) img.Section(s).push_back(pick(2) ? randomString() : "name" + std::to_string(pick(3)));
            if (n == 0 && pick(3) == 0) img.Layouts[s].EmptyLength = -pick(5);
            if (n > 0 && pick(3) == 0)
                for (int k = 0; k < n; ++k) img.Layouts[s].Breaks.push_back(LineBreak(pick(3)));
        }
        if (pick(4) == 0) img.Trailer = {uint8_t(pick(256))};
        Canonicalise(img);
        const auto bytes = BuildScriptEntry(img);
        const std::string text = DisassembleEntry(bytes, 1 + pick(65535), randomString());
        ASSERT_EQ(Rebuild(text), bytes) << "round " << round << "\n" << text;
    }
}

TEST(Disassembler, WholeContainerWithOddNameListEmptyEntryAndHeader) {
    AssembledScript one, four;
    std::vector<Diagnostic> errors;
    ASSERT_TRUE(AssembleScript(".script 1 \"a\"\nmsg \"x\"\n", "1.txt", one, errors));
    ScriptImage odd;
    odd.Lines = {L(0x99, 0xFFFF, -1, -2, -3, -4, -5)};
    std::map<uint32_t, std::vector<uint8_t>> entries = {
        {1, one.EntryBytes()}, {2, {}}, {4, BuildScriptEntry(odd)}, {9, {1, 2, 3}}};
    std::vector<uint8_t> container;
    std::string error;
    // Duplicate and surplus names, and one that no script uses.
    ASSERT_TRUE(BuildScriptContainer({"a", "a", "", "\x83\x41", "extra", ""}, entries, container, error));
    std::memcpy(container.data(), "not the usual!!!", 16);

    std::string text, warning;
    ASSERT_TRUE(DisassembleContainer(container, text, error, warning));
    EXPECT_EQ(warning, "");
    EXPECT_NE(text.find(".script 2 \"a\" empty"), std::string::npos) << text;
    EXPECT_NE(text.find(".container-header"), std::string::npos);
    AssembledSource source;
    ASSERT_TRUE(AssembleSource(text, "all.txt", source, errors)) << errors[0].Format() << "\n" << text;
    std::vector<uint8_t> rebuilt;
    ASSERT_TRUE(BuildContainerFromSources({source}, rebuilt, errors));
    EXPECT_EQ(rebuilt, container);

    // One script alone, and the refusals.
    ASSERT_TRUE(DisassembleContainerEntry(container, 1, text, error));
    EXPECT_EQ(text, ".script 1 \"a\"\nmsg \"x\"\n");
    EXPECT_FALSE(DisassembleContainerEntry(container, 3, text, error));
    EXPECT_NE(error.find("not in the container"), std::string::npos);
    const std::vector<uint8_t> shortFile(100, 0);
    EXPECT_FALSE(DisassembleContainer(shortFile, text, error, warning));
    EXPECT_FALSE(DisassembleContainerEntry(shortFile, 1, text, error));
}

TEST(Disassembler, EntriesPastTheEndOfTheFileAreReportedNotRead) {
    std::vector<uint8_t> container;
    std::string error;
    ASSERT_TRUE(BuildScriptContainer({"a"}, {{1, {1, 2, 3, 4}}}, container, error));
    const ScriptContainerEntry bad{uint32_t(container.size() - 2), 1000};
    std::memcpy(container.data() + 16 + 8 * 5, &bad, sizeof bad);
    std::string text, warning;
    ASSERT_TRUE(DisassembleContainer(container, text, error, warning));
    EXPECT_NE(warning.find("script 5 reaches past the end"), std::string::npos) << warning;
    EXPECT_EQ(text.find(".script 5"), std::string::npos);
    EXPECT_FALSE(DisassembleContainerEntry(container, 5, text, error));
}

}  // namespace
}  // namespace orva
