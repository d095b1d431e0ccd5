#include "shell/SaveGameLink.h"

#include <cstdio>

#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"

namespace {
CShellSaveSlotHost s_host;
}  // namespace

bool CShellSaveSlotHost::SaveGame(int nSlot, std::string* pError) {
    if (!pFrame) return false;
    const bool bSaved = pFrame->SaveGame(nSlot, pError);
    if (!bSaved && pError) std::fprintf(stderr, "save: %s\n", pError->c_str());
    return bSaved;
}

bool CShellSaveSlotHost::LoadGame(int nSlot, std::string* pError) {
    if (!pFrame) return false;
    const bool bLoaded = pFrame->LoadGame(nSlot, pError);
    if (!bLoaded && pError) std::fprintf(stderr, "load: %s\n", pError->c_str());
    if (bLoaded && pMouse) pMouse->m_bClick = 0;
    return bLoaded;
}

bool CShellSaveSlotHost::IsTitleShown() const {
    return pFrame && pFrame->m_pMenuManager && pFrame->m_pMenuManager->m_pMainMenu;
}

void InstallSaveSlotHost() { SetSaveSlotHost(&s_host); }
void RemoveSaveSlotHost() { SetSaveSlotHost(nullptr); }
