// The scene's pure cores: filling a picture slot from a decoded PNG, composing the background
// and the five character layers into the next scene, and one step of a cumulative cross-fade.
#pragma once

#include <array>
#include <cstdint>

#include "graphics/abitmap.h"
#include "platform/screen_layout.h"

namespace orva {

inline constexpr int kSceneWidth = kScreenWidth;   // every composed scene fills the screen
inline constexpr int kSceneHeight = kScreenHeight;
inline constexpr int kCharacterLayers = 5;

// How a loaded picture reaches its slot.
enum class SlotFill {
    Colours,    // colours only, every transparency byte 0 (the background layer)
    WithMask,   // colours with the PNG's transparency; a PNG without any is wholly invisible
};

// target := decoded's size and colours, its transparency bytes set by `fill`. decoded holds a
// PNG as the decoder gives it (transparency byte 255 − alpha when hasAlpha, else 0); it may
// be target itself.
void FillSlotPicture(const TABitmap& decoded, bool hasAlpha, SlotFill fill, TABitmap& target);

// One character layer as the composition sees it.
struct SceneLayer {
    const TABitmap* Picture = nullptr;  // null: the layer is not shown
    int32_t X = 0, Y = 0;               // top-left corner on the screen
    int32_t Opacity = 255;              // 0 … 255
};

// next := 800×600 opaque black, the background copied over it at (0, 0) as it is (its
// transparency bytes are not looked at), then the shown layers 5, 4, 3, 2, 1 drawn whole at
// their positions with DrawAlphaKeyed, so layer 1 ends on top.
void ComposeScene(const TABitmap& background, const std::array<SceneLayer, kCharacterLayers>& layers, TABitmap& next);

// Opacity of one fade step `elapsed` ms into a fade of `length` ms: elapsed × 255 / length
// truncated (elapsed × 255 when length ≤ 0), kept inside the cross-fade's 0 … 256.
uint16_t FadeOpacity(int64_t elapsed, int32_t length);

// One step of a fade that began at tick `start`: before `end` it blends next onto what scene
// already shows (the fade is cumulative); from `end` on it copies next exactly and returns true.
bool FadeStep(TABitmap& scene, const TABitmap& next, int32_t start, int32_t length, int32_t end, uint32_t now);

}  // namespace orva
