#include "tools/mkgame/BattleContent.h"

#include <cstdio>
#include <string>

#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/TgaWriters.h"
#include "tools/mkgame/MkGame.h"
#include "tools/mkgame/SampleHeroine.h"

namespace {

std::uint32_t Opaque(std::uint32_t rgb) { return 0xFF000000u | rgb; }

// A flat probe-coloured picture with a white frame; its top-left pixel is black, the
// colour key of keyed pictures.
PictureRgba Flat(int w, int h, std::uint32_t rgb) {
    PictureRgba pic(w, h, Opaque(rgb));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x == 0 || y == 0 || x == w - 1 || y == h - 1) pic.At(x, y) = Argb(255, 240, 240, 240);
    pic.At(0, 0) = Argb(255, 0, 0, 0);
    return pic;
}

PkgEntryData Bmp(const char* pszName, const PictureRgba& pic) { return PkgEntryData{pszName, BuildBmp(pic)}; }

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

std::vector<PkgEntryData> BattleMenuEntries() {
    std::vector<PkgEntryData> e;
    // The battle field: a flat ground with a lighter band where the fighters stand.
    PictureRgba ground(800, 600, Opaque(kBackgroundColour));
    ground.Fill(0, 180, 800, 260, Argb(255, 70, 110, 60));
    e.push_back(Bmp("001.bmp", ground));
    e.push_back(Bmp("me007.bmp", Flat(31, 18, 0xC0C0C0)));
    e.push_back(Bmp("me0073.bmp", Flat(31, 18, 0xA0A0A0)));
    // The ring: five 40 x 40 buttons, each its own shade, on the ring's colour.
    PictureRgba ring = Flat(150, 160, kRingColour);
    const int buttons[5][2] = {{0, 0}, {109, 0}, {53, 56}, {109, 120}, {0, 120}};
    for (int b = 0; b < 5; ++b) ring.Fill(buttons[b][0] + 4, buttons[b][1] + 4, 32, 32, Argb(255, 40 + 40 * b, 90, 200));
    e.push_back(Bmp("me0FMain.bmp", ring));
    // Six lit buttons, one tile per ring button number.
    PictureRgba lit(240, 40, Opaque(kRingLitColour));
    for (int t = 0; t < 6; ++t) lit.Fill(40 * t + 16, 16, 8, 8, Argb(255, 255, 40 * t, 0));
    lit.At(0, 0) = Argb(255, 0, 0, 0);
    e.push_back(Bmp("me0FMain3.bmp", lit));
    e.push_back(Bmp("me0FLine.bmp", Flat(140, 85, 0x202840)));
    // The bars: time gauge (rows 0..5), mana (6..11), life (12..17).
    PictureRgba bars(118, 18, 0);
    bars.Fill(0, 0, 118, 6, Argb(255, 230, 200, 40));
    bars.Fill(0, 6, 118, 6, Argb(255, 40, 90, 230));
    bars.Fill(0, 12, 118, 6, Argb(255, 220, 40, 40));
    bars.At(0, 0) = Argb(255, 0, 0, 0);
    e.push_back(Bmp("me0FightBlood.bmp", bars));
    // Seven heads, then the same seven poisoned (green).
    PictureRgba heads(93 * 14, 85, 0);
    for (int h = 0; h < 14; ++h)
        heads.Fill(93 * h + 20, 10, 53, 65, h < 7 ? Argb(255, 230, 190, 150 - 15 * h) : Argb(255, 90, 200, 90));
    e.push_back(Bmp("FightHead.bmp", heads));
    PictureRgba icons(40, 20, 0);
    icons.Fill(2, 2, 16, 16, Argb(255, 60, 220, 60));
    icons.Fill(22, 2, 16, 16, Argb(255, 160, 160, 220));
    e.push_back(Bmp("Icon.bmp", icons));
    for (const char* pszName : {"me0FItem.bmp", "me0FAttack.bmp", "me0FDefance.bmp", "me0FStunt.bmp"}) {
        PictureRgba list = Flat(160, 190, kListColour);
        // The three tabs, the one of this panel lit.
        const int nLit = std::string(pszName) == "me0FDefance.bmp" ? 1 : std::string(pszName) == "me0FStunt.bmp" ? 2 : 0;
        const int tabs[3][2] = {{13, 56}, {56, 98}, {98, 141}};
        for (int t = 0; t < 3; ++t)
            list.Fill(tabs[t][0], 13, tabs[t][1] - tabs[t][0] - 1, 22, t == nLit ? Argb(255, 90, 180, 110) : Argb(255, 30, 60, 40));
        list.Fill(18, 166, 31, 19, Argb(255, 200, 200, 200));
        list.Fill(108, 166, 31, 19, Argb(255, 200, 200, 200));
        e.push_back(Bmp(pszName, list));
    }
    e.push_back(Bmp("FightVir.bmp", Flat(320, 220, kVictoryColour)));
    PictureRgba popup = Flat(131, 110, kEscapeColour);
    popup.Fill(18, 72, 95, 24, Argb(255, 120, 120, 120));
    e.push_back(Bmp("me0FEXIT.bmp", popup));
    e.push_back(Bmp("me0FOK.bmp", Flat(95, 25, 0xE0E0E0)));
    // The box the battle's tooltips and messages are written in.
    e.push_back(PkgEntryData{Gbk("对战获胜.bmp"), BuildBmp(Flat(230, 120, kMessageBoxColour))});
    return e;
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
