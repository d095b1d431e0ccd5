// Animated sprites flying over the map: one from a start point toward a target (a shot
// or a thrown skill), or up to 32 outward in a ring (a burst). Each sprite's picture set
// is its flight direction in 32 steps; while flying it marks the cell under it, and it
// stops on an obstacle cell or once it is more than 100 pixels out of view. The
// toolbar's pool ticks it every frame and deletes it once no sprite is left.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/Base.h"

class CTgaAnimation;

class CFlyingEffect {
public:
    static constexpr int kSprites = 32;
    static constexpr DWORD kSpawnMs = 200;
    // How far out of view (pixels) a sprite may fly before it stops.
    static constexpr int kViewMargin = 100;

    CFlyingEffect();
    virtual ~CFlyingEffect();
    CFlyingEffect(const CFlyingEffect&) = delete;
    CFlyingEffect& operator=(const CFlyingEffect&) = delete;

    // One sprite of animation nAnimation from a map point toward a screen point. Its
    // velocity is a tenth of the way, brought to a squared length of 400 to 600. A
    // target within 10 pixels on both axes gives no velocity: nothing is launched and
    // the effect finishes at its next tick. nCount (at most 32) slots are respawned.
    bool LaunchLine(int nMark, int nAnimation, int nStartX, int nStartY, int nTargetX, int nTargetY, int nCount,
                    int bStop);
    // nCount (at most 32) sprites outward from map point (x, y) at the fixed ring speeds.
    bool LaunchRing(int nMark, int nAnimation, int x, int y, int nCount, int bStop);
    // Marks of kind 1 (which hurt the heroes) and the hero-cell obstacle test.
    void SetOption() { nCellTest = 1; }
    // Draws, moves and respawns the sprites; false once none was left to draw.
    bool Tick();

    // The 32 picture sets: direction 0 flies down, 8 left, 16 up, 24 right.
    static int DirectionOf(int vx, int vy);
    // The first velocity of a line toward (dx, dy): a tenth of it, brought into
    // squared length 400..600; (0, 0) when the tenth is (0, 0).
    static POINT LineVelocity(int dx, int dy);

    // Fields, in the order the effect keeps them.
    std::int32_t nMark = 0;
    std::int32_t nCellTest = 0;
    DWORD dwLastSpawn = 0, dwNow = 0;
    POINT ptStart{-1, -1};
    std::int32_t nSpawnCount = 0;
    std::int32_t bStopAtObstacles = 1;
    std::int32_t nSpriteCount = 1;
    POINT ptVelocity[kSprites] = {};
    std::int32_t nDirection = -1;
    std::unique_ptr<CTgaAnimation> pSprites[kSprites];
    POINT ptPos[kSprites];

private:
    void Move();
    void Spawn();
    // Whether the sprite on map point pt must stop: an obstacle cell or out of view.
    bool Blocked(POINT pt) const;
    void StopSprite(int i);
};
