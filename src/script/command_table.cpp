// The rows of the script command table.
#include "script/command_table.h"

#include <iterator>

namespace orva {

namespace {

using R = OperandRole;
constexpr R U = R::Unused;

constexpr std::array<int, kOperandCount> Ord(int a = -1, int b = -1, int c = -1, int d = -1, int e = -1) {
    return {a, b, c, d, e};
}
constexpr std::array<int32_t, kOperandCount> kNoDefaults{0, 0, 0, 0, 0};

constexpr CommandInfo kCharRow(uint16_t code, std::string_view name, std::string_view summary) {
    return {code, name, {R::Position, U, U, U, R::File}, PassEnd::Never, summary, Ord(0, 4), 2, kNoDefaults, false};
}
constexpr CommandInfo kSoundRow(uint16_t code, std::string_view name, int32_t loop, std::string_view summary) {
    return {code, name, {R::Value, R::Value, U, U, R::File}, PassEnd::Never, summary, Ord(4, 0, 1), 1,
            {loop, 0, 0, 0, 0}, false};
}
constexpr CommandInfo kArithRow(uint16_t code, std::string_view name, std::string_view summary) {
    return {code, name, {R::Destination, R::Value, R::Value, U, U}, PassEnd::Never, summary, Ord(0, 1, 2), 3,
            kNoDefaults, false};
}
constexpr CommandInfo kIfRow(uint16_t code, std::string_view name, std::string_view summary) {
    return {code, name, {R::BlockKey, R::Value, R::Value, U, U}, PassEnd::Never, summary, Ord(0, 1, 2), 3,
            kNoDefaults, false};
}

constexpr CommandInfo kTable[] = {
    {kCodeBackground, "bg", {U, U, U, U, R::File}, PassEnd::Never, "show a background picture", Ord(4), 1, kNoDefaults, false},
    kCharRow(kCodeCharacter1, "char1", "load character layer 1 (shown with the show bit)"),
    kCharRow(kCodeCharacter2, "char2", "load character layer 2 (shown with the show bit)"),
    kCharRow(kCodeCharacter3, "char3", "load character layer 3 (shown with the show bit)"),
    kCharRow(kCodeCharacter4, "char4", "load character layer 4 (shown with the show bit)"),
    kCharRow(kCodeCharacter5, "char5", "load character layer 5 (shown with the show bit)"),
    {kCodeTransition, "trans", {U, U, U, U, U}, PassEnd::Always, "screen transition to the new scene", Ord(), 0, kNoDefaults, false},
    kSoundRow(kCodeMusic, "bgm", 1, "play music: file, loop, fade-in seconds"),
    kSoundRow(kCodeEffect1, "se1", 0, "play an effect in slot 1: file, loop, fade-in seconds"),
    kSoundRow(kCodeEffect2, "se2", 0, "play an effect in slot 2: file, loop, fade-in seconds"),
    kSoundRow(kCodeEffect3, "se3", 0, "play an effect in slot 3: file, loop, fade-in seconds"),
    {kCodeJump, "jump", {R::Label, U, U, U, R::Script}, PassEnd::Always, "jump to a label, in another script when given",
     Ord(4, 0), 2, kNoDefaults, true},
    {kCodeCall, "call", {R::Label, U, U, U, R::Script}, PassEnd::Always, "call a label; return comes back after this line",
     Ord(4, 0), 2, kNoDefaults, true},
    {kCodeLabel, "label", {R::LabelNumber, U, U, U, U}, PassEnd::Never, "label marker (written *name)", Ord(0), 1,
     kNoDefaults, false},
    {kCodeReturn, "return", {U, U, U, U, U}, PassEnd::Conditional, "return after the last call line", Ord(), 0,
     kNoDefaults, false},
    {kCodeSet, "set", {R::Destination, R::Value, U, U, U}, PassEnd::Never, "store a value", Ord(0, 1), 2, kNoDefaults,
     false},
    kArithRow(kCodeAdd, "add", "store the 16-bit sum"),
    kArithRow(kCodeSubtract, "sub", "store the 16-bit difference"),
    kArithRow(kCodeMultiply, "mul", "store the low 16 bits of the product"),
    kArithRow(kCodeDivide, "div", "store the quotient toward zero (0 for division by zero)"),
    kArithRow(kCodeModulo, "mod", "store the remainder with the dividend's sign (0 for division by zero)"),
    kArithRow(kCodeRandom, "rand", "store a random number between two values"),
    {kCodeMessage, "msg", {R::Text, R::Value, U, U, R::Voice}, PassEnd::Always, "show a message: text, voice, voice style",
     Ord(0, 4, 1), 1, {0, 0, 0, 0, -1}, false},
    {kCodeChoice, "choice", {R::Text, R::Value, U, U, U}, PassEnd::Always, "offer a choice; the pick goes to W1",
     Ord(0, 1), 1, kNoDefaults, false},
    kIfRow(kCodeIfEqual, "if_eq", "run the block when the values are equal"),
    kIfRow(kCodeIfNotEqual, "if_ne", "run the block when the values differ"),
    kIfRow(kCodeIfLess, "if_lt", "run the block when the first value is less"),
    kIfRow(kCodeIfGreater, "if_gt", "run the block when the first value is greater"),
    kIfRow(kCodeIfLessOrEqual, "if_le", "run the block when the first value is not greater"),
    kIfRow(kCodeIfGreaterOrEqual, "if_ge", "run the block when the first value is not less"),
    {kCodeElse, "else", {R::BlockKey, U, U, U, U}, PassEnd::Never, "skip to the end of the block", Ord(0), 1,
     kNoDefaults, false},
    {kCodeBlockEnd, "end", {R::BlockKey, U, U, U, U}, PassEnd::Never, "block end marker", Ord(0), 1, kNoDefaults, false},
    {kCodeWait, "wait", {R::Time, R::Value, U, U, U}, PassEnd::Conditional,
     "wait milliseconds (clickable when the second value is not 0); -1 for a key", Ord(0, 1), 1, kNoDefaults, false},
    {kCodeSystem, "system", {R::Selector, R::Value, U, U, U}, PassEnd::Conditional, "system function", Ord(0, 1), 1,
     kNoDefaults, false},
    {kCodeSkipEnd, "skipend", {U, U, U, U, U}, PassEnd::Always, "end of a skippable section", Ord(), 0, kNoDefaults, false},
    {kCodeEndOfScript, "endscript", {U, U, U, U, U}, PassEnd::Always, "end of the script", Ord(), 0, kNoDefaults, false},
};

}  // namespace

std::span<const CommandInfo> CommandTable() { return kTable; }

// Every code fits in a byte; the interpreter looks one up for each line it runs.
constexpr std::array<int16_t, 256> kRowOfCode = [] {
    std::array<int16_t, 256> rows{};
    rows.fill(-1);
    for (size_t i = 0; i < std::size(kTable); ++i) rows[kTable[i].Code] = static_cast<int16_t>(i);
    return rows;
}();

const CommandInfo* FindCommand(uint16_t code) {
    if (code >= kRowOfCode.size() || kRowOfCode[code] < 0) return nullptr;
    return &kTable[size_t(kRowOfCode[code])];
}

const CommandInfo* FindCommandByName(std::string_view name) {
    for (const auto& row : kTable)
        if (row.Name == name) return &row;
    return nullptr;
}

int WrittenOperandCount(const CommandInfo& info) {
    int n = 0;
    while (n < kOperandCount && info.Order[n] >= 0) ++n;
    return n;
}

DecodedKinds DecodeKinds(uint16_t kinds) {
    DecodedKinds d{};
    for (int j = 0; j < kOperandCount; ++j) d.Kind[j] = static_cast<uint8_t>((kinds >> (2 * j)) & 3);
    d.Show = (kinds & kKindsShowBit) != 0;
    return d;
}

uint16_t EncodeKinds(const DecodedKinds& kinds) {
    uint16_t w = kinds.Show ? kKindsShowBit : 0;
    for (int j = 0; j < kOperandCount; ++j) w |= static_cast<uint16_t>((kinds.Kind[j] & 3) << (2 * j));
    return w;
}

}  // namespace orva
