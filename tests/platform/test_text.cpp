#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

#include "platform/Charset.h"
#include "platform/FontCache.h"
#include "platform/FontRender.h"
#include "platform/Text.h"
#include "platform/Video.h"

namespace {

// A system-memory surface of one pixel format with a device context on it.
class CCanvas {
public:
    CCanvas(int w, int h, const VideoPixelFormat& fmt, DWORD dwFill = 0) {
        m_pDevice = CVideoDevice::Create();
        SurfaceDesc desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = DWORD(w);
        desc.dwHeight = DWORD(h);
        desc.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        desc.ddpfPixelFormat = fmt;
        m_pDevice->CreateSurface(desc, &m_pSurface);
        Fill(dwFill);
        m_pSurface->GetDC(&m_hDC);
        SetBkMode(m_hDC, TRANSPARENT);
    }
    ~CCanvas() {
        if (m_hDC) m_pSurface->ReleaseDC(m_hDC);
        if (m_pSurface) m_pSurface->Release();
        m_pDevice->Release();
    }
    HDC Dc() const { return m_hDC; }
    int Width() const { return m_pSurface->Width(); }
    int Height() const { return m_pSurface->Height(); }
    void Fill(DWORD dwValue) {
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x) Put(x, y, dwValue);
    }
    DWORD Pixel(int x, int y) const {
        const BYTE* p = m_pSurface->Bits() + y * m_pSurface->Pitch() + x * m_pSurface->BytesPerPixel();
        DWORD v = 0;
        for (int i = 0; i < m_pSurface->BytesPerPixel(); ++i) v |= DWORD(p[i]) << (8 * i);
        return v;
    }
    // Bounding box of every pixel that differs from dwBack; empty when there is none.
    RECT Ink(DWORD dwBack) const {
        RECT r{Width(), Height(), 0, 0};
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                if (Pixel(x, y) != dwBack) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return IsRectEmpty(r) ? RECT{} : r;
    }

private:
    void Put(int x, int y, DWORD v) {
        BYTE* p = m_pSurface->Bits() + y * m_pSurface->Pitch() + x * m_pSurface->BytesPerPixel();
        for (int i = 0; i < m_pSurface->BytesPerPixel(); ++i) p[i] = BYTE(v >> (8 * i));
    }
    CVideoDevice* m_pDevice = nullptr;
    CVideoSurface* m_pSurface = nullptr;
    HDC m_hDC = nullptr;
};

bool Contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

HFONT MakeFont(const char* pszUtf8Face, int nHeight, DWORD nCharSet = GB2312_CHARSET, int nWidth = 0,
               int nWeight = 400) {
    TextCharset cs = nCharSet == CHINESEBIG5_CHARSET ? TextCharset::Big5 : TextCharset::Gbk;
    std::string face = Utf8ToText(pszUtf8Face, cs);
    return CreateFontA(nHeight, nWidth, 0, 0, nWeight, 0, 0, 0, nCharSet, 0, 0, 4, 2, face.c_str());
}

struct FaceCase {
    const char* pszName;  // test name
    const char* pszFace;  // UTF-8; passed in the font's charset
    DWORD nCharSet;
    int nHeight;
    const char* pszFamily;
};
void PrintTo(const FaceCase& fc, std::ostream* pOut) { *pOut << fc.pszName; }

class TextFaceTest : public ::testing::TestWithParam<FaceCase> {};

