// The toolbar's answers to what the fighting on the map asks: damage numbers and loot
// go to the toolbar the getter names (nothing happens while there is none).
#pragma once
#include "ui/toolbar/GameToolBar.h"
#include "world/FightHost.h"

class CToolBarFightHost : public CFightHost {
public:
    explicit CToolBarFightHost(CGameToolBar* (*pfnToolBar)()) : m_pfnToolBar(pfnToolBar) {}
    void AddDecLife(int x, int y, int nAmount) override {
        if (CGameToolBar* pBar = m_pfnToolBar()) pBar->AddDecLife(x, y, nAmount);
    }
    void DropLoot(int x, int y, int nMoney, int nItem1, int nItem2, int nItem3, int nItem4) override {
        if (CGameToolBar* pBar = m_pfnToolBar()) pBar->DropLoot(x, y, nMoney, nItem1, nItem2, nItem3, nItem4);
    }

private:
    CGameToolBar* (*m_pfnToolBar)();
};
