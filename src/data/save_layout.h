// The engine's persistent records as file byte layouts (SystemBlock, GameRec, ConfigRec), with
// every offset checked by the compiler, and the constants that go with them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orva {

constexpr int kVarCount = 512;          // variables per array, addressed 1..512
constexpr int kReturnEntries = 16;      // ReturnTbl entries 1..16
constexpr int kKidokuBlock = 16384;     // KidokuTbl bytes per script number
constexpr int kKidokuSize = 16 * kKidokuBlock;
constexpr int kSaveSlots = 100;         // slot 100 is the quick save
constexpr int kQuickSaveSlot = 100;

#pragma pack(push, 1)

struct ReturnEntry {
    int16_t Script;  // script number to return to (0: none)
    int16_t Step;    // index of the call line
};

// One game: the current game, and the layout of each save slot.
struct GameRec {
    uint8_t InUse;                        // 1 when the record holds a saved game
    uint8_t Reserved1[7];
    double SaveTime;                      // days since 1899-12-30, time of day as the fraction
    int16_t ScenarioFlg[kVarCount];       // scenario variables 1..512 at [0..511]
    int16_t ScriptNo;                     // number of the loaded script entry
    uint8_t Reserved2[2];
    int32_t ScriptStep;                   // current line of LineTbl; -1 before the first line
    ReturnEntry ReturnTbl[kReturnEntries]; // entries 1..16 at [0..15]
    int16_t ReturnCount;
    uint8_t Reserved3[10];
    char BgLayerName[44];                 // LayerName of the background layer
    char LayerName[5][32];                // LayerName of character layers 1..5 at [0..4]
    uint8_t Reserved3b[20];
    int32_t LayerPos[5][2];               // x, y of layers 1..5
    int32_t LayerAlpha[5];                // opacity 0..255 of layers 1..5
    char MusicName[36];
    uint8_t MusicLoop;
    uint8_t AltMusic;                     // the alternative music version is chosen
    char EffectName[3][32];               // effect slots 1..3
    uint8_t Reserved4[2];
    uint32_t DebugValues[3];              // shown by the debug window only; nothing sets them
    uint8_t EffectLoop[3];
    uint8_t CursorShown;                  // system command 1
    uint8_t MenuButtonsAllowed;           // system command 2
    uint8_t SkipAllowed;                  // system command 3
    uint8_t Reserved5[2];
    char Comment[33];                     // the player's save comment, at most 30 bytes
    uint8_t Reserved6[3];
};

// The configuration, changed by the configuration menu and Alt+Return.
struct ConfigRec {
    uint8_t ScreenMode;       // 1 full screen, 0 window
    uint8_t ScreenEffects;    // screen transitions shown
    int16_t BgmVolume;        // percent
    int16_t SeVolume;         // percent
    int16_t VoiceVolume;      // percent
    uint8_t VoiceCarryOn;     // a voice plays on when the script moves on
    uint8_t Reserved1;
    int16_t TextSpeed;        // 100 = whole message at once
    int16_t AutoWait;         // auto-mode speed
    int16_t MessageFont;      // 0 Mincho, 1 Gothic
    int16_t WindowColour;     // message window design
    int16_t WindowOpacity;    // message window opacity, percent
    uint8_t DetachedWindow;   // message window shown as its own window; cleared at every start
    uint8_t Reserved2[11];
};

// Everything kept between runs; its byte image is the system save file.
struct SystemBlock {
    GameRec Game;                        // the current game
    int16_t SystemFlg[kVarCount];        // system variables 1..512 at [0..511]
    uint8_t KidokuTbl[kKidokuSize];      // read-text bits, block n for script n
    ConfigRec Config;
    GameRec SaveSlots[kSaveSlots];       // slots 1..100 at [0..99]
};

#pragma pack(pop)

static_assert(offsetof(GameRec, InUse) == 0);
static_assert(offsetof(GameRec, SaveTime) == 8);
static_assert(offsetof(GameRec, ScenarioFlg) == 16);
static_assert(offsetof(GameRec, ScriptNo) == 1040);
static_assert(offsetof(GameRec, ScriptStep) == 1044);
static_assert(offsetof(GameRec, ReturnTbl) == 1048);
static_assert(offsetof(GameRec, ReturnCount) == 1112);
static_assert(offsetof(GameRec, BgLayerName) == 1124);
static_assert(offsetof(GameRec, LayerName) == 1168);
static_assert(offsetof(GameRec, LayerPos) == 1348);
static_assert(offsetof(GameRec, LayerAlpha) == 1388);
static_assert(offsetof(GameRec, MusicName) == 1408);
static_assert(offsetof(GameRec, MusicLoop) == 1444);
static_assert(offsetof(GameRec, AltMusic) == 1445);
static_assert(offsetof(GameRec, EffectName) == 1446);
static_assert(offsetof(GameRec, DebugValues) == 1544);
static_assert(offsetof(GameRec, EffectLoop) == 1556);
static_assert(offsetof(GameRec, CursorShown) == 1559);
static_assert(offsetof(GameRec, MenuButtonsAllowed) == 1560);
static_assert(offsetof(GameRec, SkipAllowed) == 1561);
static_assert(offsetof(GameRec, Comment) == 1564);
static_assert(sizeof(GameRec) == 1600);

static_assert(offsetof(ConfigRec, ScreenMode) == 0);
static_assert(offsetof(ConfigRec, ScreenEffects) == 1);
static_assert(offsetof(ConfigRec, BgmVolume) == 2);
static_assert(offsetof(ConfigRec, SeVolume) == 4);
static_assert(offsetof(ConfigRec, VoiceVolume) == 6);
static_assert(offsetof(ConfigRec, VoiceCarryOn) == 8);
static_assert(offsetof(ConfigRec, TextSpeed) == 10);
static_assert(offsetof(ConfigRec, AutoWait) == 12);
static_assert(offsetof(ConfigRec, MessageFont) == 14);
static_assert(offsetof(ConfigRec, WindowColour) == 16);
static_assert(offsetof(ConfigRec, WindowOpacity) == 18);
static_assert(offsetof(ConfigRec, DetachedWindow) == 20);
static_assert(sizeof(ConfigRec) == 32);

static_assert(offsetof(SystemBlock, Game) == 0);
static_assert(offsetof(SystemBlock, SystemFlg) == 1600);
static_assert(offsetof(SystemBlock, KidokuTbl) == 2624);
static_assert(offsetof(SystemBlock, Config) == 264768);
static_assert(offsetof(SystemBlock, SaveSlots) == 264800);
static_assert(sizeof(SystemBlock) == 424800);

constexpr size_t kSystemBlockSize = sizeof(SystemBlock);

// The configuration a first start writes.
constexpr ConfigRec DefaultConfig() {
    ConfigRec c{};
    c.ScreenMode = 0;
    c.ScreenEffects = 1;
    c.BgmVolume = c.SeVolume = c.VoiceVolume = 75;
    c.VoiceCarryOn = 1;
    c.TextSpeed = 50;
    c.AutoWait = 50;
    c.MessageFont = 0;
    c.WindowColour = 0;
    c.WindowOpacity = 75;
    c.DetachedWindow = 0;
    return c;
}

}  // namespace orva
