// Map and setting files: round trips through the game kit's writers, the scene built
// from them, and damaged files refused with their reason.
#include <cstring>
#include <filesystem>
#include <limits>

#include "platform/Files.h"
#include "tests/TempFolder.h"
#include "tests/world/SceneTestUtil.h"
#include "tools/gamekit/MapWriters.h"

namespace {

void ExpectSameMap(const MapFileData& a, const MapFileData& b) {
    EXPECT_EQ(a.nVersion, b.nVersion);
    EXPECT_EQ(a.nWidth, b.nWidth);
    EXPECT_EQ(a.nHeight, b.nHeight);
    EXPECT_EQ(a.nGridKind, b.nGridKind);
    EXPECT_EQ(a.nCellSize, b.nCellSize);
    EXPECT_EQ(a.nHeaderCountG, b.nHeaderCountG);
    ASSERT_EQ(a.pictures.size(), b.pictures.size());
    for (size_t i = 0; i < a.pictures.size(); ++i) {
        const ScenePicRecord &p = a.pictures[i], &q = b.pictures[i];
        EXPECT_EQ(p.strName, q.strName);
        EXPECT_EQ(std::memcmp(&p, &q, 13 * sizeof(std::int32_t)), 0) << "picture " << i;
    }
    ASSERT_EQ(a.cells.size(), b.cells.size());
    EXPECT_EQ(std::memcmp(a.cells.data(), b.cells.data(), a.cells.size() * sizeof(SceneCell)), 0);
    for (int list = 0; list < kMapListCount; ++list) {
        ASSERT_EQ(a.lists[list].size(), b.lists[list].size()) << "list " << list;
        for (size_t i = 0; i < a.lists[list].size(); ++i)
            EXPECT_EQ(std::memcmp(&a.lists[list][i], &b.lists[list][i], sizeof(MapObjectRecord)), 0);
    }
}

// A map with two file pictures, objects in every list, and walls and points in cells.
MapFileData SampleMap(int nVersion, int nKind) {
    MapFileData map = EmptyMap(nKind, 6, 5, nVersion);
    for (size_t i = 0; i < map.cells.size(); ++i) {
        map.cells[i].nWall = i % 7 == 0 ? 1 : 0;
        map.cells[i].nKept4 = int(i);
        map.cells[i].nKept8 = 1000 + int(i);
        map.cells[i].nPointX = int(i) * 3;
    }
    ScenePicRecord lever = ScenePicture("lever.bmp", 2, 32, 32, 3);
    lever.nUseCount = 2;
    lever.nKept8 = 77;
    lever.nKept9 = -5;
    map.pictures.push_back(lever);
    map.pictures.push_back(ScenePicture("house.bmp", 1, 96, 64, 5));
    map.lists[kListA].push_back(MapObjectAt(0, 1, 2, 0, 0, 32, 32, "tile"));
    map.lists[kListC].push_back(MapObjectAt(0, 2, 3, 64, 0, 96, 64, "roof"));
    map.lists[kListD].push_back(MapObjectAt(1, 3, 3, 64, 32, 96, 64, "house"));
    map.lists[kListE].push_back(MapObjectAt(0, 4, 1, 0, 64, 64, 64));
    map.lists[kListF].push_back(MapObjectAt(0, 5, 0, 0, 96, 64, 96));
    if (nVersion == 1) {
        map.lists[kListB].push_back(MapObjectAt(0, 6, 2, 32, 32, 32, 32, "decal"));
        map.lists[kListG].push_back(MapObjectAt(2, 40, 2, 96, 96, 32, 32, "lever"));
    } else {
        map.nHeaderCountG = 3;
    }
    return map;
}

SettingFileData SampleSetting(int nCells) {
    SettingFileData set;
    set.nStartX = 100;
    set.nStartY = 60;
    set.regions.resize(size_t(nCells));
    set.regionIndex.assign(size_t(nCells), -1);
    set.regions[2].nEventCount = 2;
    set.regions[2].nEvents[0] = 11;
    set.regions[2].nEvents[1] = 12;
    set.regionIndex[0] = 2;
    set.regionIndex[5] = 2;
    set.npcs.resize(2);
    set.npcs[1][0] = 0x5A;
    return set;
}

TEST(MapFiles, BothVersionsAndGridsRoundTripThroughTheWriters) {
    for (int nVersion : {0, 1})
        for (int nKind : {0, 1}) {
            SCOPED_TRACE("version " + std::to_string(nVersion) + " kind " + std::to_string(nKind));
            const MapFileData map = SampleMap(nVersion, nKind);
            MapFileData back;
            std::string why;
            ASSERT_TRUE(ReadMapFile(BuildMapFile(map), "m", &back, &why)) << why;
            ExpectSameMap(map, back);
            const int nCells = int(map.cells.size());
            const SettingFileData set = SampleSetting(nCells);
            SettingFileData setBack;
            ASSERT_TRUE(ReadSettingFile(BuildSettingFile(set), "s", nCells, 1, &setBack, &why)) << why;
            EXPECT_EQ(setBack.nStartX, 100);
            EXPECT_EQ(setBack.regionIndex, set.regionIndex);
            EXPECT_EQ(setBack.regions[2].nEvents[1], 12);
            ASSERT_EQ(setBack.npcs.size(), 2u);
            EXPECT_EQ(setBack.npcs[1], set.npcs[1]);
        }
}

class MapLoad : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        SetCurrentDirectory(folder.Path().c_str());
    }
    void Write(int nScene, const MapFileData& map, const SettingFileData& set) {
        std::string why;
        ASSERT_TRUE(WriteSceneFiles(folder.Path(), nScene, map, set, &why)) << why;
    }
    CBaseFolderGuard guard;
    CTempFolder folder;
};

