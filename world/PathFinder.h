// The walking path between two cells of the current scene (pScene), handed out one
// waypoint at a time. Every hero, party member and character owns one; the cost and
// state arrays are the scene's and shared by every finder, so searches never overlap.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/Base.h"

class CScene;

// The most cells a search keeps open at once; one more fails the search.
constexpr int kPathOpenLimit = 10000;

class CPathFinder {
public:
    CPathFinder() = default;
    virtual ~CPathFinder() = default;
    CPathFinder(const CPathFinder&) = default;
    CPathFinder& operator=(const CPathFinder&) = default;

    // Searches the current scene from cell ptStart to cell ptGoal and returns the number
    // of waypoints; 0 when there is no path, the start is the goal, or either cell lies
    // outside the grid. This is the game's search: it expands the cells in exactly the
    // order of SearchReference, with buckets by cost in place of the scanned open list.
    int Search(POINT ptStart, POINT ptGoal);
    // The same search with the open list scanned and shifted as a plain array.
    int SearchReference(POINT ptStart, POINT ptGoal);
    // Both searches on a given scene (tools, tests and the benchmark).
    int SearchIn(CScene& scene, POINT ptStart, POINT ptGoal);
    int SearchReferenceIn(CScene& scene, POINT ptStart, POINT ptGoal);

    // The next waypoint as a map-pixel point of the current scene, or null when none is
    // left. The first pop yields the step next to the start, the last the goal.
    POINT* PopWaypoint();
    POINT* PopWaypointIn(const CScene& scene);

    // Waypoints still to pop; 0 when there is no path.
    std::int32_t nWaypoints = 0;
    // The scene's path arrays, taken at each search; not owned.
    std::int32_t* pCost = nullptr;
    std::int32_t* pState = nullptr;
    // Entry 0 is the goal; higher entries lead back toward the start.
    std::vector<POINT> pWaypoints;
    // The waypoint last popped, in map pixels.
    POINT ptWaypoint;
    // The most cells kept open at once; tests lower it to reach the limit on small maps.
    int nOpenLimit = kPathOpenLimit;

private:
    // Takes and clears the scene's arrays; false when either cell lies outside the grid.
    bool BeginSearch(CScene& scene, POINT ptStart, POINT ptGoal);
    // Walks the closed cells back from the goal into pWaypoints; the waypoint count.
    int TraceBack(const CScene& scene, int nGoal);
};
