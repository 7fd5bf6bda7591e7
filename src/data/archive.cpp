// TArchiveSet: reading the archives' indexes and name lists, and the name lookup.
#include "data/archive.h"

#include <cstring>

#include "data/archive_format.h"
#include "data/cp932.h"
#include "data/file_io.h"
#include "data/text_lines.h"

namespace orva {

namespace {

ArchiveEntry EntryAt(const std::vector<uint8_t>& index, uint32_t k) {
    ArchiveEntry entry{};
    std::memcpy(&entry, index.data() + static_cast<size_t>(k) * sizeof(ArchiveEntry), sizeof entry);
    return entry;
}

bool FitsIn(const ArchiveEntry& entry, uint64_t fileSize) {
    return static_cast<uint64_t>(entry.Offset) + entry.Size <= fileSize;
}

}  // namespace

std::string TArchiveSet::NormaliseName(std::string_view name) {
    return Cp932UpperAscii(TrimBlanksAndControls(name));
}

TArchiveSet::InitResult TArchiveSet::Init(const std::filesystem::path& gameDir) {
    Lookup.clear();
    for (int n = 1; n <= kArchiveCount; ++n) {
        Archive& archive = Archives[n - 1];
        archive = Archive{};
        archive.FilePath = gameDir / "data" / ("DATA0" + std::to_string(n) + ".cfp");
        std::error_code ec;
        if (!std::filesystem::exists(archive.FilePath, ec)) continue;

        const std::string name = archive.FilePath.string();
        TReadFile file;
        std::string error;
        if (!file.Open(archive.FilePath, error))
            return {false, name + ": cannot open the archive: " + error};
        if (file.Size() < kArchiveDataStart)
            return {false, name + ": archive is " + std::to_string(file.Size()) +
                               " bytes, shorter than its " + std::to_string(kArchiveDataStart) +
                               "-byte header and index"};
        archive.Index.resize(kArchiveIndexSize);
        if (!file.ReadAt(kFileHeaderSize, archive.Index.data(), archive.Index.size()))
            return {false, name + ": cannot read the archive's index"};

        // A name list reaching beyond the file is read as an empty list.
        const ArchiveEntry listEntry = EntryAt(archive.Index, 0);
        if (listEntry.Size > 0 && FitsIn(listEntry, file.Size())) {
            std::vector<uint8_t> text(listEntry.Size);
            if (file.ReadAt(listEntry.Offset, text.data(), text.size()))
                archive.NameList = SplitTextLines(text);
        }
        archive.Present = true;
    }

    // Highest archive first, first line within an archive: emplace keeps the first. The table
    // is sized for every line at once, so that five full name lists never rehash it.
    size_t lineCount = 0;
    for (const Archive& archive : Archives) lineCount += archive.NameList.size();
    Lookup.reserve(lineCount);
    for (int n = kArchiveCount; n >= 1; --n) {
        const auto& lines = Archives[n - 1].NameList;
        for (size_t k = 0; k < lines.size(); ++k) {
            const uint32_t entryNo = k + 1 > kMaxStoredFiles + 1 ? kMaxStoredFiles + 1
                                                                 : static_cast<uint32_t>(k + 1);
            Lookup.emplace(NormaliseName(lines[k]), Location{n, entryNo});
        }
    }
    return {true, {}};
}

bool TArchiveSet::Read(std::string_view name, TMemoryStream& stream) const {
    const auto found = Lookup.find(NormaliseName(name));
    if (found == Lookup.end()) return false;
    const Location where = found->second;
    if (where.EntryNo >= kIndexEntryCount) return false;  // line beyond the index
    const Archive& archive = Archives[where.ArchiveNo - 1];
    const ArchiveEntry entry = EntryAt(archive.Index, where.EntryNo);

    TReadFile file;
    std::string error;
    if (!file.Open(archive.FilePath, error)) return false;
    if (!FitsIn(entry, file.Size())) return false;
    if (entry.Size == 0) {
        stream.SetPosition(0);
        return false;
    }
    // Read first, so that a failed read leaves the stream as it was.
    std::vector<uint8_t> bytes(entry.Size);
    if (!file.ReadAt(entry.Offset, bytes.data(), bytes.size())) return false;
    stream.SetPosition(0);
    stream.Write(bytes.data(), bytes.size());
    stream.SetPosition(0);
    return true;
}

const std::vector<std::string>& TArchiveSet::NameList(int n) const {
    static const std::vector<std::string> kEmpty;
    if (n < 1 || n > kArchiveCount) return kEmpty;
    return Archives[n - 1].NameList;
}

TArchiveSet::EntryInfo TArchiveSet::Entry(int n, uint32_t k) const {
    if (n < 1 || n > kArchiveCount || k >= kIndexEntryCount) return {0, 0};
    const Archive& archive = Archives[n - 1];
    if (!archive.Present) return {0, 0};
    const ArchiveEntry entry = EntryAt(archive.Index, k);
    return {entry.Offset, entry.Size};
}

bool TArchiveSet::HasArchive(int n) const {
    return n >= 1 && n <= kArchiveCount && Archives[n - 1].Present;
}

const std::filesystem::path& TArchiveSet::Path(int n) const {
    static const std::filesystem::path kNone;
    if (n < 1 || n > kArchiveCount) return kNone;
    return Archives[n - 1].FilePath;
}

}  // namespace orva
