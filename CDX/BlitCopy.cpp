// The opaque copy of the vector sets: rows that follow each other without padding on
// both sides are one copy, and a copy too large for the last-level cache streams its
// stores past it (the destination would only push the source and everything else out
// of the cache, and each line stored would first be read). A copy that fits stores
// through the cache: the next blit or the presentation reads those lines again.
#include <immintrin.h>
#include <unistd.h>

#include <cstring>

#include "CDX/BlitKernels.h"
#include "CDX/BlitPixel.h"

namespace {

std::size_t s_nStreamThreshold = 0;

// Bytes a copy must exceed before its stores bypass the cache: the last-level cache
// (the third level, or the second where there is none), or 8 MiB when the system does
// not tell.
std::size_t StreamThreshold() {
    static const std::size_t nCache = [] {
        long n = sysconf(_SC_LEVEL3_CACHE_SIZE);
        if (n <= 0) n = sysconf(_SC_LEVEL2_CACHE_SIZE);
        return n > 0 ? std::size_t(n) : std::size_t(8) << 20;
    }();
    return s_nStreamThreshold ? s_nStreamThreshold : nCache;
}

// Copies n bytes with non-temporal stores to the middle of the destination, whole cache
// lines at a time (a line written in part would be read from memory after all).
void StreamBytes(BYTE* d, const BYTE* s, std::size_t n) {
    const std::size_t nHead = (64 - (reinterpret_cast<std::uintptr_t>(d) & 63)) & 63;
    if (n < nHead + 64) {
        std::memcpy(d, s, n);
        return;
    }
    std::memcpy(d, s, nHead);
    std::size_t i = nHead;
    for (; i + 64 <= n; i += 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 32));
        const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 48));
        _mm_stream_si128(reinterpret_cast<__m128i*>(d + i), a);
        _mm_stream_si128(reinterpret_cast<__m128i*>(d + i + 16), b);
        _mm_stream_si128(reinterpret_cast<__m128i*>(d + i + 32), c);
        _mm_stream_si128(reinterpret_cast<__m128i*>(d + i + 48), e);
    }
    std::memcpy(d + i, s + i, n - i);
}

// Copies n bytes (n >= 32) through the vector registers, storing to aligned addresses
// after a first unaligned vector (a store across two cache lines costs two). The C
// library's copy of large blocks uses the string instruction, which on the machines
// measured moves pixels more slowly than plain vector loads and stores.
__attribute__((target("avx2"))) inline void VectorBytesAvx2(BYTE* d, const BYTE* s, std::size_t n) {
    const __m256i last = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + n - 32));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s)));
    std::size_t i = 32 - (reinterpret_cast<std::uintptr_t>(d) & 31);
    for (; i + 128 <= n; i += 128) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 32));
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 64));
        const __m256i e = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 96));
        _mm256_store_si256(reinterpret_cast<__m256i*>(d + i), a);
        _mm256_store_si256(reinterpret_cast<__m256i*>(d + i + 32), b);
        _mm256_store_si256(reinterpret_cast<__m256i*>(d + i + 64), c);
        _mm256_store_si256(reinterpret_cast<__m256i*>(d + i + 96), e);
    }
    for (; i + 32 <= n; i += 32)
        _mm256_store_si256(reinterpret_cast<__m256i*>(d + i), _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + n - 32), last);
}

// Rows of nRow >= 32 bytes by the vector copy.
__attribute__((target("avx2"))) void VectorRowsAvx2(const BlitRows& r, std::size_t nRow) {
    for (int y = 0; y < r.nHeight; ++y)
        VectorBytesAvx2(r.pDst + std::ptrdiff_t(y) * r.nDstPitch, r.pSrc + std::ptrdiff_t(y) * r.nSrcPitch, nRow);
}

bool HasAvx2() {
    static const bool bAvx2 = __builtin_cpu_supports("avx2");
    return bAvx2;
}

template <int D>
void CopyRowsFast(const BlitRows& r) {
    const std::size_t nRow = std::size_t(r.nWidth) * PixelTraits<D>::kBytes;
    const std::size_t nTotal = nRow * std::size_t(r.nHeight);
    const bool bOneCopy = std::size_t(r.nSrcPitch) == nRow && std::size_t(r.nDstPitch) == nRow;
    if (nTotal > StreamThreshold()) {
        if (bOneCopy) {
            StreamBytes(r.pDst, r.pSrc, nTotal);
        } else {
            for (int y = 0; y < r.nHeight; ++y)
                StreamBytes(r.pDst + std::ptrdiff_t(y) * r.nDstPitch, r.pSrc + std::ptrdiff_t(y) * r.nSrcPitch, nRow);
        }
        _mm_sfence();
        return;
    }
    if (nRow >= 32 && HasAvx2()) {
        BlitRows whole = r;
        if (bOneCopy) whole.nHeight = 1;
        VectorRowsAvx2(whole, bOneCopy ? nTotal : nRow);
        return;
    }
    if (bOneCopy) {
        std::memcpy(r.pDst, r.pSrc, nTotal);
        return;
    }
    for (int y = 0; y < r.nHeight; ++y)
        CopyBytes(r.pDst + std::ptrdiff_t(y) * r.nDstPitch, r.pSrc + std::ptrdiff_t(y) * r.nSrcPitch, nRow);
}

}  // namespace

BlitKernel FastCopyKernel(int nDepth) {
    switch (nDepth) {
    case kDepth15: return CopyRowsFast<15>;
    case kDepth16: return CopyRowsFast<16>;
    case kDepth24: return CopyRowsFast<24>;
    default: return CopyRowsFast<32>;
    }
}

void SetCopyStreamThreshold(std::size_t nBytes) { s_nStreamThreshold = nBytes; }
