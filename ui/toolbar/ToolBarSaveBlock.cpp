// Reading and writing the toolbar's save block; nothing here touches the toolbar.
#include <cstdio>

#include "platform/Stream.h"
#include "ui/toolbar/ToolBarSave.h"

namespace {

// The offset of the word just read.
std::size_t LastWord(const CByteReader& in) { return in.Position() - sizeof(std::int32_t); }

// Checks the word just read.
bool InRange(CByteReader& in, std::int32_t n, int nLow, int nHigh, const char* pszField) {
    if (n >= nLow && n <= nHigh) return true;
    char szWhat[128];
    std::snprintf(szWhat, sizeof szWhat, "%s %d at offset %zu is outside %d..%d", pszField, int(n), LastWord(in), nLow,
                  nHigh);
    return in.Fail(szWhat);
}

}  // namespace

void WriteToolBarState(const ToolBarSaveState& state, bool bWithHero, CByteWriter& out) {
    if (bWithHero) out.WriteI32(state.nHero);
    out.WriteI32(state.nPartyBehaviour);
    for (std::int32_t n : state.nQuickSlots) out.WriteI32(n);
    out.WriteI32(state.nStackCount);
    out.WriteI32(state.nStackItem);
    for (std::int32_t n : state.nReserved) out.WriteI32(n);
    out.WriteI32(state.nWeather);
}

bool ParseToolBarState(CByteReader& in, bool bWithHero, ToolBarSaveState* pState) {
    ToolBarSaveState s;
    in.SetContext("toolbar block");
    if (!in.CheckCount(1, bWithHero ? kToolBarBlockWithHeroBytes : kToolBarBlockBytes, "toolbar block")) return false;
    if (bWithHero && (!in.ReadI32(&s.nHero) || !InRange(in, s.nHero, 1, 4, "hero number"))) return false;
    in.ReadI32(&s.nPartyBehaviour);
    for (int i = 0; i < 8; ++i) {
        in.SetRecord(i);
        if (!in.ReadI32(&s.nQuickSlots[i]) || !InRange(in, s.nQuickSlots[i], -1, 99, "quick slot item")) return false;
    }
    in.SetRecord(-1);
    if (!in.ReadI32(&s.nStackCount) || !InRange(in, s.nStackCount, 0, kToolBarStackMax, "stack count")) return false;
    if (!in.ReadI32(&s.nStackItem) || !InRange(in, s.nStackItem, -1, 99, "stack item")) return false;
    // An empty stack holds no item and a held item has units: anything else would hand
    // out units of an item (or of none) that were never stacked.
    if ((s.nStackCount == 0) != (s.nStackItem == -1)) {
        char szWhat[160];
        std::snprintf(szWhat, sizeof szWhat, "stack count %d at offset %zu with stack item %d at offset %zu",
                      int(s.nStackCount), LastWord(in) - 4, int(s.nStackItem), LastWord(in));
        return in.Fail(szWhat);
    }
    for (std::int32_t& n : s.nReserved) in.ReadI32(&n);
    if (!in.ReadI32(&s.nWeather) || !InRange(in, s.nWeather, -1, kToolBarWeatherMax, "weather")) return false;
    *pState = s;
    return true;
}
