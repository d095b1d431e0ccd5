#include "platform/FontCache.h"
#include "platform/Strings.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Families the game's face names stand for. Names arrive as GBK or Big5 bytes; they
// are compared after decoding both ways, so either spelling (and the Latin name) works.
struct FaceAlias {
    const char* pszName;    // UTF-8, compared case-insensitively
    const char* pszFamily;  // installed family
};
const FaceAlias kAliases[] = {
    {"Arial", "Liberation Sans"},
    {"Helvetica", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"隶书", "AR PL UKai CN"},
    {"隸書", "AR PL UKai CN"},
    {"LiSu", "AR PL UKai CN"},
    {"楷体", "AR PL UKai CN"},
    {"楷体_GB2312", "AR PL UKai CN"},
    {"標楷體", "AR PL UKai TW"},
    {"細明體", "AR PL UMing TW"},
    {"细明体", "AR PL UMing TW"},
    {"新細明體", "AR PL UMing TW"},
    {"MingLiU", "AR PL UMing TW"},
    {"PMingLiU", "AR PL UMing TW"},
    {"新宋体", "AR PL UMing CN"},
    {"新宋體", "AR PL UMing CN"},
    {"宋体", "AR PL UMing CN"},
    {"宋體", "AR PL UMing CN"},
    {"NSimSun", "AR PL UMing CN"},
    {"SimSun", "AR PL UMing CN"},
    {"黑体", "WenQuanYi Zen Hei"},
    {"SimHei", "WenQuanYi Zen Hei"},
    {"System", "WenQuanYi Zen Hei"},
};
const char kDefaultFamily[] = "WenQuanYi Zen Hei";
// CJK faces tried, in order, for characters a face lacks.
const char* const kFallbackFamilies[] = {"AR PL UMing CN", "WenQuanYi Zen Hei", "AR PL UKai CN"};

constexpr int kDefaultCellHeight = 16;
constexpr int kMaxEm = 1023;
constexpr size_t kGlyphBudget = 8u << 20;

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

}  // namespace

struct CFontSystem::Face {
    FT_Face pFace = nullptr;
    std::string family;
    int nUnitsPerEm = 1000;
    int nAscent = 800;   // font units above the baseline of a line cell
    int nDescent = 200;  // font units below it
    double dAvgRatio = 0.5;  // average character width per em
    bool bBold = false;
    bool bItalic = false;
};

CFontSystem& CFontSystem::Instance() {
    static CFontSystem system;
    return system;
}

CFontSystem::CFontSystem() {
    FT_Library pLib = nullptr;
    if (FT_Init_FreeType(&pLib) == 0) m_pLibrary = pLib;
    else std::fprintf(stderr, "text: FreeType could not be started; no text will be drawn\n");
}

CFontSystem::~CFontSystem() {
    for (const CFontObject* pFont : m_liveFonts) delete pFont;
    m_liveFonts.clear();
    m_pDefault.reset();
    m_glyphs.clear();
    for (auto& pFace : m_faces)
        if (pFace->pFace) FT_Done_Face(pFace->pFace);
    m_faces.clear();
    if (m_pLibrary) FT_Done_FreeType(static_cast<FT_Library>(m_pLibrary));
    FcFini();
}

std::string CFontSystem::MapFaceName(const char* pszFace) {
    if (!pszFace || !*pszFace) return kDefaultFamily;
    std::string_view raw(pszFace);
    std::string spellings[3] = {IsValidUtf8(raw) ? std::string(raw) : std::string(),
                                TextToUtf8(raw, TextCharset::Gbk), TextToUtf8(raw, TextCharset::Big5)};
    for (const FaceAlias& alias : kAliases)
        for (const std::string& s : spellings)
            if (!s.empty() && EqualNoCase(s, alias.pszName)) return alias.pszFamily;
    // Not one of ours: an installed family of that name, if fontconfig knows it.
    return spellings[0].empty() ? spellings[1] : spellings[0];
}

const std::string& CFontSystem::MappedFamily(const char* pszFace) {
    const std::string strFace = pszFace ? pszFace : "";
    auto it = m_familyByFace.find(strFace);
    if (it == m_familyByFace.end()) it = m_familyByFace.emplace(strFace, MapFaceName(pszFace)).first;
    return it->second;
}

std::string CFontSystem::FaceFamily(int nFace) const {
    if (nFace < 0 || size_t(nFace) >= m_faces.size()) return std::string();
    return m_faces[size_t(nFace)]->family;
}

