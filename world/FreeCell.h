// The nearest free map point for a walk target: the point itself on a free cell,
// else the centre of the first free cell along the eight rays around it.
#pragma once
#include "platform/Base.h"

class CScene;

constexpr int kFreePointRings = 15;

// (x, y) when its cell is free; else the centre of the first free cell found ring by
// ring (1..15) along the straight and diagonal rays; (-1, -1) when there is none.
POINT FindFreeMapPoint(const CScene& scene, int x, int y);
