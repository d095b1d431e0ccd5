#include "gamedata/GameData.h"

#include "platform/Profile.h"

namespace {

std::uint8_t ReadFlag(const char* pFile, const char* pSection, const char* pKey, int nDefault) {
    // Only the value 1 sets a flag.
    return GetProfileInt(pFile, pSection, pKey, nDefault) == 1 ? 1 : 0;
}

}  // namespace

GameOptions ReadGameOptions(const char* pFile) {
    const GameOptions d;
    GameOptions o;
    o.bTerrain = ReadFlag(pFile, "Option", "Terrain", d.bTerrain);
    o.bFullScreen = ReadFlag(pFile, "Option", "FullScreen", d.bFullScreen);
    o.nScreenWidth = GetProfileInt(pFile, "Option", "ScreenWidth", d.nScreenWidth);
    o.nScreenHeight = GetProfileInt(pFile, "Option", "ScreenHeight", d.nScreenHeight);
    o.nScreenBPP = GetProfileInt(pFile, "Option", "ScreenBPP", d.nScreenBPP);
    o.nScreenMode = GetProfileInt(pFile, "Option", "ScreenMode", d.nScreenMode);
    o.bCanScroll = ReadFlag(pFile, "Option", "CanScroll", d.bCanScroll);
    o.nDataFrom = GetProfileInt(pFile, "Option", "DataFrom", d.nDataFrom);
    o.nPlayLeader = GetProfileInt(pFile, "Option", "PlayLeader", d.nPlayLeader);
    o.nShowEventPoint = GetProfileInt(pFile, "Option", "ShowEventPoint", d.nShowEventPoint);
    o.nMusic = GetProfileInt(pFile, "Option", "Music", d.nMusic);
    o.nScene = GetProfileInt(pFile, "NewGame", "Scene", d.nScene);
    o.nPlayerX = GetProfileInt(pFile, "NewGame", "PlayerX", d.nPlayerX);
    o.nPlayerY = GetProfileInt(pFile, "NewGame", "PlayerY", d.nPlayerY);
    o.nPlayerSpeed = GetProfileInt(pFile, "NewGame", "PlayerSpeed", d.nPlayerSpeed);
    o.nPlayerCloth = GetProfileInt(pFile, "NewGame", "PlayerCloth", d.nPlayerCloth);
    o.nPlayerRunSpeed = GetProfileInt(pFile, "NewGame", "PlayerRunSpeed", d.nPlayerRunSpeed);
    o.nCopy = GetProfileInt(pFile, "Option", "Copy", d.nCopy);
    o.nScenepkg = GetProfileInt(pFile, "Option", "Scenepkg", d.nScenepkg);
    return o;
}
