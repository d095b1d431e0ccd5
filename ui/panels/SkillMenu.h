// The skill panel: the hero's or the companion's portrait and numbers, three slots with
// the learned skills (or the kind's skills, greyed, where none is learned), the chosen
// skill's description, and the hot keys Y U I O P that hold the hero's skills.
#pragma once
#include <memory>

#include "ui/panels/GamePanel.h"

class CSkillMenu : public CGamePanel {
public:
    static constexpr int kSlots = 3;
    enum Hot { kLeftArrow = 0, kRightArrow = 1, kFirstSlot = 2, kHotCount = 5 };

    CSkillMenu();
    ~CSkillMenu() override;

    // Fills the lists and the portrait of member 1 (the hero) or another member number.
    void LoadPortrait(int nMember);
    // Shows the companion of that member number (the toolbar's companion button).
    void ShowCompanion(int nMember);
    void Draw() override;
    // Selects a slot or switches between hero and companion; always 0.
    int OnLButtonUp() override;
    // Y U I O P give the hero's selected skill that hot key; 1 when one was set.
    int OnKeyDown(int nKey) override;
    bool UseSelectedSkill() override;
    // As the script interpreter's click: selection 0 (the left arrow).
    void Refresh() override;
    // Spends a skill point on the skill in a slot of the shown character (no control
    // calls it).
    void RaiseSkillLevel(int nSlot);

    bool IsHeroShown() const { return m_bHeroShown != 0; }
    int GetHeroSelected() const { return m_nHeroSelected; }
    int GetCompanionSelected() const { return m_nCompanionSelected; }
    int HeroLearned(int i) const { return m_nHeroLearned[i]; }
    int HeroKind(int i) const { return m_nHeroKind[i]; }
    int CompanionLearned(int i) const { return m_nCompanionLearned[i]; }
    const RECT& GetHotRect(int n) const { return m_rcHot[n]; }
    // The hover as a draw sets it from the cursor.
    void UpdateSkillHover();

private:
    CPlayer* ShownCharacter() const;
    void DrawSlots();
    void DrawSkillInfo();

    BYTE m_bHeroShown = 1;
    int m_nHeroKind[kSlots] = {-1, -1, -1};
    int m_nCompanionKind[kSlots] = {-1, -1, -1};
    int m_nCompanionLearned[kSlots] = {-1, -1, -1};
    int m_nCompanionSelected = -1;
    int m_nHeroLearned[kSlots] = {-1, -1, -1};
    int m_nHeroSelected = -1;
    RECT m_rcRows[5]{};
    RECT m_rcName{};
    POINT m_ptPortrait{};
    std::unique_ptr<CTgaImage> m_pPortrait;
    std::unique_ptr<CTgaImage> m_pLeftHover, m_pRightHover, m_pBox;
    RECT m_rcHot[kHotCount]{};
};
