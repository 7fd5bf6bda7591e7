// The orva program run headless in translation: --lang with a named language, --lang auto
// choosing by the locale, --translation with a file, and --check --lang.
#include <gtest/gtest.h>

#include <fstream>

#include "fixtures/game_fixture.h"
#include "fixtures/programs.h"

namespace orva {
namespace {

using test::ReadAll;
using test::RunCommand;
using test::TempDir;

constexpr const char* kCatalog = R"(msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\n"

msgctxt "name"
msgid "ミナ"
msgstr "Mina"

msgctxt "1:0"
msgid "「おはよう」"
msgstr "“Morning!”"
)";

struct GameRun {
    TempDir Root;
    std::filesystem::path Game = Root.Path() / "game";

    GameRun() {
        std::filesystem::create_directories(Game);
        std::ofstream(Root.Path() / "story.txt") << ".script 1 \"story\"\nmsg \"ミナ「おはよう」\"\n";
        const std::string asmTool = ORVA_ASM_BINARY;
        if (RunCommand(asmTool + " build '" + (Root.Path() / "story.txt").string() + "' -o '" + (Game / "SCRIPT.DAT").string() +
                       "'") != 0)
            throw std::runtime_error("orva-asm failed");
    }
    void Catalog(const std::filesystem::path& file) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file) << kCatalog;
    }
    // Plays a second with the given environment and options; the trace's message lines.
    std::string Lines(const std::string& env, const std::string& options, int* status = nullptr) {
        const auto trace = Root.Path() / "run.jsonl";
        std::filesystem::remove(trace);
        const int s = RunCommand("env -u LC_ALL -u LC_MESSAGES -u LANG XDG_RUNTIME_DIR='" + Root.Path().string() +
                                 "' XDG_DATA_HOME='" + (Root.Path() / "data").string() + "' " + env + " " + ORVA_BINARY +
                                 " --headless --game '" + Game.string() + "' --until 1000 --trace '" + trace.string() +
                                 "' " + options + " 2>/dev/null");
        if (status) *status = s;
        const std::string text = ReadAll(trace);
        const size_t at = text.find("\"lines\":");
        return at == std::string::npos ? "" : text.substr(at + 8, text.find(']', at) - at - 7);
    }
};

TEST(TranslationRun, LangNamesTheCatalogAndAutoFollowsTheLocale) {
    GameRun r;
    r.Catalog(r.Game / "translations" / "pt.po");
    const std::string translated = R"(["Mina","“Morning!”","",""])";
    const std::string original = R"(["ミナ","「おはよう」","",""])";
    EXPECT_EQ(r.Lines("", ""), original);  // the default is the game's own text
    EXPECT_EQ(r.Lines("", "--lang pt"), translated);
    EXPECT_EQ(r.Lines("LANG=pt_BR.UTF-8", "--lang auto"), translated);
    EXPECT_EQ(r.Lines("LANG=pt_BR.UTF-8 LC_MESSAGES=C", "--lang auto"), original);
    EXPECT_EQ(r.Lines("LANG=de_DE.UTF-8", "--lang auto"), original);
    EXPECT_EQ(r.Lines("LANG=pt_BR.UTF-8", ""), original);
    int status = 0;
    EXPECT_EQ(r.Lines("", "--lang de", &status), original);  // no such catalog: a note, and play
    EXPECT_EQ(status, 0);
    r.Lines("", "--lang ../../x", &status);
    EXPECT_EQ(status, 2);

    r.Catalog(r.Root.Path() / "elsewhere.po");
    EXPECT_EQ(r.Lines("", "--translation '" + (r.Root.Path() / "elsewhere.po").string() + "'"), translated);

    const auto report = r.Root.Path() / "check.txt";
    ASSERT_EQ(RunCommand(std::string(ORVA_BINARY) + " --check '" + r.Game.string() + "' --lang pt > '" + report.string() + "'"), 0);
    EXPECT_NE(ReadAll(report).find("2 texts in the game, 2 translated, 0 untranslated"), std::string::npos) << ReadAll(report);
}

}  // namespace
}  // namespace orva
