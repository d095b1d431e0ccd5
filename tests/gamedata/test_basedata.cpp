#include "gamedata/BaseDataFile.h"
#include "tests/gamedata/TestModel.h"
#include "tools/gamekit/GameDataWriters.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

// Bytes laid out by hand, so the reader and the writers are checked against
// something that shares no code with them.
struct Bytes {
    std::vector<std::uint8_t> v;
    Bytes& I32(std::int32_t n) {
        for (int i = 0; i < 4; ++i) v.push_back(std::uint8_t(std::uint32_t(n) >> (8 * i)));
        return *this;
    }
    Bytes& Raw(std::string_view s) {
        v.insert(v.end(), s.begin(), s.end());
        return *this;
    }
    Bytes& Str(std::string_view s) { return I32(std::int32_t(s.size())).Raw(s); }
    size_t Size() const { return v.size(); }
};

const char* const kSections[10] = {"Enemies", "Scene names", "Skills", "Skill levels", "Shops",
                                    "Levels", "Items", "Tasks", "Recipes", "Recipe items"};

// One record of every section; pEnds receives the end offset of each section.
std::vector<std::uint8_t> HandBuiltFile(std::vector<size_t>* pEnds) {
    Bytes b;
    std::vector<size_t> ends;
    b.I32(1).Str("desc");
    for (int k = 11; k <= 26; ++k) b.I32(k);
    b.Str("wolf").I32(1);
    ends.push_back(b.Size());
    for (int s = 0; s < 200; ++s) {
        if (s == 5) {
            b.Str("Town").I32(7);
        } else {
            b.I32(0).I32(0);
        }
    }
    ends.push_back(b.Size());
    b.I32(1);
    for (int k = 101; k <= 113; ++k) b.I32(k);
    b.I32(4).Raw("Fire").Raw(std::string_view("\0", 1)).I32(3).Raw("hot").Raw(std::string_view("\0", 1));
    ends.push_back(b.Size());
    for (int k = 201; k <= 210; ++k) b.I32(k);
    ends.push_back(b.Size());
    for (int s = 0; s < 16; ++s) {
        for (int w = 0; w < 401; ++w) {
            std::int32_t v = 0;
            if (s == 0 && w == 101) v = 5;
            if (s == 0 && w == 201) v = 10;
            if (s == 0 && w == 301) v = 20;
            if (s == 3 && w == 0) v = 77;
            b.I32(v);
        }
    }
    ends.push_back(b.Size());
    for (int m = 0; m < 4; ++m) {
        for (int k = 0; k < 9; ++k) b.I32(30 + 10 * m + k);
    }
    ends.push_back(b.Size());
    b.I32(1);
    for (int k = 401; k <= 410; ++k) b.I32(k);
    b.I32(2).Raw(std::string_view("\1\0\1\0\0\1", 6)).Str("Sword").Str("d0").Str("").Str("d2").Str("d3").Str("d4");
    ends.push_back(b.Size());
    b.I32(1).Str("Go").Str("Do it");
    ends.push_back(b.Size());
    b.I32(1);
    for (int k = 501; k <= 517; ++k) b.I32(k);
    ends.push_back(b.Size());
    b.I32(1).I32(601).I32(602);
    ends.push_back(b.Size());
    if (pEnds != nullptr) *pEnds = ends;
    return b.v;
}

