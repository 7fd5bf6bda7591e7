// The demo game's asset painters and sound makers, and the palette they share.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "graphics/abitmap.h"
#include "paint.h"

namespace orva::demo {

// The palette: a summer harbour at dusk.
inline constexpr Rgb kNavy{28, 42, 74};
inline constexpr Rgb kDeepNavy{16, 24, 46};
inline constexpr Rgb kTeal{47, 111, 143};
inline constexpr Rgb kSky{159, 211, 224};
inline constexpr Rgb kSand{242, 215, 166};
inline constexpr Rgb kCoral{232, 135, 90};
inline constexpr Rgb kCream{253, 246, 227};
inline constexpr Rgb kGrey{128, 134, 146};
inline constexpr Rgb kWarmGrey{92, 84, 78};

// Receives each finished picture: its file name in the archives, the picture, and whether
// its transparency is to be kept (an RGBA file) or dropped (an opaque RGB file).
using PictureSink = std::function<void(const std::string& name, const TABitmap& picture, bool alpha)>;

// Scene backgrounds by name without extension ("01" … "08", their "_1" and "_2" variants,
// "black"); the draft of "01" that the first archive carries is "01_draft".
std::map<std::string, TABitmap> PaintBackgrounds();
// Character pictures (800 × 600, the figure centred, real transparency around it).
void PaintCharacters(const PictureSink& sink);
// Every system picture the engine loads: title, message window, choices, menus, dialog.
void PaintSystemPictures(const std::map<std::string, TABitmap>& backgrounds, const PictureSink& sink);

// Receives each finished sound file: its name in the archives and its Ogg Vorbis bytes.
using SoundSink = std::function<void(const std::string& name, const std::vector<uint8_t>& ogg)>;
// Music "M01" … "M07" with their "P" variants and "M08", effects and voices.
// False (with a line on stderr) when the encoder fails.
bool MakeSounds(const SoundSink& sink);

}  // namespace orva::demo
