// TArchiveSet: the data archives DATA01.cfp … DATA05.cfp, their name lists and index
// copies, and the lookup of a file by name with the highest archive taking precedence.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "data/memory_stream.h"

namespace orva {

class TArchiveSet {
public:
    static constexpr int kArchiveCount = 5;

    struct InitResult {
        bool Ok;            // false: a present archive is unusable; the caller ends start-up
        std::string Error;  // one line naming the file and the fault
    };
    struct EntryInfo {
        uint32_t Offset;  // from the start of the archive file
        uint32_t Size;    // bytes; 0 is an unusable entry
    };

    // Reads gameDir/data/DATA0n.cfp for n = 1..5, skipping missing ones. Fails when a
    // present archive is shorter than its header and index, or cannot be read.
    InitResult Init(const std::filesystem::path& gameDir);

    // Looks name up (blanks and controls at both ends ignored, ASCII case ignored) and
    // copies the file's bytes into stream from position 0, leaving the position at 0.
    // True when a non-empty entry was found and copied. When the name is unknown, its
    // entry lies outside the index or beyond the end of its file, or the file cannot be
    // read, returns false and leaves the stream untouched. A listed size-0 entry returns
    // false with the stream's position set to 0 and nothing written.
    bool Read(std::string_view name, TMemoryStream& stream) const;

    // The name-list lines of archive n (1..5) in file order; empty when absent.
    const std::vector<std::string>& NameList(int n) const;
    // Entry k (0..65535) of archive n's index; {0, 0} when absent or out of range.
    EntryInfo Entry(int n, uint32_t k) const;
    bool HasArchive(int n) const;
    // The archive's path as Init built it (also for an absent archive; empty before Init).
    const std::filesystem::path& Path(int n) const;

    // Trim bytes <= 0x20 at both ends, then upper-case ASCII letters (CP932-aware).
    static std::string NormaliseName(std::string_view name);

private:
    struct Archive {
        std::filesystem::path FilePath;      // gameDir/data/DATA0n.cfp
        bool Present = false;                // found and read by Init
        std::vector<uint8_t> Index;          // verbatim index block when present
        std::vector<std::string> NameList;   // name-list lines
    };
    // One name of the lookup: the hash of its normalised form and where it is listed. The
    // names themselves stay in the name lists; a slot with ArchiveNo 0 is free.
    struct Slot {
        uint32_t Hash;
        uint32_t Line;       // index into the archive's name list (entry Line + 1)
        uint32_t ArchiveNo;  // 1..5
    };
    // The slot of `name` (normalised or not), or nullptr.
    const Slot* Find(std::string_view name, uint32_t hash) const;

    std::array<Archive, kArchiveCount> Archives;
    // Open addressing with linear probing over a power-of-two table kept at most two-thirds
    // full: normalised name → its first listing, the highest archive first.
    std::vector<Slot> Lookup;
};

}  // namespace orva
