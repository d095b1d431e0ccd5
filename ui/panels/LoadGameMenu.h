// The load panel: the save-slot list with a load button. In the game it sits at
// (40, 10) in the left panel group; on the title screen at (230, 60), where its delete
// button never lights.
#pragma once
#include "ui/panels/SaveSlotList.h"

class CLoadGameMenu : public CSaveSlotPanel {
public:
    CLoadGameMenu();

protected:
    // Loads a present slot (3: the host closes every panel) or, for a refused file,
    // shows why and stays open (0); a free slot only closes the panel (3).
    int OnOk(int nSlot) override;
    bool CanHover(int nButton) const override { return nButton != kDelete || !m_bTitle; }

private:
    bool m_bTitle;
};
