// The toolbar's items in the whole game, headless, on the sample folder that mkgame
// writes: the heroine is given medicines and bombs on her quick slots beside a wolf put
// into the town; key 1 arms a bomb whose countdown shows at (400, 50), the blast kills the wolf
// with a "-n" over it and lays its loot, and a click on the loot picks it up.
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "platform/WindowBackend.h"
#include "shell/GameApp.h"
#include "shell/MainFrame.h"
#include "shell/PictureStore.h"
#include "shell/SceneLink.h"
#include "shell/ShellGlobals.h"
#include "shell/ToolBarLink.h"
#include "shell/UiShellLink.h"
#include "tests/TempFolder.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/HookedGame.h"
#include "tests/shell/ShellTestUtil.h"
#include "tests/shell/TownWolf.h"
#include "ui/toolbar/GameToolBar.h"
#include "world/EffectManager.h"
#include "world/GroundItem.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

constexpr int kMedicine = 1, kBomb = 47;
constexpr int kWolfId = kTownWolf, kPedlarId = 20;
constexpr DWORD kGiveAt = 10500, kArmAt = 12000;  // script times
constexpr DWORD kGiveUpAt = 30000;
constexpr unsigned kLootSeed = 7;
// The quick slots' rectangles on the screen.
constexpr RECT kSlots[8] = {{261, 550, 305, 595}, {320, 550, 365, 595}, {376, 550, 420, 595}, {431, 550, 475, 595},
                           {498, 550, 545, 595}, {556, 550, 600, 595}, {611, 550, 645, 595}, {669, 550, 715, 595}};

// Red pixels (red high, green and blue low) in a rectangle of a screenshot.
int RedIn(const CShot& shot, int l, int t, int r, int b) {
    int n = 0;
    for (int y = std::max(t, 0); y < std::min(b, 600); ++y)
        for (int x = std::max(l, 0); x < std::min(r, 800); ++x) {
            const unsigned p = shot.Pixel(x, y);
            n += (p >> 16) >= 180 && ((p >> 8) & 0xFF) < 60 && (p & 0xFF) < 60;
        }
    return n;
}

