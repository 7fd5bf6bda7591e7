// One sound source: an Ogg Vorbis file held in memory, decoded to 44,100 Hz stereo with its loop
// points, at a volume with timed fades, rendered in blocks for the stream player. A file at
// another rate or with more than two channels is down-mixed and resampled on the way. Also the
// decoder binding TVorbisFileDLL and the lock TSemaphore shared with the player.
//
// [SECTION] TSemaphore
// [SECTION] TVorbisFileDLL
// [SECTION] TOggData
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <semaphore>
#include <string>
#include <vector>

#include "data/memory_stream.h"
#include "data/zeroed_memory.h"
#include "sound/loop_points.h"
#include "sound/resampler.h"

struct OggVorbis_File;
struct vorbis_info;
struct vorbis_comment;

namespace orva {

// [SECTION] TSemaphore ---------------------------------------------------------------------

// A counting semaphore whose maximum is its initial count; with 1 it is a lock.
class TSemaphore {
public:
    explicit TSemaphore(std::ptrdiff_t initial = 1) : Sem(initial) {}
    void Enter() { Sem.acquire(); }
    void Leave() { Sem.release(); }

private:
    std::counting_semaphore<> Sem;
};

// Holds a TSemaphore for one scope.
class TSemaphoreGuard {
public:
    explicit TSemaphoreGuard(TSemaphore& s) : S(s) { S.Enter(); }
    ~TSemaphoreGuard() { S.Leave(); }
    TSemaphoreGuard(const TSemaphoreGuard&) = delete;
    TSemaphoreGuard& operator=(const TSemaphoreGuard&) = delete;

private:
    TSemaphore& S;
};

// [SECTION] TVorbisFileDLL -----------------------------------------------------------------

// The decoder's operations. libvorbisfile is linked into the program, so there is nothing to
// load; the object keeps the operations the sources call and the read callbacks over a
// source's in-memory stream.
class TVorbisFileDLL {
public:
    bool LoadDLL(const std::string& fileName);  // always true: the decoder is built in
    bool AutoCPU = true;

    // Opens `stream` (which the decoder then owns and frees through its close callback).
    int ov_open_callbacks(TMemoryStream* stream, OggVorbis_File* vf);
    int ov_clear(OggVorbis_File* vf);
    vorbis_info* ov_info(OggVorbis_File* vf, int link);
    vorbis_comment* ov_comment(OggVorbis_File* vf, int link);
    long ov_seekable(OggVorbis_File* vf);
    double ov_time_total(OggVorbis_File* vf, int link);
    int ov_time_seek(OggVorbis_File* vf, double seconds);
    double ov_time_tell(OggVorbis_File* vf);
    int ov_pcm_seek(OggVorbis_File* vf, int64_t frame);
    int64_t ov_pcm_total(OggVorbis_File* vf, int link);
    int64_t ov_pcm_tell(OggVorbis_File* vf);
    long ov_read(OggVorbis_File* vf, char* buffer, int length, int* bitstream);
};

// Creates the process's decoder binding (replacing any previous one). Always succeeds.
bool InitVorbisFile(const std::string& fileName);
void FreeVorbisFile();
TVorbisFileDLL& VorbisFile();

// [SECTION] TOggData -----------------------------------------------------------------------

inline constexpr int kFadeFractionBits = 40;
inline constexpr int64_t kFadeOne = int64_t{1} << kFadeFractionBits;  // fade volume 1.0

class TOggData {
public:
    // `size`: bytes of one render half (32-bit stereo frames, 8 bytes each).
    explicit TOggData(uint32_t size);
    ~TOggData();
    TOggData(const TOggData&) = delete;
    TOggData& operator=(const TOggData&) = delete;

    // Copies the whole stream and opens the copy. False when the decoder cannot open it: the
    // source is then not loaded and LastError says why.
    bool LoadFromStream(const TMemoryStream& stream);
    bool Open(std::unique_ptr<TMemoryStream> stream);
    void Close();

    void Play(bool loop);                 // neither rewinds nor checks Loaded
    void Stop();                          // stops, rewinds, resets the loop counters
    int GetStatus() const;                // 0 not loaded, 1 stopped, 2 playing, 3 looping
    void FadeTo(double seconds, double volume);
    void SetFadeVolume(double volume) { FadeTo(0, volume); }
    void SetMasterGain(double g);
    void SetChannelGain(double g);
    void SeekTime(double seconds);

