// The town's weather event of the sample story, played through the main loop with the
// toolbar installed: the script's weather commands reach the toolbar's switch, each
// overlay shows in the frame while its talk line is read, and a new game starts with
// none; nor with the fight (effects, numbers, an armed bomb) of the game before, which
// the return to the title ends too.
#include <fstream>
#include <iterator>
#include <memory>

#include "CDX/CDXScreen.h"
#include "shell/ToolBarEffectsLink.h"
#include "shell/ToolBarLink.h"
#include "tests/shell/StoryTestUtil.h"
#include "ui/toolbar/GameToolBar.h"
#include "world/EffectManager.h"
#include "world/FightHost.h"

namespace {

// The story with the toolbar installed, past the town's greeting.
class WeatherEvent : public StoryTest {
protected:
    void SetUp() override {
        StoryTest::SetUp();
        InstallToolBarLinks();
        PanelLink().CreatePanels();
        pEffectManager->EventStates[0][kTownGreetingEvent] = 1;
    }
    void TearDown() override {
        RemoveToolBarLinks();
        StoryTest::TearDown();
    }
    // A screenshot's bytes.
    std::string ShotBytes(const char* pszName) {
        Shot(pszName);
        std::ifstream in(m_folder.File(pszName), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    CGameToolBar& Bar() { return *PanelLink().GetToolBar(); }
};

TEST_F(WeatherEvent, FogRainSnowAndStripesInTurnThenClear) {
    ASSERT_NE(PanelLink().GetToolBar(), nullptr);
    Passes(3);
    const std::string plain = ShotBytes("plain.png");
    const POINT pt = pScene->GetCellPoint(3, 26);
    pPlayer->SetMapPosAndHome(pt.x, pt.y);
    Passes(3);
    ASSERT_EQ(pFrame->nEventId, kTownWeatherEvent);
    EXPECT_NE(Bar().m_pFog, nullptr);
    Passes(20);
    const std::string fog = ShotBytes("fog.png");
    ReadTalkLine();
    Passes(3);
    EXPECT_EQ(Bar().m_pFog, nullptr);
    EXPECT_NE(Bar().m_pRain, nullptr);
    Passes(20);
    const std::string rain = ShotBytes("rain.png");
    ReadTalkLine();
    Passes(3);
    EXPECT_EQ(Bar().m_pRain, nullptr);
    EXPECT_NE(Bar().m_pSnow, nullptr);
    Passes(20);
    const std::string snow = ShotBytes("snow.png");
    ReadTalkLine();
    Passes(3);
    EXPECT_EQ(Bar().m_pSnow, nullptr);
    ASSERT_NE(Bar().m_pStripes, nullptr);
    EXPECT_EQ(Bar().m_pStripes->nPattern, 0);
    Passes(20);
    const std::string stripes = ShotBytes("stripes.png");
    ReadTalkLine();
    Passes(3);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(Bar().m_pStripes, nullptr);
    EXPECT_EQ(Bar().m_nWeather, -1);

    const std::string shots[] = {plain, fog, rain, snow, stripes};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_GT(shots[i].size(), 1000u) << i;
        for (size_t j = i + 1; j < 5; ++j) EXPECT_NE(shots[i], shots[j]) << i << " " << j;
    }

    // A weather left on does not outlive the game.
    Bar().SetSceneWeather(3);
    Bar().SetSceneWeather(0);
    SwitchOffToolBarWeather();
    EXPECT_EQ(Bar().m_pRain, nullptr);
    EXPECT_EQ(Bar().m_bShake, 0);
    EXPECT_EQ(Bar().m_nWeather, -1);
}

TEST_F(WeatherEvent, ANewGameAndTheTitleEndTheFightOfTheGameBefore) {
    // A bomb counting down, a life-loss number and an effect of each pool.
    auto fight = [&] {
        Bar().m_nBombItem = 47;
        Bar().m_bBombArmed = 1;
        Bar().m_dwBombTime = dwNowTime;
        Bar().AddDecLife(700, 600, 3);
        Bar().m_pAreaEffects[0] = std::make_unique<CAreaEffect>();
        Bar().m_pFlyingEffects[0] = std::make_unique<CFlyingEffect>();
    };
    auto expectNoFight = [&](const char* pszWhen) {
        EXPECT_EQ(Bar().m_bBombArmed, 0) << pszWhen;
        EXPECT_EQ(Bar().m_nBombItem, -1) << pszWhen;
        EXPECT_EQ(Bar().FloatingNumberCount(), 0) << pszWhen;
        EXPECT_EQ(Bar().CountAreaEffects(), 0) << pszWhen;
        EXPECT_EQ(Bar().CountFlyingEffects(), 0) << pszWhen;
    };
    fight();
    pFrame->NewGame();
    expectNoFight("new game");
    fight();
    // The credits end at the title; without a screen their loop only counts.
    CDXScreen* pSavedScreen = pScreen;
    pScreen = nullptr;
    pBack = nullptr;
    pFrame->ShowCredits();
    pScreen = pSavedScreen;
    pBack = pScreen->GetBack();
    ASSERT_NE(PanelLink().GetToolBar(), nullptr);
    expectNoFight("title");
}

TEST_F(WeatherEvent, TheFightingReachesTheToolBarsPools) {
    // One skill whose area pattern is a single cell laid all at once for two steps.
    const POINT cell{0, 0};
    const AreaStep step{{4, 2, 0, 0, 0}};
    const AreaPatternRow row{1, POINT{0, 0}, &cell, &step};
    AreaPatternTail tail{};
    tail.n[7] = -1;
    SkillRow skill;
    skill.nSkillNo = 0;
    pGameData->pAreaPattern = &row;
    pGameData->pAreaPatternTail = &tail;
    pGameData->nAreaPatternCount = 1;
    pGameData->pSkill = &skill;
    pGameData->nSkillCount = 1;
    FightHost().AddEffectAt(30, 700, 600, 0, -1);
    EXPECT_EQ(Bar().CountAreaEffects(), 1);
    const POINT c = pScene->PixelToCell(700, 600);
    EXPECT_EQ(pScene->CellAt(c.x, c.y)->nMark, 34);
    EXPECT_EQ(pScene->CellAt(c.x, c.y)->nMarkKind, 1);
    FightHost().AddFlyingEffectFromPoint(12, 700, 600, 100, 100, 0, -1);
    EXPECT_EQ(Bar().CountFlyingEffects(), 1);
    // The heroes' shots, spreads and laid skills reach the same pools.
    FightHost().AddFlyingEffect(12, 700, 600, 0, 100, 100, 1, 0);
    EXPECT_EQ(Bar().CountFlyingEffects(), 2);
    FightHost().AddFlyingEffectFromHero(100, 100, 1, 0, 0, 12);
    EXPECT_EQ(Bar().CountFlyingEffects(), 3);
    FightHost().AddAreaEffectAtHero(30, 0, 0, 0, 0);
    EXPECT_EQ(Bar().CountAreaEffects(), 2);
    // The scene draw ticks both; the area effect ends after its steps.
    for (int i = 0; i < 40; ++i) Passes(1);
    EXPECT_EQ(Bar().CountAreaEffects(), 0);
    pGameData->pAreaPattern = nullptr;
    pGameData->pAreaPatternTail = nullptr;
    pGameData->nAreaPatternCount = 0;
    pGameData->pSkill = nullptr;
    pGameData->nSkillCount = 0;
}

}  // namespace
