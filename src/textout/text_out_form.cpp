// The main form's text out: each message's text, as the message window shows it, goes to the
// clipboard or to the WebSocket server's readers when the message starts printing.
#include <iostream>

#include "app/main_form.h"
#include "data/cp932.h"
#include "textout/shown_text.h"

namespace orva {

void TForm1::StartTextOut() {
    if (Options.TextOut.Kind != TextOutKind::WebSocket) return;
    TextOutServer = std::make_unique<TWebSocketTextServer>();
    std::string error;
    // Without its port the game plays on; the reader's page just gets nothing.
    if (!TextOutServer->Start(Options.TextOut.Port, error)) {
        std::cerr << "orva: text out: " << error << "\n";
        TextOutServer.reset();
    }
}

void TForm1::StopTextOut() { TextOutServer.reset(); }

// The one place that says what a reader gets of the current message: the name and the lines
// the message window composed, joined without their breaks.
std::string TForm1::ShownMessageText() const { return Utf16ToUtf8(JoinShownLines(Msg.MessageLines)); }

void TForm1::TextOutMessageBegun() {
    if (Options.TextOut.Kind == TextOutKind::Off) return;
    std::string text = ShownMessageText();
    // An empty message shows nothing, and leaves the reader's last text where it is.
    if (text.empty()) return;
    const bool clipboard = Options.TextOut.Kind == TextOutKind::Clipboard;
    if (Trace.Enabled())
        Trace.Event("textout", TraceFields().Str("to", clipboard ? "clipboard" : "websocket").Str("text", text));
    if (clipboard) {
        if (!Plat.SetClipboardText(text) && !ClipboardRefused) {
            ClipboardRefused = true;
            std::cerr << "orva: text out: the desktop refused the clipboard\n";
        }
    } else if (TextOutServer) {
        TextOutServer->Send(std::move(text));
    }
}

}  // namespace orva
