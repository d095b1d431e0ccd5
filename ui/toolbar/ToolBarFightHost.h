// The toolbar's answers to what the fighting on the map asks: damage numbers, loot and
// the area and flying effects go to the toolbar the getter names (nothing happens while
// there is none).
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
    void AddEffectAt(int nAttack, int x, int y, int nSkill, int nOwner) override {
        if (CGameToolBar* pBar = m_pfnToolBar()) pBar->AddEffectAt(nAttack, x, y, nSkill, nOwner);
    }
    // A shot with the skill flag bursts in a ring, else it flies in a line.
    void AddFlyingEffectFromPoint(int nAttack, int x, int y, int nTargetX, int nTargetY, int bUseSkill,
                                  int nOwner) override {
        if (CGameToolBar* pBar = m_pfnToolBar())
            pBar->AddFlyingEffectFromPoint(nAttack, x, y, nTargetX, nTargetY, bUseSkill, nOwner);
    }
    // The heroes' laid skills, shots and spreads.
    void AddAreaEffectAtHero(int nAttack, int x, int y, int nSkillValue, int nSkillAction) override {
        if (CGameToolBar* pBar = m_pfnToolBar()) pBar->AddAreaEffectAtHero(nAttack, x, y, nSkillValue, nSkillAction);
    }
    void AddFlyingEffect(int nAttack, int x, int y, int nEffect, int nTargetX, int nTargetY, int nOwner,
                         int nKind) override {
        if (CGameToolBar* pBar = m_pfnToolBar())
            pBar->AddFlyingEffect(nAttack, x, y, nEffect, nTargetX, nTargetY, nOwner, nKind);
    }
    void AddFlyingEffectFromHero(int nTargetX, int nTargetY, int nKind, int nSkillAction, int nEffect,
                                 int nAttack) override {
        if (CGameToolBar* pBar = m_pfnToolBar())
            pBar->AddFlyingEffectFromHero(nTargetX, nTargetY, nKind, nSkillAction, nEffect, nAttack);
    }

private:
    CGameToolBar* (*m_pfnToolBar)();
};
