#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "CDX/CDXSprite.h"
#include "tests/CDX/BlitTestUtil.h"

namespace {

constexpr int kDepths[] = {15, 16, 24, 32};

struct OnePixel {
    CDXScreen& screen;
    int nDepth;
    std::unique_ptr<CDXSurface> src, dst;
    OnePixel(CDXScreen& s, int d, DWORD sp, DWORD dp) : screen(s), nDepth(d) {
        src = MakeSurface(s, d, 1, 1);
        dst = MakeSurface(s, d, 1, 1);
        WritePixel(*src, 0, 0, sp);
        WritePixel(*dst, 0, 0, dp);
    }
    DWORD Result() { return ReadPixel(*dst, 0, 0); }
};

std::string Hex(DWORD v) {
    char sz[16];
    std::snprintf(sz, sizeof sz, "0x%X", v);
    return sz;
}

// The values the drawing rules pin down, in one table.
TEST(Blits, PinnedValues) {
    CDXScreen screen;
    const CTempFolder folder("cdx_pinned");
    const std::string& dir = folder.Path();
    struct Case {
        const char* pszName;
        std::string expected;
        std::function<std::string()> run;
    };
    const Case cases[] = {
        {"half alpha 0xFFFF over 0 at 565", "0x7BEF",
         [&] { OnePixel p(screen, 16, 0xFFFF, 0); p.src->BlitHalfAlpha(p.dst.get(), 0, 0); return Hex(p.Result()); }},
        {"half alpha 0x7FFF over 0 at 555", "0x3DEF",
         [&] { OnePixel p(screen, 15, 0x7FFF, 0); p.src->BlitHalfAlpha(p.dst.get(), 0, 0); return Hex(p.Result()); }},
        {"alpha 128, red 31 over 0 gives red 15", Hex(15u << 11),
         [&] { OnePixel p(screen, 16, 31u << 11, 0); p.src->BlitAlpha(p.dst.get(), 0, 0, nullptr, 128); return Hex(p.Result()); }},
        {"alpha 128, 0 over red 31 gives red 15 (rounds down)", Hex(15u << 11),
         [&] { OnePixel p(screen, 16, 0, 31u << 11); p.src->BlitAlpha(p.dst.get(), 0, 0, nullptr, 128); return Hex(p.Result()); }},
        {"alpha 100, green 0 over green 63 at 565", Hex(24u << 5),
         [&] { OnePixel p(screen, 16, 0, 63u << 5); p.src->BlitAlpha(p.dst.get(), 0, 0, nullptr, 100); return Hex(p.Result()); }},
        {"alpha mask 255, blue 31 over 0 gives 30", "0x1E",
         [&] {
             OnePixel p(screen, 16, 31, 0);
             p.src->SetAlphaMask(new BYTE[1]{255});
             p.src->BlitAlphaMask(p.dst.get(), 0, 0);
             return Hex(p.Result());
         }},
        {"alpha mask 255 at 32 bits keeps the fourth byte", "0xAB0000FE",
         [&] {
             OnePixel p(screen, 32, 0x000000FF, 0xAB000000);
             p.src->SetAlphaMask(new BYTE[1]{255});
             p.src->BlitAlphaMask(p.dst.get(), 0, 0);
             return Hex(p.Result());
         }},
        {"fade level 128 of white at 565", "0x7BEF",
         [&] { OnePixel p(screen, 16, 0xFFFF, 0x1234); p.src->BlitFaded(p.dst.get(), 0, 0, nullptr, 128); return Hex(p.Result()); }},
        {"fade level 256 copies", "0xBEEF",
         [&] { OnePixel p(screen, 16, 0xBEEF, 0); p.src->BlitFaded(p.dst.get(), 0, 0, nullptr, 256); return Hex(p.Result()); }},
        {"half alpha at 32 bits keeps the fourth byte", "0x127F7F7F",
         [&] { OnePixel p(screen, 32, 0xFFFFFFFF, 0x12000000); p.src->BlitHalfAlpha(p.dst.get(), 0, 0); return Hex(p.Result()); }},
        {"SaveAsBmp of 565 white: blue, green, red", "248,252,248",
         [&] {
             auto s = MakeSurface(screen, 16, 1, 1);
             WritePixel(*s, 0, 0, 0xFFFF);
             const std::string name = dir + "/white.bmp";
             if (s->SaveAsBmp(name.c_str()) != 1) return std::string("save failed");
             const auto bytes = ReadFileBytes(name);
             if (bytes.size() < 57) return std::string("short file");
             return std::to_string(bytes[54]) + "," + std::to_string(bytes[55]) + "," + std::to_string(bytes[56]);
         }},
        {"sprite frame 5 of a 100-wide sheet with 24 x 20 tiles", "24,20,48,40",
         [&] {
             // Each sheet pixel holds its own position: x + 128 y.
             auto sheet = MakeSurface(screen, 16, 100, 40);
             sheet->Lock();
             for (int y = 0; y < 40; ++y)
                 for (int x = 0; x < 100; ++x) sheet->PutPixel(x, y, DWORD(x + 128 * y));
             sheet->Unlock();
             const std::string name = dir + "/sheet.bmp";
             sheet->SaveAsBmp(name.c_str());
             CDXSprite sprite;
             if (sprite.CreateFromTileFile(&screen, name.c_str(), 24, 20, 0) != 1) return std::string("no sheet");
             auto dst = MakeSurface(screen, 16, 24, 20);
             sprite.SetFrame(5)->Draw(dst.get(), 0, 0, BLT_OPAQUE);
             const DWORD a = ReadPixel(*dst, 0, 0), b = ReadPixel(*dst, 23, 19);
             return std::to_string(a % 128) + "," + std::to_string(a / 128) + "," + std::to_string(b % 128 + 1) + "," +
                    std::to_string(b / 128 + 1);
         }},
    };
    for (const Case& c : cases) EXPECT_EQ(c.run(), c.expected) << c.pszName;
}

TEST(Blits, AlphaLimitsAtEveryDepth) {
    CDXScreen screen;
    std::mt19937 rng(7);
    for (int nDepth : kDepths) {
        auto src = MakeSurface(screen, nDepth, 13, 5);
        auto dst = MakeSurface(screen, nDepth, 13, 5);
        FillRandom(*src, rng);
        FillRandom(*dst, rng);
        if (nDepth == 15) {
            // Pixels of a 5-5-5 surface leave the top bit clear.
            dst->Lock();
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 13; ++x) dst->PutPixel(x, y, dst->GetPixel(x, y) & 0x7FFF);
            dst->Unlock();
        }
        const auto before = Snapshot(*dst);
        for (WORD a : {WORD(256), WORD(300), WORD(65535)}) {
            EXPECT_EQ(src->BlitAlpha(dst.get(), 0, 0, nullptr, a), 0);
            EXPECT_EQ(Snapshot(*dst), before) << nDepth << " alpha " << a;
        }
        // Alpha 0 draws the source; at 15 and 32 bits the unused bits follow the channel rules.
        src->BlitAlpha(dst.get(), 0, 0, nullptr, 0);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 13; ++x) {
                const DWORD s = ReadPixel(*src, x, y), d = ReadPixel(*dst, x, y), dOld = [&] {
                    DWORD v = 0;
                    std::memcpy(&v, before.data() + (y * 13 + x) * BytesForDepth(nDepth), size_t(BytesForDepth(nDepth)));
                    return v;
                }();
                const DWORD expected = nDepth == 15   ? s & 0x7FFF
                                       : nDepth == 32 ? (s & 0xFFFFFF) | (dOld & 0xFF000000)
                                                      : s;
                EXPECT_EQ(d, expected) << nDepth;
            }
    }
}

