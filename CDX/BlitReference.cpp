// The scalar reference loops, the stretch loops and the choice of the active set.
#include <cstring>

#include "CDX/BlitKernels.h"
#include "CDX/BlitPixel.h"

namespace {

// Source and destination are different surfaces.
template <int D>
void CopyRows(const BlitRows& r) {
    const size_t n = size_t(r.nWidth) * PixelTraits<D>::kBytes;
    for (int y = 0; y < r.nHeight; ++y)
        CopyBytes(r.pDst + std::ptrdiff_t(y) * r.nDstPitch, r.pSrc + std::ptrdiff_t(y) * r.nSrcPitch, n);
}

// Destination pixel (x, y) takes source pixel (x * srcW / dstW, y * srcH / dstH).
void StretchReference(const StretchRows& r) {
    for (int y = 0; y < r.nDstHeight; ++y) {
        const int sy = int(std::int64_t(y) * r.nSrcHeight / r.nDstHeight);
        const BYTE* s = r.pSrc + std::ptrdiff_t(sy) * r.nSrcPitch;
        BYTE* d = r.pDst + std::ptrdiff_t(y) * r.nDstPitch;
        for (int x = 0; x < r.nDstWidth; ++x) {
            const int sx = int(std::int64_t(x) * r.nSrcWidth / r.nDstWidth);
            std::memcpy(d + x * r.nBytes, s + sx * r.nBytes, size_t(r.nBytes));
        }
    }
}

template <int B>
inline void CopyPixelBytes(BYTE* d, const BYTE* s) {
    std::memcpy(d, s, B);
}

// The same mapping without a division per pixel: the source column advances by the
// whole ratio plus a carry, and a destination row whose source row equals the one
// before is a copy of the row before.
template <int B>
void StretchFastT(const StretchRows& r) {
    constexpr int kTable = 2048;
    int aOffset[kTable];
    const int nW = r.nDstWidth;
    const size_t nRowBytes = size_t(nW) * B;
    const int nStepX = r.nSrcWidth / nW, nRemX = r.nSrcWidth % nW;
    const bool bTable = nW <= kTable;
    if (bTable) {
        int sx = 0, acc = 0;
        for (int x = 0; x < nW; ++x) {
            aOffset[x] = sx * B;
            sx += nStepX;
            acc += nRemX;
            if (acc >= nW) {
                acc -= nW;
                ++sx;
            }
        }
    }
    const int nStepY = r.nSrcHeight / r.nDstHeight, nRemY = r.nSrcHeight % r.nDstHeight;
    int sy = 0, accY = 0, nLastSy = -1;
    BYTE* pLastRow = nullptr;
    for (int y = 0; y < r.nDstHeight; ++y) {
        BYTE* d = r.pDst + std::ptrdiff_t(y) * r.nDstPitch;
        if (sy == nLastSy) {
            std::memcpy(d, pLastRow, nRowBytes);
        } else {
            const BYTE* s = r.pSrc + std::ptrdiff_t(sy) * r.nSrcPitch;
            if (bTable) {
                for (int x = 0; x < nW; ++x) CopyPixelBytes<B>(d + x * B, s + aOffset[x]);
            } else {
                int sx = 0, acc = 0;
                for (int x = 0; x < nW; ++x) {
                    CopyPixelBytes<B>(d + x * B, s + sx * B);
                    sx += nStepX;
                    acc += nRemX;
                    if (acc >= nW) {
                        acc -= nW;
                        ++sx;
                    }
                }
            }
            nLastSy = sy;
            pLastRow = d;
        }
        sy += nStepY;
        accY += nRemY;
        if (accY >= r.nDstHeight) {
            accY -= r.nDstHeight;
            ++sy;
        }
    }
}

const BlitKernels kReference = {
    "reference",
    {
        {CopyRows<15>, CopyRows<16>, CopyRows<24>, CopyRows<32>},
        {BlendRowsScalar<kOpCopyKeyed, 15>, BlendRowsScalar<kOpCopyKeyed, 16>, BlendRowsScalar<kOpCopyKeyed, 24>,
         BlendRowsScalar<kOpCopyKeyed, 32>},
        {BlendRowsScalar<kOpHalfAlpha, 15>, BlendRowsScalar<kOpHalfAlpha, 16>, BlendRowsScalar<kOpHalfAlpha, 24>,
         BlendRowsScalar<kOpHalfAlpha, 32>},
        {BlendRowsScalar<kOpHalfAlphaKeyed, 15>, BlendRowsScalar<kOpHalfAlphaKeyed, 16>,
         BlendRowsScalar<kOpHalfAlphaKeyed, 24>, BlendRowsScalar<kOpHalfAlphaKeyed, 32>},
        {BlendRowsScalar<kOpAlpha, 15>, BlendRowsScalar<kOpAlpha, 16>, BlendRowsScalar<kOpAlpha, 24>,
         BlendRowsScalar<kOpAlpha, 32>},
        {BlendRowsScalar<kOpAlphaKeyed, 15>, BlendRowsScalar<kOpAlphaKeyed, 16>, BlendRowsScalar<kOpAlphaKeyed, 24>,
         BlendRowsScalar<kOpAlphaKeyed, 32>},
        {BlendRowsScalar<kOpAlphaMask, 15>, BlendRowsScalar<kOpAlphaMask, 16>, BlendRowsScalar<kOpAlphaMask, 24>,
         BlendRowsScalar<kOpAlphaMask, 32>},
        {BlendRowsScalar<kOpMax, 15>, BlendRowsScalar<kOpMax, 16>, BlendRowsScalar<kOpMax, 24>,
         BlendRowsScalar<kOpMax, 32>},
        {BlendRowsScalar<kOpFaded, 15>, BlendRowsScalar<kOpFaded, 16>, BlendRowsScalar<kOpFaded, 24>,
         BlendRowsScalar<kOpFaded, 32>},
    },
    StretchReference,
};

const BlitKernels* g_pActive = nullptr;

}  // namespace

// The vector sets reuse these for what they do not vectorise.
void StretchFast(const StretchRows& r) {
    switch (r.nBytes) {
    case 1: StretchFastT<1>(r); break;
    case 2: StretchFastT<2>(r); break;
    case 3: StretchFastT<3>(r); break;
    default: StretchFastT<4>(r); break;
    }
}

BlitKernel ReferenceKernel(int nOp, int nDepth) { return kReference.aOps[nOp][nDepth]; }

const BlitKernels& ReferenceBlitKernels() { return kReference; }

const BlitKernels& BestBlitKernels() {
    static const BlitKernels* pBest = Avx2BlitKernels() ? Avx2BlitKernels() : &Sse2BlitKernels();
    return *pBest;
}

const BlitKernels& ActiveBlitKernels() { return g_pActive ? *g_pActive : BestBlitKernels(); }

void SetActiveBlitKernels(const BlitKernels* pKernels) { g_pActive = pKernels; }

bool UsingReferenceBlits() { return g_pActive == &kReference; }
