#include "world/Player.h"

#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "platform/Resources.h"
#include "shell/ShellGlobals.h"
#include "world/PathFinder.h"
#include "world/PlayerHost.h"
#include "world/WorldMath.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kNameStringBase = 42;  // string-table entry of member 0's name
constexpr int kRunStep = 14;
constexpr int kPartyFileItem = 31;   // brings back the members whose party files are set

bool IsItem(int n) { return n >= 0 && n < kHeroItemCount; }

// The member's level row at a level; a zero row where the table has none.
const LevelRow& LevelRowOf(int nMember, int nLevel) {
    static const LevelRow kNone{};
    const LevelRow* p = pGameData != nullptr ? pGameData->GetLevel(nMember, nLevel) : nullptr;
    return p != nullptr ? *p : kNone;
}

// Adds to the maximum or to the current value, then caps the current value.
void AddToPool(std::int32_t* pValue, std::int32_t* pMax, int nAmount, bool bToMax) {
    std::int32_t* pTarget = bToMax ? pMax : pValue;
    *pTarget = SaturatingAdd(*pTarget, nAmount);
    *pValue = std::min(*pValue, *pMax);
}

ItemRow* ItemRowOf(int nItem) {
    return pGameData != nullptr && IsItem(nItem) ? pGameData->GetItem(nItem) : nullptr;
}

}  // namespace

HeroState::HeroState() {
    std::fill(std::begin(nQuickSlot), std::end(nQuickSlot), -1);
    std::fill(std::begin(nTaskState), std::end(nTaskState), -1);
    std::fill(std::begin(nHotKey), std::end(nHotKey), -1);
    mapObject.nKind = kHeroKindMouse;
}

CPlayer::CPlayer() = default;

CPlayer::~CPlayer() { delete pPath; }

CPlayer::CPlayer(const CPlayer& other)
    : HeroState(other), pPath(other.pPath ? new CPathFinder(*other.pPath) : nullptr) {
    RefreshSelfEntries(other);
}

CPlayer& CPlayer::operator=(const CPlayer& other) {
    if (this == &other) return *this;
    static_cast<HeroState&>(*this) = other;
    CPathFinder* pCopy = other.pPath ? new CPathFinder(*other.pPath) : nullptr;
    delete pPath;
    pPath = pCopy;
    RefreshSelfEntries(other);
    return *this;
}

void CPlayer::ClearPath() {
    if (pPath) pPath->nWaypoints = 0;
}

int CPlayer::WaypointCount() const { return pPath ? pPath->nWaypoints : 0; }

void CPlayer::RefreshSelfEntries(const CPlayer& other) {
    for (CPlayer*& p : pPartyMembers) {
        if (p == &other) p = this;
    }
}

int CPlayer::TableMember() const { return std::clamp(nMember, 0, kMemberCount - 1); }

