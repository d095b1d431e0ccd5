#include <gtest/gtest.h>

#include "CDX/CDXSprite.h"
#include "tests/CDX/BlitTestUtil.h"

namespace {

// Writes a 16-bit sheet whose pixel (x, y) holds 1 + x + 64 y (key pixels where given) as a BMP.
std::string WriteSheet(CDXScreen& screen, const std::string& dir, const char* pszName, int w, int h,
                       DWORD key = 0, int nKeyEvery = 0) {
    auto s = MakeSurface(screen, 16, w, h);
    s->Lock();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s->PutPixel(x, y, nKeyEvery && (x + y) % nKeyEvery == 0 ? key : DWORD(1 + x + 64 * y));
    s->Unlock();
    const std::string path = dir + "/" + pszName;
    s->SaveAsBmp(path.c_str());
    return path;
}

TEST(Tile, CutsTheSheetLeftToRightTopToBottom) {
    CDXScreen screen;
    const CTempFolder folder("cdx_tile");
    const std::string& dir = folder.Path();
    const std::string sheet = WriteSheet(screen, dir, "sheet.bmp", 100, 50);
    CDXTile t;
    ASSERT_EQ(t.Create(&screen, sheet.c_str(), 24, 20, 0), 1);
    EXPECT_EQ(t.GetColumns(), 4);
    EXPECT_EQ(t.GetRows(), 2);
    EXPECT_EQ(t.GetTileCount(), 8);
    const RECT* r = t.GetTileRect(5);
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(EqualRect(*r, RECT{24, 20, 48, 40}));
    // The 4 pixels left over on the right are not used: tile 4 starts the second row.
    EXPECT_TRUE(EqualRect(*t.GetTileRect(4), RECT{0, 20, 24, 40}));
    EXPECT_EQ(t.GetTileRect(8), nullptr);

    // More tiles than fit go on below the sheet's bottom edge.
    CDXTile more;
    ASSERT_EQ(more.Create(&screen, sheet.c_str(), 24, 20, 10), 1);
    EXPECT_TRUE(EqualRect(*more.GetTileRect(9), RECT{24, 40, 48, 60}));

    // A tile larger than the sheet: the whole sheet's size and no columns, so no tiles.
    CDXTile big;
    ASSERT_EQ(big.Create(&screen, sheet.c_str(), 200, 20, 0), 1);
    EXPECT_EQ(big.GetTileWidth(), 100);
    EXPECT_EQ(big.GetColumns(), 0);
    EXPECT_EQ(big.GetTileCount(), 0);

    CDXTile bad;
    EXPECT_EQ(bad.Create(&screen, sheet.c_str(), 0, 20, 0), 0);
    EXPECT_EQ(bad.Create(&screen, sheet.c_str(), 24, 0, 0), 0);
    EXPECT_EQ(bad.Create(&screen, nullptr, 24, 20, 0), 0);
    EXPECT_EQ(bad.Create(&screen, (dir + "/missing.bmp").c_str(), 24, 20, 0), 0);
}

TEST(Sprite, CreatesFromAStreamAndFromAFile) {
    CDXScreen screen;
    const CTempFolder folder("cdx_spritecreate");
    const std::string& dir = folder.Path();
    const std::string sheet = WriteSheet(screen, dir, "s.bmp", 48, 25);
    // A package holds the BMP after other bytes; the sprite reads from the stream's position.
    const auto bmp = ReadFileBytes(sheet);
    const std::string pkg = dir + "/pack.bin";
    FILE* f = std::fopen(pkg.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite("JUNKJUNK", 1, 8, f);
    std::fwrite(bmp.data(), 1, bmp.size(), f);
    std::fclose(f);
    f = std::fopen(pkg.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::fseek(f, 8, SEEK_SET);
    CDXSprite sprite;
    sprite.SetPos(5, 5);
    ASSERT_EQ(sprite.Create(&screen, f, 24, 25, 2), 1);
    std::fclose(f);
    EXPECT_EQ(sprite.GetPosX(), 0);
    ASSERT_NE(sprite.GetTile(), nullptr);
    EXPECT_EQ(sprite.GetTile()->GetTileWidth(), 24);
    EXPECT_EQ(sprite.GetTile()->GetTileCount(), 2);
    auto dst = MakeSurface(screen, 16, 24, 25);
    EXPECT_EQ(sprite.SetFrame(1)->Draw(dst.get(), 0, 0, BLT_OPAQUE), 0);
    EXPECT_EQ(ReadPixel(*dst, 0, 0), DWORD(1 + 24));
    EXPECT_EQ(sprite.Create(&screen, nullptr, 24, 25, 2), 0);

    CDXSprite fromFile;
    EXPECT_EQ(fromFile.CreateFromTileFile(&screen, nullptr, 24, 25, 0), -1);
    EXPECT_EQ(fromFile.CreateFromTileFile(&screen, (dir + "/none.bmp").c_str(), 24, 25, 0), -3);
    EXPECT_EQ(fromFile.CreateFromTileFile(&screen, sheet.c_str(), 24, 25, 0), 1);
    EXPECT_EQ(fromFile.CreateFromTileFile(&screen, sheet.c_str(), 24, 25, 0), -2);

    CDXSprite empty;
    EXPECT_EQ(empty.Draw(dst.get(), 0, 0, BLT_KEYED), -1);
    CDXSprite zero;
    f = std::fopen(sheet.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(zero.Create(&screen, f, 0, 25, 1), 1);  // kept as given
    std::fclose(f);
    EXPECT_EQ(zero.Draw(dst.get(), 0, 0, BLT_OPAQUE), -1);  // no tiles: nothing, no division
}

class SpriteDraw : public ::testing::Test {
protected:
    void SetUp() override {
        dir = m_folder.Path();
        // 4 x 3 frames, key 0x0F0F on every third diagonal.
        const std::string sheet = WriteSheet(screen, dir, "k.bmp", 8, 3, 0x0F0F, 3);
        ASSERT_EQ(sprite.CreateFromTileFile(&screen, sheet.c_str(), 4, 3, 0), 1);
        sprite.SetColorKey();
        dst = MakeSurface(screen, 16, 12, 10);
    }
    DWORD Src(int x, int y) { return ReadPixel(*sprite.GetTile(), x, y); }
    DWORD Dst(int x, int y) { return ReadPixel(*dst, x, y); }
    std::vector<BYTE> DrawnWith(WORD type) {
        dst->Fill(0x2222);
        sprite.Draw(dst.get(), 0, 0, type);
        return Snapshot(*dst);
    }

    CDXScreen screen;
    CTempFolder m_folder{"cdx_spritedraw"};
    std::string dir;
    CDXSprite sprite;
    std::unique_ptr<CDXSurface> dst;
};

TEST_F(SpriteDraw, TypesTheTableDoesNotServeDrawNothing) {
    sprite.SetPos(1, 1);
    const auto blank = DrawnWith(6);
    EXPECT_EQ(DrawnWith(121), blank);
    EXPECT_EQ(DrawnWith(106), blank);
    EXPECT_EQ(DrawnWith(50), blank);
    EXPECT_NE(DrawnWith(BLT_KEYED), blank);
    for (BYTE b : blank) EXPECT_EQ(b, 0x22);
}

TEST_F(SpriteDraw, KeyedTypesAndTheirAlphaForms) {
    sprite.SetPos(3, 2);
    sprite.SetFrame(1);
    const auto keyed = DrawnWith(BLT_KEYED);
    int nKeys = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const DWORD s = Src(4 + x, y);
            nKeys += s == 0x0F0F;
            EXPECT_EQ(Dst(3 + x, 2 + y), s == 0x0F0F ? 0x2222u : s) << x << "," << y;
        }
    EXPECT_EQ(nKeys, 4);  // frame 1 holds key and opaque pixels
    sprite.SetAlpha(0);
    EXPECT_EQ(DrawnWith(BLT_ALPHAKEYED), keyed);
    sprite.SetAlpha(256);
    const auto none = DrawnWith(BLT_ALPHAKEYED);
    EXPECT_EQ(none, DrawnWith(6));
    // The scroll is subtracted from the position.
    dst->Fill(0x2222);
    sprite.Draw(dst.get(), 1, -1, BLT_OPAQUE);
    EXPECT_EQ(Dst(2, 3), Src(4, 0));
}

TEST_F(SpriteDraw, OutlineUsesTheOffsetAndColour) {
    sprite.SetPos(4, 4);
    sprite.m_nOffsetX = 1;
    sprite.m_nOffsetY = 2;
    sprite.m_dwOutlineColour = 0x07E0;
    const auto drawn = DrawnWith(BLT_OUTLINE);
    auto expected = MakeSurface(screen, 16, 12, 10);
    expected->Fill(0x2222);
    const RECT rc{0, 0, 4, 3};
    sprite.GetTile()->BlitOutlined(expected.get(), 3, 2, &rc, 4, 3, 0x07E0);
    EXPECT_EQ(drawn, Snapshot(*expected));
    EXPECT_EQ(Dst(2, 3), 0x07E0u);  // left of the opaque pixel (0, 1) of the frame
}

TEST_F(SpriteDraw, FreeModesDrawPlainTransforms) {
    sprite.SetPos(2, 2);
    // Mirrored: column x of the frame lands at column 3 - x; the other axis flips rows.
    DrawnWith(BLT_MIRROR);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(Dst(2 + 3 - x, 2 + y), Src(x, y));
    DrawnWith(BLT_FLIP);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(Dst(2 + x, 2 + 2 - y), Src(x, y));
    // Keyed mirror leaves the key pixels out.
    DrawnWith(BLT_MIRRORKEYED);
    EXPECT_EQ(Dst(2 + 3, 2), Src(0, 0) == 0x0F0F ? 0x2222u : Src(0, 0));
    // Scaled by 2: each pixel becomes a 2 x 2 block.
    sprite.m_fScale = 2.0f;
    DrawnWith(BLT_SCALED);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(Dst(2 + x, 2 + y), Src(x / 2, y / 2));
    // Rotated by 180 degrees: the frame's pixel (2, 1) stays on the centre point (6, 5) and
    // the rest turns around it, mirror and flip together.
    sprite.m_fScale = 1.0f;
    sprite.m_nAngle = 180;
    sprite.SetPos(4, 4);
    DrawnWith(BLT_ROTOZOOM);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(Dst(4 + 3 - x, 4 + 1 - y), Src(x, y)) << x << "," << y;
    sprite.m_nAngle = 0;
    DrawnWith(BLT_ROTOZOOM);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(Dst(4 + x, 4 + y), Src(x, y)) << x << "," << y;
    // Shadows darken the destination under the picture, moved by the offset.
    sprite.m_nOffsetX = 1;
    sprite.m_nOffsetY = 1;
    sprite.m_shadowAlpha = 0;
    DrawnWith(BLT_SHADOW);
    EXPECT_EQ(Dst(3, 3), 0u);
    EXPECT_EQ(Dst(7, 3), 0x2222u);
    DrawnWith(BLT_HALFSHADOW);
    EXPECT_EQ(Dst(3, 3), (0x2222u >> 1) & 0x7BEF);
    // The stretched type draws the frame at the stretch size.
    sprite.m_stretchWidth = 8;
    sprite.m_stretchHeight = 6;
    DrawnWith(BLT_STRETCHED);
    EXPECT_EQ(Dst(4 + 7, 4 + 5), Src(3, 2));
}

TEST(Sprite, BoxesThatTouchCollide) {
    CDXScreen screen;
    const CTempFolder folder("cdx_hits");
    const std::string& dir = folder.Path();
    const std::string sheet = WriteSheet(screen, dir, "h.bmp", 10, 10);
    CDXSprite a, b;
    ASSERT_EQ(a.CreateFromTileFile(&screen, sheet.c_str(), 10, 10, 1), 1);
    ASSERT_EQ(b.CreateFromTileFile(&screen, sheet.c_str(), 10, 10, 1), 1);
    a.SetPos(0, 0);
    b.SetPos(10, 0);  // shares the edge x = 10
    EXPECT_TRUE(a.HitsBox(&b));
    EXPECT_TRUE(b.HitsBox(&a));
    b.SetPos(11, 0);
    EXPECT_FALSE(a.HitsBox(&b));
    b.SetPos(5, -10);
    EXPECT_TRUE(a.HitsBox(&b));
    b.SetPos(5, -11);
    EXPECT_FALSE(a.HitsBox(&b));
    EXPECT_FALSE(a.HitsBox(&a));
    CDXSprite none;
    EXPECT_FALSE(a.HitsBox(&none));
}

}  // namespace
