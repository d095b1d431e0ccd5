// What the toolbar and its panels ask of their neighbours: the cursor object, the main
// window (event, game mode, scene number, quit, walking the hero), the work-panel host,
// the scene (target character, ground items) and the hero's skill calls, plus the modal
// boxes and sounds. The shell installs its own host; tests install fakes. The default
// host answers as a game without those neighbours would: no event, mode 0, nothing
// carried, no work panel, no target.
#pragma once
#include "platform/Base.h"

class CPlayer;

// The targeted character as the target bar draws it.
struct TargetBarInfo {
    bool bMonster = false;
    int nLife = 0;
    int nLifeMax = 0;
    const char* pszName = nullptr;  // null or empty: no name
};

class CToolBarHost {
public:
    virtual ~CToolBarHost() = default;

    // The cursor object: position in client pixels and the carried item (-1 none).
    virtual POINT GetMousePos() const { return POINT{}; }
    virtual int GetCarriedItem() const { return -1; }
    virtual void SetCarriedItem(int nItem) { (void)nItem; }
    // True when the left button was pressed since the last ask or is down now.
    virtual bool PollLeftButton() { return false; }

    // The main window.
    virtual bool IsEventRunning() const { return false; }
    virtual int GetGameMode() const { return 0; }
    virtual void SetGameMode(int nMode) { (void)nMode; }
    virtual int GetSceneNumber() const { return 0; }
    virtual void QuitGame() {}
    // Walks the hero (and the party) to a client point.
    virtual void WalkHeroTo(int x, int y) { (void)x; (void)y; }
    virtual DWORD GetSurfaceMemory() const { return 1; }

    // The work-panel host.
    virtual bool IsWorkPanelOpen() const { return false; }
    virtual int WorkOnLButtonUp() { return 0; }
    virtual bool IsCombineOpen() const { return false; }
    virtual void OpenWorkPanel(int nKind, int nShop) { (void)nKind; (void)nShop; }
    // Cancels an open trade, returns combine ingredients, closes the work panel.
    virtual void CloseWorkPanels() {}
    // The item panel's hand-offs: an open trade panel buying the item, an open combine
    // panel taking it as an ingredient; true when taken. No work panel: false.
    virtual bool IsTradeOpen() const { return false; }
    virtual bool SellToTrade(int nItem) { (void)nItem; return false; }
    virtual bool PutIntoCombine(int nItem) { (void)nItem; return false; }

    // The scene.
    virtual bool GetTarget(TargetBarInfo* pInfo) const { (void)pInfo; return false; }
    virtual void DropItemOnGround(int nItem, int x, int y, int nMoney) { (void)nItem; (void)x; (void)y; (void)nMoney; }

    // The hero's skills.
    virtual void SelectSkill(CPlayer* pHero, int nSkill) { (void)pHero; (void)nSkill; }
    virtual void CastSkill(CPlayer* pHero, int x, int y) { (void)pHero; (void)x; (void)y; }
    // The hero's alternate-look flag (script command 109): portrait 5 instead of 1.
    virtual bool UsesAlternatePortrait(const CPlayer* pHero) const { (void)pHero; return false; }

    // Modal boxes at (150, 200) and (150, 150); the question answers 1 for OK.
    virtual void ShowNotice(const char* pszText);
    // A notice box in text layout 1 or 2 at another place on the screen.
    virtual void ShowNoticeAt(const char* pszText, int nLayout, int x, int y);
    virtual int AskQuestion(const char* pszText);
    virtual void PlaySound(int n);
    // The picture box of the work boards: a message picture and one button at (250, 225).
    virtual void ShowPictureNotice(const char* pszPicture);

    // The main window's scene effect 1..5 at a map point (a running script waits for
    // it); false when it was not started.
    virtual bool StartSceneEffect(int nEffect, int x, int y) { (void)nEffect; (void)x; (void)y; return false; }
    // The main window's effect update (a hero killed by a bomb).
    virtual void UpdateEffects() {}
};

// Never null; the default host until the shell installs its own.
CToolBarHost& ToolBarHost();
// Installs a host (null restores the default); the caller keeps ownership.
void SetToolBarHost(CToolBarHost* pHost);
