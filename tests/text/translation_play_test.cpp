// A small story played headless in translation: translated names, texts and answers, the
// original where an entry is fuzzy or empty, the log and its review, the proportional Latin
// layout and its printing, a broken catalog, and saves that carry no text.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "data/file_io.h"
#include "fixtures/script_game.h"
#include "platform/screen_layout.h"
#include "text/shown_text.h"
#include "text/text_harness.h"

namespace orva {
namespace {

constexpr const char* kStory = R"(.script 1 "story"
msg "ミナ「おはよう」"
msg "雨だった。"
msg "晴れた。"
choice "海へ行く,家にいる"
msg "灯台は長いあいだ消えていた。"
msg "終わり。"
)";

constexpr const char* kLong =
    "The lighthouse on the cape had been dark for many years, and nobody in the little town "
    "remembered who had last climbed its well-worn stairs.";

std::string Catalog() {
    return std::string(R"(msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\n"

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

msgctxt "1:3:1"
msgid "海へ行く"
msgstr "To the sea"

msgctxt "1:3:2"
msgid "家にいる"
msgstr "Stay home"

msgctxt "1:4"
msgid "灯台は長いあいだ消えていた。"
msgstr ")") + kLong + "\"\n";
}

TimelineEvent KeyAt(uint32_t t, Key k) { return {.Time = t, .Verb = TimelineVerb::Key, .KeyName = k, .Pressed = true}; }
TimelineEvent KeyUpAt(uint32_t t, Key k) { return {.Time = t, .Verb = TimelineVerb::Key, .KeyName = k, .Pressed = false}; }
TimelineEvent ClickAt(uint32_t t, Point p) { return {.Time = t, .Verb = TimelineVerb::Click, .Pos = p}; }

// Clicks on from messages 0, 1 and 2 and takes the second answer; message 4 then prints.
std::vector<TimelineEvent> ToTheLongMessage() {
    return {ClickAt(1000, {400, 500}), ClickAt(1500, {400, 500}), ClickAt(2000, {400, 500}), ClickAt(2500, {400, 300})};
}

struct TranslatedGame : test::ScriptGame {
    TranslatedGame() : ScriptGame(kStory) {}
    void WriteCatalog(const std::string& text) {
        TranslationFile = GameDir / "translations" / "en.po";
        std::filesystem::create_directories(TranslationFile.parent_path());
        std::ofstream(TranslationFile, std::ios::binary) << text;
    }
    TForm1& Play(std::vector<TimelineEvent> timeline) {
        TForm1& f = Start(std::move(timeline));
        f.Config.TextSpeed = 100;
        return f;
    }
    void RunTo(uint32_t t) {
        while (Plat->Ticks() < t) Form->IdleEvent();
    }
};

std::vector<std::string> LogTexts(const std::filesystem::path& trace) {
    std::ifstream in(trace);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) {
        const size_t at = line.find("\"ev\":\"log\",\"text\":\"");
        if (at == std::string::npos) continue;
        const size_t from = at + 19;
        out.push_back(line.substr(from, line.find('"', from) - from));
    }
    return out;
}

