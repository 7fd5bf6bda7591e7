// Fitting logical pictures into windows and mapping points both ways.
#include "platform/sdl/view_mapping.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace orva {

ViewFit FitView(int logicalW, int logicalH, int windowW, int windowH) {
    ViewFit fit;
    if (logicalW <= 0 || logicalH <= 0 || windowW <= 0 || windowH <= 0) return fit;
    fit.Scale = std::min(static_cast<double>(windowW) / logicalW, static_cast<double>(windowH) / logicalH);
    fit.OffsetX = (windowW - logicalW * fit.Scale) / 2.0;
    fit.OffsetY = (windowH - logicalH * fit.Scale) / 2.0;
    return fit;
}

static int32_t ClampToInt(double v) {
    if (!(v == v)) return 0;  // NaN
    return static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

Point WindowToLogical(const ViewFit& fit, Point window) {
    const double s = fit.Scale > 0 ? fit.Scale : 1.0;
    // The small bias keeps exact integer scales exact despite binary fractions in the offsets.
    return {ClampToInt(std::floor((window.X - fit.OffsetX) / s + 1e-9)),
            ClampToInt(std::floor((window.Y - fit.OffsetY) / s + 1e-9))};
}

Point LogicalToWindow(const ViewFit& fit, Point logical) {
    // The first window pixel that WindowToLogical maps to the logical pixel, so the two agree.
    return {ClampToInt(std::ceil(fit.OffsetX + logical.X * fit.Scale - 1e-9)),
            ClampToInt(std::ceil(fit.OffsetY + logical.Y * fit.Scale - 1e-9))};
}

Point CentreOver(Point origin, Point outerSize, Point innerSize) {
    return {origin.X + (outerSize.X - innerSize.X) / 2, origin.Y + (outerSize.Y - innerSize.Y) / 2};
}

}  // namespace orva
