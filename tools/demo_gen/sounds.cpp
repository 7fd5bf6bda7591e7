// The demo's sounds, synthesised and encoded with libvorbisenc: seven tunes in two
// arrangements (the "P" files are the music-box versions), a closing tune without one,
// effects, and voices made of formant-filtered syllables.
//
// Sections: [encoding] [instruments] [music] [effects] [voices] [all]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "assets.h"
#include "sound/ogg_writer.h"

namespace orva::demo {
namespace {

constexpr double kPi = 3.14159265358979323846;

// [encoding] ----------------------------------------------------------------------------------

struct Pcm {
    int Rate = 44100;
    int Channels = 2;
    std::vector<float> Samples;  // interleaved, −1 … 1
    size_t Frames() const { return Samples.size() / Channels; }
};

// Encodes pcm as Ogg Vorbis with the comments given as "NAME=value" strings.
bool EncodeOgg(const Pcm& pcm, const std::vector<std::string>& comments, float quality, std::vector<uint8_t>& out,
               std::string& error) {
    std::vector<int16_t> samples(pcm.Samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(std::lround(std::clamp(pcm.Samples[i], -1.0f, 1.0f) * 32767.0f));
    OggWriteOptions options;
    options.Rate = pcm.Rate;
    options.Channels = pcm.Channels;
    options.Quality = quality;
    options.Comments = comments;
    return EncodeOggVorbis(samples, options, out, error);
}

// [instruments] -------------------------------------------------------------------------------

double NoteHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

enum class Voice { Piano, MusicBox, Pad, Bass };

// One note's sample at time t seconds after its start.
double Instrument(Voice v, double hz, double t, double length) {
    const double w = 2 * kPi * hz * t;
    switch (v) {
    case Voice::Piano:
        return (std::sin(w) + 0.35 * std::sin(2 * w) + 0.12 * std::sin(3 * w)) * std::exp(-3.0 * t) *
               std::min(1.0, t * 200);
    case Voice::MusicBox:
        return (std::sin(2 * w) + 0.4 * std::sin(2 * w * 2.76) * std::exp(-6 * t)) * std::exp(-4.5 * t) *
               std::min(1.0, t * 400);
    case Voice::Pad: {
        const double env = std::min(1.0, t / 0.3) * std::min(1.0, std::max(0.0, (length - t) / 0.3));
        return (std::sin(w) + 0.3 * std::sin(w * 1.003 + 1) + 0.2 * std::sin(2 * w)) * env * 0.5;
    }
    case Voice::Bass:
        return (std::sin(w) + 0.2 * std::sin(2 * w)) * std::exp(-2.0 * t) * std::min(1.0, t * 100);
    }
    return 0;
}

void AddNote(Pcm& pcm, Voice v, int midi, double start, double length, double gain, double pan = 0.5) {
    const size_t s0 = size_t(start * pcm.Rate);
    const size_t n = size_t((length + (v == Voice::Pad ? 0.0 : 0.6)) * pcm.Rate);
    const double hz = NoteHz(midi);
    for (size_t i = 0; i < n && s0 + i < pcm.Frames(); ++i) {
        const double x = gain * Instrument(v, hz, double(i) / pcm.Rate, length);
        if (pcm.Channels == 1) {
            pcm.Samples[s0 + i] += float(x);
        } else {
            pcm.Samples[(s0 + i) * 2] += float(x * (1 - pan) * 2 * 0.5);
            pcm.Samples[(s0 + i) * 2 + 1] += float(x * pan * 2 * 0.5);
        }
    }
}

void Normalise(Pcm& pcm, double peak) {
    float m = 1e-6f;
    for (float s : pcm.Samples) m = std::max(m, std::fabs(s));
    for (float& s : pcm.Samples) s = float(s * peak / m);
}

Pcm Silence(double seconds, int rate, int channels) {
    Pcm pcm;
    pcm.Rate = rate;
    pcm.Channels = channels;
    pcm.Samples.assign(size_t(seconds * rate) * channels, 0.0f);
    return pcm;
}

// [music] -------------------------------------------------------------------------------------

struct Tune {
    const char* Name;
    int Root;                 // MIDI note of the key
    double Beat;              // seconds per beat
    int Chords[4];            // scale degrees of the four bars' chords
    uint32_t Seed;            // the melody's pattern
    int Rate, Channels;
    const char* Loop;         // the COMMENT loop lines, or nullptr
};

// Eight-beat bars, four bars, plus a one-bar intro; the loop lines point past the intro.
const Tune kTunes[] = {
    {"M01", 60, 0.42, {0, 5, 3, 4}, 11, 44100, 2, "*looptime,0,3.36,16.8,-1\r\n// the intro plays once"},
    {"M02", 62, 0.36, {0, 3, 4, 0}, 23, 44100, 2, nullptr},
    {"M03", 57, 0.40, {0, 5, 1, 4}, 37, 44100, 2, "*loopsample,0,141120,705600,-1"},
    {"M04", 64, 0.30, {0, 4, 5, 3}, 41, 44100, 2, nullptr},
    {"M05", 55, 0.50, {0, 3, 0, 4}, 53, 22050, 1, "*looptime,0,4.0,20.0,-1"},
    {"M06", 59, 0.46, {5, 3, 0, 4}, 67, 44100, 2, nullptr},
    {"M07", 65, 0.34, {0, 4, 5, 4}, 79, 44100, 2, nullptr},
    {"M08", 60, 0.50, {3, 4, 0, 0}, 97, 44100, 2, nullptr},
};

const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};

// The MIDI note of a scale degree (0 the root; negative degrees lie below it).
int Degree(int root, int degree) {
    const int octave = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
    return root + kMajor[((degree % 7) + 7) % 7] + 12 * octave;
}

Pcm Compose(const Tune& t, bool musicBox) {
    const double bar = t.Beat * 8;
    Pcm pcm = Silence(bar * 5 + 1.0, t.Rate, t.Channels);
    TRandom rnd(t.Seed);
    // Intro: the first chord held.
    for (int k : {0, 2, 4}) AddNote(pcm, Voice::Pad, Degree(t.Root - 12, t.Chords[0] + k), 0, bar, 0.25, 0.3 + 0.2 * k / 4);
    int step = 4;  // melody position on the scale
    for (int b = 0; b < 4; ++b) {
        const double t0 = bar * (b + 1);
        const int chord = t.Chords[b];
        for (int k : {0, 2, 4}) AddNote(pcm, Voice::Pad, Degree(t.Root - 12, chord + k), t0, bar, 0.22, 0.3 + 0.1 * k);
        AddNote(pcm, Voice::Bass, Degree(t.Root - 24, chord), t0, t.Beat * 4, 0.5);
        AddNote(pcm, Voice::Bass, Degree(t.Root - 24, chord + 4), t0 + t.Beat * 4, t.Beat * 4, 0.4);
        for (int beat = 0; beat < 8; ++beat) {
            if (rnd.Uniform() < 0.2 && beat % 2) continue;  // a rest now and then
            const int move = int(rnd.Next() % 5) - 2;
            step = std::max(0, std::min(11, step + move));
            if (beat == 0) step = chord + 4;  // each bar starts on its chord's root
            const int note = Degree(t.Root, step - 4);
            const double len = t.Beat * (beat % 4 == 3 ? 1.5 : 0.9);
            AddNote(pcm, musicBox ? Voice::MusicBox : Voice::Piano, note + (musicBox ? 0 : 12), t0 + beat * t.Beat, len,
                    musicBox ? 0.45 : 0.5, 0.45 + 0.1 * (beat % 3));
        }
    }
    Normalise(pcm, 0.7);
    return pcm;
}

// [effects] -----------------------------------------------------------------------------------

Pcm Noise(double seconds, uint32_t seed, const std::function<double(double t, double n, double& state)>& shape) {
    Pcm pcm = Silence(seconds, 44100, 2);
    TRandom rnd(seed);
    double state = 0;
    for (size_t i = 0; i < pcm.Frames(); ++i) {
        const double t = double(i) / pcm.Rate;
        const double x = shape(t, rnd.Uniform() * 2 - 1, state);
        pcm.Samples[i * 2] = pcm.Samples[i * 2 + 1] = float(x);
    }
    Normalise(pcm, 0.6);
    return pcm;
}

std::vector<std::pair<std::string, Pcm>> Effects() {
    std::vector<std::pair<std::string, Pcm>> out;
    // Waves: filtered noise swelling and falling, three seconds so that it loops smoothly.
    out.emplace_back("se_wave", Noise(3.0, 5, [](double t, double n, double& s) {
                         s += 0.04 * (n - s);
                         return s * (0.55 + 0.45 * std::sin(2 * kPi * t / 3.0 - kPi / 2) * -1);
                     }));
    // Paper: short bursts of bright noise.
    out.emplace_back("se_paper", Noise(0.7, 9, [](double t, double n, double& s) {
                         s = 0.6 * s + 0.4 * n;
                         return (n - s) * std::exp(-6 * std::fmod(t, 0.23)) * (t < 0.69 ? 1 : 0);
                     }));
    // Door: a low knock and a creak.
    out.emplace_back("se_door", Noise(1.0, 13, [](double t, double n, double& s) {
                         s += 0.02 * (n - s);
                         const double knock = std::sin(2 * kPi * 90 * t) * std::exp(-18 * t);
                         const double creak = t > 0.3 ? std::sin(2 * kPi * (300 + 200 * t) * t) * 0.3 *
                                                            std::exp(-3 * (t - 0.3)) * (1 + s * 4)
                                                      : 0;
                         return knock + creak;
                     }));
    // Switch: a click, then the hum of the lamp rising.
    out.emplace_back("se_switch", Noise(1.5, 17, [](double t, double n, double&) {
                         const double click = t < 0.01 ? n : 0;
                         const double hum = std::sin(2 * kPi * 120 * t) * std::min(1.0, t) * 0.4 +
                                            std::sin(2 * kPi * 880 * t) * std::min(1.0, t) * 0.1;
                         return click + hum * std::min(1.0, (1.5 - t) * 4);
                     }));
    return out;
}

// [voices] ------------------------------------------------------------------------------------

// A speech-like phrase: a glottal pulse train gliding in pitch, through two formant
// resonators that move from vowel to vowel, one syllable every 130 ms or so.
Pcm Speak(double pitch, uint32_t seed, int syllables) {
    static const double kVowels[5][2] = {{800, 1200}, {300, 2300}, {350, 1400}, {450, 1900}, {500, 900}};
    const int rate = 44100;
    const double syl = 0.13;
    Pcm pcm = Silence(syllables * syl + 0.3, rate, 1);
    TRandom rnd(seed);
    double phase = 0, y1a = 0, y2a = 0, y1b = 0, y2b = 0;
    int vowel = int(rnd.Next() % 5);
    for (size_t i = 0; i < pcm.Frames(); ++i) {
        const double t = double(i) / rate;
        const int k = int(t / syl);
        const double in = t / syl - k;
        if (k < syllables && i > 0 && i % size_t(syl * rate) == 0) {
            vowel = int(rnd.Next() % 5);
        }
        const double f0 = pitch * (1 + 0.12 * std::sin(t * 3.1) - 0.15 * t / (syllables * syl));
        phase += f0 / rate;
        const double pulse = phase - std::floor(phase) < 0.08 ? 1.0 : 0.0;
        const double env = k < syllables ? std::sin(kPi * std::min(1.0, in * 1.1)) : 0;
        auto resonate = [&](double f, double bw, double x, double& y1, double& y2) {
            const double r = std::exp(-kPi * bw / rate), c = 2 * r * std::cos(2 * kPi * f / rate);
            const double y = x * (1 - r) + c * y1 - r * r * y2;
            y2 = y1;
            y1 = y;
            return y;
        };
        const double fa = kVowels[vowel][0], fb = kVowels[vowel][1];
        const double x = pulse * env + (in < 0.12 && k < syllables ? (rnd.Uniform() - 0.5) * 0.3 : 0);
        pcm.Samples[i] = float(resonate(fa, 90, x, y1a, y2a) + 0.6 * resonate(fb, 120, x, y1b, y2b));
    }
    Normalise(pcm, 0.7);
    return pcm;
}

}  // namespace

// [all] ---------------------------------------------------------------------------------------

bool MakeSounds(const SoundSink& sink) {
    std::vector<uint8_t> ogg;
    std::string error;
    auto emit = [&](const std::string& name, const Pcm& pcm, const std::vector<std::string>& comments,
                    float quality) {
        if (!EncodeOgg(pcm, comments, quality, ogg, error)) {
            std::fprintf(stderr, "orva-demo-gen: cannot encode %s: %s\n", name.c_str(), error.c_str());
            return false;
        }
        sink(name + ".ogg", ogg);
        return true;
    };
    for (const Tune& t : kTunes) {
        std::vector<std::string> comments;
        if (t.Loop) comments.push_back(std::string("COMMENT=") + t.Loop);
        if (!emit(t.Name, Compose(t, false), comments, 0.0f)) return false;
        if (std::string(t.Name) != "M08" && !emit(std::string(t.Name) + "P", Compose(t, true), comments, 0.0f))
            return false;
    }
    for (const auto& [name, pcm] : Effects())
        if (!emit(name, pcm, {}, 0.1f)) return false;
    const struct {
        const char* Name;
        double Pitch;
        int Syllables;
    } voices[] = {{"v_mina01", 250, 12}, {"v_mina02", 270, 13}, {"v_mina03", 240, 12}, {"v_mina04", 260, 11},
                  {"v_mina05", 290, 8},  {"v_sota01", 125, 4},  {"v_sota02", 115, 18}, {"v_sota03", 120, 11},
                  {"v_sota04", 118, 14}};
    uint32_t seed = 101;
    for (const auto& v : voices)
        if (!emit(v.Name, Speak(v.Pitch, seed++, v.Syllables), {}, 0.1f)) return false;
    return true;
}

}  // namespace orva::demo
