// The configuration menu's layout: its controls' hit areas, the sliders' knob positions and
// the value a cursor x gives, which option shows as chosen, and where each look lies in the
// menu's parts picture. TForm1's NOVL_WaitConfigMenu and NOVL_DrawConfigMenu use them.
#pragma once

#include <cstdint>

#include "data/save_layout.h"
#include "platform/platform.h"

namespace orva {

// Control ids (MenuHover): 1..10 the options, 51..56 the slider knobs, 91 defaults, 92 title,
// 93 quit, 99 back; 0 nothing.
inline constexpr int kCfgWindow = 1, kCfgFullScreen = 2, kCfgEffectsOn = 3, kCfgEffectsOff = 4;
inline constexpr int kCfgVoiceOn = 5, kCfgVoiceStops = 6, kCfgMincho = 7, kCfgGothic = 8;
inline constexpr int kCfgDesign0 = 9, kCfgDesign1 = 10;
inline constexpr int kCfgMusicKnob = 51, kCfgEffectKnob = 52, kCfgVoiceKnob = 53;
inline constexpr int kCfgSpeedKnob = 54, kCfgAutoKnob = 55, kCfgOpacityKnob = 56;
inline constexpr int kCfgDefaults = 91, kCfgTitle = 92, kCfgQuit = 93, kCfgBack = 99;

struct CfgRect {
    int32_t X = 0, Y = 0, W = 0, H = 0;
    bool Contains(Point p) const { return p.X >= X && p.X < X + W && p.Y >= Y && p.Y < Y + H; }
};

// v × 1.92 in single precision, rounded to the nearest integer with halves to even: the
// knob's offset from the left end of its track.
int32_t KnobOffset(int32_t value);
// The value under cursor x for a slider (0..100), or -1 while x is outside the range in which
// the slider follows the cursor.
int32_t SliderValueAt(int knob, int32_t x);
bool IsLeftSlider(int knob);
// The setting a knob shows and moves.
int16_t& KnobSetting(ConfigRec& c, int knob);
int16_t KnobSetting(const ConfigRec& c, int knob);
// Where a knob's picture (16×32) is drawn for the current setting; its hit area is the 16×16
// square 8 pixels below.
Point KnobPlace(const ConfigRec& c, int knob);

// The hit area of an option (1..10) or a button (91..99).
CfgRect ControlRect(int id);
// The control under p with the knobs at their current places; 0 none.
int ConfigHitTest(const ConfigRec& c, Point p);
// Whether option k (1..10) is the setting's current value.
bool OptionChosen(const ConfigRec& c, int option);
// Looks in the parts picture. Option state: 0 normal, 1 chosen, 2 under the cursor, 3 both.
Point OptionLook(int option, int state);
Point ButtonLook(int id, bool hover);
Point KnobLook(bool hover);
Point PreviewLook(int design);
inline constexpr int kPreviewW = 304, kPreviewH = 112;

// The settings the defaults button restores; what is not in the menu stays.
ConfigRec WithDefaults(const ConfigRec& c);

}  // namespace orva
