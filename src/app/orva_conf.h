// The user's settings file, $XDG_CONFIG_HOME/orva/orva.conf (default ~/.config/orva/): one
// "key = value" a line, "#" comment lines and blank lines. It holds what a player wants on
// every start (the text out, the language of a translation); the command line wins over it,
// and headless runs and --check never read it, so their results depend on their arguments alone.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/options.h"
#include "textout/text_out_target.h"

namespace orva {

inline constexpr const char* kConfFileName = "orva.conf";

// The settings a file gave; a key the file leaves out stays empty.
struct OrvaConf {
    std::optional<TextOutTarget> TextOut;             // text-out = clipboard | websocket[:PORT] | off
    std::optional<std::string> Lang;                  // lang = the language to play in, e.g. en
    std::optional<std::filesystem::path> Translation; // translation = a catalog file (a relative path
                                                      // is taken from the file's folder, ~/ from $HOME)
};

// Parses a settings file's text. A malformed line or a bad value gives a warning naming its
// line and is skipped; an unknown key is warned about once and ignored; for a key given twice
// the last line counts. `file` names the file in the warnings and anchors relative paths.
OrvaConf ParseOrvaConf(std::string_view text, const std::filesystem::path& file, const char* home,
                       std::vector<std::string>& warnings);
// Reads configDir/orva.conf. A missing file gives no settings and no warning.
OrvaConf ReadOrvaConf(const std::filesystem::path& configDir, const char* home, std::vector<std::string>& warnings);
// Fills in what the command line left open from the file: the text out, and the language and
// catalog when the command line names neither.
void ApplyOrvaConf(const OrvaConf& conf, CommandLine& cmd);

}  // namespace orva
