// A named set of cells the scene can search by map point.
#pragma once
#include <cstdint>

#include "platform/Base.h"

constexpr int kCellAreaSlots = 20;
constexpr int kCellAreaMaxCells = 19;

class CCellArea {
public:
    // Appends a cell while fewer than 19 are held; otherwise ignores it.
    void AddCell(int cx, int cy);
    // Whether the cell under the map-pixel point is one of the held cells.
    bool Contains(int x, int y) const;

    std::int32_t nId = -1;
    std::int32_t nCells = 0;
    POINT ptCells[kCellAreaSlots];
};
