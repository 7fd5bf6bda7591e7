// The script command table as data: one row per command code with its mnemonic, the role
// of each operand, whether it ends the interpreter's pass, and its text-form syntax.
// The interpreter, the trace, the debug window and orva-asm all read this one table.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace orva {

// The command codes, one per row of the table below; a line's low code byte is one of them.
enum CommandCode : uint16_t {
    kCodeBackground = 0x10,
    kCodeCharacter1 = 0x11,
    kCodeCharacter2 = 0x12,
    kCodeCharacter3 = 0x13,
    kCodeCharacter4 = 0x14,
    kCodeCharacter5 = 0x15,
    kCodeTransition = 0x20,
    kCodeMusic = 0x30,
    kCodeEffect1 = 0x31,
    kCodeEffect2 = 0x32,
    kCodeEffect3 = 0x33,
    kCodeJump = 0x40,
    kCodeCall = 0x41,
    kCodeLabel = 0x4E,
    kCodeReturn = 0x4F,
    kCodeSet = 0x50,
    kCodeAdd = 0x51,
    kCodeSubtract = 0x52,
    kCodeMultiply = 0x53,
    kCodeDivide = 0x54,
    kCodeModulo = 0x55,
    kCodeRandom = 0x56,
    kCodeMessage = 0x60,
    kCodeChoice = 0x68,
    kCodeIfEqual = 0x70,
    kCodeIfNotEqual = 0x71,
    kCodeIfLess = 0x72,
    kCodeIfGreater = 0x73,
    kCodeIfLessOrEqual = 0x74,
    kCodeIfGreaterOrEqual = 0x75,
    kCodeElse = 0x7E,
    kCodeBlockEnd = 0x7F,
    kCodeWait = 0x80,
    kCodeSystem = 0x88,
    kCodeSkipEnd = 0x8F,
    kCodeEndOfScript = 0xFF,
};

// The system command's selectors (its first operand).
enum SystemSelector : int32_t {
    kSystemCursor = 1,             // show (1) or hide (0) the mouse cursor
    kSystemMenuButtons = 2,        // allow the window's menu buttons
    kSystemSkip = 3,               // allow skipping
    kSystemSkippableSection = 7,   // start (1) or end (0) a section any advance input skips
    kSystemTitle = 101,            // open the title menu; the story resumes from this line
    kSystemStopVoice = 444,        // stop the voice
};

// What an operand slot means for a command.
enum class OperandRole : uint8_t {
    Unused,       // not read; written as 0
    Value,        // a number (literal or variable) used as it is
    Destination,  // names the variable a result is stored in (by its kind and index)
    Label,        // index into JumpNames: the label a jump or call goes to
    LabelNumber,  // index into LabelNames: the label this marker line defines
    File,         // index into FileNames: a picture or sound name
    Voice,        // index into FileNames (VoiceNames), -1 for no voice
    Text,         // index into MsgTexts: message or choice text, also the read-text number
    BlockKey,     // key that ties a condition to its else and block-end lines
    Selector,     // which system function
    Position,     // character position: 1 left, 2 centre, 3 right
    Script,       // script number (0: stay in the loaded script)
    Time,         // milliseconds, or a negative wait kind
};

// Whether executing the command returns from the interpreter's pass.
enum class PassEnd : uint8_t { Never, Always, Conditional };

constexpr int kOperandCount = 5;  // P1..P5

struct CommandInfo {
    uint16_t Code;
    std::string_view Name;                          // assembler mnemonic
    std::array<OperandRole, kOperandCount> Roles;   // P1..P5
    PassEnd Ends;
    std::string_view Summary;                       // one line for listings
    // Text form: the operand slots (0..4) in the order they are written; -1 ends the list.
    std::array<int, kOperandCount> Order;
    uint8_t Required;                               // leading operands of Order that must be written
    std::array<int32_t, kOperandCount> Defaults;    // P1..P5 when not written
    bool LeadingOptional;                           // Order[0] may be left out (then the rest are all written)
};

// Every command, in code order.
std::span<const CommandInfo> CommandTable();
// The row of a code (exact 16-bit match), or nullptr.
const CommandInfo* FindCommand(uint16_t code);
// The row of a mnemonic (exact, case-sensitive), or nullptr.
const CommandInfo* FindCommandByName(std::string_view name);
// Operands a row writes in its text form.
int WrittenOperandCount(const CommandInfo& info);

// Operand kinds of a kinds word.
enum OperandKind : uint8_t { kKindLiteral = 0, kKindScenario = 1, kKindSystem = 2, kKindWork = 3 };

struct DecodedKinds {
    std::array<uint8_t, kOperandCount> Kind;  // OperandKind of P1..P5
    bool Show;                                // bit 15: the character layer is shown
};

// Bits 2j and 2j+1 are the kind of operand j; bit 15 is the show bit; bits 10..14 unused.
DecodedKinds DecodeKinds(uint16_t kinds);
uint16_t EncodeKinds(const DecodedKinds& kinds);
constexpr uint16_t kKindsShowBit = 0x8000;
constexpr uint16_t kKindsUnusedBits = 0x7C00;

}  // namespace orva
