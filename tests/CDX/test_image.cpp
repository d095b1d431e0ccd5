#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CDX/CDXImage.h"
#include "platform/Files.h"
#include "platform/PixelMask.h"
#include "platform/Stream.h"
#include "tests/TempFolder.h"
#include "tools/gamekit/ImageWriters.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct SurfaceDeleter {
    void operator()(CVideoSurface* p) const { if (p) p->Release(); }
};
using SurfacePtr = std::unique_ptr<CVideoSurface, SurfaceDeleter>;

WORD Pack565(std::uint32_t c) {
    return WORD((((c >> 16) & 0xFF) >> 3) << 11 | (((c >> 8) & 0xFF) >> 2) << 5 | ((c & 0xFF) >> 3));
}

WORD PixelAt(CVideoSurface* p, int x, int y) {
    const BYTE* q = p->Bits() + size_t(y) * size_t(p->Pitch()) + size_t(x) * 2;
    return WORD(q[0] | (q[1] << 8));
}

// A 7 x 5 picture (odd width, so rows are padded) of 12 colours whose channels are
// multiples of 8, with an alpha that differs per pixel; every quarter is distinct so
// a flipped or mirrored decode shows.
PictureRgba TestPicture() {
    static const std::uint32_t colours[12] = {0xF80000, 0x00F800, 0x0000F8, 0xF8F800, 0x00F8F8, 0xF800F8,
                                              0x000000, 0xF8F8F8, 0x804020, 0x204080, 0x408040, 0x100818};
    PictureRgba pic(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            pic.At(x, y) = colours[(x / 2 + y * 3 + (x > 4 ? 1 : 0)) % 12] | (std::uint32_t(x * 30 + y * 5 + 3) << 24);
    return pic;
}

class ImageTest : public ::testing::Test {
protected:
    CVideoDevice* m_pDevice = CVideoDevice::Create();
    ~ImageTest() override { if (m_pDevice) m_pDevice->Release(); }

    // Decodes and checks every pixel against the picture (grey: the green channel).
    void ExpectDecodes(const Bytes& data, const PictureRgba& pic, bool bAlpha, bool bGrey = false) {
        ASSERT_FALSE(data.empty());
        CDXImage image;
        SurfacePtr p(image.GetImageFromMemory(m_pDevice, DWORD(data.size()), data.data(), 1, 0));
        ASSERT_TRUE(p) << image.GetError();
        ASSERT_EQ(p->Width(), pic.nWidth);
        ASSERT_EQ(p->Height(), pic.nHeight);
        std::unique_ptr<BYTE[]> pAlpha(image.TakeAlpha());
        EXPECT_EQ(pAlpha != nullptr, bAlpha);
        for (int y = 0; y < pic.nHeight; ++y)
            for (int x = 0; x < pic.nWidth; ++x) {
                std::uint32_t c = pic.At(x, y);
                if (bGrey) c = ((c >> 8) & 0xFF) * 0x010101;
                ASSERT_EQ(PixelAt(p.get(), x, y), Pack565(c)) << "at " << x << "," << y;
                if (pAlpha) {
                    ASSERT_EQ(pAlpha[size_t(y) * size_t(pic.nWidth) + size_t(x)], c >> 24) << x << "," << y;
                }
            }
    }
    SurfacePtr Decode(const Bytes& data) {
        CDXImage image;
        SurfacePtr p(image.GetImageFromMemory(m_pDevice, DWORD(data.size()), data.data(), 1, 0));
        delete[] image.TakeAlpha();
        return p;
    }
};

struct Variant {
    std::string strName;
    Bytes data;
    bool bAlpha;
    bool bGrey;
};

std::vector<Variant> AllVariants(const PictureRgba& pic) {
    std::vector<Variant> v;
    for (int nBits : {4, 8, 16, 24, 32}) {
        v.push_back({"bmp" + std::to_string(nBits), BuildBmp(pic, {nBits, false, false, false}), nBits == 32, false});
        v.push_back({"bmp top-down " + std::to_string(nBits), BuildBmp(pic, {nBits, false, true, false}), nBits == 32, false});
    }
    v.push_back({"bmp rle8", BuildBmp(pic, {8, true, false, false}), false, false});
    v.push_back({"bmp 565 masks", BuildBmp(pic, {16, false, false, true}), false, false});
    v.push_back({"bmp 32 masks", BuildBmp(pic, {32, false, false, true}), true, false});
    for (bool bTop : {false, true}) {
        const std::string o = bTop ? " top-down" : "";
        for (int nType : {1, 9}) {
            v.push_back({"tga map" + std::to_string(nType) + o, BuildTga(pic, {nType, 8, bTop, true, 0}), false, false});
            v.push_back({"tga map first 5 " + std::to_string(nType) + o, BuildTga(pic, {nType, 8, bTop, true, 5}), false, false});
        }
        for (int nType : {2, 10})
            for (int nDepth : {16, 24, 32})
                v.push_back({"tga" + std::to_string(nType) + "/" + std::to_string(nDepth) + o,
                             BuildTga(pic, {nType, nDepth, bTop, true, 0}), nDepth == 32, false});
        for (int nType : {3, 11}) v.push_back({"tga grey" + std::to_string(nType) + o, BuildTga(pic, {nType, 8, bTop, true, 0}), false, true});
    }
    for (int nChannels : {3, 4, 6})
        for (bool bPack : {false, true})
            v.push_back({"psd" + std::to_string(nChannels) + (bPack ? " packbits" : " raw"), BuildPsd(pic, {nChannels, bPack}), false, false});
    v.push_back({"pcx8", BuildPcx(pic, {1}), false, false});
    v.push_back({"pcx24", BuildPcx(pic, {3}), false, false});
    return v;
}

TEST_F(ImageTest, EveryWrittenVariantDecodesExactly) {
    const PictureRgba pic = TestPicture();
    for (const Variant& v : AllVariants(pic)) {
        SCOPED_TRACE(v.strName);
        // 5-5-5 fields widen by repeating their top bits, so a full field is full scale.
        PictureRgba expect = pic;
        if (v.strName == "bmp16" || v.strName == "bmp top-down 16")
            for (auto& c : expect.pixels) {
                const std::uint32_t g5 = (c >> 11) & 31;
                c = (c & ~0xFF00u) | (((g5 << 3) | (g5 >> 2)) << 8);
            }
        ExpectDecodes(v.data, expect, v.bAlpha, v.bGrey);
    }
    PictureRgba two(9, 3, 0xFF0000F8);
    two.At(0, 0) = 0xFFF8F800;
    two.At(8, 2) = 0xFFF8F800;
    SCOPED_TRACE("bmp1");
    ExpectDecodes(BuildBmp(two, {1, false, false, false}), two, false);
}

TEST_F(ImageTest, DetectsTypesInOrder) {
    const PictureRgba pic = TestPicture();
    const Bytes tga = BuildTga(pic);
    EXPECT_EQ(CDXImage::DetectType(DWORD(tga.size()), tga.data()), CDXImage::TypeTga);
    const Bytes bmp = BuildBmp(pic);
    EXPECT_EQ(CDXImage::DetectType(DWORD(bmp.size()), bmp.data()), CDXImage::TypeBmp);
    const Bytes psd = BuildPsd(pic);
    EXPECT_EQ(CDXImage::DetectType(DWORD(psd.size()), psd.data()), CDXImage::TypePsd);
    const Bytes pcx = BuildPcx(pic);
    EXPECT_EQ(CDXImage::DetectType(DWORD(pcx.size()), pcx.data()), CDXImage::TypePcx);
    // Without the version-2 footer a TGA is not recognised.
    const Bytes bare = BuildTga(pic, {2, 24, false, false, 0});
    EXPECT_EQ(CDXImage::DetectType(DWORD(bare.size()), bare.data()), CDXImage::TypeUnknown);
    CDXImage image;
    EXPECT_EQ(image.GetImageFromMemory(m_pDevice, DWORD(bare.size()), bare.data(), 1, 0), nullptr);
    EXPECT_EQ(image.GetError(), "unsupported image type");
    // A footer with an unusable depth byte falls through to the later tests.
    Bytes odd = tga;
    odd[16] = 15;
    EXPECT_EQ(CDXImage::DetectType(DWORD(odd.size()), odd.data()), CDXImage::TypeUnknown);
    const BYTE tiny[3] = {10, 5, 1};
    EXPECT_EQ(CDXImage::DetectType(3, tiny), CDXImage::TypePcx);
    EXPECT_EQ(Decode(Bytes(tiny, tiny + 3)), nullptr);
}

// Pictures made once by an independent encoder decode to the pixels they were made from.
TEST_F(ImageTest, CrossCheckSetMatchesExpectedPixels) {
    const std::string dir = std::string(GAME_SOURCE_DIR) + "/tests/CDX/imagecheck/";
    std::ifstream in(dir + "expected.txt");
    int w = 0, h = 0;
    ASSERT_TRUE(in >> w >> h);
    PictureRgba pic(w, h);
    for (auto& c : pic.pixels) {
        int r, g, b, a;
        ASSERT_TRUE(in >> r >> g >> b >> a);
        c = Argb(a, r, g, b);
    }
    const struct { const char* pszFile; bool bAlpha; } files[] = {
        {"bmp24.bmp", false}, {"bmp8.bmp", false},   {"bmp8rle.bmp", false}, {"bmp32.bmp", true},
        {"tga24.tga", false}, {"tga32rle.tga", true}, {"psd3raw.psd", false}, {"psd4rle.psd", false},
        {"pcx24.pcx", false}, {"pcx8.pcx", false}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.pszFile);
        std::ifstream file(dir + f.pszFile, std::ios::binary);
        Bytes data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        PictureRgba expect = pic;
        if (!f.bAlpha)
            for (auto& c : expect.pixels) c |= 0xFF000000;
        ExpectDecodes(data, expect, f.bAlpha);
    }
}

