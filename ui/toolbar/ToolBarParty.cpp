// The toolbar's shake and party services for the event scripts and the main window:
// the screen shake, party-wide changes of look, bonuses, busy flags and refills, and
// the two searches for a map cell near a point.
#include <algorithm>

#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "ui/toolbar/GameToolBar.h"
#include "world/FreeCell.h"
#include "world/Player.h"
#include "world/Scene.h"
#include "world/SceneHost.h"
#include "world/WorldMath.h"

namespace {

// The hero and every party slot present except the parked copy of the hero's own
// member, each once.
template <typename F>
void ForEachPartyHero(int nHero, F f) {
    if (pPlayer) f(*pPlayer);
    for (int i = 0; i < 4; ++i)
        if (pParty[i] && i != nHero - 1 && pParty[i] != pPlayer) f(*pParty[i]);
}

}  // namespace

void CGameToolBar::ShakeView() {
    if (!pScene) return;
    Srand(unsigned(TimeGetTime()));
    const int d = Rand() % 10 - 5;
    // The steps lean one way; the origin stays inside the range the view may scroll, so
    // a long shake does not carry the view off the map.
    const LONG nMaxX = std::max<LONG>(0, pScene->rcMap.right - SceneHost().GetDisplayWidth());
    const LONG nMaxY = std::max<LONG>(0, pScene->rcMap.bottom - SceneHost().GetDisplayHeight());
    pScene->ptView.x = std::clamp<LONG>(pScene->ptView.x + d / 2, 0, nMaxX);
    pScene->ptView.y = std::clamp<LONG>(pScene->ptView.y + d, 0, nMaxY);
}

void CGameToolBar::TogglePartyLook() {
    ForEachPartyHero(m_nHero, [](CPlayer& hero) { hero.ToggleStance(); });
}

void CGameToolBar::ClearMemberItems(int nMember) {
    CPlayer* pMember = nullptr;
    if (nMember == m_nHero) pMember = pPlayer;
    else if (nMember >= 1 && nMember <= 4) pMember = pParty[nMember - 1];
    if (!pMember) return;
    for (InlayRecord& b : pMember->inlay) {
        if (b.nLink == -2) {
            pMember->nAttack = SaturatingAdd(pMember->nAttack, -std::int64_t(b.nAttack));
            pMember->nDefence = SaturatingAdd(pMember->nDefence, -std::int64_t(b.nDefence));
            pMember->nStaminaMax = SaturatingAdd(pMember->nStaminaMax, -std::int64_t(b.nStaminaMax));
        }
        b = InlayRecord{0, 0, 0, 0};
    }
    pMember->ClampStats();
}

void CGameToolBar::ToggleMemberBusy(int nMember) {
    if (pPlayer && pPlayer->nMember == nMember) {
        pPlayer->bBusy = pPlayer->bBusy ? 0 : 1;
        return;
    }
    for (int i = 0; i < 4; ++i) {
        CPlayer* p = pParty[i];
        if (!p || i == m_nHero - 1 || p == pPlayer || p->nMember != nMember) continue;
        p->bBusy = p->bBusy ? 0 : 1;
        return;
    }
}

void CGameToolBar::AddHeroAttackDefence(int nAttack, int nDefence) {
    if (!pPlayer) return;
    pPlayer->nAttack = SaturatingAdd(pPlayer->nAttack, nAttack);
    pPlayer->nDefence = SaturatingAdd(pPlayer->nDefence, nDefence);
}

void CGameToolBar::RefillParty(int nWhich) {
    ForEachPartyHero(m_nHero, [nWhich](CPlayer& hero) {
        if (nWhich == 1) hero.nMana = hero.nManaMax;
        else hero.nLife = hero.nLifeMax;
    });
}

POINT CGameToolBar::FindFreeMapPoint(int x, int y) const {
    return pScene ? ::FindFreeMapPoint(*pScene, x, y) : POINT{-1, -1};
}

POINT CGameToolBar::FindNeighbourCell(int cx, int cy) const {
    static constexpr int kSteps[8][2] = {{0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}};
    if (!pScene) return POINT{cx, cy};
    for (const auto& step : kSteps) {
        const int x = cx + step[0], y = cy + step[1];
        if (pScene->IsInGrid(x, y) && pScene->IsCellPassable(x, y)) return POINT{x, y};
    }
    return POINT{cx, cy};
}
