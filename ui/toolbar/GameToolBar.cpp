#include "ui/toolbar/GameToolBar.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "media/TgaImage.h"
#include "platform/Charset.h"
#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MenuPanel.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/Player.h"

namespace {

RECT Moved(RECT rc, POINT pt) { return RECT{rc.left + pt.x, rc.top + pt.y, rc.right + pt.x, rc.bottom + pt.y}; }

}  // namespace

CGameToolBar::CGameToolBar() {
    SetGameFolderCurrent();
    std::fill(std::begin(m_nQuickSlots), std::end(m_nQuickSlots), -1);
    LoadPictures();
    BuildRects();
}

CGameToolBar::~CGameToolBar() {
    for (CDXSurface*& p : m_pBombFrames) {
        delete p;
        p = nullptr;
    }
    for (CDXSurface* p : {m_pOtherLife, m_pOtherMana, m_pBlood, m_pBloodLeft, m_pBloodRight, m_pManaLeft, m_pMana,
                          m_pManaRight, m_pMenuPicture, m_pBackground})
        delete p;
    for (CTgaImage* p : m_pPortraits) delete p;
    for (CDXSurface* p : m_pAbsent) delete p;
    delete m_pButton;
    delete m_pButtonHover;
    delete m_pTextBox;
    delete m_pTextBoxPlate;
    m_pSceneMap.reset();
    for (auto& p : m_pPanels) p.reset();
    delete m_pDescription;
}

void CGameToolBar::LoadPictures() {
    char szName[32];
    for (int i = 0; i < kToolBarBombFrames; ++i) {
        std::snprintf(szName, sizeof szName, "Bomb%02d.tga", i);
        m_pBombFrames[i] = LoadMenuSurface(szName, true);
    }
    m_pDescription = LoadMenuSurface("DescriptMenu.bmp", true);
    m_pOtherLife = LoadMenuSurface("OtherLife.bmp", true);
    m_pOtherMana = LoadMenuSurface("OtherMana.bmp", true);
    m_pBlood = LoadMenuSurface("Blood.tga", true);
    m_pBloodLeft = LoadMenuSurface("Blood[L].tga", true);
    m_pBloodRight = LoadMenuSurface("Blood[R].tga", true);
    m_pManaLeft = LoadMenuSurface("Mana[L].tga", true);
    m_pMana = LoadMenuSurface("Mana.tga", true);
    m_pManaRight = LoadMenuSurface("Mana[R].tga", true);
    m_pMenuPicture = LoadMenuSurface("MainMenuthew.bmp", true);
    for (int i = 0; i < 5; ++i) {
        std::snprintf(szName, sizeof szName, "GTX%03d.tga", i + 1);
        m_pPortraits[i] = LoadMenuTga(szName);
    }
    for (int i = 0; i < 3; ++i) {
        std::snprintf(szName, sizeof szName, "GTX%03d.bmp", i);
        m_pAbsent[i] = LoadMenuSurface(szName, true);
    }
    m_pButton = LoadMenuTga("ToolBar_Button.tga");
    m_pButtonHover = LoadMenuTga("ToolBar_Button[s].tga");
    m_pBackground = LoadMenuSurface("ToolBar_BKGround.tga", true);
}

void CGameToolBar::BuildRects() {
    static const int kQuickX[kToolBarQuickSlots][2] = {{261, 305}, {320, 365}, {376, 420}, {431, 475},
                                                       {498, 545}, {556, 600}, {611, 645}, {669, 715}};
    const POINT o = m_ptOrigin;
    m_rcCompanionSkill = Moved(RECT{212, 110, 242, 140}, o);
    m_rcStackSlot = Moved(RECT{591, 101, 616, 126}, o);
    for (int i = 0; i < kToolBarQuickSlots; ++i) m_rcQuickSlots[i] = Moved(RECT{kQuickX[i][0], 95, kQuickX[i][1], 140}, o);
    m_rcHeroSkill = Moved(RECT{93, 110, 123, 140}, o);
    m_rcHeroLife = Moved(RECT{8, 110, 90, 122}, o);
    m_rcHeroMana = Moved(RECT{8, 127, 90, 140}, o);
    m_rcHeroPortrait = Moved(RECT{10, 5, 115, 105}, o);
    m_rcCompanionPortrait = Moved(RECT{130, 5, 235, 105}, o);
    m_rcCompanionLife = Moved(RECT{128, 110, 210, 122}, o);
    m_rcCompanionMana = Moved(RECT{128, 127, 210, 140}, o);
    m_rcButtonStrip = Moved(RECT{735, 82, 790, 140}, o);
}

