// The hero record: its layout against the writer built from the byte table, round
// trips both ways, what loading sets up, refused and repaired records, and damaged
// records read without harm.
#include <cstring>
#include <memory>

#include "platform/Clock.h"
#include "platform/Stream.h"
#include "tests/world/PlayerTestUtil.h"
#include "tools/gamekit/HeroRecordWriter.h"
#include "world/PlayerRecord.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::int32_t WordAt(const Bytes& b, size_t n) {
    return std::int32_t(std::uint32_t(b[n]) | std::uint32_t(b[n + 1]) << 8 | std::uint32_t(b[n + 2]) << 16 |
                        std::uint32_t(b[n + 3]) << 24);
}

void PutWord(Bytes& b, size_t n, std::int32_t v) {
    for (int i = 0; i < 4; ++i) b[n + size_t(i)] = std::uint8_t(std::uint32_t(v) >> (8 * i));
}

// A member-2 record with values in every field, two items held.
HeroRecordModel SampleModel() {
    HeroRecordModel m;
    m.nSculpt = 4;
    m.nSkillPoints = 3;
    m.nLevel = 2;
    for (int i = 0; i < 50; ++i) {
        m.skillKnown[size_t(i)] = i % 2;
        m.skillLevel[size_t(i)] = i % 8;
        m.skillUses[size_t(i)] = 1000 + i;
    }
    m.itemCount[1] = 3;
    m.itemCount[4] = 500;
    m.nPartyMask = 5;
    m.nAge = 18;
    m.nLife = 80;
    m.nLifeMax = 120;
    m.nMoney = 777;
    m.nMana = 30;
    m.nManaMax = 60;
    m.nStamina = 90;
    m.nStaminaMax = 110;
    m.nLevelLife = 222;
    m.nLevelMana = 111;
    m.nExperience = 4321;
    m.equip = {1, 2, 3, 4, 5, 0};
    m.nEquipSixth = 4;
    m.nWalkStep = 12;
    m.taskState[7] = 1;
    m.taskState[8] = 0;
    m.inlay[1] = {3, 4, 5, -2};
    m.inlay[4] = {6, 7, 8, 2};
    m.nDirection = 5;
    m.nCounterA = 61;
    m.nCounterB = 39;
    m.nX = 640;
    m.nY = 352;
    m.battleBonus = {9, 8, 7};
    m.nMember = 2;
    m.nKind = 15;
    m.quickSlot = {1, 4, -1, -1, 3, -1, -1, 2};
    m.nThrownItem = 3;
    m.nThrownCount = 6;
    m.nAttack = 17;
    m.nDefence = 13;
    m.nSelectedSkill = 49;
    m.nStance = 1;
    m.bagCells[1].fill(-1);
    m.bagCells[1][0] = 0;
    m.bagCells[1][1] = 0;
    m.bagCells[4].fill(-1);
    m.bagCells[4][53] = 52;
    m.nSavedWord = 0x12345678;
    m.bSavedFlag = 1;
    m.flags = {1, 2, 3, 4};
    return m;
}

class HeroRecordTest : public HeroTest {
protected:
    // Reads a whole record the way loading does: sculpt word, set-up, the rest.
    bool Load(CPlayer& hero, const Bytes& bytes, std::string* pError = nullptr) {
        CByteReader in(bytes, "save\\SavePlayer3.sav");
        const bool bOk = hero.ReadSculpt(in) && (hero.Init(-1, false, 2), hero.ReadRecord(in));
        if (pError != nullptr) *pError = in.Error();
        return bOk;
    }
};

