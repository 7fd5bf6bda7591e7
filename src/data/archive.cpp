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

// The bytes of NormaliseName(text), one at a time, without building the string.
class NormalisedBytes {
public:
    explicit NormalisedBytes(std::string_view text) : Text(text), End(text.size()) {
        while (Pos < End && static_cast<unsigned char>(Text[Pos]) <= 0x20) ++Pos;
        while (End > Pos && static_cast<unsigned char>(Text[End - 1]) <= 0x20) --End;
    }
    // The next byte, or -1 at the end.
    int Next() {
        if (Pos >= End) return -1;
        const auto c = static_cast<unsigned char>(Text[Pos++]);
        if (Trail) {  // the trail byte belongs to its character, whatever its value
            Trail = false;
            return c;
        }
        if (IsCp932LeadByte(c)) Trail = true;
        else if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
        return c;
    }

private:
    std::string_view Text;
    size_t Pos = 0, End;
    bool Trail = false;
};

// FNV-1a over the normalised bytes, finished with a 64-bit mix so that the low bits index well.
uint32_t NameHash(std::string_view name) {
    NormalisedBytes bytes(name);
    uint64_t h = 14695981039346656037ull;
    for (int c = bytes.Next(); c >= 0; c = bytes.Next()) h = (h ^ static_cast<uint64_t>(c)) * 1099511628211ull;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    return static_cast<uint32_t>(h);
}

bool SameNormalisedName(std::string_view a, std::string_view b) {
    NormalisedBytes x(a), y(b);
    for (;;) {
        const int c = x.Next();
        if (c != y.Next()) return false;
        if (c < 0) return true;
    }
}

}  // namespace

std::string TArchiveSet::NormaliseName(std::string_view name) {
    std::string out;
    NormalisedBytes bytes(name);
    for (int c = bytes.Next(); c >= 0; c = bytes.Next()) out += static_cast<char>(c);
    return out;
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

    // Highest archive first, first line within an archive: a name already in the table keeps
    // its place. The table is sized for every line at once and never grows.
    size_t lineCount = 0;
    for (const Archive& archive : Archives) lineCount += archive.NameList.size();
    size_t capacity = 16;
    while (capacity < lineCount + lineCount / 2) capacity *= 2;
    Lookup.assign(capacity, Slot{0, 0, 0});
    // The hashes first, so that each insertion can ask for the table's memory of one a little
    // further on: with five full lists the table is larger than the caches and every insertion
    // would otherwise wait for its line of it.
    constexpr size_t kAhead = 16;
    std::vector<uint32_t> hashes;
    for (int n = kArchiveCount; n >= 1; --n) {
        const auto& lines = Archives[n - 1].NameList;
        hashes.resize(lines.size());
        for (size_t k = 0; k < lines.size(); ++k) hashes[k] = NameHash(lines[k]);
        for (size_t k = 0; k < lines.size(); ++k) {
            if (k + kAhead < lines.size()) __builtin_prefetch(&Lookup[hashes[k + kAhead] & (capacity - 1)]);
            const uint32_t hash = hashes[k];
            if (Find(lines[k], hash)) continue;
            size_t i = hash & (capacity - 1);
            while (Lookup[i].ArchiveNo != 0) i = (i + 1) & (capacity - 1);
            Lookup[i] = {hash, static_cast<uint32_t>(k), static_cast<uint32_t>(n)};
        }
    }
    return {true, {}};
}

const TArchiveSet::Slot* TArchiveSet::Find(std::string_view name, uint32_t hash) const {
    if (Lookup.empty()) return nullptr;
    const size_t mask = Lookup.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = Lookup[i];
        if (slot.ArchiveNo == 0) return nullptr;
        if (slot.Hash == hash && SameNormalisedName(Archives[slot.ArchiveNo - 1].NameList[slot.Line], name))
            return &slot;
    }
}

bool TArchiveSet::Read(std::string_view name, TMemoryStream& stream) const {
    const Slot* found = Find(name, NameHash(name));
    if (!found) return false;
    const uint64_t entryNo = uint64_t{found->Line} + 1;
    if (entryNo >= kIndexEntryCount) return false;  // line beyond the index
    const Archive& archive = Archives[found->ArchiveNo - 1];
    const ArchiveEntry entry = EntryAt(archive.Index, static_cast<uint32_t>(entryNo));

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
