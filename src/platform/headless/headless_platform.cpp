// The headless platform backend.
#include "platform/headless/headless_platform.h"

#include <algorithm>

#include "data/file_io.h"
#include "graphics/png_write.h"
#include "platform/screen_layout.h"

namespace orva {

HeadlessPlatform::HeadlessPlatform(std::vector<TimelineEvent> timeline, std::vector<HeadlessShot> shots,
                                   uint32_t untilMs)
    : Until(untilMs), Timeline(std::move(timeline)), Shots(std::move(shots)) {
    for (auto& pic : Presented) pic.SetSize32(0, 0);
}

HeadlessPlatform::~HeadlessPlatform() {
    std::string ignored;
    FinishAudio(ignored);
}

// --- audio and tickers on the virtual clock ------------------------------------------------

class HeadlessPlatform::Ticker : public PlatformTicker {
public:
    Ticker(HeadlessPlatform& owner, uint64_t id) : Owner(owner), Id(id) {}
    ~Ticker() override {
        auto& list = Owner.Tickers;
        for (auto it = list.begin(); it != list.end(); ++it)
            if (it->Id == Id) {
                list.erase(it);
                break;
            }
    }

private:
    HeadlessPlatform& Owner;
    uint64_t Id;
};

bool HeadlessPlatform::OpenAudio(AudioSource& source, std::string&) {
    Audio = &source;
    return true;
}

std::unique_ptr<PlatformTicker> HeadlessPlatform::StartTicker(uint32_t periodMs, std::function<void()> tick) {
    const uint64_t id = NextTickerId++;
    const uint32_t period = periodMs ? periodMs : 1;
    Tickers.push_back({id, period, static_cast<uint64_t>(Now) + period, std::move(tick)});
    return std::make_unique<Ticker>(*this, id);
}

bool HeadlessPlatform::SetAudioOut(const std::filesystem::path& path, std::string& error) {
    return AudioOut.Open(path, kAudioRate, error);
}

bool HeadlessPlatform::FinishAudio(std::string& error) { return AudioOut.Close(error); }

// Plays every frame that lies before virtual time `ms`: frame n sounds at n / 44.1 ms.
void HeadlessPlatform::PlayAudioUntil(uint32_t ms) {
    const uint64_t end = static_cast<uint64_t>(ms) * kAudioRate / 1000;
    while (AudioFrames < end) {
        const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(end - AudioFrames, 4096));
        AudioBuffer.assign(static_cast<size_t>(n) * 2, 0);
        if (Audio) Audio->PullAudio(AudioBuffer.data(), n);
        if (AudioOut.IsOpen()) AudioOut.Write(AudioBuffer.data(), n);
        AudioFrames += n;
    }
}

void HeadlessPlatform::AdvanceTo(uint32_t target) {
    for (;;) {
        // The earliest ticker due within this step, the first started on a tie.
        TickerEntry* next = nullptr;
        for (auto& t : Tickers)
            if (t.Due <= target && (!next || t.Due < next->Due)) next = &t;
        if (!next) break;
        const uint32_t at = static_cast<uint32_t>(next->Due);
        PlayAudioUntil(at);
        Now = at;
        next->Due += next->Period;
        // The tick may start or stop tickers, so the entry is not used after the call.
        std::function<void()> tick = next->Tick;
        tick();
    }
    PlayAudioUntil(target);
    Now = target;
}

Point HeadlessPlatform::CursorIn(WindowId window) {
    if (window == WindowId::None) return Cursor;
    const Point o = Origin[Index(window)];
    return {Cursor.X - o.X, Cursor.Y - o.Y};
}

void HeadlessPlatform::ShowWindow(WindowId window, bool visible) {
    if (window == WindowId::None) return;
    Visible[Index(window)] = visible;
    if (!visible && Focus == window) Focus = WindowId::Main;
}

void HeadlessPlatform::Present(WindowId window, const TABitmap& picture) {
    PresentChanged(window, picture, 0, 0, picture.Width(), picture.Height());
}

void HeadlessPlatform::PresentChanged(WindowId window, const TABitmap& picture, int x, int y, int w, int h) {
    if (window == WindowId::None) return;
    Presented[Index(window)].Assign(picture);
    Promised[Index(window)] = {x, y, w, h};
}

void HeadlessPlatform::BeginModal(WindowId dialog) {
    FocusBeforeModal = Focus;
    ModalOpen = true;
    ShowWindow(dialog, true);
    Focus = dialog;
}

void HeadlessPlatform::EndModal(WindowId dialog) {
    ModalOpen = false;
    ShowWindow(dialog, false);
    Focus = FocusBeforeModal == dialog ? WindowId::Main : FocusBeforeModal;
}