void ExpectMatchesModel(const CTableSet& t, const GameModel& m) {
    ASSERT_EQ(t.enemies.size(), m.enemies.size());
    for (size_t i = 0; i < m.enemies.size(); ++i) {
        const EnemyNpcRow& r = t.enemies[i];
        const EnemyModel& e = m.enemies[i];
        EXPECT_STREQ(r.pName, e.strName.c_str());
        EXPECT_STREQ(r.pDescription, e.strDescription.c_str());
        EXPECT_EQ(r.nId, e.nId);
        EXPECT_EQ(r.nNo, e.nNo);
        EXPECT_EQ(r.nLevel, e.nLevel);
        EXPECT_EQ(r.nLife, e.nLife);
        EXPECT_EQ(r.nMana, e.nMana);
        EXPECT_EQ(r.nAttack, e.nAttack);
        EXPECT_EQ(r.nDefance, e.nDefance);
        EXPECT_EQ(r.nSkillAttackProbability, e.nSkillAttackProbability);
        EXPECT_EQ(r.nSkill1, e.nSkill1);
        EXPECT_EQ(r.nSkill2, e.nSkill2);
        EXPECT_EQ(r.nSculpt, e.nSculpt);
        EXPECT_EQ(r.nNpcType, e.nNpcType);
        EXPECT_EQ(r.nSoundNo, e.nSoundNo);
        EXPECT_EQ(r.nSoundTime, e.nSoundTime);
        EXPECT_EQ(r.nRunAway, e.nRunAway);
        EXPECT_EQ(r.nChangSceneResume, e.nChangSceneResume);
        EXPECT_EQ(r.nEnableKilled, e.nEnableKilled);
    }
    for (size_t s = 0; s < 200; ++s) {
        EXPECT_STREQ(t.sceneNames[s], m.scenes[s].strName.c_str()) << "scene " << s;
        EXPECT_EQ(t.sceneMusic[s], m.scenes[s].nMusic) << "scene " << s;
    }
    ASSERT_EQ(t.skills.size(), m.skills.size());
    ASSERT_EQ(t.skillLevels.size(), m.skills.size());
    for (size_t i = 0; i < m.skills.size(); ++i) {
        const SkillRow& r = t.skills[i];
        const SkillModel& s = m.skills[i];
        EXPECT_STREQ(r.pName, s.strName.c_str());
        EXPECT_STREQ(r.pDescription, s.strDescription.c_str());
        std::int32_t got[13] = {r.nAttack, r.nDefance, r.nCelerity, r.nMana, r.nDirection, r.nNpcType, r.nEffectSound,
                                r.nPicNo, r.nSkillNo, r.nType, r.nNo, r.nNeedTime, r.nAttackType};
        std::int32_t want[13] = {s.nAttack, s.nDefance, s.nCelerity, s.nMana, s.nDirection, s.nNpcType, s.nEffectSound,
                                 s.nPicNo, s.nSkillNo, s.nType, s.nNo, s.nNeedTime, s.nAttackType};
        EXPECT_EQ(std::memcmp(got, want, sizeof(got)), 0) << "skill " << i;
        const SkillLevelRow& l = t.skillLevels[i];
        SkillLevelModel lm = i < m.skillLevels.size() ? m.skillLevels[i] : SkillLevelModel{};
        EXPECT_EQ(l.nNo, i < m.skillLevels.size() ? std::int32_t(i) : 0);
        EXPECT_EQ(l.nAddAttackOne, lm.nAddAttack[0]);
        EXPECT_EQ(l.nAddAttackThree, lm.nAddAttack[2]);
        EXPECT_EQ(l.nAddTimeTwo, lm.nAddTime[1]);
        EXPECT_EQ(l.nNeedNumThird, lm.nNeedNum[2]);
    }
    for (size_t s = 0; s < 16; ++s) {
        ShopTable shop = t.shops[s];
        for (int k = 1; k <= 100; ++k) {
            ShopEntryModel e = size_t(k) <= m.shops[s].entries.size() ? m.shops[s].entries[size_t(k - 1)]
                                                                       : ShopEntryModel{};
            EXPECT_EQ(shop.Quantity(k), e.nQuantity);
            EXPECT_EQ(shop.PriceIn(k), e.nPriceIn);
            EXPECT_EQ(shop.PriceOut(k), e.nPriceOut);
        }
    }
    for (size_t mem = 0; mem < 4; ++mem) {
        const LevelRow& r = t.levels[mem][0];
        const LevelModel& l = m.levels[mem];
        EXPECT_EQ(r.nLevel, l.nLevel);
        EXPECT_EQ(r.nAttack, l.nAttack);
        EXPECT_EQ(r.nExperience, l.nExperience);
        EXPECT_EQ(r.nAge, l.nAge);
        EXPECT_EQ(t.levels[mem][101].nLife, 0);
    }
    ASSERT_EQ(t.items.size(), m.items.size());
    for (size_t i = 0; i < m.items.size(); ++i) {
        const ItemRow& r = t.items[i];
        const ItemModel& it = m.items[i];
        EXPECT_STREQ(r.pName, it.strName.c_str());
        const char* descs[5] = {r.pDescription, r.pDescription1, r.pDescription2, r.pDescription3, r.pDescription4};
        for (int d = 0; d < 5; ++d) EXPECT_STREQ(descs[d], it.strDescription[size_t(d)].c_str());
        EXPECT_EQ(r.nType, it.nType);
        EXPECT_EQ(r.nTypeOnGround, it.nTypeOnGround);
        EXPECT_EQ(r.nSkillNum, it.nSkillNum);
        EXPECT_EQ(r.nAttack, it.nAttack);
        EXPECT_EQ(r.nGirdNum, it.nGirdNum);
        EXPECT_EQ(r.nCelerity, it.nCelerity);
        EXPECT_EQ(std::memcmp(r.bFit, it.bFit.data(), 6), 0);
        EXPECT_EQ(r.nBagCell[3][53], -1);
        EXPECT_EQ(r.nBagMark[0][0], 0);
    }
    ASSERT_EQ(t.tasks.size(), m.tasks.size());
    for (size_t i = 0; i < m.tasks.size(); ++i) {
        EXPECT_STREQ(t.tasks[i].pTaskName, m.tasks[i].strName.c_str());
        EXPECT_STREQ(t.tasks[i].pDescription, m.tasks[i].strDescription.c_str());
        EXPECT_EQ(t.tasks[i].nNo, 0);
    }
    ASSERT_EQ(t.peiFang.size(), m.peiFang.size());
    for (size_t i = 0; i < m.peiFang.size(); ++i) {
        EXPECT_EQ(t.peiFang[i].nId, m.peiFang[i].nId);
        EXPECT_EQ(t.peiFang[i].nPeiFangNo, m.peiFang[i].nPeiFangNo);
        for (int k = 0; k < 12; ++k) EXPECT_EQ(t.peiFang[i].nItemNum[k], m.peiFang[i].nItemNum[size_t(k)]);
        EXPECT_EQ(t.peiFang[i].nItem13Num, m.peiFang[i].nItemNum[12]);
        EXPECT_EQ(t.peiFang[i].nNewItemNo, m.peiFang[i].nNewItemNo);
        EXPECT_EQ(t.peiFang[i].nNewItemNum, m.peiFang[i].nNewItemNum);
    }
    ASSERT_EQ(t.peiFangItems.size(), m.peiFangItems.size());
    for (size_t i = 0; i < m.peiFangItems.size(); ++i) {
        EXPECT_EQ(t.peiFangItems[i].nId, m.peiFangItems[i].nId);
        EXPECT_EQ(t.peiFangItems[i].nItemNo, m.peiFangItems[i].nItemNo);
    }
}

