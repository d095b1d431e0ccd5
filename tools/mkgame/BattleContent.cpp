#include "tools/mkgame/BattleContent.h"

#include <cstdio>
#include <string>

#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/TgaWriters.h"
#include "tools/mkgame/MkGame.h"
#include "tools/mkgame/SampleHeroine.h"

namespace {

std::uint32_t Opaque(std::uint32_t rgb) { return 0xFF000000u | rgb; }

SkillModel Skill(const char* pszName, int nType, int nDirection, int nAttack, int nMana, int nPicNo) {
    SkillModel s;
    s.strName = Gbk(pszName);
    s.strDescription = s.strName;
    s.nType = nType;
    s.nDirection = nDirection;
    s.nAttack = nAttack;
    s.nMana = nMana;
    s.nPicNo = nPicNo;
    s.nSkillNo = -1;
    s.nNeedTime = 400;
    return s;
}

}  // namespace

void AddBattleSkills(GameModel& model) {
    // Skill 0 is the effect of a used item: nobody learns it.
    model.skills[0].nType = 45;
    model.skills[0].nPicNo = 0;
    // The battle's kinds on their tabs: spells and area spells on the first, heals on
    // the second, stunts on the third. Skills 1..9 keep the kinds the map gives them
    // (2, 5, 8 and 3, 6, 9 are the heroine's and the companion's, 1 heals one), so the
    // walking spell and the defence raise take spare skills 12 and 15. Their pictures
    // are among the effect package's.
    model.skills[12].nType = 6;
    model.skills[15].nType = 5;
    // The tab is the action modulo 3; the action is the one-shot the map casts with (12,
    // 10 or 11: the walking and running actions 0 to 2 would never cast).
    struct Tune {
        int nSkill, nTab;
    };
    constexpr int kTabAction[3] = {12, 10, 11};
    for (const Tune& t : {Tune{6, 0}, Tune{7, 0}, Tune{12, 0}, Tune{1, 1}, Tune{4, 1}, Tune{15, 2}, Tune{11, 2},
                          Tune{17, 2}, Tune{23, 2}, Tune{29, 2}, Tune{35, 2}}) {
        SkillModel& s = model.skills[size_t(t.nSkill)];
        s.nDirection = kTabAction[t.nTab];
        s.nPicNo = t.nSkill % 8;
        s.nMana = t.nTab == 2 ? 0 : 6 + t.nSkill % 5;
        if (t.nTab == 1) s.nAttack = 30 + t.nSkill;  // what the heal gives
    }
    // 51..69: the enemies' spells, walking (36, 39) or cast from home (37, 38); 70..73
    // the members' repeated blows, 76 and 77 the enemies' blows (near and far), 80..83
    // the members' blows; 74, 75, 78, 79 spare spells.
    while (model.skills.size() < 84) {
        const int k = int(model.skills.size());
        const bool bBlow = (k >= 70 && k <= 73) || k == 76 || k == 77 || k >= 80;
        char szName[32];
        std::snprintf(szName, sizeof szName, bBlow ? "击打%d" : "妖术%d", k);
        const int nType = bBlow ? (k == 77 ? 8 : 2) : (k < 70 ? 36 + k % 4 : 0);
        model.skills.push_back(Skill(szName, nType, 0, bBlow ? 0 : 12 + k % 9, 0, k % 8));
    }
    while (model.skillLevels.size() < model.skills.size()) {
        SkillLevelModel l;
        l.nAddAttack = {4, 9, 15};
        l.nAddTime = {-20, -40, -60};
        l.nNeedNum = {20, 60, 150};
        model.skillLevels.push_back(l);
    }
}

