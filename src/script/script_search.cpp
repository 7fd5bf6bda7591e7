// Label and block search, read-text bits and the scene queue over caller-owned tables.
#include "script/script_search.h"

#include <algorithm>

#include "data/cp932.h"

namespace orva {

namespace {
inline uint8_t LowByte(uint16_t code) { return static_cast<uint8_t>(code & 0xFF); }

// Last index a search may look at: inside the span and addressable as int16.
inline int64_t ScanLimit(std::span<const LineRec> lines) {
    return std::min<int64_t>(static_cast<int64_t>(lines.size()), kMaxAddressableLine + 1);
}

// Byte index of a message's bit, or -1 when the message is not recorded.
int64_t KidokuByte(size_t tblSize, int scriptNo, int msgNo) {
    if (scriptNo < 0 || scriptNo >= kKidokuScripts || msgNo < 0) return -1;
    if (msgNo / 8 >= kKidokuBlockSize) return -1;  // would spill into the next script's block
    const int64_t at = int64_t(scriptNo) * kKidokuBlockSize + msgNo / 8;
    return at < int64_t(tblSize) ? at : -1;
}
}  // namespace

int16_t GetLabelStepIn(std::span<const LineRec> lines, const std::vector<std::string>& labelNames,
                       std::u16string_view name) {
    int32_t number = -1;
    for (size_t i = 0; i < labelNames.size(); ++i) {
        if (Cp932ToUtf16(labelNames[i]) == name) {
            number = static_cast<int32_t>(i);
            break;
        }
    }
    // A line whose P1 happens to be -1 must not match an unknown name.
    if (number < 0) return -1;
    const int64_t limit = ScanLimit(lines);
    for (int64_t j = 0; j < limit; ++j) {
        const LineRec& line = lines[size_t(j)];
        if (LowByte(line.Code) == kCodeLabel && line.P1 == number) return static_cast<int16_t>(j);
        if (LowByte(line.Code) == kCodeEndOfScript) return -1;
    }
    return -1;
}

int16_t GetElseStepIn(std::span<const LineRec> lines, int32_t scriptStep, int16_t key) {
    const int64_t limit = ScanLimit(lines);
    for (int64_t j = std::max<int64_t>(int64_t(scriptStep) + 1, 0); j < limit; ++j) {
        const LineRec& line = lines[size_t(j)];
        const uint8_t low = LowByte(line.Code);
        if ((low == kCodeElse || low == kCodeBlockEnd) && line.P1 == key) return static_cast<int16_t>(j);
        if (low == kCodeEndOfScript) return -1;
    }
    return -1;
}

bool CheckKidokuIn(std::span<const uint8_t> kidokuTbl, int scriptNo, int msgNo) {
    const int64_t at = KidokuByte(kidokuTbl.size(), scriptNo, msgNo);
    return at >= 0 && (kidokuTbl[size_t(at)] >> (msgNo % 8) & 1) != 0;
}

void MarkKidokuIn(std::span<uint8_t> kidokuTbl, int scriptNo, int msgNo) {
    const int64_t at = KidokuByte(kidokuTbl.size(), scriptNo, msgNo);
    if (at >= 0) kidokuTbl[size_t(at)] |= static_cast<uint8_t>(1u << (msgNo % 8));
}

int32_t AddSceneTblIn(std::span<int32_t, kSceneTblEntries + 1> tbl, int32_t script) {
    for (int i = 1; i <= kSceneTblEntries; ++i) {
        if (tbl[i] == script) return -1;
        if (tbl[i] == 0) {
            tbl[i] = script;
            return i;
        }
    }
    return 0;
}

int32_t GetSceneTblIn(std::span<const int32_t, kSceneTblEntries + 1> tbl, int32_t script) {
    for (int i = 1; i <= kSceneTblEntries; ++i)
        if (tbl[i] == script) return i;
    return -1;
}

}  // namespace orva