TEST(BaseDat, EmptyTablesMakeAFileOf27432Bytes) {
    GameModel empty;
    std::vector<std::uint8_t> bytes = BuildBaseDat(empty);
    ASSERT_EQ(bytes.size(), 27432u);
    EXPECT_EQ(WriteBaseData(CTableSet()), bytes);
    CTableSet t;
    std::string why;
    ASSERT_TRUE(ReadBaseData(bytes.data(), bytes.size(), &t, &why)) << why;
    EXPECT_TRUE(t.enemies.empty());
    EXPECT_TRUE(t.skills.empty());
    EXPECT_TRUE(t.skillLevels.empty());
    EXPECT_TRUE(t.items.empty());
    EXPECT_STREQ(t.sceneNames[0], "");
}

TEST(BaseDat, ReadsHandBuiltRecordsOfEverySection) {
    std::vector<std::uint8_t> bytes = HandBuiltFile(nullptr);
    CTableSet t;
    std::string why;
    ASSERT_TRUE(ReadBaseData(bytes.data(), bytes.size(), &t, &why)) << why;

    ASSERT_EQ(t.enemies.size(), 1u);
    const EnemyNpcRow& e = t.enemies[0];
    EXPECT_STREQ(e.pDescription, "desc");
    EXPECT_STREQ(e.pName, "wolf");
    EXPECT_EQ(e.nNo, 11);
    EXPECT_EQ(e.nSkill1, 12);
    EXPECT_EQ(e.nSkill2, 13);
    EXPECT_EQ(e.nId, 14);
    EXPECT_EQ(e.nLife, 15);
    EXPECT_EQ(e.nMana, 16);
    EXPECT_EQ(e.nLevel, 17);
    EXPECT_EQ(e.nAttack, 18);
    EXPECT_EQ(e.nDefance, 19);
    EXPECT_EQ(e.nSkillAttackProbability, 20);
    EXPECT_EQ(e.nRunAway, 21);
    EXPECT_EQ(e.nChangSceneResume, 22);
    EXPECT_EQ(e.nNpcType, 23);
    EXPECT_EQ(e.nSculpt, 24);
    EXPECT_EQ(e.nSoundNo, 25);
    EXPECT_EQ(e.nSoundTime, 26);
    EXPECT_EQ(e.nEnableKilled, 1);

    EXPECT_STREQ(t.sceneNames[5], "Town");
    EXPECT_EQ(t.sceneMusic[5], 7);
    EXPECT_STREQ(t.sceneNames[4], "");
    EXPECT_EQ(t.sceneMusic[6], 0);

    ASSERT_EQ(t.skills.size(), 1u);
    const SkillRow& s = t.skills[0];
    EXPECT_EQ(s.nAttack, 101);
    EXPECT_EQ(s.nDefance, 102);
    EXPECT_EQ(s.nPicNo, 108);
    EXPECT_EQ(s.nType, 110);
    EXPECT_EQ(s.nAttackType, 113);
    EXPECT_STREQ(s.pName, "Fire");
    EXPECT_STREQ(s.pDescription, "hot");
    ASSERT_EQ(t.skillLevels.size(), 1u);
    EXPECT_EQ(t.skillLevels[0].nNo, 201);
    EXPECT_EQ(t.skillLevels[0].nAddTimeOne, 205);
    EXPECT_EQ(t.skillLevels[0].nNeedNumThird, 210);

    ShopTable shop0 = t.shops[0];
    EXPECT_EQ(shop0.Quantity(1), 5);
    EXPECT_EQ(shop0.PriceIn(1), 10);
    EXPECT_EQ(shop0.PriceOut(1), 20);
    EXPECT_EQ(shop0.Quantity(2), 0);
    EXPECT_EQ(t.shops[3].nWord[0], 77);

    EXPECT_EQ(t.levels[0][0].nLevel, 30);
    EXPECT_EQ(t.levels[2][0].nMana, 54);
    EXPECT_EQ(t.levels[3][0].nAge, 68);
    EXPECT_EQ(t.levels[3][1].nAge, 0);

    ASSERT_EQ(t.items.size(), 1u);
    const ItemRow& it = t.items[0];
    EXPECT_EQ(it.nType, 401);
    EXPECT_EQ(it.nTypeOnGround, 402);
    EXPECT_EQ(it.nGirdNum, 2);
    EXPECT_EQ(std::memcmp(it.bFit, "\1\0\1\0\0\1", 6), 0);
    EXPECT_STREQ(it.pName, "Sword");
    EXPECT_STREQ(it.pDescription, "d0");
    EXPECT_STREQ(it.pDescription1, "");
    EXPECT_STREQ(it.pDescription4, "d4");
    EXPECT_EQ(it.nBagCell[0][0], -1);

    ASSERT_EQ(t.tasks.size(), 1u);
    EXPECT_STREQ(t.tasks[0].pTaskName, "Go");
    EXPECT_STREQ(t.tasks[0].pDescription, "Do it");

    ASSERT_EQ(t.peiFang.size(), 1u);
    EXPECT_EQ(t.peiFang[0].nId, 501);
    EXPECT_EQ(t.peiFang[0].nItemNum[11], 514);
    EXPECT_EQ(t.peiFang[0].nItem13Num, 515);
    EXPECT_EQ(t.peiFang[0].nNewItemNo, 516);
    EXPECT_EQ(t.peiFang[0].nNewItemNum, 517);
    ASSERT_EQ(t.peiFangItems.size(), 1u);
    EXPECT_EQ(t.peiFangItems[0].nItemNo, 602);

    // The game's writer gives back the same bytes.
    EXPECT_EQ(WriteBaseData(t), bytes);
}

