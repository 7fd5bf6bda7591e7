// The sound device on the headless platform: refill requests, channels, writes and errors.
#include "sound/ddsd.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "fixtures/game_fixture.h"
#include "platform/headless/headless_platform.h"

namespace orva {
namespace {

constexpr uint32_t kRing = 0x28000;
constexpr uint32_t kHalf = kRing / 2;

struct Request {
    uint32_t Offset, Length;
    bool operator==(const Request&) const = default;
};

// A device and a streaming wave on channel 0 that records its refill requests.
struct DeviceRig {
    HeadlessPlatform Plat{{}, {}, 600000};
    TDDSD Device{Plat};
    std::unique_ptr<TDDSDWaveData> Wave;
    std::vector<Request> Requests;
    TDDSDChannel* Channel = nullptr;

    DeviceRig() {
        Device.Loaded();
        Wave = std::make_unique<TDDSDWaveData>(Device, 44100, 16, true, kRing, false);
        Wave->OnNotify = [this](TDDSDGenWave&, TDDSDChannel* ch, uint32_t offset, uint32_t length) {
            EXPECT_EQ(ch, Channel);
            Requests.push_back({offset, length});
        };
        Channel = Device.GetChannel(0);
        Channel->setWaveData(Wave.get());
    }
};

TEST(DDSD, RefillsAlternateStartingWithTheSecondHalfOncePerHalfPlayed) {
    DeviceRig rig;
    ASSERT_TRUE(rig.Device.Initialized());
    rig.Plat.Sleep(1000);
    EXPECT_TRUE(rig.Requests.empty());  // stopped: nothing is asked for
    rig.Channel->Play();
    EXPECT_EQ(rig.Channel->GetStatus(), 1u);
    rig.Plat.Sleep(4700);  // ten halves of 20,480 frames take 4.64 s
    ASSERT_EQ(rig.Requests.size(), 11u);
    for (size_t i = 0; i < rig.Requests.size(); ++i)
        EXPECT_EQ(rig.Requests[i], (i % 2 == 0 ? Request{kHalf, kHalf} : Request{0, kHalf})) << i;
}

TEST(DDSD, APollRaisesNothingAtCursorZeroOrWhileStopped) {
    DeviceRig rig;
    TDDSDNotifyThread& poll = *rig.Wave->NotifyThread();
    poll.Poll();  // both cursors 0
    EXPECT_TRUE(rig.Requests.empty());
    rig.Wave->SetCurrentPosition(100);
    poll.Poll();  // first half, but stopped
    rig.Wave->SetCurrentPosition(kHalf + 100);
    poll.Poll();  // crossed the middle, still stopped
    EXPECT_TRUE(rig.Requests.empty());
    int64_t play = 0, write = 0;
    ASSERT_TRUE(rig.Wave->GetCurrentPosition(play, write));
    EXPECT_EQ(play, kHalf + 100);
    EXPECT_EQ(write, play);  // a stopped buffer's write cursor stands on its play cursor
}

TEST(DDSD, WritesWrapPastTheEndAndTheDeviceReadsThemInOrder) {
    DeviceRig rig;
    const int16_t frames[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    rig.Wave->WriteData(kRing - 8, frames, sizeof frames);
    rig.Channel->Play();
    rig.Wave->SetCurrentPosition(kRing - 8);
    int16_t out[8] = {};
    rig.Device.PullAudio(out, 4);
    EXPECT_EQ(std::vector<int16_t>(out, out + 8), std::vector<int16_t>(frames, frames + 8));
    int64_t play = 0, write = 0;
    rig.Wave->GetCurrentPosition(play, write);
    EXPECT_EQ(play, 8);
    EXPECT_EQ(write, 8 + 4096);
}

TEST(DDSD, ChannelsWithoutAWaveAndTheSameWaveAgainChangeNothing) {
    DeviceRig rig;
    TDDSDChannel* empty = rig.Device.GetChannel(1);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetStatus(), 0u);
    empty->Stop();
    empty->Play();
    EXPECT_EQ(empty->GetStatus(), 0u);

    rig.Channel->Play();
    rig.Channel->setWaveData(rig.Wave.get());
    EXPECT_EQ(rig.Channel->GetStatus(), 1u);  // not stopped
    rig.Channel->setWaveData(nullptr);
    EXPECT_EQ(rig.Channel->GetStatus(), 0u);
    EXPECT_EQ(rig.Wave->GetStatus(), 0u);      // detaching a streaming wave stops it
}

TEST(DDSD, AChannelNumberOutOfRangeIsReported) {
    DeviceRig rig;
    EXPECT_EXIT(rig.Device.GetChannel(8), testing::ExitedWithCode(1), "チャンネル番号8は無効です、0～7の範囲で指定してください");
    EXPECT_EXIT(rig.Device.GetChannel(-1), testing::ExitedWithCode(1), "チャンネル番号-1は無効です");
    EXPECT_EXIT(rig.Device.CheckResult(0x88780078, "x"), testing::ExitedWithCode(1), "x\\(Error Code\\(88780078\\)\\)");
    rig.Device.SetDebugOption(dsoExceptOnError);
    EXPECT_THROW(rig.Device.GetChannel(8), EDDSD);
    rig.Device.SetDebugOption(0);
    EXPECT_EQ(rig.Device.GetChannel(8), nullptr);
    EXPECT_EQ(rig.Device.CheckResult(0, "x"), 0);
    EXPECT_EQ(rig.Device.CheckResult(-2147024882, "x"), -2147024882);  // reported, not halted
}

TEST(DDSD, InPlayAFaultIsToldAndNeitherEndsTheProgramNorThrows) {
    DeviceRig rig;
    std::vector<std::string> told;
    rig.Device.OnFault = [&](const std::string& text) { told.push_back(text); };
    rig.Device.SetDebugOption(dsoHaltOnError | dsoExceptOnError);
    rig.Device.EndStartUp();
    EXPECT_EQ(rig.Device.GetChannel(8), nullptr);
    EXPECT_EQ(rig.Device.CheckResult(0x88780078, "一次バッファの作成に失敗しました"), 0x88780078);
    EXPECT_EQ(told, (std::vector<std::string>{"チャンネル番号8は無効です、0～7の範囲で指定してください",
                                              "一次バッファの作成に失敗しました(Error Code(88780078))"}));
    // The device still works.
    rig.Channel->Play();
    EXPECT_EQ(rig.Channel->GetStatus(), 1u);
}

TEST(DDSD, TheDebugLogRestartsWithTheFirstErrorAndNumbersEachLine) {
    test::TempDir dir;
    {
        std::ofstream old(dir.Path() / "DDSD_DebugLog.txt");
        old << "from an earlier run\n";
    }
    HeadlessPlatform plat({}, {}, 1000);
    TDDSD device(plat);
    device.SetLogFolder(dir.Path());
    device.SetDebugOption(dsoDebugMessage);
    device.CheckResult(0x88780078, "一次バッファの作成に失敗しました");
    device.ReportError("second");
    std::ifstream in(dir.Path() / "DDSD_DebugLog.txt");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(),
              "debug#00001 ... 一次バッファの作成に失敗しました(Error Code(88780078))\r\n"
              "debug#00002 ... second\r\n");
}

// A platform without an output device.
class NoAudioPlatform : public HeadlessPlatform {
public:
    NoAudioPlatform() : HeadlessPlatform({}, {}, 1000) {}
    bool OpenAudio(AudioSource&, std::string& error) override {
        error = "no device";
        return false;
    }
};

TEST(DDSD, WithoutADeviceEverythingIsSilentAndHarmless) {
    NoAudioPlatform plat;
    TDDSD device(plat);
    device.Loaded();
    EXPECT_FALSE(device.Initialized());
    EXPECT_EQ(device.DeviceError(), "no device");
    TDDSDWaveData wave(device, 44100, 16, true, kRing, false);
    EXPECT_FALSE(wave.HasBuffer());
    EXPECT_EQ(wave.NotifyThread(), nullptr);
    TDDSDChannel* channel = device.GetChannel(0);
    ASSERT_NE(channel, nullptr);
    channel->setWaveData(&wave);
    channel->Play();
    const int16_t data[4] = {1, 2, 3, 4};
    wave.WriteData(0, data, sizeof data);
    EXPECT_EQ(channel->GetStatus(), 0u);
    plat.Sleep(1000);
}

}  // namespace
}  // namespace orva
