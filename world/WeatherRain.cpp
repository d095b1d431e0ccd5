#include <vector>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "media/SoundEffects.h"
#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "world/Scene.h"
#include "world/Weather.h"
#include "world/WeatherSurface.h"

namespace {

constexpr int kHazeTile = 5;
constexpr int kHazeRows = 20;
constexpr int kHazeColumns = 160;
constexpr DWORD kSplashMs = 100;
// Streak length by kind; kind 1 is a dot.
constexpr int kDropLength[10] = {30, 2, 40, 50, 20, 10, 70, 60, 80, 90};

struct SplashPixel {
    int x, y;
    COLORREF colour;
};
constexpr SplashPixel kSplashEven[] = {{0, 3, 0xFFFEDB}, {0, 4, 0xFEF9B3}, {1, 3, 0x93F1BE},
                                       {1, 4, 0xFEFCEA}, {3, 0, 0xFCFBBB}, {3, 3, 0xEAE0B4},
                                       {3, 4, 0xFBF8BE}, {4, 0, 0xF8F0B3}, {4, 4, 0xFAF4DA}};
constexpr SplashPixel kSplashOdd[] = {{1, 1, 0xFFFDE9}, {1, 3, 0xFEFDE5}, {1, 4, 0xFFFFE7}, {2, 0, 0xFFFFEE},
                                      {2, 3, 0xF9F5D8}, {2, 4, 0xFCF7CB}, {3, 0, 0xFBF8BE}, {3, 2, 0xF9F5E2},
                                      {3, 3, 0xFEFDE7}, {4, 2, 0xFAF7E7}, {4, 3, 0xFDFBE2}};

}  // namespace

std::unique_ptr<CDXSurface> CRainEffect::MakeDropPicture(int nKind, int nGrey) {
    const DWORD dwWhite = pScreen ? pScreen->RgbToPixel(RGB(255, 255, 255)) : 0xFFFFFF;
    if (nKind == 1) {
        auto p = MakeWeatherSurface(2, 2, 0);
        if (!p) return nullptr;
        p->Lock();
        p->PutPixel(0, 1, dwWhite);
        p->PutPixel(1, 1, dwWhite);
        p->Unlock();
        return p;
    }
    const int nLength = kDropLength[nKind < 0 || nKind > 9 ? 0 : nKind];
    auto p = MakeWeatherSurface(2, nLength, 0);
    if (!p || !pScreen) return nullptr;
    const DWORD dwGrey = pScreen->RgbToPixel(RGB(nGrey, nGrey, nGrey));
    p->Lock();
    p->PutPixel(0, 0, 0);
    for (int y = 1; y < nLength; ++y) p->PutPixel(0, y, dwGrey);
    p->Unlock();
    p->SetColorKeyFromCorner();
    return p;
}

std::unique_ptr<CDXSurface> CRainEffect::MakeSplashPicture(int nParity) {
    auto p = MakeWeatherSurface(5, 5, 0xFFFFFF);
    if (!p || !pScreen) return nullptr;
    p->SetColorKey(pScreen->RgbToPixel(0xFFFFFF));
    p->Lock();
    if (nParity == 0)
        for (const SplashPixel& s : kSplashEven) p->PutPixel(s.x, s.y, pScreen->RgbToPixel(s.colour));
    else
        for (const SplashPixel& s : kSplashOdd) p->PutPixel(s.x, s.y, pScreen->RgbToPixel(s.colour));
    p->Unlock();
    return p;
}

CDXSurface* CRainEffect::DropPicture(int nKind, int nGrey) {
    auto& p = m_dropPictures[nKind * 256 + nGrey];
    if (!p) p = MakeDropPicture(nKind, nGrey);
    return p.get();
}

CDXSurface* CRainEffect::SplashPicture(int nParity) {
    auto& p = m_splashPictures[nParity & 1];
    if (!p) p = MakeSplashPicture(nParity & 1);
    return p.get();
}

