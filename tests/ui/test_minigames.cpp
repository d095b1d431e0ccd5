// The mini-games in their own loops on a headless screen with the sample game's
// pictures: the catch game's spawning, catching and bag placement; the knock game's
// win, loss and key handling; the gamble's stakes, refunds and outcomes; the picture
// show's timing; each loop's end at a quit or a close; and the mini-game link.
#include "tests/ui/ToolBarTestUtil.h"

#include <algorithm>

#include "shell/MiniGameLink.h"
#include "tools/mkgame/SampleMiniGames.cpp"  // the pictures live in the mkgame tool
#include "ui/minigames/CatchGame.h"
#include "ui/minigames/GambleGame.h"
#include "ui/minigames/KnockGame.h"
#include "ui/minigames/PictureShow.h"

namespace {

// The fake shell with a hook on each call a game makes once per frame: the mouse
// position (the catch game), the cursor draw (knock, gamble) and the running test at
// the start of every pass (all games, the show's only one).
class CGameShell : public CFakeShell {
public:
    POINT GetMousePos() override {
        ++nMousePolls;
        if (onMousePoll) onMousePoll(nMousePolls);
        return ptMouse;
    }
    void DrawMouse() override {
        ++nFrames;
        if (onFrame) onFrame(nFrames);
    }
    bool IsGameRunning() override {
        ++nPasses;
        if (onPass) onPass(nPasses);
        // A game that never ends fails the test instead of hanging it.
        if (nPasses > kPassLimit) {
            ADD_FAILURE() << "the game ran past " << kPassLimit << " passes";
            return false;
        }
        return bRunning;
    }
    static constexpr int kPassLimit = 20000;
    int nMousePolls = 0, nPasses = 0;
    std::function<void(int)> onMousePoll, onPass;
};

class CBarLink : public CPanelLink {
public:
    CGameToolBar* GetToolBar() const override { return pBar; }
    CGameToolBar* pBar = nullptr;
};

class MiniGameTest : public ToolBarTest {
protected:
    void SetUp() override {
        ToolBarTest::SetUp();
        ASSERT_TRUE(UsePackage(MiniGameContentEntries()));
        SetUiShell(&shell);
        m_window.pShell = &shell;
        link.pBar = bar.get();
        SetPanelLink(&link);
        hero.ptPos = POINT{640, 480};
        m_nPresentedBefore = GetPresentedFrameCount();
    }
    void TearDown() override {
        // A quit a test left for the main loop is not carried into the next test.
        FlushInputMessages();
        MSG msg;
        while (PeekMessage(&msg, true)) {}
        ToolBarTest::TearDown();
    }
    int Presented() const { return int(GetPresentedFrameCount() - m_nPresentedBefore); }
    // The picture body colour at (x, y) of the back buffer.
    bool Shows(int x, int y, const std::string& strName, int nTile = 0) {
        const std::uint32_t c = MiniGameBody(strName, nTile);
        return c != 0 && Near(x, y, int(c >> 16), int((c >> 8) & 0xFF), int(c & 0xFF));
    }
    bool ShowsRgb(int x, int y, std::uint32_t c) { return Near(x, y, int(c >> 16), int((c >> 8) & 0xFF), int(c & 0xFF)); }
    // A press and release of the left button at (x, y), both before the next poll.
    void Click(int x, int y) {
        shell.ptMouse = POINT{x, y};
        InjectMouseButton(VK_LBUTTON, true, x, y);
        InjectMouseButton(VK_LBUTTON, false, x, y);
    }
    // The catch game reads whether the button is down: it goes down at one poll and
    // comes up at the next.
    void ButtonDown(int x, int y) {
        shell.ptMouse = POINT{x, y};
        InjectMouseButton(VK_LBUTTON, true, x, y);
    }
    void ButtonUp() { InjectMouseButton(VK_LBUTTON, false, shell.ptMouse.x, shell.ptMouse.y); }
    void PressSpace() {
        InjectKey(VK_SPACE, true);
        InjectKey(VK_SPACE, false);
    }
    // Which of the named pictures shows at (x, y); -1 none.
    int WhichShows(int x, int y, const std::vector<std::string>& names) {
        for (size_t i = 0; i < names.size(); ++i)
            if (Shows(x, y, names[i])) return int(i);
        return -1;
    }
    static bool QuitIsQueued() {
        MSG msg;
        while (PeekMessage(&msg, true))
            if (msg.message == WM_QUIT) return true;
        return false;
    }
    static std::vector<std::string> Numbered(const char* pszFormat, int nFirst, int nLast) {
        std::vector<std::string> names;
        for (int i = nFirst; i <= nLast; ++i) {
            char sz[32];
            std::snprintf(sz, sizeof sz, pszFormat, i);
            names.emplace_back(sz);
        }
        return names;
    }

