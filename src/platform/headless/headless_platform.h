// The headless platform: a virtual clock that advances only by Sleep, an input timeline applied
// at its virtual times, captures of presented pictures as PNG files, and a virtual audio device
// that plays 44,100 frames per virtual second (optionally into a WAV file). No display, no sound
// card. The same engine runs on it as on SDL, and a run is bit-for-bit repeatable.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/abitmap.h"
#include "platform/headless/input_timeline.h"
#include "platform/headless/wav_file.h"
#include "platform/pad_input.h"
#include "platform/platform.h"
#include "platform/screen_layout.h"

namespace orva {

struct HeadlessShot {
    uint32_t Time = 0;             // virtual ms
    WindowId Window = WindowId::Main;
    std::filesystem::path File;    // PNG to write
    bool Done = false;
};

class HeadlessPlatform : public Platform {
public:
    // `untilMs`: at this virtual time the platform presses the close button and answers the
    // confirmation yes.
    HeadlessPlatform(std::vector<TimelineEvent> timeline, std::vector<HeadlessShot> shots, uint32_t untilMs);

    ~HeadlessPlatform() override;

    uint32_t Ticks() override { return Now; }
    // Advances the virtual clock; audio plays and tickers tick on the way, in time order.
    void Sleep(uint32_t ms) override { AdvanceTo(Now + ms); }
    // 2026-01-01 12:00:00 UTC at virtual time 0, then the virtual clock.
    std::time_t WallClock() override { return kVirtualEpoch + static_cast<std::time_t>(Now / 1000); }
    static constexpr std::time_t kVirtualEpoch = 1767268800;
    void PumpMessages(PlatformEvents& events) override;
    bool KeyDown(Key key) override { return Keys[static_cast<size_t>(key)] || Pad.KeyHeld(key); }
    Point CursorIn(WindowId window) override;
    void SetCursorVisible(bool visible) override { MainCursorVisible = visible; }
    WindowId Foreground() override { return Focus; }
    void WarpPointer(WindowId window, Point client) override;
    bool PresentedPicture(WindowId window, TABitmap& out) override;
    void ShowWindow(WindowId window, bool visible) override;
    bool IsWindowVisible(WindowId window) override { return Visible[Index(window)]; }
    void PlaceWindow(WindowId window, Point mainClient) override { Origin[Index(window)] = mainClient; }
    void SetWindowTitle(WindowId window, const std::string& title) override { Titles[Index(window)] = title; }
    void Present(WindowId window, const TABitmap& picture) override;
    void PresentChanged(WindowId window, const TABitmap& picture, int x, int y, int w, int h) override;
    void SetFullScreen(bool on) override { FullScreen = on; }
    bool IsFullScreen() override { return FullScreen; }
    void BeginModal(WindowId dialog) override;
    void EndModal(WindowId dialog) override;
    bool ModalAutoConfirm() override { return Closing; }
    void SetTextInput(bool on) override { TextInput = on; }
    bool OpenAudio(AudioSource& source, std::string& error) override;
    void CloseAudio() override { Audio = nullptr; }
    std::unique_ptr<PlatformTicker> StartTicker(uint32_t periodMs, std::function<void()> tick) override;
    // The clipboard is kept here: the text last set and how many times it was set.
    bool SetClipboardText(const std::string& utf8) override {
        Clipboard = utf8;
        ++ClipboardSets;
        return true;
    }
    const std::string& ClipboardText() const { return Clipboard; }
    size_t ClipboardSetCount() const { return ClipboardSets; }

    // Adds an event at its time, or now if that has passed; the next pump due delivers it
    // (for tests that drive a run pass by pass).
    void Inject(TimelineEvent ev);

    // Writes every audio frame of the run, from virtual time 0, to a 16-bit stereo WAV file
    // (silence while no source is open). Call before the run starts.
    bool SetAudioOut(const std::filesystem::path& path, std::string& error);
    // Completes the WAV file. False with `error` when it could not be written.
    bool FinishAudio(std::string& error);

    // Writes every capture still due (used at exit so shots at or after the last pass are kept).
    // Returns false and sets `error` when a file cannot be written.
    bool FlushShots(bool all, std::string& error);
    // Whether the pointer shows while it is over `window`.
    bool CursorShown(WindowId window) const { return window != WindowId::Main || MainCursorVisible; }
    bool TextInputOn() const { return TextInput; }
    const TABitmap& LastPresented(WindowId window) const { return Presented[Index(window)]; }
    // The rectangle promised with the last presented picture outside which it equals the one
    // before (the whole picture after a plain Present), as x, y, w, h.
    std::array<int, 4> LastPromised(WindowId window) const { return Promised[Index(window)]; }
    const std::string& ShotError() const { return PendingError; }
    const std::string& WindowTitle(WindowId window) const { return Titles[Index(window)]; }

private:
    static size_t Index(WindowId w) { return static_cast<size_t>(w); }
    void Apply(const TimelineEvent& ev, PlatformEvents& events);
    void ApplyPad(const TimelineEvent& ev, PlatformEvents& events);
    // The shown window of the program under the pointer (the dialog, the detached message
    // window, else the main window).
    WindowId WindowUnderPointer() const;
    void AdvanceTo(uint32_t target);
    void PlayAudioUntil(uint32_t ms);

    struct TickerEntry {
        uint64_t Id;                       // handle of the ticker object
        uint32_t Period;                   // ms
        uint64_t Due;                      // virtual ms of the next tick
        std::function<void()> Tick;
    };
    class Ticker;

    uint32_t Now = 0;                                 // the virtual clock, ms
    uint32_t Until;                                   // virtual time of the automatic close
    bool Closing = false;                             // the automatic close has been requested
    std::vector<TimelineEvent> Timeline;              // sorted by time
    size_t NextEvent = 0;                             // first timeline event not yet applied
    std::vector<HeadlessShot> Shots;
    std::array<bool, static_cast<size_t>(Key::Count)> Keys{};
    Point Cursor;                                     // in the main window's client coordinates
    bool MainCursorVisible = true;                    // the pointer shows over the main window
    WindowId Focus = WindowId::Main;
    WindowId FocusBeforeModal = WindowId::Main;
    bool ModalOpen = false;
    bool FullScreen = false;
    bool TextInput = false;
    std::array<bool, 4> Visible{true, false, false, false};
    std::array<Point, 4> Origin{Point{0, 0}, Point{0, kMsgWindowTop}, Point{240, 236}, Point{0, 0}};
    std::array<std::array<int, 4>, 4> Promised{};       // see LastPromised
    std::array<TABitmap, 4> Presented;                // the last picture shown in each window
    std::array<std::string, 4> Titles;                // each window's caption as last set
    std::string PendingError;                         // first capture that could not be written
    AudioSource* Audio = nullptr;                     // the open audio output's source
    uint64_t AudioFrames = 0;                         // frames played since virtual time 0
    std::vector<int16_t> AudioBuffer;                 // one pull's frames
    TWavWriter AudioOut;                              // --audio-out capture
    std::vector<TickerEntry> Tickers;                 // running tickers, in start order
    uint64_t NextTickerId = 1;
    PadInput Pad;                                     // the timeline's gamepad
    uint32_t PadMovedAt = 0;                          // virtual ms of the stick's last step
    std::string Clipboard;                            // the text last put on the clipboard
    size_t ClipboardSets = 0;                         // times it was set
};

}  // namespace orva
