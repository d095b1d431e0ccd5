// The one message queue of the game and the asynchronous key state. Both backends feed
// it through the On* calls below; the game takes messages one at a time.
#include <algorithm>
#include <cstdio>
#include <deque>
#include <mutex>

#include "platform/Clock.h"
#include "platform/WindowBackend.h"

namespace {

// A queue that nobody reads (a busy wait that only polls key state) must not grow
// without bound: beyond this many messages new input is dropped, as the system does.
constexpr size_t kMaxQueued = 10000;

struct KeyState {
    bool bDown = false;
    bool bPressed = false;  // went down since the last GetAsyncKeyState of this key
};

std::mutex s_mutex;
std::deque<MSG> s_queue;
KeyState s_keys[256];
POINT s_ptCursor;  // client coordinates

bool IsKeyboardMessage(UINT m) { return m >= WM_KEYDOWN && m <= 0x0109; }
bool IsMouseMessage(UINT m) { return m >= WM_MOUSEMOVE && m <= 0x020E; }
bool IsInputMessage(UINT m) { return IsKeyboardMessage(m) || IsMouseMessage(m); }

POINT CursorScreenPos() {
    POINT pt = s_ptCursor;
    if (CPlatWindow* pWnd = CurrentWindow()) pWnd->ClientToScreen(&pt);
    return pt;
}

MSG MakeMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg;
    msg.hwnd = message == WM_QUIT ? nullptr : CurrentWindow();
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = TimeGetTime();
    msg.pt = CursorScreenPos();
    return msg;
}

void Push(const MSG& msg) {
    std::lock_guard<std::mutex> lock(s_mutex);
    if (s_queue.size() >= kMaxQueued && IsInputMessage(msg.message)) return;
    s_queue.push_back(msg);
}

void SetKey(int nKey, bool bDown) {
    if (nKey <= 0 || nKey > 255) return;
    if (bDown && !s_keys[nKey].bDown) s_keys[nKey].bPressed = true;
    s_keys[nKey].bDown = bDown;
}

WPARAM MouseFlags() {
    WPARAM w = 0;
    if (s_keys[VK_LBUTTON].bDown) w |= MK_LBUTTON;
    if (s_keys[VK_RBUTTON].bDown) w |= MK_RBUTTON;
    if (s_keys[VK_SHIFT].bDown) w |= MK_SHIFT;
    if (s_keys[VK_CONTROL].bDown) w |= MK_CONTROL;
    return w;
}

// Character a key gives on the US layout, 0 for none.
int CharOfKey(int nKey, bool bShift) {
    if (nKey >= 'A' && nKey <= 'Z') return bShift ? nKey : nKey - 'A' + 'a';
    if (nKey >= '0' && nKey <= '9') return bShift ? ")!@#$%^&*("[nKey - '0'] : nKey;
    switch (nKey) {
    case VK_SPACE: return ' ';
    case VK_RETURN: return '\r';
    case VK_BACK: return '\b';
    case VK_TAB: return '\t';
    case VK_ESCAPE: return 27;
    case VK_OEM_1: return bShift ? ':' : ';';
    case VK_OEM_PLUS: return bShift ? '+' : '=';
    case VK_OEM_COMMA: return bShift ? '<' : ',';
    case VK_OEM_MINUS: return bShift ? '_' : '-';
    case VK_OEM_PERIOD: return bShift ? '>' : '.';
    case VK_OEM_2: return bShift ? '?' : '/';
    case VK_OEM_3: return bShift ? '~' : '`';
    case VK_OEM_4: return bShift ? '{' : '[';
    case VK_OEM_5: return bShift ? '|' : '\\';
    case VK_OEM_6: return bShift ? '}' : ']';
    case VK_OEM_7: return bShift ? '"' : '\'';
    default: return 0;
    }
}

void PumpAll() {
    CWindowBackend& backend = Backend();
    if (TakeRaiseRequest()) {
        ShowCurrentWindowFromRaise();
        backend.RaiseWindow();
    }
    backend.Pump();
}