// Truncated and corrupted files never read or write outside their buffers (the
// sanitizers watch), and files cut inside their pixels fail.
TEST_F(ImageTest, TruncatedAndCorruptedFilesFailCleanly) {
    const PictureRgba pic = TestPicture();
    std::uint32_t nSeed = 12345;
    auto next = [&] { nSeed = nSeed * 1103515245u + 12345u; return nSeed >> 8; };
    for (const Variant& v : AllVariants(pic)) {
        SCOPED_TRACE(v.strName);
        for (size_t n = 1; n < v.data.size(); n += n < 64 ? 1 : 5) {
            Bytes cut(v.data.begin(), v.data.begin() + std::ptrdiff_t(n));
            SurfacePtr p = Decode(cut);
            // A cut TGA loses its footer; the others lose pixels (PCX: the pixels or
            // the closing table, which then stays black).
            // Channels past the fourth are not read, so a PSD cut inside them still loads.
            const bool bMustFail = v.strName.rfind("pcx8", 0) != 0 && v.strName.rfind("psd6", 0) != 0;
            if (bMustFail) {
                EXPECT_FALSE(p) << "cut at " << n;
            }
        }
        for (int k = 0; k < 60; ++k) {
            Bytes bad = v.data;
            for (int j = 0; j < 4; ++j) bad[next() % bad.size()] = BYTE(next());
            Decode(bad);
        }
    }
}

