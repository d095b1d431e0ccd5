#include "gamedata/DebugLog.h"
#include "gamedata/GameData.h"
#include "platform/Charset.h"
#include "tests/gamedata/TestModel.h"
#include "tests/TempFolder.h"
#include "tools/gamekit/GameDataWriters.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(GameOptionsFile, MissingFileGivesEveryDefault) {
    CTempFolder dir;
    CGameData data;
    data.InitPaths(dir.Path().c_str());
    data.LoadOptions();
    const GameOptions& o = *data.pOptions;
    EXPECT_EQ(o.bTerrain, 0);
    EXPECT_EQ(o.bFullScreen, 1);
    EXPECT_EQ(o.nScreenWidth, 640);
    EXPECT_EQ(o.nScreenHeight, 480);
    EXPECT_EQ(o.nScreenBPP, 16);
    EXPECT_EQ(o.nScreenMode, 1);
    EXPECT_EQ(o.bCanScroll, 0);
    EXPECT_EQ(o.nDataFrom, 1);
    EXPECT_EQ(o.nPlayLeader, 1);
    EXPECT_EQ(o.nShowEventPoint, 0);
    EXPECT_EQ(o.nMusic, 1);
    EXPECT_EQ(o.nScene, 0);
    EXPECT_EQ(o.nPlayerX, 500);
    EXPECT_EQ(o.nPlayerY, 270);
    EXPECT_EQ(o.nPlayerSpeed, 10);
    EXPECT_EQ(o.nPlayerCloth, 1);
    EXPECT_EQ(o.nPlayerRunSpeed, 10);
    EXPECT_EQ(o.nCopy, 0);
    EXPECT_EQ(o.nScenepkg, 0);
}

TEST(GameOptionsFile, FlagsAreSetOnlyByExactlyOne) {
    CTempFolder dir;
    dir.Write("FENWIK.INI",
              "[option]\nFullScreen=2\nTerrain=1\nCanScroll=-1\nScreenWidth=1024\nDataFrom=0\nMusic=\n"
              "[NEWGAME]\nScene=12\nplayerx=40\n");
    GameOptions o = ReadGameOptions((dir.Path() + "\\fenwik.ini").c_str());
    EXPECT_EQ(o.bFullScreen, 0);
    EXPECT_EQ(o.bTerrain, 1);
    EXPECT_EQ(o.bCanScroll, 0);
    EXPECT_EQ(o.nScreenWidth, 1024);
    EXPECT_EQ(o.nScreenHeight, 480);
    EXPECT_EQ(o.nDataFrom, 0);
    EXPECT_EQ(o.nMusic, 1);
    EXPECT_EQ(o.nScene, 12);
    EXPECT_EQ(o.nPlayerX, 40);
    EXPECT_EQ(o.nPlayerY, 270);
}

