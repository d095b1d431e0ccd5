// The flying effects' animations of "Vesk.pkg": for an animation group, 32 picture sets
// (rows 01 to 32, one per flight direction) of a glowing bolt pointing the way it flies.
#pragma once
#include <vector>

#include "tools/gamekit/PkgWriters.h"

// Entries "gg-rrff.tga" of group nGroup: rows 1..32, frames 0..nFrames-1, 128 x 128
// pictures whose foot point (64, 128) lies below the bolt.
std::vector<PkgEntryData> FlyingSpriteEntries(int nGroup, int nFrames);
