// Tests of the atomic file replacement and the ranged reads.
#include "data/file_io.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

namespace orva {
namespace {

using test::Bytes;
using test::TempDir;

size_t CountEntries(const std::filesystem::path& dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}

TEST(FileIo, AtomicWriteReplacesAndLeavesNoTemporary) {
    TempDir dir;
    std::string error;
    const auto path = dir / "SAVE2.DAT";
    ASSERT_TRUE(WriteFileAtomic(path, Bytes("first version"), error)) << error;
    ASSERT_TRUE(WriteFileAtomic(path, Bytes("2nd"), error)) << error;
    EXPECT_EQ(ReadWholeFile(path), Bytes("2nd"));
    ASSERT_TRUE(WriteFileAtomic(path, {}, error)) << error;
    EXPECT_EQ(ReadWholeFile(path), std::vector<uint8_t>{});
    EXPECT_EQ(CountEntries(dir.Path()), 1u);
}

TEST(FileIo, FailedWriteReportsAndChangesNothing) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(WriteFileAtomic(dir / "no" / "such" / "file", Bytes("x"), error));
    EXPECT_FALSE(error.empty());
    // A folder in the way cannot be replaced by a file.
    std::filesystem::create_directories(dir / "busy" / "inside");
    error.clear();
    EXPECT_FALSE(WriteFileAtomic(dir / "busy", Bytes("x"), error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "busy"));
    EXPECT_EQ(CountEntries(dir.Path()), 1u);
}

TEST(FileIo, ReadsRefuseMissingFilesFoldersAndRangesPastTheEnd) {
    TempDir dir;
    EXPECT_FALSE(ReadWholeFile(dir / "missing").has_value());
    EXPECT_FALSE(ReadWholeFile(dir.Path()).has_value());
    dir.Write("f", "abcdef");
    TReadFile file;
    std::string error;
    ASSERT_TRUE(file.Open(dir / "f", error));
    EXPECT_EQ(file.Size(), 6u);
    char buffer[8] = {};
    EXPECT_TRUE(file.ReadAt(4, buffer, 2));
    EXPECT_EQ(std::string(buffer, 2), "ef");
    EXPECT_TRUE(file.ReadAt(6, buffer, 0));
    EXPECT_FALSE(file.ReadAt(5, buffer, 2));
    EXPECT_FALSE(file.ReadAt(0xFFFFFFFFFFFFFFF0ull, buffer, 0x20));
}

}  // namespace
}  // namespace orva
