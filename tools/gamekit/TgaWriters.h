// Writer of the run-length 32-bit TGA pictures that the interface, effect and
// character frames are kept in (type 10, bottom row first, version-2 footer).
#pragma once
#include <cstdint>
#include <vector>
#include "tools/gamekit/ImageWriters.h"

// Runs of equal pixels become run packets (fully transparent pixels compare equal
// whatever their colour), everything else raw packets; packets run across rows.
std::vector<std::uint8_t> BuildRleTga32(const PictureRgba& pic);
