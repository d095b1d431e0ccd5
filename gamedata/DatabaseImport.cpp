#include "gamedata/DatabaseImport.h"

#include <cstdio>

namespace {

// One open database table with a sticky failure: after the first failed read every
// further read yields 0 or empty text, and Error names the table and the column.
class CImportTable {
public:
    CImportTable(CRecordSource& source, std::string name, CTextStore& texts)
        : m_strName(std::move(name)), m_texts(texts) {
        std::string why;
        m_pTable = source.OpenTable(m_strName, &why);
        if (!m_pTable) SetFailed(why.empty() ? "cannot open the table" : why);
    }

    bool Ok() const { return !m_bFailed; }
    const std::string& Error() const { return m_strError; }
    bool Next() { return Ok() && m_pTable->Next(); }

    std::int32_t Int(std::string_view column) {
        std::int32_t v = 0;
        std::string why;
        if (Ok() && !m_pTable->ReadInt(column, &v, &why)) SetFailed(why);
        return Ok() ? v : 0;
    }
    std::int32_t Bool(std::string_view column) {
        std::int32_t v = 0;
        std::string why;
        if (Ok() && !m_pTable->ReadBool(column, &v, &why)) SetFailed(why);
        return Ok() ? v : 0;
    }
    // A copy of the column's text owned by the table set; "" for an empty value.
    const char* Text(std::string_view column) {
        std::string v;
        std::string why;
        if (Ok() && !m_pTable->ReadText(column, &v, &why)) SetFailed(why);
        return Ok() ? m_texts.Add(v) : "";
    }

private:
    void SetFailed(const std::string& why) {
        if (m_bFailed) return;
        m_bFailed = true;
        m_strError = "table " + m_strName + ": " + why;
    }

