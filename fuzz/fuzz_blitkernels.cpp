// Runs every blit loop of every kernel set this processor has on arbitrary pixels,
// rectangles, keys and levels, and requires each set's pixels to equal the scalar
// reference's exactly. Memory errors in any loop show through the sanitizers.
#include "CDX/BlitKernels.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int kBytesPerPixel[kDepthCount] = {2, 2, 3, 4};

struct Input {
    const std::uint8_t* p;
    size_t n;
    size_t at = 0;
    std::uint8_t Byte() { return at < n ? p[at++] : 0; }
    // The rest of the input, repeated, as pixel bytes.
    void Fill(std::vector<BYTE>* pOut) {
        for (size_t i = 0; i < pOut->size(); ++i) (*pOut)[i] = at < n ? p[at + i % (n - at)] : BYTE(i * 37);
    }
};

std::vector<const BlitKernels*> VectorSets() {
    std::vector<const BlitKernels*> v{&Sse2BlitKernels()};
    if (const BlitKernels* p = Avx2BlitKernels()) v.push_back(p);
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    static const std::vector<const BlitKernels*> sets = VectorSets();
    Input in{pData, nSize};
    const int nOp = in.Byte() % kOpCount;
    const int nDepth = in.Byte() % kDepthCount;
    const int nWidth = 1 + in.Byte() % 80;
    const int nHeight = 1 + in.Byte() % 12;
    const int nBpp = kBytesPerPixel[nDepth];
    const int nSrcPitch = nWidth * nBpp + in.Byte() % 16;
    const int nDstPitch = nWidth * nBpp + in.Byte() % 16;
    const int nMaskPitch = nWidth + in.Byte() % 16;
    DWORD dwKey = 0;
    for (int i = 0; i < 4; ++i) dwKey |= DWORD(in.Byte()) << (8 * i);
    const DWORD dwValue = ((DWORD(in.Byte()) << 8) | in.Byte()) % 257;

    std::vector<BYTE> src(size_t(nSrcPitch) * size_t(nHeight));
    std::vector<BYTE> dst(size_t(nDstPitch) * size_t(nHeight));
    std::vector<BYTE> mask(size_t(nMaskPitch) * size_t(nHeight));
    in.Fill(&src);
    in.Fill(&dst);
    in.Fill(&mask);
    // Key pixels are the interesting case: make every other source pixel of row 0 the key.
    if (nOp == kOpCopyKeyed || nOp == kOpHalfAlphaKeyed || nOp == kOpAlphaKeyed)
        for (int x = 0; x < nWidth; x += 2) std::memcpy(&src[size_t(x * nBpp)], &dwKey, size_t(nBpp));

    auto run = [&](const BlitKernels& k) {
        std::vector<BYTE> out = dst;
        BlitRows rows;
        rows.pSrc = src.data();
        rows.nSrcPitch = nSrcPitch;
        rows.pDst = out.data();
        rows.nDstPitch = nDstPitch;
        rows.nWidth = nWidth;
        rows.nHeight = nHeight;
        rows.dwKey = dwKey;
        rows.dwValue = dwValue;
        rows.pMask = mask.data();
        rows.nMaskPitch = nMaskPitch;
        k.aOps[nOp][nDepth](rows);
        return out;
    };
    const std::vector<BYTE> expect = run(ReferenceBlitKernels());
    for (const BlitKernels* k : sets)
        if (run(*k) != expect) __builtin_trap();

    // The stretch: a source rectangle of the same pixels onto another size.
    const int nDstW = 1 + in.Byte() % 100, nDstH = 1 + in.Byte() % 20;
    std::vector<BYTE> stretched(size_t(nDstW * nBpp) * size_t(nDstH));
    auto stretch = [&](StretchKernel pKernel) {
        std::vector<BYTE> out = stretched;
        StretchRows rows;
        rows.pSrc = src.data();
        rows.nSrcPitch = nSrcPitch;
        rows.nSrcWidth = nWidth;
        rows.nSrcHeight = nHeight;
        rows.pDst = out.data();
        rows.nDstPitch = nDstW * nBpp;
        rows.nDstWidth = nDstW;
        rows.nDstHeight = nDstH;
        rows.nBytes = nBpp;
        pKernel(rows);
        return out;
    };
    const std::vector<BYTE> expectStretch = stretch(ReferenceBlitKernels().pStretch);
    for (const BlitKernels* k : sets)
        if (stretch(k->pStretch) != expectStretch) __builtin_trap();
    return 0;
}