TEST_F(MapLoad, TheSceneTakesPicturesListsRegionsAndTheLeverFrameFromTableB) {
    MapFileData map = SampleMap(1, 0);
    // Picture indices -1 and P are skipped; their lists are one shorter.
    map.lists[kListD].push_back(MapObjectAt(1, 9, -1, 0, 0, 32, 32));
    map.lists[kListA].push_back(MapObjectAt(0, 9, map.PictureCount(), 0, 0, 32, 32));
    Write(7, map, SampleSetting(int(map.cells.size())));
    host.nScene = 7;
    host.flagsB[7][0] = 1;
    ASSERT_TRUE(scene.LoadMap(7)) << scene.GetLoadError();
    EXPECT_TRUE(scene.LoadSetting(7));
    EXPECT_EQ(scene.GetSettingError(), "");
    EXPECT_EQ(scene.nSceneNo, 7);
    ASSERT_EQ(scene.GetPictureCount(), 4);
    EXPECT_EQ(scene.List(kListA).size(), 1u);
    EXPECT_EQ(scene.List(kListD).size(), 1u);
    EXPECT_EQ(scene.List(kListG).size(), 1u);
    EXPECT_EQ(scene.List(kListG)[0]->nFrame, 1);
    // lever.bmp: its file count 2 plus list A, B and G.
    EXPECT_EQ(scene.GetPicture(2)->nUseCount, 5);
    EXPECT_EQ(scene.GetPicture(3)->nUseCount, 2);
    EXPECT_EQ(scene.nLayerCount[3], 1);
    EXPECT_EQ(scene.nLayerCount[5], 1);
    EXPECT_EQ(scene.ptStart.x, 100);
    EXPECT_EQ(scene.GetCellRegion(5, 5), 2);
    EXPECT_EQ(scene.pRegions[2].nEventCount, 2);
    EXPECT_EQ(scene.npcRecords.size(), 2u);
    EXPECT_EQ(scene.pGroundItems.size(), size_t(scene.nCellCount));
    EXPECT_EQ(std::string(scene.List(kListC)[0]->szName), "roof");
    // The house's footprint was placed when the setting was read.
    EXPECT_EQ(scene.CellAt(2, 1)->nOccupantKind, 1);
}

