// The opaque copy of the vector sets: rows that follow each other without padding on
// both sides are one copy, and a copy larger than the cache streams its stores past it
// (the destination would only push the source and everything else out of the cache).
#include <emmintrin.h>
#include <unistd.h>

#include <cstring>

#include "CDX/BlitKernels.h"
#include "CDX/BlitPixel.h"

namespace {

std::size_t s_nStreamThreshold = 0;

// Bytes a copy must exceed before its stores bypass the cache: the last-level cache,
// or 8 MiB when the system does not tell.
std::size_t StreamThreshold() {
    static const std::size_t nCache = [] {
        long n = sysconf(_SC_LEVEL3_CACHE_SIZE);
        if (n <= 0) n = sysconf(_SC_LEVEL2_CACHE_SIZE);
        return n > 0 ? std::size_t(n) : std::size_t(8) << 20;
    }();
    return s_nStreamThreshold ? s_nStreamThreshold : nCache;
}

// Copies n bytes with non-temporal stores to the aligned middle of the destination.
void StreamBytes(BYTE* d, const BYTE* s, std::size_t n) {
    const std::size_t nHead = (16 - (reinterpret_cast<std::uintptr_t>(d) & 15)) & 15;
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
    if (bOneCopy) {
        CopyBytes(r.pDst, r.pSrc, nTotal);
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