void AddBattleEnemies(GameModel& model) {
    const char* const names[2] = {"竹林野兽", "竹林幼兽"};
    while (int(model.enemies.size()) < kBeastRow + 2) {
        const int n = int(model.enemies.size());
        EnemyModel m;
        m.strName = Gbk(names[(n - kBeastRow) & 1]);
        m.strDescription = Gbk("竹林里的小野兽");
        m.nId = n + 1;
        m.nNo = n;
        m.nLevel = 1;
        m.nLife = 40;
        m.nMana = 0;
        m.nAttack = 14;
        m.nDefance = 0;
        m.nSculpt = 20;
        m.nRunAway = 1;
        m.nChangSceneResume = 1;
        m.nEnableKilled = 1;
        model.enemies.push_back(m);
    }
}

void AddGroveEnemies(GameModel& model) {
    struct Grove {
        int nRow;
        const char* pName;
        int nLife, nAttack;
    };
    // A heroine of the first level (attack 18, defence 8, life 120) takes 3 a bite and
    // strikes one down in three or four blows.
    for (const Grove& g : {Grove{kGroveImpRow, "竹林小妖", 48, 11}, Grove{kGroveCubRow, "竹林狐崽", 40, 10}}) {
        while (int(model.enemies.size()) <= g.nRow) model.enemies.emplace_back();
        EnemyModel& m = model.enemies[size_t(g.nRow)];
        m.strName = Gbk(g.pName);
        m.strDescription = Gbk("竹林里初见的小妖");
        m.nId = g.nRow + 1;
        m.nNo = g.nRow;
        m.nLevel = 1;
        m.nLife = g.nLife;
        m.nMana = 0;
        m.nAttack = g.nAttack;
        m.nDefance = 0;
        m.nSculpt = 21;
        m.nRunAway = 1;
        m.nChangSceneResume = 1;
        m.nEnableKilled = 1;
    }
}

void AddBattleItems(GameModel& model) {
    if (model.items.size() <= size_t(kManaHeadwear)) return;
    model.items[size_t(kLifeHeadwear)].nLife = 60;
    model.items[size_t(kManaHeadwear)].nMana = 40;
}

std::vector<PkgEntryData> BattleRaiseEntries() {
    std::vector<PkgEntryData> e;
    const char* const formats[4] = {"L%02d.tga", "C%02d.tga", "P%02d.tga", "Y%02d.tga"};
    const std::uint32_t colours[4] = {0x4080FF, 0x40FF80, 0xFF6040, 0xFFE040};
    for (int i = 0; i < 4; ++i)
        for (int n = 0; n < 4; ++n) {
            // A ring round the fighter's feet that turns with the frame.
            PictureRgba pic(96, 48, 0);
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 96; ++x) {
                    const int dx = x - 48, dy = (y - 24) * 2;
                    const int d2 = dx * dx + dy * dy;
                    if (d2 < 40 * 40 && d2 > 32 * 32 && ((x / 8 + n) % 4) != 0) pic.At(x, y) = Opaque(colours[i]);
                }
            char szName[16];
            std::snprintf(szName, sizeof szName, formats[i], n);
            e.push_back(PkgEntryData{szName, BuildRleTga32(pic)});
        }
    return e;
}

NpcPkgModel BattleSpriteActions() {
    NpcPkgModel npc;
    std::vector<int> sets{0, 1, 2, 3, 4, 5};
    for (int s = 20; s < 32; ++s) sets.push_back(s);
    // Only directions 2 (the party) and 6 (the enemies) are drawn in battle; the others
    // hold a one-pixel frame.
    const std::vector<std::uint8_t> dot = BuildRleTga32(PictureRgba(1, 1, 0));
    for (int s : sets)
        for (int a : {9, 19, 20, 21, 22, 23, 24}) {
            NpcActionFrames& act = npc[{s, a}];
            act.nCount = a == 9 || a == 19 ? 2 : 4;
            for (int d = 0; d < 8; ++d)
                for (int f = 0; f < act.nCount; ++f)
                    act.frames.push_back(d == 2 || d == 6 ? BuildRleTga32(PaintSampleCharacter(s, a, d, f)) : dot);
        }
    return npc;
}
