// The battle's talk through the main window's script services and face talk bar: an
// enemy's opening talk in the bar's narrow layout, typed by itself and read on a line a
// press of the left button or of Space, each line beside its speaker, no turn and no ring
// before the last line; one fallen member's last words; and the bar, the game mode and
// the interrupted event's registers given back when the battle ends.
#include "tests/battle/FightTestUtil.h"

#include <cstring>
#include <functional>

#include "gamedata/ScriptData.h"
#include "platform/Charset.h"
#include "platform/Window.h"
#include "platform/WindowBackend.h"
#include "shell/BattleTalkLink.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/UiShellLink.h"
#include "tools/gamekit/ScriptCompiler.h"
#include "ui/ShellServices.h"
#include "ui/menus/TalkBar.h"

namespace fighttest {
namespace {

// Enemy rows 5 and 7 stand in slots 4 and 5; the members are animation numbers 1, 0, 2.
constexpr int kFoeA = 5, kFoeB = 7;
constexpr int kOpening = 61, kCryOfMember1 = 63, kCryOfMember2 = 64, kMixedOpening = 65;
// Event 10 stands for the event whose battle command runs the battle.
const char* const kStory = R"(scene 0
text 0 "来吧！"
text 1 "接招！"
text 2 "放马过来！"
text 3 "啊……"
text 4 "不……"
text 5 "看招！"
text 6 "哼！"
event 10
  Nop
  Fight 1 5 7 -1
  Nop
event 61
  Talk 5 0
  Talk 5 1
  Talk 1 2
event 63
  Talk 0 3
event 64
  Talk 2 4
event 65
  Talk 1 5
  Talk 2 6
)";

class FightTalkTest : public FightTest {
protected:
    FightWorld World() const override { return {.nPartySize = 3}; }
    void SetUp() override {
        FightTest::SetUp();
        std::string why;
        folder.Write("data/script.dat", "");
        ASSERT_TRUE(CompileScriptFile(kStory, folder.File("data/script.dat"), &why)) << why;
        ASSERT_TRUE(data.LoadScript()) << data.GetLastError();
        SetUiShell(&uiLink);
        pFrame = new CMainFrame;
        pPlayer = &hero;  // the main window starts without a hero
        pFrame->m_nScreenWidth = 800;
        pFrame->m_nScreenHeight = 600;
        pFrame->m_bInGame = 1;
        pFrame->m_nPartyCount = 3;
        for (int i = 0; i < 3; ++i) pFrame->m_nPartyIds[i] = i;
        pFrame->m_pMenuManager = new CMenuManager;
        pFrame->m_pMenuManager->m_nGameMode = 3;
        pFrame->m_pMenuManager->m_pFaceTalkBar = new CFaceTalkBar;
        pFrame->m_pMenuManager->m_pFaceTalkBar->Init();
        // The event that started the battle, at its battle command.
        const SubEvent* pEvent = data.pScriptData->GetSubEvent(0, 0);
        ASSERT_NE(pEvent, nullptr);
        ASSERT_EQ(pEvent->nEvent, 10);
        pFrame->nEventId = 10;
        pFrame->FirstScript = pEvent->nFirstStep;
        pFrame->CurrentScript = pEvent->nFirstStep + 1;
        pFrame->EndScript = pEvent->nLastStep;
        pFrame->pScript = data.pScriptData->GetCommand(0, pFrame->CurrentScript);
        SetFightScriptLink(&talk);
    }
    void TearDown() override {
        fight.reset();
        SetFightScriptLink(nullptr);
        delete pFrame;
        pFrame = nullptr;
        SetUiShell(nullptr);
        ResetMessageQueue();
        FightTest::TearDown();
    }
    CFaceTalkBar& Bar() { return *pFrame->m_pMenuManager->m_pFaceTalkBar; }
    // The first step of talk event n.
    int FirstStep(int n) {
        for (int i = 0; i < data.pScriptData->GetSubEventCount(0); ++i)
            if (data.pScriptData->GetSubEvent(0, i)->nEvent == n) return data.pScriptData->GetSubEvent(0, i)->nFirstStep;
        return -1;
    }
    // Frames of the battle, with the left button held through them all or not.
    void Frame(bool bHeld = false, int nFrames = 1) {
        // The frames pump no message: the press only holds the button.
        if (bHeld) OnMouseButton(VK_LBUTTON, true, false, 400, 20);
        for (int i = 0; i < nFrames; ++i) {
            pScreen = nullptr;
            fight->Frame();
            pScreen = &screen;
            AdvanceVirtualClock(20);
        }
        if (bHeld) OnMouseButton(VK_LBUTTON, false, false, 400, 20);
        ResetMessageQueue();
    }
    // Frames until the bar's page is typed; false when it never is.
    bool TypeLine() {
        for (int i = 0; i < 400 && !Bar().IsPageFull(); ++i) Frame();
        return Bar().IsPageFull();
    }
    bool BarAt(POINT pt) { return Bar().m_nBarX == pt.x && Bar().m_nBarY == pt.y; }