TEST_F(MapLoad, AVersionZeroMapHasNoListBOrGAndATwoPictureMapUsesTheBuiltInOnes) {
    MapFileData map = SampleMap(0, 1);
    map.pictures.clear();
    for (auto& list : map.lists)
        for (auto& o : list) o.nPicture = 1;
    Write(3, map, SampleSetting(int(map.cells.size())));
    ASSERT_TRUE(scene.LoadMap(3)) << scene.GetLoadError();
    EXPECT_EQ(scene.GetPictureCount(), 2);
    EXPECT_TRUE(scene.List(kListB).empty());
    EXPECT_TRUE(scene.List(kListG).empty());
    EXPECT_EQ(scene.List(kListA).size(), 1u);
    EXPECT_EQ(scene.GetPicture(1)->nUseCount, 5);
    EXPECT_EQ(scene.nGridKind, 1);
    EXPECT_EQ(scene.nCellCount, 121);
}

TEST_F(MapLoad, AMissingOrDamagedSettingFileStillLeavesTheSlots) {
    const MapFileData map = SampleMap(1, 0);
    const SettingFileData setting = SampleSetting(int(map.cells.size()));
    Write(4, map, setting);
    std::filesystem::remove(folder.File("map/scene004.set"));
    ASSERT_TRUE(scene.LoadMap(4));
    // A missing file or one of another kind is no failure: the scene stands empty.
    EXPECT_TRUE(scene.LoadSetting(4));
    EXPECT_NE(scene.GetSettingError(), "");
    std::vector<std::uint8_t> bytes = BuildSettingFile(setting);
    bytes[0] = 's';
    folder.Write("map/scene004.set", bytes);
    EXPECT_TRUE(scene.LoadSetting(4));
    EXPECT_NE(scene.GetSettingError().find("header"), std::string::npos) << scene.GetSettingError();
    // A damaged one fails, naming the file, the field and its offset: a region's event
    // count of 256 (one flipped bit).
    bytes = BuildSettingFile(setting);
    const std::int32_t nCount = 256;
    std::memcpy(&bytes[kFileHeaderSize + 8 + 3 * kRegionRecordSize + 4], &nCount, 4);
    folder.Write("map/scene004.set", bytes);
    EXPECT_FALSE(scene.LoadSetting(4));
    const std::string strWhy = scene.GetSettingError();
    EXPECT_NE(strWhy.find("scene004.set"), std::string::npos) << strWhy;
    EXPECT_NE(strWhy.find("event count 256 at offset " + std::to_string(kFileHeaderSize + 8 + 3 * kRegionRecordSize + 4)),
              std::string::npos)
        << strWhy;
    // So does a folder in the file's place.
    std::filesystem::remove(folder.File("map/scene004.set"));
    std::filesystem::create_directory(folder.File("map/scene004.set"));
    EXPECT_FALSE(scene.LoadSetting(4));
    EXPECT_NE(scene.GetSettingError().find("scene004.set"), std::string::npos) << scene.GetSettingError();
    // Every way, the ground-item and mark slots are there.
    EXPECT_EQ(scene.pGroundItems.size(), size_t(scene.nCellCount));
    EXPECT_EQ(scene.ptStart.x, -1);
    EXPECT_TRUE(scene.SetCellMark(1, 1, 0, 0));
    EXPECT_FALSE(scene.LoadMap(5));
    EXPECT_NE(scene.GetLoadError().find("scene005.map"), std::string::npos) << scene.GetLoadError();
}