// Generic and sided codes of the three modifier keys.
void SplitModifier(int nKey, int* pGeneric, int* pSided) {
    *pGeneric = nKey;
    *pSided = 0;
    switch (nKey) {
    case VK_SHIFT: *pSided = VK_LSHIFT; break;
    case VK_CONTROL: *pSided = VK_LCONTROL; break;
    case VK_MENU: *pSided = VK_LMENU; break;
    case VK_LSHIFT: case VK_RSHIFT: *pGeneric = VK_SHIFT; *pSided = nKey; break;
    case VK_LCONTROL: case VK_RCONTROL: *pGeneric = VK_CONTROL; *pSided = nKey; break;
    case VK_LMENU: case VK_RMENU: *pGeneric = VK_MENU; *pSided = nKey; break;
    default: break;
    }
}

}  // namespace

void QueueMessage(UINT message, WPARAM wParam, LPARAM lParam) { Push(MakeMessage(message, wParam, lParam)); }

void OnKeyEvent(int nVirtKey, int nSidedKey, bool bDown, bool bRepeat) {
    if (nVirtKey <= 0 || nVirtKey > 255) return;
    const bool bWasDown = s_keys[nVirtKey].bDown;
    if (nSidedKey > 0 && nSidedKey <= 255) {
        SetKey(nSidedKey, bDown);
        // The generic code is down while either side is.
        int nOther = nSidedKey ^ 1;  // VK_LSHIFT <-> VK_RSHIFT and so on
        SetKey(nVirtKey, bDown || s_keys[nOther].bDown);
    } else {
        SetKey(nVirtKey, bDown);
    }
    const bool bAlt = s_keys[VK_MENU].bDown;
    // Keys pressed with Alt held (and Alt itself) are system keys: Alt+Enter arrives as
    // WM_SYSKEYDOWN with VK_RETURN.
    const bool bSys = bAlt || nVirtKey == VK_MENU;
    UINT message = bDown ? (bSys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (bSys ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lParam = 1;  // repeat count
    if (bAlt) lParam |= LPARAM(1) << 29;
    if (bWasDown || !bDown) lParam |= LPARAM(1) << 30;
    if (!bDown) lParam |= LPARAM(DWORD(1) << 31);
    if (bRepeat && bDown) {
        // An unread repeat of the same key only raises the repeat count.
        std::lock_guard<std::mutex> lock(s_mutex);
        if (!s_queue.empty()) {
            MSG& last = s_queue.back();
            if (last.message == message && last.wParam == WPARAM(nVirtKey) && (last.lParam & 0xFFFF) < 0xFFFF) {
                last.lParam += 1;
                return;
            }
        }
    }
    Push(MakeMessage(message, WPARAM(nVirtKey), lParam));
}

void OnMouseMove(int x, int y) {
    s_ptCursor = POINT{x, y};
    MSG msg = MakeMessage(WM_MOUSEMOVE, MouseFlags(), MakeLParam(x, y));
    std::lock_guard<std::mutex> lock(s_mutex);
    // Like the system, at most one unread move: a newer one replaces it.
    if (!s_queue.empty() && s_queue.back().message == WM_MOUSEMOVE) {
        s_queue.back() = msg;
        return;
    }
    if (s_queue.size() < kMaxQueued) s_queue.push_back(msg);
}

void OnMouseButton(int nVirtButton, bool bDown, bool bDoubleClick, int x, int y) {
    if (nVirtButton != VK_LBUTTON && nVirtButton != VK_RBUTTON) return;
    if (s_ptCursor.x != x || s_ptCursor.y != y) OnMouseMove(x, y);
    SetKey(nVirtButton, bDown);
    const bool bLeft = nVirtButton == VK_LBUTTON;
    UINT message;
    if (bDown) message = bDoubleClick ? (bLeft ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK) : (bLeft ? WM_LBUTTONDOWN : WM_RBUTTONDOWN);
    else message = bLeft ? WM_LBUTTONUP : WM_RBUTTONUP;
    Push(MakeMessage(message, MouseFlags(), MakeLParam(x, y)));
}

void OnActivate(bool bActive) {
    if (bActive) {
        Push(MakeMessage(WM_ACTIVATEAPP, TRUE, 0));
        Push(MakeMessage(WM_ACTIVATE, WA_ACTIVE, 0));
    } else {
        ReleaseAllKeys();
        Push(MakeMessage(WM_ACTIVATE, WA_INACTIVE, 0));
        Push(MakeMessage(WM_ACTIVATEAPP, FALSE, 0));
    }
}

void OnCloseRequest() { Push(MakeMessage(WM_CLOSE, 0, 0)); }

void ReleaseAllKeys() {
    for (KeyState& k : s_keys) k.bDown = false;
}

POINT CursorClientPos() { return s_ptCursor; }

void RemoveWindowMessages(HWND hWnd) {
    std::lock_guard<std::mutex> lock(s_mutex);
    s_queue.erase(std::remove_if(s_queue.begin(), s_queue.end(), [&](const MSG& m) { return m.hwnd == hWnd; }),
                  s_queue.end());
}

void ResetMessageQueue() {
    std::lock_guard<std::mutex> lock(s_mutex);
    s_queue.clear();
    for (KeyState& k : s_keys) k = KeyState{};
    s_ptCursor = POINT{};
}

size_t QueuedMessageCount() {
    std::lock_guard<std::mutex> lock(s_mutex);
    return s_queue.size();
}

bool PeekMessage(MSG* pMsg, bool bRemove) {
    PumpAll();
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        if (!s_queue.empty()) {
            if (pMsg) *pMsg = s_queue.front();
            if (bRemove) s_queue.pop_front();
            return true;
        }
    }
    ClockOnIdlePoll();
    return false;
}

void TranslateMessage(const MSG* pMsg) {
    if (!pMsg || pMsg->message != WM_KEYDOWN) return;
    int nChar = CharOfKey(int(pMsg->wParam), s_keys[VK_SHIFT].bDown);
    if (!nChar) return;
    MSG msg = *pMsg;
    msg.message = WM_CHAR;
    msg.wParam = WPARAM(nChar);
    std::lock_guard<std::mutex> lock(s_mutex);
    s_queue.push_front(msg);  // the character comes next, before later input
}

LRESULT DispatchMessage(const MSG* pMsg) {
    if (!pMsg || !pMsg->hwnd || pMsg->hwnd != CurrentWindow()) return 0;
    return pMsg->hwnd->WindowProc(pMsg->message, pMsg->wParam, pMsg->lParam);
}

bool PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hWnd && hWnd != CurrentWindow()) return false;
    MSG msg = MakeMessage(message, wParam, lParam);
    msg.hwnd = hWnd;
    std::lock_guard<std::mutex> lock(s_mutex);
    s_queue.push_back(msg);
    return true;
}

