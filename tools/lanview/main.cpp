// lanview DIR CLASS [--frames N] [--items ID:N,...] [--party ID,...]: runs the game
// headless in the game folder DIR (GAME_INPUT and GAME_SHOT_DIR as the game reads them),
// builds one of the library panels of lan/ with what it reaches, opens it as its owner
// would, drives it each frame with the game's cursor and prints one state line a frame.
// Classes: CGoodsGrid, CDescBar, CPartyPanel (with the grid), CSettingPanel, CSmallPicture,
// CMoneyInput, CMenuPanelAlt, CInfoBar; with the grid and the goods panel: CGoodsPanel,
// CStatusPanel, CSpriteBoard, CSkillInfoPanel, CSkillButtonGrid; the older screens:
// CSaveList, CEndWord, CLeaveMenu, CChoosePlayerMenu, CScenePicture, CIconToolBar;
// CFollower, which waits until the input script has started a game and then walks behind
// the heroine (its line: position, cell, whether that cell blocks, the heroine's point).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "lan/DescBar.h"
#include "lan/GoodsGrid.h"
#include "lan/EndWord.h"
#include "lan/Follower.h"
#include "lan/GoodsPanel.h"
#include "lan/IconToolBar.h"
#include "lan/LeaveMenu.h"
#include "lan/SaveList.h"
#include "lan/ScenePicture.h"
#include "lan/InfoBar.h"
#include "lan/MenuPanelAlt.h"
#include "lan/MoneyInput.h"
#include "lan/PartyPanel.h"
#include "lan/SettingPanel.h"
#include "lan/SkillInfoPanel.h"
#include "lan/SmallPicture.h"
#include "lan/SpriteBoard.h"
#include "lan/StatusPanel.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "shell/GameApp.h"
#include "shell/MainFrame.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

struct Options {
    std::string strClass;
    long nFrames = 200;
    std::vector<std::pair<int, int>> items;
    std::vector<int> party;
};

Options g_opt;

// The follower stands for member 1 with the second sculpt of the sample game.
class CViewFollowerWorld : public IFollowerWorld {
public:
    int SculptOf(int nMember) override { return nMember == 1 ? 2 : -1; }
};
CViewFollowerWorld g_followerWorld;
long g_nFrame = 0;

// Opens the goods grid and the description bar as the goods panel would: every panel of
// the family reads as open, and each held item gets a place laid out in a row.
class CViewPeers : public CGoodsGridPeers {
public:
    bool IsGoodsPanelOpen() override { return true; }
    bool GoodsPanelCell(int nItem, POINT* pPos) override {
        if (nItem < 0 || nItem >= kHeroItemCount || cells[nItem].x < 0) return false;
        *pPos = cells[nItem];
        return true;
    }
    POINT cells[kHeroItemCount];
};

struct Viewer {
    CViewPeers peers;
    std::unique_ptr<CGoodsGrid> pGrid;
    std::unique_ptr<CDescBar> pBar;
    std::unique_ptr<CSettingPanel> pSetting;
    std::unique_ptr<CSmallPicture> pSmall;
    std::unique_ptr<CMoneyInput> pMoney;
    std::unique_ptr<CMenuPanelAlt> pTwin;
    std::unique_ptr<CPartyPanel> pParty;
    std::unique_ptr<CInfoBar> pInfo;
    std::unique_ptr<CGoodsPanel> pGoods;
    std::unique_ptr<CStatusPanel> pStatus;
    std::unique_ptr<CSpriteBoard> pBoard;
    std::unique_ptr<CSkillInfoPanel> pSkills;
    std::unique_ptr<CSaveList> pSaves;
    std::unique_ptr<CEndWord> pWords;
    std::unique_ptr<CLeaveMenu> pLeave;
    std::unique_ptr<CChoosePlayerMenu> pChoose;
    std::unique_ptr<CScenePicture> pScenePic;
    std::unique_ptr<CIconToolBar> pIconBar;
    std::vector<int> loads;
    std::unique_ptr<CFollower> pFollower;
    bool bFollowerWanted = false;
    int nSmallState = 1;
    // A hero of the viewer's own when the game shows no hero yet (the title screen).
    std::unique_ptr<CPlayer> pHero;
};
Viewer* g_pView = nullptr;
// Set when the class asked for cannot be built: the run ends with a failure.
bool g_bBuildFailed = false;

