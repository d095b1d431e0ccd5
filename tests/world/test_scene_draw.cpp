// The scene's draw: layer order, frames of a strip, small tiles, idle pictures, depth
// order of the draw list and the hit test.
#include <fstream>
#include <map>

#include "tests/world/SceneDrawUtil.h"
#include "CDX/CDXSprite.h"
#include "tools/gamekit/SampleScenes.h"

namespace {

const std::string kGoldenFile = std::string(GAME_SOURCE_DIR) + "/tests/world/golden/scene_goldens.txt";

constexpr std::uint32_t kKey = Argb(255, 0, 0, 0);

// A strip of nFrames frames of w x h, frame f filled with colours[f] inside a key border.
PictureRgba Strip(int nFrames, int w, int h, const std::vector<std::uint32_t>& colours, int nBorder = 0) {
    PictureRgba pic(nFrames * w, h, kKey);
    for (int f = 0; f < nFrames; ++f)
        pic.Fill(f * w + nBorder, nBorder, w - 2 * nBorder, h - 2 * nBorder, colours[size_t(f)]);
    return pic;
}

using SceneDraw = SceneDrawTest;

// A small scene of every layer: grass tiles (A), a decal (B), a house (D), a roof (C).
MapFileData LayeredMap() {
    MapFileData map = EmptyMap(0, 8, 6);
    map.pictures.push_back(ScenePicture("grass.bmp", 1, 32, 32));
    map.pictures.push_back(ScenePicture("decal.bmp", 1, 16, 16));
    ScenePicRecord house = ScenePicture("house.bmp", 1, 96, 64, 5);
    house.nFootprintWidth = 3;
    house.nFootprintHeight = 1;
    house.nFootprintOffsetY = 48;
    map.pictures.push_back(house);
    map.pictures.push_back(ScenePicture("roof.bmp", 1, 96, 32, 6));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) map.lists[kListA].push_back(MapObjectAt(0, 0, 2, x * 32, y * 32, 32, 32));
    map.lists[kListB].push_back(MapObjectAt(0, 1, 3, 8, 8, 16, 16));
    map.lists[kListD].push_back(MapObjectAt(1, 2, 4, 64, 64, 96, 64));
    map.lists[kListC].push_back(MapObjectAt(0, 3, 5, 64, 48, 96, 32));
    return map;
}

void WriteLayeredPictures(SceneDrawTest& t) {
    t.WritePicture("grass.bmp", PictureRgba(32, 32, Argb(255, 0, 160, 0)));
    t.WritePicture("decal.bmp", Strip(1, 16, 16, {Argb(255, 255, 255, 0)}, 4));
    t.WritePicture("house.bmp", Strip(1, 96, 64, {Argb(255, 200, 0, 0)}, 8));
    t.WritePicture("roof.bmp", Strip(1, 96, 32, {Argb(255, 0, 0, 255)}, 4));
}

TEST_F(SceneDraw, LayersDrawFlatThenSortedThenUpperAndMatchTheGoldenFrame) {
    WriteLayeredPictures(*this);
    ASSERT_TRUE(Build(LayeredMap()));
    scene.Draw();
    const DWORD grass = Rgb565(0, 160, 0), yellow = Rgb565(255, 255, 0), red = Rgb565(200, 0, 0),
                blue = Rgb565(0, 0, 255);
    EXPECT_EQ(At(2, 2), grass);
    EXPECT_EQ(At(8, 8), grass);     // the decal's keyed border
    EXPECT_EQ(At(14, 14), yellow);  // the decal over the tiles
    EXPECT_EQ(At(100, 110), red);   // the house over the tiles
    EXPECT_EQ(At(66, 66), grass);   // the house's keyed border
    EXPECT_EQ(At(100, 74), blue);   // the roof over the house
    EXPECT_EQ(At(300, 300), 0u);    // beyond the map
    EXPECT_EQ(host.nReapCalls, 1);
    ASSERT_EQ(scene.GetDrawList().size(), 1u);

    const std::uint64_t hash = Fnv1a(Snapshot(*pBack));
    const char* pszRegen = std::getenv("GAME_REGENERATE_GOLDEN");
    if (pszRegen && std::string(pszRegen) == "1") {
        std::ofstream(kGoldenFile) << "layered " << std::hex << hash << '\n';
        pBack->SaveAsBmp((::testing::TempDir() + "scene_layered.bmp").c_str());
    }
    std::ifstream in(kGoldenFile);
    std::string name;
    std::uint64_t golden = 0;
    ASSERT_TRUE(in >> name >> std::hex >> golden) << "missing " << kGoldenFile;
    EXPECT_EQ(hash, golden);
}