    CGameShell shell;
    CBarLink link;
    DWORD m_nPresentedBefore = 0;
};

// ---- catch ----

TEST_F(MiniGameTest, CatchRunsItsFramesSpawnsOnTimeAndACaughtItemGoesIntoTheBag) {
    items[0].nType = 2;  // goods, one cell
    CCatchGame game;
    std::vector<DWORD> spawnTimes, pollTimes;
    const DWORD dwStart = TimeGetTime();
    // Where each slot's item stood at the last poll (-1: empty). Items only move right,
    // so one further left is a new one, even where it took the old one's memory.
    int nSeenX[kCatchSlots];
    std::fill(std::begin(nSeenX), std::end(nSeenX), -1);
    int nClickFrame = -1, nCaughtFrame = -1, nHandX = -1, nFirstX = 0;
    bool bBarChecked = false;
    shell.onMousePoll = [&](int n) {
        // The spawn step reads the clock right after this poll: a new item seen now came
        // at the time of the last poll.
        pollTimes.push_back(TimeGetTime());
        for (int i = 0; i < kCatchSlots; ++i) {
            CFlyItem* p = game.m_pItems[i].get();
            if (p && (nSeenX[i] < 0 || p->m_x < nSeenX[i]) && n >= 2) spawnTimes.push_back(pollTimes[size_t(n) - 2]);
            if (i == 0 && !p && nSeenX[0] >= 0 && nFirstX < 801 && nCaughtFrame < 0) nCaughtFrame = n;
            if (i == 0 && p) nFirstX = p->m_x;
            nSeenX[i] = p ? p->m_x : -1;
        }
        // The hand meets a kind-0 item (row 250, one pixel a frame) 62 frames after
        // the click when it rises below the item 58 pixels ahead of where it is now.
        CFlyItem* pFirst = game.m_pItems[0].get();
        if (nClickFrame < 0 && pFirst && pFirst->m_x == 100) {
            ASSERT_EQ(pFirst->m_nKind, 0);
            ButtonDown(158, 500);
            nClickFrame = n;
        }
        if (nClickFrame > 0 && (n == nClickFrame + 1 || n == nClickFrame + 21)) ButtonUp();
        // A click while the hand rises changes nothing, wherever the mouse is.
        if (nClickFrame > 0 && n == nClickFrame + 20) {
            EXPECT_EQ(game.m_bRising, 1);
            nHandX = game.m_ptHand.x;
            ButtonDown(500, 500);
        }
        if (nClickFrame > 0 && n == nClickFrame + 40) {
            EXPECT_EQ(game.m_ptHand.x, nHandX);
            EXPECT_EQ(game.m_ptHand.y, 430 - 3 * 39);
        }
        // The back buffer holds the last frame (c = n - 1): the bar is c x 640 / 6000 wide.
        if (n == 3001) {
            const int w = 3000 * 640 / 6000;
            EXPECT_TRUE(ShowsRgb(20 + w - 1, 15, kTimeBarUpper));
            EXPECT_TRUE(Shows(20 + w + 1, 15, "EVE.bmp"));
            bBarChecked = true;
        }
        // The last frame has the full bar.
        if (n == kCatchLastFrame + 2) {
            EXPECT_TRUE(ShowsRgb(20 + 639, 15, kTimeBarUpper));
            EXPECT_TRUE(Shows(20 + 641, 15, "EVE.bmp"));
        }
    };
    EXPECT_EQ(game.Run(), 1);
    EXPECT_EQ(Presented(), kCatchLastFrame + 1);
    EXPECT_EQ(game.m_bRunning, 0);
    EXPECT_TRUE(bBarChecked);
    EXPECT_EQ(shell.nMousePolls, kCatchLastFrame + 2);

    ASSERT_GT(nClickFrame, 0);
    EXPECT_EQ(nCaughtFrame - nClickFrame, 63);  // seen at the poll after the catching frame
    EXPECT_EQ(hero.nItemCount[0], 1);
    EXPECT_TRUE(std::any_of(std::begin(items[0].nBagCell[0]), std::end(items[0].nBagCell[0]), [](int c) { return c >= 0; }));
    EXPECT_TRUE(host.drops.empty());
    ASSERT_GT(spawnTimes.size(), 10u);
    EXPECT_GE(spawnTimes[0] - dwStart, kCatchSpawnMs);
    for (size_t i = 1; i < spawnTimes.size(); ++i) EXPECT_GE(spawnTimes[i] - spawnTimes[i - 1], kCatchSpawnMs) << i;
}

// An item the test placed, told from the game's own by its type and number (a freed
// item's address is handed straight to the next one).
struct CPlacedFlyItem : CFlyItem {
    CPlacedFlyItem(CDXSprite* pSheet, int nNumber) : CFlyItem(pSheet), nPlaced(nNumber) {}
    int nPlaced;
};

// The number of the placed item in that slot; -1 for the game's own, -2 for none.
int PlacedNumber(const std::unique_ptr<CFlyItem>& pItem) {
    if (!pItem) return -2;
    const auto* pPlaced = dynamic_cast<const CPlacedFlyItem*>(pItem.get());
    return pPlaced ? pPlaced->nPlaced : -1;
}

TEST_F(MiniGameTest, CatchWithFullSlotsSpawnsNothingUntilOneLeavesAndNoClickCatchesNothing) {
    CCatchGame game;
    // Nine slow items and a fast one in the last slot: kind 4 leaves after 161 moves.
    for (int i = 0; i < kCatchSlots; ++i) {
        game.m_pItems[i] = std::make_unique<CPlacedFlyItem>(game.m_pItemSheet.get(), i);
        game.m_pItems[i]->Set(i == 9 ? 4 : 0);
    }
    int nLeftAt = -1, nRefilledAt = -1;
    shell.onMousePoll = [&](int n) {
        for (int i = 0; i < 9; ++i) ASSERT_EQ(PlacedNumber(game.m_pItems[i]), i) << "frame " << n;
        CFlyItem* pLast = game.m_pItems[9].get();
        if (n == 161) {
            ASSERT_EQ(PlacedNumber(game.m_pItems[9]), 9);
            EXPECT_EQ(pLast->m_x, 800);
        }
        if (!pLast && nLeftAt < 0) nLeftAt = n;
        if (PlacedNumber(game.m_pItems[9]) == -1 && nRefilledAt < 0) {
            nRefilledAt = n;
            EXPECT_EQ(pLast->m_nKind, 4);
            EXPECT_EQ(pLast->m_x, 5);
            shell.bRunning = false;  // the window closed: the game ends at the next pass
        }
    };
    EXPECT_EQ(game.Run(), 0);
    EXPECT_EQ(nLeftAt, 162);
    EXPECT_GT(nRefilledAt, nLeftAt);
    EXPECT_EQ(Presented(), nRefilledAt);
    for (int n : hero.nItemCount) EXPECT_EQ(n, 0);
}

TEST_F(MiniGameTest, CatchWithAFullBagDropsTheUnitAtTheHeroWithoutANotice) {
    // The "other" family's page is full; the caught kind belongs to it.
    items[0].nType = 5;
    items[5].nType = 5;
    for (int c = 0; c < kBagCells; ++c) items[5].nBagCell[0][c] = c;
    hero.nItemCount[5] = 54;
    CCatchGame game;
    game.m_pItems[0] = std::make_unique<CFlyItem>(game.m_pItemSheet.get());
    game.m_pItems[0]->Set(0);
    game.m_pItems[0]->m_x = 40;
    int nFrame = 0;
    shell.onMousePoll = [&](int n) {
        nFrame = n;
        if (n == 1) ButtonDown(40 + 58 - 1, 500);
        if (n == 2) ButtonUp();
        if (!game.m_pItems[0]) PostQuitMessage(0);
    };
    EXPECT_EQ(game.Run(), 0);
    EXPECT_EQ(nFrame, 64);
    EXPECT_EQ(Presented(), 64);
    EXPECT_EQ(hero.nItemCount[0], 0);
    ASSERT_EQ(host.drops.size(), 1u);
    EXPECT_EQ(host.drops[0], (std::vector<int>{0, 640, 480, 0}));
    EXPECT_TRUE(host.notices.empty());
    EXPECT_TRUE(QuitIsQueued());  // the quit goes on to the main loop
}

// ---- knock ----

TEST_F(MiniGameTest, KnockWonBy214PressesAfterPicturesFiveSixSevenHeldFiveFramesEach) {
    CKnockGame game;
    const std::vector<std::string> pictures = Numbered("Knock%04d.bmp", 0, 10);
    std::vector<int> shown(1, -1);
    std::vector<int> little(1, -1);
    shell.onFrame = [&](int n) {
        shown.push_back(WhichShows(550, 300, pictures));
        little.push_back(Shows(640, 500, "KnockLitte.bmp", 1) ? 1 : Shows(640, 500, "KnockLitte.bmp", 0) ? 0 : -1);
        if (n == 214) {
            // 213 presses so far: 639, short of the full bar, and the next press still counts.
            EXPECT_EQ(game.m_nPower, 639);
        }
        if (n == 215) {
            EXPECT_EQ(game.m_nPower, 642);
            EXPECT_TRUE(ShowsRgb(641, 85, kTimeBarUpper));
            EXPECT_TRUE(ShowsRgb(213, 35, kTimeBarLower));
            EXPECT_TRUE(Shows(215, 35, "KnockBack.bmp"));
        }
        if (n <= 214) PressSpace();
    };
    EXPECT_EQ(game.Run(), 1);
    EXPECT_EQ(Presented(), 230);
    ASSERT_EQ(shown.size(), 231u);
    for (int n = 1; n <= 215; ++n) EXPECT_TRUE(shown[size_t(n)] >= 0 && shown[size_t(n)] < 5) << n;
    // The struggle cycles one picture every fifth frame.
    EXPECT_EQ(shown[5], 0);
    EXPECT_EQ(shown[6], 1);
    EXPECT_EQ(shown[26], 0);
    for (int n = 216; n <= 230; ++n) EXPECT_EQ(shown[size_t(n)], 5 + (n - 216) / 5) << n;
    // The little one's tile 1 on every frame that took a press.
    EXPECT_EQ(little[1], 0);
    EXPECT_EQ(little[2], 1);
    EXPECT_EQ(little[215], 1);
    EXPECT_EQ(little[216], 0);
}

TEST_F(MiniGameTest, KnockLostWith213PressesOrNoneAfterTheTimeBarFills) {
    for (int nPresses : {213, 0}) {
        FlushInputMessages();
        CKnockGame game;
        const std::vector<std::string> pictures = Numbered("Knock%04d.bmp", 0, 10);
        std::vector<int> shown(1, -1);
        const DWORD dwBefore = GetPresentedFrameCount();
        shell.nFrames = 0;
        shell.onFrame = [&](int n) {
            shown.push_back(WhichShows(550, 300, pictures));
            if (n == 641) {
                EXPECT_TRUE(ShowsRgb(639, 35, kTimeBarLower));
                EXPECT_TRUE(Shows(641, 35, "KnockBack.bmp"));
            }
            if (n <= nPresses) PressSpace();
        };
        EXPECT_EQ(game.Run(), 0) << nPresses;
        EXPECT_EQ(game.m_nPower, nPresses * 3);
        EXPECT_EQ(int(GetPresentedFrameCount() - dwBefore), 655) << nPresses;
        ASSERT_EQ(shown.size(), 656u);
        for (int n = 1; n <= 641; ++n) ASSERT_TRUE(shown[size_t(n)] >= 0 && shown[size_t(n)] < 5) << n;
        for (int n = 642; n <= 655; ++n) EXPECT_EQ(shown[size_t(n)], 8 + (n - 641) / 5) << n;
    }
}

TEST_F(MiniGameTest, KnockCountsAHeldSpaceOnceAndEndsAtACloseOrAQuit) {
    {
        CKnockGame game;
        shell.onFrame = [&](int n) {
            if (n == 1) InjectKey(VK_SPACE, true);  // held down from here on
            if (n == 30) shell.bRunning = false;
        };
        EXPECT_EQ(game.Run(), 0);
        EXPECT_EQ(game.m_nPower, 3);
        EXPECT_EQ(Presented(), 30);
        InjectKey(VK_SPACE, false);
    }
    shell.bRunning = true;
    shell.nFrames = 0;
    CKnockGame game;
    shell.onFrame = [&](int n) {
        if (n == 40) PostQuitMessage(0);
    };
    EXPECT_EQ(game.Run(), 0);
    EXPECT_EQ(Presented(), 70);
    EXPECT_TRUE(QuitIsQueued());
}

// ---- gamble ----

// Clicks (x, y) at the cursor draw of the given frames.
struct GambleClick {
    int nFrame, x, y;
};

class GambleTest : public MiniGameTest {
protected:
    // Runs a gamble with the clicks; onFrame sees each frame before its clicks. The loop
    // takes one message a pass and the cursor follows the messages it took, so clicks
    // lie four frames apart for the cursor to be where the click was.
    int Play(CGambleGame& game, std::vector<GambleClick> clicks, std::function<void(int)> onFrame = nullptr) {
        shell.onFrame = [&, clicks, onFrame](int n) {
            if (onFrame) onFrame(n);
            for (const GambleClick& c : clicks)
                if (c.nFrame == n) Click(c.x, c.y);
        };
        return game.Run();
    }
    int YellowIn(int l, int t, int r, int b) {
        int n = 0;
        if (Failed(pBack->Lock())) return 0;
        // Nearly yellow: the text's smoothed edges blend into the dark table, so only
        // the strokes' cores count.
        const CDXPixelFormat& f = pBack->PixelFormat();
        auto ch = [&](DWORD dw, int nShift, int nMax) { return nMax ? int((dw >> nShift) & DWORD(nMax)) * 255 / nMax : 0; };
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) {
                const DWORD dw = pBack->GetPixel(x, y);
                n += ch(dw, f.nRedShift, f.nRedMax) > 200 && ch(dw, f.nGreenShift, f.nGreenMax) > 200 &&
                     ch(dw, f.nBlueShift, f.nBlueMax) < 90;
            }
        pBack->Unlock();
        return n;
    }
};

