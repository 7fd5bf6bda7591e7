// Reading a script entry into a ScriptImage and writing it back byte for byte.
#include "script/script_image.h"

#include <cstring>

#include "data/text_lines.h"

namespace orva {

std::vector<std::string>& ScriptImage::Section(int s) {
    switch (s) {
        case kSectionLabels: return LabelNames;
        case kSectionJumps: return JumpNames;
        case kSectionFiles: return FileNames;
        default: return MsgTexts;
    }
}

const std::vector<std::string>& ScriptImage::Section(int s) const {
    return const_cast<ScriptImage*>(this)->Section(s);
}

const char* ScriptEntryStatusText(ScriptEntryStatus status) {
    switch (status) {
        case ScriptEntryStatus::Ok: return "ok";
        case ScriptEntryStatus::Empty: return "empty entry";
        case ScriptEntryStatus::Truncated: return "truncated entry";
        case ScriptEntryStatus::BadLineTable: return "line table length is negative";
        case ScriptEntryStatus::TooManyLines: return "line table longer than 65536 lines";
    }
    return "unknown";
}

namespace {

// A bounded little-endian reader over the entry.
class EntryReader {
public:
    explicit EntryReader(std::span<const uint8_t> bytes) : Bytes(bytes) {}
    bool ReadI32(int32_t& value) {
        if (Bytes.size() - Pos < 4) return false;
        uint32_t u = uint32_t(Bytes[Pos]) | uint32_t(Bytes[Pos + 1]) << 8 |
                     uint32_t(Bytes[Pos + 2]) << 16 | uint32_t(Bytes[Pos + 3]) << 24;
        value = static_cast<int32_t>(u);
        Pos += 4;
        return true;
    }
    // The next count bytes, or false when fewer remain.
    bool Take(size_t count, std::span<const uint8_t>& out) {
        if (Bytes.size() - Pos < count) return false;
        out = Bytes.subspan(Pos, count);
        Pos += count;
        return true;
    }
    std::span<const uint8_t> Rest() const { return Bytes.subspan(Pos); }

private:
    std::span<const uint8_t> Bytes;
    size_t Pos = 0;
};

// The terminators of the entries SplitTextLines finds in text, in order.
std::vector<LineBreak> ScanBreaks(std::span<const uint8_t> text) {
    std::vector<LineBreak> breaks;
    size_t i = 0, start = 0;
    while (i < text.size()) {
        const uint8_t c = text[i];
        if (c == '\r' || c == '\n') {
            ++i;
            if (c == '\r' && i < text.size() && text[i] == '\n') {
                ++i;
                breaks.push_back(LineBreak::CrLf);
            } else {
                breaks.push_back(c == '\r' ? LineBreak::Cr : LineBreak::Lf);
            }
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) breaks.push_back(LineBreak::None);
    return breaks;
}

bool AllCrLf(const std::vector<LineBreak>& breaks) {
    for (LineBreak b : breaks)
        if (b != LineBreak::CrLf) return false;
    return true;
}

ScriptImage SafeScript() {
    ScriptImage image;
    image.Lines.push_back(kEndLine);
    return image;
}

void PutI32(std::vector<uint8_t>& out, int32_t value) {
    const uint32_t u = static_cast<uint32_t>(value);
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>(u >> (8 * k)));
}

const char* BreakBytes(LineBreak b) {
    switch (b) {
        case LineBreak::CrLf: return "\r\n";
        case LineBreak::Cr: return "\r";
        case LineBreak::Lf: return "\n";
        case LineBreak::None: return "";
    }
    return "\r\n";
}

// The break actually written after entry k of n entries.
LineBreak EffectiveBreak(const SectionLayout& layout, const std::vector<std::string>& list, size_t k) {
    LineBreak b = k < layout.Breaks.size() ? layout.Breaks[k] : LineBreak::CrLf;
    // Without a terminator, an empty last entry (or any entry before another) would
    // vanish or merge into its neighbour; such entries are written with CR LF.
    if (b == LineBreak::None && (k + 1 < list.size() || list[k].empty())) b = LineBreak::CrLf;
    return b;
}

}  // namespace

ScriptImage ParseScriptEntry(std::span<const uint8_t> entry, ScriptEntryStatus* status) {
    auto fail = [&](ScriptEntryStatus s) {
        if (status) *status = s;
        return SafeScript();
    };
    if (entry.empty()) return fail(ScriptEntryStatus::Empty);

    EntryReader reader(entry);
    ScriptImage image;
    std::span<const uint8_t> bytes;
    if (!reader.Take(image.Header.size(), bytes)) return fail(ScriptEntryStatus::Truncated);
    std::memcpy(image.Header.data(), bytes.data(), image.Header.size());

    int32_t lineBytes = 0;
    if (!reader.ReadI32(lineBytes)) return fail(ScriptEntryStatus::Truncated);
    if (lineBytes < 0) return fail(ScriptEntryStatus::BadLineTable);
    if (size_t(lineBytes) / sizeof(LineRec) > size_t(kLineTblCapacity))
        return fail(ScriptEntryStatus::TooManyLines);
    if (!reader.Take(size_t(lineBytes), bytes)) return fail(ScriptEntryStatus::Truncated);
    // The sections follow all L1 bytes; only whole lines are run.
    const size_t wholeBytes = bytes.size() - bytes.size() % sizeof(LineRec);
    image.Lines.resize(wholeBytes / sizeof(LineRec));
    if (wholeBytes) std::memcpy(image.Lines.data(), bytes.data(), wholeBytes);
    image.LineTableTail.assign(bytes.begin() + std::ptrdiff_t(wholeBytes), bytes.end());

    for (int s = 0; s < kSectionCount; ++s) {
        int32_t length = 0;
        if (!reader.ReadI32(length)) return fail(ScriptEntryStatus::Truncated);
        SectionLayout& layout = image.Layouts[s];
        if (length <= 0) {
            layout.EmptyLength = length;
            continue;
        }
        if (!reader.Take(size_t(length), bytes)) return fail(ScriptEntryStatus::Truncated);
        image.Section(s) = SplitTextLines(bytes);
        layout.Breaks = ScanBreaks(bytes);
        if (AllCrLf(layout.Breaks)) layout.Breaks.clear();
    }
    const auto rest = reader.Rest();
    image.Trailer.assign(rest.begin(), rest.end());
    if (status) *status = ScriptEntryStatus::Ok;
    return image;
}

std::vector<uint8_t> BuildScriptEntry(const ScriptImage& image) {
    std::vector<uint8_t> out(image.Header.begin(), image.Header.end());
    const size_t lineBytes = image.Lines.size() * sizeof(LineRec);
    PutI32(out, static_cast<int32_t>(lineBytes + image.LineTableTail.size()));
    const size_t at = out.size();
    out.resize(at + lineBytes);
    if (lineBytes) std::memcpy(out.data() + at, image.Lines.data(), lineBytes);
    out.insert(out.end(), image.LineTableTail.begin(), image.LineTableTail.end());

    for (int s = 0; s < kSectionCount; ++s) {
        const auto& list = image.Section(s);
        const SectionLayout& layout = image.Layouts[s];
        if (list.empty()) {
            PutI32(out, layout.EmptyLength > 0 ? 0 : layout.EmptyLength);
            continue;
        }
        std::string text;
        for (size_t k = 0; k < list.size(); ++k) {
            text += list[k];
            text += BreakBytes(EffectiveBreak(layout, list, k));
        }
        PutI32(out, static_cast<int32_t>(text.size()));
        out.insert(out.end(), text.begin(), text.end());
    }
    out.insert(out.end(), image.Trailer.begin(), image.Trailer.end());
    return out;
}

bool IsCanonical(const ScriptImage& image) {
    for (int s = 0; s < kSectionCount; ++s) {
        const auto& list = image.Section(s);
        const SectionLayout& layout = image.Layouts[s];
        for (const auto& entry : list)
            if (entry.find_first_of("\r\n") != std::string::npos) return false;
        if (layout.EmptyLength > 0 || (!list.empty() && layout.EmptyLength != 0)) return false;
        if (layout.Breaks.empty()) continue;
        if (layout.Breaks.size() != list.size() || AllCrLf(layout.Breaks)) return false;
        for (size_t k = 0; k < list.size(); ++k)
            if (EffectiveBreak(layout, list, k) != layout.Breaks[k]) return false;
    }
    return true;
}

void Canonicalise(ScriptImage& image) {
    for (int s = 0; s < kSectionCount; ++s) {
        const auto& list = image.Section(s);
        SectionLayout& layout = image.Layouts[s];
        if (layout.EmptyLength > 0 || !list.empty()) layout.EmptyLength = 0;
        std::vector<LineBreak> breaks;
        for (size_t k = 0; k < list.size(); ++k) breaks.push_back(EffectiveBreak(layout, list, k));
        if (AllCrLf(breaks)) breaks.clear();
        layout.Breaks = std::move(breaks);
    }
}

}  // namespace orva
