// The links between the main window and the subsystems built on their own: what the
// default links answer while a subsystem is not there, the calls each subsystem's link
// must answer itself, and the frame fields that follow the installed links.
#include <functional>

#include "shell/FrameLinks.h"
#include "tests/shell/ShellTestUtil.h"

namespace {

struct LinkCall {
    const char* pszName;  // as UnansweredLinkCalls names it
    std::function<void()> call;
};

// Per link, the calls whose default would quietly change the game once the subsystem
// exists (an effect wait never cleared, a scene never drawn, a battle never seen).
std::vector<LinkCall> RequiredCalls() {
    return {
        {"map CreateEffectManager", [] { MapLink().CreateEffectManager(); }},
        {"map DrawMoveText", [] { MapLink().DrawMoveText(nullptr); }},
        {"map DrawScene", [] { MapLink().DrawScene(); }},
        {"map UpdateScene", [] { MapLink().UpdateScene(); }},
        {"map UpdateHeroes", [] { MapLink().UpdateHeroes(0); }},
        {"map UpdateEffects", [] { MapLink().UpdateEffects(); }},
        {"panels GetToolBar", [] { PanelLink().GetToolBar(); }},
        {"panels CreatePanels", [] { PanelLink().CreatePanels(); }},
        {"panels Draw", [] { PanelLink().Draw(); }},
        {"battle GetFight", [] { BattleLink().GetFight(); }},
        {"battle IsRunning", [] { BattleLink().IsRunning(); }},
    };
}

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override { ClearUnansweredLinkCalls(); }
    void TearDown() override {
        SetMapLink(nullptr);
        SetPanelLink(nullptr);
        SetBattleLink(nullptr);
        ClearUnansweredLinkCalls();
    }
};

// Links that answer nothing themselves: a subsystem that forgot its calls.
class CBareMap : public CMapLink {};
class CBarePanels : public CPanelLink {};
class CBareBattle : public CBattleLink {};

TEST_F(LinkTest, TheDefaultLinksAnswerNothingThereAndNoteNothing) {
    ASSERT_EQ(pScene, nullptr);
    ASSERT_EQ(pPlayer, nullptr);
    CMapLink& map = MapLink();
    EXPECT_FALSE(map.HasScene());
    EXPECT_FALSE(map.HasHero());
    EXPECT_TRUE(map.DrawMoveText(nullptr));  // a text with nobody to draw it is finished
    EXPECT_FALSE(map.UpdateEffects());
    EXPECT_FALSE(map.IsHeroInRegion());
    EXPECT_EQ(map.GetHoverObject(), -1);
    EXPECT_EQ(map.GetNpcClass(7), -1);
    EXPECT_EQ(map.GetHeroAction(), 0);
    EXPECT_FALSE(map.LootHoverNpc(7));
    CPanelLink& panels = PanelLink();
    EXPECT_FALSE(panels.HasToolBar());
    EXPECT_EQ(panels.GetToolBar(), nullptr);
    EXPECT_EQ(panels.GetActiveSlot(), 0);
    EXPECT_EQ(panels.PickUpItem(), -1);
    EXPECT_FALSE(panels.HitTest(POINT{10, 550}));
    EXPECT_FALSE(panels.IsWorkPanelOpen());
    EXPECT_EQ(panels.GetLeftGroupSelector(), -1);
    EXPECT_FALSE(panels.HasLoadPanel());
    EXPECT_FALSE(panels.HasSettingsPanel());
    EXPECT_EQ(panels.GetHeroPortraitWord(), 0);
    EXPECT_FALSE(BattleLink().IsRunning());
    EXPECT_EQ(BattleLink().GetFight(), nullptr);
    for (const LinkCall& c : RequiredCalls()) c.call();
    EXPECT_TRUE(UnansweredLinkCalls().empty());
}

TEST_F(LinkTest, AnInstalledLinkThatLeavesARequiredCallToTheDefaultIsNamedOnce) {
    CBareMap map;
    CBarePanels panels;
    CBareBattle battle;
    SetMapLink(&map);
    SetPanelLink(&panels);  // installing reads the toolbar already
    SetBattleLink(&battle);
    testing::internal::CaptureStderr();
    for (int nRound = 0; nRound < 2; ++nRound)
        for (const LinkCall& c : RequiredCalls()) c.call();
    const std::string strErr = testing::internal::GetCapturedStderr();
    std::vector<std::string> expected;
    for (const LinkCall& c : RequiredCalls()) expected.push_back(c.pszName);
    std::vector<std::string> noted = UnansweredLinkCalls();
    std::sort(noted.begin(), noted.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(noted, expected);
    // Each is said once, however often it is reached.
    EXPECT_EQ(std::count(strErr.begin(), strErr.end(), '\n'), std::ptrdiff_t(expected.size())) << strErr;
    EXPECT_NE(strErr.find("the installed link does not answer map UpdateEffects"), std::string::npos);
}

TEST_F(LinkTest, TheFramesToolbarAndBattleFieldsFollowTheInstalledLinks) {
    alignas(16) static char toolbar[16], fight[16];  // stand-ins, compared only
    struct CToolbarLink : CPanelLink {
        CGameToolBar* GetToolBar() const override { return reinterpret_cast<CGameToolBar*>(toolbar); }
        void CreatePanels() override {}
        void Draw() override {}
    } panels;
    struct CFightLink : CBattleLink {
        CFight* GetFight() const override { return reinterpret_cast<CFight*>(fight); }
        bool IsRunning() const override { return true; }
    } battle;
    pFrame = new CMainFrame;
    EXPECT_EQ(pFrame->m_pToolBar, nullptr);
    SetPanelLink(&panels);
    SetBattleLink(&battle);
    EXPECT_EQ(pFrame->m_pToolBar, reinterpret_cast<CGameToolBar*>(toolbar));
    EXPECT_EQ(pFrame->pFight, reinterpret_cast<CFight*>(fight));
    EXPECT_TRUE(PanelLink().HasToolBar());
    EXPECT_TRUE(BattleLink().IsRunning());
    SetBattleLink(nullptr);
    EXPECT_EQ(pFrame->pFight, nullptr);
    EXPECT_FALSE(BattleLink().IsRunning());
    delete pFrame;
    // A frame made while the links are installed takes the fields from them.
    pFrame = new CMainFrame;
    EXPECT_EQ(pFrame->m_pToolBar, reinterpret_cast<CGameToolBar*>(toolbar));
    EXPECT_EQ(pFrame->pFight, nullptr);
    delete pFrame;
    pFrame = nullptr;
    EXPECT_TRUE(UnansweredLinkCalls().empty());
}

// The map's effect list ends the scene's effect wait, through the installed link only.
TEST_F(FrameTest, TheEffectWaitEndsWhenTheInstalledMapSaysTheLastEffectFinished) {
    Menus().m_nGameMode = 3;
    pFrame->bSceneEffectWait = 1;
    pFrame->UpdateFrame();
    EXPECT_TRUE(links.Called("effects"));
    EXPECT_EQ(pFrame->bSceneEffectWait, 1);
    links.bEffectsDone = true;
    pFrame->UpdateFrame();
    EXPECT_EQ(pFrame->bSceneEffectWait, 0);
}

}  // namespace