void HeadlessPlatform::Apply(const TimelineEvent& ev, PlatformEvents& events) {
    auto moveTo = [&] {
        const Point o = Origin[Index(ev.Window)];
        Cursor = {ev.Pos.X + o.X, ev.Pos.Y + o.Y};
    };
    // While a dialog is modal the other windows take no clicks, as on a desktop.
    auto blocked = [&] { return ModalOpen && ev.Window != WindowId::Query; };
    switch (ev.Verb) {
    case TimelineVerb::Key:
        Keys[static_cast<size_t>(ev.KeyName)] = ev.Pressed;
        // A focused text field takes Return as a typed carriage return.
        if (TextInput && ev.Pressed && ev.KeyName == Key::Return) events.OnTextInput("\r");
        break;
    case TimelineVerb::Move: moveTo(); break;
    case TimelineVerb::Down:
    case TimelineVerb::Click:
        moveTo();
        if (blocked()) break;
        Focus = ev.Window;
        events.OnMouseDown(ev.Window, ev.Button, ev.Pos);
        if (ev.Verb == TimelineVerb::Click) events.OnMouseUp(ev.Window, ev.Button, ev.Pos);
        break;
    case TimelineVerb::Up:
        moveTo();
        if (!blocked()) events.OnMouseUp(ev.Window, ev.Button, ev.Pos);
        break;
    case TimelineVerb::Wheel:
        if (!blocked()) events.OnMouseWheel(ev.Window, ev.WheelDirection);
        break;
    case TimelineVerb::Focus: Focus = ev.Window; break;
    case TimelineVerb::Text:
        if (TextInput) events.OnTextInput(ev.Text);
        break;
    case TimelineVerb::Close: events.OnCloseRequest(); break;
    case TimelineVerb::Pad: ApplyPad(ev, events); break;
    }
}

WindowId HeadlessPlatform::WindowUnderPointer() const {
    auto over = [&](WindowId w, int width, int height) {
        const Point o = Origin[Index(w)];
        return Visible[Index(w)] && Cursor.X >= o.X && Cursor.X < o.X + width && Cursor.Y >= o.Y &&
               Cursor.Y < o.Y + height;
    };
    if (over(WindowId::Query, 320, 128)) return WindowId::Query;
    if (over(WindowId::Msg, kMsgWindowWidth, kMsgWindowHeight)) return WindowId::Msg;
    return WindowId::Main;
}

void HeadlessPlatform::ApplyPad(const TimelineEvent& ev, PlatformEvents& events) {
    // The first use parks the pointer at the scene's centre, over no button.
    auto firstUse = [&] {
        if (Pad.Used()) return;
        Pad.MarkUsed();
        Cursor = kPadParkPoint;
    };
    if (ev.PadStick) {
        Pad.SetAxis(ev.Axis, ev.AxisValue);
        if (Pad.StickActive()) firstUse();
        PadMovedAt = Now;
        return;
    }
    if (!Pad.SetButton(ev.PadKey, ev.Pressed)) return;
    if (ev.Pressed) firstUse();
    const PadEffect effect = PadButtonEffect(ev.PadKey, ev.Pressed);
    if (effect.What == PadEffect::Action) {
        events.OnPadAction(effect.Act);
        return;
    }
    if (effect.What == PadEffect::None) return;
    // A is the left button at the pointer, in whichever window lies under it.
    const WindowId w = WindowUnderPointer();
    if (ModalOpen && w != WindowId::Query) return;
    if (effect.What == PadEffect::LeftDown) {
        Focus = w;
        events.OnMouseDown(w, MouseButton::Left, CursorIn(w));
    } else {
        events.OnMouseUp(w, MouseButton::Left, CursorIn(w));
    }
}

void HeadlessPlatform::WarpPointer(WindowId window, Point client) {
    if (window == WindowId::None) return;
    const Point o = Origin[Index(window)];
    Cursor = {client.X + o.X, client.Y + o.Y};
}

bool HeadlessPlatform::PresentedPicture(WindowId window, TABitmap& out) {
    if (window == WindowId::None || !Presented[Index(window)].IsReady()) return false;
    out.Assign(Presented[Index(window)]);
    return true;
}

void HeadlessPlatform::Inject(TimelineEvent ev) {
    ev.Time = std::max(ev.Time, Now);
    const auto at = std::upper_bound(Timeline.begin() + static_cast<std::ptrdiff_t>(NextEvent), Timeline.end(), ev.Time,
                                     [](uint32_t t, const TimelineEvent& e) { return t < e.Time; });
    Timeline.insert(at, std::move(ev));
}

void HeadlessPlatform::PumpMessages(PlatformEvents& events) {
    std::string error;
    if (!FlushShots(false, error) && PendingError.empty()) PendingError = error;
    // The stick moves the pointer by the time since the last pump.
    if (Pad.StickActive()) Pad.MovePointer(Cursor, Now - PadMovedAt);
    PadMovedAt = Now;
    while (NextEvent < Timeline.size() && Timeline[NextEvent].Time <= Now) Apply(Timeline[NextEvent++], events);
    if (!Closing && Now >= Until) {
        Closing = true;
        events.OnCloseRequest();
    }
}

bool HeadlessPlatform::FlushShots(bool all, std::string& error) {
    bool ok = true;
    for (auto& shot : Shots) {
        if (shot.Done || (!all && shot.Time > Now)) continue;
        shot.Done = true;
        const TABitmap& pic = Presented[Index(shot.Window)];
        TABitmap black;
        const TABitmap* src = &pic;
        if (!pic.IsReady()) {  // nothing shown yet: the window is black
            black.SetSize32(kScreenWidth, shot.Window == WindowId::Msg ? kMsgWindowHeight : kScreenHeight);
            black.FillColor(0, 0, 0);
            src = &black;
        }
        std::vector<uint8_t> png;
        std::string why;
        if (!EncodePng(*src, png) || !WriteFileAtomic(shot.File, png, why)) {
            error = "cannot write capture " + shot.File.string() + (why.empty() ? "" : ": " + why);
            ok = false;
        }
    }
    return ok;
}

}  // namespace orva
