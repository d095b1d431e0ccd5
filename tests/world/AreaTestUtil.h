// A scene of 40 x 30 open cells of 32 pixels with a view at (0, 0), and area patterns
// of every mode in the game data: what the area and flying effects are tested on.
#pragma once
#include <vector>

#include "gamedata/GameData.h"
#include "tests/world/SceneTestUtil.h"

namespace areatest {

// Patterns: 0 mode 0 (three cells in a row, step count 1); 1 mode 1 and 2 mode 2 (the
// same row); 3 mode 3 (four cells); 4 mode 0 with its middle cell far off the grid.
class AreaTest : public SceneTest {
protected:
    static constexpr int kPatterns = 5;

    void SetUp() override {
        SceneTest::SetUp();
        ASSERT_TRUE(Build(EmptyMap(0, 40, 30)));
        scene.ptView = POINT{0, 0};
        const int nCells[kPatterns] = {3, 3, 3, 4, 3};
        const int nModes[kPatterns] = {0, 1, 2, 3, 0};
        for (int p = 0; p < kPatterns; ++p) {
            for (int i = 0; i < nCells[p]; ++i) {
                POINT cell{i, 0};
                if (p == 4 && i == 1) cell = POINT{-500, 7};
                m_cells[size_t(p)].push_back(cell);
                AreaStep step{};
                step.n[0] = 10 * (i + 1);
                step.n[1] = i == 0 ? 1 : 0;
                m_steps[size_t(p)].push_back(step);
            }
            AreaPatternRow row;
            row.nCellCount = nCells[p];
            row.pCells = m_cells[size_t(p)].data();
            row.pSteps = m_steps[size_t(p)].data();
            m_rows.push_back(row);
            AreaPatternTail tail{};
            tail.n[7] = -1;
            tail.n[8] = nModes[p];
            m_tails.push_back(tail);
        }
        m_data.pAreaPattern = m_rows.data();
        m_data.pAreaPatternTail = m_tails.data();
        m_data.nAreaPatternCount = kPatterns;
        pGameData = &m_data;
    }
    void TearDown() override {
        pGameData = nullptr;
        SceneTest::TearDown();
    }

    static void Advance(DWORD ms) {
        AdvanceVirtualClock(ms);
        dwNowTime += ms;
    }
    int Mark(int cx, int cy) const { return scene.CellAt(cx, cy)->nMark; }
    int MarkKind(int cx, int cy) const { return scene.CellAt(cx, cy)->nMarkKind; }
    int MarkedCells() const {
        int n = 0;
        for (const SceneCell& c : scene.pCells) n += c.nMark != -1;
        return n;
    }
    // The map point in the middle of cell (cx, cy).
    POINT Centre(int cx, int cy) const { return scene.CellToPixel(cx, cy); }

    CGameData m_data;
    std::vector<POINT> m_cells[kPatterns];
    std::vector<AreaStep> m_steps[kPatterns];
    std::vector<AreaPatternRow> m_rows;
    std::vector<AreaPatternTail> m_tails;
};

}  // namespace areatest
