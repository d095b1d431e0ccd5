// The blend loops on 256-bit vectors, used only when the processor reports AVX2.
#include <immintrin.h>

#include <cstring>

#include "CDX/BlitKernels.h"
#include "CDX/BlitPixel.h"

// This file, the shared loops included, is compiled for AVX2 (see CMakeLists.txt); it is
// reached only through the table, which exists only on processors that have it.
namespace {

struct VAvx2 {
    using Vec = __m256i;
    static constexpr int kBytes = 32;
    static inline Vec Load(const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); }
    static inline void Store(void* p, Vec v) { _mm256_storeu_si256(static_cast<__m256i*>(p), v); }
    static inline Vec Zero() { return _mm256_setzero_si256(); }
    static inline Vec Set16(int v) { return _mm256_set1_epi16(short(v)); }
    static inline Vec Set32(DWORD v) { return _mm256_set1_epi32(int(v)); }
    static inline Vec And(Vec a, Vec b) { return _mm256_and_si256(a, b); }
    static inline Vec Or(Vec a, Vec b) { return _mm256_or_si256(a, b); }
    static inline Vec AndNot(Vec a, Vec b) { return _mm256_andnot_si256(a, b); }
    static inline Vec Add16(Vec a, Vec b) { return _mm256_add_epi16(a, b); }
    static inline Vec Sub16(Vec a, Vec b) { return _mm256_sub_epi16(a, b); }
    static inline Vec Mul16(Vec a, Vec b) { return _mm256_mullo_epi16(a, b); }
    template <int N>
    static inline Vec Srl16(Vec a) { return _mm256_srli_epi16(a, N); }
    template <int N>
    static inline Vec Sll16(Vec a) { return _mm256_slli_epi16(a, N); }
    template <int N>
    static inline Vec Srl32(Vec a) { return _mm256_srli_epi32(a, N); }
    static inline Vec CmpEq16(Vec a, Vec b) { return _mm256_cmpeq_epi16(a, b); }
    static inline Vec CmpEq32(Vec a, Vec b) { return _mm256_cmpeq_epi32(a, b); }
    static inline Vec Max16(Vec a, Vec b) { return _mm256_max_epi16(a, b); }
    static inline Vec MaxU8(Vec a, Vec b) { return _mm256_max_epu8(a, b); }
    // In-lane unpacking and packing undo each other, so per-pixel results keep their places.
    static inline Vec UnpackLo8(Vec a, Vec b) { return _mm256_unpacklo_epi8(a, b); }
    static inline Vec UnpackHi8(Vec a, Vec b) { return _mm256_unpackhi_epi8(a, b); }
    static inline Vec PackUS16(Vec a, Vec b) { return _mm256_packus_epi16(a, b); }
    static inline Vec LoadMask16(const BYTE* p) {
        return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    }
    static inline Vec LoadMask32(const BYTE* p) {
        const Vec v = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
        return _mm256_mullo_epi32(v, _mm256_set1_epi32(0x01010101));
    }
};

}  // namespace

#include "CDX/BlitSimd.inl"

const BlitKernels* Avx2BlitKernels() {
    static const bool bHas = __builtin_cpu_supports("avx2");
    if (!bHas) return nullptr;
    static const BlitKernels k = MakeVectorKernels<VAvx2>("avx2");
    return &k;
}
