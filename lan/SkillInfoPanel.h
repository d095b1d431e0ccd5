// The skill information panel: one party member's portrait and skill list with paging
// and scroll buttons. It owns a sprite board and a combining grid: two ingredient slots,
// a result slot and a confirm button fed from the goods grid, whose pair is replaced by
// the combination table's item.
#pragma once
#include <memory>
#include <string>
#include "platform/Base.h"

class CDXSprite;
class CMouse;
class CPlayer;
class CSpriteBoard;

// A member's skill list: the shown rows start at nTop.
struct SkillList {
    static constexpr int kCapacity = 200;
    int nTop = 0;
    int nCount = 0;
    int nVisible = 5;
    int nSkill[kCapacity] = {};
};

class CSkillButtonGrid {
public:
    static constexpr int kSlots = 101;

    CSkillButtonGrid();
    virtual ~CSkillButtonGrid();
    CSkillButtonGrid(const CSkillButtonGrid&) = delete;
    CSkillButtonGrid& operator=(const CSkillButtonGrid&) = delete;

    // One frame: 0 when closed by the leave button, else 1.
    int Update(CMouse& mouse);
    // Replaces the two ingredients by their combination; sets the failure flag without one.
    void Combine();
    bool PlaceSprite(int nSlot, int nRow, int nFrame, int x, int y);
    // Gives an item held by the grid back to the hero and the goods grid.
    void ReturnItem(int nItem);
    // Takes a dropped goods-grid item into slot A or B under the cursor.
    void SnapIngredients(CMouse& mouse);
    // The point 15 left of and 20 above the dragged picture when the cursor's sprite
    // touches pSprite, else (x, y).
    static void DropPoint(const CMouse& mouse, const CDXSprite* pSprite, POINT* pOut, int x, int y);

    CDXSprite* GetSlot(int n) const { return n >= 0 && n < kSlots ? m_pSlot[n].get() : nullptr; }

    int m_nItemA = -1;
    int m_nItemB = -1;
    int m_nResult = -1;
    int m_bCombineRequest = 0;
    int m_nShownSlot = 45;
    int m_bPlacedA = 0;
    int m_bPlacedB = 0;
    POINT m_ptDrop[3] = {{20, 275}, {70, 275}, {170, 200}};
    int m_bFailed = 0;
    int m_nResultItem = -1;
    int m_bOpen = 0;

private:
    std::unique_ptr<CDXSprite> m_pSlot[kSlots];
    std::unique_ptr<CDXSprite> m_pClose;
};

class CSkillInfoPanel {
public:
    static constexpr int kLists = 9;
    static constexpr int kSlots = 50;

    CSkillInfoPanel();
    virtual ~CSkillInfoPanel();
    CSkillInfoPanel(const CSkillInfoPanel&) = delete;
    CSkillInfoPanel& operator=(const CSkillInfoPanel&) = delete;

    // Draws and handles the mouse: 0 when the panel is (or now gets) closed, else 1.
    int Update(CMouse& mouse);
    void SetPortrait(int nSlot);
    bool SetPictureA(int nRow);
    bool SetPictureB(int nRow);
    bool PlaceSprite(int nSlot, int nRow, int nFrame, int x, int y);
    // The tip of a skill: string-table entry 18 filled with its name, attack, life and
    // inner power, shown at the cursor.
    void ShowSkillTip(int nSkill, const CMouse& mouse);
    static std::string SkillTipText(int nSkill);
    // Appends the skill when a party slot holds the member and the member knows it.
    void AddSkill(int nMember, int nSkill);
    void ResetSkillLists();
    void FillSkillLists();
    void ScrollDown(int nList);
    void ScrollUp(int nList);

    const SkillList* GetList(int n) const { return n >= 0 && n < kLists ? m_pList[n].get() : nullptr; }
    // The list of the member shown; null when the shown slot has no record.
    SkillList* ShownList();
    int ShownListIndex() const;
    CSkillButtonGrid* GetGrid() const { return m_pGrid.get(); }
    CSpriteBoard* GetBoard() const { return m_pBoard.get(); }
    CDXSprite* GetSlot(int n) const { return n >= 0 && n < kSlots ? m_pSlot[n].get() : nullptr; }

    RECT m_rcSkill[5] = {{172, 145, 212, 185}, {172, 190, 212, 230}, {172, 235, 212, 275},
                         {172, 280, 212, 320}, {172, 320, 212, 360}};
    int m_nScroll = 8;
    int m_nMember = 0;
    int m_bOpen = 0;
    int m_nPictureRow[2] = {-1, -1};

private:
    std::unique_ptr<SkillList> m_pList[kLists];
    std::unique_ptr<CDXSprite> m_pClose;
    std::unique_ptr<CDXSprite> m_pPicture[2];
    std::unique_ptr<CSkillButtonGrid> m_pGrid;
    std::unique_ptr<CSpriteBoard> m_pBoard;
    std::unique_ptr<CDXSprite> m_pSlot[kSlots];
};