TEST(Blits, AlphaMaskWithoutMaskTakesTheLargerChannel) {
    CDXScreen screen;
    for (int nDepth : kDepths) {
        const DWORD white = nDepth == 15 ? 0x7FFF : nDepth == 16 ? 0xFFFF : 0xFFFFFF;
        const DWORD colour = nDepth == 15 ? 0x1234 : nDepth == 16 ? 0x8421 : 0x123456;
        OnePixel black(screen, nDepth, colour, 0);
        black.src->BlitAlphaMask(black.dst.get(), 0, 0);
        EXPECT_EQ(black.Result(), colour) << nDepth;
        OnePixel whiteDst(screen, nDepth, colour, white);
        whiteDst.src->BlitAlphaMask(whiteDst.dst.get(), 0, 0);
        EXPECT_EQ(whiteDst.Result(), white) << nDepth;
    }
}

TEST(Blits, KeyedBlitsSkipKeyPixels) {
    CDXScreen screen;
    for (int nDepth : kDepths) {
        auto src = MakeSurface(screen, nDepth, 2, 1);
        auto dst = MakeSurface(screen, nDepth, 2, 1);
        const DWORD key = 0x0421, other = 0x7000;
        WritePixel(*src, 0, 0, key);
        WritePixel(*src, 1, 0, other);
        src->SetColorKey(key);
        for (int op = 0; op < 4; ++op) {
            WritePixel(*dst, 0, 0, 0x1111);
            WritePixel(*dst, 1, 0, 0x1111);
            int nResult = 0;
            if (op == 0) nResult = src->BlitKeyed(dst.get(), 0, 0);
            if (op == 1) nResult = src->BlitHalfAlphaKeyed(dst.get(), 0, 0);
            if (op == 2) nResult = src->BlitAlphaKeyed(dst.get(), 0, 0, nullptr, 0);
            if (op == 3) nResult = src->BlitStretchedKeyed(dst.get(), 0, 0, nullptr, 2, 1);
            EXPECT_EQ(nResult, 0);
            EXPECT_EQ(ReadPixel(*dst, 0, 0), 0x1111u) << nDepth << " op " << op;
            EXPECT_NE(ReadPixel(*dst, 1, 0), 0x1111u) << nDepth << " op " << op;
        }
    }
    // At 32 bits the software blits compare only the three colour bytes.
    OnePixel p(screen, 32, 0xAB00FF00, 0x00102030);
    p.src->SetColorKey(0x0000FF00);
    p.src->BlitAlphaKeyed(p.dst.get(), 0, 0, nullptr, 0);
    EXPECT_EQ(p.Result(), 0x00102030u);
}

