// The list of save slots that the load and save panels share: which of the 20 slots
// hold a file, the four rows shown (slots top row .. top row + 3, the top row 0..7),
// each row's date, clock text and thumbnail from the file's header, the selected
// slot, the scroll handle, and the panel that draws and clicks it (CSaveSlotPanel).
#pragma once
#include <memory>
#include <string>

#include "ui/panels/GamePanel.h"

class CDXSurface;

constexpr int kSaveListSlots = 20;
constexpr int kSaveListRows = 4;
constexpr int kSaveListTopMax = 7;
constexpr int kSaveListLastSlot = kSaveListTopMax + kSaveListRows - 1;  // 10

// What the panels ask of the main window; the shell installs its own. The default
// host has no game to save or load.
class CSaveSlotHost {
public:
    virtual ~CSaveSlotHost() = default;
    virtual bool SaveGame(int nSlot, std::string* pError) { (void)nSlot; (void)pError; return false; }
    virtual bool LoadGame(int nSlot, std::string* pError) { (void)nSlot; (void)pError; return false; }
    // True while the title menu exists (the load panel then sits at (230, 60) and its
    // delete button never reacts).
    virtual bool IsTitleShown() const { return false; }
    // The question box at (400, 225): 1 OK, 2 Cancel; and a notice.
    virtual int AskQuestion(const char* pszText);
    virtual void ShowNotice(const char* pszText);
};
CSaveSlotHost& SaveSlotHost();
// Installs a host (null restores the default); the caller keeps ownership.
void SetSaveSlotHost(CSaveSlotHost* pHost);

struct SaveSlotRow {
    bool bShown = false;       // the header was read
    bool bUnreadable = false;  // the slot holds a save whose header cannot be read
    char szDate[17] = {};
    char szClock[17] = {};
    std::unique_ptr<CDXSurface> pThumb;
};

class CSaveSlotList {
public:
    CSaveSlotList();
    ~CSaveSlotList();
    CSaveSlotList(const CSaveSlotList&) = delete;
    CSaveSlotList& operator=(const CSaveSlotList&) = delete;

    // Notes which slots hold a file (or a folder in a file's place) and reads the rows
    // shown.
    void ScanSlots();
    // Reads the date, clock and thumbnail of a slot into a row; a header that cannot be
    // opened or is cut short marks the row unreadable and is said once.
    void ReadSaveHeader(int nSlot, int nRow);
    void RefreshRows();
    // Deletes the slot's file; false when it could not be removed (the row stays).
    bool DeleteSave(int nSlot);
    // Moves the list one row up (-1) or down (+1); true when the top row moved. The
    // handle moves in either case, inside 0..7.
    bool Scroll(int nStep);
    // The list follows the handle to row n (0..7).
    void ScrollTo(int nTop);
    // A slot was saved: present, and its row read again when shown.
    void OnSaved(int nSlot);

    bool IsPresent(int nSlot) const { return nSlot >= 0 && nSlot < kSaveListSlots && m_bPresent[nSlot]; }
    int GetTopRow() const { return m_nTopRow; }
    int GetHandle() const { return m_nHandle; }
    int GetSelected() const { return m_nSelected; }
    void SetSelected(int nSlot) { m_nSelected = nSlot; }
    const SaveSlotRow& Row(int nRow) const { return m_rows[nRow]; }

private:
    bool m_bPresent[kSaveListSlots] = {};
    SaveSlotRow m_rows[kSaveListRows];
    int m_nTopRow = 0;
    int m_nHandle = 0;
    int m_nSelected = -1;
};

// Where a panel puts the list's parts, relative to its origin.
struct SaveSlotLayout {
    RECT rcText[kSaveListRows];
    POINT ptPicture[kSaveListRows];
    RECT rcStrip;        // the scroll strip the list follows without a click
    int nStripBias;      // added to the cursor's offset into the strip before the division
    POINT ptTrack;       // scroll track picture
    POINT ptHandleTop;   // the handle's first notch; the notches are 27 pixels apart
    bool bSoundAtLimit;  // the scroll buttons sound also when the list cannot move
};

// The common panel of the two: background, track, handle, the five buttons (up, down,
// delete, OK, cancel), the rows, the scroll buttons, the delete question and the row
// clicks. The OK button is the subclass's.
class CSaveSlotPanel : public CGamePanel {
public:
    enum Button { kUp = 0, kDown = 1, kDelete = 2, kOk = 3, kCancel = 4 };

    CSaveSlotPanel(int x, int y, const SaveSlotLayout& layout, const char* pszOkPicture);
    ~CSaveSlotPanel() override;

    void Draw() override;
    int OnLButtonUp() override;
    void OnMouseMove() override;

    CSaveSlotList& List() { return m_list; }
    // The row's text rectangle on the screen.
    RECT TextRect(int nRow) const;

protected:
    // The OK button with a selected slot; the PanelCode to return, or kPanelMissed to
    // go on with the row test.
    virtual int OnOk(int nSlot) = 0;
    // Pictures drawn between the track and the buttons (the save panel's frame).
    virtual void DrawExtra() {}
    // Whether a button may light (the title screen's delete button does not).
    virtual bool CanHover(int nButton) const { (void)nButton; return true; }

    CSaveSlotList m_list;

private:
    void DrawRows();
    void AskDelete();

    SaveSlotLayout m_layout;
    std::unique_ptr<CTgaImage> m_pTrack;
    std::unique_ptr<CTgaImage> m_pHandle;
};
