// One hero: the controlled hero (pPlayer, steered by the mouse) or a party member
// (one of the four pParty slots, steered by the computer). It carries the hero's
// statistics, items, skills, equipment, task states, position and animation state,
// and is saved and loaded as one record (world/PlayerRecord.h).
#pragma once
#include "platform/Base.h"
#include "world/MapObject.h"

#include <cstdint>
#include <vector>

class CPathFinder;
class CByteReader;
class CByteWriter;
struct HeroRecord;
class CPlayer;

constexpr int kHeroItemCount = 100;    // item numbers 0..99
constexpr int kHeroSkillCount = 50;    // skill numbers 0..49
constexpr int kHeroTaskCount = 100;    // task numbers 0..99
constexpr int kHeroQuickSlots = 8;
constexpr int kHeroHotKeys = 5;        // Y, U, I, O, P
constexpr int kHeroActionCount = 27;   // sprite actions 0..26
constexpr int kHeroMaxItemCount = 500; // most of one item a hero holds
constexpr int kHeroMaxLevel = 101;
constexpr int kHeroKindMouse = 14;     // map-object kind of the hero steered by the mouse
constexpr int kHeroKindComputer = 15;  // map-object kind of a computer-steered member

// Bonuses of the stones set into one item. Link -2 while the bonuses are applied to
// the hero, -1 when not; other values name an entry of the work-panel host's inlay table.
struct InlayRecord {
    std::int32_t nAttack = 0;
    std::int32_t nDefence = 0;
    std::int32_t nStaminaMax = 0;
    std::int32_t nLink = 0;
};

// Every field of a hero apart from its owned path: plain values that copy as they stand.
struct HeroState {
    HeroState();