TEST(Blits, ClippingMovesTheSourceWithTheDestination) {
    CDXScreen screen;
    auto src = MakeSurface(screen, 16, 10, 4);
    auto dst = MakeSurface(screen, 16, 8, 8);
    for (int x = 0; x < 10; ++x) WritePixel(*src, x, 0, DWORD(100 + x));
    RECT clip{2, 1, 6, 7};
    dst->SetClipRect(&clip);
    // Far left of the clip rectangle: only the overlapping columns, source moved right.
    EXPECT_EQ(src->BlitHalfAlpha(dst.get(), -5, 1), 0);
    for (int x = 0; x < 8; ++x) {
        const DWORD v = ReadPixel(*dst, x, 1);
        if (x >= 2 && x < 5)
            EXPECT_EQ(v, ((DWORD(100 + x + 5) >> 1) & 0x7BEF)) << x;
        else
            EXPECT_EQ(v, 0u) << x;
    }
    int x = -5, y = 1;
    RECT rc{0, 0, 10, 4};
    ASSERT_TRUE(src->ClipBlit(dst.get(), &x, &y, &rc));
    EXPECT_EQ(x, 2);
    EXPECT_EQ(rc.left, 7);
    EXPECT_EQ(rc.right, 10);
    // Wholly outside: nothing, result 0 (E_FAIL for the outline).
    EXPECT_EQ(src->BlitAlpha(dst.get(), 6, 0, nullptr, 0), 0);
    EXPECT_EQ(src->BlitOutlined(dst.get(), 6, 0, nullptr, 0, 0, 0), int(0x80004005u));
    EXPECT_EQ(src->BlitOpaque(dst.get(), 0, 7), 0);
}

TEST(Blits, OneColumnBlendsOnePixelPerRow) {
    CDXScreen screen;
    for (int nDepth : {15, 16}) {
        auto src = MakeSurface(screen, nDepth, 5, 3);
        auto dst = MakeSurface(screen, nDepth, 5, 3);
        std::mt19937 rng(3);
        FillRandom(*src, rng);
        const RECT rc{2, 0, 3, 3};
        src->BlitHalfAlpha(dst.get(), 4, 0, &rc);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const DWORD m = nDepth == 15 ? 0x3DEF : 0x7BEF;
                EXPECT_EQ(ReadPixel(*dst, x, y), x == 4 ? (ReadPixel(*src, 2, y) >> 1) & m : 0u);
            }
    }
}

