#include "tools/gamekit/MapWriters.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/Stream.h"
#include "tools/gamekit/ImageWriters.h"

namespace {

void WriteHeader(CByteWriter& out, const char* pszText) {
    char header[kFileHeaderSize] = {};
    std::strncpy(header, pszText, sizeof header - 1);
    out.WriteBytes(header, sizeof header);
}

void WriteWords(CByteWriter& out, const std::int32_t* p, int n) {
    for (int i = 0; i < n; ++i) out.WriteI32(p[i]);
}

}  // namespace

MapObjectRecord MapObjectAt(int nKind, int nId, int nPicture, int x, int y, int w, int h, const char* pszName) {
    MapObjectRecord o;
    o.nKind = nKind;
    o.nId = nId;
    o.nPicture = nPicture;
    o.nLeft = x;
    o.nTop = y;
    o.nRight = x + w;
    o.nBottom = y + h;
    o.nPointX = x + w / 2;
    o.nPointY = y + h;
    std::strncpy(o.szName.data(), pszName, o.szName.size() - 1);
    return o;
}

ScenePicRecord ScenePicture(const char* pszName, int nFrames, int w, int h, int nLayer) {
    ScenePicRecord p;
    p.strName = pszName;
    p.nFrameCount = nFrames;
    p.nFrameWidth = w;
    p.nFrameHeight = h;
    p.nLayer = nLayer;
    return p;
}

std::vector<std::uint8_t> BuildMapFile(const MapFileData& map) {
    CByteWriter out;
    WriteHeader(out, map.nVersion == 0 ? kMapHeaderV01 : kMapHeaderV02);
    out.WriteI32(map.nWidth);
    out.WriteI32(map.nHeight);
    out.WriteI32(map.nGridKind);
    out.WriteI32(map.nCellSize);
    out.WriteI32(map.PictureCount());
    out.WriteI32(std::int32_t(map.lists[kListA].size()));
    if (map.nVersion == 1) out.WriteI32(std::int32_t(map.lists[kListB].size()));
    for (int list : {kListC, kListD, kListE, kListF})
        out.WriteI32(std::int32_t(map.lists[list].size()));
    out.WriteI32(map.nVersion == 0 ? map.nHeaderCountG : std::int32_t(map.lists[kListG].size()));
    for (const ScenePicRecord& p : map.pictures) {
        const std::int32_t w[13] = {p.nUseCount,         p.nLayer,          p.nFrameCount,       p.nFrameWidth,
                                    p.nFrameHeight,      p.nFootprintWidth, p.nFootprintHeight,  p.nFootprintOffsetX,
                                    p.nFootprintOffsetY, p.nDrawOffsetX,    p.nDrawOffsetY,      p.nKept8,
                                    p.nKept9};
        WriteWords(out, w, 13);
        out.WriteI32(std::int32_t(p.strName.size()));
        out.WriteText(p.strName);
    }
    for (const SceneCell& cell : map.cells) WriteWords(out, &cell.nWall, 12);
    std::vector<int> order{kListA};
    if (map.nVersion == 1) order.insert(order.end(), {kListB, kListG});
    order.insert(order.end(), {kListC, kListD, kListE, kListF});
    for (int list : order)
        for (const MapObjectRecord& o : map.lists[list]) {
            const std::int32_t w[12] = {o.nKind,   o.nId,   o.nPicture, o.nFrame, o.nCellX,  o.nCellY,
                                        o.nPointX, o.nPointY, o.nLeft,  o.nTop,   o.nRight, o.nBottom};
            WriteWords(out, w, 12);
            out.WriteBytes(o.szName.data(), o.szName.size());
        }
    return out.TakeBytes();
}

MapFileLayout MapLayoutOf(const MapFileData& map) {
    MapFileLayout layout;
    const size_t nHeaderWords = map.nVersion == 1 ? 12 : 11;
    layout.nPictureCount = kFileHeaderSize + 4 * 4;
    layout.nPictures = kFileHeaderSize + 4 * nHeaderWords;
    layout.nCells = layout.nPictures;
    for (const ScenePicRecord& p : map.pictures) layout.nCells += kPictureRecordSize + p.strName.size();
    layout.nObjects = layout.nCells + map.cells.size() * kCellRecordSize;
    return layout;
}

std::vector<std::uint8_t> BuildSettingFile(const SettingFileData& setting) {
    CByteWriter out;
    WriteHeader(out, kSettingHeader);
    out.WriteI32(setting.nStartX);
    out.WriteI32(setting.nStartY);
    for (const RegionRecord& r : setting.regions) WriteWords(out, &r.nFirst, 10);
    for (std::int32_t n : setting.regionIndex) out.WriteI32(n);
    out.WriteI32(std::int32_t(setting.npcs.size()));
    for (const auto& record : setting.npcs) out.WriteBytes(record.data(), record.size());
    return out.TakeBytes();
}

bool WriteSceneFiles(const std::string& strFolder, int nScene, const MapFileData& map,
                     const SettingFileData& setting, std::string* pError) {
    std::error_code ec;
    std::filesystem::create_directories(strFolder + "/map", ec);
    char szName[64];
    std::snprintf(szName, sizeof szName, "/map/scene%03d", nScene);
    const std::string strBase = strFolder + szName;
    if (!WriteBytesToFile((strBase + ".map").c_str(), BuildMapFile(map))) {
        if (pError) *pError = "cannot write " + strBase + ".map";
        return false;
    }
    if (!WriteBytesToFile((strBase + ".set").c_str(), BuildSettingFile(setting))) {
        if (pError) *pError = "cannot write " + strBase + ".set";
        return false;
    }
    return true;
}