    // The hero's entry in the scene's draw list: kind 14 or 15, cell and name.
    CMapObject mapObject;
    std::int32_t nSculpt = -1;
    std::int32_t nSkillBonusAttack = 0;
    std::int32_t nSkillBonusTime = 0;
    InlayRecord inlay[kHeroItemCount];
    std::int32_t nBattleBonus[3] = {};
    std::uint8_t bFlags[4] = {};
    // [0] 1 at construction, [1] saved flag, [2] run mode, [3] leave flag.
    std::uint8_t bMode[4] = {1, 0, 0, 0};
    std::int32_t nSavedWord = 0;
    std::int32_t nSkillUses[kHeroSkillCount] = {};
    std::int32_t nEquipSlot5 = -1;
    std::int32_t nAge = 0;
    std::int32_t nSkillTargetId = -1;
    std::int32_t nOneShotDivider = 1;
    std::int32_t timeAttackCoolDown = -1;
    std::int32_t timeHurtHold = -1;
    std::int32_t bSlowAnimation = 0;
    std::int32_t bHidden = 0;
    std::int32_t nStance = 1;
    POINT ptSkillTarget{-1, -1};
    std::int32_t timeBuff[2] = {-1, -1};
    std::int32_t nBuffSeconds = 0;
    std::int32_t nBuff = -1;
    std::int32_t bLow = 0;
    std::int32_t nSkillHitFrame = 0;
    std::int32_t nThrownCount = 0;
    std::int32_t nThrownItem = -1;
    std::int32_t nQuickSlot[kHeroQuickSlots];
    std::int32_t nSkillCost = 0;
    std::int32_t nSkillAction = 0;
    DWORD timeRegen[2] = {};
    std::int32_t nSelectedSkill = -1;
    std::int32_t nSharedTarget = -1;
    std::int32_t nTint = 0;
    std::int32_t nSkillValue = -1;
    std::int32_t nSkillEffectKind = 0;
    std::int32_t nIdleInterval = 10000;
    std::int32_t timeIdleSince = 0;
    std::int32_t nWanderRadius = 100;
    POINT ptPendingWalk{-1, -1};
    POINT ptStrikeCell{-1, -1};
    std::int32_t nStrikeTarget = -1;
    std::int32_t bRanged = 0;
    std::int32_t nFightTarget = -1;
    std::int32_t nMember = 0;
    std::int32_t nAttackRadius = 65;
    std::int32_t nEngageRadius = 400;
    std::int32_t nSpriteAction = 0;
    std::int32_t nCounterA = 50;
    std::int32_t nCounterB = 50;
    std::int32_t nRunStep = 0;
    double dLastAngle = 0.0;
    std::int32_t nTaskState[kHeroTaskCount];
    std::int32_t nDefence = 0;
    std::int32_t nAttack = 0;
    std::int32_t nMoney = 0;
    char szName[32] = {};
    std::int32_t nExperience = 0;
    std::int32_t nLevelMember = 0;
    // Equipment slots 3, 0, 2, 4, 1 in this order.
    std::int32_t nEquip[5] = {-1, -1, -1, -1, -1};
    std::int32_t nEquipSixth = -1;
    std::int32_t nLevel = 0;
    std::int32_t nSkillKnown[kHeroSkillCount] = {};
    std::int32_t nSkillLevel[kHeroSkillCount] = {};
    std::int32_t nHotKey[kHeroHotKeys];
    std::int32_t nMana = 50;
    std::int32_t nManaMax = 50;
    std::int32_t nLife = 50;
    std::int32_t nLifeMax = 50;
    std::int32_t nCelerity = 0;
    std::int32_t nStamina = 100;
    std::int32_t nStaminaMax = 100;
    std::int32_t nSkillPoints = 0;
    std::int32_t nPartyMask = 1;
    std::int32_t nItemCount[kHeroItemCount] = {};
    CPlayer* pPartyMembers[4] = {};  // not owned
    std::int32_t nWalkStep = 0;
    double dHeading = 0.0;
    std::int32_t nTargetObject = -1;
    POINT ptNextWaypoint{-1, -1};
    std::int32_t nTalkTarget = -1;
    DWORD timeFrame = 0;
    std::vector<std::uint8_t> spareBuffers[3];
    POINT ptGoal{-1, -1};
    POINT ptPos{100, 100};
    std::int32_t nAction = 0;
    std::int32_t nDirection = 0;
    std::int32_t nFrame = 0;
    std::int32_t nFrameCounter = 0;
    std::int32_t nFrameCounts[kHeroActionCount] = {};
    // Set while a circle wipe closes over the scene before a scene change.
    std::int32_t bWipe = 0;
    // Flags the event scripts switch: the alternate look (portrait 5 for the heroine)
    // and the busy flag of a party member.
    std::uint8_t bAltLook = 0;
    std::uint8_t bBusy = 0;
    // Set on the controlled hero when a bomb killed the companion.
    std::uint8_t bCompanionDead = 0;
    // Battle stunts left; a runtime count that the hero record does not hold.
    std::int32_t nStunts = 0;
};

class CPlayer : public HeroState {
public:
    CPlayer();
    virtual ~CPlayer();
    // Deep copy: the copy gets its own spare buffers, and a party-member entry that
    // named the source itself names the copy. The path finder is not shared: each hero
    // keeps its own.
    CPlayer(const CPlayer& other);
    CPlayer& operator=(const CPlayer& other);

    // Initialises by member number: sculpt base s, computer-steered flag, member m
    // (-1: member 0 for the controlled hero).
    void Init(int nSculptBase, bool bComputer, int nMember);

    void SetMapPos(int x, int y);
    void SetMapPosAndHome(int x, int y);
    // Direction = d wrapped into 0..7.
    void SetDirection(int nDirection);

    // Items: counts 0..500 per item number; item numbers outside 0..99 hold nothing.
    int HasItem(int nItem) const;
    void AddItem(int nItem);
    // 0 when none is held; else takes one and, when none is left, empties the controlled
    // hero's member's bag cells of the item; 1.
    int RemoveItem(int nItem);
    // Uses one of the item from the controlled hero's stock on this hero.
    void UseItem(int nItem, bool bKeepCells);
    void ClearItems();

