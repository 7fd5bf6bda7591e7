// The system save files: first start, defaults, damaged files kept aside, the seen-pictures list.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "app/single_instance.h"
#include "fixtures/game_fixture.h"

namespace orva {
namespace {

using test::EngineHarness;

TEST(SaveFiles, FirstStartWritesTheFullBlockWithTheDefaultConfiguration) {
    EngineHarness h;
    h.Start();
    const auto path = h.SaveDir / "SAVE.DAT";
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::is_directory(h.SaveDir / "THUMB"));
    const auto bytes = ReadWholeFile(path).value();
    ASSERT_EQ(bytes.size(), 424800u);
    const uint8_t expected[32] = {0, 1, 75, 0, 75, 0, 75, 0, 1, 0, 50, 0, 50, 0, 0, 0, 0, 0, 75};
    EXPECT_EQ(std::memcmp(bytes.data() + 264768, expected, 32), 0);
    EXPECT_FALSE(h.Plat->IsFullScreen());
    EXPECT_EQ(h.Form->EngineMode, Mode::Startup);
}

TEST(SaveFiles, SavedSettingsAndRecordsComeBackAndTheWindowAlwaysStartsAttached) {
    EngineHarness h;
    {
        TForm1& f = h.Start();
        f.Config.ScreenMode = 1;
        f.Config.DetachedWindow = 1;
        f.Sys->SystemFlg[450] = -7;
        f.AddMitayo("BG01");
        f.AddMitayo("BG01");
        f.AddMitayo("bg01");
        f.FormClose();
    }
    TForm1& f = h.Start();
    EXPECT_EQ(f.Sys->SystemFlg[450], -7);
    EXPECT_TRUE(h.Plat->IsFullScreen());   // full screen saved in the configuration
    EXPECT_EQ(f.Config.DetachedWindow, 0);
    EXPECT_EQ(f.MitayoList, (std::vector<std::string>{"BG01", "bg01"}));
    EXPECT_TRUE(f.CheckMitayo("Bg01"));
    EXPECT_FALSE(f.CheckMitayo("BG02"));
}

TEST(SaveFiles, AWrongSizeSaveFileIsKeptAsideAndTheGameStartsWithDefaults) {
    EngineHarness h;
    std::filesystem::create_directories(h.SaveDir);
    test::WriteBytes(h.SaveDir / "SAVE.DAT", std::vector<uint8_t>(1000, 0x5A));
    TForm1& f = h.Start();
    EXPECT_EQ(f.Config.BgmVolume, 75);
    int kept = 0;
    for (const auto& e : std::filesystem::directory_iterator(h.SaveDir)) {
        if (e.path().filename().string().starts_with("SAVE.DAT.damaged-")) {
            ++kept;
            EXPECT_EQ(std::filesystem::file_size(e.path()), 1000u);
        }
    }
    EXPECT_EQ(kept, 1);
    EXPECT_EQ(std::filesystem::file_size(h.SaveDir / "SAVE.DAT"), 424800u);
}

TEST(SaveFiles, AMissingOrShortScriptContainerEndsStartUp) {
    EngineHarness h;
    std::filesystem::remove(h.GameDir / "SCRIPT.DAT");
    h.Start({}, 600000, false);
    EXPECT_FALSE(h.Form->FormCreate());
    test::WriteBytes(h.GameDir / "SCRIPT.DAT", std::vector<uint8_t>(100, 0));
    h.Start({}, 600000, false);
    EXPECT_FALSE(h.Form->FormCreate());
    EXPECT_FALSE(std::filesystem::exists(h.SaveDir / "SAVE.DAT"));  // nothing written
}

TEST(SingleInstance, ASecondHolderIsRefused) {
    test::TempDir dir;
    const auto lock = dir.Path() / "ORVAx300SE.lock";
    std::string error;
    bool held = false;
    ASSERT_TRUE(AcquireInstanceLock(lock, error, held)) << error;
    EXPECT_FALSE(AcquireInstanceLock(lock, error, held));
    EXPECT_TRUE(held);
}

TEST(VariableStores, ClearsAndTheOpacityRounding) {
    EngineHarness h;
    TForm1& f = h.Start();
    f.Game.ScenarioFlg[0] = 5;
    f.Game.ScenarioFlg[511] = 6;
    f.NOVL_ClearScenarioFlg();
    EXPECT_EQ(f.Game.ScenarioFlg[0], 0);
    EXPECT_EQ(f.Game.ScenarioFlg[511], 0);
    f.Game.ReturnTbl[3] = {4, 5};
    f.NOVL_ClearReturnTbl();
    EXPECT_EQ(f.Game.ReturnCount, 1);
    EXPECT_EQ(f.Game.ReturnTbl[3].Script, 0);
    EXPECT_EQ(OpacityFromPercent(75), 191);
    EXPECT_EQ(OpacityFromPercent(50), 128);
    EXPECT_EQ(OpacityFromPercent(100), 255);
    EXPECT_EQ(OpacityFromPercent(0), 0);
    EXPECT_EQ(OpacityFromPercent(10), 26);  // 25.5 rounds to the even 26
    EXPECT_EQ(OpacityFromPercent(30), 76);  // 76.5 rounds to the even 76
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

TEST(SaveFiles, ASaveFolderThatCannotBeMadeEndsStartUpWithOneLineNamingIt) {
    test::EngineHarness h;
    // A plain file stands where the save folder's parent should be.
    std::ofstream(h.Root.Path() / "blocker") << "x";
    h.SaveDir = h.Root.Path() / "blocker" / "VELDORN" / "ORVA300SE";
    h.Start({}, 600000, false);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(h.Form->FormCreate());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("cannot create the save folder"), std::string::npos) << err;
    EXPECT_NE(err.find("blocker"), std::string::npos) << err;
    EXPECT_TRUE(std::filesystem::is_regular_file(h.Root.Path() / "blocker"));
}

}  // namespace
}  // namespace orva