constexpr int kSide0X = 50, kSideY = 550, kSide1X = 750, kStartX = 300, kStartY = 300;
constexpr int kRowX = 60, kRow100 = 120, kRow200 = 160, kRow500 = 200;

TEST_F(GambleTest, StartDoesNothingBeforeAStakeAndTooLittleMoneyEndsWithTheMessage) {
    hero.nMoney = 100;
    CGambleGame game;
    bool bPanelSeen = false;
    int nYellowAfterRefusal = 0;
    const int nResult = Play(game, {{2, kStartX, kStartY}, {6, kSide0X, kSideY}, {10, kRowX, kRow100}, {14, 400, 400}},
                             [&](int n) {
                                 if (n == 3) {
                                     EXPECT_EQ(game.m_bRolling, 0);
                                 }
                                 if (n == 7) bPanelSeen = game.m_bChoosingStake && Shows(100, 130, "money.bmp");
                                 if (n == 11) {
                                     EXPECT_EQ(game.m_bNoMoney, 1);
                                     EXPECT_EQ(game.m_nStake, 0);
                                     EXPECT_EQ(YellowIn(300, 200, 400, 300), 0);
                                 }
                                 // The message went into the background after this frame's copy.
                                 if (n == 12) nYellowAfterRefusal = YellowIn(300, 200, 400, 300);
                             });
    EXPECT_EQ(nResult, 0);
    EXPECT_EQ(shell.nFrames, 14);
    EXPECT_TRUE(bPanelSeen);
    EXPECT_GT(nYellowAfterRefusal, 10);
    EXPECT_EQ(hero.nMoney, 100);
}

