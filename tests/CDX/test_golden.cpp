// Golden pictures: one small sheet per depth with every blit drawn over a checkerboard,
// and one with every sprite blit type. The committed hashes come from the scalar
// reference (GAME_REGENERATE_GOLDEN=1 writes them again, with the reference only);
// every set of loops must reproduce them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "CDX/CDXSprite.h"
#include "tests/CDX/BlitTestUtil.h"

namespace {

const std::string kGoldenFile = std::string(GAME_SOURCE_DIR) + "/tests/CDX/golden/blit_goldens.txt";

// A native colour of the depth from 8-bit channels (the fourth byte at 32 bits given apart).
DWORD Native(int nDepth, int r, int g, int b, int a = 0x80) {
    if (nDepth == 15) return DWORD(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
    if (nDepth == 16) return DWORD(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    return DWORD((nDepth == 32 ? a << 24 : 0) | (r << 16) | (g << 8) | b);
}

// 24 x 16: gradients, a magenta key on a lattice, an alpha mask ramp.
std::unique_ptr<CDXSurface> MakeSource(CDXScreen& screen, int nDepth, bool bMask) {
    auto s = MakeSurface(screen, nDepth, 24, 16);
    const DWORD key = Native(nDepth, 255, 0, 255, 0);
    s->Lock();
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            s->PutPixel(x, y, x % 7 == 0 || y % 5 == 0 ? key : Native(nDepth, x * 11, y * 16, 255 - x * 10, x * 10));
    s->Unlock();
    s->SetColorKey(key);
    if (bMask) {
        BYTE* pMask = new BYTE[24 * 16];
        for (int i = 0; i < 24 * 16; ++i) pMask[i] = BYTE((i % 24) * 11 + (i / 24) * 3);
        s->SetAlphaMask(pMask);
    }
    return s;
}

std::unique_ptr<CDXSurface> MakeBoard(CDXScreen& screen, int nDepth, int w, int h) {
    auto d = MakeSurface(screen, nDepth, w, h);
    d->Lock();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            d->PutPixel(x, y, ((x / 8 + y / 8) & 1) ? Native(nDepth, 200, 180, 40, 0x11) : Native(nDepth, 30, 60, 120, 0x22));
    d->Unlock();
    return d;
}

std::vector<BYTE> DrawBlitSheet(CDXScreen& screen, int nDepth, const std::string& saveAs) {
    auto src = MakeSource(screen, nDepth, true);
    auto plain = MakeSource(screen, nDepth, false);
    auto d = MakeBoard(screen, nDepth, 160, 96);
    const RECT part{2, 1, 22, 15};
    // Row 1: copies and the fixed blends.
    src->BlitOpaque(d.get(), 0, 0);
    src->BlitKeyed(d.get(), 26, 0);
    src->BlitSoftware(d.get(), 52, 0, &part);
    src->BlitHalfAlpha(d.get(), 78, 0);
    src->BlitHalfAlphaKeyed(d.get(), 104, 0);
    src->BlitAlphaMask(d.get(), 130, 0);
    // Row 2: alpha 0, 128 and 256, keyed and not; the blend without a mask.
    src->BlitAlpha(d.get(), 0, 18, nullptr, 0);
    src->BlitAlpha(d.get(), 26, 18, nullptr, 128);
    src->BlitAlpha(d.get(), 52, 18, nullptr, 256);
    src->BlitAlphaKeyed(d.get(), 78, 18, nullptr, 0);
    src->BlitAlphaKeyed(d.get(), 104, 18, &part, 128);
    plain->BlitAlphaMask(d.get(), 130, 18);
    // Row 3: fades, outline, stretch up and down.
    src->BlitFaded(d.get(), 0, 36, nullptr, 0);
    src->BlitFaded(d.get(), 26, 36, nullptr, 128);
    src->BlitKeyed(d.get(), 52, 36);
    src->BlitOutlined(d.get(), 52, 36, nullptr, 0, 0, Native(nDepth, 0, 255, 0));
    src->BlitStretched(d.get(), 78, 36, nullptr, 40, 27);
    src->BlitStretched(d.get(), 122, 36, &part, 13, 9);
    // Clipping on all four edges of the surface, then of a clip rectangle.
    src->BlitHalfAlpha(d.get(), -7, 70);
    src->BlitAlpha(d.get(), 150, 66, nullptr, 100);
    src->BlitAlphaMask(d.get(), 40, 88);
    src->BlitFaded(d.get(), 40, -10, nullptr, 200);
    const RECT clip{60, 66, 110, 90};
    d->SetClipRect(&clip);
    src->BlitAlphaKeyed(d.get(), 50, 60, nullptr, 64);
    src->BlitHalfAlphaKeyed(d.get(), 95, 80, nullptr);
    src->BlitStretched(d.get(), 70, 50, nullptr, 30, 30);
    src->BlitOutlined(d.get(), 100, 70, nullptr, 0, 0, Native(nDepth, 255, 255, 255));
    if (!saveAs.empty()) d->SaveAsBmp(saveAs.c_str());
    return Snapshot(*d);
}

// Every sprite blit type from 0 to 121 on a 16-bit board; the sheet comes from a BMP.
std::vector<BYTE> DrawSpriteSheet(CDXScreen& screen, const std::string& saveAs) {
    const CTempFolder folder("cdx_goldensprite");
    const std::string& dir = folder.Path();
    auto sheet = MakeSource(screen, 16, false);
    const std::string name = dir + "/sheet.bmp";
    sheet->SaveAsBmp(name.c_str());
    CDXSprite sprite;
    if (sprite.CreateFromTileFile(&screen, name.c_str(), 12, 8, 0) != 1) return {};
    sprite.SetColorKey();
    sprite.SetAlpha(96);
    sprite.m_fScale = 1.5f;
    sprite.m_nAngle = 30;
    sprite.m_nOffsetX = -2;
    sprite.m_nOffsetY = -3;
    sprite.m_shadowAlpha = 80;
    sprite.m_stretchWidth = 20;
    sprite.m_stretchHeight = 5;
    sprite.m_dwOutlineColour = 0x07E0;
    auto d = MakeBoard(screen, 16, 256, 200);
    int n = 0;
    for (int type = 0; type <= 121; ++type) {
        if ((type > 11 && type < 100) || type == 6 || type == 106) continue;  // drawing nothing, checked elsewhere
        sprite.SetFrame(DWORD(n % 4));
        sprite.SetPos(4 + (n % 8) * 31, 6 + (n / 8) * 24);
        sprite.Draw(d.get(), 0, 0, WORD(type));
        ++n;
    }
    if (!saveAs.empty()) d->SaveAsBmp(saveAs.c_str());
    return Snapshot(*d);
}

std::map<std::string, std::uint64_t> ReadGoldens() {
    std::map<std::string, std::uint64_t> m;
    std::ifstream in(kGoldenFile);
    std::string name;
    std::uint64_t h;
    while (in >> name >> std::hex >> h) m[name] = h;
    return m;
}

// The hashes of every sheet; with a folder, the sheets are also written there as BMP files
// for looking at.
std::map<std::string, std::uint64_t> DrawAll(CDXScreen& screen, const std::string& folder = "") {
    std::map<std::string, std::uint64_t> m;
    auto path = [&](const std::string& name) { return folder.empty() ? folder : folder + "/" + name + ".bmp"; };
    for (int nDepth : {15, 16, 24, 32}) {
        const std::string name = "blits" + std::to_string(nDepth);
        m[name] = Fnv1a(DrawBlitSheet(screen, nDepth, path(name)));
    }
    m["sprites16"] = Fnv1a(DrawSpriteSheet(screen, path("sprites16")));
    return m;
}

TEST(Golden, EveryDepthAndBlitTypeMatchesTheReferencePictures) {
    CDXScreen screen;
    const char* pszRegen = std::getenv("GAME_REGENERATE_GOLDEN");
    if (pszRegen && std::string(pszRegen) == "1") {
        ScopedBlitKernels use(&ReferenceBlitKernels());
        std::ofstream out(kGoldenFile);
        // Kept after the run, so whoever regenerates can look at the pictures.
        CTempFolder viewFolder("cdx_golden_view");
        viewFolder.Keep();
        const std::string& view = viewFolder.Path();
        std::printf("golden pictures written to %s\n", view.c_str());
        for (const auto& [name, h] : DrawAll(screen, view)) out << name << ' ' << std::hex << h << '\n';
        ASSERT_TRUE(out.good()) << kGoldenFile;
    }
    const auto goldens = ReadGoldens();
    ASSERT_EQ(goldens.size(), 5u) << "missing or short " << kGoldenFile;
    for (const BlitKernels* k : AllBlitKernels()) {
        ScopedBlitKernels use(k);
        const auto drawn = DrawAll(screen);
        for (const auto& [name, h] : goldens) {
            ASSERT_TRUE(drawn.count(name)) << name;
            EXPECT_EQ(drawn.at(name), h) << name << " with " << k->pszName;
        }
    }
}

}  // namespace
