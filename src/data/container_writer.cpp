// BuildScriptContainer: the container layout the reader expects, written from scratch.
#include "data/container_writer.h"

#include <cstring>

#include "data/archive_format.h"
#include "data/text_lines.h"

namespace orva {

bool BuildScriptContainer(const std::vector<std::string>& nameLines,
                          const std::map<uint32_t, std::vector<uint8_t>>& entries,
                          std::vector<uint8_t>& out, std::string& error) {
    for (size_t i = 0; i < nameLines.size(); ++i) {
        if (nameLines[i].find_first_of("\r\n") != std::string::npos) {
            error = "name line " + std::to_string(i) + " holds a line break";
            return false;
        }
    }
    const std::string nameList = JoinTextLines(nameLines);
    uint64_t total = kContainerDataStart + nameList.size();
    for (const auto& [number, data] : entries) {
        if (number < 1 || number > kMaxStoredFiles) {
            error = "script number " + std::to_string(number) + " is outside 1.." +
                    std::to_string(kMaxStoredFiles);
            return false;
        }
        total += data.size();
    }
    if (total > kMaxFileOffset) {
        error = "script container would be " + std::to_string(total) +
                " bytes, past the 32-bit offsets of its index";
        return false;
    }

    std::vector<uint8_t> bytes(static_cast<size_t>(total), 0);
    std::memcpy(bytes.data(), kContainerSignature, kFileHeaderSize);
    auto putEntry = [&](uint32_t k, uint64_t offset, uint64_t size) {
        const ScriptContainerEntry entry{static_cast<uint32_t>(offset), static_cast<uint32_t>(size)};
        std::memcpy(bytes.data() + kFileHeaderSize + k * sizeof entry, &entry, sizeof entry);
    };
    uint64_t offset = kContainerDataStart;
    putEntry(0, offset, nameList.size());
    std::memcpy(bytes.data() + offset, nameList.data(), nameList.size());
    offset += nameList.size();
    for (const auto& [number, data] : entries) {
        putEntry(number, offset, data.size());
        if (!data.empty()) std::memcpy(bytes.data() + offset, data.data(), data.size());
        offset += data.size();
    }
    out = std::move(bytes);
    return true;
}

}  // namespace orva
