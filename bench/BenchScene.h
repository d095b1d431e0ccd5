// The busy scene the scene and weather benchmarks draw: its pictures and packages, a
// 200 x 200 map on either grid with tiles, objects and roofs, and 50 characters on the
// screen (half of them fighters).
#pragma once
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/MapWriters.h"
#include "tools/gamekit/NpcRecordWriter.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "platform/Files.h"
#include "world/Scene.h"

namespace benchscene {

constexpr int kScreenW = 800, kScreenH = 600;
constexpr int kCharacters = 50;

inline PictureRgba Keyed(int w, int h, std::uint32_t c) {
    PictureRgba pic(w, h, Argb(255, 0, 0, 0));
    pic.Fill(w / 8, h / 8, w - w / 4, h - h / 4, c);
    return pic;
}

inline void WritePictures(const std::string& strDir) {
    std::filesystem::create_directories(strDir + "/pic");
    auto save = [&](const char* pszName, const PictureRgba& pic) {
        WriteBytesToFile((strDir + "/pic/" + pszName).c_str(), BuildBmp(pic));
    };
    PictureRgba tile(64, 64, Argb(255, 60, 140, 60));
    tile.At(5, 5) = Argb(255, 0, 0, 0);
    save("tile.bmp", tile);
    save("thing.bmp", Keyed(48, 64, Argb(255, 180, 90, 40)));
    PictureRgba anim(4 * 48, 64, Argb(255, 0, 0, 0));
    for (int f = 0; f < 4; ++f) anim.Fill(f * 48 + 6, 10 + 4 * f, 36, 40, Argb(255, 240, 120 + 30 * f, 20));
    save("anim.bmp", anim);
    save("roof.bmp", Keyed(96, 64, Argb(255, 150, 50, 40)));
    // The packages with two character sculpts of four frames a direction.
    const SamplePictureOptions options{.nItemCount = 1, .nFaceCount = 1, .nSceneCount = 1, .sculpts = {1, 20},
                                       .nActions = 2, .nFramesPerDirection = 4, .nEffects = 1, .nEffectFrames = 1,
                                       .extraEntries = {}};
    std::string strError;
    if (!WriteSamplePictures(strDir, options, &strError)) std::fprintf(stderr, "scene_bench: %s\n", strError.c_str());
}

// 50 characters spread over the screen at the view, every other one a fighter.
inline SettingFileData People(const CScene& scene, POINT ptView) {
    SettingFileData setting;
    for (int i = 0; i < kCharacters; ++i) {
        const POINT pt{ptView.x + 60 + (i % 10) * 70, ptView.y + 120 + (i / 10) * 90};
        const POINT cell = scene.PixelToCell(pt.x, pt.y);
        NpcRecordModel npc;
        npc.nId = i;
        npc.nClass = i % 2 == 0 ? 2 : 0;
        npc.nSculpt = i % 2 == 0 ? 20 : 1;
        npc.nCellX = cell.x;
        npc.nCellY = cell.y;
        npc.events[0] = npc.nClass == 0 ? 10 + i : -1;
        setting.npcs.push_back(BuildNpcRecord(npc));
    }
    return setting;
}

// 200 x 200 cells on either grid; the view sits in the middle of the map.
inline MapFileData BusyMap(int nKind) {
    MapFileData map;
    map.nGridKind = nKind;
    map.nWidth = nKind == 0 ? 200 : 100;
    map.nHeight = nKind == 0 ? 200 : 100;
    map.nCellSize = 32;
    SceneCell open;
    open.nWall = 0;
    map.cells.assign(200 * 200, open);
    for (int i = 0; i < 200 * 200; i += 37) map.cells[size_t(i)].nWall = 1;
    auto picture = [&](const char* pszName, int nFrames, int w, int h) {
        map.pictures.push_back(ScenePicture(pszName, nFrames, w, h));
        return map.PictureCount() - 1;
    };
    const int tile = picture("tile.bmp", 1, 64, 64), thing = picture("thing.bmp", 1, 48, 64),
              anim = picture("anim.bmp", 4, 48, 64), roof = picture("roof.bmp", 1, 96, 64);
    const int nMapW = 6400, nMapH = nKind == 0 ? 6400 : 3200;
    for (int y = 0; y < nMapH; y += 64)
        for (int x = 0; x < nMapW; x += 64) map.lists[kListA].push_back(MapObjectAt(0, 0, tile, x, y, 64, 64));
    const int x0 = 2950, y0 = 1200;
    for (int i = 0; i < 200; ++i) {
        const int x = x0 + (i % 20) * 36, y = y0 + (i / 20) * 48;
        map.lists[kListD].push_back(MapObjectAt(1, i, i % 4 == 0 ? anim : thing, x, y, 48, 64));
    }
    for (int i = 0; i < 30; ++i)
        map.lists[kListC].push_back(MapObjectAt(0, i, roof, x0 + (i % 6) * 130, y0 + (i / 6) * 110, 96, 64));
    return map;
}

}  // namespace benchscene