TEST_F(ImageTest, ImpossibleHeadersAreRefused) {
    PictureRgba pic = TestPicture();
    Bytes bmp = BuildBmp(pic, {24, false, false, false});
    Bytes big = bmp;
    big[18] = 0x01; big[19] = 0x40; big[20] = 0; big[21] = 0;  // width 16385
    EXPECT_FALSE(Decode(big));
    Bytes huge = bmp;
    huge[22] = 0xFF; huge[23] = 0xFF; huge[24] = 0xFF; huge[25] = 0x7F;
    EXPECT_FALSE(Decode(huge));
    Bytes header = bmp;
    header[14] = 0xF0; header[15] = 0xFF; header[16] = 0xFF; header[17] = 0x7F;  // info header past the end
    EXPECT_FALSE(Decode(header));
    Bytes offset = bmp;
    offset[10] = 0xFF; offset[11] = 0xFF; offset[12] = 0xFF; offset[13] = 0x0F;
    EXPECT_FALSE(Decode(offset));

    Bytes psd = BuildPsd(pic, {3, false});
    Bytes cmyk = psd;
    cmyk[25] = 4;
    EXPECT_FALSE(Decode(cmyk));
    Bytes deep = psd;
    deep[23] = 16;
    EXPECT_FALSE(Decode(deep));
    Bytes wide = psd;
    wide[18] = 0x7F;  // width far above 16384
    EXPECT_FALSE(Decode(wide));

    // A PCX run that passes the end of its plane line fails the load.
    Bytes pcx = BuildPcx(pic, {3});
    Bytes run = pcx;
    run[128] = 0xC0 | 63;
    EXPECT_FALSE(Decode(run));
    Bytes narrow = pcx;
    narrow[66] = 2;  // bytes per line below the width
    narrow[67] = 0;
    EXPECT_FALSE(Decode(narrow));
}