// Damaged map files, each refused by the reader and by LoadMap with its reason.
TEST_F(MapLoad, DamagedMapFilesAreRefusedWithTheirReason) {
    const MapFileData map = SampleMap(1, 0);
    const std::vector<std::uint8_t> good = BuildMapFile(map);
    const MapFileLayout at = MapLayoutOf(map);
    auto patch = [&](size_t nOffset, std::int32_t v) {
        std::vector<std::uint8_t> bytes = good;
        std::memcpy(&bytes[nOffset], &v, 4);
        return bytes;
    };
    auto expectRefused = [&](const std::vector<std::uint8_t>& bytes, const char* pszReason) {
        MapFileData out;
        std::string why;
        EXPECT_FALSE(ReadMapFile(bytes, "map\\scene009.map", &out, &why)) << pszReason;
        EXPECT_NE(why.find(pszReason), std::string::npos) << why;
        EXPECT_NE(why.find("scene009.map"), std::string::npos) << why;
        EXPECT_NE(why.find("offset"), std::string::npos) << why;
        folder.Write("map/scene009.map", bytes);
        CScene other;
        EXPECT_FALSE(other.LoadMap(9));
        EXPECT_NE(other.GetLoadError().find(pszReason), std::string::npos) << other.GetLoadError();
    };
    // Every cut, from the header to the last object record, ends short.
    for (size_t n = 0; n < good.size(); ++n) {
        MapFileData out;
        std::string why;
        ASSERT_FALSE(ReadMapFile(std::vector<std::uint8_t>(good.begin(), good.begin() + long(n)), "cut", &out, &why))
            << n;
        ASSERT_FALSE(why.empty()) << n;
    }
    std::vector<std::uint8_t> header = good;
    std::memcpy(header.data(), "GAME SCENE MAP FILE V0.2+++++++", 32);
    expectRefused(header, "header");
    expectRefused(patch(at.nPictureCount, 1), "picture count");
    expectRefused(patch(at.nPictureCount, 5000), "picture count");
    expectRefused(patch(at.nPictureCount + 4, 31), "list A");  // above the cell count
    expectRefused(patch(at.nPictureCount + 4, 25), "object count 25");  // past the file
    expectRefused(patch(at.nPictures + 4, 16), "layer");
    expectRefused(patch(at.nPictures + 52, 0x7FFFFFFF), "name length");
    // Picture names that lead out of the game folder are refused; sub-folders and dots
    // inside a name are kept as they are.
    for (const char* pszName : {"..\\x.bmp", "sub\\..\\..\\x.bmp", "sub/../x.bmp", "\\x.bmp", "/x.bmp", "C:x.bmp",
                                "c:\\x.bmp", ".."}) {
        MapFileData bad = map;
        bad.pictures[0].strName = pszName;
        expectRefused(BuildMapFile(bad), "leads outside the game folder");
    }
    for (const char* pszName : {"a..b.bmp", "sub\\a.bmp", "sub/a.bmp", "..a.bmp", "a..", "sub\\.x\\a.bmp"}) {
        MapFileData fine = map;
        fine.pictures[0].strName = pszName;
        MapFileData out;
        std::string why;
        EXPECT_TRUE(ReadMapFile(BuildMapFile(fine), "map\\scene009.map", &out, &why)) << pszName << ": " << why;
        EXPECT_EQ(out.pictures[0].strName, pszName);
    }
    expectRefused(patch(kFileHeaderSize + 8, 2), "grid kind");
    expectRefused(patch(kFileHeaderSize, 0x40000000), "not a usable size");
    expectRefused(patch(kFileHeaderSize + 12, 0), "cell size");
}

