// The message log: adding and clearing entries, and stepping through them in the review, which
// shows an entry in the message window in grey.
#include <algorithm>

#include "app/main_form.h"
#include "data/cp932.h"
#include "text/shown_text.h"

namespace orva {

void TForm1::NOVL_AddMsgLog(const std::u16string& text, int32_t voice) {
    std::u16string voiceName = voice != -1 ? VoiceNameAt(voice) : std::u16string();
    if (Trace.Enabled())
        Trace.Event("log", TraceFields().Str("text", Utf16ToUtf8(PlainShownText(text))).Str("voice", Utf16ToUtf8(voiceName)));
    Msg.MessageLog.Add(text, std::move(voiceName));
}

void TForm1::NOVL_ClearMsgLog() {
    Msg.MessageLog.Clear();
    Msg.LogPos = 0;
}

bool TForm1::LogStepBack() {
    Skip.StopAuto();
    if (!Text.LogReview) Msg.LogPos = 0;
    Text.LogReview = true;
    Msg.LogPos = std::min(Msg.LogPos + 1, kMessageLogSize);
    const MessageLogEntry& entry = Msg.MessageLog.Entry(Msg.LogPos - 1);
    if (!entry.Text.empty()) {
        NOVL_MakeMessage(entry.Text);
        EngineMode = Mode::MessageWait;
        Text.PrintCount = 0;
        Input.Consume();
        return true;
    }
    // The log ends here: the window keeps what it showed.
    if (--Msg.LogPos < 1) {
        Msg.LogPos = 0;
        Text.LogReview = false;
    }
    return false;
}

void TForm1::LogStepForward() {
    Skip.StopAuto();
    if (!Text.LogReview) Msg.LogPos = 0;
    // The newest entry is the end; Return or a click leaves the review.
    if (Msg.LogPos < 2) return;
    --Msg.LogPos;
    NOVL_MakeMessage(Msg.MessageLog.Entry(Msg.LogPos - 1).Text);
    EngineMode = Mode::MessageWait;
    Text.PrintCount = 0;
    Input.Consume();
}

}  // namespace orva
