#include "shell/ScriptOperands.h"

#include <climits>
#include <cstdint>

#include "gamedata/GameData.h"
#include "gamedata/ScriptData.h"
#include "gamedata/ScriptNames.h"
#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"
#include "world/EffectManager.h"
#include "world/MapFile.h"
#include "world/Player.h"

namespace {

// How an operand's range is found: fixed bounds, or the texts of the current scene
// (counted from 0, or from 1 as commands 42 and 81 count them).
enum class Bound { Fixed, SceneText, SceneText1 };

struct OperandRule {
    const char* pszName = nullptr;  // null: the operand is not checked
    std::int64_t nMin = 0, nMax = 0;
    Bound bound = Bound::Fixed;
};

constexpr std::int64_t kPosMin = -std::int64_t(kMapPositionMargin);
constexpr std::int64_t kPosMax = std::int64_t(kMapPixelLimit) + kMapPositionMargin;
// A transition or a text step longer than a minute, or a countdown longer than a day,
// is no game's.
constexpr std::int64_t kMinuteMs = 60000, kDaySeconds = 86400;
// A damage larger than this is no game's (and its negation stays inside 32 bits); the
// sums of money, life, mana, counters, attack and defence saturate instead.
constexpr std::int64_t kAmount = 100000000;

constexpr OperandRule Any() { return {}; }
constexpr OperandRule Range(const char* psz, std::int64_t nMin, std::int64_t nMax) { return {psz, nMin, nMax}; }
constexpr OperandRule Pos(const char* psz) { return {psz, kPosMin, kPosMax}; }
constexpr OperandRule Scene(const char* psz) { return {psz, 0, kStateScenes - 1}; }
constexpr OperandRule SceneOrNone(const char* psz) { return {psz, -1, kStateScenes - 1}; }
constexpr OperandRule Event(const char* psz) { return {psz, 0, kStateEntries - 1}; }
constexpr OperandRule EventOrNone(const char* psz) { return {psz, -1, kStateEntries - 1}; }
constexpr OperandRule Item(const char* psz) { return {psz, 0, kHeroItemCount - 1}; }
constexpr OperandRule Amount(const char* psz) { return {psz, -kAmount, kAmount}; }
constexpr OperandRule Text(const char* psz) { return {psz, 0, 0, Bound::SceneText}; }
constexpr OperandRule Text1(const char* psz) { return {psz, 0, 0, Bound::SceneText1}; }
// Character ids and indices of a scene: a setting file holds fewer than this.
constexpr OperandRule Npc(const char* psz) { return {psz, -1, 99999}; }

struct CommandRow {
    int nCommand;
    OperandRule a[6];
    bool bEndsEvent = false;
};

// Every command that reads an operand the game computes with, indexes by or waits
// on; a command without a row reads no operand that needs a check (its own tests and
// clamps, as the direction's remainder of 7, the view's raise of 20 or the saturating
// sums of 9 to 12 and 54 to 58, take any value).
const CommandRow kRows[] = {
    {1, {Any(), Pos("hero x"), Pos("hero y"), Range("transition", INT_MIN, 9), Range("transition time", INT_MIN, kMinuteMs), Any()}},
    {2, {Npc("character"), Pos("x"), Pos("y")}},
    {3, {Npc("character"), Pos("x"), Pos("y")}},
    {4, {Range("speaker", -1, 40000), Text("text")}},
    {5, {Range("character", 0, kStateEntries - 1), SceneOrNone("scene")}},
    {6, {Range("character", 0, kStateEntries - 1), SceneOrNone("scene")}},
    {8, {Pos("x"), Pos("y")}},
    {13, {Item("item")}},
    {14, {Pos("x"), Pos("y")}},
    {15, {Range("member", 0, 3)}},
    {16, {Any(), Any(), Range("member", 1, 4)}},
    {19, {Item("item")}},
    {22, {Range("level", 0, kHeroMaxLevel)}},
    {24, {Range("track", 0, 99)}},
    {25, {Range("movie", 0, 3)}},
    {30, {Scene("scene"), Event("event")}},
    {31, {Range("shop", 1, 16)}},
    {32, {Npc("character"), Range("direction", 0, 7)}},
    {33, {Range("background", -99, 99), Range("enemy", -2, 300), Range("enemy", -2, 300), Range("enemy", -2, 300)}, true},
    {34, {Range("member", 1, 10)}},
    {35, {Range("member", 1, 4)}},
    {36, {Range("member slot", 0, 3), Range("skill", 0, kHeroSkillCount - 1)}},
    {37, {Range("member", 0, 3), Range("level", 0, kHeroMaxLevel)}},
    {38, {Range("task", 0, 99)}},
    {39, {Range("task", 0, 99)}},
    {41, {Range("ending", INT_MIN, 999)}},
    {42, {Range("speaker", -1, 40000), Text1("text"), EventOrNone("answer 1"), EventOrNone("answer 2"), EventOrNone("answer 3")}},
    {46, {Range("picture", 0, 99)}},
    {50, {Range("sculpt index", 0, 3)}},
    {51, {Any(), Range("action", 0, kHeroActionCount - 1)}},
    {56, {Event("event"), Event("event")}},
    {59, {Event("event"), Event("event")}},
    {60, {Range("caption", 0, 99999)}},
    {61, {Any(), Amount("amount")}},
    {62, {Any(), EventOrNone("event"), EventOrNone("event")}},
    {64, {Pos("x"), Pos("y"), Range("action", 0, kHeroActionCount - 1)}},
    {67, {Range("item", 1, kHeroItemCount), EventOrNone("event")}},
    {68, {Range("seconds", 0, kDaySeconds)}},
    {69, {EventOrNone("event")}},
    {71, {Npc("character"), Pos("x"), Pos("y")}},
    {72, {Pos("x"), Pos("y")}},
    {73, {EventOrNone("event")}},
    {75, {Any(), Pos("x"), Pos("y"), Any()}},
    {76, {Range("slot", 0, 3), Npc("character"), Any()}},
    {77, {Range("slot", 0, 3)}},
    {78, {Any(), EventOrNone("event")}},
    {81, {Range("caption", 1, 99999)}},
    {86, {Range("action", 0, kHeroActionCount - 1), Range("direction", INT_MIN, 7)}},
    {88, {Range("direction", INT_MIN, 7)}},
    {91, {Range("caption", 0, 99999), Range("step time", INT_MIN, kMinuteMs)}},
    {94, {Range("mode", 0, 1), Range("file", 0, 9), SceneOrNone("scene"), Any()}},
    {98, {SceneOrNone("scene"), EventOrNone("event")}},
    {102, {Npc("character"), Pos("x"), Pos("y")}},
    {110, {Npc("character index"), Any()}},
    {112, {SceneOrNone("scene"), EventOrNone("event")}},
    {113, {Range("mode", 0, 1), Event("event"), Range("first", -1, 99999), Range("last", -1, 99999), Range("index", -1, 99999), Range("index", -1, 99999)}},
};

const CommandRow* FindRow(int nCommand) {
    for (const CommandRow& row : kRows)
        if (row.nCommand == nCommand) return &row;
    return nullptr;
}

// The bounds of a rule that follows the current scene's texts; false when no script
// data is loaded to measure them by.
bool Bounds(const OperandRule& rule, std::int64_t* pMin, std::int64_t* pMax) {
    *pMin = rule.nMin;
    *pMax = rule.nMax;
    if (rule.bound == Bound::Fixed) return true;
    const CScriptData* pData = pGameData ? pGameData->pScriptData : nullptr;
    if (!pData || !pFrame) return false;
    const int nFirst = rule.bound == Bound::SceneText1 ? 1 : 0;
    *pMin = nFirst;
    *pMax = std::int64_t(pData->GetTextCount(pFrame->m_nCurrentScene)) - 1 + nFirst;
    return true;
}

}  // namespace