TEST(SettingFiles, DamagedSettingFilesAreRefusedWithTheirReason) {
    const int nCells = 30;
    const std::vector<std::uint8_t> good = BuildSettingFile(SampleSetting(nCells));
    auto refused = [&](std::vector<std::uint8_t> bytes, const char* pszReason) {
        SettingFileData out;
        std::string why;
        EXPECT_FALSE(ReadSettingFile(bytes, "scene001.set", nCells, 1, &out, &why)) << pszReason;
        EXPECT_NE(why.find(pszReason), std::string::npos) << why;
        EXPECT_NE(why.find("offset"), std::string::npos) << why;
    };
    auto patch = [&](size_t nOffset, std::int32_t v) {
        std::vector<std::uint8_t> bytes = good;
        std::memcpy(&bytes[nOffset], &v, 4);
        return bytes;
    };
    const size_t nRegions = kFileHeaderSize + 8, nIndices = nRegions + nCells * kRegionRecordSize;
    const size_t nNpcCount = nIndices + nCells * 4;
    refused(patch(nRegions + 4, 20), "event count");
    refused(patch(nIndices + 8, nCells), "region index");
    refused(patch(nNpcCount, 3), "character count 3");
    refused(patch(nNpcCount, -1), "character count");
    refused(std::vector<std::uint8_t>(good.begin(), good.begin() + long(nIndices) + 6), "region index count");
    std::vector<std::uint8_t> header = good;
    header[0] = 's';
    refused(header, "header");
    for (size_t n = 0; n < good.size(); n += 7) {
        SettingFileData out;
        std::string why;
        EXPECT_FALSE(ReadSettingFile(std::vector<std::uint8_t>(good.begin(), good.begin() + long(n)), "s", nCells, 1,
                                     &out, &why));
    }
    // A file written for another grid does not fit this one.
    SettingFileData out;
    EXPECT_FALSE(ReadSettingFile(good, "s", nCells + 1, 1, &out, nullptr));
}

// Character fields that become pixel positions, steps and wander targets: values far
// outside the grid, a step larger than a cell and a radius beyond any map are refused
// with their record and offset; the edges of each range and "no wandering" are read.
TEST(SettingFiles, CharacterCellsSpeedsAndRadiiOutOfRangeAreRefused) {
    const int nWidth = 6, nHeight = 5;
    const std::vector<std::uint8_t> good = BuildSettingFile(SampleSetting(nWidth * nHeight));
    const size_t nRecord1 = kFileHeaderSize + 8 + size_t(nWidth * nHeight) * (kRegionRecordSize + 4) + 4 + kNpcRecordSize;
    auto patched = [&](size_t nField, std::int32_t v) {
        std::vector<std::uint8_t> bytes = good;
        std::memcpy(&bytes[nRecord1 + nField], &v, 4);
        return bytes;
    };
    auto refused = [&](size_t nField, std::int32_t v, const char* pszField) {
        SettingFileData out;
        std::string why;
        EXPECT_FALSE(ReadSettingFile(patched(nField, v), "map\\scene002.set", nWidth, nHeight, &out, &why))
            << pszField << " " << v;
        const std::string strExpected =
            std::string(pszField) + " " + std::to_string(v) + " at offset " + std::to_string(nRecord1 + nField);
        EXPECT_NE(why.find(strExpected), std::string::npos) << why;
        EXPECT_NE(why.find("scene002.set"), std::string::npos) << why;
        EXPECT_NE(why.find("record 1"), std::string::npos) << why;
    };
    auto read = [&](size_t nField, std::int32_t v) {
        SettingFileData out;
        std::string why;
        EXPECT_TRUE(ReadSettingFile(patched(nField, v), "s", nWidth, nHeight, &out, &why)) << v << ": " << why;
    };
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    for (std::int32_t v : {kMin, kMax, -kSettingCellMargin - 1, nWidth + kSettingCellMargin})
        refused(kNpcCellXOffset, v, "cell column");
    for (std::int32_t v : {kMin, kMax, nHeight + kSettingCellMargin}) refused(kNpcCellYOffset, v, "cell row");
    for (std::int32_t v : {kMin, kMax, kMaxStepPixels + 1}) refused(kNpcWanderSpeedOffset, v, "walking speed");
    for (std::int32_t v : {kMax, kMapPixelLimit + 1}) refused(kNpcWanderRadiusOffset, v, "wander radius");
    read(kNpcCellXOffset, -kSettingCellMargin);
    read(kNpcCellXOffset, nWidth - 1 + kSettingCellMargin);
    read(kNpcCellYOffset, nHeight - 1 + kSettingCellMargin);
    read(kNpcWanderSpeedOffset, -kMaxStepPixels);
    read(kNpcWanderSpeedOffset, kMaxStepPixels);
    read(kNpcWanderRadiusOffset, kMapPixelLimit);
    read(kNpcWanderRadiusOffset, kMin);  // no wandering
}

}  // namespace
