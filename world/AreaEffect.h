// A skill laid on an area: a pattern of map cells from the area patterns, marked around
// a target cell all at once, cell after cell, cell after cell and then cleared again, or
// as one mark running along the pattern. The marks hurt what stands on the cells (the
// scene and actor rules read them). It steps a little over every 200 ms; the toolbar's
// pool ticks it every frame and deletes it once Tick reports it finished.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/Base.h"

class CAreaEffect {
public:
    static constexpr DWORD kStepMs = 200;

    CAreaEffect();
    virtual ~CAreaEffect();
    CAreaEffect(const CAreaEffect&) = delete;
    CAreaEffect& operator=(const CAreaEffect&) = delete;

    // Lays pattern nPattern around the cell of map point (x, y). Every mark is the
    // cell's step value plus nMarkBase, with nMarkKind as its second word. False (and
    // nothing laid) for a pattern number outside the loaded patterns or without a scene.
    bool Cast(int nMarkBase, int x, int y, int nPattern, int nMarkKind, int nDirection);
    // One frame: steps when more than 200 ms passed since the last step. False once the
    // effect has finished and cleared its marks.
    bool Tick();

    // Fields, in the order the effect keeps them.
    std::int32_t nMarkBase = 0;
    std::int32_t nCellEffect = -1;
    std::int32_t nDirection = 0;
    std::int32_t nMarkKind = 0;
    std::int32_t nPhase = 0;
    std::int32_t nPattern = -1;
    std::int32_t nCount = 0;
    std::int32_t nNextCell = 0;
    std::int32_t nStepsLeft = 0;
    DWORD dwNow = 0;
    DWORD dwLastStep = 0;
    POINT ptTarget{0, 0};
    std::int32_t nMode = 0;
    std::vector<POINT> cellPoints;

private:
    void Start();
    void Step();
    // The end of the step count; returns what Tick reports.
    bool Finish();
    // Cell i of the pattern around the target; false for an index the pattern does not
    // hold (the counts run one past the pattern, and mode 3 starts one before it).
    bool PatternCell(int i, POINT* pCell) const;
    // The mark of pattern cell i: its step value plus the base, held inside 32 bits.
    int CellMark(int i) const;
    void MarkCell(int i, int nMark);
    void ClearCell(int i);
    void ClearAllCells();
    // A scene effect at the centre of pattern cell i moved by (dx, dy).
    void AddCellEffect(int nEffect, int i, int dx, int dy) const;
};
