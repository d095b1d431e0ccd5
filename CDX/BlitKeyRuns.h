// Runs of the pixels of a surface that are not its colour key, row by row, so keyed
// blits of sprite-shaped pictures (a figure with key colour around it) copy or blend
// whole runs and never look at the key pixels again. Internal to the blit sources.
#pragma once
#include <cstdint>
#include <vector>

#include "CDX/BlitKernels.h"

class CKeyRuns {
public:
    struct Run {
        std::uint16_t nBegin, nEnd;  // columns [nBegin, nEnd)
    };

    // Finds the runs of nWidth x nHeight pixels of nBytes bytes (2 to 4); a pixel is key
    // when (pixel & dwKeyMask) == (dwKey & dwKeyMask). nGeneration is the pixels'
    // generation the table belongs to.
    CKeyRuns(const BYTE* pBits, int nPitch, int nWidth, int nHeight, int nBytes, DWORD dwKey, DWORD dwKeyMask,
             std::uint64_t nGeneration);

    // True when the table was made from these pixels with this key.
    bool Matches(std::uint64_t nGeneration, DWORD dwKey, DWORD dwKeyMask) const {
        return nGeneration == m_nGeneration && dwKey == m_dwKey && dwKeyMask == m_dwKeyMask;
    }
    // True when skipping runs beats looking at every pixel: the runs are long on average.
    bool IsWorthUsing() const { return m_bWorthUsing; }
    int RunCount() const { return int(m_runs.size()); }

    // A keyed operation (nKeyedOp at depth index nDepth of the active set) on the rows r
    // describes, whose first pixel is column nLeft, row nTop of the table's pixels; the
    // key pixels around the runs are skipped, and the pixels come out exactly as the
    // keyed operation over the whole rectangle gives them.
    void Blit(const BlitRows& r, int nLeft, int nTop, int nKeyedOp, int nDepth) const;

private:
    template <int B>
    void CopyRuns(const BlitRows& r, int nLeft, int nTop) const;
    template <int Op, int D>
    void BlendRuns(const BlitRows& r, int nLeft, int nTop) const;

    std::vector<Run> m_runs;
    std::vector<std::uint32_t> m_rowStart;  // first run of each row, and one past the last
    std::uint64_t m_nGeneration;
    DWORD m_dwKey, m_dwKeyMask;
    bool m_bWorthUsing = false;
};

// True for the operations that skip key pixels (the ones Blit takes).
inline bool IsKeyedOp(int nOp) { return nOp == kOpCopyKeyed || nOp == kOpHalfAlphaKeyed || nOp == kOpAlphaKeyed; }
