// The frame loop's modes: every value EngineMode takes, and the mode table that gives each one
// its name, the step the frame loop runs for it and the routine that paints its activity.
//
// Values group by activity: 0x2000 fades, 0x6000 text, 0x70xx01 and 0x70xx02 a menu's entering
// and waiting steps, 0x80xxxx waits and the restore of a saved game.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace orva {

class TForm1;

enum class Mode : int32_t {
    Startup = -1,                  // the first pass loads script 1
    Script = 0,                    // the interpreter runs lines
    ScriptFade = 0x2001,           // the script's transition to the next scene
    FadeToPrevMode = 0x2091,       // a fade that ends in PrevMode (menus, a restored game)
    MessagePrint = 0x6001,         // a message prints; the painting advances it
    MessageWait = 0x6002,          // a message stands complete and waits for the player
    ChoiceWait = 0x6802,           // a choice waits for an answer
    TitleMenuEnter = 0x700101,
    TitleMenuWait = 0x700102,
    AlbumMenuEnter = 0x700201,
    AlbumMenuWait = 0x700202,
    MusicRoomEnter = 0x700301,
    MusicRoomWait = 0x700302,
    GalleryEnter = 0x700401,
    GalleryWait = 0x700402,
    GalleryViewEnter = 0x700491,   // one gallery picture shown whole
    GalleryViewWait = 0x700492,
    SceneReplayEnter = 0x700501,
    SceneReplayWait = 0x700502,
    ConfigMenuEnter = 0x700601,
    ConfigMenuWait = 0x700602,
    SaveMenuEnter = 0x700701,
    SaveMenuWait = 0x700702,
    Restore = 0x800001,            // a loaded game rebuilds its scene
    TimedWait = 0x800101,          // the script's wait for a time (clickable or not)
    KeyWait = 0x800102,            // the script's wait for Return, Ctrl or a click
    MovieWait = 0x800103,          // a movie plays in the story
    AlbumMovieWait = 0x800104,     // a movie plays from the album
};

constexpr int32_t ModeValue(Mode mode) { return static_cast<int32_t>(mode); }

// What a mode adds to a painted frame beyond its draw routine.
inline constexpr uint8_t kFrameShown = 0;        // the frame is presented and counted
inline constexpr uint8_t kFrameMenuScreen = 1;   // the menu drawn into MenuScreen covers the frame
inline constexpr uint8_t kFrameHeld = 2;         // composed, but neither presented nor counted

using ModeRoutine = void (TForm1::*)();

// One row of the mode table. A mode without a step runs nothing in its pass (a printing message
// advances inside its draw routine). Every draw routine runs on every painted frame, whatever
// the mode, in the order of its first row, and decides itself whether its element shows.
struct ModeRow {
    Mode Value;
    std::string_view Name;
    ModeRoutine Step;       // the frame loop's step in this mode, or null
    ModeRoutine Draw;       // the painting routine of the mode's activity, or null
    uint8_t Frame;          // kFrame… flags
};

// The whole table, rows in painting order (app/mode_table_form.cpp).
std::span<const ModeRow> ModeTable();
// The row of a mode value; null for a value no row has.
const ModeRow* FindModeRow(Mode mode);
// The mode's name; empty for a value no row has.
std::string_view ModeName(Mode mode);
// The value as the trace writes it: "0x6002", "-0x1".
std::string ModeHex(Mode mode);
// "0x6002 MessageWait", for test failure messages and logs.
std::ostream& operator<<(std::ostream& out, Mode mode);

}  // namespace orva
