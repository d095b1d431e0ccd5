// The state panel: portrait, name and numbers of the hero or the companion, six
// equipment boxes that take worn items off onto the cursor (and wear a carried one),
// and buttons that ask the toolbar for the item, skill, task and combine panels or to
// close. While a right-hand panel is open it draws a connector towards it.
#pragma once
#include <memory>

#include "ui/panels/GamePanel.h"

class CStateMenu : public CGamePanel {
public:
    static constexpr int kEquipBoxes = 6;
    enum Button { kItem = 0, kSkill, kTask, kCombine, kClose, kLeftArrow, kRightArrow, kButtonCount };

    CStateMenu();
    ~CStateMenu() override;

    // Portrait of member n: 1 the hero (5 with the alternate look), else the member number.
    void LoadPortrait(int nMember);
    void Draw() override;
    int OnLButtonUp() override;
    // As a click on the left arrow: the hero again, with a fresh portrait.
    void Refresh() override;
    void ResetSidePanel() override { m_bConnector = 0; }
    void DrawConnectorIfShown() override {
        if (m_bConnector) DrawConnector();
    }
    void DrawConnector();
    // The shown character's Unequip on the hovered box with the cursor's item; true
    // when something moved (the stats are clamped afterwards).
    bool UnequipHovered();

    int GetEquipHover() const { return m_nEquipHover; }
    bool IsHeroShown() const { return m_bHeroShown != 0; }
    bool HasConnector() const { return m_bConnector != 0; }
    const RECT& GetEquipBox(int n) const { return m_rcEquip[n]; }
    // The hovers as a draw sets them from a cursor point.
    void UpdateStateHover();

private:
    CPlayer* ShownCharacter() const;

    int m_nEquipHover = -1;
    RECT m_rcRows[5]{};
    RECT m_rcEquip[kEquipBoxes]{};
    RECT m_rcName{};
    POINT m_ptPortrait{};
    std::unique_ptr<CTgaImage> m_pConnector;
    BYTE m_bConnector = 0;
    RECT m_rcConnector{358, 190, 422, 235};
    BYTE m_bHeroShown = 1;
    std::unique_ptr<CTgaImage> m_pPortrait;
};
