// Options, scenes, skills, levels, tasks, enemies, captions and area patterns of
// the sample game.
#include "tools/mkgame/BattleContent.h"
#include "tools/mkgame/MkGame.h"

void AddOptions(GameModel& model) {
    OptionsModel& o = model.options;
    o.nFullScreen = 0;  // windowed
    o.nScreenWidth = 800;
    o.nScreenHeight = 600;
    o.nScreenBPP = 16;
    o.nScreenMode = 1;
    o.nDataFrom = 1;  // read the table cache
    o.nPlayLeader = 1;
    o.nScene = 0;
    // The heroine starts inside the town's L-shaped wall, on the free cell (14, 16).
    o.nPlayerX = 464;
    o.nPlayerY = 528;
    o.nPlayerSpeed = 10;
}

void AddScenes(GameModel& model) {
    struct Scene {
        int nNumber;
        const char* pName;
        int nMusic;
    };
    const Scene scenes[] = {
        {0, "青石镇", 1},     {1, "镇外竹林", 2},   {2, "落霞山道", 3}, {3, "山贼营寨", 4},
        {4, "幽暗山洞", 5},   {5, "江边渡口", 6},   {100, "悦来客栈", 7}, {101, "回春药铺", 7},
        {102, "张记铁匠铺", 8},
    };
    for (const Scene& s : scenes) {
        model.scenes[size_t(s.nNumber)].strName = Gbk(s.pName);
        model.scenes[size_t(s.nNumber)].nMusic = s.nMusic;
    }
}

void AddSkills(GameModel& model) {
    // Fifty skills from five elements and ten forms, and skill 50, the thrown item.
    const char* const elements[5] = {"风", "火", "冰", "雷", "土"};
    const char* const forms[10] = {"剑诀", "掌法", "心诀", "阵法", "咒印", "步法", "斩击", "护体", "箭术", "拳法"};
    for (int e = 0; e < 5; ++e) {
        for (int f = 0; f < 10; ++f) {
            SkillModel s;
            int nId = e * 10 + f;
            s.strName = Gbk(std::string(elements[e]) + forms[f]);
            s.strDescription = Gbk(std::string("以") + elements[e] + "之力施展的" + forms[f]);
            s.nAttack = f == 7 ? 0 : 20 + 6 * e + 4 * f;
            s.nDefance = f == 7 ? 10 + 5 * e : 0;
            s.nCelerity = f == 5 ? 5 + e : 0;
            s.nMana = 8 + 3 * e + 2 * f;
            // The map casts the skill with one-shot action 10 or 12; the battle lists it
            // by the action modulo 3: protective skills (10) aim at the party, others (12)
            // at the enemies. The skill takes effect on frame 2 of the action.
            s.nDirection = f == 7 ? 10 : 12;
            s.nNpcType = 2;
            s.nEffectSound = 1 + nId % 12;
            s.nPicNo = nId;
            s.nSkillNo = f == 3 ? e : -1;  // formations spread over an area pattern
            // Skills 2, 5, 8 belong to the heroine's kind (member 1, type 0) and 3, 6, 9
            // to the companion's (member 2, type 1); no other skill up to 32 has those types.
            s.nType = nId % 45;
            if (nId == 2 || nId == 5 || nId == 8) s.nType = 0;
            else if (nId == 3 || nId == 6 || nId == 9) s.nType = 1;
            else if (nId == 1) s.nType = 33;
            s.nNo = nId + 1;
            s.nNeedTime = 500 + 100 * (f % 4);
            s.nAttackType = e;
            model.skills.push_back(s);
        }
    }
    SkillModel thrown;
    thrown.strName = Gbk("飞器投掷");
    thrown.strDescription = Gbk("掷出手中暗器");
    thrown.nMana = 0;
    thrown.nDirection = 12;
    thrown.nNpcType = 2;
    thrown.nAttackType = 1;  // it flies
    thrown.nPicNo = 50;
    thrown.nSkillNo = -1;
    thrown.nType = 5;
    thrown.nNo = 51;
    thrown.nNeedTime = 300;
    model.skills.push_back(thrown);

    for (size_t i = 0; i < model.skills.size(); ++i) {
        SkillLevelModel l;
        int n = int(i);
        l.nAddAttack = {4 + n % 5, 9 + n % 5, 15 + n % 5};
        l.nAddTime = {-20, -40, -60};
        l.nNeedNum = {20 + n % 10, 60 + n % 10, 150 + n % 10};
        model.skillLevels.push_back(l);
    }
}

void AddLevels(GameModel& model) {
    model.levels[0] = LevelModel{1, 18, 8, 120, 60, 100, 12, 2, 16};
    model.levels[1] = LevelModel{1, 15, 10, 140, 40, 110, 10, 2, 19};
    model.levels[2] = LevelModel{1, 12, 6, 100, 90, 120, 14, 3, 17};
    model.levels[3] = LevelModel{1, 22, 12, 160, 30, 130, 8, 1, 24};
}

void AddTasks(GameModel& model) {
    const char* const tasks[][2] = {
        {"初入江湖", "到镇上的悦来客栈打听消息。"},
        {"拜师", "过了武师石像的一关，拜他为师。"},
        {"寻药", "替药铺掌柜采集竹林中的药草三份。"},
        {"山贼", "击退盘踞在落霞山道的山贼。"},
        {"失落的玉佩", "找回李员外丢失的玉佩。"},
        {"归还玉佩", "把玉佩还给镇上的李员外。"},
        {"夜访营寨", "潜入山贼营寨，查明头目的下落。"},
        {"渡江", "凑齐船资，渡江前往下一座城镇。"},
    };
    for (const auto& t : tasks) model.tasks.push_back(TaskModel{Gbk(t[0]), Gbk(t[1])});
}

