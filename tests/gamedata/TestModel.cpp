#include "tests/gamedata/TestModel.h"

#include "platform/Charset.h"

#include <cstdio>

GameModel MakeTestModel() {
    GameModel m;
    EnemyModel wolf;
    wolf.strName = Utf8ToText("野狼");
    wolf.strDescription = Utf8ToText("竹林中的狼");
    wolf.nId = 7;
    wolf.nNo = 3;
    wolf.nNpcType = 2;
    wolf.nLevel = 4;
    wolf.nLife = 120;
    wolf.nMana = 30;
    wolf.nAttack = 14;
    wolf.nDefance = 5;
    wolf.nSkillAttackProbability = 20;
    wolf.nSkill1 = 2;
    wolf.nSkill2 = 0;
    wolf.nSculpt = 41;
    wolf.nSoundNo = 3;
    wolf.nSoundTime = 8;
    wolf.nRunAway = 1;
    wolf.nChangSceneResume = 1;
    wolf.nEnableKilled = 1;
    EnemyModel ghost;
    ghost.strName = "Ghost";
    ghost.nId = 9;
    ghost.nLife = 50;
    ghost.nSoundNo = -1;
    m.enemies = {wolf, ghost};

    m.scenes[0] = SceneModel{Utf8ToText("青石镇"), 1};
    m.scenes[2] = SceneModel{"Hill", 3};
    m.scenes[150] = SceneModel{"", 9};  // music without a name
    m.scenes[199] = SceneModel{Utf8ToText("终点"), 12};

    SkillModel fire;
    fire.strName = Utf8ToText("烈火掌");
    fire.strDescription = Utf8ToText("掌风如火");
    fire.nAttack = 30;
    fire.nDefance = 1;
    fire.nCelerity = 2;
    fire.nMana = 12;
    fire.nDirection = 1;
    fire.nNpcType = 3;
    fire.nEffectSound = 4;
    fire.nPicNo = 5;
    fire.nSkillNo = 6;
    fire.nType = 7;
    fire.nNo = 8;
    fire.nNeedTime = 900;
    fire.nAttackType = 10;
    SkillModel empty;
    empty.nAttack = -3;
    SkillModel third;
    third.strName = "Third";
    third.nMana = 40;
    m.skills = {fire, empty, third};
    SkillLevelModel l0;
    l0.nAddAttack = {1, 2, 3};
    l0.nAddTime = {4, 5, 6};
    l0.nNeedNum = {7, 8, 9};
    SkillLevelModel l1;
    l1.nAddAttack = {10, 20, 30};
    l1.nNeedNum = {100, 200, 300};
    m.skillLevels = {l0, l1};  // skill 2 has no level row

    m.shops[0].entries = {{5, 10, 20}, {0, 0, 0}, {7, 15, 30}};
    m.shops[15].entries.resize(100);
    for (int j = 0; j < 100; ++j) m.shops[15].entries[size_t(j)] = ShopEntryModel{j, 2 * j, 3 * j};

    m.levels[0] = LevelModel{1, 10, 5, 100, 50, 90, 12, 2, 16};
    m.levels[3] = LevelModel{2, 20, 6, 200, 60, 190, 14, 3, 30};

    ItemModel sword;
    sword.strName = Utf8ToText("铁剑");
    sword.strDescription = {Utf8ToText("兵器"), Utf8ToText("攻击+12"), "", "line 3", Utf8ToText("末行")};
    sword.nType = 7;
    sword.nTypeOnGround = 11;
    sword.nSkillNum = 1;
    sword.nAttack = 12;
    sword.nDefence = 2;
    sword.nLife = 3;
    sword.nMana = 4;
    sword.nLevel = 2;
    sword.nSkill = 5;
    sword.nCelerity = 6;
    sword.nGirdNum = 1;
    sword.bFit = {1, 0, 1, 0, 0, 1};
    ItemModel letter;
    letter.strName = Utf8ToText("书信");
    letter.nType = 99;
    letter.bFit = {1, 1, 1, 1, 1, 1};
    m.items = {ItemModel{}, sword, letter};

    m.tasks = {TaskModel{Utf8ToText("送信"), Utf8ToText("把书信交给船夫。")}, TaskModel{"", "no name"}};

    PeiFangModel recipe;
    recipe.nId = 1;
    recipe.nPeiFangNo = 4;
    for (int k = 0; k < 13; ++k) recipe.nItemNum[size_t(k)] = k + 1;
    recipe.nNewItemNo = 2;
    recipe.nNewItemNum = 3;
    m.peiFang = {recipe, PeiFangModel{}};
    m.peiFangItems = {PeiFangItemModel{1, 48}, PeiFangItemModel{2, 49}};

    m.captions = {Utf8ToText("第一章"), "", "abc"};
    return m;
}

