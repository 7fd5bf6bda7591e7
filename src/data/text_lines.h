// Splitting CP932 text into lines the way the engine's string lists load text.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orva {

// Lines end at CR LF, a lone CR or a lone LF. A final line break adds no empty entry;
// an empty line in the middle is an empty entry. Bytes are kept as they are.
std::vector<std::string> SplitTextLines(std::span<const uint8_t> text);

// Each line followed by CR LF, the form the engine writes text lists in.
std::string JoinTextLines(const std::vector<std::string>& lines);

}  // namespace orva
