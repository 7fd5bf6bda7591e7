// The sound output device over the platform's raw audio output.
#include "sound/ddsd.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace orva {
namespace {

std::filesystem::path ProgramFolder() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path(ec) : self.parent_path();
}

}  // namespace

// [SECTION] error policy -------------------------------------------------------------------

void TDDSD::SetLogFolder(const std::filesystem::path& folder) {
    std::lock_guard<std::mutex> g(LogMutex);
    LogFolder = folder;
}

void TDDSD::ReportError(const std::string& text) {
    if (LogFlag) {
        std::lock_guard<std::mutex> g(LogMutex);
        const auto path = (LogFolder.empty() ? ProgramFolder() : LogFolder) / "DDSD_DebugLog.txt";
        const uint32_t n = MessageCounter++;
        if (std::FILE* f = std::fopen(path.c_str(), n == 0 ? "wb" : "ab")) {
            std::fprintf(f, "debug#%.5u ... %s\r\n", n + 1, text.c_str());
            std::fclose(f);
        }
    }
    if (!StartingUp) {
        // In play nothing ends the game or escapes into the frame loop: the fault is told and
        // the caller goes on with its safe value (no channel, nothing written).
        if (OnFault) OnFault(text);
        else std::cerr << "orva: sound device: " << text << "\n";
        return;
    }
    if (RaiseFlag) throw EDDSD(text);
}

int64_t TDDSD::CheckResult(int64_t code, const std::string& text) {
    if (code == 0) return 0;
    char hex[32];
    std::snprintf(hex, sizeof hex, "(Error Code(%llX))", static_cast<unsigned long long>(static_cast<uint32_t>(code)));
    const std::string full = text + hex;
    ReportError(full);
    if (HaltFlag) Fault(full);
    return code;
}

// Ends the program after a fault met while starting; the exit status says it failed.
void TDDSD::Fault(const std::string& text) {
    if (!StartingUp) return;  // already told by ReportError
    std::cerr << "orva: sound device: " << text << "\n";
    std::exit(1);
}

// [SECTION] TDDSDGenWave -------------------------------------------------------------------

TDDSDGenWave::TDDSDGenWave(TDDSD& owner, uint32_t samplesPerSec, uint16_t bitsPerSample, bool stereo, uint32_t size,
                           bool fx, bool notify, uint32_t block)
    : Owner(owner), BufferSize(size), Notify(notify), FX(fx) {
    if (!Owner.Initialized()) return;  // no device: a wave without buffer or thread
    Channels = stereo ? 2 : 1;
    SamplesPerSec = samplesPerSec;
    BitsPerSample = bitsPerSample;
    BlockAlign = static_cast<uint16_t>(Channels * bitsPerSample / 8);
    AvgBytesPerSec = samplesPerSec * BlockAlign;
    Ring.assign(size, 0);
    if (Notify) {
        Half = size >> 1;
        Block = block == 0 || block > size ? Half : block;
        Block = std::max<uint32_t>(Block / BlockAlign * BlockAlign, BlockAlign);
        Thread = std::make_unique<TDDSDNotifyThread>(*this);
        Thread->Start(Owner.Plat());
    }
}

TDDSDGenWave::~TDDSDGenWave() {
    // The notify thread ends before the buffer goes, and a refill the device started waits for
    // no one once RefillLock is ours, so no refill can reach a freed ring.
    Thread.reset();
    std::lock_guard<std::mutex> r(Owner.RefillLock);
    std::lock_guard<std::mutex> g(Owner.Lock);
    if (Channel && Channel->Current == this) Channel->Current = nullptr;
    Playing = false;
    Ring.clear();
}

void TDDSDGenWave::WriteData(uint32_t offset, const void* source, uint32_t length) {
    std::lock_guard<std::mutex> g(Owner.Lock);
    if (!Owner.Initialized() || Ring.empty() || length == 0) return;
    // A range longer than the ring wraps once, as a device lock does; the rest is dropped.
    const uint32_t size = static_cast<uint32_t>(Ring.size());
    offset %= size;
    length = std::min(length, size);
    const uint32_t first = std::min(length, size - offset);
    std::memcpy(Ring.data() + offset, source, first);
    if (first < length) std::memcpy(Ring.data(), static_cast<const uint8_t*>(source) + first, length - first);
}

