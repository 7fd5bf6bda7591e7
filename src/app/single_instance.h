// The single-instance rule: a lock named "ORVAx300SE", held for the life of the process.
#pragma once

#include <filesystem>
#include <string>

namespace orva {

inline constexpr const char* kInstanceLockName = "ORVAx300SE";

// The lock file: in $XDG_RUNTIME_DIR, else in /tmp with the user's id in the name.
std::filesystem::path InstanceLockPath();

// Takes the lock without waiting. Returns false when another process holds it. The lock is
// released when the process ends (however it ends).
bool AcquireInstanceLock(const std::filesystem::path& path, std::string& error, bool& held);

}  // namespace orva
