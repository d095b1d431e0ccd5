// The inlay master's and the smith's boards in the whole game, headless, on the sample
// folder that mkgame writes. The harness starts each master's first-visit event (his
// gifts, then his board), then plays with injected clicks:
// shoes into the base slot and two gems onto the board, a run whose bar is caught half
// and full, the state panel (which gives the shoes back) and the shoes worn with the
// gems' bonus; the smith melts two pairs into new shoes; ESC during a run gives every
// piece back unconsumed. Each board stands wholly on the screen beside the open bag.
#include <functional>
#include <string>
#include <vector>

#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "shell/ToolBarLink.h"
#include "tests/TempFolder.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/HookedGame.h"
#include "tests/shell/ShellTestUtil.h"
#include "tools/mkgame/SampleBoards.cpp"  // the board pictures live in the mkgame tool
#include "tools/mkgame/SamplePanels.h"
#include "ui/panels/ItemMenu.h"
#include "ui/toolbar/BagRules.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/work/InlayMenu.h"
#include "ui/work/ManufactureMenu.h"
#include "ui/work/WorkMenuHost.h"
#include "world/Player.h"

namespace {

// The sample's shoes (type 2) and gems (type 8): straw shoes, two old pairs for the
// smith and one more pair; a ruby (one cell, attack 5), a wide gem (2 x 2) and a tall
// one (one column, attack 20).
constexpr int kStrawShoes = 30, kOldShoes1 = 31, kOldShoes2 = 32, kBoots = 33, kRuby = 40, kWideGem = 41,
              kTallGem = 43;
constexpr DWORD kOpenAt = 10500, kGiveUpAt = 60000;
// The masters' first-visit events: gifts, then the board.
constexpr int kInlayGifts = 81, kSmithGifts = 82;
// The state panel's box of the fourth equipment slot (shoes), the panel at (40, 10).
constexpr POINT kShoeBox{40 + 87, 10 + 292};

CWorkMenuHost* Work() {
    auto* pLink = dynamic_cast<CToolBarPanelLink*>(&PanelLink());
    return pLink ? pLink->GetWorkHost() : nullptr;
}

CProgressBoard* Board() {
    CWorkMenuHost* pWork = Work();
    if (!pWork) return nullptr;
    if (pWork->Inlay()) return pWork->Inlay();
    return pWork->Manufacture();
}

POINT Centre(const RECT& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }

bool ShowsProbe(const CShot& shot, POINT ptOrigin, const char* pszPicture) {
    const ToolBarProbe* p = FindBoardProbe(pszPicture);
    return p && shot.Near(ptOrigin.x + p->x, ptOrigin.y + p->y, PackRgb(p->r, p->g, p->b), 12);
}

// The board of a screenshot stands wholly on the screen beside the open bag: its frame's
// left column at the screen's edge and its right column, slid left by the fold, just left
// of the item panel at (400, 10), whose picture shows beside it.
void ExpectBoardBesideBag(const CShot& shot, POINT ptBoard) {
    const unsigned nFrame = PackRgb(200, 170, 100);
    EXPECT_EQ(ptBoard.x, 0);
    EXPECT_EQ(ptBoard.y, 50);
    EXPECT_TRUE(shot.Near(ptBoard.x, ptBoard.y + 100, nFrame, 12)) << shot.Path();
    EXPECT_TRUE(shot.Near(ptBoard.x + kSampleBoardWidth - kBoardFold - 1, ptBoard.y + 100, nFrame, 12)) << shot.Path();
    EXPECT_LE(ptBoard.x + kSampleBoardWidth - kBoardFold, 400);
    const ToolBarProbe* pBag = FindPanelProbe("ItemMenu_BKGround.tga");
    ASSERT_NE(pBag, nullptr);
    EXPECT_TRUE(shot.Near(400 + pBag->x, 10 + pBag->y, PackRgb(pBag->r, pBag->g, pBag->b), 24)) << shot.Path();
}

// Bar pixels of a screenshot: the progress picture's colour along the bar's row.
int BarPixels(const CShot& shot, const RECT& rcBar) {
    const ToolBarProbe* p = FindBoardProbe("Making.bmp");
    const LONG y = rcBar.top + 5;
    return shot.CountNear(RECT{rcBar.left, y, rcBar.right, y + 1}, PackRgb(p->r, p->g, p->b), 12);
}

// A queue of steps run one a pass: each returns true when it is done.
class CSteps {
public:
    void Add(std::function<bool()> step) { m_steps.push_back(std::move(step)); }
    void Wait(int nPasses) {
        auto pLeft = std::make_shared<int>(nPasses);
        Add([pLeft] { return --*pLeft <= 0; });
    }
    // Moves there, waits for a drawn frame (the panels take their hover), clicks.
    void Click(std::function<POINT()> where) {
        auto pt = std::make_shared<POINT>();
        Add([pt, where] {
            *pt = where();
            InjectMouseMove(pt->x, pt->y);
            return true;
        });
        Wait(2);
        Add([pt] {
            InjectMouseButton(VK_LBUTTON, true, pt->x, pt->y);
            return true;
        });
        Wait(2);
        Add([pt] {
            InjectMouseButton(VK_LBUTTON, false, pt->x, pt->y);
            return true;
        });
        Wait(3);
    }
    void Key(int nKey) {
        Add([nKey] {
            InjectKey(nKey, true);
            return true;
        });
        Wait(1);
        Add([nKey] {
            InjectKey(nKey, false);
            return true;
        });
        Wait(3);
    }
    void Do(std::function<void()> action) {
        Add([action] {
            action();
            return true;
        });
    }
    // Runs the current step; true once every step is done.
    bool Pass() {
        if (m_nNext < m_steps.size() && m_steps[m_nNext]()) ++m_nNext;
        return m_nNext >= m_steps.size();
    }
    size_t Done() const { return m_nNext; }

private:
    std::vector<std::function<bool()>> m_steps;
    size_t m_nNext = 0;
};

// The centre of the shown bag cell that holds the item's region; the first cell when none.
POINT BagCellOf(int nItem) {
    CGameToolBar* pBar = PanelLink().GetToolBar();
    auto* pItems = pBar ? dynamic_cast<CItemMenu*>(pBar->Panel(kItemPanel)) : nullptr;
    if (!pItems) return POINT{0, 0};
    for (int c = 0; c < kBagCells; ++c)
        if (pItems->Grid().ItemAt(c) == nItem) return Centre(pItems->Grid().Cell(c).rc);
    return POINT{0, 0};
}

// The centre of the first empty cell of the shown bag page.
POINT FreeBagCell() {
    CGameToolBar* pBar = PanelLink().GetToolBar();
    auto* pItems = pBar ? dynamic_cast<CItemMenu*>(pBar->Panel(kItemPanel)) : nullptr;
    if (!pItems) return POINT{0, 0};
    for (int c = 0; c < kBagCells; ++c)
        if (pItems->Grid().ItemAt(c) < 0) return Centre(pItems->Grid().Cell(c).rc);
    return POINT{0, 0};
}

POINT BoardCell(int n) { return Board() ? Centre(Board()->CellRect(n)) : POINT{0, 0}; }

// The middle of a 2 x 2 good: the gap between its first and its last cell.
POINT MiddleOf(const CItemGrid& grid, int nItem) {
    int nFirst = -1, nLast = -1;
    for (int c = 0; c < grid.GetCount(); ++c)
        if (grid.ItemAt(c) == nItem) (nFirst < 0 ? nFirst : nLast) = c;
    if (nLast < 0) return POINT{0, 0};
    const RECT &a = grid.Cell(nFirst).rc, &b = grid.Cell(nLast).rc;
    return POINT{(a.right + b.left) / 2, (a.bottom + b.top) / 2};
}
POINT BagMiddleOf(int nItem) {
    CGameToolBar* pBar = PanelLink().GetToolBar();
    auto* pItems = pBar ? dynamic_cast<CItemMenu*>(pBar->Panel(kItemPanel)) : nullptr;
    return pItems ? MiddleOf(pItems->Grid(), nItem) : POINT{0, 0};
}

// The start button's last column.
POINT StartEdge() { return Board() ? POINT{Board()->StartRect().right - 1, Centre(Board()->StartRect()).y} : POINT{0, 0}; }

// Pixels of the hover strip's body colour in a rectangle of a screenshot.
int StripPixels(const CShot& shot, const RECT& rc) {
    const ToolBarProbe* p = FindBoardProbe("ManufactureButton.bmp");
    return shot.CountNear(rc, PackRgb(p->r, p->g, p->b), 12);
}

TEST(CraftPlay, InlayRunWearSmithRunAndEscapeDuringARun) {
    UsePrivateRuntimeFolder();
    CTempFolder folder("craft-play");
    const std::string s = folder.Path() + "/";
    std::string strOldDir;
    ASSERT_TRUE(EnterSampleGame(folder, &strOldDir));
    // Frames of 60 ms: a step of the bar every second frame.
    UseVirtualClock(true, 1000, 60);
    // The title's new-game button.
    ASSERT_EQ(LoadInputScriptText(kNewGame, "craft play"), 0);

    // What the run saw.
    bool bStarted = false, bHalf = false, bFull = false, bHalfShot = false, bFullShot = false;
    POINT ptBoard{};
    RECT rcBar{};
    InlayRecord inlaid{};
    int nAttackBefore = 0, nAttackWorn = 0, nWornLink = 0, nWorn = -1;
    int nMade = -1, nMadeHeld = -1, nOld1 = -1, nOld2 = -1, nMadeSteps = 0;
    int nEscBoots = -1, nEscBoots0 = -2, nEscGem = -1, nEscSteps = 0, nEscLink = -1;
    bool bEscClosed = false, bGiftsOpened = false, bSmithOpened = false;
    int nGiftGem = -1, nGemTaken = -1, nGemOnBoard = -1;

    CSteps steps;
    auto pick = [&](int nItem) { steps.Click([nItem] { return BagCellOf(nItem); }); };
    auto onto = [&](int nCell) { steps.Click([nCell] { return BoardCell(nCell); }); };
    // Starts a town event and clicks its talks away until it ended.
    auto runEvent = [&](int nEvent) {
        steps.Do([nEvent] { pFrame->StartEvent(nEvent); });
        auto pPass = std::make_shared<int>(0);
        steps.Add([pPass] {
            if (!pFrame->IsEventRunning()) return true;
            const int k = (*pPass)++ % 8;
            if (k == 2) InjectMouseMove(770, 300);
            if (k == 4) InjectMouseButton(VK_LBUTTON, true, 770, 300);
            if (k == 6) InjectMouseButton(VK_LBUTTON, false, 770, 300);
            return false;
        });
        steps.Wait(3);
    };
    auto runToEnd = [&](int* pSteps) {
        steps.Add([pSteps] {
            CProgressBoard* pBoard = Board();
            if (pBoard && pBoard->IsRunning()) return false;
            if (pBoard) *pSteps = pBoard->GetSteps() - 1;
            return true;
        });
    };
    // 5: the inlay run, with the bar half and full.
    steps.Do([&] {
        // Her goods page starts empty, then holds the master's shoes and gems.
        for (int n = 0; n < kHeroItemCount; ++n) {
            ItemRow* pRow = pGameData->GetItem(n);
            if (pRow && FamilyOfType(pRow->nType) == BagFamily::Goods) {
                pPlayer->nItemCount[n] = 0;
                std::fill(pRow->nBagCell[pPlayer->TableMember()], pRow->nBagCell[pPlayer->TableMember()] + kBagCells, -1);
            }
        }
    });
    // The inlay master's first visit: a talk, his gifts, his board.
    runEvent(kInlayGifts);
    steps.Do([&] {
        bGiftsOpened = Work() && Work()->Inlay();
        nGiftGem = pPlayer->nItemCount[kWideGem];
        if (Board()) ptBoard = Board()->GetOrigin(), rcBar = Board()->ProgressRect();
    });
    pick(kStrawShoes);
    steps.Click([] { return Board() ? Centre(Board()->SlotRect()) : POINT{0, 0}; });
    pick(kRuby);
    onto(0);
    pick(kTallGem);
    onto(2);
    // Start pressed at its right edge, its hover strip shown there first.
    steps.Do([] { InjectMouseMove(StartEdge().x, StartEdge().y); });
    steps.Wait(2);
    steps.Do([&] { SaveScreenshotPng((s + "hover.png").c_str()); });
    steps.Click(StartEdge);
    steps.Do([&] { bStarted = Board() && Board()->IsRunning(); });
    steps.Add([&] {
        CProgressBoard* pBoard = Board();
        if (!pBoard || !pBoard->IsRunning()) return true;
        // The hook runs after the frame that drew the bar was presented.
        if (pBoard->GetSteps() == 46 && !bHalfShot) bHalfShot = SaveScreenshotPng((s + "half.png").c_str());
        if (pBoard->GetSteps() == kBoardSteps && !bFullShot) bFullShot = SaveScreenshotPng((s + "full.png").c_str());
        return false;
    });
    steps.Do([&] { inlaid = pPlayer->inlay[kStrawShoes]; });
    // The state panel closes the board (the shoes come back); the shoes worn.
    steps.Key('S');
    steps.Do([&] { nAttackBefore = pPlayer->nAttack; });
    pick(kStrawShoes);
    steps.Click([] { return kShoeBox; });
    steps.Do([&] {
        nAttackWorn = pPlayer->nAttack;
        nWorn = *pPlayer->EquipSlot(3);
        nWornLink = pPlayer->inlay[kStrawShoes].nLink;
    });
    steps.Key(VK_ESCAPE);
    // 6: the smith melts two old pairs.
    runEvent(kSmithGifts);
    steps.Do([&] { bSmithOpened = Work() && Work()->Manufacture(); });
    pick(kOldShoes1);
    onto(0);
    pick(kOldShoes2);
    onto(3);
    steps.Click([] { return Board() ? Centre(Board()->StartRect()) : POINT{0, 0}; });
    runToEnd(&nMadeSteps);
    steps.Do([&] {
        nMade = Board() ? Board()->SlotItem() : -1;
        SaveScreenshotPng((s + "made.png").c_str());
    });
    steps.Click([] { return Board() ? Centre(Board()->SlotRect()) : POINT{0, 0}; });
    steps.Click([] { return FreeBagCell(); });
    steps.Do([&] {
        nMadeHeld = nMade >= 0 ? pPlayer->nItemCount[nMade] : -1;
        nOld1 = pPlayer->nItemCount[kOldShoes1];
        nOld2 = pPlayer->nItemCount[kOldShoes2];
    });
    // 7: ESC during an inlay run.
    steps.Do([&] {
        CGameToolBar* pBar = PanelLink().GetToolBar();
        pBar->AddItemToBag(kBoots);
        nEscBoots0 = pPlayer->nItemCount[kBoots];  // the smith may have made a pair too
        WorkLink().Open(kWorkInlay, 0);
    });
    steps.Wait(3);
    pick(kBoots);
    steps.Click([] { return Board() ? Centre(Board()->SlotRect()) : POINT{0, 0}; });
    // The wide gem taken by its middle from the bag, then from the board, and put back.
    steps.Click([] { return BagMiddleOf(kWideGem); });
    onto(8);
    steps.Click([] { return Board() ? MiddleOf(Board()->Grid(), kWideGem) : POINT{0, 0}; });
    steps.Do([&] { nGemTaken = pMouse ? pMouse->m_nCarriedItem : -1; });
    onto(8);
    steps.Do([&] { nGemOnBoard = Board() ? Board()->Grid().ItemAt(8) : -1; });
    steps.Click([] { return Board() ? Centre(Board()->StartRect()) : POINT{0, 0}; });
    steps.Wait(40);
    steps.Do([&] { nEscSteps = Board() ? Board()->GetSteps() : 0; });
    steps.Key(VK_ESCAPE);
    steps.Do([&] {
        bEscClosed = Work() && !Work()->IsOpen() && !Board();
        nEscBoots = pPlayer->nItemCount[kBoots];
        nEscGem = pPlayer->nItemCount[kWideGem];
        nEscLink = pPlayer->inlay[kBoots].nLink;
        SaveScreenshotPng((s + "escaped.png").c_str());
    });
    steps.Do([] { pFrame->QuitGame(); });

    const DWORD dwStart = TimeGetTime();
    bool bOpened = false;
    const std::string strError = RunHookedGame([&] {
        const DWORD t = TimeGetTime() - dwStart;
        if (t > kGiveUpAt) pFrame->QuitGame();
        // Talks change the game mode; once on the map the steps run in every mode.
        if (!bOpened && (!pPlayer || !pScene || !PanelLink().GetToolBar() || !pGameData || pFrame->GetGameMode() != 3))
            return;
        if (t < kOpenAt) return;
        bOpened = true;
        if (Board() && Board()->IsRunning()) {
            bHalf = bHalf || Board()->GetSteps() == 46;
            bFull = bFull || Board()->GetSteps() == kBoardSteps;
        }
        steps.Pass();
    });
    SetCurrentDirectory(strOldDir.c_str());
    ASSERT_TRUE(strError.empty()) << strError;
    ASSERT_TRUE(bOpened) << "the map never ran";

    // 5: the run, its bar and its record; worn, the shoes raise the attack by the gems'.
    EXPECT_TRUE(bGiftsOpened) << "steps done: " << steps.Done();
    EXPECT_EQ(nGiftGem, 1);
    EXPECT_TRUE(bStarted) << "steps done: " << steps.Done();
    EXPECT_TRUE(bHalf && bFull);
    EXPECT_EQ(inlaid.nAttack, 5 + 20);
    EXPECT_EQ(inlaid.nLink, -1);
    EXPECT_EQ(nWorn, kStrawShoes);
    EXPECT_EQ(nAttackWorn, nAttackBefore + 25);
    EXPECT_EQ(nWornLink, -2);
    ASSERT_TRUE(bHalfShot && bFullShot);
    CShot half(s + "half.png"), full(s + "full.png");
    ASSERT_TRUE(half.Read() && full.Read());
    EXPECT_TRUE(ShowsProbe(half, ptBoard, "MenuInlay.bmp"));
    ExpectBoardBesideBag(half, ptBoard);
    // The bar grows a pixel a step, all of it left of the bag; the start button's hover
    // strip lies on the board, where the press at its edge started the run.
    EXPECT_EQ(BarPixels(half, rcBar), 46);
    EXPECT_EQ(BarPixels(full, rcBar), kBoardSteps);
    EXPECT_EQ(BarPixels(full, RECT{400, rcBar.top, 800, rcBar.bottom}), 0);
    CShot hover(s + "hover.png");
    ASSERT_TRUE(hover.Read());
    EXPECT_GT(StripPixels(hover, RECT{0, 318, 400, 362}), 500);
    EXPECT_EQ(StripPixels(hover, RECT{400, 318, 440, 362}), 0);

    // 6: the smith's run made new shoes, now in the bag; the old pairs are gone.
    EXPECT_TRUE(bSmithOpened);
    EXPECT_EQ(nMadeSteps, kBoardSteps);
    ASSERT_GE(nMade, 0);
    EXPECT_TRUE(nMade >= kStrawShoes && nMade <= 34) << nMade;
    // The straw shoes are worn, the old pairs consumed: the bag holds the new pair alone.
    EXPECT_EQ(nMadeHeld, 1);
    EXPECT_EQ(nOld1 + nOld2, (nMade == kOldShoes1 || nMade == kOldShoes2) ? 1 : 0);
    CShot made(s + "made.png");
    ASSERT_TRUE(made.Read());
    EXPECT_TRUE(ShowsProbe(made, ptBoard, "MenuManufacture.bmp"));
    ExpectBoardBesideBag(made, ptBoard);

    // 7: ESC in the middle of a run: every piece back, nothing recorded.
    EXPECT_GT(nEscSteps, 2);
    EXPECT_LT(nEscSteps, kBoardSteps);
    EXPECT_TRUE(bEscClosed);
    EXPECT_EQ(nEscBoots, nEscBoots0);
    EXPECT_EQ(nGemTaken, kWideGem) << "a click on the gem's middle on the board";
    EXPECT_EQ(nGemOnBoard, kWideGem) << "a click on the gem's middle in the bag";
    EXPECT_EQ(nEscGem, 1) << "the master's wide gem";
    EXPECT_EQ(nEscLink, 0);
    CShot escaped(s + "escaped.png");
    ASSERT_TRUE(escaped.Read());
    EXPECT_FALSE(ShowsProbe(escaped, ptBoard, "MenuInlay.bmp"));
}

}  // namespace
