// orva-routes: explores every route of a game from the title's "new game" on the headless
// engine and reports choices, endings, what no route reaches, and a route map.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "text/translation_catalog.h"
#include "data/file_io.h"
#include "explorer.h"
#include "route_report.h"

namespace {

constexpr const char* kHelp =
    "usage: orva-routes [OPTIONS] GAMEDIR\n"
    "Plays the game in GAMEDIR from the title's \"new game\", follows every answer of every choice\n"
    "and every outcome of every random draw, and reports the routes.\n"
    "\n"
    "  --save SAVE.DAT    take the system variables from this system save file\n"
    "  --max-states N     explore at most N distinct states (default 100000)\n"
    "  --lang LANG        also check the translation GAMEDIR/translations/LANG.po: its messages\n"
    "                     that do not fit in three lines on some route\n"
    "  --translation FILE.po  the same for this catalog\n"
    "  --json FILE        write the report as JSON\n"
    "  --dot FILE         write the route map as a Graphviz DOT graph\n"
    "  --svg FILE         write the route map as SVG\n"
    "  --quiet            print no summary\n"
    "  --help             show this help\n"
    "\n"
    "Exit status: 0 when every message is reached and nothing is wrong; 1 when a message is\n"
    "not reached, a route uses a missing file, a message does not fit or exploration was cut\n"
    "short; 2 on a wrong command line or a game that cannot start.\n";

int Usage(const std::string& message) {
    std::cerr << "orva-routes: " << message << "\n" << "Try 'orva-routes --help'.\n";
    return 2;
}

bool WriteText(const std::filesystem::path& path, const std::string& text) {
    std::string error;
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    if (!orva::WriteFileAtomic(path, bytes, error)) {
        std::cerr << "orva-routes: " << error << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const std::vector<std::string> args(argv + 1, argv + argc);
    orva::RouteOptions options;
    std::optional<fs::path> jsonPath, dotPath, svgPath;
    std::optional<fs::path> gameDir;
    bool quiet = false;
    std::string lang;
    fs::path translation;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            std::cout << kHelp;
            return 0;
        } else if (a == "--quiet") {
            quiet = true;
        } else if (a == "--lang") {
            if (!value(lang) || lang.empty()) return Usage("--lang needs a language");
            if (!orva::ValidLanguageName(lang)) return Usage("--lang takes a language such as en or pt_BR, not '" + lang + "'");
        } else if (a == "--translation") {
            if (!value(v) || v.empty()) return Usage("--translation needs a file");
            translation = fs::absolute(v);
        } else if (a == "--save" || a == "--json" || a == "--dot" || a == "--svg" || a == "--max-states") {
            if (!value(v) || v.empty()) return Usage(a + " needs a value");
            if (a == "--max-states") {
                char* end = nullptr;
                const unsigned long long n = std::strtoull(v.c_str(), &end, 10);
                if (*end != '\0' || n == 0 || v[0] == '-') return Usage("--max-states needs a positive number, not '" + v + "'");
                options.MaxStates = n;
            } else {
                // Paths are taken from the current directory: the engine enters the game's folder.
                const fs::path p = fs::absolute(v);
                if (a == "--save") options.SaveFile = p;
                else if (a == "--json") jsonPath = p;
                else if (a == "--dot") dotPath = p;
                else svgPath = p;
            }
        } else if (!a.empty() && a[0] == '-') {
            return Usage("unknown option '" + a + "'");
        } else if (gameDir) {
            return Usage("one game folder only");
        } else {
            gameDir = fs::absolute(a);
        }
    }
    if (!gameDir) return Usage("no game folder given");
    std::error_code ec;
    if (!fs::is_directory(*gameDir, ec)) {
        std::cerr << "orva-routes: " << gameDir->string() << " is not a folder\n";
        return 2;
    }
    options.GameDir = *gameDir;
    // A named catalog wins over the language's catalog in the game folder.
    options.Translation = !translation.empty() ? translation : lang.empty() ? fs::path() : orva::TranslationFileFor(*gameDir, lang);

    orva::RouteResult result;
    std::string error;
    if (!orva::ExploreRoutes(options, result, error)) {
        std::cerr << "orva-routes: " << error << "\n";
        return 2;
    }
    if (!quiet) orva::WriteRouteSummary(result, std::cout);
    bool written = true;
    if (jsonPath) {
        std::ostringstream json;
        orva::WriteRouteJson(result, json);
        written = WriteText(*jsonPath, json.str()) && written;
    }
    if (dotPath || svgPath) {
        const std::string dot = orva::RouteMapDot(result);
        if (dotPath) written = WriteText(*dotPath, dot) && written;
        if (svgPath) {
            std::string svg;
            if (!orva::RenderSvg(dot, svg, error)) {
                std::cerr << "orva-routes: " << error << "\n";
                written = false;
            } else {
                written = WriteText(*svgPath, svg) && written;
            }
        }
    }
    if (!written) return 1;
    size_t reached = 0;
    for (const auto& [m, text] : result.AllMessages) reached += result.ReachedMessages.count(m);
    const bool problems = result.Incomplete || !result.MissingAssets.empty() || !result.Overflow.empty() ||
                          !result.TranslationOverflow.empty() ||
                          reached < result.AllMessages.size();
    return problems ? 1 : 0;
}
