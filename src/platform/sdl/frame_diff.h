// Which parts of a window's picture changed between two presented frames: the rectangles that
// must be uploaded to the screen again. Pure functions over 32-bit pixel rows, so the SDL
// backend uploads and presents only what differs and nothing at all for an unchanged frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orva {

// A half-open rectangle of picture pixels (left and top included).
struct PixelRect {
    int X = 0, Y = 0, W = 0, H = 0;
    bool operator==(const PixelRect&) const = default;
};

// More rectangles than this are merged into their bounding box: one large upload costs less
// than many small ones.
inline constexpr size_t kMaxChangedRects = 8;

// The rectangles covering every pixel that differs between `before` and `after`, two pictures
// of width × height pixels with the given row strides (in pixels). Each run of consecutive
// changed rows gives one rectangle spanning the changed columns of those rows; runs separated
// by fewer than `joinGap` unchanged rows are joined. Empty when the pictures are equal.
std::vector<PixelRect> ChangedRects(const uint32_t* before, int beforeStride, const uint32_t* after, int afterStride,
                                    int width, int height, int joinGap = 4);

}  // namespace orva
