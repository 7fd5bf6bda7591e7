// Brings a sound at any other rate or with more than two channels to the mixer's 44,100 Hz
// stereo: a down-mix to at most two channels, then a streaming resampler (speexdsp).
#pragma once

#include <cstdint>
#include <vector>

struct SpeexResamplerState_;

namespace orva {

inline constexpr int kMixRate = 44100;

// Down-mixes `frames` interleaved frames of `channels` channels (Vorbis channel order) to
// interleaved stereo in `out`: front left and right as they are, the centre and each side's
// surround at -3 dB into their side, the low-frequency channel left out, and each side scaled
// by the sum of its coefficients so that nothing clips. One or two channels are copied as they
// are (one channel stays one channel).
void DownmixToStereo(const int16_t* in, int channels, uint32_t frames, int16_t* out);

// A streaming rate converter for one or two channels of 16-bit samples. Its output begins with
// the input's first frame (the filter's delay is skipped) and Flush pushes the last frames out.
class TRateConverter {
public:
    TRateConverter(int inRate, int channels);
    ~TRateConverter();
    TRateConverter(const TRateConverter&) = delete;
    TRateConverter& operator=(const TRateConverter&) = delete;

    bool Ok() const { return State != nullptr; }
    int Channels() const { return ChannelCount; }
    // Consumes up to `inFrames` frames of `in` and produces up to `outFrames` frames into `out`;
    // both counts are updated to what was used and made.
    void Process(const int16_t* in, uint32_t& inFrames, int16_t* out, uint32_t& outFrames);
    // Frames of silence that push every input frame given so far out of the filter.
    uint32_t FlushFrames() const { return Latency; }
    // Forgets the filter's history (after a jump that is not a loop: a rewind, a stop).
    void Reset();

private:
    SpeexResamplerState_* State = nullptr;
    int ChannelCount;
    uint32_t Latency = 0;  // input frames
};

}  // namespace orva