    // Money never falls below 0; sums saturate.
    void AddMoney(int nAmount);
    // Adds to the maximum (bToMax) or to the current value, then caps the current value.
    void AddHP(int nAmount, bool bToMax);
    void AddMP(int nAmount, bool bToMax);
    void ClampStats();
    // Life and mana from the level row (maxima unchanged).
    void ResetLevelStats();

    // Levels do not grow: the battle calls these and nothing else changes.
    void SetLevel(int nLevel);
    void LevelUp();
    int CanLevelUp() const;
    void AddExperience(int nAmount);

    void SetFlag(int nTask);
    void ClearFlag(int nTask);

    void SetSculpt(int nSculpt, bool bNormalStance);
    void ToggleStance();
    // Adds (or with bRemove subtracts) the item's attack, defence, life, mana and
    // stamina maxima, and its inlay bonuses where they apply.
    void ApplyItemBonus(int nItem, bool bRemove);
    // Equipment slot s (0..5) against the item carried by the cursor (*pCarried, -1
    // none): with nothing carried the slot's item goes onto the cursor; a carried item
    // that fits the slot and this hero is worn, and the item it replaces goes onto the
    // cursor. Items only move between slot and cursor: no count changes. 1 when
    // something moved, 0 otherwise (an empty slot, an item that does not fit).
    int Unequip(int nSlot, std::int32_t* pCarried);
    // True when the item may go into equipment slot s of this hero.
    bool FitsEquipSlot(int nSlot, int nItem) const;
    // Frame count of an action (0..26), read from the sprite package when still 0;
    // 0 for any other action.
    int GetFrameCount(int nAction);

    // Save record. ReadSculpt reads the first word; ReadRecord reads the rest and applies
    // it only when the whole record is sound. Each returns false with the reader failed.
    void WriteRecord(CByteWriter& out) const;
    bool ReadSculpt(CByteReader& in);
    bool ReadRecord(CByteReader& in);
    // The record of this hero as the writer stores it.
    void FillRecord(HeroRecord* pRecord) const;
    // Takes a record that ParseHeroRecord accepted (everything after the sculpt word).
    void ApplyRecord(const HeroRecord& record);
    void OnLoaded() {}

    // Entry k of the party array: this hero for its own member, else party slot k.
    void RefreshPartyMembers();
    // Empties the walk path (the path finder's waypoint count 0).
    void ClearPath();
    // Waypoints still to pop; 0 without a path.
    int WaypointCount() const;

    // The member number, 0..3, clamped for table indexing.
    int TableMember() const;

    // Equipment slot s (0..5) by its number; null outside.
    std::int32_t* EquipSlot(int nSlot);
    const std::int32_t* EquipSlot(int nSlot) const;

    // Movement and animation (world/PlayerMove.cpp).
    // One frame: actions, walking, stamina. 1 when area damage just removed the hero.
    int Update();
    // Starts an action when the sprite package has frames for it.
    void SetAction(int nAction);
    void ResetAction();
    void ToggleRest();
    // Called when a one-shot action ended; action 8 rests afterwards.
    int OnActionEnd(int nEnded);
    // Stops the walk and puts the hero on the centre of its cell (not while hurt).
    void StopAndSnap();
    void WalkTo(int x, int y, bool bPlace, bool bByUser);
    void PlanPath(int x, int y);
    void WalkStep();
    void MoveAlongHeading();
    void OnArrive();
    // A one-shot of the given sprite action for the event scripts, walking or placed at (x, y).
    void PlayScriptAction(int x, int y, int nSprite, bool bPlace);
    // The cell next to the hero's cell in its direction.
    POINT CellInFront() const;
    void Draw();
    void DrawTranslucent();
    void DrainStamina();
    void Regenerate();
    // The sprite action drawn for the current action and stance.
    int DrawnSpriteAction() const;

