// Ogg Vorbis sources: decoding from memory, loop points, rate and channel conversion, volume
// with fades.
//
// [SECTION] decoder binding and callbacks
// [SECTION] open and close
// [SECTION] playback control and volume
// [SECTION] rendering
#include "sound/ogg_data.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "data/cp932.h"

namespace orva {

// [SECTION] decoder binding and callbacks --------------------------------------------------

namespace {

constexpr double kOutputBytesPerSecond16 = 176400.0;  // 16-bit stereo at 44,100 Hz
constexpr uint32_t kChunkOutputBytes = 4096;           // 512 frames of 32-bit stereo
constexpr int kOutputRate = 44100;

std::unique_ptr<TVorbisFileDLL> Binding;

size_t ReadCallback(void* buffer, size_t size, size_t count, void* source) {
    if (size == 0 || count == 0) return 0;
    return static_cast<TMemoryStream*>(source)->Read(buffer, size * count);
}

int SeekCallback(void* source, ogg_int64_t offset, int origin) {
    auto* s = static_cast<TMemoryStream*>(source);
    int64_t base = 0;
    if (origin == SEEK_CUR) base = static_cast<int64_t>(s->Position());
    else if (origin == SEEK_END) base = static_cast<int64_t>(s->Size());
    else if (origin != SEEK_SET) return -1;
    const int64_t target = base + offset;
    if (target < 0) return -1;
    s->SetPosition(static_cast<size_t>(target));
    return 0;
}

// The decoder owns the stream once opened: clearing the decoder frees it here.
int CloseCallback(void* source) {
    delete static_cast<TMemoryStream*>(source);
    return 0;
}

long TellCallback(void* source) { return static_cast<long>(static_cast<TMemoryStream*>(source)->Position()); }

}  // namespace

bool TVorbisFileDLL::LoadDLL(const std::string&) { return true; }

int TVorbisFileDLL::ov_open_callbacks(TMemoryStream* stream, OggVorbis_File* vf) {
    const ov_callbacks callbacks{ReadCallback, SeekCallback, CloseCallback, TellCallback};
    return ::ov_open_callbacks(stream, vf, nullptr, 0, callbacks);
}
int TVorbisFileDLL::ov_clear(OggVorbis_File* vf) { return ::ov_clear(vf); }
vorbis_info* TVorbisFileDLL::ov_info(OggVorbis_File* vf, int link) { return ::ov_info(vf, link); }
vorbis_comment* TVorbisFileDLL::ov_comment(OggVorbis_File* vf, int link) { return ::ov_comment(vf, link); }
long TVorbisFileDLL::ov_seekable(OggVorbis_File* vf) { return ::ov_seekable(vf); }
double TVorbisFileDLL::ov_time_total(OggVorbis_File* vf, int link) { return ::ov_time_total(vf, link); }
int TVorbisFileDLL::ov_time_seek(OggVorbis_File* vf, double seconds) { return ::ov_time_seek(vf, seconds); }
double TVorbisFileDLL::ov_time_tell(OggVorbis_File* vf) { return ::ov_time_tell(vf); }
int TVorbisFileDLL::ov_pcm_seek(OggVorbis_File* vf, int64_t frame) { return ::ov_pcm_seek(vf, frame); }
int64_t TVorbisFileDLL::ov_pcm_tell(OggVorbis_File* vf) { return ::ov_pcm_tell(vf); }
int64_t TVorbisFileDLL::ov_pcm_total(OggVorbis_File* vf, int link) { return ::ov_pcm_total(vf, link); }
long TVorbisFileDLL::ov_read(OggVorbis_File* vf, char* buffer, int length, int* bitstream) {
    return ::ov_read(vf, buffer, length, 0, 2, 1, bitstream);
}

bool InitVorbisFile(const std::string& fileName) {
    Binding = std::make_unique<TVorbisFileDLL>();
    Binding->AutoCPU = true;
    return Binding->LoadDLL(fileName);
}

void FreeVorbisFile() { Binding.reset(); }

TVorbisFileDLL& VorbisFile() {
    static TVorbisFileDLL fallback;  // used before InitVorbisFile and after FreeVorbisFile
    return Binding ? *Binding : fallback;
}

// [SECTION] open and close -----------------------------------------------------------------

TOggData::TOggData(uint32_t size)
    : Size(size / 8 * 8),
      VF(std::make_unique<OggVorbis_File>()),
      RenderBuffer(static_cast<size_t>(Size / 8 * 8) / 2),
      RawScratch(8192, 0),
      ChunkScratch(8192, 0) {
    std::memset(VF.get(), 0, sizeof(OggVorbis_File));
    Close();
    SetFadeVolume(1.0);
    SetMasterGain(1.0);
    SetChannelGain(1.0);
}

TOggData::~TOggData() { Close(); }

bool TOggData::LoadFromStream(const TMemoryStream& stream) {
    return Open(std::make_unique<TMemoryStream>(stream.Bytes()));
}

bool TOggData::Open(std::unique_ptr<TMemoryStream> stream) {
    if (!stream) return false;
    Close();
    TSemaphoreGuard g(Guard);
    Error.clear();
    Stream = stream.release();
    std::memset(VF.get(), 0, sizeof(OggVorbis_File));
    if (VorbisFile().ov_open_callbacks(Stream, VF.get()) < 0) {
        // A failed open leaves the stream with us.
        delete Stream;
        Stream = nullptr;
        std::memset(VF.get(), 0, sizeof(OggVorbis_File));
        Error = "ファイルの読み込みに失敗";
        return false;
    }
    if (vorbis_comment* vc = VorbisFile().ov_comment(VF.get(), -1)) {
        for (int i = 0; i < vc->comments; ++i) {
            const std::string utf8(vc->user_comments[i], static_cast<size_t>(vc->comment_lengths[i]));
            // A comment that has no CP932 form is kept as it came.
            CommentList.push_back(Utf8ToCp932(utf8).value_or(utf8));
        }
    }
    if (vorbis_info* vi = VorbisFile().ov_info(VF.get(), -1)) {
        ChannelCount = vi->channels;
        SampleRate = static_cast<int32_t>(vi->rate);
    }
    Total = static_cast<float>(VorbisFile().ov_time_total(VF.get(), -1));
    TotalFrameCount = std::max<int64_t>(VorbisFile().ov_pcm_total(VF.get(), -1), 0);
    ReadLoopPoints(CommentList, SampleRate, LoopTbl);
    Converting = ChannelCount > 2 || (SampleRate != 44100 && SampleRate != 22050);
    if (Converting && ChannelCount > 0 && SampleRate > 0) {
        MixChannels = std::min(ChannelCount, 2);
        if (SampleRate != kOutputRate) Converter = std::make_unique<TRateConverter>(SampleRate, MixChannels);
        SourceFrames.resize(RawScratch.size() / static_cast<size_t>(ChannelCount) * static_cast<size_t>(MixChannels));
        MonoScratch.resize(ChunkScratch.size());
        ResetConversion();
    }
    Loaded = true;
    return true;
}

void TOggData::Close() {
    Stop();
    TSemaphoreGuard g(Guard);
    CommentList.clear();
    ChannelCount = 0;
    SampleRate = 0;
    Total = 0;
    TotalFrameCount = 0;
    Loaded = false;
    if (Stream) {
        VorbisFile().ov_clear(VF.get());  // frees the stream through the close callback
        Stream = nullptr;
    }
    std::memset(VF.get(), 0, sizeof(OggVorbis_File));
    LoopTbl = LoopTable{};
    Converting = false;
    Converter.reset();
    ResetConversion();
    // The render halves are not cleared: the player reads a half only after a render that
    // filled it, and it may be reading the last one right now.
}

// [SECTION] playback control and volume ----------------------------------------------------

void TOggData::Play(bool loop) {
    Looping = loop;
    Playing = true;
}

void TOggData::Stop() {
    Playing = false;
    Looping = false;
    SeekTime(0);
    TSemaphoreGuard g(Guard);
    LoopCounter.fill(0);
}

int TOggData::GetStatus() const {
    if (!Loaded) return 0;
    if (!Playing) return 1;
    return Looping ? 3 : 2;
}

void TOggData::FadeTo(double seconds, double volume) {
    if (!(volume >= 0)) volume = 0;
    if (volume > 64) volume = 64;
    const int64_t target = static_cast<int64_t>(volume * static_cast<double>(kFadeOne));
    if (!(seconds >= 0.01)) {
        FadeStep = 0;
        FadeVolumeTarget = target;
        FadeVolume = target;
        return;
    }
    const int64_t diff = target - FadeVolume.load();
    const double frames = seconds * kOutputRate;
    int64_t step;
    // Whole frame counts divide exactly, so a fade of n frames reaches its target on frame n + 1.
    if (frames < 9.0e15 && frames == std::floor(frames)) step = diff / static_cast<int64_t>(frames);
    else step = static_cast<int64_t>(static_cast<double>(diff) / frames);
    FadeVolumeTarget = target;
    FadeStep = step;
}

namespace {
int32_t GainFromFraction(double g) {
    if (!(g == g)) g = 0;
    g = std::clamp(g, -1.0e6, 1.0e6);
    return static_cast<int32_t>(std::lround(g * 256.0));
}
}  // namespace

void TOggData::SetMasterGain(double g) { MasterGain = GainFromFraction(g); }
void TOggData::SetChannelGain(double g) { ChannelGain = GainFromFraction(g); }

void TOggData::SeekTime(double seconds) {
    if (!Loaded) return;
    TSemaphoreGuard g(Guard);
    if (!Loaded || !Stream) return;
    SeekLocked(seconds);
    ResetConversion();
}

void TOggData::SeekLocked(double seconds) {
    if (!(seconds >= 0)) seconds = 0;
    if (seconds > Total) seconds = Total;
    if (VorbisFile().ov_seekable(VF.get())) VorbisFile().ov_time_seek(VF.get(), seconds);  // errors ignored
}

// [SECTION] rendering ----------------------------------------------------------------------

uint32_t TOggData::Render(uint32_t bytes) {
    if (!Loaded || !Playing) return 0;
    bytes = std::min(bytes, Size) / 8 * 8;
    PreviousHalf = CurrentHalf;
    CurrentHalf = CurrentHalf == 0 ? Size / 4 : 0;
    TSemaphoreGuard g(Guard);
    // A fade that has reached (nearly) nothing ends the sound.
    if (FadeVolume.load() * 100 < kFadeOne && FadeVolumeTarget.load() * 100 < kFadeOne) {
        Playing = false;
        Looping = false;
    }
    int32_t* dst = RenderBuffer.data() + CurrentHalf;
    uint32_t produced = 0;
    if (Loaded && Playing && Stream) {
        StreamTime = VorbisFile().ov_time_tell(VF.get());
        while (produced < bytes) {
            const uint32_t got = RenderChunk(dst + produced / 4, std::min(kChunkOutputBytes, bytes - produced));
            if (got == 0) break;
            produced += got;
        }
    }
    std::fill(dst + produced / 4, dst + bytes / 4, 0);
    return produced;
}

// One chunk of `bytes` output bytes (32-bit stereo) at the decoder's current position.
uint32_t TOggData::RenderChunk(int32_t* out, uint32_t bytes) {
    if (!Loaded || !Playing) return 0;
    try {
        const uint32_t m = bytes / 2;
        std::fill(ChunkScratch.begin(), ChunkScratch.begin() + m / 2, 0);
        // The chunk's start time is where the decoder stands, so a loop taken earlier in this
        // render is accounted for.
        const double t = VorbisFile().ov_time_tell(VF.get());
        const int64_t got = Converting ? DecodeConverted(ChunkScratch.data(), m) : DecodeWithLoops(ChunkScratch.data(), m, t);
        if (got <= 0) return 0;
        ApplyVolume(ChunkScratch.data(), out, static_cast<uint32_t>(got) / 4);
        return static_cast<uint32_t>(got / 4 * 8);
    } catch (...) {
        return 0;
    }
}

// Output bytes that one frame of the source becomes: a 22,050 Hz frame is doubled.
uint32_t TOggData::OutputBytesPerSourceFrame() const { return SampleRate == 22050 ? 8 : 4; }

int64_t TOggData::DecodeWithLoops(int16_t* out, uint32_t m, double t) {
    const double chunkEnd = t + m / kOutputBytesPerSecond16;
    const uint32_t unit = OutputBytesPerSourceFrame();
    uint32_t done = 0;
    bool fired = false;
    for (int i = 0; i < kLoopEntries; ++i) {
        const LoopEntry& e = LoopTbl[static_cast<size_t>(i)];
        int32_t& counter = LoopCounter[static_cast<size_t>(i)];
        const bool eligible = counter < e.Count || e.Count == -1;
        if (eligible && t <= e.End && e.End <= chunkEnd) {
            if (e.Count != -1) ++counter;
            // The bytes up to the loop end, in whole source frames. The end is placed on the
            // output's frame grid before the chunk's start is taken off, so the jump lands on
            // the same frame however the renders cut the stream into chunks.
            const double endByte = std::floor(std::round(static_cast<double>(e.End) * kOutputBytesPerSecond16) / unit) * unit;
            const double exact = endByte - std::round(t * kOutputBytesPerSecond16);
            uint32_t d = static_cast<uint32_t>(std::min<double>(std::max(exact, 0.0), m)) / unit * unit;
            if (d > done) {
                const int64_t r = DecodeStraight(out + done / 2, d - done);
                if (r < 0) return r;
                done += static_cast<uint32_t>(r);
            }
            SeekLocked(e.Start);
            fired = true;
        }
        if (e.End < t) counter = 0;
    }
    if (!fired) return DecodeStraight(out, m);
    if (done < m && Playing) {
        const int64_t r = DecodeStraight(out + done / 2, m - done);
        if (r < 0) return r;
        done += static_cast<uint32_t>(r);
    }
    return done;
}

int64_t TOggData::DecodeStraight(int16_t* out, uint32_t bytes) {
    const uint32_t unit = OutputBytesPerSourceFrame();
    uint32_t got = 0;
    bool sinceRewind = false;  // the stream ended right after a rewind: it holds no sound
    while (bytes - got >= unit) {
        const int64_t r = ReadAndConvert(out + got / 2, bytes - got);
        if (r < 0) {
            Playing = false;
            Looping = false;
            return r;
        }
        if (r == 0) {
            if (Looping && !sinceRewind) {
                SeekLocked(0);
                sinceRewind = true;
                continue;
            }
            Playing = false;
            Looping = false;
            SeekLocked(0);
            break;
        }
        sinceRewind = false;
        got += static_cast<uint32_t>(r);
    }
    return got;
}

// Reads up to `bytes` of 44,100 Hz 16-bit stereo from the decoder; -1 for a format the engine
// cannot play.
int64_t TOggData::ReadAndConvert(int16_t* out, uint32_t bytes) {
    int bitstream = 0;
    char* raw = reinterpret_cast<char*>(RawScratch.data());
    if (SampleRate == 44100 && ChannelCount == 2)
        return VorbisFile().ov_read(VF.get(), reinterpret_cast<char*>(out), static_cast<int>(bytes), &bitstream);
    if (SampleRate == 22050 && ChannelCount == 1) {
        const long r = VorbisFile().ov_read(VF.get(), raw, static_cast<int>(bytes / 4), &bitstream);
        if (r <= 0) return r;
        for (long k = 0; k < r / 2; ++k) {
            const int16_t s = RawScratch[static_cast<size_t>(k)];
            out[4 * k] = out[4 * k + 1] = out[4 * k + 2] = out[4 * k + 3] = s;
        }
        return r / 2 * 8;
    }
    if (SampleRate == 22050 && ChannelCount == 2) {
        const long r = VorbisFile().ov_read(VF.get(), raw, static_cast<int>(bytes / 2), &bitstream);
        if (r <= 0) return r;
        for (long k = 0; k < r / 4; ++k) {
            const int16_t l = RawScratch[static_cast<size_t>(2 * k)], rt = RawScratch[static_cast<size_t>(2 * k + 1)];
            out[4 * k] = out[4 * k + 2] = l;
            out[4 * k + 1] = out[4 * k + 3] = rt;
        }
        return r / 4 * 8;
    }
    if (SampleRate == 44100 && ChannelCount == 1) {
        const long r = VorbisFile().ov_read(VF.get(), raw, static_cast<int>(bytes / 2), &bitstream);
        if (r <= 0) return r;
        for (long k = 0; k < r / 2; ++k) out[2 * k] = out[2 * k + 1] = RawScratch[static_cast<size_t>(k)];
        return r / 2 * 4;
    }
    return -1;
}

// [SECTION] conversion of other formats ------------------------------------------------------

void TOggData::ResetConversion() {
    SourcePos = SourceLeft = 0;
    SourceEnded = false;
    FlushLeft = 0;
    if (Converter) Converter->Reset();
}

// Reads the next frames of the file at its own rate into SourceFrames, down-mixed. A loop end
// inside them cuts the read there and jumps to the loop's start, in whole frames of the file;
// the converter then runs across the jump as across any other sample. Returns the frames read,
// 0 at the end of the file (after the rewind of a looping source found nothing), -1 on an error.
int64_t TOggData::ReadSourceFrames() {
    TVorbisFileDLL& dll = VorbisFile();
    const auto channels = static_cast<uint32_t>(ChannelCount);
    const uint32_t capacity = static_cast<uint32_t>(RawScratch.size()) / channels;
    char* raw = reinterpret_cast<char*>(RawScratch.data());
    uint32_t got = 0;
    bool rewound = false;
    for (int attempt = 0; attempt < 2 && got == 0; ++attempt) {
        const int64_t pos = dll.ov_pcm_tell(VF.get());
        int64_t limit = capacity, jumpTo = -1;
        for (int i = 0; attempt == 0 && i < kLoopEntries; ++i) {
            const LoopEntry& e = LoopTbl[static_cast<size_t>(i)];
            int32_t& counter = LoopCounter[static_cast<size_t>(i)];
            const bool eligible = counter < e.Count || e.Count == -1;
            if (eligible && jumpTo < 0 && pos >= 0 && pos <= e.EndFrame && e.EndFrame <= pos + limit) {
                if (e.Count != -1) ++counter;
                limit = e.EndFrame - pos;
                jumpTo = e.StartFrame;
            }
            if (e.EndFrame < pos) counter = 0;
        }
        while (got < limit) {
            const long r = dll.ov_read(VF.get(), raw + static_cast<size_t>(got) * channels * 2,
                                       static_cast<int>((static_cast<uint32_t>(limit) - got) * channels * 2), nullptr);
            if (r < 0) return -1;
            if (r == 0) {
                if (got > 0 || jumpTo >= 0) break;  // the end comes with the next read
                if (!Looping || rewound) return 0;
                dll.ov_pcm_seek(VF.get(), 0);
                rewound = true;
                continue;
            }
            got += static_cast<uint32_t>(r) / (channels * 2);
        }
        if (jumpTo >= 0) dll.ov_pcm_seek(VF.get(), std::max<int64_t>(jumpTo, 0));
    }
    DownmixToStereo(RawScratch.data(), ChannelCount, got, SourceFrames.data());
    SourcePos = 0;
    SourceLeft = got;
    return got;
}

// Fills `bytes` of 44,100 Hz 16-bit stereo from a file outside the mixer's formats. At the end
// of the file the converter is flushed with silence so its last frames come out; then the
// source stops and rewinds, as any source does at its end.
int64_t TOggData::DecodeConverted(int16_t* out, uint32_t bytes) {
    const uint32_t want = bytes / 4;
    const auto mix = static_cast<uint32_t>(MixChannels);
    int16_t* target = mix == 1 ? MonoScratch.data() : out;
    uint32_t done = 0;
    while (done < want) {
        if (SourceLeft == 0) {
            if (!SourceEnded) {
                const int64_t r = ReadSourceFrames();
                if (r < 0) {
                    Playing = false;
                    Looping = false;
                    return -1;
                }
                if (r == 0) {
                    SourceEnded = true;
                    FlushLeft = Converter ? Converter->FlushFrames() : 0;
                }
                continue;
            }
            if (FlushLeft == 0) {
                Playing = false;
                Looping = false;
                SeekLocked(0);
                ResetConversion();
                break;
            }
            const uint32_t n = std::min<uint32_t>(FlushLeft, static_cast<uint32_t>(SourceFrames.size()) / mix);
            std::fill(SourceFrames.begin(), SourceFrames.begin() + n * mix, 0);
            SourcePos = 0;
            SourceLeft = n;
            FlushLeft -= n;
        }
        uint32_t in = SourceLeft, made = want - done;
        if (Converter) {
            Converter->Process(SourceFrames.data() + static_cast<size_t>(SourcePos) * mix, in, target + done * mix, made);
            if (!Converter->Ok()) {
                Playing = false;
                Looping = false;
                return -1;
            }
        } else {
            in = made = std::min(in, made);
            std::copy_n(SourceFrames.data() + static_cast<size_t>(SourcePos) * mix, in * mix, target + done * mix);
        }
        SourcePos += in;
        SourceLeft -= in;
        done += made;
        if (in == 0 && made == 0) break;
    }
    if (mix == 1)
        for (uint32_t f = 0; f < done; ++f) out[2 * f] = out[2 * f + 1] = MonoScratch[f];
    return static_cast<int64_t>(done) * 4;
}

// Scales 16-bit stereo by the gains and the fade, advancing the fade one step per frame.
void TOggData::ApplyVolume(const int16_t* in, int32_t* out, uint32_t frames) {
    const int64_t g0 = static_cast<int64_t>(MasterGain.load()) * ChannelGain.load() / 256;
    const int64_t target = FadeVolumeTarget.load();
    const int64_t startCurrent = FadeVolume.load(), startStep = FadeStep.load();
    int64_t current = startCurrent, step = startStep;
    int64_t gain = g0 * (current / (int64_t{1} << 32)) / 256;
    if (step == 0 && gain >= INT16_MIN && gain <= INT16_MAX) {
        // No fade running and a gain that fits 16 bits: the same products in 32 bits (gain ×
        // sample never leaves int32), in one loop over both channels without a branch.
        const int32_t g = static_cast<int32_t>(gain);
        for (uint32_t i = 0; i < frames * 2; ++i) out[i] = g * in[i] / 256;
        return;
    }
    for (uint32_t i = 0; i < frames; ++i) {
        if (step != 0) {
            if (std::llabs(target - current) < std::llabs(step)) {
                current = target;
                step = 0;
            }
            current += step;
            gain = g0 * (current / (int64_t{1} << 32)) / 256;
        }
        out[2 * i] = static_cast<int32_t>(gain * in[2 * i] / 256);
        out[2 * i + 1] = static_cast<int32_t>(gain * in[2 * i + 1] / 256);
    }
    // A fade the main thread set meanwhile wins over this chunk's progress.
    int64_t expected = startCurrent;
    FadeVolume.compare_exchange_strong(expected, current);
    expected = startStep;
    FadeStep.compare_exchange_strong(expected, step);
}

}  // namespace orva
