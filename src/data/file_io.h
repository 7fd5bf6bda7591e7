// Whole-file and ranged reads, and the atomic file replacement every writer uses.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orva {

// The file's bytes; nullopt when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path);

// Replaces path with bytes: a temporary file in the same folder is written, flushed,
// synced and renamed over path, so a reader sees the old file or the new one, never a
// part. On failure the temporary is removed, path is unchanged and error says why.
bool WriteFileAtomic(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                     std::string& error);

// Called by WriteFileAtomic after the temporary file is written and flushed and before it is
// renamed over the target; null in normal runs. Crash tests set it to end the process there.
using AtomicWriteHook = void (*)(const std::filesystem::path& target);
void SetAtomicWriteHook(AtomicWriteHook hook);

// An open read-only file for ranged reads; closed when it goes out of scope.
class TReadFile {
public:
    TReadFile() = default;
    ~TReadFile();
    TReadFile(const TReadFile&) = delete;
    TReadFile& operator=(const TReadFile&) = delete;

    // Opens path; false (with error set to the system's reason) when it cannot.
    bool Open(const std::filesystem::path& path, std::string& error);
    uint64_t Size() const { return FileSize; }
    // Reads exactly count bytes at offset into dst; false when the range is not all there.
    bool ReadAt(uint64_t offset, void* dst, size_t count);

private:
    int Fd = -1;            // POSIX descriptor, -1 when closed
    uint64_t FileSize = 0;  // size when opened
};

}  // namespace orva
