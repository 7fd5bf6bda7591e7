// The SDL backend's raw audio output and tickers.
#include <SDL.h>

#include <atomic>
#include <thread>

#include "platform/sdl/sdl_platform.h"

namespace orva {
namespace {

constexpr uint16_t kDeviceFrames = 256;  // frames per SDL callback (about 6 ms)

void AudioCallback(void* user, Uint8* stream, int len) {
    auto* source = static_cast<AudioSource*>(user);
    source->PullAudio(reinterpret_cast<int16_t*>(stream), static_cast<uint32_t>(len) / 4);
}

// A thread that calls its tick every period until destroyed. It sleeps first, so the first tick
// comes one period after the start.
class ThreadTicker : public PlatformTicker {
public:
    ThreadTicker(uint32_t periodMs, std::function<void()> tick)
        : Thread([this, periodMs, tick = std::move(tick)] {
              while (!Stop.load(std::memory_order_acquire)) {
                  SDL_Delay(periodMs);
                  if (Stop.load(std::memory_order_acquire)) break;
                  tick();
              }
          }) {}
    ~ThreadTicker() override {
        Stop.store(true, std::memory_order_release);
        Thread.join();
    }

private:
    std::atomic<bool> Stop{false};  // set by the destructor; the thread leaves at its next check
    std::thread Thread;
};

}  // namespace

bool SdlPlatform::OpenAudio(AudioSource& source, std::string& error) {
    CloseAudio();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = SDL_GetError();
        if (error.empty()) error = "SDL audio could not start";
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(kAudioRate);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = AudioCallback;
    want.userdata = &source;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts whatever the device wants.
    AudioDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (AudioDevice == 0) {
        error = SDL_GetError();
        if (error.empty()) error = "no audio device";
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Audio = &source;
    SDL_PauseAudioDevice(AudioDevice, 0);
    return true;
}

void SdlPlatform::CloseAudio() {
    if (AudioDevice == 0) return;
    // Closing waits for a callback in progress; none runs afterwards.
    SDL_CloseAudioDevice(AudioDevice);
    AudioDevice = 0;
    Audio = nullptr;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::unique_ptr<PlatformTicker> SdlPlatform::StartTicker(uint32_t periodMs, std::function<void()> tick) {
    return std::make_unique<ThreadTicker>(periodMs, std::move(tick));
}

}  // namespace orva
