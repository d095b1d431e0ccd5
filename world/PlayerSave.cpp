#include "gamedata/GameData.h"
#include "platform/Stream.h"
#include "world/Player.h"
#include "world/PlayerHost.h"
#include "world/PlayerRecord.h"

#include <algorithm>
#include <memory>

namespace {

LevelRow* LevelRowAt(int nMember, int nLevel) {
    return pGameData != nullptr ? pGameData->GetLevel(nMember, std::clamp(nLevel, 0, kHeroMaxLevel)) : nullptr;
}

ItemRow* ItemRowAt(int nItem) { return pGameData != nullptr ? pGameData->GetItem(nItem) : nullptr; }

}  // namespace

void CPlayer::FillRecord(HeroRecord* pRecord) const {
    HeroRecord& r = *pRecord;
    r.nSculpt = nSculpt;
    r.nSkillPoints = nSkillPoints;
    r.nLevel = nLevel;
    std::copy(std::begin(nSkillKnown), std::end(nSkillKnown), r.nSkillKnown);
    std::copy(std::begin(nSkillLevel), std::end(nSkillLevel), r.nSkillLevel);
    std::copy(std::begin(nItemCount), std::end(nItemCount), r.nItemCount);
    r.nPartyMask = nPartyMask;
    r.nAge = nAge;
    r.nLife = nLife;
    r.nLifeMax = nLifeMax;
    r.nMoney = nMoney;
    r.nMana = nMana;
    r.nManaMax = nManaMax;
    r.nStamina = nStamina;
    r.nStaminaMax = nStaminaMax;
    const LevelRow* pLevelRow = LevelRowAt(std::clamp(nLevelMember, 0, kMemberCount - 1), nLevel);
    r.nLevelLife = pLevelRow != nullptr ? pLevelRow->nLife : 0;
    r.nLevelMana = pLevelRow != nullptr ? pLevelRow->nMana : 0;
    r.nExperience = nExperience;
    r.nEquip3 = *EquipSlot(3);
    r.nEquip2 = *EquipSlot(2);
    r.nWalkStep = nWalkStep;
    std::copy(std::begin(nTaskState), std::end(nTaskState), r.nTaskState);
    std::copy(std::begin(inlay), std::end(inlay), r.inlay);
    r.nDirection = nDirection;
    r.nEquip1 = *EquipSlot(1);
    r.nEquip5 = *EquipSlot(5);
    r.nEquipSixth = nEquipSixth;
    r.nEquip0 = *EquipSlot(0);
    r.nEquip4 = *EquipSlot(4);
    r.nCounterA = nCounterA;
    r.nCounterB = nCounterB;
    r.ptPos = ptPos;
    std::copy(std::begin(nBattleBonus), std::end(nBattleBonus), r.nBattleBonus);
    r.nMember = nMember;
    r.nKind = mapObject.nKind;
    std::copy(std::begin(nQuickSlot), std::end(nQuickSlot), r.nQuickSlot);
    r.nThrownItem = nThrownItem;
    r.nThrownCount = nThrownCount;
    r.nAttack = nAttack;
    r.nDefence = nDefence;
    r.nSelectedSkill = nSelectedSkill;
    r.nStance = nStance;
    const int nBagMember = TableMember();
    for (int i = 0; i < kHeroItemCount; ++i) {
        const ItemRow* pRow = nItemCount[i] > 0 ? ItemRowAt(i) : nullptr;
        if (pRow != nullptr) std::copy(std::begin(pRow->nBagCell[nBagMember]), std::end(pRow->nBagCell[nBagMember]),
                                       r.nBagCell[i]);
    }
    std::copy(std::begin(nSkillUses), std::end(nSkillUses), r.nSkillUses);
    r.nSavedWord = nSavedWord;
    r.bSavedFlag = bMode[1];
    std::copy(std::begin(bFlags), std::end(bFlags), r.bFlags);
}

void CPlayer::WriteRecord(CByteWriter& out) const {
    auto pRecord = std::make_unique<HeroRecord>();
    FillRecord(pRecord.get());
    WriteHeroRecord(*pRecord, out);
}

