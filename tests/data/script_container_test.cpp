// Tests of TScriptContainer and BuildScriptContainer.
#include "data/script_container.h"

#include <cstring>

#include <gtest/gtest.h>

#include "data/archive_format.h"
#include "data/container_writer.h"
#include "temp_dir.h"

namespace orva {
namespace {

using test::Bytes;
using test::TempDir;

std::vector<uint8_t> Container(const std::map<uint32_t, std::vector<uint8_t>>& entries,
                               const std::vector<std::string>& names = {"main", "sub"}) {
    std::vector<uint8_t> out;
    std::string error;
    EXPECT_TRUE(BuildScriptContainer(names, entries, out, error)) << error;
    return out;
}

TEST(ScriptContainer, ReadsScriptsByNumberEachTimeAlike) {
    TempDir dir;
    dir.Write("SCRIPT.DAT", Container({{1, Bytes("script one")}, {7, Bytes("seven")}, {65535, Bytes("last")}}));
    TScriptContainer container;
    const auto init = container.Init(dir / "SCRIPT.DAT");
    ASSERT_TRUE(init.Ok) << init.Error;
    EXPECT_EQ(container.NameList(), (std::vector<std::string>{"main", "sub"}));
    TMemoryStream first;
    TMemoryStream second;
    EXPECT_EQ(container.ReadFile(1, 1, first), 0);
    EXPECT_EQ(container.ReadFile(1, 1, second), 0);
    EXPECT_EQ(first.Bytes(), Bytes("script one"));
    EXPECT_EQ(first.Bytes(), second.Bytes());
    EXPECT_EQ(first.Position(), 0u);
    EXPECT_EQ(second.Position(), 0u);
    TMemoryStream last;
    EXPECT_EQ(container.ReadFile(1, 65535, last), 0);
    EXPECT_EQ(last.Bytes(), Bytes("last"));
    EXPECT_EQ(container.Entry(7).Size, 5u);
    EXPECT_EQ(container.Entry(0).Offset, kContainerDataStart);
    EXPECT_EQ(container.Entry(65536).Size, 0u);
}

TEST(ScriptContainer, OtherKindEmptyEntryAndNumbersOutsideTheIndex) {
    TempDir dir;
    dir.Write("SCRIPT.DAT", Container({{1, Bytes("one")}, {2, {}}}));
    TScriptContainer container;
    ASSERT_TRUE(container.Init(dir / "SCRIPT.DAT").Ok);

    TMemoryStream kept(Bytes("old"));
    kept.SetPosition(1);
    EXPECT_EQ(container.ReadFile(2, 1, kept), 0);
    EXPECT_EQ(container.ReadFile(0, 1, kept), 0);
    EXPECT_EQ(kept.Bytes(), Bytes("old"));
    EXPECT_EQ(kept.Position(), 1u);

    for (int index : {2, 3, 0, -1, 65536, 1 << 30}) {
        TMemoryStream stream;
        EXPECT_EQ(container.ReadFile(1, index, stream), -1) << index;
        EXPECT_EQ(stream.Size(), 0u) << index;
        EXPECT_EQ(stream.Position(), 0u) << index;
    }
}

TEST(ScriptContainer, MissingShortAndDamagedContainers) {
    TempDir dir;
    TScriptContainer container;
    auto init = container.Init(dir / "SCRIPT.DAT");
    EXPECT_FALSE(init.Ok);
    EXPECT_NE(init.Error.find("SCRIPT.DAT"), std::string::npos) << init.Error;

    dir.Write("SCRIPT.DAT", std::string(kContainerDataStart - 1, 'x'));
    init = container.Init(dir / "SCRIPT.DAT");
    EXPECT_FALSE(init.Ok);
    EXPECT_NE(init.Error.find("shorter"), std::string::npos) << init.Error;

    // Exactly header and index, all zero: starts, every script is empty.
    dir.Write("SCRIPT.DAT", std::string(kContainerDataStart, '\0'));
    ASSERT_TRUE(container.Init(dir / "SCRIPT.DAT").Ok);
    TMemoryStream stream;
    EXPECT_EQ(container.ReadFile(1, 1, stream), -1);

    // An entry and the name list reaching beyond the end of the file.
    auto bytes = Container({{1, Bytes("abc")}, {2, Bytes("ok")}});
    const ScriptContainerEntry past{static_cast<uint32_t>(bytes.size() - 1), 2};
    std::memcpy(bytes.data() + kFileHeaderSize + 1 * sizeof past, &past, sizeof past);
    const ScriptContainerEntry hugeList{16, 0xFFFFFFFFu};
    std::memcpy(bytes.data() + kFileHeaderSize, &hugeList, sizeof hugeList);
    dir.Write("SCRIPT.DAT", bytes);
    ASSERT_TRUE(container.Init(dir / "SCRIPT.DAT").Ok);
    EXPECT_TRUE(container.NameList().empty());
    EXPECT_EQ(container.ReadFile(1, 1, stream), -1);
    EXPECT_EQ(stream.Size(), 0u);
    EXPECT_EQ(container.ReadFile(1, 2, stream), 0);
    EXPECT_EQ(stream.Bytes(), Bytes("ok"));
}

TEST(ContainerWriter, RejectsNumbersOutsideTheIndexAndLineBreaksInNames) {
    std::vector<uint8_t> out{9};
    std::string error;
    EXPECT_FALSE(BuildScriptContainer({}, {{0, Bytes("x")}}, out, error));
    EXPECT_NE(error.find("0"), std::string::npos);
    EXPECT_FALSE(BuildScriptContainer({}, {{65536, Bytes("x")}}, out, error));
    EXPECT_FALSE(BuildScriptContainer({"a\rb"}, {}, out, error));
    EXPECT_EQ(out, std::vector<uint8_t>{9});
    ASSERT_TRUE(BuildScriptContainer({}, {}, out, error));
    EXPECT_EQ(out.size(), kContainerDataStart);
    EXPECT_EQ(std::memcmp(out.data(), kContainerSignature, kFileHeaderSize), 0);
}

}  // namespace
}  // namespace orva