void CPlayer::Init(int nSculptBase, bool bComputer, int nMemberArg) {
    int s = nSculptBase;
    const int m = nMemberArg >= -1 && nMemberArg < kMemberCount ? nMemberArg : 0;
    auto makeRanged = [this] {
        nEngageRadius = 400;
        nAttackRadius = 300;
        bRanged = 1;
        nIdleInterval = 1000;
    };
    if (bComputer) {
        mapObject.nKind = kHeroKindComputer;
        nMember = m < 0 ? 0 : m;
        nSkillEffectKind = 1;
        if (m == 1) {
            makeRanged();
            s = 2;
        } else if (m == 2) {
            nIdleInterval = 2000;
            s = 3;
        } else if (m == 3) {
            nIdleInterval = 3000;
            s = 4;
        }
    } else {
        mapObject.nKind = kHeroKindMouse;
        if (m != -1) {
            nMember = m;
            if (s != -1) s = m + 1;
            if (m == 1) {
                makeRanged();
                nSkillEffectKind = 1;
            }
        } else {
            nMember = 0;
        }
    }
    mapObject.nId = nMember;

    nAction = nSpriteAction = nFrame = nFrameCounter = 0;
    timeFrame = dwNowTime;
    nLevelMember = nMember;

    if (s != 0) {
        const LevelRow& row = LevelRowOf(nLevelMember, 0);
        nLifeMax = nLife = row.nLife;
        nManaMax = nMana = row.nMana;
        nAttack = row.nAttack;
        nDefence = row.nDefence;
        nExperience = row.nExperience;
    } else {
        nLevelMember = 0;
        const LevelRow& row0 = LevelRowOf(0, 0);
        if (nLevel != 0) {
            const LevelRow& row = LevelRowOf(0, nLevel);
            nLife = SaturatingAdd(row0.nLife, row.nLife);
            nMana = SaturatingAdd(row0.nMana, row.nMana);
            nAttack = SaturatingAdd(row0.nAttack, row.nAttack);
            nDefence = SaturatingAdd(row0.nDefence, row.nDefence);
            nExperience = row.nExperience;
        } else {
            nLifeMax = nLife = row0.nLife;
            nManaMax = nMana = row0.nMana;
            nAttack = row0.nAttack;
            nDefence = row0.nDefence;
            nExperience = row0.nExperience;
        }
    }
    nCelerity = 0;
    nSkillPoints = 0;
    nAge = LevelRowOf(nLevelMember, nLevel).nAge;

    nMoney = 0;
    delete pPath;
    pPath = new CPathFinder;
    nWalkStep = pGameData != nullptr && pGameData->pOptions ? pGameData->pOptions->nPlayerSpeed
                                                            : GameOptions{}.nPlayerSpeed;
    nRunStep = kRunStep;
    std::memset(szName, 0, sizeof(szName));
    LoadString(UINT(kNameStringBase + nLevelMember), szName, int(sizeof(szName)));
    std::memcpy(mapObject.szName, szName, sizeof(szName));
    std::fill(std::begin(nItemCount), std::end(nItemCount), 0);
    std::fill(std::begin(nSkillKnown), std::end(nSkillKnown), 0);
    std::fill(std::begin(nTaskState), std::end(nTaskState), -1);

    if (s >= 0) nSculpt = s + 1;
    for (int a = 0; a < 3; ++a) nFrameCounts[a] = HeroHost().GetSpriteFrameCount(nSculpt, a);

    timeRegen[0] = timeRegen[1] = TimeGetTime();
}

void CPlayer::SetMapPos(int x, int y) {
    ptPos = POINT{x, y};
    POINT cell;
    if (HeroHost().GetCellOfPoint(ptPos, &cell)) mapObject.ptCellPos = cell;
}

void CPlayer::SetMapPosAndHome(int x, int y) {
    SetMapPos(x, y);
    ptGoal = POINT{x, y};
}

void CPlayer::SetDirection(int d) { nDirection = ((d % 8) + 8) % 8; }

int CPlayer::HasItem(int nItem) const { return IsItem(nItem) && nItemCount[nItem] > 0 ? 1 : 0; }

void CPlayer::AddItem(int nItem) {
    if (IsItem(nItem)) nItemCount[nItem] = std::min(nItemCount[nItem] + 1, kHeroMaxItemCount);
}

int CPlayer::RemoveItem(int nItem) {
    if (!IsItem(nItem) || nItemCount[nItem] < 1) return 0;
    if (--nItemCount[nItem] == 0) {
        const int nBagMember = pPlayer != nullptr ? pPlayer->TableMember() : TableMember();
        if (ItemRow* pRow = ItemRowOf(nItem)) {
            std::fill(std::begin(pRow->nBagCell[nBagMember]), std::end(pRow->nBagCell[nBagMember]), -1);
        }
    }
    return 1;
}

