// Building a data archive (.cfp) from files and their name-list lines.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orva {

// One file to store; its name-list line is kept exactly (CP932 bytes).
struct ArchiveInputFile {
    std::string NameLine;        // CP932 bytes of the name-list line, may be empty or a duplicate
    std::vector<uint8_t> Bytes;  // the stored file; empty gives a size-0 (unusable) entry
};

// Size of an archive holding a name list of nameListBytes and files of the given sizes.
uint64_t ArchiveOutputSize(uint64_t nameListBytes, std::span<const uint64_t> fileSizes);

// Lays out header, index, name list (each line followed by CR LF) and the files in order.
// Rejects more than 65,535 files, a name line holding CR or LF, and an archive that would
// need offsets past 32 bits; then out is untouched and error says why.
bool BuildArchive(const std::vector<ArchiveInputFile>& files, std::vector<uint8_t>& out,
                  std::string& error);

}  // namespace orva