TEST_F(SceneDraw, FrameTwoOfAThreeFrameStripComesFromItsLastThird) {
    MapFileData map = EmptyMap(0, 10, 10);
    map.pictures.push_back(ScenePicture("strip.bmp", 3, 64, 32));
    MapObjectRecord o = MapObjectAt(0, 0, 2, 100, 100, 64, 32);
    o.nFrame = 2;
    map.lists[kListB].push_back(o);
    // Each frame has a one-pixel key border.
    WritePicture("strip.bmp",
                 Strip(3, 64, 32, {Argb(255, 255, 0, 0), Argb(255, 0, 255, 0), Argb(255, 0, 0, 255)}, 1));
    ASSERT_TRUE(Build(map));
    pBack->Fill(Rgb565(255, 255, 255));
    scene.Draw();
    EXPECT_EQ(At(101, 101), Rgb565(0, 0, 255));
    EXPECT_EQ(At(162, 130), Rgb565(0, 0, 255));
    EXPECT_EQ(At(163, 130), Rgb565(255, 255, 255));
    EXPECT_EQ(At(164, 110), Rgb565(255, 255, 255));
    pBack->Fill(0);
    // A frame outside the strip draws nothing; a frame count of 0 draws as one frame.
    pBack->Fill(0);
    scene.List(kListB)[0]->nFrame = 3;
    scene.Draw();
    EXPECT_EQ(At(110, 110), 0u);
    scene.GetPicture(2)->nFrameCount = 0;
    scene.List(kListB)[0]->nFrame = 0;
    scene.Draw();
    EXPECT_EQ(At(101, 101), Rgb565(255, 0, 0));
    EXPECT_EQ(At(290, 101), Rgb565(0, 0, 255));
}

TEST_F(SceneDraw, SmallTilesAreOpaqueUnlessTheirCornerIsPureBlue) {
    MapFileData map = EmptyMap(0, 20, 10);
    map.pictures.push_back(ScenePicture("red.bmp", 1, 64, 64));
    map.pictures.push_back(ScenePicture("blue.bmp", 1, 64, 64));
    map.lists[kListA].push_back(MapObjectAt(0, 0, 2, 0, 0, 64, 64));     // small, red corner: opaque
    map.lists[kListA].push_back(MapObjectAt(0, 0, 2, 100, 0, 65, 64));   // 65 wide: keyed
    map.lists[kListA].push_back(MapObjectAt(0, 0, 3, 200, 0, 64, 64));   // small, blue corner: keyed
    // The red picture has its corner colour again in the middle: a hole when keyed.
    PictureRgba red(64, 64, Argb(255, 255, 0, 0));
    red.Fill(20, 20, 10, 10, Argb(255, 255, 0, 0));
    red.Fill(30, 30, 10, 10, Argb(255, 0, 255, 0));
    red.At(0, 0) = Argb(255, 255, 0, 0);
    PictureRgba blue(64, 64, Argb(255, 0, 0, 255));
    blue.Fill(8, 8, 48, 48, Argb(255, 0, 255, 0));
    WritePicture("red.bmp", red);
    WritePicture("blue.bmp", blue);
    ASSERT_TRUE(Build(map));
    pBack->Fill(Rgb565(255, 255, 255));
    scene.Draw();
    EXPECT_EQ(At(5, 5), Rgb565(255, 0, 0));      // drawn opaque: the corner colour shows
    EXPECT_EQ(At(105, 5), Rgb565(255, 255, 255));  // keyed: the corner colour is a hole
    EXPECT_EQ(At(135, 35), Rgb565(0, 255, 0));
    EXPECT_EQ(At(202, 2), Rgb565(255, 255, 255));
    EXPECT_EQ(At(230, 30), Rgb565(0, 255, 0));
}

