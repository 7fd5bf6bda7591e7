// Script entries: reading, writing back byte for byte, and the safe script for bad entries.
#include "script/script_image.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orva {
namespace {

void PutI32(std::vector<uint8_t>& out, int32_t v) {
    for (int k = 0; k < 4; ++k) out.push_back(uint8_t(uint32_t(v) >> (8 * k)));
}
void PutText(std::vector<uint8_t>& out, std::string_view text) {
    PutI32(out, int32_t(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}
void PutLine(std::vector<uint8_t>& out, const LineRec& line) {
    uint8_t b[16];
    std::memcpy(b, &line, 16);
    out.insert(out.end(), b, b + 16);
}

// An entry written by hand: header, lines, then the four sections as raw text.
std::vector<uint8_t> HandEntry(const std::vector<LineRec>& lines, std::string_view labels, std::string_view jumps,
                               std::string_view files, std::string_view texts, uint8_t headerFill = 0) {
    std::vector<uint8_t> out(16, headerFill);
    PutI32(out, int32_t(lines.size() * 16));
    for (const auto& l : lines) PutLine(out, l);
    PutText(out, labels);
    PutText(out, jumps);
    PutText(out, files);
    PutText(out, texts);
    return out;
}

bool IsSafeScript(const ScriptImage& image) {
    return image.Lines.size() == 1 && image.Lines[0] == kEndLine && image.LabelNames.empty() &&
           image.JumpNames.empty() && image.FileNames.empty() && image.MsgTexts.empty();
}

TEST(ScriptImage, ReadsLinesAndListsInEntryOrder) {
    const LineRec msg{0x60, 0x8003, 1, -2, 3, -4, 70000};
    const auto entry = HandEntry({msg, kEndLine}, "start\r\nmid\r\n", "start\r\n", "bg01\r\nv001\r\n",
                                 "hello\r\n\r\nbye\r\n", 0xAB);
    ScriptEntryStatus status{};
    const ScriptImage image = ParseScriptEntry(entry, &status);
    EXPECT_EQ(status, ScriptEntryStatus::Ok);
    ASSERT_EQ(image.Lines.size(), 2u);
    EXPECT_EQ(image.Lines[0], msg);
    EXPECT_EQ(image.Lines[1].Code, 0xFF);
    EXPECT_EQ(image.Header[0], 0xAB);
    EXPECT_EQ(image.LabelNames, (std::vector<std::string>{"start", "mid"}));
    EXPECT_EQ(image.JumpNames, (std::vector<std::string>{"start"}));
    EXPECT_EQ(image.FileNames, (std::vector<std::string>{"bg01", "v001"}));
    // A final CR LF adds no entry; an empty line in the middle is an empty entry.
    EXPECT_EQ(image.MsgTexts, (std::vector<std::string>{"hello", "", "bye"}));
    EXPECT_TRUE(image.Layouts[kSectionTexts].Breaks.empty());
    EXPECT_EQ(BuildScriptEntry(image), entry);
}

TEST(ScriptImage, OddLineBreaksNegativeLengthsAndTrailerBuildBackExactly) {
    std::vector<uint8_t> entry(16, 0);
    PutI32(entry, 16);
    PutLine(entry, kEndLine);
    PutText(entry, "a\rb\nc");  // lone CR, lone LF, no final break
    PutI32(entry, -7);          // negative: no bytes, an empty list
    PutText(entry, "x\n\r\ny\r\n");
    PutI32(entry, 0);
    entry.push_back(0x99);      // bytes after the message text
    entry.push_back(0x00);

    ScriptEntryStatus status{};
    const ScriptImage image = ParseScriptEntry(entry, &status);
    ASSERT_EQ(status, ScriptEntryStatus::Ok);
    EXPECT_EQ(image.LabelNames, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(image.Layouts[kSectionLabels].Breaks,
              (std::vector<LineBreak>{LineBreak::Cr, LineBreak::Lf, LineBreak::None}));
    EXPECT_TRUE(image.JumpNames.empty());
    EXPECT_EQ(image.Layouts[kSectionJumps].EmptyLength, -7);
    EXPECT_EQ(image.FileNames, (std::vector<std::string>{"x", "", "y"}));
    EXPECT_EQ(image.Trailer, (std::vector<uint8_t>{0x99, 0x00}));
    EXPECT_TRUE(IsCanonical(image));
    EXPECT_EQ(BuildScriptEntry(image), entry);
}

TEST(ScriptImage, CanonicalImagesSurviveBuildThenParse) {
    ScriptImage image;
    image.Header[15] = 7;
    image.Lines = {{0x50, 0x0005, 10, 20, 0, 0, 0}, kEndLine};
    image.LabelNames = {"a", "a"};                 // duplicates stay two entries
    image.FileNames = {"", "f"};                   // an empty first entry
    image.MsgTexts = {"\x82\xa0"};                 // CP932 bytes
    image.Layouts[kSectionFiles].Breaks = {LineBreak::Lf, LineBreak::None};
    image.Layouts[kSectionJumps].EmptyLength = -1;
    ASSERT_TRUE(IsCanonical(image));
    EXPECT_EQ(ParseScriptEntry(BuildScriptEntry(image)), image);

    // A non-canonical layout builds the same bytes as its canonical form.
    ScriptImage loose = image;
    loose.Layouts[kSectionLabels].Breaks = {LineBreak::CrLf};  // too short, all CR LF
    loose.MsgTexts = {""};
    loose.Layouts[kSectionTexts].Breaks = {LineBreak::None};   // an empty entry needs its break
    EXPECT_FALSE(IsCanonical(loose));
    ScriptImage fixed = loose;
    Canonicalise(fixed);
    EXPECT_TRUE(IsCanonical(fixed));
    EXPECT_EQ(BuildScriptEntry(fixed), BuildScriptEntry(loose));
    EXPECT_EQ(ParseScriptEntry(BuildScriptEntry(loose)), fixed);
}

TEST(ScriptImage, BadEntriesReadAsTheSafeScript) {
    const auto good = HandEntry({kEndLine, kEndLine}, "l\r\n", "", "f\r\n", "m\r\n");
    ScriptEntryStatus status{};

    EXPECT_TRUE(IsSafeScript(ParseScriptEntry({}, &status)));
    EXPECT_EQ(status, ScriptEntryStatus::Empty);

    // Every cut of a good entry is truncated: no cut reads past its end.
    for (size_t cut = 1; cut < good.size(); ++cut) {
        const ScriptImage image = ParseScriptEntry(std::span(good).first(cut), &status);
        EXPECT_EQ(status, ScriptEntryStatus::Truncated) << "cut " << cut;
        EXPECT_TRUE(IsSafeScript(image)) << "cut " << cut;
    }

    auto withL1 = [&](int32_t l1) {
        std::vector<uint8_t> e = good;
        std::memcpy(e.data() + 16, &l1, 4);
        return e;
    };
    EXPECT_TRUE(IsSafeScript(ParseScriptEntry(withL1(-16), &status)));
    EXPECT_EQ(status, ScriptEntryStatus::BadLineTable);
    EXPECT_TRUE(IsSafeScript(ParseScriptEntry(withL1(0x7FFFFFF0), &status)));
    EXPECT_EQ(status, ScriptEntryStatus::TooManyLines);
    // A section length far past the end.
    std::vector<uint8_t> huge = good;
    const int32_t big = 0x7FFFFFFF;
    std::memcpy(huge.data() + 16 + 4 + 32, &big, 4);
    EXPECT_TRUE(IsSafeScript(ParseScriptEntry(huge, &status)));
    EXPECT_EQ(status, ScriptEntryStatus::Truncated);

    // Exactly 65536 lines is still a script.
    std::vector<LineRec> full(kLineTblCapacity, LineRec{0x50, 0, 1, 0, 0, 0, 0});
    full.back() = kEndLine;
    const ScriptImage image = ParseScriptEntry(HandEntry(full, "", "", "", ""), &status);
    EXPECT_EQ(status, ScriptEntryStatus::Ok);
    EXPECT_EQ(image.Lines.size(), size_t(kLineTblCapacity));
}

TEST(ScriptImage, ALineTableWithAPartialLastLineKeepsItsWholeLinesAndItsBytes) {
    // L1 = 2·16 + 3: two lines, three stray bytes, then the sections.
    const LineRec set{0x50, 0, 1, 7, 0, 0, 0};
    std::vector<uint8_t> entry(16, 0);
    PutI32(entry, 35);
    PutLine(entry, set);
    PutLine(entry, kEndLine);
    entry.insert(entry.end(), {0xFF, 0x00, 0x09});
    PutText(entry, "top\r\n");
    PutText(entry, "");
    PutText(entry, "bg\r\n");
    PutText(entry, "hello\r\n");
    ScriptEntryStatus status{};
    const ScriptImage image = ParseScriptEntry(entry, &status);
    EXPECT_EQ(status, ScriptEntryStatus::Ok);
    EXPECT_EQ(image.Lines, (std::vector<LineRec>{set, kEndLine}));
    EXPECT_EQ(image.LineTableTail, (std::vector<uint8_t>{0xFF, 0x00, 0x09}));
    EXPECT_EQ(image.LabelNames, std::vector<std::string>{"top"});
    EXPECT_EQ(image.FileNames, std::vector<std::string>{"bg"});
    EXPECT_EQ(image.MsgTexts, std::vector<std::string>{"hello"});
    EXPECT_EQ(BuildScriptEntry(image), entry);

    // Fewer than 16 bytes: no whole line at all, which runs as the end line.
    std::vector<uint8_t> tiny(16, 0);
    PutI32(tiny, 7);
    tiny.insert(tiny.end(), 7, 0x60);
    for (int k = 0; k < 4; ++k) PutText(tiny, "");
    const ScriptImage none = ParseScriptEntry(tiny, &status);
    EXPECT_EQ(status, ScriptEntryStatus::Ok);
    EXPECT_TRUE(none.Lines.empty());
    EXPECT_EQ(none.LineTableTail.size(), 7u);
    EXPECT_EQ(BuildScriptEntry(none), tiny);
}

}  // namespace
}  // namespace orva