TEST_F(HeroRecordTest, NoItemRecordHasItsSkillUsesRightAfterTheFixedFields) {
    CPlayer hero;
    hero.Init(0, false, -1);
    for (int i = 0; i < 50; ++i) hero.nSkillUses[i] = 500 + i;
    hero.nSavedWord = -7;
    hero.bMode[1] = 1;
    hero.bFlags[3] = 9;
    CByteWriter out;
    hero.WriteRecord(out);
    const Bytes& b = out.Bytes();
    ASSERT_EQ(b.size(), 3197u);
    EXPECT_EQ(WordAt(b, 2988), 500);
    EXPECT_EQ(WordAt(b, 2988 + 49 * 4), 549);
    EXPECT_EQ(WordAt(b, 3188), -7);
    EXPECT_EQ(b[3192], 1);
    EXPECT_EQ(b[3196], 9);
    EXPECT_EQ(WordAt(b, 0), 1);      // sculpt
    EXPECT_EQ(WordAt(b, 2928), 14);  // kind
    EXPECT_EQ(WordAt(b, 848), 100);  // Life of member 0's row 0
    EXPECT_EQ(b, BuildHeroRecord([&] {
                  HeroRecordModel m;
                  m.nLife = m.nLifeMax = m.nLevelLife = 100;
                  m.nMana = m.nManaMax = m.nLevelMana = 40;
                  m.nAttack = 7;
                  m.nDefence = 3;
                  m.nExperience = 5;
                  m.nAge = 16;
                  m.nWalkStep = 9;
                  for (int i = 0; i < 50; ++i) m.skillUses[size_t(i)] = 500 + i;
                  m.nSavedWord = -7;
                  m.bSavedFlag = 1;
                  m.flags[3] = 9;
                  return m;
              }()));
}

TEST_F(HeroRecordTest, TableWrittenRecordReadsBackAndWritesTheSameBytes) {
    std::string strError;
    const std::string path = dir.File("save/InitPlayer3.sav");
    ASSERT_TRUE(WriteHeroRecordFile(path, SampleModel(), &strError)) << strError;
    Bytes written;
    ASSERT_TRUE(ReadWholeFile(path.c_str(), 1 << 20, &written, &strError)) << strError;
    ASSERT_EQ(written.size(), HeroRecordSize(2));
    CPlayer hero;
    ASSERT_TRUE(Load(hero, written, &strError)) << strError;

    EXPECT_EQ(hero.nSculpt, 4);
    EXPECT_EQ(hero.nLevel, 2);
    EXPECT_EQ(hero.nItemCount[4], 500);
    EXPECT_EQ(hero.nMoney, 777);
    EXPECT_EQ(*hero.EquipSlot(0), 1);
    EXPECT_EQ(*hero.EquipSlot(3), 4);
    EXPECT_EQ(*hero.EquipSlot(5), 0);
    EXPECT_EQ(hero.nEquipSixth, 4);
    EXPECT_EQ(hero.inlay[1].nLink, -2);
    EXPECT_EQ(hero.nMember, 2);
    EXPECT_EQ(hero.mapObject.nKind, 15);
    EXPECT_EQ(hero.nQuickSlot[7], 2);
    EXPECT_EQ(hero.nSkillUses[49], 1049);
    EXPECT_EQ(hero.bFlags[2], 3);
    EXPECT_EQ(hero.ptPos.x, 640);
    // Level row values and bag tables went into the game data's tables.
    EXPECT_EQ(data.pLevel[2][2].nLife, 222);
    EXPECT_EQ(data.pLevel[2][2].nMana, 111);
    EXPECT_EQ(data.pItem[1].nBagCell[2][1], 0);
    EXPECT_EQ(data.pItem[4].nBagCell[2][53], 52);
    EXPECT_EQ(data.pItem[4].nBagCell[0][53], -1);

    CByteWriter out;
    hero.WriteRecord(out);
    EXPECT_EQ(out.Bytes(), written);
}

TEST_F(HeroRecordTest, LoadingSetsTheHeroDownOnItsPosition) {
    HeroRecordModel m = SampleModel();
    m.nStance = 0;
    CPlayer hero;
    hero.nAction = 3;
    hero.nSpriteAction = 8;
    ASSERT_TRUE(Load(hero, BuildHeroRecord(m)));
    // Fight-stance sprites at once: sculpt 4, sprite actions 6, 7, 8.
    EXPECT_EQ(std::vector<int>(hero.nFrameCounts, hero.nFrameCounts + 3), (std::vector<int>{46, 47, 48}));
    EXPECT_EQ(hero.nAction, 0);
    EXPECT_EQ(hero.nSpriteAction, 0);
    EXPECT_EQ(hero.ptGoal.x, 640);
    EXPECT_EQ(hero.ptNextWaypoint.y, 352);
}

