// The modal boxes: a question with OK and Cancel, a notice with one OK button, and a
// box whose message is a picture with one or two picture buttons. Each is built on the
// caller's stack, runs its own message loop that redraws the whole screen until a
// button answers, and returns that button.
#pragma once
#include <string>
#include "platform/Base.h"

class CDXSurface;
class CTgaImage;

// 1 from a box's construction until a button (or Enter) answers it, then -1; a box
// given an empty text puts back the value it found. The main window's left-button-up
// handler ignores a release while it is 1 or more, so the release that answered a box
// never reaches the game.
extern int nMsgBoxClick;

class COKCancelBox {
public:
    COKCancelBox();
    virtual ~COKCancelBox();
    COKCancelBox(const COKCancelBox&) = delete;
    COKCancelBox& operator=(const COKCancelBox&) = delete;

    // Loads the four button pictures; the arguments are accepted and not used.
    void LoadButtons(const char* pszFirst = nullptr, const char* pszSecond = nullptr, int x = 0, int y = 0);
    // Runs the box: 1 OK, 2 Cancel; 0 at once (nothing shown) for an empty text. Layout
    // n 2 leaves room for two text lines, 1 (and anything above 2) for one.
    int Run(const char* pszText, int n, int x, int y);
    // While the box runs: the button under the cursor when the left button is (or was)
    // pressed, else 0. After Run it returns the answer the box recorded, so a caller
    // that asks again never loses a quick click.
    int HitTest();
    int GetAnswer() const { return m_nAnswer; }
    const RECT& GetTextRect() const { return m_rcText; }

private:
    void DrawFrame();

    int m_nY = 0;
    int m_nX = 0;
    CDXSurface* m_pBackdrop = nullptr;
    RECT m_rcOK{30, 105, 115, 145};
    RECT m_rcCancel{115, 105, 205, 145};
    RECT m_rcText{};
    CTgaImage* m_pNormal[2] = {};
    CTgaImage* m_pHover[2] = {};
    CTgaImage* m_pBackground = nullptr;
    std::string m_strText;
    int m_nAnswer = 0;
    int m_nClickBefore;  // nMsgBoxClick as the box found it
};

class CNoticeBox {
public:
    CNoticeBox();
    virtual ~CNoticeBox();
    CNoticeBox(const CNoticeBox&) = delete;
    CNoticeBox& operator=(const CNoticeBox&) = delete;

    void LoadButtons(const char* pszFirst = nullptr, const char* pszSecond = nullptr, int x = 0, int y = 0);
    // Runs the box until OK is clicked or Enter pressed: 1; 0 at once for an empty text.
    int Run(const char* pszText, int n, int x, int y);
    const RECT& GetTextRect() const { return m_rcText; }

private:
    int HitTest(int x, int y);

    CDXSurface* m_pBackdrop = nullptr;
    RECT m_rcOK{75, 105, 160, 145};
    RECT m_rcText{};
    CTgaImage* m_pNormal[2] = {};
    CTgaImage* m_pHover[2] = {};
    CTgaImage* m_pBackground = nullptr;
    std::string m_strText;
    int m_nClickBefore;
};

class CPicMessageBox {
public:
    CPicMessageBox();
    virtual ~CPicMessageBox();
    CPicMessageBox(const CPicMessageBox&) = delete;
    CPicMessageBox& operator=(const CPicMessageBox&) = delete;

    // Message picture (empty: none), button strip picture and the size of one strip cell.
    void LoadPictures(const char* pszMessage, const char* pszStrip, int nCellWidth, int nCellHeight);
    // Runs the box: button 1 or 2; 0 at once when a given text is empty (the text is
    // never shown). A count of 1 or 2 picks that layout; any other keeps the built one.
    int Run(const char* pszText, int nCount, int x, int y);
    const RECT& GetButtonRect(int n) const { return m_rcActive[n & 1]; }
    int GetButtonCount() const { return m_nCount; }

private:
    int HitTest();

    CDXSurface* m_pBackdrop = nullptr;
    CDXSurface* m_pHoverStrip = nullptr;
    RECT m_rcTwo[2] = {{65, 85, 163, 126}, {166, 105, 251, 133}};
    int m_nCellHeight = 0;
    int m_nCellWidth = 0;
    int m_nCount = 2;
    RECT m_rcActive[2] = {{65, 85, 163, 126}, {171, 74, 256, 102}};
    RECT m_rcOne{65, 85, 163, 126};
    CDXSurface* m_pStrip = nullptr;
    CDXSurface* m_pMessage = nullptr;
    CDXSurface* m_pBackground = nullptr;
    std::string m_strText;
    int m_nButtons = 2;  // the buttons drawn and tested: the count, kept to 1 or 2
    int m_nClickBefore;
};

// The text rectangle of layout n, box-relative: (0, 25 + 20n, 200 + 18n, 135), where a
// layout above 2 counts as 1.
RECT BoxTextRect(int n);
