#include "world/MapFile.h"

#include <cctype>
#include <cstring>

#include "platform/Stream.h"

namespace {

// Coordinates, offsets and sizes larger than this cannot be a map's pixels; refusing
// them keeps every later sum inside 32 bits.
constexpr std::int64_t kCoordinateLimit = kMapPixelLimit;
// Frame and footprint sizes beyond this are not pictures of a map.
constexpr std::int32_t kSizeLimit = 65536;
constexpr std::int64_t kMaxCells = std::int64_t(1) << 24;

bool HeaderIs(const std::uint8_t* pHeader, const char* pszText) {
    const size_t n = std::strlen(pszText);
    // The text and its terminator lie inside the 32 bytes.
    return std::memcmp(pHeader, pszText, n) == 0 && pHeader[n] == 0;
}

// Checks a value read at nOffset against its range; the failure names field and offset.
bool InRange(CByteReader& in, std::int64_t v, std::int64_t lo, std::int64_t hi, const char* pszWhat, size_t nOffset) {
    if (v >= lo && v <= hi) return true;
    return in.Fail(std::string(pszWhat) + " " + std::to_string(v) + " at offset " + std::to_string(nOffset) +
                   " is outside " + std::to_string(lo) + " to " + std::to_string(hi));
}

bool ReadWords(CByteReader& in, std::int32_t* pWords, int n) {
    for (int i = 0; i < n; ++i)
        if (!in.ReadI32(&pWords[i])) return false;
    return true;
}

bool ReadPicture(CByteReader& in, ScenePicRecord* p) {
    const size_t nStart = in.Position();
    auto at = [&](int nWord) { return nStart + 4 * size_t(nWord); };
    std::int32_t w[13];
    if (!ReadWords(in, w, 13)) return false;
    p->nUseCount = w[0] < 0 ? 0 : w[0];  // a negative count would free a picture still in use
    p->nLayer = w[1];
    p->nFrameCount = w[2];
    p->nFrameWidth = w[3];
    p->nFrameHeight = w[4];
    p->nFootprintWidth = w[5];
    p->nFootprintHeight = w[6];
    p->nFootprintOffsetX = w[7];
    p->nFootprintOffsetY = w[8];
    p->nDrawOffsetX = w[9];
    p->nDrawOffsetY = w[10];
    p->nKept8 = w[11];
    p->nKept9 = w[12];
    if (!InRange(in, p->nLayer, 0, kLayerCount - 1, "layer", at(1))) return false;
    if (!InRange(in, p->nFrameCount, 0, 4096, "frame count", at(2))) return false;
    if (!InRange(in, p->nFrameWidth, 0, kSizeLimit, "frame width", at(3))) return false;
    if (!InRange(in, p->nFrameHeight, 0, kSizeLimit, "frame height", at(4))) return false;
    if (!InRange(in, p->nFootprintWidth, 0, kSizeLimit, "footprint width", at(5))) return false;
    if (!InRange(in, p->nFootprintHeight, 0, kSizeLimit, "footprint height", at(6))) return false;
    for (int i = 7; i <= 10; ++i)
        if (!InRange(in, w[i], -kCoordinateLimit, kCoordinateLimit, "picture offset", at(i))) return false;
    std::int32_t nLength = 0;
    if (!in.ReadI32(&nLength)) return false;
    if (nLength <= 0) return true;
    const size_t nNameOffset = in.Position();
    if (size_t(nLength) > in.Remaining())
        return in.Fail("name length " + std::to_string(nLength) + " at offset " + std::to_string(nNameOffset - 4) +
                       " exceeds the " + std::to_string(in.Remaining()) + " bytes that remain");
    if (!in.ReadText(size_t(nLength), &p->strName)) return false;
    // The name ends at its first NUL, as a C string would.
    p->strName.resize(std::strlen(p->strName.c_str()));
    if (!IsPictureNameInside(p->strName))
        return in.Fail("picture name \"" + p->strName + "\" at offset " + std::to_string(nNameOffset) +
                       " leads outside the game folder");
    return true;
}

bool ReadObject(CByteReader& in, MapObjectRecord* p) {
    const size_t nStart = in.Position();
    std::int32_t w[12];
    if (!ReadWords(in, w, 12)) return false;
    p->nKind = w[0];
    p->nId = w[1];
    p->nPicture = w[2];
    p->nFrame = w[3];
    p->nCellX = w[4];
    p->nCellY = w[5];
    p->nPointX = w[6];
    p->nPointY = w[7];
    p->nLeft = w[8];
    p->nTop = w[9];
    p->nRight = w[10];
    p->nBottom = w[11];
    for (int i = 8; i < 12; ++i)
        if (!InRange(in, w[i], -kCoordinateLimit, kCoordinateLimit, "object rectangle", nStart + 4 * size_t(i))) return false;
    return in.ReadBytes(p->szName.data(), p->szName.size());
}

// The fields of a character record that later arithmetic builds on: the cell becomes a
// pixel position, the speed a step and the radius an offset from home.
bool CheckNpcRecord(CByteReader& in, const std::array<std::uint8_t, kNpcRecordSize>& record, size_t nStart,
                    int nGridWidth, int nGridHeight) {
    auto word = [&](size_t nOffset) {
        CByteReader field(record.data() + nOffset, sizeof(std::int32_t));
        std::int32_t v = 0;
        field.ReadI32(&v);
        return std::int64_t(v);
    };
    const std::int64_t nRadius = word(kNpcWanderRadiusOffset);
    // A radius of 0 or below means the character does not wander.
    if (nRadius > kMapPixelLimit)
        return in.Fail("wander radius " + std::to_string(nRadius) + " at offset " +
                       std::to_string(nStart + kNpcWanderRadiusOffset) + " is larger than the largest map's " +
                       std::to_string(kMapPixelLimit) + " pixels");
    return InRange(in, word(kNpcCellXOffset), -kSettingCellMargin, std::int64_t(nGridWidth) - 1 + kSettingCellMargin,
                   "cell column", nStart + kNpcCellXOffset) &&
           InRange(in, word(kNpcCellYOffset), -kSettingCellMargin, std::int64_t(nGridHeight) - 1 + kSettingCellMargin,
                   "cell row", nStart + kNpcCellYOffset) &&
           InRange(in, word(kNpcWanderSpeedOffset), -kMaxStepPixels, kMaxStepPixels, "walking speed",
                   nStart + kNpcWanderSpeedOffset);
}

}  // namespace

