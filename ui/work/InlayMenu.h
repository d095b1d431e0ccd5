// The inlay master's panel: one piece of equipment (type 2) the hero may use in the base
// slot and gems (type 8) on the board. A run consumes the gems and adds their attack,
// defence and celerity to the hero's bonus record of the base item, which takes effect
// when the hero next wears it. The base item stays in its slot until taken out.
#pragma once
#include "ui/work/ProgressBoard.h"

constexpr int kInlayEntries = 88;

class CInlayMenu : public CProgressBoard {
public:
    CInlayMenu();

    // Places a gem at a board anchor when its shape fits there; otherwise (and for a
    // shape the board does not know) it stays on the cursor.
    void PlaceGem(int nCell, int nItem);
    // The carried item into the empty base slot when the hero may use it; an occupied
    // slot or an item the hero cannot use leaves it on the cursor.
    void SetBase();
    // Adds the placed gems' values to the base item's bonus record and marks it recorded.
    void Apply();

protected:
    int PlaceCarried(int nCarried, POINT pt) override;
    bool MayStart() override;
    void FinishRun() override { Apply(); }
};
