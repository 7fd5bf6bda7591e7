// Changed rectangles between two frames, found row by row.
#include "platform/sdl/frame_diff.h"

#include <algorithm>
#include <cstring>

namespace orva {

namespace {

// First and last differing column of one row, or false when the rows are equal. Equal rows are
// the common case (a waiting message changes a 32-pixel icon), so memcmp settles them first.
bool RowSpan(const uint32_t* a, const uint32_t* b, int width, int& first, int& last) {
    if (std::memcmp(a, b, static_cast<size_t>(width) * 4) == 0) return false;
    int l = 0;
    while (a[l] == b[l]) ++l;
    int r = width - 1;
    while (a[r] == b[r]) --r;
    first = l;
    last = r;
    return true;
}

}  // namespace

std::vector<PixelRect> ChangedRects(const uint32_t* before, int beforeStride, const uint32_t* after, int afterStride,
                                    int width, int height, int joinGap) {
    std::vector<PixelRect> rects;
    if (!before || !after || width <= 0 || height <= 0) return rects;
    joinGap = std::max(joinGap, 0);
    bool open = false;
    int top = 0, bottom = 0, left = 0, right = 0;  // the open run: rows [top, bottom], columns [left, right]
    auto close = [&] {
        rects.push_back({left, top, right - left + 1, bottom - top + 1});
        open = false;
    };
    for (int y = 0; y < height; ++y) {
        int first = 0, last = 0;
        if (!RowSpan(before + static_cast<size_t>(y) * beforeStride, after + static_cast<size_t>(y) * afterStride,
                     width, first, last))
            continue;
        if (open && y - bottom - 1 >= joinGap) close();
        if (!open) {
            open = true;
            top = y;
            left = first;
            right = last;
        } else {
            left = std::min(left, first);
            right = std::max(right, last);
        }
        bottom = y;
    }
    if (open) close();
    if (rects.size() > kMaxChangedRects) {
        PixelRect box = rects.front();
        int r = box.X + box.W, b = box.Y + box.H;
        for (const PixelRect& q : rects) {
            box.X = std::min(box.X, q.X);
            r = std::max(r, q.X + q.W);
            b = std::max(b, q.Y + q.H);
        }
        box.W = r - box.X;
        box.H = b - box.Y;
        rects.assign(1, box);
    }
    return rects;
}

}  // namespace orva
