// The real notify thread and SDL's audio thread (dummy driver) against a main thread that keeps
// loading, starting, fading and stopping sources. Built with ThreadSanitizer: a data race
// between the threads fails the test.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "platform/sdl/sdl_platform.h"
#include "sound/ddsd.h"
#include "sound/ogg_player.h"
#include "sound_fixture.h"

namespace orva {
namespace {

TEST(NotifyThread, RefillsRunBesideTheMainThreadWithoutRaces) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    SdlPlatform plat(SdlOptions{});
    TDDSD device(plat);
    device.Loaded();
    ASSERT_TRUE(device.Initialized()) << device.DeviceError();

    test::ToneRecipe recipe;
    recipe.Comments = {"COMMENT=*looptime,0,0.1,0.4,-1"};
    const auto tone = test::EncodeTone(recipe);
    TOggPlayer player(0x28000, 10);
    TOggData music(0x28000), voice(0x28000);
    ASSERT_TRUE(test::LoadInto(music, tone));

    std::atomic<int> refills{0};
    auto wave = std::make_unique<TDDSDWaveData>(device, 44100, 16, true, 0x28000, false);
    wave->OnNotify = [&](TDDSDGenWave& sender, TDDSDChannel*, uint32_t offset, uint32_t length) {
        player.FillNextHalf();
        sender.WriteData(offset, player.GetOutput(), std::min(length, player.HalfBytes()));
        ++refills;
    };
    TDDSDChannel* channel = device.GetChannel(0);
    channel->setWaveData(wave.get());
    channel->Play();

    player.SetSource(0, &music, true);
    player.Play(0, true);
    // About 1.5 s of main-thread traffic: three refills at least.
    for (int i = 0; i < 150; ++i) {
        music.FadeTo(0.5, (i % 2) ? 1.0 : 0.3);
        player.SetVolume(0, 0.75);
        if (i % 20 == 0) {
            voice.LoadFromStream(TMemoryStream(tone));
            player.SetSource(6, &voice, true);
            player.Play(6, false);
        }
        if (i % 20 == 10) player.Stop(6);
        if (i % 50 == 25) player.SetSource(6, nullptr, false);
        (void)player.GetState(6);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_GE(refills.load(), 3);
    int64_t play = 0, write = 0;
    ASSERT_TRUE(wave->GetCurrentPosition(play, write));

    channel->Stop();
    channel->setWaveData(nullptr);
    wave.reset();  // joins the notify thread
}

}  // namespace
}  // namespace orva
