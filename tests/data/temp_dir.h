// A temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "data/file_io.h"

namespace orva::test {

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orva-data-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a temp folder";
        Root = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(Root, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return Root; }
    std::filesystem::path operator/(const std::string& name) const { return Root / name; }

    // Writes bytes to a file below the folder, creating folders as needed.
    void Write(const std::filesystem::path& relative, std::span<const uint8_t> bytes) const {
        const auto full = Root / relative;
        std::filesystem::create_directories(full.parent_path());
        std::string error;
        ASSERT_TRUE(WriteFileAtomic(full, bytes, error)) << error;
    }
    void Write(const std::filesystem::path& relative, std::string_view text) const {
        Write(relative, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    }

private:
    std::filesystem::path Root;
};

inline std::vector<uint8_t> Bytes(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

}  // namespace orva::test