TEST_P(TextFaceTest, GbkTextLandsInsideTheMeasuredRectangle) {
    const FaceCase& fc = GetParam();
    CCanvas canvas(400, 120, MakePixelFormat565());
    HFONT hFont = MakeFont(fc.pszFace, fc.nHeight, fc.nCharSet);
    ASSERT_NE(hFont, nullptr);
    CFontSystem& fonts = CFontSystem::Instance();
    EXPECT_EQ(fonts.FaceFamily(fonts.PrimaryFace(hFont)), fc.pszFamily);
    SelectObject(canvas.Dc(), hFont);
    SetTextColor(canvas.Dc(), RGB(255, 255, 255));
    TextCharset cs = fc.nCharSet == CHINESEBIG5_CHARSET ? TextCharset::Big5 : TextCharset::Gbk;
    std::string text = Utf8ToText("青石奇缘 Ag", cs);

    RECT measured{30, 20, 30, 20};
    int nHeight = DrawTextA(canvas.Dc(), text.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(canvas.Ink(0).right, 0) << "measuring drew something";
    EXPECT_EQ(nHeight, measured.bottom - measured.top);
    if (fc.nHeight > 0) EXPECT_EQ(nHeight, fc.nHeight);
    else EXPECT_GE(nHeight, -fc.nHeight);
    EXPECT_GT(measured.right - measured.left, 4 * nHeight * 3 / 5) << "four CJK characters are wider than this";

    RECT draw{30, 20, 400, 120};
    EXPECT_EQ(DrawTextA(canvas.Dc(), text.c_str(), -1, &draw, DT_SINGLELINE | DT_NOCLIP), nHeight);
    RECT ink = canvas.Ink(0);
    ASSERT_FALSE(IsRectEmpty(ink));
    EXPECT_TRUE(Contains(measured, ink)) << ink.left << "," << ink.top << "-" << ink.right << "," << ink.bottom;
    // The first character's ink starts near the left edge and reaches most of the line height.
    EXPECT_LE(ink.left - measured.left, 3);
    EXPECT_GT(ink.bottom - ink.top, nHeight / 2);
    SelectObject(canvas.Dc(), nullptr);
    EXPECT_TRUE(DeleteObject(hFont));
}

INSTANTIATE_TEST_SUITE_P(Faces, TextFaceTest,
                         ::testing::Values(FaceCase{"Arial", "Arial", 134, 15, "Liberation Sans"},
                                           FaceCase{"LiShu", "隶书", 134, 27, "AR PL UKai CN"},
                                           FaceCase{"MingBig5", "細明體", 136, -19, "AR PL UMing TW"},
                                           FaceCase{"MingGbk", "細明體", 134, -19, "AR PL UMing TW"},
                                           FaceCase{"NewSong", "新宋体", 134, 25, "AR PL UMing CN"},
                                           FaceCase{"System", "System", 134, 17, "WenQuanYi Zen Hei"},
                                           FaceCase{"Unknown", "NoSuchFace", 134, 16, "WenQuanYi Zen Hei"}),
                         [](const ::testing::TestParamInfo<FaceCase>& info) { return std::string(info.param.pszName); });

TEST(Text, ChineseInALatinFaceComesFromAFallbackFace) {
    CCanvas canvas(200, 40, MakePixelFormat565());
    HFONT hFont = MakeFont("Arial", 15);
    SelectObject(canvas.Dc(), hFont);
    SetTextColor(canvas.Dc(), RGB(255, 255, 255));
    std::string text = Utf8ToText("青石");
    EXPECT_TRUE(TextOutA(canvas.Dc(), 10, 10, text.c_str(), -1));
    RECT ink = canvas.Ink(0);
    EXPECT_GE(ink.right - ink.left, 18) << "two CJK glyphs expected, not missing-glyph boxes of a Latin face";
    SIZE size;
    ASSERT_TRUE(GetTextExtentPoint32A(canvas.Dc(), text.c_str(), -1, &size));
    EXPECT_TRUE(Contains(RECT{10, 10, 10 + size.cx, 10 + size.cy}, ink));
    SelectObject(canvas.Dc(), nullptr);
    DeleteObject(hFont);
}

TEST(Text, DefaultFontAndStaleHandles) {
    CCanvas canvas(100, 40, MakePixelFormat565());
    SIZE size;
    ASSERT_TRUE(GetTextExtentPoint32A(canvas.Dc(), "Ab", -1, &size));
    EXPECT_EQ(size.cy, 16);
    EXPECT_GT(size.cx, 0);
    // A deleted font left selected draws in the default font instead of touching freed memory.
    HFONT hFont = MakeFont("Arial", 30);
    SelectObject(canvas.Dc(), hFont);
    EXPECT_TRUE(DeleteObject(hFont));
    EXPECT_FALSE(DeleteObject(hFont));
    ASSERT_TRUE(GetTextExtentPoint32A(canvas.Dc(), "Ab", -1, &size));
    EXPECT_EQ(size.cy, 16);
    EXPECT_FALSE(TextOutA(canvas.Dc(), 0, 0, nullptr, -1));
    RECT rc{0, 0, 100, 40};
    EXPECT_EQ(DrawTextA(canvas.Dc(), nullptr, -1, &rc, 0), 0);
    EXPECT_EQ(DrawTextA(canvas.Dc(), "", -1, &rc, 0), 0);
    EXPECT_EQ(canvas.Ink(0).right, 0);
}

TEST(Text, LineBreaksAndTheReturnedHeight) {
    CCanvas canvas(200, 200, MakePixelFormat565());
    HFONT hFont = MakeFont("Arial", 15);
    SelectObject(canvas.Dc(), hFont);
    RECT rc{0, 0, 200, 200};
    EXPECT_EQ(DrawTextA(canvas.Dc(), "one\ntwo\r\nthree", -1, &rc, DT_CALCRECT), 45);
    EXPECT_EQ(rc.bottom, 45);
    rc = RECT{0, 0, 200, 200};
    EXPECT_EQ(DrawTextA(canvas.Dc(), "one\n\nthree\r\n", -1, &rc, DT_CALCRECT), 45) << "an empty line counts, a final break does not";
    rc = RECT{0, 0, 200, 200};
    EXPECT_EQ(DrawTextA(canvas.Dc(), "one\ntwo", -1, &rc, DT_CALCRECT | DT_SINGLELINE), 15);
    rc = RECT{0, 0, 200, 200};
    EXPECT_EQ(DrawTextA(canvas.Dc(), "one\ntwo", 3, &rc, DT_CALCRECT), 15) << "the length limits the text";
    SelectObject(canvas.Dc(), nullptr);
    DeleteObject(hFont);
}

TEST(Text, HorizontalAndVerticalAlignment) {
    CCanvas canvas(300, 100, MakePixelFormat565());
    HFONT hFont = MakeFont("Arial", 15);
    SelectObject(canvas.Dc(), hFont);
    SetTextColor(canvas.Dc(), RGB(255, 255, 255));
    RECT box{0, 20, 300, 80};
    RECT calc = box;
    DrawTextA(canvas.Dc(), "HHHH", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    int w = calc.right - calc.left;

    auto inkWith = [&](UINT uFormat) {
        canvas.Fill(0);
        RECT rc = box;
        DrawTextA(canvas.Dc(), "HHHH", -1, &rc, uFormat);
        return canvas.Ink(0);
    };
    RECT left = inkWith(DT_SINGLELINE);
    RECT centre = inkWith(DT_SINGLELINE | DT_CENTER);
    RECT right = inkWith(DT_SINGLELINE | DT_RIGHT);
    ASSERT_FALSE(IsRectEmpty(left));
    EXPECT_EQ(centre.left - left.left, (300 - w) / 2);
    EXPECT_EQ(right.left - left.left, 300 - w);
    EXPECT_LE(right.right, 300);

    RECT top = left;
    RECT middle = inkWith(DT_SINGLELINE | DT_VCENTER);
    RECT bottom = inkWith(DT_SINGLELINE | DT_BOTTOM);
    EXPECT_EQ(middle.top - top.top, (60 - 15) / 2);
    EXPECT_EQ(bottom.top - top.top, 60 - 15);
    EXPECT_LE(bottom.bottom, 80);
    // Vertical placement needs a single line, as on the original platform.
    RECT multi = inkWith(DT_VCENTER | DT_BOTTOM);
    EXPECT_EQ(multi.top, top.top);
    SelectObject(canvas.Dc(), nullptr);
    DeleteObject(hFont);
}

TEST(Text, WordBreakNeverSplitsADoubleByteCharacter) {
    HFONT hFont = MakeFont("System", 17);
    CFontObject* pFont = CFontSystem::Instance().Resolve(hFont);
    std::string text = Utf8ToText("青石奇缘是一段全新的旅程，ab cd 中文");
    int nCharWidth = pFont->Glyph(U'青').nAdvance;
    int nMax = nCharWidth * 4 + nCharWidth / 2;
    std::vector<TextUnit> units = DecodeUnits(text, TextCharset::Gbk);
    std::vector<TextLineSpan> lines = LayoutText(units, *pFont, DT_WORDBREAK, nMax);
    ASSERT_GE(lines.size(), 4u);
    // Character boundaries of the byte string, found independently of the layout.
    std::vector<bool> boundary(text.size() + 1, false);
    for (size_t i = 0; i < text.size(); i += IsDoubleByteLead(text, i) ? 2 : 1) boundary[i] = true;
    boundary[text.size()] = true;
    std::u32string rejoined;
    for (const TextLineSpan& line : lines) {
        EXPECT_LE(line.nWidth, nMax);
        ASSERT_LT(line.nFirst, line.nLast);
        size_t nBegin = units[line.nFirst].nOffset;
        size_t nEnd = line.nLast < units.size() ? units[line.nLast].nOffset : text.size();
        EXPECT_TRUE(boundary[nBegin] && boundary[nEnd]) << "line cut inside a character at " << nBegin << "/" << nEnd;
        std::u32string part = DecodeText(std::string_view(text).substr(nBegin, nEnd - nBegin));
        EXPECT_EQ(part.find(U'\uFFFD'), std::u32string::npos);
        EXPECT_NE(part.front(), U' ') << "a wrapped line does not start with a space";
        rejoined += part;
    }
    std::u32string whole = DecodeText(text);
    whole.erase(std::remove(whole.begin(), whole.end(), U' '), whole.end());
    rejoined.erase(std::remove(rejoined.begin(), rejoined.end(), U' '), rejoined.end());
    EXPECT_EQ(rejoined, whole) << "no character is lost or repeated";

    CCanvas canvas(300, 200, MakePixelFormat565());
    SelectObject(canvas.Dc(), hFont);
    SetTextColor(canvas.Dc(), RGB(255, 255, 255));
    RECT calc{10, 10, 10 + nMax, 10};
    int nHeight = DrawTextA(canvas.Dc(), text.c_str(), -1, &calc, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(nHeight, int(lines.size()) * 17);
    EXPECT_LE(calc.right - calc.left, nMax);
    RECT rc{10, 10, 10 + nMax, 190};
    EXPECT_EQ(DrawTextA(canvas.Dc(), text.c_str(), -1, &rc, DT_WORDBREAK), nHeight);
    EXPECT_TRUE(Contains(RECT{10, 10, 10 + nMax, 10 + nHeight}, canvas.Ink(0)));

    // Latin words break at spaces only; a word wider than the rectangle stays whole.
    RECT narrow{0, 0, 1, 0};
    EXPECT_EQ(DrawTextA(canvas.Dc(), "ab cd  ef", -1, &narrow, DT_CALCRECT | DT_WORDBREAK), 3 * 17);
    SelectObject(canvas.Dc(), nullptr);
    DeleteObject(hFont);
}

TEST(Text, BackgroundModesAndClipping) {
    CCanvas canvas(200, 60, MakePixelFormat565(), 0x001F);  // blue
    HFONT hFont = MakeFont("Arial", 15);
    SelectObject(canvas.Dc(), hFont);
    SetTextColor(canvas.Dc(), RGB(255, 255, 255));
    SIZE size;
    GetTextExtentPoint32A(canvas.Dc(), "Hi", -1, &size);

    EXPECT_EQ(SetBkMode(canvas.Dc(), TRANSPARENT), TRANSPARENT);
    TextOutA(canvas.Dc(), 20, 10, "Hi", -1);
    EXPECT_EQ(canvas.Pixel(20, 10), 0x001Fu) << "transparent text leaves the cell's corner alone";

    canvas.Fill(0x001F);
    SetBkMode(canvas.Dc(), OPAQUE);
    SetBkColor(canvas.Dc(), RGB(0, 255, 0));
    TextOutA(canvas.Dc(), 20, 10, "Hi", -1);
    EXPECT_EQ(canvas.Pixel(20, 10), 0x07E0u) << "opaque text fills its cell with the background colour";
    EXPECT_EQ(canvas.Pixel(20 + size.cx - 1, 10 + size.cy - 1), 0x07E0u);
    EXPECT_EQ(canvas.Ink(0x001F).right, 20 + size.cx);
    EXPECT_EQ(canvas.Ink(0x001F).bottom, 10 + size.cy);

    // Drawing partly off the surface or beyond the rectangle stays inside both.
    canvas.Fill(0);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    EXPECT_TRUE(TextOutA(canvas.Dc(), -7, -5, "Clipped text running off the edge", -1));
    RECT rc{50, 30, 80, 45};
    DrawTextA(canvas.Dc(), "a long line cut by the rectangle", -1, &rc, DT_SINGLELINE);
    for (int y = 20; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            if (canvas.Pixel(x, y) != 0) {
                EXPECT_TRUE(PtInRect(rc, POINT{x, y})) << x << "," << y;
            }
    SelectObject(canvas.Dc(), nullptr);
    DeleteObject(hFont);
}

struct FormatCase {
    VideoPixelFormat (*pMake)();
    DWORD dwRed;
};
VideoPixelFormat Make32() { return MakePixelFormat888(32); }

TEST(Text, ColoursComeOutInTheNativeFormat) {
    for (const FormatCase& fc : {FormatCase{MakePixelFormat565, 0xF800}, FormatCase{MakePixelFormat555, 0x7C00},
                                 FormatCase{Make32, 0xFF0000}}) {
        VideoPixelFormat fmt = fc.pMake();
        CCanvas canvas(120, 40, fmt);
        HFONT hFont = MakeFont("隶书", 30);
        SelectObject(canvas.Dc(), hFont);
        SetTextColor(canvas.Dc(), RGB(255, 0, 0));
        std::string text = Utf8ToText("青石");
        TextOutA(canvas.Dc(), 5, 5, text.c_str(), -1);
        int nFull = 0, nPartial = 0;
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x) {
                DWORD p = canvas.Pixel(x, y);
                if (p == 0) continue;
                EXPECT_EQ(p & (fmt.dwGBitMask | fmt.dwBBitMask), 0u) << "only red on black";
                EXPECT_EQ(p & ~fmt.dwRBitMask, 0u);
                if (p == fc.dwRed) ++nFull;
                else ++nPartial;
            }
        EXPECT_GT(nFull, 20) << fmt.dwRGBBitCount;
        EXPECT_GT(nPartial, 0) << "anti-aliased edges blend";
        TextTarget target;
        target.dwRMask = fmt.dwRBitMask;
        target.dwGMask = fmt.dwGBitMask;
        target.dwBMask = fmt.dwBBitMask;
        EXPECT_EQ(TextNativeColor(target, RGB(255, 0, 0)), fc.dwRed);
        SelectObject(canvas.Dc(), nullptr);
        DeleteObject(hFont);
    }
    TextTarget t565;
    t565.dwRMask = 0xF800; t565.dwGMask = 0x07E0; t565.dwBMask = 0x001F;
    EXPECT_EQ(TextNativeColor(t565, RGB(0xFB, 0xF8, 0xBE)), 0xFFD7u);
}

TEST(Text, BlendingOverAColouredBackground) {
    CCanvas canvas(120, 40, MakePixelFormat565(), 0x001F);
    HFONT hFont = MakeFont("Arial", 20);
    SelectObject(canvas.Dc(), hFont);
    SetTextColor(canvas.Dc(), RGB(255, 0, 0));
    TextOutA(canvas.Dc(), 5, 5, "Wo", -1);
    bool bMixed = false;
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            DWORD p = canvas.Pixel(x, y);
            EXPECT_EQ(p & 0x07E0, 0u) << "no green appears from blending red over blue";
            if ((p & 0xF800) && (p & 0x001F)) bMixed = true;
        }
    EXPECT_TRUE(bMixed) << "edge pixels mix the text colour with the background";
    SelectObject(canvas.Dc(), nullptr);
    DeleteObject(hFont);
}

}  // namespace
