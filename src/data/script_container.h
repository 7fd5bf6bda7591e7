// TScriptContainer: SCRIPT.DAT, the container of the compiled scripts, read by number.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "data/memory_stream.h"

namespace orva {

class TScriptContainer {
public:
    struct InitResult {
        bool Ok;            // false: the container is missing or unusable; start-up ends
        std::string Error;  // one line naming the file and the fault
    };
    struct EntryInfo {
        uint32_t Offset;  // from the start of the container
        uint32_t Size;    // bytes; 0 is an empty entry
    };

    // Reads the index and the name list. Fails when the file is missing, unreadable or
    // shorter than its header and index. A name list reaching beyond the file is empty.
    InitResult Init(const std::filesystem::path& scriptDat);

    // Kind 1 copies script index (1..65535) into stream from position 0, leaving the
    // position at 0: 0 when the entry had data, -1 otherwise. An index outside 1..65535,
    // an empty entry, one reaching beyond the end of the file or a container that can no
    // longer be read give -1 and an empty stream. Any other kind gives 0 and leaves the
    // stream untouched.
    int ReadFile(int kind, int index, TMemoryStream& stream) const;

    const std::vector<std::string>& NameList() const { return Names; }
    // Entry index (0..65535) of the index copy; {0, 0} out of range or before Init.
    EntryInfo Entry(int index) const;
    const std::filesystem::path& Path() const { return FilePath; }

private:
    std::filesystem::path FilePath;   // the container Init opened
    std::vector<uint8_t> Index;       // verbatim 524,288-byte index copy
    std::vector<std::string> Names;   // name-list lines (not consulted by reads)
};

}  // namespace orva
