// Layout and value rules of the configuration menu.
#include "menus/config_menu.h"

#include <algorithm>
#include <cmath>

namespace orva {
namespace {

constexpr float kKnobScale = 1.92f;          // track pixels per value step
constexpr int kLeftTrack = 112, kRightTrack = 480, kKnobW = 16;  // a knob's hit area is kKnobW square

struct KnobRow {
    int Id;
    int Y;                                   // the picture's top; the hit area is 8 below
};
constexpr KnobRow kKnobs[] = {{kCfgMusicKnob, 316}, {kCfgEffectKnob, 372}, {kCfgVoiceKnob, 428},
                              {kCfgSpeedKnob, 132}, {kCfgAutoKnob, 188}, {kCfgOpacityKnob, 372}};

// Nearest integer with halves to even, in single precision.
int32_t RoundEven(float v) { return static_cast<int32_t>(std::nearbyint(v)); }

}  // namespace

int32_t KnobOffset(int32_t value) { return RoundEven(static_cast<float>(value) * kKnobScale); }

bool IsLeftSlider(int knob) { return knob >= kCfgMusicKnob && knob <= kCfgVoiceKnob; }

int32_t SliderValueAt(int knob, int32_t x) {
    // The knob's centre lies 8 pixels right of its left edge, so value 0 sits at track + 8.
    const int32_t track = IsLeftSlider(knob) ? kLeftTrack : kRightTrack;
    if (x < track - 32 || x > track + 223) return -1;
    const int32_t v = RoundEven(static_cast<float>(x - (track + 8)) / kKnobScale);
    return std::clamp<int32_t>(v, 0, 100);
}

int16_t& KnobSetting(ConfigRec& c, int knob) {
    switch (knob) {
        case kCfgMusicKnob: return c.BgmVolume;
        case kCfgEffectKnob: return c.SeVolume;
        case kCfgVoiceKnob: return c.VoiceVolume;
        case kCfgSpeedKnob: return c.TextSpeed;
        case kCfgAutoKnob: return c.AutoWait;
        default: return c.WindowOpacity;
    }
}

int16_t KnobSetting(const ConfigRec& c, int knob) { return KnobSetting(const_cast<ConfigRec&>(c), knob); }

Point KnobPlace(const ConfigRec& c, int knob) {
    const int32_t track = IsLeftSlider(knob) ? kLeftTrack : kRightTrack;
    for (const KnobRow& k : kKnobs)
        if (k.Id == knob) return {track + KnobOffset(KnobSetting(c, knob)), k.Y};
    return {};
}

CfgRect ControlRect(int id) {
    if (id >= 1 && id <= 10) {
        // Left column for the odd options' pairs, right column for the font and design pairs.
        static constexpr Point kPlaces[10] = {{64, 136},  {224, 136}, {64, 200},  {224, 200}, {64, 488},
                                              {224, 488}, {432, 248}, {592, 248}, {432, 312}, {592, 312}};
        const Point at = kPlaces[id - 1];
        return {at.X, at.Y, 144, 32};
    }
    switch (id) {
        case kCfgDefaults: return {32, 544, 160, 32};
        case kCfgTitle: return {464, 544, 96, 32};
        case kCfgQuit: return {568, 544, 96, 32};
        case kCfgBack: return {672, 544, 96, 32};
        default: return {};
    }
}

int ConfigHitTest(const ConfigRec& c, Point p) {
    for (int id = 1; id <= 10; ++id)
        if (ControlRect(id).Contains(p)) return id;
    for (const KnobRow& k : kKnobs) {
        const Point at = KnobPlace(c, k.Id);
        if (CfgRect{at.X, at.Y + 8, kKnobW, kKnobW}.Contains(p)) return k.Id;
    }
    for (int id : {kCfgDefaults, kCfgTitle, kCfgQuit, kCfgBack})
        if (ControlRect(id).Contains(p)) return id;
    return 0;
}

bool OptionChosen(const ConfigRec& c, int option) {
    switch (option) {
        case kCfgWindow: return c.ScreenMode == 0;
        case kCfgFullScreen: return c.ScreenMode == 1;
        case kCfgEffectsOn: return c.ScreenEffects == 1;
        case kCfgEffectsOff: return c.ScreenEffects == 0;
        case kCfgVoiceOn: return c.VoiceCarryOn == 1;
        case kCfgVoiceStops: return c.VoiceCarryOn == 0;
        case kCfgMincho: return c.MessageFont == 0;
        case kCfgGothic: return c.MessageFont == 1;
        case kCfgDesign0: return c.WindowColour == 0;
        case kCfgDesign1: return c.WindowColour == 1;
        default: return false;
    }
}

Point OptionLook(int option, int state) { return {144 * ((option - 1) % 5), 32 * ((option - 1) / 5) + 64 * state}; }

Point ButtonLook(int id, bool hover) {
    const int y = hover ? 288 : 256;
    switch (id) {
        case kCfgDefaults: return {0, y};
        case kCfgTitle: return {160, y};
        case kCfgQuit: return {256, y};
        default: return {352, y};
    }
}

Point KnobLook(bool hover) { return {448, hover ? 288 : 256}; }

Point PreviewLook(int design) { return {design == 0 ? 0 : 304, 320}; }

ConfigRec WithDefaults(const ConfigRec& c) {
    const ConfigRec f = DefaultConfig();
    ConfigRec d = c;
    d.ScreenMode = f.ScreenMode;
    d.ScreenEffects = f.ScreenEffects;
    d.BgmVolume = f.BgmVolume;
    d.SeVolume = f.SeVolume;
    d.VoiceVolume = f.VoiceVolume;
    d.VoiceCarryOn = f.VoiceCarryOn;
    d.TextSpeed = f.TextSpeed;
    d.AutoWait = f.AutoWait;
    d.MessageFont = f.MessageFont;
    d.WindowColour = f.WindowColour;
    d.WindowOpacity = f.WindowOpacity;
    return d;
}

}  // namespace orva