bool IsPictureNameInside(const std::string& strName) {
    if (strName.empty() || strName[0] == '\\' || strName[0] == '/') return false;
    if (strName.size() >= 2 && std::isalpha(static_cast<unsigned char>(strName[0])) && strName[1] == ':') return false;
    size_t nStart = 0;
    while (nStart <= strName.size()) {
        size_t nEnd = strName.find_first_of("\\/", nStart);
        if (nEnd == std::string::npos) nEnd = strName.size();
        if (strName.compare(nStart, nEnd - nStart, "..") == 0) return false;
        nStart = nEnd + 1;
    }
    return true;
}

bool MapGridSize(std::int32_t nWidth, std::int32_t nHeight, std::int32_t nKind, std::int32_t nCellSize,
                 std::int32_t* pGridWidth, std::int32_t* pGridHeight) {
    if (nWidth <= 0 || nHeight <= 0 || nCellSize <= 0 || nCellSize > 1024) return false;
    std::int64_t gw, gh, pixelsW, pixelsH;
    if (nKind == 0) {
        gw = nWidth;
        gh = nHeight;
        pixelsW = gw * nCellSize;
        pixelsH = gh * nCellSize;
    } else if (nKind == 1) {
        gw = gh = std::int64_t(nWidth) + nHeight;
        pixelsW = 2 * std::int64_t(nWidth) * nCellSize;
        pixelsH = std::int64_t(nHeight) * nCellSize;
    } else {
        return false;
    }
    // Each side is checked first: the product of two huge sides would overflow.
    if (gw > kMaxCells || gh > kMaxCells || gw * gh > kMaxCells || pixelsW > kCoordinateLimit ||
        pixelsH > kCoordinateLimit)
        return false;
    *pGridWidth = std::int32_t(gw);
    *pGridHeight = std::int32_t(gh);
    return true;
}

