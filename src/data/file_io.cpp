// POSIX file access: ranged reads, whole-file reads and atomic replacement.
#include "data/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orva {
namespace {

AtomicWriteHook BeforeRename = nullptr;

}  // namespace

void SetAtomicWriteHook(AtomicWriteHook hook) { BeforeRename = hook; }

TReadFile::~TReadFile() {
    if (Fd >= 0) ::close(Fd);
}

bool TReadFile::Open(const std::filesystem::path& path, std::string& error) {
    if (Fd >= 0) {
        ::close(Fd);
        Fd = -1;
    }
    Fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (Fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(Fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? "is a folder" : "not a regular file";
        ::close(Fd);
        Fd = -1;
        return false;
    }
    FileSize = static_cast<uint64_t>(st.st_size);
    return true;
}

bool TReadFile::ReadAt(uint64_t offset, void* dst, size_t count) {
    if (Fd < 0) return false;
    if (offset > FileSize || count > FileSize - offset) return false;
    auto* out = static_cast<uint8_t*>(dst);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(Fd, out + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::filesystem::path& path) {
    TReadFile file;
    std::string error;
    if (!file.Open(path, error)) return std::nullopt;
    std::vector<uint8_t> bytes(file.Size());
    if (!bytes.empty() && !file.ReadAt(0, bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
}

bool WriteFileAtomic(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                     std::string& error) {
    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::string name = ".";
    name += path.filename().string();
    name += ".tmp-XXXXXX";
    std::string pattern = (folder / name).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = path.string() + ": cannot create a temporary file: " + std::strerror(errno);
        return false;
    }
    auto fail = [&](const char* what) {
        error = path.string() + ": " + what + ": " + std::strerror(errno);
        ::close(fd);
        ::unlink(pattern.c_str());
        return false;
    };
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail("cannot write");
        done += static_cast<size_t>(n);
    }
    // mkstemp makes the file 0600; give it the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    if (::fsync(fd) != 0) return fail("cannot flush");
    if (::close(fd) != 0) {
        error = path.string() + ": cannot close: " + std::strerror(errno);
        ::unlink(pattern.c_str());
        return false;
    }
    if (BeforeRename) BeforeRename(path);
    if (::rename(pattern.c_str(), path.c_str()) != 0) {
        error = path.string() + ": cannot replace: " + std::strerror(errno);
        ::unlink(pattern.c_str());
        return false;
    }
    // Make the rename itself durable.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

}  // namespace orva
