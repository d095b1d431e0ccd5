// A game's course through the main window: the new game, the scene change (the one
// place a scene is built), the party members, and the three ways back to the title:
// game over, the ending and the credits.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "gamedata/GameData.h"
#include "platform/Charset.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "shell/FrameLinks.h"
#include "shell/HeroLink.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/SceneLink.h"
#include "shell/ShellGlobals.h"
#include "shell/ToolBarEffectsLink.h"
#include "shell/Transitions.h"
#include "ui/OwnLoop.h"
#include "ui/menus/MenuPanel.h"
#include "world/EffectManager.h"
#include "world/FreeCell.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

constexpr int kLastScene = kSceneTableCount - 1;
constexpr int kDefaultFadeMs = 500;
constexpr DWORD kGameOverMs = 3000;
constexpr int kEndingStart = 1364;
constexpr int kEndingWideLimit = 566;
constexpr int kCreditsEnd = 1800;

bool IsWhiteScene(int n) { return n == 20 || n == 23 || n == 24 || n == 25; }

// ESC down now or pressed since the last look ends the screen, a tap between two
// frames too. A press from before the screen is dropped by one look first.
bool EscapePressed() { return KeyDownOrTapped(VK_ESCAPE); }

bool IsButtonMessage(UINT nMessage) { return nMessage >= WM_LBUTTONDOWN && nMessage <= WM_RBUTTONDBLCLK; }

void StopMusic(CMp3Player& mp3) {
    mp3.Pause();
    mp3.Stop();
}

}  // namespace

void CMainFrame::DropMoveTexts() {
    CMapLink& map = MapLink();
    map.DeleteMoveText(m_pMoveText);
    m_pMoveText = nullptr;
    for (CMoveText*& p : m_pOneShotText) {
        map.DeleteMoveText(p);
        p = nullptr;
    }
    m_nOneShotCount = 0;
}

void CMainFrame::NewGame() {
    InstallSceneLinks();
    PanelLink().CloseAllPanels();
    SwitchOffToolBarWeather();
    ResetToolBarFight();
    if (pMouse) pMouse->m_bClick = 0;
    // A unit carried on the cursor belongs to the game that ends.
    if (pMouse) pMouse->m_nCarriedItem = -1;

    for (int i = 1; i < 4; ++i) m_nPartyIds[i] = -1;
    m_nPartyIds[0] = 0;
    const GameOptions options = pGameData && pGameData->pOptions ? *pGameData->pOptions : GameOptions{};
    m_nCurrentScene = options.nScene;
    m_nPartyCount = 1;
    m_nBankMoney = 0;
    ClearScriptWaits();

    CMapLink& map = MapLink();
    map.DeleteEffectManager();
    map.CreateEffectManager();
    if (pEffectManager && pGameData) {
        for (int s = 0; s < std::min(pGameData->nShopCount, kStockShops); ++s)
            if (ShopTable* pShop = pGameData->GetShop(s))
                for (int k = 0; k < kStockItems; ++k) pEffectManager->ShopStock[s][k] = pShop->Quantity(k + 1);
    }

    // A new game keeps nothing of the last one: the hero and every slot go.
    DeleteHeroes();
    DropMoveTexts();
    delete m_pBackPicture;
    m_pBackPicture = nullptr;
    m_rcMovie = RECT{0, 0, 800, 600};
    std::fill(&m_pEventFlagsA[0][0], &m_pEventFlagsA[0][0] + kSceneTableCount * kSceneFlagCount, 0);
    std::fill(&m_pEventFlagsB[0][0], &m_pEventFlagsB[0][0] + kSceneTableCount * kSceneFlagCount, 0);

    pPlayer = new CPlayer;
    pPlayer->nSculpt = options.nPlayerCloth;
    pPlayer->Init(0, false, -1);
    pPlayer->RefreshPartyMembers();
    pPlayer->SetMapPosAndHome(options.nPlayerX, options.nPlayerY);
    pPlayer->SetDirection(1);

    ChangeScene(options.nScene, 0, 100);

    AddPartyMember(0);
    CopyPartyMember(0);
    PanelLink().SetActiveSlot(1);
    PanelLink().SetPartyCount(1);
    for (int i = 0; i < 4; ++i)
        if (pParty[i]) m_nPartyIds[i] = i;
}