bool ReadMapFile(const std::vector<std::uint8_t>& bytes, const std::string& strName, MapFileData* pOut,
                 std::string* pError) {
    MapFileData map;
    CByteReader in(bytes, strName);
    auto fail = [&]() {
        if (pError) *pError = in.Error();
        return false;
    };
    in.SetContext("header");
    std::uint8_t header[kFileHeaderSize];
    if (!in.ReadBytes(header, sizeof header)) return fail();
    if (HeaderIs(header, kMapHeaderV01)) {
        map.nVersion = 0;
    } else if (HeaderIs(header, kMapHeaderV02)) {
        map.nVersion = 1;
    } else {
        in.Fail("the header at offset 0 is not a scene map header");
        return fail();
    }
    std::int32_t nPictures = 0;
    std::int32_t counts[kMapListCount] = {};
    if (!in.ReadI32(&map.nWidth) || !in.ReadI32(&map.nHeight) || !in.ReadI32(&map.nGridKind) ||
        !in.ReadI32(&map.nCellSize) || !in.ReadI32(&nPictures) || !in.ReadI32(&counts[kListA]))
        return fail();
    if (map.nVersion == 1 && !in.ReadI32(&counts[kListB])) return fail();
    for (int list : {kListC, kListD, kListE, kListF, kListG})
        if (!in.ReadI32(&counts[list])) return fail();
    auto at = [](int nWord) { return size_t(kFileHeaderSize) + 4 * size_t(nWord); };
    if (!InRange(in, map.nGridKind, 0, 1, "grid kind", at(2))) return fail();
    if (!InRange(in, map.nCellSize, 1, 1024, "cell size", at(3))) return fail();
    std::int32_t nGridWidth = 0, nGridHeight = 0;
    if (!MapGridSize(map.nWidth, map.nHeight, map.nGridKind, map.nCellSize, &nGridWidth, &nGridHeight)) {
        in.Fail("grid " + std::to_string(map.nWidth) + " x " + std::to_string(map.nHeight) + " at offset " +
                std::to_string(at(0)) + " is not a usable size");
        return fail();
    }
    const std::int64_t nCellCount = std::int64_t(nGridWidth) * nGridHeight;
    if (!InRange(in, nPictures, 2, 1 << 20, "picture count", at(4))) return fail();
    if (map.nVersion == 0) {
        map.nHeaderCountG = counts[kListG];
        counts[kListG] = 0;
    }
    static const char* const kListNames[kMapListCount] = {"list A", "list B", "list C", "list D",
                                                          "list E", "list F", "list G"};
    // Where each list's count lies in the header (version 0 has no list B word).
    const int nWordOf[kMapListCount] = {5, 6, map.nVersion == 1 ? 7 : 6, map.nVersion == 1 ? 8 : 7,
                                        map.nVersion == 1 ? 9 : 8, map.nVersion == 1 ? 10 : 9,
                                        map.nVersion == 1 ? 11 : 10};
    for (int list = 0; list < kMapListCount; ++list)
        if (!InRange(in, counts[list], 0, nCellCount, kListNames[list], at(nWordOf[list]))) return fail();

    in.SetContext("pictures");
    if (!in.CheckCount(nPictures - 2, kPictureRecordSize, "picture")) return fail();
    map.pictures.resize(size_t(nPictures - 2));
    for (size_t i = 0; i < map.pictures.size(); ++i) {
        in.SetRecord(std::int64_t(i) + 2);
        if (!ReadPicture(in, &map.pictures[i])) return fail();
    }

    in.SetContext("cells");
    if (!in.CheckCount(nCellCount, kCellRecordSize, "cell")) return fail();
    map.cells.resize(size_t(nCellCount));
    for (SceneCell& cell : map.cells)
        if (!ReadWords(in, &cell.nWall, 12)) return fail();

    const int order[] = {kListA, kListB, kListG, kListC, kListD, kListE, kListF};
    for (int list : order) {
        in.SetContext(kListNames[list]);
        if (!in.CheckCount(counts[list], kObjectRecordSize, "object")) return fail();
        map.lists[list].resize(size_t(counts[list]));
        for (size_t i = 0; i < map.lists[list].size(); ++i) {
            in.SetRecord(std::int64_t(i));
            if (!ReadObject(in, &map.lists[list][i])) return fail();
        }
    }
    // Bytes left over mean a count or a name length that does not match the file: every
    // record after it was read from the wrong place.
    if (!in.AtEnd()) {
        in.SetContext("object lists");
        in.Fail(std::to_string(in.Remaining()) + " bytes are left after the last object record at offset " +
                std::to_string(in.Position()) + ": a count or a name length does not match the file");
        return fail();
    }
    *pOut = std::move(map);
    return true;
}

