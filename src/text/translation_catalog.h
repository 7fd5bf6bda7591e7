// TTranslationCatalog: a gettext PO catalog read with libgettextpo into a lookup table
// (msgctxt, msgid) → msgstr, and the keys under which a game's texts are translated.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orva {

// The context of a speaker's name; a message's text is "S:M", an answer of a choice "S:M:K"
// (script number, index in the script's text list, answer counted from 1).
inline constexpr std::string_view kNameContext = "name";
std::string MessageContext(int script, int text);
std::string AnswerContext(int script, int text, int answer);

// One entry of a catalog as the file holds it (obsolete entries are left out).
struct CatalogEntry {
    std::string Context;          // msgctxt, UTF-8 ("" when the entry has none)
    std::string Id;               // msgid
    std::string Str;              // msgstr ("" untranslated)
    bool Fuzzy = false;

    // Shown in play: a non-empty, non-fuzzy translation.
    bool Translated() const { return !Str.empty() && !Fuzzy; }
};

class TTranslationCatalog {
public:
    // Reads a PO file. On failure returns false with `error` set to one line naming the file
    // and, where known, the line ("FILE:LINE: what is wrong"); the catalog is then empty.
    bool Load(const std::filesystem::path& file, std::string& error);

    // The translation of (context, id), or nullptr when the catalog has none that is shown
    // (untranslated, fuzzy or absent).
    const std::string* Find(std::string_view context, std::string_view id) const;

    bool Empty() const { return Entries_.empty(); }
    const std::vector<CatalogEntry>& Entries() const { return Entries_; }
    const std::filesystem::path& File() const { return File_; }

private:
    std::vector<CatalogEntry> Entries_;
    std::map<std::pair<std::string, std::string>, size_t, std::less<>> Index;  // → Entries_ (translated only)
    std::filesystem::path File_;
};

// The language names to try for a locale, best first: "pt_BR.UTF-8@euro" gives {"pt_BR", "pt"};
// "C", "POSIX" and an empty value give none.
std::vector<std::string> LocaleLanguages(std::string_view locale);
// The locale that names the messages' language: the first non-empty of LC_ALL, LC_MESSAGES
// and LANG (each may be null).
std::string MessagesLocale(const char* lcAll, const char* lcMessages, const char* lang);

// A language name as --lang takes it: letters, digits, "_", "-", "@" and "." and no leading
// "." (it names a file inside the game's translations folder, never a path).
bool ValidLanguageName(std::string_view lang);

// The PO file of a language in a game folder: GAMEDIR/translations/LANG.po.
std::filesystem::path TranslationFileFor(const std::filesystem::path& gameDir, std::string_view lang);

// The catalog a run uses: `file` when given; else for `lang` "auto" the first language of
// `locale` whose file exists in the game folder (none: empty); else the named language's
// file. An empty result means the original text. `note` receives one line for the player
// when a named language has no file.
std::filesystem::path ChooseTranslationFile(const std::filesystem::path& gameDir, std::string_view lang,
                                            const std::filesystem::path& file, std::string_view locale,
                                            std::string& note);

}  // namespace orva
