#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "media/TgaFrame.h"
#include "media/TgaImage.h"
#include "platform/Stream.h"
#include "tests/TempFolder.h"
#include "tools/gamekit/TgaWriters.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

POINT g_mouse{-1000, -1000};
POINT TestCursor() { return g_mouse; }

// A 32-bit run-length TGA from hand-made packets.
class PacketBuilder {
public:
    PacketBuilder(int w, int h) {
        m_w.WriteU8(0); m_w.WriteU8(0); m_w.WriteU8(10);
        m_w.WriteU16(0); m_w.WriteU16(0); m_w.WriteU8(0);
        m_w.WriteU16(0); m_w.WriteU16(0);
        m_w.WriteU16(std::uint16_t(w)); m_w.WriteU16(std::uint16_t(h));
        m_w.WriteU8(32); m_w.WriteU8(8);
    }
    PacketBuilder& Run(int n, int r, int g, int b, int a) {
        m_w.WriteU8(std::uint8_t(127 + n));
        Pixel(r, g, b, a);
        return *this;
    }
    // One raw packet of n equal pixels.
    PacketBuilder& Raw(int n, int r, int g, int b, int a) {
        m_w.WriteU8(std::uint8_t(n - 1));
        for (int i = 0; i < n; ++i) Pixel(r, g, b, a);
        return *this;
    }
    Bytes Build() const { return m_w.Bytes(); }

private:
    void Pixel(int r, int g, int b, int a) {
        m_w.WriteU8(std::uint8_t(b)); m_w.WriteU8(std::uint8_t(g));
        m_w.WriteU8(std::uint8_t(r)); m_w.WriteU8(std::uint8_t(a));
    }
    CByteWriter m_w;
};

class TgaDrawTest : public ::testing::Test {
protected:
    CDXScreen screen;
    void SetUp() override {
        SetTgaCursorSource(TestCursor);
        g_mouse = POINT{-1000, -1000};
    }
    void TearDown() override { SetTgaCursorSource(nullptr); }

    // A surface of the given depth (15, 16, 24, 32), cleared to 0.
    std::unique_ptr<CDXSurface> MakeSurface(int nDepth, int w = 16, int h = 8) {
        SurfaceDesc desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = DWORD(w);
        desc.dwHeight = DWORD(h);
        desc.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        desc.ddpfPixelFormat = nDepth == 16 ? MakePixelFormat565() : nDepth == 15 ? MakePixelFormat555()
                                                                                  : MakePixelFormat888(DWORD(nDepth));
        CVideoSurface* p = nullptr;
        EXPECT_EQ(screen.GetDirectDraw()->CreateSurface(desc, &p), DD_OK);
        auto s = std::make_unique<CDXSurface>();
        s->AttachInterface(p, true);
        s->CompleteCreation(&screen, 1, true);
        return s;
    }
    static DWORD Pixel(CDXSurface* s, int x, int y) {
        const int n = s->GetInterface()->BytesPerPixel();
        const BYTE* p = s->GetInterface()->Bits() + size_t(y) * size_t(s->GetInterface()->Pitch()) + size_t(x * n);
        DWORD v = 0;
        for (int i = 0; i < n; ++i) v |= DWORD(p[i]) << (8 * i);
        return v;
    }
    static void FillAll(CDXSurface* s, DWORD v) {
        for (int y = 0; y < s->GetHeight(); ++y)
            for (int x = 0; x < s->GetWidth(); ++x) {
                const int n = s->GetInterface()->BytesPerPixel();
                BYTE* p = s->GetInterface()->Bits() + size_t(y) * size_t(s->GetInterface()->Pitch()) + size_t(x * n);
                for (int i = 0; i < n; ++i) p[i] = BYTE(v >> (8 * i));
            }
    }
    static std::unique_ptr<CTgaFrame> Frame(const Bytes& b) {
        auto f = std::make_unique<CTgaFrame>();
        FILE* fp = fmemopen(const_cast<std::uint8_t*>(b.data()), b.size(), "rb");
        if (!fp) return nullptr;
        EXPECT_TRUE(f->LoadFromFile(fp, DWORD(b.size()))) << f->GetError();
        std::fclose(fp);
        return f;
    }
};

