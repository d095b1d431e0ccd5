#include "ui/menus/TalkBar.h"

#include <cstring>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "media/TgaImage.h"
#include "platform/Charset.h"
#include "ui/ShellServices.h"
#include "ui/menus/MenuPackageSource.h"

namespace {

constexpr COLORREF kAnswerColor = RGB(255, 170, 0);
constexpr COLORREF kHoverColor = RGB(255, 255, 0);

// Byte length of the character at s[i]: 2 for a lead byte with its trail, else 1.
size_t CharLength(const char* s, size_t i, size_t nLength) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 1 && c <= 127) return 1;
    return i + 1 < nLength && s[i + 1] != 0 ? 2 : 1;
}

CDXSurface* MakeTextSurface(int nWidth, int nHeight, const char* pszFace) {
    if (!pScreen) return nullptr;
    CDXSurface* pSurface = new CDXSurface();
    if (Failed(pSurface->Create(pScreen, nWidth, nHeight, UiShell()->GetSurfaceMemory()))) {
        delete pSurface;
        return nullptr;
    }
    pSurface->ChangeFont(pszFace, -10, -19, nCharSet, 400, 0);
    return pSurface;
}

}  // namespace

const std::string& TalkClosingClass() {
    static const std::string s = Utf8ToText(
        "!),.:;?]}¨·ˇˉ―‖’”…∶、。〃々〉》」』】〕〗！＂＇），．：；？］｀｜｝～￠");
    return s;
}

const std::string& TalkOpeningClass() {
    static const std::string s = Utf8ToText("([{·‘“〈《「『【〔〖（．［｛￡￥");
    return s;
}

bool IsInTalkClass(const std::string& strClass, const char* pszChar) {
    if (!pszChar || !*pszChar) return false;
    const size_t nLen = CharLength(pszChar, 0, std::strlen(pszChar));
    // Walk the class a character at a time so that a match never straddles two of them.
    for (size_t i = 0; i < strClass.size();) {
        const size_t n = CharLength(strClass.c_str(), i, strClass.size());
        if (n == nLen && std::memcmp(strClass.data() + i, pszChar, n) == 0) return true;
        i += n;
    }
    return false;
}

bool TalkLineBreaks(int nPenX, int nWidth, int nCharHeight, const char* pszChar) {
    if (nPenX > nWidth) return !(nPenX <= nWidth + nCharHeight && IsInTalkClass(TalkClosingClass(), pszChar));
    return nPenX > nWidth - nCharHeight && IsInTalkClass(TalkOpeningClass(), pszChar);
}

// ---- face talk bar ----

CFaceTalkBar::CFaceTalkBar() : m_strFace(Utf8ToText("細明體")) {
    InitButtonRecord("me000.bmp", 150, UiShell()->GetScreenHeight() - 300, 2);
    SetRectAt(0, 90, 10, 700, 480);
    SetRectAt(1, 18, 27, 330, 120);
    m_nLineWidth = (m_rects[1].right - m_rects[1].left) - 2 * m_nCharWidth;
}

CFaceTalkBar::~CFaceTalkBar() {
    delete m_pTextSurface;
    delete m_pBar;
}

void CFaceTalkBar::LoadBarPicture() {
    SetGameFolderCurrent();
    delete m_pBar;
    m_pBar = LoadMenuTga("TalkBar.tga");
}

void CFaceTalkBar::Init() {
    delete m_pTextSurface;
    m_pTextSurface = MakeTextSurface(640, 150, m_strFace.c_str());
    if (m_pTextSurface) m_pTextSurface->SetColorKeyFromCorner();
    LoadBarPicture();
}

void CFaceTalkBar::SetPlacement(int n) {
    SetRectAt(0, 90, 10, 700, 480);
    SetRectAt(1, 18, 27, 330, 120);
    if (n == 0) {
        m_pInfo->x = 280;
        m_pInfo->y = 10;
    } else if (n == 1) {
        m_pInfo->x = 10;
        m_pInfo->y = 295;
    }
}

void CFaceTalkBar::Begin(const char* pszText) {
    m_pszText = pszText;
    m_nTextLength = pszText ? std::strlen(pszText) : 0;
    m_nReadPos = 0;
    m_dwLastChar = dwNowTime;
    if (m_pTextSurface) {
        m_pTextSurface->Fill(0);
        m_pTextSurface->SetColorKeyFromCorner();
    }
    m_bPageFull = false;
    m_bFastForward = false;
    m_bFinished = false;
    m_nPenX = 0;
    m_nPenY = 0;
    m_szChar[0] = 0;
}

