#include "gamedata/GameData.h"

#include "platform/Profile.h"
#include "platform/Strings.h"

#include <cstring>

namespace {

// The file's own name, without the folder, for messages.
const char* FileName(const char* pFile) {
    const char* pszName = pFile;
    for (const char* p = pFile; *p; ++p)
        if (*p == '\\' || *p == '/') pszName = p + 1;
    return pszName;
}

// A number too large for 32 bits would wrap into some other value: it is named as the
// file writes it, and the default is used.
std::int32_t ReadInt(const CProfileFile& file, const char* pFile, const char* pSection, const char* pKey,
                     std::int32_t nDefault, std::vector<std::string>* pProblems) {
    std::string strWritten;
    if (file.IntFits(pSection, pKey, &strWritten)) return file.GetInt(pSection, pKey, nDefault);
    if (pProblems)
        pProblems->push_back(std::string(FileName(pFile)) + ": [" + pSection + "] " + pKey + "=" + strWritten +
                             " is too large for 32 bits; " + std::to_string(nDefault) + " is used");
    return nDefault;
}

std::uint8_t ReadFlag(const CProfileFile& file, const char* pFile, const char* pSection, const char* pKey,
                      int nDefault, std::vector<std::string>* pProblems) {
    // Only the value 1 sets a flag.
    return ReadInt(file, pFile, pSection, pKey, nDefault, pProblems) == 1 ? 1 : 0;
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

// The keys the game reads, by section: any other is named, since a misspelt key would
// otherwise fall back to its default without a word.
const char* const kOptionKeys[] = {"Terrain", "FullScreen", "ScreenWidth", "ScreenHeight", "ScreenBPP",
                                   "ScreenMode", "CanScroll", "DataFrom", "PlayLeader", "ShowEventPoint",
                                   "Music", "Copy", "Scenepkg"};
const char* const kNewGameKeys[] = {"Scene", "PlayerX", "PlayerY", "PlayerSpeed", "PlayerCloth", "PlayerRunSpeed"};

template <size_t N>
bool IsOneOf(const std::string& strName, const char* const (&names)[N]) {
    for (const char* pszName : names)
        if (EqualNoCase(strName, pszName)) return true;
    return false;
}

void CheckNames(const CProfileFile& file, const char* pFile, std::vector<std::string>* pProblems) {
    if (!pProblems) return;
    const std::string strFile = FileName(pFile);
    for (const auto& [strSection, strKey] : file.Entries()) {
        const bool bOption = EqualNoCase(strSection, "Option"), bNewGame = EqualNoCase(strSection, "NewGame");
        if (strKey.empty()) {
            if (!bOption && !bNewGame)
                pProblems->push_back(strFile + ": section [" + strSection +
                                     "] is not one the game reads (Option, NewGame); its keys are ignored");
        } else if (strSection.empty()) {
            pProblems->push_back(strFile + ": key " + strKey + " stands before any section; it is ignored");
        } else if ((bOption && !IsOneOf(strKey, kOptionKeys)) || (bNewGame && !IsOneOf(strKey, kNewGameKeys))) {
            pProblems->push_back(strFile + ": [" + strSection + "] " + strKey +
                                 " is not a key the game reads; it is ignored");
        }
    }
}

}  // namespace

GameOptions ReadGameOptions(const char* pFile, std::vector<std::string>* pProblems) {
    const GameOptions d;
    // The file is read once for all its keys.
    const CProfileFile file(pFile);
    GameOptions o;
    o.bTerrain = ReadFlag(file, pFile, "Option", "Terrain", d.bTerrain, pProblems);
    o.bFullScreen = ReadFlag(file, pFile, "Option", "FullScreen", d.bFullScreen, pProblems);
    o.nScreenWidth = ReadInt(file, pFile, "Option", "ScreenWidth", d.nScreenWidth, pProblems);
    o.nScreenHeight = ReadInt(file, pFile, "Option", "ScreenHeight", d.nScreenHeight, pProblems);
    o.nScreenBPP = ReadInt(file, pFile, "Option", "ScreenBPP", d.nScreenBPP, pProblems);
    o.nScreenMode = ReadInt(file, pFile, "Option", "ScreenMode", d.nScreenMode, pProblems);
    o.bCanScroll = ReadFlag(file, pFile, "Option", "CanScroll", d.bCanScroll, pProblems);
    o.nDataFrom = ReadInt(file, pFile, "Option", "DataFrom", d.nDataFrom, pProblems);
    o.nPlayLeader = ReadInt(file, pFile, "Option", "PlayLeader", d.nPlayLeader, pProblems);
    o.nShowEventPoint = ReadInt(file, pFile, "Option", "ShowEventPoint", d.nShowEventPoint, pProblems);
    o.nMusic = ReadInt(file, pFile, "Option", "Music", d.nMusic, pProblems);
    o.nScene = ReadInt(file, pFile, "NewGame", "Scene", d.nScene, pProblems);
    o.nPlayerX = ReadInt(file, pFile, "NewGame", "PlayerX", d.nPlayerX, pProblems);
    o.nPlayerY = ReadInt(file, pFile, "NewGame", "PlayerY", d.nPlayerY, pProblems);
    o.nPlayerSpeed = ReadInt(file, pFile, "NewGame", "PlayerSpeed", d.nPlayerSpeed, pProblems);
    o.nPlayerCloth = ReadInt(file, pFile, "NewGame", "PlayerCloth", d.nPlayerCloth, pProblems);
    o.nPlayerRunSpeed = ReadInt(file, pFile, "NewGame", "PlayerRunSpeed", d.nPlayerRunSpeed, pProblems);
    o.nCopy = ReadInt(file, pFile, "Option", "Copy", d.nCopy, pProblems);
    o.nScenepkg = ReadInt(file, pFile, "Option", "Scenepkg", d.nScenepkg, pProblems);
    CheckNames(file, pFile, pProblems);
    CheckRanges(pFile, &o, pProblems);
    return o;
}