constexpr DWORD F565(int r, int g, int b) { return DWORD(b | (g << 5) | (r << 11)); }

TEST_F(TgaDrawTest, OpaqueWhiteIsScaledByAlphaAtEveryDepth) {
    const Bytes raw = PacketBuilder(2, 1).Raw(2, 255, 255, 255, 255).Build();
    const Bytes run = PacketBuilder(2, 1).Run(2, 255, 255, 255, 255).Build();
    const struct { int nDepth; DWORD dwWhite; } cases[] = {
        {16, F565(30, 62, 30)}, {15, DWORD(30 | 30 << 5 | 30 << 10)}, {24, 0xFEFEFE}, {32, 0xFEFEFE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nDepth);
        for (const Bytes* b : {&raw, &run}) {
            auto s = MakeSurface(c.nDepth);
            Frame(*b)->Draw(s.get(), 3, 2, 0, 0, 0, 0);
            EXPECT_EQ(Pixel(s.get(), 3, 2), c.dwWhite);
            EXPECT_EQ(Pixel(s.get(), 4, 2), c.dwWhite);
            EXPECT_EQ(Pixel(s.get(), 5, 2), 0u);
            EXPECT_EQ(Pixel(s.get(), 3, 1), 0u);
        }
    }
}

TEST_F(TgaDrawTest, Blend565AndTheColourAddAtAlpha200) {
    auto s = MakeSurface(16);
    // A run of alpha 200 takes the add and blends; a raw pixel of alpha 200 blends without it.
    Frame(PacketBuilder(1, 1).Run(1, 100, 100, 100, 200).Build())->Draw(s.get(), 0, 0, 100, 0, 0, 0);
    EXPECT_EQ(Pixel(s.get(), 0, 0), F565(19, 19, 9));
    Frame(PacketBuilder(1, 1).Raw(1, 100, 100, 100, 200).Build())->Draw(s.get(), 1, 0, 100, 0, 0, 0);
    EXPECT_EQ(Pixel(s.get(), 1, 0), F565(9, 19, 9));
    // Above 200 a raw pixel takes the add too, limited to 255.
    Frame(PacketBuilder(1, 1).Raw(1, 200, 0, 0, 201).Build())->Draw(s.get(), 2, 0, 100, 0, 0, 0);
    EXPECT_EQ(Pixel(s.get(), 2, 0), F565(31 * 201 >> 8, 0, 0));
    // Each destination field loses field * a >> 8.
    FillAll(s.get(), F565(31, 63, 31));
    Frame(PacketBuilder(1, 1).Raw(1, 0, 0, 0, 100).Build())->Draw(s.get(), 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(Pixel(s.get(), 0, 0), F565(19, 39, 19));
}

TEST_F(TgaDrawTest, RemappedAlphaAndContrastAt32Bits) {
    auto s = MakeSurface(32);
    // Stored 128 becomes 160 and blends.
    Frame(PacketBuilder(1, 1).Raw(1, 200, 200, 200, 128).Build())->Draw(s.get(), 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(Pixel(s.get(), 0, 0), 0x7D7D7Du);
    // Contrast: 64 falls to 32 and is remapped to 88; without it 64 becomes 112.
    Frame(PacketBuilder(1, 1).Raw(1, 255, 255, 255, 64).Build())->Draw(s.get(), 1, 0, 0, 0, 0, 1);
    EXPECT_EQ(Pixel(s.get(), 1, 0), 0x575757u);
    Frame(PacketBuilder(1, 1).Raw(1, 255, 255, 255, 64).Build())->Draw(s.get(), 2, 0, 0, 0, 0, 0);
    EXPECT_EQ(Pixel(s.get(), 2, 0), 0x6F6F6Fu);
    // Stored 190 becomes 206: a run writes it opaque with the add, a raw pixel blends
    // it (with the add, as the alpha is above 200).
    FillAll(s.get(), 0x00FFFFFF);
    Frame(PacketBuilder(1, 1).Run(1, 0, 0, 100, 190).Build())->Draw(s.get(), 0, 0, 0, 0, 50, 0);
    EXPECT_EQ(Pixel(s.get(), 0, 0), DWORD(150 * 206 >> 8));
    Frame(PacketBuilder(1, 1).Raw(1, 0, 0, 100, 190).Build())->Draw(s.get(), 1, 0, 0, 0, 50, 0);
    const DWORD keep = 255 - (255 * 206 >> 8);
    EXPECT_EQ(Pixel(s.get(), 1, 0), (keep | keep << 8 | keep << 16) + DWORD(150 * 206 >> 8));
}

TEST_F(TgaDrawTest, HitBoxes) {
    auto s16 = MakeSurface(16, 64, 40);
    const Bytes opaque = PacketBuilder(1, 1).Raw(1, 255, 0, 0, 255).Build();
    const Bytes blended = PacketBuilder(1, 1).Raw(1, 255, 0, 0, 150).Build();
    auto f = Frame(opaque);
    // 5-6-5: x within 19 either side, y from 18 above to 5 below.
    const struct { int mx, my, nHit; } box[] = {{30, 20, 1}, {11, 20, 1}, {10, 20, 0}, {49, 20, 1}, {50, 20, 0},
                                               {30, 2, 1},  {30, 1, 0},  {30, 25, 1}, {30, 26, 0}};
    for (const auto& b : box) {
        g_mouse = POINT{b.mx, b.my};
        EXPECT_EQ(f->Draw(s16.get(), 30, 20, 0, 0, 0, 0), b.nHit) << b.mx << "," << b.my;
    }
    g_mouse = POINT{30, 20};
    EXPECT_EQ(Frame(blended)->Draw(s16.get(), 30, 20, 0, 0, 0, 0), 0);
    // Other depths: exactly the pixel, with the mouse one row below.
    auto s32 = MakeSurface(32, 64, 40);
    g_mouse = POINT{30, 21};
    EXPECT_EQ(f->Draw(s32.get(), 30, 20, 0, 0, 0, 0), 1);
    g_mouse = POINT{30, 20};
    EXPECT_EQ(f->Draw(s32.get(), 30, 20, 0, 0, 0, 0), 0);
    g_mouse = POINT{31, 21};
    EXPECT_EQ(f->Draw(s32.get(), 30, 20, 0, 0, 0, 0), 0);
    // A pixel off the surface is not drawn and does not hit.
    g_mouse = POINT{-5, 21};
    EXPECT_EQ(f->Draw(s32.get(), -5, 20, 0, 0, 0, 0), 0);
}

TEST_F(TgaDrawTest, TransparentRunSpansRows) {
    // 50 wide, 3 rows: a transparent run of 128 skips the bottom two rows and 28
    // columns of the top row; 22 raw pixels finish the top row.
    const Bytes b = PacketBuilder(50, 3).Run(128, 9, 9, 9, 0).Raw(22, 255, 255, 255, 255).Build();
    auto s = MakeSurface(16, 60, 5);
    Frame(b)->Draw(s.get(), 0, 1, 0, 0, 0, 0);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool bDrawn = y == 1 && x >= 28 && x < 50;
            EXPECT_EQ(Pixel(s.get(), x, y), bDrawn ? F565(30, 62, 30) : 0u) << x << "," << y;
        }
}

TEST_F(TgaDrawTest, ClipsAtTheSurfaceEdges) {
    // 4 x 4 picture, row r (from the top) of red (r + 1) x 50.
    PictureRgba pic(4, 4);
    for (int y = 0; y < 4; ++y) pic.Fill(0, y, 4, 1, Argb(255, (y + 1) * 50, 0, 0));
    auto f = Frame(BuildRleTga32(pic));
    auto red = [](int y) { return F565(((y + 1) * 50 >> 3) * 255 >> 8, 0, 0); };
    auto s = MakeSurface(16, 6, 6);
    f->Draw(s.get(), -2, -2, 0, 0, 0, 0);  // rows 2, 3 of the picture land on rows 0, 1
    EXPECT_EQ(Pixel(s.get(), 0, 0), red(2));
    EXPECT_EQ(Pixel(s.get(), 1, 1), red(3));
    EXPECT_EQ(Pixel(s.get(), 2, 0), 0u);
    FillAll(s.get(), 0);
    f->Draw(s.get(), 4, 4, 0, 0, 0, 0);  // rows 0, 1 land on rows 4, 5; columns 8, 9 are skipped
    EXPECT_EQ(Pixel(s.get(), 4, 4), red(0));
    EXPECT_EQ(Pixel(s.get(), 5, 5), red(1));
    EXPECT_EQ(Pixel(s.get(), 3, 4), 0u);
    // A source rectangle draws the lowest (bottom - top) rows with their top at y.
    FillAll(s.get(), 0);
    CTgaImage image;
    FILE* fp = nullptr;
    const Bytes bytes = BuildRleTga32(pic);
    fp = fmemopen(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), "rb");
    ASSERT_NE(fp, nullptr);
    ASSERT_NE(image.LoadFromFile(fp, DWORD(bytes.size())), nullptr);
    std::fclose(fp);
    RECT rc{0, 3, 4, 4};
    image.Draw(s.get(), 0, 1, &rc, 0, 0, 0, 0);
    EXPECT_EQ(Pixel(s.get(), 0, 1), red(3));
    EXPECT_EQ(Pixel(s.get(), 0, 2), 0u);
    EXPECT_EQ(Pixel(s.get(), 0, 0), 0u);
    rc = RECT{0, 0, 4, 4};
    image.Draw(s.get(), 0, 1, &rc, 0, 0, 0, 0);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(Pixel(s.get(), 1, 1 + y), red(y));
}

