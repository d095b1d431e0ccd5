// The heroes' side of the main window: the host a hero asks for the toolbar's and the
// main window's state, and the map-link calls through which the main window updates,
// stops, walks and clicks with the hero and the party.
#pragma once
#include <cstdint>

#include "shell/SceneLink.h"
#include "world/PlayerHost.h"

class CMainFrame;
class CPlayer;
struct HeroRecord;

class CShellHeroHost : public CHeroHost {
public:
    int GetCurrentHero() const override;
    void SetCurrentHero(int nHero) override;
    int GetHoldFrame() const override;
    void ClearEffectWait() override;
    bool IsEventRunning() const override;
    bool GetShownNpcPoint(int nId, POINT* pPoint) const override;
    bool TalkToNpc(int nId) override;
    bool IsLootNpc(int nId, POINT ptHero) const override;
    // The toolbar's answers: quick slots, open panels, party files, the idle-clock word.
    void ReloadForHero(int nHero) override;
    bool IsPanelOpen() const override;
    void ClearItemPanelCell(int nCell) override;
    bool HasPartyFile(int nNumber) const override;
    // The party file of member number n joins the party (the item that calls the party).
    void LoadPartyFile(int nNumber) override;
    int GetIdlePanelWord() const override;
    // Fighting: the toolbar's key flag, stack slot, quick slots and caption; the main
    // window's screen, party ids, walk request, script and scene effects.
    SIZE GetScreenSize() const override;
    bool IsKeyTaken() const override;
    int GetStackItem() const override;
    int GetStackCount() const override;
    void SetStack(int nItem, int nCount) override;
    void ClearQuickSlot(int nSlot) override;
    void ShowCaption(const char* pszText) override;
    void LeaveParty(int nMember) override;
    void RequestWalk(int x, int y) override;
    void AdvanceScript() override;
    bool StartSceneEffect(int nEffect, int x, int y) override;
};

class CHeroMapLink : public CSceneMapLink {
public:
    // The scene's frame; when the heroine died in it, the game ends after it.
    void UpdateScene() override;
    bool HasHero() const override;
    // Deletes the scene, the hero and every party slot: they are the world's owners.
    void DeleteWorld(int nActiveSlot) override;
    void UpdateHeroes(int nActiveSlot) override;
    void StopHero() override;
    int GetHeroAction() const override;
    void WalkHeroTo(int x, int y) override;
    void ClickNpc(int nHover, bool bButtonHeld, int nPartyAttackMode) override;
    bool LootHoverNpc(int nNpcId) override;
    bool IsHeroInRegion() const override;
    void TakeMemberLife(int nMember, int nAmount) override;
    // The hero, the party members it updates and the scene's characters.
};

// Deletes the hero and every party slot and clears them and the companion.
void DeleteHeroes();
// A party member made from its record, as the loaders of saved games and party files do it.
void ApplyMemberRecord(CPlayer& member, int nMember, const HeroRecord& record);
// The party count the ids make: the heroine and every other slot with a party id, as the
// leave question and the party-size test count them.
int PartyCountOf(const std::int32_t (&nIds)[4]);
// Sets the main window's party count from its ids; open panels show the party as it is now.
void RecountParty(CMainFrame& frame);
// The scene reports the heroine's death; the game-over screen follows the update.
void NoteHeroDied();
