// Hit areas of a screen, sampled from its hit test, and the d-pad's steps through them.
#include "app/hit_areas.h"

#include <algorithm>
#include <map>

namespace orva {

std::vector<HitArea> CollectHitAreas(int width, int height, int step, const std::function<int32_t(Point)>& hitTest) {
    struct Box {
        int32_t X0, Y0, X1, Y1;   // first and last sample hit, inclusive
    };
    std::map<int32_t, Box> boxes;
    step = std::max(1, step);
    for (int y = step / 2; y < height; y += step)
        for (int x = step / 2; x < width; x += step) {
            const int32_t id = hitTest({x, y});
            if (id == 0) continue;
            auto [it, fresh] = boxes.try_emplace(id, Box{x, y, x, y});
            if (fresh) continue;
            Box& b = it->second;
            b.X0 = std::min(b.X0, x);
            b.Y0 = std::min(b.Y0, y);
            b.X1 = std::max(b.X1, x);
            b.Y1 = std::max(b.Y1, y);
        }
    std::vector<HitArea> areas;
    for (const auto& [id, b] : boxes) areas.push_back({id, b.X0, b.Y0, b.X1 - b.X0 + 1, b.Y1 - b.Y0 + 1});
    std::sort(areas.begin(), areas.end(), [](const HitArea& a, const HitArea& b) {
        return a.Y != b.Y ? a.Y < b.Y : a.X < b.X;
    });
    return areas;
}

std::optional<HitArea> StepHitArea(const std::vector<HitArea>& areas, Point pointer, int32_t under, bool forward) {
    if (areas.empty()) return std::nullopt;
    const auto n = static_cast<std::ptrdiff_t>(areas.size());
    for (std::ptrdiff_t i = 0; i < n; ++i)
        if (under != 0 && areas[static_cast<size_t>(i)].Id == under)
            return areas[static_cast<size_t>((i + (forward ? 1 : n - 1)) % n)];
    // Outside every area: where the pointer would stand in reading order.
    auto before = [&](const HitArea& a) { return a.Y != pointer.Y ? a.Y < pointer.Y : a.X < pointer.X; };
    if (forward) {
        for (const HitArea& a : areas)
            if (!before(a)) return a;
        return areas.front();
    }
    for (auto it = areas.rbegin(); it != areas.rend(); ++it)
        if (before(*it)) return *it;
    return areas.back();
}

}  // namespace orva
