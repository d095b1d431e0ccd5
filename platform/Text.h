// Fonts and text output onto surfaces. Faces are found by name through fontconfig
// (the game's face names map to installed fonts), glyphs are drawn with FreeType, and
// strings stay GBK (or Big5) bytes until they are drawn.
#pragma once
#include "platform/Base.h"
#include "platform/Charset.h"

class CVideoSurface;
class CFontObject;
using HFONT = CFontObject*;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Character sets.
constexpr DWORD GB2312_CHARSET = 134;
constexpr DWORD CHINESEBIG5_CHARSET = 136;

// DrawText format flags.
constexpr UINT DT_TOP = 0x0;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_BOTTOM = 0x8;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr UINT DT_EXPANDTABS = 0x40;
constexpr UINT DT_NOCLIP = 0x100;
constexpr UINT DT_CALCRECT = 0x400;
constexpr UINT DT_NOPREFIX = 0x800;

// A drawing context bound to one surface: selected font, text colour, background mode.
// Made by CVideoSurface::GetDC and freed by ReleaseDC.
class CDeviceContext {
public:
    explicit CDeviceContext(CVideoSurface* pSurface) : m_pSurface(pSurface) {}
    CVideoSurface* Surface() const { return m_pSurface; }
    HFONT m_hFont = nullptr;
    COLORREF m_crText = 0;
    COLORREF m_crBack = 0xFFFFFF;
    int m_nBkMode = OPAQUE;

private:
    CVideoSurface* m_pSurface;
};
using HDC = CDeviceContext*;

// Creates a font. nHeight > 0 is the cell height, < 0 the character height, 0 a default;
// nWidth 0 keeps the face's aspect. The charset decides how strings are decoded
// (136: Big5, otherwise GBK). Null when no face can be loaded at all.
HFONT CreateFontA(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                  DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD nCharSet,
                  DWORD nOutPrecision, DWORD nClipPrecision, DWORD nQuality,
                  DWORD nPitchAndFamily, const char* pszFace);
bool DeleteObject(HFONT hFont);
// Selects a font into the context and returns the previous one (null: the default font).
HFONT SelectObject(HDC hDC, HFONT hFont);
int SetBkMode(HDC hDC, int nMode);
COLORREF SetTextColor(HDC hDC, COLORREF crColor);
COLORREF SetBkColor(HDC hDC, COLORREF crColor);
// Draws a string with its top-left at (x, y). nLength -1: up to the terminating zero.
bool TextOutA(HDC hDC, int x, int y, const char* pszText, int nLength);
// Draws a string into a rectangle with the format flags; returns the height of the text.
// DT_CALCRECT measures only and sets the rectangle's right and bottom.
int DrawTextA(HDC hDC, const char* pszText, int nLength, RECT* pRect, UINT uFormat);
bool GetTextExtentPoint32A(HDC hDC, const char* pszText, int nLength, SIZE* pSize);
