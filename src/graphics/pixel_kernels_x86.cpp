// The SSE2 and AVX2 row kernels. Each pixel's four bytes are widened to 16-bit lanes, the
// per-pixel weight is broadcast from its transparency lane, and every product and sum of the
// formulas stays below 65,536, so 16-bit lane arithmetic gives the scalar results bit for bit.
#include "graphics/pixel_kernels.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define ORVA_PIXEL_X86 1
#endif

namespace orva::pixel {

#if ORVA_PIXEL_X86
namespace {

// ---- SSE2: four pixels per step ----------------------------------------------------------------

inline __m128i BroadcastT(__m128i v16) {  // lanes 3 and 7 (the two pixels' T) to all four lanes each
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(v16, 0xFF), 0xFF);
}
inline __m128i Load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

void BlendSse2(const uint32_t* s, uint32_t* d, int n, unsigned a) {
    const __m128i zero = _mm_setzero_si128(), va = _mm_set1_epi16(static_cast<short>(a)),
                  vna = _mm_set1_epi16(static_cast<short>(256 - a));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = Load(s + i), dv = Load(d + i);
        const __m128i lo = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(sv, zero), va),
                                                        _mm_mullo_epi16(_mm_unpacklo_epi8(dv, zero), vna)), 8);
        const __m128i hi = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(sv, zero), va),
                                                        _mm_mullo_epi16(_mm_unpackhi_epi8(dv, zero), vna)), 8);
        Store(d + i, _mm_packus_epi16(lo, hi));
    }
    if (i < n) ScalarKernels().Blend(s + i, d + i, n - i, a);
}

inline __m128i AlphaHalf(__m128i s16, __m128i d16) {
    const __m128i k = _mm_add_epi16(_mm_srli_epi16(BroadcastT(s16), 1), _mm_set1_epi16(1));
    const __m128i nk = _mm_sub_epi16(_mm_set1_epi16(128), k);
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(s16, nk), _mm_mullo_epi16(d16, k)), 7);
}

void AlphaSse2(const uint32_t* s, uint32_t* d, int n) {
    const __m128i zero = _mm_setzero_si128(), tMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = Load(s + i);
        // T = 255 gives k = 128, which leaves d exactly: invisible runs need no store.
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(sv, tMask), tMask)) == 0xFFFF) continue;
        const __m128i dv = Load(d + i);
        const __m128i lo = AlphaHalf(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero));
        const __m128i hi = AlphaHalf(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(dv, zero));
        Store(d + i, _mm_packus_epi16(lo, hi));
    }
    if (i < n) ScalarKernels().Alpha(s + i, d + i, n - i);
}

inline __m128i OpacityHalf(__m128i s16, __m128i d16, __m128i op1) {
    const __m128i c255 = _mm_set1_epi16(255);
    const __m128i w = _mm_srli_epi16(_mm_mullo_epi16(_mm_sub_epi16(c255, BroadcastT(s16)), op1), 8);
    const __m128i nw = _mm_sub_epi16(c255, w);
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(s16, w), _mm_mullo_epi16(d16, nw)), 8);
}

inline __m128i OpacityQuad(__m128i sv, __m128i dv, __m128i op1) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i lo = OpacityHalf(_mm_unpacklo_epi8(sv, zero), _mm_unpacklo_epi8(dv, zero), op1);
    const __m128i hi = OpacityHalf(_mm_unpackhi_epi8(sv, zero), _mm_unpackhi_epi8(dv, zero), op1);
    return _mm_packus_epi16(lo, hi);
}

void AlphaOpacitySse2(const uint32_t* s, uint32_t* d, int n, unsigned opacity) {
    const __m128i op1 = _mm_set1_epi16(static_cast<short>(opacity + 1));
    int i = 0;
    for (; i + 4 <= n; i += 4) Store(d + i, OpacityQuad(Load(s + i), Load(d + i), op1));
    if (i < n) ScalarKernels().AlphaOpacity(s + i, d + i, n - i, opacity);
}

