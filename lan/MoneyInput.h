// A small text box for typing an amount of money: a picture with a one-line field, a
// blinking caret "|", at most 10 typed bytes, Enter to confirm. The item panel would own
// one, but its pointer stays null, so the box is a library that tools and tests drive.
#pragma once
#include "platform/Base.h"

class CDXSurface;

class CMoneyInput {
public:
    static constexpr int kMaxBytes = 10;
    static constexpr DWORD kBlinkMs = 500;

    CMoneyInput();
    virtual ~CMoneyInput();
    CMoneyInput(const CMoneyInput&) = delete;
    CMoneyInput& operator=(const CMoneyInput&) = delete;

    // Draws the box and the text at (x, y) on the back buffer, then blinks the caret.
    void Draw(int x, int y);
    // Edits the text: 2 for Enter, 1 when the byte was ignored or one character erased,
    // -1 when the byte was typed.
    int OnChar(int c);
    // Removes the caret and returns the typed bytes; the caret shows again at the next blink.
    const char* GetText();
    int GetLength() const { return m_nCaret - 1; }
    void ResetBlink();
    void Clear();

    const char* GetRawText() const { return m_szText; }
    bool HasPicture() const { return m_pPicture != nullptr; }

private:
    RECT m_rcField{35, 60, 165, 80};
    CDXSurface* m_pPicture = nullptr;
    DWORD m_dwNow = 0;
    DWORD m_dwLastBlink = 0;
    int m_nCaret = 1;
    char m_szText[kMaxBytes + 4] = "|";
};
