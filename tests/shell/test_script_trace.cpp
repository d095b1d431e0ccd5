// The trace tool on compiled fixtures, against golden traces: the endings, the commands
// that pass over others, the skip-talk keys, run limits with repeated starts, refused
// starts, pending events; the sample story's greeting, herbalist, companion and herbs;
// the companion's damaged initial record said once.
// The sub-event count bounds the numbers that may start; the text form lists skipped
// numbers as empty entries.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include <sys/wait.h>

#include "tests/shell/ShellTestUtil.h"
#include "tools/gamekit/HeroRecordWriter.h"
#include "tools/gamekit/SampleStory.h"
#include "tools/gamekit/ScriptCompiler.h"

namespace {

std::string TraceBinary() {
#ifdef SCRIPTTRACE_BINARY
    return SCRIPTTRACE_BINARY;
#else
    return "";
#endif
}

const char* const kFixture = R"(scene 0
text 0 "hello"
text 1 "Fetch water?\\nYes\\nNo"
event 0
  CounterAAdd 1
  Nop
  SetValue 3
event 1
  PlayMusic 5
  CounterAAdd 1
  CounterAAdd 2
event 2
  Talk 0 0
  CounterAAdd 1
  CounterAAdd 2
event 3 limit 3
  Nop
event 4
  Yield
event 5
event 6
event 7
  SetEventState 0 8
  BranchOnCounterA 9 9
  Nop
event 8
  Nop
event 9 after 0:8
  Nop
event 10
  PartyBranch 1 11 12
  Nop
event 11
  Nop
event 12
  Yield
  Nop
event 13
  SceneEffect -1 0 0 0
  CounterAAdd 1
  CounterAAdd 2
event 14
  HeroWalk 10 10
  HeroWalk 20 20
  HeroWalk 30 30
  Nop
event 15
  TalkChoice 0 2 4 11 0
  Nop
)";

class TraceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(TraceBinary().empty()) << "the build gave no path of the trace tool";
        std::string why;
        ASSERT_TRUE(CompileScriptFile(kFixture, m_folder.File("data/script.dat"), &why)) << why;
    }
    // The tool's output for the arguments after the folder.
    std::string Trace(const std::string& args) {
        const std::string cmd = TraceBinary() + " " + m_folder.Path() + " " + args + " 2>&1";
        FILE* p = popen(cmd.c_str(), "r");
        if (!p) return "";
        std::string out;
        char buf[4096];
        size_t n = 0;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        m_nExit = pclose(p);
        return out;
    }
    // Compares with tests/shell/golden/NAME.txt; GAME_REGENERATE_GOLDEN=1 rewrites it.
    void ExpectGolden(const std::string& name, const std::string& args) {
        const std::string out = Trace(args);
        EXPECT_EQ(m_nExit, 0) << out;
        const std::string path = std::string(GAME_SOURCE_DIR) + "/tests/shell/golden/" + name + ".txt";
        if (const char* psz = std::getenv("GAME_REGENERATE_GOLDEN"); psz && *psz == '1') {
            std::ofstream(path, std::ios::binary) << out;
            return;
        }
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << "no golden trace " << path;
        std::ostringstream golden;
        golden << in.rdbuf();
        EXPECT_EQ(out, golden.str()) << name;
    }
    CShellFolder m_folder;
    int m_nExit = -1;
};

TEST_F(TraceTest, EndingsAndCommandsThatPassOverOthers) {
    ExpectGolden("trace_instant", "--scene 0 --event 0 --frames 2");
    ExpectGolden("trace_music_skips", "--scene 0 --event 1 --frames 3");
    ExpectGolden("trace_ctrl_left", "--scene 0 --event 2 --frames 3 --ctrl-left 1");
    ExpectGolden("trace_effect_refused", "--scene 0 --event 13 --frames 3");
    ExpectGolden("trace_walk_batch", "--scene 0 --event 14 --frames 7");
}

TEST_F(TraceTest, StartsLimitsPreconditionsAndPendingEvents) {
    ExpectGolden("trace_limit_repeat", "--scene 0 --event 3 --frames 8 --repeat");
    ExpectGolden("trace_disabled_precondition", "--scene 0 --event 7 --frames 3");
    ExpectGolden("trace_pending", "--scene 0 --event 10 --frames 4");
    ExpectGolden("trace_answer", "--scene 0 --event 15 --frames 4 --answer 2:1");
}