TEST_F(GambleTest, AStakeNeedsMoreThanItAndAStakeChosenAgainReplacesThePaidOne) {
    hero.nMoney = 101;
    {
        CGambleGame game;
        int nMoneyStaked = -1;
        // With 101 the 100 stake is taken, leaving 1; a close while staked gives it back.
        const int nResult = Play(game, {{1, kSide1X, kSideY}, {5, kRowX, kRow100}}, [&](int n) {
            if (n == 6) {
                nMoneyStaked = hero.nMoney;
                EXPECT_EQ(game.m_nStake, 100);
                EXPECT_EQ(game.m_nSide, 1);
                shell.bRunning = false;
            }
        });
        EXPECT_EQ(nResult, 0);
        EXPECT_EQ(nMoneyStaked, 1);
        EXPECT_EQ(hero.nMoney, 101);
    }
    shell.bRunning = true;
    shell.nFrames = 0;
    hero.nMoney = 1000;
    {
        CGambleGame game;
        int nMoneyAfter100 = -1, nMoneyAfter200 = -1;
        Play(game, {{1, kSide0X, kSideY}, {5, kRowX, kRow100}, {9, kSide0X, kSideY}, {13, kRowX, kRow200}}, [&](int n) {
            if (n == 6) nMoneyAfter100 = hero.nMoney;
            if (n == 14) {
                nMoneyAfter200 = hero.nMoney;
                EXPECT_EQ(game.m_nStake, 200);
                PostQuitMessage(0);
            }
        });
        EXPECT_EQ(nMoneyAfter100, 900);
        EXPECT_EQ(nMoneyAfter200, 800);
        EXPECT_EQ(hero.nMoney, 1000);  // the quit before the roll gave the stake back
        EXPECT_TRUE(QuitIsQueued());
    }
    shell.nFrames = 0;
    hero.nMoney = 150;
    {
        // 100 is paid, then 200 is refused: the 100 came back first and nothing stays paid.
        CGambleGame game;
        EXPECT_EQ(Play(game, {{1, kSide0X, kSideY}, {5, kRowX, kRow100}, {9, kSide0X, kSideY}, {13, kRowX, kRow200},
                              {17, 400, 400}}),
                  0);
        EXPECT_EQ(hero.nMoney, 150);
    }
}

