// The calls the main window makes into subsystems that are built on their own: the
// scene with its heroes, effects and event scripts; the toolbar with its panels and
// the work panels; the running battle. Each group is a small interface with one
// global instance. The default instances stand for neighbours that are not there:
// they report no scene, no toolbar and no battle, and do nothing. The subsystem
// that brings the real object installs its own instance; tests install recorders.
// The installed link is the only owner of what it answers (whether there is a toolbar,
// whether a battle runs). Calls a real subsystem must answer report, once each, when
// an installed link leaves them to the default (see UnansweredLinkCalls).
#pragma once
#include <string>
#include <vector>

#include "platform/Base.h"

class CMoveText;
class CGameToolBar;
class CFight;
struct ScriptCommand;

// Notes that an installed link left a call it must answer to the default (the default
// link itself is "nothing there" and notes nothing).
void NoteUnansweredLinkCall(const void* pLink, const char* pszCall);
// The calls noted so far, each once ("map UpdateEffects").
const std::vector<std::string>& UnansweredLinkCalls();
void ClearUnansweredLinkCalls();

// The map: scene, heroes and party, characters and the effect list.
class CMapLink {
public:
    virtual ~CMapLink() = default;
    virtual bool HasScene() const;
    virtual bool HasHero() const;
    // Start-up and shut-down of the map's objects.
    virtual void CreateEffectManager() { NoteUnansweredLinkCall(this, "map CreateEffectManager"); }
    virtual void DeleteEffectManager() {}
    // Deletes the scene, the hero and every party slot, the parked copy of the member in
    // the toolbar's active slot (party slot + 1) included: the slots own their members.
    virtual void DeleteWorld(int nActiveSlot) { (void)nActiveSlot; }
    // Deletes the scene alone; the heroes and the party stay.
    virtual void DeleteScene() {}
    virtual void DeleteMoveText(CMoveText* pText) { (void)pText; }
    // Draws a moving text; true when it has finished.
    virtual bool DrawMoveText(CMoveText* pText) {
        (void)pText;
        NoteUnansweredLinkCall(this, "map DrawMoveText");
        return true;
    }

    // The frame.
    virtual void DrawScene() { NoteUnansweredLinkCall(this, "map DrawScene"); }
    virtual void UpdateScene() { NoteUnansweredLinkCall(this, "map UpdateScene"); }
    // Updates the hero and each party member except the toolbar's active slot.
    virtual void UpdateHeroes(int nActiveSlot) {
        (void)nActiveSlot;
        NoteUnansweredLinkCall(this, "map UpdateHeroes");
    }
    // Stops the hero on his cell and clears his path (input hold).
    virtual void StopHero() {}
    virtual void SetScrolling() {}
    virtual void ScrollView(int nDx, int nDy) { (void)nDx; (void)nDy; }
    // While the view-move flag is set: moves the view toward the point of a "move the
    // view" command, or toward the hero for a "view follows the hero" command.
    virtual void FollowScriptView(const ScriptCommand* pCommand) { (void)pCommand; }
    // Advances the effect list; true when its last effect finished and was removed (the
    // frame then clears the scene's effect wait, so a real map must answer it).
    virtual bool UpdateEffects() {
        NoteUnansweredLinkCall(this, "map UpdateEffects");
        return false;
    }
    // Damage zone: whether the hero stands in an event region; takes life of a member.
    virtual bool IsHeroInRegion() const { return false; }
    virtual void TakeMemberLife(int nMember, int nAmount) { (void)nMember; (void)nAmount; }

    // Hit tests and clicks.
    // The object under the cursor: kind in the high 16 bits, id in the low 16; -1 none.
    virtual int GetHoverObject() const { return -1; }
    virtual void SetHoverObject(int nHover) { (void)nHover; }
    virtual void HitTestObjects(int x, int y) { (void)x; (void)y; }
    // Class of the character with that id (2 a fighter); -1 when there is none.
    virtual int GetNpcClass(int nId) const { (void)nId; return -1; }
    virtual int GetHeroAction() const { return 0; }
    // Ctrl+click on a defeated character next to the hero; true when the click ends there.
    virtual bool LootHoverNpc(int nNpcId) { (void)nNpcId; return false; }
    virtual void ClickNpc(int nHover, bool bButtonHeld, int nPartyAttackMode) {
        (void)nHover; (void)bButtonHeld; (void)nPartyAttackMode;
    }
    virtual void WalkHeroTo(int x, int y) { (void)x; (void)y; }

    // Characters on a scene change: the dead come back (corpses that may revive stand
    // again, the others are gone) and every character returns to its saved place.
    virtual void ReviveNpcs() {}
    virtual void ResetNpcs() {}
};

