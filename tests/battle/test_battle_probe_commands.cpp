// The battle probe on the sample game's beasts with the grove's potions, darts and
// skills, driven through every command of the ring by an input script: Defend, a
// potion, each tab's list, a heal, the defence raise, a throw, a theft, an attack and a
// cast that wins. The CSV and the screenshots show each step; the victory pays money and
// experience and writes life and mana back as the hero ended. Against the wolves an
// escape costs half the money. A potion clicked onto a fallen member revives her.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/TempFolder.h"
#include "tests/battle/BattleShots.h"
#include "tests/battle/ProbeTestUtil.h"
#include "tools/mkgame/BattleContent.h"

namespace {

#if defined(MKGAME_BINARY) && defined(BATTLEPROBE_BINARY)

using namespace probetest;

// CSV columns: pass, then gauge, action, HP, MP per slot from column 1, the acting
// slot, the menu state, the time.
constexpr int kHeroAction = 2, kHeroHp = 3, kHeroMp = 4;
constexpr int kFirstBeastHp = 19, kSecondBeastHp = 23, kMenu = 34, kTime = 35;

// Screen points of the hero's ring (beside slot 0), the list panel and the fighters.
struct At {
    int x, y;
};
constexpr At kHero{570, 370}, kFirstBeast{124, 350}, kSecondBeast{220, 233};
constexpr At kAttack{510, 305}, kSkills{619, 305}, kItems{563, 361}, kDefend{510, 425};
constexpr At kTabs[3] = {{364, 264}, {407, 264}, {449, 264}};
constexpr At kListDown{453, 415};
constexpr At Row(int r) { return At{397, 291 + 21 * r}; }

class CScript {
public:
    explicit CScript(std::string strDir) : m_strDir(std::move(strDir)) {}
    void Click(int t, At at) {
        const std::string strAt = ' ' + std::to_string(at.x) + " " + std::to_string(at.y) + "\n";
        m_text += std::to_string(t) + " move" + strAt + std::to_string(t + 50) + " lbutton down" + strAt +
                  std::to_string(t + 90) + " lbutton up" + strAt;
    }
    void Shot(int t, const char* pszName) { m_text += std::to_string(t) + " shot " + m_strDir + "/" + pszName + ".png\n"; }
    const std::string& Text() const { return m_text; }

private:
    std::string m_strDir;
    std::string m_text;
};

// The last CSV row at or before virtual time t.
const std::vector<long>* RowAt(const ProbeRun& run, long t) {
    const std::vector<long>* pFound = nullptr;
    for (const auto& r : run.rows)
        if (r.size() > size_t(kTime) && r[kTime] <= t) pFound = &r;
    return pFound;
}

TEST(BattleProbeCommands, EveryRingCommandOnTheBeastsAndAnEscapeFromTheWolves) {
    CTempFolder folder("battleprobe");
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));
    CScript s(folder.Path());
    s.Click(600, kDefend);
    // A potion on herself.
    s.Click(2400, kItems);
    s.Shot(2700, "items");
    s.Click(2800, Row(0));
    s.Click(3100, kHero);
    // The three tabs, then the heal of the second on herself.
    s.Click(6300, kSkills);
    s.Shot(6600, "tab0");
    s.Click(6700, kTabs[1]);
    s.Shot(7000, "tab1");
    s.Click(7100, kTabs[2]);
    s.Shot(7400, "tab2");
    s.Click(7500, kTabs[1]);
    s.Click(7800, Row(0));
    s.Click(8100, kHero);
    s.Shot(9100, "heal");
    // The defence raise (second stunt), aimed at a beast, lands on her.
    s.Click(11600, kSkills);
    s.Click(11900, kTabs[2]);
    s.Click(12200, Row(1));
    s.Click(12500, kFirstBeast);
    s.Shot(13600, "raise");
    // Darts at the first beast.
    s.Click(16100, kSkills);
    s.Click(16400, kTabs[2]);
    s.Click(16700, Row(2));
    s.Shot(16900, "throwlist");
    s.Click(17000, Row(0));
    s.Click(17300, kFirstBeast);
    s.Shot(18800, "throw");
    // The theft, scrolled into view, from the second; its message closes on a click.
    s.Click(21000, kSkills);
    s.Click(21300, kTabs[2]);
    s.Click(21600, kListDown);
    s.Click(21900, Row(4));
    s.Click(22200, kSecondBeast);
    s.Click(24200, At{400, 300});
    s.Click(26600, kAttack);
    s.Click(26900, kSecondBeast);
    s.Shot(28400, "attack");
    // The cast in place of the first tab ends it.
    s.Click(30600, kSkills);
    s.Click(30900, Row(2));
    s.Shot(34100, "victory");
    s.Click(34600, At{400, 300});
    folder.Write("commands.txt", s.Text());

    const ProbeRun run = RunProbe(folder, strGame,
                                  "1 14 15 --seed 7 --money 100 --items 25:2,26:1,35:3 "
                                  "--skills 1,3,4,5,6,7,11,12,15,17,23,29,35",
                                  folder.File("commands.txt"));
    ASSERT_EQ(run.program.nCode, 0) << run.strTail << run.program.strErr;
    ASSERT_FALSE(run.rows.empty());
    auto everAt = [&](int nColumn, long nValue, long t0, long t1) {
        for (const auto& r : run.rows)
            if (r.size() > size_t(kTime) && r[kTime] >= t0 && r[kTime] < t1 && r[size_t(nColumn)] == nValue) return true;
        return false;
    };
    auto value = [&](int nColumn, long t) {
        const std::vector<long>* r = RowAt(run, t);
        return r ? (*r)[size_t(nColumn)] : -999;
    };
    EXPECT_TRUE(everAt(kHeroAction, 24, 600, 2400)) << "she stands on guard";
    EXPECT_TRUE(everAt(kMenu, 2, 2400, 2800)) << "the item list";
    EXPECT_GT(value(kHeroHp, 4200), value(kHeroHp, 3000)) << "the potion heals";
    EXPECT_TRUE(everAt(kMenu, 1, 6300, 7800)) << "the skill lists";
    EXPECT_EQ(value(kHeroMp, 9000), value(kHeroMp, 7800) - 7) << "the heal costs its mana";
    EXPECT_GT(value(kHeroHp, 9100), value(kHeroHp, 8000)) << "the heal heals";
    EXPECT_TRUE(everAt(kMenu, 3, 16700, 17000)) << "the throw list";
    EXPECT_EQ(value(kFirstBeastHp, 18800), 0) << "the darts fell the first beast";
    EXPECT_NE(run.strTail.find("message "), std::string::npos) << "the theft's message";
    EXPECT_LT(value(kSecondBeastHp, 28400), 40) << "the attack hits the second";
    EXPECT_EQ(run.nResult, 1) << run.strTail;
    // Money and experience paid; life and mana written back as she ended.
    const std::vector<long>& last = run.rows.back();
    EXPECT_NE(run.strTail.find("money 120\nexperience 20\nhero hp " + std::to_string(last[kHeroHp]) + " mp " +
                               std::to_string(last[kHeroMp])),
              std::string::npos)
        << run.strTail;
    EXPECT_LT(last[kHeroHp], 120);
    EXPECT_LT(last[kHeroMp], 60);

    const char* const names[] = {"items", "tab0", "tab1", "tab2", "heal", "raise", "throwlist", "throw", "attack", "victory"};
    std::vector<CShot> shots;
    for (const char* pszName : names) {
        shots.emplace_back(folder.File(std::string(pszName) + ".png"));
        ASSERT_TRUE(shots.back().Read()) << pszName;
    }
    const CShot &items = shots[0], &heal = shots[4], &raise = shots[5], &throwList = shots[6], &thrown = shots[7],
                &attack = shots[8], &victory = shots[9];
    // The list panel at (330, 240) with its rows of names: two usable items, five of
    // the first tab's spells, the two heals, five of the six stunts.
    const int nRowText[4] = {CountYellowish(items, 366, 283, 64, 100),
                             CountYellowish(shots[1], 366, 283, 64, 100),
                             CountYellowish(shots[2], 366, 283, 64, 100),
                             CountYellowish(shots[3], 366, 283, 64, 100)};
    for (int i = 0; i < 4; ++i) {
        EXPECT_GT(shots[size_t(i)].CountNear(RECT{335, 400, 345, 410}, kListColour, 24), 80) << names[i];
        EXPECT_GT(nRowText[i], 40) << names[i];
    }
    EXPECT_GT(nRowText[1], nRowText[2]) << "five spells, two heals";
    EXPECT_GT(nRowText[3], nRowText[2]) << "five stunts, two heals";
    // Each tab lights its own header; every tab carries its name, dark on the lit one,
    // light on the others, and the scroll buttons their words.
    for (int t = 0; t < 3; ++t)
        for (int u = 0; u < 3; ++u) {
            const CShot& shot = shots[size_t(1 + t)];
            const RECT rcTab{kTabs[u].x - 18, 254, kTabs[u].x + 18, 274};
            EXPECT_EQ(shot.CountNear(rcTab, 0x5AB46E, 24) > 300, t == u) << t << " " << u;
            // Strokes: pixels inside the tab's rim far from its body colour.
            const RECT rcInside{kTabs[u].x - 15, 257, kTabs[u].x + 15, 272};
            EXPECT_GT(30 * 15 - shot.CountNear(rcInside, t == u ? 0x5AB46E : 0x1E3C28, 40), 20) << "no name on tab " << u;
        }
    for (const RECT& rcButton : {RECT{351, 409, 376, 422}, RECT{441, 409, 466, 422}})
        EXPECT_GT(25 * 13 - shots[1].CountNear(rcButton, 0xBEAA6E, 40), 20) << "an unlabelled scroll button";
    EXPECT_GT(CountYellowish(throwList, 366, 283, 64, 20), 10) << "the darts";
    // The heal's "+n" climbs from her number point; the blows' numbers over the beasts.
    EXPECT_GT(CountYellowish(heal, 560, 240, 80, 70), 10);
    EXPECT_GT(CountYellowish(thrown, 115, 240, 80, 70), 10);
    EXPECT_GT(CountYellowish(attack, 210, 120, 80, 70), 10);
    // The defence raise's ring round her feet, gone before it was cast.
    EXPECT_GT(raise.CountNear(RECT{520, 350, 620, 410}, 0x4080FF, 24), 40);
    EXPECT_EQ(heal.CountNear(RECT{520, 350, 620, 410}, 0x4080FF, 24), 0);
    // The victory panel with its lines: the money, the items, her experience.
    EXPECT_GT(victory.CountNear(RECT{265, 300, 305, 340}, kVictoryColour, 24), 1000);
    for (int nLine = 0; nLine < 4; ++nLine)
        EXPECT_GT(CountYellowish(victory, 300, 164 + 19 * nLine, 260, 17), 10) << "line " << nLine;

    // Against the wolves: the escape and its OK, half the money, life and mana kept.
    folder.Write("escape.txt", std::string("600 move 619 425\n650 lbutton down 619 425\n690 lbutton up 619 425\n"
                                           "1000 move 380 322\n1050 lbutton down 380 322\n1090 lbutton up 380 322\n"));
    const ProbeRun fled = RunProbe(folder, strGame, "1 0 0 --seed 7 --money 1001", folder.File("escape.txt"));
    ASSERT_EQ(fled.program.nCode, 0) << fled.strTail << fled.program.strErr;
    EXPECT_NE(fled.strTail.find("result 4\nmoney 500\nexperience 0\nhero hp 120 mp 60"), std::string::npos)
        << fled.strTail;
}

