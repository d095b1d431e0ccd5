// Keyed blits that skip key runs: sprite-shaped pictures give the pixels of the scalar
// reference at every depth, the runs follow every change of the pixels or the key,
// restoring a surface without a file reports -2, and the opaque copy in one piece or
// streamed gives the reference's pixels.
#include <gtest/gtest.h>

#include "CDX/BlitKeyRuns.h"
#include "tests/CDX/BlitTestUtil.h"
#include "tests/TempFolder.h"

// Reads the run table a surface holds for its keyed blits.
class CDXSurfaceTestAccess {
public:
    static const CKeyRuns* Runs(const CDXSurface& s) { return s.m_pKeyRuns.get(); }
};

namespace {

DWORD KeyForDepth(int nDepth) { return nDepth == 24 ? 0xFF00FFu : nDepth == 32 ? 0x00FF00FFu : 0xF81Fu; }

// A figure on the key: an ellipse with a ring of key pixels inside it (two or three
// runs on its middle rows) and rows of key only above and below. At 32 bits some key
// pixels differ from the key in the fourth byte only: the keyed copy draws them, the
// keyed blends skip them.
void FillSprite(CDXSurface& s, std::mt19937& rng, DWORD key) {
    ASSERT_TRUE(Succeeded(s.Lock()));
    const int nDepth = int(s.PixelFormat().dwBitsPerPixel), nBytes = BytesForDepth(nDepth);
    const int w = s.GetWidth(), h = s.GetHeight();
    const double cx = w / 2.0, cy = h / 2.0, rx = w / 2.0, ry = h / 2.0 - 1.0;
    for (int y = 0; y < h; ++y) {
        BYTE* p = s.GetLockedBits() + std::ptrdiff_t(y) * s.GetPitch();
        for (int x = 0; x < w; ++x) {
            const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
            const double d = dx * dx + dy * dy;
            DWORD v = key;
            if (d <= 1.0 && !(d > 0.2 && d < 0.3)) {
                do v = rng(); while (v == key);
            } else if (nDepth == 32 && rng() % 7 == 0) {
                v = key ^ 0x5A000000u;
            }
            std::memcpy(p + x * nBytes, &v, size_t(nBytes));
        }
    }
    s.Unlock();
}

enum class KeyedOp { Copy, Half, Alpha };

int RunKeyed(KeyedOp op, CDXSurface& src, CDXSurface& dst, int x, int y, const RECT* pRect) {
    switch (op) {
    case KeyedOp::Copy: return src.BlitKeyed(&dst, x, y, pRect);
    case KeyedOp::Half: return src.BlitHalfAlphaKeyed(&dst, x, y, pRect);
    case KeyedOp::Alpha: return src.BlitAlphaKeyed(&dst, x, y, pRect, 77);
    }
    return -1;
}

// The pixels a keyed blit of src gives on a copy of dst's pixels: with the scalar
// reference, and with the fastest loops (the second keyed blit uses the runs).
struct KeyedResult {
    std::vector<BYTE> reference, fast;
};

KeyedResult BlitBoth(CDXScreen& screen, KeyedOp op, CDXSurface& src, CDXSurface& dst, int x, int y,
                     const RECT* pRect) {
    const std::vector<BYTE> before = Snapshot(dst);
    KeyedResult out;
    {
        ScopedBlitKernels reference(&ReferenceBlitKernels());
        RunKeyed(op, src, dst, x, y, pRect);
        out.reference = Snapshot(dst);
    }
    Restore(dst, before);
    RunKeyed(op, src, dst, x, y, pRect);
    out.fast = Snapshot(dst);
    (void)screen;
    return out;
}

TEST(KeyRuns, SpriteShapedKeyedBlitsGiveTheReferencePixels) {
    CDXScreen screen;
    std::mt19937 rng(515);
    int nWithRuns = 0;
    for (int nDepth : {15, 16, 24, 32}) {
        const DWORD key = KeyForDepth(nDepth);
        for (KeyedOp op : {KeyedOp::Copy, KeyedOp::Half, KeyedOp::Alpha}) {
            for (int nTrial = 0; nTrial < 25; ++nTrial) {
                const int sw = 20 + int(rng() % 90), sh = 3 + int(rng() % 40);
                auto src = MakeSurface(screen, nDepth, sw, sh);
                auto dst = MakeSurface(screen, nDepth, 1 + int(rng() % 120), 1 + int(rng() % 50));
                ASSERT_TRUE(src && dst);
                FillSprite(*src, rng, key);
                FillRandom(*dst, rng);
                src->SetColorKey(key);
                // Whole pictures, parts of them, and positions past every edge.
                RECT rc{LONG(rng() % 9), LONG(rng() % 4), LONG(sw - int(rng() % 9)), LONG(sh - int(rng() % 4))};
                const RECT* pRect = rng() % 2 ? &rc : nullptr;
                const int x = int(rng() % 140) - 30, y = int(rng() % 60) - 15;
                for (int nRepeat = 0; nRepeat < 2; ++nRepeat) {
                    const KeyedResult r = BlitBoth(screen, op, *src, *dst, x, y, pRect);
                    ASSERT_EQ(r.fast, r.reference) << "depth " << nDepth << " op " << int(op) << " trial " << nTrial
                                                   << " size " << sw << "x" << sh << " at " << x << "," << y;
                }
                const CKeyRuns* pRuns = CDXSurfaceTestAccess::Runs(*src);
                if (pRuns && pRuns->IsWorthUsing()) ++nWithRuns;
            }
        }
    }
    // The runs, not only the per-pixel loops, were compared.
    EXPECT_GT(nWithRuns, 75);
}

TEST(KeyRuns, ScatteredKeysAreLeftToThePixelLoops) {
    CDXScreen screen;
    std::mt19937 rng(9);
    auto src = MakeSurface(screen, 16, 64, 16);
    auto dst = MakeSurface(screen, 16, 64, 16);
    FillRandom(*src, rng, true, 0xF81F);  // a key pixel in four at random
    src->SetColorKey(0xF81F);
    ASSERT_EQ(src->BlitKeyed(dst.get(), 0, 0), DD_OK);  // the table comes with the second blit
    const KeyedResult r = BlitBoth(screen, KeyedOp::Copy, *src, *dst, 0, 0, nullptr);
    EXPECT_EQ(r.fast, r.reference);
    const CKeyRuns* pRuns = CDXSurfaceTestAccess::Runs(*src);
    ASSERT_NE(pRuns, nullptr);
    EXPECT_FALSE(pRuns->IsWorthUsing());
}

// One way of changing a surface's pixels (or its key) after its runs were made.
struct Change {
    const char* pszName;
    std::function<void(CDXScreen&, CDXSurface&, std::mt19937&)> apply;
};

TEST(KeyRuns, RunsAreMadeAgainAfterEveryChangeOfThePixelsOrTheKey) {
    CTempFolder folder;
    const std::vector<Change> changes = {
        {"lock", [](CDXScreen&, CDXSurface& s, std::mt19937&) {
             ASSERT_EQ(s.Lock(), 1);
             for (int x = 0; x < s.GetWidth(); ++x) s.PutPixel(x, 2, 0x0000);  // a row of the key becomes black
             s.Unlock();
         }},
        {"device context", [](CDXScreen&, CDXSurface& s, std::mt19937&) {
             ASSERT_EQ(s.ChangeFont("SimSun", 0, 14), 0);
             ASSERT_EQ(s.TextOut(0, 0, RGB(255, 255, 255), "WWWW"), 0);
         }},
        {"load", [&folder](CDXScreen& screen, CDXSurface& s, std::mt19937& rng) {
             auto other = MakeSurface(screen, 16, s.GetWidth(), s.GetHeight());
             FillRandom(*other, rng);
             const std::string path = folder.File("picture.bmp");
             ASSERT_EQ(other->SaveAsBmp(path.c_str()), 1);
             ASSERT_EQ(s.Reload(path.c_str()), DD_OK);
         }},
        {"restore", [](CDXScreen&, CDXSurface& s, std::mt19937&) {
             s.GetInterface()->MarkLost();
             EXPECT_EQ(s.Restore(), -2);  // blank now: every pixel black, none the key
         }},
        {"fill", [](CDXScreen&, CDXSurface& s, std::mt19937&) { EXPECT_EQ(s.FillRect(0, 0, 30, 10, 0xF81F), DD_OK); }},
        {"opaque blit into it", [](CDXScreen& screen, CDXSurface& s, std::mt19937& rng) {
             auto other = MakeSurface(screen, 16, 20, 8);
             FillRandom(*other, rng);
             EXPECT_EQ(other->BlitOpaque(&s, 3, 1), DD_OK);
         }},
        {"keyed blit into it", [](CDXScreen& screen, CDXSurface& s, std::mt19937& rng) {
             auto other = MakeSurface(screen, 16, 40, 12);
             FillSprite(*other, rng, 0x0000);
             other->SetColorKey(0x0000);
             EXPECT_EQ(other->BlitKeyed(&s, 0, 0), DD_OK);
         }},
        {"blend into it", [](CDXScreen& screen, CDXSurface& s, std::mt19937& rng) {
             auto other = MakeSurface(screen, 16, 40, 12);
             FillRandom(*other, rng);
             EXPECT_EQ(other->BlitHalfAlpha(&s, 0, 0), 0);
         }},
        {"stretch into it", [](CDXScreen& screen, CDXSurface& s, std::mt19937& rng) {
             auto other = MakeSurface(screen, 16, 5, 3);
             FillRandom(*other, rng);
             EXPECT_EQ(other->BlitStretched(&s, 0, 0, nullptr, 50, 12), DD_OK);
         }},
        {"copy into it while it is locked", [](CDXScreen& screen, CDXSurface& s, std::mt19937& rng) {
             auto other = MakeSurface(screen, 16, 30, 10);
             FillRandom(*other, rng);
             ASSERT_EQ(s.Lock(), 1);
             EXPECT_EQ(other->BlitHalfAlpha(&s, 0, 0), 0);
             s.Unlock();
         }},
        {"writable pixels", [](CDXScreen&, CDXSurface& s, std::mt19937&) {
             std::memset(s.GetInterface()->Bits(), 0x11, size_t(s.GetInterface()->Pitch()) * 4);
         }},
        {"key", [](CDXScreen&, CDXSurface& s, std::mt19937&) { EXPECT_EQ(s.SetColorKey(0x0000), DD_OK); }},
    };
    CDXScreen screen;
    std::mt19937 rng(77);
    for (const Change& change : changes) {
        for (KeyedOp op : {KeyedOp::Copy, KeyedOp::Half}) {
            auto src = MakeSurface(screen, 16, 64, 24);
            auto dst = MakeSurface(screen, 16, 80, 30);
            FillSprite(*src, rng, 0xF81F);
            src->SetColorKey(0xF81F);
            FillRandom(*dst, rng);
            ASSERT_EQ(RunKeyed(op, *src, *dst, 5, 3, nullptr), 0);
            ASSERT_EQ(RunKeyed(op, *src, *dst, 5, 3, nullptr), 0);
            const CKeyRuns* pBefore = CDXSurfaceTestAccess::Runs(*src);
            ASSERT_TRUE(pBefore && pBefore->IsWorthUsing()) << change.pszName;
            const std::vector<BYTE> pixelsBefore = Snapshot(*src);
            const DWORD keyBefore = src->GetColorKey();
            change.apply(screen, *src, rng);
            ASSERT_FALSE(Snapshot(*src) == pixelsBefore && src->GetColorKey() == keyBefore)
                << change.pszName << " changed nothing";
            const KeyedResult r = BlitBoth(screen, op, *src, *dst, 5, 3, nullptr);
            EXPECT_EQ(r.fast, r.reference) << change.pszName << ", op " << int(op);
        }
    }
}

TEST(KeyRuns, ReadingASourceKeepsItsRuns) {
    CDXScreen screen;
    std::mt19937 rng(3);
    auto src = MakeSurface(screen, 16, 64, 24);
    auto dst = MakeSurface(screen, 16, 64, 24);
    FillSprite(*src, rng, 0xF81F);
    src->SetColorKey(0xF81F);
    // Pixels blitted once (a picture redrawn before every blit) get no table; the same
    // pixels blitted again do.
    ASSERT_EQ(src->BlitKeyed(dst.get(), 0, 0), DD_OK);
    EXPECT_EQ(CDXSurfaceTestAccess::Runs(*src), nullptr);
    ASSERT_EQ(src->BlitKeyed(dst.get(), 0, 0), DD_OK);
    const CKeyRuns* pRuns = CDXSurfaceTestAccess::Runs(*src);
    ASSERT_NE(pRuns, nullptr);
    // Blits that only read the source leave its table as it is.
    EXPECT_EQ(src->BlitOpaque(dst.get(), 1, 1), DD_OK);
    EXPECT_EQ(src->BlitHalfAlphaKeyed(dst.get(), 2, 2), 0);
    EXPECT_EQ(src->BlitAlpha(dst.get(), 0, 0, nullptr, 100), 0);
    EXPECT_EQ(src->BlitKeyed(dst.get(), 0, 0), DD_OK);
    EXPECT_EQ(CDXSurfaceTestAccess::Runs(*src), pRuns);
}

TEST(SurfaceRestore, WithoutAFileTheReloadsMinusTwoIsReturned) {
    CDXScreen screen;
    std::mt19937 rng(11);
    auto made = MakeSurface(screen, 16, 8, 8);
    auto dst = MakeSurface(screen, 16, 8, 8);
    FillRandom(*made, rng);
    EXPECT_EQ(made->Restore(), -2);  // not lost: restored as it is, nothing to reload
    // A blit that meets the lost source restores it and reports the restore.
    made->GetInterface()->MarkLost();
    EXPECT_EQ(made->BlitOpaque(dst.get(), 0, 0), -2);
    EXPECT_EQ(made->GetInterface()->IsLost(), DD_OK);
    EXPECT_EQ(ReadPixel(*made, 3, 3), 0u);  // blank until redrawn

    // A surface made from a file gets its picture back and the reload's 0.
    CTempFolder folder;
    const std::string path = folder.File("pic.bmp");
    ASSERT_EQ(made->FillRect(0, 0, 8, 8, 0x07E0), DD_OK);
    ASSERT_EQ(made->SaveAsBmp(path.c_str()), 1);
    CDXSurface loaded;
    ASSERT_EQ(loaded.CreateFromImageFile(&screen, path.c_str(), 1), 1);
    loaded.GetInterface()->MarkLost();
    EXPECT_EQ(loaded.Restore(), DD_OK);
    EXPECT_EQ(ReadPixel(loaded, 5, 5), 0x07E0u);
}

TEST(OpaqueCopy, OneCopyAndStreamedCopiesGiveTheReferencePixels) {
    std::mt19937 rng(21);
    for (std::size_t nThreshold : {std::size_t(0), std::size_t(64), std::size_t(1)}) {
        SetCopyStreamThreshold(nThreshold);
        for (int nDepth = 0; nDepth < kDepthCount; ++nDepth) {
            const int nBytes = nDepth == kDepth24 ? 3 : nDepth == kDepth32 ? 4 : 2;
            for (int nTrial = 0; nTrial < 40; ++nTrial) {
                const int w = 1 + int(rng() % 70), h = 1 + int(rng() % 12);
                // Rows that follow each other, or rows with padding on either side; the
                // destination at any byte offset.
                const bool bPadded = rng() % 2;
                const int nSrcPitch = w * nBytes + (bPadded ? int(rng() % 9) : 0);
                const int nDstPitch = w * nBytes + (bPadded ? int(rng() % 9) : 0);
                const int nOffset = int(rng() % 16);
                std::vector<BYTE> src(size_t(nSrcPitch) * h), dstFast(size_t(nDstPitch) * h + 16),
                    dstRef(dstFast.size());
                for (auto& b : src) b = BYTE(rng());
                for (size_t i = 0; i < dstFast.size(); ++i) dstFast[i] = dstRef[i] = BYTE(rng());
                BlitRows r;
                r.pSrc = src.data();
                r.nSrcPitch = nSrcPitch;
                r.nDstPitch = nDstPitch;
                r.nWidth = w;
                r.nHeight = h;
                r.pDst = dstFast.data() + nOffset;
                FastCopyKernel(nDepth)(r);
                r.pDst = dstRef.data() + nOffset;
                ReferenceKernel(kOpCopy, nDepth)(r);
                ASSERT_EQ(dstFast, dstRef) << "threshold " << nThreshold << " depth " << nDepth << " " << w << "x"
                                           << h << " pitches " << nSrcPitch << "/" << nDstPitch;
            }
        }
    }
    SetCopyStreamThreshold(0);
}

}  // namespace
