#include "lan/MoneyInput.h"

#include <cstring>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "platform/Clock.h"
#include "ui/menus/MenuPanel.h"

namespace {
bool IsLeadByte(unsigned char c) { return (c & 0x80) != 0; }
}  // namespace

CMoneyInput::CMoneyInput() { m_pPicture = LoadMenuSurface("ThrowMoney.tga", true); }

CMoneyInput::~CMoneyInput() { delete m_pPicture; }

void CMoneyInput::Clear() {
    m_nCaret = 1;
    std::memset(m_szText, 0, sizeof(m_szText));
    m_szText[0] = '|';
}

void CMoneyInput::ResetBlink() {
    m_dwNow = TimeGetTime();
    m_dwLastBlink = m_dwNow;
}

int CMoneyInput::OnChar(int c) {
    if (c == 13) return 2;
    const int nTyped = m_nCaret - 1;
    if (c == 8) {
        if (nTyped <= 0) return 1;
        // Character starts are found from the first byte: a trail byte may have its top
        // bit set too, so looking only at the byte before the caret can split a character.
        int nStart = 0;
        int i = 0;
        while (i < nTyped) {
            nStart = i;
            i += (IsLeadByte(static_cast<unsigned char>(m_szText[i])) && i + 1 < nTyped) ? 2 : 1;
        }
        std::memset(m_szText + nStart, 0, sizeof(m_szText) - size_t(nStart));
        m_szText[nStart] = '|';
        m_nCaret = nStart + 1;
        return 1;
    }
    if (nTyped >= kMaxBytes) return 1;
    // A lead byte in the last free place would strand half a character.
    if (nTyped == kMaxBytes - 1 && IsLeadByte(static_cast<unsigned char>(c))) {
        int i = 0;
        bool bInsideChar = false;
        while (i < nTyped) {
            bInsideChar = IsLeadByte(static_cast<unsigned char>(m_szText[i])) && i + 1 >= nTyped;
            i += IsLeadByte(static_cast<unsigned char>(m_szText[i])) ? 2 : 1;
        }
        // A lead byte completing a pending lead is a trail byte, and is taken.
        if (!bInsideChar) return 1;
    }
    m_szText[nTyped] = static_cast<char>(c);
    m_szText[nTyped + 1] = '|';
    m_szText[nTyped + 2] = 0;
    ++m_nCaret;
    return -1;
}

const char* CMoneyInput::GetText() {
    m_szText[m_nCaret - 1] = 0;
    return m_szText;
}

void CMoneyInput::Draw(int x, int y) {
    if (pBack) {
        if (m_pPicture) m_pPicture->BlitKeyed(pBack, x, y);
        pBack->ChangeFont("\xC1\xA5\xCA\xE9", 0, 20);
        if (m_nCaret != 0) pBack->TextOut(x + m_rcField.left, y + m_rcField.top, RGB(255, 128, 255), m_szText);
        pBack->ChangeFont("Arial", 0, 15);
    }
    m_dwNow = TimeGetTime();
    if (m_dwNow - m_dwLastBlink > kBlinkMs) {
        m_dwLastBlink = m_dwNow;
        char& rCaret = m_szText[m_nCaret - 1];
        rCaret = rCaret == 0 ? '|' : 0;
    }
}
