// The stream player and its limiter.
#include "sound/ogg_player.h"

#include <algorithm>
#include <cstdlib>

namespace orva {

void LimitBlock(LimiterState& s, int32_t* block, uint32_t frames) {
    if (s.MinLevel == s.MaxLevel) {
        s.Level = s.MinLevel * 256;
    } else {
        int64_t peak = 0;
        for (uint32_t i = 0; i < frames * 2; ++i) peak = std::max<int64_t>(peak, std::llabs(block[i]));
        const int64_t l0 = s.Level / 256;
        if (l0 < peak) {  // attack: three quarters of the way up at once
            s.Level = static_cast<int32_t>((static_cast<int64_t>(s.Level) + peak * 768) / 4);
            s.HoldCount = 0;
        } else if (l0 > peak) {  // release after the hold
            if (s.HoldCount > s.SampleRate / 32) s.Level -= s.ReleaseStep;
            else ++s.HoldCount;
        }
        s.Level = std::min(s.Level, s.MaxLevel * 256);
        s.Level = std::max(s.Level, s.MinLevel * 256);
    }
    if (s.Level == 0x7FFF00) return;
    if (s.Level < 0x10000) s.Level = 0x10000;
    const uint32_t level = static_cast<uint32_t>(s.Level) / 256u;  // at least 256
    const int64_t gain = level == 0 ? 0 : 0x7FFF00u / level;
    for (uint32_t i = 0; i < frames * 2; ++i) block[i] = static_cast<int32_t>(block[i] * gain / 256);
}

TOggPlayer::TOggPlayer(uint32_t size, uint32_t channelCount)
    : Size(size / 8 * 8),
      Output(Size / 2),
      Accumulator(static_cast<size_t>(Size) / 2),
      Channels(channelCount) {
    for (auto& c : Channels) c.store(nullptr);
    Reset();
}

TOggPlayer::~TOggPlayer() { Reset(); }

void TOggPlayer::Reset() {
    TSemaphoreGuard g(Guard);
    const int32_t level = Lim.Level, hold = Lim.HoldCount;
    Lim = LimiterState{};
    Lim.Level = level;
    Lim.HoldCount = hold;
    for (auto& c : Channels) c.store(nullptr);
    OutputGain = 256;
    // A fresh zeroed buffer rather than writing zeros over the old one: untouched pages cost nothing.
    Output = ZeroedVector<int16_t>(Output.size());
}

void TOggPlayer::SetSource(uint32_t channel, TOggData* source, bool lock) {
    if (channel >= Channels.size()) return;
    if (!source) {
        Channels[channel].store(nullptr);
        return;
    }
    if (lock) Guard.Enter();
    for (auto& c : Channels)
        if (c.load() == source) c.store(nullptr);
    Channels[channel].store(source);
    if (lock) Guard.Leave();
}

TOggData* TOggPlayer::Source(uint32_t channel) const {
    return channel < Channels.size() ? Channels[channel].load() : nullptr;
}

void TOggPlayer::SetVolume(uint32_t channel, double v) {
    if (TOggData* s = Source(channel)) s->SetChannelGain(v);
}

void TOggPlayer::SetMasterVolume(double v) {
    for (auto& c : Channels)
        if (TOggData* s = c.load()) s->SetMasterGain(v);
}

void TOggPlayer::Play(uint32_t channel, bool loop) {
    if (TOggData* s = Source(channel)) s->Play(loop);
}

void TOggPlayer::Stop(uint32_t channel) {
    if (TOggData* s = Source(channel)) s->Stop();
}

int TOggPlayer::GetState(uint32_t channel) const {
    const TOggData* s = Source(channel);
    return s ? s->GetStatus() : 0;
}

void TOggPlayer::FillNext(uint32_t bytes) {
    PreviousHalf = CurrentHalf;
    CurrentHalf = CurrentHalf == 0 ? Size / 4 : 0;
    Render(Output.data() + CurrentHalf, std::min(bytes, Size / 2));
}

uint32_t TOggPlayer::Render(int16_t* dest, uint32_t bytes) {
    TSemaphoreGuard g(Guard);
    // The accumulator holds one half; a longer request is cut to it.
    const uint32_t frames = std::min<uint32_t>(bytes / 4, static_cast<uint32_t>(Accumulator.size() / 2));
    uint32_t inputs = 0;
    for (auto& c : Channels) {
        TOggData* s = c.load();
        if (s && inputs < kMaxInputs && s->Render(frames * 8) > 0) {
            // A source renders its own half size; a shorter one leaves the rest of the mix alone.
            if (s->HalfBytes() / 8 >= frames) Inputs[inputs++] = s->GetBuffer();
        }
    }
    int32_t* acc = Accumulator.data();
    std::fill(acc, acc + frames * 2, 0);
    for (uint32_t k = 0; k < inputs; ++k) {
        const int32_t* in = Inputs[k];
        for (uint32_t i = 0; i < frames * 2; ++i) acc[i] += in[i];
    }
    for (uint32_t f = 0; f < frames; f += kLimiterBlock)
        LimitBlock(Lim, acc + f * 2, std::min(kLimiterBlock, frames - f));
    for (uint32_t i = 0; i < frames * 2; ++i) {
        const int64_t v = static_cast<int64_t>(acc[i]) * OutputGain / 256;
        dest[i] = static_cast<int16_t>(std::clamp<int64_t>(v, -32767, 32767));
    }
    return bytes;
}

}  // namespace orva