TEST_F(GambleTest, TheStartFrameDecidesWinOrLossAndTheNextClickEndsTheGame) {
    // The roll starts on the frame after the click and its 70 pictures end 71 frames
    // later: a start click on cursor draw s settles at c = s + 71.
    struct Case {
        int nSide, nStartClick;
        bool bWin;
    };
    for (Case k : {Case{0, 10, true}, Case{1, 11, false}, Case{1, 13, true}, Case{0, 12, false}}) {
        ASSERT_EQ((k.nStartClick + 71) % 3 == 0, k.bWin);
        hero.nMoney = 1000;
        shell.nFrames = 0;
        FlushInputMessages();
        CGambleGame game;
        const int nSideX = k.nSide == 0 ? kSide0X : kSide1X;
        const std::vector<std::string> rolls = Numbered("wa%03d.bmp", 1, 80);
        std::vector<int> rollShown;
        bool bOutcomeSeen = false, bStartHidden = true;
        int nYellow = 0;
        const int nEnd = k.nStartClick + 71 + 3;
        const int nResult = Play(
            game, {{1, nSideX, kSideY}, {5, kRowX, kRow200}, {k.nStartClick, kStartX, kStartY}, {nEnd, 400, 400}},
            [&](int n) {
                if (n > k.nStartClick && n <= k.nStartClick + 70) {
                    rollShown.push_back(WhichShows(400, 220, rolls));
                    bStartHidden = bStartHidden && !Shows(300, 300, "Begin.bmp");
                }
                if (n == k.nStartClick + 72) {
                    const int nOutcome = (k.nSide == 0) == k.bWin ? 9 : 4;
                    bOutcomeSeen = Shows(400, 100, nOutcome == 9 ? "s09.bmp" : "s04.bmp");
                    nYellow = YellowIn(300, 200, 400, 300);
                }
            });
        EXPECT_EQ(nResult, 1);
        EXPECT_EQ(shell.nFrames, nEnd);
        ASSERT_EQ(rollShown.size(), 70u);
        for (int i = 0; i < 70; ++i) EXPECT_EQ(rollShown[size_t(i)], i + 1) << i;
        EXPECT_TRUE(bStartHidden);
        EXPECT_TRUE(bOutcomeSeen) << k.nSide << " " << k.nStartClick;
        EXPECT_GT(nYellow, 10);
        EXPECT_EQ(game.m_strText, Utf8ToText(k.bWin ? "你赢了400块" : "你输了200块"));
        EXPECT_EQ(hero.nMoney, k.bWin ? 1200 : 800);
    }
}