std::string CheckScriptOperands(const ScriptCommand& command, int nRow) {
    const CommandRow* pRow = FindRow(nRow);
    if (!pRow) return {};
    const std::int32_t values[6] = {command.a1, command.a2, command.a3, command.a4, command.a5, command.a6};
    for (int i = 0; i < 6; ++i) {
        const OperandRule& rule = pRow->a[i];
        std::int64_t nMin = 0, nMax = 0;
        if (!rule.pszName || !Bounds(rule, &nMin, &nMax)) continue;
        // Command 1's short forms pass their defaults in place of a negative transition.
        if (nRow == 1 && i >= 3 && values[3] < 0) continue;
        if (values[i] >= nMin && values[i] <= nMax) continue;
        std::string strWhy = "command " + std::to_string(command.nCommand) + " (" + ScriptCommandName(command.nCommand) + ")";
        if (nRow != command.nCommand)
            strWhy += " read by command " + std::to_string(nRow) + " (" + ScriptCommandName(nRow) + ")";
        strWhy += ": operand a" + std::to_string(i + 1) + " " + rule.pszName + " " + std::to_string(values[i]) +
                  " is outside ";
        strWhy += nMin > nMax ? "the scene's texts (it has none)"
                              : std::to_string(nMin) + ".." + std::to_string(nMax);
        return strWhy;
    }
    return {};
}

std::string ScriptRefusalLine(const ScriptPlace& place, const ScriptCommand& command, int nRow,
                              const std::string& strWhy) {
    const char* pszThen = nRow != command.nCommand ? "; it is passed over"
                          : RefusalEndsEvent(nRow) ? "; the step is refused and its event ends"
                                                   : "; the step is skipped";
    return "script.dat: scene " + std::to_string(place.nScene) + ", event " + std::to_string(place.nEvent) +
           ", step " + std::to_string(place.nStep) + ": " + strWhy + pszThen;
}

bool RefusalEndsEvent(int nCommand) {
    const CommandRow* pRow = FindRow(nCommand);
    return pRow && pRow->bEndsEvent;
}