bool CMainFrame::ChangeScene(int nScene, int nKind, int nTime) {
    if (nScene < 0 || nScene > kLastScene) return false;
    InstallSceneLinks();
    CMapLink& map = MapLink();
    if (pScene) map.ReviveNpcs();
    PanelLink().CloseSceneMap();
    m_nSceneChanging = 1;
    StopMusic(m_mp3);

    // A time of -1 (or any negative one) is the default for every kind, so that a wipe
    // or a welcome fade never waits without end.
    const int nMs = nTime < 0 ? kDefaultFadeMs : nTime;
    switch (nKind) {
    case 0:
        if (pScreen) pScreen->FadeOut(nMs);
        break;
    case 1:
        if (pPlayer) pPlayer->bWipe = 1;
        CircleWipeOut(nMs);
        break;
    case 2:
        FadeWelcome(100, 155, 0, nMs);
        break;
    case 3:
        CScene::ShowLoadingScreen(nScene);
        break;
    default:
        break;
    }

    DropMoveTexts();

    // A missing scene is passed over in the direction of travel, within the scene table.
    const int nStep = m_nCurrentScene - nScene;
    std::string strWhy, strFirstWhy;
    bool bLoaded = false;
    SceneFault fault = SceneFault::kNone, firstFault = SceneFault::kNone;
    for (int n = nScene; n >= 0 && n <= kLastScene; n -= nStep) {
        m_nCurrentScene = n;
        if (MakeScene(n, &strWhy, &fault)) {
            bLoaded = true;
            break;
        }
        if (n == nScene) {
            strFirstWhy = strWhy;
            firstFault = fault;
        }
        // A scene reloaded in place has no other to try: its reason is said once, in the
        // message below.
        if (nStep == 0) break;
        std::fprintf(stderr, "scene %d: %s\n", n, strWhy.c_str());
    }
    if (!bLoaded) {
        // One message: the file of the scene asked for that could not be read, and why.
        static const std::string kMapFormat = Utf8ToText("没有找到地图文件 scene%03d.map");
        static const std::string kDamagedMapFormat = Utf8ToText("地图文件 scene%03d.map 已损坏");
        static const std::string kSetFormat = Utf8ToText("场景设置文件 scene%03d.set 已损坏");
        const std::string& strFormat = firstFault == SceneFault::kSettingDamaged ? kSetFormat
                                       : firstFault == SceneFault::kMapDamaged   ? kDamagedMapFormat
                                                                                 : kMapFormat;
        char szText[kMessageTextSize + 256];
        const int nLength = std::snprintf(szText, sizeof szText, strFormat.c_str(), nScene);
        if (nLength > 0 && size_t(nLength) < sizeof szText && !strFirstWhy.empty())
            std::snprintf(szText + nLength, sizeof szText - size_t(nLength), "\n%s", strFirstWhy.c_str());
        MessageBox(nullptr, szText, "", MB_OK);
        m_nSceneChanging = 0;
        QuitGameFailed(szText);
        return false;
    }

    m_bInGame = 1;
    if (m_pMenuManager) m_pMenuManager->m_nGameMode = 3;
    SetGameFolderCurrent();
    while (GetInputState()) FlushInputMessages();
    m_bInputHold = 1;
    nEventId = -1;
    CurrentScript = -1;
    pScene->ScrollToHero();

    if (pPlayer) {
        pPlayer->ptGoal = pPlayer->ptPos;
        pPlayer->nTargetObject = -1;
        pPlayer->nTalkTarget = -1;
        pPlayer->nAction = 0;
        pPlayer->ClearPath();
        pPlayer->timeFrame = dwNowTime;
    }
    if (!m_bLoading && pPlayer) {
        const POINT heroCell = pScene->PixelToCell(pPlayer->ptPos.x, pPlayer->ptPos.y);
        const int nActive = PanelLink().GetActiveSlot();
        for (int i = 0; i < 4; ++i) {
            if (!pParty[i] || i == nActive - 1) continue;
            POINT cell{heroCell.x + m_ptPartyOffsets[i].x, heroCell.y + m_ptPartyOffsets[i].y};
            // Near the map's edge the member stands on the hero's cell.
            if (!pScene->IsInGrid(cell.x, cell.y)) cell = heroCell;
            const POINT pt = pScene->CellToPixel(cell.x, cell.y);
            pParty[i]->SetMapPosAndHome(pt.x, pt.y);
            pParty[i]->ptNextWaypoint = pt;
            pParty[i]->ClearPath();
            pParty[i]->StopAndSnap();
        }
    }
    if (m_bMusicOn && pGameData) PlayMusic(pGameData->GetSceneMusic(m_nCurrentScene));
    m_nToolTipScene = -1;
    m_bCursorShapeChanged = 0;
    if (pMouse) pMouse->SetShape(0);
    if (nKind == 1) {
        if (pPlayer) pPlayer->bWipe = 0;
        CircleWipeIn(100);
    }
    if (pBack && pScreen) pBack->Fill(pScreen->RgbToPixel(IsWhiteScene(m_nCurrentScene) ? 0xFFFFFF : 0, pBack));

    map.ReviveNpcs();
    map.ResetNpcs();
    m_nSceneChanging = 0;
    pScene->ScrollToHero();
    if (pPlayer) pPlayer->StopAndSnap();
    FlushKeyboardMessages();
    return true;
}