void AddEnemies(GameModel& model) {
    struct Enemy {
        const char* pName;
        const char* pDescription;
        int nLevel, nLife, nAttack, nDefance, nSkill1, nSkill2, nSculpt, nSoundNo;
    };
    const Enemy enemies[] = {
        {"野狼", "竹林中出没的饿狼", 1, 60, 12, 2, 0, 0, 20, 1},
        {"山贼", "落霞山道的小喽啰", 2, 90, 15, 4, 0, 0, 21, -1},
        {"毒蛇", "", 2, 50, 18, 1, 12, 0, 22, 2},
        {"黑熊", "力大无穷", 4, 220, 25, 8, 0, 0, 23, 3},
        {"强盗头目", "山贼营寨的首领", 6, 400, 32, 12, 1, 11, 24, -1},
        {"僵尸", "山洞深处游荡的行尸", 5, 260, 22, 10, 0, 0, 25, 4},
        {"狐妖", "善使幻术", 7, 320, 28, 9, 12, 22, 26, 5},
        {"蜘蛛精", "", 6, 300, 26, 11, 32, 0, 27, -1},
        // Row 8: the master's golems, three at a time in his bout; a new heroine with the
        // starting potions beats them.
        {"石像鬼", "武师的练功石像", 2, kGolemLife, 8, 0, 0, 0, 28, 6},
        {"巨蟒", "江边芦苇中的巨蛇", 7, 450, 34, 14, 22, 0, 29, 7},
        {"虎王", "百兽之王", 9, 600, 40, 16, 1, 31, 30, 8},
        {"魔教护法", "魔教派来的高手", 10, 800, 45, 20, 13, 33, 31, -1},
        // Rows 12 and 13: formation casters whose skills spread cell by cell (square)
        // and spread then clear (ring).
        {"阵法师", "竹林中布阵的术士", 5, 240, 20, 8, 23, 23, 24, -1},
        {"环阵师", "以冰阵困敌", 5, 240, 20, 8, 43, 43, 26, -1},
    };
    int nId = 1;
    for (const Enemy& e : enemies) {
        EnemyModel m;
        m.strName = Gbk(e.pName);
        m.strDescription = Gbk(e.pDescription);
        m.nId = nId;
        m.nNo = nId - 1;
        m.nNpcType = nId % 3;
        m.nLevel = e.nLevel;
        m.nLife = e.nLife;
        m.nMana = 10 * e.nLevel;
        m.nAttack = e.nAttack;
        m.nDefance = e.nDefance;
        m.nSkillAttackProbability = e.nSkill1 != 0 ? 25 : 0;
        m.nSkill1 = e.nSkill1;
        m.nSkill2 = e.nSkill2;
        m.nSculpt = e.nSculpt;
        m.nSoundNo = e.nSoundNo;
        m.nSoundTime = e.nSoundNo >= 0 ? 6 : 0;
        m.nRunAway = e.nLevel <= 2 ? 1 : 0;
        m.nChangSceneResume = 1;
        m.nEnableKilled = 1;
        model.enemies.push_back(m);
        ++nId;
    }
    // Nobody runs from the master's bout: the story goes on after it only when she won.
    model.enemies[8].nRunAway = 0;
}

void AddCaptions(GameModel& model) {
    const char* const lines[] = {
        "第一章  青石镇",
        "三日之后……",
        "江湖风波起，少年初长成。",
        "第二章  落霞山",
        "山风呼啸，前路未知。",
        "第三章  江边渡口",
        "获得物品",
        "任务完成",
        "你的队伍全军覆没……",
        "全剧终  感谢游玩",
    };
    for (const char* pLine : lines) model.captions.push_back(Gbk(pLine));
}

void AddAreaPatterns(GameModel& model) {
    auto cell = [](int x, int y, int nMark, int nSteps = 0) {
        AreaCellModel c;
        c.nX = x;
        c.nY = y;
        c.nStep = {nMark, nSteps, 0, 0, 0};
        return c;
    };
    auto tail = [](int nKind, int nMode) {
        std::array<std::int32_t, 9> t{};
        t[7] = nKind;
        t[8] = nMode;
        return t;
    };

    AreaPatternModel single{"single", 0, 0, {cell(0, 0, 0, 5)}, tail(-1, 0)};
    AreaPatternModel cross{"cross", 0, 0,
                           {cell(0, 0, 10, 6), cell(1, 0, 0), cell(-1, 0, 0), cell(0, 1, 0), cell(0, -1, 0)},
                           tail(3, 0)};
    AreaPatternModel square{"square", 1, 1, {}, tail(-1, 1)};
    for (int y = -1; y <= 1; ++y) {
        for (int x = -1; x <= 1; ++x) square.cells.push_back(cell(x, y, (x == 0 && y == 0) ? 10 : 0));
    }
    AreaPatternModel line{"line", 0, 0, {}, tail(-1, 3)};
    for (int i = 0; i < 6; ++i) line.cells.push_back(cell(i, 0, 5 * i));
    AreaPatternModel ring{"ring", 0, 0, {}, tail(-1, 2)};
    const int ringCells[8][2] = {{0, -2}, {1, -1}, {2, 0}, {1, 1}, {0, 2}, {-1, 1}, {-2, 0}, {-1, -1}};
    for (const auto& c : ringCells) ring.cells.push_back(cell(c[0], c[1], 0));

    model.areaPatterns = {single, cross, square, line, ring};
}
