// The SSE2 and AVX2 row kernels (filled in below) and their availability checks.
#include "graphics/pixel_kernels.h"

namespace orva::pixel {

const TKernels* Sse2Kernels() { return nullptr; }
const TKernels* Avx2Kernels() { return nullptr; }

}  // namespace orva::pixel
