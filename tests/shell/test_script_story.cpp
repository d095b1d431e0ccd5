// The sample story played headless through the main loop in the sample town: the
// greeting, the villager's errand with its countdown, the praise at the well in time,
// and the road to the grove with the grove's greeting. Screenshots of each are kept
// in the test's folder. The heroine's walks arrive at once here (the walking itself
// is the hero's own), and the player's steps into the regions are placed directly.
#include <fstream>

#include "tests/shell/StoryTestUtil.h"
#include "gamedata/GameData.h"
#include "platform/Charset.h"
#include "tests/shell/ShellTestUtil.h"
#include "tests/shell/ScriptTestUtil.h"
#include "gamedata/PkgFile.h"
#include "platform/Files.h"
#include "shell/ToolBarLink.h"
#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/PkgWriters.h"
#include "tools/gamekit/SampleScenes.h"
#include "tools/gamekit/StoryPictures.h"
#include "ui/menus/MenuPanel.h"
#include "tools/gamekit/SampleStory.h"
#include "tools/gamekit/ScriptCompiler.h"
#include "shell/SceneLink.h"
#include "shell/ScriptWorld.h"
#include "shell/UiShellLink.h"
#include "ui/menus/TalkBar.h"
#include "world/EffectManager.h"

namespace {

TEST_F(StoryTest, GreetingErrandCountdownPraiseAndTheGrove) {
    // Arriving in town: the greeting starts from the start cell's region.
    Passes(3);
    ASSERT_EQ(pFrame->nEventId, kTownGreetingEvent);
    EXPECT_EQ(pFrame->GetGameMode(), 9);
    EXPECT_EQ(CurrentTalk(), Utf8ToText("终于到青石镇了。先四处走走吧。"));
    Passes(20);
    Shot("greeting.png");
    ReadTalkLine();
    Passes(5);
    EXPECT_EQ(CurrentTalk(), Utf8ToText("镇子不大，东边的路通往竹林。"));
    ReadTalkLine();
    Passes(3);
    EXPECT_EQ(pFrame->nEventId, -1);

    // The villager asks for water; "yes", and the countdown starts.
    StepInto(27, 6);
    Passes(3);
    ASSERT_EQ(pFrame->nEventId, kTownVillagerEvent);
    ASSERT_EQ(pFrame->GetGameMode(), 15);
    EXPECT_EQ(pFrame->m_nCountdownSeconds, 0) << "the countdown runs before she asks";
    CChoiceTalkBar* pQuestion = pFrame->m_pMenuManager->m_pChoiceTalkBar;
    const RECT& rcYes = pQuestion->GetLineRect(1);
    pMouse->m_nX = (rcYes.left + rcYes.right) / 2;
    pMouse->m_nY = (rcYes.top + rcYes.bottom) / 2;
    pQuestion->OnLButtonUp(0);
    Passes(2);
    ReadTalkLine();
    Passes(3);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_GT(pFrame->m_nCountdownSeconds, 25);
    Shot("countdown.png");

    // At the well in time: the countdown stops and the praise plays.
    StepInto(9, 12);
    Passes(3);
    EXPECT_EQ(pFrame->m_nCountdownSeconds, 0);
    Passes(2);
    ASSERT_EQ(pFrame->nEventId, 5);
    EXPECT_EQ(CurrentTalk(), Utf8ToText("这么快就回来了，真是多谢你！"));
    Passes(20);
    Shot("praise.png");
    ReadTalkLine();
    // The view pans to the well and back, then the scene effect plays.
    for (int i = 0; i < 600 && pFrame->nEventId == 5; ++i) Passes(1);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(pEffectManager->EventStates[0][5], 1);

    // The road at the east edge leads to the grove, where the greeting plays.
    StepInto(39, 15);
    for (int i = 0; i < 20 && pFrame->m_nCurrentScene == 0; ++i) Passes(1);
    ASSERT_EQ(pFrame->m_nCurrentScene, 1);
    Passes(3);
    EXPECT_EQ(pFrame->nEventId, kGroveGreetingEvent);
    EXPECT_EQ(CurrentTalk(), Utf8ToText("好安静的竹林……好像有人在看着我。"));
    Passes(20);
    Shot("grove.png");

    // The four screenshots differ from each other.
    std::string shots[4];
    const char* names[4] = {"greeting.png", "countdown.png", "praise.png", "grove.png"};
    for (int i = 0; i < 4; ++i) {
        std::ifstream in(m_folder.File(names[i]), std::ios::binary);
        shots[i].assign(std::istreambuf_iterator<char>(in), {});
        EXPECT_GT(shots[i].size(), 1000u) << names[i];
    }
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) EXPECT_NE(shots[i], shots[j]) << names[i] << " " << names[j];
}

