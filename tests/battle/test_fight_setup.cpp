// Setting a battle up: gauges, escape, the party, the enemy table and the battles
// that end before anybody acts.
#include "tests/battle/FightTestUtil.h"

#include "gamedata/FightNpcTable.h"

namespace fighttest {
namespace {

TEST_F(FightTest, EnemiesStartAtTheirSlotGaugesAndSlotSevenStaysEmpty) {
    CFight& f = Start({0, 1, 2});
    EXPECT_EQ(C(4).timeRecovered, 50u);
    EXPECT_EQ(C(5).timeRecovered, 40u);
    EXPECT_EQ(C(6).timeRecovered, 5u);
    EXPECT_TRUE(C(7).IsEmpty());
    EXPECT_EQ(f.bEscapeAllowed, 1);
    // Party: member 0 takes animation 1, member 1 animation 0; threshold 48 - celerity.
    EXPECT_EQ(C(0).AniNo, 1);
    EXPECT_EQ(C(1).AniNo, 0);
    EXPECT_EQ(C(0).Recover, 40);
    EXPECT_EQ(C(0).timeRecovered, 40u);
    EXPECT_EQ(C(1).timeRecovered, 36u);
    EXPECT_EQ(C(0).MaxHP, 100);
    EXPECT_TRUE(C(2).IsEmpty());
}

TEST_F(FightTest, PartyThresholdStaysWithinOneToFortyEight) {
    hero.nCelerity = 60;
    members[1].nCelerity = -20;
    Start({0});
    EXPECT_EQ(C(0).Recover, 1);
    EXPECT_EQ(C(1).Recover, 48);
}

TEST_F(FightTest, OneEnemyThatMayNotRunForbidsEscape) {
    enemies[1].nRunAway = 0;
    CFight& f = Start({0, 1, 2});
    EXPECT_EQ(f.bEscapeAllowed, 0);
    // The escape button then opens nothing.
    f.ActiveNpc = 0;
    f.SetMenuState(kMenuRing);
    f.pMenu->HoverButton = 4;
    f.pMenu->bClickArmed = 1;
    f.OnMenuClick();
    EXPECT_EQ(f.bEscapePopup, 0);
}

TEST_F(FightTest, OnlyEmptyEnemiesWinOnTheFirstPass) {
    CFight& f = Start({-1, -1, -1});
    const int nMoney = hero.nMoney;
    CAutoAttacker auto_;
    SetFightObserver(&auto_);
    EXPECT_EQ(f.Run(), 1);
    EXPECT_LE(f.nPasses, 4);
    EXPECT_EQ(hero.nMoney, nMoney);
}

TEST_F(FightTest, EnemyNumbersOutsideTheTableLeaveTheirSlotsEmpty) {
    Start({500, 19, 20});
    EXPECT_TRUE(C(4).IsEmpty());
    EXPECT_FALSE(C(5).IsEmpty());
    EXPECT_TRUE(C(6).IsEmpty());
}

class NoBackgroundTest : public FightTest {
    FightWorld World() const override {
        FightWorld w;
        w.bBackground = false;
        w.bDamagedBackground = bDamaged;
        return w;
    }

public:
    static inline bool bDamaged = false;
};

// A background the package lacks is said to be missing, one that does not decode to be
// damaged; either way the battle is not fought.
TEST_F(NoBackgroundTest, AMissingBackgroundWinsAtOnceWithoutPanelOrPay) {
    hero.nMoney = 77;
    ::testing::internal::CaptureStderr();
    CFight& f = Start({0, 1});
    const std::string strSaid = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(strSaid.find("holds no battle background 001.bmp"), std::string::npos) << strSaid;
    EXPECT_EQ(f.bNoBackground, 1);
    EXPECT_EQ(f.pMenu, nullptr);
    EXPECT_EQ(f.Run(), 1);
    EXPECT_EQ(f.bResultShown, 0);
    EXPECT_EQ(hero.nMoney, 77);
}

class DamagedBackgroundTest : public NoBackgroundTest {
    void SetUp() override {
        bDamaged = true;
        NoBackgroundTest::SetUp();
        bDamaged = false;
    }
};

TEST_F(DamagedBackgroundTest, ADamagedBackgroundIsSaidToBeDamaged) {
    ::testing::internal::CaptureStderr();
    CFight& f = Start({0, 1});
    const std::string strSaid = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(f.bNoBackground, 1);
    EXPECT_NE(strSaid.find("battle background 001.bmp is damaged"), std::string::npos) << strSaid;
}

TEST(FightNpcTable, RowsCopyTheTypeTableNamesakes) {
    std::vector<EnemyNpcRow> types(305);
    types[3] = EnemyNpcRow{.nLevel = 4, .pName = "wolf", .nSkill1 = 9, .nLife = 40, .nAttack = 12, .nDefance = 3,
                           .nSkillAttackProbability = 30, .nRunAway = 0, .nSculpt = 21};
    types[3].nRunAway = 0;
    const std::vector<FightNpcRow> rows = BuildFightNpcRows(types);
    ASSERT_EQ(rows.size(), 301u);
    const FightNpcRow& r = rows[3];
    EXPECT_EQ(r.nLife, 40);
    EXPECT_EQ(r.nAttack, 12);
    EXPECT_EQ(r.nDefence, 3);
    EXPECT_EQ(r.nSkill, 9);
    EXPECT_EQ(r.nProbability, 30);
    EXPECT_EQ(r.nSculpt, 21);
    EXPECT_EQ(r.nRunAway, 0);
    EXPECT_STREQ(r.pName, "wolf");
    EXPECT_EQ(r.nRecover, 45);
    EXPECT_EQ(r.nNormalAttack, 76);
    EXPECT_EQ(r.nMoney, 40);
    EXPECT_EQ(r.nExperience, 40);
    EXPECT_EQ(r.nRecoverSkill, 0);
    EXPECT_EQ(r.nPoison, 0);
    EXPECT_EQ(r.nTall, 0);
    EXPECT_EQ(BuildFightNpcRows(std::vector<EnemyNpcRow>(2)).size(), 2u);
}

}  // namespace
}  // namespace fighttest
