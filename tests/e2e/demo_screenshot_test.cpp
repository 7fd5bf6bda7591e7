// Screenshots of the demo game by the orva program on the headless platform: F12 and the
// pad's X save the presented frame, unscaled, in the pictures folder's orva/ folder, named by
// the virtual clock's local time, and say so in the trace and on the status line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "fixtures/game_fixture.h"
#include "fixtures/programs.h"
#include "graphics/png_load.h"

namespace orva {
namespace {

namespace fs = std::filesystem;
using test::ReadAll;
using test::RunCommand;
using test::TempDir;

// Built up in steps: GCC 12 at -O3 warns falsely (-Wrestrict) on "'" + string + "'".
std::string Quote(const fs::path& p) {
    std::string quoted = "'";
    quoted += p.string();
    return quoted + "'";
}

struct ShotRun {
    TempDir Root;
    fs::path Home = Root.Path() / "home", Config = Root.Path() / "config";
    std::string Stderr;
    std::string Trace;

    int Play(const std::string& timeline, const std::string& extra = "") {
        const fs::path input = Root.Path() / "input.txt", trace = Root.Path() / "trace.jsonl",
                       err = Root.Path() / "err.txt";
        std::ofstream(input, std::ios::trunc) << timeline;
        const std::string cmd = "env TZ=UTC HOME=" + Quote(Home) + " XDG_CONFIG_HOME=" + Quote(Config) +
                                " XDG_RUNTIME_DIR=" + Quote(Root.Path()) + " XDG_DATA_HOME=" + Quote(Root.Path() / "data") +
                                " " + ORVA_BINARY + " --headless --seed 1 --game " + Quote(ORVA_DEMO_DIR) +
                                " --until 6000 --input " + Quote(input) + " --trace " + Quote(trace) + " " + extra +
                                " 2>" + Quote(err);
        const int status = RunCommand(cmd);
        Stderr = ReadAll(err);
        Trace = ReadAll(trace);
        return status;
    }
};

TEST(DemoScreenshot, F12AndPadXSaveThePresentedFrameInThePicturesFolderWithASuffixPerSecond) {
    ShotRun run;
    fs::create_directories(run.Config);
    std::ofstream(run.Config / "user-dirs.dirs") << "# written by xdg-user-dirs-update\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    const fs::path shot = run.Root.Path() / "shot.png";
    ASSERT_EQ(run.Play("3000 key f12 down\n3050 key f12 up\n3300 pad x down\n3400 pad x up\n4500 key f12 down\n",
                       "--shot 3000:" + Quote(shot)),
              0)
        << run.Stderr;
    // The clock starts at 2026-01-01 12:00:00: two shots in second 3, one in second 4 (held
    // F12 takes one shot).
    const fs::path folder = run.Home / "Bilder" / "orva";
    const fs::path a = folder / "orva-20260101-120003.png", b = folder / "orva-20260101-120003-2.png",
                   c = folder / "orva-20260101-120004.png";
    ASSERT_TRUE(fs::exists(a)) << run.Stderr;
    EXPECT_TRUE(fs::exists(b));
    EXPECT_TRUE(fs::exists(c));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 3);
    // The same picture as the capture of that time, 800×600.
    EXPECT_EQ(ReadAll(a), ReadAll(shot));
    TABitmap pic;
    bool alpha = false;
    std::string error;
    const std::string bytes = ReadAll(a);
    ASSERT_TRUE(DecodePng({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, pic, alpha, error)) << error;
    EXPECT_EQ(pic.Width(), 800);
    EXPECT_EQ(pic.Height(), 600);
    EXPECT_NE(run.Trace.find("\"ev\":\"screenshot\",\"path\":\"" + a.string() + "\""), std::string::npos) << run.Trace;
}

TEST(DemoScreenshot, WithoutUserDirsShotsGoToPicturesAndAnUnwritableFolderIsReportedNotFatal) {
    ShotRun run;
    ASSERT_EQ(run.Play("3000 key f12 down\n3050 key f12 up\n"), 0) << run.Stderr;
    EXPECT_TRUE(fs::exists(run.Home / "Pictures" / "orva" / "orva-20260101-120003.png"));

    ShotRun blocked;
    fs::create_directories(blocked.Home);
    std::ofstream(blocked.Home / "Pictures") << "a file where the folder would be";
    ASSERT_EQ(blocked.Play("3000 key f12 down\n3050 key f12 up\n"), 0) << blocked.Stderr;
    EXPECT_NE(blocked.Stderr.find("the screenshot could not be saved"), std::string::npos) << blocked.Stderr;
    EXPECT_EQ(blocked.Trace.find("\"ev\":\"screenshot\""), std::string::npos);
}

}  // namespace
}  // namespace orva
