// Wearing and taking off equipment with the item on the cursor.
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "world/Player.h"

namespace {

// Per slot: the item type and shape code an item must have to be worn there (slot 3
// takes either of two shapes).
struct SlotRule {
    int nType;
    int nShape;
    int nOtherShape;
};
constexpr SlotRule kSlotRules[6] = {{0, 1, 1}, {6, 0, 0}, {4, 1, 1}, {2, 1, 2}, {7, 1, 1}, {6, 0, 0}};

}  // namespace

bool CPlayer::FitsEquipSlot(int nSlot, int nItem) const {
    if (nSlot < 0 || nSlot >= 6 || nItem < 0 || nItem >= kHeroItemCount || !pGameData) return false;
    const ItemRow* pRow = pGameData->GetItem(nItem);
    if (!pRow) return false;
    const SlotRule& rule = kSlotRules[nSlot];
    const int nFit = nMember >= 0 && nMember < kFitCount ? nMember : 0;
    return pRow->nType == rule.nType && (pRow->nGirdNum == rule.nShape || pRow->nGirdNum == rule.nOtherShape) &&
           pRow->bFit[nFit] != 0;
}

int CPlayer::Unequip(int nSlot, std::int32_t* pCarried) {
    std::int32_t* pSlot = EquipSlot(nSlot);
    if (!pSlot || !pCarried) return 0;
    const std::int32_t nWorn = *pSlot;
    const std::int32_t nCarried = *pCarried;
    if (nCarried < 0) {
        if (nWorn < 0) return 0;
        ApplyItemBonus(nWorn, true);
        *pSlot = -1;
        *pCarried = nWorn;
        return 1;
    }
    if (!FitsEquipSlot(nSlot, nCarried)) return 0;
    // A swap: the old item's bonuses go before the new one's come.
    if (nWorn >= 0) ApplyItemBonus(nWorn, true);
    ApplyItemBonus(nCarried, false);
    *pSlot = nCarried;
    *pCarried = nWorn >= 0 ? nWorn : -1;
    return 1;
}
