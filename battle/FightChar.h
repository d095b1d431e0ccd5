// One fighter of the battle screen: a party member (slots 0..3) copied from the
// member's hero record, or an enemy (slots 4..7) loaded from the battle-enemy table.
// It carries the battle statistics, the time gauge, the status flags of the skill
// effects, the animation state and the floating damage number.
#pragma once
#include <cstdint>
#include <memory>

#include "gamedata/Tables.h"
#include "platform/Base.h"

class CDXSurface;

constexpr int kFightSlots = 8;
constexpr int kFightPartySlots = 4;
constexpr int kFightNpcRows = 301;  // enemy numbers 0..300

// Sprite actions of the fighters.
enum FightAction : int {
    kActStand = 0,
    kActItem = 1,
    kActRecover = 2,
    kActAttack = 3,
    kActCast = 4,
    kActHurt = 7,
    kActFalling = 8,
    kActDead = 9,
    kActWeak = 19,
    kActEntrance = 20,
    kActWalkA = 21,  // party walks out, enemies walk home
    kActWalkB = 22,  // party walks home, enemies walk out
    kActVictory = 23,
    kActDefend = 24,
};

class CFightChar {
public:
    CFightChar();
    virtual ~CFightChar();
    CFightChar(const CFightChar&) = delete;
    CFightChar& operator=(const CFightChar&) = delete;

    // Loads the fighter: needs AniNo (and for the party the member id) set first.
    // False for an enemy number outside 0..300, a missing record, or a picture set
    // without frames for the first action.
    bool Init();
    void SetAction(int nAction);
    // Frame step with the time gate (100 ms, 150 ms while standing).
    void Animate();
    // The same step without the gate.
    void AnimateNow();
    // Draws the frame at (x, y) with the colour add p1..p3, then the damage number;
    // true when the mouse lies on the drawn frame.
    bool Draw(int x, int y, int p1, int p2, int p3);
    void AddHp(int nDelta);
    void Revive(int nItem);
    // Shows the running battle talk's current line on the face talk bar and counts it.
    void ShowTalk();
    // The fighter brings a talk: the enemy's opening talk or a party member's last words.
    bool HasTalkEvent() const { return m_row.nTall != 0 || DelTall != 0; }
    // Empty slot: no fighter stands here.
    bool IsEmpty() const { return AniNo == -1; }
    bool IsParty() const { return CharNo >= 0 && CharNo < kFightPartySlots; }
    // The row of the battle-enemy table this fighter was loaded from (copy).
    const FightNpcRow& Row() const { return m_row; }

    std::int32_t StepX = 0, StepY = 0;
    std::int32_t bArrived = 0;
    std::int32_t Poison = 0;
    std::int32_t bPoisoned = 0, bBound = 0;
    std::int32_t RaiseTurns[4] = {};
    std::int32_t RepeatTarget = -1;
    std::int32_t bRaised[4] = {};
    std::int32_t bHitAgain = 0;
    std::int32_t bBackHome = 0;
    std::int32_t bWalkBack = 0;
    std::int32_t bEntrance = 0;
    std::int32_t QueuedAction = -1;
    std::int32_t nSpare25 = 0;
    std::int32_t RunAway = 1;
    std::int32_t bMessage = 0;
    std::int32_t DelTall = 0;
    std::int32_t Tall = 0;
    std::int32_t nDamage = 0;
    DWORD dwDamageTime = 0;
    std::int32_t Action = 0;
    std::int32_t CurrentAction = 0;
    std::int32_t nSculpt = -1;
    std::int32_t MaxMP = 0, MaxHP = 0, MP = 0;
    std::int32_t RecoverLimit = 0, RecoverCount = 0;
    std::int32_t NormalAttack = 0, Skill = 0, RecoverSkill = 0;
    std::int32_t HP = 0;
    std::int32_t Attack = 0, Defence = 0;
    std::int32_t nAttackBonus = 0, nDefenceBonus = 0;
    std::int32_t CharNo = -1;
    DWORD dwFrameTime = 0;
    DWORD timeRecovered = 0;
    std::int32_t Recover = 0;
    std::uint8_t bContinue = 1;
    std::int32_t AniNo = -1;
    std::int32_t nMember = -1;
    std::int32_t nFrame = 0, FrameCount = 0;
    std::int32_t Probability = 0;
    // Set when an action has run out (the walk reads and clears it).
    std::int32_t bActionDone = 0;

private:
    // The picture set drawn: the hero's set 1 is drawn as set 0 without the cloth
    // option. Frame counts come from the drawn set, so that no frame is counted that
    // the set does not hold (the fighter would vanish on it and could not be picked).
    int DrawnSet() const;
    // The end-of-action rules; bNow for the untimed step.
    void EndOfAction(bool bNow);
    void StandOrWeak();
    void Step(bool bNow);

    FightNpcRow m_row;
    std::unique_ptr<CDXSurface> m_pText;
};

// Frame count of a picture set's action; 0 without a picture store.
int FightFrameCount(int nSculpt, int nAction);
// A member's statistic at a level: level row 0's value + level x that level's row.
int FightLevelValue(int nMember, int nLevel, int LevelRow::*pField);
// The hero's cloth option (PlayerCloth) is set.
bool HeroCloth();