void PostQuitMessage(int nExitCode) { Push(MakeMessage(WM_QUIT, WPARAM(nExitCode), 0)); }

void FlushInputMessages() {
    std::lock_guard<std::mutex> lock(s_mutex);
    s_queue.erase(std::remove_if(s_queue.begin(), s_queue.end(), [](const MSG& m) { return IsInputMessage(m.message); }),
                  s_queue.end());
}

void FlushKeyboardMessages() {
    std::lock_guard<std::mutex> lock(s_mutex);
    s_queue.erase(
        std::remove_if(s_queue.begin(), s_queue.end(), [](const MSG& m) { return IsKeyboardMessage(m.message); }),
        s_queue.end());
}

bool GetInputState() {
    PumpAll();
    std::lock_guard<std::mutex> lock(s_mutex);
    return std::any_of(s_queue.begin(), s_queue.end(), [](const MSG& m) { return IsInputMessage(m.message); });
}

short GetAsyncKeyState(int nVirtKey) {
    ClockOnIdlePoll();
    PumpAll();
    if (nVirtKey <= 0 || nVirtKey > 255) return 0;
    KeyState& k = s_keys[nVirtKey];
    unsigned v = (k.bDown ? 0x8000u : 0u) | (k.bPressed ? 1u : 0u);
    k.bPressed = false;
    return short(std::uint16_t(v));
}

bool GetCursorPos(POINT* pPt) {
    if (!pPt) return false;
    PumpAll();
    *pPt = CursorScreenPos();
    return true;
}

void InjectKey(int nVirtKey, bool bDown) {
    int nGeneric, nSided;
    SplitModifier(nVirtKey, &nGeneric, &nSided);
    OnKeyEvent(nGeneric, nSided, bDown, false);
}

void InjectMouseMove(int x, int y) { OnMouseMove(x, y); }

void InjectMouseButton(int nButton, bool bDown, int x, int y, bool bDoubleClick) {
    if (nButton != VK_LBUTTON && nButton != VK_RBUTTON) {
        std::fprintf(stderr, "InjectMouseButton: button %d is neither VK_LBUTTON nor VK_RBUTTON\n", nButton);
        return;
    }
    OnMouseButton(nButton, bDown, bDoubleClick, x, y);
}

void InjectClose() { OnCloseRequest(); }

void InjectActivate(bool bActive) { OnActivate(bActive); }
