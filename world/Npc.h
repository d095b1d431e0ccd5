// One non-player character or monster of the current scene. Its lasting state
// (position, life, direction, display state) lives in the effect manager's state
// record of (scene, id), so that it survives scene changes and saves; the object holds
// what the setting record and the enemy table give it, and its animation.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/Base.h"
#include "world/MapObject.h"

class CByteReader;
class CPathFinder;
class CPlayer;
class CScene;
struct NpcStateRecord;

constexpr int kNpcClassFighter = 2;
constexpr int kNpcActions = 27;
constexpr int kNpcEventCount = 8;
constexpr int kNpcLootCount = 4;
constexpr DWORD kNpcFrameMs = 100;
constexpr DWORD kCorpseMs = 20000;
// The sculpt whose talk cursor is the fourth shape.
constexpr int kNpcShopSculpt = 89;
// A fighter takes its place at a random cell up to this many cells either way of its
// record's cell each time its scene loads.
constexpr int kNpcSpreadCells = 5;

enum NpcAction { kNpcStand, kNpcWander, kNpcChase, kNpcAttack, kNpcHurt, kNpcDie };

class CNpc {
public:
    CNpc();
    virtual ~CNpc();
    CNpc(const CNpc&) = delete;
    CNpc& operator=(const CNpc&) = delete;

    // Reads one 412-byte setting record for the scene pOwner is building and binds the
    // character to its state record and enemy row. False (the character is skipped) when the reader
    // ran short or the id lies outside the state table.
    bool Load(CByteReader& reader, CScene* pOwner);
    // Takes revive flag, sound and, for a fighter not gone, life and fighting values
    // from its enemy row; a row outside the table reads empty.
    void BindFightStats();
    // Kind 12, frame 0, frame counts of actions 0..4 from the sprite package; a sculpt
    // without stand frames is hidden for good. False for a sculpt past the package.
    bool BindSculpt();

    void Update();
    // Draws the frame and applies the hover and cursor rules; true under the mouse.
    bool Draw();
    void DrawTranslucent();

    // Starts an action (0..26) from frame 0, or with bKeepPhase from direction x count;
    // nothing changes when the action has no frames.
    void SetAction(int nAction, bool bKeepPhase = false);
    void SetActionByScript(int nAction);
    // Gone (3 when it revives on the next build, else 2).
    void Hide();
    // Moves the state position to (x, y) when the cell there is free.
    bool SetMapPos(int x, int y);
    void ResetPos();
    void SetHitRect();
    POINT CellInFront() const;

    // Behaviour and fighting (world/NpcFight.cpp), each frame before the animation:
    // damage from marked cells, sound, the fight of a fighter, wandering.
    void Think();
    // A fighter's decisions: flee, pick a hero, strike or shoot it in range, else chase.
    void FightThink();
    // The member number (0..3) of the nearest hero within the attack radius (less life
    // wins a tie); -1 without one.
    int ChooseTarget();
    // Strikes (melee: marks the cell in front or lays a skill) or shoots at the target.
    void AttackPlayer(POINT ptTarget);
    // Damage from a mark of kind 0 under the character; death drops the loot.
    void TakeAreaDamage();
    // Death by a blow or a bomb: the dying action, its cell marks cleared, the loot laid.
    void Fall();
    void MarkFrontCell();
    // Plans a path to the map point and takes the first step (wandering or chasing).
    void MoveTo(int x, int y);
    void WanderStep();
    void ChaseStep();
    // Walks to the point, or beside it when its cell is taken.
    void WalkBeside(POINT pt);
    // A ranged fighter too near its target and far from the start point walks back;
    // true when it was sent back.
    bool RangedCheck(POINT pt);
    void ReturnToPost();
    void FleeHome();
    void ReturnHome();
    // The hero of a member number: the controlled hero for the controlled member, else
    // that party slot; null when empty or outside 0..3.
    static CPlayer* MemberHero(int nMember);
    // Clears the set front mark in the scene and forgets it.
    void ForgetFrontMark();

    // Points the character at another state record, or (null) at its own copy of the
    // current one: the effect manager that holds the records is being replaced.
    void RebindState(NpcStateRecord* pRecord);