TEST_F(TraceTest, BadArgumentsAreRefusedWithTheirReason) {
    const std::string out = Trace("--scene 300 --event 0 --frames 1");
    EXPECT_NE(m_nExit, 0);
    EXPECT_NE(out.find("--scene must be 0..199"), std::string::npos) << out;
    const std::string out2 = Trace("--scene 0 --event 0 --frames 1 --answer 3:7");
    EXPECT_NE(m_nExit, 0);
    EXPECT_NE(out2.find("--answer"), std::string::npos) << out2;
    // Each refusal names what was wrong: a missing option, a number out of its range
    // (not "needs a number"), a second folder, an unknown option.
    const std::pair<const char*, const char*> refusals[] = {
        {"--scene 0 --event 0", "--frames is missing"},
        {"--event 0 --frames 1", "--scene is missing"},
        {"--scene 5000000 --event 0 --frames 1", "--scene must be 0..199, not 5000000"},
        {"--scene 0 --event 0 --frames 99999999999", "--frames must be 0..100000, not 99999999999"},
        {"--scene x --event 0 --frames 1", "--scene needs a number, not 'x'"},
        {"--scene 0 --event 0 --frames 1 other", "one game folder only"},
        {"--scene 0 --event 0 --frames 1 --bogus", "unknown option '--bogus'"},
    };
    for (const auto& [pszArgs, pszWhy] : refusals) {
        const std::string out3 = Trace(pszArgs);
        EXPECT_EQ(WEXITSTATUS(m_nExit), 2) << pszArgs;
        EXPECT_NE(out3.find(std::string("scripttrace: ") + pszWhy), std::string::npos) << pszArgs << ": " << out3;
    }
}

TEST_F(TraceTest, TheSampleStoryGreetsTheHeroine) {
    GameModel model;
    std::string why;
    ASSERT_TRUE(CompileScriptFile(SampleStoryText(model), m_folder.File("data/script.dat"), &why)) << why;
    const std::string out = Trace("--scene 0 --event 0 --frames 300");
    EXPECT_EQ(m_nExit, 0) << out;
    EXPECT_NE(out.find("start 0 -> 0"), std::string::npos) << out;
    EXPECT_NE(out.find("Talk(4) 1 2 0 0 0 0 -> wait \"终于到青石镇了。先四处走走吧。\""), std::string::npos);
    EXPECT_NE(out.find("frame 300: event 0 step 0"), std::string::npos);
    // A reader's click moves the greeting on to its last line.
    const std::string clicked = Trace("--scene 0 --event 0 --frames 12 --click 3 --click 9");
    EXPECT_NE(clicked.find("\"镇子不大，东边的路通往竹林。\""), std::string::npos) << clicked;
    EXPECT_NE(clicked.find("frame 12: event -1"), std::string::npos) << clicked;
}

TEST_F(TraceTest, TheSampleStorysHerbalistCompanionAndHerbs) {
    GameModel model;
    std::string why;
    ASSERT_TRUE(CompileScriptFile(SampleStoryText(model), m_folder.File("data/script.dat"), &why)) << why;
    // The question, answered yes: basket, task and money.
    ExpectGolden("trace_story_question", "--scene 0 --event 40 --frames 6 --answer 3:1 --click 5");
    // The reward: herbs taken, money, the task closed, the picture and the music, the companion leaves.
    ExpectGolden("trace_story_reward", "--scene 0 --event 41 --frames 9 --click 2 --click 5 --click 8");
    // The companion joins in the grove; the herb patch wants the basket first.
    ExpectGolden("trace_story_companion", "--scene 1 --event 40 --frames 3 --click 2");
    const std::string out = Trace("--scene 1 --event 41 --frames 1");
    EXPECT_NE(out.find("start 41 -> -1"), std::string::npos) << out;
}

// A damaged initial record of the companion: she joins with her first values all the
// same, and the one read of the file says once what is wrong with it.
TEST_F(TraceTest, ADamagedInitialRecordIsSaidOnceAndTheCompanionJoinsAllTheSame) {
    GameModel model;
    std::string why;
    ASSERT_TRUE(CompileScriptFile(SampleStoryText(model), m_folder.File("data/script.dat"), &why)) << why;
    HeroRecordModel member;
    member.nMember = 2;
    member.nKind = 15;
    const std::vector<std::uint8_t> good = BuildHeroRecord(member);
    std::vector<std::uint8_t> level = good;
    level[8] = 102;
    const std::pair<std::vector<std::uint8_t>, std::string> cases[] = {
        {{}, "hero record: ran short at offset 0"},
        {std::vector<std::uint8_t>(good.begin(), good.begin() + 1000), "hero record: ran short at offset 1000"},
        {level, "hero record: level 102 at offset 8 is above 101"},
    };
    for (const auto& [bytes, strWhy] : cases) {
        std::filesystem::create_directories(m_folder.File("save"));
        ASSERT_TRUE(WriteBytesToFile(m_folder.File("save/InitPlayer3.sav").c_str(), bytes));
        const std::string out = Trace("--scene 1 --event 40 --frames 3 --click 2");
        const std::string strLine = "party file: save\\InitPlayer3.sav: " + strWhy;
        const size_t nAt = out.find(strLine);
        EXPECT_NE(nAt, std::string::npos) << out;
        EXPECT_EQ(out.find("party file:", nAt + 1), std::string::npos) << out;
        EXPECT_NE(out.find("party count 2 ids 0 -1 2 -1"), std::string::npos) << out;
    }
}

}  // namespace
