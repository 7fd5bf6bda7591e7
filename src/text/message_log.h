// TMessageLog: the last 256 messages and choices the player went past, newest first, each with
// the name of its voice.
#pragma once

#include <array>
#include <string>

namespace orva {

inline constexpr int kMessageLogSize = 256;

struct MessageLogEntry {
    std::u16string Text;   // as the script holds it (name, "「", slashes); empty: no entry
    std::u16string Voice;  // voice file name without extension; empty for none
};

class TMessageLog {
public:
    // Puts an entry in front; the oldest of 256 is dropped.
    void Add(std::u16string text, std::u16string voice);
    void Clear();
    // Takes away the newest `n` entries (the messages a rollback went back over).
    void DropNewest(int n);
    // Entry i, 0 the newest; an empty entry past the end.
    const MessageLogEntry& Entry(int i) const;
    // Entries that hold text, counted from the newest.
    int Count() const;

private:
    std::array<MessageLogEntry, kMessageLogSize> Entries;  // ring: Entries[(Head + i) % 256]
    int Head = 0;
};

}  // namespace orva
