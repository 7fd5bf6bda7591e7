// Fuzz target: the PNG decoder, and a decoded picture put into each kind of picture slot (the
// background's colours alone, a character's colours with its transparency) and composed into a
// scene at the screen's edges.
#include "graphics/png_load.h"
#include "graphics/scene_compose.h"

using namespace orva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TABitmap picture;
    bool hasAlpha = false;
    std::string error;
    if (!DecodePng({data, size}, picture, hasAlpha, error)) return 0;
    TABitmap background, character, scene;
    FillSlotPicture(picture, hasAlpha, SlotFill::Colours, background);
    FillSlotPicture(picture, hasAlpha, SlotFill::WithMask, character);
    const int w = character.Width(), h = character.Height();
    std::array<SceneLayer, kCharacterLayers> layers{};
    layers[0] = {&character, kSceneWidth - w / 2, -h / 2, 255};
    layers[2] = {&character, 1 - w, kSceneHeight - 1, int32_t(size % 256)};
    ComposeScene(background, layers, scene);
    return 0;
}
