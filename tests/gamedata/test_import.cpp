#include "gamedata/BaseDataFile.h"
#include "gamedata/DatabaseImport.h"
#include "gamedata/GameData.h"
#include "platform/Charset.h"
#include "tests/gamedata/TestModel.h"
#include "tests/TempFolder.h"
#include "tools/gamekit/GameDataWriters.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

CTableSet Import(CMemoryRecordSource& source) {
    CTableSet t;
    std::string why;
    EXPECT_TRUE(ImportTables(source, &t, &why)) << why;
    return t;
}

TEST(Import, ScenesArePlacedByNumberAndMusicZeroBecomesOne) {
    CMemoryRecordSource source = RecordsFromModel(GameModel{});
    source.SetTable("SCENE_NAME", {Record{{"ID", 1}, {"Music", 0}, {"Name", std::string("Zero")}, {"NO", 7}},
                                   Record{{"ID", 2}, {"Music", 4}, {"Name", std::string("Four")}, {"NO", 3}},
                                   Record{{"ID", 3}, {"Music", 5}, {"Name", std::string("Low")}, {"NO", -1}},
                                   Record{{"ID", 4}, {"Music", 6}, {"Name", std::string("High")}, {"NO", 200}},
                                   Record{{"ID", 5}, {"Music", 8}, {"Name", std::string("")}, {"NO", 199}}});
    CTableSet t = Import(source);
    EXPECT_STREQ(t.sceneNames[7], "Zero");
    EXPECT_EQ(t.sceneMusic[7], 1);
    EXPECT_STREQ(t.sceneNames[3], "Four");
    EXPECT_EQ(t.sceneMusic[3], 4);
    EXPECT_STREQ(t.sceneNames[199], "");
    EXPECT_EQ(t.sceneMusic[199], 8);
    for (int s : {0, 1, 2, 4, 5, 6, 8, 198}) {
        EXPECT_STREQ(t.sceneNames[size_t(s)], "");
        EXPECT_EQ(t.sceneMusic[size_t(s)], 0);
    }
}

TEST(Import, AtMostOneLevelRowPerSkill) {
    GameModel m = MakeTestModel();  // three skills
    CMemoryRecordSource source = RecordsFromModel(m);
    std::vector<Record>& levels = source.Table("SkillLevel");
    Record extra = levels[0];
    extra["AddAttackOne"] = 999;
    levels = {levels[0], levels[1], extra, extra, extra};
    CTableSet t = Import(source);
    ASSERT_EQ(t.skillLevels.size(), 3u);
    EXPECT_EQ(t.skillLevels[2].nNo, 2);
    EXPECT_EQ(t.skillLevels[2].nAddAttackOne, 999);

    // Fewer records than skills leave zero rows.
    levels.resize(1);
    t = Import(source);
    ASSERT_EQ(t.skillLevels.size(), 3u);
    EXPECT_EQ(t.skillLevels[0].nAddAttackOne, 1);
    EXPECT_EQ(t.skillLevels[1].nNo, 0);
    EXPECT_EQ(t.skillLevels[1].nAddAttackOne, 0);
    EXPECT_EQ(t.skillLevels[2].nNeedNumThird, 0);
}

TEST(Import, ShopsTakeAtMostTheirFirst100Records) {
    CMemoryRecordSource source = RecordsFromModel(GameModel{});
    std::vector<Record> many;
    for (int j = 0; j < 105; ++j) {
        many.push_back(Record{{"ID", j}, {"Name", std::string("x")}, {"No", j}, {"PriceIn", 1000 + j},
                              {"PriceOut", 2000 + j}, {"Quantity", j + 1}});
    }
    source.SetTable("shop_02", many);
    source.SetTable("shop_16", {many[0], many[1], many[2]});
    CTableSet t = Import(source);
    ShopTable shop = t.shops[1];
    EXPECT_EQ(shop.Quantity(1), 1);
    EXPECT_EQ(shop.PriceIn(1), 1000);
    EXPECT_EQ(shop.PriceOut(100), 2099);
    EXPECT_EQ(shop.Quantity(100), 100);
    EXPECT_EQ(shop.nWord[0], 0);
    EXPECT_EQ(shop.nWord[100], 0);
    ShopTable last = t.shops[15];
    EXPECT_EQ(last.Quantity(3), 3);
    EXPECT_EQ(last.Quantity(4), 0);
    EXPECT_EQ(last.PriceOut(4), 0);
    EXPECT_EQ(t.shops[0].Quantity(1), 0);
}

