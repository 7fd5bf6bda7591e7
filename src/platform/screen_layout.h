// The screen's geometry: the 800×600 client area every scene is composed for, the message
// window's place on it (also the detached window's size), and the text bands inside the window.
// Every layer places its pictures by these numbers, so this header depends on nothing.
#pragma once

namespace orva {

inline constexpr int kScreenWidth = 800;       // the main window's client area, in logical pixels
inline constexpr int kScreenHeight = 600;

inline constexpr int kMsgWindowTop = 416;      // the message window's first row on the screen
inline constexpr int kMsgWindowWidth = kScreenWidth;
inline constexpr int kMsgWindowHeight = 184;   // it reaches the screen's bottom edge
static_assert(kMsgWindowTop + kMsgWindowHeight == kScreenHeight);

// Text in the message window: the speaker's name band and three text bands, one per 40 rows,
// each glyph row starting 2 rows into its band, 32 columns from the window's left edge.
inline constexpr int kTextLeft = 32;
inline constexpr int kTextBandTop = 2;
inline constexpr int kTextBandHeight = 40;
inline constexpr int kFontHeight = 28;         // the message and choice font's pixel size
inline constexpr int kCharWidth = 28;          // advance of a full-width character

// A choice's answer bars: full-width rows of one text band's height.
inline constexpr int kChoiceBarWidth = kScreenWidth;
inline constexpr int kChoiceBarHeight = kTextBandHeight;

}  // namespace orva