bool TDDSDGenWave::GetCurrentPosition(int64_t& play, int64_t& write) const {
    std::lock_guard<std::mutex> g(Owner.Lock);
    if (Ring.empty()) return false;
    play = PlayCursor;
    write = Playing ? static_cast<int64_t>(Committed % Ring.size()) : PlayCursor;
    return true;
}

void TDDSDGenWave::SetCurrentPosition(uint32_t offset) {
    std::lock_guard<std::mutex> g(Owner.Lock);
    if (Ring.empty()) return;
    PlayCursor = (offset % static_cast<uint32_t>(Ring.size())) / BlockAlign * BlockAlign;
}

uint32_t TDDSDGenWave::GetStatus() const {
    std::lock_guard<std::mutex> g(Owner.Lock);
    return Playing && !Ring.empty() ? 1u : 0u;
}

uint64_t TDDSDGenWave::Underruns() const {
    std::lock_guard<std::mutex> g(Owner.Lock);
    return UnderrunCount;
}

uint64_t TDDSDGenWave::UnderrunFrames() const {
    std::lock_guard<std::mutex> g(Owner.Lock);
    return UnderrunSilence;
}

void TDDSDGenWave::PlayLooping() {
    if (Ring.empty()) return;
    Playing = true;
    Played = Committed = 0;
}

void TDDSDGenWave::StopPlaying() { Playing = false; }

// Adds this ring's next frames to `out`, saturating, and advances the play cursor. A streaming
// wave plays only what has been refilled: when the refills fall behind, the device plays
// silence (an underrun) and goes on where they resume, so nothing is played twice or skipped.
// Only 16-bit stereo at the output rate can be played as is; anything else stays silent.
void TDDSDGenWave::MixInto(int16_t* out, uint32_t frames) {
    if (!Playing || Ring.empty() || BlockAlign != 4 || BitsPerSample != 16 || SamplesPerSec != kAudioRate) return;
    const uint32_t size = static_cast<uint32_t>(Ring.size()) / 4 * 4;
    if (Notify) {
        const uint64_t ready = (Committed - Played) / 4;
        if (ready < frames && Committed > 0) {
            ++UnderrunCount;
            UnderrunSilence += frames - ready;
        }
        frames = static_cast<uint32_t>(std::min<uint64_t>(frames, ready));
        Played += static_cast<uint64_t>(frames) * 4;
    }
    for (uint32_t i = 0; i < frames * 2; ++i) {
        int16_t v;
        std::memcpy(&v, Ring.data() + PlayCursor, 2);
        PlayCursor += 2;
        if (PlayCursor >= size) PlayCursor = 0;
        out[i] = static_cast<int16_t>(std::clamp(out[i] + v, -32768, 32767));
    }
}

// [SECTION] TDDSDNotifyThread --------------------------------------------------------------

TDDSDNotifyThread::TDDSDNotifyThread(TDDSDGenWave& wave) : Wave(wave) {}

TDDSDNotifyThread::~TDDSDNotifyThread() { Ticker.reset(); }

void TDDSDNotifyThread::Start(Platform& platform) {
    Ticker = platform.StartTicker(kPeriodMs, [this] { Poll(); });
}

void TDDSDNotifyThread::Poll() {
    std::lock_guard<std::mutex> r(Wave.Owner.RefillLock);
    Wave.Refill();
}

// Asks for every whole block the ring has room for, in ring order; the caller holds RefillLock.
void TDDSDGenWave::Refill() {
    for (;;) {
        uint32_t offset = 0, length = 0;
        TDDSDChannel* channel = nullptr;
        {
            std::lock_guard<std::mutex> g(Owner.Lock);
            if (!Playing || Ring.empty()) return;
            const uint64_t queued = Committed - Played;
            if (queued + Block > Ring.size()) return;
            offset = static_cast<uint32_t>(Committed % Ring.size());
            length = Block;
            channel = Channel;
        }
        if (!OnNotify) return;
        OnNotify(*this, channel, offset, length);
        std::lock_guard<std::mutex> g(Owner.Lock);
        if (!Playing) return;  // stopped (or restarted) while the block was made
        Committed += length;
    }
}

// [SECTION] TDDSDChannel -------------------------------------------------------------------

