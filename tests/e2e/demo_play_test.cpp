// Headless play-throughs of the bundled demo game by the real orva program: reading the
// story to its end along chosen branches, held-Ctrl skip, and captured frames of the first
// scene and of a choice. The title menu is not offered by
// these runs: script 1 is replaced by one that starts the story at once and stops at the
// title request the story ends with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/engine_modes.h"
#include "data/save_layout.h"
#include "data/archive.h"
#include "fixtures/game_fixture.h"
#include "fixtures/programs.h"
#include "graphics/png_load.h"
#include "platform/screen_layout.h"

namespace orva {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::RunCommand;
using test::TempDir;

constexpr const char* kStart = R"(.script 1 "title"
jump 2 *prologue
*title
system 101
)";

std::string Quote(const fs::path& p) {
    std::string quoted = "'";
    quoted += p.string();
    return quoted + "'";
}

// The value of a string field in one trace line (no escapes other than \" are expected).
std::string Field(const std::string& line, const std::string& key) {
    const std::string k = "\"" + key + "\":\"";
    const size_t at = line.find(k);
    if (at == std::string::npos) return {};
    std::string out;
    for (size_t i = at + k.size(); i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        out += line[i];
    }
    return out;
}

long Time(const std::string& line) { return std::atol(line.c_str() + line.find("\"t\":") + 4); }

struct PlayResult {
    std::vector<std::string> Lines;  // the trace
    std::vector<std::string> Logs;   // texts added to the message log, oldest first
    std::vector<std::string> Sounds;      // music, effects and voices asked for, in order
    std::vector<std::string> SoundMisses; // those whose file was not found
    SystemBlock Save{};              // the system save file written at the close

    bool Has(const std::string& text) const { return std::find(Logs.begin(), Logs.end(), text) != Logs.end(); }
    // Virtual time of the first change to the mode, -1 when it never came.
    long ModeTime(Mode mode) const {
        for (const std::string& l : Lines)
            if (l.find("\"ev\":\"mode\",\"mode\":\"" + ModeHex(mode) + "\"") != std::string::npos) return Time(l);
        return -1;
    }
};

class DemoPlay : public ::testing::Test {
protected:
    void SetUp() override {
        Game = Root.Path() / "game";
        fs::create_directories(Game);
        fs::copy(fs::path(ORVA_DEMO_DIR) / "data", Game / "data", fs::copy_options::recursive);
        std::ofstream(Root.Path() / "start.txt") << kStart;
        std::string sources = Quote(Root.Path() / "start.txt");
        std::vector<fs::path> scripts;
        for (const auto& e : fs::directory_iterator(ORVA_DEMO_SCRIPTS))
            if (e.path().extension() == ".txt" && e.path().filename() != "01_title.txt") scripts.push_back(e.path());
        std::sort(scripts.begin(), scripts.end());
        for (const fs::path& s : scripts) {
            sources += ' ';
            sources += Quote(s);
        }
        ASSERT_EQ(RunCommand(std::string(ORVA_ASM_BINARY) + " build " + sources + " -o " + Quote(Game / "SCRIPT.DAT")),
                  0);
    }