TEST(BaseDat, GamekitWritesTheHandBuiltLayout) {
    GameModel m;
    EnemyModel e;
    e.strDescription = "desc";
    e.strName = "wolf";
    e.nNo = 11, e.nSkill1 = 12, e.nSkill2 = 13, e.nId = 14, e.nLife = 15, e.nMana = 16, e.nLevel = 17;
    e.nAttack = 18, e.nDefance = 19, e.nSkillAttackProbability = 20, e.nRunAway = 21, e.nChangSceneResume = 22;
    e.nNpcType = 23, e.nSculpt = 24, e.nSoundNo = 25, e.nSoundTime = 26, e.nEnableKilled = 1;
    m.enemies = {e};
    m.scenes[5] = SceneModel{"Town", 7};
    SkillModel s{"Fire", "hot", 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113};
    m.skills = {s};
    // The skill-level row number is the row's position; the hand-built file stores 201 there.
    ItemModel it;
    it.nType = 401, it.nTypeOnGround = 402, it.nSkillNum = 403, it.nAttack = 404, it.nDefence = 405;
    it.nLife = 406, it.nMana = 407, it.nLevel = 408, it.nSkill = 409, it.nCelerity = 410, it.nGirdNum = 2;
    it.bFit = {1, 0, 1, 0, 0, 1};
    it.strName = "Sword";
    it.strDescription = {"d0", "", "d2", "d3", "d4"};
    m.items = {it};
    m.tasks = {TaskModel{"Go", "Do it"}};
    PeiFangModel p;
    p.nId = 501, p.nPeiFangNo = 502;
    for (int k = 0; k < 13; ++k) p.nItemNum[size_t(k)] = 503 + k;
    p.nNewItemNo = 516, p.nNewItemNum = 517;
    m.peiFang = {p};
    m.peiFangItems = {PeiFangItemModel{601, 602}};
    m.shops[0].entries = {ShopEntryModel{5, 10, 20}};
    for (int mem = 0; mem < 4; ++mem) {
        int b = 30 + 10 * mem;
        m.levels[size_t(mem)] = LevelModel{b, b + 1, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7, b + 8};
    }
    SkillLevelModel l{{201, 202, 203}, {204, 205, 206}, {207, 208, 209}};
    m.skillLevels = {l};

    std::vector<size_t> ends;
    std::vector<std::uint8_t> want = HandBuiltFile(&ends);
    // Differences the model cannot express: the stored level row number and the unused shop word.
    std::vector<std::uint8_t> got = BuildBaseDat(m);
    ASSERT_EQ(got.size(), want.size());
    size_t nLevelRow = ends[2];
    size_t nShop3Word0 = ends[3] + 3 * 1604;
    auto le = [](std::vector<std::uint8_t>& v, size_t pos, std::int32_t n) {
        for (int i = 0; i < 4; ++i) v[pos + size_t(i)] = std::uint8_t(std::uint32_t(n) >> (8 * i));
    };
    le(got, nLevelRow, 201);
    le(got, nLevelRow + 4, 202);
    le(got, nLevelRow + 8, 203);
    le(got, nLevelRow + 12, 204);
    le(got, nLevelRow + 16, 205);
    le(got, nLevelRow + 20, 206);
    le(got, nLevelRow + 24, 207);
    le(got, nLevelRow + 28, 208);
    le(got, nLevelRow + 32, 209);
    le(got, nLevelRow + 36, 210);
    le(got, nShop3Word0, 77);
    EXPECT_EQ(got, want);
}

