// PO catalogs read through libgettextpo, the choice of a run's catalog, and the substitution of
// translated names, texts and answers.
#include "text/translation_catalog.h"

#include <gtest/gtest.h>

#include <fstream>

#include "fixtures/game_fixture.h"
#include "text/shown_text.h"

namespace orva {
namespace {

using test::TempDir;

void WriteText(const std::filesystem::path& p, const std::string& text) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

constexpr const char* kHeader = R"(msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\n"

)";

constexpr const char* kCatalog = R"(#. speaker: ミナ
#: opening:3
msgctxt "1:0"
msgid "「おはよう」"
msgstr "“Good morning.”"

msgctxt "name"
msgid "ミナ"
msgstr "Mina"

#, fuzzy
msgctxt "1:1"
msgid "雨だった。"
msgstr "It rained."

msgctxt "1:2"
msgid "晴れた。"
msgstr ""

msgctxt "1:3:2"
msgid "家にいる"
msgstr "Stay home"

#~ msgctxt "1:9"
#~ msgid "消えた文"
#~ msgstr "Gone"
)";

TEST(TranslationCatalog, OnlyNonFuzzyNonEmptyEntriesTranslate) {
    TempDir dir;
    const auto po = dir.Path() / "en.po";
    WriteText(po, std::string(kHeader) + kCatalog);
    TTranslationCatalog c;
    std::string error;
    ASSERT_TRUE(c.Load(po, error)) << error;
    EXPECT_EQ(c.Entries().size(), 5u);  // the header and the obsolete entry are left out
    ASSERT_NE(c.Find("1:0", "「おはよう」"), nullptr);
    EXPECT_EQ(*c.Find("1:0", "「おはよう」"), "“Good morning.”");
    EXPECT_EQ(*c.Find("name", "ミナ"), "Mina");
    EXPECT_EQ(c.Find("1:1", "雨だった。"), nullptr);   // fuzzy
    EXPECT_EQ(c.Find("1:2", "晴れた。"), nullptr);     // untranslated
    EXPECT_EQ(c.Find("1:9", "消えた文"), nullptr);     // obsolete
    EXPECT_EQ(c.Find("2:0", "「おはよう」"), nullptr);  // the context counts

    // A message: name and text each from their entry; untranslated parts keep the original.
    const std::u16string mina = TranslateMessage(c, 1, 0, u"ミナ「おはよう」");
    const ShownText shown = ParseShownText(mina);
    EXPECT_TRUE(shown.Translated && shown.Spoken);
    EXPECT_EQ(shown.Name, u"Mina");
    EXPECT_EQ(shown.Body, u"“Good morning.”");
    EXPECT_EQ(PlainShownText(mina), u"Mina “Good morning.”");
    EXPECT_EQ(TranslateMessage(c, 1, 1, u"雨だった。"), u"雨だった。");
    EXPECT_EQ(TranslateMessage(c, 1, 2, u"晴れた。"), u"晴れた。");
    const ShownText nameOnly = ParseShownText(TranslateMessage(c, 1, 7, u"ミナ「またね」"));
    EXPECT_EQ(nameOnly.Name, u"Mina");
    EXPECT_EQ(nameOnly.Body, u"「またね」");
    EXPECT_EQ(TranslateAnswer(c, 1, 3, 2, u"家にいる"), u"Stay home");
    EXPECT_EQ(TranslateAnswer(c, 1, 3, 1, u"海へ行く"), u"海へ行く");
}

TEST(TranslationCatalog, ABrokenCatalogIsOneLineNamingItsFileAndLine) {
    TempDir dir;
    const auto po = dir.Path() / "broken.po";
    // The msgid on line 6 lacks its closing quote; gettext, msgfmt alike, names the line where
    // the string runs out (7).
    WriteText(po, std::string(kHeader) + "msgctxt \"1:0\"\nmsgid \"「おはよう」\nmsgstr \"Hi\"\n");
    TTranslationCatalog c;
    std::string error;
    EXPECT_FALSE(c.Load(po, error));
    EXPECT_TRUE(c.Empty());
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_EQ(error.rfind(po.string() + ":7:", 0), 0u) << error;

    // A catalog in another charset never matches the game's text: refused, not misread.
    WriteText(po, "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n");
    EXPECT_FALSE(c.Load(po, error));
    EXPECT_NE(error.find("iso-8859-1"), std::string::npos) << error;

    EXPECT_FALSE(c.Load(dir.Path() / "none.po", error));
    EXPECT_NE(error.find("none.po"), std::string::npos);
}

TEST(TranslationFile, ChosenByOptionOrLocale) {
    EXPECT_EQ(LocaleLanguages("pt_BR.UTF-8@euro"), (std::vector<std::string>{"pt_BR", "pt"}));
    EXPECT_EQ(LocaleLanguages("en"), (std::vector<std::string>{"en"}));
    EXPECT_TRUE(LocaleLanguages("C").empty());
    EXPECT_TRUE(LocaleLanguages("POSIX").empty());
    EXPECT_TRUE(LocaleLanguages("C.UTF-8").empty());
    EXPECT_EQ(MessagesLocale(nullptr, "", "de_DE.UTF-8"), "de_DE.UTF-8");
    EXPECT_EQ(MessagesLocale("fr_FR", "de_DE", "en_US"), "fr_FR");
    EXPECT_FALSE(ValidLanguageName("../../etc/x"));
    EXPECT_FALSE(ValidLanguageName(".hidden"));
    EXPECT_TRUE(ValidLanguageName("pt_BR"));

    TempDir dir;
    const auto game = dir.Path();
    WriteText(game / "translations" / "pt.po", kHeader);
    std::string note;
    EXPECT_EQ(ChooseTranslationFile(game, "auto", {}, "pt_BR.UTF-8", note), game / "translations" / "pt.po");
    WriteText(game / "translations" / "pt_BR.po", kHeader);
    EXPECT_EQ(ChooseTranslationFile(game, "auto", {}, "pt_BR.UTF-8", note), game / "translations" / "pt_BR.po");
    EXPECT_TRUE(ChooseTranslationFile(game, "auto", {}, "C", note).empty());
    EXPECT_TRUE(ChooseTranslationFile(game, "auto", {}, "de_DE.UTF-8", note).empty());
    EXPECT_TRUE(note.empty());
    EXPECT_TRUE(ChooseTranslationFile(game, "", {}, "pt_BR.UTF-8", note).empty());  // the original by default
    EXPECT_TRUE(ChooseTranslationFile(game, "de", {}, "", note).empty());
    EXPECT_NE(note.find("de.po"), std::string::npos);
    EXPECT_EQ(ChooseTranslationFile(game, "de", "/x/y.po", "", note), std::filesystem::path("/x/y.po"));
}

}  // namespace
}  // namespace orva
