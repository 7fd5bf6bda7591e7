// Message display: NOVL_DrawMessage reveals the composed layers a character per drawn frame and
// draws the waiting message with its click-wait icon; NOVL_WaitMessage (the message wait mode)
// advances, hides and shows the window, runs auto mode and the log review.
#include <algorithm>

#include "app/main_form.h"
#include "data/cp932.h"
#include "platform/screen_layout.h"
#include "text/window_buttons.h"

namespace orva {
namespace {

constexpr int kIconSize = 32, kIconSheetY = 128, kIconFrames = 8, kIconFrameMs = 55;

// Draws rows [y, y + h) of the shadow and then the text layer, their left w pixels, onto the
// screen while the window is attached and onto the detached window's picture when `detached`
// (it is composed only for the frames that show it).
void RevealLayers(PictureSet& p, bool attached, bool detached, int y, int h, int w) {
    if (attached) {
        p.ShadowLayer.DrawAlphaOpacity(0, kMsgWindowTop + y, w, h, 0, y, p.BackBuffer, 255);
        p.TextLayer.DrawAlphaOpacity(0, kMsgWindowTop + y, w, h, 0, y, p.BackBuffer, 255);
    }
    if (detached) {
        p.ShadowLayer.DrawAlphaOpacity(0, y, w, h, 0, y, p.WindowBuffer, 255);
        p.TextLayer.DrawAlphaOpacity(0, y, w, h, 0, y, p.WindowBuffer, 255);
    }
}

}  // namespace

std::u16string TForm1::VoiceNameAt(int32_t voice) {
    if (voice < 0 || static_cast<size_t>(voice) >= Script.VoiceNames.size()) return {};
    return Cp932ToUtf16(Script.VoiceNames[static_cast<size_t>(voice)]);
}

// Pixels from the text's left edge to the end of the first `chars` characters of line k: a
// cell each in Japanese type, the characters' own advances in proportional type.
int TForm1::RevealedWidth(int k, int chars) const {
    const std::vector<int>& ends = Msg.LineCharEnds[static_cast<size_t>(k)];
    if (ends.empty() || chars <= 0) return kCharWidth * chars;
    return ends[static_cast<size_t>(std::min<int>(chars, static_cast<int>(ends.size())) - 1)];
}

void TForm1::NOVL_DrawMessage() {
    PictureSet& p = *Pics;
    const bool attached = !MsgFormVisible;
    const bool toDetached = DetachedPictureDrawn();
    const uint16_t opacity = static_cast<uint16_t>(OpacityFromPercent(Config.WindowOpacity));
    auto blendWindow = [&] {
        if (attached) p.MsgWinPicture.DrawAlphaOpacity(0, kMsgWindowTop, kMsgWindowWidth, kMsgWindowHeight, 0, 0, p.BackBuffer, opacity);
    };

    if (EngineMode == Mode::MessagePrint) {
        if (Skip.FastSkip) {
            EngineMode = Mode::MessageWait;
            return;
        }
        // A speed outside 0 … 100 (a damaged save file) must not hold frames for seconds.
        const int32_t speed = std::clamp<int32_t>(Config.TextSpeed, 0, 100);
        // 255 lies beyond any message: the printing finishes in this frame.
        if (Input.KeyEnter || Input.KeyCtrl || Skip.SkipActive || Input.MouseLeftClick || speed == 100)
            Text.PrintCount = 255;
        blendWindow();

        const int l1 = static_cast<int>(Msg.MessageLines[1].size());
        const int l2 = static_cast<int>(Msg.MessageLines[2].size());
        const int l3 = static_cast<int>(Msg.MessageLines[3].size());
        const int c = ++Text.PrintCount;
        if (c <= l1 + l2 + l3) {
            // The name band shows whole at once; the line being printed shows up to character c.
            int band = 1, shown = c;
            if (c > l1) { band = 2; shown = c - l1; }
            if (c > l1 + l2) { band = 3; shown = c - l1 - l2; }
            RevealLayers(p, attached, toDetached, 0, kTextBandHeight * band, kMsgWindowWidth);
            RevealLayers(p, attached, toDetached, kTextBandHeight * band, kTextBandHeight, kTextLeft + RevealedWidth(band, shown));
            // The text speed is a delay per character.
            if (100 - speed > 0) Plat.Sleep(static_cast<uint32_t>(100 - speed));
            return;
        }
        RevealLayers(p, attached, toDetached, 0, kMsgWindowHeight, kMsgWindowWidth);
        MessagePrinted();
        return;
    }

    if (EngineMode == Mode::MessageWait && !Skip.FastSkip && Text.MsgOnScreen) {
        if (attached && !Frames.BaseHasWaitingText) DrawWaitingText(p.BackBuffer);
        RevealLayers(p, false, toDetached, 0, kMsgWindowHeight, kMsgWindowWidth);
        if (!Text.LogReview) {
            // Eight frames, one every 55 ms.
            const int f = static_cast<int>(Plat.Ticks() / kIconFrameMs % kIconFrames);
            const Point at = Msg.WaitIconPos;
            if (attached)
                p.ButtonSheet.DrawAlpha(at.X, at.Y, kIconSize, kIconSize, kIconSize * f, kIconSheetY, p.BackBuffer);
            else
                p.ButtonSheet.DrawAlpha(at.X, at.Y - kMsgWindowTop, kIconSize, kIconSize, kIconSize * f, kIconSheetY,
                                        p.WindowBuffer);
        }
    }
}

void TForm1::MessagePrinted() {
    // The input that finished the printing is used up: it does not also go on.
    Input.ConsumeAdvance();
    Timing.RestartVoiceTimer();
    for (int k = 3; k >= 1; --k) {
        const int len = static_cast<int>(Msg.MessageLines[static_cast<size_t>(k)].size());
        if (len > 0) {
            Msg.WaitIconPos = {kTextLeft + RevealedWidth(k, len), kMsgWindowTop + kTextBandHeight * k};
            break;
        }
    }
    EngineMode = Mode::MessageWait;
}

bool TForm1::DetachedPictureDrawn() const { return MsgFormVisible || !Frames.Enabled; }

bool TForm1::WaitingTextAttached() const {
    return EngineMode == Mode::MessageWait && !Skip.FastSkip && Text.MsgOnScreen && !MsgFormVisible;
}

bool TForm1::WaitIconClearOfButtons() const {
    if (Text.LogReview) return true;  // no icon
    const Point icon = Msg.WaitIconPos;
    for (int b = 0; b < kWindowButtonCount; ++b) {
        const Point at = ButtonDrawPlace(b, false);
        const SheetRect r = ButtonSheetRect(b, kBtnNormal);  // every look of a button has its size
        if (icon.X < at.X + r.W && at.X < icon.X + kIconSize && icon.Y < at.Y + r.H && at.Y < icon.Y + kIconSize)
            return false;
    }
    return true;
}

// What NOVL_DrawMessage draws under the icon of a waiting message while the window is attached.
void TForm1::DrawWaitingText(TABitmap& back) {
    PictureSet& p = *Pics;
    const auto opacity = static_cast<uint16_t>(OpacityFromPercent(Config.WindowOpacity));
    p.MsgWinPicture.DrawAlphaOpacity(0, kMsgWindowTop, kMsgWindowWidth, kMsgWindowHeight, 0, 0, back, opacity);
    p.ShadowLayer.DrawAlphaOpacity(0, kMsgWindowTop, kMsgWindowWidth, kMsgWindowHeight, 0, 0, back, 255);
    p.TextLayer.DrawAlphaOpacity(0, kMsgWindowTop, kMsgWindowWidth, kMsgWindowHeight, 0, 0, back, 255);
}

void TForm1::NOVL_WaitMessage() {
    InputState& in = Input;
    // The hidden window comes back with Space or a click, without going on.
    if (!Text.MsgOnScreen) {
        if (in.KeySpace || in.MouseLeftClick) {
            Text.MsgOnScreen = true;
            in.Consume();
            if (Config.DetachedWindow) MsgForm.FormShow();
        }
        return;
    }

    // Log review: only the log and voice buttons stay usable; Return or a click ends it.
    if (Text.LogReview) {
        Msg.ButtonState[kBtnLog] = kBtnOn;
        Msg.ButtonToggle[kBtnLog] = true;
        for (int b : kReviewLockedButtons) Msg.ButtonState[static_cast<size_t>(b)] = kBtnDisabled;
        if (in.KeyEnter || in.MouseLeftClick) {
            Text.LogReview = false;
            Msg.ButtonState[kBtnLog] = kBtnNormal;
            Msg.ButtonToggle[kBtnLog] = false;
            for (int b : kReviewLockedButtons) Msg.ButtonState[static_cast<size_t>(b)] = kBtnNormal;
            if (Text.IsChoice) EngineMode = Mode::ChoiceWait;
            else NOVL_MakeMessage(MessageTextAt(Text.MsgNo));
            SoundPlayerStop(kVoiceChannel);
            Msg.ButtonToggle[kBtnVoice] = false;
            Text.PrintCount = 255;
            // The Return that ended the review must not also go on from the message on the
            // next pass while the key is still down.
            in.Consume();
            return;
        }
    } else {
        // Advance: a manual advance or a skip ends auto mode.
        const bool manual = in.KeyEnter || in.KeyCtrl || Skip.SkipActive || in.MouseLeftClick;
        const bool autoDue = Skip.AutoMode && Timing.VoiceTimer > 10000 - 100 * Config.AutoWait;
        if (manual || autoDue) {
            if (manual) Skip.StopAuto();
            Text.LogReview = false;
            for (int b : {kBtnLog, kBtnVoice, kBtnAuto, kBtnSkip}) {
                Msg.ButtonState[static_cast<size_t>(b)] = kBtnNormal;
                Msg.ButtonToggle[static_cast<size_t>(b)] = false;
            }
            Text.MsgWinShown = true;
            EngineMode = Mode::Script;
            in.ConsumeAdvance();
            NOVL_AddMsgLog(MessageTextAt(Text.MsgNo), Text.MsgVoice);
            return;
        }
        // Space hides the window.
        if (in.KeySpace) {
            Skip.StopAuto();
            Text.MsgOnScreen = false;
            in.HoldKeys();
            if (Config.DetachedWindow) MsgForm.Hide();
            return;
        }
    }

    // Paging through the log.
    if (in.KeyLogBack && LogStepBack()) return;
    if (in.KeyLogForward) LogStepForward();
}

}  // namespace orva