    // Plays the game headless with the timeline until the virtual time; shots are "MS:FILE".
    PlayResult Play(const std::string& timeline, long until, const std::vector<std::string>& shots = {},
                    const std::string& options = "") {
        const fs::path input = Root.Path() / "input.txt", trace = Root.Path() / "trace.jsonl";
        std::ofstream(input, std::ios::trunc) << timeline;
        std::string cmd = "env XDG_RUNTIME_DIR=" + Quote(Root.Path()) + " XDG_DATA_HOME=" + Quote(Root.Path() / "data") +
                          " " + ORVA_BINARY + " --headless --seed 1 --game " + Quote(Game) + " --until " +
                          std::to_string(until) + " --input " + Quote(input) + " --trace " + Quote(trace) + " " + options;
        for (const std::string& s : shots) cmd += " --shot '" + s + "'";
        PlayResult run;
        EXPECT_EQ(RunCommand(cmd), 0);
        std::istringstream in(ReadAll(trace));
        for (std::string line; std::getline(in, line);) {
            if (line.find("\"ev\":\"log\"") != std::string::npos) run.Logs.push_back(Field(line, "text"));
            for (const char* ev : {"bgm", "se", "voice"})
                if (line.find(std::string("\"ev\":\"") + ev + "\"") != std::string::npos) {
                    run.Sounds.push_back(Field(line, "name"));
                    if (line.find("\"read\":false") != std::string::npos) run.SoundMisses.push_back(Field(line, "name"));
                }
            run.Lines.push_back(std::move(line));
        }
        const std::string save = ReadAll(Root.Path() / "data" / "VELDORN" / "ORVA300SE" / "SAVE.DAT");
        EXPECT_EQ(save.size(), kSystemBlockSize);
        if (save.size() == kSystemBlockSize) std::memcpy(&run.Save, save.data(), sizeof run.Save);
        return run;
    }

    // Clicks at (x, y) every period ms from `from` to `to`.
    static std::string Clicks(int x, int y, long from, long to, long period) {
        std::string t = "0 move " + std::to_string(x) + " " + std::to_string(y) + "\n";
        for (long ms = from; ms <= to; ms += period)
            t += std::to_string(ms) + " click " + std::to_string(x) + " " + std::to_string(y) + "\n";
        return t;
    }

    static void ExpectScenesUnlocked(const PlayResult& run) {
        for (int v = 201; v <= 208; ++v) EXPECT_EQ(run.Save.SystemFlg[v - 1], 1) << "scene flag S" << v;
    }

    TempDir Root;
    fs::path Game;
};

const std::vector<std::string> kLetter = {
    "その手紙が届いたのは、夏休みの最初の朝だった。",
    "差出人の名前はない。/封筒の隅に、小さな灯台の絵があるだけだ。",
    "『八月の満月の夜、岬の灯台にもう一度灯りをともしてください』",
    "便箋にはそれだけが、少し震えた文字で書かれていた。",
};

TEST_F(DemoPlay, ReadingByClicksFollowsTheSecondAnswersToTheEndAndUnlocksEveryScene) {
    // The cursor rests on the second bar of both choices (y 280 … 319).
    const PlayResult run = Play(Clicks(400, 300, 3000, 240000, 250), 250000);
    ASSERT_GE(run.Logs.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(run.Logs.begin(), run.Logs.begin() + 4), kLetter);
    EXPECT_TRUE(run.Has("【選択肢】/港で話を聞く"));
    EXPECT_TRUE(run.Has("【選択肢】/黙ってそばにいる"));
    // The harbour branch and its later echo; the other answers' lines never show.
    EXPECT_TRUE(run.Has("港の漁師たちは、灯台の話になると急に口数が減った。"));
    EXPECT_TRUE(run.Has("港の漁師たちが、次々に老人のまわりへ集まってきた。"));
    EXPECT_FALSE(run.Has("行ってみるのが一番早い。/僕たちは岬への道を急いだ。"));
    EXPECT_FALSE(run.Has("図書館の古い新聞に、灯台が消えた日の記事が載っていた。"));
    EXPECT_TRUE(run.Has("遠くの沖で、一隻の船が汽笛を鳴らした。"));
    EXPECT_FALSE(run.Has("そのとき、ソウタの電話が鳴った。"));
    // The branches rejoin: the line after the first choice's block follows the branch.
    const auto rejoin = std::find(run.Logs.begin(), run.Logs.end(), "結局、夕方になって、僕たちは岬の灯台の前に立っていた。");
    ASSERT_NE(rejoin, run.Logs.end());
    EXPECT_EQ(*(rejoin - 1), "ミナ「みんな、何か知ってるみたいだったね」");
    EXPECT_EQ(run.Logs.back(), "～　おわり　～");
    EXPECT_GT(run.ModeTime(Mode::TitleMenuEnter), 0) << "the story did not end in the title request";
    ExpectScenesUnlocked(run);
    // Every piece of music, effect and voice the story asks for is found, except the music
    // "STOP", which names no file and only fades the music out.
    EXPECT_EQ(run.SoundMisses, std::vector<std::string>{"STOP"});
    for (const char* name : {"M02", "M03", "M07", "M08", "se_paper", "se_wave", "v_mina01", "v_sota02"})
        EXPECT_NE(std::find(run.Sounds.begin(), run.Sounds.end(), name), run.Sounds.end()) << name;
}

