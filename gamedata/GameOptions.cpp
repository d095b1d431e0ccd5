#include "gamedata/GameData.h"

#include "platform/Profile.h"

#include <cstring>

namespace {

std::uint8_t ReadFlag(const CProfileFile& file, const char* pSection, const char* pKey, int nDefault) {
    // Only the value 1 sets a flag.
    return file.GetInt(pSection, pKey, nDefault) == 1 ? 1 : 0;
}

// The file's own name, without the folder, for messages.
const char* FileName(const char* pFile) {
    const char* pszName = pFile;
    for (const char* p = pFile; *p; ++p)
        if (*p == '\\' || *p == '/') pszName = p + 1;
    return pszName;
}

// Options that other arithmetic builds on: a value outside its range would overflow the
// screen and scroll rectangles or index past the scene tables, so it is replaced by the
// default and named in a message.
struct OptionRange {
    const char* pszSection;
    const char* pszKey;
    std::int32_t GameOptions::*pField;
    std::int32_t nMin, nMax;
};

const OptionRange kRanges[] = {
    {"Option", "ScreenWidth", &GameOptions::nScreenWidth, 640, 8192},
    {"Option", "ScreenHeight", &GameOptions::nScreenHeight, 480, 8192},
    {"Option", "ScreenBPP", &GameOptions::nScreenBPP, 8, 32},
    {"NewGame", "Scene", &GameOptions::nScene, 0, kSceneCount - 1},
    {"NewGame", "PlayerX", &GameOptions::nPlayerX, 0, 1 << 20},
    {"NewGame", "PlayerY", &GameOptions::nPlayerY, 0, 1 << 20},
    {"NewGame", "PlayerSpeed", &GameOptions::nPlayerSpeed, 0, 1000},
};

void CheckRanges(const char* pFile, GameOptions* pOptions, std::vector<std::string>* pProblems) {
    const GameOptions d;
    for (const OptionRange& r : kRanges) {
        std::int32_t& nValue = pOptions->*r.pField;
        if (nValue >= r.nMin && nValue <= r.nMax) continue;
        if (pProblems)
            pProblems->push_back(std::string(FileName(pFile)) + ": [" + r.pszSection + "] " + r.pszKey + "=" +
                                 std::to_string(nValue) + " is outside " + std::to_string(r.nMin) + ".." +
                                 std::to_string(r.nMax) + "; " + std::to_string(d.*r.pField) + " is used");
        nValue = d.*r.pField;
    }
}

}  // namespace

GameOptions ReadGameOptions(const char* pFile, std::vector<std::string>* pProblems) {
    const GameOptions d;
    // The file is read once for all its keys.
    const CProfileFile file(pFile);
    GameOptions o;
    o.bTerrain = ReadFlag(file, "Option", "Terrain", d.bTerrain);
    o.bFullScreen = ReadFlag(file, "Option", "FullScreen", d.bFullScreen);
    o.nScreenWidth = file.GetInt("Option", "ScreenWidth", d.nScreenWidth);
    o.nScreenHeight = file.GetInt("Option", "ScreenHeight", d.nScreenHeight);
    o.nScreenBPP = file.GetInt("Option", "ScreenBPP", d.nScreenBPP);
    o.nScreenMode = file.GetInt("Option", "ScreenMode", d.nScreenMode);
    o.bCanScroll = ReadFlag(file, "Option", "CanScroll", d.bCanScroll);
    o.nDataFrom = file.GetInt("Option", "DataFrom", d.nDataFrom);
    o.nPlayLeader = file.GetInt("Option", "PlayLeader", d.nPlayLeader);
    o.nShowEventPoint = file.GetInt("Option", "ShowEventPoint", d.nShowEventPoint);
    o.nMusic = file.GetInt("Option", "Music", d.nMusic);
    o.nScene = file.GetInt("NewGame", "Scene", d.nScene);
    o.nPlayerX = file.GetInt("NewGame", "PlayerX", d.nPlayerX);
    o.nPlayerY = file.GetInt("NewGame", "PlayerY", d.nPlayerY);
    o.nPlayerSpeed = file.GetInt("NewGame", "PlayerSpeed", d.nPlayerSpeed);
    o.nPlayerCloth = file.GetInt("NewGame", "PlayerCloth", d.nPlayerCloth);
    o.nPlayerRunSpeed = file.GetInt("NewGame", "PlayerRunSpeed", d.nPlayerRunSpeed);
    o.nCopy = file.GetInt("Option", "Copy", d.nCopy);
    o.nScenepkg = file.GetInt("Option", "Scenepkg", d.nScenepkg);
    CheckRanges(pFile, &o, pProblems);
    return o;
}
