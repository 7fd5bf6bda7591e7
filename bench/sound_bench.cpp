// Sound benchmarks: one refill of the stream player (20,480 frames from seven playing sources,
// with fades, gains and the limiter) beside the bare ov_read decode of the same data, which is
// the floor: the decoder's own cost; the same mix in the device's 256-frame blocks; and one
// second of the mix with three of the seven sources at 48 kHz beside the same mix at 44,100 Hz.
#include <benchmark/benchmark.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

#include "sound/ogg_player.h"
#include "sound/ogg_writer.h"

namespace {

using namespace orva;

constexpr uint32_t kSize = 0x28000;      // the program's buffer size: 20,480 frames per half
constexpr int kSources = 7;              // the program's seven sources
constexpr uint32_t kHalfBytes = kSize / 2;

// Five seconds of music-like stereo: a few partials with vibrato and some noise, so that the
// decoder works as hard as on real music.
std::vector<uint8_t> MakeMusic(int rate) {
    const int frames = rate * 5;
    std::vector<int16_t> pcm(static_cast<size_t>(frames) * 2);
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0, 600);
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        double v = 0;
        for (int k = 1; k <= 6; ++k)
            v += 2500.0 / k * std::sin(2 * M_PI * (220.0 * k + 3 * std::sin(2 * M_PI * 5 * t)) * t);
        pcm[2 * i] = static_cast<int16_t>(v + noise(rng));
        pcm[2 * i + 1] = static_cast<int16_t>(0.8 * v + noise(rng));
    }
    OggWriteOptions options;
    options.Rate = rate;
    std::vector<uint8_t> out;
    std::string error;
    if (!EncodeOggVorbis(pcm, options, out, error)) throw std::runtime_error(error);
    return out;
}

const std::vector<uint8_t>& MusicFile() {
    static const std::vector<uint8_t> file = MakeMusic(44100);
    return file;
}

const std::vector<uint8_t>& MusicFile48k() {
    static const std::vector<uint8_t> file = MakeMusic(48000);
    return file;
}

void RefillOrva(benchmark::State& state) {
    TOggPlayer player(kSize, 10);
    std::vector<std::unique_ptr<TOggData>> sources;
    for (int i = 0; i < kSources; ++i) {
        sources.push_back(std::make_unique<TOggData>(kSize));
        sources.back()->LoadFromStream(TMemoryStream(MusicFile()));
        player.SetSource(static_cast<uint32_t>(i), sources.back().get(), true);
        player.SetVolume(static_cast<uint32_t>(i), 0.75);
        player.Play(static_cast<uint32_t>(i), true);
    }
    int n = 0;
    for (auto _ : state) {
        // Keep two of the sources fading all the time, as during a cross-fade.
        if (n++ % 4 == 0) {
            sources[0]->FadeTo(1.0, (n / 4) % 2 ? 0.2 : 1.0);
            sources[1]->FadeTo(1.0, (n / 4) % 2 ? 1.0 : 0.2);
        }
        player.FillNextHalf();
        benchmark::DoNotOptimize(player.GetOutput()[0]);
    }
    state.SetItemsProcessed(state.iterations() * (kHalfBytes / 4));
}

// The peer: the same seven streams decoded with ov_read, nothing else.
struct MemoryFile {
    const std::vector<uint8_t>* Bytes;
    size_t Pos = 0;
};
size_t MemRead(void* dst, size_t size, size_t count, void* src) {
    auto* f = static_cast<MemoryFile*>(src);
    const size_t n = std::min(size * count, f->Bytes->size() - f->Pos);
    std::memcpy(dst, f->Bytes->data() + f->Pos, n);
    f->Pos += n;
    return n;
}
int MemSeek(void* src, ogg_int64_t offset, int whence) {
    auto* f = static_cast<MemoryFile*>(src);
    const int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<int64_t>(f->Pos)
                                                                      : static_cast<int64_t>(f->Bytes->size());
    f->Pos = static_cast<size_t>(std::clamp<int64_t>(base + offset, 0, static_cast<int64_t>(f->Bytes->size())));
    return 0;
}
long MemTell(void* src) { return static_cast<long>(static_cast<MemoryFile*>(src)->Pos); }

void RefillOvRead(benchmark::State& state) {
    std::vector<MemoryFile> files(kSources, MemoryFile{&MusicFile()});
    std::vector<OggVorbis_File> vf(kSources);
    const ov_callbacks callbacks{MemRead, MemSeek, nullptr, MemTell};
    for (int i = 0; i < kSources; ++i) ov_open_callbacks(&files[static_cast<size_t>(i)], &vf[static_cast<size_t>(i)], nullptr, 0, callbacks);
    std::vector<char> out(kHalfBytes);
    int bitstream = 0;
    for (auto _ : state) {
        for (auto& v : vf) {
            uint32_t got = 0;
            while (got < kHalfBytes) {
                const long r = ov_read(&v, out.data() + got, static_cast<int>(kHalfBytes - got), 0, 2, 1, &bitstream);
                if (r <= 0) ov_pcm_seek(&v, 0);
                else got += static_cast<uint32_t>(r);
            }
        }
        benchmark::DoNotOptimize(out[0]);
    }
    for (auto& v : vf) ov_clear(&v);
    state.SetItemsProcessed(state.iterations() * (kHalfBytes / 4));
}

// Seven looping sources in a player, the first `at48k` of them from the 48 kHz file.
struct Mix {
    TOggPlayer Player{kSize, 10};
    std::vector<std::unique_ptr<TOggData>> Sources;
    explicit Mix(int at48k) {
        for (int i = 0; i < kSources; ++i) {
            Sources.push_back(std::make_unique<TOggData>(kSize));
            Sources.back()->LoadFromStream(TMemoryStream(i < at48k ? MusicFile48k() : MusicFile()));
            Player.SetSource(static_cast<uint32_t>(i), Sources.back().get(), true);
            Player.SetVolume(static_cast<uint32_t>(i), 0.75);
            Player.Play(static_cast<uint32_t>(i), true);
        }
    }
};

constexpr uint32_t kBlockBytes = 256 * 4;  // the device's refill block

// One refill block of the device: 256 frames of the seven-source mix.
void BlockOrva(benchmark::State& state) {
    Mix mix(0);
    for (auto _ : state) {
        mix.Player.FillNext(kBlockBytes);
        benchmark::DoNotOptimize(mix.Player.GetOutput()[0]);
    }
    state.SetItemsProcessed(state.iterations() * (kBlockBytes / 4));
}

// One second of sound in the device's blocks, with three of the seven sources at 48 kHz
// (`range(0)` = 3) or none (0, the peer).
void SecondOfMix(benchmark::State& state) {
    Mix mix(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (uint32_t frames = 0; frames < 44100; frames += kBlockBytes / 4) mix.Player.FillNext(kBlockBytes);
        benchmark::DoNotOptimize(mix.Player.GetOutput()[0]);
    }
}

BENCHMARK(RefillOrva)->Name("Refill/7x20480/orva")->Unit(benchmark::kMicrosecond);
BENCHMARK(RefillOvRead)->Name("Refill/7x20480/ov_read")->Unit(benchmark::kMicrosecond);
BENCHMARK(BlockOrva)->Name("Refill/7x256/orva")->Unit(benchmark::kMicrosecond);
BENCHMARK(SecondOfMix)->Name("Mix/1s 3of7 at 48kHz/orva")->Arg(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(SecondOfMix)->Name("Mix/1s 3of7 at 48kHz/all 44.1kHz")->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