// A colour count above what the depth addresses reads only the table that fits, at
// 14 + the info header's own size (here a 124-byte header).
TEST_F(ImageTest, BmpColourTableCountIsBounded) {
    PictureRgba pic(4, 4);
    for (int i = 0; i < 16; ++i) pic.pixels[size_t(i)] = 0xFF000000 | std::uint32_t(i * 0x100800 + 0x08);
    const Bytes bmp = BuildBmp(pic, {4, false, false, false});
    ASSERT_EQ(bmp.size(), 14u + 40 + 64 + 16);
    // The same file with a 124-byte info header and a colour count of 1000.
    Bytes v5(bmp.begin(), bmp.begin() + 54);
    v5[14] = 124;
    v5[46] = 0xE8;
    v5[47] = 0x03;
    v5.resize(14 + 124, 0);
    v5.insert(v5.end(), bmp.begin() + 54, bmp.end());
    v5[10] = BYTE(14 + 124 + 64);
    ExpectDecodes(v5, pic, false);
}

TEST_F(ImageTest, FilesAndStreams) {
    const CTempFolder folder("image_test");
    const std::filesystem::path dir = folder.Path();
    const PictureRgba pic = TestPicture();
    const Bytes tga = BuildTga(pic, {10, 32, false, true, 0});
    const std::string file = (dir / "pic.tga").string();
    ASSERT_TRUE(WriteBytesToFile(file.c_str(), tga));
    // A read-only picture file loads: it is opened for reading only.
    ::chmod(file.c_str(), 0444);
    {
        CDXImage image;
        SurfacePtr p(image.GetImage(m_pDevice, file.c_str(), 1));
        ASSERT_TRUE(p) << image.GetError();
        std::unique_ptr<BYTE[]> pAlpha(image.TakeAlpha());
        EXPECT_TRUE(pAlpha);
    }
    {
        CDXImage image;
        EXPECT_EQ(image.GetImage(m_pDevice, (dir / "missing.bmp").string().c_str(), 1), nullptr);
    }
    // A stream read with size 0 runs from its position to its end.
    const Bytes bmp = BuildBmp(pic, {24, false, false, false});
    const std::string pack = (dir / "pack.bin").string();
    Bytes both(5 + bmp.size(), 0xAA);
    std::copy(bmp.begin(), bmp.end(), both.begin() + 5);
    ASSERT_TRUE(WriteBytesToFile(pack.c_str(), both));
    FILE* f = std::fopen(pack.c_str(), "rb");
    ASSERT_TRUE(f);
    std::fseek(f, 5, SEEK_SET);
    {
        CDXImage image;
        SurfacePtr p(image.GetImageFromStream(m_pDevice, 0, f, 1, 0));
        ASSERT_TRUE(p) << image.GetError();
        EXPECT_EQ(PixelAt(p.get(), 6, 4), Pack565(pic.At(6, 4)));
        EXPECT_EQ(image.TakeAlpha(), nullptr);
    }
    std::fseek(f, 5, SEEK_SET);
    {
        CDXImage image;  // a size that runs past the end fails
        EXPECT_EQ(image.GetImageFromStream(m_pDevice, DWORD(bmp.size() + 1), f, 1, 0), nullptr);
    }
    std::fclose(f);
    {
        CDXFile file2;
        ASSERT_EQ(file2.Open(pack.c_str()), 0);
        EXPECT_EQ(file2.Size(), both.size());
        ASSERT_TRUE(file2.Seek(5));
        CDXImage image;
        SurfacePtr p(image.GetImageFromFile(m_pDevice, &file2, DWORD(bmp.size()), 1, 0));
        EXPECT_TRUE(p);
        EXPECT_EQ(file2.Close(), 0);
        EXPECT_EQ(file2.Close(), -1);
    }
    int w = 0, h = 0;
    SurfacePtr pBmp(LoadBitmapSurface(m_pDevice, pack.c_str(), &w, &h, 1));
    EXPECT_FALSE(pBmp);  // the file does not start with a BMP
    const std::string single = (dir / "one.bmp").string();
    ASSERT_TRUE(WriteBytesToFile(single.c_str(), bmp));
    pBmp.reset(LoadBitmapSurface(m_pDevice, single.c_str(), &w, &h, 1));
    EXPECT_TRUE(pBmp);
    EXPECT_EQ(w, 7);
    EXPECT_EQ(h, 5);
    pBmp.reset();
    ::chmod(file.c_str(), 0644);
}