bool IsMapHeader(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= size_t(kFileHeaderSize) &&
           (HeaderIs(bytes.data(), kMapHeaderV01) || HeaderIs(bytes.data(), kMapHeaderV02));
}

bool IsSettingHeader(const std::vector<std::uint8_t>& bytes) {
    return bytes.size() >= size_t(kFileHeaderSize) && HeaderIs(bytes.data(), kSettingHeader);
}

bool ReadSettingFile(const std::vector<std::uint8_t>& bytes, const std::string& strName, int nGridWidth,
                     int nGridHeight, SettingFileData* pOut, std::string* pError) {
    SettingFileData set;
    CByteReader in(bytes, strName);
    auto fail = [&]() {
        if (pError) *pError = in.Error();
        return false;
    };
    const int nCellCount = nGridWidth > 0 && nGridHeight > 0 ? nGridWidth * nGridHeight : 0;
    in.SetContext("header");
    std::uint8_t header[kFileHeaderSize];
    if (!in.ReadBytes(header, sizeof header)) return fail();
    if (!HeaderIs(header, kSettingHeader)) {
        in.Fail("the header at offset 0 is not a setting file header");
        return fail();
    }
    if (!in.ReadI32(&set.nStartX) || !in.ReadI32(&set.nStartY)) return fail();

    in.SetContext("regions");
    if (!in.CheckCount(nCellCount, kRegionRecordSize, "region")) return fail();
    set.regions.resize(size_t(nCellCount));
    for (size_t i = 0; i < set.regions.size(); ++i) {
        in.SetRecord(std::int64_t(i));
        RegionRecord& r = set.regions[i];
        const size_t nStart = in.Position();
        if (!ReadWords(in, &r.nFirst, 10)) return fail();
        if (!InRange(in, r.nEventCount, 0, kRegionEventCount, "event count", nStart + 4)) return fail();
    }

    in.SetContext("region indices");
    if (!in.CheckCount(nCellCount, 4, "region index")) return fail();
    set.regionIndex.resize(size_t(nCellCount));
    for (size_t i = 0; i < set.regionIndex.size(); ++i) {
        in.SetRecord(std::int64_t(i));
        const size_t nOffset = in.Position();
        if (!in.ReadI32(&set.regionIndex[i])) return fail();
        // Negative means no region; a region past the records would be read out of bounds.
        if (set.regionIndex[i] >= nCellCount &&
            !InRange(in, set.regionIndex[i], -1, nCellCount - 1, "region index", nOffset))
            return fail();
    }

    in.SetContext("characters");
    std::int32_t nNpcs = 0;
    const size_t nCountOffset = in.Position();
    if (!in.ReadI32(&nNpcs)) return fail();
    // The records fill the rest of the file exactly: a count that leaves bytes unread
    // (or asks for more than there are) is damage, not a scene without characters.
    const size_t nRest = in.Remaining();
    if (nNpcs < 0 || nRest != size_t(nNpcs) * kNpcRecordSize) {
        const std::string strOver = nRest % kNpcRecordSize ? " and " + std::to_string(nRest % kNpcRecordSize) : "";
        in.Fail("character count " + std::to_string(nNpcs) + " at offset " + std::to_string(nCountOffset) +
                " does not match the " + std::to_string(nRest) + " bytes after it (" +
                std::to_string(nRest / kNpcRecordSize) + " records of " + std::to_string(kNpcRecordSize) + " bytes" +
                strOver + ")");
        return fail();
    }
    set.npcs.resize(size_t(nNpcs));
    for (size_t i = 0; i < set.npcs.size(); ++i) {
        in.SetRecord(std::int64_t(i));
        const size_t nStart = in.Position();
        if (!in.ReadBytes(set.npcs[i].data(), kNpcRecordSize)) return fail();
        if (!CheckNpcRecord(in, set.npcs[i], nStart, nGridWidth, nGridHeight)) return fail();
    }
    *pOut = std::move(set);
    return true;
}