TEST_F(TgaDrawTest, NothingDrawnWithoutPictureDepthOrLock) {
    auto s = MakeSurface(16);
    CTgaFrame empty;
    g_mouse = POINT{0, 0};
    EXPECT_EQ(empty.Draw(s.get(), 0, 0, 0, 0, 0, 0), 0);
    auto f = Frame(PacketBuilder(1, 1).Raw(1, 255, 255, 255, 255).Build());
    // A failed lock draws nothing.
    SurfaceDesc desc;
    ASSERT_EQ(s->GetInterface()->Lock(&desc), DD_OK);
    EXPECT_EQ(f->Draw(s.get(), 0, 0, 0, 0, 0, 0), 0);
    s->GetInterface()->Unlock();
    EXPECT_EQ(Pixel(s.get(), 0, 0), 0u);
    EXPECT_EQ(f->Draw(s.get(), 0, 0, 0, 0, 0, 0), 1);
    // No back buffer: nothing to draw on.
    EXPECT_EQ(f->Draw(nullptr, 0, 0, 0, 0, 0, 0), 0);
}

TEST_F(TgaDrawTest, LoadingChecksTheFile) {
    const CTempFolder folder("tga_test");
    const std::filesystem::path dir = folder.Path();
    PictureRgba pic(3, 2, Argb(255, 255, 255, 255));
    const Bytes good = BuildRleTga32(pic);
    const std::string file = (dir / "a.tga").string();
    ASSERT_TRUE(WriteBytesToFile(file.c_str(), good));
    CTgaImage image;
    EXPECT_TRUE(image.Load(file.c_str())) << image.GetError();
    EXPECT_EQ(image.GetWidth(), 3);
    EXPECT_EQ(image.GetHeader().nPixelDepth, 32);
    // A file that cannot be opened leaves the picture held; one that opens but is
    // not usable replaces it with nothing.
    EXPECT_FALSE(image.Load((dir / "none.tga").string().c_str()));
    EXPECT_TRUE(image.IsLoaded());
    // Not 32-bit run-length data, or a header cut short: refused.
    TgaOptions raw;
    raw.nDepth = 32;
    ASSERT_TRUE(WriteBytesToFile(file.c_str(), BuildTga(pic, raw)));
    EXPECT_FALSE(image.Load(file.c_str()));
    EXPECT_FALSE(image.IsLoaded());
    ASSERT_TRUE(WriteBytesToFile(file.c_str(), Bytes(good.begin(), good.begin() + 10)));
    EXPECT_FALSE(image.Load(file.c_str()));
    Bytes longId = good;
    longId[0] = 200;  // ID field past the end
    ASSERT_TRUE(WriteBytesToFile(file.c_str(), Bytes(longId.begin(), longId.begin() + 40)));
    EXPECT_FALSE(image.Load(file.c_str()));
    // A stream that runs short loads nothing.
    FILE* fp = fmemopen(const_cast<std::uint8_t*>(good.data()), good.size(), "rb");
    ASSERT_NE(fp, nullptr);
    CTgaFrame frame;
    EXPECT_FALSE(frame.LoadFromFile(fp, DWORD(good.size() + 10)));
    std::fclose(fp);
}

