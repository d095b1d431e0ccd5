// The level-up pages of a won battle: with records that rise a level for every 10 x
// (level + 1) experience, a member whose experience crosses a level gets a page with
// its new values and its record is raised; six rises at most; three pages at most, each
// a click; a member that crosses nothing, or fell, gets no page and keeps its battle
// life.
#include "tests/battle/FightTestUtil.h"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/Resources.h"

namespace fighttest {
namespace {

// Records rise one level for each 10 x (level + 1) experience.
class CGrowingRecords : public CFightLevelRules {
public:
    bool CanLevelUp(const CPlayer& r) override { return r.nExperience >= 10 * (r.nLevel + 1); }
    void LevelUp(CPlayer& r) override { ++r.nLevel; }
};

// Reads each page of the result panel, then clicks it away.
class CPageReader : public CFightObserver {
public:
    std::vector<std::string> pages;
    void OnPass(CFight& f) override {
        if (!f.bResultShown) return;
        pages.push_back(f.ResultText);
        f.OnResultRelease();
    }
};

std::string Entry(UINT nId) {
    char szText[512];
    return LoadString(nId, szText, sizeof szText) > 0 ? std::string(szText) : std::string();
}

// String 16 with a member's name and its values before and after.
std::string LevelPage(int m, int nLevel, int nLife, int nMana, int nAttack, int nDefence, int nAgility) {
    char szText[1024];
    std::snprintf(szText, sizeof szText, Entry(16).c_str(), Entry(UINT(42 + m)).c_str(), nLevel, nLevel + 1,
                  nLife - 10, nLife, nMana - 5, nMana, nAttack - 2, nAttack, nDefence - 1, nDefence, nAgility,
                  nAgility + 1);
    return szText;
}

class LevelUpTest : public FightTest {
protected:
    FightWorld World() const override {
        FightWorld w;
        w.nPartySize = 3;
        return w;
    }
    void SetUp() override {
        FightTest::SetUp();
        // Each level adds 10 life, 5 mana, 2 attack and 1 defence to level 0's.
        for (int L = 1; L < 100; ++L) levels[0][size_t(L)] = LevelRow{.nAttack = 2, .nDefence = 1, .nLife = 10, .nMana = 5};
        SetFightLevelRules(&rules);
    }
    void TearDown() override {
        SetFightLevelRules(nullptr);
        FightTest::TearDown();
    }
    // Wins against two enemies worth 20 experience each, reading every page.
    void Win() {
        CFight& f = Start({0, 7});
        C(4).HP = C(5).HP = 0;
        C(4).Action = C(5).Action = kActDead;
        for (int s = 0; s < 3; ++s) C(s).HP = 50 + s;
        SetFightObserver(&reader);
        pScreen = nullptr;  // no fades
        EXPECT_EQ(f.CheckEnd(), 1);
        pScreen = &screen;
        SetFightObserver(nullptr);
    }
    CGrowingRecords rules;
    CPageReader reader;
};

TEST_F(LevelUpTest, EachMemberThatCrossesALevelGetsItsPageAndItsRecordRises) {
    hero.nLevel = 0;  // 40 experience: four levels
    members[1].nExperience = 100000;  // past every level: six at most
    members[2].nLevel = 3;  // 40 experience: one level
    members[2].nCelerity = 11;
    Win();
    ASSERT_EQ(reader.pages.size(), 4u) << "the summary and three pages, a click each";
    EXPECT_NE(reader.pages[0].find("40"), std::string::npos) << "the summary first";
    EXPECT_EQ(reader.pages[1], LevelPage(0, 4, 140, 60, 18, 9, 8));
    EXPECT_EQ(reader.pages[2], LevelPage(1, 6, 160, 70, 22, 11, 8));
    EXPECT_EQ(reader.pages[3], LevelPage(2, 4, 140, 60, 18, 9, 11));
    EXPECT_EQ(hero.nLevel, 4);
    EXPECT_EQ(members[1].nLevel, 6);
    EXPECT_EQ(members[2].nLevel, 4);
    // A risen record takes its new level's life and mana, and one more agility.
    EXPECT_EQ(hero.nLife, 140);
    EXPECT_EQ(hero.nMana, 60);
    EXPECT_EQ(hero.nCelerity, 9);
    EXPECT_EQ(members[1].nLife, 160);
    EXPECT_EQ(members[1].nMana, 70);
    EXPECT_EQ(members[2].nCelerity, 12);
    EXPECT_EQ(hero.nExperience, 40);
}

TEST_F(LevelUpTest, NoPageForAMemberThatCrossesNothingOrFell) {
    hero.nLevel = 5;  // 40 of the 60 it needs
    members[1].nLevel = 3;
    members[2].nLevel = 3;  // 40 would raise it, but it fell and gets none
    CFight& f = Start({0, 7});
    C(4).HP = C(5).HP = 0;
    C(4).Action = C(5).Action = kActDead;
    C(0).HP = 61;
    C(1).HP = 62;
    C(2).HP = 0;
    SetFightObserver(&reader);
    pScreen = nullptr;
    EXPECT_EQ(f.CheckEnd(), 1);
    pScreen = &screen;
    SetFightObserver(nullptr);
    // Member 1 crosses level 4 (40 of 40): its page alone.
    ASSERT_EQ(reader.pages.size(), 2u);
    EXPECT_EQ(reader.pages[1], LevelPage(1, 4, 140, 60, 18, 9, 8));
    EXPECT_EQ(hero.nLevel, 5);
    EXPECT_EQ(hero.nLife, 61) << "the battle's life, not a level's";
    EXPECT_EQ(hero.nCelerity, 8);
    EXPECT_EQ(members[2].nLevel, 3);
    EXPECT_EQ(members[2].nExperience, 0);
    EXPECT_EQ(members[2].nLife, 0);
}

}  // namespace
}  // namespace fighttest
