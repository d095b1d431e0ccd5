// The scripts' text form: compiled, written and read back by the game's reader, the
// start records and steps it lays out, the lines it refuses, and the sample story.
#include <gtest/gtest.h>

#include <filesystem>

#include "gamedata/ScriptData.h"
#include "gamedata/ScriptNames.h"
#include "platform/Charset.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "tests/TempFolder.h"
#include "tools/gamekit/NpcRecordWriter.h"
#include "tools/gamekit/SampleScenes.h"
#include "tools/gamekit/SampleStory.h"
#include "tools/gamekit/ScriptCompiler.h"

namespace {

std::unique_ptr<CScriptData> ReadBack(const std::vector<ScriptSceneModel>& scenes) {
    const std::vector<std::uint8_t> bytes = BuildScriptFile(scenes);
    auto pData = std::make_unique<CScriptData>();
    CByteReader reader(bytes, "script.dat");
    EXPECT_TRUE(pData->LoadEventTables(reader) && pData->LoadScripts(reader)) << pData->GetError();
    return pData;
}

TEST(ScriptCompiler, TextCompilesToTheCommandsRecordsAndTextsTheGameReads) {
    const char* pszText = R"(# comment line
scene 2
text 0 "第一句 \"quoted\" a\\b"
text 2 "three"
event 4 once limit 3 needs 5 7 after 0:1 2:0   # trailing comment
  Talk 100 0
  HeroWalk 10 -20
  105 1 2 3 4 5 6
event 1
event 0 limit 0
  Yield
scene 0
)";
    std::vector<ScriptSceneModel> scenes;
    std::string why;
    ASSERT_TRUE(CompileScriptText(pszText, &scenes, &why)) << why;
    ASSERT_EQ(scenes.size(), 3u);
    EXPECT_TRUE(scenes[0].bHasBlock);
    EXPECT_FALSE(scenes[1].bHasBlock);
    std::unique_ptr<CScriptData> pData = ReadBack(scenes);
    ASSERT_EQ(pData->GetCommandCount(2), 4);
    const int expected[4][7] = {{4, 100, 0, 0, 0, 0, 0}, {14, 10, -20, 0, 0, 0, 0}, {105, 1, 2, 3, 4, 5, 6},
                                {114, 0, 0, 0, 0, 0, 0}};
    for (int i = 0; i < 4; ++i) {
        const ScriptCommand* pC = pData->GetCommand(2, i);
        ASSERT_NE(pC, nullptr);
        const std::int32_t* pWords = &pC->nCommand;
        for (int w = 0; w < 7; ++w) EXPECT_EQ(pWords[w], expected[i][w]) << i << " " << w;
        EXPECT_EQ(pC->a7, -1);
        EXPECT_EQ(pC->a8, -1);
    }
    // Steps in order; the empty event has last below first. The numbers the text skips
    // (2 and 3) follow as empty entries, so that event 4 lies inside the table's count.
    ASSERT_EQ(pData->GetSubEventCount(2), 5);
    for (int i = 3; i < 5; ++i) {
        EXPECT_EQ(pData->GetSubEvent(2, i)->nEvent, i - 1);
        EXPECT_LT(pData->GetSubEvent(2, i)->nLastStep, pData->GetSubEvent(2, i)->nFirstStep);
    }
    const SubEvent* pSubs[3] = {pData->GetSubEvent(2, 0), pData->GetSubEvent(2, 1), pData->GetSubEvent(2, 2)};
    EXPECT_EQ(pSubs[0]->nEvent, 4);
    EXPECT_EQ(pSubs[0]->nFirstStep, 0);
    EXPECT_EQ(pSubs[0]->nLastStep, 2);
    EXPECT_EQ(pSubs[1]->nEvent, 1);
    EXPECT_LT(pSubs[1]->nLastStep, pSubs[1]->nFirstStep);
    EXPECT_EQ(pSubs[2]->nFirstStep, 3);
    EXPECT_EQ(pSubs[2]->nLastStep, 3);
    // Records: the named words, everything unused -1, unnamed events open.
    ASSERT_EQ(pData->GetEventCount(2), 5);
    const EventRecord* pE = pData->GetEvent(2, 4);
    EXPECT_EQ(pE->nOnce, 1);
    EXPECT_EQ(pE->nRunLimit, 3);
    EXPECT_EQ(pE->nNeedItem[0], 5);
    EXPECT_EQ(pE->nNeedItem[1], 7);
    EXPECT_EQ(pE->nNeedItem[2], -1);
    EXPECT_EQ(pE->nPreScene[0], 0);
    EXPECT_EQ(pE->nPreEvent[0], 1);
    EXPECT_EQ(pE->nPreScene[1], 2);
    EXPECT_EQ(pE->nPreEvent[1], 0);
    EXPECT_EQ(pE->nPreScene[2], -1);
    EXPECT_EQ(pE->nPreEvent[15], -1);
    EXPECT_EQ(pData->GetEvent(2, 0)->nRunLimit, 0);
    EXPECT_EQ(pData->GetEvent(2, 2)->nRunLimit, -1);
    EXPECT_EQ(pData->GetEvent(2, 2)->nNeedItem[0], -1);
    // Texts are GBK; the escapes are undone; a skipped number is an empty text.
    EXPECT_EQ(std::string(pData->GetText(2, 0)), Utf8ToText("第一句 \"quoted\" a\\b"));
    EXPECT_EQ(std::string(pData->GetText(2, 1)), "");
    EXPECT_EQ(std::string(pData->GetText(2, 2)), "three");
}

