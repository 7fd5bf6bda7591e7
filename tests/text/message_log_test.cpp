// The message log's ring of 256 entries.
#include <gtest/gtest.h>

#include <string>

#include "text/message_log.h"

namespace orva {
namespace {

std::u16string Num(int i) {
    std::u16string s;
    for (char c : std::to_string(i)) s += static_cast<char16_t>(c);
    return s;
}

TEST(MessageLog, NewestFirstAndThe257thDropsTheOldest) {
    TMessageLog log;
    EXPECT_EQ(log.Count(), 0);
    EXPECT_TRUE(log.Entry(0).Text.empty());
    for (int i = 1; i <= 3; ++i) log.Add(Num(i), i == 2 ? u"v002" : u"");
    EXPECT_EQ(log.Count(), 3);
    EXPECT_EQ(log.Entry(0).Text, u"3");
    EXPECT_EQ(log.Entry(1).Voice, u"v002");
    EXPECT_EQ(log.Entry(2).Text, u"1");

    for (int i = 4; i <= 257; ++i) log.Add(Num(i), u"");
    EXPECT_EQ(log.Count(), 256);
    EXPECT_EQ(log.Entry(0).Text, u"257");
    EXPECT_EQ(log.Entry(255).Text, u"2");  // 1 was dropped
    EXPECT_TRUE(log.Entry(256).Text.empty());
    EXPECT_TRUE(log.Entry(-1).Text.empty());

    log.Clear();
    EXPECT_EQ(log.Count(), 0);
    log.Add(u"new", u"");
    EXPECT_EQ(log.Entry(0).Text, u"new");
    EXPECT_TRUE(log.Entry(1).Text.empty());
}

}  // namespace
}  // namespace orva
