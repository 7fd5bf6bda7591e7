// The sound output device: numbered playback channels and looping ring-buffer waves over the
// platform's raw audio output, with the notify thread that asks for each half to be refilled.
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

// [SECTION] TDDSDGenWave / TDDSDWaveData ---------------------------------------------------

class TDDSDNotifyThread;

// One looping ring buffer of 16-bit PCM with a play cursor that the device advances.
class TDDSDGenWave {
public:
    // (sender, channel, offset, length): the half at `offset` is free to be written.
    using TNotifyEvent = std::function<void(TDDSDGenWave& sender, TDDSDChannel* channel, uint32_t offset, uint32_t length)>;

    TDDSDGenWave(TDDSD& owner, uint32_t samplesPerSec, uint16_t bitsPerSample, bool stereo, uint32_t size,
                 bool fx, bool notify);
    virtual ~TDDSDGenWave();
    TDDSDGenWave(const TDDSDGenWave&) = delete;
    TDDSDGenWave& operator=(const TDDSDGenWave&) = delete;

    // Copies `length` bytes to the ring from byte `offset`, wrapping past the end to its start.
    void WriteData(uint32_t offset, const void* source, uint32_t length);
    // Play and write cursors in bytes; false when the wave has no buffer. A stopped buffer's
    // write cursor equals its play cursor; a playing one's runs a fixed distance ahead.
    bool GetCurrentPosition(int64_t& play, int64_t& write) const;
    // Moves the play cursor (rounded down to a whole frame).
    void SetCurrentPosition(uint32_t offset);
    uint32_t GetStatus() const;      // bit 0 while playing
    bool HasBuffer() const { return !Ring.empty(); }
    uint32_t Size() const { return BufferSize; }
    uint32_t HalfSize() const { return Half; }
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

    TDDSD& Owner;
    uint32_t BufferSize;             // bytes
    uint32_t Half = 0;               // BufferSize >> 1 with Notify, else 0
    bool Notify;
    [[maybe_unused]] bool FX;        // effects were asked for; the mixer applies none
    std::vector<uint8_t> Ring;       // the PCM bytes; empty when the device is not open
    uint32_t PlayCursor = 0;         // byte the device plays next
    bool Playing = false;            // status bit 0
    std::unique_ptr<TDDSDNotifyThread> Thread;
};

// The streaming wave: a TDDSDGenWave with notification.
class TDDSDWaveData : public TDDSDGenWave {
public:
    TDDSDWaveData(TDDSD& owner, uint32_t samplesPerSec, uint16_t bitsPerSample, bool stereo, uint32_t size, bool fx)
        : TDDSDGenWave(owner, samplesPerSec, bitsPerSample, stereo, size, fx, true) {}
};

// Polls its wave's cursors every 10 ms and raises OnNotify when the device has moved into the
// other half: the half it left is then free.
class TDDSDNotifyThread {
public:
    explicit TDDSDNotifyThread(TDDSDGenWave& wave);
    ~TDDSDNotifyThread();                 // stops polling and waits for a poll in progress
    void Start(Platform& platform);       // polls every 10 ms from then on
    void Poll();                          // one poll (also called by tests)
    bool FirstHalfPlaying = true;         // both cursors were last seen in the first half

private:
    TDDSDGenWave& Wave;
    int State = 0;                        // 0: waiting for the first half, 1: for the second
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