TEST_F(SceneDraw, APictureIdleForMoreThanASecondIsReleasedAndLoadsAgain) {
    MapFileData map = EmptyMap(0, 60, 60);
    map.pictures.push_back(ScenePicture("crate.bmp", 1, 32, 32));
    map.lists[kListB].push_back(MapObjectAt(0, 0, 2, 10, 10, 32, 32));
    WritePicture("crate.bmp", Strip(1, 32, 32, {Argb(255, 90, 60, 30)}, 2));
    ASSERT_TRUE(Build(map));
    scene.Draw();
    CScenePic* pPic = scene.GetPicture(2);
    ASSERT_TRUE(pPic->IsLoaded());
    scene.ptView = POINT{1000, 1000};
    AdvanceVirtualClock(900);
    scene.Draw();
    EXPECT_TRUE(pPic->IsLoaded());
    AdvanceVirtualClock(300);  // 1.2 s since the last draw
    scene.Draw();
    EXPECT_FALSE(pPic->IsLoaded());
    scene.ptView = POINT{0, 0};
    scene.Draw();
    EXPECT_TRUE(pPic->IsLoaded());
    EXPECT_EQ(At(20, 20), Rgb565(90, 60, 30));
    // Pictures drawn every frame stay loaded however long the game runs.
    for (int i = 0; i < 10; ++i) {
        AdvanceVirtualClock(400);
        scene.Draw();
        ASSERT_TRUE(pPic->IsLoaded()) << i;
    }
}

TEST_F(SceneDraw, APictureFileThatDoesNotDecodeIsReadOnceNotEveryFrame) {
    MapFileData map = EmptyMap(0, 10, 10);
    map.pictures.push_back(ScenePicture("wall.bmp", 1, 32, 32));
    map.lists[kListB].push_back(MapObjectAt(0, 0, 2, 0, 0, 32, 32));
    folder.Write("pic/wall.bmp", "BM cut short");
    ASSERT_TRUE(Build(map));
    scene.Draw();
    EXPECT_FALSE(scene.GetPicture(2)->IsLoaded());
    // Mended on disk, it is still not read again: the failure stands for the scene.
    WritePicture("wall.bmp", Strip(1, 32, 32, {Argb(255, 90, 60, 30)}, 2));
    scene.Draw();
    EXPECT_FALSE(scene.GetPicture(2)->IsLoaded());
}

TEST_F(SceneDraw, InsideScenesLoadFromPicInsideAndCopiesGoToPic1) {
    MapFileData map = EmptyMap(0, 10, 10);
    map.pictures.push_back(ScenePicture("floor.bmp", 1, 32, 32));
    map.lists[kListB].push_back(MapObjectAt(0, 0, 2, 0, 0, 32, 32));
    WritePicture("floor.bmp", Strip(1, 32, 32, {Argb(255, 0, 0, 200)}, 2), "pic-inside");
    host.bCopy = true;
    ASSERT_TRUE(Build(map, 120));
    scene.Draw();
    EXPECT_EQ(At(5, 5), Rgb565(0, 0, 200));
    EXPECT_EQ(folder.Read("pic1/floor.bmp"), folder.Read("pic-inside/floor.bmp"));
    // From the packages without a package, the stand-in picture is used.
    host.bPackages = true;
    CScenePic pic;
    pic.strName = "missing.bmp";
    EXPECT_TRUE(pic.LoadSurface());
    EXPECT_EQ(pic.pSurface->GetWidth(), 32);
}

