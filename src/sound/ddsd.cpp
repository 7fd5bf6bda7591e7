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

// A playing buffer's write cursor leads its play cursor by one device period, as the hardware's
// does: the bytes in between are already on their way out.
constexpr uint32_t kWriteLead = 4096;

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
                           bool fx, bool notify)
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
        Thread = std::make_unique<TDDSDNotifyThread>(*this);
        Thread->Start(Owner.Plat());
    }
}

TDDSDGenWave::~TDDSDGenWave() {
    // The notify thread ends before the buffer goes, so no refill can reach a freed ring.
    Thread.reset();
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
    write = Playing ? (PlayCursor + kWriteLead) % Ring.size() : PlayCursor;
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

void TDDSDGenWave::PlayLooping() {
    if (!Ring.empty()) Playing = true;
}

void TDDSDGenWave::StopPlaying() { Playing = false; }

// Adds this ring's next frames to `out`, saturating, and advances the play cursor. Only 16-bit
// stereo at the output rate can be played as is; anything else stays silent.
void TDDSDGenWave::MixInto(int16_t* out, uint32_t frames) {
    if (!Playing || Ring.empty() || BlockAlign != 4 || BitsPerSample != 16 || SamplesPerSec != kAudioRate) return;
    const uint32_t size = static_cast<uint32_t>(Ring.size()) / 4 * 4;
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
    Ticker = platform.StartTicker(10, [this] { Poll(); });
}

void TDDSDNotifyThread::Poll() {
    int64_t play = 0, write = 0;
    if (!Wave.GetCurrentPosition(play, write)) return;
    if ((play == 0 && write == 0) || play < 0 || write < 0) return;
    const int64_t half = Wave.HalfSize();
    bool raise = false;
    if (State == 0) {
        if (play < half && write < half) {
            FirstHalfPlaying = true;
            raise = true;
            State = 1;
        }
    } else if (play > half && write > half) {
        FirstHalfPlaying = false;
        raise = true;
        State = 0;
    }
    if (!raise) return;
    TDDSDChannel* channel = nullptr;
    {
        std::lock_guard<std::mutex> g(Wave.Owner.Lock);
        if (!Wave.Playing || Wave.Ring.empty()) return;
        channel = Wave.Channel;
    }
    if (!Wave.OnNotify) return;
    if (FirstHalfPlaying) Wave.OnNotify(Wave, channel, Wave.HalfSize(), Wave.Size() - Wave.HalfSize());
    else Wave.OnNotify(Wave, channel, 0, Wave.HalfSize());
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
    std::lock_guard<std::mutex> g(Lock);
    for (auto& c : Channels)
        if (c->Current) c->Current->MixInto(out, frames);
}

}  // namespace orva