// The toolbar with its panels, and the work-panel host.
class CPanelLink {
public:
    virtual ~CPanelLink() = default;
    // The toolbar object once the panels made it; the main window's m_pToolBar is set
    // from it when the link is installed and when the panels are made or deleted.
    virtual CGameToolBar* GetToolBar() const;
    virtual bool HasToolBar() const { return GetToolBar() != nullptr; }
    // Creates the toolbar and the work-panel host (the main loop's start).
    virtual void CreatePanels();
    virtual void DeletePanels() {}
    // Party slot + 1 of the controlled member (the toolbar's current hero number); 0
    // before a game. Until the toolbar exists the link keeps it, with the toolbar's party
    // count, so the parked copy of the controlled member is known.
    virtual int GetActiveSlot() const { return m_nActiveSlot; }
    virtual void SetActiveSlot(int nSlot) { m_nActiveSlot = nSlot; }
    virtual int GetPartyCount() const { return m_nPartyCount; }
    virtual void SetPartyCount(int nCount) { m_nPartyCount = nCount; }
    // Closes every panel of the toolbar (a new game starts with none open).
    virtual void CloseAllPanels() {}
    // Closes the scene-map view (TAB): it shows the scene it was opened in.
    virtual void CloseSceneMap() {}
    virtual void Draw();
    virtual int OnKeyDown(int nKey, UINT nFlags) { (void)nKey; (void)nFlags; return 0; }
    virtual int OnLButtonUp() { return 0; }
    virtual int OnRButtonDown(int x, int y) { (void)x; (void)y; return 0; }
    virtual int ClearSkillAtPortrait() { return 0; }
    virtual int OnLButtonDblClk(int x, int y) { (void)x; (void)y; return 0; }
    virtual int OnMouseMove() { return 0; }
    // 1 when the ground item under the cursor was taken; -1 when there is none.
    virtual int PickUpItem() { return -1; }
    // The cursor over the toolbar's extra rectangles or an open panel.
    virtual bool HitTest(POINT pt) const { (void)pt; return false; }
    virtual bool IsWorkPanelOpen() const { return false; }
    virtual int WorkOnLButtonUp() { return 0; }
    virtual int WorkOnKeyDown(int nKey) { (void)nKey; return 0; }
    // Buys the item under the cursor in an open trade panel.
    virtual int BuyUnderCursor() { return 0; }

    // The left panel group as the title screen uses it: selector 4 settings, 6 load,
    // -1 none.
    virtual int GetLeftGroupSelector() const { return -1; }
    virtual bool HasLoadPanel() const { return false; }
    virtual bool HasSettingsPanel() const { return false; }
    virtual void OpenLoadPanel() {}
    virtual void OpenSettingsPanel() {}
    virtual void RunLeftGroupPanel() {}
    // The controlled hero's portrait word as the party strip reads it; its pixel test
    // needs 0.
    virtual int GetHeroPortraitWord() const { return 0; }

private:
    int m_nActiveSlot = 0;
    int m_nPartyCount = 1;
};

// The running battle.
class CBattleLink {
public:
    virtual ~CBattleLink() = default;
    // The battle object while one exists; the main window's pFight is set from it when
    // the link is installed.
    virtual CFight* GetFight() const;
    // The battle's own running flag.
    virtual bool IsRunning() const;
    // Clears the battle's own running flag, which ends its loop.
    virtual void StopRunning() {}
    virtual void OnKeyUp(int nKey, UINT nRepeat, UINT nFlags) { (void)nKey; (void)nRepeat; (void)nFlags; }
    // A key going down; nFlags as the key message's high word (its repeat bit).
    virtual void OnKeyPressed(int nKey, UINT nFlags) { (void)nKey; (void)nFlags; }
    virtual void OnLButtonDown(UINT nFlags, int x, int y) { (void)nFlags; (void)x; (void)y; }
    // A release: turns the battle's message page when a message is shown, else clicks.
    virtual void OnLButtonUp(UINT nFlags, int x, int y) { (void)nFlags; (void)x; (void)y; }
    virtual void OnRButtonDown(UINT nFlags, int x, int y) { (void)nFlags; (void)x; (void)y; }
};

// The work panels: shop, combining table, inlay and manufacture.
class CWorkLink {
public:
    virtual ~CWorkLink() = default;
    // Opens the work panel of that kind for that shop (0 based); with no work panels
    // there, nothing opens.
    virtual void Open(int nKind, int nShop) { (void)nKind; (void)nShop; }
};

// The mini-games, each running in its own loop until it ends.
class CMiniGameLink {
public:
    virtual ~CMiniGameLink() = default;
    // Runs game nKind (1 catch, 2 gamble, 3 knock); true when the player won. With no
    // mini-games there, nothing runs and the game is not won.
    virtual bool Run(int nKind) { (void)nKind; return false; }
    // Runs picture show n; with none there, nothing shows.
    virtual void RunPictureShow(int n) { (void)n; }
};

CMapLink& MapLink();
CPanelLink& PanelLink();
CBattleLink& BattleLink();
CWorkLink& WorkLink();
CMiniGameLink& MiniGameLink();
// Installs a link (null restores the default one); the caller keeps ownership. The
// panel and battle calls also set the main window's m_pToolBar and pFight from it.
void SetMapLink(CMapLink* pLink);
void SetPanelLink(CPanelLink* pLink);
void SetBattleLink(CBattleLink* pLink);
void SetWorkLink(CWorkLink* pLink);
void SetMiniGameLink(CMiniGameLink* pLink);
// Sets the main window's m_pToolBar and pFight from the installed links.
void RefreshFrameLinkFields();