TEST_F(HeroRecordTest, RecordsFollowEachOtherInOneFile) {
    // A party file holds records back to back; a loader parses them all before it
    // applies any.
    HeroRecordModel a = SampleModel(), b;
    b.nMember = 1;
    b.nMoney = 5;
    b.itemCount[0] = 1;
    Bytes file = BuildHeroRecord(a);
    const Bytes second = BuildHeroRecord(b);
    file.insert(file.end(), second.begin(), second.end());
    CByteReader in(file, "SaveTemp1.sav");
    auto pFirst = std::make_unique<HeroRecord>();
    auto pSecond = std::make_unique<HeroRecord>();
    ASSERT_TRUE(ParseHeroRecord(in, pFirst.get()));
    ASSERT_TRUE(ParseHeroRecord(in, pSecond.get()));
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(pFirst->nMoney, 777);
    EXPECT_EQ(pSecond->nMember, 1);
    EXPECT_EQ(pSecond->nMoney, 5);
    EXPECT_EQ(data.pItem[1].nBagCell[2][1], -1);  // parsing changed no table

    CPlayer hero;
    hero.Init(1, true, 1);
    hero.ApplyRecord(*pSecond);
    EXPECT_EQ(hero.nMoney, 5);
}

TEST_F(HeroRecordTest, RecordsNamingImpossibleTablesAreRefusedAndChangeNothing) {
    const Bytes good = BuildHeroRecord(SampleModel());
    struct Case {
        size_t nAt;
        std::int32_t nValue;
        const char* pWhy;
    } cases[] = {
        {8, 102, "level 102"},
        {2924, 4, "member 4"},
        {2924, -1, "member -1"},
        {2928, 3, "kind 3"},
        {2904, -2147483647 - 1, "position x -2147483648 at offset 2904"},
        {2908, -2147483647 - 1, "position y -2147483648 at offset 2908"},
        {2908, 2147483647, "position y 2147483647 at offset 2908"},
        {868, 1025, "walk step 1025 at offset 868 is outside -1024..1024"},
        {2972, -16777217, "attack -16777217 at offset 2972 is outside -16777216..16777216"},
        {2912, 2147483647, "battle bonus 0 2147483647 at offset 2912"},
        {852, -2147483647 - 1, "level mana -2147483648 at offset 852"},
    };
    for (const Case& c : cases) {
        Bytes bad = good;
        PutWord(bad, c.nAt, c.nValue);
        CPlayer hero;
        std::string strError;
        EXPECT_FALSE(Load(hero, bad, &strError)) << c.pWhy;
        EXPECT_NE(strError.find(c.pWhy), std::string::npos) << strError;
        EXPECT_NE(strError.find("SavePlayer3.sav"), std::string::npos) << strError;
        EXPECT_EQ(hero.nMoney, 0);
        EXPECT_EQ(hero.nItemCount[4], 0);
        EXPECT_EQ(data.pLevel[2][2].nLife, 0);
        EXPECT_EQ(data.pItem[1].nBagCell[2][1], -1);
    }

    // Every cut short of the whole record fails, names where it ran short, and
    // leaves the hero as it was.
    for (size_t n : {size_t(0), size_t(3), size_t(4), size_t(500), size_t(2987), size_t(2988), size_t(3100),
                     good.size() - 209, good.size() - 1}) {
        Bytes cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        CPlayer hero;
        std::string strError;
        EXPECT_FALSE(Load(hero, cut, &strError)) << n;
        EXPECT_NE(strError.find("ran short"), std::string::npos) << strError;
        EXPECT_EQ(hero.nMoney, 0) << n;
        EXPECT_EQ(hero.nItemCount[4], 0) << n;
    }
}