    // Renders the next block (refill thread) of `bytes` (at most one half, whole frames) into
    // the other half; returns the bytes produced, 0 when silent.
    uint32_t Render(uint32_t bytes);
    uint32_t Render() { return Render(Size); }
    const int32_t* GetBuffer() const { return RenderBuffer.data() + CurrentHalf; }
    uint32_t HalfBytes() const { return Size; }

    // Stream information.
    const std::vector<std::string>& Comments() const { return CommentList; }
    int32_t Channels() const { return ChannelCount; }
    int32_t Rate() const { return SampleRate; }
    float TotalTime() const { return Total; }
    int64_t TotalFrames() const { return TotalFrameCount; }  // in the file's own rate
    const LoopTable& Loops() const { return LoopTbl; }
    // The file is outside the mixer's own formats and is down-mixed and/or resampled.
    bool Converted() const { return Converting; }
    const std::string& LastError() const { return Error; }
    // Fade state in 40-bit fixed point, gains in 8-bit fixed point.
    int64_t FadeCurrent() const { return FadeVolume.load(); }
    int64_t FadeTarget() const { return FadeVolumeTarget.load(); }
    int64_t FadeStepValue() const { return FadeStep.load(); }
    int32_t MasterGainValue() const { return MasterGain.load(); }
    int32_t ChannelGainValue() const { return ChannelGain.load(); }

private:
    uint32_t RenderChunk(int32_t* out, uint32_t bytes);
    int64_t DecodeWithLoops(int16_t* out, uint32_t bytes, double t);
    int64_t DecodeStraight(int16_t* out, uint32_t bytes);
    int64_t ReadAndConvert(int16_t* out, uint32_t bytes);
    void ApplyVolume(const int16_t* in, int32_t* out, uint32_t frames);
    void SeekLocked(double seconds);
    uint32_t OutputBytesPerSourceFrame() const;
    int64_t DecodeConverted(int16_t* out, uint32_t bytes);
    int64_t ReadSourceFrames();
    void ResetConversion();

    TSemaphore Guard;                     // the decoder and the render buffers
    uint32_t Size;                        // bytes of one render half
    TMemoryStream* Stream = nullptr;      // owned by the decoder once opened
    std::unique_ptr<OggVorbis_File> VF;   // the decoder state
    std::vector<std::string> CommentList; // "NAME=value", CP932
    int32_t ChannelCount = 0;
    int32_t SampleRate = 0;
    float Total = 0;
    int64_t TotalFrameCount = 0;
    std::atomic<bool> Loaded{false};
    std::atomic<bool> Playing{false};
    std::atomic<bool> Looping{false};
    ZeroedVector<int32_t> RenderBuffer;   // two halves of Size bytes
    uint32_t CurrentHalf = 0;             // int32 offset of the current half (0 or Size / 4)
    uint32_t PreviousHalf = 0;
    std::vector<int16_t> RawScratch;      // decoder output before conversion
    std::vector<int16_t> ChunkScratch;    // one chunk of 16-bit stereo
    double StreamTime = 0;                // decoder position at the start of the render
    LoopTable LoopTbl{};
    std::array<int32_t, kLoopEntries> LoopCounter{};
    // Written by the main thread without the lock, read whole by the render.
    std::atomic<int64_t> FadeVolume{0}, FadeVolumeTarget{0}, FadeStep{0};
    std::atomic<int32_t> MasterGain{256}, ChannelGain{256};
    std::string Error;                    // why the last Open failed

    // Conversion of a file outside the mixer's formats: frames are read in the file's own
    // rate (loop points jump there, exactly), down-mixed to MixChannels and resampled.
    bool Converting = false;
    int32_t MixChannels = 2;              // 1 or 2 after the down-mix
    std::unique_ptr<TRateConverter> Converter;  // none at 44,100 Hz
    std::vector<int16_t> SourceFrames;    // down-mixed frames waiting for the converter
    uint32_t SourcePos = 0, SourceLeft = 0;     // in frames
    bool SourceEnded = false;             // the file has ended; the converter is being flushed
    uint32_t FlushLeft = 0;               // frames of silence still to push through
    std::vector<int16_t> MonoScratch;     // a mono file's converted frames before widening
};

}  // namespace orva
