// The sound output device: numbered playback channels and looping ring-buffer waves over the
// platform's raw audio output, with the notify thread that asks for each block the device has
// played to be refilled, so that the ring stays full a few milliseconds ahead of the device.
//
// [SECTION] error policy
// [SECTION] TDDSDGenWave / TDDSDWaveData
// [SECTION] TDDSDChannel
// [SECTION] TDDSD
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace orva {

class TDDSD;
class TDDSDChannel;
class TDDSDGenWave;

// [SECTION] error policy -------------------------------------------------------------------

enum TDDSDDebugOption : uint32_t {
    dsoHaltOnError = 1u << 0,    // end the program after reporting a failed call
    dsoDebugMessage = 1u << 1,   // append every reported error to the debug log
    dsoExceptOnError = 1u << 2,  // raise EDDSD with the error text
};

class EDDSD : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The program's output ring: 1,024 frames (23 ms) refilled in blocks of 256 frames (5.8 ms,
// eight limiter blocks) as the device plays them, so that a sound started now reaches the
// device within about 30 ms.
inline constexpr uint32_t kOutputRingBytes = 1024 * 4;
inline constexpr uint32_t kOutputBlockBytes = 256 * 4;

// [SECTION] TDDSDGenWave / TDDSDWaveData ---------------------------------------------------

class TDDSDNotifyThread;

// One looping ring buffer of 16-bit PCM with a play cursor that the device advances.
class TDDSDGenWave {
public:
    // (sender, channel, offset, length): the block at `offset` is free to be written, and the
    // device plays it once the handler returns.
    using TNotifyEvent = std::function<void(TDDSDGenWave& sender, TDDSDChannel* channel, uint32_t offset, uint32_t length)>;

    // `block`: bytes asked for per refill, a whole number of frames (0: half the ring).
    TDDSDGenWave(TDDSD& owner, uint32_t samplesPerSec, uint16_t bitsPerSample, bool stereo, uint32_t size,
                 bool fx, bool notify, uint32_t block = 0);
    virtual ~TDDSDGenWave();
    TDDSDGenWave(const TDDSDGenWave&) = delete;
    TDDSDGenWave& operator=(const TDDSDGenWave&) = delete;

    // Copies `length` bytes to the ring from byte `offset`, wrapping past the end to its start.
    void WriteData(uint32_t offset, const void* source, uint32_t length);
    // Play and write cursors in bytes; false when the wave has no buffer. The write cursor is
    // where the next refill goes (the play cursor while stopped).
    bool GetCurrentPosition(int64_t& play, int64_t& write) const;
    // Moves the play cursor (rounded down to a whole frame).
    void SetCurrentPosition(uint32_t offset);
    uint32_t GetStatus() const;      // bit 0 while playing
    bool HasBuffer() const { return !Ring.empty(); }
    uint32_t Size() const { return BufferSize; }
    uint32_t HalfSize() const { return Half; }
    uint32_t BlockSize() const { return Block; }
    // Times the device found the ring short while playing, and the frames of silence it
    // played instead.
    uint64_t Underruns() const;
    uint64_t UnderrunFrames() const;
    TDDSDNotifyThread* NotifyThread() { return Thread.get(); }

    TNotifyEvent OnNotify;           // raised on the notify thread; assign before playing
    TDDSDChannel* Channel = nullptr; // the channel that plays this wave (set by setWaveData)

    // Wave format.
    uint16_t FormatTag = 1, Channels = 2, BlockAlign = 4, BitsPerSample = 16;
    uint32_t SamplesPerSec = 44100, AvgBytesPerSec = 176400;

private:
    friend class TDDSD;
    friend class TDDSDChannel;
    friend class TDDSDNotifyThread;
    // Device side, under the owner's lock: play looping from the cursor, stop, mix into `out`.
    void PlayLooping();
    void StopPlaying();
    void MixInto(int16_t* out, uint32_t frames);
    void Refill();  // refill thread or device thread, holding the owner's RefillLock

    TDDSD& Owner;
    uint32_t BufferSize;             // bytes
    uint32_t Half = 0;               // BufferSize >> 1 with Notify, else 0
    uint32_t Block = 0;              // bytes per refill
    bool Notify;
    [[maybe_unused]] bool FX;        // effects were asked for; the mixer applies none
    std::vector<uint8_t> Ring;       // the PCM bytes; empty when the device is not open
    uint32_t PlayCursor = 0;         // byte the device plays next
    uint64_t Played = 0;             // bytes played since Play
    uint64_t Committed = 0;          // bytes refilled since Play: the device never passes them
    uint64_t UnderrunCount = 0, UnderrunSilence = 0;
    bool Playing = false;            // status bit 0
    std::unique_ptr<TDDSDNotifyThread> Thread;
};

// The streaming wave: a TDDSDGenWave with notification.
class TDDSDWaveData : public TDDSDGenWave {
public:
    TDDSDWaveData(TDDSD& owner, uint32_t samplesPerSec, uint16_t bitsPerSample, bool stereo, uint32_t size, bool fx,
                  uint32_t block = 0)
        : TDDSDGenWave(owner, samplesPerSec, bitsPerSample, stereo, size, fx, true, block) {}
};

// Polls its wave every few milliseconds while it plays and raises OnNotify for each whole
// block the device has played, so the ring is full again after every poll.
class TDDSDNotifyThread {
public:
    static constexpr uint32_t kPeriodMs = 5;
    explicit TDDSDNotifyThread(TDDSDGenWave& wave);
    ~TDDSDNotifyThread();                 // stops polling and waits for a poll in progress
    void Start(Platform& platform);       // polls every kPeriodMs from then on
    void Poll();                          // one poll (also called by tests)

private:
    TDDSDGenWave& Wave;
    std::unique_ptr<PlatformTicker> Ticker;
};

// [SECTION] TDDSDChannel -------------------------------------------------------------------

class TDDSDChannel {
public:
    explicit TDDSDChannel(TDDSD& owner) : Owner(owner) {}
    void setWaveData(TDDSDGenWave* wave);
    void Play();                          // from position 0, looping
    void Stop();
    uint32_t GetStatus() const;           // the wave's status bits; 0 without a wave
    TDDSDGenWave* Wave() const { return Current; }
    bool Streaming = false;
    uint32_t SampleRate = 0;

private:
    friend class TDDSD;
    friend class TDDSDGenWave;
    TDDSD& Owner;
    TDDSDGenWave* Current = nullptr;
};

// [SECTION] TDDSD --------------------------------------------------------------------------

class TDDSD : public AudioSource {
public:
    explicit TDDSD(Platform& platform);
    ~TDDSD() override;
    TDDSD(const TDDSD&) = delete;
    TDDSD& operator=(const TDDSD&) = delete;

    // The form's "loaded" step: applies DebugOption and opens the device.
    void Loaded();
    // Builds the channel table and opens the platform's audio output. False (no message) when
    // there is no device: every buffer and channel operation then does nothing.
    bool InitDevice();
    // Channel 0 .. ChannelCount-1, or a reported fault and none.
    TDDSDChannel* GetChannel(int64_t number);

    // Error policy. DebugOption's bits say what a fault does: a log line, an EDDSD exception,
    // the end of the program. Ending the program or raising is for start-up only: once
    // EndStartUp has been called a fault is a notice (stderr and OnFault) and the game goes on.
    void SetDebugOption(uint32_t value);
    void ReportError(const std::string& text);
    // 0 is success. Any other code is reported with "(Error Code(%x))" appended. Returns the code.
    int64_t CheckResult(int64_t code, const std::string& text);
    void SetLogFolder(const std::filesystem::path& folder);  // of "DDSD_DebugLog.txt"
    void EndStartUp() { StartingUp = false; }
    bool InStartUp() const { return StartingUp; }
    // Receives each fault reported in play, on the thread that met it (the main thread for
    // every operation that can fail in play).
    std::function<void(const std::string& text)> OnFault;
    bool Initialized() const { return IsInitialized; }
    Platform& Plat() { return Platform_; }
    const std::string& DeviceError() const { return LastDeviceError; }  // why InitDevice failed

    void PullAudio(int16_t* out, uint32_t frames) override;

    uint32_t DebugOption = dsoHaltOnError;
    bool Use3D = false;
    uint32_t ChannelCount = 8;
    bool StickyFocus = true;

    // Guards the rings, cursors and channel assignments between the device's audio thread, the
    // notify thread and the main thread. Held only for copies, never while calling out.
    mutable std::mutex Lock;
    // Held while a ring is being refilled (taken before Lock): by the notify thread's poll, or by
    // the device's thread when it finds a ring about to run short.
    std::mutex RefillLock;

private:
    void Fault(const std::string& text);  // a reported fault with the halt bit set

    Platform& Platform_;
    std::vector<std::unique_ptr<TDDSDChannel>> Channels;
    bool IsInitialized = false;
    std::string LastDeviceError;
    bool HaltFlag = false, LogFlag = false, RaiseFlag = false;  // DebugOption's bits
    bool StartingUp = true;               // faults may still end the program
    uint32_t MessageCounter = 0;          // log lines written by this device
    std::mutex LogMutex;                  // the log file and its counter
    std::filesystem::path LogFolder;      // empty: the program's folder
};

}  // namespace orva