    std::string m_strName;
    CTextStore& m_texts;
    std::unique_ptr<CRecordTable> m_pTable;
    bool m_bFailed = false;
    std::string m_strError;
};

bool Finish(CImportTable& table, std::string* pError) {
    if (table.Ok()) return true;
    *pError = table.Error();
    return false;
}

bool ImportEnemies(CRecordSource& source, CTableSet& t, std::string* pError) {
    CImportTable in(source, "EnemyFightNPC", t.texts);
    while (in.Next()) {
        EnemyNpcRow r;
        r.nNo = in.Int("No");
        r.nSkill1 = in.Int("Skill1");
        r.nSkill2 = in.Int("Skill2");
        r.nId = in.Int("ID");
        r.nLife = in.Int("Life");
        r.nMana = in.Int("Mana");
        r.nLevel = in.Int("Level");
        r.nAttack = in.Int("Attack");
        r.nDefance = in.Int("Defance");
        r.nSkillAttackProbability = in.Int("SkillAttackProbability");
        r.nRunAway = in.Bool("RunAway");
        r.nChangSceneResume = in.Bool("ChangSceneResume");
        r.nNpcType = in.Int("NpcType");
        r.nSculpt = in.Int("Sculpt");
        r.nSoundNo = in.Int("SoundNo");
        r.nSoundTime = in.Int("SoundTime");
        r.nEnableKilled = in.Bool("EnableKilled");
        r.pDescription = in.Text("说明");
        r.pName = in.Text("Name");
        t.enemies.push_back(r);
    }
    return Finish(in, pError);
}

bool ImportSceneNames(CRecordSource& source, CTableSet& t, std::string* pError) {
    CImportTable in(source, "SCENE_NAME", t.texts);
    while (in.Next()) {
        std::int32_t nScene = in.Int("NO");
        std::int32_t nMusic = in.Int("Music");
        const char* pName = in.Text("Name");
        // Records are placed by their scene number; others are skipped.
        if (nScene < 0 || nScene >= kSceneCount) continue;
        t.sceneNames[size_t(nScene)] = pName;
        t.sceneMusic[size_t(nScene)] = nMusic == 0 ? 1 : nMusic;
    }
    return Finish(in, pError);
}

bool ImportSkills(CRecordSource& source, CTableSet& t, std::string* pError) {
    CImportTable in(source, "SKILL", t.texts);
    while (in.Next()) {
        SkillRow r;
        r.nAttack = in.Int("Attack");
        r.nDefance = in.Int("Defance");
        r.nCelerity = in.Int("Celerity");
        r.nMana = in.Int("Mana");
        r.nDirection = in.Int("Direction");
        r.nNpcType = in.Int("NpcType");
        r.nEffectSound = in.Int("EffectSound");
        r.nPicNo = in.Int("PicNo");
        r.nSkillNo = in.Int("SkillNo");
        r.nType = in.Int("Type");
        r.nNo = in.Int("No");
        r.nNeedTime = in.Int("NeedTime");
        r.nAttackType = in.Int("AttackType");
        r.pDescription = in.Text("Description");
        r.pName = in.Text("Name");
        t.skills.push_back(r);
    }
    return Finish(in, pError);
}

bool ImportSkillLevels(CRecordSource& source, CTableSet& t, std::string* pError) {
    // One row per skill; records fill rows 0, 1, 2 ... and those past the skill count are ignored.
    t.skillLevels.assign(t.skills.size(), SkillLevelRow{});
    CImportTable in(source, "SkillLevel", t.texts);
    size_t nRow = 0;
    while (nRow < t.skillLevels.size() && in.Next()) {
        SkillLevelRow& r = t.skillLevels[nRow];
        r.nNo = std::int32_t(nRow);
        r.nAddAttackOne = in.Int("AddAttackOne");
        r.nAddAttackTwo = in.Int("AddAttackTwo");
        r.nAddAttackThree = in.Int("AddAttackThree");
        r.nAddTimeOne = in.Int("AddTimeOne");
        r.nAddTimeTwo = in.Int("AddTimeTwo");
        r.nAddTimeThree = in.Int("AddTimeThree");
        r.nNeedNumFirst = in.Int("NeedNumFirst");
        r.nNeedNumSecond = in.Int("NeedNumSecond");
        r.nNeedNumThird = in.Int("NeedNumThird");
        ++nRow;
    }
    return Finish(in, pError);
}

bool ImportShops(CRecordSource& source, CTableSet& t, std::string* pError) {
    for (int s = 0; s < kShopCount; ++s) {
        char name[32];
        std::snprintf(name, sizeof(name), "shop_%02d", s + 1);
        ShopTable& shop = t.shops[size_t(s)];
        shop = ShopTable{};
        CImportTable in(source, name, t.texts);
        // Record j lists item j + 1; a shop lists at most 100 items.
        for (int j = 0; j < kShopItems && in.Next(); ++j) {
            shop.Quantity(j + 1) = in.Int("Quantity");
            shop.PriceIn(j + 1) = in.Int("PriceIn");
            shop.PriceOut(j + 1) = in.Int("PriceOut");
        }
        if (!Finish(in, pError)) return false;
    }
    return true;
}

bool ImportLevels(CRecordSource& source, CTableSet& t, std::string* pError) {
    for (int m = 0; m < kMemberCount; ++m) {
        char name[32];
        std::snprintf(name, sizeof(name), "LEVEL%d", m + 1);
        auto& table = t.levels[size_t(m)];
        table.fill(LevelRow{});
        CImportTable in(source, name, t.texts);
        // Only the first record counts; it becomes row 0.
        if (in.Next()) {
            LevelRow& r = table[0];
            r.nLevel = in.Int("Level");
            r.nAttack = in.Int("Attack");
            r.nDefence = in.Int("Defence");
            r.nLife = in.Int("Life");
            r.nMana = in.Int("Mana");
            r.nExperience = in.Int("Experience");
            r.nCelerity = in.Int("Celerity");
            r.nSkillNum = in.Int("SkillNum");
            r.nAge = in.Int("Age");
        }
        if (!Finish(in, pError)) return false;
    }
    return true;
}

bool ImportItems(CRecordSource& source, CTableSet& t, std::string* pError) {
    CImportTable in(source, "ITEM", t.texts);
    while (in.Next()) {
        ItemRow r;
        r.nType = in.Int("Type");
        r.nTypeOnGround = in.Int("TypeonGround");
        r.nSkillNum = in.Int("SkillNum");
        r.nAttack = in.Int("Attack");
        r.nDefence = in.Int("Defence");
        r.nLife = in.Int("Life");
        r.nMana = in.Int("Mana");
        r.nLevel = in.Int("Level");
        r.nSkill = in.Int("Skill");
        r.nCelerity = in.Int("Celerity");
        r.nGirdNum = in.Int("GirdNum");
        static const char* const kFit[kFitCount] = {"Fit1", "Fit2", "Fit3", "Fit4", "Fit5", "Fit6"};
        for (int f = 0; f < kFitCount; ++f) r.bFit[f] = in.Bool(kFit[f]) == 1 ? 1 : 0;
        r.pName = in.Text("Name");
        r.pDescription = in.Text("Description");
        r.pDescription1 = in.Text("Description1");
        r.pDescription2 = in.Text("Description2");
        r.pDescription3 = in.Text("Description3");
        r.pDescription4 = in.Text("Description4");
        t.items.push_back(r);
    }
    return Finish(in, pError);
}

bool ImportTasks(CRecordSource& source, CTableSet& t, std::string* pError) {
    CImportTable in(source, "TASK", t.texts);
    while (in.Next()) {
        TaskRow r;
        r.nNo = std::int32_t(t.tasks.size());
        r.pDescription = in.Text("Description");
        r.pTaskName = in.Text("TaskName");
        t.tasks.push_back(r);
    }
    return Finish(in, pError);
}

bool ImportPeiFang(CRecordSource& source, CTableSet& t, std::string* pError) {
    CImportTable in(source, "PeiFang", t.texts);
    while (in.Next()) {
        PeiFangRow r;
        r.nId = in.Int("ID");
        r.nPeiFangNo = in.Int("PeiFang_No");
        for (int k = 0; k < 12; ++k) {
            r.nItemNum[k] = in.Int("PeiFang_Item" + std::to_string(k + 1) + "_Num");
        }
        r.nItem13Num = in.Int("PeiFang_Item13_Num");
        r.nNewItemNo = in.Int("NewItem_No");
        r.nNewItemNum = in.Int("NewItemNum");
        t.peiFang.push_back(r);
    }
    return Finish(in, pError);
}

bool ImportPeiFangItems(CRecordSource& source, CTableSet& t, std::string* pError) {
    CImportTable in(source, "PeiFang_Item", t.texts);
    while (in.Next()) {
        PeiFangItemRow r;
        r.nId = in.Int("ID");
        r.nItemNo = in.Int("物品号");
        t.peiFangItems.push_back(r);
    }
    return Finish(in, pError);
}

}  // namespace

bool ImportTables(CRecordSource& source, CTableSet* pTables, std::string* pError) {
    CTableSet t;
    std::string why;
    bool bOk = ImportEnemies(source, t, &why) && ImportSceneNames(source, t, &why) && ImportSkills(source, t, &why) &&
               ImportSkillLevels(source, t, &why) && ImportShops(source, t, &why) && ImportLevels(source, t, &why) &&
               ImportItems(source, t, &why) && ImportTasks(source, t, &why) && ImportPeiFang(source, t, &why) &&
               ImportPeiFangItems(source, t, &why);
    if (!bOk) {
        if (pError != nullptr) *pError = why;
        *pTables = CTableSet();
        return false;
    }
    *pTables = std::move(t);
    return true;
}
