// The instance lock over flock(2), released by the kernel when the process ends.
#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orva {

std::filesystem::path InstanceLockPath(const std::filesystem::path& saveDir) {
    return saveDir / (std::string(kInstanceLockName) + ".lock");
}

bool AcquireInstanceLock(const std::filesystem::path& path, std::string& error, bool& held) {
    held = false;
    std::error_code ec;
    if (path.has_parent_path() && (std::filesystem::create_directories(path.parent_path(), ec), ec)) {
        error = "cannot create the save folder " + path.parent_path().string() + ": " + ec.message();
        return false;
    }
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot open the instance lock " + path.string() + ": " + std::strerror(errno);
        return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        close(fd);
        if (err == EWOULDBLOCK) {
            held = true;
            return false;
        }
        error = "cannot take the instance lock " + path.string() + ": " + std::strerror(err);
        return false;
    }
    return true;  // the descriptor stays open, and the lock held, until the process ends
}

}  // namespace orva
