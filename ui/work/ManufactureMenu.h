// The smith's panel: equipment (type 2) the hero may use goes onto the board; a run
// consumes every piece on it and, from two or more, makes one new piece of about their
// average level into the output slot, from which the player takes it.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "ui/work/ProgressBoard.h"

constexpr int kManufactureEntries = 20;
constexpr int kManufactureMaxLevel = 60;

class CManufactureMenu : public CProgressBoard {
public:
    // One draw of the level roll: an unsigned sum; a bump when draw mod 100 is below
    // the input's chance.
    using RollSource = std::function<std::uint32_t()>;

    CManufactureMenu();

    // Type 2 and usable by the current hero.
    static bool IsCandidate(int nItem);
    // Places the piece at a board anchor when its shape fits and an input entry is free;
    // otherwise it stays on the cursor.
    void PlaceItem(int nCell, int nItem);
    // The picked piece into the output slot; nothing when none is picked.
    void MakeResult();
    // The level rule and the pick among every candidate of that level, with the game's
    // generator and clock; -1 when fewer than two inputs or no candidate.
    int PickResult() const;

    // The level of the result for these input levels, each input bumping it by one
    // with its chance (3 % below level 16, 5 % up to 35, 10 % above), at most 60;
    // -1 for fewer than two inputs.
    static int ResultLevel(const std::vector<int>& levels, const RollSource& roll);
    // Every item id the hero could get at that level, in id order.
    static std::vector<int> Candidates(int nLevel);

protected:
    int PlaceCarried(int nCarried, POINT pt) override;
    bool MayStart() override;
    bool StartSounds() const override { return true; }
    void FinishRun() override { MakeResult(); }
};