void CGameToolBar::ClearScreen() const { ClearBackBuffer(ToolBarHost().GetSceneNumber()); }

void CGameToolBar::MakePanel(ToolBarPanel n, PanelKind kind, bool bHero) { m_pPanels[n] = MakeGamePanel(kind, m_nHero, bHero); }

void CGameToolBar::ClosePanel(ToolBarPanel n) {
    DeletePanel(n);
    ClearScreen();
}

void CGameToolBar::Draw() {
    m_bKeyTaken = 0;
    if (!pScene) return;
    DrawTargetBar();
    ReapFloatingNumbers();
    DrawWeather();
    if (m_pSceneMap) m_pSceneMap->Draw();
    if (m_nSelectorA != -1 || m_nSelectorB != -1) DrawOpenPanels();
    if (m_pBackground && pBack) m_pBackground->BlitKeyed(pBack, m_ptOrigin.x, m_ptOrigin.y);
    DrawHud();
    DrawBomb();
}

void CGameToolBar::DrawOpenPanels() {
    static const ToolBarPanel kGroupA[] = {kSetPanel, kSavePanel, kLoadPanel, kStatePanel};
    static const ToolBarPanel kGroupB[] = {kSkillPanel, kItemPanel, kSysPanel, kTaskPanel};
    if (m_nSelectorA >= 4 && m_nSelectorA <= 7) {
        if (CGamePanel* p = Panel(kGroupA[m_nSelectorA - 4])) p->Draw();
    } else if (m_nSelectorA < 1 || m_nSelectorA > 3) {
        m_nSelectorA = -1;
    }
    if (m_nSelectorB >= 2 && m_nSelectorB <= 5) {
        if (CGamePanel* p = Panel(kGroupB[m_nSelectorB - 2])) p->Draw();
    } else if (m_nSelectorB != 0 && m_nSelectorB != 1 && m_nSelectorB != 6) {
        m_nSelectorB = -1;
    }
    DrawItemDescription();
}

void CGameToolBar::CloseAllPanels() {
    CToolBarHost& host = ToolBarHost();
    host.CloseWorkPanels();
    static const ToolBarPanel kGroupA[] = {kSetPanel, kSavePanel, kLoadPanel, kStatePanel};
    static const ToolBarPanel kGroupB[] = {kSkillPanel, kItemPanel, kSysPanel, kTaskPanel};
    if (m_nSelectorA >= 4 && m_nSelectorA <= 7) DeletePanel(kGroupA[m_nSelectorA - 4]);
    if (m_nSelectorB >= 2 && m_nSelectorB <= 5) {
        DeletePanel(kGroupB[m_nSelectorB - 2]);
        if (m_nSelectorB == kGroupBSys) host.SetGameMode(3);
    }
    m_nSelectorA = -1;
    m_nSelectorB = -1;
    ClearScreen();
    if (host.GetGameMode() == 14) host.SetGameMode(3);
}

void CGameToolBar::RefreshPanels() {
    for (ToolBarPanel n : {kStatePanel, kSkillPanel, kItemPanel})
        if (CGamePanel* p = Panel(n)) p->Refresh();
}

void CGameToolBar::ToggleItemPanel() {
    if (m_nSelectorA != -1) {
        if (Panel(kItemPanel)) {
            PlayPanelClick();
            DeletePanel(kItemPanel);
            if (m_nSelectorB == kGroupBItem) m_nSelectorB = -1;
        }
        return;
    }
    if (Panel(kItemPanel)) return;
    MakePanel(kItemPanel, PanelKind::Item);
    PlayPanelClick();
    if (Panel(kItemPanel) && m_nSelectorB == -1) m_nSelectorB = kGroupBItem;
}

void CGameToolBar::ReloadForHero() {
    delete m_pBackground;
    m_pBackground = LoadMenuSurface("ToolBar_BKGround.tga", true);
    std::fill(std::begin(m_nQuickSlots), std::end(m_nQuickSlots), -1);
    if (!pPlayer) return;
    for (int i = 0; i < kToolBarQuickSlots; ++i)
        if (pPlayer->nQuickSlot[i] >= 0) m_nQuickSlots[i] = pPlayer->nQuickSlot[i];
}

