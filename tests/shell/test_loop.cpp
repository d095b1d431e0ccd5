// The timed work of the main loop, pass by pass on the virtual clock: the held-button
// map click, the input hold after a scene change, the damage-zone tick, the countdown
// and the swallowed key releases after a handled hot key.
#include <vector>

#include "tests/shell/ShellTestUtil.h"

namespace {

class LoopTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        Menus().m_nGameMode = 3;
        pMouse->m_nX = 300;
        pMouse->m_nY = 300;
    }
    // Passes of the main loop for nMs milliseconds, one every 20 ms; returns the frame
    // time of every pass in which the recorder saw the call s.
    std::vector<DWORD> PassesSeeing(DWORD nMs, const std::string& s) {
        std::vector<DWORD> seen;
        const DWORD dwEnd = TimeGetTime() + nMs;
        while (TimeGetTime() < dwEnd) {
            AdvanceVirtualClock(20);
            const int nBefore = links.Count(s);
            pFrame->RunOnePass();
            if (links.Count(s) > nBefore) seen.push_back(dwNowTime);
        }
        return seen;
    }
    // Every gap between two times lies in (nMin, nMin + 30]: one 20 ms pass late at most,
    // and a few idle-poll milliseconds.
    static void ExpectGaps(const std::vector<DWORD>& times, DWORD nMin) {
        for (size_t i = 1; i < times.size(); ++i) {
            EXPECT_GT(times[i] - times[i - 1], nMin) << i;
            EXPECT_LE(times[i] - times[i - 1], nMin + 30) << i;
        }
    }
};

TEST_F(LoopTest, AHeldButtonOnTheMapWalksAgainEvery200Milliseconds) {
    pFrame->OnLButtonDown(MK_LBUTTON, 300, 300);
    ASSERT_EQ(links.Count("walk"), 1);
    const DWORD dwPress = pMouse->m_dwLastMapClick;
    const std::vector<DWORD> walks = PassesSeeing(1000, "walk");
    ASSERT_GE(walks.size(), 4u);
    EXPECT_GT(walks[0] - dwPress, 200u);
    ExpectGaps(walks, 200);

    // In the bottom strip the held button does nothing on the map.
    pMouse->m_nY = 560;
    EXPECT_TRUE(PassesSeeing(600, "walk").empty());
    // The release ends the repeats.
    pMouse->m_nY = 300;
    pFrame->OnLButtonUp(0, 300, 300);
    EXPECT_TRUE(PassesSeeing(600, "walk").empty());
}

TEST_F(LoopTest, AReleaseSwallowedByAnOpenBoxStillEndsTheHeldButton) {
    pFrame->OnLButtonDown(MK_LBUTTON, 300, 300);
    bMsgBoxOpen = 1;
    pFrame->OnLButtonUp(0, 300, 300);
    EXPECT_FALSE(links.Called("toolbar release"));  // the box kept the release
    bMsgBoxOpen = 0;
    links.calls.clear();
    EXPECT_TRUE(PassesSeeing(800, "walk").empty());

    // The same for the release that answered a box.
    pFrame->OnLButtonDown(MK_LBUTTON, 300, 300);
    nMsgBoxClick = 1;
    pFrame->OnLButtonUp(0, 300, 300);
    nMsgBoxClick = -1;
    links.calls.clear();
    EXPECT_TRUE(PassesSeeing(800, "walk").empty());
}

TEST_F(LoopTest, TheInputHoldAfterASceneChangeLasts200Milliseconds) {
    pFrame->m_bInputHold = 1;
    AdvanceVirtualClock(20);
    pFrame->RunOnePass();
    const DWORD dwBegin = dwNowTime;
    EXPECT_EQ(pFrame->m_bInputHold, 1);
    int nHeldPasses = 1;
    while (pFrame->m_bInputHold && nHeldPasses < 100) {
        AdvanceVirtualClock(20);
        pFrame->RunOnePass();
        ++nHeldPasses;
    }
    EXPECT_GT(dwNowTime - dwBegin, 200u);
    EXPECT_LE(dwNowTime - dwBegin, 230u);
    // The hero stood still in every pass that found the hold, the last one included.
    EXPECT_EQ(links.Count("stop hero"), nHeldPasses);
    // Key releases during the hold are swallowed.
    pFrame->m_bInputHold = 1;
    links.bBattle = true;
    pFrame->OnKeyUp('A', 1, 0);
    EXPECT_FALSE(links.Called("battle key"));
    // An event that starts ends the hold in its next pass.
    pFrame->nEventId = 2;
    AdvanceVirtualClock(20);
    pFrame->RunOnePass();
    EXPECT_EQ(pFrame->m_bInputHold, 0);
}

