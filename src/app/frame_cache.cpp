// The kept frame base: reuse, restore of the drawn-over part, and the changed box for the platform.
#include "app/frame_cache.h"

#include <algorithm>

namespace orva {

namespace {

FrameRect Union(const FrameRect& a, const FrameRect& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    const int x0 = std::min(a.X, b.X), y0 = std::min(a.Y, b.Y);
    const int x1 = std::max(a.X + a.W, b.X + b.W), y1 = std::max(a.Y + a.H, b.Y + b.H);
    return {x0, y0, x1 - x0, y1 - y0};
}

}  // namespace

bool FrameCache::Reuse(TABitmap& back, const FrameBaseKey& key) {
    if (!Enabled || !Valid || !key.Covers || !(key == Key) || Base.Width() != back.Width() ||
        Base.Height() != back.Height() || !back.IsReady())
        return false;
    FrameRect drawn;
    if (back.Written(drawn.X, drawn.Y, drawn.W, drawn.H)) {
        Base.CopyRect(drawn.X, drawn.Y, drawn.W, drawn.H, drawn.X, drawn.Y, back);
        AddPending(drawn);
    }
    back.ClearWritten();
    return true;
}

void FrameCache::Keep(TABitmap& back, const FrameBaseKey& key) {
    PendingWhole = true;
    const bool usable = Enabled && key.Covers && back.IsReady();
    // A base is copied once it has been composed from the same inputs twice in a row: a base
    // that changes on every frame (a fade, a scene being built) would be copied for nothing,
    // and the first frame of a new base goes to the screen without waiting for the copy.
    Valid = usable && Composed && key == ComposedKey;
    Composed = usable;
    ComposedKey = key;
    if (Valid) {
        Base.Assign(back);
        Key = key;
    } else if (!usable) {
        Base = TABitmap();
    }
    back.ClearWritten();
}

void FrameCache::AddPending(const FrameRect& r) { Pending = Union(Pending, r); }

FrameRect FrameCache::Changed(const TABitmap& back) const {
    if (PendingWhole || !Enabled) return {0, 0, back.Width(), back.Height()};
    FrameRect drawn;
    if (!back.Written(drawn.X, drawn.Y, drawn.W, drawn.H)) drawn = {};
    return Union(Pending, drawn);
}

}  // namespace orva
