// Loop points of a sound file, read from the "COMMENT" tag of its Vorbis comments: lines such as
// "*looptime,0,10.5,60.25,-1" (seconds) or "*loopsample,1,441000,2646000" (sample numbers).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orva {

inline constexpr int kLoopEntries = 16;

struct LoopEntry {
    float Start = 0;    // seconds
    float End = 0;      // seconds; reaching it jumps back to Start
    int32_t Count = 0;  // jumps to make; -1 without limit, 0 entry not in use
    // The same points in the file's own sample frames, exact for "*loopsample" (a rate
    // converter jumps on these, in the file's frames, before converting).
    int64_t StartFrame = 0, EndFrame = 0;
};
using LoopTable = std::array<LoopEntry, kLoopEntries>;

// Splits one line into lower-case fields at ",": blanks and tabs dropped, "//" ends the line,
// CP932 two-byte characters kept whole; padded with empty fields to at least five.
std::vector<std::string> SplitLoopFields(std::string_view line);

// Fills `table` from the comments ("NAME=value", CP932). `rate` converts sample numbers to
// seconds. Entries not named by any line keep their values.
void ReadLoopPoints(const std::vector<std::string>& comments, int32_t rate, LoopTable& table);

}  // namespace orva
