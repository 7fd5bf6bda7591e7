// Sound test fixtures: tones encoded as Ogg Vorbis in memory, and level measurements of what
// a source or the engine played.
#pragma once

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "sound/ogg_data.h"
#include "sound/ogg_writer.h"

namespace orva::test {

// A 440 Hz sine made of segments of `seconds` each at the given peak amplitudes.
struct ToneRecipe {
    int Rate = 44100;
    int Channels = 2;
    double Hz = 440.0;
    double SegmentSeconds = 0.5;
    std::vector<double> Amplitudes{8000};
    std::vector<std::string> Comments;
};

inline std::vector<uint8_t> EncodeTone(const ToneRecipe& recipe) {
    const auto perSegment = static_cast<size_t>(std::lround(recipe.SegmentSeconds * recipe.Rate));
    std::vector<int16_t> pcm;
    pcm.reserve(perSegment * recipe.Amplitudes.size() * static_cast<size_t>(recipe.Channels));
    size_t n = 0;
    for (double a : recipe.Amplitudes)
        for (size_t i = 0; i < perSegment; ++i, ++n) {
            const auto v = static_cast<int16_t>(std::lround(a * std::sin(2 * M_PI * recipe.Hz * static_cast<double>(n) / recipe.Rate)));
            for (int c = 0; c < recipe.Channels; ++c) pcm.push_back(v);
        }
    OggWriteOptions options;
    options.Rate = recipe.Rate;
    options.Channels = recipe.Channels;
    options.Comments = recipe.Comments;
    std::vector<uint8_t> out;
    std::string error;
    if (!EncodeOggVorbis(pcm, options, out, error)) throw std::runtime_error(error);
    return out;
}

inline bool LoadInto(TOggData& source, const std::vector<uint8_t>& bytes) {
    return source.LoadFromStream(TMemoryStream(bytes));
}

// Renders until the source falls silent or `maxHalves` halves have been rendered; returns the
// left channel of every frame produced.
inline std::vector<int32_t> RenderLeft(TOggData& source, int maxHalves) {
    std::vector<int32_t> left;
    for (int h = 0; h < maxHalves; ++h) {
        const uint32_t bytes = source.Render();
        if (bytes == 0) break;
        const int32_t* buf = source.GetBuffer();
        for (uint32_t f = 0; f < bytes / 8; ++f) left.push_back(buf[2 * f]);
    }
    return left;
}

// The peak amplitude of a sine in [from, to) seconds of `samples` (one channel at `rate`),
// estimated from the RMS so that codec noise averages out.
template <typename T>
double ToneLevel(const std::vector<T>& samples, double from, double to, int rate = 44100, int stride = 1) {
    const auto a = static_cast<size_t>(from * rate), b = static_cast<size_t>(to * rate);
    double sum = 0;
    size_t n = 0;
    for (size_t i = a; i < b && i * stride < samples.size(); ++i, ++n) {
        const double v = samples[i * stride];
        sum += v * v;
    }
    return n ? std::sqrt(sum / n) * std::sqrt(2.0) : 0.0;
}

}  // namespace orva::test

namespace orva::test {

// The amplitude of the `hz` component in [from, to) seconds (Goertzel), for separating tones
// that play together.
template <typename T>
double ToneAmplitude(const std::vector<T>& samples, double hz, double from, double to, int rate = 44100,
                     int stride = 1) {
    const auto a = static_cast<size_t>(from * rate), b = static_cast<size_t>(to * rate);
    const double w = 2 * M_PI * hz / rate;
    double re = 0, im = 0;
    size_t n = 0;
    for (size_t i = a; i < b && i * stride < samples.size(); ++i, ++n) {
        const double v = samples[i * stride];
        re += v * std::cos(w * static_cast<double>(i));
        im -= v * std::sin(w * static_cast<double>(i));
    }
    return n ? 2 * std::sqrt(re * re + im * im) / static_cast<double>(n) : 0.0;
}

}  // namespace orva::test