TEST_F(GambleTest, WinningsStopAtTheLargestMoney) {
    hero.nMoney = INT32_MAX - 100;
    CGambleGame game;
    EXPECT_EQ(Play(game, {{1, kSide0X, kSideY}, {5, kRowX, kRow500}, {10, kStartX, kStartY}, {90, 400, 400}}), 1);
    EXPECT_EQ(hero.nMoney, INT32_MAX);
}

// ---- picture show ----

TEST_F(MiniGameTest, ShowRuns3001FramesOfItsPicturesIgnoringInput) {
    CPictureShow show(1);
    const std::vector<std::string> pictures = {"T009.bmp", "I001.bmp", "N006.bmp"};
    std::vector<int> shown(1, -1);
    shell.onPass = [&](int n) {
        // The pass starts with the last frame still in the back buffer.
        if (n > 1) shown.push_back(WhichShows(320, 400, pictures));
        if (n % 97 == 0) {
            Click(320, 240);
            InjectKey(VK_ESCAPE, true);
            InjectKey(VK_ESCAPE, false);
        }
    };
    show.Run();
    shown.push_back(WhichShows(320, 400, pictures));
    EXPECT_EQ(Presented(), kShowLastFrame + 1);
    ASSERT_EQ(shown.size(), 3002u);
    auto expected = [](int nFrame) {
        if (nFrame <= 501) return 0;
        if (nFrame <= 1001) return 1;
        if (nFrame <= 2001) return 2;
        if (nFrame <= 2501) return 1;
        return 0;
    };
    for (int n = 1; n <= 3001; ++n) ASSERT_EQ(shown[size_t(n)], expected(n)) << "frame " << n;
}