CMemoryRecordSource RecordsFromModel(const GameModel& m) {
    CMemoryRecordSource source;
    std::vector<Record> rows;
    for (const EnemyModel& e : m.enemies) {
        rows.push_back(Record{{"ID", e.nId}, {"No", e.nNo}, {"NpcType", e.nNpcType}, {"Name", e.strName},
                              {"ChangSceneResume", e.nChangSceneResume}, {"Level", e.nLevel}, {"Life", e.nLife},
                              {"Mana", e.nMana}, {"Attack", e.nAttack}, {"Defance", e.nDefance},
                              {"SkillAttackProbability", e.nSkillAttackProbability}, {"Skill1", e.nSkill1},
                              {"Skill2", e.nSkill2}, {"RunAway", e.nRunAway}, {"Sculpt", e.nSculpt},
                              {"说明", e.strDescription}, {"SoundNo", e.nSoundNo}, {"SoundTime", e.nSoundTime},
                              {"EnableKilled", e.nEnableKilled}});
    }
    source.SetTable("EnemyFightNPC", rows);

    rows.clear();
    for (int s = 0; s < 200; ++s) {
        const SceneModel& scene = m.scenes[size_t(s)];
        if (scene.strName.empty() && scene.nMusic == 0) continue;
        rows.push_back(Record{{"ID", s + 1}, {"Music", scene.nMusic}, {"Name", scene.strName}, {"NO", s},
                              {"说明", std::string("scene")}});
    }
    source.SetTable("SCENE_NAME", rows);

    rows.clear();
    for (size_t i = 0; i < m.skills.size(); ++i) {
        const SkillModel& s = m.skills[i];
        rows.push_back(Record{{"ID", std::int32_t(100 + i)}, {"No", s.nNo}, {"Name", s.strName}, {"Attack", s.nAttack},
                              {"Mana", s.nMana}, {"Description", s.strDescription}, {"Celerity", s.nCelerity},
                              {"Defance", s.nDefance}, {"Direction", s.nDirection}, {"EffectSound", s.nEffectSound},
                              {"NeedTime", s.nNeedTime}, {"NpcType", s.nNpcType}, {"PicNo", s.nPicNo},
                              {"SkillNo", s.nSkillNo}, {"Type", s.nType}, {"AttackType", s.nAttackType}});
    }
    source.SetTable("SKILL", rows);

    rows.clear();
    for (size_t i = 0; i < m.skillLevels.size(); ++i) {
        const SkillLevelModel& l = m.skillLevels[i];
        rows.push_back(Record{{"ID", std::int32_t(i + 1)}, {"No", std::int32_t(i)}, {"Name", std::string("level")},
                              {"AddAttackOne", l.nAddAttack[0]}, {"AddAttackTwo", l.nAddAttack[1]},
                              {"AddAttackThree", l.nAddAttack[2]}, {"AddTimeOne", l.nAddTime[0]},
                              {"AddTimeTwo", l.nAddTime[1]}, {"AddTimeThree", l.nAddTime[2]},
                              {"NeedNumFirst", l.nNeedNum[0]}, {"NeedNumSecond", l.nNeedNum[1]},
                              {"NeedNumThird", l.nNeedNum[2]}});
    }
    source.SetTable("SkillLevel", rows);

    for (int s = 0; s < 16; ++s) {
        rows.clear();
        const ShopModel& shop = m.shops[size_t(s)];
        for (size_t j = 0; j < shop.entries.size(); ++j) {
            const ShopEntryModel& e = shop.entries[j];
            rows.push_back(Record{{"ID", std::int32_t(j)}, {"Name", std::string("item")}, {"No", std::int32_t(j + 1)},
                                  {"PriceIn", e.nPriceIn}, {"PriceOut", e.nPriceOut}, {"Quantity", e.nQuantity}});
        }
        char name[32];
        std::snprintf(name, sizeof(name), "shop_%02d", s + 1);
        source.SetTable(name, rows);
    }

    for (int member = 0; member < 4; ++member) {
        const LevelModel& l = m.levels[size_t(member)];
        char name[32];
        std::snprintf(name, sizeof(name), "LEVEL%d", member + 1);
        source.SetTable(name, {Record{{"Attack", l.nAttack}, {"Defence", l.nDefence}, {"Experience", l.nExperience},
                                      {"ID", 1}, {"Level", l.nLevel}, {"Life", l.nLife}, {"Mana", l.nMana},
                                      {"Celerity", l.nCelerity}, {"SkillNum", l.nSkillNum}, {"Age", l.nAge}}});
    }

    rows.clear();
    for (size_t i = 0; i < m.items.size(); ++i) {
        const ItemModel& it = m.items[i];
        Record r{{"ID", std::int32_t(500 - i)}, {"No", std::int32_t(i * 2)}, {"Name", it.strName},
                 {"Defence", it.nDefence}, {"Attack", it.nAttack}, {"Life", it.nLife}, {"Mana", it.nMana},
                 {"Description", it.strDescription[0]}, {"Type", it.nType}, {"Celerity", it.nCelerity},
                 {"Level", it.nLevel}, {"Skill", it.nSkill}, {"SkillNum", it.nSkillNum}, {"GirdNum", it.nGirdNum},
                 {"Description1", it.strDescription[1]}, {"Description2", it.strDescription[2]},
                 {"Description3", it.strDescription[3]}, {"Description4", it.strDescription[4]},
                 {"TypeonGround", it.nTypeOnGround}};
        for (int f = 0; f < 6; ++f) r["Fit" + std::to_string(f + 1)] = std::int32_t(it.bFit[size_t(f)]);
        rows.push_back(r);
    }
    source.SetTable("ITEM", rows);

    rows.clear();
    for (size_t i = 0; i < m.tasks.size(); ++i) {
        rows.push_back(Record{{"ID", std::int32_t(i)}, {"No", std::int32_t(i)}, {"Description", m.tasks[i].strDescription},
                              {"Close", 0}, {"Scene", 0}, {"TaskName", m.tasks[i].strName}});
    }
    source.SetTable("TASK", rows);

    rows.clear();
    for (const PeiFangModel& p : m.peiFang) {
        Record r{{"ID", p.nId}, {"PeiFang_No", p.nPeiFangNo}, {"NewItem_No", p.nNewItemNo},
                 {"NewItemNum", p.nNewItemNum}};
        for (int k = 0; k < 13; ++k) r["PeiFang_Item" + std::to_string(k + 1) + "_Num"] = p.nItemNum[size_t(k)];
        rows.push_back(r);
    }
    source.SetTable("PeiFang", rows);

    rows.clear();
    for (const PeiFangItemModel& p : m.peiFangItems) {
        rows.push_back(Record{{"ID", p.nId}, {"物品号", p.nItemNo}, {"物品名", std::string("item")}});
    }
    source.SetTable("PeiFang_Item", rows);
    return source;
}