// Gives the hero each held item of the command line that the bag can hold (its count
// clamped) and offers it to the grid; calls fnEach with the item and whether the grid
// took it.
void GiveHeldItems(CGoodsGrid& grid, const std::function<void(int nItem, bool bPlaced)>& fnEach) {
    for (auto [nItem, nCount] : g_opt.items) {
        if (!pPlayer || nItem < 0 || nItem >= kHeroItemCount) continue;
        pPlayer->nItemCount[nItem] = std::clamp(nCount, 0, kHeroMaxItemCount);
        int nPlace = -1;
        fnEach(nItem, grid.AddItem(&nPlace, nItem) >= 0);
    }
}

bool Build(Viewer& v) {
    const std::string& c = g_opt.strClass;
    if (c == "CFollower") {
        // Made once a game runs: a follower needs the scene and the game's own heroine.
        v.bFollowerWanted = true;
        return true;
    }
    if (!pPlayer) {
        v.pHero = std::make_unique<CPlayer>();
        pPlayer = v.pHero.get();
    }
    for (POINT& pt : v.peers.cells) pt = POINT{-1, -1};
    if (c == "CInfoBar") {
        v.pInfo = std::make_unique<CInfoBar>();
        v.pInfo->m_bOpen = 1;
        return true;
    }
    if (c == "CGoodsPanel" || c == "CStatusPanel" || c == "CSpriteBoard" || c == "CSkillInfoPanel" ||
        c == "CSkillButtonGrid") {
        // The family as its tool bar would open it: the grid, the goods panel shown with the
        // held items laid out, the description bar, and the class asked for.
        v.pGrid = std::make_unique<CGoodsGrid>();
        pGoodsGrid = v.pGrid.get();
        SetGoodsGridPeers(nullptr);
        v.pGoods = std::make_unique<CGoodsPanel>();
        pGoodsPanel = v.pGoods.get();
        v.pGoods->m_bShown = 1;
        v.pBar = std::make_unique<CDescBar>();
        pDescBar = v.pBar.get();
        GiveHeldItems(*v.pGrid, [&v](int nItem, bool bPlaced) {
            if (bPlaced) v.pGoods->PlaceGood(nItem);
        });
        v.pGoods->LayoutPage();
        if (c == "CStatusPanel") {
            v.pStatus = std::make_unique<CStatusPanel>();
            pStatusPanel = v.pStatus.get();
            v.pStatus->OpenPage(0);
        } else if (c == "CSpriteBoard") {
            v.pBoard = std::make_unique<CSpriteBoard>();
            v.pBoard->m_bOpen = 1;
        } else if (c != "CGoodsPanel") {
            v.pSkills = std::make_unique<CSkillInfoPanel>();
            v.pSkills->m_bOpen = 1;
            v.pSkills->SetPortrait(0);
            v.pSkills->FillSkillLists();
            if (c == "CSkillButtonGrid") v.pSkills->GetGrid()->m_bOpen = 1;
        }
        return true;
    }
    if (c == "CGoodsGrid" || c == "CDescBar" || c == "CPartyPanel") {
        v.pGrid = std::make_unique<CGoodsGrid>();
        pGoodsGrid = v.pGrid.get();
        SetGoodsGridPeers(&v.peers);
        int k = 0;
        GiveHeldItems(*v.pGrid, [&v, &k](int nItem, bool bPlaced) {
            if (!bPlaced) return;
            v.peers.cells[nItem] = POINT{100 + 45 * (k % 12), 100 + 50 * (k / 12)};
            v.pGrid->SetPos(nItem, v.peers.cells[nItem]);
            ++k;
        });
        if (c == "CPartyPanel") {
            v.pParty = std::make_unique<CPartyPanel>();
            v.pParty->m_bOpen = 1;
            v.pParty->SetHeroPortrait();
        }
        if (c == "CDescBar") {
            v.pBar = std::make_unique<CDescBar>();
            pDescBar = v.pBar.get();
            v.pBar->m_nItem = g_opt.items.empty() ? 0 : g_opt.items[0].first;
            v.pBar->m_bVisible = 1;
        }
        return true;
    }
    if (c == "CSaveList") {
        v.pSaves = std::make_unique<CSaveList>([&v](int n) {
            v.loads.push_back(n);
            return true;
        });
        return true;
    }
    if (c == "CEndWord") return (v.pWords = std::make_unique<CEndWord>(0)) != nullptr;
    if (c == "CLeaveMenu") return (v.pLeave = std::make_unique<CLeaveMenu>()) != nullptr;
    if (c == "CChoosePlayerMenu") {
        if (pPlayer) pPlayer->nPartyMask = 0;
        for (int nId : g_opt.party)
            if (pPlayer && nId >= 0 && nId < 4) pPlayer->nPartyMask |= 1 << nId;
        return (v.pChoose = std::make_unique<CChoosePlayerMenu>()) != nullptr;
    }
    if (c == "CScenePicture") {
        v.pScenePic = std::make_unique<CScenePicture>(pScreen, 0);
        v.pScenePic->SetScale(40, 30, 0);
        return true;
    }
    if (c == "CIconToolBar") {
        v.pIconBar = std::make_unique<CIconToolBar>(0, 0);
        v.pIconBar->CreateGoods();
        GiveHeldItems(*pGoodsGrid, [&v](int nItem, bool bPlaced) {
            if (bPlaced) pGoodsPanel->PlaceGood(nItem);
            v.pIconBar->AddQuickIcon(nItem);
        });
        return true;
    }
    if (c == "CSettingPanel") return (v.pSetting = std::make_unique<CSettingPanel>()) != nullptr;
    if (c == "CSmallPicture") {
        v.pSmall = std::make_unique<CSmallPicture>();
        return v.pSmall->CreateSprite(0);
    }
    if (c == "CMoneyInput") return (v.pMoney = std::make_unique<CMoneyInput>()) != nullptr;
    if (c == "CMenuPanelAlt") {
        v.pTwin = std::make_unique<CMenuPanelAlt>();
        v.pTwin->Describe("MainMenu_BKGround.bmp", 0, 0, 0);
        return true;
    }
    return false;
}