    // Combat and party behaviour (world/PlayerCombat.cpp).
    // Each update while no event runs: healing, the buff clock, the fight or the shared
    // target, and the walk to a talk target or an object.
    void Think();
    // A computer-steered hero's fight: -1 nothing to fight, 1 acted.
    int Fight();
    // Approach and strike the party's shared target (a character id): 0 nothing done.
    int PursueTarget(int nTargetId);
    // One attack toward a map point: a marked cell (melee) or a shot (ranged).
    void Strike(int x, int y);
    // The controlled hero attacks a clicked character (scene index) at a squared distance.
    void AttackNpc(int nNpcIndex, int nSquaredDistance);
    // Damage from a kind-1 mark under the hero; true when the hero left the party.
    bool TakeAreaDamage();
    // A computer-steered hero heals itself from the controlled hero's quick slots.
    void AutoHeal();
    // True when the hero was too far from the controlled hero and is sent back, or the
    // toolbar took a key this frame.
    bool LeashToLeader();
    // A ranged hero drops targets too near or far outside the view; true when dropped.
    bool KeepDistance(int x, int y);
    void WanderNearLeader();
    // The pixel centre of a cell, unless another member stands there.
    POINT AvoidPartyCells(POINT cell) const;
    // The first passable cell around the neighbour of cell opposite to the direction;
    // (-1, -1) when none.
    POINT CellBeside(POINT cell, int nDirection) const;
    void MarkTargetCell();
    void ClearTargetMark();

    // Skills and the buff (world/PlayerSkill.cpp).
    void SelectSkill(int nSkill);
    // Casts the selected skill toward a screen point.
    void CastSkill(int x, int y);
    // The selected skill takes effect (the hit frame of its action).
    void SkillHit();
    void ApplyBuff();
    void UpdateBuff();
    void PushBackNpc();
    void TeleportToTarget();

    // Owned walk path: made by Init, deep-copied, deleted by the destructor.
    CPathFinder* pPath = nullptr;

private:
    // Approaches the character at a scene index or strikes it when in reach: -1 the
    // target was dropped, 0 (only in a pursuit) no way there, 1 acted.
    int Engage(int nIndex, std::int64_t nSquaredDistance, bool bPursuit);
    // Starts a one-shot action (3 and above), also one without frames.
    void StartOneShot(int nAction);
    // The skill's level bonus attack: the level row's word one past the stored level.
    int SkillLevelBonus() const;
    void StunAround();
    void CountSkillUse();
    void LaySkillEffect(int nBonus);
    void RemoveBuffBonuses();

    // The goal becomes the centre of the cell under pt and the hero faces it; placed
    // there at once, or off along a planned path.
    void HeadFor(POINT pt, bool bPlace);
    // Plans a path to the goal and takes its first waypoint; without a path the hero
    // stays where it is.
    void StartPath();
    void RunOneShot();
    // Ends a one-shot action; bTimers starts the hurt hold or the attack cool-down.
    void EndOneShot(bool bTimers);
    // The 100 ms step of standing and resting, then the forward-and-back frame.
    void StepIdleFrame(int nCount);
    // Puts the hero on a waypoint it reached.
    void ArriveAt(POINT pt);
    // Party-member entries that named the source of a copy name the copy instead.
    void RefreshSelfEntries(const CPlayer& other);
};

// Makes party member n (slot 0..3) the controlled hero, parking the controlled hero
// in the current member's slot. False (nothing changed) when slot n is empty, n is
// already controlled, or a toolbar panel is open.
bool SwitchHero(int nSlot);
// The same refusals; copies slot n into the controlled hero without parking it.
bool LoadHeroFromSlot(int nSlot);
// The shared target of the controlled hero and every party member.
void SetPartyTarget(int nId);

// Direction 0..7 of a vector (0 down, 2 left, 4 up, 6 right); the angle in degrees is
// stored in *pAngle, which keeps its value for a zero vector.
int DirectionFromVector(int dx, int dy, double* pAngle);
// The cell next to (cx, cy) in direction d.
POINT NeighbourCell(POINT cell, int nDirection);
// The cell a hero or character facing direction d strikes: the neighbour on the screen
// in that direction, on either grid kind (0 square, 1 diamond).
POINT FrontCell(POINT cell, int nDirection, int nGridKind);
