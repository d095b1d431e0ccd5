// The toolbar installed as the main window's panel link, and the shell's answers to what
// the toolbar and the scene ask of it (cursor, game mode, event, scene).
#pragma once
#include <memory>

#include "shell/FrameLinks.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "ui/work/WorkMenuHost.h"
#include "world/SceneHost.h"

class CToolBarPanelLink : public CPanelLink {
public:
    CGameToolBar* GetToolBar() const override { return m_pToolBar.get(); }
    // Makes a new toolbar (the main loop's start and game over); the party fields of
    // the one it replaces carry over.
    void CreatePanels() override;
    void DeletePanels() override;
    // The current hero number and the party count live in the toolbar once it exists.
    int GetActiveSlot() const override;
    void SetActiveSlot(int nSlot) override;
    int GetPartyCount() const override;
    void SetPartyCount(int nCount) override;
    void CloseAllPanels() override;
    void CloseSceneMap() override;
    void Draw() override;
    int OnKeyDown(int nKey, UINT nFlags) override;
    int OnLButtonUp() override;
    int OnRButtonDown(int x, int y) override;
    int ClearSkillAtPortrait() override;
    int OnLButtonDblClk(int x, int y) override;
    int OnMouseMove() override;
    bool HitTest(POINT pt) const override;
    int GetLeftGroupSelector() const override;
    bool HasLoadPanel() const override;
    bool HasSettingsPanel() const override;
    void OpenLoadPanel() override;
    void OpenSettingsPanel() override;
    void RunLeftGroupPanel() override;
    int PickUpItem() override;
    // The work panels, made and replaced with the toolbar, drawn after it.
    bool IsWorkPanelOpen() const override;
    int WorkOnLButtonUp() override;
    int WorkOnKeyDown(int nKey) override;
    int BuyUnderCursor() override;
    CWorkMenuHost* GetWorkHost() const { return m_pWorkHost.get(); }

private:
    std::unique_ptr<CGameToolBar> m_pToolBar;
    std::unique_ptr<CWorkMenuHost> m_pWorkHost;
};

class CShellToolBarHost : public CToolBarHost {
public:
    POINT GetMousePos() const override;
    int GetCarriedItem() const override;
    void SetCarriedItem(int nItem) override;
    bool PollLeftButton() override;
    bool IsEventRunning() const override;
    int GetGameMode() const override;
    void SetGameMode(int nMode) override;
    int GetSceneNumber() const override;
    void QuitGame() override;
    void WalkHeroTo(int x, int y) override;
    DWORD GetSurfaceMemory() const override;
    void DropItemOnGround(int nItem, int x, int y, int nMoney) override;
    bool StartSceneEffect(int nEffect, int x, int y) override;
    void UpdateEffects() override;
    // The hero's skills (shell/HeroLink.cpp).
    void SelectSkill(CPlayer* pHero, int nSkill) override;
    void CastSkill(CPlayer* pHero, int x, int y) override;
    // The work-panel host (shell/WorkPanelLink.cpp).
    bool IsWorkPanelOpen() const override;
    int WorkOnLButtonUp() override;
    bool IsCombineOpen() const override;
    void OpenWorkPanel(int nKind, int nShop) override;
    void CloseWorkPanels() override;
    bool IsTradeOpen() const override;
    bool SellToTrade(int nItem) override;
    bool PutIntoCombine(int nItem) override;
};

// The script commands' way to the work panels: the panel link's work host.
class CShellWorkLink : public CWorkLink {
public:
    void Open(int nKind, int nShop) override;
};

// The toolbar's cell marker and label box as the scene draws them; false / null
// without a toolbar.
bool GetToolBarCellMarker(CellMarkerView* pMarker);
CDXSurface* GetToolBarLabelBox();

// Installs the panel link, the toolbar host and the toolbar's answers to map fighting;
// Remove restores the defaults.
void InstallToolBarLinks();
void RemoveToolBarLinks();
