#include "shell/BankDlg.h"

#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "platform/Charset.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "ui/OwnLoop.h"

namespace {

// The box's layout in dialog units, two pixels a unit.
constexpr int kUnit = 2;
constexpr int kBoxWidth = 100 * kUnit, kBoxHeight = 75 * kUnit;

RECT UnitRect(const RECT& rcBox, int x, int y, int w, int h) {
    return RECT{rcBox.left + x * kUnit, rcBox.top + y * kUnit, rcBox.left + (x + w) * kUnit,
                rcBox.top + (y + h) * kUnit};
}

// The messages the box reads itself instead of the main window: its keys and its buttons.
bool IsBoxInput(UINT nMessage) { return nMessage == WM_KEYDOWN || nMessage == WM_LBUTTONUP; }

bool IsKeyPress(UINT nMessage) { return nMessage == WM_KEYDOWN; }

DWORD Pixel(COLORREF cr) { return pScreen && pBack ? pScreen->RgbToPixel(cr, pBack) : 0; }

void DrawButton(const RECT& rc, const char* pszText, bool bHovered) {
    pBack->FillRect(rc.left, rc.top, rc.right - 1, rc.bottom - 1, Pixel(bHovered ? RGB(230, 210, 150) : RGB(200, 184, 140)));
    pBack->Rect(rc.left, rc.top, rc.right - 1, rc.bottom - 1, Pixel(RGB(60, 40, 20)));
    RECT rcText = rc;
    pBack->DrawText(pszText, RGB(0, 0, 0), &rcText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace

CBankDlg::CBankDlg(std::string strBankText, std::string strMoneyText, std::int64_t nAmount)
    : m_strBankText(std::move(strBankText)), m_strMoneyText(std::move(strMoneyText)),
      m_strDigits(std::to_string(nAmount < 0 ? 0 : nAmount)) {
    const int nWidth = pFrame ? pFrame->m_nScreenWidth : 800, nHeight = pFrame ? pFrame->m_nScreenHeight : 600;
    const int x = (nWidth - kBoxWidth) / 2, y = (nHeight - kBoxHeight) / 2;
    m_rcBox = RECT{x, y, x + kBoxWidth, y + kBoxHeight};
    m_rcBankText = UnitRect(m_rcBox, 6, 1, 87, 10);
    m_rcMoneyText = UnitRect(m_rcBox, 6, 14, 86, 8);
    m_rcEdit = UnitRect(m_rcBox, 28, 36, 61, 14);
    m_rcOk = UnitRect(m_rcBox, 4, 63, 40, 9);
    m_rcCancel = UnitRect(m_rcBox, 55, 63, 40, 9);
    if (m_strDigits.size() > size_t(kBankDigitsMax)) m_strDigits = "0";
    if (pScreen) {
        SetGameFolderCurrent();
        auto pPicture = std::make_unique<CDXSurface>();
        if (pPicture->CreateFromImageFile(pScreen, "IDB_BANK", pFrame ? DWORD(pFrame->m_nScreenMode) : 1) == 1)
            m_pPicture = std::move(pPicture);
    }
}

CBankDlg::~CBankDlg() = default;

std::int64_t CBankDlg::GetAmount() const {
    std::int64_t n = 0;
    for (char c : m_strDigits) n = n * 10 + (c - '0');
    return n;
}

int CBankDlg::OnMessage(UINT message, WPARAM wParam, POINT pt) {
    if (message == WM_LBUTTONUP) {
        if (PtInRect(m_rcOk, pt)) return kOk;
        if (PtInRect(m_rcCancel, pt)) return kCancel;
        return kNone;
    }
    if (message != WM_KEYDOWN) return kNone;
    const int nKey = int(wParam);
    if (nKey == VK_RETURN) return kOk;
    if (nKey == VK_ESCAPE) return kCancel;
    if (nKey == VK_BACK) {
        if (!m_strDigits.empty()) m_strDigits.pop_back();
        return kNone;
    }
    int nDigit = -1;
    if (nKey >= '0' && nKey <= '9') nDigit = nKey - '0';
    if (nKey >= VK_NUMPAD0 && nKey <= VK_NUMPAD0 + 9) nDigit = nKey - VK_NUMPAD0;
    if (nDigit < 0) return kNone;
    if (m_strDigits == "0") m_strDigits.clear();
    if (m_strDigits.size() < size_t(kBankDigitsMax)) m_strDigits.push_back(char('0' + nDigit));
    return kNone;
}

void CBankDlg::Draw() {
    if (!pBack) return;
    if (m_pPicture) {
        const RECT rc{0, 0, kBoxWidth, kBoxHeight};
        m_pPicture->BlitOpaque(pBack, m_rcBox.left, m_rcBox.top, &rc);
    } else {
        pBack->FillRect(m_rcBox.left, m_rcBox.top, m_rcBox.right - 1, m_rcBox.bottom - 1, Pixel(RGB(120, 90, 50)));
    }
    pBack->ChangeFont("System", 0, 16, nCharSet, 400, 0);
    RECT rc = m_rcBankText;
    pBack->DrawText(m_strBankText.c_str(), RGB(255, 255, 255), &rc, DT_LEFT | DT_SINGLELINE);
    rc = m_rcMoneyText;
    pBack->DrawText(m_strMoneyText.c_str(), RGB(255, 255, 255), &rc, DT_LEFT | DT_SINGLELINE);
    pBack->FillRect(m_rcEdit.left, m_rcEdit.top, m_rcEdit.right - 1, m_rcEdit.bottom - 1, Pixel(RGB(255, 255, 255)));
    pBack->Rect(m_rcEdit.left, m_rcEdit.top, m_rcEdit.right - 1, m_rcEdit.bottom - 1, Pixel(RGB(0, 0, 0)));
    rc = RECT{m_rcEdit.left + 4, m_rcEdit.top, m_rcEdit.right - 4, m_rcEdit.bottom};
    pBack->DrawText(m_strDigits.c_str(), RGB(0, 0, 0), &rc, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    const POINT pt = pMouse ? POINT{pMouse->m_nX, pMouse->m_nY} : POINT{};
    // The buttons say what they do: OK deposits, Cancel withdraws.
    static const std::string kDeposit = Utf8ToText("存入"), kWithdraw = Utf8ToText("取出");
    DrawButton(m_rcOk, kDeposit.c_str(), PtInRect(m_rcOk, pt));
    DrawButton(m_rcCancel, kWithdraw.c_str(), PtInRect(m_rcCancel, pt));
}

int CBankDlg::DoModal() {
    bMsgBoxOpen = 1;
    // The box shows the plain cursor.
    if (pMouse) pMouse->SetShape(0);
    int nAnswer = kNone;
    while (nAnswer == kNone) {
        MSG msg;
        const bool bGoOn = PumpOneMessage(&msg, IsBoxInput);
        if (msg.message != 0) {
            const POINT pt = pMouse ? POINT{pMouse->m_nX, pMouse->m_nY} : POINT{};
            nAnswer = OnMessage(msg.message, msg.wParam, pt);
        }
        if (!bGoOn || nAnswer != kNone || !pFrame) break;
        pFrame->DrawMapLayer();
        Draw();
        if (pMouse) pMouse->Draw();
        if (pScreen) pScreen->Flip(FALSE);
    }
    // The key that answered is let go before the box returns, so a notice that follows
    // does not take the same press as its own answer. Presses meanwhile are dropped; a
    // quit ends the wait and stays queued.
    bool bQuit = false;
    for (int nKey : {VK_RETURN, VK_ESCAPE})
        while (!bQuit && nAnswer != kNone && (GetAsyncKeyState(nKey) & 0x8000) && pFrame && pFrame->m_bRunning) {
            MSG msg;
            bQuit = !DispatchOneMessage(&msg, IsKeyPress);
            SleepMs(1);
        }
    GetAsyncKeyState(VK_RETURN);
    bMsgBoxOpen = 0;
    return nAnswer;
}
