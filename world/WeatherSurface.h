// The surfaces of the weather overlays: made on the screen in system memory and filled.
#pragma once
#include <memory>
#include <vector>

#include "platform/Base.h"
#include "platform/Clock.h"

class CDXSurface;

// A w x h surface filled with a native value; null without a screen or when it cannot
// be made.
std::unique_ptr<CDXSurface> MakeWeatherSurface(int nWidth, int nHeight, DWORD dwFill);

// The scene's view origin; (0, 0) without a scene.
POINT WeatherView();

// Free slots of a particle array in order: at most nLimit, and none after the slot at
// which the clock reads a multiple of nModulo.
template <typename Slot, size_t N>
std::vector<int> FreeParticleSlots(const Slot (&slots)[N], int nLimit, DWORD dwModulo) {
    std::vector<int> free;
    for (size_t i = 0; i < N && int(free.size()) < nLimit; ++i) {
        if (slots[i]) continue;
        free.push_back(int(i));
        if (TimeGetTime() % dwModulo == 0) break;
    }
    return free;
}
