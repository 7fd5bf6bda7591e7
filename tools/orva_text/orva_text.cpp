// orva-text: the tool of a game's translators. Exports the texts a game shows as a gettext
// template and reports how far a translation of it has come.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "data/file_io.h"
#include "orva_text/game_catalog.h"
#include "orva_text/po_catalog.h"

namespace fs = std::filesystem;
using namespace orva;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // unreadable or damaged input, a failed write, an incomplete --check
constexpr int kExitUsage = 2;    // the command line itself is wrong

constexpr const char* kMainHelp =
    "usage: orva-text COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  export GAMEDIR -o GAME.pot      write the template of every text the game shows\n"
    "  stats GAMEDIR LANG.po [--check] count what a translation covers of the game\n"
    "\n"
    "Every command takes --help. Translations live in GAMEDIR/translations/LANG.po and\n"
    "are played with orva --lang LANG.\n"
    "Exit status: 0 success, 1 failure (bad input, nothing written), 2 wrong command line.\n";

constexpr const char* kExportHelp =
    "usage: orva-text export GAMEDIR -o GAME.pot [--project NAME]\n"
    "\n"
    "Writes a gettext template (UTF-8) of the texts that the message and choice lines of\n"
    "GAMEDIR/SCRIPT.DAT show, in script and line order: each message's text (context\n"
    "\"S:M\": script S, text M), each speaker's name once (context \"name\") and each\n"
    "answer of a choice (context \"S:M:K\", answer K). References give the script's name\n"
    "and line; notes give the speaker and the voice. With -o - the template goes to\n"
    "stdout. --project sets Project-Id-Version (default: the game folder's name).\n"
    "POT-Creation-Date is taken from SOURCE_DATE_EPOCH, else 1970-01-01 00:00+0000,\n"
    "so that the same game always gives the same bytes.\n";

constexpr const char* kStatsHelp =
    "usage: orva-text stats GAMEDIR LANG.po [--check]\n"
    "\n"
    "Reads the translation LANG.po and prints how many of the game's texts it translates,\n"
    "how many are fuzzy (the original shows) or untranslated, and how many of its entries\n"
    "are stale (their context and text are no longer in the game). With --check, every\n"
    "entry that is not finished is listed on stderr and the exit status is 1 unless all\n"
    "texts are translated and nothing is fuzzy or stale.\n";

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

int Fail(const std::string& message) {
    std::fprintf(stderr, "orva-text: %s\n", message.c_str());
    return kExitFailure;
}

int Usage(const char* help, const std::string& message) {
    std::fprintf(stderr, "orva-text: %s\n\n%s", message.c_str(), help);
    return kExitUsage;
}

bool WantsHelp(const std::vector<std::string>& args) {
    for (const auto& arg : args)
        if (IsHelp(arg)) return true;
    return false;
}

// The folder's own name, also for "." or a path ending in "/".
std::string FolderName(const fs::path& dir) {
    std::error_code ec;
    const fs::path full = fs::weakly_canonical(fs::absolute(dir, ec), ec);
    std::string name = (ec ? dir : full).filename().string();
    if (name.empty()) name = (ec ? dir : full).parent_path().filename().string();
    return name.empty() ? "game" : name;
}

int Export(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return std::fputs(kExportHelp, stdout), kExitOk;
    std::string gameDir, output, project;
    bool haveOutput = false, haveProject = false;
    for (size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        if (arg == "-o" || arg == "--project") {
            if (k + 1 >= args.size()) return Usage(kExportHelp, arg + " needs a value");
            (arg == "-o" ? output : project) = args[++k];
            (arg == "-o" ? haveOutput : haveProject) = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage(kExportHelp, "unknown option '" + arg + "'");
        } else if (gameDir.empty()) {
            gameDir = arg;
        } else {
            return Usage(kExportHelp, "one game folder only");
        }
    }
    if (gameDir.empty()) return Usage(kExportHelp, "no game folder given");
    if (!haveOutput || output.empty()) return Usage(kExportHelp, "no output given (-o GAME.pot)");

    PotHeader header;
    header.Project = haveProject ? project : FolderName(gameDir);
    // A header field is one line.
    for (char& c : header.Project)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    std::string error;
    if (!PotCreationDate(std::getenv("SOURCE_DATE_EPOCH"), header.CreationDate, error)) return Fail(error);
    GameCatalog catalog;
    if (!ReadGameCatalog(gameDir, catalog, error)) return Fail(error);
    std::string text;
    if (!FormatPot(catalog, header, text, error)) return Fail(error);
    if (output == "-") {
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
            return Fail("cannot write to stdout");
        return kExitOk;
    }
    if (!WriteFileAtomic(output, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), error))
        return Fail(error);
    return kExitOk;
}

// An entry named for a listing: its context and the start of its text.
std::string Describe(const std::string& context, const std::string& id) {
    std::string shown = id.size() > 60 ? id.substr(0, 60) : id;
    // Do not cut a UTF-8 sequence in half.
    while (!shown.empty() && shown.size() < id.size() && (static_cast<unsigned char>(id[shown.size()]) & 0xC0) == 0x80)
        shown.pop_back();
    return "msgctxt \"" + context + "\" \"" + shown + (shown.size() < id.size() ? "…" : "") + "\"";
}

int Stats(const std::vector<std::string>& args) {
    if (WantsHelp(args)) return std::fputs(kStatsHelp, stdout), kExitOk;
    std::vector<std::string> operands;
    bool check = false;
    for (const auto& arg : args) {
        if (arg == "--check") check = true;
        else if (arg.size() > 1 && arg[0] == '-') return Usage(kStatsHelp, "unknown option '" + arg + "'");
        else operands.push_back(arg);
    }
    if (operands.size() != 2) return Usage(kStatsHelp, "give a game folder and a translation");
    const fs::path po = operands[1];

    std::string error;
    std::vector<PoEntry> entries;
    if (!ReadPo(po, entries, error)) return Fail(error);
    GameCatalog catalog;
    if (!ReadGameCatalog(operands[0], catalog, error)) return Fail(error);
    const TranslationStats stats = CountTranslation(catalog, entries);

    const int percent = stats.Total ? stats.Translated * 100 / stats.Total : 100;
    std::printf("%s: %d of %d texts translated (%d%%)\n", po.string().c_str(), stats.Translated, stats.Total, percent);
    std::printf("translated    %d\nfuzzy         %d\nuntranslated  %d\nstale         %d\n", stats.Translated,
                stats.Fuzzy, stats.Untranslated, stats.Stale);
    if (!check) return kExitOk;
    for (const CatalogEntry* c : stats.UnfinishedEntries)
        std::fprintf(stderr, "%s: not translated: %s\n", po.string().c_str(), Describe(c->Context, c->Id).c_str());
    for (const PoEntry* e : stats.StaleEntries)
        std::fprintf(stderr, "%s: stale: %s\n", po.string().c_str(), Describe(e->Context, e->Id).c_str());
    if (stats.UnfinishedEntries.empty() && stats.StaleEntries.empty()) return kExitOk;
    return Fail(po.string() + " is not complete for " + operands[0]);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage(kMainHelp, "no command given");
    if (IsHelp(args[0])) return std::fputs(kMainHelp, stdout), kExitOk;
    const std::string command = args[0];
    args.erase(args.begin());
    if (command == "export") return Export(args);
    if (command == "stats") return Stats(args);
    return Usage(kMainHelp, "unknown command '" + command + "'");
}