TEST_F(MiniGameTest, ShowOfAnotherNumberShowsNothingAndAQuitEndsTheShow) {
    for (int n : {0, 2, -1}) {
        CPictureShow show(n);
        show.Run();
        EXPECT_EQ(Presented(), 0) << n;
        EXPECT_EQ(shell.nPasses, 0) << n;
    }
    CPictureShow show(1);
    shell.onPass = [&](int n) {
        if (n == 100) shell.bRunning = false;
    };
    show.Run();
    EXPECT_EQ(Presented(), 99);
}

// ---- the link ----

TEST_F(MiniGameTest, TheLinkRunsEachGameByKindAndNothingForOthers) {
    CShellMiniGameLink games;
    // Kinds outside 1..3 run nothing and are not won.
    for (int nKind : {0, 4, 5, -1}) EXPECT_FALSE(games.Run(nKind)) << nKind;
    EXPECT_EQ(Presented(), 0);
    // Kind 3 is the knock game: pressed through, it is won. While it runs it owns the
    // input as a modal box does, and gives it back after.
    bMsgBoxOpen = 0;
    int nOwnedFrames = 0;
    shell.onFrame = [&](int) {
        nOwnedFrames += bMsgBoxOpen;
        PressSpace();
    };
    EXPECT_TRUE(games.Run(3));
    EXPECT_EQ(nOwnedFrames, 230);
    EXPECT_EQ(bMsgBoxOpen, 0);
    EXPECT_EQ(Presented(), 230);
    // Kind 2 is the gamble: a refused stake ends it not won.
    hero.nMoney = 50;
    shell.nFrames = 0;
    FlushInputMessages();
    shell.onFrame = [&](int n) {
        if (n == 1) Click(kSide0X, kSideY);
        if (n == 5) Click(kRowX, kRow100);
        if (n == 9) Click(400, 400);
    };
    EXPECT_FALSE(games.Run(2));
    EXPECT_EQ(Presented(), 239);
    // Kind 1 is the catch game: a close ends it early and it is not won.
    shell.onFrame = nullptr;
    shell.nMousePolls = 0;
    shell.onMousePoll = [&](int n) {
        if (n == 5) shell.bRunning = false;
    };
    EXPECT_FALSE(games.Run(1));
    EXPECT_EQ(Presented(), 244);
    shell.bRunning = true;
    shell.nPasses = 0;
    games.RunPictureShow(2);
    EXPECT_EQ(shell.nPasses, 0);
}

}  // namespace