TEST_F(SceneDraw, ObjectsStepEvery200MillisecondsAndALeverOnlyWhenAsked) {
    MapFileData map = EmptyMap(0, 10, 10);
    map.pictures.push_back(ScenePicture("anim.bmp", 3, 32, 32));
    map.pictures.push_back(ScenePicture("still.bmp", 1, 32, 32));
    map.pictures.push_back(ScenePicture("lever.bmp", 2, 32, 32));
    map.lists[kListD].push_back(MapObjectAt(1, 1, 2, 0, 0, 32, 32));
    map.lists[kListA].push_back(MapObjectAt(0, 2, 3, 0, 0, 32, 32));
    map.lists[kListB].push_back(MapObjectAt(0, 3, 2, 0, 0, 32, 32));
    MapObjectRecord lever = MapObjectAt(2, 40, 4, 64, 64, 32, 32);
    lever.nCellX = 2;
    lever.nCellY = 2;
    map.lists[kListG].push_back(MapObjectAt(2, 41, 4, 32, 64, 32, 32));
    map.lists[kListG].push_back(lever);
    ASSERT_TRUE(Build(map, 5));
    CMapObject& anim = *scene.List(kListD)[0];
    CMapObject& still = *scene.List(kListA)[0];
    CMapObject& decal = *scene.List(kListB)[0];
    CMapObject& lever2 = *scene.List(kListG)[1];
    auto step = [&](DWORD ms) {
        dwNowTime += ms;
        scene.Update();
    };
    step(200);
    EXPECT_EQ(anim.nFrame, 1);
    EXPECT_EQ(decal.nFrame, 1);
    step(150);
    EXPECT_EQ(anim.nFrame, 1);
    step(50);
    step(200);
    EXPECT_EQ(anim.nFrame, 0);
    EXPECT_EQ(still.nFrame, 0);
    EXPECT_EQ(lever2.nFrame, 0);
    // One request steps one lever by one frame; its frame goes to table B only when
    // table A marks it.
    host.flagsA[5][1] = 1;
    scene.CellAt(2, 2)->nWall = 1;
    scene.bStepToggleWall = 1;
    scene.nStepObjectId = 40;
    step(200);
    EXPECT_EQ(lever2.nFrame, 1);
    EXPECT_EQ(scene.List(kListG)[0]->nFrame, 0);
    EXPECT_EQ(scene.nStepObjectId, -1);
    EXPECT_EQ(scene.bStepToggleWall, 0);
    EXPECT_EQ(scene.CellAt(2, 2)->nWall, 0);
    EXPECT_EQ(host.flagsB[5][1], 1);
    EXPECT_EQ(host.flagsB[5][0], 0);
    step(200);
    step(200);
    EXPECT_EQ(lever2.nFrame, 1);
    scene.nStepObjectId = 40;
    step(200);
    EXPECT_EQ(lever2.nFrame, 0);
    EXPECT_EQ(host.flagsB[5][1], 0);
}

TEST_F(SceneDraw, LeversPastTheTablesHundredColumnsKeepNoFrame) {
    MapFileData map = EmptyMap(0, 20, 20);
    map.pictures.push_back(ScenePicture("lever.bmp", 2, 32, 32));
    for (int i = 0; i < 102; ++i) map.lists[kListG].push_back(MapObjectAt(2, 100 + i, 2, 0, 0, 32, 32));
    for (auto& row : host.flagsA) std::fill(std::begin(row), std::end(row), 1);
    ASSERT_TRUE(Build(map, 199));
    scene.nStepObjectId = 201;
    dwNowTime += 200;
    scene.Update();
    EXPECT_EQ(scene.List(kListG)[101]->nFrame, 1);
    // Row 199 is the table's last; nothing was written past it.
    for (int c = 0; c < kSceneFlagColumns; ++c) EXPECT_EQ(host.flagsB[199][c], 0);
}

TEST_F(SceneDraw, TheDepthSortOrdersByCellAndStopsAtTheFirstOverlap) {
    ASSERT_TRUE(Build(EmptyMap(0, 10, 10)));
    CMapObject upper, lower;
    upper.nKind = lower.nKind = kKindPartyHero;
    lower.ptCellPos = POINT{3, 5};
    upper.ptCellPos = POINT{3, 3};
    // Pictures that do not exist give one-cell footprints.
    upper.nPicture = lower.nPicture = 9;
    scene.drawList = {&lower, &upper};
    scene.DepthSortDrawList();
    EXPECT_EQ(scene.drawList[0], &upper);
    EXPECT_EQ(scene.drawList[1], &lower);
    scene.DepthSortDrawList();
    EXPECT_EQ(scene.drawList[0], &upper);

    // Two overlapping 3 x 2 footprints end the sort before a pair it would swap.
    MapFileData map = EmptyMap(0, 10, 10);
    ScenePicRecord big = ScenePicture("big.bmp", 1, 96, 64);
    big.nFootprintWidth = 3;
    big.nFootprintHeight = 2;
    map.pictures.push_back(big);
    ASSERT_TRUE(Build(map));
    CMapObject a, b, c;
    a.nPicture = b.nPicture = 2;
    c.nPicture = 9;
    a.ptCellPos = POINT{2, 2};
    b.ptCellPos = POINT{3, 2};
    c.ptCellPos = POINT{0, 0};
    EXPECT_EQ(a.CompareDepth(b), -1);
    EXPECT_EQ(c.CompareDepth(a), 0);
    EXPECT_EQ(a.CompareDepth(c), 1);
    scene.drawList = {&a, &b, &c};
    scene.DepthSortDrawList();
    EXPECT_EQ(scene.drawList[0], &a);
    EXPECT_EQ(scene.drawList[2], &c);
}