TEST(Blits, StretchedCopiesAtEqualSizeAndClipsWhenShrinking) {
    CDXScreen screen;
    std::mt19937 rng(11);
    auto src = MakeSurface(screen, 16, 120, 90);
    FillRandom(*src, rng);
    auto dst = MakeSurface(screen, 16, 120, 90);
    EXPECT_EQ(src->BlitStretched(dst.get(), 0, 0, nullptr, 120, 90), 0);
    EXPECT_EQ(Snapshot(*dst), Snapshot(*src));

    // The 84 x 62 thumbnail placed so that the destination clips it on every side.
    auto thumb = MakeSurface(screen, 16, 80, 60);
    EXPECT_EQ(src->BlitStretched(thumb.get(), -10, -5, nullptr, 84, 62), 0);
    // Left moved 10 destination pixels = 10 * 120 / 84 = 14 source pixels; top 5 * 90 / 62 = 7.
    // Destination (0, 0) maps to source (14, 7).
    EXPECT_EQ(ReadPixel(*thumb, 0, 0), ReadPixel(*src, 14, 7));
    for (const BlitKernels* k : AllBlitKernels()) {
        ScopedBlitKernels use(k);
        thumb->Fill(0);
        EXPECT_EQ(src->BlitStretched(thumb.get(), 70, 50, nullptr, 84, 62), 0) << k->pszName;
        EXPECT_EQ(ReadPixel(*thumb, 70, 50), ReadPixel(*src, 0, 0)) << k->pszName;
    }
    EXPECT_EQ(src->BlitStretched(thumb.get(), 0, 0, nullptr, 0, 10), 0);
    EXPECT_EQ(src->BlitStretched(thumb.get(), 100, 0, nullptr, 10, 10), 0);
}

TEST(Blits, OutlineFramesOpaquePixels) {
    CDXScreen screen;
    for (int nDepth : kDepths) {
        // 3 x 3 opaque picture with a key pixel in the middle, drawn at (2, 2) of 7 x 7.
        auto src = MakeSurface(screen, nDepth, 3, 3);
        auto dst = MakeSurface(screen, nDepth, 7, 7);
        src->Fill(0x0101);
        WritePixel(*src, 1, 1, 0x0F0F);
        src->SetColorKey(0x0F0F);
        if (nDepth == 32) dst->Fill(0xAA000000);
        const DWORD colour = 0x0200;
        EXPECT_EQ(src->BlitOutlined(dst.get(), 2, 2, nullptr, 0, 0, colour), 0);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 7; ++x) {
                const bool bFrame = ((x == 1 || x == 5) && y >= 2 && y <= 4) || ((y == 1 || y == 5) && x >= 2 && x <= 4);
                const DWORD expected = nDepth == 32 ? (0xAA000000 | (bFrame ? colour : 0)) : (bFrame ? colour : 0);
                EXPECT_EQ(ReadPixel(*dst, x, y), expected) << nDepth << " " << x << "," << y;
            }
    }
    // A key pixel with one to three opaque neighbours is painted; the picture is not drawn.
    auto src = MakeSurface(screen, 16, 3, 1);
    auto dst = MakeSurface(screen, 16, 3, 1);
    WritePixel(*src, 0, 0, 9);
    WritePixel(*src, 1, 0, 9);
    WritePixel(*src, 2, 0, 5);
    src->SetColorKey(9);
    src->BlitOutlined(dst.get(), 0, 0, nullptr, 0, 0, 0x77);
    EXPECT_EQ(ReadPixel(*dst, 0, 0), 0u);
    EXPECT_EQ(ReadPixel(*dst, 1, 0), 0x77u);
    EXPECT_EQ(ReadPixel(*dst, 2, 0), 0u);
}

