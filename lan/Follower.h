// A light map actor that walks behind the party's leader: it shows a party member's
// sprite, follows the hero or the follower in front of it, and can be walked by scripts.
#pragma once
#include "platform/Base.h"
#include "world/MapObject.h"
#include "world/PathFinder.h"

#include <cstdint>
#include <memory>

// The party member a follower stands for. Values 1..5 are life, mana, attack, defence and
// agility; base values feed them, the equipment slots hold item numbers + 1 (0 or -1 none).
struct FollowerMember {
    char szName[32] = {};
    std::int32_t nLevel = 0;
    std::int32_t nBase[6] = {};
    std::int32_t nValue[6] = {};
    std::int32_t nEquip[6] = {-1, -1, -1, -1, -1, -1};
};

// What a follower asks of the game around it. The default answers "nothing there" except
// where the world's globals know (the hero, the sprite package).
class IFollowerWorld {
public:
    virtual ~IFollowerWorld() = default;
    virtual POINT HeroPosition();
    virtual bool IsEventRunning() { return false; }
    // Whether a follower is under script control (the main window holds its slot).
    virtual bool IsScriptFollowerSet() { return false; }
    virtual int SculptOf(int /*nMember*/) { return -1; }
    virtual int FrameCount(int nSculpt, int nAction);
    virtual FollowerMember* Member(int /*nMember*/) { return nullptr; }
    // A row of nine columns of the member's level table; null outside the table.
    virtual const std::int32_t* LevelRow(int /*nMember*/, int /*nLevel*/) { return nullptr; }
    // A row of the item table (columns 0..9 at least); null outside the table.
    virtual const std::int32_t* ItemRow(int /*nItem*/) { return nullptr; }
    virtual void ClearAnimationWait() {}
    virtual void DrawFrame(int nSculpt, int nAction, int nDirection, int nFrame, int x, int y);
};

class CFollower {
public:
    static constexpr int ACTION_COUNT = 12;

    // pWorld null: the game's globals.
    explicit CFollower(IFollowerWorld* pWorld = nullptr);
    virtual ~CFollower() = default;

    void Init(int nMember, int nIgnored = 0);
    void Update(int nSlot, int nLeaderX, int nLeaderY);
    void Draw();
    void FindPath(int x, int y);
    void MoveToward();
    void StepMotion();
    // Direction 0..7 of (dx, dy); *pAngle gets degrees (unchanged for (0, 0)).
    static int DirectionTo(int dx, int dy, double* pAngle);
    // Direction 0..7 of an angle in degrees: 45-degree sectors centred on the directions.
    static int DirectionOfAngle(double dAngle);
    void Stop();
    void ScriptWalk(int x, int y, bool bInstant);
    void ScriptWalkTo(int x, int y, int nAction, bool bInstant);
    void SetPos(int x, int y);
    void SetPosOnly(int x, int y);
    void SetDirection(int d) {
        if (d >= 0 && d < 8) nDirection = d;
    }
    void RecomputeStats(int nMember, int nBonus);
    void RecomputeEquipStats(int nMember);

    CMapObject mapObject;
    std::int32_t nHoldFrame = -1;
    std::int32_t bReturnToStand = 0;
    std::int32_t nAltAction = 0;
    std::int32_t nMember = -1;
    DWORD dwLastFrame = 0;
    std::int32_t nDirection = 0;
    std::int32_t nSculpt = 0;
    std::int32_t nFrameCount[ACTION_COUNT] = {};
    std::int32_t nFrame = 0, nCounter = 0;
    POINT ptPos{1024, 477};
    std::int32_t nAction = 0;
    double dFacing = 0.0;
    char szName[32] = {};
    std::int32_t nSpeed = 4;
    double dMotionAngle = 0.0;
    POINT ptTarget;
    std::unique_ptr<CPathFinder> pPath;
    POINT ptDest;

private:
    void WalkToward(int x, int y, int nGateCount, bool bInstant);
    void RefreshCell();
    // Sets V1..V5 of the member from its level rows; false when a row is missing.
    bool LevelValues(FollowerMember& member, int nMember, int nLevel);
    int CountOf(int nAction) const { return nAction >= 0 && nAction < ACTION_COUNT ? nFrameCount[nAction] : 0; }

    IFollowerWorld& m_world;
};
