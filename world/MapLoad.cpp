// Building a scene from its map and setting files, and the loading screen shown before.
#include <cstdio>
#include <string>
#include <vector>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "platform/Charset.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "shell/ShellGlobals.h"
#include "world/Scene.h"
#include "world/SceneHost.h"

namespace {

constexpr size_t kMapFileLimit = size_t(512) << 20;
constexpr int kLoadingSteps = 10;
constexpr DWORD kLoadingStepMs = 200;

std::string SceneFileName(int nScene, const char* pszExtension) {
    char szName[64];
    std::snprintf(szName, sizeof szName, "map\\scene%03d.%s", nScene, pszExtension);
    return szName;
}

}  // namespace

bool CScene::LoadMap(int nScene) {
    nSceneNo = nScene;
    m_strLoadError.clear();
    m_bMapDamaged = false;
    SetGameFolderCurrent();
    const std::string strName = SceneFileName(nScene, "map");
    std::vector<std::uint8_t> bytes;
    MapFileData map;
    if (!ReadWholeFile(strName.c_str(), kMapFileLimit, &bytes, &m_strLoadError)) {
        // A map that is there but cannot be read (a folder, too large, a read error) is damaged.
        m_bMapDamaged = FileExists(strName.c_str()) || DirectoryExists(strName.c_str());
        return false;
    }
    if (!ReadMapFile(bytes, strName, &map, &m_strLoadError)) {
        // A file without a map header is no map at all; one with it is a damaged map.
        m_bMapDamaged = IsMapHeader(bytes);
        return false;
    }
    m_bMapDamaged = !BuildFromMap(nScene, map);
    return !m_bMapDamaged;
}

bool CScene::BuildFromMap(int nScene, const MapFileData& map) {
    nSceneNo = nScene;
    if (!InitMap(map.nWidth, map.nHeight, map.nGridKind, map.nCellSize)) {
        m_strLoadError = "the map's grid is not a usable size";
        return false;
    }
    if (map.cells.size() != size_t(nCellCount)) {
        m_strLoadError = "the map's cell block does not match its grid";
        return false;
    }
    for (const ScenePicRecord& record : map.pictures) {
        auto pPic = std::make_unique<CScenePic>();
        pPic->Read(record);
        if (pPic->nLayer >= 0 && pPic->nLayer < kLayerCount) ++nLayerCount[pPic->nLayer];
        pPictures.push_back(std::move(pPic));
    }
    pCells = map.cells;
    const int nPictures = int(pPictures.size());
    for (int list = 0; list < kMapListCount; ++list) {
        for (const MapObjectRecord& record : map.lists[list]) {
            // An object whose picture does not exist is dropped from its list.
            if (record.nPicture < 0 || record.nPicture >= nPictures) continue;
            auto pObject = std::make_unique<CMapObject>();
            pObject->Read(record);
            ++pPictures[size_t(record.nPicture)]->nUseCount;
            lists[list].push_back(std::move(pObject));
        }
    }
    // A lever's frame set by the story comes back with the scene.
    auto pFlagsB = SceneHost().GetEventFlagsB();
    if (pFlagsB && nSceneNo >= 0 && nSceneNo < kSceneFlagRows) {
        auto& levers = lists[kListG];
        for (size_t i = 0; i < levers.size() && i < size_t(kSceneFlagColumns); ++i)
            if (pFlagsB[nSceneNo][i] != 0) levers[i]->nFrame = pFlagsB[nSceneNo][i];
    }
    return true;
}

void CScene::AllocateSlots() {
    pGroundItems.clear();
    pGroundItems.resize(size_t(nCellCount));
    nGroundItemCount = 0;
    nHoverGroundItem = -1;
}

bool CScene::LoadSetting(int nScene) {
    m_strSettingError.clear();
    // The ground-item and mark slots exist even when the file is missing or damaged.
    AllocateSlots();
    SetGameFolderCurrent();
    const std::string strName = SceneFileName(nScene, "set");
    // A scene may have no setting file, or one of another kind: it stands without
    // regions and characters; the reason is kept for the caller to say.
    if (!FileExists(strName.c_str()) && !DirectoryExists(strName.c_str())) {
        m_strSettingError = strName + ": does not exist";
        return true;
    }
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(strName.c_str(), kMapFileLimit, &bytes, &m_strSettingError)) return false;
    if (bytes.empty()) {
        m_strSettingError = strName + ": the file is empty";
        return true;
    }
    if (bytes.size() < size_t(kFileHeaderSize)) {
        m_strSettingError = strName + ": " + std::to_string(bytes.size()) + " bytes, shorter than the " +
                            std::to_string(kFileHeaderSize) + "-byte header";
        return true;
    }
    if (!IsSettingHeader(bytes)) {
        m_strSettingError = strName + ": the header at offset 0 is not a setting file header";
        return true;
    }
    SettingFileData setting;
    if (!ReadSettingFile(bytes, strName, nGridWidth, nGridHeight, &setting, &m_strSettingError)) return false;
    ApplySetting(setting);
    return true;
}

void CScene::ApplySetting(const SettingFileData& setting) {
    if (pGroundItems.size() != size_t(nCellCount)) AllocateSlots();
    ptStart = POINT{setting.nStartX, setting.nStartY};
    if (setting.regions.size() == pRegions.size()) pRegions = setting.regions;
    if (setting.regionIndex.size() == pCells.size())
        for (size_t i = 0; i < pCells.size(); ++i) pCells[i].nRegion = setting.regionIndex[i];
    npcRecords = setting.npcs;
    LoadNpcs();
    timeNow = timeLastRespawn = dwNowTime;
    PlaceAllFootprints();
}

void CScene::ShowLoadingScreen(int nScene) {
    (void)nScene;
    SetGameFolderCurrent();
    char szName[32];
    std::snprintf(szName, sizeof szName, "RL%03d.bmp", Rand() % 7);
    CPkgFile* pMenu = pBitmapData ? pBitmapData->GetMenuPkg() : nullptr;
    if (!pMenu || !pMenu->Contains(szName)) std::snprintf(szName, sizeof szName, "RL001.bmp");
    std::unique_ptr<CDXSurface> pPicture;
    const int nSize = pMenu ? pMenu->GetSize(szName) : -1;
    FILE* pStream = nSize > 0 ? pMenu->Seek(szName) : nullptr;
    if (pStream && pScreen) {
        pPicture = std::make_unique<CDXSurface>();
        if (pPicture->CreateFromStream(pScreen, DWORD(nSize), pStream) != 1) {
            pMenu->ReportNotPicture(szName);
            pPicture.reset();
        }
    }
    if (!pBack || !pScreen) return;
    pBack->Fill(0);
    static const std::string face = Utf8ToText("隶书");
    pBack->ChangeFont(face.c_str(), 0, 30, nCharSet, 400, 0);
    static const char kLoading[] = "LOADING.........";
    for (int i = 0; i < kLoadingSteps; ++i) {
        const DWORD dwStart = TimeGetTime();
        while (TimeGetTime() - dwStart < kLoadingStepMs) SleepMs(1);
        if (pPicture) pPicture->BlitOpaque(pBack, 0, 0);
        const std::string text(kLoading, size_t(7 + i));
        RECT rc{100, 450, 400, 550};
        pBack->DrawText(text.c_str(), RGB(255, 255, 255), &rc, 0x10);
        pScreen->Flip(FALSE);
    }
    pBack->ChangeFont("Arial", 0, 15, nCharSet, 400, 0);
}
