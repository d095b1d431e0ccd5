// Writers of the scene files "map\sceneNNN.map" and "map\sceneNNN.set" from the same
// records the game's readers fill.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "world/MapFile.h"

// Bytes of a map file; version 0 writes no list B count and no list B or G records.
std::vector<std::uint8_t> BuildMapFile(const MapFileData& map);
// Bytes of a setting file.
std::vector<std::uint8_t> BuildSettingFile(const SettingFileData& setting);
// Writes both files of scene nScene into the game folder's "map" folder (created when
// missing). False with a message naming the file on failure.
bool WriteSceneFiles(const std::string& strFolder, int nScene, const MapFileData& map,
                     const SettingFileData& setting, std::string* pError);

// An object record of w x h map pixels at (x, y), its point at the bottom centre.
MapObjectRecord MapObjectAt(int nKind, int nId, int nPicture, int x, int y, int w, int h, const char* pszName = "");
// A picture record of nFrames frames of w x h on a layer, with a one-cell footprint.
ScenePicRecord ScenePicture(const char* pszName, int nFrames, int w, int h, int nLayer = 0);

// Offsets inside a written map file, for tests that damage one field.
struct MapFileLayout {
    size_t nPictureCount = 0;  // the P word
    size_t nPictures = 0;      // first picture record
    size_t nCells = 0;         // first cell record
    size_t nObjects = 0;       // first object record
};
MapFileLayout MapLayoutOf(const MapFileData& map);
