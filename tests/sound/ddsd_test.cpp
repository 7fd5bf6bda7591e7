// The sound device on the headless platform: refill requests, channels, writes and errors.
#include "sound/ddsd.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "fixtures/game_fixture.h"
#include "platform/headless/headless_platform.h"

namespace orva {
namespace {

constexpr uint32_t kRing = 1536 * 4;  // the program's ring: 1,536 frames
constexpr uint32_t kBlock = 256 * 4;  // refilled 256 frames at a time

struct Request {
    uint32_t Offset, Length;
    bool operator==(const Request&) const = default;
};

// A device and a streaming wave on channel 0 whose refills write numbered frames (left n,
// right -n) and are recorded.
struct DeviceRig {
    HeadlessPlatform Plat{{}, {}, 600000};
    TDDSD Device{Plat};
    std::unique_ptr<TDDSDWaveData> Wave;
    std::vector<Request> Requests;
    TDDSDChannel* Channel = nullptr;
    int16_t NextFrame = 1;

    DeviceRig() {
        Device.Loaded();
        Wave = std::make_unique<TDDSDWaveData>(Device, 44100, 16, true, kRing, false, kBlock);
        Wave->OnNotify = [this](TDDSDGenWave& wave, TDDSDChannel* ch, uint32_t offset, uint32_t length) {
            EXPECT_EQ(ch, Channel);
            Requests.push_back({offset, length});
            std::vector<int16_t> block(length / 2);
            for (size_t f = 0; f < block.size() / 2; ++f, ++NextFrame) {
                block[2 * f] = NextFrame;
                block[2 * f + 1] = static_cast<int16_t>(-NextFrame);
            }
            wave.WriteData(offset, block.data(), length);
        };
        Channel = Device.GetChannel(0);
        Channel->setWaveData(Wave.get());
    }
};

TEST(DDSD, RefillsKeepTheRingFullBlockByBlockAsTheDevicePlays) {
    DeviceRig rig;
    ASSERT_TRUE(rig.Device.Initialized());
    rig.Plat.Sleep(1000);
    EXPECT_TRUE(rig.Requests.empty());  // stopped: nothing is asked for
    rig.Channel->Play();
    EXPECT_EQ(rig.Channel->GetStatus(), 1u);
    rig.Plat.Sleep(TDDSDNotifyThread::kPeriodMs);
    EXPECT_EQ(rig.Requests.size(), 6u);  // the first poll fills the whole ring
    rig.Plat.Sleep(2000);
    // Two seconds played, 88,200 frames: a block for every 256 of them, in ring order.
    EXPECT_NEAR(static_cast<double>(rig.Requests.size()), 6 + 88200.0 / 256, 1.0);
    for (size_t i = 0; i < rig.Requests.size(); ++i)
        ASSERT_EQ(rig.Requests[i], (Request{static_cast<uint32_t>(i * kBlock % kRing), kBlock})) << i;
    EXPECT_EQ(rig.Wave->Underruns(), 0u);
    rig.Channel->Stop();
    const size_t asked = rig.Requests.size();
    rig.Plat.Sleep(100);
    EXPECT_EQ(rig.Requests.size(), asked);  // stopped again: nothing more
}

TEST(DDSD, TheDevicePlaysRefilledFramesInOrderAndSilenceWhenTheyRunShort) {
    DeviceRig rig;
    rig.Channel->Play();
    TDDSDNotifyThread& poll = *rig.Wave->NotifyThread();
    std::vector<int16_t> out;
    auto pull = [&](uint32_t frames) {
        out.assign(frames * 2, 0);
        rig.Device.PullAudio(out.data(), frames);
    };
    pull(100);  // before the first refill: silence, not an underrun
    EXPECT_EQ(out, std::vector<int16_t>(200, 0));
    EXPECT_EQ(rig.Wave->Underruns(), 0u);
    poll.Poll();
    pull(1000);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[1], -1);
    EXPECT_EQ(out[2 * 999], 1000);
    poll.Poll();  // room for three blocks
    EXPECT_EQ(rig.Requests.size(), 9u);
    pull(1400);   // 1,304 refilled frames across the ring's end, then 96 of silence
    for (uint32_t f = 0; f < 1304; ++f) ASSERT_EQ(out[2 * f], static_cast<int16_t>(1001 + f)) << f;
    for (uint32_t f = 1304; f < 1400; ++f) ASSERT_EQ(out[2 * f], 0) << f;
    EXPECT_EQ(rig.Wave->Underruns(), 1u);
    EXPECT_EQ(rig.Wave->UnderrunFrames(), 96u);
    poll.Poll();
    pull(10);  // the refills resume where they were: nothing skipped, nothing twice
    EXPECT_EQ(out[0], 2305);
    // A pull that finds fewer frames than it needs refills the ring itself before playing, so a
    // late poll costs nothing.
    pull(1500);
    const size_t asked = rig.Requests.size();
    pull(100);
    EXPECT_EQ(rig.Requests.size(), asked + 5);
    EXPECT_EQ(out[0], 3815);
    EXPECT_EQ(out[2 * 99], 3914);
    EXPECT_EQ(rig.Wave->Underruns(), 1u);
}

TEST(DDSD, APollAsksForNothingWhileStopped) {
    DeviceRig rig;
    TDDSDNotifyThread& poll = *rig.Wave->NotifyThread();
    poll.Poll();
    rig.Wave->SetCurrentPosition(kBlock + 100);
    poll.Poll();
    EXPECT_TRUE(rig.Requests.empty());
    int64_t play = 0, write = 0;
    ASSERT_TRUE(rig.Wave->GetCurrentPosition(play, write));
    EXPECT_EQ(play, kBlock + 100);
    EXPECT_EQ(write, play);  // a stopped buffer's write cursor stands on its play cursor
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
    TDDSDWaveData wave(device, 44100, 16, true, kRing, false, kBlock);
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