void CMainFrame::ClearScriptWaits() {
    bSceneEffectWait = 0;
    m_nSceneEffectWait2 = 0;
    m_nCountdownSeconds = 0;
    m_dwCountdownTick = 0;
}

void CMainFrame::AddPartyMember(int nMember) {
    if (nMember < 0 || nMember >= 4) return;
    // The slot owns its member: whatever it held goes, and a companion held there is
    // the new member now, so nothing points at the one deleted.
    CPlayer* pOld = pParty[nMember];
    CPlayer* pMember = new CPlayer;
    pParty[nMember] = pMember;
    if (pOld && pCompanion == pOld) pCompanion = pMember;
    delete pOld;
    pMember->Init(1, true, nMember);
    POINT pt{100, 100};
    const POINT off = m_ptPartyOffsets[nMember];
    if (pScene && pPlayer) {
        const POINT heroCell = pScene->PixelToCell(pPlayer->ptPos.x, pPlayer->ptPos.y);
        POINT cell{heroCell.x + off.x, heroCell.y + off.y};
        if (!pScene->IsInGrid(cell.x, cell.y)) cell = heroCell;
        pt = pScene->CellToPixel(cell.x, cell.y);
    } else if (pPlayer) {
        pt = POINT{pPlayer->ptPos.x + 32 * off.x, pPlayer->ptPos.y + 32 * off.y};
    }
    pMember->SetMapPosAndHome(pt.x, pt.y);
    pMember->SetDirection(1);
    if (pPlayer) pPlayer->RefreshPartyMembers();
}

void CMainFrame::CopyPartyMember(int nSlot) {
    if (nSlot < 0 || nSlot >= 4 || !pParty[nSlot] || !pPlayer) return;
    *pParty[nSlot] = *pPlayer;
    pPlayer->RefreshPartyMembers();
}

POINT CMainFrame::GetHudPoint(int x, int y) { return pScene ? FindFreeMapPoint(*pScene, x, y) : POINT{-1, -1}; }

// Back to the title: the world is gone, the title menu comes again. The cursor takes
// the arrow: the talk or fight shape of the last hover is reset only by the scene's
// frames, which the title never runs.
static void ReturnToTitle(CMainFrame& frame) {
    MapLink().DeleteWorld(0);
    frame.m_nToolTipScene = -1;
    frame.m_bCursorShapeChanged = 0;
    if (pMouse) {
        pMouse->m_nCarriedItem = -1;
        pMouse->SetShape(0);
    }
    SwitchOffToolBarWeather();
    ResetToolBarFight();
    if (frame.m_pMenuManager) {
        frame.m_pMenuManager->m_nGameMode = 0;
        frame.m_pMenuManager->CreateTitleMenu();
    }
    frame.m_bInGame = 0;
}

