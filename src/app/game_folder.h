// Which game folder a run plays when the command line names none: the program's own folder,
// the last folder played (remembered under the user's config folder), a folder the user picks,
// or the installed demo. The choice is a pure function; the file and picker I/O sit beside it.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orva {

enum class GameFolderSource {
    Named,          // --game DIR, used as given
    BesideProgram,  // SCRIPT.DAT lies in the program's own folder
    Remembered,     // the last folder that started a game
    Picked,         // chosen in the folder picker just now
    Demo,           // the bundled demo game
    None            // nothing to play
};

struct GameFolderRequest {
    std::filesystem::path Named;                 // --game DIR, empty when not given
    std::filesystem::path ProgramDir;            // the executable's folder
    std::optional<std::filesystem::path> Remembered;  // the remembered folder, if any
    std::vector<std::filesystem::path> Demos;    // demo folders, first playable wins
    bool Headless = false;                       // headless runs never remember nor pick
    bool Pick = false;                           // --pick: ask again, ignoring the remembered folder
};

struct GameFolderPlan {
    std::filesystem::path Dir;                   // the folder to play (empty with None)
    GameFolderSource Source = GameFolderSource::None;
    bool Remember = false;                       // store Dir once it has started a game
    std::vector<std::string> Notes;              // lines for the user (stderr), in order
};

// True when a folder holds a game (its SCRIPT.DAT exists).
using GameProbe = std::function<bool(const std::filesystem::path&)>;
// Shows a folder picker; nullopt when the user cancels or no picker exists.
using FolderPicker = std::function<std::optional<std::filesystem::path>()>;

GameFolderPlan ChooseGameFolder(const GameFolderRequest& request, const GameProbe& isGame,
                                const FolderPicker& pick);

// The remembered-folder file's text: one absolute path and a newline. Parsing takes the first
// line and refuses relative or empty paths (a damaged file means "nothing remembered").
std::string FormatRememberedFolder(const std::filesystem::path& dir);
std::optional<std::filesystem::path> ParseRememberedFolder(const std::string& text);

// $XDG_CONFIG_HOME/orva, or ~/.config/orva; empty when neither variable gives an absolute path.
std::filesystem::path ConfigFolder(const char* xdgConfigHome, const char* home);

// ---- I/O ------------------------------------------------------------------------------------

// The remembered folder stored in `configDir` (nullopt when none or unreadable).
std::optional<std::filesystem::path> ReadRememberedFolder(const std::filesystem::path& configDir);
// Stores `dir` through a temporary file and a rename, so a crash never leaves half a path.
// False with `error` set when the folder cannot be written; nothing else changes then.
bool WriteRememberedFolder(const std::filesystem::path& configDir, const std::filesystem::path& dir,
                           std::string& error);

// SCRIPT.DAT exists in `dir`.
bool HoldsGame(const std::filesystem::path& dir);

// Asks the desktop's folder picker (zenity, else kdialog) when a display is present.
std::optional<std::filesystem::path> PickFolderWithDesktopDialog();

}  // namespace orva