    CShellUiLink uiLink;
    CBattleTalkLink talk;
};

TEST_F(FightTalkTest, TheOpeningTalkHoldsTheTurnsUntilItsLastLineEachLineBesideItsSpeaker) {
    enemies[kFoeA].nTall = kOpening;
    // A map talk just before the battle command leaves the bar's follow-on flag set.
    Bar().m_nFollowOn = 1;
    CFight& f = Start({kFoeA, kFoeB});
    const DWORD gauges[3] = {C(0).timeRecovered, C(1).timeRecovered, C(2).timeRecovered};
    EXPECT_EQ(pFrame->CurrentScript, FirstStep(kOpening));
    EXPECT_EQ(pFrame->GetGameMode(), 9);
    EXPECT_FALSE(Bar().m_bFinished);
    EXPECT_EQ(Bar().m_nNarrow, 1);
    EXPECT_EQ(Bar().GetLineWidth(), 50);
    EXPECT_EQ(Bar().m_nFace, kFoeA);
    EXPECT_TRUE(BarAt(POINT{ptFightHome[4].x + 150, ptFightHome[4].y - 80})) << Bar().m_nBarX << "," << Bar().m_nBarY;

    // Untouched, the first line types itself one character a step and waits there; the
    // click from before the battle (it read the map's last line) does not hurry it.
    OnMouseButton(VK_LBUTTON, true, false, 400, 20);
    OnMouseButton(VK_LBUTTON, false, false, 400, 20);
    for (int i = 0; i < 5; ++i) Frame();
    EXPECT_GT(Bar().GetReadPos(), 0u) << "the line must type without a click";
    EXPECT_FALSE(Bar().IsPageFull());
    ASSERT_TRUE(TypeLine());
    for (int i = 0; i < 100; ++i) Frame();
    EXPECT_FALSE(Bar().m_bFinished);
    EXPECT_EQ(pFrame->CurrentScript, FirstStep(kOpening));
    EXPECT_EQ(f.ActiveNpc, -1) << "no turn while the talk runs";
    for (int s = 0; s < 3; ++s) EXPECT_EQ(C(s).timeRecovered, gauges[s]) << "gauge " << s;

    // The button held for six frames, as long as a click lasts: the next line and no
    // more, beside the same speaker at its home.
    Frame(true, 6);
    EXPECT_EQ(pFrame->CurrentScript, FirstStep(kOpening) + 1);
    EXPECT_FALSE(Bar().m_bFinished);
    EXPECT_FALSE(Bar().IsFastForward());
    EXPECT_TRUE(BarAt(ptFightHome[4]));
    // Pressed again while it types: it types the rest at once; then the heroine answers
    // beside her own place.
    Frame(true);
    ASSERT_TRUE(Bar().IsPageFull());
    // Space reads on as a press does, and so does each of its auto-repeats (the key held
    // from the map's talk), as on the map.
    InjectKey(VK_SPACE, true);
    MSG held;
    ASSERT_TRUE(PeekMessage(&held, true));  // pressed before: only its repeat comes now
    InjectKey(VK_SPACE, true);
    f.Pass();
    Frame();
    EXPECT_EQ(pFrame->CurrentScript, FirstStep(kOpening) + 2);
    EXPECT_EQ(Bar().m_nFace, 1);
    EXPECT_TRUE(BarAt(ptFightHome[0])) << Bar().m_nBarX << "," << Bar().m_nBarY;
    EXPECT_EQ(f.ActiveNpc, -1);

    // The last line read: the talk is over, the mode is the map's, and the turns begin.
    ASSERT_TRUE(TypeLine());
    Frame(true);
    EXPECT_TRUE(Bar().m_bFinished);
    EXPECT_EQ(Bar().m_nFollowOn, 0);
    EXPECT_EQ(pFrame->GetGameMode(), 3);
    int nFrames = 0;
    while (!(f.ActiveNpc >= 0 && f.ActiveNpc < 4) && nFrames < 2000) {
        Frame();
        ++nFrames;
    }
    EXPECT_LT(nFrames, 2000) << "the ring never came";
}

TEST_F(FightTalkTest, AMemberOpensAndAnEnemyNumberedLikeAMemberAnswersEachBesideItself) {
    // Enemy row 2 opens; the heroine (animation 1) speaks first, then the enemy, whose
    // number is also the third member's animation number.
    enemies[2].nTall = kMixedOpening;
    Start({2});
    ASSERT_EQ(Bar().m_nFace, 1);
    EXPECT_TRUE(BarAt(ptFightHome[0])) << Bar().m_nBarX << "," << Bar().m_nBarY;
    ASSERT_TRUE(TypeLine());
    Frame(true);
    ASSERT_EQ(Bar().m_nFace, 2);
    EXPECT_TRUE(BarAt(ptFightHome[4])) << Bar().m_nBarX << "," << Bar().m_nBarY;
}

TEST_F(FightTalkTest, TwoTalkingEnemiesGiveTheEventItsRegistersAndTheMapItsBarBack) {
    enemies[kFoeA].nTall = kOpening;
    enemies[kFoeB].nTall = kOpening;
    const int nStep = pFrame->CurrentScript, nFirst = pFrame->FirstScript, nEnd = pFrame->EndScript;
    ScriptCommand* pCommand = pFrame->pScript;
    Start({kFoeA, kFoeB});
    EXPECT_EQ(pFrame->CurrentScript, FirstStep(kOpening));
    ASSERT_EQ(pFrame->GetGameMode(), 9);
    // The battle ends before its talk did (a close, say).
    fight.reset();
    EXPECT_EQ(pFrame->CurrentScript, nStep);
    EXPECT_EQ(pFrame->FirstScript, nFirst);
    EXPECT_EQ(pFrame->EndScript, nEnd);
    EXPECT_EQ(pFrame->pScript, pCommand);
    EXPECT_EQ(pFrame->m_nSavedCurrentScript, -1);
    EXPECT_EQ(pFrame->m_pSavedScript, nullptr);
    EXPECT_EQ(pFrame->GetGameMode(), 3) << "no talk mode is left for the map";
    EXPECT_TRUE(Bar().m_bFinished);
    EXPECT_EQ(Bar().m_nNarrow, 0);
    EXPECT_EQ(Bar().GetLineWidth(), 382);
}

TEST_F(FightTalkTest, OnlyTheFirstFallenMemberSpeaksItsLastWords) {
    CFight& f = Start({kFoeB});
    C(1).DelTall = kCryOfMember1;
    C(2).DelTall = kCryOfMember2;
    Frame();
    EXPECT_TRUE(Bar().m_bFinished);
    C(2).HP = 0;
    Frame();
    ASSERT_EQ(C(2).Action, kActDead);
    EXPECT_EQ(f.bDeathTalkShown, 1);
    EXPECT_FALSE(Bar().m_bFinished);
    EXPECT_EQ(pFrame->CurrentScript, FirstStep(kCryOfMember2));
    EXPECT_EQ(Bar().m_nFace, 2);
    // Without an enemy's talk before, the words still take the narrow layout, beside her.
    EXPECT_EQ(Bar().m_nNarrow, 1);
    EXPECT_TRUE(BarAt(ptFightHome[2])) << Bar().m_nBarX << "," << Bar().m_nBarY;
    ASSERT_TRUE(TypeLine());
    EXPECT_EQ(f.ActiveNpc, -1);
    Frame(true);
    EXPECT_TRUE(Bar().m_bFinished);

    // The second one to fall says nothing.
    C(1).HP = 0;
    for (int i = 0; i < 50; ++i) Frame();
    EXPECT_EQ(C(1).Action, kActDead);
    EXPECT_TRUE(Bar().m_bFinished);
    EXPECT_EQ(pFrame->CurrentScript, FirstStep(kCryOfMember2) + 1);
    fight.reset();
    EXPECT_EQ(pFrame->CurrentScript, 1 + FirstStep(10));
    EXPECT_EQ(Bar().m_nNarrow, 0);
}

// Runs a step on each pass of the battle and of its result panel.
class CStepper : public CFightObserver {
public:
    std::function<void(CFight&)> fnStep;
    void OnPass(CFight& f) override { fnStep(f); }
};

TEST_F(FightTalkTest, ALostBattleEndsItsEventAndKeepsNoTalksRegisters) {
    enemies[kFoeA].nTall = kOpening;
    // The party falls while the enemy still speaks.
    CStepper stepper;
    int nPasses = 0;
    stepper.fnStep = [&](CFight& f) {
        if (f.bResultShown) f.OnResultRelease();
        for (int s = 0; s < 4; ++s)
            if (f.Filled(s)) f.Char(s)->HP = 0;
        if (++nPasses > 5000) f.StopRunning();
        AdvanceVirtualClock(20);
    };
    SetFightObserver(&stepper);
    const int nResult = pFrame->Fighting(1, kFoeA, kFoeB, -1, 0);
    SetFightObserver(nullptr);
    ASSERT_EQ(nResult, 2);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(pFrame->CurrentScript, -1) << "the talk's saved registers stay gone";
    EXPECT_EQ(pFrame->m_nSavedCurrentScript, -1);
    EXPECT_EQ(pFrame->GetGameMode(), 0) << "the title";
    EXPECT_EQ(Bar().m_nNarrow, 0);
}

}  // namespace
}  // namespace fighttest
