// The shell's map link for the characters, the effect list (and its hold by a scene
// effect) and moving texts, and the links through which the effects and the sprite
// package see the current scene.
#include <gtest/gtest.h>

#include <utility>

#include "gamedata/NpcPkg.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/SceneLink.h"
#include "shell/ScriptWorld.h"
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

// A scene effect started with a companion value plays in the scene's draw alone, at the
// hero's depth: the frame holds its own pass over the effect list until the effect ends.
// In a frame whose draw does not reach the hero (the scene hidden, no hero) the frame
// plays it instead, and the hold stays for the frames that draw her again.
TEST_F(SceneLinkTest, AHeldSceneEffectPlaysAtTheHerosDepthAndInTheFrameWhereNoHeroIsDrawn) {
    ASSERT_TRUE(Build(42, {Talker(2, 14, 10)}));
    pFrame = new CMainFrame;
    pFrame->m_pMenuManager = new CMenuManager;
    pFrame->m_pMenuManager->m_nGameMode = 3;
    pFrame->m_bInGame = 1;
    pScene = m_pScene.get();  // the main window starts without one
    CPlayer hero;
    hero.Init(0, false, -1);
    hero.nSculpt = 1;
    hero.SetMapPos(200, 200);
    pPlayer = &hero;
    // The frames the two-frame effect played, and how many of them held the frame's pass;
    // the first frame runs with the scene hidden when bHideFirst.
    auto play = [&](bool bHideFirst) {
        EXPECT_TRUE(pFrame->StartSceneEffect(0, 300, 200, 1));
        int nFrames = 0, nHeld = 0;
        for (; nFrames < 10 && pFrame->bSceneEffectWait; ++nFrames) {
            Tick(100);
            pFrame->m_bSceneShown = !(bHideFirst && nFrames == 0);
            pFrame->UpdateFrame();
            nHeld += pFrame->m_nSceneEffectWait2 != 0;
        }
        pFrame->m_bSceneShown = 1;
        EXPECT_EQ(pFrame->bSceneEffectWait, 0) << "the effect ended";
        EXPECT_EQ(pEffectManager->GetEffectCount(), 0);
        return std::pair{nFrames, nHeld};
    };
    const auto [nFrames, nHeld] = play(false);
    EXPECT_GT(nHeld, 0) << "held while nobody acts: the scene's draw plays it";
    EXPECT_EQ(play(true), std::pair(nFrames, nHeld)) << "a hidden first frame plays it and keeps the hold";
    pPlayer = nullptr;
    EXPECT_EQ(play(false), std::pair(nFrames, nHeld));

    pScene = nullptr;  // the fixture owns the scene
    delete pFrame;
    pFrame = nullptr;
    pScene = m_pScene.get();
}

POINT CellCentre(int cx, int cy) { return POINT{cx * npctest::kCell + npctest::kCell / 2, cy * npctest::kCell + npctest::kCell / 2}; }

// A Ctrl-click reaches the heroine only over a character she may loot (within reach, no
// fighter, its loot flag set): while she strikes it clears her strike mark, else it takes
// the loot. A click over anyone else leaves her strike and its mark alone.
TEST_F(SceneLinkTest, ACtrlClickTouchesTheHeroineOnlyOverALootableCharacter) {
    ASSERT_TRUE(Build(43, {Talker(1, 6, 6), Talker(2, 20, 20), Person(3, 2, npctest::kReviveRow, 7, 6)}));
    CPlayer hero;
    hero.Init(0, false, -1);
    const POINT at = CellCentre(6, 7);
    hero.SetMapPos(at.x, at.y);
    pPlayer = &hero;
    hero.nAction = 3;
    hero.MarkTargetCell();
    const POINT mark = hero.ptStrikeCell;
    ASSERT_NE(mark.x, -1);
    CMapLink& link = MapLink();
    for (int nId : {2, 3, 9}) {
        EXPECT_FALSE(link.LootHoverNpc(nId)) << nId;
        EXPECT_EQ(hero.ptStrikeCell.x, mark.x) << "a click over " << nId << " kept the mark";
    }
    EXPECT_FALSE(link.LootHoverNpc(1));
    EXPECT_EQ(hero.ptStrikeCell.x, -1);
    EXPECT_TRUE(Npc(0).IsShown());
    hero.nAction = 0;
    EXPECT_TRUE(link.LootHoverNpc(1));
    EXPECT_EQ(hero.nAction, 3);
    EXPECT_FALSE(Npc(0).IsShown());
}

// A script walk's wait ends with the character standing on its goal, not as it takes
// the last cell as its next step.
TEST_F(SceneLinkTest, AScriptWalksWaitEndsWithTheCharacterOnItsGoal) {
    ASSERT_TRUE(Build(44, {Talker(1, 10, 10)}));
    CScriptWorld world;
    const POINT goal = CellCentre(14, 10);
    ASSERT_TRUE(world.NpcWalkTo(1, goal.x, goal.y, false));
    for (int i = 0; i < 100 && !world.IsNpcAtGoal(1); ++i) Run(100);
    ASSERT_TRUE(world.IsNpcAtGoal(1));
    const POINT cell = Scene().PixelToCell(Npc(0).pState->nMapX, Npc(0).pState->nMapY);
    EXPECT_EQ(cell.x, 14);
    EXPECT_EQ(cell.y, 10);
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