void CGameToolBar::DrawToolBarOnly() {
    if (m_pBackground && pBack) m_pBackground->BlitKeyed(pBack, m_ptOrigin.x, m_ptOrigin.y);
    DrawHud();
}

void CGameToolBar::OpenTitlePanel(int nSelector) {
    const ToolBarPanel n = nSelector == kGroupALoad ? kLoadPanel : kSetPanel;
    MakePanel(n, nSelector == kGroupALoad ? PanelKind::Load : PanelKind::Settings);
    // A panel that cannot be made leaves the group closed.
    m_nSelectorA = Panel(n) ? nSelector : -1;
}

void CGameToolBar::RunTitlePanel(int nSelector, ToolBarPanel n) {
    if (m_nSelectorA != nSelector) return;
    CGamePanel* pPanel = Panel(n);
    if (!pPanel) {
        m_nSelectorA = -1;
        return;
    }
    pPanel->Draw();
    if (bMsgBoxOpen) return;
    const bool bHeld = ToolBarHost().PollLeftButton();
    const bool bNewPress = bHeld && !m_bTitleButtonHeld;
    m_bTitleButtonHeld = bHeld;
    // Only a press inside the panel reaches it; one elsewhere on the title does nothing.
    if (!bNewPress || !pPanel->IsMouseIn()) return;
    const int nCode = pPanel->OnLButtonUp();
    if (nCode == kPanelClose || (n == kLoadPanel && (nCode == kPanelRequest3 || nCode == kPanelCloseAll))) {
        DeletePanel(n);
        m_nSelectorA = -1;
    }
}

void CGameToolBar::RunTitleLoadPanel() { RunTitlePanel(kGroupALoad, kLoadPanel); }
void CGameToolBar::RunTitleSettingsPanel() { RunTitlePanel(kGroupASettings, kSetPanel); }

// ---- bag ----

BagView CGameToolBar::HeroBag() const {
    BagView view;
    if (pGameData) {
        view.pItems = pGameData->pItem;
        view.nItemCount = pGameData->nItemCount;
    }
    if (pPlayer) {
        view.pCounts = pPlayer->nItemCount;
        view.nMember = pPlayer->TableMember();
    }
    return view;
}

int CGameToolBar::PutItemInBag(int nItem) { return ::PutItemInBag(HeroBag(), nItem) >= 0 ? 1 : 0; }

bool CGameToolBar::FitsInBag(const std::int32_t grid[kBagCells], int nCell, int nShape) {
    return ::FitsInBag(grid, nCell, nShape);
}

void CGameToolBar::PlaceInBag(int nCell, int nShape, int nItem) { ::PlaceInBag(HeroBag(), nCell, nShape, nItem); }

int CGameToolBar::AddItemToBag(int nItem) {
    if (nItem < 0) return 0;
    if (pPlayer && PutItemInBag(nItem)) {
        pPlayer->AddItem(nItem);
        const ItemRow* pRow = HeroBag().Item(nItem);
        if (CGamePanel* pItems = Panel(kItemPanel); pItems && pRow)
            pItems->ShowBagPage(PageOfFamily(FamilyOfType(pRow->nType)));
        return 1;
    }
    static const std::string kFull = Utf8ToText("物品栏已满\n无法放置！");
    ToolBarHost().ShowNotice(kFull.c_str());
    return 0;
}

void CGameToolBar::DropItemAtHero(int nItem, int nMoney) {
    if (!pPlayer) return;
    ToolBarHost().DropItemOnGround(nItem, pPlayer->ptPos.x, pPlayer->ptPos.y, nMoney);
    if (nItem < 0 || nItem >= kHeroItemCount) return;
    // Gems set into the item leave with it.
    InlayRecord& bonus = pPlayer->inlay[nItem];
    if (bonus.nLink == -1) bonus = InlayRecord{0, 0, 0, 0};
}

void CGameToolBar::CloseItemPanel() {
    DeletePanel(kItemPanel);
    if (m_nSelectorB == kGroupBItem) m_nSelectorB = -1;
}
