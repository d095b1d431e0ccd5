// An older load screen: the save files four at a time, the selected file's thumbnail,
// party pictures and caption, up and down buttons and a load button. Its owner may pass
// a loader (true when the file was loaded); without one the main window loads the file.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include "platform/Base.h"

class CDXSprite;
class CDXSurface;

// The header of a save file as this screen reads it.
struct SaveListHeader {
    char szCaption[17] = {};
    int nPictures = 0;    // 0..3
    int nFrame[4] = {};   // 0..6
    int nFlag = 0;
    bool bThumbnail = false;
    std::uint32_t thumbnail[90 * 75] = {};  // 0xRRGGBB
};

class CSaveList {
public:
    static constexpr int kFiles = 20;
    static constexpr int kLastTop = 16;
    static constexpr POINT kOrigin{200, 20};
    static constexpr int kThumbWidth = 90, kThumbHeight = 75;

    explicit CSaveList(std::function<bool(int)> loader = {});
    virtual ~CSaveList();
    CSaveList(const CSaveList&) = delete;
    CSaveList& operator=(const CSaveList&) = delete;

    // Draws the screen and handles a click; 1.
    int Draw();
    void OnClick();
    void SelectSlot();
    void ResetSlots();
    // Reads file n's header and thumbnail; false (nothing shown) when the file cannot be
    // opened or is shorter than its header.
    bool ReadSlot(int n);
    // Parses a header from the file's first bytes; false when they are too few.
    // The header of a save as this screen reads it. The thumbnail is 16-bit r5g6b5
    // pixels (13,500 bytes) when bFullScreen, else 32-bit x8r8g8b8 pixels (27,000 bytes),
    // the display depth of each mode. False for a file too short for it.
    static bool ParseHeader(const std::uint8_t* pData, size_t nSize, bool bFullScreen, SaveListHeader* pOut);
    static std::string FileName(int n);

    bool Exists(int n) const { return n >= 0 && n < kFiles && m_bExists[n] != 0; }
    const RECT& GetRect(int n) const { return m_rc[n]; }
    bool HasThumbnail() const { return m_pThumbnail != nullptr; }
    const CDXSprite* GetSlotSprite(int k) const { return k >= 0 && k < 4 ? m_pSlot[k].get() : nullptr; }
    const SaveListHeader& GetHeader() const { return *m_pHeader; }

    int m_bDone = 0;
    int m_nTop = 0;
    int m_nSelected = -1;
    int m_nPictures = 0;

private:
    std::function<bool(int)> m_loader;
    int m_bExists[kFiles] = {};
    RECT m_rc[7] = {};
    std::unique_ptr<SaveListHeader> m_pHeader;
    std::unique_ptr<CDXSprite> m_pButton[3];
    std::unique_ptr<CDXSprite> m_pSlot[4];
    std::unique_ptr<CDXSprite> m_pParty[3];
    std::unique_ptr<CDXSurface> m_pThumbnail;
    std::unique_ptr<CDXSurface> m_pBackground;
};
