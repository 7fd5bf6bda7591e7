// Where screenshots go: the user's pictures folder as xdg-user-dirs records it, and a file
// name from the local time that never replaces an earlier shot. A core without the form; the
// F12 key and the pad's X are handled in app/screenshot_form.cpp.
#pragma once

#include <ctime>
#include <filesystem>
#include <optional>
#include <string_view>

namespace orva {

// XDG_PICTURES_DIR from the text of a user-dirs.dirs file: lines `XDG_PICTURES_DIR="$HOME/Pictures"`
// or `XDG_PICTURES_DIR="/absolute/path"`, `#` comments, backslash escapes inside the quotes;
// `$HOME` is expanded with `home`. The last valid line wins; nullopt when none is.
std::optional<std::filesystem::path> ParsePicturesDir(std::string_view userDirs, const std::filesystem::path& home);

// The pictures folder: XDG_PICTURES_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (~/.config when
// that variable is unset or relative), else ~/Pictures. Empty when HOME gives no absolute path.
std::filesystem::path PicturesDir(const char* xdgConfigHome, const char* home);

// The first free name in `folder` for a shot taken at `local`: orva-YYYYMMDD-HHMMSS.png, then
// orva-YYYYMMDD-HHMMSS-2.png, -3 … when that second already has shots.
std::filesystem::path ScreenshotPath(const std::filesystem::path& folder, const std::tm& local);

}  // namespace orva
