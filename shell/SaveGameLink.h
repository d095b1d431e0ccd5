// The main window's answers to the save and load panels.
#pragma once
#include "ui/panels/SaveSlotList.h"

class CShellSaveSlotHost : public CSaveSlotHost {
public:
    bool SaveGame(int nSlot, std::string* pError) override;
    // Loads, and clears the cursor's click flag so the release that loaded does not
    // walk the hero in the loaded game.
    bool LoadGame(int nSlot, std::string* pError) override;
    bool IsTitleShown() const override;
};

void InstallSaveSlotHost();
void RemoveSaveSlotHost();
