// The system menu that ESC opens at (400, 10): save, load, return to the game, the
// settings and quitting the game.
#pragma once
#include "ui/panels/GamePanel.h"

class CPlayer;

class CSysMenu : public CGamePanel {
public:
    static constexpr int kButtonCount = 5;
    enum Button { kSave = 0, kLoad = 1, kReturn = 2, kSettings = 3, kQuit = 4 };

    CSysMenu();

    // Plays the click for every button; save 3 (only when the hero may save, else -1),
    // load 4, return 2, settings 1, quit asks and returns 2 whatever the answer; -1 and
    // no sound when no button was hovered at the last draw.
    int OnLButtonUp() override;
};