void AlphaKeyedSse2(const uint32_t* s, uint32_t* d, int n, unsigned opacity) {
    const __m128i op1 = _mm_set1_epi16(static_cast<short>(opacity + 1));
    const __m128i tMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = Load(s + i);
        const __m128i keyed = _mm_cmpeq_epi32(_mm_and_si128(sv, tMask), tMask);
        const int bits = _mm_movemask_epi8(keyed);
        if (bits == 0xFFFF) continue;
        const __m128i dv = Load(d + i);
        const __m128i r = OpacityQuad(sv, dv, op1);
        Store(d + i, bits == 0 ? r : _mm_or_si128(_mm_andnot_si128(keyed, r), _mm_and_si128(keyed, dv)));
    }
    if (i < n) ScalarKernels().AlphaKeyed(s + i, d + i, n - i, opacity);
}

void AddSse2(const uint32_t* s, uint32_t* d, int n, unsigned a) {
    const __m128i zero = _mm_setzero_si128(), va = _mm_set1_epi16(static_cast<short>(a));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = Load(s + i);
        const __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(sv, zero), va), 8);
        const __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(sv, zero), va), 8);
        Store(d + i, _mm_adds_epu8(Load(d + i), _mm_packus_epi16(lo, hi)));
    }
    if (i < n) ScalarKernels().Add(s + i, d + i, n - i, a);
}

void ComposeSse2(const uint32_t* colour, const uint32_t* mask, uint32_t* out, int n) {
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    int i = 0;
    for (; i + 4 <= n; i += 4)
        Store(out + i, _mm_or_si128(_mm_and_si128(Load(colour + i), rgb), _mm_slli_epi32(Load(mask + i), 24)));
    if (i < n) ScalarKernels().Compose(colour + i, mask + i, out + i, n - i);
}

// The reduction needs byte shuffles that SSE2 lacks; here it runs the portable kernel.
void BilinearSse2(const uint32_t* a, const uint32_t* b, const TBilinearColumn* cols, int n, unsigned fy,
                  uint32_t* out) {
    ScalarKernels().Bilinear(a, b, cols, n, fy, out);
}

const TKernels kSse2 = {"sse2",  BlendSse2,   AlphaSse2,   AlphaOpacitySse2, AlphaKeyedSse2,
                        AddSse2, ComposeSse2, BilinearSse2};

// ---- AVX2: eight pixels per step, the rest handed to the SSE2 kernels --------------------------

#define ORVA_AVX2 __attribute__((target("avx2")))

ORVA_AVX2 inline __m256i LoadY(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
ORVA_AVX2 inline void StoreY(uint32_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

ORVA_AVX2 void BlendAvx2(const uint32_t* s, uint32_t* d, int n, unsigned a) {
    const __m256i zero = _mm256_setzero_si256(), va = _mm256_set1_epi16(static_cast<short>(a)),
                  vna = _mm256_set1_epi16(static_cast<short>(256 - a));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sv = LoadY(s + i), dv = LoadY(d + i);
        const __m256i lo = _mm256_srli_epi16(
            _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(sv, zero), va),
                             _mm256_mullo_epi16(_mm256_unpacklo_epi8(dv, zero), vna)), 8);
        const __m256i hi = _mm256_srli_epi16(
            _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(sv, zero), va),
                             _mm256_mullo_epi16(_mm256_unpackhi_epi8(dv, zero), vna)), 8);
        StoreY(d + i, _mm256_packus_epi16(lo, hi));
    }
    if (i < n) BlendSse2(s + i, d + i, n - i, a);
}

// The transparency draws multiply byte pairs: each channel's (s, d) pair meets its pixel's
// (source weight, destination weight) pair in one maddubs. Pixels enter as signed bytes
// (p − 128), which keeps every pair sum inside 16 signed bits (the weights add up to 128 or 255,
// so the sum is off by exactly 128 × that total, added back as Bias).
template <int Shift, int Bias>
ORVA_AVX2 inline __m256i MixPairsY(__m256i sv, __m256i dv, __m256i weightsLo, __m256i weightsHi) {
    const __m256i flip = _mm256_set1_epi8(static_cast<char>(0x80));
    const __m256i bias = _mm256_set1_epi16(static_cast<short>(Bias));
    const __m256i s = _mm256_xor_si256(sv, flip), d = _mm256_xor_si256(dv, flip);
    const __m256i lo = _mm256_maddubs_epi16(weightsLo, _mm256_unpacklo_epi8(s, d));
    const __m256i hi = _mm256_maddubs_epi16(weightsHi, _mm256_unpackhi_epi8(s, d));
    return _mm256_packus_epi16(_mm256_srli_epi16(_mm256_add_epi16(lo, bias), Shift),
                               _mm256_srli_epi16(_mm256_add_epi16(hi, bias), Shift));
}