TEST(TranslationPlay, NamesTextsAnswersAndTheLogShowTheTranslation) {
    TranslatedGame g;
    g.WriteCatalog(Catalog());
    auto timeline = ToTheLongMessage();
    for (uint32_t t : {3000u, 3200u, 3400u, 3600u}) {  // back through the log
        timeline.push_back(KeyAt(t, Key::PageUp));
        timeline.push_back(KeyUpAt(t + 50, Key::PageUp));
    }
    TForm1& f = g.Play(timeline);
    const auto tracePath = g.Root.Path() / "trace.jsonl";
    std::string error;
    ASSERT_TRUE(f.Trace.Open(tracePath, error)) << error;

    g.RunTo(900);
    EXPECT_EQ(f.Msg.MessageLines[0], u"Mina");
    EXPECT_EQ(f.Msg.MessageLines[1], u"“Good morning.”");
    EXPECT_FALSE(f.Msg.LineCharEnds[1].empty());  // set in proportional type
    g.RunTo(1400);
    EXPECT_EQ(f.Msg.MessageLines[1], u"雨だった。");  // fuzzy: the original, in cells
    EXPECT_TRUE(f.Msg.LineCharEnds[1].empty());
    g.RunTo(1900);
    EXPECT_EQ(f.Msg.MessageLines[1], u"晴れた。");    // untranslated
    g.RunTo(2400);
    ASSERT_EQ(f.EngineMode, Mode::ChoiceWait);
    EXPECT_EQ(f.Msg.ChoiceTexts[0], u"To the sea");
    EXPECT_EQ(f.Msg.ChoiceTexts[1], u"Stay home");
    // Each answer is centred on its bar by its own width, not by a cell per character.
    for (int k = 0; k < 2; ++k) {
        const TABitmap& layer = f.Pics->ChoiceRows[size_t(k)][0];
        int left = layer.Width(), right = -1;
        for (int y = 0; y < layer.Height(); ++y)
            for (int x = 0; x < layer.Width(); ++x)
                if (test::Px(layer, x, y)[3] < 128) left = std::min(left, x), right = std::max(right, x);
        ASSERT_GE(right, left);
        EXPECT_NEAR((left + right) / 2.0, 400.0, 4.0) << k;
    }
    g.RunTo(2900);
    EXPECT_EQ(f.WorkFlg[0], 2);  // the script sees the answer's number, whatever its words
    EXPECT_EQ(f.Msg.MessageLines[1].substr(0, 14), u"The lighthouse");
    EXPECT_FALSE(f.Msg.MessageLines[2].empty());

    // The review pages back through what was shown: the answer, two originals, the translation.
    g.RunTo(3100);
    EXPECT_EQ(f.Msg.MessageLines[1], u"【選択肢】");
    EXPECT_EQ(f.Msg.MessageLines[2], u"Stay home");
    g.RunTo(3700);
    EXPECT_TRUE(f.Text.LogReview);
    EXPECT_EQ(f.Msg.MessageLines[0], u"Mina");
    EXPECT_EQ(f.Msg.MessageLines[1], u"“Good morning.”");
    f.Trace.Close();

    EXPECT_EQ(LogTexts(tracePath),
              (std::vector<std::string>{"Mina “Good morning.”", "雨だった。", "晴れた。", "【選択肢】/Stay home"}));
    std::ifstream in(tracePath);
    const std::string trace((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(trace.find(R"("answers":["To the sea","Stay home"])"), std::string::npos);
    EXPECT_NE(trace.find(R"("lines":["Mina","“Good morning.”","",""])"), std::string::npos);
}

TEST(TranslationPlay, LatinTextPrintsACharacterPerFrameInProportionalType) {
    TranslatedGame g;
    g.WriteCatalog(Catalog());
    TForm1& f = g.Play(ToTheLongMessage());
    g.RunTo(2600);
    ASSERT_EQ(f.EngineMode, Mode::MessageWait);
    // Lines broken at spaces within the Japanese lines' width, every word kept.
    std::u16string joined;
    for (int k = 1; k <= 3; ++k) {
        const std::u16string& line = f.Msg.MessageLines[size_t(k)];
        const auto& ends = f.Msg.LineCharEnds[size_t(k)];
        if (line.empty()) continue;
        ASSERT_EQ(ends.size(), line.size());
        EXPECT_LE(ends.back(), 25 * kCharWidth);
        EXPECT_NE(line.front(), u' ');
        EXPECT_NE(line.back(), u' ');
        // Proportional: far narrower than a cell per character.
        EXPECT_LT(ends.back(), static_cast<int>(line.size()) * kCharWidth * 2 / 3);
        joined += (joined.empty() ? u"" : u" ") + line;
    }
    EXPECT_EQ(Utf16ToUtf8(joined), kLong);

    // Print it again at a slow speed: each drawn frame reveals exactly one more character (in
    // the detached window's picture, which is drawn while that window shows).
    f.MsgFormVisible = true;
    f.Config.TextSpeed = 50;
    f.NOVL_MakeMessage(f.MessageTextAt(4));
    f.Text.ShowMessage();
    f.EngineMode = Mode::MessagePrint;
    const auto& ends = f.Msg.LineCharEnds[1];
    for (int c = 1; c <= 12; ++c) {
        f.Pics->WindowBuffer.FillColor(0, 0, 0);
        f.NOVL_DrawMessage();
        ASSERT_EQ(f.Text.PrintCount, c);
        int right = -1;  // the rightmost lit pixel of the first line's band
        for (int y = kTextBandHeight; y < 2 * kTextBandHeight; ++y)
            for (int x = 0; x < kMsgWindowWidth; ++x)
                if (test::Px(f.Pics->WindowBuffer, x, y)[2] > 100) right = std::max(right, x);
        EXPECT_LT(right, kTextLeft + ends[size_t(c - 1)]) << c;
        if (f.Msg.MessageLines[1][size_t(c - 1)] != u' ') {
            EXPECT_GE(right, kTextLeft + (c > 1 ? ends[size_t(c - 2)] : 0)) << c;
        }
    }
    test::Capture(f.Pics->TextLayer, "translation_latin_layer");
}

TEST(TranslationPlay, ABrokenCatalogIsOneLineAndTheGamePlaysInTheOriginal) {
    TranslatedGame g;
    std::string broken = Catalog();
    broken.insert(broken.find("msgctxt \"1:0\""), "msgid \"unterminated\n");  // line 5, reported at 6
    g.WriteCatalog(broken);
    testing::internal::CaptureStderr();
    TForm1& f = g.Play(ToTheLongMessage());
    const std::string err = testing::internal::GetCapturedStderr();
    // One line about the catalog (the tiny game's missing pictures say their own).
    std::istringstream lines(err);
    int aboutCatalog = 0;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("read error : ", 0) != 0) ++aboutCatalog;
    EXPECT_EQ(aboutCatalog, 1) << err;
    EXPECT_NE(err.find(g.TranslationFile.string() + ":6:"), std::string::npos) << err;
    g.RunTo(900);
    EXPECT_EQ(f.Msg.MessageLines[0], u"ミナ");
    EXPECT_EQ(f.Msg.MessageLines[1], u"「おはよう」");
    // Nothing is written into the game folder.
    size_t files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::recursive_directory_iterator(g.GameDir)) ++files;
    EXPECT_EQ(files, 3u);  // SCRIPT.DAT, translations/, en.po
}

TEST(TranslationPlay, SavesHoldPositionsSoTheyLoadInEitherLanguage) {
    // The same play with and without the translation writes the same save file, byte for byte.
    std::vector<uint8_t> saves[2];
    for (int translated = 0; translated < 2; ++translated) {
        TranslatedGame g;
        g.WriteCatalog(Catalog());
        if (!translated) g.TranslationFile.clear();
        TForm1& f = g.Play(ToTheLongMessage());
        g.RunTo(2600);
        f.QuickSave();
        saves[translated] = ReadWholeFile(g.SaveDir / "SAVE.DAT").value();

        // Loaded in the other language, the saved message shows in that language.
        g.TranslationFile = translated ? std::filesystem::path() : g.GameDir / "translations" / "en.po";
        TForm1& other = g.Play({});
        g.RunTo(g.Plat->Ticks() + 800);
        other.QuickLoad();
        g.RunTo(g.Plat->Ticks() + 3000);
        ASSERT_EQ(other.EngineMode, Mode::MessageWait);
        EXPECT_EQ(other.Msg.MessageLines[1].substr(0, 3), translated ? u"灯台は" : u"The");
    }
    EXPECT_EQ(saves[0], saves[1]);
}

}  // namespace
}  // namespace orva
