// The scene's weather overlays, drawn onto the back buffer after the map every frame:
// fog that thickens toward the bottom of the screen, a dark veil of stripes, rain with
// its haze, splashes, rain sound and a thunder flash every 30 s, and snow that drifts as
// it falls. Rain and snow keep their particles in map pixels, so they stay on the ground
// while the view scrolls. The toolbar switches them on and off.
//
// The uniform layers (fog, haze, stripes) are blended one row band at a time, and drops,
// splashes and flakes share their pictures by kind and grey level; the literal form (one
// blit per small tile, one surface per particle) stays as the reference the tests hold
// the fast one to, switched on with UseLiteralWeather.
#pragma once
#include <cstdint>
#include <map>
#include <memory>

#include "platform/Base.h"

class CDXSurface;

// Depth (screen pixels below the view top) at which a particle of stage 0..4 ends.
constexpr int kWeatherDepth[5] = {100, 200, 300, 400, 550};
// Snow's fall per frame by stage.
constexpr int kSnowFall[5] = {5, 6, 7, 8, 9};

// Draws every overlay the literal way (true) or the fast way (false, the default).
void UseLiteralWeather(bool bLiteral);
bool IsLiteralWeather();

// A row band of a uniform tile, as wide as the screen: one blit where the tile takes a
// blit per column.
class CWeatherBand {
public:
    // Tiles the whole width with pTile's pixels; empty when a surface cannot be made.
    void Build(CDXSurface* pTile, int nWidth);
    CDXSurface* Get() const { return m_pBand.get(); }

private:
    std::unique_ptr<CDXSurface> m_pBand;
};

class CFogEffect {
public:
    static constexpr int kTile = 10;
    CFogEffect();
    virtual ~CFogEffect();
    CFogEffect(const CFogEffect&) = delete;
    CFogEffect& operator=(const CFogEffect&) = delete;
    // 60 rows of 80 white tiles, alpha 51 at the top row rising to 201 at the bottom.
    void Draw();
    // The alpha of tile row r (0..59).
    static WORD RowAlpha(int r) { return WORD((20 + r) * 255 / 100); }

    std::int32_t nAlphaPercent = 100;
    std::unique_ptr<CDXSurface> pTile;

private:
    CWeatherBand m_band;
};

class CStripeEffect {
public:
    static constexpr int kTileW = 80, kTileH = 60;
    CStripeEffect();
    virtual ~CStripeEffect();
    CStripeEffect(const CStripeEffect&) = delete;
    CStripeEffect& operator=(const CStripeEffect&) = delete;
    // 1 clears every even pixel row of the tile; any other value does nothing.
    void SetPattern(int nMode);
    // 10 x 9 tiles blended half and half: 800 x 540 pixels, the bottom 60 rows untouched.
    void Draw();

    std::int32_t nPattern = 0;
    std::unique_ptr<CDXSurface> pTile;

private:
    CWeatherBand m_band;
};

class CRainEffect;

class CRainDrop {
public:
    // Kinds 0..9: a streak of a length by kind (kind 1 a 2 x 2 dot); stage 0..4 its depth.
    bool Place(CRainEffect& rain, int nViewX, int nViewY, int nRandom, int nKind, int nStage);
    // Draws and moves the drop; false once it has finished (splash included).
    bool Update(CRainEffect& rain);

    DWORD dwSplashStart = 0, dwSplashNow = 0;
    std::int32_t nSplash = -2;  // -2 none, -1 pending, 0 and 1 splash frames
    std::int32_t nSpeed = 0;
    std::int32_t nStage = 0;
    std::int32_t x = 0, y = 0;
    CDXSurface* pPicture = nullptr;

private:
    // The drop's own picture when it is drawn the literal way.
    std::unique_ptr<CDXSurface> m_pOwned;
    void TakePicture(std::unique_ptr<CDXSurface> pMade, CDXSurface* pShared);
};

class CRainEffect {
public:
    static constexpr int kDrops = 200;
    static constexpr int kSpawnLimit = 40;
    static constexpr DWORD kThunderMs = 30000;
    static constexpr int kThunderSound = 12;
    static constexpr int kRainSound = 13;
    CRainEffect();
    virtual ~CRainEffect();
    CRainEffect(const CRainEffect&) = delete;
    CRainEffect& operator=(const CRainEffect&) = delete;
    // Thunder when due, the rain sound, the drops, the haze at the top, new drops.
    void Draw();
    // The haze's alpha at band row r (0..19): 51 at the top to 244.
    static WORD HazeAlpha(int r) { return WORD((r * 4 + 20) * 255 / 100); }
    int CountDrops() const;

    // The pictures, made anew each call; null when no surface can be made.
    static std::unique_ptr<CDXSurface> MakeDropPicture(int nKind, int nGrey);
    static std::unique_ptr<CDXSurface> MakeSplashPicture(int nParity);
    // The shared pictures by kind and grey level, and by parity.
    CDXSurface* DropPicture(int nKind, int nGrey);
    CDXSurface* SplashPicture(int nParity);

    DWORD dwLastThunder = 0;
    std::unique_ptr<CDXSurface> pHaze;
    std::unique_ptr<CRainDrop> pDrops[kDrops];

private:
    void DrawHaze();
    void SpawnDrops();
    CWeatherBand m_band;
    std::map<int, std::unique_ptr<CDXSurface>> m_dropPictures;
    std::unique_ptr<CDXSurface> m_splashPictures[2];
};

class CSnowEffect;

class CSnowFlake {
public:
    // Kinds 0..2: a cross, a disc of radius 2, a disc of radius 1.
    bool Place(CSnowEffect& snow, int nViewX, int nViewY, int nRandom, int nKind, int nStage);
    // Draws, drifts and moves the flake; false once it reached its depth.
    bool Update();

    std::int32_t nStage = 0;
    DWORD dwNow = 0, dwLastDrift = 0;
    std::int32_t x = 300, y = 1;
    CDXSurface* pPicture = nullptr;

private:
    std::unique_ptr<CDXSurface> m_pOwned;
};

class CSnowEffect {
public:
    static constexpr int kFlakes = 500;
    static constexpr int kSpawnLimit = 10;
    static constexpr DWORD kDriftMs = 100;
    CSnowEffect();
    virtual ~CSnowEffect();
    CSnowEffect(const CSnowEffect&) = delete;
    CSnowEffect& operator=(const CSnowEffect&) = delete;
    // Updates every flake and spawns new ones.
    void Draw();
    int CountFlakes() const;

    static std::unique_ptr<CDXSurface> MakeFlakePicture(int nKind);
    CDXSurface* FlakePicture(int nKind);

    std::unique_ptr<CSnowFlake> pFlakes[kFlakes];

private:
    std::unique_ptr<CDXSurface> m_flakePictures[3];
};