// Per pixel (low 16 bits of each 32-bit lane): 128 − k for s, k = (T >> 1) + 1 for d, spread
// over the pixel's four channel pairs.
ORVA_AVX2 inline __m256i AlphaMixY(__m256i sv, __m256i dv) {
    const __m256i loIdx = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5,  //
                                           0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5);
    const __m256i hiIdx = _mm256_setr_epi8(8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13,  //
                                           8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13);
    const __m256i k = _mm256_add_epi32(_mm256_srli_epi32(sv, 25), _mm256_set1_epi32(1));
    const __m256i weights = _mm256_or_si256(_mm256_sub_epi32(_mm256_set1_epi32(128), k), _mm256_slli_epi32(k, 8));
    return MixPairsY<7, 128 * 128>(sv, dv, _mm256_shuffle_epi8(weights, loIdx), _mm256_shuffle_epi8(weights, hiIdx));
}

// Per pixel: w = ((255 − T) × (opacity + 1)) >> 8 for s, 255 − w for d. (255 − T) << 8 is the
// pixel's upper 16-bit lane with its bits inverted and R cleared, and its high product with
// opacity + 1 is w itself; w is spread to both bytes of every channel pair and the d byte
// inverted into 255 − w.
ORVA_AVX2 inline __m256i OpacityMixY(__m256i sv, __m256i dv, __m256i op1) {
    const __m256i loIdx = _mm256_setr_epi8(2, 2, 2, 2, 2, 2, 2, 2, 6, 6, 6, 6, 6, 6, 6, 6,  //
                                           2, 2, 2, 2, 2, 2, 2, 2, 6, 6, 6, 6, 6, 6, 6, 6);
    const __m256i hiIdx = _mm256_setr_epi8(10, 10, 10, 10, 10, 10, 10, 10, 14, 14, 14, 14, 14, 14, 14, 14,  //
                                           10, 10, 10, 10, 10, 10, 10, 10, 14, 14, 14, 14, 14, 14, 14, 14);
    const __m256i dByte = _mm256_set1_epi16(static_cast<short>(0xFF00));
    const __m256i w = _mm256_mulhi_epu16(_mm256_andnot_si256(sv, _mm256_set1_epi32(static_cast<int>(0xFF000000u))), op1);
    return MixPairsY<8, 128 * 255>(sv, dv, _mm256_xor_si256(_mm256_shuffle_epi8(w, loIdx), dByte),
                                   _mm256_xor_si256(_mm256_shuffle_epi8(w, hiIdx), dByte));
}

ORVA_AVX2 void AlphaAvx2(const uint32_t* s, uint32_t* d, int n) {
    const __m256i tMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sv = LoadY(s + i);
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(sv, tMask), tMask)) == -1) continue;
        StoreY(d + i, AlphaMixY(sv, LoadY(d + i)));
    }
    if (i < n) AlphaSse2(s + i, d + i, n - i);
}

ORVA_AVX2 void AlphaOpacityAvx2(const uint32_t* s, uint32_t* d, int n, unsigned opacity) {
    const __m256i op1 = _mm256_set1_epi16(static_cast<short>(opacity + 1));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sv = LoadY(s + i);
        StoreY(d + i, OpacityMixY(sv, LoadY(d + i), op1));
    }
    if (i < n) AlphaOpacitySse2(s + i, d + i, n - i, opacity);
}

ORVA_AVX2 void AlphaKeyedAvx2(const uint32_t* s, uint32_t* d, int n, unsigned opacity) {
    const __m256i op1 = _mm256_set1_epi16(static_cast<short>(opacity + 1));
    const __m256i tMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sv = LoadY(s + i);
        const __m256i keyed = _mm256_cmpeq_epi32(_mm256_and_si256(sv, tMask), tMask);
        const int bits = _mm256_movemask_epi8(keyed);
        if (bits == -1) continue;
        const __m256i dv = LoadY(d + i);
        const __m256i r = OpacityMixY(sv, dv, op1);
        StoreY(d + i, bits == 0 ? r : _mm256_blendv_epi8(r, dv, keyed));
    }
    if (i < n) AlphaKeyedSse2(s + i, d + i, n - i, opacity);
}

