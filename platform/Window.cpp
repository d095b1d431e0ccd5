// The game's one window as the game sees it (a logical rectangle in screen coordinates,
// a style, a title), the choice of backend, and the small services around the window:
// desktop size, system cursor, message boxes, keyboard layout.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/WindowBackend.h"

namespace {

CWindowBackend* s_pBackend = nullptr;
std::once_flag s_backendOnce;
CPlatWindow* s_pWindow = nullptr;

// The layout the "system" had before the game switched to US; bookkeeping only, keys
// are always mapped with the US layout.
constexpr DWORD kUsLayout = 0x04090409;
DWORD s_dwLayout = kUsLayout;

}  // namespace

CWindowBackend& Backend() {
    std::call_once(s_backendOnce, [] {
        const char* pszHeadless = std::getenv("GAME_HEADLESS");
        if (!(pszHeadless && std::strcmp(pszHeadless, "1") == 0)) {
            s_pBackend = CreateSdlBackend();
            if (!s_pBackend) std::fprintf(stderr, "platform: no display available, running headless\n");
        }
        if (!s_pBackend) s_pBackend = CreateHeadlessBackend();
    });
    return *s_pBackend;
}

bool IsHeadless() { return Backend().IsHeadless(); }

bool IsSoftwareRasteriser(const std::string& strGlRenderer) {
    std::string strLower;
    for (char c : strGlRenderer) strLower += char(std::tolower(static_cast<unsigned char>(c)));
    for (const char* psz : {"llvmpipe", "softpipe", "lavapipe", "swrast", "software rasterizer"})
        if (strLower.find(psz) != std::string::npos) return true;
    return false;
}

SIZE ClientSizeOf(const WindowShape& shape) {
    LONG w = shape.rcOuter.right - shape.rcOuter.left;
    LONG h = shape.rcOuter.bottom - shape.rcOuter.top;
    return SIZE{w > 0 ? w : 0, h > 0 ? h : 0};
}

CPlatWindow* CurrentWindow() { return s_pWindow; }

struct CPlatWindow::State {
    WindowShape shape;
    bool bCreated = false;

    void Sync() {
        if (bCreated) Backend().UpdateWindow(shape);
    }
};

void ShowCurrentWindowFromRaise() {
    if (s_pWindow) s_pWindow->ShowWindow(SW_SHOWNORMAL);
}

CPlatWindow::CPlatWindow() : m_pState(new State) {}

CPlatWindow::~CPlatWindow() {
    // The derived part is gone: no WM_DESTROY here, only the native window goes.
    if (m_pState->bCreated) {
        Backend().DestroyNativeWindow();
        RemoveWindowMessages(this);
        if (s_pWindow == this) s_pWindow = nullptr;
    }
    delete m_pState;
}

bool CPlatWindow::CreatePlatWindow(const char* pszTitle, DWORD dwStyle, int x, int y, int cx, int cy) {
    if (m_pState->bCreated) return false;
    if (s_pWindow) {
        std::fprintf(stderr, "platform: a second game window was refused (one window at a time)\n");
        return false;
    }
    WindowShape& shape = m_pState->shape;
    shape.strTitle = pszTitle ? pszTitle : "";
    shape.dwStyle = dwStyle;
    shape.rcOuter = RECT{x, y, x + (cx > 0 ? cx : 0), y + (cy > 0 ? cy : 0)};
    shape.bVisible = (dwStyle & WS_VISIBLE) != 0;
    if (!Backend().CreateNativeWindow(shape)) return false;
    m_pState->bCreated = true;
    s_pWindow = this;
    // As with the system, a creation handler that answers -1 cancels the window.
    if (WindowProc(WM_CREATE, 0, 0) == -1) {
        DestroyPlatWindow();
        return false;
    }
    return true;
}

void CPlatWindow::DestroyPlatWindow() {
    if (!m_pState->bCreated) return;
    WindowProc(WM_DESTROY, 0, 0);
    Backend().DestroyNativeWindow();
    RemoveWindowMessages(this);
    m_pState->bCreated = false;
    m_pState->shape.bVisible = false;
    if (s_pWindow == this) s_pWindow = nullptr;
}

bool CPlatWindow::IsCreated() const { return m_pState->bCreated; }

LRESULT CPlatWindow::WindowProc(UINT, WPARAM, LPARAM) { return 0; }

