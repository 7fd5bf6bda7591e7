// Building a script container (SCRIPT.DAT) from numbered script entries.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace orva {

// Lays out header, index, name list (each line followed by CR LF) and the entries in
// number order. Rejects an entry number outside 1..65535, a name line holding CR or LF,
// and a container that would need offsets past 32 bits; then out is untouched.
bool BuildScriptContainer(const std::vector<std::string>& nameLines,
                          const std::map<uint32_t, std::vector<uint8_t>>& entries,
                          std::vector<uint8_t>& out, std::string& error);

}  // namespace orva
