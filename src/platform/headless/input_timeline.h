// The headless input timeline: one event per line, "MS VERB ARGS", '#' starts a comment.
// Parsed whole before a run so that a malformed line is reported with its number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pad_input.h"
#include "platform/platform.h"

namespace orva {

enum class TimelineVerb : uint8_t { Key, Move, Down, Up, Click, Wheel, Focus, Text, Close, Pad };

struct TimelineEvent {
    uint32_t Time = 0;                     // virtual ms at which it happens
    TimelineVerb Verb = TimelineVerb::Move;
    WindowId Window = WindowId::Main;      // target window (Focus: the window to focus, may be None)
    Key KeyName = Key::Return;             // Key
    bool Pressed = false;                  // Key: down (true) or up
    MouseButton Button = MouseButton::Left;
    Point Pos;                             // Move/Down/Up/Click, client coordinates of Window
    int WheelDirection = 0;                // +1 up, -1 down
    std::string Text;                      // Text, UTF-8
    int Line = 0;                          // source line, for messages
    bool PadStick = false;                 // Pad: a stick axis (else a button, down as Pressed)
    PadButton PadKey = PadButton::A;       // Pad: the button
    PadAxis Axis = PadAxis::LeftX;         // Pad: the stick axis
    int32_t AxisValue = 0;                 // Pad: −32768..32767
};

// Parses a timeline. On error returns false and sets `error` to "line N: ...".
// Events come back sorted by time, keeping file order for equal times.
bool ParseInputTimeline(std::string_view source, std::vector<TimelineEvent>& events, std::string& error);

}  // namespace orva
