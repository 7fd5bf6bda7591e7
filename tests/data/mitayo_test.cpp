// Tests of the seen-pictures list: its file form and AddMitayo / CheckMitayo.
#include "data/mitayo.h"

#include <gtest/gtest.h>

#include "data/ezxor.h"

namespace orva {
namespace {

using List = std::vector<std::string>;

TEST(Mitayo, FileRoundTripsAndEmptyListGivesEmptyFile) {
    const List list{"BG01", "bg01", "\x83\x61\x82\xA0", "", "ev_03b"};
    const auto bytes = EncodeMitayoFile(list);
    EXPECT_EQ(DecodeMitayoFile(bytes), list);
    EXPECT_TRUE(EncodeMitayoFile({}).empty());
    EXPECT_TRUE(DecodeMitayoFile({}).empty());
}

TEST(Mitayo, FileIsTheListTextScrambledWithTheMainFormKey) {
    const auto bytes = EncodeMitayoFile({"BG01"});
    ASSERT_EQ(bytes.size(), 6u);  // "BG01\r\n"
    TEZXor x;
    ConfigureMainFormXor(x);
    std::string key;
    x.BuildKey(key);
    const std::string plain = "BG01\r\n";
    for (size_t i = 0; i < plain.size(); ++i)
        EXPECT_EQ(bytes[i], static_cast<uint8_t>(key[i]) ^ static_cast<uint8_t>(plain[i]) ^ 0x75) << i;
}

TEST(Mitayo, DamagedFileGivesWhateverLinesItHolds) {
    std::vector<uint8_t> junk(3000);
    for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<uint8_t>(i * 31);
    const auto lines = DecodeMitayoFile(junk);
    EXPECT_FALSE(lines.empty());
    // A file cut in the middle of its last line keeps the part that is there.
    auto cut = EncodeMitayoFile({"BG01", "BG02"});
    cut.resize(cut.size() - 3);
    EXPECT_EQ(DecodeMitayoFile(cut), (List{"BG01", "BG0"}));
}

TEST(Mitayo, AddIsCaseSensitiveCheckIgnoresAsciiCase) {
    List list;
    EXPECT_FALSE(CheckMitayo(list, "BG01"));
    AddMitayo(list, "BG01");
    AddMitayo(list, "BG01");
    EXPECT_EQ(list, (List{"BG01"}));
    EXPECT_TRUE(CheckMitayo(list, "bg01"));
    EXPECT_TRUE(CheckMitayo(list, "BG01"));
    EXPECT_FALSE(CheckMitayo(list, "BG01 "));
    EXPECT_FALSE(CheckMitayo(list, "BG0"));
    AddMitayo(list, "bg01");
    EXPECT_EQ(list, (List{"BG01", "bg01"}));
    AddMitayo(list, "ev01");
    EXPECT_EQ(list.back(), "ev01");  // order of first sight
}

TEST(Mitayo, CheckDoesNotFoldTrailBytes) {
    // ヂ (0x83 0x61) is not ア (0x83 0x41) even though its trail byte is an 'a'.
    const List list{"\x83\x61"};
    EXPECT_TRUE(CheckMitayo(list, "\x83\x61"));
    EXPECT_FALSE(CheckMitayo(list, "\x83\x41"));
}

}  // namespace
}  // namespace orva