void Drive(Viewer& v) {
    CMouse& mouse = *pMouse;
    std::ostringstream line;
    line << g_nFrame << ',' << TimeGetTime() << ',' << mouse.m_nX << ',' << mouse.m_nY;
    if (v.pParty) {
        v.pParty->Update(mouse);
        const CPlayer* pMember = CPartyPanel::PageMember(v.pParty->m_nPage);
        line << ",page=" << v.pParty->m_nPage << ",open=" << v.pParty->m_bOpen;
        if (pMember) line << ",life=" << pMember->nLife << ",mana=" << pMember->nMana;
    }
    if (v.pInfo) {
        line << ",info=" << v.pInfo->Draw(mouse);
        if (const CDXSprite* pClose = v.pInfo->GetClose()) line << ",closetile=" << pClose->GetFrame();
    }
    // The family's panels see a release before the grid, which would snap the item back.
    if (v.pStatus) {
        int nPage = -1;
        for (int k = 0; k < CStatusPanel::kPages; ++k)
            if (v.pStatus->IsPageOpen(k)) nPage = k;
        if (nPage >= 0) v.pStatus->DrawPage(mouse, nPage);
        line << ",page=" << nPage;
        if (const CPlayer* pMember = CStatusPanel::PageMember(std::max(nPage, 0))) {
            line << ",attack=" << pMember->nAttack << ",defence=" << pMember->nDefence << ",equip=";
            for (int s = 0; s < 6; ++s) line << (s ? " " : "") << *pMember->EquipSlot(s);
        }
    }
    if (v.pBoard) {
        v.pBoard->Update(mouse);
        line << ",a=" << v.pBoard->m_nItemA << ",b=" << v.pBoard->m_nItemB << ",result=" << v.pBoard->m_nResult
             << ",combining=" << v.pBoard->m_bCombining << ",failed=" << v.pBoard->m_bFailed;
    }
    if (v.pSkills) {
        v.pSkills->Update(mouse);
        const CSkillButtonGrid* pMix = v.pSkills->GetGrid();
        const SkillList* pList = v.pSkills->ShownList();
        line << ",member=" << v.pSkills->m_nMember << ",skills=" << (pList ? pList->nCount : -1)
             << ",top=" << (pList ? pList->nTop : -1) << ",a=" << pMix->m_nItemA << ",b=" << pMix->m_nItemB
             << ",result=" << pMix->m_nResult;
    }
    if (v.pGoods) {
        v.pGoods->Update(mouse);
        line << ",goodspage=" << v.pGoods->m_nPage << ",shown=" << v.pGoods->m_bShown;
    }
    if (v.pGrid) {
        v.pGrid->Update(mouse);
        for (int i = 0; i < kGridPlaces; ++i) v.pGrid->DrawSlot(i);
        if (v.pBar) v.pBar->Draw(mouse);
        const int nItem = v.pGrid->CarriedItem();
        line << ",carried=" << v.pGrid->GetCarried() << ",item=" << nItem;
        for (auto [nId, nCount] : g_opt.items) {
            (void)nCount;
            if (nId < 0 || nId >= kHeroItemCount) continue;
            const POINT pt = v.pGrid->GetPos(nId);
            line << ",count" << nId << '=' << pPlayer->nItemCount[nId] << "@(" << pt.x << ' ' << pt.y << ')';
        }
        if (v.pBar) line << ",bar=" << v.pBar->m_bVisible;
    }
    if (v.pSetting) {
        v.pSetting->Draw();
        line << ",knob=" << v.pSetting->GetKnobX() << ",sound=" << pFrame->m_bSoundOn
             << ",walk=" << (pPlayer ? pPlayer->nWalkStep : -1) << ",run=" << (pPlayer ? pPlayer->nRunStep : -1);
    }
    if (v.pSmall) {
        v.nSmallState = v.pSmall->Update(v.nSmallState, mouse.m_pSprite, nullptr);
        line << ",x=" << v.pSmall->GetPos().x << ",y=" << v.pSmall->GetPos().y << ",state=" << v.nSmallState;
    }
    if (v.pMoney) {
        v.pMoney->Draw(300, 250);
        line << ",typed=" << v.pMoney->GetLength();
    }
    if (v.bFollowerWanted && !v.pFollower && pScene && pPlayer && pFrame->m_bInGame) {
        v.pFollower = std::make_unique<CFollower>(&g_followerWorld);
        v.pFollower->Init(1);
        // It starts a little beside the heroine, on a cell it may stand on.
        POINT pt = pPlayer->ptPos;
        for (int dx : {-96, 96, -64, 64, -32, 32}) {
            const POINT cell = pScene->PixelToCell(pPlayer->ptPos.x + dx, pPlayer->ptPos.y);
            if (pScene->IsCellPassable(cell.x, cell.y)) {
                pt = POINT{pPlayer->ptPos.x + dx, pPlayer->ptPos.y};
                break;
            }
        }
        v.pFollower->SetPos(pt.x, pt.y);
    }
    if (v.pFollower && pScene && pPlayer) {
        CFollower& f = *v.pFollower;
        f.Update(0, pPlayer->ptPos.x, pPlayer->ptPos.y);
        f.Draw();
        const POINT cell = pScene->PixelToCell(f.ptPos.x, f.ptPos.y);
        line << ",follower=(" << f.ptPos.x << ' ' << f.ptPos.y << "),cell=(" << cell.x << ' ' << cell.y
             << "),wall=" << (pScene->IsCellPassable(cell.x, cell.y) ? 0 : 1) << ",hero=(" << pPlayer->ptPos.x << ' '
             << pPlayer->ptPos.y << "),view=(" << pScene->ptView.x << ' ' << pScene->ptView.y
             << "),faction=" << f.nAction;
    }
    if (v.pSaves) {
        v.pSaves->Draw();
        line << ",top=" << v.pSaves->m_nTop << ",selected=" << v.pSaves->m_nSelected
             << ",thumbnail=" << v.pSaves->HasThumbnail() << ",done=" << v.pSaves->m_bDone
             << ",loads=" << v.loads.size();
    }
    if (v.pWords) {
        const int nDone = v.pWords->Draw();
        line << ",x=" << v.pWords->m_nX << ",alpha=" << v.pWords->m_nAlpha << ",done=" << nDone;
    }
    if (v.pLeave) {
        const int nOpen = v.pLeave->Draw();
        line << ",music=" << v.pLeave->m_nMusicVolume << ",sound=" << v.pLeave->m_nSoundVolume
             << ",speed=" << v.pLeave->m_nSpeed << ",newgame=" << v.pLeave->m_bNewGame << ",open=" << nOpen;
    }
    if (v.pChoose) line << ",choose=" << v.pChoose->Draw();
    if (v.pScenePic) {
        v.pScenePic->Draw(0, 300, 200);
        line << ",open=" << v.pScenePic->m_bOpen << ",marker=(" << v.pScenePic->GetMarker().x << ' '
             << v.pScenePic->GetMarker().y << ')';
    }
    if (v.pIconBar) {
        if (mouse.m_bClick && (GetAsyncKeyState(VK_LBUTTON) & 1)) v.pIconBar->OnClick();
        v.pIconBar->Draw();
        if (pStatusPanel)
            for (int k = 0; k < CStatusPanel::kPages; ++k)
                if (pStatusPanel->IsPageOpen(k)) pStatusPanel->DrawPage(mouse, k);
        if (pGoodsPanel) pGoodsPanel->Update(mouse);
        if (pGoodsGrid) pGoodsGrid->Update(mouse);
        line << ",goods=" << (pGoodsPanel && pGoodsPanel->m_bShown) << ",status="
             << (pStatusPanel && pStatusPanel->IsPageOpen(0)) << ",desc=" << (pDescBar && pDescBar->m_bVisible)
             << ",quick=" << v.pIconBar->GetQuickItem(0);
    }
    if (v.pTwin) {
        v.pTwin->Draw();
        line << ",hit=" << v.pTwin->PixelHit(POINT{mouse.m_nX, mouse.m_nY});
    }
    std::printf("%s\n", line.str().c_str());
}

