// The game's translatable texts as a gettext catalog: every message text, speaker name and
// answer that a script line shows, with its context, references and notes for translators.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace orva {

// One entry of the catalog (UTF-8).
//   Context  "S:M" for message M of script S, "S:M:K" for answer K of choice text M, "name"
//            for a speaker's name.
//   Id       the text as the script holds it (for a spoken message from the "「" on).
struct CatalogEntry {
    std::string Context;
    std::string Id;
    std::vector<std::pair<std::string, int>> References;  // script name, 1-based line index
    std::vector<std::string> Notes;                       // "speaker: …", "voice: …"
};

// The catalog of a game folder, in script-number and line order; an entry shown by several
// lines appears once, at its first line, with every line as a reference.
struct GameCatalog {
    std::vector<CatalogEntry> Entries;
};

// Reads GAMEDIR/SCRIPT.DAT and collects its catalog. False with one line in error when the
// container cannot be read or one of its scripts is damaged.
bool ReadGameCatalog(const std::filesystem::path& gameDir, GameCatalog& out, std::string& error);

// The text a message line shows split into the speaker's name (empty for narration) and
// the text; both keep every control mark.
std::pair<std::string, std::string> SplitSpeaker(const std::string& utf8);

}  // namespace orva
