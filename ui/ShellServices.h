// What the title menu, the talk bars, the party strip and the modal boxes ask of their
// neighbours: the main window, the cursor object and the game-mode object (what they ask
// of the toolbar and its panels goes through the panel link, shell/FrameLinks.h). The
// shell installs one implementation at start-up through pUiShell; tests install a fake.
// Every default is the neutral answer of a neighbour that is not there (no music), so a
// screen keeps working without it. The shell's plain
// globals (dwNowTime, bMsgBoxOpen, pScene, nCharSet) are read directly.
#pragma once
#include "platform/Base.h"
#include "shell/ShellGlobals.h"

class CMainMenu;

class CUiShell {
public:
    virtual ~CUiShell() = default;

    // The cursor object (pMouse): position in client pixels, click byte, exit-box state.
    virtual POINT GetMousePos() { return POINT{}; }
    virtual bool IsMouseClickHeld() { return false; }
    virtual void DrawMouse() {}
    virtual void SetExitBoxState(int /*nState*/) {}

    // The main window (pFrame).
    virtual void DrawMapLayer() {}
    virtual int GetScreenWidth() { return 800; }
    virtual int GetScreenHeight() { return 600; }
    virtual DWORD GetSurfaceMemory() { return 1; }
    virtual void QuitGame() {}
    // The main window's running flag; a modal box stops waiting once it is cleared
    // (a window-manager close while the box is open).
    virtual bool IsGameRunning() { return true; }
    virtual void NewGame() {}
    virtual void ShowCredits() {}
    virtual void PauseMusic() {}
    virtual void PollScriptWait() {}
    virtual void StartEvent(int /*nEvent*/) {}
    virtual void RemovePartyMember(int /*nMember*/) {}
    // The choice talk's state in the main window.
    virtual int GetAnswerRequired() { return 0; }
    virtual void SetAnswerRequired(int /*nValue*/) {}
    virtual bool IsPartyChoice() { return false; }
    virtual void SetPartyChoice(bool /*bSet*/) {}
    virtual void SetScriptStep(bool /*bSet*/) {}
    virtual int GetPartyCount() { return 1; }
    virtual int GetPartyMemberId(int /*nSlot*/) { return -1; }
    virtual void SetPartyMemberId(int /*nSlot*/, int /*nId*/) {}
    // The main window's music and sound-effect volumes (0..100), which the main loop
    // and the sound-effect table apply.
    virtual int GetMusicVolume() { return 50; }
    virtual void SetMusicVolume(int /*nVolume*/) {}
    virtual int GetSoundVolume() { return 90; }
    virtual void SetSoundVolume(int /*nVolume*/) {}

    // The game-mode object (CMenuManager).
    virtual CMainMenu* GetTitleMenu() { return nullptr; }
    virtual void OnExitConfirmed() {}
};

// Never null: a neutral implementation stands until the shell installs its own.
CUiShell* UiShell();
// Installs an implementation (null restores the neutral one); the caller keeps ownership.
void SetUiShell(CUiShell* pShell);
