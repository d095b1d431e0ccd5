// The fast loops against the scalar reference on random pictures, sizes, positions and
// clip rectangles at every depth.
#include <gtest/gtest.h>

#include "tests/CDX/BlitTestUtil.h"

namespace {

enum class Op { Opaque, Keyed, Software, Half, HalfKeyed, Alpha, AlphaKeyed, Mask, MaskNone, Faded, Stretched, Outline };
constexpr Op kOps[] = {Op::Opaque,     Op::Keyed, Op::Software, Op::Half,  Op::HalfKeyed, Op::Alpha,
                       Op::AlphaKeyed, Op::Mask,  Op::MaskNone, Op::Faded, Op::Stretched, Op::Outline};

int RunOp(Op op, CDXSurface& src, CDXSurface& dst, int x, int y, const RECT* pRect, WORD value, int w, int h) {
    switch (op) {
    case Op::Opaque: return src.BlitOpaque(&dst, x, y, pRect);
    case Op::Keyed: return src.BlitKeyed(&dst, x, y, pRect);
    case Op::Software: return src.BlitSoftware(&dst, x, y, pRect);
    case Op::Half: return src.BlitHalfAlpha(&dst, x, y, pRect);
    case Op::HalfKeyed: return src.BlitHalfAlphaKeyed(&dst, x, y, pRect);
    case Op::Alpha: return src.BlitAlpha(&dst, x, y, pRect, value);
    case Op::AlphaKeyed: return src.BlitAlphaKeyed(&dst, x, y, pRect, value);
    case Op::Mask:
    case Op::MaskNone: return src.BlitAlphaMask(&dst, x, y, pRect);
    case Op::Faded: return src.BlitFaded(&dst, x, y, pRect, value);
    case Op::Stretched: return src.BlitStretched(&dst, x, y, pRect, w, h);
    case Op::Outline: return src.BlitOutlined(&dst, x, y, pRect, w, h, 0x5A5A5A5A);
    }
    return 0;
}

// Mostly large rectangles that may pass the edges; now and then a small, empty or
// inverted one.
RECT RandomRect(std::mt19937& rng, int w, int h) {
    auto in = [&](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    if (rng() % 4) return RECT{in(-4, w / 3), in(-4, h / 3), w - in(-4, w / 3), h - in(-4, h / 3)};
    return RECT{in(-4, w + 4), in(-4, h + 4), in(-4, w + 4), in(-4, h + 4)};
}

TEST(BlitPaths, FastLoopsEqualTheReference) {
    CDXScreen screen;
    std::mt19937 rng(20240601);
    const auto sets = AllBlitKernels();
    int nCompared = 0, nDrawn = 0;
    for (int nDepth : {15, 16, 24, 32}) {
        for (Op op : kOps) {
            for (int nTrial = 0; nTrial < 60; ++nTrial) {
                const int sw = 1 + int(rng() % 70), sh = 1 + int(rng() % 24);
                const int dw = 1 + int(rng() % 90), dh = 1 + int(rng() % 30);
                auto src = MakeSurface(screen, nDepth, sw, sh);
                auto dst = MakeSurface(screen, nDepth, dw, dh);
                ASSERT_TRUE(src && dst);
                DWORD key = rng();
                key &= nDepth == 15 || nDepth == 16 ? 0xFFFF : nDepth == 24 ? 0xFFFFFF : 0xFFFFFFFF;
                FillRandom(*src, rng, true, key);
                FillRandom(*dst, rng);
                src->SetColorKey(key);
                if (op == Op::Mask) {
                    BYTE* pMask = new BYTE[size_t(sw) * size_t(sh)];
                    for (int i = 0; i < sw * sh; ++i) pMask[i] = BYTE(rng() % 3 == 0 ? (rng() % 2) * 255 : rng());
                    src->SetAlphaMask(pMask);
                }
                if (rng() % 2) {
                    RECT clip = RandomRect(rng, sw, sh);
                    src->SetClipRect(&clip);
                }
                if (rng() % 2) {
                    RECT clip = RandomRect(rng, dw, dh);
                    dst->SetClipRect(&clip);
                }
                RECT rc = RandomRect(rng, sw, sh);
                const RECT* pRect = rng() % 4 ? &rc : nullptr;
                const int x = int(rng() % unsigned(dw + sw / 2)) - sw / 2, y = int(rng() % unsigned(dh + sh / 2)) - sh / 2;
                const int pick = int(rng() % 6);
                const WORD value = WORD(pick == 0 ? 0 : pick == 1 ? 128 : pick == 2 ? 256 : pick == 3 ? 300 : rng() % 257);
                const int w = 1 + int(rng() % 120), h = 1 + int(rng() % 40);

                const auto before = Snapshot(*dst);
                std::vector<BYTE> reference;
                int nRefResult = 0;
                for (const BlitKernels* k : sets) {
                    ScopedBlitKernels use(k);
                    Restore(*dst, before);
                    const int nResult = RunOp(op, *src, *dst, x, y, pRect, value, w, h);
                    if (k == sets.front()) {
                        reference = Snapshot(*dst);
                        nRefResult = nResult;
                        if (reference != before) ++nDrawn;
                    } else {
                        ASSERT_EQ(nResult, nRefResult) << k->pszName << " depth " << nDepth << " op " << int(op);
                        ASSERT_EQ(Snapshot(*dst), reference)
                            << k->pszName << " depth " << nDepth << " op " << int(op) << " trial " << nTrial;
                        ++nCompared;
                    }
                }
            }
        }
    }
    // Most random cases draw something, so the comparisons are not vacuous.
    EXPECT_GT(nDrawn, nCompared / int(sets.size() - 1) / 2);
}

// Long rows and every row length around the vector widths, unclipped.
TEST(BlitPaths, EveryRowLengthAroundTheVectorWidth) {
    CDXScreen screen;
    std::mt19937 rng(99);
    const auto sets = AllBlitKernels();
    for (int nDepth : {15, 16, 24, 32}) {
        for (int nWidth = 1; nWidth <= 40; ++nWidth) {
            auto src = MakeSurface(screen, nDepth, nWidth, 3);
            auto dst = MakeSurface(screen, nDepth, nWidth + 3, 4);
            FillRandom(*src, rng, true, 0x1234);
            src->SetColorKey(0x1234);
            BYTE* pMask = new BYTE[size_t(nWidth) * 3];
            for (int i = 0; i < nWidth * 3; ++i) pMask[i] = BYTE(rng());
            src->SetAlphaMask(pMask);
            FillRandom(*dst, rng);
            const auto before = Snapshot(*dst);
            for (Op op : kOps) {
                std::vector<BYTE> reference;
                for (const BlitKernels* k : sets) {
                    ScopedBlitKernels use(k);
                    Restore(*dst, before);
                    RunOp(op, *src, *dst, 1, 1, nullptr, WORD(77), nWidth * 2, 3);
                    if (k == sets.front())
                        reference = Snapshot(*dst);
                    else
                        ASSERT_EQ(Snapshot(*dst), reference) << k->pszName << " depth " << nDepth << " width " << nWidth
                                                             << " op " << int(op);
                }
            }
        }
    }
}

}  // namespace
