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

// Whether a value is written as a whole number: a sign, then decimal digits only.
bool IsWholeNumber(const std::string& strValue) {
    const size_t nStart = !strValue.empty() && (strValue[0] == '-' || strValue[0] == '+') ? 1 : 0;
    return strValue.size() > nStart && strValue.find_first_not_of("0123456789", nStart) == std::string::npos;
}

// A value that is not a whole number ("800abc", "0x320") is read as the profile reader
// reads every value, by its leading digits, and named as the file writes it; the range
// check below may still replace what those digits give. One too large for 32 bits (which
// would wrap into some other value) is named and the default is used. A missing key
// gives the default without a word; a key written without a value gives it with one.
std::int32_t ReadInt(const CProfileFile& file, const char* pFile, const char* pSection, const char* pKey,
                     std::int32_t nDefault, CMessageList* pProblems) {
    std::string strWritten;
    const bool bFits = file.IntFits(pSection, pKey, &strWritten);
    const std::string strKey = std::string(FileName(pFile)) + ": [" + pSection + "] " + pKey + "=";
    if (strWritten.empty()) {
        if (file.FindValue(pSection, pKey, &strWritten))
            pProblems->Add(strKey + " is empty; " + std::to_string(nDefault) + " is used");
        return nDefault;
    }
    const std::string strNamed = strKey + QuoteText(strWritten);
    if (!bFits) {
        pProblems->Add(strNamed + " is too large for 32 bits; " + std::to_string(nDefault) + " is used");
        return nDefault;
    }
    const std::int32_t nValue = file.GetInt(pSection, pKey, nDefault);
    if (!IsWholeNumber(strWritten))
        pProblems->Add(strNamed + " is not a whole number; its leading digits give " + std::to_string(nValue));
    return nValue;
}

std::uint8_t ReadFlag(const CProfileFile& file, const char* pFile, const char* pSection, const char* pKey,
                      int nDefault, CMessageList* pProblems) {
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

void CheckRanges(const char* pFile, GameOptions* pOptions, CMessageList* pProblems) {
    const GameOptions d;
    for (const OptionRange& r : kRanges) {
        std::int32_t& nValue = pOptions->*r.pField;
        if (nValue >= r.nMin && nValue <= r.nMax) continue;
        pProblems->Add(std::string(FileName(pFile)) + ": [" + r.pszSection + "] " + r.pszKey + "=" +
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

// Names read from the file are quoted: they may be of any length and hold any byte.
void CheckNames(const CProfileFile& file, const char* pFile, CMessageList* pProblems) {
    const std::string strFile = FileName(pFile);
    for (const auto& [strSection, strKey] : file.Entries()) {
        const bool bOption = EqualNoCase(strSection, "Option"), bNewGame = EqualNoCase(strSection, "NewGame");
        const bool bSection = strKey.empty() && !bOption && !bNewGame;
        const bool bOutside = !strKey.empty() && strSection.empty();
        const bool bKey = !strKey.empty() && ((bOption && !IsOneOf(strKey, kOptionKeys)) ||
                                              (bNewGame && !IsOneOf(strKey, kNewGameKeys)));
        if (!bSection && !bOutside && !bKey) continue;
        if (pProblems->Full()) pProblems->Add({});
        else if (bSection)
            pProblems->Add(strFile + ": section " + QuoteText(strSection) +
                           " is not one the game reads (Option, NewGame); its keys are ignored");
        else if (bOutside)
            pProblems->Add(strFile + ": key " + QuoteText(strKey) + " stands before any section; it is ignored");
        else
            pProblems->Add(strFile + ": [" + (bOption ? "Option" : "NewGame") + "] " + QuoteText(strKey) +
                           " is not a key the game reads; it is ignored");
    }
}

}  // namespace

GameOptions ReadGameOptions(const char* pFile, std::vector<std::string>* pProblems) {
    const GameOptions d;
    // The file is read once for all its keys.
    const CProfileFile file(pFile);
    CMessageList problems;
    if (!file.ReadError().empty())
        problems.Add(std::string(FileName(pFile)) + ": " + file.ReadError() + "; every option takes its default");
    GameOptions o;
    o.bTerrain = ReadFlag(file, pFile, "Option", "Terrain", d.bTerrain, &problems);
    o.bFullScreen = ReadFlag(file, pFile, "Option", "FullScreen", d.bFullScreen, &problems);
    o.nScreenWidth = ReadInt(file, pFile, "Option", "ScreenWidth", d.nScreenWidth, &problems);
    o.nScreenHeight = ReadInt(file, pFile, "Option", "ScreenHeight", d.nScreenHeight, &problems);
    o.nScreenBPP = ReadInt(file, pFile, "Option", "ScreenBPP", d.nScreenBPP, &problems);
    o.nScreenMode = ReadInt(file, pFile, "Option", "ScreenMode", d.nScreenMode, &problems);
    o.bCanScroll = ReadFlag(file, pFile, "Option", "CanScroll", d.bCanScroll, &problems);
    o.nDataFrom = ReadInt(file, pFile, "Option", "DataFrom", d.nDataFrom, &problems);
    o.nPlayLeader = ReadInt(file, pFile, "Option", "PlayLeader", d.nPlayLeader, &problems);
    o.nShowEventPoint = ReadInt(file, pFile, "Option", "ShowEventPoint", d.nShowEventPoint, &problems);
    o.nMusic = ReadInt(file, pFile, "Option", "Music", d.nMusic, &problems);
    o.nScene = ReadInt(file, pFile, "NewGame", "Scene", d.nScene, &problems);
    o.nPlayerX = ReadInt(file, pFile, "NewGame", "PlayerX", d.nPlayerX, &problems);
    o.nPlayerY = ReadInt(file, pFile, "NewGame", "PlayerY", d.nPlayerY, &problems);
    o.nPlayerSpeed = ReadInt(file, pFile, "NewGame", "PlayerSpeed", d.nPlayerSpeed, &problems);
    o.nPlayerCloth = ReadInt(file, pFile, "NewGame", "PlayerCloth", d.nPlayerCloth, &problems);
    o.nPlayerRunSpeed = ReadInt(file, pFile, "NewGame", "PlayerRunSpeed", d.nPlayerRunSpeed, &problems);
    o.nCopy = ReadInt(file, pFile, "Option", "Copy", d.nCopy, &problems);
    o.nScenepkg = ReadInt(file, pFile, "Option", "Scenepkg", d.nScenepkg, &problems);
    CheckRanges(pFile, &o, &problems);
    CheckNames(file, pFile, &problems);
    if (pProblems) *pProblems = problems.Lines(FileName(pFile), "problems");
    return o;
}
