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

ViewFit FitPicture(int logicalW, int logicalH, int outputW, int outputH, bool smooth) {
    const ViewFit fit = FitView(logicalW, logicalH, outputW, outputH);
    if (smooth || fit.Scale < 1.0 || logicalW <= 0 || logicalH <= 0 || outputW <= 0 || outputH <= 0) return fit;
    ViewFit whole;
    // The bias keeps an exact ratio such as 1440 / 600 = 2.4 from flooring below its integer part.
    whole.Scale = std::floor(fit.Scale + 1e-9);
    whole.OffsetX = std::floor((outputW - logicalW * whole.Scale) / 2.0);
    whole.OffsetY = std::floor((outputH - logicalH * whole.Scale) / 2.0);
    return whole;
}

ViewFit ToWindowUnits(const ViewFit& outputFit, int outputW, int outputH, int windowW, int windowH) {
    if (outputW <= 0 || outputH <= 0 || windowW <= 0 || windowH <= 0) return outputFit;
    const double rx = static_cast<double>(outputW) / windowW, ry = static_cast<double>(outputH) / windowH;
    return {outputFit.OffsetX / rx, outputFit.OffsetY / ry, outputFit.Scale / rx};
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
