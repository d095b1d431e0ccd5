#include "CDX/BlitKeyRuns.h"

#include <algorithm>

#include "CDX/BlitPixel.h"

namespace {

// Shorter runs on average are left to the per-pixel keyed loops, which then win; but on
// pictures narrower than two vectors that are mostly key, skipping the key still pays.
constexpr int kMinMeanRun = 8;
constexpr int kNarrowWidth = 32;

template <int B>
void ScanRows(const BYTE* pBits, int nPitch, int nWidth, int nHeight, DWORD dwKey, DWORD dwMask,
              std::vector<CKeyRuns::Run>* pRuns, std::vector<std::uint32_t>* pRowStart) {
    const DWORD dwWant = dwKey & dwMask;
    for (int y = 0; y < nHeight; ++y) {
        pRowStart->push_back(std::uint32_t(pRuns->size()));
        const BYTE* s = pBits + std::ptrdiff_t(y) * nPitch;
        auto isKey = [&](int x) { return (LoadPixelBytes<B>(s + x * B) & dwMask) == dwWant; };
        int x = 0;
        while (x < nWidth) {
            while (x < nWidth && isKey(x)) ++x;
            if (x >= nWidth) break;
            const int nBegin = x;
            while (x < nWidth && !isKey(x)) ++x;
            pRuns->push_back(CKeyRuns::Run{std::uint16_t(nBegin), std::uint16_t(x)});
        }
    }
    pRowStart->push_back(std::uint32_t(pRuns->size()));
}

// Calls f(first column relative to the rectangle, pixel count) for each part of a run of
// row y that lies inside columns [nLeft, nRight).
template <class F>
inline void ForRunParts(const CKeyRuns::Run* p, const CKeyRuns::Run* pEnd, int nLeft, int nRight, F f) {
    for (; p != pEnd; ++p) {
        if (p->nBegin >= nRight) break;
        const int a = std::max(int(p->nBegin), nLeft), b = std::min(int(p->nEnd), nRight);
        if (b > a) f(a - nLeft, b - a);
    }
}

}  // namespace

CKeyRuns::CKeyRuns(const BYTE* pBits, int nPitch, int nWidth, int nHeight, int nBytes, DWORD dwKey, DWORD dwKeyMask,
                   std::uint64_t nGeneration)
    : m_nGeneration(nGeneration), m_dwKey(dwKey), m_dwKeyMask(dwKeyMask) {
    // Columns are kept in 16 bits; wider surfaces are left to the per-pixel loops.
    if (!pBits || nWidth <= 0 || nHeight <= 0 || nWidth > 0xFFFF) return;
    m_rowStart.reserve(size_t(nHeight) + 1);
    switch (nBytes) {
    case 2: ScanRows<2>(pBits, nPitch, nWidth, nHeight, dwKey, dwKeyMask, &m_runs, &m_rowStart); break;
    case 3: ScanRows<3>(pBits, nPitch, nWidth, nHeight, dwKey, dwKeyMask, &m_runs, &m_rowStart); break;
    case 4: ScanRows<4>(pBits, nPitch, nWidth, nHeight, dwKey, dwKeyMask, &m_runs, &m_rowStart); break;
    default: return;
    }
    std::size_t nOpaque = 0;
    for (const Run& run : m_runs) nOpaque += size_t(run.nEnd - run.nBegin);
    m_bWorthUsing = nOpaque >= m_runs.size() * kMinMeanRun ||
                    (nWidth < kNarrowWidth && nOpaque * 2 <= std::size_t(nWidth) * std::size_t(nHeight));
    if (!m_bWorthUsing) {
        // Only the verdict is kept.
        m_runs = {};
        m_rowStart = {};
    }
}

template <int B>
void CKeyRuns::CopyRuns(const BlitRows& r, int nLeft, int nTop) const {
    const int nRight = nLeft + r.nWidth;
    const std::uint32_t* pStart = m_rowStart.data() + nTop;
    const BYTE* s = r.pSrc;
    BYTE* d = r.pDst;
    for (int y = 0; y < r.nHeight; ++y, s += r.nSrcPitch, d += r.nDstPitch) {
        ForRunParts(m_runs.data() + pStart[y], m_runs.data() + pStart[y + 1], nLeft, nRight, [&](int x, int n) {
            CopyBytes(d + std::ptrdiff_t(x) * B, s + std::ptrdiff_t(x) * B, size_t(n) * B);
        });
    }
}

template <int Op, int D>
void CKeyRuns::BlendRuns(const BlitRows& r, int nLeft, int nTop) const {
    // Short runs by the per-pixel rule in place; longer ones through the vector loop.
    constexpr int kShortRun = 8;
    const BlitKernel vector = ActiveBlitKernels().aOps[Op][BlitDepthIndex(D)];
    const int nRight = nLeft + r.nWidth;
    const std::uint32_t* pStart = m_rowStart.data() + nTop;
    for (int y = 0; y < r.nHeight; ++y) {
        const BYTE* s = r.pSrc + std::ptrdiff_t(y) * r.nSrcPitch;
        BYTE* d = r.pDst + std::ptrdiff_t(y) * r.nDstPitch;
        ForRunParts(m_runs.data() + pStart[y], m_runs.data() + pStart[y + 1], nLeft, nRight, [&](int x, int n) {
            if (n < kShortRun) {
                BlendSpan<Op, D>(s, d, nullptr, x, x + n, r);
                return;
            }
            BlitRows part = r;
            part.pSrc = s + std::ptrdiff_t(x) * PixelTraits<D>::kBytes;
            part.pDst = d + std::ptrdiff_t(x) * PixelTraits<D>::kBytes;
            part.nWidth = n;
            part.nHeight = 1;
            vector(part);
        });
    }
}

void CKeyRuns::Blit(const BlitRows& r, int nLeft, int nTop, int nKeyedOp, int nDepth) const {
    // The runs hold no key pixels, so each goes through the operation without the key.
#define GAME_KEY_RUNS_DEPTHS(call)   \
    switch (nDepth) {                 \
    case kDepth15: call(15); break;   \
    case kDepth16: call(16); break;   \
    case kDepth24: call(24); break;   \
    default: call(32); break;         \
    }
#define GAME_COPY(D) CopyRuns<PixelTraits<D>::kBytes>(r, nLeft, nTop)
#define GAME_HALF(D) BlendRuns<kOpHalfAlpha, D>(r, nLeft, nTop)
#define GAME_ALPHA(D) BlendRuns<kOpAlpha, D>(r, nLeft, nTop)
    switch (nKeyedOp) {
    case kOpCopyKeyed: GAME_KEY_RUNS_DEPTHS(GAME_COPY) break;
    case kOpHalfAlphaKeyed: GAME_KEY_RUNS_DEPTHS(GAME_HALF) break;
    default: GAME_KEY_RUNS_DEPTHS(GAME_ALPHA) break;
    }
#undef GAME_COPY
#undef GAME_HALF
#undef GAME_ALPHA
#undef GAME_KEY_RUNS_DEPTHS
}
