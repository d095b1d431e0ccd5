// What a hero asks of its neighbours: the toolbar (current hero number, open panels,
// quick slots, the item panel, party files), the scene (cell of a map point) and the
// sprite package (frame counts). The game installs
// its own host; tests install fakes. The default answers as a game without a toolbar,
// work panels or scene would: no current hero, no panel open, nothing to reload.
#pragma once
#include "platform/Base.h"

class CHeroHost {
public:
    virtual ~CHeroHost() = default;

    // Toolbar: party slot + 1 of the controlled member (1..4); 0 without a toolbar.
    virtual int GetCurrentHero() const { return 0; }
    virtual void SetCurrentHero(int nHero) { (void)nHero; }
    // Reloads the toolbar background and copies that hero's quick slots (hero number 1..4).
    virtual void ReloadForHero(int nHero) { (void)nHero; }
    // True while a panel of either of the toolbar's two panel groups is open.
    virtual bool IsPanelOpen() const { return false; }
    // Empties cell 0..53 of the open item panel's grid.
    virtual void ClearItemPanelCell(int nCell) { (void)nCell; }
    // The toolbar's table of party files: whether member file n (member + 1, 2..4) is set,
    // and the party-file reader that brings that member back.
    virtual bool HasPartyFile(int nNumber) const { (void)nNumber; return false; }
    virtual void LoadPartyFile(int nNumber) { (void)nNumber; }

    // Scene: the cell of a map point; false when there is no scene or the point is off the grid.
    virtual bool GetCellOfPoint(POINT pt, POINT* pCell) const;

    // Toolbar: its third panel word; while it is nonzero idle members do not wander.
    virtual int GetIdlePanelWord() const { return 0; }
    // Main window: the frame at which a one-shot action stops advancing; -1 none.
    virtual int GetHoldFrame() const { return -1; }
    // Main window: clears the second effect-wait flag when a one-shot action ends.
    virtual void ClearEffectWait() {}
    // Main window: true while an event script runs.
    virtual bool IsEventRunning() const { return false; }
    // Characters: the map point of a shown character; false when it is absent or hidden.
    virtual bool GetShownNpcPoint(int nId, POINT* pPoint) const { (void)nId; (void)pPoint; return false; }
    // Characters and events: the hero arrived beside the character to talk; true when
    // one of its events started (the hero then stops).
    virtual bool TalkToNpc(int nId) { (void)nId; return false; }
    // Characters: true when the character exists, lies within reach of the hero, is of
    // class 0 and has its loot flag set.
    virtual bool IsLootNpc(int nId, POINT ptHero) const { (void)nId; (void)ptHero; return false; }
    // The walking sound (sound effect 4).
    virtual void PlayStepSound();

    // Frames per direction of a sculpt's sprite action in the sprite package; 0 when absent.
    virtual int GetSpriteFrameCount(int nSculpt, int nAction) const;

    // Fighting on the map.
    // Main window: the screen size that bounds the view rectangle.
    virtual SIZE GetScreenSize() const { return SIZE{800, 600}; }
    // Toolbar: true in a frame in which it handled a key (members start no fights then).
    virtual bool IsKeyTaken() const { return false; }
    // Toolbar: the stack slot's item (-1 none) and count, which the thrown-item skill spends.
    virtual int GetStackItem() const { return -1; }
    virtual int GetStackCount() const { return 0; }
    virtual void SetStack(int nItem, int nCount) { (void)nItem; (void)nCount; }
    // Toolbar: empties quick slot 0..7 of the controlled hero.
    virtual void ClearQuickSlot(int nSlot) { (void)nSlot; }
    // Toolbar: shows the raise message (GBK) with its time stamp, cut to the caption's size.
    virtual void ShowCaption(const char* pszText) { (void)pszText; }
    // Main window: the party id of a member becomes -1 (it leaves the party).
    virtual void LeaveParty(int nMember) { (void)nMember; }
    // Main window: walks the controlled hero and the party toward a screen point.
    virtual void RequestWalk(int x, int y) { (void)x; (void)y; }
    // Main window: the event started on arrival goes on at its next command.
    virtual void AdvanceScript() {}
    // Main window: starts the scene effect of an effect number at a map point; false when
    // it did not start.
    virtual bool StartSceneEffect(int nEffect, int x, int y) { (void)nEffect; (void)x; (void)y; return false; }
    // Sound effect n (Sound table) and skill sound n.
    virtual void PlaySound(int n);
    virtual void PlaySkillSound(int n);
};

// Never null; the default host until the game installs its own.
CHeroHost& HeroHost();
// Installs a host (null restores the default); the caller keeps ownership.
void SetHeroHost(CHeroHost* pHost);