TEST_F(SceneDraw, OnlyObjectsOnTheScreenEnterTheDrawList) {
    MapFileData map = EmptyMap(0, 100, 100);
    map.pictures.push_back(ScenePicture("box.bmp", 1, 32, 32));
    map.lists[kListD].push_back(MapObjectAt(1, 1, 2, 100, 100, 32, 32));
    map.lists[kListD].push_back(MapObjectAt(1, 2, 2, 900, 100, 32, 32));
    map.lists[kListD].push_back(MapObjectAt(1, 3, 2, 100, 700, 32, 32));
    map.lists[kListD].push_back(MapObjectAt(0, 4, 2, 790, 590, 32, 32));
    WritePicture("box.bmp", PictureRgba(32, 32, Argb(255, 1, 2, 3)));
    ASSERT_TRUE(Build(map));
    scene.BuildDrawList();
    ASSERT_EQ(scene.GetDrawList().size(), 2u);
    EXPECT_EQ(scene.GetDrawList()[0]->nId, 1);
    EXPECT_EQ(scene.GetDrawList()[1]->nId, 4);
    // A kind-0 object on the screen has its picture loaded on the spot.
    EXPECT_TRUE(scene.GetPicture(2)->IsLoaded());
}

TEST_F(SceneDraw, HitsGoToTheOpaqueObjectOfTheHighestList) {
    MapFileData map = EmptyMap(0, 10, 10);
    map.pictures.push_back(ScenePicture("hit.bmp", 1, 64, 64));
    const int lists[] = {kListF, kListE, kListD, kListC, kListA};
    for (int list : lists) map.lists[list].push_back(MapObjectAt(1, 10 + list, 2, 32, 32, 64, 64));
    WritePicture("hit.bmp", Strip(1, 64, 64, {Argb(255, 9, 9, 9)}, 8));
    ASSERT_TRUE(Build(map));
    scene.GetPicture(2)->LoadSurface();
    std::vector<int> found;
    for (int list : {kListA, kListC, kListD, kListE, kListF}) {
        ASSERT_TRUE(scene.HitTestObjects(64, 64));
        ASSERT_NE(scene.pHitObject, nullptr);
        found.push_back(scene.pHitObject->nId - 10);
        scene.List(list).clear();
    }
    EXPECT_EQ(found, (std::vector<int>{kListA, kListC, kListD, kListE, kListF}));
    scene.HitTestObjects(64, 64);
    EXPECT_EQ(scene.pHitObject, nullptr);
    // A transparent pixel or a point outside the rectangle is no hit.
    MapFileData two = EmptyMap(0, 10, 10);
    two.pictures = map.pictures;
    two.lists[kListD].push_back(MapObjectAt(1, 1, 2, 32, 32, 64, 64));
    two.lists[kListD].push_back(MapObjectAt(1, 2, 2, 40, 40, 64, 64));
    ASSERT_TRUE(Build(two));
    scene.GetPicture(2)->LoadSurface();
    scene.HitTestObjects(34, 34);
    EXPECT_EQ(scene.pHitObject, nullptr);
    scene.HitTestObjects(45, 45);
    ASSERT_NE(scene.pHitObject, nullptr);
    EXPECT_EQ(scene.pHitObject->nId, 1);
    scene.HitTestObjects(60, 60);
    EXPECT_EQ(scene.pHitObject->nId, 2);  // the later entry of a list wins
    scene.HitTestObjects(200, 200);
    EXPECT_EQ(scene.pHitObject, nullptr);
}

TEST_F(SceneDraw, TheLoadingScreenTakesTenStepsOf200MillisecondsAndWritesItsWord) {
    pBack->Fill(Rgb565(10, 20, 30));
    const DWORD dwStart = TimeGetTime();
    CScene::ShowLoadingScreen(3);
    const DWORD dwTaken = TimeGetTime() - dwStart;
    EXPECT_GE(dwTaken, 2000u);
    EXPECT_LT(dwTaken, 2100u);
    // Without a picture the screen is cleared to black and the white word is written.
    EXPECT_EQ(At(10, 10), 0u);
    int nWhite = 0;
    for (int y = 450; y < 550; ++y)
        for (int x = 100; x < 400; ++x) nWhite += At(x, y) == Rgb565(255, 255, 255);
    EXPECT_GT(nWhite, 20);
}

