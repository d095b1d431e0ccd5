#include "tests/ui/ToolBarTestUtil.h"

namespace {

// A toolbar over a 20 x 20 open grid, skills whose area patterns are 0 (mode 0) and 1
// (mode 3), and the hero standing at (200, 200).
class ToolBarEffects : public ToolBarTest {
protected:
    void SetUp() override {
        ToolBarTest::SetUp();
        ASSERT_TRUE(scene.InitMap(20, 20, 0, 32));
        for (SceneCell& c : scene.pCells) c.nWall = 0;
        scene.ptView = POINT{0, 0};
        for (int p = 0; p < 2; ++p) {
            for (int i = 0; i < 3; ++i) {
                cells[p][i] = POINT{i, 0};
                steps[p][i] = AreaStep{{5, i == 0 ? 2 : 0, 0, 0, 0}};
            }
            rows[p] = AreaPatternRow{3, POINT{0, 0}, cells[p], steps[p]};
            tails[p] = AreaPatternTail{};
            tails[p].n[7] = -1;
            tails[p].n[8] = p == 0 ? 0 : 3;
        }
        data.pAreaPattern = rows;
        data.pAreaPatternTail = tails;
        data.nAreaPatternCount = 2;
        skills.resize(3);
        skills[0].nSkillNo = 0;
        skills[1].nSkillNo = 1;
        skills[2].nSkillNo = 9;
        data.pSkill = skills.data();
        data.nSkillCount = 3;
        hero.ptPos = POINT{200, 200};
        hero.nAction = 0;
    }
    static void Advance(DWORD ms) {
        AdvanceVirtualClock(ms);
        dwNowTime += ms;
    }
    int MarkKindAt(POINT pt) {
        const POINT c = scene.PixelToCell(pt.x, pt.y);
        return scene.CellAt(c.x, c.y)->nMarkKind;
    }

