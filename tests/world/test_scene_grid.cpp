// The cell grid: conversions on both grids, neighbours, free cells, footprints, marks
// and the view.
#include "tests/world/SceneTestUtil.h"

namespace {

using SceneGrid = SceneTest;

TEST_F(SceneGrid, DiamondPointsOnTheLineAEqualsZeroBelongToColumnMinusOne) {
    ASSERT_TRUE(Build(EmptyMap(1, 10, 6)));
    EXPECT_EQ(scene.nGridWidth, 16);
    EXPECT_EQ(scene.nGridHeight, 16);
    EXPECT_EQ(scene.ptDiamondOrigin.x, 320);
    EXPECT_EQ(scene.ptDiamondOrigin.y, -160);
    EXPECT_EQ(scene.rcMap.right, 640);
    EXPECT_EQ(scene.rcMap.bottom, 192);
    const POINT o = scene.ptDiamondOrigin;
    // a = x' + 2y' with the point taken relative to the diamond's origin.
    EXPECT_EQ(scene.PixelToCell(o.x, o.y).x, -1);
    EXPECT_EQ(scene.PixelToCell(o.x + 1, o.y).x, 0);
    EXPECT_EQ(scene.PixelToCell(o.x + 63, o.y).x, 0);
    EXPECT_EQ(scene.PixelToCell(o.x + 64, o.y).x, 1);
    // Every cell centre maps back to its own cell.
    for (int cy = 0; cy < scene.nGridHeight; cy += 3)
        for (int cx = 0; cx < scene.nGridWidth; cx += 3) {
            const POINT c = scene.CellToPixel(cx, cy);
            const POINT back = scene.PixelToCell(c.x, c.y);
            EXPECT_EQ(back.x, cx);
            EXPECT_EQ(back.y, cy);
        }
    // One step in +x moves the centre (c, c/2), in +y (-c, c/2).
    const POINT c00 = scene.CellToPixel(0, 0), c10 = scene.CellToPixel(1, 0), c01 = scene.CellToPixel(0, 1);
    EXPECT_EQ(c10.x - c00.x, 32);
    EXPECT_EQ(c10.y - c00.y, 16);
    EXPECT_EQ(c01.x - c00.x, -32);
    EXPECT_EQ(c01.y - c00.y, 16);
    EXPECT_FLOAT_EQ(host.fShadowScale, 32 / 160.0f);
}

TEST_F(SceneGrid, RectangularConversionsAndBuiltInPictures) {
    ASSERT_TRUE(Build(EmptyMap(0, 20, 10)));
    EXPECT_EQ(scene.CellToPixel(0, 0).x, 16);
    EXPECT_EQ(scene.CellToPixel(0, 0).y, 16);
    EXPECT_EQ(scene.PixelToCell(63, 31).x, 1);
    EXPECT_EQ(scene.PixelToCell(63, 31).y, 0);
    EXPECT_EQ(scene.rcMap.right, 640);
    EXPECT_EQ(scene.rcMap.bottom, 320);
    ASSERT_EQ(scene.GetPictureCount(), 2);
    EXPECT_EQ(scene.GetPicture(0)->strName, "NPC_BMP");
    EXPECT_EQ(scene.GetPicture(0)->ptDrawOffset.x, 16);
    EXPECT_EQ(scene.GetPicture(1)->strName, "CRATE_BMP");
    EXPECT_EQ(scene.nLayerCount[12], 1);
    EXPECT_EQ(scene.nLayerCount[11], 1);
}

TEST_F(SceneGrid, NeighboursDropBlockedCellsAndTheCornersBesideThem) {
    ASSERT_TRUE(Build(EmptyMap(0, 5, 5)));
    int n[8];
    const int centre = scene.CellIndex(2, 2);
    scene.GetNeighbourCells(centre, n);
    const int expected[8] = {scene.CellIndex(3, 3), scene.CellIndex(2, 3), scene.CellIndex(1, 3),
                             scene.CellIndex(1, 2), scene.CellIndex(1, 1), scene.CellIndex(2, 1),
                             scene.CellIndex(3, 1), scene.CellIndex(3, 2)};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(n[i], expected[i]) << i;
    scene.pBlocked[size_t(scene.CellIndex(3, 2))] = 1;
    scene.GetNeighbourCells(centre, n);
    EXPECT_EQ(n[7], -1);
    EXPECT_EQ(n[0], -1);
    EXPECT_EQ(n[6], -1);
    EXPECT_EQ(n[2], expected[2]);
    EXPECT_EQ(n[4], expected[4]);
    // At the left edge nothing wraps to the row above.
    scene.GetNeighbourCells(scene.CellIndex(0, 2), n);
    EXPECT_EQ(n[2], -1);
    EXPECT_EQ(n[3], -1);
    EXPECT_EQ(n[4], -1);
    EXPECT_EQ(n[1], scene.CellIndex(0, 3));
}

TEST_F(SceneGrid, CellsOutsideTheGridAreRefusedOnBothAxes) {
    ASSERT_TRUE(Build(EmptyMap(0, 5, 4)));
    EXPECT_TRUE(scene.IsCellFree(0, 1));
    // (-1, 1) has a linear index inside the grid; it is still outside.
    EXPECT_FALSE(scene.IsCellFree(-1, 1));
    EXPECT_FALSE(scene.IsCellFree(5, 0));
    EXPECT_FALSE(scene.IsCellFree(0, 4));
    EXPECT_FALSE(scene.SetCellMark(-1, 1, 3, 0));
    EXPECT_FALSE(scene.ClearCellMark(5, 0));
    scene.ToggleWall(-1, 1);
    EXPECT_EQ(scene.pCells[size_t(scene.CellIndex(4, 0))].nWall, 0);
    scene.ToggleWall(4, 0);
    EXPECT_FALSE(scene.IsCellFree(4, 0));
    EXPECT_EQ(scene.GetCellRegion(-5, 10), -1);
    EXPECT_EQ(scene.GetCellPoint(9, 9).x, -1);
}

TEST_F(SceneGrid, FootprintsPlaceOnlyWhenEveryCellIsInsideAndEmpty) {
    MapFileData map = EmptyMap(0, 6, 4);
    ScenePicRecord wide = ScenePicture("wide.bmp", 1, 64, 32);
    wide.nFootprintWidth = 2;
    wide.nFootprintHeight = 1;
    map.pictures.push_back(wide);
    map.lists[kListD].push_back(MapObjectAt(3, 7, 2, 32, 0, 64, 32));    // cells (1..2, 0)
    map.lists[kListD].push_back(MapObjectAt(4, 8, 2, 64, 0, 64, 32));    // overlaps (2, 0)
    map.lists[kListD].push_back(MapObjectAt(5, 9, 2, 160, 64, 64, 32));  // would reach column 6
    ASSERT_TRUE(Build(map));
    scene.PlaceAllFootprints();
    auto& d = scene.List(kListD);
    EXPECT_EQ(scene.CellAt(1, 0)->nOccupantKind, 3);
    EXPECT_EQ(scene.CellAt(2, 0)->nOccupantId, 7);
    EXPECT_EQ(scene.PlaceObjectFootprint(d[1].get()), 0);
    EXPECT_EQ(scene.CellAt(3, 0)->nOccupantKind, -1);
    EXPECT_EQ(scene.PlaceObjectFootprint(d[2].get()), -1);
    EXPECT_EQ(d[2]->ptCellPos.x, 5);
    EXPECT_EQ(scene.CellAt(5, 2)->nOccupantKind, -1);
    scene.RebuildBlockMap();
    EXPECT_FALSE(scene.IsCellPassable(1, 0));
    EXPECT_TRUE(scene.IsCellPassable(3, 0));
}

TEST_F(SceneGrid, AnActorsRectanglePutsItsFootprintOriginOnItsCell) {
    ASSERT_TRUE(Build(EmptyMap(0, 10, 10)));
    CMapObject actor;
    actor.nPicture = 0;  // the built-in character picture: 64 x 96, origin at (32, 64)
    actor.ptCellPos = POINT{3, 4};
    actor.UpdateRect();
    EXPECT_EQ(actor.rcObject.left, 112 - 32);
    EXPECT_EQ(actor.rcObject.top, 144 - 64);
    EXPECT_EQ(actor.rcObject.right, 112 - 32 + 64);
    EXPECT_EQ(actor.rcObject.bottom, 144 - 64 + 96);
    EXPECT_EQ(scene.PlaceObjectFootprint(&actor), 1);
    EXPECT_EQ(actor.ptCellPos.x, 3);
    EXPECT_EQ(actor.ptCellPos.y, 4);
}

TEST_F(SceneGrid, ViewFollowsTheHeroButKeepsTheRightMarginHidden) {
    ASSERT_TRUE(Build(EmptyMap(0, 60, 40)));  // 1920 x 1280
    scene.ScrollToPoint(100, 100);
    EXPECT_EQ(scene.ptView.x, 0);
    EXPECT_EQ(scene.ptView.y, 0);
    scene.ScrollToPoint(1000, 700);
    EXPECT_EQ(scene.ptView.x, 600);
    EXPECT_EQ(scene.ptView.y, 400);
    scene.ScrollToPoint(1900, 1270);
    EXPECT_EQ(scene.ptView.x, 1920 - 800 - 70);
    EXPECT_EQ(scene.ptView.y, 1280 - 600);
}

TEST_F(SceneGrid, ScrollingTowardsAPointStepsEightPixelsThenJumps) {
    ASSERT_TRUE(Build(EmptyMap(0, 60, 40)));
    // The view centre starts at (400, 300); the target is 100 pixels to the right.
    std::vector<int> xs;
    for (int i = 0; i < 14; ++i) {
        scene.ScrollViewTowards(500, 300);
        xs.push_back(scene.ptView.x);
    }
    EXPECT_EQ(xs[0], 8);
    EXPECT_EQ(xs[10], 88);
    EXPECT_EQ(xs[11], 100);
    EXPECT_EQ(xs[13], 100);
    EXPECT_EQ(scene.ptView.y, 0);
    scene.ScrollLeft(500);
    EXPECT_EQ(scene.ptView.x, 0);
    scene.ScrollRight(5000);
    EXPECT_EQ(scene.ptView.x, 1920 - 800);
    scene.ScrollDown(24);
    EXPECT_EQ(scene.ptView.y, 24);
    scene.ScrollUp(30);
    EXPECT_EQ(scene.ptView.y, 0);
}

TEST_F(SceneGrid, CellMarksClearOnTheTwentyFirstUpdate) {
    ASSERT_TRUE(Build(EmptyMap(0, 8, 8)));
    ASSERT_TRUE(scene.SetCellMark(2, 3, 5, 0));
    EXPECT_EQ(scene.CellAt(2, 3)->nMarkKind, 0);
    for (int i = 0; i < 20; ++i) scene.Update();
    EXPECT_EQ(scene.CellAt(2, 3)->nMark, 5);
    scene.Update();
    EXPECT_EQ(scene.CellAt(2, 3)->nMark, -1);
    EXPECT_EQ(scene.pMarkTimer[size_t(scene.CellIndex(2, 3))], 0);
    // Out of game the update does nothing.
    scene.SetCellMark(1, 1, 2, 1);
    host.bInGame = false;
    for (int i = 0; i < 30; ++i) scene.Update();
    EXPECT_EQ(scene.CellAt(1, 1)->nMark, 2);
    ASSERT_TRUE(scene.ClearCellMark(1, 1));
    EXPECT_EQ(scene.CellAt(1, 1)->nMark, -1);
    EXPECT_EQ(scene.CellAt(1, 1)->nMarkKind, -1);
}

TEST(CellArea, HoldsAtMostNineteenCellsAndFindsThePointsCell) {
    CFakeSceneHost host;
    CScene scene;
    pScene = &scene;
    ASSERT_TRUE(scene.InitMap(10, 10, 0, 32));
    CCellArea area;
    area.nId = 4;
    for (int i = 0; i < 20; ++i) area.AddCell(i % 10, i / 10);
    EXPECT_EQ(area.nCells, 19);
    EXPECT_TRUE(area.Contains(8 * 32 + 5, 32 + 5));    // cell (8, 1), the 19th
    EXPECT_FALSE(area.Contains(9 * 32 + 5, 32 + 5));   // cell (9, 1), the ignored 20th
    scene.pCellAreas.push_back(area);
    scene.nCellAreaCount = 1;
    EXPECT_EQ(scene.FindCellArea(40, 5), 4);
    EXPECT_EQ(scene.FindCellArea(9 * 32 + 5, 32 + 5), -1);
    pScene = nullptr;
}

}  // namespace