TEST_F(SceneDraw, TheSampleScenesLoadAsTheirModelsSayAndDrawEveryPicture) {
    std::string why;
    ASSERT_TRUE(WriteSampleScenes(folder.Path(), &why)) << why;
    for (int n : SampleSceneNumbers()) {
        SCOPED_TRACE("scene " + std::to_string(n));
        const SampleScene model = BuildSampleScene(n);
        CScene other;
        pScene = &other;
        host.nScene = n;
        ASSERT_TRUE(other.LoadMap(n)) << other.GetLoadError();
        other.LoadSetting(n);
        EXPECT_EQ(other.GetSettingError(), "");
        EXPECT_EQ(other.GetPictureCount(), model.map.PictureCount());
        for (int list = 0; list < kMapListCount; ++list)
            EXPECT_EQ(other.List(list).size(), model.map.lists[list].size()) << list;
        for (size_t r = 0; r < model.exits.size(); ++r) EXPECT_EQ(other.pRegions[r].nEvents[0], int(r) + 1);
        // Every picture an object uses loads from the scene's own folder.
        other.ptView = POINT{0, 0};
        host.nScreenWidth = other.rcMap.right;
        host.nScreenHeight = other.rcMap.bottom + kToolbarStripHeight;
        other.Draw();
        for (int p = 2; p < other.GetPictureCount(); ++p)
            EXPECT_TRUE(other.GetPicture(p)->IsLoaded()) << other.GetPicture(p)->strName;
        other.pPictures.clear();
        pScene = &scene;
    }
}

// A host whose toolbar shows the cell marker and holds a full-screen picture.
class CMarkerHost : public CFakeSceneHost {
public:
    CellMarkerView marker;
    CDXSprite* pBackPicture = nullptr;
    bool GetCellMarker(CellMarkerView* pMarker) const override {
        *pMarker = marker;
        return true;
    }
    CDXSprite* GetBackPicture() const override { return pBackPicture; }
};

TEST_F(SceneDraw, TheCellMarkerStepsEvery150MillisecondsInFrontOfItsPoint) {
    CMarkerHost markerHost;
    ASSERT_TRUE(Build(EmptyMap(0, 20, 15)));
    std::vector<std::unique_ptr<CDXSurface>> frames;
    std::vector<CDXSurface*> pointers;
    for (int i = 0; i < kMarkerFrames; ++i) {
        frames.push_back(MakeSurface(screen, 16, 8, 8));
        frames.back()->Fill(Rgb565(10 * i, 255, 0));
        pointers.push_back(frames.back().get());
    }
    markerHost.marker.bShown = true;
    markerHost.marker.pt = POINT{5 * 32 + 10, 4 * 32 + 10};  // cell (5, 4)
    markerHost.marker.nDirection = 3;                        // the cell at -x: (4, 4), centre (144, 144)
    markerHost.marker.dwStart = dwNowTime;
    markerHost.marker.ppFrames = pointers.data();
    dwNowTime += 2 * 150 + 20;
    scene.Draw();
    EXPECT_EQ(At(128, 128), Rgb565(20, 255, 0));  // frame 2 at the centre - (16, 16)
    EXPECT_EQ(At(127, 128), 0u);
    pBack->Fill(0);
    dwNowTime += 21 * 150;
    scene.Draw();
    EXPECT_EQ(At(128, 128), 0u);  // after 21 steps it is gone
    markerHost.marker.dwStart = dwNowTime;
    markerHost.marker.bShown = false;
    scene.Draw();
    EXPECT_EQ(At(128, 128), 0u);

    // A full-screen picture hides the scene: only it is drawn.
    CDXSprite picture;
    ASSERT_EQ(picture.CreateFromTileFile(&screen, "CRATE_BMP", 64, 64, 2), 1);
    picture.SetFrame(0);
    markerHost.marker.bShown = true;
    markerHost.pBackPicture = &picture;
    pBack->Fill(Rgb565(255, 255, 255));
    scene.Draw();
    EXPECT_EQ(At(128, 128), Rgb565(255, 255, 255));
    EXPECT_NE(At(30, 40), Rgb565(255, 255, 255));
    EXPECT_EQ(At(100, 100), Rgb565(255, 255, 255));
}

}  // namespace
