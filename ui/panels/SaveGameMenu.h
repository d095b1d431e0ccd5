// The save panel at (40, 10): the save-slot list mirrored (thumbnail on the left), a
// frame picture, and a save button that asks before it overwrites a save.
#pragma once
#include <memory>

#include "ui/panels/SaveSlotList.h"

class CSaveGameMenu : public CSaveSlotPanel {
public:
    CSaveGameMenu();
    ~CSaveGameMenu() override;

    // Saves into the slot and reads its row again; a failed save shows a notice and
    // keeps the row as it was. True when saved.
    bool SaveToSlot(int nSlot);

protected:
    // Saves (asking first over a present save), then asks the host to close every
    // panel whatever the answer.
    int OnOk(int nSlot) override;
    void DrawExtra() override;

private:
    CDXSurface* m_pFrame = nullptr;
};
