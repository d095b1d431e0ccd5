#include "ui/boxes/MessageBoxes.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "media/TgaImage.h"
#include "platform/Charset.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "ui/OwnLoop.h"
#include "ui/ShellServices.h"
#include "ui/menus/MainMenu.h"
#include "ui/menus/MenuPanel.h"

int nMsgBoxClick = 0;

namespace {

const char* const kButtonNames[2] = {"OKCancel_OK.tga", "Cancel.tga"};
const char* const kHoverNames[2] = {"OKCancel_OK[s].tga", "Cancel[s].tga"};

const std::string& BoxFace() {
    static const std::string s = Utf8ToText("隶书");
    return s;
}

// The backdrop exists only on the title screen; a missing picture leaves it empty.
void PrepareBackdrop(CDXSurface** ppBackdrop) {
    if (!pScene && !*ppBackdrop) *ppBackdrop = LoadMenuSurface("wite.bmp", false);
}

// The map screen with a scene; the white backdrop without one.
void DrawBackdrop(CDXSurface* pBackdrop) {
    if (pScene)
        UiShell()->DrawMapLayer();
    else if (pBackdrop && pBack)
        pBackdrop->BlitOpaque(pBack, 0, 0);
}

// The press that answered a box is the box's: its button messages still queued (and the
// moves before them) are dropped, so the map under the box never takes it as a walk.
void SwallowAnsweringClick() {
    MSG msg;
    while (PeekMessage(&msg, false) && msg.message >= WM_MOUSEMOVE && msg.message <= WM_LBUTTONDBLCLK) PeekMessage(&msg, true);
}

void DrawTga(CTgaImage* pImage, int x, int y) {
    if (pImage) pImage->Draw(nullptr, x, y, nullptr, 0, 0, 0, 0);
}

void DrawBoxText(const std::string& strText, RECT rc) {
    if (!pBack) return;
    pBack->ChangeFont(BoxFace().c_str(), 0, 20, nCharSet, 400);
    pBack->DrawText(strText.c_str(), RGB(255, 0, 0), &rc, DT_CENTER);
    pBack->ChangeFont(BoxFace().c_str(), 0, 15, nCharSet, 400);
}

void FinishFrame() {
    UiShell()->DrawMouse();
    if (pScreen) pScreen->Flip(FALSE);
}

// The pictures and the text a question or notice box draws.
struct ButtonBoxLook {
    CDXSurface* pBackdrop;
    CTgaImage* pBackground;
    CTgaImage* const* pNormal;
    CTgaImage* const* pHover;
    const std::string* pText;
    RECT rcText;  // box-relative
};

// One frame of a question or notice box over the screen behind it: backdrop (or map),
// title menu, box background, text, the buttons with the hover picture over the one
// under the cursor, then the cursor and the flip. Only the question resets the title
// menu's hover.
void DrawButtonBox(const ButtonBoxLook& look, int x, int y, const RECT* pButtons, int nButtons, bool bResetTitleHover) {
    DrawBackdrop(look.pBackdrop);
    if (CMainMenu* pMenu = UiShell()->GetTitleMenu()) {
        pMenu->Draw();
        if (bResetTitleHover) pMenu->SetHoveredButton(-1);
    }
    DrawTga(look.pBackground, x, y);
    RECT rcText = look.rcText;
    OffsetRect(&rcText, x, y);
    DrawBoxText(*look.pText, rcText);
    for (int i = 0; i < nButtons; ++i) DrawTga(look.pNormal[i], pButtons[i].left, pButtons[i].top);
    if (look.pNormal[0] && look.pNormal[1]) {
        const POINT pt = UiShell()->GetMousePos();
        for (int i = 0; i < nButtons; ++i)
            if (PtInRect(pButtons[i], pt)) DrawTga(look.pHover[i], pButtons[i].left, pButtons[i].top);
    }
    FinishFrame();
}

void LoadButtonPictures(CTgaImage* pNormal[2], CTgaImage* pHover[2]) {
    SetGameFolderCurrent();
    for (int i = 0; i < 2; ++i) {
        delete pNormal[i];
        delete pHover[i];
        pNormal[i] = LoadMenuTga(kButtonNames[i]);
        pHover[i] = LoadMenuTga(kHoverNames[i]);
    }
}

}  // namespace

RECT BoxTextRect(int n) {
    if (n > 2) n = 1;
    return RECT{0, 25 + 20 * n, 200 + 18 * n, 135};
}