int CFontSystem::OpenFace(const std::string& path, int nIndex) {
    std::string key = path + "#" + std::to_string(nIndex);
    auto it = m_faceByKey.find(key);
    if (it != m_faceByKey.end()) return it->second;
    FT_Face pFace = nullptr;
    if (FT_New_Face(static_cast<FT_Library>(m_pLibrary), path.c_str(), nIndex, &pFace) != 0 || !pFace) {
        std::fprintf(stderr, "text: cannot open font file %s (face %d)\n", path.c_str(), nIndex);
        m_faceByKey[key] = -1;
        return -1;
    }
    if (!FT_IS_SCALABLE(pFace)) {
        FT_Done_Face(pFace);
        m_faceByKey[key] = -1;
        return -1;
    }
    auto pRec = std::make_unique<Face>();
    pRec->pFace = pFace;
    pRec->family = pFace->family_name ? pFace->family_name : "";
    pRec->nUnitsPerEm = pFace->units_per_EM > 0 ? pFace->units_per_EM : 1000;
    pRec->nAscent = pFace->ascender;
    pRec->nDescent = -pFace->descender;
    bool bCjk = FT_Get_Char_Index(pFace, 0x4E00) != 0;
    pRec->dAvgRatio = 0.5;
    if (const TT_OS2* pOs2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(pFace, FT_SFNT_OS2))) {
        // The line cell of the face is its Windows ascent and descent.
        if (pOs2->usWinAscent + pOs2->usWinDescent > 0) {
            pRec->nAscent = pOs2->usWinAscent;
            pRec->nDescent = pOs2->usWinDescent;
        }
        // A CJK face's nominal average width is half its em: the single-byte cell.
        if (!bCjk && pOs2->xAvgCharWidth > 0) pRec->dAvgRatio = double(pOs2->xAvgCharWidth) / pRec->nUnitsPerEm;
    }
    if (pRec->nAscent + pRec->nDescent <= 0) {
        pRec->nAscent = pRec->nUnitsPerEm * 4 / 5;
        pRec->nDescent = pRec->nUnitsPerEm / 5;
    }
    pRec->bBold = (pFace->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    pRec->bItalic = (pFace->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    m_faces.push_back(std::move(pRec));
    int nId = int(m_faces.size()) - 1;
    m_faceByKey[key] = nId;
    return nId;
}

int CFontSystem::FindFace(const std::string& family, bool bBold, bool bItalic) {
    if (!Ready() || family.empty()) return -1;
    std::string key = family + (bBold ? "|b" : "|r") + (bItalic ? "i" : "n");
    auto it = m_faceByFamily.find(key);
    if (it != m_faceByFamily.end()) return it->second;

    int nFace = -1;
    FcPattern* pPattern = FcPatternCreate();
    if (pPattern) {
        FcPatternAddString(pPattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pPattern, FC_WEIGHT, bBold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pPattern, FC_SLANT, bItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pPattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pPattern, FcMatchPattern);
        FcDefaultSubstitute(pPattern);
        FcResult result = FcResultNoMatch;
        FcPattern* pMatch = FcFontMatch(nullptr, pPattern, &result);
        if (pMatch) {
            // fontconfig always answers with something; take it only when it is the family asked for.
            bool bSameFamily = false;
            FcChar8* pszFamily = nullptr;
            for (int i = 0; FcPatternGetString(pMatch, FC_FAMILY, i, &pszFamily) == FcResultMatch; ++i)
                if (EqualNoCase(reinterpret_cast<const char*>(pszFamily), family)) bSameFamily = true;
            FcChar8* pszFile = nullptr;
            int nIndex = 0;
            if (bSameFamily && FcPatternGetString(pMatch, FC_FILE, 0, &pszFile) == FcResultMatch) {
                FcPatternGetInteger(pMatch, FC_INDEX, 0, &nIndex);
                nFace = OpenFace(reinterpret_cast<const char*>(pszFile), nIndex);
                // A collection's first face may carry another regional name; keep the one asked for.
                if (nFace >= 0) m_faces[size_t(nFace)]->family = family;
            }
            FcPatternDestroy(pMatch);
        }
        FcPatternDestroy(pPattern);
    }
    m_faceByFamily[key] = nFace;
    return nFace;
}

const std::vector<int>& CFontSystem::Fallbacks() {
    if (!m_bFallbacksKnown) {
        m_bFallbacksKnown = true;
        for (const char* pszFamily : kFallbackFamilies) {
            int nFace = FindFace(pszFamily, false, false);
            if (nFace >= 0 && std::find(m_fallbacks.begin(), m_fallbacks.end(), nFace) == m_fallbacks.end())
                m_fallbacks.push_back(nFace);
        }
    }
    return m_fallbacks;
}

CFontObject* CFontSystem::CreateFont(int nHeight, int nWidth, int nWeight, bool bItalic, DWORD nCharSet,
                                     const char* pszFace) {
    if (!Ready()) return nullptr;
    bool bBold = nWeight >= 700;
    int nFace = FindFace(MappedFamily(pszFace), bBold, bItalic);
    if (nFace < 0) nFace = FindFace(kDefaultFamily, bBold, bItalic);
    if (nFace < 0) {
        // Without our CJK face, whatever fontconfig offers for a sans face.
        FcPattern* pPattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
        if (pPattern) {
            FcConfigSubstitute(nullptr, pPattern, FcMatchPattern);
            FcDefaultSubstitute(pPattern);
            FcResult result = FcResultNoMatch;
            if (FcPattern* pMatch = FcFontMatch(nullptr, pPattern, &result)) {
                FcChar8* pszFile = nullptr;
                int nIndex = 0;
                if (FcPatternGetString(pMatch, FC_FILE, 0, &pszFile) == FcResultMatch) {
                    FcPatternGetInteger(pMatch, FC_INDEX, 0, &nIndex);
                    nFace = OpenFace(reinterpret_cast<const char*>(pszFile), nIndex);
                }
                FcPatternDestroy(pMatch);
            }
            FcPatternDestroy(pPattern);
        }
    }
    if (nFace < 0) return nullptr;
    const Face& face = *m_faces[size_t(nFace)];

    auto pFont = new CFontObject;
    pFont->m_nPrimaryFace = nFace;
    pFont->m_bBold = bBold;
    pFont->m_bItalic = bItalic;
    pFont->m_charset = nCharSet == 136 ? TextCharset::Big5 : TextCharset::Gbk;
    // A positive height is the whole cell, a negative one the em (character) height.
    int nCellUnits = face.nAscent + face.nDescent;
    if (nHeight == 0) nHeight = kDefaultCellHeight;
    if (nHeight > 0) {
        int nCell = std::min(nHeight, kMaxEm);
        pFont->m_nEm = std::clamp(int(std::lround(double(nCell) * face.nUnitsPerEm / nCellUnits)), 1, kMaxEm);
        pFont->m_nCellHeight = nCell;
        pFont->m_nAscent = int(std::lround(double(nCell) * face.nAscent / nCellUnits));
    } else {
        pFont->m_nEm = std::clamp(nHeight == INT_MIN ? kMaxEm : -nHeight, 1, kMaxEm);
        double dScale = double(pFont->m_nEm) / face.nUnitsPerEm;
        pFont->m_nAscent = int(std::lround(face.nAscent * dScale));
        pFont->m_nCellHeight = std::max(1, pFont->m_nAscent + int(std::lround(face.nDescent * dScale)));
    }
    pFont->m_nWidthRequest = std::min(nWidth == INT_MIN ? kMaxEm : std::abs(nWidth), kMaxEm);
    pFont->m_nAvgCharWidth = pFont->m_nWidthRequest > 0
                                 ? pFont->m_nWidthRequest
                                 : std::max(1, int(std::lround(pFont->m_nEm * face.dAvgRatio)));
    m_liveFonts.insert(pFont);
    return pFont;
}

bool CFontSystem::DeleteFont(CFontObject* pFont) {
    if (!pFont || m_liveFonts.erase(pFont) == 0) return false;
    delete pFont;
    return true;
}

CFontObject* CFontSystem::DefaultFont() {
    if (!m_bDefaultTried) {
        m_bDefaultTried = true;
        CFontObject* pFont = CreateFont(kDefaultCellHeight, 0, 400, false, 134, "System");
        if (pFont) {
            m_liveFonts.erase(pFont);  // owned here, never a handle the game can delete
            m_pDefault.reset(pFont);
        }
    }
    return m_pDefault.get();
}

CFontObject* CFontSystem::Resolve(const CFontObject* pFont) {
    if (pFont && IsLive(pFont)) return const_cast<CFontObject*>(pFont);
    return DefaultFont();
}

void CFontSystem::Trim() {
    if (m_nGlyphBytes <= kGlyphBudget) return;
    m_glyphs.clear();
    m_nGlyphBytes = 0;
}

const GlyphBitmap& CFontObject::Glyph(char32_t ch) { return CFontSystem::Instance().GlyphFor(*this, ch); }

const GlyphBitmap& CFontSystem::GlyphFor(const CFontObject& font, char32_t ch) {
    if (ch > 0x10FFFF) ch = 0xFFFD;
    std::uint64_t key = std::uint64_t(ch) | (std::uint64_t(font.m_nEm & 0x3FF) << 21) |
                        (std::uint64_t(font.m_nWidthRequest & 0x3FF) << 31) |
                        (std::uint64_t(font.m_bBold) << 41) | (std::uint64_t(font.m_bItalic) << 42) |
                        (std::uint64_t(font.m_nPrimaryFace & 0xFFFF) << 43);
    auto it = m_glyphs.find(key);
    if (it != m_glyphs.end()) return *it->second;

    auto pGlyph = std::make_unique<GlyphBitmap>();
    int nFace = font.m_nPrimaryFace;
    unsigned nGlyph = FT_Get_Char_Index(m_faces[size_t(nFace)]->pFace, ch);
    if (nGlyph == 0) {
        for (int nFallback : Fallbacks()) {
            unsigned n = FT_Get_Char_Index(m_faces[size_t(nFallback)]->pFace, ch);
            if (n != 0) {
                nFace = nFallback;
                nGlyph = n;
                break;
            }
        }
    }
    if (nGlyph == 0) nFace = font.m_nPrimaryFace;  // the primary face's missing-glyph box
    Rasterise(nFace, nGlyph, font, pGlyph.get());
    m_nGlyphBytes += pGlyph->coverage.size() + sizeof(GlyphBitmap) + 32;
    const GlyphBitmap& ref = *pGlyph;
    m_glyphs.emplace(key, std::move(pGlyph));
    return ref;
}

void CFontSystem::Rasterise(int nFace, unsigned nGlyph, const CFontObject& font, GlyphBitmap* pOut) {
    const Face& face = *m_faces[size_t(nFace)];
    FT_Face pFace = face.pFace;
    // The requested average width scales each face by its own average character width.
    int nEmX = font.m_nEm;
    if (font.m_nWidthRequest > 0)
        nEmX = std::clamp(int(std::lround(font.m_nWidthRequest / face.dAvgRatio)), 1, 4 * kMaxEm);
    if (FT_Set_Pixel_Sizes(pFace, FT_UInt(nEmX), FT_UInt(font.m_nEm)) != 0) return;
    FT_Matrix shear{0x10000, 0x5800, 0, 0x10000};  // about 19 degrees
    bool bSlant = font.m_bItalic && !face.bItalic;
    FT_Set_Transform(pFace, bSlant ? &shear : nullptr, nullptr);
    FT_Error err = FT_Load_Glyph(pFace, nGlyph, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT);
    if (err != 0) err = FT_Load_Glyph(pFace, nGlyph, FT_LOAD_DEFAULT);
    FT_Set_Transform(pFace, nullptr, nullptr);
    if (err != 0) return;
    FT_GlyphSlot pSlot = pFace->glyph;
    if (font.m_bBold && !face.bBold) FT_GlyphSlot_Embolden(pSlot);
    pOut->nAdvance = int((pSlot->advance.x + 32) >> 6);
    if (pSlot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(pSlot, FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& bmp = pSlot->bitmap;
    if (bmp.width == 0 || bmp.rows == 0 || !bmp.buffer) return;
    if (bmp.pixel_mode != FT_PIXEL_MODE_GRAY && bmp.pixel_mode != FT_PIXEL_MODE_MONO) return;
    pOut->nWidth = int(bmp.width);
    pOut->nHeight = int(bmp.rows);
    pOut->nLeft = pSlot->bitmap_left;
    pOut->nTop = pSlot->bitmap_top;
    pOut->coverage.assign(size_t(pOut->nWidth) * size_t(pOut->nHeight), 0);
    for (int y = 0; y < pOut->nHeight; ++y) {
        const unsigned char* pRow = bmp.buffer + std::ptrdiff_t(y) * bmp.pitch;
        BYTE* pDst = pOut->coverage.data() + size_t(y) * size_t(pOut->nWidth);
        for (int x = 0; x < pOut->nWidth; ++x) {
            if (bmp.pixel_mode == FT_PIXEL_MODE_MONO)
                pDst[x] = (pRow[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            else
                pDst[x] = BYTE(bmp.num_grays == 256 ? pRow[x] : pRow[x] * 255 / std::max(1, int(bmp.num_grays) - 1));
        }
    }
}