// Values the game computes with are put in range, each field said once with its first
// offset; the other fields and a file of values in range say nothing.
TEST(BaseDat, ValuesOutOfRangeAreSaidOnceAndPutInRange) {
    std::vector<size_t> ends;
    std::vector<std::uint8_t> bytes = HandBuiltFile(&ends);
    std::vector<std::string> problems;
    CTableSet t;
    std::string why;
    ASSERT_TRUE(ReadBaseData(bytes.data(), bytes.size(), &t, &why, {}, &problems)) << why;
    EXPECT_TRUE(problems.empty()) << problems[0];
    auto set = [&](size_t nAt, std::int32_t v) {
        for (int i = 0; i < 4; ++i) bytes[nAt + size_t(i)] = std::uint8_t(std::uint32_t(v) >> (8 * i));
    };
    const size_t nEnemy = 4 + 8;                        // after the count and the description
    set(nEnemy + 24, INT32_MAX);                        // level
    set(nEnemy + 60, INT32_MIN);                        // sound time
    set(nEnemy + 12, INT32_MIN);                        // id: not computed with
    const size_t nShops = ends[3];
    for (int s : {2, 5, 9}) set(nShops + 1604 * size_t(s) + 4 * 103, -1);  // stock of item 3
    set(ends[4] + 3 * 4, INT32_MIN);                    // member 0's life
    set(ends[4] + 36 + 4, INT32_MAX);                   // member 1's attack
    set(ends[5] + 4 + 40, 4);                           // the item's bag shape
    ASSERT_TRUE(ReadBaseData(bytes.data(), bytes.size(), &t, &why, {}, &problems)) << why;
    const std::vector<std::string> want = {
        "Base.dat: enemy 0: level 2147483647 at offset 36 is outside 0..10000; 10000 is used",
        "Base.dat: enemy 0: sound time -2147483648 at offset 72 is outside 0..7200; 0 is used",
        "Base.dat: shop 2: stock of item 3 -1 at offset " + std::to_string(nShops + 3208 + 412) +
            " is outside 0..1048576; 0 is used (and 2 more values of the field are put in range)",
        "Base.dat: level row of member 0: life -2147483648 at offset " + std::to_string(ends[4] + 12) +
            " is outside 0..1048576; 0 is used",
        "Base.dat: level row of member 1: attack 2147483647 at offset " + std::to_string(ends[4] + 40) +
            " is outside 0..1048576; 1048576 is used",
        "Base.dat: item 0: bag shape 4 at offset " + std::to_string(ends[5] + 44) + " is outside 0..3; 0 is used"};
    EXPECT_EQ(problems, want);
    EXPECT_EQ(t.enemies[0].nLevel, 10000);
    EXPECT_EQ(t.enemies[0].nSoundTime, 0);
    EXPECT_EQ(t.enemies[0].nId, INT32_MIN);
    EXPECT_EQ(t.shops[9].Quantity(3), 0);
    EXPECT_EQ(t.levels[0][0].nLife, 0);
    EXPECT_EQ(t.levels[1][0].nAttack, 1 << 20);
    EXPECT_EQ(t.items[0].nGirdNum, 0);
}

