// The message log as a ring of 256 entries, so adding moves no strings.
#include "text/message_log.h"

namespace orva {

void TMessageLog::Add(std::u16string text, std::u16string voice) {
    Head = (Head + kMessageLogSize - 1) % kMessageLogSize;
    Entries[static_cast<size_t>(Head)] = MessageLogEntry{std::move(text), std::move(voice)};
}

void TMessageLog::Clear() {
    for (MessageLogEntry& e : Entries) e = MessageLogEntry{};
    Head = 0;
}

void TMessageLog::DropNewest(int n) {
    for (int i = 0; i < n && i < kMessageLogSize; ++i) {
        Entries[static_cast<size_t>(Head)] = MessageLogEntry{};
        Head = (Head + 1) % kMessageLogSize;
    }
}

const MessageLogEntry& TMessageLog::Entry(int i) const {
    static const MessageLogEntry kEmpty;
    if (i < 0 || i >= kMessageLogSize) return kEmpty;
    return Entries[static_cast<size_t>((Head + i) % kMessageLogSize)];
}

int TMessageLog::Count() const {
    int n = 0;
    while (n < kMessageLogSize && !Entry(n).Text.empty()) ++n;
    return n;
}

}  // namespace orva
