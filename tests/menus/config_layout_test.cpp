// The configuration menu's layout rules: knob places, the value under the cursor, hit areas,
// chosen options and looks, and what the defaults keep.
#include <gtest/gtest.h>

#include <cstring>

#include "menus/config_menu.h"

namespace orva {
namespace {

TEST(ConfigLayout, KnobOffsetsAndSliderValuesRoundInSinglePrecision) {
    EXPECT_EQ(KnobOffset(0), 0);
    EXPECT_EQ(KnobOffset(100), 192);
    EXPECT_EQ(KnobOffset(1), 2);      // 1.92
    EXPECT_EQ(KnobOffset(33), 63);    // 63.36
    EXPECT_EQ(KnobOffset(75), 144);

    // Left sliders follow x 80..335, right ones 448..703; beyond, the value stays (-1).
    EXPECT_EQ(SliderValueAt(kCfgMusicKnob, 79), -1);
    EXPECT_EQ(SliderValueAt(kCfgMusicKnob, 80), 0);     // clamped
    EXPECT_EQ(SliderValueAt(kCfgMusicKnob, 120), 0);
    EXPECT_EQ(SliderValueAt(kCfgMusicKnob, 216), 50);
    EXPECT_EQ(SliderValueAt(kCfgVoiceKnob, 335), 100);  // clamped
    EXPECT_EQ(SliderValueAt(kCfgVoiceKnob, 336), -1);
    EXPECT_EQ(SliderValueAt(kCfgSpeedKnob, 447), -1);
    EXPECT_EQ(SliderValueAt(kCfgSpeedKnob, 448), 0);
    EXPECT_EQ(SliderValueAt(kCfgOpacityKnob, 584), 50);
    EXPECT_EQ(SliderValueAt(kCfgAutoKnob, 703), 100);
    EXPECT_EQ(SliderValueAt(kCfgAutoKnob, 704), -1);
    // The centre of a knob gives back its value for every setting.
    for (int v = 0; v <= 100; ++v) {
        ConfigRec c = DefaultConfig();
        c.BgmVolume = static_cast<int16_t>(v);
        EXPECT_EQ(SliderValueAt(kCfgMusicKnob, KnobPlace(c, kCfgMusicKnob).X + 8), v);
    }
}

TEST(ConfigLayout, HitAreasExcludeTheirRightAndBottomEdgesAndKnobsMoveWithTheirValues) {
    ConfigRec c = DefaultConfig();
    EXPECT_EQ(ConfigHitTest(c, {64, 136}), kCfgWindow);
    EXPECT_EQ(ConfigHitTest(c, {207, 167}), kCfgWindow);
    EXPECT_EQ(ConfigHitTest(c, {208, 150}), 0);
    EXPECT_EQ(ConfigHitTest(c, {100, 168}), 0);
    EXPECT_EQ(ConfigHitTest(c, {600, 320}), kCfgDesign1);
    EXPECT_EQ(ConfigHitTest(c, {32, 544}), kCfgDefaults);
    EXPECT_EQ(ConfigHitTest(c, {767, 575}), kCfgBack);
    EXPECT_EQ(ConfigHitTest(c, {768, 575}), 0);
    EXPECT_EQ(ConfigHitTest(c, {565, 560}), 0);          // between title and quit

    // Music at 75: the knob is drawn at (256, 316) and reacts on (256..271, 324..339).
    EXPECT_EQ(KnobPlace(c, kCfgMusicKnob), (Point{256, 316}));
    EXPECT_EQ(ConfigHitTest(c, {256, 324}), kCfgMusicKnob);
    EXPECT_EQ(ConfigHitTest(c, {271, 339}), kCfgMusicKnob);
    EXPECT_EQ(ConfigHitTest(c, {272, 330}), 0);
    EXPECT_EQ(ConfigHitTest(c, {260, 323}), 0);
    EXPECT_EQ(ConfigHitTest(c, {480 + 96, 148}), kCfgSpeedKnob);
    EXPECT_EQ(ConfigHitTest(c, {624, 388}), kCfgOpacityKnob);
    c.BgmVolume = 0;
    EXPECT_EQ(ConfigHitTest(c, {112, 330}), kCfgMusicKnob);
    EXPECT_EQ(ConfigHitTest(c, {256, 330}), 0);
}

TEST(ConfigLayout, ChosenOptionsLooksAndDefaults) {
    ConfigRec c = DefaultConfig();
    c.ScreenMode = 1;
    c.MessageFont = 1;
    EXPECT_FALSE(OptionChosen(c, kCfgWindow));
    EXPECT_TRUE(OptionChosen(c, kCfgFullScreen));
    EXPECT_TRUE(OptionChosen(c, kCfgEffectsOn));
    EXPECT_TRUE(OptionChosen(c, kCfgGothic));
    EXPECT_TRUE(OptionChosen(c, kCfgDesign0));
    EXPECT_EQ(OptionLook(7, 3), (Point{144, 224}));
    EXPECT_EQ(OptionLook(5, 1), (Point{576, 64}));
    EXPECT_EQ(ButtonLook(kCfgQuit, true), (Point{256, 288}));
    EXPECT_EQ(PreviewLook(1), (Point{304, 320}));

    ConfigRec d{};
    std::memset(&d, 0x5A, sizeof d);
    d.DetachedWindow = 1;
    const ConfigRec r = WithDefaults(d);
    EXPECT_EQ(r.BgmVolume, 75);
    EXPECT_EQ(r.TextSpeed, 50);
    EXPECT_EQ(r.ScreenMode, 0);
    EXPECT_EQ(r.WindowColour, 0);
    EXPECT_EQ(r.DetachedWindow, 1);                  // not a menu setting
    EXPECT_EQ(r.Reserved2[0], 0x5A);
}

}  // namespace
}  // namespace orva