TEST(Import, OnlyTheFirstLevelRecordCounts) {
    CMemoryRecordSource source = RecordsFromModel(GameModel{});
    Record first{{"Attack", 11}, {"Defence", 12}, {"Experience", 13}, {"ID", 1}, {"Level", 1},
                 {"Life", 14},   {"Mana", 15},    {"Celerity", 16},   {"SkillNum", 17}, {"Age", 18}};
    Record second = first;
    second["Level"] = 2;
    second["Attack"] = 99;
    source.SetTable("LEVEL2", {first, second});
    source.SetTable("LEVEL4", {});
    CTableSet t = Import(source);
    const LevelRow& r = t.levels[1][0];
    EXPECT_EQ(r.nLevel, 1);
    EXPECT_EQ(r.nAttack, 11);
    EXPECT_EQ(r.nDefence, 12);
    EXPECT_EQ(r.nLife, 14);
    EXPECT_EQ(r.nMana, 15);
    EXPECT_EQ(r.nExperience, 13);
    EXPECT_EQ(r.nCelerity, 16);
    EXPECT_EQ(r.nSkillNum, 17);
    EXPECT_EQ(r.nAge, 18);
    EXPECT_EQ(t.levels[1][1].nAttack, 0);
    EXPECT_EQ(t.levels[3][0].nLevel, 0);
}

TEST(Import, ItemsFollowRecordOrderAndFitIsOneOnlyForValueOne) {
    GameModel m = MakeTestModel();
    CMemoryRecordSource source = RecordsFromModel(m);
    std::vector<Record>& items = source.Table("ITEM");
    items[1]["Fit1"] = 1;
    items[1]["Fit2"] = -1;
    items[1]["Fit3"] = 2;
    items[1]["Fit4"] = 0;
    CTableSet t = Import(source);
    ASSERT_EQ(t.items.size(), 3u);
    // The ID column counts down, yet item numbers follow the record order.
    EXPECT_STREQ(t.items[1].pName, m.items[1].strName.c_str());
    EXPECT_EQ(t.items[1].bFit[0], 1);
    EXPECT_EQ(t.items[1].bFit[1], 0);
    EXPECT_EQ(t.items[1].bFit[2], 0);
    EXPECT_EQ(t.items[1].bFit[3], 0);
    EXPECT_EQ(t.items[2].nType, 99);
    EXPECT_EQ(t.items[2].nBagCell[2][10], -1);
    EXPECT_EQ(t.tasks[1].nNo, 1);
}

TEST(Import, MissingTablesAndColumnsNameTheTable) {
    CMemoryRecordSource source = RecordsFromModel(MakeTestModel());
    source.RemoveTable("TASK");
    CTableSet t;
    std::string why;
    EXPECT_FALSE(ImportTables(source, &t, &why));
    EXPECT_EQ(why, "table TASK: no table TASK");
    EXPECT_TRUE(t.items.empty());

    source = RecordsFromModel(MakeTestModel());
    source.Table("ITEM")[1].erase("Fit3");
    EXPECT_FALSE(ImportTables(source, &t, &why));
    EXPECT_EQ(why, "table ITEM: no column Fit3");

    source = RecordsFromModel(MakeTestModel());
    source.Table("EnemyFightNPC")[0]["Life"] = std::string("many");
    EXPECT_FALSE(ImportTables(source, &t, &why));
    EXPECT_NE(why.find("table EnemyFightNPC: column Life"), std::string::npos) << why;

    source = RecordsFromModel(MakeTestModel());
    source.RemoveTable("shop_09");
    EXPECT_FALSE(ImportTables(source, &t, &why));
    EXPECT_EQ(why, "table shop_09: no table shop_09");
}

