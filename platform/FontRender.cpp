#include "platform/FontRender.h"

#include <iconv.h>

#include <algorithm>
#include <cstring>

#include "platform/FontCache.h"
#include "platform/PixelBytes.h"
#include "platform/Text.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one character's bytes with a converter kept open for the whole run.
char32_t DecodeOne(const char* p, size_t n, TextCharset cs) {
    static iconv_t cdGbk = iconv_t(-1), cdBig5 = iconv_t(-1);
    static bool bOpened = false;
    if (!bOpened) {
        bOpened = true;
        cdGbk = iconv_open("UTF-32LE", "GBK");
        cdBig5 = iconv_open("UTF-32LE", "BIG5");
    }
    iconv_t cd = cs == TextCharset::Big5 ? cdBig5 : cdGbk;
    if (cd == iconv_t(-1)) return kReplacement;
    unsigned char out[8] = {};
    char* pIn = const_cast<char*>(p);
    size_t nIn = n;
    char* pOut = reinterpret_cast<char*>(out);
    size_t nOut = sizeof(out);
    size_t r = iconv(cd, &pIn, &nIn, &pOut, &nOut);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (r == size_t(-1) || nIn != 0 || sizeof(out) - nOut < 4) return kReplacement;
    return char32_t(out[0] | (out[1] << 8) | (out[2] << 16) | (char32_t(out[3]) << 24));
}

bool IsBig5Pair(std::string_view s, size_t i) {
    if (i + 1 >= s.size()) return false;
    unsigned char c = static_cast<unsigned char>(s[i]);
    unsigned char t = static_cast<unsigned char>(s[i + 1]);
    return c >= 0x81 && c <= 0xFE && ((t >= 0x40 && t <= 0x7E) || (t >= 0xA1 && t <= 0xFE));
}

bool IsSpace(const TextUnit& u) { return u.ch == U' ' || u.ch == 0x3000; }
bool IsWide(const TextUnit& u) { return u.nBytes == 2 && u.ch != 0x3000; }
bool IsBreak(const TextUnit& u) { return u.ch == U'\n' || u.ch == U'\r'; }

// A line may end between units j-1 and j after a space or next to a double-byte character.
bool CanBreakBefore(const std::vector<TextUnit>& units, size_t j) {
    const TextUnit& prev = units[j - 1];
    const TextUnit& cur = units[j];
    if (IsSpace(cur)) return false;  // spaces stay on the line they follow
    return IsSpace(prev) || IsWide(prev) || IsWide(cur);
}

// Advance of unit j when the pen is nPen pixels into its line.
int AdvanceAt(TextUnit& u, CFontObject& font, int nPen, bool bExpandTabs) {
    if (u.ch == U'\t') {
        int nStop = std::max(1, font.AverageCharWidth() * 8);
        u.nAdvance = bExpandTabs ? (nPen / nStop + 1) * nStop - nPen : 0;
    } else if (u.ch < 0x20 || u.ch == 0x7F) {
        u.nAdvance = 0;
    } else {
        u.nAdvance = font.Glyph(u.ch).nAdvance;
    }
    return u.nAdvance;
}

int SpanWidth(const std::vector<TextUnit>& units, size_t nFirst, size_t nLast) {
    int w = 0;
    for (size_t i = nFirst; i < nLast; ++i) w += units[i].nAdvance;
    return w;
}

// Lays out one paragraph [nBegin, nEnd) without breaking it.
TextLineSpan WholeLine(std::vector<TextUnit>& units, CFontObject& font, size_t nBegin, size_t nEnd, bool bTabs) {
    int w = 0;
    for (size_t j = nBegin; j < nEnd; ++j) w += AdvanceAt(units[j], font, w, bTabs);
    return TextLineSpan{nBegin, nEnd, w};
}

// Greedy word wrap of one paragraph: a line takes characters while they fit; at an
// overflow it ends at the last break opportunity. A word with no opportunity in it
// stays whole on its line. Spaces at a wrap hang off the line's end and do not start the next.
void WrapParagraph(std::vector<TextUnit>& units, CFontObject& font, size_t nBegin, size_t nEnd, int nMaxWidth,
                   bool bTabs, std::vector<TextLineSpan>* pLines) {
    size_t pos = nBegin;
    do {
        int w = 0;
        size_t nLastBreak = SIZE_MAX;
        size_t nBreakAt = nEnd;
        for (size_t j = pos; j < nEnd; ++j) {
            if (j > pos && CanBreakBefore(units, j)) nLastBreak = j;
            int nAdv = AdvanceAt(units[j], font, w, bTabs);
            if (!IsSpace(units[j]) && j > pos && w + nAdv > nMaxWidth && nLastBreak != SIZE_MAX) {
                nBreakAt = nLastBreak;
                break;
            }
            w += nAdv;
        }
        size_t nLast = nBreakAt;
        if (nBreakAt < nEnd)
            while (nLast > pos && IsSpace(units[nLast - 1])) --nLast;
        pLines->push_back(TextLineSpan{pos, nLast, SpanWidth(units, pos, nLast)});
        pos = nBreakAt;
        while (pos < nEnd && IsSpace(units[pos])) ++pos;
    } while (pos < nEnd);
}

