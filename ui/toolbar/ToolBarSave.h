// The toolbar's block in a saved game: hero number (when asked for), party behaviour,
// the eight quick slots, the stack slot, four reserved words and the weather number,
// 68 bytes with the hero number and 64 without. Parsing reads and checks the whole
// block without touching the toolbar; applying is a separate step, so a loader can
// check every block of a file before it changes anything.
#pragma once
#include <cstddef>
#include <cstdint>

class CByteReader;
class CByteWriter;
class CGameToolBar;

constexpr std::size_t kToolBarBlockBytes = 64;
constexpr std::size_t kToolBarBlockWithHeroBytes = 68;
constexpr int kToolBarStackMax = 10;
constexpr int kToolBarWeatherMax = 5;

struct ToolBarSaveState {
    std::int32_t nHero = 1;  // 1..4, only in a block with the hero number
    std::int32_t nPartyBehaviour = 0;
    std::int32_t nQuickSlots[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    std::int32_t nStackCount = 0;
    std::int32_t nStackItem = -1;
    std::int32_t nReserved[4] = {-1, -1, -1, -1};
    std::int32_t nWeather = -1;
};

void WriteToolBarState(const ToolBarSaveState& state, bool bWithHero, CByteWriter& out);
// Reads a whole block; false (the reader failed, naming the field) when it runs short
// or a value is out of range: hero 1..4, items -1..99, stack 0..10, weather -1..5, and
// a stack count of 0 exactly when the stack item is -1.
bool ParseToolBarState(CByteReader& in, bool bWithHero, ToolBarSaveState* pState);

// The toolbar's state as the block holds it.
ToolBarSaveState GetToolBarState(const CGameToolBar& bar);
// Takes a parsed block: the fields are set, the fight state is reset (effects, life-loss
// numbers, an armed bomb), every weather overlay and the shake go off and the saved
// weather is switched on.
void ApplyToolBarState(CGameToolBar& bar, const ToolBarSaveState& state, bool bWithHero);

// The block of the toolbar as the save writer calls it.
void SaveToolBarState(const CGameToolBar& bar, CByteWriter& out, bool bWithHero);
// Parses and applies; false with the toolbar untouched when the block is short or bad.
bool LoadToolBarState(CGameToolBar& bar, CByteReader& in, bool bWithHero);

// Switches off every weather overlay and the shake, and switches on weather n (-1 none;
// 0 is the shake).
void ReplaceToolBarWeather(CGameToolBar& bar, int nWeather);