TEST(GameOptionsFile, ValuesOutOfRangeGiveTheDefaultAndAreNamed) {
    CTempFolder dir;
    dir.Write("fenwik.ini",
              "[Option]\nScreenWidth=2147483647\nScreenHeight=-2147483648\nScreenBPP=0\n"
              "[NewGame]\nScene=200\nPlayerX=-1\nPlayerY=1048576\nPlayerSpeed=99999\n");
    std::vector<std::string> problems;
    GameOptions o = ReadGameOptions((dir.Path() + "\\fenwik.ini").c_str(), &problems);
    EXPECT_EQ(o.nScreenWidth, 640);
    EXPECT_EQ(o.nScreenHeight, 480);
    EXPECT_EQ(o.nScreenBPP, 16);
    EXPECT_EQ(o.nScene, 0);
    EXPECT_EQ(o.nPlayerX, 500);
    EXPECT_EQ(o.nPlayerY, 1048576);  // the largest position still taken
    EXPECT_EQ(o.nPlayerSpeed, 10);
    ASSERT_EQ(problems.size(), 6u);
    EXPECT_EQ(problems[0], "fenwik.ini: [Option] ScreenWidth=2147483647 is outside 640..8192; 640 is used");
    EXPECT_EQ(problems[1], "fenwik.ini: [Option] ScreenHeight=-2147483648 is outside 480..8192; 480 is used");
    EXPECT_NE(problems[3].find("[NewGame] Scene=200"), std::string::npos) << problems[3];

    // The edges of each range are taken as they stand.
    dir.Write("fenwik.ini", "[Option]\nScreenWidth=8192\nScreenHeight=480\n[NewGame]\nScene=199\nPlayerX=0\n");
    problems.clear();
    o = ReadGameOptions(dir.File("fenwik.ini").c_str(), &problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(o.nScreenWidth, 8192);
    EXPECT_EQ(o.nScreenHeight, 480);
    EXPECT_EQ(o.nScene, 199);
    EXPECT_EQ(o.nPlayerX, 0);

    // Numbers too large for 32 bits are named as written, even one that would wrap into
    // the range (4294968096 is 800 after the wrap) or into a set flag (4294967297 is 1).
    dir.Write("fenwik.ini",
              "[Option]\nScreenWidth=99999999999999999999\nScreenHeight=4294968096\nFullScreen=4294967297\n"
              "Music=-2147483649\n[NewGame]\nPlayerX=-2147483648\n");
    problems.clear();
    o = ReadGameOptions(dir.File("fenwik.ini").c_str(), &problems);
    EXPECT_EQ(o.nScreenWidth, 640);
    EXPECT_EQ(o.nScreenHeight, 480);
    EXPECT_EQ(o.bFullScreen, GameOptions{}.bFullScreen);
    EXPECT_EQ(o.nMusic, GameOptions{}.nMusic);
    ASSERT_EQ(problems.size(), 5u);
    EXPECT_EQ(problems[0], "fenwik.ini: [Option] FullScreen=\"4294967297\" is too large for 32 bits; " +
                               std::to_string(GameOptions{}.bFullScreen) + " is used");
    EXPECT_EQ(problems[1], "fenwik.ini: [Option] ScreenWidth=\"99999999999999999999\" is too large for 32 bits; 640 is used");
    EXPECT_EQ(problems[2], "fenwik.ini: [Option] ScreenHeight=\"4294968096\" is too large for 32 bits; 480 is used");
    EXPECT_NE(problems[3].find("[Option] Music=\"-2147483649\" is too large for 32 bits"), std::string::npos) << problems[3];
    // INT_MIN itself fits; the position range names it.
    EXPECT_EQ(problems[4], "fenwik.ini: [NewGame] PlayerX=-2147483648 is outside 0..1048576; 500 is used");
}

TEST(GameOptionsFile, GamekitOptionsReadBack) {
    CTempFolder dir;
    OptionsModel model;
    model.nFullScreen = 0;
    model.nScreenWidth = 800;
    model.nScreenHeight = 600;
    model.nCopy = 1;
    model.nScenepkg = 2;
    model.nPlayerRunSpeed = 14;
    dir.Write("fenwik.ini", BuildOptionsFile(model));
    GameOptions o = ReadGameOptions(dir.File("fenwik.ini").c_str());
    EXPECT_EQ(o.bFullScreen, 0);
    EXPECT_EQ(o.nScreenWidth, 800);
    EXPECT_EQ(o.nScreenHeight, 600);
    EXPECT_EQ(o.nCopy, 1);
    EXPECT_EQ(o.nScenepkg, 2);
    EXPECT_EQ(o.nPlayerRunSpeed, 14);
    EXPECT_EQ(o.nPlayLeader, 1);
}

TEST(GameData, StartsEmpty) {
    CGameData data;
    EXPECT_EQ(data.nItemCount, 0);
    EXPECT_EQ(data.pItem, nullptr);
    EXPECT_EQ(data.nSkillCount, 0);
    EXPECT_EQ(data.nShopCount, 0);
    EXPECT_EQ(data.nTextCount, 0);
    EXPECT_EQ(data.pScriptData, nullptr);
    EXPECT_STREQ(data.pSceneName[0], "");
    EXPECT_EQ(data.nSceneMusic[199], 0);
    EXPECT_EQ(data.nItemGrid[0][0], -1);
    EXPECT_EQ(data.nItemGrid[499][499], -1);
    EXPECT_EQ(data.GetItem(0), nullptr);
    EXPECT_EQ(data.GetLevel(0, 0), nullptr);
    EXPECT_EQ(data.GetText(0), nullptr);
    EXPECT_EQ(data.GetAreaPattern(0), nullptr);
}

class GameFolder : public ::testing::Test {
protected:
    void SetUp() override {
        model = MakeTestModel();
        AreaPatternModel p;
        p.cells.resize(2);
        p.nTail[8] = 1;
        model.areaPatterns = {p, AreaPatternModel{}};
        std::string why;
        ASSERT_TRUE(WriteGameDataFiles(dir.Path().c_str(), model, &why)) << why;
        data.InitPaths(dir.Path().c_str());
        data.LoadOptions();
    }
    CBaseFolderGuard guard;
    CTempFolder dir;
    GameModel model;
    CGameData data;
};

TEST_F(GameFolder, LoadsTablesCaptionsAndPatterns) {
    ASSERT_TRUE(data.ReadTableCache()) << data.GetLastError();
    ASSERT_TRUE(data.LoadTextTable()) << data.GetLastError();
    ASSERT_TRUE(data.LoadAreaPatterns()) << data.GetLastError();

    ASSERT_EQ(data.nItemCount, 3);
    EXPECT_STREQ(data.GetItem(1)->pName, model.items[1].strName.c_str());
    EXPECT_EQ(data.GetItem(3), nullptr);
    EXPECT_EQ(data.GetItem(-1), nullptr);
    EXPECT_EQ(data.nSkillCount, 3);
    EXPECT_EQ(data.GetSkillLevel(2)->nAddAttackOne, 0);
    EXPECT_EQ(data.GetSkill(3), nullptr);
    EXPECT_EQ(data.nShopCount, 16);
    EXPECT_EQ(data.GetShop(0)->Quantity(3), 7);
    EXPECT_EQ(data.GetShop(16), nullptr);
    EXPECT_EQ(data.GetLevel(3, 0)->nAge, 30);
    // Rows above 0 exist and are zero; a level of 5 reads zero values.
    EXPECT_EQ(data.GetLevel(0, 5)->nAttack, 0);
    EXPECT_NE(data.GetLevel(0, 101), nullptr);
    EXPECT_EQ(data.GetLevel(0, 102), nullptr);
    EXPECT_EQ(data.GetLevel(4, 0), nullptr);
    EXPECT_EQ(data.nEnemyNpcCount, 2);
    EXPECT_STREQ(data.GetEnemyNpc(1)->pDescription, "");
    EXPECT_EQ(data.GetEnemyNpc(2), nullptr);
    EXPECT_EQ(data.nTaskCount, 2);
    EXPECT_STREQ(data.GetTask(1)->pTaskName, "");
    EXPECT_EQ(data.GetPeiFang(1)->nId, 0);
    EXPECT_EQ(data.GetPeiFangItem(1)->nItemNo, 49);
    EXPECT_EQ(data.GetPeiFangItem(2), nullptr);
    EXPECT_STREQ(data.GetSceneName(0), model.scenes[0].strName.c_str());
    EXPECT_EQ(data.GetSceneMusic(150), 9);
    EXPECT_EQ(data.GetSceneName(200), nullptr);
    // The battle-enemy table is made from the type table, row for row.
    ASSERT_EQ(data.nFightNpcCount, std::int32_t(model.enemies.size()));
    EXPECT_EQ(data.pFightNpc[0].nLife, data.pEnemyNpc[0].nLife);
    EXPECT_EQ(data.pFightNpc[0].nNormalAttack, 76);

    ASSERT_EQ(data.nTextCount, 3);
    EXPECT_STREQ(data.ppTexts[0], model.captions[0].c_str());
    EXPECT_STREQ(data.GetText(2), "abc");
    EXPECT_EQ(data.GetText(3), nullptr);

    ASSERT_EQ(data.nAreaPatternCount, 2);
    EXPECT_EQ(data.GetAreaPattern(0)->nCellCount, 2);
    EXPECT_EQ(data.GetAreaPatternTail(0)->n[8], 1);
    EXPECT_EQ(data.GetAreaPattern(2), nullptr);
    EXPECT_EQ(data.GetAreaPatternTail(-1), nullptr);

    // Tables are written during play by other parts of the game.
    data.pItem[1].nBagCell[0][5] = 5;
    data.pLevel[2][7].nLife = 300;
    EXPECT_EQ(data.GetItem(1)->nBagCell[0][5], 5);
    EXPECT_EQ(data.GetLevel(2, 7)->nLife, 300);
}

TEST_F(GameFolder, MissingPatternFileIsNotFatalButMissingScriptAndCaptionsAre) {
    std::filesystem::remove(dir.File("data/Vesk.Ayl"));
    EXPECT_FALSE(data.LoadAreaPatterns());
    EXPECT_EQ(data.nAreaPatternCount, 0);
    EXPECT_EQ(data.pAreaPattern, nullptr);

    // The sample folder has no script file: the load stops there, after the tables.
    EXPECT_FALSE(data.LoadBaseData());
    EXPECT_NE(data.GetLastError().find("script.dat"), std::string::npos) << data.GetLastError();
    EXPECT_EQ(data.nItemCount, 3);

    std::filesystem::remove(dir.File("data/vesk.dat"));
    EXPECT_FALSE(data.LoadTextTable());
    EXPECT_NE(data.GetLastError().find("vesk.dat"), std::string::npos);
    EXPECT_EQ(data.nTextCount, 0);
}

TEST_F(GameFolder, ABadCacheFileFailsTheLoadNamingFileAndSection) {
    std::vector<std::uint8_t> bytes = dir.Read("data/Base.dat");
    bytes.resize(bytes.size() - 3);
    dir.Write("data/Base.dat", bytes);
    EXPECT_FALSE(data.LoadBaseData());
    EXPECT_EQ(data.GetLastError().rfind("Base.dat: section Recipe items", 0), 0u) << data.GetLastError();
    EXPECT_EQ(data.nItemCount, 0);

    std::filesystem::remove(dir.File("data/Base.dat"));
    EXPECT_FALSE(data.ReadTableCache());
    // Named as the game folder names it, with one kind of separator.
    EXPECT_EQ(data.GetLastError(), "data\\Base.dat: does not exist");
}

TEST_F(GameFolder, DebugLogRecordsTheLoadOnlyWhenItExists) {
    ASSERT_TRUE(SetCurrentDirectory(dir.Path().c_str()));
    ASSERT_EQ(pDebugLog, nullptr);
    ASSERT_TRUE(data.ReadTableCache());
    EXPECT_FALSE(std::filesystem::exists(dir.File("DEBUG.TXT")));

    {
        CDebugLog log;
        log.Open();
        pDebugLog = &log;
        data.LoadBaseData();
        pDebugLog->Printf("open data file %s ...", "menu.pkg");
        pDebugLog->Write("...OK\r\n");
        pDebugLog = nullptr;
    }
    std::vector<std::uint8_t> bytes = dir.Read("DEBUG.TXT");
    std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.rfind("Initialize base data ...\r\nOpen Base Data File Base.dat...OK\r\nRead NPC Base Data...OK\r\n", 0),
              0u)
        << text;
    EXPECT_NE(text.find("Read Item Data...OK\r\n"), std::string::npos);
    EXPECT_NE(text.find("Read Item Data...OK\r\nCan not open Script file"), std::string::npos) << text;
    EXPECT_NE(text.find("open data file menu.pkg ......OK\r\n"), std::string::npos) << text;
}