struct Channel {
    int nShift = 0, nBits = 0;
};
Channel ChannelOf(DWORD dwMask) {
    Channel c;
    if (!dwMask) return c;
    while (!((dwMask >> c.nShift) & 1)) ++c.nShift;
    while (c.nBits < 32 && ((dwMask >> (c.nShift + c.nBits)) & 1)) ++c.nBits;
    return c;
}
DWORD Encode(const Channel& c, int v) {
    if (c.nBits == 0) return 0;
    DWORD x = c.nBits >= 8 ? DWORD(v) << (c.nBits - 8) : DWORD(v) >> (8 - c.nBits);
    return x << c.nShift;
}
int Decode(const Channel& c, DWORD p) {
    if (c.nBits == 0) return 0;
    DWORD v = (p >> c.nShift) & ((1u << c.nBits) - 1);
    if (c.nBits >= 8) return int(v >> (c.nBits - 8));
    return int((v << (8 - c.nBits)) | (v >> (2 * c.nBits - 8 > 0 ? 2 * c.nBits - 8 : 0)));
}

// Writes and blends pixels of one target in its native format.
class CPixelWriter {
public:
    CPixelWriter(const TextTarget& t, COLORREF crText)
        : m_t(t), m_r(ChannelOf(t.dwRMask)), m_g(ChannelOf(t.dwGMask)), m_b(ChannelOf(t.dwBMask)),
          m_nR(GetRValue(crText)), m_nG(GetGValue(crText)), m_nB(GetBValue(crText)),
          m_dwText(Native(crText)) {}

    DWORD Native(COLORREF cr) const {
        return Encode(m_r, GetRValue(cr)) | Encode(m_g, GetGValue(cr)) | Encode(m_b, GetBValue(cr));
    }
    void Put(int x, int y, DWORD v) const {
        StorePixelBytes(m_t.pBits + std::ptrdiff_t(y) * m_t.nPitch + std::ptrdiff_t(x) * m_t.nBytesPerPixel,
                        m_t.nBytesPerPixel, v);
    }
    DWORD Get(int x, int y) const {
        return LoadPixelBytes(m_t.pBits + std::ptrdiff_t(y) * m_t.nPitch + std::ptrdiff_t(x) * m_t.nBytesPerPixel,
                              m_t.nBytesPerPixel);
    }
    // Covers the pixel with the text colour by coverage a (0..255).
    void Blend(int x, int y, int a) const {
        if (a >= 255) { Put(x, y, m_dwText); return; }
        DWORD d = Get(x, y);
        int r = Decode(m_r, d), g = Decode(m_g, d), b = Decode(m_b, d);
        r += (m_nR - r) * a / 255;
        g += (m_nG - g) * a / 255;
        b += (m_nB - b) * a / 255;
        DWORD keep = d & ~(m_t.dwRMask | m_t.dwGMask | m_t.dwBMask);
        Put(x, y, keep | Encode(m_r, r) | Encode(m_g, g) | Encode(m_b, b));
    }

private:
    const TextTarget& m_t;
    Channel m_r, m_g, m_b;
    int m_nR, m_nG, m_nB;
    DWORD m_dwText;
};

bool TargetUsable(const TextTarget& t) {
    return t.pBits && t.nWidth > 0 && t.nHeight > 0 && t.nBytesPerPixel >= 2 && t.nBytesPerPixel <= 4 &&
           t.nPitch >= t.nWidth * t.nBytesPerPixel && (t.dwRMask | t.dwGMask | t.dwBMask) != 0;
}

// Draws one laid-out line with its cell's top-left at (x, y); nothing leaves the cell or clip.
void DrawLine(const CPixelWriter& writer, CFontObject& font, const TextPaint& paint,
              const std::vector<TextUnit>& units, const TextLineSpan& line, int x, int y, const RECT& clip) {
    RECT cell{x, y, x + line.nWidth, y + font.CellHeight()};
    RECT box;
    if (!IntersectRect(&box, cell, clip)) return;
    if (paint.bOpaque) {
        DWORD dwBack = writer.Native(paint.crBack);
        for (int py = box.top; py < box.bottom; ++py)
            for (int px = box.left; px < box.right; ++px) writer.Put(px, py, dwBack);
    }
    int nPen = x;
    int nBaseline = y + font.Ascent();
    for (size_t i = line.nFirst; i < line.nLast; ++i) {
        const TextUnit& u = units[i];
        if (u.ch >= 0x20 && u.ch != 0x7F && !IsSpace(u)) {
            const GlyphBitmap& g = font.Glyph(u.ch);
            int gx = nPen + g.nLeft, gy = nBaseline - g.nTop;
            int x0 = std::max<int>(box.left, gx), x1 = std::min<int>(box.right, gx + g.nWidth);
            int y0 = std::max<int>(box.top, gy), y1 = std::min<int>(box.bottom, gy + g.nHeight);
            for (int py = y0; py < y1; ++py) {
                const BYTE* pRow = g.coverage.data() + size_t(py - gy) * size_t(g.nWidth);
                for (int px = x0; px < x1; ++px)
                    if (BYTE a = pRow[px - gx]) writer.Blend(px, py, a);
            }
        }
        nPen += u.nAdvance;
    }
}

}  // namespace

