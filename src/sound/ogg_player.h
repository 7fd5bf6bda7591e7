// The stream player: up to ten sources in numbered channels summed into one 16-bit stereo
// 44,100 Hz stream, with a peak limiter that turns loud passages down instead of clipping them.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "data/zeroed_memory.h"
#include "sound/ogg_data.h"

namespace orva {

// The limiter's state; levels carry 8 fraction bits.
struct LimiterState {
    int32_t Level = 0;             // the peak level the gain is set for
    int32_t MinLevel = 32767;      // at or below this the gain is 1.0
    int32_t MaxLevel = 65534;      // the gain never goes below 32767 / MaxLevel
    int32_t ReleaseStep = 500;     // level fall per block once the hold has passed
    int32_t SampleRate = 44100;    // the hold lasts SampleRate / 32 blocks
    int32_t HoldCount = 0;         // quieter blocks since the last louder one
};

// Limits one block of interleaved stereo accumulator values in place.
void LimitBlock(LimiterState& s, int32_t* block, uint32_t frames);

class TOggPlayer {
public:
    static constexpr uint32_t kMaxInputs = 32;
    static constexpr uint32_t kLimiterBlock = 32;  // frames

    // `size`: bytes of the output stream (two halves of 16-bit stereo).
    TOggPlayer(uint32_t size, uint32_t channelCount);
    ~TOggPlayer();
    TOggPlayer(const TOggPlayer&) = delete;
    TOggPlayer& operator=(const TOggPlayer&) = delete;

    void Reset();
    void SetSource(uint32_t channel, TOggData* source, bool lock);
    void ClearChannel(uint32_t channel, bool lock) { SetSource(channel, nullptr, lock); }
    void SetVolume(uint32_t channel, double v);
    void SetMasterVolume(double v);
    void Play(uint32_t channel, bool loop);
    void Stop(uint32_t channel);
    int GetState(uint32_t channel) const;
    TOggData* Source(uint32_t channel) const;

    // Renders the next half (refill thread); GetOutput then points at it.
    void FillNextHalf() { FillNext(Size / 2); }
    // Renders the next `bytes` (at most a half; a multiple of the limiter's block keeps its
    // blocks where a whole half would put them) into the other half; GetOutput points at them.
    void FillNext(uint32_t bytes);
    const int16_t* GetOutput() const { return Output.data() + CurrentHalf; }
    uint32_t HalfBytes() const { return Size / 2; }
    // Mixes `bytes` of 16-bit stereo into `dest`; returns `bytes`.
    uint32_t Render(int16_t* dest, uint32_t bytes);

    const LimiterState& Limiter() const { return Lim; }
    uint32_t ChannelCount() const { return static_cast<uint32_t>(Channels.size()); }

private:
    TSemaphore Guard;
    uint32_t Size;                                  // bytes of the output stream
    int32_t OutputGain = 256;
    ZeroedVector<int16_t> Output;                   // two halves
    uint32_t CurrentHalf = 0;                       // int16 offset of the current half
    uint32_t PreviousHalf = 0;
    ZeroedVector<int32_t> Accumulator;              // interleaved stereo sums
    LimiterState Lim;
    std::vector<std::atomic<TOggData*>> Channels;   // read by the render, written by the main thread
    const int32_t* Inputs[kMaxInputs] = {};         // the render's list of playing sources
};

}  // namespace orva
