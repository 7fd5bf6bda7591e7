// The orva-text program on small assembled games: what a template holds and in which order,
// its bytes made again, the gettext programs on it, translation counts, bad input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "data/temp_dir.h"
#include "fixtures/programs.h"
#include "orva_asm/assembler.h"

namespace orva {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::RunCommand;

// Two scripts, a name spoken twice, a voice, a forced break, a choice, quotes, a backslash
// and a tab, a text shown by two lines, an empty text and one chosen by a variable.
constexpr const char* kSource =
    ".script 1 \"opening\"\n"
    "msg \"ミナ「おはよう」\" \"v_mina01\"\n"
    "msg \"朝だ。/眠い。\"\n"
    "choice \"行く,残る\"\n"
    "msg \"ミナ「またね」\"\n"
    "msg \"\"\n"
    "msg 1\n"
    "msg F1\n"
    ".script 3 \"end\"\n"
    "msg \"ソウタ「\\\"帰り灯\\\"と\\\\\\x09」\"\n";

class OrvaTextTest : public ::testing::Test {
protected:
    void SetUp() override { Game = Dir / "lighthouse"; }

    // Assembles source into Game/SCRIPT.DAT.
    void MakeGame(const std::string& source) {
        AssembledSource assembled;
        std::vector<Diagnostic> errors;
        std::vector<uint8_t> container;
        ASSERT_TRUE(AssembleSource(source, "game.txt", assembled, errors) &&
                    BuildContainerFromSources({assembled}, container, errors))
            << (errors.empty() ? "" : errors[0].Format());
        Dir.Write("lighthouse/SCRIPT.DAT", container);
    }
    // Runs a command in the test's folder; stdout to out.txt, stderr to err.txt.
    int Run(const std::string& command) {
        return RunCommand("cd '" + Dir.Path().string() + "' && " + command + " > out.txt 2> err.txt");
    }
    int Tool(const std::string& args) { return Run("'" ORVA_TEXT_PATH "' " + args); }
    std::string Out() { return ReadAll(Dir / "out.txt"); }
    std::string Err() { return ReadAll(Dir / "err.txt"); }
    std::string File(const std::string& name) { return ReadAll(Dir / name); }

