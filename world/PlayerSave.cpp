#include "gamedata/GameData.h"
#include "platform/Stream.h"
#include "world/Player.h"
#include "world/PlayerHost.h"
#include "world/PlayerRecord.h"

#include <algorithm>
#include <memory>
#include <type_traits>

namespace {

LevelRow* LevelRowAt(int nMember, int nLevel) {
    return pGameData != nullptr ? pGameData->GetLevel(nMember, std::clamp(nLevel, 0, kHeroMaxLevel)) : nullptr;
}

ItemRow* ItemRowAt(int nItem) { return pGameData != nullptr ? pGameData->GetItem(nItem) : nullptr; }

// Calls op(record field, hero field) for every field the record and the hero hold
// alike, so that filling and applying a record cannot drift apart.
template <class Record, class Hero, class Op>
void ForSharedFields(Record& r, Hero& h, Op op) {
    op(r.nSkillPoints, h.nSkillPoints);
    op(r.nLevel, h.nLevel);
    op(r.nSkillKnown, h.nSkillKnown);
    op(r.nSkillLevel, h.nSkillLevel);
    op(r.nItemCount, h.nItemCount);
    op(r.nPartyMask, h.nPartyMask);
    op(r.nAge, h.nAge);
    op(r.nLife, h.nLife);
    op(r.nLifeMax, h.nLifeMax);
    op(r.nMoney, h.nMoney);
    op(r.nMana, h.nMana);
    op(r.nManaMax, h.nManaMax);
    op(r.nStamina, h.nStamina);
    op(r.nStaminaMax, h.nStaminaMax);
    op(r.nExperience, h.nExperience);
    op(r.nEquip3, *h.EquipSlot(3));
    op(r.nEquip2, *h.EquipSlot(2));
    op(r.nWalkStep, h.nWalkStep);
    op(r.nTaskState, h.nTaskState);
    op(r.inlay, h.inlay);
    op(r.nDirection, h.nDirection);
    op(r.nEquip1, *h.EquipSlot(1));
    op(r.nEquip5, *h.EquipSlot(5));
    op(r.nEquipSixth, h.nEquipSixth);
    op(r.nEquip0, *h.EquipSlot(0));
    op(r.nEquip4, *h.EquipSlot(4));
    op(r.nCounterA, h.nCounterA);
    op(r.nCounterB, h.nCounterB);
    op(r.nBattleBonus, h.nBattleBonus);
    op(r.nMember, h.nMember);
    op(r.nKind, h.mapObject.nKind);
    op(r.nQuickSlot, h.nQuickSlot);
    op(r.nThrownItem, h.nThrownItem);
    op(r.nThrownCount, h.nThrownCount);
    op(r.nAttack, h.nAttack);
    op(r.nDefence, h.nDefence);
    op(r.nSelectedSkill, h.nSelectedSkill);
    op(r.nStance, h.nStance);
    op(r.nSkillUses, h.nSkillUses);
    op(r.nSavedWord, h.nSavedWord);
    op(r.bSavedFlag, h.bMode[1]);
    op(r.bFlags, h.bFlags);
}

// Copies a value or a fixed array from the second argument into the first.
struct CopyInto {
    template <class T>
    void operator()(T& to, const T& from) const {
        if constexpr (std::is_array_v<T>) {
            std::copy(std::begin(from), std::end(from), std::begin(to));
        } else {
            to = from;
        }
    }
};

}  // namespace

void CPlayer::FillRecord(HeroRecord* pRecord) const {
    HeroRecord& r = *pRecord;
    r.nSculpt = nSculpt;
    ForSharedFields(r, *this, CopyInto{});
    r.ptPos = ptPos;
    const LevelRow* pLevelRow = LevelRowAt(std::clamp(nLevelMember, 0, kMemberCount - 1), nLevel);
    r.nLevelLife = pLevelRow != nullptr ? pLevelRow->nLife : 0;
    r.nLevelMana = pLevelRow != nullptr ? pLevelRow->nMana : 0;
    const int nBagMember = TableMember();
    for (int i = 0; i < kHeroItemCount; ++i) {
        const ItemRow* pRow = nItemCount[i] > 0 ? ItemRowAt(i) : nullptr;
        if (pRow != nullptr) CopyInto{}(r.nBagCell[i], pRow->nBagCell[nBagMember]);
    }
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
    ForSharedFields(r, *this, [](const auto& from, auto& to) { CopyInto{}(to, from); });
    if (LevelRow* pLevelRow = LevelRowAt(std::clamp(nLevelMember, 0, kMemberCount - 1), nLevel)) {
        pLevelRow->nLife = r.nLevelLife;
        pLevelRow->nMana = r.nLevelMana;
    }
    // The bag tables belong to the items just read, so counts and tables stay paired.
    for (int i = 0; i < kHeroItemCount; ++i) {
        ItemRow* pRow = r.nItemCount[i] > 0 ? ItemRowAt(i) : nullptr;
        if (pRow != nullptr) CopyInto{}(pRow->nBagCell[r.nMember], r.nBagCell[i]);
    }
    if (nStance == 0) {
        for (int i = 0; i < 3; ++i) nFrameCounts[i] = HeroHost().GetSpriteFrameCount(nSculpt, 6 + i);
    }
    SetMapPos(r.ptPos.x, r.ptPos.y);
    ptGoal = ptNextWaypoint = ptPos;
    ClearPath();
    nAction = nSpriteAction = 0;
}