void CFaceTalkBar::TakeChar() {
    if (m_nReadPos >= m_nTextLength) {
        m_szChar[0] = 0;
        m_bPageFull = true;
        m_bFastForward = false;
        return;
    }
    if (m_bPageFull) return;
    m_dwLastChar = dwNowTime;
    const size_t nLen = CharLength(m_pszText, m_nReadPos, m_nTextLength);
    std::memcpy(m_szChar, m_pszText + m_nReadPos, nLen);
    m_szChar[nLen] = 0;
    m_nReadPos += nLen;

    if (!TalkLineBreaks(m_nPenX, m_nLineWidth, m_nCharHeight, m_szChar)) return;
    m_nPenX = 0;
    m_nPenY += m_nCharHeight + 4;
    if (m_nPenY >= (m_nCharHeight + 4) * m_nLinesPerPage) {
        // The character starts the next page.
        m_nReadPos -= nLen;
        m_bPageFull = true;
        m_bFastForward = false;
    }
}

void CFaceTalkBar::PutChar() {
    if (m_bPageFull || !m_szChar[0]) return;
    if (m_pTextSurface) m_pTextSurface->TextOut(m_nPenX, m_nPenY, RGB(255, 255, 255), m_szChar);
    m_nPenX += int(std::strlen(m_szChar)) * (m_nCharWidth + 1);
}

bool CFaceTalkBar::Advance() {
    if (m_nReadPos >= m_nTextLength) {
        m_bFinished = true;
        return false;
    }
    if (m_bPageFull) {
        m_bPageFull = false;
        m_nPenX = 0;
        m_nPenY = 0;
        if (m_pTextSurface) m_pTextSurface->Fill(0);
        return true;
    }
    m_bFastForward = true;
    return false;
}

void CFaceTalkBar::Draw() {
    if (m_nNarrow) {
        const RECT rcPart{0, 0, 200, 150};
        if (m_pBar) m_pBar->Draw(nullptr, m_nBarX, m_nBarY, &rcPart, 0, 0, 0, 0);
    } else if (m_nFace >= 0) {
        if (m_pBar) m_pBar->Draw(nullptr, m_pInfo->x, m_pInfo->y, nullptr, 0, 0, 0, 0);
        DrawStoreFace(m_nFace, m_pInfo->x + 7, m_pInfo->y + 8);
    }
    // A speech without a face still types, so that it can be read to its end.
    if (!m_bPageFull) {
        if (dwNowTime - m_dwLastChar > m_dwCharInterval) {
            TakeChar();
            PutChar();
        }
        if (m_bFastForward) {
            for (int i = 0; i < 3; ++i) {
                TakeChar();
                PutChar();
            }
        }
    }
    const int nOriginX = (m_nNarrow ? m_nBarX : m_pInfo->x) + m_rects[1].left;
    const int nOriginY = (m_nNarrow ? m_nBarY : m_pInfo->y) + m_rects[1].top;
    if (m_pTextSurface && pBack && pScreen) {
        m_pTextSurface->BlitKeyed(pBack, nOriginX + 140, nOriginY);
        m_pTextSurface->BlitOutlined(pBack, nOriginX + 140, nOriginY, nullptr, 0, 0, pScreen->RgbToPixel(RGB(0, 0, 0)));
    }
}

int CFaceTalkBar::UpdateHover(int, int) { return 1; }

void CFaceTalkBar::NextLine(int) {
    if (Advance()) return;
    m_nClickPending = 1;
    if (m_bFinished) {
        ReleaseStoreFace();
        UiShell()->PollScriptWait();
        m_nClickPending = 0;
    }
}

void CFaceTalkBar::SetNarrowLayout() {
    LoadBarPicture();
    SetRectAt(1, 42, 20, 130, 120);
    m_nLineWidth = (m_rects[1].right - m_rects[1].left) - 2 * m_nCharHeight;
    m_nNarrow = 1;
}

void CFaceTalkBar::SetWideLayout() {
    LoadBarPicture();
    SetRectAt(1, 160, 20, 580, 120);
    m_nLineWidth = (m_rects[1].right - m_rects[1].left) - 2 * m_nCharHeight;
    m_nNarrow = 0;
}

// ---- choice talk bar ----

CChoiceTalkBar::CChoiceTalkBar() {
    InitButtonRecord("me000.bmp", 20, 40, 2);
    SetRectAt(0, 90, 10, 700, 480);
    SetRectAt(1, 18, 8, 375, 140);
    for (int i = 0; i < kLineCount; ++i) {
        m_crLines[i] = kAnswerColor;
        const LONG nLeft = m_rects[1].left + m_pInfo->x + 140;
        const LONG nTop = m_pInfo->y + 30 + m_nLineHeight * i;
        m_rcLines[i] = RECT{nLeft, nTop, nLeft + 350, nTop + m_nLineHeight};
    }
    m_rcLines[0].top -= 10;
}

CChoiceTalkBar::~CChoiceTalkBar() {
    delete m_pBar;
    ReleaseLineSurfaces();
}

void CChoiceTalkBar::LoadPicture() {
    SetGameFolderCurrent();
    delete m_pBar;
    m_pBar = LoadMenuTga("TalkBar.tga");
}