// ---- question box ----

COKCancelBox::COKCancelBox() : m_nClickBefore(nMsgBoxClick) {
    SetGameFolderCurrent();
    m_pBackground = LoadMenuTga("OK_Cancel_BKGround1.tga");
    nMsgBoxClick = 1;
}

COKCancelBox::~COKCancelBox() {
    delete m_pBackdrop;
    for (int i = 0; i < 2; ++i) {
        delete m_pNormal[i];
        delete m_pHover[i];
    }
    delete m_pBackground;
}

void COKCancelBox::LoadButtons(const char*, const char*, int, int) { LoadButtonPictures(m_pNormal, m_pHover); }

int COKCancelBox::HitTest() {
    if (m_nAnswer != 0) return m_nAnswer;
    if (GetAsyncKeyState(VK_LBUTTON) == 0) return 0;
    const POINT pt = UiShell()->GetMousePos();
    int nButton = 0;
    if (PtInRect(m_rcOK, pt))
        nButton = 1;
    else if (PtInRect(m_rcCancel, pt))
        nButton = 2;
    if (nButton) {
        nMsgBoxClick = -1;
        PlayUiSound(5);
        SwallowAnsweringClick();
    }
    return nButton;
}

void COKCancelBox::DrawFrame() {
    const RECT rcButtons[2] = {m_rcOK, m_rcCancel};
    DrawButtonBox({m_pBackdrop, m_pBackground, m_pNormal, m_pHover, &m_strText, m_rcText}, m_nX, m_nY, rcButtons, 2,
                  true);
}

int COKCancelBox::Run(const char* pszText, int n, int x, int y) {
    m_nX = x;
    m_nY = y;
    GetAsyncKeyState(VK_LBUTTON);  // the press that opened the box does not count
    m_rcText = BoxTextRect(n);
    if (!pszText || !*pszText) {
        // No box is shown, so no click answers it: releases reach the game again.
        nMsgBoxClick = m_nClickBefore;
        return 0;
    }
    m_strText = pszText;
    m_nAnswer = 0;
    bMsgBoxOpen = 1;
    OffsetRect(&m_rcOK, x, y);
    OffsetRect(&m_rcCancel, x, y);
    PrepareBackdrop(&m_pBackdrop);
    int nAnswer = 0;
    while (nAnswer == 0) {
        if (!PumpOneMessage()) {
            nAnswer = 2;  // the game is ending: the question counts as cancelled
            break;
        }
        DrawFrame();
        nAnswer = HitTest();
    }
    m_nAnswer = nAnswer;
    bMsgBoxOpen = 0;
    return nAnswer;
}

// ---- notice box ----

CNoticeBox::CNoticeBox() : m_nClickBefore(nMsgBoxClick) {
    SetGameFolderCurrent();
    m_pBackground = LoadMenuTga("OK_Cancel_BKGround1.tga");
    nMsgBoxClick = 1;
}

CNoticeBox::~CNoticeBox() {
    delete m_pBackdrop;
    for (int i = 0; i < 2; ++i) {
        delete m_pNormal[i];
        delete m_pHover[i];
    }
    delete m_pBackground;
}

void CNoticeBox::LoadButtons(const char*, const char*, int, int) { LoadButtonPictures(m_pNormal, m_pHover); }

int CNoticeBox::HitTest(int, int) {
    if (GetAsyncKeyState(VK_LBUTTON) != 0 && PtInRect(m_rcOK, UiShell()->GetMousePos())) {
        nMsgBoxClick = -1;
        PlayUiSound(5);
        SwallowAnsweringClick();
        return 1;
    }
    if (GetAsyncKeyState(VK_RETURN) != 0) {
        nMsgBoxClick = -1;
        return 1;
    }
    return 0;
}

int CNoticeBox::Run(const char* pszText, int n, int x, int y) {
    GetAsyncKeyState(VK_LBUTTON);
    GetAsyncKeyState(VK_RETURN);  // an Enter pressed before the box opened does not answer it
    m_rcText = BoxTextRect(n);
    if (!pszText || !*pszText) {
        // No box is shown, so no click answers it: releases reach the game again.
        nMsgBoxClick = m_nClickBefore;
        return 0;
    }
    m_strText = pszText;
    bMsgBoxOpen = 1;
    OffsetRect(&m_rcOK, x, y);
    PrepareBackdrop(&m_pBackdrop);
    int nAnswer = 0;
    while (nAnswer == 0) {
        if (!PumpOneMessage()) {
            nAnswer = 1;
            break;
        }
        DrawButtonBox({m_pBackdrop, m_pBackground, m_pNormal, m_pHover, &m_strText, m_rcText}, x, y, &m_rcOK, 1,
                      false);
        nAnswer = HitTest(x, y);
    }
    bMsgBoxOpen = 0;
    return nAnswer;
}

