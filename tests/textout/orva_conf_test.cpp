// The user's settings file: its keys, comments and faults, and the command line winning over it.
#include <gtest/gtest.h>

#include "app/orva_conf.h"
#include "fixtures/game_fixture.h"

namespace orva {
namespace {

TEST(OrvaConf, KeysCommentsAndBlankLinesAndFaultsWithTheirLineNumbers) {
    const std::string text =
        "\xEF\xBB\xBF# orva settings\n"
        "\n"
        "text-out = websocket:9001\r\n"
        "   lang=en   \n"
        "translation = po/en.po\n"
        "colour = blue\n"
        "this line has no equals sign\n"
        "colour = red\n"
        "= orphan\n"
        "lang =\n"
        "text-out = websocket:99999\n"
        "  # an indented comment\n";
    std::vector<std::string> warnings;
    const OrvaConf conf = ParseOrvaConf(text, "/home/p/.config/orva/orva.conf", "/home/p", warnings);
    ASSERT_TRUE(conf.TextOut);
    // The bad second text-out is skipped, so the first one stands.
    EXPECT_EQ(*conf.TextOut, (TextOutTarget{TextOutKind::WebSocket, 9001}));
    EXPECT_EQ(conf.Lang, "en");
    EXPECT_EQ(conf.Translation, std::filesystem::path("/home/p/.config/orva/po/en.po"));
    const std::string f = "/home/p/.config/orva/orva.conf:";
    EXPECT_EQ(warnings, (std::vector<std::string>{
                            f + "6: unknown key 'colour' is ignored",
                            f + "7: expected 'key = value', got 'this line has no equals sign'",
                            f + "9: expected 'key = value', got '= orphan'",
                            f + "10: lang has no value",
                            f + "11: the text out's port is a number from 1 to 65535, got '99999'",
                        }));

    // Paths from the home folder and absolute ones; the last line of a key counts.
    warnings.clear();
    const OrvaConf paths = ParseOrvaConf("translation = ~/tl/ja.po\ntranslation = /srv/en.po\ntext-out = clipboard\ntext-out = off",
                                         "/c/orva.conf", "/home/p", warnings);
    EXPECT_EQ(paths.Translation, std::filesystem::path("/srv/en.po"));
    EXPECT_EQ(paths.TextOut->Kind, TextOutKind::Off);
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(ParseOrvaConf("translation = ~/tl/ja.po", "/c/orva.conf", "/home/p", warnings).Translation,
              std::filesystem::path("/home/p/tl/ja.po"));
}

TEST(OrvaConf, AMissingFileIsNoSettingsAndAnUnreadableOneIsReported) {
    test::TempDir dir;
    std::vector<std::string> warnings;
    const OrvaConf none = ReadOrvaConf(dir.Path(), "/home/p", warnings);
    EXPECT_FALSE(none.TextOut || none.Lang || none.Translation);
    EXPECT_TRUE(warnings.empty());

    std::filesystem::create_directories(dir.Path() / kConfFileName);  // a folder where the file should be
    ReadOrvaConf(dir.Path(), "/home/p", warnings);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("cannot be read"), std::string::npos) << warnings[0];
    std::filesystem::remove(dir.Path() / kConfFileName);

    test::WriteBytes(dir.Path() / kConfFileName, std::vector<uint8_t>{'l', 'a', 'n', 'g', '=', 'd', 'e', '\n'});
    warnings.clear();
    EXPECT_EQ(ReadOrvaConf(dir.Path(), "/home/p", warnings).Lang, "de");
    EXPECT_TRUE(warnings.empty());
}

TEST(OrvaConf, TheCommandLineWinsAndTheFileFillsInTheRest) {
    std::vector<std::string> warnings;
    const OrvaConf conf = ParseOrvaConf("text-out = clipboard\n", "/c/orva.conf", nullptr, warnings);
    CommandLine given;
    std::string error;
    ASSERT_TRUE(ParseCommandLine({"--text-out", "off"}, given, error)) << error;
    ApplyOrvaConf(conf, given);
    EXPECT_EQ(given.TextOut->Kind, TextOutKind::Off);
    CommandLine open;
    ASSERT_TRUE(ParseCommandLine({"--scale", "2"}, open, error)) << error;
    ApplyOrvaConf(conf, open);
    EXPECT_EQ(open.TextOut->Kind, TextOutKind::Clipboard);
    // The file's language and catalog apply only when the command line names neither.
    const OrvaConf translated =
        ParseOrvaConf("lang = en\ntranslation = po/en.po\nlang = ../../etc\n", "/c/orva.conf", nullptr, warnings);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("/c/orva.conf:3:"), std::string::npos) << warnings[0];
    CommandLine plain;
    ApplyOrvaConf(translated, plain);
    EXPECT_EQ(plain.Lang, "en");
    EXPECT_EQ(plain.TranslationFile, std::filesystem::path("/c/po/en.po"));
    CommandLine german;
    ASSERT_TRUE(ParseCommandLine({"--lang", "de"}, german, error)) << error;
    ApplyOrvaConf(translated, german);
    EXPECT_EQ(german.Lang, "de");
    EXPECT_TRUE(german.TranslationFile.empty());
    CommandLine bad;
    EXPECT_FALSE(ParseCommandLine({"--text-out", "printer"}, bad, error));
    EXPECT_NE(error.find("--text-out"), std::string::npos);
}

}  // namespace
}  // namespace orva
