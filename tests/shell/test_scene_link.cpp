// The shell's map link for the characters, the effect list (and its hold by a scene
// effect) and moving texts, and the links through which the effects and the sprite
// package see the current scene.
#include <gtest/gtest.h>

#include "gamedata/NpcPkg.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/SceneLink.h"
#include "shell/UiShellLink.h"
#include "tests/world/NpcTestUtil.h"
#include "world/EffectManager.h"
#include "world/MoveText.h"

namespace {

class SceneLinkTest : public npctest::NpcTest {
protected:
    void SetUp() override {
        NpcTest::SetUp();
        InstallSceneLinks();
        InstallShellPictureLinks();
    }
    void TearDown() override {
        RemoveShellPictureLinks();
        if (pEffectManager != m_pEffects.get()) MapLink().DeleteEffectManager();
        SetMapLink(nullptr);
        SetEffectSceneLink(nullptr);
        SetSceneHost(&m_sceneHost);
        NpcTest::TearDown();
    }
};

TEST_F(SceneLinkTest, CharactersEffectsAndTheHoveredActorAreSeenThroughTheLinks) {
    ASSERT_TRUE(Build(40, {Person(1, 2, npctest::kReviveRow, 10, 10, 20), Talker(2, 14, 10)}));
    CMapLink& link = MapLink();
    EXPECT_EQ(link.GetNpcClass(1), 2);
    EXPECT_EQ(link.GetNpcClass(2), 0);
    EXPECT_EQ(link.GetNpcClass(9), -1);
    Scene().ptView = POINT{64, 32};
    EXPECT_EQ(EffectSceneLink().GetViewOrigin().x, 64);
    EXPECT_EQ(EffectSceneLink().GetViewOrigin().y, 32);
    Scene().nHoverActorId = 2;
    EXPECT_EQ(pPictureHost->GetHoverActorId(), 2);
    EffectSceneLink().ClearHoverActor();
    EXPECT_EQ(Scene().nHoverActorId, -1);
    EXPECT_EQ(pPictureHost->GetHoverActorId(), -1);
    pScene = nullptr;
    EXPECT_EQ(link.GetNpcClass(1), -1);
    EXPECT_EQ(pPictureHost->GetHoverActorId(), -1);
}

TEST_F(SceneLinkTest, TheEffectManagerIsMadeFreshAdvancedAndDeleted) {
    CMapLink& link = MapLink();
    pEffectManager = nullptr;  // the fixture's own stays with the fixture
    link.CreateEffectManager();
    ASSERT_NE(pEffectManager, nullptr);
    ASSERT_NE(pEffectManager, m_pEffects.get());
    pEffectManager->NpcStates[3][4].nLife = 7;
    link.CreateEffectManager();
    EXPECT_EQ(pEffectManager->NpcStates[3][4].nLife, -1) << "a new game starts from fresh tables";
    EXPECT_FALSE(link.UpdateEffects());
    ASSERT_TRUE(pEffectManager->Add45Effect(0, 100, 100));  // two frames
    EXPECT_FALSE(link.UpdateEffects());
    Tick(100);
    EXPECT_FALSE(link.UpdateEffects());
    Tick(100);
    EXPECT_TRUE(link.UpdateEffects()) << "the last effect finished and was removed";
    EXPECT_EQ(pEffectManager->GetEffectCount(), 0);
    link.DeleteEffectManager();
    EXPECT_EQ(pEffectManager, nullptr);
    EXPECT_FALSE(link.UpdateEffects());
}

TEST_F(SceneLinkTest, ReplacingTheEffectManagerUnderAStandingSceneMovesItsCharactersRecords) {
    ASSERT_TRUE(Build(41, {Person(1, 2, npctest::kReviveRow, 10, 10, 20)}));
    Npc(0).pState->nDisplay = kNpcCorpse;
    CMapLink& link = MapLink();
    link.CreateEffectManager();  // the fixture's manager goes, as a new game does
    m_pEffects.release();
    EXPECT_EQ(Npc(0).pState, &pEffectManager->NpcStates[41][1]);
    Scene().ReviveDeadNpcs();
    Run(200);
    pEffectManager->NpcStates[41][1].nLife = 33;
    link.DeleteEffectManager();
    EXPECT_EQ(Npc(0).Life(), 33) << "the character keeps a copy of its record";
    Run(200);
}

// A scene effect started with a companion value holds the effect list while an actor
// plays a one-shot action: the effect stays unplayed (and the event waits) until the
// action's end lets it go. With nobody acting the frame lets it go at once.
TEST_F(SceneLinkTest, AHeldSceneEffectPlaysOnceTheHerosActionHasEnded) {
    ASSERT_TRUE(Build(42, {Talker(2, 14, 10)}));
    pFrame = new CMainFrame;
    pFrame->m_pMenuManager = new CMenuManager;
    pFrame->m_pMenuManager->m_nGameMode = 3;
    pFrame->m_bInGame = 0;  // the test updates the heroine itself
    CPlayer hero;
    hero.Init(0, false, -1);
    hero.nSculpt = 1;
    hero.SetMapPos(200, 200);
    pPlayer = &hero;
    hero.SetAction(5);
    ASSERT_TRUE(hero.IsInOneShot());
    ASSERT_TRUE(pFrame->StartSceneEffect(0, 300, 200, 1));
    int nHeld = 0;
    while (hero.IsInOneShot() && nHeld < 40) {
        Tick(100);
        pFrame->UpdateFrame();
        EXPECT_EQ(pEffectManager->GetEffectCount(), 1) << "frame " << nHeld;
        hero.Update();
        ++nHeld;
    }
    EXPECT_GT(nHeld, 4) << "the two-frame effect would have ended long before";
    EXPECT_EQ(pFrame->m_nSceneEffectWait2, 0) << "the action's end lets the list go";
    EXPECT_EQ(pFrame->bSceneEffectWait, 1);
    for (int i = 0; i < 5 && pFrame->bSceneEffectWait; ++i) {
        Tick(100);
        pFrame->UpdateFrame();
    }
    EXPECT_EQ(pFrame->bSceneEffectWait, 0);
    EXPECT_EQ(pEffectManager->GetEffectCount(), 0);

    // Nobody plays a one-shot action: a hold would never end, so the effect plays now.
    ASSERT_TRUE(pFrame->StartSceneEffect(0, 300, 200, 1));
    for (int i = 0; i < 5 && pFrame->bSceneEffectWait; ++i) {
        Tick(100);
        pFrame->UpdateFrame();
    }
    EXPECT_EQ(pFrame->bSceneEffectWait, 0);
    EXPECT_EQ(pEffectManager->GetEffectCount(), 0);

    pPlayer = nullptr;
    pScene = nullptr;  // the fixture owns the scene
    delete pFrame;
    pFrame = nullptr;
    pScene = m_pScene.get();
}

TEST_F(SceneLinkTest, ATextOnlyBannerIsDoneOnThe101stFrameAfterArriving) {
    CMapLink& link = MapLink();
    auto* pText = new CMoveText;
    ASSERT_TRUE(pText->Init(200, 100, 0, 0, "text", 4));
    int nFrames = 1;
    while (!link.DrawMoveText(pText) && nFrames < 1000) ++nFrames;
    EXPECT_EQ(nFrames, 50 + 101);
    link.DeleteMoveText(pText);
    EXPECT_TRUE(link.DrawMoveText(nullptr));
}

}  // namespace
