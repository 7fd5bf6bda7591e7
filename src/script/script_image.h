// ScriptImage: one script entry of SCRIPT.DAT split into its header, line table and four
// text lists, with the reader (ParseScriptEntry) and its exact inverse (BuildScriptEntry).
//
// Entry layout (little-endian, lengths signed 32-bit):
//   16-byte header | L1 | L1 bytes of LineRec | L2 | label names | L3 | jump names |
//   L4 | file names | L5 | message texts
// Each text section is CP932 lines ending in CR LF, a lone CR or a lone LF; a section
// whose length is 0 or negative holds no bytes.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "script/line_rec.h"

namespace orva {

// How one entry of a text section ends.
enum class LineBreak : uint8_t {
    CrLf,  // CR LF (what the engine's own writers use)
    Cr,    // a lone CR
    Lf,    // a lone LF
    None,  // nothing: only the last entry of a section, and only when it is not empty
};

// The byte form of one text section beyond its entries, so that an entry read from a
// file is built again byte for byte.
//   Breaks: empty when every entry ends in CR LF (the canonical case); otherwise one
//           value per entry. A missing value means CR LF.
//   EmptyLength: the length written for a section without entries (0, or a negative
//           number, which the reader also treats as "no bytes"); ignored otherwise.
struct SectionLayout {
    std::vector<LineBreak> Breaks;
    int32_t EmptyLength = 0;

    friend bool operator==(const SectionLayout&, const SectionLayout&) = default;
};

// The four text sections in entry order.
enum ScriptSection : int { kSectionLabels = 0, kSectionJumps = 1, kSectionFiles = 2, kSectionTexts = 3 };
constexpr int kSectionCount = 4;

// A script entry, decoded. Strings are CP932 bytes.
struct ScriptImage {
    std::array<uint8_t, 16> Header{};     // never read by the engine; kept for the tools
    std::vector<LineRec> Lines;           // the line table
    std::vector<uint8_t> LineTableTail;   // line-table bytes after its last whole line; never run
    std::vector<std::string> LabelNames;  // index = a label line's P1
    std::vector<std::string> JumpNames;   // index = a jump or call line's P1
    std::vector<std::string> FileNames;   // index = a line's P5 (files, voices)
    std::vector<std::string> MsgTexts;    // index = a message or choice line's P1
    std::array<SectionLayout, kSectionCount> Layouts{};  // exact byte form of the sections
    std::vector<uint8_t> Trailer;         // bytes after the message text; the engine ignores them

    std::vector<std::string>& Section(int s);
    const std::vector<std::string>& Section(int s) const;

    friend bool operator==(const ScriptImage&, const ScriptImage&) = default;
};

// What ParseScriptEntry made of an entry.
enum class ScriptEntryStatus : uint8_t {
    Ok,            // read as stored
    Empty,         // no bytes at all (a missing script)
    Truncated,     // a length field or a section reaches past the end of the entry
    BadLineTable,  // L1 is negative
    TooManyLines,  // more lines than LineTbl holds
};

// A short English phrase for a status, for warnings.
const char* ScriptEntryStatusText(ScriptEntryStatus status);

// Reads an entry. Anything but Ok yields the safe script: one end line (code 0xFF), empty
// lists and a zero header, so the interpreter always meets an end line. Never reads
// outside entry. The status is stored in *status when it is given. A line table whose length
// is not a multiple of 16 is read as its whole lines, the rest kept in LineTableTail.
ScriptImage ParseScriptEntry(std::span<const uint8_t> entry, ScriptEntryStatus* status = nullptr);

// Writes an image back into entry bytes. For every entry with status Ok,
// BuildScriptEntry(ParseScriptEntry(e)) == e; for every image in canonical form
// (see IsCanonical), ParseScriptEntry(BuildScriptEntry(i)) == i.
std::vector<uint8_t> BuildScriptEntry(const ScriptImage& image);

// True when image is what ParseScriptEntry would give for its own built bytes: no list
// string holds CR or LF; each section's Breaks is empty or has exactly one value per
// entry, is not all CR LF, and uses None only on a non-empty last entry; EmptyLength is
// 0 or negative and is 0 when the section has entries.
bool IsCanonical(const ScriptImage& image);

// Puts image into canonical form without changing the bytes it builds to, where that is
// possible (drops all-CR-LF break lists, fills missing breaks, zeroes unused EmptyLength).
void Canonicalise(ScriptImage& image);

}  // namespace orva
