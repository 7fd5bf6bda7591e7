// End-to-end runs of the orva program on the headless platform.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/single_instance.h"
#include "fixtures/game_fixture.h"

namespace orva {
namespace {

using test::TempDir;

struct RunResult {
    int Status = -1;
    std::string Stderr;
};

// Runs orva with its own runtime and data folders below `root`; `env` adds settings to the
// environment (or removes them with -u NAME). Windowed runs are stopped after 20 s at most.
RunResult RunOrva(const std::filesystem::path& root, const std::string& args, const std::string& env = "") {
    const auto err = root / "stderr.txt";
    const std::string cmd = "env " + env + " XDG_RUNTIME_DIR='" + (root / "run").string() + "' XDG_DATA_HOME='" +
                            (root / "data").string() + "' timeout 20 " + ORVA_BINARY + " " + args + " 2>'" +
                            err.string() + "'";
    std::filesystem::create_directories(root / "run");
    const int raw = std::system(cmd.c_str());
    RunResult r;
    r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(err);
    std::stringstream s;
    s << in.rdbuf();
    r.Stderr = s.str();
    return r;
}

std::string ReadText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(HeadlessRun, TwoSecondsOfATinyGameAreRepeatableToTheByte) {
    TempDir root;
    const auto game = root.Path() / "game";
    test::WriteContainer(game, {});
    std::string outputs[2];
    for (int i = 0; i < 2; ++i) {
        const auto run = root.Path() / ("run" + std::to_string(i));
        std::filesystem::create_directories(run);
        const RunResult r = RunOrva(run, "--headless --game '" + game.string() + "' --until 2000 --seed 3 --trace '" +
                                             (run / "t.jsonl").string() + "' --shot 1000:'" +
                                             (run / "f.png").string() + "' --audio-out '" +
                                             (run / "a.wav").string() + "'");
        ASSERT_EQ(r.Status, 0) << r.Stderr;
        // The audio capture covers the whole run, 2.2 s with the close's own pauses: silence here.
        EXPECT_EQ(std::filesystem::file_size(run / "a.wav"), 44u + 2200u * 441u / 10u * 4u);
        const auto save = run / "data" / "VELDORN" / "ORVA300SE" / "SAVE.DAT";
        ASSERT_EQ(std::filesystem::file_size(save), 424800u);
        EXPECT_TRUE(std::filesystem::exists(run / "data" / "VELDORN" / "ORVA300SE" / "SAVE2.DAT"));
        const std::string trace = ReadText(run / "t.jsonl");
        EXPECT_NE(trace.find("{\"t\":2000,\"ev\":\"close\"}"), std::string::npos) << trace;
        EXPECT_TRUE(trace.ends_with("\"ev\":\"close\"}\n")) << trace;
        outputs[i] = trace + ReadText(save) + ReadText(run / "f.png") + ReadText(run / "a.wav");
        EXPECT_GT(std::filesystem::file_size(run / "f.png"), 100u);
    }
    EXPECT_EQ(outputs[0], outputs[1]);
}

TEST(HeadlessRun, BadGameFoldersEndWithOneClearLineAndStatusTwo) {
    TempDir root;
    const auto game = root.Path() / "game";
    std::filesystem::create_directories(game);
    RunResult r = RunOrva(root.Path(), "--headless --game '" + game.string() + "' --until 100");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Stderr.find("SCRIPT.DAT"), std::string::npos) << r.Stderr;
    EXPECT_EQ(std::count(r.Stderr.begin(), r.Stderr.end(), '\n'), 1) << r.Stderr;

    test::WriteContainer(game, {});
    test::WriteBytes(game / "data" / "DATA03.cfp", std::vector<uint8_t>(5000, 1));
    r = RunOrva(root.Path(), "--headless --game '" + game.string() + "' --until 100");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Stderr.find("DATA03.cfp"), std::string::npos) << r.Stderr;

    const auto input = root.Path() / "in.txt";
    test::WriteBytes(input, {'1', '0', ' ', 'k', 'e', 'y', ' ', 'x', ' ', 'd', 'o', 'w', 'n', '\n'});
    std::filesystem::remove(game / "data" / "DATA03.cfp");
    r = RunOrva(root.Path(), "--headless --game '" + game.string() + "' --input '" + input.string() + "'");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Stderr.find("line 1"), std::string::npos) << r.Stderr;

    r = RunOrva(root.Path(), "--headless --game '" + game.string() + "' --audio-out '" +
                                 (root.Path() / "no" / "such" / "a.wav").string() + "'");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Stderr.find("cannot write the audio file"), std::string::npos) << r.Stderr;
}

