// Faces, fonts and glyph bitmaps for the text renderer. Face names the game uses are
// mapped to installed families, faces are opened once through fontconfig and FreeType,
// and rasterised glyphs are shared by every font of the same face, size and style.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>
#include "platform/Base.h"
#include "platform/Charset.h"

// One rasterised glyph: 8-bit coverage rows placed relative to the pen on the baseline.
struct GlyphBitmap {
    int nWidth = 0, nHeight = 0;
    int nLeft = 0;      // columns from the pen to the bitmap's left edge
    int nTop = 0;       // rows from the bitmap's top edge up to the baseline
    int nAdvance = 0;   // pen advance in pixels
    std::vector<BYTE> coverage;  // nWidth * nHeight bytes, 0 transparent .. 255 full
};

// A font made by CreateFontA: a primary face at a size and style, with CJK faces behind
// it for characters the primary face lacks.
class CFontObject {
public:
    // Height of a text line (the cell) and of its part above the baseline, in pixels.
    int CellHeight() const { return m_nCellHeight; }
    int Ascent() const { return m_nAscent; }
    TextCharset Charset() const { return m_charset; }
    // The glyph for a character; a character no face has gets the primary face's
    // missing-glyph box. Valid until the glyph cache is trimmed (CFontSystem::Trim).
    const GlyphBitmap& Glyph(char32_t ch);
    // The average character width, used for tab stops.
    int AverageCharWidth() const { return m_nAvgCharWidth; }

private:
    friend class CFontSystem;
    int m_nPrimaryFace = -1;
    int m_nEm = 16;          // em height in pixels
    int m_nWidthRequest = 0; // requested average character width, 0 keeps the aspect
    bool m_bBold = false;    // weight 700 or more: faces without a bold style are emboldened
    bool m_bItalic = false;  // faces without an italic style are slanted
    int m_nCellHeight = 16;
    int m_nAscent = 13;
    int m_nAvgCharWidth = 8;
    TextCharset m_charset = TextCharset::Gbk;
};

// Owner of FreeType, the opened faces, the glyph cache and the live font handles.
// Main thread only, like every text call.
class CFontSystem {
public:
    static CFontSystem& Instance();
    ~CFontSystem();

    // Makes a font; null when not even a fallback face can be opened.
    CFontObject* CreateFont(int nHeight, int nWidth, int nWeight, bool bItalic, DWORD nCharSet,
                            const char* pszFace);
    // Frees a font made by CreateFont; false for anything else.
    bool DeleteFont(CFontObject* pFont);
    bool IsLive(const CFontObject* pFont) const { return m_liveFonts.count(pFont) != 0; }
    // The font of a context with nothing selected: a system face about 16 pixels high.
    CFontObject* DefaultFont();
    // The font to draw with for a selected handle: the handle when it is live, else the default.
    CFontObject* Resolve(const CFontObject* pFont);
    // Drops the glyph cache when it has grown past its budget. Called before each text
    // call so that glyph references stay valid for the length of one call.
    void Trim();

    // The installed family a game face name maps to (for tests and diagnostics).
    static std::string MapFaceName(const char* pszFace);
    // Family name of an opened face (for tests and diagnostics); empty for a bad index.
    std::string FaceFamily(int nFace) const;
    int PrimaryFace(const CFontObject* pFont) const { return pFont ? pFont->m_nPrimaryFace : -1; }

private:
    friend class CFontObject;
    struct Face;
    CFontSystem();
    bool Ready() const { return m_pLibrary != nullptr; }
    // Opens (once) the face fontconfig gives for a family; -1 when fontconfig has no
    // face of exactly that family.
    int FindFace(const std::string& family, bool bBold, bool bItalic);
    // MapFaceName, remembered.
    const std::string& MappedFamily(const char* pszFace);
    int OpenFace(const std::string& path, int nIndex);
    const std::vector<int>& Fallbacks();
    const GlyphBitmap& GlyphFor(const CFontObject& font, char32_t ch);
    void Rasterise(int nFace, unsigned nGlyph, const CFontObject& font, GlyphBitmap* pOut);

    void* m_pLibrary = nullptr;  // FT_Library
    std::vector<std::unique_ptr<Face>> m_faces;
    std::unordered_map<std::string, int> m_faceByKey;     // "path#index" -> face
    std::unordered_map<std::string, int> m_faceByFamily;  // "family|bold|italic" -> face or -1
    // Face name bytes as the game passes them -> MapFaceName's answer (fonts are made
    // every pass; the name conversions behind the answer never change).
    std::unordered_map<std::string, std::string> m_familyByFace;
    std::vector<int> m_fallbacks;
    bool m_bFallbacksKnown = false;
    std::unordered_map<std::uint64_t, std::unique_ptr<GlyphBitmap>> m_glyphs;
    size_t m_nGlyphBytes = 0;
    std::unordered_set<const CFontObject*> m_liveFonts;
    std::unique_ptr<CFontObject> m_pDefault;
    bool m_bDefaultTried = false;
};