bool CPlayer::ReadSculpt(CByteReader& in) {
    std::int32_t n = -1;
    if (!ParseHeroSculpt(in, &n)) return false;
    nSculpt = n;
    return true;
}

bool CPlayer::ReadRecord(CByteReader& in) {
    auto pRecord = std::make_unique<HeroRecord>();
    pRecord->nSculpt = nSculpt;
    if (!ParseHeroRecordBody(in, pRecord.get())) return false;
    ApplyRecord(*pRecord);
    return true;
}

void CPlayer::ApplyRecord(const HeroRecord& r) {
    nSkillPoints = r.nSkillPoints;
    nLevel = r.nLevel;
    std::copy(std::begin(r.nSkillKnown), std::end(r.nSkillKnown), nSkillKnown);
    std::copy(std::begin(r.nSkillLevel), std::end(r.nSkillLevel), nSkillLevel);
    std::copy(std::begin(r.nItemCount), std::end(r.nItemCount), nItemCount);
    nPartyMask = r.nPartyMask;
    nAge = r.nAge;
    nLife = r.nLife;
    nLifeMax = r.nLifeMax;
    nMoney = r.nMoney;
    nMana = r.nMana;
    nManaMax = r.nManaMax;
    nStamina = r.nStamina;
    nStaminaMax = r.nStaminaMax;
    if (LevelRow* pLevelRow = LevelRowAt(std::clamp(nLevelMember, 0, kMemberCount - 1), nLevel)) {
        pLevelRow->nLife = r.nLevelLife;
        pLevelRow->nMana = r.nLevelMana;
    }
    nExperience = r.nExperience;
    *EquipSlot(3) = r.nEquip3;
    *EquipSlot(2) = r.nEquip2;
    nWalkStep = r.nWalkStep;
    std::copy(std::begin(r.nTaskState), std::end(r.nTaskState), nTaskState);
    std::copy(std::begin(r.inlay), std::end(r.inlay), inlay);
    nDirection = r.nDirection;
    *EquipSlot(1) = r.nEquip1;
    *EquipSlot(5) = r.nEquip5;
    nEquipSixth = r.nEquipSixth;
    *EquipSlot(0) = r.nEquip0;
    *EquipSlot(4) = r.nEquip4;
    nCounterA = r.nCounterA;
    nCounterB = r.nCounterB;
    std::copy(std::begin(r.nBattleBonus), std::end(r.nBattleBonus), nBattleBonus);
    nMember = r.nMember;
    mapObject.nKind = r.nKind;
    std::copy(std::begin(r.nQuickSlot), std::end(r.nQuickSlot), nQuickSlot);
    nThrownItem = r.nThrownItem;
    nThrownCount = r.nThrownCount;
    nAttack = r.nAttack;
    nDefence = r.nDefence;
    nSelectedSkill = r.nSelectedSkill;
    nStance = r.nStance;
    // The bag tables belong to the items just read, so counts and tables stay paired.
    for (int i = 0; i < kHeroItemCount; ++i) {
        ItemRow* pRow = r.nItemCount[i] > 0 ? ItemRowAt(i) : nullptr;
        if (pRow != nullptr) std::copy(std::begin(r.nBagCell[i]), std::end(r.nBagCell[i]), pRow->nBagCell[r.nMember]);
    }
    std::copy(std::begin(r.nSkillUses), std::end(r.nSkillUses), nSkillUses);
    nSavedWord = r.nSavedWord;
    bMode[1] = r.bSavedFlag;
    std::copy(std::begin(r.bFlags), std::end(r.bFlags), bFlags);

    if (nStance == 0) {
        for (int i = 0; i < 3; ++i) nFrameCounts[i] = HeroHost().GetSpriteFrameCount(nSculpt, 6 + i);
    }
    SetMapPos(r.ptPos.x, r.ptPos.y);
    ptGoal = ptNextWaypoint = ptPos;
    ClearPath();
    nAction = nSpriteAction = 0;
}
