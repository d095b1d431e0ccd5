#include "ui/work/ManufactureMenu.h"

#include <algorithm>

#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "ui/panels/GamePanel.h"
#include "ui/work/WorkItems.h"
#include "world/Player.h"

namespace {

constexpr int kEquipmentType = 2;

int ChanceOf(int nLevel) { return nLevel < 16 ? 3 : nLevel <= 35 ? 5 : 10; }

}  // namespace

CManufactureMenu::CManufactureMenu() : CProgressBoard("MenuManufacture.bmp", kManufactureEntries) {}

bool CManufactureMenu::IsCandidate(int nItem) {
    const ItemRow* pRow = WorkItemRow(nItem);
    return pRow && pRow->nType == kEquipmentType && HeroMayUse(nItem);
}

int CManufactureMenu::PlaceCarried(int nCarried, POINT pt) {
    const int nCell = Grid().CellAt(pt);
    if (nCell < 0) return 0;
    if (IsCandidate(nCarried)) PlaceItem(nCell, nCarried);
    return 1;
}

void CManufactureMenu::PlaceItem(int nCell, int nItem) { PlaceOnBoard(nCell, nItem); }

bool CManufactureMenu::MayStart() {
    if (!BoardHoldsItem()) {
        ShowPutInNotice();
        return false;
    }
    // A piece made earlier would be overwritten: it must be taken out first.
    if (SlotItem() >= 0) {
        PlayPanelClick();
        return false;
    }
    return true;
}

void CManufactureMenu::MakeResult() {
    const int nItem = PickResult();
    if (nItem >= 0) SetSlot(nItem);
}

int CManufactureMenu::ResultLevel(const std::vector<int>& levels, const RollSource& roll) {
    if (levels.size() < 2) return -1;
    std::int64_t nSum = 0;
    for (int nLevel : levels) nSum += nLevel;
    std::int64_t nResult = nSum / std::int64_t(levels.size());
    for (int nLevel : levels)
        if (roll() % 100u < std::uint32_t(ChanceOf(nLevel))) ++nResult;
    return int(nResult > kManufactureMaxLevel ? kManufactureMaxLevel : nResult);
}

std::vector<int> CManufactureMenu::Candidates(int nLevel) {
    std::vector<int> candidates;
    const int nCount = pGameData ? std::min(pGameData->nItemCount, kHeroItemCount) : 0;
    for (int n = 0; n < nCount; ++n)
        if (IsCandidate(n) && WorkItemRow(n)->nLevel == nLevel) candidates.push_back(n);
    return candidates;
}

int CManufactureMenu::PickResult() const {
    std::vector<int> levels;
    for (int nItem : Entries())
        if (const ItemRow* pRow = WorkItemRow(nItem)) levels.push_back(pRow->nLevel);
    // Summed unsigned: a signed sum overflows once the clock passes 2^31 ms.
    const int nLevel = ResultLevel(levels, [] { return std::uint32_t(TimeGetTime()) + std::uint32_t(Rand()); });
    if (nLevel < 0) return -1;
    const std::vector<int> candidates = Candidates(nLevel);
    if (candidates.empty()) return -1;
    Srand(unsigned(TimeGetTime()));
    return candidates[size_t(Rand()) % candidates.size()];
}