void CPlayer::UseItem(int nItem, bool bKeepCells) {
    CPlayer* pHero = pPlayer;
    if (pHero == nullptr || !IsItem(nItem) || pHero->nItemCount[nItem] < 1) return;
    ItemRow* pRow = ItemRowOf(nItem);
    --pHero->nItemCount[nItem];
    if (!bKeepCells && pHero->nItemCount[nItem] == 0 && pRow != nullptr) {
        std::int32_t* pCells = pRow->nBagCell[pHero->TableMember()];
        for (int nCell = kBagCellCount - 1; nCell >= 0; --nCell) {
            if (pCells[nCell] != -1) {
                pCells[nCell] = -1;
                HeroHost().ClearItemPanelCell(nCell);
                break;
            }
        }
    }
    if (pRow != nullptr) {
        AddHP(pRow->nLife, false);
        AddMP(pRow->nMana, false);
    }
    if (nItem == kPartyFileItem) {
        for (int nNumber = 2; nNumber <= 4; ++nNumber) {
            if (HeroHost().HasPartyFile(nNumber)) HeroHost().LoadPartyFile(nNumber);
        }
    }
}

void CPlayer::ClearItems() {
    std::fill(std::begin(nItemCount), std::end(nItemCount), 0);
    std::fill(std::begin(inlay), std::end(inlay), InlayRecord{0, 0, 0, 0});
}

void CPlayer::AddMoney(int nAmount) {
    nMoney = SaturatingAdd(nMoney, nAmount);
    if (nMoney < 1) nMoney = 0;
}

void CPlayer::AddHP(int nAmount, bool bToMax) { AddToPool(&nLife, &nLifeMax, nAmount, bToMax); }

void CPlayer::AddMP(int nAmount, bool bToMax) { AddToPool(&nMana, &nManaMax, nAmount, bToMax); }

void CPlayer::ClampStats() {
    nLife = std::min(nLife, nLifeMax);
    nMana = std::min(nMana, nManaMax);
    nStamina = std::min(nStamina, nStaminaMax);
}

void CPlayer::ResetLevelStats() {
    const LevelRow& row = LevelRowOf(std::clamp(nLevelMember, 0, kMemberCount - 1), nLevel);
    nLife = row.nLife;
    nMana = row.nMana;
}

// The level indexes the level table, so it stays inside it.
void CPlayer::SetLevel(int n) { nLevel = std::clamp(n, 0, kHeroMaxLevel); }

void CPlayer::LevelUp() { nLevel = 1; }

int CPlayer::CanLevelUp() const { return 0; }

void CPlayer::AddExperience(int nAmount) {
    // Gains add up (battles, the knock game, scripts); the sum saturates.
    if (nAmount > 0) nExperience = SaturatingAdd(nExperience, nAmount);
}

void CPlayer::SetFlag(int nTask) {
    if (nTask >= 0 && nTask < kHeroTaskCount) nTaskState[nTask] = 1;
}

void CPlayer::ClearFlag(int nTask) {
    if (nTask >= 0 && nTask < kHeroTaskCount) nTaskState[nTask] = 0;
}

void CPlayer::SetSculpt(int nNewSculpt, bool bNormalStance) {
    static constexpr int kNormal[5] = {0, 1, 2, 3, 4};
    static constexpr int kFight[5] = {6, 7, 8, 3, 4};
    nSculpt = nNewSculpt;
    const int* pActions = bNormalStance ? kNormal : kFight;
    for (int i = 0; i < 5; ++i) nFrameCounts[i] = HeroHost().GetSpriteFrameCount(nSculpt, pActions[i]);
    nStance = bNormalStance ? 1 : 0;
}

void CPlayer::ToggleStance() {
    const int nFirst = nStance == 1 ? 6 : 0;
    for (int i = 0; i < 3; ++i) nFrameCounts[i] = HeroHost().GetSpriteFrameCount(nSculpt, nFirst + i);
    nStance = nStance == 1 ? 0 : 1;
}