namespace {

// Cuts a line that lost bytes to the line size back to its last whole character, so
// that it never ends in the lead byte of a double-byte character.
void CutToWholeCharacters(char* pszLine, size_t nUsed) {
    size_t nWhole = 0;
    while (nWhole < nUsed) {
        const unsigned char c = static_cast<unsigned char>(pszLine[nWhole]);
        const size_t n = c >= 1 && c <= 127 ? 1 : 2;
        if (nWhole + n > nUsed) break;
        nWhole += n;
    }
    std::memset(pszLine + nWhole, 0, nUsed - nWhole);
}

}  // namespace

void CChoiceTalkBar::SetText(std::string strText) {
    int nLine = 0;
    size_t nUsed = 0;  // bytes in the current line
    bool bCut = false;  // the current line lost bytes to its size
    int nEscapes = 0;
    std::memset(m_szLines, 0, sizeof m_szLines);
    const size_t nLength = strText.size();
    // Byte by byte, as the scripts are written: a backslash followed by "n" ends the
    // line even when the backslash is the second byte of a double-byte character.
    for (size_t i = 0; i < nLength;) {
        if (strText[i] == '\\' && i + 1 < nLength && strText[i + 1] == 'n') {
            i += 2;
            if (bCut) CutToWholeCharacters(m_szLines[nLine], nUsed);
            if (nLine + 1 >= kLineCount) break;  // a fifth line has no room: the rest is dropped
            ++nLine;
            ++nEscapes;
            nUsed = 0;
            bCut = false;
            continue;
        }
        // Bytes past what a line holds are dropped.
        if (nUsed < size_t(kLineBytes - 1))
            m_szLines[nLine][nUsed++] = strText[i];
        else
            bCut = true;
        ++i;
    }
    if (bCut) CutToWholeCharacters(m_szLines[nLine], nUsed);
    MakeLineSurfaces((m_szLines[0][0] ? 1 : 0) + nEscapes);
}

void CChoiceTalkBar::MakeLineSurfaces(int n) {
    m_nLineCount = n < 0 ? 0 : n > kLineCount ? kLineCount : n;
    for (int i = 0; i < kLineCount; ++i) {
        delete m_pLineSurfaces[i];
        m_pLineSurfaces[i] = nullptr;
        if (i >= m_nLineCount) continue;  // a line of an earlier text is not shown again
        m_pLineSurfaces[i] = MakeTextSurface(800, UiShell()->GetScreenHeight(), m_strFace.c_str());
        if (m_pLineSurfaces[i]) {
            m_pLineSurfaces[i]->Fill(0);
            m_pLineSurfaces[i]->SetColorKeyFromCorner();
        }
    }
}

void CChoiceTalkBar::Draw() {
    if (m_nFace < 0) return;
    if (m_pBar) m_pBar->Draw(nullptr, 20, 40, nullptr, 0, 0, 0, 0);
    DrawStoreFace(m_nFace, 24, 45);
    if (!pBack) return;
    for (int i = 0; i < kLineCount; ++i) {
        CDXSurface* pLine = m_pLineSurfaces[i];
        if (!pLine) continue;
        pLine->BlitKeyed(pBack, 0, 0);
        RECT rc = m_rcLines[i];
        pLine->DrawText(m_szLines[i], m_crLines[i], &rc, DT_WORDBREAK);
    }
}

int CChoiceTalkBar::UpdateHover(int x, int y) {
    const POINT pt{x, y};
    for (int i = 1; i < m_nLineCount; ++i) m_crLines[i] = PtInRect(m_rcLines[i], pt) ? kHoverColor : kAnswerColor;
    return 1;
}

void CChoiceTalkBar::ReleaseLineSurfaces() {
    for (CDXSurface*& p : m_pLineSurfaces) {
        delete p;
        p = nullptr;
    }
}

void CChoiceTalkBar::OnLButtonUp(int) {
    CUiShell* pShell = UiShell();
    const POINT pt = pShell->GetMousePos();
    int nHit = -1;
    for (int i = 1; i < m_nLineCount; ++i) {
        if (PtInRect(m_rcLines[i], pt)) {
            nHit = i;
            break;
        }
    }
    if (nHit < 0 && pShell->GetAnswerRequired() != 0) return;
    m_nAnswered = 1;
    ReleaseStoreFace();
    pShell->PollScriptWait();
    if (!pShell->IsPartyChoice()) {
        if (nHit >= 0) pShell->StartEvent(m_nValues[nHit]);
        ReleaseLineSurfaces();
        pShell->SetAnswerRequired(0);
        return;
    }
    if (nHit < 0) return;
    const int nValue = m_nValues[nHit];
    for (int nSlot = 1; nSlot < pShell->GetPartyCount(); ++nSlot)
        if (pShell->GetPartyMemberId(nSlot) == nValue) pShell->SetPartyMemberId(nSlot, -1);
    pShell->RemovePartyMember(nValue);
    pShell->SetPartyChoice(false);
    pShell->SetScriptStep(true);
    pShell->SetAnswerRequired(0);
    ReleaseLineSurfaces();
}