    bool IsShown() const;
    std::int8_t Display() const;
    std::int32_t Life() const;
    // The frame count of an action, read from the package when still 0; 0 outside 0..26.
    int FrameCount(int nAction);

    CMapObject mapObject;
    std::int32_t nLifeMax = 0;
    std::int32_t timeAttack = -1;
    std::int32_t nDeathEvent = -1;
    std::uint8_t bDeathEventPending = 0;
    std::uint8_t bStunned = 0;
    std::int32_t bLootFlag = 0;
    DWORD timeSound = 0;
    std::int32_t nSoundNo = -1;
    std::int32_t nSoundInterval = 0;
    DWORD timeDeath = 0;
    std::int32_t bRandomEvents = 0;
    std::int32_t nPlacedLife = 0;
    std::int32_t bPost = 0;
    POINT ptPost{-1, -1};
    POINT ptChaseTarget{-1, -1};
    std::int32_t nFleeMode = 0;
    POINT ptFrontMark{-1, -1};
    std::int32_t bSeen = 0;
    std::int32_t nTargetMember = -1;
    std::int32_t bRanged = 0;
    std::int32_t bChasing = 0;
    std::int32_t bForcedPose = 0;
    std::int32_t nChaseSpeed = 6;
    DWORD timeLastStep = 0;
    std::int32_t nStandRule = 1;
    CPathFinder* pPath = nullptr;  // owned
    double dHeading = 0.0;
    std::int32_t nSculpt = 0;
    std::int32_t nInitialDisplay = 0;
    std::int32_t nFrameCounter = 0;
    DWORD timeFrame = 0;
    std::int32_t nFrameCounts[kNpcActions] = {};
    std::int32_t nEvents[kNpcEventCount];
    std::int32_t nAction = kNpcStand;
    std::int32_t nClass = 0;
    std::int32_t nEnemyRow = 0;
    std::int32_t nWanderSpeed = 6;
    std::int32_t nSettingWords3[3] = {};
    std::int32_t nSettingWords2[2] = {};
    std::int32_t nWanderRadius = 0;
    std::int32_t nLoot[kNpcLootCount];
    std::int32_t nAttackRadius = 0;
    std::int32_t nRangedRadius = 0;
    std::int32_t nAttack = 0;
    std::int32_t nDefence = 0;
    std::int32_t nLootMoney = 0;
    std::int32_t nSkill1 = -1, nSkill2 = -1;
    std::int32_t nSkillChance = 0;
    std::int32_t bTalkPose = 0;
    std::int32_t bRevive = 1;
    POINT ptHome{-1, -1};
    POINT ptNextWaypoint{-1, -1};
    std::int32_t nFrame = 0;
    NpcStateRecord* pState = nullptr;  // not owned; the own record without a manager
    // Set by the benchmark and the differential test: every walk plans afresh.
    bool bLiteralPlanning = false;
    // Values the event scripts set and nothing in the game reads: the script field
    // (command 70), and the script byte and value (command 110).
    std::int32_t nScriptField = 0;
    std::uint8_t bScriptByte = 0;
    std::int32_t nScriptValue = 0;

private:
    bool HasEvent() const;
    void StepAnimation(DWORD dwNow);
    // The one-shot actions (3 and above); false when the character was removed.
    bool StepOneShot(DWORD dwNow);
    void ResolveHover();
    bool IsDrawable(int nFrameIndex) const;

    POINT StatePos() const;
    void ClearHover();
    void PlayNearbySound();
    void HealNeighbours();
    void PlanPath(POINT ptOwn, POINT ptGoal);
    void StopWalking();
    void StepAlongPath(int nSpeed, bool bChase);

    // The last search that found no path, with the blocking grid it ran on.
    struct FailedPlan {
        bool bValid = false;
        POINT ptStart{-1, -1}, ptGoal{-1, -1};
        int nWidth = 0;
        int nOpenLimit = 0;
        std::vector<std::int32_t> grid;
    };
    FailedPlan m_failedPlan;

    // Stands in for the state record while no effect manager exists (tools).
    std::uint8_t m_ownState[20];
    CScene* m_pScene = nullptr;
};
