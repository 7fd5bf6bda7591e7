// The game-data check on a clean game and on one with a fault of every kind it reports.
#include "app/game_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "data/save_layout.h"
#include "fixtures/script_game.h"
#include "graphics/png_write.h"
#include "sound/ogg_writer.h"

namespace orva {
namespace {

using test::TempDir;

struct CheckRun {
    int Status = -1;
    std::string Text;
};

CheckRun Check(const std::filesystem::path& game, const std::filesystem::path& saves) {
    std::ostringstream out;
    CheckRun r;
    r.Status = RunGameCheck(game, saves, out);
    r.Text = out.str();
    return r;
}

std::vector<uint8_t> Png() {
    std::vector<uint8_t> out;
    EncodePng(TABitmap(4, 4), out);
    return out;
}

TEST(GameCheck, ACleanGameReportsNoProblem) {
    TempDir root;
    const auto game = root.Path() / "game";
    test::WriteBytes(game / "SCRIPT.DAT", test::AssembleContainer(R"(.script 1 "opening"
bg "room"
msg "短いお話。"
call 2 *sub
.script 2 "sub"
*sub
msg "【ミナ】「やあ。」"
return
)"));
    test::WriteArchive(game, 1, {{"room.png", Png()}});
    test::WriteArchive(game, 2, {{"ROOM.png", Png()}});
    const CheckRun r = Check(game, root.Path() / "saves");
    EXPECT_EQ(r.Status, 0) << r.Text;
    EXPECT_NE(r.Text.find("DATA01.cfp: 1 file"), std::string::npos) << r.Text;
    EXPECT_NE(r.Text.find("the copy in DATA02.cfp is used"), std::string::npos) << r.Text;
    EXPECT_NE(r.Text.find("script 2 \"sub\": 4 lines, 1 messages"), std::string::npos) << r.Text;
    EXPECT_NE(r.Text.find("calls nest at most 1 deep"), std::string::npos) << r.Text;
    EXPECT_NE(r.Text.find("SAVE.DAT: none yet"), std::string::npos) << r.Text;
    EXPECT_NE(r.Text.find("0 problem(s), 0 warning(s)."), std::string::npos) << r.Text;
}

TEST(GameCheck, EveryKindOfFaultIsReportedAndNothingIsChanged) {
    TempDir root;
    const auto game = root.Path() / "game";
    const std::string longText(90, 'a');
    test::WriteBytes(game / "SCRIPT.DAT", test::AssembleContainer(R"(.script 1 "broken"
bg "nowhere"
bgm "M01"
se2 "clank"
msg "ok" "v_missing"
jump 2 *absent
jump 7 *start
.line 0x70 0 9 1 2 0 0
msg ")" + longText + R"("
choice "1,2,3,4,5,6,7,8,9,10"
.line 0x60 0 40 0 0 0 -1
call *loop
*loop
call *loop
return
.script 2 "two"
*here
.script 3 "empty" empty
)"));
    test::WriteArchive(game, 1, {{"M01.ogg", {1, 2, 3}}});
    const auto saves = root.Path() / "saves";
    test::WriteBytes(saves / "SAVE.DAT", std::vector<uint8_t>(1000, 0));
    const auto before = std::filesystem::last_write_time(saves / "SAVE.DAT");

    const CheckRun r = Check(game, saves);
    EXPECT_EQ(r.Status, 1);
    const char* expected[] = {
        "problem: script 1 line 0: background nowhere.png is in no archive",
        "warning: script 1 line 1: music M01 has no alternative version M01P.ogg",
        "problem: script 1 line 2: effect clank.ogg is in no archive",
        "problem: script 1 line 3: voice v_missing.ogg is in no archive",
        "problem: script 1 line 4: jump to *absent, which script 2 does not define",
        "problem: script 1 line 5: jump to *start in script 7, which the container does not hold",
        "problem: script 1 line 6: condition with key 9 has no block end after it",
        "warning: script 1 line 7: message 1 \"aaaaaaaaaaaaaaaaaaaa…\" loses 15 characters",
        "warning: script 1 line 8: choice \"1,2,3,4,5,6,7,8,9,10\" has 10 answers",
        "problem: script 1 line 9: text 40 is outside the text list",
        "warning: calls can nest without end (a routine calls itself again): → 1:11 → 1:11\n",
        "warning: script 3 \"empty\" is listed but holds nothing",
        "problem: SAVE.DAT is 1000 bytes, not 424800",
    };
    for (const char* line : expected) EXPECT_NE(r.Text.find(line), std::string::npos) << line << "\n" << r.Text;
    EXPECT_EQ(std::filesystem::file_size(saves / "SAVE.DAT"), 1000u);
    EXPECT_EQ(std::filesystem::last_write_time(saves / "SAVE.DAT"), before);
}

TEST(GameCheck, StrayBytesAfterTheLineTableAreAWarningAndTheScriptIsStillChecked) {
    TempDir root;
    const auto game = root.Path() / "game";
    AssembledSource source;
    std::vector<Diagnostic> errors;
    ASSERT_TRUE(AssembleSource(".script 1 \"ragged\"\nbg \"nowhere\"\nmsg \"a\"\n", "t.txt", source, errors));
    ScriptImage image = source.Scripts.at(0).Image;
    image.LineTableTail = {1, 2, 3};
    test::WriteContainer(game, {{1, BuildScriptEntry(image)}}, {"ragged"});
    const CheckRun r = Check(game, root.Path() / "saves");
    EXPECT_EQ(r.Status, 1) << r.Text;
    EXPECT_NE(r.Text.find("warning: script 1: the line table ends with 3 bytes that are not a whole line"),
              std::string::npos) << r.Text;
    EXPECT_NE(r.Text.find("script 1 line 0: background nowhere.png is in no archive"), std::string::npos) << r.Text;
}

TEST(GameCheck, AFolderWithoutAScriptContainerCannotStart) {
    TempDir root;
    const CheckRun r = Check(root.Path(), root.Path() / "saves");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Text.find("The game cannot start"), std::string::npos) << r.Text;
}

TEST(GameCheck, SavesAreCountedWithTheNewestSlotAndItsTime) {
    TempDir root;
    const auto game = root.Path() / "game";
    test::WriteBytes(game / "SCRIPT.DAT", test::AssembleContainer(".script 1 \"a\"\nwait -1\n"));
    auto block = std::make_unique<SystemBlock>();
    block->SaveSlots[4].InUse = 1;
    block->SaveSlots[4].SaveTime = 46000.5;  // 2025-12-09 12:00:00
    block->SaveSlots[36].InUse = 1;
    block->SaveSlots[36].SaveTime = 46001.25;
    block->SaveSlots[99].InUse = 1;
    block->SaveSlots[99].SaveTime = 45000.0;
    block->KidokuTbl[0] = 0x0B;
    std::vector<uint8_t> bytes(sizeof(SystemBlock));
    std::memcpy(bytes.data(), block.get(), bytes.size());
    test::WriteBytes(root.Path() / "saves" / "SAVE.DAT", bytes);
    const CheckRun r = Check(game, root.Path() / "saves");
    EXPECT_EQ(r.Status, 0) << r.Text;
    EXPECT_NE(r.Text.find("3 of 100 slots used, with a quick save"), std::string::npos) << r.Text;
    EXPECT_NE(r.Text.find("newest save: slot 37, 2025/12/10 06:00:00"), std::string::npos) << r.Text;
    EXPECT_NE(r.Text.find("messages marked as read: 3"), std::string::npos) << r.Text;
}

// Half a second of a quiet tone in the given format, with optional comments.
std::vector<uint8_t> Sound(int rate, int channels, std::vector<std::string> comments = {}) {
    std::vector<int16_t> pcm;
    for (int i = 0; i < rate / 2; ++i)
        for (int c = 0; c < channels; ++c) pcm.push_back(static_cast<int16_t>(3000 * std::sin(i * 0.05)));
    OggWriteOptions options;
    options.Rate = rate;
    options.Channels = channels;
    options.Comments = std::move(comments);
    std::vector<uint8_t> out;
    std::string error;
    EXPECT_TRUE(EncodeOggVorbis(pcm, options, out, error)) << error;
    return out;
}

TEST(GameCheck, SoundsAreOpenedAndTheirFormatsLoopsAndDamageReported) {
    TempDir root;
    const auto game = root.Path() / "game";
    test::WriteBytes(game / "SCRIPT.DAT", test::AssembleContainer(R"(.script 1 "sounds"
bgm "M01"
bgm "M48"
se1 "SE6"
msg "a" "V_BAD"
msg "b" "V01"
)"));
    test::WriteArchive(game, 1,
                       {{"M01.ogg", Sound(44100, 2, {"COMMENT=*looptime,0,0.1,0.4,-1"})},
                        {"M01P.ogg", Sound(22050, 1)},
                        {"M48.ogg", Sound(48000, 2, {"COMMENT=*loopsample,0,1000,30000,-1\r\n*loopsample,1,30000,20000"})},
                        {"M48P.ogg", Sound(44100, 2)},
                        {"SE6.ogg", Sound(32000, 6)},
                        {"V_BAD.ogg", {'O', 'g', 'g', 'S', 0, 1, 2}},
                        {"V01.ogg", Sound(44100, 1)}});
    const CheckRun r = Check(game, root.Path() / "saves");
    EXPECT_EQ(r.Status, 1) << r.Text;
    const char* expected[] = {
        "  M01.ogg: 44,100 Hz stereo, 0.50 s\n",
        "  M01P.ogg: 22,050 Hz mono, 0.50 s\n",
        "  M48.ogg: 48,000 Hz stereo, 0.50 s\n",
        "warning: M48.ogg is 48,000 Hz stereo, not the engine's own 44,100 or 22,050 Hz mono or stereo; it plays "
        "resampled to 44,100 Hz\n",
        "problem: M48.ogg: loop 0 ends at 0.62 s, past the file's end at 0.50 s; it never jumps back\n",
        "problem: M48.ogg: loop 1 jumps back to 0.62 s, past the file's end at 0.50 s\n",
        "warning: SE6.ogg is 32,000 Hz 6 channels, not the engine's own 44,100 or 22,050 Hz mono or stereo; it "
        "plays down-mixed to stereo and resampled to 44,100 Hz\n",
        "problem: V_BAD.ogg cannot be decoded as Ogg Vorbis; it plays nothing\n",
        "  V01.ogg: 44,100 Hz mono, 0.50 s\n",
        "3 problem(s), 2 warning(s).",
    };
    for (const char* line : expected) EXPECT_NE(r.Text.find(line), std::string::npos) << line << "\n" << r.Text;
    EXPECT_EQ(r.Text.find("M01.ogg:", r.Text.find("M01.ogg:") + 1), std::string::npos) << "each sound once";
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

TEST(GameCheck, ATranslationIsCheckedForStaleUntranslatedAndOverlongEntries) {
    TempDir root;
    const auto game = root.Path() / "game";
    test::WriteBytes(game / "SCRIPT.DAT", test::AssembleContainer(R"(.script 1 "opening"
msg "ミナ「やあ」"
msg "短いお話。"
msg "長いお話。"
choice "はい,いいえ"
)"));
    const std::string longText(260, 'w');
    std::ofstream(root.Path() / "en.po") << R"(msgid ""
msgstr ""
"Content-Type: text/plain; charset=UTF-8\n"

msgctxt "name"
msgid "ミナ"
msgstr "Mina"

msgctxt "1:0"
msgid "「やあ」"
msgstr "“Hi.”"

msgctxt "1:2"
msgid "長いお話。"
msgstr "A long story: )" + longText + R"("

msgctxt "1:3:1"
msgid "はい"
msgstr "Yes"

msgctxt "1:1"
msgid "前のお話。"
msgstr "An older story."
)";
    std::ostringstream out;
    const int status = RunGameCheck(game, root.Path() / "saves", out, root.Path() / "en.po");
    const std::string text = out.str();
    EXPECT_EQ(status, 0) << text;
    EXPECT_NE(text.find("\nTranslation\n"), std::string::npos) << text;
    // Six texts: the name, three messages, two answers; four translated (the stale one is not).
    EXPECT_NE(text.find("6 texts in the game, 4 translated, 2 untranslated"), std::string::npos) << text;
    EXPECT_NE(text.find("warning: stale entry \"1:1\" \"前のお話。\""), std::string::npos) << text;
    EXPECT_NE(text.find("1 stale entries"), std::string::npos) << text;
    EXPECT_NE(text.find("script 1 line 2 (msgctxt \"1:2\"): the translation \"A long story: wwwwwwwwwwwwwwww…\" does not fit "
                        "in three lines"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("msgctxt \"1:0\""), std::string::npos) << text;  // short ones fit

    // A catalog that does not parse is a problem of the check, named with its line.
    std::ofstream(root.Path() / "bad.po") << "msgid \"x\"\nmsgstr \"y\n";
    std::ostringstream bad;
    EXPECT_EQ(RunGameCheck(game, root.Path() / "saves", bad, root.Path() / "bad.po"), 1);
    EXPECT_NE(bad.str().find("bad.po:3:"), std::string::npos) << bad.str();
}

}  // namespace
}  // namespace orva