TEST_F(DemoPlay, HeldCtrlSkipsTheWholeStoryStoppingOnlyAtChoices) {
    // Ctrl is held from the start; clicks on the first bar answer both choices.
    std::string timeline = "1000 key ctrl down\n" + Clicks(400, 240, 1500, 100000, 400);
    const PlayResult run = Play(timeline, 110000);
    const long end = run.ModeTime(Mode::TitleMenuEnter);
    ASSERT_GT(end, 0) << "the skip did not reach the end";
    EXPECT_LT(end, 90000);
    EXPECT_TRUE(run.Has("【選択肢】/灯台へ行ってみる"));
    EXPECT_TRUE(run.Has("【選択肢】/手紙のことを聞く"));
    EXPECT_TRUE(run.Has("行ってみるのが一番早い。/僕たちは岬への道を急いだ。"));
    EXPECT_TRUE(run.Has("そのとき、ソウタの電話が鳴った。"));
    // The repair days of the skippable section pass too, each still logged.
    EXPECT_TRUE(run.Has("二日目の夕方には、三人とも手のひらが真っ黒になっていた。"));
    ExpectScenesUnlocked(run);
}

// True when the UTF-8 text holds kana, kanji or CJK punctuation and full-width forms (their
// encodings start with the bytes E3 to E9 and EF); English typography's quotes, dashes and
// ellipsis (E2 …) are not.
bool HasJapaneseUtf8(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b >= 0xE3 && b <= 0xE9) || b == 0xEF;
    });
}

TEST_F(DemoPlay, TheEnglishTranslationShowsEveryNameTextAndAnswerOfTwoRoutesInEnglish) {
    fs::copy(fs::path(ORVA_DEMO_DIR) / "translations", Game / "translations", fs::copy_options::recursive);
    // Read by clicks along the second answers, and skipped along the first ones.
    const PlayResult read = Play(Clicks(400, 300, 3000, 240000, 250), 250000, {}, "--lang en");
    const PlayResult skipped = Play("1000 key ctrl down\n" + Clicks(400, 240, 1500, 100000, 400), 110000, {}, "--lang en");
    for (const PlayResult* run : {&read, &skipped}) {
        int messages = 0, choices = 0;
        for (const std::string& line : run->Lines) {
            const bool message = line.find("\"ev\":\"message\"") != std::string::npos;
            const bool choice = line.find("\"ev\":\"choice\"") != std::string::npos;
            if (!message && !choice) continue;
            (message ? messages : choices) += 1;
            EXPECT_FALSE(HasJapaneseUtf8(line)) << line;
        }
        EXPECT_GE(messages, 45);
        EXPECT_EQ(choices, 2);
        EXPECT_GT(run->ModeTime(Mode::TitleMenuEnter), 0) << "the story did not reach its end";
    }
    // The harbour answer's branch was read in English.
    EXPECT_TRUE(std::any_of(read.Logs.begin(), read.Logs.end(), [](const std::string& l) {
        return l.find("They all seemed to know something") != std::string::npos;
    }));
    // The check finds every translated message within three lines, and nothing left to translate.
    const fs::path report = Root.Path() / "check.txt";
    EXPECT_EQ(RunCommand(std::string(ORVA_BINARY) + " --check " + Quote(Game) + " --lang en > " + Quote(report)), 0);
    const std::string checked = ReadAll(report);
    EXPECT_NE(checked.find("66 translated, 0 untranslated"), std::string::npos) << checked;
    EXPECT_NE(checked.find("0 stale entries"), std::string::npos) << checked;
    EXPECT_EQ(checked.find("does not fit"), std::string::npos) << checked;
}