TEST_F(HeroRecordTest, OutOfRangeNumbersAreRepaired) {
    HeroRecordModel m = SampleModel();
    m.nSculpt = 300;
    m.nLevel = -5;
    m.itemCount[2] = -3;   // not held: no bag table follows
    m.itemCount[3] = 9000; // held, held to 500
    m.bagCells[3].fill(60);
    m.bagCells[3][0] = -1;
    m.bagCells[3][1] = 53;
    m.equip = {100, -2, 7, 99, 0, 12345};
    m.nEquipSixth = -9;
    m.quickSlot = {100, -5, 0, 99, 1, 2, 3, 4};
    m.nThrownItem = 250;
    m.nSelectedSkill = 50;
    m.skillLevel[3] = 8;
    m.skillLevel[4] = -1;
    m.nMoney = -40;
    m.nDirection = -3;
    m.nStance = 7;
    m.nWalkStep = -1024;  // the edges of what a record may hold
    m.nAttack = kHeroStatLimit;
    const Bytes bytes = BuildHeroRecord(m);
    ASSERT_EQ(bytes.size(), HeroRecordSize(3));

    CPlayer hero;
    std::string strError;
    ASSERT_TRUE(Load(hero, bytes, &strError)) << strError;
    EXPECT_EQ(hero.nSculpt, -1);
    EXPECT_EQ(hero.nLevel, 0);
    EXPECT_EQ(hero.nItemCount[2], 0);
    EXPECT_EQ(hero.nItemCount[3], 500);
    EXPECT_EQ(data.pItem[3].nBagCell[2][0], -1);
    EXPECT_EQ(data.pItem[3].nBagCell[2][1], 53);
    EXPECT_EQ(data.pItem[3].nBagCell[2][2], -1);
    EXPECT_EQ(*hero.EquipSlot(0), -1);
    EXPECT_EQ(*hero.EquipSlot(1), -1);
    EXPECT_EQ(*hero.EquipSlot(2), 7);
    EXPECT_EQ(*hero.EquipSlot(3), 99);
    EXPECT_EQ(*hero.EquipSlot(5), -1);
    EXPECT_EQ(hero.nEquipSixth, -1);
    EXPECT_EQ(std::vector<int>(hero.nQuickSlot, hero.nQuickSlot + 4), (std::vector<int>{-1, -1, 0, 99}));
    EXPECT_EQ(hero.nThrownItem, -1);
    EXPECT_EQ(hero.nSelectedSkill, -1);
    EXPECT_EQ(hero.nSkillLevel[3], 0);
    EXPECT_EQ(hero.nSkillLevel[4], 0);
    EXPECT_EQ(hero.nSkillLevel[5], 5);
    EXPECT_EQ(hero.nMoney, 0);
    EXPECT_EQ(hero.nDirection, 5);
    EXPECT_EQ(hero.nStance, 1);
    EXPECT_EQ(hero.nWalkStep, -1024);
    EXPECT_EQ(hero.nAttack, kHeroStatLimit);
    EXPECT_EQ(hero.nSkillUses[49], 1049);  // the tail still lines up
}

TEST_F(HeroRecordTest, DamagedRecordsReadWithoutHarm) {
    // Random words and bytes of a good record changed: every record either is refused
    // or reads back in range, and what was read writes and reads again.
    const Bytes good = BuildHeroRecord(SampleModel());
    Srand(1234);
    for (int nRound = 0; nRound < 300; ++nRound) {
        Bytes bad = good;
        const int nChanges = 1 + Rand() % 6;
        for (int i = 0; i < nChanges; ++i) {
            const size_t n = size_t(Rand()) * size_t(Rand()) % (bad.size() - 3);
            if (Rand() % 2) {
                PutWord(bad, n & ~size_t(3), Rand() % 2 ? -Rand() : std::int32_t(std::uint32_t(Rand()) * 70000u));
            } else {
                bad[n] = std::uint8_t(Rand());
            }
        }
        if (Rand() % 4 == 0) bad.resize(size_t(Rand()) % bad.size());
        CPlayer hero;
        if (!Load(hero, bad)) continue;
        for (int i = 0; i < kHeroItemCount; ++i) ASSERT_TRUE(hero.nItemCount[i] >= 0 && hero.nItemCount[i] <= 500);
        ASSERT_TRUE(hero.nLevel >= 0 && hero.nLevel <= 101);
        ASSERT_TRUE(hero.nMember >= 0 && hero.nMember <= 3);
        ASSERT_TRUE(hero.nDirection >= 0 && hero.nDirection <= 7);
        ASSERT_TRUE(hero.nSelectedSkill >= -1 && hero.nSelectedSkill < 50);
        for (int s = 0; s < 6; ++s) ASSERT_TRUE(*hero.EquipSlot(s) >= -1 && *hero.EquipSlot(s) < 100);
        CByteWriter out;
        hero.WriteRecord(out);
        CPlayer again;
        ASSERT_TRUE(Load(again, out.Bytes()));
        ASSERT_EQ(again.nMoney, hero.nMoney);
    }
}

}  // namespace