    test::TempDir Dir;
    fs::path Game;
};

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST_F(OrvaTextTest, ExportHoldsEveryShownTextWithItsContextReferencesAndNotesInLineOrder) {
    MakeGame(kSource);
    ASSERT_EQ(Tool("export lighthouse -o game.pot"), 0) << Err();
    const std::string pot = File("game.pot");

    // A spoken message: the name once, before the first text it speaks, with every line.
    EXPECT_NE(pot.find("#: opening:1 opening:4\nmsgctxt \"name\"\nmsgid \"ミナ\"\nmsgstr \"\"\n\n"
                       "#. speaker: ミナ\n#. voice: v_mina01\n#: opening:1\nmsgctxt \"1:0\"\nmsgid \"「おはよう」\""),
              std::string::npos)
        << pot;
    EXPECT_EQ(Count(pot, "msgid \"ミナ\""), 1u);
    // Narration keeps its control marks; a text shown by two lines is one entry.
    EXPECT_NE(pot.find("#: opening:2 opening:6\nmsgctxt \"1:1\"\nmsgid \"朝だ。/眠い。\""), std::string::npos);
    // Each answer of a choice on its own.
    EXPECT_NE(pot.find("#: opening:3\nmsgctxt \"1:2:1\"\nmsgid \"行く\""), std::string::npos);
    EXPECT_NE(pot.find("#: opening:3\nmsgctxt \"1:2:2\"\nmsgid \"残る\""), std::string::npos);
    EXPECT_NE(pot.find("#. speaker: ミナ\n#: opening:4\nmsgctxt \"1:3\"\nmsgid \"「またね」\""), std::string::npos);
    // Quotes, backslashes and tabs escaped as gettext reads them.
    EXPECT_NE(pot.find("#: end:1\nmsgctxt \"3:0\"\nmsgid \"「\\\"帰り灯\\\"と\\\\\\t」\""), std::string::npos);
    // Script and line order; the empty text shows nothing and is left out, and a text chosen
    // by a variable is only known in play.
    EXPECT_LT(pot.find("\"1:1\""), pot.find("\"1:2:1\""));
    EXPECT_LT(pot.find("\"1:3\""), pot.find("\"3:0\""));
    EXPECT_EQ(pot.find("\"1:4\""), std::string::npos);
    EXPECT_EQ(Count(pot, "msgctxt "), 8u);
    // A proper header.
    EXPECT_EQ(pot.find("msgid \"\"\nmsgstr \"\"\n\"Project-Id-Version: lighthouse\\n\""), pot.find("msgid \"\""));
    EXPECT_NE(pot.find("\"Content-Type: text/plain; charset=UTF-8\\n\""), std::string::npos);
    EXPECT_EQ(pot.find("Plural-Forms"), std::string::npos);
}

TEST_F(OrvaTextTest, TheSameGameGivesTheSameBytesWithTheDateFromSourceDateEpoch) {
    MakeGame(kSource);
    ASSERT_EQ(Tool("export lighthouse -o a.pot"), 0) << Err();
    ASSERT_EQ(Tool("export lighthouse/ -o b.pot"), 0) << Err();
    EXPECT_EQ(File("a.pot"), File("b.pot"));
    EXPECT_NE(File("a.pot").find("\"POT-Creation-Date: 1970-01-01 00:00+0000\\n\""), std::string::npos);
    ASSERT_EQ(Tool("export lighthouse -o -"), 0);
    EXPECT_EQ(Out(), File("a.pot"));

    ASSERT_EQ(Run("SOURCE_DATE_EPOCH=1796774400 '" ORVA_TEXT_PATH "' export lighthouse -o c.pot --project 'Lamp 1.0'"), 0)
        << Err();
    EXPECT_NE(File("c.pot").find("\"POT-Creation-Date: 2026-12-09 00:00+0000\\n\""), std::string::npos);
    EXPECT_NE(File("c.pot").find("\"Project-Id-Version: Lamp 1.0\\n\""), std::string::npos);
    // A date that is no number is refused and nothing is written.
    EXPECT_EQ(Run("SOURCE_DATE_EPOCH=yesterday '" ORVA_TEXT_PATH "' export lighthouse -o d.pot"), 1);
    EXPECT_NE(Err().find("SOURCE_DATE_EPOCH"), std::string::npos);
    EXPECT_FALSE(fs::exists(Dir / "d.pot"));
}

TEST_F(OrvaTextTest, MsgfmtAcceptsTheTemplateAndWhatMsginitAndMsgmergeMakeOfIt) {
    MakeGame(kSource);
    ASSERT_EQ(Tool("export lighthouse -o game.pot"), 0) << Err();
    EXPECT_EQ(Run("msgfmt --check -o /dev/null game.pot"), 0) << Err();
    ASSERT_EQ(Run("msginit --no-translator -l pt_BR.UTF-8 -i game.pot -o pt_BR.po"), 0) << Err();
    EXPECT_EQ(Run("msgfmt --check -o /dev/null pt_BR.po"), 0) << Err();

    // The game changes: one text more. msgmerge carries the translation over.
    const std::string po = File("pt_BR.po");
    const std::string from = "msgid \"行く\"\nmsgstr \"\"";
    ASSERT_NE(po.find(from), std::string::npos);
    Dir.Write("pt_BR.po", std::string(po).replace(po.find(from), from.size(), "msgid \"行く\"\nmsgstr \"Ir\""));
    MakeGame(std::string(kSource) + "msg \"新しい朝。\"\n");
    ASSERT_EQ(Tool("export lighthouse -o game.pot"), 0) << Err();
    ASSERT_EQ(Run("msgmerge -q pt_BR.po game.pot -o merged.po"), 0) << Err();
    EXPECT_EQ(Run("msgfmt --check -o /dev/null merged.po"), 0) << Err();
    ASSERT_EQ(Tool("stats lighthouse merged.po"), 0) << Err();
    EXPECT_EQ(Out(), "merged.po: 1 of 9 texts translated (11%)\n"
                     "translated    1\nfuzzy         0\nuntranslated  8\nstale         0\n");
}

constexpr const char* kHeader =
    "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";

TEST_F(OrvaTextTest, StatsCountsTranslatedFuzzyUntranslatedAndStaleEntries) {
    MakeGame(kSource);
    Dir.Write("pt.po", std::string(kHeader) +
                           "msgctxt \"name\"\nmsgid \"ミナ\"\nmsgstr \"Mina\"\n\n"
                           "#, fuzzy\nmsgctxt \"1:0\"\nmsgid \"「おはよう」\"\nmsgstr \"“Bom dia”\"\n\n"
                           "msgctxt \"1:1\"\nmsgid \"朝だ。/眠い。\"\nmsgstr \"\"\n\n"
                           "msgctxt \"1:2:1\"\nmsgid \"行く\"\nmsgstr \"Ir\"\n\n"
                           // The text of 1:3 changed in the game; 1:9 no longer exists.
                           "msgctxt \"1:3\"\nmsgid \"「じゃあね」\"\nmsgstr \"“Tchau”\"\n\n"
                           "msgctxt \"1:9\"\nmsgid \"夜。\"\nmsgstr \"Noite.\"\n\n"
                           // Without a context it is not the game's entry.
                           "msgid \"行く\"\nmsgstr \"Ir\"\n\n"
                           // Obsolete entries are not read at all.
                           "#~ msgctxt \"1:8\"\n#~ msgid \"昼。\"\n#~ msgstr \"Dia.\"\n");
    ASSERT_EQ(Tool("stats lighthouse pt.po"), 0) << Err();
    EXPECT_EQ(Out(), "pt.po: 2 of 8 texts translated (25%)\n"
                     "translated    2\nfuzzy         1\nuntranslated  5\nstale         3\n");

    // --check names what is missing and fails; a finished translation passes.
    EXPECT_EQ(Tool("stats lighthouse pt.po --check"), 1);
    EXPECT_NE(Err().find("pt.po: stale: msgctxt \"1:9\" \"夜。\""), std::string::npos) << Err();
    EXPECT_NE(Err().find("pt.po: not translated: msgctxt \"1:0\" \"「おはよう」\""), std::string::npos);
    EXPECT_EQ(Count(Err(), "not translated"), 6u);
    Dir.Write("done.po", std::string(kHeader) +
                             "msgctxt \"name\"\nmsgid \"ミナ\"\nmsgstr \"Mina\"\n\n"
                             "msgctxt \"1:0\"\nmsgid \"「おはよう」\"\nmsgstr \"“Morning.”\"\n\n"
                             "msgctxt \"1:1\"\nmsgid \"朝だ。/眠い。\"\nmsgstr \"Morning. So sleepy.\"\n\n"
                             "msgctxt \"1:2:1\"\nmsgid \"行く\"\nmsgstr \"Go\"\n\n"
                             "msgctxt \"1:2:2\"\nmsgid \"残る\"\nmsgstr \"Stay\"\n\n"
                             "msgctxt \"1:3\"\nmsgid \"「またね」\"\nmsgstr \"“See you.”\"\n\n"
                             "msgctxt \"name\"\nmsgid \"ソウタ\"\nmsgstr \"Sota\"\n\n"
                             "msgctxt \"3:0\"\nmsgid \"「\\\"帰り灯\\\"と\\\\\\t」\"\nmsgstr \"“‘Homecoming Light’ and \\\\\\t”\"\n");
    EXPECT_EQ(Tool("stats lighthouse done.po --check"), 0) << Err();
    EXPECT_EQ(Err(), "");
}

TEST_F(OrvaTextTest, ABrokenOrForeignTranslationIsOneLineNamingTheFile) {
    MakeGame(kSource);
    // An unknown keyword on line 7, and further problems after it.
    Dir.Write("bad.po", std::string(kHeader) + "msgid \"a\"\nmsgstr \"b\"\nmsgstrx \"c\"\n\n"
                                               "msgid \"a\"\nmsgstr \"b\"\n\nmsgid \"d\n");
    EXPECT_EQ(Tool("stats lighthouse bad.po"), 1);
    EXPECT_EQ(Out(), "");
    EXPECT_EQ(Count(Err(), "\n"), 1u) << Err();
    EXPECT_EQ(Err().rfind("orva-text: bad.po:7: keyword \"msgstrx\" unknown\n", 0), 0u) << Err();

    Dir.Write("latin1.po", "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n"
                           "msgctxt \"name\"\nmsgid \"Mina\"\nmsgstr \"Mina\"\n");
    EXPECT_EQ(Tool("stats lighthouse latin1.po"), 1);
    EXPECT_EQ(Err(), "orva-text: latin1.po: written in iso-8859-1; translations must be in UTF-8\n");
    EXPECT_EQ(Tool("stats lighthouse missing.po"), 1);
    EXPECT_EQ(Err(), "orva-text: missing.po: no such file\n");
}

TEST_F(OrvaTextTest, ExitStatusIsTwoForACommandLineAndOneForAGameItCannotRead) {
    EXPECT_EQ(Tool(""), 2);
    EXPECT_EQ(Tool("translate lighthouse"), 2);
    EXPECT_EQ(Tool("export lighthouse"), 2);
    EXPECT_EQ(Tool("export -o x.pot"), 2);
    EXPECT_EQ(Tool("export a b -o x.pot"), 2);
    EXPECT_EQ(Tool("stats lighthouse"), 2);
    EXPECT_EQ(Tool("stats lighthouse x.po --fast"), 2);
    EXPECT_NE(Err().find("usage: orva-text stats"), std::string::npos);
    EXPECT_EQ(Tool("--help"), 0);
    EXPECT_NE(Out().find("usage: orva-text COMMAND"), std::string::npos);
    EXPECT_EQ(Tool("export --help"), 0);
    EXPECT_NE(Out().find("SOURCE_DATE_EPOCH"), std::string::npos);

    // No game, then a game whose script is cut short: nothing is written.
    EXPECT_EQ(Tool("export lighthouse -o x.pot"), 1);
    EXPECT_NE(Err().find("SCRIPT.DAT"), std::string::npos);
    MakeGame(".script 1 \"one\"\nmsg \"あ\"\n.script 2 \"two\"\n.raw 0000000000000000000000000000000010000000\n");
    EXPECT_EQ(Tool("export lighthouse -o x.pot"), 1);
    EXPECT_NE(Err().find("script 2"), std::string::npos) << Err();
    EXPECT_FALSE(fs::exists(Dir / "x.pot"));
}

}  // namespace
}  // namespace orva
