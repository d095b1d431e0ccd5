#include "CDX/BlitKeyRuns.h"

#include <algorithm>

#include "CDX/BlitPixel.h"

namespace {

// Shorter runs on average are left to the per-pixel keyed loops, which then win.
constexpr int kMinMeanRun = 8;

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
    m_bWorthUsing = nOpaque >= m_runs.size() * kMinMeanRun;
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

void CKeyRuns::Blit(const BlitRows& r, int nLeft, int nTop, int nKeyedOp, int nDepth) const {
    if (nKeyedOp == kOpCopyKeyed) {
        switch (nDepth) {
        case kDepth24: CopyRuns<3>(r, nLeft, nTop); break;
        case kDepth32: CopyRuns<4>(r, nLeft, nTop); break;
        default: CopyRuns<2>(r, nLeft, nTop); break;
        }
        return;
    }
    // A blend goes once over each row's span from its first to its last non-key pixel,
    // through the keyed loop (exact on any key pixels between runs), widened to a whole
    // vector where the rectangle allows, so short spans do not fall to single pixels.
    const int nRight = nLeft + r.nWidth;
    const int nBytes = nDepth == kDepth24 ? 3 : nDepth == kDepth32 ? 4 : 2;
    const int nVector = 32 / nBytes;
    const BlitKernel wide = ActiveBlitKernels().aOps[nKeyedOp][nDepth];
    const BlitKernel narrow = Sse2BlitKernels().aOps[nKeyedOp][nDepth];
    const std::uint32_t* pStart = m_rowStart.data() + nTop;
    for (int y = 0; y < r.nHeight; ++y) {
        const Run* p = m_runs.data() + pStart[y];
        const Run* pEnd = m_runs.data() + pStart[y + 1];
        while (p != pEnd && p->nEnd <= nLeft) ++p;
        while (pEnd != p && pEnd[-1].nBegin >= nRight) --pEnd;
        if (p == pEnd) continue;
        int a = std::max(int(p->nBegin), nLeft), b = std::min(int(pEnd[-1].nEnd), nRight);
        if (b - a < nVector) {
            b = std::min(a + nVector, nRight);
            a = std::max(b - nVector, nLeft);
        }
        BlitRows part = r;
        part.pSrc = r.pSrc + std::ptrdiff_t(y) * r.nSrcPitch + std::ptrdiff_t(a - nLeft) * nBytes;
        part.pDst = r.pDst + std::ptrdiff_t(y) * r.nDstPitch + std::ptrdiff_t(a - nLeft) * nBytes;
        part.nWidth = b - a;
        part.nHeight = 1;
        (part.nWidth < nVector ? narrow : wide)(part);
    }
}
