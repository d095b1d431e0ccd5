// Local stand-in until the path finder branch is merged (not committed).
#pragma once
#include <vector>
#include "platform/Base.h"

class CPathFinder {
public:
    CPathFinder() = default;
    virtual ~CPathFinder() = default;
    int Search(POINT start, POINT goal);
    POINT* PopWaypoint();
    int nWaypoints = 0;
    std::vector<POINT> pWaypoints;
    POINT ptWaypoint{0, 0};
};
