// Gettext files through libgettextpo: the game's catalog written as a template (.pot), a
// translation (.po) read back, and how far a translation covers the game.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "orva_text/game_catalog.h"

namespace orva {

// The header fields of a template that are not fixed.
struct PotHeader {
    std::string Project;       // Project-Id-Version
    std::string CreationDate;  // POT-Creation-Date, "YYYY-MM-DD HH:MM+0000"
};

// The creation date of a template: $SOURCE_DATE_EPOCH (seconds, UTC) when given, else the
// epoch itself, so that the same game always gives the same template. False with error
// when the variable is set but not a number of seconds.
bool PotCreationDate(const char* sourceDateEpoch, std::string& date, std::string& error);

// The template's bytes: a header entry and one entry per catalog entry, in catalog order.
bool FormatPot(const GameCatalog& catalog, const PotHeader& header, std::string& text, std::string& error);

// One active (not obsolete) entry of a translation; the header is left out.
struct PoEntry {
    std::string Context;
    std::string Id;
    std::string Str;  // the translation (for a plural entry, its first form)
    bool Fuzzy = false;
};

// Reads a translation. False with one line "FILE:LINE: reason" (or "FILE: reason") when the
// file cannot be read, does not parse, or is not in UTF-8.
bool ReadPo(const std::filesystem::path& path, std::vector<PoEntry>& entries, std::string& error);

// How a translation covers a game's catalog. Template entries the translation lacks count
// as untranslated; entries whose context and text the template no longer has are stale.
struct TranslationStats {
    int Total = 0;          // entries of the template
    int Translated = 0;     // a text and no fuzzy mark
    int Fuzzy = 0;          // marked fuzzy (the original shows)
    int Untranslated = 0;   // empty or missing
    int Stale = 0;          // in the translation only
    std::vector<const PoEntry*> StaleEntries;                // in file order
    std::vector<const CatalogEntry*> UnfinishedEntries;      // fuzzy or untranslated, in template order
};
TranslationStats CountTranslation(const GameCatalog& catalog, const std::vector<PoEntry>& entries);

}  // namespace orva
