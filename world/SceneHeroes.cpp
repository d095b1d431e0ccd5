// The heroes' share of the scene's frame: the controlled hero and the party members
// are updated, block their cells, enter the draw list and are drawn there.
#include "shell/ShellGlobals.h"
#include "world/Player.h"
#include "world/Scene.h"
#include "world/SceneHost.h"

namespace {

// Party slot of the controlled member (its parked copy); -1 without one.
int ControlledSlot() { return SceneHost().GetActiveSlot() - 1; }

// Deletes the member in slot i and every reference to it.
void DropMember(int i) {
    CPlayer* pGone = pParty[i];
    if (pCompanion == pGone) pCompanion = nullptr;
    pParty[i] = nullptr;
    delete pGone;
    if (pPlayer) pPlayer->RefreshPartyMembers();
}

}  // namespace

bool CScene::UpdateHeroes() {
    if (!pPlayer) return true;
    const int nControlled = ControlledSlot();
    if (pPlayer->Update() == 1) {
        // The heroine died: her member file keeps what she held, then the party goes.
        if (nControlled >= 0 && nControlled < 4 && pParty[nControlled]) *pParty[nControlled] = *pPlayer;
        SceneHost().SaveMemberFile(nControlled + 1);
        delete pPlayer;
        pPlayer = nullptr;
        for (int i = 0; i < 4; ++i) DropMember(i);
        pCompanion = nullptr;
        SceneHost().OnHeroDied();
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        if (i == nControlled || !pParty[i]) continue;
        if (pParty[i]->Update() != 1) continue;
        if (pPlayer) pPlayer->bFlags[i] = 1;
        SceneHost().SaveMemberFile(i + 1);
        DropMember(i);
    }
    return true;
}

bool CScene::GetHeroPoint(POINT* pPoint, bool* pbWalking) const {
    if (!pPlayer) return false;
    *pPoint = pPlayer->ptPos;
    *pbWalking = pPlayer->nAction == 1;
    return true;
}

void CScene::PlaceHeroCells() {
    const int nControlled = ControlledSlot();
    auto place = [this](CPlayer* p) {
        if (p) p->mapObject.ptCellPos = PixelToCell(p->ptPos.x, p->ptPos.y);
    };
    place(pPlayer);
    for (int i = 0; i < 4; ++i)
        if (i != nControlled) place(pParty[i]);
}

void CScene::BlockHeroCells() {
    const int nControlled = ControlledSlot();
    // A hero's cell is blocked for the others and marked as a hero's cell for good.
    auto block = [this](CPlayer* p) {
        if (!p) return;
        const POINT cell = p->mapObject.ptCellPos;
        if (SceneCell* pCell = CellAt(cell.x, cell.y)) {
            pBlocked[size_t(CellIndex(cell.x, cell.y))] = 1;
            pCell->nWall = 2;
        }
    };
    block(pPlayer);
    for (int i = 0; i < 4; ++i)
        if (i != nControlled) block(pParty[i]);
}

void CScene::AppendHeroes() {
    const int nControlled = ControlledSlot();
    for (int i = 0; i < 4; ++i)
        if (i != nControlled && pParty[i] && drawList.size() < size_t(kDrawListLimit))
            drawList.push_back(&pParty[i]->mapObject);
    if (pPlayer && drawList.size() < size_t(kDrawListLimit)) drawList.push_back(&pPlayer->mapObject);
}

bool CScene::DrawHero(CMapObject* pObject, bool bTranslucent) {
    if (pObject->nKind != kKindHero && pObject->nKind != kKindPartyHero) return false;
    CPlayer* pHero = nullptr;
    if (pPlayer && pObject == &pPlayer->mapObject) pHero = pPlayer;
    for (CPlayer* p : pParty)
        if (p && pObject == &p->mapObject) pHero = p;
    if (!pHero) return false;
    if (bTranslucent) pHero->DrawTranslucent();
    else pHero->Draw();
    return true;
}
