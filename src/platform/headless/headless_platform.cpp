// The headless platform backend.
#include "platform/headless/headless_platform.h"

#include "data/file_io.h"
#include "graphics/png_write.h"

namespace orva {

HeadlessPlatform::HeadlessPlatform(std::vector<TimelineEvent> timeline, std::vector<HeadlessShot> shots,
                                   uint32_t untilMs)
    : Until(untilMs), Timeline(std::move(timeline)), Shots(std::move(shots)) {
    for (auto& pic : Presented) pic.SetSize32(0, 0);
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
    if (window == WindowId::None) return;
    Presented[Index(window)].Assign(picture);
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
    case TimelineVerb::Key: Keys[static_cast<size_t>(ev.KeyName)] = ev.Pressed; break;
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
    }
}

void HeadlessPlatform::PumpMessages(PlatformEvents& events) {
    std::string error;
    if (!FlushShots(false, error) && PendingError.empty()) PendingError = error;
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
            black.SetSize32(800, shot.Window == WindowId::Msg ? 184 : 600);
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