ORVA_AVX2 void AddAvx2(const uint32_t* s, uint32_t* d, int n, unsigned a) {
    const __m256i zero = _mm256_setzero_si256(), va = _mm256_set1_epi16(static_cast<short>(a));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sv = LoadY(s + i);
        const __m256i lo = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(sv, zero), va), 8);
        const __m256i hi = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(sv, zero), va), 8);
        StoreY(d + i, _mm256_adds_epu8(LoadY(d + i), _mm256_packus_epi16(lo, hi)));
    }
    if (i < n) AddSse2(s + i, d + i, n - i, a);
}

ORVA_AVX2 void ComposeAvx2(const uint32_t* colour, const uint32_t* mask, uint32_t* out, int n) {
    const __m256i rgb = _mm256_set1_epi32(0x00FFFFFF);
    int i = 0;
    for (; i + 8 <= n; i += 8)
        StoreY(out + i,
               _mm256_or_si256(_mm256_and_si256(LoadY(colour + i), rgb), _mm256_slli_epi32(LoadY(mask + i), 24)));
    if (i < n) ComposeSse2(colour + i, mask + i, out + i, n - i);
}

// The reduction, still 128 bits wide (its reads are scattered): each channel's (left, right) byte pair meets the weights (255 − fx, fx) in one
// maddubs, the pixels entering as signed bytes (p − 128) and the 128 × 255 this takes off added
// back. Neighbouring columns (all but a repeated edge pixel) come in one 8-byte load per row.
ORVA_AVX2 inline __m128i BilinearAcrossPairs(const uint32_t* a, const uint32_t* b, const TBilinearColumn& col) {
    __m128i rows;  // a left, a right, b left, b right
    if (col.Right == col.Left + 1) {
        rows = _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a + col.Left)),
                                  _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b + col.Left)));
    } else {
        auto pixel = [](const uint32_t* row, int32_t i) { return static_cast<int>(row[i]); };
        rows = _mm_setr_epi32(pixel(a, col.Left), pixel(a, col.Right), pixel(b, col.Left), pixel(b, col.Right));
    }
    const __m128i pairs = _mm_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
    const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i weights = _mm_set1_epi16(static_cast<short>((255 - col.Fx) | col.Fx << 8));
    const __m128i sum = _mm_maddubs_epi16(weights, _mm_xor_si128(_mm_shuffle_epi8(rows, pairs), flip));
    return _mm_srli_epi16(_mm_add_epi16(sum, _mm_set1_epi16(128 * 255)), 8);  // [top, bottom]
}

ORVA_AVX2 void BilinearAvx2(const uint32_t* a, const uint32_t* b, const TBilinearColumn* cols, int n, unsigned fy,
                            uint32_t* out) {
    const __m128i vfy = _mm_set1_epi16(static_cast<short>(fy)), vnfy = _mm_set1_epi16(static_cast<short>(255 - fy));
    int c = 0;
    for (; c + 2 <= n; c += 2) {
        const __m128i p = BilinearAcrossPairs(a, b, cols[c]), q = BilinearAcrossPairs(a, b, cols[c + 1]);
        const __m128i top = _mm_unpacklo_epi64(p, q), bottom = _mm_unpackhi_epi64(p, q);
        const __m128i v = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(top, vnfy), _mm_mullo_epi16(bottom, vfy)), 8);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + c), _mm_packus_epi16(v, v));
    }
    if (c < n) ScalarKernels().Bilinear(a, b, cols + c, n - c, fy, out + c);
}

const TKernels kAvx2 = {"avx2",  BlendAvx2,   AlphaAvx2,   AlphaOpacityAvx2, AlphaKeyedAvx2,
                        AddAvx2, ComposeAvx2, BilinearAvx2};

}  // namespace

const TKernels* Sse2Kernels() { return __builtin_cpu_supports("sse2") ? &kSse2 : nullptr; }
const TKernels* Avx2Kernels() { return __builtin_cpu_supports("avx2") ? &kAvx2 : nullptr; }

#else

const TKernels* Sse2Kernels() { return nullptr; }
const TKernels* Avx2Kernels() { return nullptr; }

#endif

}  // namespace orva::pixel