TEST(HeadlessRun, TheInstanceLockIsTheSaveFoldersAndABusyOneEndsAHeadlessRunWithStatusTwo) {
    TempDir root;
    const auto game = root.Path() / "game";
    test::WriteContainer(game, {});
    const auto saves = root.Path() / "data" / "VELDORN" / "ORVA300SE";
    std::string error;
    bool held = false;
    ASSERT_TRUE(AcquireInstanceLock(InstanceLockPath(saves), error, held)) << error;
    EXPECT_EQ(InstanceLockPath(saves).filename(), "ORVAx300SE.lock");

    // Headless: one line naming the folder, status 2, nothing written.
    RunResult r = RunOrva(root.Path(), "--headless --game '" + game.string() + "' --until 2000");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Stderr.find(saves.string()), std::string::npos) << r.Stderr;
    EXPECT_EQ(std::count(r.Stderr.begin(), r.Stderr.end(), '\n'), 1) << r.Stderr;
    EXPECT_FALSE(std::filesystem::exists(saves / "SAVE.DAT"));

    // Windowed: a second start ends at once and silently.
    r = RunOrva(root.Path(), "--game '" + game.string() + "'", "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Stderr, "");

    // Two runs with save folders of their own play side by side, both to the end.
    TempDir other;
    for (const auto& dir : {root.Path() / "a", other.Path()}) std::filesystem::create_directories(dir / "run");
    const auto a = root.Path() / "a";
    const auto b = other.Path();
    auto line = [&](const std::filesystem::path& dir) {
        return "env XDG_RUNTIME_DIR='" + (root.Path() / "run").string() + "' XDG_DATA_HOME='" + (dir / "data").string() +
               "' " + ORVA_BINARY + " --headless --game '" + game.string() + "' --until 30000 2>'" +
               (dir / "err.txt").string() + "'; echo $? >'" + (dir / "status").string() + "'";
    };
    ASSERT_EQ(std::system(("(" + line(a) + ") & (" + line(b) + ") & wait").c_str()), 0);
    for (const auto& dir : {a, b}) {
        EXPECT_EQ(ReadText(dir / "status"), "0\n") << ReadText(dir / "err.txt");
        EXPECT_TRUE(std::filesystem::exists(dir / "data" / "VELDORN" / "ORVA300SE" / "SAVE.DAT"));
    }
}

TEST(HeadlessRun, TheVersionIsTheProjectsVersion) {
    TempDir root;
    const RunResult r = RunOrva(root.Path(), "--version >'" + (root.Path() / "out.txt").string() + "'");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(ReadText(root.Path() / "out.txt"), "orva " ORVA_PROJECT_VERSION "\n");
}

TEST(HeadlessRun, AWindowedStartWithoutADisplaySaysSoAndEndsWithStatusTwo) {
    TempDir root;
    const auto game = root.Path() / "game";
    test::WriteContainer(game, {});
    const RunResult r = RunOrva(root.Path(), "--game '" + game.string() + "'",
                                "-u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Stderr.find("no display"), std::string::npos) << r.Stderr;
    EXPECT_NE(r.Stderr.find("--headless"), std::string::npos) << r.Stderr;
    EXPECT_EQ(std::count(r.Stderr.begin(), r.Stderr.end(), '\n'), 1) << r.Stderr;
    EXPECT_FALSE(std::filesystem::exists(root.Path() / "data" / "VELDORN")) << "nothing was started";
}

TEST(HeadlessRun, AWindowedStartWhoseDisplayDoesNotAnswerEndsWithStatusTwoInsteadOfPlayingUnseen) {
    // A display that is named but does not answer (a stale DISPLAY over ssh): SDL would fall
    // back to its off-screen driver and the game would play on where nobody can see it.
    TempDir root;
    const auto game = root.Path() / "game";
    test::WriteContainer(game, {});
    const RunResult r = RunOrva(root.Path(), "--game '" + game.string() + "'",
                                "-u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:987 SDL_AUDIODRIVER=dummy");
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Stderr.find("no display could be reached (DISPLAY=:987)"), std::string::npos) << r.Stderr;
}

}  // namespace
}  // namespace orva