TEST(ScriptCompiler, BadLinesNameTheirLineAndWriteNothing) {
    const struct {
        const char* pszText;
        int nLine;
        const char* pszWhy;
    } cases[] = {
        {"event 1\n", 1, "before any scene"},
        {"scene 0\n  Nop\n", 2, "outside an event"},
        {"scene 0\nevent 0\n  Walkabout 1\n", 3, "unknown command"},
        {"scene 0\nevent 0\n  Talk 1 2 3 4 5 6 7\n", 3, "at most six"},
        {"scene 0\nevent 0\n  Talk one\n", 3, "not a number"},
        {"scene 0\nevent 100\n", 2, "0..99"},
        {"scene 200\n", 1, "0..199"},
        {"scene 0\nscene 0\n", 2, "twice"},
        {"scene 0\nevent 1\nevent 1\n", 3, "twice"},
        {"scene 0\n\n\ntext 0 \"open\n", 4, "not closed"},
        {"scene 0\ntext x \"a\"\n", 2, "text takes"},
        {"scene 0\nevent 1 needs\n event 2 needs -4\n", 3, "item numbers"},
        {"scene 0\nevent 1 after 3\n", 2, "SCENE:EVENT"},
        {"scene 0\nevent 1 needs 1 2 3 4 5 6 7 8 9\n", 2, "at most 8"},
        {"scene 0\nevent 1 sometimes\n", 2, "unknown event word"},
        {"scene 0\ntext 0 \"\xF0\x9F\x98\x80\"\n", 2, "no GBK form"},
    };
    CTempFolder folder("scriptc");
    const std::string strPath = folder.Path() + "/script.dat";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszText);
        std::vector<ScriptSceneModel> scenes;
        std::string why;
        EXPECT_FALSE(CompileScriptText(c.pszText, &scenes, &why));
        EXPECT_EQ(why.rfind("line " + std::to_string(c.nLine) + ": ", 0), 0u) << why;
        EXPECT_NE(why.find(c.pszWhy), std::string::npos) << why;
        why.clear();
        EXPECT_FALSE(CompileScriptFile(c.pszText, strPath, &why));
        EXPECT_FALSE(std::filesystem::exists(strPath));
    }
    std::string why;
    ASSERT_TRUE(CompileScriptFile("scene 0\nevent 0\n  Nop\n", strPath, &why)) << why;
    EXPECT_TRUE(std::filesystem::exists(strPath));
}

