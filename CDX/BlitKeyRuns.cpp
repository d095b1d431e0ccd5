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

void CKeyRuns::Blit(const BlitRows& r, int nLeft, int nTop, int nUnkeyedOp, int nDepth) const {
    const int nRight = nLeft + r.nWidth;
    const int nBytes = nDepth == kDepth24 ? 3 : nDepth == kDepth32 ? 4 : 2;
    const BlitKernel kernel = ActiveBlitKernels().aOps[nUnkeyedOp][nDepth];
    for (int y = 0; y < r.nHeight; ++y) {
        const Run* p = m_runs.data() + m_rowStart[size_t(nTop + y)];
        const Run* pEnd = m_runs.data() + m_rowStart[size_t(nTop + y) + 1];
        const BYTE* s = r.pSrc + std::ptrdiff_t(y) * r.nSrcPitch;
        BYTE* d = r.pDst + std::ptrdiff_t(y) * r.nDstPitch;
        if (nUnkeyedOp == kOpCopy) {
            ForRunParts(p, pEnd, nLeft, nRight, [&](int x, int n) {
                CopyBytes(d + std::ptrdiff_t(x) * nBytes, s + std::ptrdiff_t(x) * nBytes, size_t(n) * size_t(nBytes));
            });
            continue;
        }
        ForRunParts(p, pEnd, nLeft, nRight, [&](int x, int n) {
            BlitRows part = r;
            part.pSrc = s + std::ptrdiff_t(x) * nBytes;
            part.pDst = d + std::ptrdiff_t(x) * nBytes;
            part.nWidth = n;
            part.nHeight = 1;
            kernel(part);
        });
    }
}