// Pictures cut anywhere, or with packets that claim more than the picture holds,
// draw inside the picture's box on the surface and read inside the data only (the
// sanitizers watch the data; a border colour over the whole locked memory, row
// padding included, shows any stray write).
TEST_F(TgaDrawTest, TruncatedAndCorruptedPacketsStayInBounds) {
    PictureRgba pic(9, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x) pic.At(x, y) = Argb((x * 40 + y * 9) & 255, x * 20, y * 30, 90);
    const Bytes good = BuildRleTga32(pic);
    std::uint32_t nSeed = 7;
    auto next = [&] { nSeed = nSeed * 1103515245u + 12345u; return nSeed >> 8; };
    constexpr BYTE kBorder = 0xA5;
    int nDrawn = 0;
    // Draws the frame at (x, y) over the border colour and checks every byte outside
    // the box of 9 x 7 pixels there.
    auto drawAndCheck = [&](CDXSurface* s, CTgaFrame& f, int x, int y, int nAdd, int bContrast) {
        CVideoSurface* v = s->GetInterface();
        const int nBytes = v->BytesPerPixel(), nPitch = v->Pitch();
        std::memset(v->Bits(), kBorder, size_t(nPitch) * size_t(s->GetHeight()));
        f.Draw(s, x, y, nAdd, nAdd, nAdd, bContrast);
        bool bChanged = false;
        for (int r = 0; r < s->GetHeight(); ++r)
            for (int i = 0; i < nPitch; ++i) {
                const BYTE b = v->Bits()[size_t(r) * size_t(nPitch) + size_t(i)];
                const int c = i / nBytes;
                const bool bInBox = c < s->GetWidth() && c >= x && c < x + 9 && r >= y && r < y + 7;
                if (bInBox) {
                    bChanged |= b != kBorder;
                } else if (b != kBorder) {
                    ADD_FAILURE() << "depth " << s->PixelFormat().dwBitsPerPixel << ": byte " << i << " of row " << r
                                  << " changed by a draw at " << x << "," << y;
                    return;
                }
            }
        nDrawn += bChanged;
    };
    for (int nDepth : {15, 16, 24, 32}) {
        auto s = MakeSurface(nDepth, 12, 9);
        {
            auto f = Frame(good);
            const int nBefore = nDrawn;
            drawAndCheck(s.get(), *f, 5, 4, 10, 1);
            drawAndCheck(s.get(), *f, -4, -3, 0, 0);
            EXPECT_EQ(nDrawn, nBefore + 2);
        }
        for (size_t n = 19; n < good.size(); ++n) {
            CTgaFrame f;
            FILE* fp = fmemopen(const_cast<std::uint8_t*>(good.data()), n, "rb");
            ASSERT_NE(fp, nullptr);
            if (f.LoadFromFile(fp, DWORD(n))) drawAndCheck(s.get(), f, 5, 4, 10, 1);
            std::fclose(fp);
        }
        for (int k = 0; k < 100; ++k) {
            Bytes bad = good;
            for (int j = 0; j < 5; ++j) bad[18 + next() % (bad.size() - 18)] = BYTE(next());
            CTgaFrame f;
            FILE* fp = fmemopen(bad.data(), bad.size(), "rb");
            ASSERT_NE(fp, nullptr);
            if (f.LoadFromFile(fp, DWORD(bad.size())))
                drawAndCheck(s.get(), f, int(next() % 20) - 8, int(next() % 16) - 8, 0, 0);
            std::fclose(fp);
        }
    }
    EXPECT_GT(nDrawn, 200);
}

}  // namespace
