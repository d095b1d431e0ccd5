// Plain value types and constants shared by the game and the platform layer:
// rectangles, points, colour references, result codes, message numbers and key codes.
#pragma once
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using BOOL = int;
using HRESULT = std::int32_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR, low byte red
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

struct RECT {
    LONG left = 0, top = 0, right = 0, bottom = 0;
};

struct POINT {
    LONG x = 0, y = 0;
};

struct SIZE {
    LONG cx = 0, cy = 0;
};

constexpr COLORREF RGB(int r, int g, int b) {
    return COLORREF(r & 0xFF) | (COLORREF(g & 0xFF) << 8) | (COLORREF(b & 0xFF) << 16);
}
constexpr int GetRValue(COLORREF c) { return int(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return int((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return int((c >> 16) & 0xFF); }

inline void SetRect(RECT* pRect, LONG l, LONG t, LONG r, LONG b) { *pRect = RECT{l, t, r, b}; }
inline void OffsetRect(RECT* pRect, LONG dx, LONG dy) {
    pRect->left += dx; pRect->right += dx; pRect->top += dy; pRect->bottom += dy;
}
inline void InflateRect(RECT* pRect, LONG dx, LONG dy) {
    pRect->left -= dx; pRect->right += dx; pRect->top -= dy; pRect->bottom += dy;
}
inline bool IsRectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
inline bool PtInRect(const RECT& r, POINT pt) {
    return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
}
inline bool EqualRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
// Intersection of two rectangles; false (and an empty result) when they do not overlap.
inline bool IntersectRect(RECT* pOut, const RECT& a, const RECT& b) {
    RECT r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
           a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    if (IsRectEmpty(r)) { *pOut = RECT{}; return false; }
    *pOut = r;
    return true;
}

// Result codes of the video and sound layer. Values the game compares against
// (surface lost, still drawing) are fixed; success is 0, failures are negative.
constexpr HRESULT DD_OK = 0;
constexpr HRESULT DDERR_GENERIC = HRESULT(0x80004005u);
constexpr HRESULT DDERR_INVALIDPARAMS = HRESULT(0x80070057u);
constexpr HRESULT DDERR_OUTOFMEMORY = HRESULT(0x8007000Eu);
constexpr HRESULT DDERR_UNSUPPORTED = HRESULT(0x80004001u);
constexpr HRESULT DDERR_NOTINITIALIZED = HRESULT(0x800401F0u);
constexpr HRESULT DDERR_SURFACELOST = HRESULT(0x887601C2u);
constexpr HRESULT DDERR_WASSTILLDRAWING = HRESULT(0x8876021Cu);
constexpr HRESULT DDERR_INVALIDRECT = HRESULT(0x88760096u);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = HRESULT(0x88760091u);
constexpr HRESULT DDERR_INVALIDMODE = HRESULT(0x8876008Cu);
constexpr HRESULT DDERR_NOTLOCKED = HRESULT(0x887601E6u);
constexpr HRESULT DDERR_SURFACEBUSY = HRESULT(0x887601C0u);
constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = HRESULT(0x88760234u);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = HRESULT(0x887600D4u);
constexpr HRESULT DDERR_NODC = HRESULT(0x887601EFu);
constexpr HRESULT DDERR_CANTCREATEDC = HRESULT(0x88760245u);
constexpr HRESULT DDERR_NOTFOUND = HRESULT(0x887600FFu);
inline bool Failed(HRESULT hr) { return hr < 0; }
inline bool Succeeded(HRESULT hr) { return hr >= 0; }

// Window messages the game handles.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_INPUTLANGCHANGEREQUEST = 0x0050;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_USER = 0x0400;

// Activation states carried in the low word of WM_ACTIVATE's wParam.
constexpr int WA_INACTIVE = 0;
constexpr int WA_ACTIVE = 1;
constexpr int WA_CLICKACTIVE = 2;

// Mouse-key flags in wParam of mouse messages.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;

// Virtual-key codes (US layout).
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_SNAPSHOT = 0x2C;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A.
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;
constexpr int VK_F12 = 0x7B;
constexpr int VK_NUMLOCK = 0x90;
constexpr int VK_SCROLL = 0x91;
constexpr int VK_LSHIFT = 0xA0;
constexpr int VK_RSHIFT = 0xA1;
constexpr int VK_LCONTROL = 0xA2;
constexpr int VK_RCONTROL = 0xA3;
constexpr int VK_LMENU = 0xA4;
constexpr int VK_RMENU = 0xA5;
constexpr int VK_OEM_1 = 0xBA;      // ;:
constexpr int VK_OEM_PLUS = 0xBB;   // =+
constexpr int VK_OEM_COMMA = 0xBC;
constexpr int VK_OEM_MINUS = 0xBD;
constexpr int VK_OEM_PERIOD = 0xBE;
constexpr int VK_OEM_2 = 0xBF;      // /?
constexpr int VK_OEM_3 = 0xC0;      // `~
constexpr int VK_OEM_4 = 0xDB;      // [{
constexpr int VK_OEM_5 = 0xDC;      // \|
constexpr int VK_OEM_6 = 0xDD;      // ]}
constexpr int VK_OEM_7 = 0xDE;      // '"

// Low word / high word helpers for message parameters.
constexpr WORD LoWord(std::uintptr_t v) { return WORD(v & 0xFFFF); }
constexpr WORD HiWord(std::uintptr_t v) { return WORD((v >> 16) & 0xFFFF); }
constexpr LPARAM MakeLParam(int lo, int hi) { return LPARAM(DWORD(WORD(lo)) | (DWORD(WORD(hi)) << 16)); }
