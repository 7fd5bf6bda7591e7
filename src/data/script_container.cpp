// TScriptContainer: reading SCRIPT.DAT's index and name list, and scripts by number.
#include "data/script_container.h"

#include <cstring>

#include "data/archive_format.h"
#include "data/file_io.h"
#include "data/text_lines.h"

namespace orva {

TScriptContainer::InitResult TScriptContainer::Init(const std::filesystem::path& scriptDat) {
    FilePath = scriptDat;
    Index.clear();
    Names.clear();
    const std::string name = scriptDat.string();
    TReadFile file;
    std::string error;
    if (!file.Open(scriptDat, error)) return {false, name + ": cannot open the script container: " + error};
    if (file.Size() < kContainerDataStart)
        return {false, name + ": script container is " + std::to_string(file.Size()) +
                           " bytes, shorter than its " + std::to_string(kContainerDataStart) +
                           "-byte header and index"};
    std::vector<uint8_t> index(kContainerIndexSize);
    if (!file.ReadAt(kFileHeaderSize, index.data(), index.size()))
        return {false, name + ": cannot read the script container's index"};
    Index = std::move(index);

    const EntryInfo list = Entry(0);
    if (list.Size > 0 && static_cast<uint64_t>(list.Offset) + list.Size <= file.Size()) {
        std::vector<uint8_t> text(list.Size);
        if (file.ReadAt(list.Offset, text.data(), text.size())) Names = SplitTextLines(text);
    }
    return {true, {}};
}

TScriptContainer::EntryInfo TScriptContainer::Entry(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= kIndexEntryCount || Index.empty()) return {0, 0};
    ScriptContainerEntry entry{};
    std::memcpy(&entry, Index.data() + static_cast<size_t>(index) * sizeof entry, sizeof entry);
    return {entry.Offset, entry.Size};
}

int TScriptContainer::ReadFile(int kind, int index, TMemoryStream& stream) const {
    if (kind != 1) return 0;
    // Every failure below leaves the caller's stream empty, as an empty entry would.
    stream.Clear();
    if (index < 1 || static_cast<uint32_t>(index) > kMaxStoredFiles) return -1;
    const EntryInfo entry = Entry(index);
    if (entry.Size == 0) return -1;
    TReadFile file;
    std::string error;
    if (!file.Open(FilePath, error)) return -1;
    if (static_cast<uint64_t>(entry.Offset) + entry.Size > file.Size()) return -1;  // beyond the end
    std::vector<uint8_t> bytes(entry.Size);
    if (!file.ReadAt(entry.Offset, bytes.data(), bytes.size())) return -1;
    stream.Write(bytes.data(), bytes.size());
    stream.SetPosition(0);
    return 0;
}

}  // namespace orva
