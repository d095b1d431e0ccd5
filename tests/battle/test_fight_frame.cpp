// The main window running a battle: a defeat goes back to the title, a close ends the
// battle without pay or title, a right click reaches the battle while its event runs,
// the battle's effects are drawn without the map's view, and every key release of the
// battle reaches it.
#include "tests/battle/FightTestUtil.h"

#include "platform/Window.h"
#include "platform/WindowBackend.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "world/EffectAnim.h"
#include "world/Scene.h"

namespace fighttest {
namespace {

// Runs a step on each pass of the battle (and of its result panel).
class CStepper : public CFightObserver {
public:
    std::function<void(CFight&)> fnStep;
    void OnPass(CFight& f) override { fnStep(f); }
};

class FrameFightTest : public FightTest {
protected:
    void SetUp() override {
        FightTest::SetUp();
        ResetMessageQueue();
        pFrame = new CMainFrame;
        pPlayer = &hero;  // the main window starts without a hero
        pFrame->m_pMenuManager = new CMenuManager;
        pFrame->m_pMenuManager->m_nGameMode = 3;
        pFrame->m_bInGame = 1;
        pFrame->m_bMusicOn = 0;
        pFrame->m_nPartyCount = 2;
        pFrame->m_nPartyIds[0] = 0;
        pFrame->m_nPartyIds[1] = 1;
        pFrame->m_bFullScreen = 0;
        ASSERT_TRUE(pFrame->CreateMainWindow());
        pMouse = new CMouse;
        pScene = new CScene;
    }
    void TearDown() override {
        SetFightObserver(nullptr);
        delete pScene;
        pScene = nullptr;
        delete pFrame;
        pFrame = nullptr;
        delete pMouse;
        pMouse = nullptr;
        ResetMessageQueue();
        FightTest::TearDown();
    }
    // Runs a battle against enemies 0 and 7 with the step on every pass.
    int Fight(std::function<void(CFight&)> fnStep) {
        stepper.fnStep = [this, fnStep](CFight& f) {
            ++nPasses;
            if (f.bResultShown) f.OnResultRelease();
            fnStep(f);
            AdvanceVirtualClock(20);
        };
        SetFightObserver(&stepper);
        const int nResult = pFrame->Fighting(1, 0, 7, -1, 0);
        SetFightObserver(nullptr);
        return nResult;
    }
    void Post(UINT nMessage, int x = 0, int y = 0) {
        PostMessage(pFrame, nMessage, 0, LPARAM((y << 16) | (x & 0xFFFF)));
    }
    CStepper stepper;
    int nPasses = 0;
};

TEST_F(FrameFightTest, ADefeatGoesBackToTheTitleWithTheLeaderAlone) {
    pFrame->nEventId = 4;
    pFrame->CurrentScript = 12;
    const int nResult = Fight([](CFight& f) {
        for (int s = 0; s < 4; ++s)
            if (f.Filled(s)) f.Char(s)->HP = 0;
    });
    EXPECT_EQ(nResult, 2);
    EXPECT_EQ(pScene, nullptr);
    EXPECT_EQ(pFrame->m_pMenuManager->m_nGameMode, 0);
    EXPECT_EQ(pFrame->m_bInGame, 0);
    EXPECT_EQ(pFrame->m_nPartyCount, 1);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(pFrame->CurrentScript, -1);
    EXPECT_FALSE(BattleLink().IsRunning());
}

TEST_F(FrameFightTest, ClosingTheWindowEndsTheBattleWithoutPayOrTitle) {
    hero.nMoney = 300;
    const int nResult = Fight([this](CFight& f) {
        (void)f;
        if (nPasses == 30) Post(WM_CLOSE);
    });
    EXPECT_EQ(nResult, 0);
    EXPECT_EQ(pFrame->m_bRunning, 0);
    EXPECT_NE(pScene, nullptr);
    EXPECT_EQ(pFrame->m_pMenuManager->m_nGameMode, 3);
    EXPECT_EQ(hero.nMoney, 300);
    EXPECT_LT(nPasses, 200);
}

TEST_F(FrameFightTest, ARightClickReachesTheBattleWhileItsEventRuns) {
    pFrame->nEventId = 60;
    pFrame->CurrentScript = 3;
    int nBackToRing = -1;
    Fight([this, &nBackToRing](CFight& f) {
        if (nBackToRing == -1 && f.ActiveNpc >= 0 && f.ActiveNpc < 4 && f.MenuState() == kMenuRing) {
            f.SetMenuState(kMenuSkills);
            Post(WM_RBUTTONDOWN, 100, 100);
            nBackToRing = 0;
        } else if (nBackToRing == 0 && f.MenuState() == kMenuRing) {
            nBackToRing = nPasses;
            Post(WM_CLOSE);
        }
        if (nPasses > 3000) Post(WM_CLOSE);
    });
    EXPECT_GT(nBackToRing, 0);
}

TEST_F(FrameFightTest, EveryKeyReleaseReachesTheBattleNotOnlyTheFirst) {
    // 'A' on each open ring, again after a second while the ring stays open: the
    // window's hold after a handled key must run out inside the battle's loop too.
    int nKeys = 0, nLastKey = -1000;
    const int nResult = Fight([&](CFight& f) {
        if (f.ActiveNpc >= 0 && f.ActiveNpc < 4 && f.MenuState() == kMenuRing && nPasses - nLastKey > 60) {
            PostMessage(pFrame, WM_KEYUP, WPARAM('A'), 0);
            nLastKey = nPasses;
            ++nKeys;
        }
        if (nPasses > 20000) Post(WM_CLOSE);
    });
    EXPECT_EQ(nResult, 1) << nKeys << " keys";
    EXPECT_GE(nKeys, 2);
    EXPECT_LT(nPasses, 20000);
}

// A map view far from the origin, as a scene would have.
class CFarView : public CEffectSceneLink {
public:
    POINT GetViewOrigin() const override { return POINT{300, 200}; }
};

TEST_F(FrameFightTest, BattleEffectsIgnoreTheMapsView) {
    CFarView view;
    SetEffectSceneLink(&view);
    bool bChecked = false;
    Fight([this, &bChecked](CFight& f) {
        (void)f;
        if (nPasses == 5) {
            const POINT origin = EffectSceneLink().GetViewOrigin();
            bChecked = origin.x == 0 && origin.y == 0;
            Post(WM_CLOSE);
        }
    });
    EXPECT_TRUE(bChecked);
    EXPECT_EQ(EffectSceneLink().GetViewOrigin().x, 300);
    SetEffectSceneLink(nullptr);
}

}  // namespace
}  // namespace fighttest
