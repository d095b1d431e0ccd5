#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "platform/Files.h"
#include "tests/TempFolder.h"
#include "tools/gamekit/ImageWriters.h"

namespace {

// Writes a 24-bit bottom-up BMP whose pixels are given top row first as 0xRRGGBB.
void WriteBmp24(const std::string& path, int w, int h, const std::vector<DWORD>& rgb) {
    const int nRow = (w * 3 + 3) & ~3;
    const DWORD dwSize = 54 + DWORD(nRow * h);
    std::vector<BYTE> b(dwSize, 0);
    auto put32 = [&](int o, DWORD v) { for (int i = 0; i < 4; ++i) b[size_t(o + i)] = BYTE(v >> (8 * i)); };
    b[0] = 'B'; b[1] = 'M';
    put32(2, dwSize); put32(10, 54); put32(14, 40); put32(18, DWORD(w)); put32(22, DWORD(h));
    b[26] = 1; b[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            DWORD c = rgb[size_t(y * w + x)];
            BYTE* p = &b[54 + size_t((h - 1 - y) * nRow + x * 3)];
            p[0] = BYTE(c); p[1] = BYTE(c >> 8); p[2] = BYTE(c >> 16);
        }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

class SurfaceTest : public ::testing::Test {
protected:
    CDXScreen screen;
    CTempFolder folder;
    std::filesystem::path dir = folder.Path();
};

TEST_F(SurfaceTest, CreateCompletesAndRegisters) {
    CDXSurface s;
    EXPECT_EQ(s.GetId(), -1);
    ASSERT_EQ(s.Create(&screen, 120, 90, 1), DD_OK);
    EXPECT_EQ(s.GetWidth(), 120);
    EXPECT_EQ(s.GetHeight(), 90);
    EXPECT_GT(s.GetId(), 0);
    EXPECT_EQ(s.GetPitch(), 240);  // learned by the lock at creation
    EXPECT_EQ(s.PixelFormat().dwBitsPerPixel, 16u);
    EXPECT_EQ(s.PixelFormat().nGreenMax, 63);
    EXPECT_EQ(s.PixelFormat().nRedShift, 11);
    EXPECT_TRUE(EqualRect(s.GetClipRect(), RECT{0, 0, 120, 90}));
    EXPECT_EQ(screen.GetSurfaceCount(), 1);
    {
        CDXSurface t;
        ASSERT_EQ(t.Create(&screen, 10, 10, 1), DD_OK);
        EXPECT_EQ(t.GetId(), s.GetId() + 1);
        EXPECT_EQ(screen.GetSurfaceCount(), 2);
    }
    EXPECT_EQ(screen.GetSurfaceCount(), 1);
    EXPECT_EQ(screen.GetFirstSurface(), &s);
}

TEST_F(SurfaceTest, OperationsWithoutInterfaceFail) {
    CDXSurface s;
    EXPECT_EQ(s.Lock(), -1);
    EXPECT_EQ(s.Unlock(), -1);
    EXPECT_EQ(s.SetColorKey(5), -1);
    EXPECT_EQ(s.SetColorKeyFromCorner(), -1);
    EXPECT_EQ(s.GetDC(), nullptr);
    EXPECT_EQ(s.ReleaseDC(), -1);
    EXPECT_EQ(s.Restore(), -1);
    EXPECT_FALSE(s.IsOpaqueAt(0, 0));
}

TEST_F(SurfaceTest, LocksNestAndTakeThePlatformLockOnce) {
    CDXSurface s;
    ASSERT_EQ(s.Create(&screen, 8, 8, 1), DD_OK);
    EXPECT_EQ(s.Lock(), 1);
    EXPECT_TRUE(s.GetInterface()->IsLocked());
    EXPECT_EQ(s.Lock(), 2);
    EXPECT_NE(s.GetLockedBits(), nullptr);
    EXPECT_EQ(s.Unlock(), 1);
    EXPECT_TRUE(s.GetInterface()->IsLocked());
    EXPECT_EQ(s.Unlock(), 0);
    EXPECT_FALSE(s.GetInterface()->IsLocked());
    // The device context nests the same way and excludes a lock while held.
    HDC a = s.GetDC();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(s.GetDC(), a);
    EXPECT_TRUE(Failed(s.Lock()));
    EXPECT_EQ(s.ReleaseDC(), 0);
    EXPECT_EQ(s.ReleaseDC(), 0);
    EXPECT_EQ(s.ReleaseDC(), -1);
    EXPECT_EQ(s.Lock(), 1);
    EXPECT_EQ(s.Unlock(), 0);
}

TEST_F(SurfaceTest, ColorKeyFromCornerIsTheTopLeftPixelAtTheSurfaceDepth) {
    CDXSurface s;
    ASSERT_EQ(s.Create(&screen, 4, 4, 1), DD_OK);
    ASSERT_EQ(s.Lock(), 1);
    s.PutPixel(0, 0, 0xF81F);
    s.PutPixel(1, 0, 0x1234);  // the next pixel must not leak into the key
    s.Unlock();
    EXPECT_EQ(s.SetColorKeyFromCorner(), 0);
    EXPECT_EQ(s.GetColorKey(), 0xF81Fu);
    DWORD lo = 0, hi = 0;
    ASSERT_EQ(s.GetInterface()->GetColorKey(&lo, &hi), DD_OK);
    EXPECT_EQ(lo, 0xF81Fu);
    EXPECT_EQ(hi, 0xF81Fu);
    EXPECT_FALSE(s.IsOpaqueAt(0, 0));
    EXPECT_TRUE(s.IsOpaqueAt(1, 0));
    EXPECT_FALSE(s.IsOpaqueAt(4, 0));
    EXPECT_FALSE(s.IsOpaqueAt(-1, 0));
    EXPECT_FALSE(s.IsOpaqueAt(0, 4));
    EXPECT_EQ(s.GetLockCount(), 0u);
}

TEST_F(SurfaceTest, ClipRectClampsAndClipToRectPullsInside) {
    CDXSurface s;
    ASSERT_EQ(s.Create(&screen, 100, 50, 1), DD_OK);
    RECT big{-10, -20, 500, 600};
    s.SetClipRect(&big);
    EXPECT_TRUE(EqualRect(s.GetClipRect(), RECT{0, 0, 100, 50}));
    RECT clip{10, 10, 60, 40};
    s.SetClipRect(&clip);
    RECT r{0, 0, 20, 20};
    EXPECT_TRUE(s.ClipToRect(&r));
    EXPECT_TRUE(EqualRect(r, RECT{10, 10, 20, 20}));
    RECT outside{60, 10, 70, 20};  // left at the clip right: nothing left
    EXPECT_FALSE(s.ClipToRect(&outside));
    RECT above{10, 0, 20, 10};  // bottom at the clip top
    EXPECT_FALSE(s.ClipToRect(&above));
}

TEST_F(SurfaceTest, PixelRoutinesHonourClipAndFormat) {
    CDXSurface s;
    ASSERT_EQ(s.Create(&screen, 20, 480, 1), DD_OK);
    ASSERT_EQ(s.Lock(), 1);
    s.HLine(10, 5, 3, 0xFFFF);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(s.GetPixel(x, 3), (x >= 5 && x <= 10) ? 0xFFFFu : 0u) << x;
    s.VLine(-5, 1000, 2, 0x07E0);
    EXPECT_EQ(s.GetPixel(2, 0), 0x07E0u);
    EXPECT_EQ(s.GetPixel(2, 479), 0x07E0u);
    s.PutPixel(20, 5, 0xFFFF);  // at the clip right: nothing
    EXPECT_EQ(s.GetPixel(19, 5), 0u);
    EXPECT_EQ(s.GetPixel(20, 5), 0u);  // outside the surface reads 0
    s.PutPixel(7, 7, 0);
    s.PutAlphaPixel(7, 7, 0xF800, 256);
    EXPECT_EQ(s.GetPixel(7, 7), 0xF800u);
    s.PutAlphaPixel(7, 7, 0x001F, 0);
    EXPECT_EQ(s.GetPixel(7, 7), 0xF800u);
    s.Unlock();
}

TEST_F(SurfaceTest, ImageFileCreationKeepsNameAndRestoresAfterLoss) {
    const std::string path = (dir / "pic.bmp").string();
    WriteBmp24(path, 2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
    CDXSurface s;
    ASSERT_EQ(s.CreateFromImageFile(&screen, path.c_str(), 1), 1);
    EXPECT_STREQ(s.GetFileName(), path.c_str());
    ASSERT_EQ(s.Lock(), 1);
    EXPECT_EQ(s.GetPixel(0, 0), 0xF800u);
    EXPECT_EQ(s.GetPixel(1, 0), 0x07E0u);
    EXPECT_EQ(s.GetPixel(0, 1), 0x001Fu);
    EXPECT_EQ(s.GetPixel(1, 1), 0xFFFFu);
    s.Unlock();
    // A loss clears the pixels; the next lock restores and reloads the picture.
    screen.GetDirectDraw()->LoseAllSurfaces();
    ASSERT_EQ(s.Lock(), 1);
    EXPECT_EQ(s.GetPixel(0, 0), 0xF800u);
    EXPECT_EQ(s.GetPixel(1, 1), 0xFFFFu);
    s.Unlock();
}

TEST_F(SurfaceTest, MissingImageFileAndResourceGivesMinusTwo) {
    CDXSurface s;
    EXPECT_EQ(s.CreateFromImageFile(&screen, (dir / "nothing.bmp").string().c_str(), 1), -2);
    EXPECT_EQ(s.CreateFromImageFile(&screen, nullptr, 1), -1);
    EXPECT_EQ(s.GetInterface(), nullptr);
}

TEST_F(SurfaceTest, StreamAndBmpStreamCreation) {
    const std::string path = (dir / "pic.bmp").string();
    WriteBmp24(path, 3, 1, {0x000000, 0x808080, 0xFFFFFF});
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    CDXSurface a;
    EXPECT_EQ(a.CreateFromStream(&screen, 0, f, 1), 1);
    EXPECT_EQ(a.GetWidth(), 3);
    std::rewind(f);
    CDXSurface b;
    EXPECT_EQ(b.LoadBmpFromStream(&screen, f, 1, 0), 1);
    EXPECT_EQ(b.GetWidth(), 3);
    ASSERT_EQ(b.Lock(), 1);
    EXPECT_EQ(b.GetPixel(2, 0), 0xFFFFu);
    b.Unlock();
    std::fclose(f);
    // Wrong magic and a short file create nothing.
    const std::string bad = (dir / "bad.bmp").string();
    std::ofstream(bad, std::ios::binary) << "XM0123456789";
    FILE* g = std::fopen(bad.c_str(), "rb");
    ASSERT_NE(g, nullptr);
    CDXSurface c;
    EXPECT_EQ(c.LoadBmpFromStream(&screen, g, 1, 0), 0);
    EXPECT_EQ(c.CreateFromStream(&screen, 0, g, 1), -1);
    EXPECT_EQ(c.GetInterface(), nullptr);
    std::fclose(g);
}

// An entry of a package read from the stream: every BMP info header of 40 bytes or more,
// at any position, measured by the caller's count or the file header; colour tables, the
// old 12-byte header and sizes past the end of the stream are refused.
TEST_F(SurfaceTest, BmpFromStreamTakesEveryHeaderSizeButNoColourTable) {
    PictureRgba pic(3, 2);
    const std::uint32_t colours[6] = {Argb(255, 255, 0, 0), Argb(255, 0, 255, 0), Argb(255, 0, 0, 255),
                                      Argb(255, 255, 255, 255), Argb(255, 0, 0, 0), Argb(255, 255, 0, 0)};
    std::copy(std::begin(colours), std::end(colours), pic.pixels.begin());
    const std::vector<WORD> expect = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0xF800};
    const std::vector<std::uint8_t> v5 = BuildBmp(pic, {32, false, false, true});  // 124-byte header
    ASSERT_EQ(v5[14], 124);
    std::vector<std::uint8_t> v3 = BuildBmp(pic, {24, false, false, false});
    // The same pixels behind the old 12-byte header.
    std::vector<std::uint8_t> core(v3.begin(), v3.begin() + 14);
    const std::uint8_t coreInfo[12] = {12, 0, 0, 0, 3, 0, 2, 0, 1, 0, 24, 0};
    core.insert(core.end(), coreInfo, coreInfo + 12);
    core.insert(core.end(), v3.begin() + 54, v3.end());
    core[10] = 26;
    core[2] = std::uint8_t(core.size());
    const std::vector<std::uint8_t> paletted = BuildBmp(pic, {8, false, false, false});
    ASSERT_FALSE(paletted.empty());

    auto load = [&](const std::vector<std::uint8_t>& bmp, DWORD dwCount, int nTail = 4) {
        std::vector<std::uint8_t> file = {'J', 'U', 'N', 'K'};
        file.insert(file.end(), bmp.begin(), bmp.end());
        file.insert(file.end(), size_t(nTail), 0xEE);
        const std::string path = (dir / "pack.bin").string();
        folder.Write("pack.bin", file);
        FILE* f = std::fopen(path.c_str(), "rb");
        EXPECT_NE(f, nullptr);
        if (!f) return std::vector<WORD>{};
        std::fseek(f, 4, SEEK_SET);
        CDXSurface s;
        std::vector<WORD> got;
        if (s.LoadBmpFromStream(&screen, f, 1, dwCount) == 1 && s.Lock() == 1) {
            for (int y = 0; y < s.GetHeight(); ++y)
                for (int x = 0; x < s.GetWidth(); ++x) got.push_back(WORD(s.GetPixel(x, y)));
            s.Unlock();
        }
        std::fclose(f);
        return got;
    };
    EXPECT_EQ(load(v5, DWORD(v5.size())), expect);
    EXPECT_EQ(load(v5, 0), expect);  // measured by the file header
    EXPECT_EQ(load(v3, 0), expect);
    EXPECT_TRUE(load(core, DWORD(core.size())).empty());
    EXPECT_TRUE(load(paletted, DWORD(paletted.size())).empty());
    EXPECT_TRUE(load(v5, DWORD(v5.size()) + 5).empty());  // past the end of the stream
    std::vector<std::uint8_t> huge = v3;
    huge[2] = huge[3] = huge[4] = 0xFF;
    huge[5] = 0x7F;
    EXPECT_TRUE(load(huge, 0).empty());
}

TEST_F(SurfaceTest, TextWithNullStringDrawsNothing) {
    CDXSurface s;
    ASSERT_EQ(s.Create(&screen, 40, 20, 1), DD_OK);
    EXPECT_EQ(s.TextOut(0, 0, RGB(255, 255, 255), nullptr), 0);
    ASSERT_EQ(s.Lock(), 1);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(s.GetPixel(x, y), 0u);
    s.Unlock();
    EXPECT_EQ(s.ChangeFont("Arial", 0, 15), 0);
    EXPECT_STREQ(s.GetFontFace(), "Arial");
    EXPECT_EQ(s.TextOut(2, 2, RGB(255, 255, 255), "Hi"), 0);
    bool bAny = false;
    ASSERT_EQ(s.Lock(), 1);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) bAny |= s.GetPixel(x, y) != 0;
    s.Unlock();
    EXPECT_TRUE(bAny);
}

// The main loop asks for the same font on every pass; asking again keeps drawing in that
// font, and any other face, size, weight or style draws in the new one.
TEST_F(SurfaceTest, TheSameFontAskedForAgainDrawsAsBeforeAndAnyOtherChangesIt) {
    CDXSurface s;
    ASSERT_EQ(s.Create(&screen, 120, 40, 1), DD_OK);
    auto draw = [&] {
        s.Fill(0);
        s.TextOut(2, 2, RGB(255, 255, 255), "Wide Hi");
        std::vector<DWORD> pixels;
        s.Lock();
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 120; ++x) pixels.push_back(s.GetPixel(x, y));
        s.Unlock();
        return pixels;
    };
    ASSERT_EQ(s.ChangeFont("Arial", 0, 15), 0);
    const std::vector<DWORD> small = draw();
    ASSERT_EQ(s.ChangeFont("Arial", 0, 15), 0);
    EXPECT_EQ(draw(), small);
    EXPECT_STREQ(s.GetFontFace(), "Arial");
    ASSERT_EQ(s.ChangeFont("Arial", 0, 30), 0);
    const std::vector<DWORD> large = draw();
    EXPECT_NE(large, small);
    ASSERT_EQ(s.ChangeFont("Arial", 0, 15, 134, 700), 0);
    EXPECT_NE(draw(), small);
    ASSERT_EQ(s.ChangeFont("Arial", 0, 15, 134, 400, 1), 0);
    EXPECT_NE(draw(), small);
    ASSERT_EQ(s.ChangeFont("Arial", 8, 15), 0);
    EXPECT_NE(draw(), small);
    ASSERT_EQ(s.ChangeFont("Arial", 0, 15), 0);
    EXPECT_EQ(draw(), small);
    ASSERT_EQ(s.ChangeFont("Arial", 0, 30), 0);
    EXPECT_EQ(draw(), large);
}

TEST_F(SurfaceTest, BlitBetweenDifferentFormatsIsRefused) {
    CDXSurface a, b;
    ASSERT_EQ(a.Create(&screen, 8, 8, 1), DD_OK);
    SurfaceDesc desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = 8;
    desc.dwHeight = 8;
    desc.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat = MakePixelFormat555();
    CVideoSurface* p = nullptr;
    ASSERT_EQ(screen.GetDirectDraw()->CreateSurface(desc, &p), DD_OK);
    b.AttachInterface(p, true);
    b.CompleteCreation(&screen, 1, true);
    EXPECT_EQ(b.PixelFormat().dwBitsPerPixel, 15u);
    EXPECT_EQ(a.BlitOpaque(&b, 0, 0, nullptr), DDERR_INVALIDPIXELFORMAT);
}

}  // namespace