void CRainDrop::TakePicture(std::unique_ptr<CDXSurface> pMade, CDXSurface* pShared) {
    m_pOwned = std::move(pMade);
    pPicture = m_pOwned ? m_pOwned.get() : pShared;
}

bool CRainDrop::Place(CRainEffect& rain, int nViewX, int nViewY, int nRandom, int nKind, int nStageNo) {
    const DWORD dwTime = TimeGetTime();
    const int nGrey = int(dwTime % 60) + 160;
    if (IsLiteralWeather()) TakePicture(CRainEffect::MakeDropPicture(nKind, nGrey), nullptr);
    else TakePicture(nullptr, rain.DropPicture(nKind, nGrey));
    nStage = nStageNo < 0 || nStageNo > 4 ? 0 : nStageNo;
    x = nViewX + (nRandom - 200);
    y = nViewY;
    nSpeed = int(dwTime % 10) + 50;
    nSplash = dwTime % 100 < 20 ? -1 : -2;
    // A drop without a picture ends at once.
    return pPicture != nullptr;
}

bool CRainDrop::Update(CRainEffect& rain) {
    if (!pPicture) return false;
    const POINT view = WeatherView();
    if (pBack) pPicture->BlitKeyed(pBack, x - view.x, y - view.y);
    if (y - view.y < kWeatherDepth[nStage]) {
        y += nSpeed;
        return true;
    }
    if (nSplash == -2) return false;
    const DWORD dwTime = TimeGetTime();
    if (nSplash == -1) {
        nSplash = 0;
        dwSplashStart = dwSplashNow = dwTime;
        return true;
    }
    dwSplashNow = dwTime;
    if (dwSplashNow - dwSplashStart < kSplashMs) return true;
    if (nSplash == 1) return false;
    const int nParity = int(dwTime & 1);
    if (IsLiteralWeather()) TakePicture(CRainEffect::MakeSplashPicture(nParity), nullptr);
    else TakePicture(nullptr, rain.SplashPicture(nParity));
    nSplash = 1;
    dwSplashStart = dwTime;
    return pPicture != nullptr;
}

CRainEffect::CRainEffect() {
    pHaze = MakeWeatherSurface(kHazeTile, kHazeTile, pScreen ? pScreen->RgbToPixel(RGB(195, 206, 205)) : 0);
}

CRainEffect::~CRainEffect() {
    if (pSoundEffects) {
        pSoundEffects->Stop(kThunderSound);
        pSoundEffects->Stop(kRainSound);
    }
}

int CRainEffect::CountDrops() const {
    int n = 0;
    for (const auto& p : pDrops) n += p != nullptr;
    return n;
}

void CRainEffect::Draw() {
    const DWORD dwTime = TimeGetTime();
    if (dwTime - dwLastThunder > kThunderMs) {
        dwLastThunder = dwTime;
        if (pSoundEffects) pSoundEffects->Play(kThunderSound);
        // The flash: the frame fades in from black, holding the caller for 200 ms.
        if (pScreen) pScreen->FadeIn(200);
    }
    if (pSoundEffects) pSoundEffects->Play(kRainSound);
    for (auto& p : pDrops)
        if (p && !p->Update(*this)) p.reset();
    DrawHaze();
    SpawnDrops();
}

void CRainEffect::DrawHaze() {
    if (!pHaze || !pBack) return;
    if (IsLiteralWeather()) {
        for (int r = 0; r < kHazeRows; ++r)
            for (int c = 0; c < kHazeColumns; ++c)
                pHaze->BlitAlpha(pBack, c * kHazeTile, r * kHazeTile, nullptr, HazeAlpha(r));
        return;
    }
    if (!m_band.Get()) m_band.Build(pHaze.get(), kHazeColumns * kHazeTile);
    if (!m_band.Get()) return;
    for (int r = 0; r < kHazeRows; ++r) m_band.Get()->BlitAlpha(pBack, 0, r * kHazeTile, nullptr, HazeAlpha(r));
}

void CRainEffect::SpawnDrops() {
    SpawnParticles(pDrops, *this, kSpawnLimit, 40, 10);
}