TEST(BaseDat, ModelRoundTripsThroughTheFile) {
    GameModel m = MakeTestModel();
    std::vector<std::uint8_t> bytes = BuildBaseDat(m);
    CTableSet t;
    std::string why;
    ASSERT_TRUE(ReadBaseData(bytes.data(), bytes.size(), &t, &why)) << why;
    ExpectMatchesModel(t, m);
    EXPECT_EQ(WriteBaseData(t), bytes);
}

TEST(BaseDat, NegativeEnemyCountMeansNoEnemyTable) {
    std::vector<std::uint8_t> bytes = BuildBaseDat(GameModel{});
    bytes[0] = 0xFB, bytes[1] = bytes[2] = bytes[3] = 0xFF;  // -5
    CTableSet t;
    std::string why;
    ASSERT_TRUE(ReadBaseData(bytes.data(), bytes.size(), &t, &why)) << why;
    EXPECT_TRUE(t.enemies.empty());
}

TEST(BaseDat, TruncationAtEverySectionBoundaryNamesTheSection) {
    std::vector<size_t> ends;
    std::vector<std::uint8_t> bytes = HandBuiltFile(&ends);
    for (size_t k = 0; k + 1 < ends.size(); ++k) {
        CTableSet t;
        std::string why;
        EXPECT_FALSE(ReadBaseData(bytes.data(), ends[k], &t, &why)) << "cut after " << kSections[k];
        EXPECT_NE(why.find(std::string("Base.dat: section ") + kSections[k + 1]), std::string::npos) << why;
        EXPECT_TRUE(why.find("ran short") != std::string::npos || why.find("does not fit") != std::string::npos)
            << why;
        EXPECT_TRUE(t.enemies.empty());
    }
    CTableSet t;
    std::string why;
    EXPECT_FALSE(ReadBaseData(bytes.data(), 0, &t, &why));
    EXPECT_EQ(why, "Base.dat: section Enemies: ran short at offset 0: needs 4 bytes, 0 remain");
}

