// The bomb: armed from quick slots 4..7 by keys 1..4, counted down from 10 in red over
// three seconds, then exploded at the point where it was armed. Monsters within its
// reach lose the item's attack value; the hero and companion within half the reach
// lose a fifth of it.
#include <cstdint>
#include <cstdio>
#include <string>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "platform/Charset.h"
#include "platform/Text.h"
#include "shell/ShellGlobals.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/EffectManager.h"
#include "world/Npc.h"
#include "world/Player.h"
#include "world/Scene.h"
#include "world/WorldMath.h"

namespace {

constexpr DWORD kBombFuseMs = 3001;
constexpr DWORD kBombStepMs = 300;
constexpr int kBombSound = 14;
constexpr int kBagPageOther = 2;
constexpr int kLeaveFlag = 3;

// Both ends open: a point exactly at the reach is outside.
bool Within(POINT pt, POINT centre, int nReach) {
    const std::int64_t dx = std::int64_t(pt.x) - centre.x, dy = std::int64_t(pt.y) - centre.y;
    return -nReach < dx && dx < nReach && -nReach < dy && dy < nReach;
}

}  // namespace

int BombKind(int nItem) {
    struct Band {
        int nFirst, nLast, nKind;
    };
    static const Band kBands[] = {{47, 51, 0}, {59, 63, 1}, {69, 73, 2}, {64, 68, 3}, {89, 93, 4}};
    for (const Band& b : kBands)
        if (nItem >= b.nFirst && nItem <= b.nLast) return b.nKind;
    return -1;
}

int BombRange(int nItem) {
    static const int kFirstBand[] = {250, 100, 150, 200, 300};  // 47..51
    if (nItem >= 47 && nItem <= 51) return kFirstBand[nItem - 47];
    // The other bands step 100, 150, 200, 250, 300, except 68, which reaches 200.
    if (nItem == 68) return 200;
    for (int nBase : {59, 64, 69, 89})
        if (nItem >= nBase && nItem <= nBase + 4) return 100 + 50 * (nItem - nBase);
    return -1;
}

bool CGameToolBar::ArmBombItem(int nItem) {
    if (!pPlayer || m_bBombArmed || BombKind(nItem) < 0) return false;
    m_nBombItem = nItem;
    m_bBombArmed = 1;
    m_dwBombTime = dwNowTime;
    m_ptBomb = pPlayer->ptPos;
    return true;
}

void CGameToolBar::ArmBomb(int nSlot) {
    if (nSlot < 4 || nSlot >= kToolBarQuickSlots || !pPlayer) return;
    const int nItem = m_nQuickSlots[nSlot];
    if (nItem < 0 || pPlayer->HasItem(nItem) < 1 || !ArmBombItem(nItem)) return;
    pPlayer->UseItem(nItem, false);
    if (CGamePanel* pItems = Panel(kItemPanel)) pItems->ShowBagPage(kBagPageOther);
    if (pPlayer->HasItem(nItem) < 1) {
        m_nQuickSlots[nSlot] = -1;
        MirrorSlots();
    }
}

void CGameToolBar::DrawBomb() {
    if (!m_bBombArmed) return;
    const DWORD dwElapsed = dwNowTime - m_dwBombTime;
    if (dwElapsed < kBombFuseMs) {
        if (!pBack) return;
        static const std::string s_strFace = Utf8ToText("隶书");
        pBack->ChangeFont(s_strFace.c_str(), 0, 30, nCharSet, 400, 0);
        char szCount[8];
        std::snprintf(szCount, sizeof szCount, "%d", int(10 - dwElapsed / kBombStepMs));
        RECT rc{400, 50, 500, 100};
        pBack->DrawText(szCount, RGB(255, 0, 0), &rc, DT_WORDBREAK);
        return;
    }
    ToolBarHost().PlaySound(kBombSound);
    const int nItem = m_nBombItem;
    m_bBombArmed = 0;
    m_dwBombTime = dwNowTime;
    m_nBombItem = -1;
    ExplodeBomb(nItem);
}

void CGameToolBar::ExplodeBomb(int nItem) {
    CToolBarHost& host = ToolBarHost();
    if (const int nKind = BombKind(nItem); nKind >= 0) host.StartSceneEffect(nKind + 1, m_ptBomb.x, m_ptBomb.y);
    const int nReach = BombRange(nItem);
    const ItemRow* pRow = pGameData ? pGameData->GetItem(nItem) : nullptr;
    const int nDamage = pRow ? pRow->nAttack : 0;
    if (pScene) {
        for (int i = 0; i < pScene->GetNpcCount(); ++i) {
            CNpc* pNpc = pScene->GetNpc(i);
            if (!pNpc || !pNpc->pState) continue;
            const POINT pt{pNpc->pState->nMapX, pNpc->pState->nMapY};
            if (!Within(pt, m_ptBomb, nReach) || pNpc->nAction == kNpcDie || pNpc->Life() <= 0 || pNpc->Display() == 1)
                continue;
            pNpc->pState->nLife = SaturatingAdd(pNpc->pState->nLife, -std::int64_t(nDamage));
            AddDecLife(pt.x, pt.y, nDamage);
            if (pNpc->pState->nLife < 1) pNpc->Fall();
        }
    }
    // The party takes a fifth, and only within half the reach.
    const int nPartyDamage = nDamage / 5;
    const int nHalf = nReach / 2;
    if (pCompanion && Within(pCompanion->ptPos, m_ptBomb, nHalf)) {
        pCompanion->nLife = SaturatingAdd(pCompanion->nLife, -std::int64_t(nPartyDamage));
        AddDecLife(pCompanion->ptPos.x, pCompanion->ptPos.y, nPartyDamage);
        if (pCompanion->nLife < 1) {
            pCompanion->nLife = 0;
            pCompanion->bMode[kLeaveFlag] = 1;
            if (pPlayer) pPlayer->bCompanionDead = 1;
            m_bBombArmed = 0;
        }
    }
    if (pPlayer && Within(pPlayer->ptPos, m_ptBomb, nHalf)) {
        pPlayer->nLife = SaturatingAdd(pPlayer->nLife, -std::int64_t(nPartyDamage));
        AddDecLife(pPlayer->ptPos.x, pPlayer->ptPos.y, nPartyDamage);
        if (pPlayer->nLife < 1) {
            m_bBombArmed = 0;
            host.UpdateEffects();
            pPlayer->nLife = 0;
            pPlayer->bMode[kLeaveFlag] = 1;
            if (pEffectManager) pEffectManager->bRunning = 0;
        }
    }
}