TEST(ScriptCompiler, CommandNamesAndNumbersAgree) {
    for (int n = kScriptCommandFirst; n <= kScriptCommandLast; ++n) {
        const int nFound = FindScriptCommand(ScriptCommandName(n));
        if (n == 23 || (n >= 103 && n <= 108)) EXPECT_EQ(nFound, 23) << n;
        else EXPECT_EQ(nFound, n) << ScriptCommandName(n);
    }
    EXPECT_EQ(FindScriptCommand("Talk"), 4);
    EXPECT_EQ(FindScriptCommand("talk"), -1);
    EXPECT_STREQ(ScriptCommandName(0), "?");
    EXPECT_STREQ(ScriptCommandName(115), "?");
}

TEST(ScriptCompiler, TheSampleStoryCompilesAndItsExitsMatchTheScenesRegions) {
    GameModel model;
    model.scenes[0].strName = Utf8ToText("镇");
    model.scenes[3].strName = Utf8ToText("山");
    std::vector<ScriptSceneModel> scenes;
    std::string why;
    ASSERT_TRUE(CompileScriptText(SampleStoryText(model), &scenes, &why)) << why;
    ASSERT_GT(scenes.size(), 100u);
    EXPECT_TRUE(scenes[3].bHasBlock);
    std::unique_ptr<CScriptData> pData = ReadBack(scenes);
    for (int n : SampleSceneNumbers()) {
        SCOPED_TRACE(n);
        const SampleScene scene = BuildSampleScene(n);
        for (size_t r = 0; r < scene.exits.size(); ++r) {
            // Region r starts event r + 1, whose first command is the change to the exit's scene.
            const int e = int(r) + 1;
            const SubEvent* pSub = nullptr;
            for (int i = 0; i < pData->GetSubEventCount(n); ++i)
                if (pData->GetSubEvent(n, i)->nEvent == e) pSub = pData->GetSubEvent(n, i);
            ASSERT_NE(pSub, nullptr) << e;
            const ScriptCommand* pC = pData->GetCommand(n, pSub->nFirstStep);
            ASSERT_NE(pC, nullptr);
            EXPECT_EQ(pC->nCommand, 1);
            EXPECT_EQ(pC->a1, scene.exits[r].nTargetScene);
            EXPECT_EQ(pC->a2, scene.exits[r].nHeroX);
            EXPECT_EQ(pC->a3, scene.exits[r].nHeroY);
        }
        // Every event a region lists has steps in the story.
        for (const RegionRecord& region : scene.setting.regions)
            for (int i = 0; i < region.nEventCount; ++i) {
                bool bFound = false;
                for (int k = 0; k < pData->GetSubEventCount(n); ++k)
                    bFound = bFound || pData->GetSubEvent(n, k)->nEvent == region.nEvents[i];
                EXPECT_TRUE(bFound) << "event " << region.nEvents[i];
            }
        // Every person who is no fighter says a line when clicked: the first event of each
        // holds a talk or a question.
        for (const NpcRecordModel& person : SamplePeople(n)) {
            if (person.nClass == 2) continue;
            const SubEvent* pSub = nullptr;
            for (int k = 0; k < pData->GetSubEventCount(n); ++k)
                if (pData->GetSubEvent(n, k)->nEvent == person.events[0]) pSub = pData->GetSubEvent(n, k);
            ASSERT_NE(pSub, nullptr) << "person " << person.nId << " starts event " << person.events[0];
            bool bTalks = false;
            for (int i = pSub->nFirstStep; i <= pSub->nLastStep; ++i) {
                const int nCommand = pData->GetCommand(n, i)->nCommand;
                bTalks = bTalks || nCommand == FindScriptCommand("Talk") || nCommand == FindScriptCommand("TalkChoice");
            }
            EXPECT_TRUE(bTalks) << "person " << person.nId << " says nothing";
        }
    }
    // Every text a talk line of the story names exists.
    for (int n : SampleSceneNumbers())
        for (int i = 0; i < pData->GetCommandCount(n); ++i) {
            const ScriptCommand* pC = pData->GetCommand(n, i);
            if (pC->nCommand == 4) {
                EXPECT_NE(pData->GetText(n, pC->a2), nullptr) << n << " " << i;
            }
        }
}

}  // namespace