// Each group's line is written before its sections are read: a cache file cut in the
// item section shows every earlier group done and the item group failed.
TEST_F(GameFolder, DebugLogLinesFollowEachSectionAsItIsRead) {
    std::vector<std::uint8_t> bytes = dir.Read("data/Base.dat");
    bytes.resize(bytes.size() - 3);
    dir.Write("data/Base.dat", bytes);
    ASSERT_TRUE(SetCurrentDirectory(dir.Path().c_str()));
    {
        CDebugLog log;
        log.Open();
        pDebugLog = &log;
        EXPECT_FALSE(data.LoadBaseData());
        pDebugLog = nullptr;
    }
    bytes = dir.Read("DEBUG.TXT");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "Initialize base data ...\r\nOpen Base Data File Base.dat...OK\r\n"
              "Read NPC Base Data...OK\r\nRead Scene Name...OK\r\nRead Skill Data...OK\r\n"
              "Read Shop Data...OK\r\nRead Level Data...OK\r\nRead Item Data...failed\r\n");
}

TEST(GameDataPaths, GameFolderIsKeptWithoutATrailingSeparator) {
    CBaseFolderGuard guard;
    CTempFolder dir;
    ASSERT_TRUE(SetCurrentDirectory(dir.Path().c_str()));
    CGameData data;
    data.InitPaths();
    EXPECT_STREQ(data.szGamePath, dir.Path().c_str());
    data.InitPaths((dir.Path() + "/").c_str());
    EXPECT_STREQ(data.szGamePath, dir.Path().c_str());
    EXPECT_EQ(data.GamePath("data\\Base.dat"), dir.Path() + "\\data\\Base.dat");
}

}  // namespace
