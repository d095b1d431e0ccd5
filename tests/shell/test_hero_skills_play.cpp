// The heroine's own skills in the whole game, headless, on the sample folder that mkgame
// writes: she knows a flying, a spreading and a laid skill of the sample's table; a right
// click on the map casts the one selected, and its bolts or its effect reach the
// toolbar's pools and the screen.
#include <algorithm>
#include <string>

#include "platform/Clock.h"
#include "platform/Window.h"
#include "platform/WindowBackend.h"
#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"
#include "shell/ToolBarLink.h"
#include "tests/TempFolder.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/HookedGame.h"
#include "tests/shell/ShellTestUtil.h"
#include "ui/toolbar/GameToolBar.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

// The sample's skills: 11 flies (picture 3), 23 spreads in a ring (picture 7), 3 lays its
// single-cell pattern around her.
constexpr int kFlyingSkill = 11, kSpreadSkill = 23, kLaidSkill = 3;
// Script times of the three casts, a second and a half apart, and of the shots.
constexpr DWORD kFirstCastAt = 11000, kCastStep = 1500, kShotDelay = 400, kGiveUpAt = 20000;
// She stands in the open north-west of the town (map pixels), off every event's region.
constexpr POINT kStand{200, 300};

// The bolts' near-white heads on the map part of the screen, away from her own figure
// (256 x 180, feet at its (128, 170)); the town has no such white.
int BoltPixels(const CShot& shot, POINT ptHer) {
    int n = 0;
    for (int y = 0; y < 530; ++y)
        for (int x = 0; x < 800; ++x) {
            if (x >= ptHer.x - 140 && x < ptHer.x + 140 && y >= ptHer.y - 180 && y < ptHer.y + 20) continue;
            const unsigned p = shot.Pixel(x, y);
            n += (p >> 16) >= 235 && ((p >> 8) & 0xFF) >= 235 && (p & 0xFF) >= 190;
        }
    return n;
}

TEST(HeroSkillsPlay, FlyingSpreadingAndLaidSkillsCastByRightClickShowOnTheMap) {
    UsePrivateRuntimeFolder();
    CTempFolder folder("hero-skills");
    const std::string s = folder.Path() + "/";
    std::string strOldDir;
    ASSERT_TRUE(EnterSampleGame(folder, &strOldDir));
    std::string strScript = kNewGame + std::to_string(kFirstCastAt - 300) + " shot " + s + "before.png\n";
    for (int i = 0; i < 2; ++i)
        strScript += std::to_string(kFirstCastAt + DWORD(i) * kCastStep + kShotDelay) + " shot " + s + "cast" +
                     std::to_string(i) + ".png\n";
    strScript += "16000 close\n";
    ASSERT_EQ(LoadInputScriptText(strScript, "hero skills"), 0);

    const DWORD dwStart = TimeGetTime();
    const int skills[3] = {kFlyingSkill, kSpreadSkill, kLaidSkill};
    int nCast = 0, nUsesBefore[3] = {-1, -1, -1}, nUsesAfter[3] = {-1, -1, -1};
    int nMostFlying[3] = {0, 0, 0}, nMostArea[3] = {0, 0, 0};
    bool bPlaced = false;
    POINT ptHer{-1000, -1000};
    const std::string strError = RunHookedGame([&] {
        CGameToolBar* pBar = PanelLink().GetToolBar();
        if (!pPlayer || !pScene || !pBar || pFrame->GetGameMode() != 3) return;
        const DWORD t = TimeGetTime() - dwStart;
        if (t > kGiveUpAt) pFrame->QuitGame();
        if (!bPlaced && t >= kFirstCastAt - 1000) {
            bPlaced = true;
            pPlayer->SetMapPos(kStand.x, kStand.y);
            pScene->ScrollToHero();
            pPlayer->nStance = 1;
            pPlayer->nManaMax = pPlayer->nMana = 5000;
            ptHer = POINT{kStand.x - pScene->ptView.x, kStand.y - pScene->ptView.y};
        }
        if (nCast > 0) {
            nMostFlying[nCast - 1] = std::max(nMostFlying[nCast - 1], pBar->CountFlyingEffects());
            nMostArea[nCast - 1] = std::max(nMostArea[nCast - 1], pBar->CountAreaEffects());
            if (nUsesAfter[nCast - 1] < 0 && t >= kFirstCastAt + DWORD(nCast - 1) * kCastStep + 100)
                nUsesAfter[nCast - 1] = pPlayer->nSkillUses[skills[nCast - 1]];
        }
        if (nCast < 3 && t >= kFirstCastAt + DWORD(nCast) * kCastStep) {
            // Up and to the right of her, where the town is open.
            pPlayer->SelectSkill(skills[nCast]);
            nUsesBefore[nCast] = pPlayer->nSkillUses[skills[nCast]];
            const POINT at{ptHer.x + 200, ptHer.y - 150};
            const LPARAM lp = LPARAM(at.x) | (LPARAM(at.y) << 16);
            PostMessage(pFrame, WM_MOUSEMOVE, 0, lp);
            PostMessage(pFrame, WM_RBUTTONDOWN, MK_RBUTTON, lp);
            PostMessage(pFrame, WM_RBUTTONUP, 0, lp);
            ++nCast;
        }
    });
    SetCurrentDirectory(strOldDir.c_str());
    ASSERT_TRUE(strError.empty()) << strError;
    ASSERT_EQ(nCast, 3) << "the map never ran long enough";
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(skills[i]);
        EXPECT_EQ(nUsesAfter[i], nUsesBefore[i] + 1) << "the right click cast nothing";
    }
    // The flying skill: one bolt; the spreading one: a ring in the same pool; the laid one:
    // an area effect.
    EXPECT_GE(nMostFlying[0], 1);
    EXPECT_GE(nMostFlying[1], 1);
    EXPECT_GE(nMostArea[2], 1);
    EXPECT_EQ(nMostArea[0], 0);

    CShot before(s + "before.png"), flying(s + "cast0.png"), spread(s + "cast1.png");
    ASSERT_TRUE(before.Read() && flying.Read() && spread.Read());
    const int nBefore = BoltPixels(before, ptHer);
    EXPECT_LT(nBefore, 20);
    EXPECT_GT(BoltPixels(flying, ptHer), nBefore + 40) << "no bolt on the screen";
    EXPECT_GT(BoltPixels(spread, ptHer), nBefore + 600) << "no ring of bolts on the screen";
}

}  // namespace