void CPlatWindow::ShowWindow(int nCmdShow) {
    WindowShape& shape = m_pState->shape;
    shape.bVisible = nCmdShow != SW_HIDE;
    if (shape.bVisible) shape.dwStyle |= WS_VISIBLE;
    else shape.dwStyle &= ~WS_VISIBLE;
    m_pState->Sync();
}

bool CPlatWindow::SetForegroundWindow() {
    if (!m_pState->bCreated) return false;
    Backend().RaiseWindow();
    return true;
}

void CPlatWindow::BringWindowToTop() {
    if (m_pState->bCreated) Backend().RaiseWindow();
}

void CPlatWindow::SetWindowPos(int x, int y, int cx, int cy, UINT uFlags) {
    RECT& rc = m_pState->shape.rcOuter;
    if (!(uFlags & SWP_NOMOVE)) OffsetRect(&rc, x - rc.left, y - rc.top);
    if (!(uFlags & SWP_NOSIZE)) {
        rc.right = rc.left + (cx > 0 ? cx : 0);
        rc.bottom = rc.top + (cy > 0 ? cy : 0);
    }
    if (uFlags & SWP_SHOWWINDOW) {
        m_pState->shape.bVisible = true;
        m_pState->shape.dwStyle |= WS_VISIBLE;
    }
    m_pState->Sync();
}

void CPlatWindow::CenterWindow() {
    SIZE desk = GetDesktopSize();
    RECT& rc = m_pState->shape.rcOuter;
    LONG w = rc.right - rc.left, h = rc.bottom - rc.top;
    OffsetRect(&rc, (desk.cx - w) / 2 - rc.left, (desk.cy - h) / 2 - rc.top);
    m_pState->Sync();
}

DWORD CPlatWindow::GetStyle() const { return m_pState->shape.dwStyle; }

void CPlatWindow::SetStyle(DWORD dwStyle) {
    // The outer rectangle stays; the client area follows the new style. WS_VISIBLE shows
    // or hides the window, as it does when the system's style is changed.
    m_pState->shape.dwStyle = dwStyle;
    m_pState->shape.bVisible = (dwStyle & WS_VISIBLE) != 0;
    m_pState->Sync();
}

void CPlatWindow::GetClientRect(RECT* pRect) const {
    if (!pRect) return;
    SIZE sz = ClientSizeOf(m_pState->shape);
    *pRect = RECT{0, 0, sz.cx, sz.cy};
}

void CPlatWindow::GetWindowRect(RECT* pRect) const {
    if (pRect) *pRect = m_pState->shape.rcOuter;
}

void CPlatWindow::ClientToScreen(POINT* pPt) const {
    if (!pPt) return;
    const WindowShape& shape = m_pState->shape;
    pPt->x += shape.rcOuter.left;
    pPt->y += shape.rcOuter.top;
}

void CPlatWindow::ScreenToClient(POINT* pPt) const {
    if (!pPt) return;
    const WindowShape& shape = m_pState->shape;
    pPt->x -= shape.rcOuter.left;
    pPt->y -= shape.rcOuter.top;
}

const std::string& CPlatWindow::GetTitle() const { return m_pState->shape.strTitle; }

bool CPlatWindow::IsVisible() const { return m_pState->bCreated && m_pState->shape.bVisible; }

void AdjustWindowRectEx(RECT*, DWORD, bool, DWORD) {
    // The window manager draws the title bar and borders around the window, outside its
    // rectangle: the window rectangle is the client rectangle in every style, so a
    // window sized to the screen shows the whole screen whether it has a caption or not.
}

SIZE GetDesktopSize() { return Backend().DesktopSize(); }

int GetDesktopBitsPerPixel() { return 16; }

void ShowSystemCursor(bool bShow) { Backend().ShowCursor(bShow); }

int MessageBox(HWND, const char* pszText, const char* pszCaption, UINT uType) {
    return Backend().ShowMessageBox(pszText ? pszText : "", pszCaption ? pszCaption : "", uType);
}

DWORD SaveKeyboardLayout() { return s_dwLayout; }

void ActivateUsKeyboardLayout() { s_dwLayout = kUsLayout; }

void RestoreKeyboardLayout(DWORD dwLayout) {
    if (dwLayout) s_dwLayout = dwLayout;
}

void SetPresentationMode(bool bFullScreen, int nWidth, int nHeight) {
    Backend().SetPresentationMode(bFullScreen, nWidth, nHeight);
}
