// mapview DIR SCENE out.png [--view X,Y | --full] [--dump] [--drop ITEM,X,Y[,COUNT]]...:
// builds a scene with the game's own readers, tables and picture packages and draws it
// on a headless 16-bit buffer, written as a PNG. --view draws the 800 x 600 screen at
// that view origin (default 0,0); --full draws the whole map. --drop lays an item (or
// COUNT money) on the ground near a map point, as many times as given. --dump prints
// the header, pictures, lists, walls, regions, the characters and their state records.
// A refused map or setting file prints the reason and exits with 1.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "platform/Video.h"
#include "platform/WindowBackend.h"
#include "shell/ShellGlobals.h"
#include "world/MapFile.h"
#include "tools/gamekit/Offscreen.h"
#include "world/EffectManager.h"
#include "world/NpcHost.h"
#include "world/Scene.h"
#include "world/SceneHost.h"

namespace {

// The tool stands in for the main window: its screen is the picture being drawn.
class CToolHost : public CSceneHost {
public:
    int nWidth = 800, nHeight = 600, nStrip = 0, nScene = 0;
    int GetScreenWidth() const override { return nWidth; }
    int GetScreenHeight() const override { return nHeight + nStrip; }
    int GetDisplayWidth() const override { return nWidth; }
    int GetDisplayHeight() const override { return nHeight; }
    int GetSceneNumber() const override { return nScene; }
};

// A character whose sprite cannot be bound ends the setting's characters there, as in
// the game, and is said.
class CToolNpcHost : public CNpcHost {
public:
    void FailNpcInit(const std::string& strText) override { std::fprintf(stderr, "mapview: %s\n", strText.c_str()); }
};

std::string Name(const std::array<char, kObjectNameSize>& name) { return std::string(name.data(), strnlen(name.data(), name.size())); }

void Dump(const MapFileData& map, const SettingFileData* pSetting, const CScene& scene) {
    std::printf("header: version %s, w %d, h %d, grid %s, cell %d, grid %d x %d, map %d x %d, pictures %d\n",
                map.nVersion == 0 ? "0.1" : "0.2", map.nWidth, map.nHeight, map.nGridKind == 0 ? "rectangular" : "diamond",
                map.nCellSize, scene.nGridWidth, scene.nGridHeight, int(scene.rcMap.right), int(scene.rcMap.bottom),
                map.PictureCount());
    if (map.nVersion == 0) std::printf("header list G count (no records): %d\n", map.nHeaderCountG);
    for (size_t i = 0; i < map.pictures.size(); ++i) {
        const ScenePicRecord& p = map.pictures[i];
        std::printf("picture %zu: \"%s\" layer %d, %d frames of %d x %d, footprint %d x %d at (%d, %d), draw offset (%d, %d), uses %d, kept %d %d\n",
                    i + 2, p.strName.c_str(), p.nLayer, p.nFrameCount, p.nFrameWidth, p.nFrameHeight, p.nFootprintWidth,
                    p.nFootprintHeight, p.nFootprintOffsetX, p.nFootprintOffsetY, p.nDrawOffsetX, p.nDrawOffsetY,
                    p.nUseCount, p.nKept8, p.nKept9);
    }
    static const char kLists[] = "ABCDEFG";
    for (int list = 0; list < kMapListCount; ++list) {
        std::printf("list %c: %zu objects\n", kLists[list], map.lists[list].size());
        for (size_t i = 0; i < map.lists[list].size(); ++i) {
            const MapObjectRecord& o = map.lists[list][i];
            std::printf("  %c%zu: kind %d id %d picture %d frame %d cell (%d, %d) point (%d, %d) rect (%d, %d, %d, %d) \"%s\"\n",
                        kLists[list], i, o.nKind, o.nId, o.nPicture, o.nFrame, o.nCellX, o.nCellY, o.nPointX, o.nPointY,
                        o.nLeft, o.nTop, o.nRight, o.nBottom, Name(o.szName).c_str());
        }
    }
    int nWalls = 0;
    for (const SceneCell& c : map.cells) nWalls += c.nWall == 1;
    std::printf("walls: %d cells\n", nWalls);
    for (int y = 0; y < scene.nGridHeight; ++y)
        for (int x = 0; x < scene.nGridWidth; ++x)
            if (map.cells[size_t(x + scene.nGridWidth * y)].nWall == 1) std::printf("  wall (%d, %d)\n", x, y);
    if (!pSetting) {
        std::printf("setting: none\n");
        return;
    }
    std::printf("start: (%d, %d)\n", pSetting->nStartX, pSetting->nStartY);
    for (size_t r = 0; r < pSetting->regions.size(); ++r) {
        const RegionRecord& region = pSetting->regions[r];
        int nCells = 0;
        for (std::int32_t n : pSetting->regionIndex) nCells += n == int(r);
        if (region.nEventCount == 0 && nCells == 0) continue;
        std::printf("region %zu: %d cells, events", r, nCells);
        for (int k = 0; k < region.nEventCount; ++k) std::printf(" %d", region.nEvents[k]);
        std::printf("\n");
    }
    std::printf("characters: %zu records, %d built\n", pSetting->npcs.size(), scene.GetNpcCount());
    for (int i = 0; i < scene.GetNpcCount(); ++i) {
        const CNpc& npc = *scene.GetNpc(i);
        const NpcStateRecord& st = *npc.pState;
        std::printf("  character %d: id %d class %d row %d sculpt %d cell (%d, %d) action %d frames %d events",
                    i, npc.mapObject.nId, npc.nClass, npc.nEnemyRow, npc.nSculpt, int(npc.mapObject.ptCellPos.x),
                    int(npc.mapObject.ptCellPos.y), npc.nAction, npc.nFrameCounts[0]);
        for (int e : npc.nEvents)
            if (e >= 0) std::printf(" %d", e);
        std::printf(" wander %d loot %d %d %d %d money %d revive %d\n", npc.nWanderRadius, npc.nLoot[0], npc.nLoot[1],
                    npc.nLoot[2], npc.nLoot[3], npc.nLootMoney, npc.bRevive);
        std::printf("    state: point (%d, %d) life %d direction %d display %d\n", st.nMapX, st.nMapY, st.nLife,
                    st.nDirection, st.nDisplay);
    }
    std::printf("ground items: %d slots used\n", scene.nGroundItemCount);
    for (int i = 0; i < scene.nGroundItemCount; ++i)
        if (const CGroundItem* pItem = scene.GetGroundItem(i))
            std::printf("  slot %d: item %d count %d cell %d point (%d, %d)\n", i, pItem->nItem, pItem->nCount,
                        pItem->nCellIndex, int(pItem->ptCell.x), int(pItem->ptCell.y));
}

struct Drop {
    int nItem = 0, x = 0, y = 0, nCount = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: mapview DIR SCENE out.png [--view X,Y | --full] [--dump] [--drop ITEM,X,Y[,COUNT]]\n");
        return 2;
    }
    // It draws into a picture file: no window, and no display is probed.
    setenv("GAME_HEADLESS", "1", 1);
    const int nScene = std::atoi(argv[2]);
    // The folder and the picture are named from where the tool starts; the loaders below
    // change into the game folder, so both are made absolute first.
    std::error_code ec;
    const std::string strFolder = std::filesystem::absolute(argv[1], ec).string();
    const std::string strOut = std::filesystem::absolute(argv[3], ec).string();
    const char* pszOut = strOut.c_str();
    bool bFull = false, bDump = false;
    int nViewX = 0, nViewY = 0;
    std::vector<Drop> drops;
    for (int i = 4; i < argc; ++i) {
        Drop d;
        if (std::strcmp(argv[i], "--drop") == 0 && i + 1 < argc &&
            std::sscanf(argv[i + 1], "%d,%d,%d,%d", &d.nItem, &d.x, &d.y, &d.nCount) >= 3) {
            drops.push_back(d);
            ++i;
            continue;
        }
        if (std::strcmp(argv[i], "--full") == 0) bFull = true;
        else if (std::strcmp(argv[i], "--dump") == 0) bDump = true;
        else if (std::strcmp(argv[i], "--view") == 0 && i + 1 < argc && std::sscanf(argv[i + 1], "%d,%d", &nViewX, &nViewY) == 2) ++i;
        else {
            std::fprintf(stderr, "mapview: unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    if (ec || !SetCurrentDirectory(strFolder.c_str())) {
        std::fprintf(stderr, "mapview: no folder %s\n", argv[1]);
        return 1;
    }
    CToolHost host;
    host.nScene = nScene;
    SetSceneHost(&host);
    CToolNpcHost npcHost;
    SetNpcHost(&npcHost);
    // The tables name the items and the characters' rows; the packages draw them.
    CGameData data;
    data.InitPaths(strFolder.c_str());
    if (data.ReadTableCache()) pGameData = &data;
    else std::fprintf(stderr, "mapview: no tables: %s\n", data.GetLastError().c_str());
    CDXScreen screen;
    pScreen = &screen;
    auto pStore = std::make_unique<CBitmapData>();
    if (pStore->Init()) pBitmapData = pStore.get();
    else std::fprintf(stderr, "mapview: no picture packages: %s\n", pStore->GetError().c_str());
    auto pEffects = std::make_unique<CEffectManager>();
    pEffectManager = pEffects.get();
    // The loaders make the game folder current in their own way; the files below are
    // read relative to the folder given.
    if (!SetCurrentDirectory(strFolder.c_str())) {
        std::fprintf(stderr, "mapview: no folder %s\n", strFolder.c_str());
        return 1;
    }
    char szName[64];
    std::snprintf(szName, sizeof szName, "map\\scene%03d.map", nScene);
    std::vector<std::uint8_t> bytes;
    std::string why;
    MapFileData map;
    if (!ReadWholeFile(szName, size_t(512) << 20, &bytes, &why) || !ReadMapFile(bytes, szName, &map, &why)) {
        std::fprintf(stderr, "mapview: refused: %s\n", why.c_str());
        return 1;
    }
    auto pSceneObject = std::make_unique<CScene>();
    pScene = pSceneObject.get();
    if (!pScene->BuildFromMap(nScene, map)) {
        std::fprintf(stderr, "mapview: refused: %s\n", pScene->GetLoadError().c_str());
        return 1;
    }
    std::snprintf(szName, sizeof szName, "map\\scene%03d.set", nScene);
    SettingFileData setting;
    bool bSetting = false;
    if (FileExists(szName)) {
        if (!ReadWholeFile(szName, size_t(512) << 20, &bytes, &why) ||
            !ReadSettingFile(bytes, szName, pScene->nGridWidth, pScene->nGridHeight, &setting, &why)) {
            std::fprintf(stderr, "mapview: refused: %s\n", why.c_str());
            return 1;
        }
        bSetting = true;
        pScene->ApplySetting(setting);
        for (const std::string& strWarning : pScene->GetNpcWarnings())
            std::fprintf(stderr, "mapview: %s\n", strWarning.c_str());
    } else {
        std::fprintf(stderr, "mapview: no setting file %s\n", szName);
    }
    for (const Drop& d : drops) pScene->DropItemOnGround(d.nItem, d.x, d.y, d.nCount);
    if (bDump) Dump(map, bSetting ? &setting : nullptr, *pScene);

    if (bFull) {
        host.nWidth = pScene->rcMap.right;
        host.nHeight = pScene->rcMap.bottom;
    } else {
        pScene->ptView = POINT{nViewX, nViewY};
    }
    // The flat draw leaves out the toolbar's strip; the tool shows everything.
    host.nStrip = kToolbarStripHeight;
    auto pBuffer = MakeOffscreen565(screen, host.nWidth, host.nHeight);
    if (!pBuffer) {
        std::fprintf(stderr, "mapview: no %d x %d buffer\n", host.nWidth, host.nHeight);
        return 1;
    }
    pBack = pBuffer.get();
    pBack->Fill(0);
    pScene->Draw();
    FrameImage frame;
    bool bOk = !Failed(pBack->Lock());
    if (bOk) {
        bOk = ConvertPixels(pBack->GetLockedBits(), pBack->GetPitch(), host.nWidth, host.nHeight, 2,
                            MakePixelFormat565(), RECT{0, 0, host.nWidth, host.nHeight}, &frame);
        pBack->Unlock();
    }
    // Surfaces leave the screen's list when deleted, so they go before it.
    pScene = nullptr;
    pSceneObject.reset();
    pEffectManager = nullptr;
    pEffects.reset();
    pBitmapData = nullptr;
    pStore.reset();
    pGameData = nullptr;
    pBack = nullptr;
    pBuffer.reset();
    pScreen = nullptr;
    SetSceneHost(nullptr);
    SetNpcHost(nullptr);
    if (!bOk || !WritePng(frame, pszOut)) {
        std::fprintf(stderr, "mapview: cannot write %s\n", pszOut);
        return 1;
    }
    std::printf("mapview: scene %d drawn to %s (%d x %d)\n", nScene, pszOut, host.nWidth, host.nHeight);
    return 0;
}
