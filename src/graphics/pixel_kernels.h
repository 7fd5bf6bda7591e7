// Row kernels behind TABitmap's draws: one table per instruction set (portable, SSE2, AVX2),
// all bit-identical, chosen once at run time from what the processor offers.
#pragma once

#include <cstdint>

namespace orva::pixel {

// One output column of a bilinear reduction: the two source columns it mixes and the weight
// of the right one (0 … 255).
struct TBilinearColumn {
    int32_t Left, Right;
    uint32_t Fx;
};

// Each kernel applies its formula to n pixels, s read, d read and written; s and d do not overlap.
struct TKernels {
    const char* Name;                                                               // "scalar", "sse2", "avx2"
    void (*Blend)(const uint32_t* s, uint32_t* d, int n, unsigned a);               // a 0 … 256
    void (*Alpha)(const uint32_t* s, uint32_t* d, int n);                           //
    void (*AlphaOpacity)(const uint32_t* s, uint32_t* d, int n, unsigned opacity);  // opacity 0 … 255
    void (*AlphaKeyed)(const uint32_t* s, uint32_t* d, int n, unsigned opacity);    // opacity 0 … 255
    void (*Add)(const uint32_t* s, uint32_t* d, int n, unsigned a);                 // a 0 … 256
    void (*Compose)(const uint32_t* colour, const uint32_t* mask, uint32_t* out, int n);  // out T := mask B
    // out[c] := rows a and b mixed at cols[c] across, then with weight fy (0 … 255) of b down.
    void (*Bilinear)(const uint32_t* a, const uint32_t* b, const TBilinearColumn* cols, int n, unsigned fy,
                     uint32_t* out);
};

const TKernels& ScalarKernels();
// nullptr where the build or the processor lacks the instruction set.
const TKernels* Sse2Kernels();
const TKernels* Avx2Kernels();
// The fastest table the processor runs; decided on first use.
const TKernels& ActiveKernels();

}  // namespace orva::pixel