void CPlayer::ApplyItemBonus(int nItem, bool bRemove) {
    const ItemRow* pRow = ItemRowOf(nItem);
    if (pRow == nullptr) return;
    const int nSign = bRemove ? -1 : 1;
    nAttack = SaturatingAdd(nAttack, std::int64_t(nSign) * pRow->nAttack);
    nDefence = SaturatingAdd(nDefence, std::int64_t(nSign) * pRow->nDefence);
    nLifeMax = SaturatingAdd(nLifeMax, std::int64_t(nSign) * pRow->nLife);
    nManaMax = SaturatingAdd(nManaMax, std::int64_t(nSign) * pRow->nMana);
    // Column 9 of the item row raises the stamina maximum.
    nStaminaMax = SaturatingAdd(nStaminaMax, std::int64_t(nSign) * pRow->nCelerity);

    InlayRecord& b = inlay[nItem];
    if (bRemove) {
        if (b.nLink == -2) {
            nAttack = SaturatingAdd(nAttack, -std::int64_t(b.nAttack));
            nDefence = SaturatingAdd(nDefence, -std::int64_t(b.nDefence));
            nStaminaMax = SaturatingAdd(nStaminaMax, -std::int64_t(b.nStaminaMax));
            b.nLink = -1;
        }
    } else if (b.nLink == -1) {
        // -1: recorded by the inlay and not yet worn (the unit left the bag grid). 0 has
        // no bonus; an anchor cell means the inlaid unit still lies in the bag.
        nAttack = SaturatingAdd(nAttack, b.nAttack);
        nDefence = SaturatingAdd(nDefence, b.nDefence);
        nStaminaMax = SaturatingAdd(nStaminaMax, b.nStaminaMax);
        b.nLink = -2;
    }
}

int CPlayer::GetFrameCount(int nAct) {
    if (nAct < 0 || nAct >= kHeroActionCount) return 0;
    if (nFrameCounts[nAct] == 0) nFrameCounts[nAct] = HeroHost().GetSpriteFrameCount(nSculpt, nAct);
    return nFrameCounts[nAct];
}

std::int32_t* CPlayer::EquipSlot(int nSlot) {
    // Slots 3, 0, 2, 4, 1 are stored in this order; slot 5 apart.
    static constexpr int kIndex[5] = {1, 4, 2, 0, 3};
    if (nSlot >= 0 && nSlot < 5) return &nEquip[kIndex[nSlot]];
    return nSlot == 5 ? &nEquipSlot5 : nullptr;
}

const std::int32_t* CPlayer::EquipSlot(int nSlot) const { return const_cast<CPlayer*>(this)->EquipSlot(nSlot); }

void CPlayer::RefreshPartyMembers() {
    for (int k = 0; k < kMemberCount; ++k) pPartyMembers[k] = k == TableMember() ? this : pParty[k];
}

namespace {

// The toolbar's refusals of a hero change: no such member, already controlled, a panel open.
bool CanTakeSlot(int nSlot) {
    if (nSlot < 0 || nSlot >= kMemberCount || pParty[nSlot] == nullptr || pPlayer == nullptr) return false;
    return nSlot + 1 != HeroHost().GetCurrentHero() && !HeroHost().IsPanelOpen();
}

void TakeSlot(int nSlot) {
    *pPlayer = *pParty[nSlot];
    pPlayer->mapObject.nKind = kHeroKindMouse;
    pPlayer->nFightTarget = -1;
    pPlayer->RefreshPartyMembers();
    HeroHost().SetCurrentHero(nSlot + 1);
    HeroHost().ReloadForHero(nSlot + 1);
}

}  // namespace

bool SwitchHero(int nSlot) {
    if (!CanTakeSlot(nSlot)) return false;
    const int nCurrent = HeroHost().GetCurrentHero() - 1;
    if (nCurrent >= 0 && nCurrent < kMemberCount && pParty[nCurrent] != nullptr) {
        CPlayer& parked = *pParty[nCurrent];
        parked = *pPlayer;
        parked.mapObject.nKind = kHeroKindComputer;
        parked.nFightTarget = -1;
    }
    TakeSlot(nSlot);
    return true;
}

bool LoadHeroFromSlot(int nSlot) {
    if (!CanTakeSlot(nSlot)) return false;
    TakeSlot(nSlot);
    return true;
}

void SetPartyTarget(int nId) {
    if (pPlayer != nullptr) pPlayer->nSharedTarget = nId;
    for (CPlayer* p : pParty) {
        if (p != nullptr) p->nSharedTarget = nId;
    }
}