// The outline of text-like pixels (opaque strokes on the key) onto a random destination,
// drawn with the fast path as pixels, key, place and destination change, each time
// equal to the reference loop drawn on the same destination.
class OutlineKept : public ::testing::Test {
protected:
    void Expect(CDXSurface& src, CDXSurface& dst, int x, int y, const RECT* pRect, const char* pszStep) {
        FillRandom(dst, m_rng);
        const std::vector<BYTE> before = Snapshot(dst);
        std::vector<BYTE> reference;
        {
            ScopedBlitKernels use(&ReferenceBlitKernels());
            src.BlitOutlined(&dst, x, y, pRect, 0, 0, 0x5A5A5A5A);
            reference = Snapshot(dst);
        }
        Restore(dst, before);
        src.BlitOutlined(&dst, x, y, pRect, 0, 0, 0x5A5A5A5A);
        EXPECT_EQ(Snapshot(dst), reference) << pszStep;
        EXPECT_NE(reference, before) << pszStep << ": the step draws nothing";
    }
    // Strokes of opaque pixels on the key, as text is.
    static void Strokes(CDXSurface& s, std::mt19937& rng, DWORD key) {
        s.Fill(key);
        for (int i = 0; i < 12; ++i) {
            const int x = int(rng() % unsigned(s.GetWidth())), y = int(rng() % unsigned(s.GetHeight()));
            if (rng() % 2) s.FillRect(x, y, x + 1 + int(rng() % 7), y + 1, 0x0421);
            else s.FillRect(x, y, x + 1, y + 1 + int(rng() % 6), 0x0842);
        }
    }
    CDXScreen m_screen;
    std::mt19937 m_rng{77};
};

TEST_F(OutlineKept, RedrawnFromTheKeptPixelsAndFoundAgainWhenAnythingChanges) {
    std::mt19937 rng(31);
    for (int nDepth : kDepths) {
        SCOPED_TRACE(nDepth);
        auto src = MakeSurface(m_screen, nDepth, 90, 20);
        auto dst = MakeSurface(m_screen, nDepth, 120, 40);
        Strokes(*src, rng, 0);
        src->SetColorKey(0);
        FillRandom(*dst, rng);
        Expect(*src, *dst, 12, 9, nullptr, "first");
        Expect(*src, *dst, 12, 9, nullptr, "again, unchanged");
        // New strokes, as a typed character adds.
        src->FillRect(40, 3, 55, 5, 0x0421);
        Expect(*src, *dst, 12, 9, nullptr, "pixels changed");
        WritePixel(*src, 70, 15, 0x0842);
        Expect(*src, *dst, 12, 9, nullptr, "pixel written under a lock");
        // Another place, cut by the destination's edges (a layout change).
        Expect(*src, *dst, 50, -4, nullptr, "moved and clipped");
        Expect(*src, *dst, -6, 25, nullptr, "moved and clipped at the left and bottom");
        RECT clip{20, 5, 100, 30};
        dst->SetClipRect(&clip);
        Expect(*src, *dst, 5, 8, nullptr, "destination clip");
        const RECT part{10, 2, 60, 18};
        Expect(*src, *dst, 30, 10, &part, "part of the source");
        auto other = MakeSurface(m_screen, nDepth, 64, 24);
        FillRandom(*other, rng);
        Expect(*src, *other, 30, 10, &part, "another destination");
        src->SetColorKey(0x0421);
        Expect(*src, *dst, 30, 10, &part, "another key");
    }
}

