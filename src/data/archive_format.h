// Byte layouts of the data archives (.cfp) and the script container (SCRIPT.DAT),
// shared by the readers and the writers. All integers are little-endian.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace orva {

static_assert(std::endian::native == std::endian::little,
              "the file layouts are read by copying little-endian records");

constexpr size_t kFileHeaderSize = 16;           // header of both files, never read
constexpr size_t kIndexEntryCount = 65536;       // entries of either index
constexpr uint32_t kMaxStoredFiles = 65535;      // entry 0 is the name list
constexpr uint64_t kMaxFileOffset = 0xFFFFFFFFu; // offsets and sizes are 32-bit

#pragma pack(push, 1)
// One entry of an archive's index.
struct ArchiveEntry {
    uint32_t Reserved;  // never read; written as 0
    uint32_t Offset;    // from the start of the archive file
    uint32_t Size;      // bytes; 0 marks an unusable entry
};
// One entry of the script container's index.
struct ScriptContainerEntry {
    uint32_t Offset;  // from the start of the container
    uint32_t Size;    // bytes; 0 marks an empty entry
};
#pragma pack(pop)

static_assert(sizeof(ArchiveEntry) == 12);
static_assert(offsetof(ArchiveEntry, Reserved) == 0);
static_assert(offsetof(ArchiveEntry, Offset) == 4);
static_assert(offsetof(ArchiveEntry, Size) == 8);
static_assert(sizeof(ScriptContainerEntry) == 8);
static_assert(offsetof(ScriptContainerEntry, Offset) == 0);
static_assert(offsetof(ScriptContainerEntry, Size) == 4);

constexpr size_t kArchiveIndexSize = kIndexEntryCount * sizeof(ArchiveEntry);            // 786,432
constexpr size_t kContainerIndexSize = kIndexEntryCount * sizeof(ScriptContainerEntry);  // 524,288
constexpr size_t kArchiveDataStart = kFileHeaderSize + kArchiveIndexSize;
constexpr size_t kContainerDataStart = kFileHeaderSize + kContainerIndexSize;
static_assert(kArchiveIndexSize == 0xC0000);
static_assert(kContainerIndexSize == 0x80000);

// Header bytes the writers put in front of the index (the engine never reads them).
inline constexpr char kArchiveSignature[kFileHeaderSize] = "orva archive 1";
inline constexpr char kContainerSignature[kFileHeaderSize] = "orva scripts 1";

}  // namespace orva
