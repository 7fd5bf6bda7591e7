// Down-mix and rate conversion for sounds outside the mixer's own formats.
#include "sound/resampler.h"

#include <speex/speex_resampler.h>

#include <algorithm>
#include <cmath>

namespace orva {
namespace {

// Quality 5 of 10 ("desktop"): a sinc filter whose aliasing stays far below a 16-bit voice's
// noise, at about 1 % of one core for three stereo sources.
constexpr int kQuality = SPEEX_RESAMPLER_QUALITY_DESKTOP;

constexpr float kMinus3dB = 0.70710678f;

// Channel roles of the Vorbis layouts for 3..8 channels.
enum Role : uint8_t { FL, FR, C, SL, SR, RC, LFE };
constexpr Role kLayouts[6][8] = {
    {FL, C, FR},                          // 3
    {FL, FR, SL, SR},                     // 4
    {FL, C, FR, SL, SR},                  // 5
    {FL, C, FR, SL, SR, LFE},             // 6 (5.1)
    {FL, C, FR, SL, SR, RC, LFE},         // 7 (6.1)
    {FL, C, FR, SL, SR, SL, SR, LFE},     // 8 (7.1: side and rear pairs both count as surround)
};

}  // namespace

void DownmixToStereo(const int16_t* in, int channels, uint32_t frames, int16_t* out) {
    if (channels <= 2) {
        std::copy(in, in + static_cast<size_t>(frames) * static_cast<size_t>(channels), out);
        return;
    }
    // Coefficients per input channel for the left and the right output; layouts past 8 channels
    // take their first 8.
    const int used = std::min(channels, 8);
    float left[8] = {}, right[8] = {};
    float sumL = 0, sumR = 0;
    for (int c = 0; c < used; ++c) {
        switch (kLayouts[used - 3][c]) {
            case FL: left[c] = 1; break;
            case FR: right[c] = 1; break;
            case C: left[c] = right[c] = kMinus3dB; break;
            case SL: left[c] = kMinus3dB; break;
            case SR: right[c] = kMinus3dB; break;
            case RC: left[c] = right[c] = 0.5f; break;
            case LFE: break;
        }
        sumL += left[c];
        sumR += right[c];
    }
    for (int c = 0; c < used; ++c) {
        left[c] /= sumL;
        right[c] /= sumR;
    }
    for (uint32_t f = 0; f < frames; ++f) {
        const int16_t* frame = in + static_cast<size_t>(f) * static_cast<size_t>(channels);
        float l = 0, r = 0;
        for (int c = 0; c < used; ++c) {
            l += left[c] * frame[c];
            r += right[c] * frame[c];
        }
        out[2 * f] = static_cast<int16_t>(std::clamp(std::lround(l), -32768L, 32767L));
        out[2 * f + 1] = static_cast<int16_t>(std::clamp(std::lround(r), -32768L, 32767L));
    }
}

TRateConverter::TRateConverter(int inRate, int channels) : ChannelCount(std::clamp(channels, 1, 2)) {
    if (inRate <= 0) return;
    int err = 0;
    State = speex_resampler_init(static_cast<spx_uint32_t>(ChannelCount), static_cast<spx_uint32_t>(inRate),
                                 kMixRate, kQuality, &err);
    if (err != RESAMPLER_ERR_SUCCESS && State) {
        speex_resampler_destroy(State);
        State = nullptr;
    }
    if (!State) return;
    Latency = static_cast<uint32_t>(speex_resampler_get_input_latency(State));
    speex_resampler_skip_zeros(State);
}

TRateConverter::~TRateConverter() {
    if (State) speex_resampler_destroy(State);
}

void TRateConverter::Process(const int16_t* in, uint32_t& inFrames, int16_t* out, uint32_t& outFrames) {
    if (!State) {
        inFrames = outFrames = 0;
        return;
    }
    spx_uint32_t inLen = inFrames, outLen = outFrames;
    speex_resampler_process_interleaved_int(State, in, &inLen, out, &outLen);
    inFrames = inLen;
    outFrames = outLen;
}

void TRateConverter::Reset() {
    if (!State) return;
    speex_resampler_reset_mem(State);
    speex_resampler_skip_zeros(State);
}

}  // namespace orva
