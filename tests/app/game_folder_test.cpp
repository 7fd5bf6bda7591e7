// Choosing the game folder of a run, the remembered-folder file, and the start-up hook that
// decides when a folder is remembered.
#include "app/game_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "fixtures/game_fixture.h"

namespace orva {
namespace {

using std::filesystem::path;
using test::TempDir;

// A probe over a fixed set of game folders, and a picker that records its calls.
struct Scene {
    std::set<path> Games;
    std::optional<path> PickerAnswer;
    int PickerCalls = 0;
    GameProbe Probe() {
        return [this](const path& p) { return Games.count(p) > 0; };
    }
    FolderPicker Picker() {
        return [this] {
            ++PickerCalls;
            return PickerAnswer;
        };
    }
};

void ExpectPlan(const GameFolderPlan& plan, GameFolderSource source, const path& dir, bool remember) {
    EXPECT_EQ(plan.Source, source);
    EXPECT_EQ(plan.Dir, dir);
    EXPECT_EQ(plan.Remember, remember);
}

GameFolderRequest Windowed() {
    GameFolderRequest r;
    r.ProgramDir = "/opt/orva/bin";
    r.Remembered = path("/home/u/games/last");
    r.Demos = {"/opt/orva/share/orva/demo", "/build/demo"};
    return r;
}

TEST(GameFolder, NamedFolderIsPlayedAsGivenAndRememberedOnlyInWindowedRuns) {
    Scene s;  // not even a game: start-up reports what is wrong with it
    GameFolderRequest r = Windowed();
    r.Named = "/somewhere/else";
    GameFolderPlan plan = ChooseGameFolder(r, s.Probe(), s.Picker());
    ExpectPlan(plan, GameFolderSource::Named, "/somewhere/else", true);
    EXPECT_TRUE(plan.Notes.empty());

    r.Headless = true;
    ExpectPlan(ChooseGameFolder(r, s.Probe(), s.Picker()), GameFolderSource::Named, "/somewhere/else", false);
    EXPECT_EQ(s.PickerCalls, 0);
}

TEST(GameFolder, HeadlessRunsUseTheProgramFolderAndIgnoreWhatWasRemembered) {
    Scene s;
    s.Games = {"/home/u/games/last", "/opt/orva/share/orva/demo"};
    s.PickerAnswer = path("/picked");
    GameFolderRequest r = Windowed();
    r.Headless = true;
    ExpectPlan(ChooseGameFolder(r, s.Probe(), s.Picker()), GameFolderSource::BesideProgram, "/opt/orva/bin", false);
    EXPECT_EQ(s.PickerCalls, 0);
}

TEST(GameFolder, WindowedOrderIsProgramFolderRememberedPickedThenDemo) {
    Scene s;
    s.Games = {"/opt/orva/bin", "/home/u/games/last", "/picked", "/opt/orva/share/orva/demo", "/build/demo"};
    s.PickerAnswer = path("/picked");
    GameFolderRequest r = Windowed();

    EXPECT_EQ(ChooseGameFolder(r, s.Probe(), s.Picker()).Source, GameFolderSource::BesideProgram);
    s.Games.erase("/opt/orva/bin");
    GameFolderPlan plan = ChooseGameFolder(r, s.Probe(), s.Picker());
    ExpectPlan(plan, GameFolderSource::Remembered, "/home/u/games/last", false);  // already stored
    EXPECT_EQ(s.PickerCalls, 0);

    s.Games.erase("/home/u/games/last");  // the remembered folder was deleted or emptied
    plan = ChooseGameFolder(r, s.Probe(), s.Picker());
    ExpectPlan(plan, GameFolderSource::Picked, "/picked", true);
    ASSERT_EQ(plan.Notes.size(), 1u);
    EXPECT_NE(plan.Notes[0].find("/home/u/games/last"), std::string::npos);

    s.PickerAnswer.reset();  // cancelled: the first playable demo
    s.Games.erase("/opt/orva/share/orva/demo");
    ExpectPlan(ChooseGameFolder(r, s.Probe(), s.Picker()), GameFolderSource::Demo, "/build/demo", false);
}

TEST(GameFolder, PickedFolderWithoutAGameFallsBackWithANoteAndNothingLeavesAClearMessage) {
    Scene s;
    s.PickerAnswer = path("/home/u/Pictures");
    GameFolderRequest r = Windowed();
    r.Remembered.reset();
    GameFolderPlan plan = ChooseGameFolder(r, s.Probe(), s.Picker());
    ExpectPlan(plan, GameFolderSource::None, path(), false);
    ASSERT_EQ(plan.Notes.size(), 2u);
    EXPECT_NE(plan.Notes[0].find("/home/u/Pictures"), std::string::npos);
    EXPECT_NE(plan.Notes[1].find("--game DIR"), std::string::npos);

    // No picker at all (no display, no dialog program) behaves like a cancel.
    s.Games = {"/opt/orva/share/orva/demo"};
    ExpectPlan(ChooseGameFolder(r, s.Probe(), FolderPicker{}), GameFolderSource::Demo, "/opt/orva/share/orva/demo", false);
}

TEST(GameFolder, PickAsksAgainEvenWhenTheProgramFolderOrTheRememberedOneHoldsAGame) {
    Scene s;
    s.Games = {"/opt/orva/bin", "/home/u/games/last", "/other"};
    s.PickerAnswer = path("/other");
    GameFolderRequest r = Windowed();
    r.Pick = true;
    ExpectPlan(ChooseGameFolder(r, s.Probe(), s.Picker()), GameFolderSource::Picked, "/other", true);
    EXPECT_EQ(s.PickerCalls, 1);
}

TEST(RememberedFolder, TextKeepsOneAbsolutePathAndRefusesDamage) {
    EXPECT_EQ(FormatRememberedFolder("/home/u/My Game"), "/home/u/My Game\n");
    EXPECT_EQ(ParseRememberedFolder("/home/u/My Game\n"), path("/home/u/My Game"));
    EXPECT_EQ(ParseRememberedFolder("/a/b\n/c/d\n"), path("/a/b"));
    EXPECT_EQ(ParseRememberedFolder("/a/b"), path("/a/b"));  // no final newline
    EXPECT_EQ(ParseRememberedFolder(""), std::nullopt);
    EXPECT_EQ(ParseRememberedFolder("\n/a\n"), std::nullopt);
    EXPECT_EQ(ParseRememberedFolder("games/mine\n"), std::nullopt);
    EXPECT_EQ(ParseRememberedFolder(std::string("/a\0b\n", 5)), std::nullopt);
}

TEST(RememberedFolder, ConfigFolderFollowsXdgAndIgnoresRelativeValues) {
    EXPECT_EQ(ConfigFolder("/x/cfg", "/home/u"), path("/x/cfg/orva"));
    EXPECT_EQ(ConfigFolder("", "/home/u"), path("/home/u/.config/orva"));
    EXPECT_EQ(ConfigFolder("relative/cfg", "/home/u"), path("/home/u/.config/orva"));
    EXPECT_EQ(ConfigFolder(nullptr, nullptr), path());
    EXPECT_EQ(ConfigFolder(nullptr, "not/absolute"), path());
}

TEST(RememberedFolder, WriteReplacesAtomicallyAndFailuresKeepTheOldValue) {
    TempDir root;
    const path config = root.Path() / "cfg" / "orva";
    std::string error;
    EXPECT_EQ(ReadRememberedFolder(config), std::nullopt);
    ASSERT_TRUE(WriteRememberedFolder(config, "/games/one", error)) << error;
    EXPECT_EQ(ReadRememberedFolder(config), path("/games/one"));
    ASSERT_TRUE(WriteRememberedFolder(config, "/games/two", error)) << error;
    EXPECT_EQ(ReadRememberedFolder(config), path("/games/two"));
    // Only the file itself is left, no temporary beside it.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(config)) files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1);

    // Names that cannot round-trip are refused, and the stored value stays.
    EXPECT_FALSE(WriteRememberedFolder(config, "relative/game", error));
    EXPECT_FALSE(WriteRememberedFolder(config, "/games/two\nlines", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadRememberedFolder(config), path("/games/two"));

    // A file where the config folder should be: a clear error, no crash.
    test::WriteBytes(root.Path() / "blocked", {1});
    error.clear();
    EXPECT_FALSE(WriteRememberedFolder(root.Path() / "blocked" / "orva", "/games/one", error));
    EXPECT_NE(error.find("blocked"), std::string::npos);
    EXPECT_FALSE(WriteRememberedFolder(path(), "/games/one", error));
}

TEST(RememberedFolder, HoldsGameWantsScriptDatAsAFile) {
    TempDir root;
    EXPECT_FALSE(HoldsGame(root.Path()));
    EXPECT_FALSE(HoldsGame(path()));
    std::filesystem::create_directories(root.Path() / "dir" / "SCRIPT.DAT");
    EXPECT_FALSE(HoldsGame(root.Path() / "dir"));
    test::WriteContainer(root.Path(), {});
    EXPECT_TRUE(HoldsGame(root.Path()));
}

// The form calls the start hook once the game has started, and never for a folder it cannot
// enter, so a broken folder is never remembered.
TEST(RememberedFolder, StartHookRunsOnlyWhenTheGameStarts) {
    for (const bool good : {true, false}) {
        test::EngineHarness h;
        HeadlessPlatform plat({}, {}, 100);
        EngineOptions options;
        options.GameDir = good ? h.GameDir : h.Root.Path() / "missing";
        options.SaveDir = h.SaveDir;
        int started = 0;
        options.OnStarted = [&] { ++started; };
        TForm1 form(plat, options);
        EXPECT_EQ(form.Run(), good ? 0 : 2);
        EXPECT_EQ(started, good ? 1 : 0);
    }
}

}  // namespace
}  // namespace orva