// The herbalist's errand: "yes" gives the basket, a task and money; in the grove the
// companion joins (her portrait's slot in the toolbar) and the herb patch gives three
// herbs; back in town the reward takes them, pays, closes the task, shows the picture
// of the grove and plays music, and the companion goes home.
TEST_F(StoryTest, TheHerbalistsErrandTheCompanionTheHerbsAndThePicture) {
    const std::string strPkg = m_folder.File("menu.pkg");
    ASSERT_TRUE(WriteBytesToFile(strPkg.c_str(), BuildPkg(StoryPictureEntries())));
    CPkgFile pkg(strPkg.c_str());
    ASSERT_TRUE(pkg.OpenPath(strPkg.c_str())) << pkg.GetError();
    SetMenuPackage(&pkg);
    // Whatever ends the test, the globals it set go back.
    struct Restore {
        ~Restore() {
            SetMenuPackage(nullptr);
            for (CPlayer*& p : pParty) {
                delete p;
                p = nullptr;
            }
            pCompanion = nullptr;
            SetPanelLink(nullptr);
        }
    };
    // The toolbar comes once the items are given: without the item table here its bag
    // has no room, and the full-bag notice would wait for a click.
    CToolBarPanelLink panels;
    Restore restore;
    pFrame->m_nPartyIds[0] = 0;
    pEffectManager->EventStates[0][kTownGreetingEvent] = 1;
    pPlayer->SetMapPosAndHome(900, 700);

    auto answer = [&](int k) {
        CChoiceTalkBar* pBar = pFrame->m_pMenuManager->m_pChoiceTalkBar;
        ASSERT_EQ(pFrame->GetGameMode(), 15);
        const RECT& rc = pBar->GetLineRect(k);
        pMouse->m_nX = (rc.left + rc.right) / 2;
        pMouse->m_nY = (rc.top + rc.bottom) / 2;
        pBar->OnLButtonUp(0);
        Passes(2);
    };

    // The herbalist asks; "yes" once.
    ASSERT_EQ(pFrame->StartEvent(kHerbalistEvent), kHerbalistEvent);
    Passes(5);
    Shot("question.png");
    answer(1);
    ReadTalkLine();
    Passes(3);
    EXPECT_EQ(pPlayer->nItemCount[67], 1);
    EXPECT_EQ(pPlayer->nTaskState[2], 1);
    EXPECT_EQ(pPlayer->nMoney, 50);

    // To the grove by the road at the east edge.
    StepInto(39, 15);
    for (int i = 0; i < 20 && pFrame->m_nCurrentScene == 0; ++i) Passes(1);
    ASSERT_EQ(pFrame->m_nCurrentScene, 1);
    Passes(3);
    ReadTalkLine();
    Passes(3);
    // The herb patch, now that she carries the basket.
    StepInto(14, 20);
    Passes(3);
    ASSERT_EQ(pFrame->nEventId, kHerbPatchEvent);
    ReadTalkLine();
    Passes(3);
    EXPECT_EQ(pPlayer->nItemCount[53], 3);
    SetPanelLink(&panels);
    panels.CreatePanels();
    CGameToolBar& bar = *pFrame->m_pToolBar;
    bar.m_nHero = 1;
    // The companion talks and joins.
    ASSERT_EQ(pFrame->StartEvent(kCompanionEvent), kCompanionEvent);
    Passes(3);
    ReadTalkLine();
    Passes(3);
    ASSERT_NE(pParty[2], nullptr);
    EXPECT_EQ(pCompanion, pParty[2]);
    EXPECT_EQ(bar.m_nCompanion, 3);
    EXPECT_EQ(pFrame->m_nPartyCount, 2);
    Shot("companion.png");

    // Back in town the herbalist sees the herbs: the reward.
    StepInto(8, 22);
    for (int i = 0; i < 20 && pFrame->m_nCurrentScene == 1; ++i) Passes(1);
    ASSERT_EQ(pFrame->m_nCurrentScene, 0);
    Passes(3);
    pFrame->nEventId = -1;
    ASSERT_EQ(pFrame->StartEvent(kHerbalistEvent), kHerbalistEvent);
    Passes(3);
    EXPECT_EQ(pFrame->nEventId, 41);
    // The reader clicks through the talk lines until the picture shows.
    for (int i = 0; i < 60 && !pFrame->m_pBackPicture && pFrame->nEventId == 41; ++i) {
        Passes(15);
        pFrame->OnLButtonDown(MK_LBUTTON, 400, 300);
        pFrame->OnLButtonUp(0, 400, 300);
        Passes(1);
    }
    ASSERT_NE(pFrame->m_pBackPicture, nullptr) << "the picture of the grove";
    Passes(20);
    Shot("picture.png");
    ReadTalkLine();
    Passes(3);
    EXPECT_EQ(pFrame->m_pBackPicture, nullptr);
    ReadTalkLine();
    Passes(5);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(pPlayer->nItemCount[53], 0);
    EXPECT_EQ(pPlayer->nMoney, 350);
    EXPECT_EQ(pPlayer->nTaskState[2], 0);
    EXPECT_EQ(pParty[2], nullptr) << "the companion went home";
    EXPECT_EQ(pCompanion, nullptr);
    EXPECT_TRUE(FileExists("save\\SavePlayer3.sav"));

    std::ifstream a(m_folder.File("picture.png"), std::ios::binary), b(m_folder.File("companion.png"), std::ios::binary);
    const std::string picture((std::istreambuf_iterator<char>(a)), {}), companion((std::istreambuf_iterator<char>(b)), {});
    EXPECT_GT(picture.size(), 1000u);
    EXPECT_NE(picture, companion);
}

}  // namespace