// The companion starts fallen: the heroine's potion, chosen from the item list, is
// clicked onto her lying figure and brings her back, and she takes turns again.
TEST(BattleProbeCommands, APotionClickedOntoAFallenMemberRevivesHer) {
    CTempFolder folder("battleprobe");
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));
    constexpr int kMemberHp = 7;
    constexpr At kFallen{671, 295};  // on her figure, whether it stands or lies
    CScript s(folder.Path());
    s.Click(600, kItems);
    s.Click(1000, Row(0));
    s.Click(1400, kFallen);
    folder.Write("revive.txt", s.Text());
    const ProbeRun run = RunProbe(folder, strGame, "1 14 15 --seed 7 --members 1 --life 1:0 --items 25:1 --max-passes 5000",
                                  folder.File("revive.txt"));
    const std::vector<long>*pBefore = RowAt(run, 1400), *pAfter = RowAt(run, 1700);
    ASSERT_TRUE(pBefore && pAfter) << run.strTail << run.program.strErr;
    EXPECT_EQ((*pBefore)[kMemberHp], 0);
    EXPECT_GT((*pAfter)[kMemberHp], 0) << "the potion did not revive her";
    EXPECT_EQ(run.program.nCode, 0) << run.strTail << run.program.strErr;
    EXPECT_NE(std::find(run.turns.begin(), run.turns.end(), 1), run.turns.end()) << "she never acted again";
}

#endif

}  // namespace