TEST(ToolBarItemsPlay, SlotsCountdownLifeLossOverTheWolfAndItsLootPickedUp) {
    UsePrivateRuntimeFolder();
    CTempFolder folder("toolbar-items");
    const std::string s = folder.Path() + "/";
    std::string strOldDir;
    ASSERT_TRUE(EnterSampleGame(folder, &strOldDir));
    ASSERT_TRUE(PutWolfInTown(GetCurrentDirectory()));
    const std::string strScript = kNewGame +
                                  "9500 move 400 300\n"
                                  "10000 shot " + s + "empty.png\n"
                                  "11500 shot " + s + "slots.png\n" +
                                  std::to_string(kArmAt) + " key press 1\n" +
                                  std::to_string(kArmAt + 400) + " shot " + s + "countdown.png\n" +
                                  std::to_string(kArmAt + 3001 + 240) + " shot " + s + "hit.png\n" +
                                  std::to_string(kArmAt + 4500) + " shot " + s + "loot.png\n" +
                                  std::to_string(kArmAt + 6000) + " shot " + s + "after.png\n"
                                  "21000 close\n";
    ASSERT_EQ(LoadInputScriptText(strScript, "toolbar items"), 0);

    // What the hook saw.
    const DWORD dwStart = TimeGetTime();
    bool bGiven = false, bPosted = false, bLootGone = false, bPedlar = false;
    int nArmedAt = -1, nWolfAction = -1, nLoot = -1, nLootItem = -1, nLootMoney = 0;
    int nCountBefore = -1, nCountAfter = -1;
    POINT ptWolfNumber{-1, -1}, ptLootShot{-1, -1}, ptNumber{-1, -1};
    int nNumbers = -1, nHeroLife = -1;
    DWORD dwClickAt = 0;
    const std::string strError = RunHookedGame([&] {
        CGameToolBar* pBar = PanelLink().GetToolBar();
        if (!pPlayer || !pScene || !pBar || pFrame->GetGameMode() != 3) return;
        const DWORD t = TimeGetTime() - dwStart;
        // A run that lost its way ends rather than waiting for the script's close.
        if (t > kGiveUpAt) pFrame->QuitGame();
        CNpc* pWolf = pScene->GetNpc(pScene->FindNpcById(kWolfId));
        if (!bGiven && pWolf && t >= kGiveAt) {
            // The gifts, on their slots, beside the wolf; life enough for its bites.
            bGiven = true;
            bPedlar = pScene->FindNpcById(kPedlarId) >= 0;
            for (int i = 0; i < 3; ++i) {
                pPlayer->AddItem(kMedicine);
                pPlayer->AddItem(kBomb);
            }
            pBar->m_nQuickSlots[0] = kMedicine;
            pBar->m_nQuickSlots[4] = kBomb;
            pBar->MirrorSlots();
            pPlayer->nLifeMax = pPlayer->nLife = 5000;
            // The wolf keeps near the town's bottom edge, where the strip would hide its loot.
            pWolf->SetMapPos(pWolf->pState->nMapX, pWolf->pState->nMapY - 256);
            pPlayer->SetMapPos(pWolf->pState->nMapX - 64, pWolf->pState->nMapY - 64);
            pScene->ScrollToHero();
        }
        if (pBar->m_bBombArmed) {
            if (nArmedAt < 0) {
                // She runs clear of the blast (half its 250-pixel reach hurts her).
                nArmedAt = int(t);
                pPlayer->SetMapPos(pBar->m_ptBomb.x + 200, pBar->m_ptBomb.y);
                pScene->ScrollToHero();
            }
            // A roll that lays loot: the generator is ours, so the run is the same each time.
            Srand(kLootSeed);
        }
        if (pWolf && nWolfAction != kNpcDie && nArmedAt >= 0) {
            nWolfAction = pWolf->nAction;
            // The number starts over the wolf in the frame it dies and rises 5 px a frame.
            if (nWolfAction == kNpcDie) {
                ptWolfNumber = POINT{pWolf->pState->nMapX - pScene->ptView.x - 20,
                                     pWolf->pState->nMapY - pScene->ptView.y - 100};
                nNumbers = pBar->FloatingNumberCount();
                if (pBar->m_pFloatingNumbers[0]) ptNumber = pBar->m_pFloatingNumbers[0]->GetPos();
                nHeroLife = pPlayer->nLife;
            }
        }
        const CGroundItem* pLoot = pScene->GetGroundItem(nLoot);
        if (pLoot && ptLootShot.x < 0) ptLootShot = POINT{pLoot->ptCell.x - pScene->ptView.x, pLoot->ptCell.y - pScene->ptView.y};
        for (int i = 0; i < int(pScene->pGroundItems.size()) && nLoot < 0 && nWolfAction == kNpcDie; ++i) {
            if (const CGroundItem* pItem = pScene->GetGroundItem(i)) {
                // She steps up to the loot (the view follows) for the shot and the click.
                nLoot = i;
                nLootItem = pItem->nItem;
                nLootMoney = pItem->nCount;
                nCountBefore = nLootMoney ? pPlayer->nMoney : pPlayer->nItemCount[nLootItem];
                pPlayer->SetMapPos(pItem->ptCell.x + 40, pItem->ptCell.y);
                pScene->ScrollToHero();
            }
        }
        if (pLoot && !bPosted && t >= kArmAt + 5000) {
            bPosted = true;
            const LPARAM at = LPARAM(ptLootShot.x) | (LPARAM(ptLootShot.y) << 16);
            PostMessage(pFrame, WM_MOUSEMOVE, 0, at);
            PostMessage(pFrame, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessage(pFrame, WM_LBUTTONUP, 0, at);
            dwClickAt = t;
        }
        if (bPosted && nCountAfter < 0 && t >= dwClickAt + 500) {
            nCountAfter = nLootMoney ? pPlayer->nMoney : pPlayer->nItemCount[nLootItem];
            bLootGone = pScene->GetGroundItem(nLoot) == nullptr;
        }
    });
    SetCurrentDirectory(strOldDir.c_str());
    ASSERT_TRUE(strError.empty()) << strError;
    ASSERT_TRUE(bGiven) << "the map never ran with the wolf";
    EXPECT_TRUE(bPedlar) << "the town's pedlar who gives medicines and bombs";

    CShot empty(s + "empty.png"), slots(s + "slots.png"), countdown(s + "countdown.png"), hit(s + "hit.png"),
        loot(s + "loot.png"), after(s + "after.png");
    ASSERT_TRUE(empty.Read() && slots.Read() && countdown.Read() && hit.Read() && loot.Read() && after.Read());
    // The medicine's and the bomb's icons on slots 1 and 5, with their counts in red.
    for (int nSlot : {0, 4}) {
        const RECT rc = kSlots[nSlot];
        EXPECT_GT(slots.Differences(empty, rc.left + 13, rc.top + 10, 24, 24), 200) << "icon of slot " << nSlot;
        EXPECT_GT(RedIn(slots, rc.left, rc.top, rc.left + 16, rc.top + 18), 3) << "count of slot " << nSlot;
        EXPECT_EQ(RedIn(empty, rc.left, rc.top, rc.left + 16, rc.top + 18), 0) << "count of slot " << nSlot;
    }
    EXPECT_EQ(slots.Differences(empty, kSlots[1].left + 13, kSlots[1].top + 10, 24, 24), 0) << "slot 2 stays empty";
    // Key 1 armed the bomb: the countdown in red at (400, 50).
    EXPECT_GE(nArmedAt, int(kArmAt));
    EXPECT_LT(nArmedAt, int(kArmAt) + 100);
    EXPECT_GT(RedIn(countdown, 400, 50, 500, 100), 10);
    EXPECT_EQ(RedIn(slots, 400, 50, 500, 100), 0);
    EXPECT_EQ(RedIn(hit, 400, 50, 500, 100), 0) << "gone after the blast";
    // The blast killed the wolf; its "-60", the only number, rises over it.
    ASSERT_EQ(nWolfAction, kNpcDie);
    EXPECT_EQ(nNumbers, 1);
    EXPECT_EQ(nHeroLife, 5000) << "she stood clear";
    EXPECT_EQ(ptNumber.x, ptWolfNumber.x);
    EXPECT_EQ(ptNumber.y, ptWolfNumber.y);
    EXPECT_EQ(RedIn(slots, ptWolfNumber.x, ptWolfNumber.y - 60, ptWolfNumber.x + 50, ptWolfNumber.y + 20), 0);
    EXPECT_GT(RedIn(hit, ptWolfNumber.x, ptWolfNumber.y - 60, ptWolfNumber.x + 50, ptWolfNumber.y + 20), 10);
    // Its loot lies on the ground, and the click took it: the count rose by one unit
    // (or by the money).
    ASSERT_GE(nLoot, 0) << "the wolf laid no loot";
    EXPECT_GT(loot.Differences(after, ptLootShot.x - 24, ptLootShot.y - 24, 48, 48), 20);
    EXPECT_TRUE(bLootGone);
    ASSERT_GE(nCountBefore, 0);
    EXPECT_EQ(nCountAfter, nCountBefore + (nLootMoney ? nLootMoney : 1));
}

}  // namespace