void CMainFrame::GameOver() {
    m_mp3.Pause();
    // The heroes stay through the picture and the new toolbar; the return to the title
    // deletes them with the rest of the world.
    MapLink().DeleteScene();
    if (m_pMenuManager) m_pMenuManager->m_nGameMode = 0;
    m_bInGame = 0;

    SetGameFolderCurrent();
    auto pPicture = std::make_unique<CDXSurface>();
    if (pScreen && pBack && pPicture->CreateFromImageFile(pScreen, "IDB_GAMEOVER", DWORD(m_nScreenMode)) == 1) {
        pPicture->BlitOpaque(pBack, 0, 0);
        pScreen->Flip(FALSE);
    }
    PlayMusic(30);
    const DWORD dwStart = TimeGetTime();
    while (TimeGetTime() - dwStart <= kGameOverMs && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) SleepMs(1);
    pPicture.reset();

    if (pGameData) {
        for (int nItem = 0; nItem < pGameData->nItemCount; ++nItem)
            if (ItemRow* pRow = pGameData->GetItem(nItem))
                for (auto& cells : pRow->nBagCell) std::fill(std::begin(cells), std::end(cells), -1);
    }
    nEventId = -1;
    CurrentScript = -1;
    m_nPartyCount = 1;
    CPanelLink& panels = PanelLink();
    panels.DeletePanels();
    panels.SetActiveSlot(0);
    panels.SetPartyCount(1);
    panels.CreatePanels();
    ReturnToTitle(*this);
}

void CMainFrame::PlayEnding(int nPicture) {
    SetGameFolderCurrent();
    MapLink().DeleteWorld(0);
    StopMusic(m_mp3);
    char szName[32];
    std::snprintf(szName, sizeof szName, "End%03d.bmp", nPicture);
    std::unique_ptr<CDXSurface> pPicture(LoadMenuSurface(szName, false));
    std::unique_ptr<CDXSurface> pStrip(LoadMenuSurface("EndText.bmp", true));
    int s = kEndingStart;
    DWORD dwLast = TimeGetTime();
    GetAsyncKeyState(VK_ESCAPE);
    while (s >= 1 && m_bRunning) {
        DispatchOneMessage();
        if (pBack && pPicture) pPicture->BlitOpaque(pBack, 0, 0);
        if (pBack && pStrip) {
            const RECT rc = s < kEndingWideLimit ? RECT{s, 0, s + 800, 600} : RECT{s, 0, kEndingStart + 1, 600};
            pStrip->BlitKeyed(pBack, 0, 150, &rc);
        }
        if (EscapePressed()) break;
        if (TimeGetTime() - dwLast > 20) {
            dwLast = TimeGetTime();
            --s;
        }
        dwNowTime = TimeGetTime();
        if (pScreen) pScreen->Flip(FALSE);
    }
    m_nLastScroll = kEndingStart - s;
    PanelLink().SetActiveSlot(0);
    ReturnToTitle(*this);
}

void CMainFrame::ShowCredits() {
    SetGameFolderCurrent();
    MapLink().DeleteWorld(0);
    std::unique_ptr<CDXSurface> pBackground(LoadMenuSurface("MadeInofback.bmp", false));
    std::unique_ptr<CDXSurface> pText(LoadMenuSurface("MadeInOfText.bmp", true));
    StopMusic(m_mp3);
    if (m_bMusicOn) PlayMusic(31);
    int t = 0;
    dwNowTime = TimeGetTime();
    GetAsyncKeyState(VK_ESCAPE);
    while (t < kCreditsEnd && m_bRunning) {
        // The credits cover the title menu, whose button under the cursor still reads
        // as the makers button: a click let through would start the credits again
        // inside these. Clicks on the credits are taken and dropped.
        MSG msg;
        DispatchOneMessage(&msg, IsButtonMessage);
        if (pBack && pBackground) pBackground->BlitOpaque(pBack, 0, 0);
        if (pBack && pText) {
            const RECT rc{0, t, 800, t + 600};
            pText->BlitKeyed(pBack, 0, 0, &rc);
        }
        if (pScreen) pScreen->Flip(FALSE);
        if (EscapePressed()) break;
        if (TimeGetTime() - dwNowTime > 10) {
            ++t;
            dwNowTime = TimeGetTime();
        }
    }
    m_nLastScroll = t;
    ReturnToTitle(*this);
}
