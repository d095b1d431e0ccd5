#include <vector>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "world/Scene.h"
#include "world/Weather.h"
#include "world/WeatherSurface.h"

std::unique_ptr<CDXSurface> CSnowEffect::MakeFlakePicture(int nKind) {
    if (!pScreen) return nullptr;
    const DWORD dwWhite = pScreen->RgbToPixel(RGB(255, 255, 255));
    std::unique_ptr<CDXSurface> p;
    if (nKind == 0) {
        p = MakeWeatherSurface(3, 3, 0xFFFFFF);
        if (!p) return nullptr;
        p->Lock();
        for (int c : {0, 2})
            for (int r : {0, 2}) p->PutPixel(c, r, 0);
        p->Unlock();
    } else {
        const int nSize = nKind == 1 ? 5 : 3;
        p = MakeWeatherSurface(nSize, nSize, 0);
        if (!p) return nullptr;
        p->FillCircle(nSize / 2, nSize / 2, nSize / 2, dwWhite);
    }
    p->SetColorKeyFromCorner();
    return p;
}

CDXSurface* CSnowEffect::FlakePicture(int nKind) {
    auto& p = m_flakePictures[nKind];
    if (!p) p = MakeFlakePicture(nKind);
    return p.get();
}

bool CSnowFlake::Place(CSnowEffect& snow, int nViewX, int nViewY, int nRandom, int nKind, int nStageNo) {
    const int nKindNo = nKind < 0 || nKind > 2 ? 0 : nKind;
    if (IsLiteralWeather()) {
        m_pOwned = CSnowEffect::MakeFlakePicture(nKindNo);
        pPicture = m_pOwned.get();
    } else {
        pPicture = snow.FlakePicture(nKindNo);
    }
    nStage = nStageNo < 0 || nStageNo > 4 ? 0 : nStageNo;
    x = nViewX + nRandom - 200;
    y = nViewY + y - 20;
    dwNow = dwLastDrift = TimeGetTime();
    // A flake without a picture ends at once.
    return pPicture != nullptr;
}

bool CSnowFlake::Update() {
    if (!pPicture) return false;
    const POINT view = WeatherView();
    dwNow = TimeGetTime();
    if (pBack) pPicture->BlitKeyed(pBack, x - view.x, y - view.y);
    if (dwNow - dwLastDrift > CSnowEffect::kDriftMs) {
        x += (dwNow & 1) ? -2 : 2;
        dwLastDrift = dwNow;
    }
    if (y - view.y >= kWeatherDepth[nStage]) return false;
    y += kSnowFall[nStage];
    return true;
}

CSnowEffect::CSnowEffect() = default;

CSnowEffect::~CSnowEffect() = default;

int CSnowEffect::CountFlakes() const {
    int n = 0;
    for (const auto& p : pFlakes) n += p != nullptr;
    return n;
}

void CSnowEffect::Draw() {
    for (auto& p : pFlakes)
        if (p && !p->Update()) p.reset();
    SpawnParticles(pFlakes, *this, kSpawnLimit, 10, 3);
}
