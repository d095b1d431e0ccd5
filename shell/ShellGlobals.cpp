#include "shell/ShellGlobals.h"

#include "gamedata/GameData.h"
#include "platform/Files.h"

CMainFrame* pFrame = nullptr;
CMouse* pMouse = nullptr;
DWORD dwNowTime = 0;
DWORD dwStepTime = 0;
int nCharSet = 134;
int bMsgBoxOpen = 0;
int nHoverNpcId = -1;

CScene* pScene = nullptr;
CPlayer* pPlayer = nullptr;
CPlayer* pParty[4] = {};
CPlayer* pCompanion = nullptr;
CEffectManager* pEffectManager = nullptr;
CFollower* pFollowers[4] = {};

StartupProbe pfnStartupProbe = nullptr;
FrameProbe pfnFrameProbe = nullptr;
FrameProbe pfnDrawProbe = nullptr;

void SetGameFolderCurrent() {
    if (pGameData && pGameData->szGamePath[0]) SetCurrentDirectory(pGameData->szGamePath);
}

void ProbeStartup(const char* pszStep) {
    if (pfnStartupProbe) pfnStartupProbe(pszStep);
}
