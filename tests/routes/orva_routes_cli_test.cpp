// The orva-routes program: its help and man page, exit statuses, the bundled demo's routes and
// byte-identical reports from the same input.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "fixtures/programs.h"
#include "fixtures/script_game.h"

namespace orva {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::RunCommand;

const std::string kRoutes = ORVA_ROUTES_BINARY;

// Built up in steps: GCC 12 at -O3 warns falsely (-Wrestrict) on "'" + string + "'".
std::string Quoted(const fs::path& p) {
    std::string quoted = "'";
    quoted += p.string();
    return quoted + "'";
}

std::set<std::string> OptionNames(const std::string& text, const std::regex& pattern) {
    std::set<std::string> names;
    std::istringstream lines(text);
    std::smatch m;
    for (std::string line; std::getline(lines, line);)
        if (std::regex_search(line, m, pattern)) names.insert(m[1]);
    return names;
}

TEST(OrvaRoutesCli, HelpManPageAndExitStatuses) {
    test::TempDir dir;
    const fs::path help = dir.Path() / "help.txt";
    ASSERT_EQ(RunCommand(kRoutes + " --help > " + Quoted(help)), 0);
    const auto inHelp = OptionNames(ReadAll(help), std::regex("^  (--[a-z-]+)"));
    const auto inMan = OptionNames(ReadAll(fs::path(ORVA_SOURCE_DIR) / "docs/man/orva-routes.1.md"), std::regex("^`(--[a-z-]+)"));
    EXPECT_GE(inHelp.size(), 6u);
    EXPECT_EQ(inHelp, inMan);

    EXPECT_EQ(RunCommand(kRoutes + " 2>/dev/null"), 2);                                  // no folder
    EXPECT_EQ(RunCommand(kRoutes + " --frobnicate x 2>/dev/null"), 2);                   // unknown option
    EXPECT_EQ(RunCommand(kRoutes + " --max-states 0 x 2>/dev/null"), 2);                 // not a budget
    EXPECT_EQ(RunCommand(kRoutes + " " + Quoted(dir.Path() / "none") + " 2>/dev/null"), 2);  // no such folder
    EXPECT_EQ(RunCommand(kRoutes + " " + Quoted(dir.Path()) + " 2>/dev/null"), 2);        // no SCRIPT.DAT
}

TEST(OrvaRoutesCli, ProblemsOnARouteExitWithOne) {
    // A message no route reaches and a picture no archive holds.
    test::ScriptGame game(".script 1 \"t\"\n*title\nsystem 101\njump 2 *s\n.script 2 \"s\"\n*s\nbg \"gone\"\nmsg \"a\"\n"
                          "jump 1 *title\n*t\nmsg \"b\"\n");
    const fs::path json = game.Root.Path() / "r.json";
    EXPECT_EQ(RunCommand(kRoutes + " --quiet --json " + Quoted(json) + " " + Quoted(game.GameDir)), 1);
    const std::string text = ReadAll(json);
    EXPECT_NE(text.find("\"assets_missing\": [\n    \"gone.png\"\n  ]"), std::string::npos) << text;
    EXPECT_NE(text.find("\"unreached\": [\n    {\"script\": 2, \"msg\": 1, \"text\": \"b\"}"), std::string::npos) << text;
}

TEST(OrvaRoutesCli, TheDemosTwoChoicesLeadToItsEndingAndTheReportsRepeatByteForByte) {
    const fs::path demo = ORVA_DEMO_DIR;
    if (!fs::exists(demo / "SCRIPT.DAT")) GTEST_SKIP() << "the demo is not built";
    test::TempDir dir;
    std::string runs[2][4];
    for (int k = 0; k < 2; ++k) {
        const fs::path out = dir.Path() / std::to_string(k);
        fs::create_directories(out);
        ASSERT_EQ(RunCommand(kRoutes + " --json " + Quoted(out / "r.json") + " --dot " + Quoted(out / "r.dot") + " --svg " +
                             Quoted(out / "r.svg") + " " + Quoted(demo) + " > " + Quoted(out / "summary.txt")),
                  0);
        runs[k][0] = ReadAll(out / "r.json");
        runs[k][1] = ReadAll(out / "r.dot");
        runs[k][2] = ReadAll(out / "r.svg");
        runs[k][3] = ReadAll(out / "summary.txt");
    }
    for (int i = 0; i < 4; ++i) EXPECT_EQ(runs[0][i], runs[1][i]) << i;
    const std::string& json = runs[0][0];
    EXPECT_NE(json.find("\"routes\": 6,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"answers\": [\"灯台へ行ってみる\", \"港で話を聞く\", \"図書館で調べる\"]"), std::string::npos);
    EXPECT_NE(json.find("\"answers\": [\"手紙のことを聞く\", \"黙ってそばにいる\"]"), std::string::npos);
    EXPECT_NE(json.find("\"kind\": \"title\", \"routes\": 6, \"text\": \"～　おわり　～\", \"flags\": [201, 202, 203, 204, "
                        "205, 206, 207, 208]"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"messages\": {\"total\": 59, \"reached\": 59, \"scripts\": [{\"script\": 2, \"total\": 30, "
                        "\"reached\": 30}, {\"script\": 3, \"total\": 16, \"reached\": 16}, {\"script\": 4, \"total\": 13, "
                        "\"reached\": 13}], \"unreached\": []}"),
              std::string::npos)
        << json;
    EXPECT_NE(runs[0][2].find("<svg"), std::string::npos);
    EXPECT_NE(runs[0][3].find("Messages: 59 of 59 reached (100 %)"), std::string::npos);
}

TEST(OrvaRoutesCli, ATranslationsMessagesAreCheckedOnEveryRoute) {
    // The demo's English fits everywhere; a catalog whose one message runs long is named.
    const fs::path demo = ORVA_DEMO_DIR;
    if (!fs::exists(demo / "translations" / "en.po")) GTEST_SKIP() << "the demo is not built";
    test::TempDir dir;
    const fs::path json = dir.Path() / "r.json";
    EXPECT_EQ(RunCommand(kRoutes + " --quiet --lang en --json " + Quoted(json) + " " + Quoted(demo)), 0);
    std::string text = ReadAll(json);
    EXPECT_NE(text.find("\"overflow_translation\": []"), std::string::npos) << text;

    std::string longer;
    for (int i = 0; i < 12; ++i) longer += "and the sea went on and on ";
    std::ofstream(dir.Path() / "long.po") << "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                                          << "msgctxt \"2:0\"\nmsgid \"その手紙が届いたのは、夏休みの最初の朝だった。\"\n"
                                          << "msgstr \"" << longer << "\"\n";
    EXPECT_EQ(RunCommand(kRoutes + " --quiet --translation " + Quoted(dir.Path() / "long.po") + " --json " +
                         Quoted(json) + " " + Quoted(demo)),
              1);
    text = ReadAll(json);
    EXPECT_NE(text.find("\"overflow_translation\": [\n    {\"script\": 2, \"msg\": 0, \"dropped\": "), std::string::npos)
        << text;
    // A language without its catalog cannot be checked.
    EXPECT_EQ(RunCommand(kRoutes + " --quiet --lang xx " + Quoted(demo) + " 2>/dev/null"), 2);
}

}  // namespace
}  // namespace orva
