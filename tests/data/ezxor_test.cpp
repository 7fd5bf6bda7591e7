// Tests of TEZXor: key building, the block-wise transform and the setters' checks.
#include "data/ezxor.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

// A sink that accepts at most Limit bytes in all.
class ShortSink : public TStream {
public:
    explicit ShortSink(size_t limit) : Limit(limit) {}
    size_t Read(void*, size_t) override { return 0; }
    size_t Write(const void*, size_t count) override {
        const size_t n = std::min(count, Limit - Written);
        Written += n;
        return n;
    }
    size_t Limit;
    size_t Written = 0;
};

// A source that counts its reads and their sizes.
class CountingSource : public TMemoryStream {
public:
    using TMemoryStream::TMemoryStream;
    size_t Read(void* dst, size_t count) override {
        const size_t n = TMemoryStream::Read(dst, count);
        if (n) Reads.push_back(n);
        return n;
    }
    std::vector<size_t> Reads;
};

std::vector<uint8_t> Pattern(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

TEST(EzXor, DefaultsAndMainFormConfiguration) {
    TEZXor x;
    EXPECT_EQ(x.Mode(), XMD_PASSWORDONLY);
    EXPECT_EQ(x.Password(), "pebble");
    EXPECT_EQ(x.SubKey(), 0);
    EXPECT_TRUE(x.CanExecute());
    EXPECT_FALSE(x.OnExecute);
    EXPECT_EQ(x.XorBuffer.size(), 1024u);
    ConfigureMainFormXor(x);
    EXPECT_EQ(x.Mode(), XMD_SUBKEYALSO);
    EXPECT_EQ(x.Password(), "QRTZ518");
    EXPECT_EQ(x.SubKey(), 582046);
}

TEST(EzXor, BuildKeyLengthsAreTheLcmOfPasswordAndSubKeyText) {
    TEZXor x;
    std::string key;
    ConfigureMainFormXor(x);  // 7 and 6 characters
    x.BuildKey(key);
    ASSERT_EQ(key.size(), 42u);
    EXPECT_EQ(static_cast<uint8_t>(key[0]), 'Q' ^ '5');
    EXPECT_EQ(static_cast<uint8_t>(key[41]), '8' ^ '6');

    x.SetPassword("abcdef");  // 6 and 6: the sub-key text gets an X, 6 and 7
    x.SetSubKey(123456);
    x.BuildKey(key);
    ASSERT_EQ(key.size(), 42u);
    EXPECT_EQ(static_cast<uint8_t>(key[6]), 'a' ^ 'X');
    EXPECT_EQ(static_cast<uint8_t>(key[13]), 'b' ^ 'X');

    x.SetPassword("a");  // "0" has the same length: "0X"
    x.SetSubKey(0);
    x.BuildKey(key);
    ASSERT_EQ(key.size(), 2u);
    EXPECT_EQ(static_cast<uint8_t>(key[0]), 'a' ^ '0');
    EXPECT_EQ(static_cast<uint8_t>(key[1]), 'a' ^ 'X');

    x.SetPassword("ab");  // "-5" has the same length: "-5X", lcm 6
    x.SetSubKey(-5);
    x.BuildKey(key);
    ASSERT_EQ(key.size(), 6u);
    EXPECT_EQ(static_cast<uint8_t>(key[0]), 'a' ^ '-');

    x.SetPassword("9a");  // "97X": a zero byte stays in the key
    x.SetSubKey(97);
    x.BuildKey(key);
    ASSERT_EQ(key.size(), 6u);
    EXPECT_EQ(key[0], '\0');
}

TEST(EzXor, ExecuteRunsTheKeyOnAcrossBlocksAndIsItsOwnInverse) {
    TEZXor x;
    ConfigureMainFormXor(x);
    std::string key;
    x.BuildKey(key);
    const auto plain = Pattern(2500);
    CountingSource source(plain);
    TMemoryStream scrambled;
    ASSERT_TRUE(x.Execute(source, scrambled));
    EXPECT_EQ(source.Reads, (std::vector<size_t>{1024, 1024, 452}));
    ASSERT_EQ(scrambled.Size(), 2500u);
    // The key position continues across blocks: byte 1024 uses key[1024 % 42].
    for (size_t i : {size_t{0}, size_t{41}, size_t{42}, size_t{1023}, size_t{1024}, size_t{2499}})
        EXPECT_EQ(scrambled.Bytes()[i], static_cast<uint8_t>(key[i % 42]) ^ plain[i] ^ 0x75) << i;

    scrambled.SetPosition(0);
    TMemoryStream restored;
    ASSERT_TRUE(x.Execute(scrambled, restored));
    EXPECT_EQ(restored.Bytes(), plain);
}

TEST(EzXor, ExecuteStartsAtTheStreamsPositions) {
    TEZXor x;  // password-only mode: the key is "pebble"
    TMemoryStream source(std::vector<uint8_t>{9, 9, 0x10, 0x20});
    source.SetPosition(2);
    TMemoryStream result(std::vector<uint8_t>{1, 2, 3});
    result.SetPosition(3);
    ASSERT_TRUE(x.Execute(source, result));
    EXPECT_EQ(result.Bytes(), (std::vector<uint8_t>{1, 2, 3, 'p' ^ 0x10 ^ 0x75, 'e' ^ 0x20 ^ 0x75}));
}

TEST(EzXor, EmptySourceDisabledComponentAndShortWrite) {
    TEZXor x;
    int calls = 0;
    x.OnExecute = [&](TEZXor& sender, TStream&, TStream&) {
        EXPECT_EQ(&sender, &x);
        ++calls;
    };
    TMemoryStream empty;
    TMemoryStream out;
    EXPECT_TRUE(x.Execute(empty, out));
    EXPECT_EQ(out.Size(), 0u);
    EXPECT_EQ(calls, 1);

    x.SetCanExecute(false);
    TMemoryStream source(Pattern(10));
    EXPECT_FALSE(x.Execute(source, out));
    EXPECT_EQ(out.Size(), 0u);
    EXPECT_EQ(source.Position(), 0u);
    EXPECT_EQ(calls, 2);  // the handler is called even when nothing runs

    x.SetCanExecute(true);
    TMemoryStream big(Pattern(2000));
    ShortSink sink(1500);
    EXPECT_FALSE(x.Execute(big, sink));
    EXPECT_EQ(big.Position(), 2000u);  // the second block was read, then fell short
}

TEST(EzXor, SettersRejectBadValuesAndKeepThePreviousOnes) {
    TEZXor x;
    x.SetMode(XMD_SUBKEYALSO);
    try {
        x.SetMode(static_cast<TXorMode>(2));
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidMode& e) {
        EXPECT_STREQ(e.what(), "Invalid Mode is intended to be setted.");
    }
    EXPECT_EQ(x.Mode(), XMD_SUBKEYALSO);
    try {
        x.SetPassword("");
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidKey& e) {
        EXPECT_STREQ(e.what(), "Password-Length must be greater than 0 byte");
    }
    EXPECT_EQ(x.Password(), "pebble");
    EXPECT_THROW(x.SetMode(static_cast<TXorMode>(255)), std::runtime_error);
    x.SetSubKey(-2147483647 - 1);
    std::string key;
    x.BuildKey(key);
    EXPECT_EQ(key.size(), 66u);  // "-2147483648" (11) and "pebble" (6)
}

}  // namespace
}  // namespace orva
