// Loop-point comments: field splitting and the entries they define.
#include "sound/loop_points.h"

#include <gtest/gtest.h>

namespace orva {
namespace {

using Fields = std::vector<std::string>;

TEST(LoopPoints, FieldsDropBlanksLowerCaseKeepTwoByteCharactersAndStopAtRemarks) {
    EXPECT_EQ(SplitLoopFields("*LoopTime, 0 ,\t10.5,60.25,-1"), (Fields{"*looptime", "0", "10.5", "60.25", "-1"}));
    EXPECT_EQ(SplitLoopFields("a,,b,"), (Fields{"a", "", "b", "", ""}));
    EXPECT_EQ(SplitLoopFields("*looptime,0,1,2//remark,5"), (Fields{"*looptime", "0", "1", "2", ""}));
    // The trail byte of ソ (0x83 0x5C) is not a "\"-like separator and A in a trail byte stays upper case.
    EXPECT_EQ(SplitLoopFields("\x83\x5C,\x83\x41"), (Fields{"\x83\x5C", "\x83\x41", "", "", ""}));
    // A "/" trail byte does not start a remark.
    EXPECT_EQ(SplitLoopFields("\x81//,x"), (Fields{"\x81//", "x", "", "", ""}));
}

TEST(LoopPoints, EntriesComeFromTheFirstCommentTagInSecondsOrSamples) {
    LoopTable t{};
    LoopTable single{};
    ReadLoopPoints({"COMMENT=*looptime,0,10.5,60.25,-1"}, 44100, single);
    EXPECT_FLOAT_EQ(single[0].Start, 10.5f);
    EXPECT_FLOAT_EQ(single[0].End, 60.25f);
    EXPECT_EQ(single[0].Count, -1);

    ReadLoopPoints({"TITLE=x", "comment=*looptime,0,10.5,60.25,-1\r\n"
                                "*LOOPSAMPLE , 1 , 441000 , 2646000 , 3\r\n"
                                "*looptime,2,1,2 // the count is missing\r\n"
                                "*looptime,16,1,2,1\r\n*looptime,-1,1,2,1\r\n"
                                "*looptime,x,7,8,1\r\n"
                                "*looptime,3,a,b,c",
                    "COMMENT=*looptime,5,1,1,1"},
                   44100, t);
    // The index "x" reads as 0: that later line overwrites entry 0.
    EXPECT_FLOAT_EQ(t[0].Start, 7.0f);
    EXPECT_FLOAT_EQ(t[0].End, 8.0f);
    EXPECT_EQ(t[0].Count, 1);
    EXPECT_FLOAT_EQ(t[1].Start, 10.0f);
    EXPECT_FLOAT_EQ(t[1].End, 60.0f);
    EXPECT_EQ(t[1].Count, 3);
    EXPECT_EQ(t[2].Count, -1);
    EXPECT_FLOAT_EQ(t[2].End, 2.0f);
    EXPECT_EQ(t[3].Start, 0.0f);
    EXPECT_EQ(t[3].Count, -1);
    EXPECT_EQ(t[5].Count, 0);  // only the first COMMENT tag counts
    for (int i = 4; i < kLoopEntries; ++i) EXPECT_EQ(t[static_cast<size_t>(i)].Count, 0) << i;
}

}  // namespace
}  // namespace orva