// Drops the panels while the screen they were made for still exists.
void ReleaseView() {
    SetGoodsGridPeers(nullptr);
    pGoodsGrid = nullptr;
    pDescBar = nullptr;
    pGoodsPanel = nullptr;
    pStatusPanel = nullptr;
    if (g_pView && g_pView->pHero && pPlayer == g_pView->pHero.get()) pPlayer = nullptr;
    delete g_pView;
    g_pView = nullptr;
}

void OnFrame() {
    ++g_nFrame;
    if (g_nFrame > g_opt.nFrames && pFrame) {
        ReleaseView();
        pFrame->QuitGame();
        return;
    }
    if (!pMouse || !pFrame || g_bBuildFailed) return;
    if (!g_pView) {
        g_pView = new Viewer();
        if (!g_opt.party.empty() && pFrame) {
            for (size_t i = 0; i < 4; ++i) pFrame->m_nPartyIds[i] = i < g_opt.party.size() ? g_opt.party[i] : -1;
            pFrame->m_nPartyCount = int(std::min<size_t>(g_opt.party.size(), 4));
        }
        if (!Build(*g_pView)) {
            std::fprintf(stderr, "lanview: %s cannot be built here\n", g_opt.strClass.c_str());
            // The view's own hero stands in pPlayer: it leaves before the game tears down
            // what pPlayer points at.
            ReleaseView();
            g_bBuildFailed = true;
            pFrame->QuitGame();
            return;
        }
    }
    Drive(*g_pView);
}