TEST_F(DemoPlay, LogReviewPagesBackThroughTheLetterAndReturnsToTheCurrentMessage) {
    // Two messages read; the third waits from about 7.8 s. Page Up three times (the third
    // finds no older entry), Return, then a click goes on to the fourth message.
    const std::string timeline = "0 move 400 300\n3000 click 400 300\n6000 click 400 300\n"
                                 "9000 key pageup down\n9050 key pageup up\n"
                                 "9500 key pageup down\n9550 key pageup up\n"
                                 "10000 key pageup down\n10050 key pageup up\n"
                                 "10500 key return down\n10550 key return up\n"
                                 "12000 click 400 300\n";
    const PlayResult run = Play(timeline, 14000);
    std::vector<std::string> shown;  // first text line of each message composed after 8.5 s
    for (const std::string& l : run.Lines)
        if (l.find("\"ev\":\"message\"") != std::string::npos && Time(l) > 8500) {
            const size_t at = l.find("\"lines\":[\"");
            ASSERT_NE(at, std::string::npos);
            const size_t first = l.find("\",\"", at) + 3;
            shown.push_back(l.substr(first, l.find('"', first) - first));
        }
    const std::vector<std::string> expected = {
        "差出人の名前はない。",                                     // the newest entry
        "その手紙が届いたのは、夏休みの最初の朝だった。",           // the one before it
        "『八月の満月の夜、岬の灯台にもう一度灯りをともして",       // back to the current message
        "便箋にはそれだけが、少し震えた文字で書かれていた。",       // and on to the next
    };
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(run.Logs, std::vector<std::string>(kLetter.begin(), kLetter.begin() + 3));
}

// A captured frame, decoded.
TABitmap Shot(const fs::path& p) {
    const std::string bytes = ReadAll(p);
    TABitmap pic;
    bool alpha = false;
    std::string error;
    EXPECT_TRUE(DecodePng({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, pic, alpha, error)) << error;
    return pic;
}

TABitmap FromArchives(const std::string& name) {
    TArchiveSet archives;
    EXPECT_TRUE(archives.Init(ORVA_DEMO_DIR).Ok);
    TMemoryStream s;
    EXPECT_TRUE(archives.Read(name, s)) << name;
    TABitmap pic;
    bool alpha = false;
    std::string error;
    EXPECT_TRUE(DecodePng(s.Bytes(), pic, alpha, error)) << error;
    return pic;
}

// Draws a fully transparent w × h layer over dest at (x, y) the way the engine draws its text
// and shadow layers: even where a layer is clear, d × 255 >> 8 takes one step off each channel.
void ClearLayers(TABitmap& dest, int x, int y, int w, int h, int count) {
    TABitmap clear(w, h);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) clear.Row(row)[col * 4 + 3] = 255;
    for (int i = 0; i < count; ++i) clear.DrawAlphaOpacity(x, y, w, h, 0, 0, dest, 255);
}

uint32_t Rgb(const TABitmap& pic, int x, int y) { return pic.Pixels()[y * pic.Width() + x] & 0xFFFFFF; }

