// Tests of TArchiveSet (lookup, precedence, bad archives) and of BuildArchive.
#include "data/archive.h"

#include <cstring>
#include <map>
#include <random>

#include <gtest/gtest.h>

#include "archive_fixture.h"
#include "data/archive_format.h"
#include "data/archive_writer.h"
#include "data/cp932.h"
#include "data/file_io.h"
#include "temp_dir.h"

namespace orva {
namespace {

using test::Bytes;
using test::TempDir;
using test::WriteArchive;

std::string Text(const TMemoryStream& stream) {
    return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

// Reads name and returns its bytes as text, or "<false>" when Read says no.
std::string Get(const TArchiveSet& set, std::string_view name) {
    TMemoryStream stream;
    if (!set.Read(name, stream)) return "<false>";
    EXPECT_EQ(stream.Position(), 0u);
    return Text(stream);
}

void PutEntry(std::vector<uint8_t>& archive, uint32_t k, uint32_t offset, uint32_t size) {
    const ArchiveEntry entry{0, offset, size};
    std::memcpy(archive.data() + kFileHeaderSize + k * sizeof entry, &entry, sizeof entry);
}

TEST(ArchiveSet, HighestArchiveWinsWithOnlyDataTwoAndFourPresent) {
    TempDir dir;
    WriteArchive(dir, 2, {{"SysTitle.png", "from two"}, {"only2.ogg", "two only"}});
    WriteArchive(dir, 4, {{"SysTitle.png", "from four"}});
    TArchiveSet set;
    const auto init = set.Init(dir.Path());
    ASSERT_TRUE(init.Ok) << init.Error;
    EXPECT_EQ(Get(set, "SysTitle.png"), "from four");
    EXPECT_EQ(Get(set, "only2.ogg"), "two only");
    EXPECT_EQ(Get(set, "missing.png"), "<false>");
    EXPECT_FALSE(set.HasArchive(1));
    EXPECT_TRUE(set.HasArchive(2));
    EXPECT_FALSE(set.HasArchive(3));
    EXPECT_TRUE(set.HasArchive(4));
    EXPECT_FALSE(set.HasArchive(6));
    EXPECT_EQ(set.NameList(4), (std::vector<std::string>{"SysTitle.png"}));
    EXPECT_TRUE(set.NameList(1).empty());
    EXPECT_EQ(set.Path(2), dir.Path() / "data" / "DATA02.cfp");
    EXPECT_EQ(set.Entry(4, 0).Offset, kArchiveDataStart);
    EXPECT_EQ(set.Entry(4, 1).Size, 9u);
    EXPECT_EQ(set.Entry(1, 1).Size, 0u);
    EXPECT_EQ(set.Entry(4, 70000).Size, 0u);
}

TEST(ArchiveSet, CaseAndBlanksAtTheEndsAreIgnoredAndTheFirstLineWins) {
    TempDir dir;
    WriteArchive(dir, 1, {{" \tSysMsgWinB.PNG \x01", "window"},
                          {"bg01.png", "first"},
                          {"BG01.PNG", "second"},
                          {"bg 02.png", "inner blank"}});
    TArchiveSet set;
    ASSERT_TRUE(set.Init(dir.Path()).Ok);
    EXPECT_EQ(Get(set, "sysmsgwinb.png"), "window");
    EXPECT_EQ(Get(set, "  SYSMSGWINB.png\r\n"), "window");
    EXPECT_EQ(Get(set, "Bg01.Png"), "first");
    EXPECT_EQ(Get(set, "bg 02.PNG"), "inner blank");
    EXPECT_EQ(Get(set, "bg02.png"), "<false>");
    EXPECT_EQ(TArchiveSet::NormaliseName(" a\x83\x61z.ogg\t"), "A\x83\x61Z.OGG");
}

TEST(ArchiveSet, TrailByteInLetterRangeIsNotUpperCased) {
    TempDir dir;
    // ヂ (0x83 0x61) and ア (0x83 0x41) differ only in a trail byte 'a' / 'A'.
    WriteArchive(dir, 1, {{"\x83\x41.png", "a-kana"}, {"\x83\x61.png", "dzi-kana"}});
    TArchiveSet set;
    ASSERT_TRUE(set.Init(dir.Path()).Ok);
    EXPECT_EQ(Get(set, "\x83\x61.PNG"), "dzi-kana");
    EXPECT_EQ(Get(set, "\x83\x41.png"), "a-kana");
}

TEST(ArchiveSet, SizeZeroEntryIsListedButReadsAsFalse) {
    TempDir dir;
    WriteArchive(dir, 3, {{"empty.png", ""}, {"full.png", "x"}});
    TArchiveSet set;
    ASSERT_TRUE(set.Init(dir.Path()).Ok);
    TMemoryStream stream;
    EXPECT_FALSE(set.Read("empty.png", stream));
    EXPECT_EQ(stream.Size(), 0u);
    EXPECT_EQ(stream.Position(), 0u);
    EXPECT_EQ(Get(set, "full.png"), "x");
}

TEST(ArchiveSet, NoArchiveAtAllStartsAndFindsNothing) {
    TempDir dir;
    TArchiveSet set;
    const auto init = set.Init(dir.Path());
    EXPECT_TRUE(init.Ok);
    EXPECT_EQ(Get(set, "SysTitle.png"), "<false>");
    EXPECT_EQ(Get(set, ""), "<false>");
    for (int n = 1; n <= 5; ++n) EXPECT_FALSE(set.HasArchive(n));
}

TEST(ArchiveSet, ShortArchiveFailsInitNamingTheFile) {
    TempDir dir;
    WriteArchive(dir, 1, {{"a.png", "a"}});
    dir.Write("data/DATA03.cfp", std::string(kArchiveDataStart - 1, '\0'));
    TArchiveSet set;
    const auto init = set.Init(dir.Path());
    EXPECT_FALSE(init.Ok);
    EXPECT_NE(init.Error.find("DATA03.cfp"), std::string::npos) << init.Error;
    EXPECT_NE(init.Error.find("shorter"), std::string::npos) << init.Error;
    // A folder where an archive should be is an error too, not a crash.
    TempDir other;
    std::filesystem::create_directories(other.Path() / "data" / "DATA02.cfp");
    EXPECT_FALSE(set.Init(other.Path()).Ok);
}

TEST(ArchiveSet, EntriesReachingBeyondTheFileReadAsNotFound) {
    TempDir dir;
    std::vector<uint8_t> archive;
    std::string error;
    ASSERT_TRUE(BuildArchive({{"past.png", Bytes("abc")}, {"huge.png", Bytes("d")}, {"ok.png", Bytes("e")}},
                             archive, error));
    const uint32_t fileSize = static_cast<uint32_t>(archive.size());
    PutEntry(archive, 1, fileSize - 2, 3);     // one byte past the end
    PutEntry(archive, 2, 0xFFFFFFF0u, 0xFFFFFFFFu);  // would wrap in 32 bits
    dir.Write("data/DATA01.cfp", archive);
    TArchiveSet set;
    ASSERT_TRUE(set.Init(dir.Path()).Ok);
    TMemoryStream stream(Bytes("keep"));
    stream.SetPosition(2);
    EXPECT_FALSE(set.Read("past.png", stream));
    EXPECT_FALSE(set.Read("huge.png", stream));
    EXPECT_EQ(Text(stream), "keep");  // untouched
    EXPECT_EQ(stream.Position(), 2u);
    EXPECT_EQ(Get(set, "ok.png"), "e");
}

TEST(ArchiveSet, NameListBeyondTheFileIsAnEmptyList) {
    TempDir dir;
    std::vector<uint8_t> archive;
    std::string error;
    ASSERT_TRUE(BuildArchive({{"a.png", Bytes("a")}}, archive, error));
    PutEntry(archive, 0, kArchiveDataStart, 0x10000000u);
    dir.Write("data/DATA05.cfp", archive);
    TArchiveSet set;
    ASSERT_TRUE(set.Init(dir.Path()).Ok);
    EXPECT_TRUE(set.HasArchive(5));
    EXPECT_TRUE(set.NameList(5).empty());
    EXPECT_EQ(Get(set, "a.png"), "<false>");
}

TEST(ArchiveSet, NameListLineBeyondTheIndexReadsAsNotFound) {
    // 65,537 lines: line 65,535 would need entry 65,536, which the index does not have.
    std::string list;
    for (int k = 0; k <= 65536; ++k) {
        list += 'f';
        list += std::to_string(k) + "\r\n";
    }
    std::vector<uint8_t> archive(kArchiveDataStart + list.size() + 1, 0);
    std::memcpy(archive.data() + kArchiveDataStart, list.data(), list.size());
    archive.back() = 'Z';
    PutEntry(archive, 0, kArchiveDataStart, static_cast<uint32_t>(list.size()));
    PutEntry(archive, 65535, static_cast<uint32_t>(archive.size() - 1), 1);  // line 65,534
    TempDir dir;
    dir.Write("data/DATA01.cfp", archive);
    WriteArchive(dir, 2, {{"other.png", "o"}});
    TArchiveSet set;
    ASSERT_TRUE(set.Init(dir.Path()).Ok);
    EXPECT_EQ(set.NameList(1).size(), 65537u);
    EXPECT_EQ(Get(set, "f65534"), "Z");
    EXPECT_EQ(Get(set, "f65535"), "<false>");
    EXPECT_EQ(Get(set, "f65536"), "<false>");
    EXPECT_EQ(Get(set, "other.png"), "o");
}

TEST(ArchiveSet, EveryLookupAgreesWithAPlainMapOverManyCollidingNames) {
    // Short names from a tiny alphabet (ASCII in both cases, blanks, two-byte characters whose
    // trail byte is a letter) repeat within and across archives; the first listing from the
    // highest archive must answer every spelling, and names nobody lists must not be found. The
    // model normalises with the text helpers, independently of the archive set's own code.
    std::mt19937 random(77);
    const std::vector<std::string> pieces = {"a", "A", "b", "\x83\x61", "\x83\x41", "1", ".", "z", "Z"};
    auto randomName = [&] {
        std::string name = random() % 4 == 0 ? " " : "";
        const int length = 1 + int(random() % 5);
        for (int k = 0; k < length; ++k) name += pieces[random() % pieces.size()];
        return name;
    };
    TempDir dir;
    std::map<std::string, std::string> model;  // normalised name -> contents of its first listing
    for (int n = 5; n >= 1; --n) {
        if (n == 3) continue;  // a gap among the archives
        std::vector<std::pair<std::string, std::string>> files;
        for (int k = 0; k < 600; ++k) {
            const std::string name = randomName();
            const std::string contents = std::to_string(n) + ":" + std::to_string(k);
            files.push_back({name, contents});
            model.emplace(Cp932UpperAscii(TrimBlanksAndControls(name)), contents);
        }
        WriteArchive(dir, n, files);
    }
    TArchiveSet set;
    ASSERT_TRUE(set.Init(dir.Path()).Ok);
    for (int k = 0; k < 4000; ++k) {
        const std::string name = randomName();
        const auto expected = model.find(Cp932UpperAscii(TrimBlanksAndControls(name)));
        ASSERT_EQ(Get(set, name), expected == model.end() ? "<false>" : expected->second) << name;
    }
}

TEST(ArchiveSet, ArbitraryBytesNeverCrash) {
    std::mt19937 random(1234);
    for (int round = 0; round < 4; ++round) {
        std::vector<uint8_t> archive(kArchiveDataStart + 4096);
        for (auto& b : archive) b = static_cast<uint8_t>(random());
        // Aim entry 0 at the tail so there is a name list of random text.
        PutEntry(archive, 0, kArchiveDataStart, 4096);
        TempDir dir;
        dir.Write("data/DATA01.cfp", archive);
        TArchiveSet set;
        ASSERT_TRUE(set.Init(dir.Path()).Ok);
        for (const auto& line : set.NameList(1)) {
            TMemoryStream stream;
            set.Read(line, stream);
        }
    }
}

TEST(ArchiveSet, ArchiveRemovedAfterInitReadsAsFalse) {
    TempDir dir;
    WriteArchive(dir, 1, {{"a.png", "a"}});
    TArchiveSet set;
    ASSERT_TRUE(set.Init(dir.Path()).Ok);
    std::filesystem::remove(dir.Path() / "data" / "DATA01.cfp");
    EXPECT_EQ(Get(set, "a.png"), "<false>");
}

TEST(ArchiveWriter, LayoutAndRejections) {
    std::vector<uint8_t> out;
    std::string error;
    ASSERT_TRUE(BuildArchive({{"a", Bytes("xy")}, {"", Bytes("")}, {"a", Bytes("z")}}, out, error));
    const std::string listText(out.begin() + kArchiveDataStart, out.begin() + kArchiveDataStart + 8);
    EXPECT_EQ(listText, "a\r\n\r\na\r\n");
    EXPECT_EQ(out.size(), kArchiveDataStart + 8 + 3);
    ArchiveEntry entry{};
    std::memcpy(&entry, out.data() + kFileHeaderSize + 3 * sizeof entry, sizeof entry);
    EXPECT_EQ(entry.Offset, kArchiveDataStart + 10);
    EXPECT_EQ(entry.Size, 1u);

    std::vector<uint8_t> untouched{1, 2, 3};
    std::vector<ArchiveInputFile> tooMany(65536);
    EXPECT_FALSE(BuildArchive(tooMany, untouched, error));
    EXPECT_NE(error.find("65535"), std::string::npos) << error;
    EXPECT_FALSE(BuildArchive({{"a\nb", {}}}, untouched, error));
    EXPECT_EQ(untouched, (std::vector<uint8_t>{1, 2, 3}));
    tooMany.pop_back();
    EXPECT_TRUE(BuildArchive(tooMany, out, error)) << error;  // exactly 65,535 is fine

    const uint64_t sizes[] = {0xFFFFFFFFull - kArchiveDataStart - 10, 10};
    EXPECT_EQ(ArchiveOutputSize(0, sizes), 0xFFFFFFFFull);
    EXPECT_GT(ArchiveOutputSize(1, sizes), kMaxFileOffset);
}

}  // namespace
}  // namespace orva
