// Builds data archives in a test's temp folder through the project's own writer.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/archive_writer.h"
#include "temp_dir.h"

namespace orva::test {

// Writes gameDir/data/DATA0n.cfp holding files (name line, bytes).
inline void WriteArchive(const TempDir& dir, int n,
                         const std::vector<std::pair<std::string, std::string>>& files) {
    std::vector<ArchiveInputFile> inputs;
    for (const auto& [name, bytes] : files) inputs.push_back({name, Bytes(bytes)});
    std::vector<uint8_t> archive;
    std::string error;
    ASSERT_TRUE(BuildArchive(inputs, archive, error)) << error;
    dir.Write("data/DATA0" + std::to_string(n) + ".cfp", archive);
}

}  // namespace orva::test