// An 8-bit run-length BMP of the given size whose colour table has 8 entries, entry i
// being red 32 * i, with the run-length data as given.
Bytes RleBmp(int nWidth, int nHeight, const Bytes& rle) {
    CByteWriter w;
    w.WriteU16(0x4D42);
    w.WriteU32(std::uint32_t(14 + 40 + 32 + rle.size()));
    w.WriteU32(0);
    w.WriteU32(14 + 40 + 32);
    w.WriteU32(40);
    w.WriteU32(std::uint32_t(nWidth));
    w.WriteU32(std::uint32_t(nHeight));
    w.WriteU16(1);
    w.WriteU16(8);
    w.WriteU32(1);
    w.WriteU32(std::uint32_t(rle.size()));
    w.WriteU32(0);
    w.WriteU32(0);
    w.WriteU32(8);
    w.WriteU32(0);
    for (int i = 0; i < 8; ++i) w.WriteU32(std::uint32_t(i * 32) << 16);
    Bytes b = w.Bytes();
    b.insert(b.end(), rle.begin(), rle.end());
    return b;
}

// Headers that claim a 16384 x 16384 picture over a few hundred bytes of data fail
// before anything of the picture's size is allocated.
// Runs and moves that pass the row end are cut at it, however many there are.
TEST_F(ImageTest, BmpRunsStopAtTheRowEnd) {
    // 4 x 2: the bottom row gets a run of 6, the top row 3 literal bytes, a move far to
    // the right and a run there.
    const Bytes small = {6, 1, 0, 0, 0, 3, 2, 2, 2, 0, 0, 2, 200, 0, 5, 3, 0, 1};
    CDXImage image;
    const Bytes bmp = RleBmp(4, 2, small);
    SurfacePtr p(image.GetImageFromMemory(m_pDevice, DWORD(bmp.size()), bmp.data(), 1, 0));
    ASSERT_TRUE(p) << image.GetError();
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(PixelAt(p.get(), x, 1), Pack565(0x200000)) << x;
        EXPECT_EQ(PixelAt(p.get(), x, 0), Pack565(x < 3 ? 0x400000 : 0)) << x;
    }
    // Over 8 million runs of 255 on a one-pixel row: the column would pass 2^31.
    Bytes runs;
    runs.reserve(17000004);
    for (int i = 0; i < 8500000; ++i) {
        runs.push_back(255);
        runs.push_back(7);
    }
    runs.push_back(0);
    runs.push_back(1);
    const Bytes longRow = RleBmp(1, 1, runs);
    p.reset(image.GetImageFromMemory(m_pDevice, DWORD(longRow.size()), longRow.data(), 1, 0));
    ASSERT_TRUE(p) << image.GetError();
    EXPECT_EQ(PixelAt(p.get(), 0, 0), Pack565(0xE00000));
}