TEST(BaseDat, EveryShorterFileFailsCleanly) {
    std::vector<std::uint8_t> bytes = BuildBaseDat(MakeTestModel());
    for (size_t n = 0; n < bytes.size(); ++n) {
        // A copy of exactly n bytes, so reading past it is caught by the address checker.
        std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(n));
        CTableSet t;
        std::string why;
        ASSERT_FALSE(ReadBaseData(cut.data(), cut.size(), &t, &why)) << "length " << n;
        ASSERT_EQ(why.rfind("Base.dat: section ", 0), 0u) << why;
    }
}

TEST(BaseDat, CorruptedCountsAndLengthsFailCleanly) {
    std::vector<size_t> ends;
    const std::vector<std::uint8_t> good = HandBuiltFile(&ends);
    auto patched = [&](size_t pos, std::uint32_t value) {
        std::vector<std::uint8_t> v = good;
        for (int i = 0; i < 4; ++i) v[pos + size_t(i)] = std::uint8_t(value >> (8 * i));
        return v;
    };
    struct Case {
        size_t nPos;
        std::uint32_t nValue;
        const char* pSection;
    };
    const size_t nSkillName = ends[1] + 4 + 52;
    const size_t nItemName = ends[5] + 4 + 44 + 6;
    const Case cases[] = {
        {0, 0x7FFFFFFFu, "Enemies"},           // enemy count
        {4, 0xFFFFFFFFu, "Enemies"},           // description length
        {ends[0] + 5 * 8, 0x7FFFFFF0u, "Scene names"},
        {ends[1], 0xFFFFFFFFu, "Skills"},      // negative skill count
        {ends[1], 0x40000000u, "Skills"},      // more skills than bytes
        {nSkillName, 0xFFFFFFFFu, "Skills"},   // length + 1 would wrap to 0
        {ends[5], 0x80000000u, "Items"},
        {nItemName, 0xFFFFFFFFu, "Items"},
        {ends[6], 0x10000000u, "Tasks"},
        {ends[7], 0xFFFFFFF0u, "Recipes"},
        {ends[8], 3u, "Recipe items"},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bad = patched(c.nPos, c.nValue);
        CTableSet t;
        std::string why;
        EXPECT_FALSE(ReadBaseData(bad.data(), bad.size(), &t, &why)) << "offset " << c.nPos;
        EXPECT_NE(why.find(std::string("section ") + c.pSection), std::string::npos) << why;
    }
}

TEST(BaseDat, RandomDamageNeverCrashes) {
    const std::vector<std::uint8_t> good = BuildBaseDat(MakeTestModel());
    std::mt19937 rng(20240607);
    int nFailed = 0;
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::uint8_t> bad = good;
        int nFlips = 1 + int(rng() % 4);
        for (int f = 0; f < nFlips; ++f) bad[rng() % bad.size()] = std::uint8_t(rng());
        if (rng() % 3 == 0) bad.resize(rng() % bad.size());
        CTableSet t;
        std::string why;
        if (!ReadBaseData(bad.data(), bad.size(), &t, &why)) {
            ++nFailed;
            EXPECT_FALSE(why.empty());
        }
    }
    EXPECT_GT(nFailed, 0);
}

}  // namespace