void TDDSDChannel::setWaveData(TDDSDGenWave* wave) {
    if (!Owner.Initialized()) return;
    std::lock_guard<std::mutex> g(Owner.Lock);
    if (Streaming) {
        if (wave == Current) return;
        if (Current) Current->StopPlaying();
    }
    if (Current && Current->Channel == this) Current->Channel = nullptr;
    Current = nullptr;
    if (!wave) return;
    Current = wave;
    wave->Channel = this;
    Streaming = wave->Notify;
    SampleRate = wave->SamplesPerSec;
}

void TDDSDChannel::Play() {
    std::lock_guard<std::mutex> g(Owner.Lock);
    if (!Current) return;
    Current->PlayCursor = 0;
    Current->PlayLooping();
}

void TDDSDChannel::Stop() {
    std::lock_guard<std::mutex> g(Owner.Lock);
    if (Current) Current->StopPlaying();
}

uint32_t TDDSDChannel::GetStatus() const {
    std::lock_guard<std::mutex> g(Owner.Lock);
    return Current && Current->Playing && !Current->Ring.empty() ? 1u : 0u;
}

// [SECTION] TDDSD --------------------------------------------------------------------------

TDDSD::TDDSD(Platform& platform) : Platform_(platform) { SetDebugOption(dsoHaltOnError); }

TDDSD::~TDDSD() {
    Platform_.CloseAudio();  // no pull runs after this
    std::lock_guard<std::mutex> g(Lock);
    for (auto& c : Channels)
        if (c->Current && c->Current->Channel == c.get()) c->Current->Channel = nullptr;
    Channels.clear();
}

void TDDSD::Loaded() {
    SetDebugOption(DebugOption);
    InitDevice();
}

bool TDDSD::InitDevice() {
    if (IsInitialized) Platform_.CloseAudio();
    {
        std::lock_guard<std::mutex> g(Lock);
        Channels.clear();
        for (uint32_t i = 0; i < ChannelCount; ++i) Channels.push_back(std::make_unique<TDDSDChannel>(*this));
        IsInitialized = false;
    }
    LastDeviceError.clear();
    if (!Platform_.OpenAudio(*this, LastDeviceError)) return false;
    IsInitialized = true;
    return true;
}

TDDSDChannel* TDDSD::GetChannel(int64_t number) {
    if (number >= 0 && number < static_cast<int64_t>(ChannelCount) && static_cast<size_t>(number) < Channels.size())
        return Channels[static_cast<size_t>(number)].get();
    char text[160];
    std::snprintf(text, sizeof text, "チャンネル番号%lldは無効です、%d～%lldの範囲で指定してください",
                  static_cast<long long>(number), 0, static_cast<long long>(ChannelCount) - 1);
    ReportError(text);
    if (HaltFlag) Fault(text);
    return nullptr;
}

void TDDSD::SetDebugOption(uint32_t value) {
    DebugOption = value;
    HaltFlag = (value & dsoHaltOnError) != 0;
    LogFlag = (value & dsoDebugMessage) != 0;
    RaiseFlag = (value & dsoExceptOnError) != 0;
}

void TDDSD::PullAudio(int16_t* out, uint32_t frames) {
    std::memset(out, 0, static_cast<size_t>(frames) * 4);
    // A streaming ring that would run short is refilled here first, on the device's own thread,
    // rather than waiting for the next poll: a notify thread held back by a busy machine then
    // costs no silence. (Before the first poll the ring is left to it.)
    TDDSDGenWave* shortRing = nullptr;
    {
        std::lock_guard<std::mutex> g(Lock);
        for (auto& c : Channels) {
            TDDSDGenWave* w = c->Current;
            if (w && w->Notify && w->Playing && w->Committed > 0 && (w->Committed - w->Played) / 4 < frames)
                shortRing = w;
        }
    }
    if (shortRing) {
        std::lock_guard<std::mutex> r(RefillLock);
        bool attached = false;  // by pointer only: the wave may have been freed meanwhile
        {
            std::lock_guard<std::mutex> g(Lock);
            for (auto& c : Channels) attached = attached || c->Current == shortRing;
        }
        if (attached) shortRing->Refill();
    }
    std::lock_guard<std::mutex> g(Lock);
    for (auto& c : Channels)
        if (c->Current) c->Current->MixInto(out, frames);
}

}  // namespace orva