// Channel fields of every width convert to and from 8-bit intensities the same way
// for the loaders, the screen and the presentation.
TEST(PixelMaskTest, FieldsOfEveryWidth) {
    const PixelMask red565 = MaskShape(0xF800), green565 = MaskShape(0x07E0), none = MaskShape(0);
    EXPECT_EQ(red565.nShift, 11);
    EXPECT_EQ(red565.nBits, 5);
    EXPECT_EQ(green565.nBits, 6);
    EXPECT_EQ(none.nBits, 0);
    EXPECT_EQ(UnpackChannel(red565, 0xF800), 255);
    EXPECT_EQ(UnpackChannel(red565, 0x8000), 0x84);  // 10000 -> 10000100
    EXPECT_EQ(UnpackChannel(green565, 0x07E0), 255);
    EXPECT_EQ(UnpackChannel(MaskShape(0x1), 1), 255);
    EXPECT_EQ(UnpackChannel(none, 0xFFFFFFFF), 0);
    const PixelMasks m565(0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(m565.Pack(0xBE, 0xF8, 0xFB), 0xBFDFu);
    EXPECT_EQ(m565.Pack(0xFF, 0xFF, 0xFF), 0xFFFFu);
    // Fields wider than a byte: 10-10-10 keeps the byte at the top of each field.
    const PixelMasks m1010(0x3FF00000, 0x000FFC00, 0x000003FF);
    EXPECT_EQ(m1010.Pack(0xFF, 0x80, 0x01), (0x3FCu << 20) | (0x200u << 10) | 0x004u);
    EXPECT_EQ(UnpackChannel(m1010.red, 0x3FF00000), 255);
    EXPECT_EQ(UnpackChannel(m1010.green, 0x200u << 10), 0x80);
    // A whole-word field and one at the top bit.
    EXPECT_EQ(UnpackChannel(MaskShape(0xFFFFFFFF), 0xAB000000), 0xAB);
    EXPECT_EQ(PackChannel(MaskShape(0xFFFFFFFF), 0xAB), 0xAB000000u);
    EXPECT_EQ(PackChannel(MaskShape(0x80000000), 0x80), 0x80000000u);
    // Bits of a mask with a gap above its field are never filled.
    EXPECT_EQ(PackChannel(MaskShape(0x0F0F), 0xFF), 0x000Fu);
}

// A BMP with 10-bit channel masks keeps the top 8 bits of each field.
TEST_F(ImageTest, BmpWideChannelMasks) {
    PictureRgba pic(2, 1);
    const Bytes bmp = BuildBmp(pic, {32, false, false, true});
    ASSERT_FALSE(bmp.empty());
    Bytes wide = bmp;
    const std::uint32_t masks[4] = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000};
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k) wide[54 + size_t(4 * i + k)] = BYTE(masks[i] >> (8 * k));
    const DWORD dwOffset = DWORD(wide[10]) | (DWORD(wide[11]) << 8);
    const std::uint32_t pixels[2] = {(0x3FFu << 20) | (0x100u << 10) | 0x3FCu | 0xC0000000u,
                                     (0x07Fu << 20) | (0x3FFu << 10) | 0x000u | 0x40000000u};
    for (int i = 0; i < 2; ++i)
        for (int k = 0; k < 4; ++k) wide[dwOffset + size_t(4 * i + k)] = BYTE(pixels[i] >> (8 * k));
    CDXImage image;
    SurfacePtr p(image.GetImageFromMemory(m_pDevice, DWORD(wide.size()), wide.data(), 1, 0));
    ASSERT_TRUE(p) << image.GetError();
    std::unique_ptr<BYTE[]> pAlpha(image.TakeAlpha());
    ASSERT_TRUE(pAlpha);
    EXPECT_EQ(PixelAt(p.get(), 0, 0), Pack565(0xFF40FF));
    EXPECT_EQ(PixelAt(p.get(), 1, 0), Pack565(0x1FFF00));
    EXPECT_EQ(pAlpha[0], 255);
    EXPECT_EQ(pAlpha[1], 0x55);
}

}  // namespace
