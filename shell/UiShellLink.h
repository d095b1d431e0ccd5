// The shell's answers to what the menu screens and modal boxes ask of the main window,
// the cursor and the game-mode object.
#pragma once
#include "gamedata/NpcPkg.h"
#include "ui/ShellServices.h"

class CShellUiLink : public CUiShell {
public:
    POINT GetMousePos() override;
    bool IsMouseClickHeld() override;
    void DrawMouse() override;
    void SetExitBoxState(int nState) override;
    void DrawMapLayer() override;
    int GetScreenWidth() override;
    int GetScreenHeight() override;
    DWORD GetSurfaceMemory() override;
    void QuitGame() override;
    bool IsGameRunning() override;
    void NewGame() override;
    void ShowCredits() override;
    void PauseMusic() override;
    void PollScriptWait() override;
    void StartEvent(int nEvent) override;
    void RemovePartyMember(int nMember) override;
    int GetAnswerRequired() override;
    void SetAnswerRequired(int nValue) override;
    bool IsPartyChoice() override;
    void SetPartyChoice(bool bSet) override;
    void SetScriptStep(bool bSet) override;
    int GetPartyCount() override;
    int GetPartyMemberId(int nSlot) override;
    void SetPartyMemberId(int nSlot, int nId) override;
    int GetMusicVolume() override;
    void SetMusicVolume(int nVolume) override;
    int GetSoundVolume() override;
    void SetSoundVolume(int nVolume) override;
    CMainMenu* GetTitleMenu() override;
    void OnExitConfirmed() override;
};

// What the picture store and the sprite package ask of the main window: the surface
// memory choice, the scene's hovered actor and the hero's hot-key skills. Sculpt
// anchors keep their defaults.
class CShellPictureHost : public CPictureHost {
public:
    DWORD GetSurfaceMemory() const override;
    int GetHoverActorId() const override;
    // The skill on hot key k of the controlled hero; -1 without a hero.
    int GetHotKeySkill(int nKey) const override;
};

// Installs the shell's picture host and the cursor position the TGA hit test reads.
void InstallShellPictureLinks();
void RemoveShellPictureLinks();
