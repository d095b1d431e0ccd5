// The two files a scene is built from: the map file "map\sceneNNN.map" (grid, pictures,
// cells and the seven object lists) and the setting file "map\sceneNNN.set" (start point,
// event regions and character records). The readers check every count, size and index
// against its range and the bytes left, and refuse a damaged file with a message naming
// the file, the field and the offset. They know nothing of surfaces, so the map viewer,
// the fuzz targets and the writers of the game kit share them with the scene.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Header texts, NUL-terminated inside their 32 bytes.
constexpr const char* kMapHeaderV01 = "GAME SCENE MAP FILE V0.1";
constexpr const char* kMapHeaderV02 = "GAME SCENE MAP FILE V0.2";
constexpr const char* kSettingHeader = "Setting File ver 1.00";
constexpr int kFileHeaderSize = 32;
constexpr int kLayerCount = 16;
constexpr int kPictureRecordSize = 56;
constexpr int kObjectRecordSize = 80;
constexpr int kCellRecordSize = 48;
constexpr int kRegionRecordSize = 40;
constexpr int kRegionEventCount = 8;
constexpr int kNpcRecordSize = 412;
constexpr int kObjectNameSize = 32;
// Map pixels on each side of the largest grid a map file may have. Positions read from
// setting files and saves lie within it and a margin, so every later sum of a position
// and an offset, a radius or a step stays inside 32 bits.
constexpr std::int32_t kMapPixelLimit = std::int32_t(1) << 28;
constexpr std::int32_t kMapPositionMargin = std::int32_t(1) << 20;
// Cells a character of a setting file may stand outside its grid.
constexpr std::int32_t kSettingCellMargin = 64;
// Pixels a character's walking step may cover in one update: a cell of the largest size.
constexpr std::int32_t kMaxStepPixels = 1024;

// Whether a map position read from a file lies within the largest map and the margin.
constexpr bool IsMapPosition(std::int64_t v) {
    // One unsigned comparison (the save check runs it 40,000 times): below -margin wraps
    // to a number past the bound.
    return std::uint64_t(v) + std::uint64_t(kMapPositionMargin) <=
           std::uint64_t(kMapPixelLimit) + 2 * std::uint64_t(kMapPositionMargin);
}

// The seven object lists, in the order of the scene's arrays.
enum MapList { kListA, kListB, kListC, kListD, kListE, kListF, kListG, kMapListCount };

// One cell: twelve words, kept in memory exactly as the file stores them.
struct SceneCell {
    std::int32_t nWall = -1;
    std::int32_t nRegion = -1;
    std::int32_t nOccupantKind = -1;
    std::int32_t nOccupantId = -1;
    std::int32_t nKept4 = -1, nKept5 = -1;
    std::int32_t nPointX = -1, nPointY = -1;
    std::int32_t nKept8 = -1;
    std::int32_t nGroundItem = -1;
    std::int32_t nMark = -1;
    std::int32_t nMarkKind = -1;
};
static_assert(sizeof(SceneCell) == kCellRecordSize);

// One picture record (pictures 2 and up).
struct ScenePicRecord {
    std::int32_t nUseCount = 0;
    std::int32_t nLayer = 0;
    std::int32_t nFrameCount = 1;
    std::int32_t nFrameWidth = 0, nFrameHeight = 0;
    std::int32_t nFootprintWidth = 1, nFootprintHeight = 1;
    std::int32_t nFootprintOffsetX = 0, nFootprintOffsetY = 0;
    std::int32_t nDrawOffsetX = 0, nDrawOffsetY = 0;
    std::int32_t nKept8 = 0, nKept9 = 0;
    std::string strName;
};

// One object record of a list.
struct MapObjectRecord {
    std::int32_t nKind = 0;
    std::int32_t nId = 0;
    std::int32_t nPicture = 0;
    std::int32_t nFrame = 0;
    std::int32_t nCellX = 0, nCellY = 0;
    std::int32_t nPointX = 0, nPointY = 0;
    std::int32_t nLeft = 0, nTop = 0, nRight = 0, nBottom = 0;
    std::array<char, kObjectNameSize> szName{};
};

struct MapFileData {
    int nVersion = 1;  // 0: "V0.1", 1: "V0.2"
    std::int32_t nWidth = 0, nHeight = 0;
    std::int32_t nGridKind = 0;
    std::int32_t nCellSize = 32;
    std::vector<ScenePicRecord> pictures;  // pictures 2 to P - 1
    std::vector<SceneCell> cells;
    std::vector<MapObjectRecord> lists[kMapListCount];
    // A version-0 header carries a list G count but the file holds no list G records.
    std::int32_t nHeaderCountG = 0;

    // P: the file pictures plus the two built-in ones.
    int PictureCount() const { return int(pictures.size()) + 2; }
};

struct RegionRecord {
    std::int32_t nFirst = 0;
    std::int32_t nEventCount = 0;
    std::int32_t nEvents[kRegionEventCount] = {};
};
static_assert(sizeof(RegionRecord) == kRegionRecordSize);

struct SettingFileData {
    std::int32_t nStartX = -1, nStartY = -1;
    std::vector<RegionRecord> regions;
    std::vector<std::int32_t> regionIndex;
    std::vector<std::array<std::uint8_t, kNpcRecordSize>> npcs;
};

// Grid size for the header arguments: w x h cells on the rectangular grid, (w + h) on
// each side of the diamond grid. False when the kind is unknown or the size is not
// positive or too large for the map's pixel rectangle.
bool MapGridSize(std::int32_t nWidth, std::int32_t nHeight, std::int32_t nKind, std::int32_t nCellSize,
                 std::int32_t* pGridWidth, std::int32_t* pGridHeight);

// Whether the 32 bytes at the start of a file are one of the two map headers.
bool IsMapHeader(const std::vector<std::uint8_t>& bytes);
// Reads a whole map file; false with the reason when it is damaged, which includes
// bytes left after the last object record.
bool ReadMapFile(const std::vector<std::uint8_t>& bytes, const std::string& strName, MapFileData* pOut,
                 std::string* pError);
// Offsets of the character record's fields that the setting reader checks.
constexpr size_t kNpcCellXOffset = 12;
constexpr size_t kNpcCellYOffset = 16;
constexpr size_t kNpcWanderSpeedOffset = 56;
constexpr size_t kNpcIdOffset = 64;
constexpr size_t kNpcWanderRadiusOffset = 108;

// Whether the 32 bytes at the start of a file are the setting file's header.
bool IsSettingHeader(const std::vector<std::uint8_t>& bytes);
// Reads a whole setting file for a grid of nGridWidth x nGridHeight cells; false with
// the reason. Besides the counts it refuses a character whose cell lies more than
// kSettingCellMargin cells outside the grid, whose walking speed lies outside
// -kMaxStepPixels..kMaxStepPixels or whose wander radius is larger than the largest map.
// The character count must account for every byte after it.
bool ReadSettingFile(const std::vector<std::uint8_t>& bytes, const std::string& strName, int nGridWidth,
                     int nGridHeight, SettingFileData* pOut, std::string* pError);
// Whether a picture name joined to a picture folder stays inside the game folder: not
// empty, not absolute, no drive and no component "..". Sub-folders ("sub\a.bmp") and
// dots inside a component ("a..b.bmp") are fine.
bool IsPictureNameInside(const std::string& strName);
