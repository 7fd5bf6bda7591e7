// The single-instance rule: one orva at a time per save folder, held for the life of the process
// through a lock file named after "ORVAx300SE" in that folder.
#pragma once

#include <filesystem>
#include <string>

namespace orva {

inline constexpr const char* kInstanceLockName = "ORVAx300SE";

// The lock file of a save folder: two runs with different save folders never meet.
std::filesystem::path InstanceLockPath(const std::filesystem::path& saveDir);

// Takes the lock without waiting, making the lock's folder first. Returns false when another
// process holds it (`held` set) or when it cannot be taken (`error` set). The lock is released
// when the process ends (however it ends).
bool AcquireInstanceLock(const std::filesystem::path& path, std::string& error, bool& held);

}  // namespace orva
