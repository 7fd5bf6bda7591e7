// The command table: every code has one row, names are unique, and kinds decode per operand.
#include "script/command_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace orva {
namespace {

TEST(CommandTable, EveryCodeHasExactlyOneRowAndUniqueName) {
    const uint16_t codes[] = {0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x20, 0x30, 0x31, 0x32, 0x33, 0x40,
                              0x41, 0x4E, 0x4F, 0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x60, 0x68,
                              0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x7E, 0x7F, 0x80, 0x88, 0x8F, 0xFF};
    for (uint16_t code : codes) {
        const CommandInfo* row = FindCommand(code);
        ASSERT_NE(row, nullptr) << std::hex << code;
        EXPECT_EQ(FindCommandByName(row->Name), row);
    }
    EXPECT_EQ(CommandTable().size(), std::size(codes));
    EXPECT_EQ(FindCommand(0x014E), nullptr);  // exact match only
    EXPECT_EQ(FindCommand(0x00), nullptr);
    EXPECT_EQ(FindCommandByName("JUMP"), nullptr);

    std::set<std::string_view> names;
    for (const auto& row : CommandTable()) {
        EXPECT_TRUE(names.insert(row.Name).second) << row.Name;
        // Every written operand is a used slot, and every used slot is written.
        int used = 0;
        for (auto role : row.Roles) used += role != OperandRole::Unused;
        EXPECT_EQ(WrittenOperandCount(row), used) << row.Name;
        for (int k = 0; k < WrittenOperandCount(row); ++k)
            EXPECT_NE(row.Roles[size_t(row.Order[k])], OperandRole::Unused) << row.Name;
        EXPECT_LE(row.Required, WrittenOperandCount(row)) << row.Name;
    }
}

TEST(CommandTable, RolesAndPassEndsOfKeyCommands) {
    EXPECT_EQ(FindCommand(0x40)->Roles[0], OperandRole::Label);
    EXPECT_EQ(FindCommand(0x40)->Roles[4], OperandRole::Script);
    EXPECT_EQ(FindCommand(0x40)->Ends, PassEnd::Always);
    EXPECT_EQ(FindCommand(0x60)->Roles[0], OperandRole::Text);
    EXPECT_EQ(FindCommand(0x60)->Roles[4], OperandRole::Voice);
    EXPECT_EQ(FindCommand(0x60)->Defaults[4], -1);  // no voice unless written
    EXPECT_EQ(FindCommand(0x50)->Roles[0], OperandRole::Destination);
    EXPECT_EQ(FindCommand(0x70)->Roles[0], OperandRole::BlockKey);
    EXPECT_EQ(FindCommand(0x88)->Ends, PassEnd::Conditional);
    EXPECT_EQ(FindCommand(0x4F)->Ends, PassEnd::Conditional);
    EXPECT_EQ(FindCommand(0x50)->Ends, PassEnd::Never);
    EXPECT_EQ(FindCommand(0x4E)->Ends, PassEnd::Never);
    EXPECT_EQ(FindCommand(0x13)->Roles[0], OperandRole::Position);
}

TEST(CommandTable, DecodeKindsSplitsTwoBitsPerOperandAndTheShowBit) {
    const DecodedKinds a = DecodeKinds(0x0005);  // P1 and P2 scenario variables
    EXPECT_EQ(a.Kind, (std::array<uint8_t, 5>{1, 1, 0, 0, 0}));
    EXPECT_FALSE(a.Show);
    const DecodedKinds b = DecodeKinds(0x0009);  // P1 scenario, P2 system
    EXPECT_EQ(b.Kind, (std::array<uint8_t, 5>{1, 2, 0, 0, 0}));
    const DecodedKinds c = DecodeKinds(0x0003);  // P1 work, P2 literal
    EXPECT_EQ(c.Kind, (std::array<uint8_t, 5>{3, 0, 0, 0, 0}));
    const DecodedKinds d = DecodeKinds(0x0014);  // P2 and P3 scenario, the key stays literal
    EXPECT_EQ(d.Kind, (std::array<uint8_t, 5>{0, 1, 1, 0, 0}));
    const DecodedKinds e = DecodeKinds(0x8300);  // P5 work and the show bit
    EXPECT_EQ(e.Kind, (std::array<uint8_t, 5>{0, 0, 0, 0, 3}));
    EXPECT_TRUE(e.Show);
    // Bits 10..14 are not operand kinds and are dropped by a decode/encode cycle.
    const DecodedKinds f = DecodeKinds(0x7C00);
    EXPECT_EQ(f.Kind, (std::array<uint8_t, 5>{0, 0, 0, 0, 0}));
    EXPECT_FALSE(f.Show);
    EXPECT_EQ(EncodeKinds(DecodeKinds(0xFFFF)), 0x83FF);
    EXPECT_EQ(EncodeKinds(e), 0x8300);
}

}  // namespace
}  // namespace orva