bool ParseList(const char* psz, bool bPairs) {
    std::stringstream in(psz);
    std::string part;
    while (std::getline(in, part, ',')) {
        char* pEnd = nullptr;
        const long nId = std::strtol(part.c_str(), &pEnd, 10);
        if (pEnd == part.c_str()) return false;
        if (bPairs) {
            long nCount = 1;
            if (*pEnd == ':') nCount = std::strtol(pEnd + 1, &pEnd, 10);
            if (*pEnd) return false;
            g_opt.items.emplace_back(int(nId), int(nCount));
        } else {
            if (*pEnd) return false;
            g_opt.party.push_back(int(nId));
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: lanview DIR CLASS [--frames N] [--items ID:N,...] [--party ID,...]\n");
        return 2;
    }
    g_opt.strClass = argv[2];
    for (int i = 3; i < argc; ++i) {
        const bool bValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--frames") == 0 && bValue) {
            g_opt.nFrames = std::strtol(argv[++i], nullptr, 10);
        } else if (std::strcmp(argv[i], "--items") == 0 && bValue && ParseList(argv[i + 1], true)) {
            ++i;
        } else if (std::strcmp(argv[i], "--party") == 0 && bValue && ParseList(argv[i + 1], false)) {
            ++i;
        } else {
            std::fprintf(stderr, "lanview: bad argument %s\n", argv[i]);
            return 2;
        }
    }
    std::error_code ec;
    std::filesystem::current_path(argv[1], ec);
    if (ec) {
        std::fprintf(stderr, "lanview: the game folder %s cannot be entered\n", argv[1]);
        return 1;
    }
    setenv("GAME_HEADLESS", "1", 1);
    std::string strLock = (std::filesystem::temp_directory_path() / "lanview.XXXXXX").string();
    if (!mkdtemp(strLock.data())) {
        std::fprintf(stderr, "lanview: no lock folder can be made\n");
        return 1;
    }
    setenv("XDG_RUNTIME_DIR", strLock.c_str(), 1);
    pfnDrawProbe = &OnFrame;
    CGameApp app;
    app.InitInstance();
    const int nCode = app.ExitInstance();
    pfnDrawProbe = nullptr;
    ReleaseView();
    std::filesystem::remove_all(strLock, ec);
    return g_bBuildFailed ? 1 : nCode;
}
