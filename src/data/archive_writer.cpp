// BuildArchive: the archive layout the reader expects, written from scratch.
#include "data/archive_writer.h"

#include <cstring>

#include "data/archive_format.h"
#include "data/text_lines.h"

namespace orva {

uint64_t ArchiveOutputSize(uint64_t nameListBytes, std::span<const uint64_t> fileSizes) {
    uint64_t total = kArchiveDataStart + nameListBytes;
    for (uint64_t size : fileSizes) total += size;
    return total;
}

bool BuildArchive(const std::vector<ArchiveInputFile>& files, std::vector<uint8_t>& out,
                  std::string& error) {
    if (files.size() > kMaxStoredFiles) {
        error = "too many files: " + std::to_string(files.size()) + " (an archive holds at most " +
                std::to_string(kMaxStoredFiles) + ")";
        return false;
    }
    std::vector<std::string> lines;
    std::vector<uint64_t> sizes;
    lines.reserve(files.size());
    sizes.reserve(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        if (files[i].NameLine.find_first_of("\r\n") != std::string::npos) {
            error = "name line " + std::to_string(i) + " holds a line break";
            return false;
        }
        lines.push_back(files[i].NameLine);
        sizes.push_back(files[i].Bytes.size());
    }
    const std::string nameList = JoinTextLines(lines);
    const uint64_t total = ArchiveOutputSize(nameList.size(), sizes);
    if (total > kMaxFileOffset) {
        error = "archive would be " + std::to_string(total) +
                " bytes, past the 32-bit offsets of its index";
        return false;
    }

    std::vector<uint8_t> bytes(static_cast<size_t>(total), 0);
    std::memcpy(bytes.data(), kArchiveSignature, kFileHeaderSize);
    auto putEntry = [&](uint32_t k, uint64_t offset, uint64_t size) {
        const ArchiveEntry entry{0, static_cast<uint32_t>(offset), static_cast<uint32_t>(size)};
        std::memcpy(bytes.data() + kFileHeaderSize + k * sizeof(ArchiveEntry), &entry, sizeof entry);
    };
    uint64_t offset = kArchiveDataStart;
    putEntry(0, offset, nameList.size());
    std::memcpy(bytes.data() + offset, nameList.data(), nameList.size());
    offset += nameList.size();
    for (size_t i = 0; i < files.size(); ++i) {
        const auto& data = files[i].Bytes;
        putEntry(static_cast<uint32_t>(i + 1), offset, data.size());
        if (!data.empty()) std::memcpy(bytes.data() + offset, data.data(), data.size());
        offset += data.size();
    }
    out = std::move(bytes);
    return true;
}

}  // namespace orva
