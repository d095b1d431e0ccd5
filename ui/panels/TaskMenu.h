// The task panel: the hero's open tasks (state 1, green) and closed ones (state 0, red),
// one description of each list at a time, stepped with two ball buttons per list, and a
// butterfly beside each list that marks the position like a scroll thumb. The lists are
// taken when the panel opens.
#pragma once
#include <memory>
#include <vector>

#include "ui/panels/GamePanel.h"

class CTaskMenu : public CGamePanel {
public:
    enum Button { kUpperUp = 0, kUpperDown, kLowerUp, kLowerDown, kButtonCount };
    static constexpr int kUpperThumbX = 678, kLowerThumbX = 443;

    CTaskMenu();
    ~CTaskMenu() override;

    void Draw() override;
    // Steps a list by the hovered button (with the click sound also at a list's end): 1;
    // -1 when no button was hovered.
    int OnLButtonUp() override;
    void OnMouseMove() override {}

    const std::vector<int>& Upper() const { return m_upper; }
    const std::vector<int>& Lower() const { return m_lower; }
    int GetUpperPos() const { return m_nUpperPos; }
    int GetLowerPos() const { return m_nLowerPos; }
    // The butterflies' y where they are drawn now.
    int UpperThumbY() const;
    int LowerThumbY() const;
    const RECT& GetBallRect(int n) const { return m_rcButtons[n]; }
    void UpdateTaskHover();

private:
    int m_nShownUpper = 0;
    std::vector<int> m_upper, m_lower;
    int m_nUpperPos = 0, m_nLowerPos = 0;
    std::vector<int> m_upperThumb, m_lowerThumb;
    RECT m_rcUpperText{}, m_rcLowerText{};
    std::unique_ptr<CTgaImage> m_pBallUp, m_pBallDown, m_pButterFly;
    RECT m_rcButtons[kButtonCount]{};
};
