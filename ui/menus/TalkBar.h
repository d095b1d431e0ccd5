// The two bars event scripts speak through: the face talk bar (one speech with the
// speaker's face, typed one character at a time, wrapped by pixel width with Chinese
// line-break rules, five lines a page) and the choice talk bar (a remark and up to
// three answers that light up and hand their value to the main window).
#pragma once
#include <string>
#include "platform/Base.h"
#include "ui/menus/MenuPanel.h"

class CDXSurface;
class CTgaImage;

// Characters that may hang past the line end, and characters that must not end a line.
const std::string& TalkClosingClass();
const std::string& TalkOpeningClass();
// True when the one- or two-byte character pszChar is one of the class's characters.
bool IsInTalkClass(const std::string& strClass, const char* pszChar);
// Whether a character starting at pen x breaks the line, for line width nWidth and
// character height nCharHeight.
bool TalkLineBreaks(int nPenX, int nWidth, int nCharHeight, const char* pszChar);

class CFaceTalkBar : public CMenuPanel {
public:
    static constexpr int kLinesPerPage = 5;

    CFaceTalkBar();
    ~CFaceTalkBar() override;

    // Text surface and bar picture.
    void Init();
    // 0: the bar at (280, 10); 1: at (10, 295). Width and narrow flag stay.
    void SetPlacement(int n);
    // Starts a speech; the text is borrowed and must live until the speech ends.
    void Begin(const char* pszText);
    void Draw();
    // Always 1: every click in the face-talk mode reaches NextLine.
    int UpdateHover(int x, int y);
    // The reader's click: types the rest of the page fast, turns the page or ends.
    void NextLine(int nSelection);
    void SetNarrowLayout();
    void SetWideLayout();

    // Fields the main window and the battle read and set.
    int m_nBarX = 0, m_nBarY = 0;  // where the narrow layout draws the bar
    int m_nNarrow = 0;
    int m_nFollowOn = 1;
    int m_nClickPending = 0;
    bool m_bFinished = false;
    int m_nFace = 0;

    // State for tests and diagnostics.
    int GetPenX() const { return m_nPenX; }
    int GetPenY() const { return m_nPenY; }
    int GetLineWidth() const { return m_nLineWidth; }
    bool IsPageFull() const { return m_bPageFull; }
    bool IsFastForward() const { return m_bFastForward; }
    size_t GetReadPos() const { return m_nReadPos; }
    const char* GetCurrentChar() const { return m_szChar; }
    CDXSurface* GetTextSurface() const { return m_pTextSurface; }

    // Takes the next character and decides on line and page breaks.
    void TakeChar();
    // Writes the current character at the pen and moves the pen.
    void PutChar();
    // True when it opened a new page.
    bool Advance();

private:
    void LoadBarPicture();

    int m_nLinesPerPage = kLinesPerPage;
    int m_nLineWidth = 0;
    bool m_bFastForward = false;
    int m_nPenX = 0, m_nPenY = 0;
    int m_nCharWidth = 10;
    int m_nCharHeight = 19;
    bool m_bPageFull = false;
    DWORD m_dwLastChar = 0;
    DWORD m_dwCharInterval = 50;
    const char* m_pszText = nullptr;
    size_t m_nTextLength = 0;
    CDXSurface* m_pTextSurface = nullptr;
    CTgaImage* m_pBar = nullptr;
    size_t m_nReadPos = 0;
    std::string m_strFace;
    char m_szChar[3] = {};
};

class CChoiceTalkBar : public CMenuPanel {
public:
    static constexpr int kLineCount = 4;
    static constexpr int kLineBytes = 512;

    CChoiceTalkBar();
    ~CChoiceTalkBar() override;

    void LoadPicture();
    // Splits the text at the written escape backslash-n into at most four lines of at
    // most 511 bytes, never inside a double-byte character, and makes the line surfaces.
    void SetText(std::string strText);
    void MakeLineSurfaces(int n);
    void Draw();
    // Colours the answer lines under the cursor; always 1.
    int UpdateHover(int x, int y);
    // The player's click on an answer (or beside the answers).
    void OnLButtonUp(int nSelection);
    void ReleaseLineSurfaces();

    // Fields the main window reads and sets.
    int m_nValues[kLineCount] = {-1, -1, -1, -1};
    int m_nAnswered = 0;
    int m_nFace = 0;

    int GetLineCount() const { return m_nLineCount; }
    const char* GetLineText(int n) const { return m_szLines[n]; }
    COLORREF GetLineColor(int n) const { return m_crLines[n]; }
    const RECT& GetLineRect(int n) const { return m_rcLines[n]; }
    CDXSurface* GetLineSurface(int n) const { return m_pLineSurfaces[n]; }

private:
    int m_nLineCount = 3;
    COLORREF m_crLines[kLineCount];
    RECT m_rcLines[kLineCount];
    char m_szLines[kLineCount][kLineBytes] = {};
    int m_nLineHeight = 19;
    int m_nCharWidth = 10;
    CDXSurface* m_pLineSurfaces[kLineCount] = {};
    std::string m_strFace = "Arial";
    CTgaImage* m_pBar = nullptr;
};
