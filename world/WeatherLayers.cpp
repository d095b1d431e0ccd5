#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "shell/ShellGlobals.h"
#include "world/Scene.h"
#include "world/Weather.h"
#include "world/WeatherSurface.h"

namespace {

bool g_bLiteralWeather = false;

// The screen area the layers cover.
constexpr int kLayerWidth = 800;

}  // namespace

void UseLiteralWeather(bool bLiteral) { g_bLiteralWeather = bLiteral; }
bool IsLiteralWeather() { return g_bLiteralWeather; }

std::unique_ptr<CDXSurface> MakeWeatherSurface(int nWidth, int nHeight, DWORD dwFill) {
    if (!pScreen) return nullptr;
    auto pSurface = std::make_unique<CDXSurface>();
    if (Failed(pSurface->Create(pScreen, nWidth, nHeight, 1))) return nullptr;
    pSurface->Fill(dwFill);
    return pSurface;
}

POINT WeatherView() { return pScene ? pScene->ptView : POINT{0, 0}; }

void CWeatherBand::Build(CDXSurface* pTile, int nWidth) {
    m_pBand.reset();
    if (!pTile || pTile->GetWidth() < 1) return;
    auto pBand = MakeWeatherSurface(nWidth, pTile->GetHeight(), 0);
    if (!pBand) return;
    for (int x = 0; x < nWidth; x += pTile->GetWidth()) pTile->BlitOpaque(pBand.get(), x, 0);
    m_pBand = std::move(pBand);
}

CFogEffect::CFogEffect() : pTile(MakeWeatherSurface(kTile, kTile, 0xFFFFFF)) {}

CFogEffect::~CFogEffect() = default;

void CFogEffect::Draw() {
    nAlphaPercent = 20;
    if (!pTile || !pBack) return;
    if (IsLiteralWeather()) {
        for (int r = 0; r < 60; ++r, ++nAlphaPercent)
            for (int c = 0; c < 80; ++c) pTile->BlitAlpha(pBack, c * kTile, r * kTile, nullptr, RowAlpha(r));
        return;
    }
    if (!m_band.Get()) m_band.Build(pTile.get(), kLayerWidth);
    if (!m_band.Get()) return;
    for (int r = 0; r < 60; ++r, ++nAlphaPercent) m_band.Get()->BlitAlpha(pBack, 0, r * kTile, nullptr, RowAlpha(r));
}

CStripeEffect::CStripeEffect() : pTile(MakeWeatherSurface(kTileW, kTileH, 657930)) {}

CStripeEffect::~CStripeEffect() = default;

void CStripeEffect::SetPattern(int nMode) {
    if (nMode != 1 || !pTile) return;
    pTile->Lock();
    for (int y = 0; y < kTileH; y += 2)
        for (int x = 0; x < kTileW; ++x) pTile->PutPixel(x, y, 0);
    pTile->Unlock();
    pTile->SetColorKeyFromCorner();
    nPattern = 1;
    m_band.Build(nullptr, 0);
}

void CStripeEffect::Draw() {
    if (!pTile || !pBack) return;
    if (IsLiteralWeather()) {
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 10; ++x) pTile->BlitHalfAlpha(pBack, x * kTileW, y * kTileH);
        return;
    }
    if (!m_band.Get()) m_band.Build(pTile.get(), kLayerWidth);
    if (!m_band.Get()) return;
    for (int y = 0; y < 9; ++y) m_band.Get()->BlitHalfAlpha(pBack, 0, y * kTileH);
}