    POINT cells[2][3];
    AreaStep steps[2][3];
    AreaPatternRow rows[2];
    AreaPatternTail tails[2];
    std::vector<SkillRow> skills;
};

TEST_F(ToolBarEffects, PoolsTakeTheFirstFreeSlotAndFreeFinishedEffects) {
    // Any other kind is kept unlaunched and ends at its first tick.
    for (int i = 0; i < kToolBarPoolSize + 1; ++i) bar->AddFlyingEffect(1, 100, 100, 0, 300, 300, 0, 7);
    EXPECT_EQ(bar->CountFlyingEffects(), kToolBarPoolSize);
    bar->m_pFlyingEffects[5].reset();
    bar->AddFlyingEffect(1, 100, 100, 0, 300, 100, 0, 0);
    ASSERT_NE(bar->m_pFlyingEffects[5], nullptr);
    EXPECT_EQ(bar->m_pFlyingEffects[5]->nDirection, 24);
    bar->ReapEffects();
    EXPECT_EQ(bar->CountFlyingEffects(), 1);
    EXPECT_NE(bar->m_pFlyingEffects[5], nullptr);

    for (int i = 0; i < kToolBarPoolSize + 1; ++i) bar->AddEffectAt(3, 100, 100, 0, -1);
    EXPECT_EQ(bar->CountAreaEffects(), kToolBarPoolSize);
    Advance(201);
    bar->ReapEffects();
    Advance(201);
    bar->ReapEffects();
    EXPECT_EQ(bar->CountAreaEffects(), 0);
}

TEST_F(ToolBarEffects, AreaMarksHurtTheHeroesFromCharactersAndTheCharactersFromMembers) {
    bar->AddEffectAt(3, 100, 100, 0, -1);
    EXPECT_EQ(MarkKindAt(POINT{100, 100}), 1);
    bar->AddEffectAt(3, 300, 300, 0, 2);
    EXPECT_EQ(MarkKindAt(POINT{300, 300}), 0);
    bar->AddAreaEffectAtHero(4, 0, 0, 0, 0);
    EXPECT_EQ(MarkKindAt(hero.ptPos), 0);
    EXPECT_EQ(bar->CountAreaEffects(), 3);
    // No skill, a skill outside the table, or a pattern outside the patterns: nothing.
    bar->AddEffectAt(3, 100, 100, -1, -1);
    bar->AddEffectAt(3, 100, 100, 3, -1);
    bar->AddEffectAt(3, 100, 100, 2, -1);
    EXPECT_EQ(bar->CountAreaEffects(), 3);
    // Nothing from the hero while he strikes or is hurt.
    for (int nAction : {3, 4}) {
        hero.nAction = nAction;
        bar->AddAreaEffectAtHero(4, 0, 0, 0, 0);
        bar->AddFlyingEffectFromHero(400, 400, 0, 0, 0, 9);
    }
    EXPECT_EQ(bar->CountAreaEffects(), 3);
    EXPECT_EQ(bar->CountFlyingEffects(), 0);
    hero.nAction = 0;
    bar->AddFlyingEffectFromHero(400, 400, 1, 0, 0, 9);
    ASSERT_NE(bar->m_pFlyingEffects[0], nullptr);
    EXPECT_EQ(bar->m_pFlyingEffects[0]->nSpriteCount, 32);
    EXPECT_EQ(bar->m_pFlyingEffects[0]->nCellTest, 0);
}

TEST_F(ToolBarEffects, ARunningMarkFinishesAndFreesItsSlot) {
    bar->AddEffectAt(3, 100, 100, 1, -1);
    ASSERT_EQ(bar->CountAreaEffects(), 1);
    int nFrames = 0;
    while (bar->CountAreaEffects() > 0 && nFrames < 500) {
        Advance(20);
        bar->ReapEffects();
        ++nFrames;
    }
    EXPECT_EQ(bar->CountAreaEffects(), 0);
    // Four steps of a little over 200 ms.
    EXPECT_LT(nFrames, 60);
}

TEST_F(ToolBarEffects, CharacterShotsMarkKindOne) {
    bar->AddFlyingEffectFromPoint(8, 100, 100, 400, 100, 0, -1);
    ASSERT_NE(bar->m_pFlyingEffects[0], nullptr);
    EXPECT_EQ(bar->m_pFlyingEffects[0]->nCellTest, 1);
    bar->ReapEffects();
    const POINT pt = bar->m_pFlyingEffects[0]->ptPos[0];
    EXPECT_EQ(MarkKindAt(pt), 1);
    bar->AddFlyingEffectFromPoint(8, 100, 100, 400, 100, 1, -1);
    ASSERT_NE(bar->m_pFlyingEffects[1], nullptr);
    EXPECT_EQ(bar->m_pFlyingEffects[1]->nSpriteCount, 32);
}

TEST_F(ToolBarEffects, WeatherNumbersToggleTheirOverlays) {
    bar->SetSceneWeather(4);
    ASSERT_NE(bar->m_pStripes, nullptr);
    EXPECT_EQ(bar->m_pStripes->nPattern, 0);
    EXPECT_EQ(bar->m_nWeather, 4);
    // The other stripe number switches the stripes off instead of changing them.
    bar->SetSceneWeather(5);
    EXPECT_EQ(bar->m_pStripes, nullptr);
    EXPECT_EQ(bar->m_nWeather, -1);
    bar->SetSceneWeather(5);
    ASSERT_NE(bar->m_pStripes, nullptr);
    EXPECT_EQ(bar->m_pStripes->nPattern, 1);

    bar->SetSceneWeather(1);
    EXPECT_NE(bar->m_pSnow, nullptr);
    // A second weather while one is recorded clears the record; both run.
    EXPECT_EQ(bar->m_nWeather, -1);
    bar->SetSceneWeather(2);
    EXPECT_NE(bar->m_pFog, nullptr);
    EXPECT_EQ(bar->m_nWeather, 2);
    bar->SetSceneWeather(0);
    EXPECT_EQ(bar->m_bShake, 1);
    EXPECT_EQ(bar->m_nWeather, -1);
    // A number outside 0..5 is no weather: nothing is recorded (a save could not hold
    // it), no record is cleared and nothing switches.
    bar->SetSceneWeather(9);
    EXPECT_EQ(bar->m_nWeather, -1);
    bar->SetSceneWeather(3);
    ASSERT_EQ(bar->m_nWeather, 3);
    for (int n : {6, -1, -2}) {
        bar->SetSceneWeather(n);
        EXPECT_EQ(bar->m_nWeather, 3) << n;
    }
    EXPECT_NE(bar->m_pRain, nullptr);
    EXPECT_NE(bar->m_pFog, nullptr);
    EXPECT_EQ(bar->m_bShake, 1);

    // A loaded game with rain while snow runs ends with rain only.
    bar->SwitchOffAllWeather();
    bar->SetSceneWeather(3);
    EXPECT_EQ(bar->m_pSnow, nullptr);
    EXPECT_EQ(bar->m_pFog, nullptr);
    EXPECT_EQ(bar->m_pStripes, nullptr);
    EXPECT_NE(bar->m_pRain, nullptr);
    EXPECT_EQ(bar->m_bShake, 0);
    EXPECT_EQ(bar->m_nWeather, 3);
}

TEST_F(ToolBarEffects, TheFrameDrawsTheWeatherOnlyWithAScene) {
    bar->SetSceneWeather(2);
    FillBack(RGB(0, 0, 0));
    pScene = nullptr;
    bar->DrawWeather();
    EXPECT_TRUE(Near(400, 300, 0, 0, 0));
    pScene = &scene;
    bar->DrawWeather();
    EXPECT_FALSE(Near(400, 300, 0, 0, 0));
}

}  // namespace