TEST_F(OutlineKept, ASurfaceMadeAgainInPlaceIsNeverTakenForTheOldOne) {
    // The source's platform surface is replaced by a new one that has seen as many
    // changes as the old: what was derived from the old pixels must not be used.
    std::mt19937 rng(8);
    auto dst = MakeSurface(m_screen, 16, 80, 30);
    FillRandom(*dst, rng);
    auto src = MakeSurface(m_screen, 16, 60, 20);
    auto remake = [&](bool bFigure) {
        src->GetInterface()->Release();
        SurfaceDesc desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = 60;
        desc.dwHeight = 20;
        desc.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        desc.ddpfPixelFormat = FormatForDepth(16);
        CVideoSurface* pVideo = nullptr;
        ASSERT_EQ(m_screen.GetDirectDraw()->CreateSurface(desc, &pVideo), DD_OK);
        src->AttachInterface(pVideo, true);
        SurfaceDesc locked;
        ASSERT_EQ(pVideo->Lock(&locked), DD_OK);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 60; ++x) {
                const bool bOpaque = bFigure ? (x > 10 && x < 50 && y > 4 && y < 16) : (x % 9 == 0);
                const WORD w = bOpaque ? 0x1234 : 0;
                std::memcpy(static_cast<BYTE*>(locked.lpSurface) + y * locked.lPitch + x * 2, &w, 2);
            }
        pVideo->Unlock();
        src->SetColorKey(0);
    };
    remake(true);
    const std::vector<BYTE> before = Snapshot(*dst);
    src->BlitOutlined(dst.get(), 5, 5, nullptr, 0, 0, 0x7E0);
    remake(false);
    Restore(*dst, before);
    std::vector<BYTE> reference;
    {
        ScopedBlitKernels use(&ReferenceBlitKernels());
        src->BlitOutlined(dst.get(), 5, 5, nullptr, 0, 0, 0x7E0);
        reference = Snapshot(*dst);
    }
    Restore(*dst, before);
    src->BlitOutlined(dst.get(), 5, 5, nullptr, 0, 0, 0x7E0);
    EXPECT_EQ(Snapshot(*dst), reference) << "the outline of the old pixels was painted";

    // The keyed copy's runs of non-key pixels, the same way.
    remake(true);
    src->BlitKeyed(dst.get(), 5, 5);
    src->BlitKeyed(dst.get(), 5, 5);  // the second blit of the same pixels makes the runs
    remake(false);
    Restore(*dst, before);
    {
        ScopedBlitKernels use(&ReferenceBlitKernels());
        src->BlitKeyed(dst.get(), 5, 5);
        reference = Snapshot(*dst);
    }
    Restore(*dst, before);
    src->BlitKeyed(dst.get(), 5, 5);
    EXPECT_EQ(Snapshot(*dst), reference) << "the runs of the old pixels were copied";
}

TEST(Blits, RefusesMixedDepthsAndReadsThreeBytePixelsInside) {
    CDXScreen screen;
    auto src16 = MakeSurface(screen, 16, 8, 8);
    auto dst32 = MakeSurface(screen, 32, 8, 8);
    EXPECT_EQ(src16->BlitHalfAlpha(dst32.get(), 0, 0), DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(src16->BlitSoftware(dst32.get(), 0, 0), DDERR_INVALIDPIXELFORMAT);
    EXPECT_LT(src16->BlitOpaque(dst32.get(), 0, 0), 0);
    // 4 x 2 at 24 bits has no row padding: the last pixel ends the buffer.
    std::mt19937 rng(5);
    auto src = MakeSurface(screen, 24, 4, 2);
    auto dst = MakeSurface(screen, 24, 4, 2);
    FillRandom(*src, rng);
    for (const BlitKernels* k : AllBlitKernels()) {
        ScopedBlitKernels use(k);
        src->BlitAlpha(dst.get(), 0, 0, nullptr, 0);
        src->BlitFaded(dst.get(), 0, 0, nullptr, 256);
        src->BlitAlphaMask(dst.get(), 0, 0);
        src->BlitHalfAlphaKeyed(dst.get(), 0, 0);
        src->BlitKeyed(dst.get(), 0, 0);
        src->BlitSoftware(dst.get(), 0, 0);
        EXPECT_EQ(Snapshot(*dst), Snapshot(*src)) << k->pszName;
    }
}

TEST(Blits, SoftwareBlitsRespectNestedLocks) {
    CDXScreen screen;
    auto src = MakeSurface(screen, 16, 4, 4);
    auto dst = MakeSurface(screen, 16, 4, 4);
    src->Fill(0xFFFF);
    ASSERT_TRUE(Succeeded(dst->Lock()));
    EXPECT_EQ(src->BlitHalfAlpha(dst.get(), 0, 0), 0);
    EXPECT_EQ(dst->GetLockCount(), 1u);
    EXPECT_EQ(dst->GetPixel(3, 3), 0x7BEFu);
    // The device refuses a copy onto a surface that is locked, as the display would.
    EXPECT_EQ(src->BlitOpaque(dst.get(), 0, 0), DDERR_SURFACEBUSY);
    dst->Unlock();
    EXPECT_EQ(src->GetLockCount(), 0u);
}

}  // namespace
