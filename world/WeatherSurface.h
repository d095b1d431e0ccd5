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

// Fills the free slots (FreeParticleSlots) with new particles around the view, the
// generator seeded with the time: each placed at a random offset 0..1199, of kind
// time modulo nKinds, at a random stage 0..4. A particle that cannot be placed is dropped.
template <typename Particle, typename Owner, size_t N>
void SpawnParticles(std::unique_ptr<Particle> (&pool)[N], Owner& owner, int nLimit, DWORD dwModulo, DWORD dwKinds) {
    const std::vector<int> slots = FreeParticleSlots(pool, nLimit, dwModulo);
    if (slots.empty()) return;
    const DWORD dwTime = TimeGetTime();
    Srand(dwTime);
    const POINT view = WeatherView();
    for (int i : slots) {
        const int nRandom = Rand() % 1200;
        const int nStage = Rand() % 5;
        auto p = std::make_unique<Particle>();
        if (p->Place(owner, view.x, view.y, nRandom, int(dwTime % dwKinds), nStage)) pool[i] = std::move(p);
    }
}
