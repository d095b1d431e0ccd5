// The shell's global objects and clocks, and the pointers to neighbours that other
// subsystems fill. Every subsystem reaches the main window and the cursor through
// these pointers; each pointer is null while its object does not exist.
#pragma once
#include "platform/Base.h"

class CMainFrame;
class CMouse;
class CScene;
class CPlayer;
class CEffectManager;
class CFollower;

extern CMainFrame* pFrame;
extern CMouse* pMouse;

// Time of the current frame (milliseconds of TimeGetTime), set once per pass of every
// loop; the animation step clock follows it when the two are more than 150 ms apart.
extern DWORD dwNowTime;
extern DWORD dwStepTime;
// Character set of every font the game creates (134, GB2312).
extern int nCharSet;
// Set while a modal box runs its own loop; the main window's handlers stand back.
extern int bMsgBoxOpen;
// The character under the cursor, -1 for none.
extern int nHoverNpcId;

// Neighbours owned by the scene subsystem; null until that subsystem creates them.
extern CScene* pScene;
extern CPlayer* pPlayer;
extern CPlayer* pParty[4];
extern CPlayer* pCompanion;
extern CEffectManager* pEffectManager;
// Follower slots of the dormant code; only ever emptied.
extern CFollower* pFollowers[4];

// Makes the game folder current (when the game data knows it). Every loader that
// opens files by relative path calls it first.
void SetGameFolderCurrent();

// Start-up probe: when set, start-up reports each step it takes by a short name.
// Null in the game; tests use it to see the order of the steps.
using StartupProbe = void (*)(const char* pszStep);
extern StartupProbe pfnStartupProbe;
void ProbeStartup(const char* pszStep);

// Frame probe: when set, called once per pass of the main loop after the flip. Null in
// the game; dev tools use it to watch a headless run frame by frame.
using FrameProbe = void (*)();
extern FrameProbe pfnFrameProbe;
// Draw probe: when set, called once per pass just before the flip, so what a dev tool
// draws over the frame is part of every presented frame. Null in the game.
extern FrameProbe pfnDrawProbe;
