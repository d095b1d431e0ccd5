// The one top-level window, the message queue, keyboard and mouse state, message
// boxes, the single-instance rule and the presentation of finished frames. Two
// backends stand behind it: SDL2 (a real window) and headless (no window; input from
// a queue or an input script, frames kept for screenshots, a virtual clock).
#pragma once
#include <string>
#include "platform/Base.h"

class CPlatWindow;
class CVideoSurface;
using HWND = CPlatWindow*;
using LRESULT = std::intptr_t;

// Window styles and show commands.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;
constexpr UINT SWP_NOSIZE = 0x1;
constexpr UINT SWP_NOMOVE = 0x2;
constexpr UINT SWP_NOZORDER = 0x4;
constexpr UINT SWP_NOACTIVATE = 0x10;
constexpr UINT SWP_SHOWWINDOW = 0x40;

// Message-box types and answers.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONERROR = 0x10;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};

// Base of the game's main window. There is one window at a time; the backend shows it
// as an SDL window (or keeps it virtual when headless). Coordinates of the client area
// are the game's back-buffer pixels.
class CPlatWindow {
public:
    CPlatWindow();
    virtual ~CPlatWindow();
    // Creates the window hidden, with a GBK title, style and outer rectangle.
    bool CreatePlatWindow(const char* pszTitle, DWORD dwStyle, int x, int y, int cx, int cy);
    void DestroyPlatWindow();
    bool IsCreated() const;
    // Handles one dispatched message; the default does nothing and returns 0.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    void ShowWindow(int nCmdShow);
    bool SetForegroundWindow();
    void BringWindowToTop();
    // Moves and sizes the window's outer rectangle (the client area follows the style).
    void SetWindowPos(int x, int y, int cx, int cy, UINT uFlags);
    void CenterWindow();
    DWORD GetStyle() const;
    void SetStyle(DWORD dwStyle);
    void GetClientRect(RECT* pRect) const;
    void GetWindowRect(RECT* pRect) const;
    void ClientToScreen(POINT* pPt) const;
    void ScreenToClient(POINT* pPt) const;
    const std::string& GetTitle() const;
    // True while the window is shown (ShowWindow, SWP_SHOWWINDOW or the WS_VISIBLE style).
    bool IsVisible() const;

private:
    struct State;
    State* m_pState;
};

// Grows a client rectangle to the outer rectangle of a window of that style.
void AdjustWindowRectEx(RECT* pRect, DWORD dwStyle, bool bMenu, DWORD dwExStyle);
// Size of the desktop the window lives on.
SIZE GetDesktopSize();
// Bits per pixel the desktop (and so a windowed display) uses: the run's one depth.
int GetDesktopBitsPerPixel();

// Message queue. PeekMessage pumps the backend first, then takes at most one message.
bool PeekMessage(MSG* pMsg, bool bRemove);
void TranslateMessage(const MSG* pMsg);
LRESULT DispatchMessage(const MSG* pMsg);
bool PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int nExitCode);
// Drops pending keyboard and mouse messages; close and quit requests stay queued.
void FlushInputMessages();
// Drops pending keyboard messages only.
void FlushKeyboardMessages();
// True when a keyboard or mouse message is pending (pumps the backend first).
bool GetInputState();

// Key state: bit 15 set while the key (or mouse button) is down, bit 0 set when it was
// pressed since the last query of that key. Pumps the backend, so a busy wait sees input.
short GetAsyncKeyState(int nVirtKey);
// Down now or pressed since the last query: a tap between two looks counts too.
inline bool KeyDownOrTapped(int nVirtKey) { return (GetAsyncKeyState(nVirtKey) & 0x8001) != 0; }
// Cursor position in screen coordinates.
bool GetCursorPos(POINT* pPt);
// Hides or shows the system cursor over the window (the game draws its own).
void ShowSystemCursor(bool bShow);

// A blocking message box; headless prints it to stderr and answers IDOK / IDYES.
int MessageBox(HWND hWnd, const char* pszText, const char* pszCaption, UINT uType);

// Keyboard layout: the game keeps the US mapping while its window exists.
DWORD SaveKeyboardLayout();
void ActivateUsKeyboardLayout();
void RestoreKeyboardLayout(DWORD dwLayout);

// Single instance of a windowed game. True when this process is the first with that
// title; otherwise the first process is asked to raise its window and false is returned
// (*pRaised, when given, tells whether the request reached it). The lock file goes when
// the holder releases it or exits.
bool AcquireSingleInstance(const char* pszTitle, bool* pRaised = nullptr);
void ReleaseSingleInstance();

// Called by the display when the primary surface changed: shows rcSource of pFront
// (scaled to the window when sizes differ) and counts one presented frame.
void PresentFrame(const CVideoSurface* pFront, const RECT& rcSource, bool bFullScreen);
// Called by the display when a full-screen mode is set or left.
void SetPresentationMode(bool bFullScreen, int nWidth, int nHeight);

// Backend selection: headless when GAME_HEADLESS=1 or when no display can be opened.
bool IsHeadless();
// Asks, before the backend starts, that a headless run without an input script keeps its
// virtual clock to real time, so that waiting for Ctrl+C idles (the game's own start;
// tests and tools that drive the clock leave it running as fast as it can).
void PaceHeadlessRunWithoutScript();

// Headless driver. The last presented frame can be written as a PNG; input can be
// queued by tests; an input script (GAME_INPUT) and the frame step (GAME_FRAME_MS) are
// read from the environment at start. Presented frames are counted from 1.
bool SaveScreenshotPng(const char* pszPath);
DWORD GetPresentedFrameCount();
// Injected input goes through the same queue and key state as real input; positions
// are client coordinates and nButton is VK_LBUTTON or VK_RBUTTON.
void InjectKey(int nVirtKey, bool bDown);
void InjectMouseMove(int x, int y);
void InjectMouseButton(int nButton, bool bDown, int x, int y, bool bDoubleClick = false);
void InjectClose();
// Focus gained or lost: WM_ACTIVATEAPP and WM_ACTIVATE as the window manager would send.
void InjectActivate(bool bActive);