class ImportFolder : public ::testing::Test {
protected:
    void SetUp() override {
        data.InitPaths(dir.Path().c_str());
        GameOptions o;
        o.nDataFrom = 0;
        data.pOptions = std::make_unique<GameOptions>(o);
    }
    CBaseFolderGuard guard;
    CTempFolder dir;
    CGameData data;
};

TEST_F(ImportFolder, ImportWritesTheCacheFileGamekitWrites) {
    GameModel m = MakeTestModel();
    CMemoryRecordSource source = RecordsFromModel(m);
    ASSERT_TRUE(data.BuildTables(source)) << data.GetLastError();
    EXPECT_EQ(dir.Read("data/Base.dat"), BuildBaseDat(m));
    EXPECT_EQ(dir.Entries("data"), std::vector<std::string>{"Base.dat"});
    ASSERT_EQ(data.nItemCount, 3);
    EXPECT_STREQ(data.pItem[1].pName, m.items[1].strName.c_str());
    EXPECT_EQ(data.nSceneMusic[150], 9);

    // Read back through the cache file, the same tables come out.
    CGameData again;
    again.InitPaths(dir.Path().c_str());
    ASSERT_TRUE(again.ReadTableCache()) << again.GetLastError();
    EXPECT_EQ(WriteBaseData(again.Tables()), BuildBaseDat(m));
}

// The database's values go through the cache file's range checks: an enemy's level
// that the game cannot multiply comes out in range.
TEST_F(ImportFolder, ImportedValuesOutOfRangeArePutInRange) {
    GameModel m = MakeTestModel();
    m.enemies[0].nLevel = INT32_MAX;
    CMemoryRecordSource source = RecordsFromModel(m);
    ASSERT_TRUE(data.BuildTables(source)) << data.GetLastError();
    ASSERT_GT(data.nEnemyNpcCount, 0);
    EXPECT_EQ(data.pEnemyNpc[0].nLevel, 10000);
    EXPECT_EQ(data.pFightNpc[0].nMoney, 100000);
}

TEST_F(ImportFolder, AFailedImportKeepsTheOldCacheFile) {
    dir.Write("data/Base.dat", std::string("previous cache"));
    CMemoryRecordSource source = RecordsFromModel(MakeTestModel());
    source.RemoveTable("PeiFang_Item");
    EXPECT_FALSE(data.BuildTables(source));
    EXPECT_NE(data.GetLastError().find("PeiFang_Item"), std::string::npos) << data.GetLastError();
    std::vector<std::uint8_t> kept = dir.Read("data/Base.dat");
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "previous cache");
    EXPECT_EQ(dir.Entries("data"), std::vector<std::string>{"Base.dat"});
    EXPECT_EQ(data.nItemCount, 0);
}

// The data folder is made only when the cache is written: a failed load leaves the game
// folder as it was.
TEST_F(ImportFolder, WithoutADatabaseTheLoadFailsAndLeavesTheFolderAsItWas) {
    const std::vector<std::string> before = dir.Entries();
    EXPECT_FALSE(data.LoadTables());
    EXPECT_NE(data.GetLastError().find("QRB.mdb"), std::string::npos) << data.GetLastError();
    EXPECT_FALSE(std::filesystem::exists(dir.File("data")));
    EXPECT_EQ(dir.Entries(), before);
}

TEST_F(ImportFolder, ARealDatabaseWithoutTheGameTablesFailsNamingTheFirstTable) {
    std::string file = std::string(GAME_TESTDATA_DIR) + "/mdb/nwind.mdb";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << file << " is absent";
    std::filesystem::copy_file(file, dir.File("qrb.MDB"));
    dir.Write("data/Base.dat", std::string("previous cache"));
    EXPECT_FALSE(data.LoadTables());
    EXPECT_EQ(data.GetLastError(), "QRB.mdb: table EnemyFightNPC: no table EnemyFightNPC");
    std::vector<std::uint8_t> kept = dir.Read("data/Base.dat");
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "previous cache");
}

}  // namespace
