// Random commands (numbers 0..120 with random operands) run for a bounded number of
// frames in the sample town: the engine must not crash, hang or touch memory it does
// not own, and every event must end or wait with its registers inside its steps.
#include "platform/Files.h"
#include "tests/TempFolder.h"
#include "tests/shell/ScriptTestUtil.h"
#include "tools/gamekit/SampleScenes.h"

namespace {

int RandomOperand() {
    static const int kPool[] = {-1, -1, 0, 0, 1, 2, 3, 5, 6, 9, 42, 50, 51, 99, 100, 199, 200, 400, 10000, -7, 40000};
    if (Rand() % 3 == 0) return Rand() % 2000;
    return kPool[Rand() % int(std::size(kPool))];
}

std::string RandomScript(int nEvents, int nCommands) {
    std::string text = "scene 0\ntext 0 \"a\"\ntext 1 \"b\\\\nc\\\\nd\"\n";
    for (int e = 0; e < nEvents; ++e) {
        text += "event " + std::to_string(e);
        if (Rand() % 4 == 0) text += " limit " + std::to_string(Rand() % 4);
        if (Rand() % 4 == 0) text += " once";
        text += "\n";
        for (int i = 0; i < nCommands; ++i) {
            // The bank box waits for the player's answer, which nothing here gives.
            int nCommand = Rand() % 121;
            if (nCommand == 66) nCommand = 0;
            text += "  " + std::to_string(nCommand);
            for (int k = 0; k < 6; ++k) text += ' ' + std::to_string(RandomOperand());
            text += "\n";
        }
    }
    return text;
}

class ScriptFuzz : public ScreenScriptTest {
protected:
    void SetUp() override {
        ScreenScriptTest::SetUp();
        SetScriptWorld(nullptr);  // the real scene change, walks as the game has them
        std::string why;
        ASSERT_TRUE(WriteSampleScenes(m_folder.Path(), &why)) << why;
        SetCurrentDirectory(m_folder.Path().c_str());
    }
    CTempFolder m_folder{"scriptfuzz"};
};

TEST_F(ScriptFuzz, RandomCommandsNeitherCrashNorHang) {
    constexpr int kEvents = 8, kCommands = 24, kFrames = 120;
    for (unsigned nSeed = 1; nSeed <= 12; ++nSeed) {
        SCOPED_TRACE(nSeed);
        Srand(nSeed);
        Load(RandomScript(kEvents, kCommands));
        std::string why;
        ASSERT_TRUE(MakeScene(0, &why)) << why;
        pFrame->m_nCurrentScene = 0;
        pFrame->m_bRunning = 1;
        for (auto& row : pEffectManager->EventStates) std::fill(std::begin(row), std::end(row), 0);
        // The button held down ends the modal talk text after its first second.
        InjectMouseButton(VK_LBUTTON, true, 400, 300, false);
        if (!pPlayer) pPlayer = new CPlayer;
        pPlayer->ptPos = POINT{600, 500};
        pPlayer->ptGoal = pPlayer->ptPos;
        for (int nFrame = 0; nFrame < kFrames; ++nFrame) {
            if (pFrame->nEventId < 0) pFrame->StartEvent(Rand() % (kEvents + 2) - 1);
            // Answer questions and read talk lines now and then, as a player would.
            if (Rand() % 5 == 0) pFrame->bAnswerGiven = 1;
            pFrame->bSceneEffectWait = Rand() % 7 == 0 ? 0 : pFrame->bSceneEffectWait;
            Frame();
            if (pFrame->nEventId >= 0 && pFrame->bScriptGoOn == 0) {
                EXPECT_GE(pFrame->CurrentScript, pFrame->FirstScript);
                EXPECT_LE(pFrame->CurrentScript, pFrame->EndScript + 2);
            }
            // The ending and the party files may replace the world: the run goes on in a new one.
            if (!pScene) {
                ASSERT_TRUE(MakeScene(0, &why)) << why;
            }
            if (!pPlayer) pPlayer = new CPlayer;
            pFrame->m_bRunning = 1;
        }
        pFrame->nEventId = -1;
        pFrame->pScript = nullptr;
        for (int& n : pFrame->m_nPendingEvents) n = -1;
    }
}

}  // namespace