// ---- picture box ----

CPicMessageBox::CPicMessageBox() : m_nClickBefore(nMsgBoxClick) {
    SetGameFolderCurrent();
    m_pBackground = LoadMenuSurface("MessageBox.bmp", true);
    nMsgBoxClick = 1;
}

CPicMessageBox::~CPicMessageBox() {
    delete m_pBackdrop;
    delete m_pHoverStrip;
    delete m_pStrip;
    delete m_pMessage;
    delete m_pBackground;
}

void CPicMessageBox::LoadPictures(const char* pszMessage, const char* pszStrip, int nCellWidth, int nCellHeight) {
    SetGameFolderCurrent();
    delete m_pMessage;
    m_pMessage = pszMessage && *pszMessage ? LoadMenuSurface(pszMessage, false) : nullptr;
    delete m_pStrip;
    m_pStrip = pszStrip && *pszStrip ? LoadMenuSurface(pszStrip, true) : nullptr;
    m_nCellWidth = nCellWidth;
    m_nCellHeight = nCellHeight;
    delete m_pHoverStrip;
    m_pHoverStrip = LoadMenuSurface("YesOrNo.bmp", true);
}

int CPicMessageBox::HitTest() {
    // Only a press since the last poll counts.
    if ((GetAsyncKeyState(VK_LBUTTON) & 1) == 0) return 0;
    const POINT pt = UiShell()->GetMousePos();
    for (int i = 0; i < m_nButtons; ++i) {
        if (PtInRect(m_rcActive[i], pt)) {
            nMsgBoxClick = -1;
            PlayUiSound(5);
            SwallowAnsweringClick();
            return i + 1;
        }
    }
    return 0;
}

int CPicMessageBox::Run(const char* pszText, int nCount, int x, int y) {
    GetAsyncKeyState(VK_LBUTTON);
    if (pszText) {
        if (!*pszText) {
            nMsgBoxClick = m_nClickBefore;
            return 0;
        }
        m_strText = pszText;
    }
    bMsgBoxOpen = 1;
    m_nCount = nCount;
    if (nCount == 1) {
        m_rcActive[0] = m_rcOne;
    } else if (nCount == 2) {
        m_rcActive[0] = m_rcTwo[0];
        m_rcActive[1] = m_rcTwo[1];
    }
    // Two rectangles exist; a box without a button could never be answered, so it
    // keeps one.
    m_nButtons = nCount < 1 ? 1 : nCount > 2 ? 2 : nCount;
    const int nButtons = m_nButtons;
    for (int i = 0; i < nButtons; ++i) OffsetRect(&m_rcActive[i], x, y);
    PrepareBackdrop(&m_pBackdrop);
    int nAnswer = 0;
    while (nAnswer == 0) {
        if (!PumpOneMessage()) {
            nAnswer = nButtons;
            break;
        }
        DrawBackdrop(m_pBackdrop);
        if (m_pBackground && pBack) m_pBackground->BlitKeyed(pBack, x, y);
        if (m_pMessage && pBack) m_pMessage->BlitOpaque(pBack, x + 20, y + 10);
        if (m_pStrip && pBack) {
            const POINT pt = UiShell()->GetMousePos();
            for (int i = 0; i < nButtons; ++i) {
                const RECT rcCell{i * m_nCellWidth, 0, (i + 1) * m_nCellWidth, m_nCellHeight};
                m_pStrip->BlitKeyed(pBack, m_rcActive[i].left, m_rcActive[i].top, &rcCell);
            }
            for (int i = 0; i < nButtons; ++i) {
                if (PtInRect(m_rcActive[i], pt)) {
                    const RECT rcCell{i * m_nCellWidth, 0, (i + 1) * m_nCellWidth, m_nCellHeight};
                    if (m_pHoverStrip) m_pHoverStrip->BlitKeyed(pBack, m_rcActive[i].left, m_rcActive[i].top, &rcCell);
                    break;
                }
            }
        }
        FinishFrame();
        nAnswer = HitTest();
    }
    bMsgBoxOpen = 0;
    return nAnswer;
}
