// Scene composition, slot filling and the cross-fade step.
#include "graphics/scene_compose.h"

#include <algorithm>

namespace orva {

void FillSlotPicture(const TABitmap& decoded, bool hasAlpha, SlotFill fill, TABitmap& target) {
    if (&target != &decoded) target.Assign(decoded);
    uint32_t* p = target.Pixels();
    const size_t n = static_cast<size_t>(target.Width()) * target.Height();
    if (fill == SlotFill::Colours) {
        for (size_t i = 0; i < n; ++i) p[i] &= 0x00FFFFFFu;
    } else if (!hasAlpha) {
        // Without transparency information the mask stays white: every pixel is invisible.
        for (size_t i = 0; i < n; ++i) p[i] |= 0xFF000000u;
    }
}

void ComposeScene(const TABitmap& background, const std::array<SceneLayer, kCharacterLayers>& layers, TABitmap& next) {
    next.SetSize32(kSceneWidth, kSceneHeight);
    // The background is copied as it is; only what it leaves uncovered (the bands right of and
    // below a smaller picture) is filled with opaque black, so no pixel is written twice.
    const int bw = std::min(background.Width(), kSceneWidth);
    const int bh = background.IsReady() ? std::min(background.Height(), kSceneHeight) : 0;
    background.CopyRect(0, 0, bw, bh, 0, 0, next);
    next.FillRect(bw, 0, kSceneWidth - bw, bh, 0, 0, 0);
    next.FillRect(0, bh, kSceneWidth, kSceneHeight - bh, 0, 0, 0);
    for (int s = kCharacterLayers - 1; s >= 0; --s) {
        const SceneLayer& layer = layers[static_cast<size_t>(s)];
        if (!layer.Picture) continue;
        const auto opacity = static_cast<uint16_t>(std::clamp<int32_t>(layer.Opacity, 0, 255));
        layer.Picture->DrawAlphaKeyed(layer.X, layer.Y, layer.Picture->Width(), layer.Picture->Height(), 0, 0, next,
                                      opacity);
    }
}

uint16_t FadeOpacity(int64_t elapsed, int32_t length) {
    const int64_t a = length > 0 ? elapsed * 255 / length : elapsed * 255;
    // A tick count before the start (or a non-positive length) would give a negative weight,
    // which the cross-fade would read as a huge one; the weight stays in 0 … 256.
    return static_cast<uint16_t>(std::clamp<int64_t>(a, 0, 256));
}

bool FadeStep(TABitmap& scene, const TABitmap& next, int32_t start, int32_t length, int32_t end, uint32_t now) {
    if (int64_t{end} > int64_t{now}) {
        const uint16_t a = FadeOpacity(int64_t{now} - start, length);
        next.DrawBlend2(0, 0, kSceneWidth, kSceneHeight, 0, 0, scene, a);
        return false;
    }
    next.CopyRect(0, 0, kSceneWidth, kSceneHeight, 0, 0, scene);
    return true;
}

}  // namespace orva