TEST_F(LoopTest, TheDamageZoneTakesLifeEvery2000MillisecondsAndEndsOutsideTheRegion) {
    // In the map mode no tick is set.
    PassesSeeing(2500, "take life");
    EXPECT_EQ(pFrame->m_bDamageTick, 0);

    Menus().m_nGameMode = 16;
    links.bInRegion = true;
    pFrame->m_nDamageAmount = 5;
    pFrame->m_nDamageMember = 1;
    const std::vector<DWORD> hits = PassesSeeing(7000, "take life");
    ASSERT_GE(hits.size(), 3u);
    EXPECT_LE(hits.size(), 4u);
    ExpectGaps(hits, 2000);

    links.bInRegion = false;
    EXPECT_TRUE(PassesSeeing(2100, "take life").empty());
    EXPECT_EQ(Menus().m_nGameMode, 3);
    EXPECT_EQ(pFrame->m_nDamageAmount, 0);
    EXPECT_EQ(pFrame->m_nDamageMember, -1);
}

TEST_F(LoopTest, TheCountdownStepsEverySecondAndStopsAtZero) {
    pFrame->m_nCountdownSeconds = 3;
    pFrame->m_dwCountdownTick = TimeGetTime();
    std::vector<DWORD> steps;
    int nLast = 3;
    const DWORD dwEnd = TimeGetTime() + 6000;
    while (TimeGetTime() < dwEnd) {
        AdvanceVirtualClock(20);
        pFrame->RunOnePass();
        if (pFrame->m_nCountdownSeconds != nLast) {
            EXPECT_EQ(pFrame->m_nCountdownSeconds, nLast - 1);
            nLast = pFrame->m_nCountdownSeconds;
            steps.push_back(dwNowTime);
        }
    }
    ASSERT_EQ(steps.size(), 3u);
    ExpectGaps(steps, 1000);
    EXPECT_EQ(pFrame->m_nCountdownSeconds, 0);
}

TEST_F(LoopTest, ASecondKeyReleaseWithinASecondOfAHandledHotKeyIsSwallowed) {
    AdvanceVirtualClock(20);
    pFrame->RunOnePass();
    links.nToolbarTakesKey = 1;
    // While a battle runs the toolbar gets no key: no hot key is handled.
    links.bBattle = true;
    pFrame->OnKeyDown('1', 1, 0);
    EXPECT_FALSE(links.Called("toolbar key"));
    EXPECT_EQ(pFrame->m_dwHotKeyTime, DWORD(-1));
    // A hot key handled on the map just before a battle begins.
    links.bBattle = false;
    pFrame->OnKeyDown('1', 1, 0);
    EXPECT_EQ(pFrame->m_dwHotKeyTime, dwNowTime);
    links.bBattle = true;
    pFrame->OnKeyUp('1', 1, 0);  // the hot key's own release
    PassesSeeing(500, "battle key");
    pFrame->OnKeyUp('2', 1, 0);  // half a second later: still swallowed
    EXPECT_FALSE(links.Called("battle key"));

    // A second after the hot key the stamp is cleared and a release goes through; it
    // stamps the time itself, so the next release within a second is swallowed.
    PassesSeeing(600, "battle key");
    EXPECT_EQ(pFrame->m_dwHotKeyTime, DWORD(-1));
    pFrame->OnKeyUp('3', 1, 0);
    EXPECT_EQ(links.Count("battle key"), 1);
    PassesSeeing(900, "battle key");
    pFrame->OnKeyUp('4', 1, 0);
    EXPECT_EQ(links.Count("battle key"), 1);
    PassesSeeing(200, "battle key");
    pFrame->OnKeyUp('5', 1, 0);
    EXPECT_EQ(links.Count("battle key"), 2);
}

}  // namespace