std::vector<TextUnit> DecodeUnits(std::string_view text, TextCharset cs) {
    std::vector<TextUnit> units;
    units.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        TextUnit u;
        u.nOffset = i;
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            u.ch = c;
        } else {
            bool bPair = cs == TextCharset::Big5 ? IsBig5Pair(text, i) : IsDoubleByteLead(text, i);
            u.nBytes = bPair ? 2 : 1;
            u.ch = DecodeOne(text.data() + i, size_t(u.nBytes), cs);
        }
        i += size_t(u.nBytes);
        units.push_back(u);
    }
    return units;
}

std::vector<TextLineSpan> LayoutText(std::vector<TextUnit>& units, CFontObject& font, UINT uFormat, int nMaxWidth) {
    std::vector<TextLineSpan> lines;
    bool bTabs = (uFormat & DT_EXPANDTABS) != 0;
    if (units.empty()) return lines;
    if (uFormat & DT_SINGLELINE) {
        lines.push_back(WholeLine(units, font, 0, units.size(), bTabs));
        return lines;
    }
    bool bWrap = (uFormat & DT_WORDBREAK) != 0;
    size_t i = 0;
    while (true) {
        size_t nEnd = i;
        while (nEnd < units.size() && !IsBreak(units[nEnd])) ++nEnd;
        if (bWrap) WrapParagraph(units, font, i, nEnd, nMaxWidth, bTabs, &lines);
        else lines.push_back(WholeLine(units, font, i, nEnd, bTabs));
        if (nEnd >= units.size()) break;
        units[nEnd].nAdvance = 0;
        i = nEnd + 1;
        if (units[nEnd].ch == U'\r' && i < units.size() && units[i].ch == U'\n') units[i++].nAdvance = 0;
        if (i >= units.size()) break;  // a final line break starts no empty line
    }
    return lines;
}

DWORD TextNativeColor(const TextTarget& target, COLORREF cr) {
    return Encode(ChannelOf(target.dwRMask), GetRValue(cr)) | Encode(ChannelOf(target.dwGMask), GetGValue(cr)) |
           Encode(ChannelOf(target.dwBMask), GetBValue(cr));
}

SIZE MeasureTextLine(CFontObject& font, std::string_view text) {
    std::vector<TextUnit> units = DecodeUnits(text, font.Charset());
    TextLineSpan line = WholeLine(units, font, 0, units.size(), false);
    return SIZE{line.nWidth, font.CellHeight()};
}

bool RenderTextOut(const TextTarget& target, CFontObject& font, const TextPaint& paint, int x, int y,
                   std::string_view text) {
    if (!TargetUsable(target)) return false;
    std::vector<TextUnit> units = DecodeUnits(text, font.Charset());
    TextLineSpan line = WholeLine(units, font, 0, units.size(), false);
    CPixelWriter writer(target, paint.crText);
    RECT clip{0, 0, target.nWidth, target.nHeight};
    DrawLine(writer, font, paint, units, line, x, y, clip);
    return true;
}

int RenderDrawText(const TextTarget* pTarget, CFontObject& font, const TextPaint& paint, std::string_view text,
                   RECT* pRect, UINT uFormat) {
    if (!pRect) return 0;
    std::vector<TextUnit> units = DecodeUnits(text, font.Charset());
    RECT& rc = *pRect;
    std::vector<TextLineSpan> lines = LayoutText(units, font, uFormat, rc.right - rc.left);
    int nLineHeight = font.CellHeight();
    int nHeight = int(lines.size()) * nLineHeight;
    if (uFormat & DT_CALCRECT) {
        int nWidest = 0;
        for (const TextLineSpan& line : lines) nWidest = std::max(nWidest, line.nWidth);
        rc.right = rc.left + nWidest;
        rc.bottom = rc.top + nHeight;
        return nHeight;
    }
    if (!pTarget || !TargetUsable(*pTarget)) return nHeight;

    // Vertical placement other than the top applies to a single line only.
    int y = rc.top;
    if (uFormat & DT_SINGLELINE) {
        if (uFormat & DT_BOTTOM) y = rc.bottom - nLineHeight;
        else if (uFormat & DT_VCENTER) y = rc.top + (rc.bottom - rc.top - nLineHeight) / 2;
    }
    RECT clip{0, 0, pTarget->nWidth, pTarget->nHeight};
    if (!(uFormat & DT_NOCLIP) && !IntersectRect(&clip, clip, rc)) return nHeight;
    CPixelWriter writer(*pTarget, paint.crText);
    for (const TextLineSpan& line : lines) {
        int x = rc.left;
        if (uFormat & DT_CENTER) x = rc.left + (rc.right - rc.left - line.nWidth) / 2;
        else if (uFormat & DT_RIGHT) x = rc.right - line.nWidth;
        DrawLine(writer, font, paint, units, line, x, y, clip);
        y += nLineHeight;
    }
    return nHeight;
}