TEST_F(DemoPlay, FramesShowTheOpeningPictureUnderTheWindowAndTheChoiceBarsOnTheirPlaces) {
    // The first message waits at 6 s: the finished opening picture (the second archive's) is
    // on screen, and the message window lies over it at 75 % opacity (191 of 255).
    const fs::path opening = Root.Path() / "opening.png";
    Play("", 6500, {"6000:" + opening.string()});
    const TABitmap frame = Shot(opening);
    ASSERT_EQ(frame.Width(), kScreenWidth);
    const TABitmap bg = FromArchives("01.png"), window = FromArchives("SysMsgWinB.png");
    EXPECT_EQ(Rgb(frame, 400, 100), Rgb(bg, 400, 100));
    TABitmap expected;
    expected.Assign(bg);
    window.DrawAlphaOpacity(0, kMsgWindowTop, kMsgWindowWidth, kMsgWindowHeight, 0, 0, expected, 191);
    ClearLayers(expected, 0, kMsgWindowTop, kMsgWindowWidth, kMsgWindowHeight, 2);  // the message's shadow and text layers
    EXPECT_EQ(Rgb(frame, 740, 540), Rgb(expected, 740, 540));
    EXPECT_NE(Rgb(frame, 740, 540), Rgb(bg, 740, 540));

    // The first choice (three answers): bars at 220, 280 and 340, the second one lit under
    // the cursor; the scene behind is the hill road.
    const std::string clicks = Clicks(400, 300, 3000, 60000, 250);
    const PlayResult probe = Play(clicks, 60000);
    const long choice = probe.ModeTime(Mode::ChoiceWait);
    ASSERT_GT(choice, 0);
    const fs::path bars = Root.Path() / "bars.png";
    std::string upToChoice;
    std::istringstream in(clicks);
    for (std::string l; std::getline(in, l);)
        if (std::atol(l.c_str()) < choice) upToChoice += l + "\n";
    Play(upToChoice, choice + 600, {std::to_string(choice + 500) + ":" + bars.string()});
    const TABitmap barFrame = Shot(bars);
    const TABitmap road = FromArchives("02.png"), bar = FromArchives("SysSelWin.png"), lit = FromArchives("SysSelWinH.png");
    TABitmap scene;
    scene.Assign(road);
    bar.DrawAlphaOpacity(0, 220, kChoiceBarWidth, kChoiceBarHeight, 0, 0, scene, 255);
    lit.DrawAlphaOpacity(0, 280, kChoiceBarWidth, kChoiceBarHeight, 0, 0, scene, 255);
    bar.DrawAlphaOpacity(0, 340, kChoiceBarWidth, kChoiceBarHeight, 0, 0, scene, 255);
    for (int top : {220, 280, 340}) ClearLayers(scene, 0, top, kChoiceBarWidth, kChoiceBarHeight, 2);  // each answer's shadow and text
    for (int y : {226, 286, 346, 380}) EXPECT_EQ(Rgb(barFrame, 250, y), Rgb(scene, 250, y)) << "y " << y;
    EXPECT_EQ(Rgb(barFrame, 250, 270), Rgb(road, 250, 270)) << "between the bars the scene shows";
}

// The README's trace section: the text from its heading to the next one.
std::string ReadmeTraceSection() {
    const std::string readme = ReadAll(fs::path(ORVA_SOURCE_DIR) / "README.md");
    const size_t at = readme.find("## Trace events");
    if (at == std::string::npos) return {};
    return readme.substr(at, readme.find("\n## ", at + 1) - at);
}

TEST_F(DemoPlay, EveryTraceEventOfARunIsDescribedInTheReadme) {
    // Reading with a quick save and a quick load on the third message, then the close at the
    // time limit: most of the engine's events in one short run.
    const std::string timeline = "0 move 400 300\n3000 click 400 300\n6000 click 400 300\n"
                                 "9000 click 140 588\n9500 click 196 588\n11000 click 400 300\n";
    const PlayResult run = Play(timeline, 13000);
    std::set<std::string> events;
    for (const std::string& l : run.Lines) events.insert(Field(l, "ev"));
    for (const char* expected : {"mode", "script", "line", "picture", "message", "log", "bgm", "save", "load", "close"})
        EXPECT_TRUE(events.count(expected)) << "the run wrote no " << expected << " event";

    const std::string section = ReadmeTraceSection();
    ASSERT_FALSE(section.empty()) << "README.md has no trace section";
    for (const std::string& ev : events)
        EXPECT_NE(section.find("| `" + ev + "` |"), std::string::npos) << "README.md's trace section lacks " << ev;
}

}  // namespace
}  // namespace orva
