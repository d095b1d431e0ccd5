// Random commands (numbers 0..120 with random operands) run for a bounded number of
// frames in the sample town: the engine must not crash, hang or touch memory it does
// not own, and every event must end or wait with its registers inside its steps. And
// the sweep: every number 0..115 with its operands at the ends of their words.
#include <climits>
#include <map>
#include <set>

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

// Counts the refusals and keeps their lines.
class CRefusalWatcher : public CLineWatcher {
public:
    void OnRefusal(int, const ScriptCommand&, const std::string& strLine) override { refusals.push_back(strLine); }
    std::vector<std::string> refusals;
};

// Every command number 0..115 with all six operands at INT_MIN, -1, 0 or INT_MAX, as
// the first step of an event followed by a talk line, a walk and a battle, for frames
// with the button held (it ends the modal texts): the sanitizer build stops at any
// report; a refusal names its place and command, and is said once however often the
// step comes back. The bank's box waits for an answer nothing here gives.
TEST_F(ScriptFuzz, EveryCommandWithItsOperandsAtTheEndsOfTheirRange) {
    CRefusalWatcher refusals;
    SetScriptWatcher(&refusals);
    std::string why;
    std::map<int, int> refusedAtEnds;
    for (int nCommand = 0; nCommand <= 115; ++nCommand) {
        if (nCommand == 66) continue;
        for (std::int32_t v : {INT_MIN, -1, 0, INT_MAX}) {
            SCOPED_TRACE(std::to_string(nCommand) + " " + std::to_string(v));
            std::string strStep = "  " + std::to_string(nCommand);
            for (int k = 0; k < 6; ++k) strStep += ' ' + std::to_string(v);
            pFrame->pScript = nullptr;
            Load("scene 0\ntext 0 \"a\"\nevent 0\n" + strStep + "\n  Talk 1 0\n  HeroWalk 640 540\n  Fight 1 0 -1 -1\n");
            if (!pScene) {
                ASSERT_TRUE(MakeScene(0, &why)) << why;
            }
            if (!pPlayer) pPlayer = new CPlayer;
            pFrame->m_nCurrentScene = 0;
            pFrame->m_bRunning = 1;
            pPlayer->SetMapPosAndHome(600, 500);
            InjectMouseButton(VK_LBUTTON, true, 400, 300, false);
            refusals.refusals.clear();
            // A case before may have disabled the event or used up its runs.
            for (auto& row : pEffectManager->EventStates) std::fill(std::begin(row), std::end(row), 0);
            for (auto& row : pEffectManager->EventRuns) std::fill(std::begin(row), std::end(row), 0);
            ASSERT_EQ(pFrame->StartEvent(0), 0);
            for (int nFrame = 0; nFrame < 40; ++nFrame) {
                if (nFrame % 4 == 3) pFrame->bAnswerGiven = 1;
                Frame();
                if (!pScene) {
                    ASSERT_TRUE(MakeScene(0, &why)) << why;
                }
                if (!pPlayer) pPlayer = new CPlayer;
                pFrame->m_bRunning = 1;
                // The event started again, as a region would start it every frame.
                if (nFrame == 10 && pFrame->nEventId < 0) pFrame->StartEvent(0);
            }
            for (const std::string& strLine : refusals.refusals)
                EXPECT_TRUE(strLine.rfind("script.dat: scene 0, event 0, step ", 0) == 0 &&
                            strLine.find("command " + std::to_string(nCommand) + " (") != std::string::npos)
                    << strLine;
            // However often the scene's region starts the event again, its refusal is
            // one line (the reporter says each line once).
            EXPECT_LE(std::set<std::string>(refusals.refusals.begin(), refusals.refusals.end()).size(), 1u);
            if (v == INT_MIN || v == INT_MAX) refusedAtEnds[nCommand] += int(refusals.refusals.size() > 0);
            pFrame->nEventId = -1;
            pFrame->pScript = nullptr;
            pFrame->bSceneEffectWait = 0;
            for (int& n : pFrame->m_nPendingEvents) n = -1;
        }
    }
    SetScriptWatcher(&watch);
    // The commands whose ends of range broke the game: both ends are refused.
    for (int nCommand : {1, 8, 33, 42, 67, 75, 81, 102}) EXPECT_EQ(refusedAtEnds[nCommand], 2) << nCommand;
}

}  // namespace
