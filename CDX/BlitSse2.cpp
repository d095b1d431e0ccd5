// The blend loops on 128-bit vectors; SSE2 is part of every x86-64 processor.
#include <emmintrin.h>

#include "CDX/BlitKernels.h"
#include "CDX/BlitPixel.h"

namespace {

struct VSse2 {
    using Vec = __m128i;
    static constexpr int kBytes = 16;
    static inline Vec Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
    static inline void Store(void* p, Vec v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }
    static inline Vec Zero() { return _mm_setzero_si128(); }
    static inline Vec Set16(int v) { return _mm_set1_epi16(short(v)); }
    static inline Vec Set32(DWORD v) { return _mm_set1_epi32(int(v)); }
    static inline Vec And(Vec a, Vec b) { return _mm_and_si128(a, b); }
    static inline Vec Or(Vec a, Vec b) { return _mm_or_si128(a, b); }
    static inline Vec AndNot(Vec a, Vec b) { return _mm_andnot_si128(a, b); }
    static inline Vec Add16(Vec a, Vec b) { return _mm_add_epi16(a, b); }
    static inline Vec Sub16(Vec a, Vec b) { return _mm_sub_epi16(a, b); }
    static inline Vec Mul16(Vec a, Vec b) { return _mm_mullo_epi16(a, b); }
    template <int N>
    static inline Vec Srl16(Vec a) { return _mm_srli_epi16(a, N); }
    template <int N>
    static inline Vec Sll16(Vec a) { return _mm_slli_epi16(a, N); }
    template <int N>
    static inline Vec Srl32(Vec a) { return _mm_srli_epi32(a, N); }
    static inline Vec CmpEq16(Vec a, Vec b) { return _mm_cmpeq_epi16(a, b); }
    static inline Vec CmpEq32(Vec a, Vec b) { return _mm_cmpeq_epi32(a, b); }
    static inline Vec Max16(Vec a, Vec b) { return _mm_max_epi16(a, b); }
    static inline Vec MaxU8(Vec a, Vec b) { return _mm_max_epu8(a, b); }
    static inline Vec UnpackLo8(Vec a, Vec b) { return _mm_unpacklo_epi8(a, b); }
    static inline Vec UnpackHi8(Vec a, Vec b) { return _mm_unpackhi_epi8(a, b); }
    static inline Vec PackUS16(Vec a, Vec b) { return _mm_packus_epi16(a, b); }
    // Eight mask bytes as eight 16-bit lanes.
    static inline Vec LoadMask16(const BYTE* p) {
        return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
    }
    // Four mask bytes, each repeated over the four bytes of its pixel.
    static inline Vec LoadMask32(const BYTE* p) {
        int n;
        std::memcpy(&n, p, 4);
        Vec v = _mm_cvtsi32_si128(n);
        v = _mm_unpacklo_epi8(v, v);
        return _mm_unpacklo_epi16(v, v);
    }
};

}  // namespace

#include "CDX/BlitSimd.inl"

const BlitKernels& Sse2BlitKernels() {
    static const BlitKernels k = MakeVectorKernels<VSse2>("sse2");
    return k;
}
