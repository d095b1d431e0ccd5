#include "gamedata/BaseDataFile.h"

#include "platform/Stream.h"

#include <cstring>

namespace {

// Smallest stored size of one record, used to check a count against the bytes left.
constexpr size_t kEnemyMinBytes = 4 + 16 * 4 + 4 + 4;
constexpr size_t kSceneBytes = 8;
constexpr size_t kSkillMinBytes = 13 * 4 + 4 + 1 + 4 + 1;
constexpr size_t kSkillLevelBytes = 40;
constexpr size_t kLevelBytes = 36;
constexpr size_t kItemMinBytes = 11 * 4 + kFitCount + 6 * 4;
constexpr size_t kTaskMinBytes = 8;
constexpr size_t kPeiFangBytes = 68;
constexpr size_t kPeiFangItemBytes = 8;


// A u32 length and that many bytes, no zero stored.
const char* ReadPlainString(CByteReader& in, CTextStore& texts) {
    std::string s;
    if (!in.ReadString(&s)) return "";
    return texts.Add(s);
}

// A u32 length L and L + 1 bytes whose last is the terminating zero.
const char* ReadZeroString(CByteReader& in, CTextStore& texts) {
    std::uint32_t n;
    std::string s;
    if (!in.ReadU32(&n) || !in.ReadText(size_t(n) + 1, &s)) return "";
    s.pop_back();
    return texts.Add(s);
}

// Reads nCount little-endian words as one block (at most one shop block).
bool ReadI32s(CByteReader& in, std::int32_t* pWords, size_t nCount) {
    std::uint8_t bytes[kShopWords * 4];
    if (nCount > kShopWords || !in.ReadBytes(bytes, nCount * 4)) {
        std::memset(pWords, 0, nCount * sizeof(std::int32_t));
        return false;
    }
    for (size_t i = 0; i < nCount; ++i) {
        const std::uint8_t* p = bytes + 4 * i;
        pWords[i] = std::int32_t(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                                 (std::uint32_t(p[3]) << 24));
    }
    return true;
}

// Reads a record count for a section that cannot hold a negative count.
bool ReadCount(CByteReader& in, const char* pSection, size_t nMinBytes, std::int32_t* pCount) {
    in.SetContext(std::string("section ") + pSection);
    if (!in.ReadI32(pCount)) return false;
    return in.CheckCount(*pCount, nMinBytes, "record");
}

bool ReadEnemies(CByteReader& in, CTableSet& t) {
    std::int32_t n;
    in.SetContext("section Enemies");
    if (!in.ReadI32(&n)) return false;
    // A count of 0 or less means no enemy table.
    if (n <= 0) return true;
    if (!in.CheckCount(n, kEnemyMinBytes, "record")) return false;
    t.enemies.resize(size_t(n));
    for (size_t i = 0; i < t.enemies.size(); ++i) {
        in.SetRecord(std::int64_t(i));
        EnemyNpcRow& r = t.enemies[i];
        r.pDescription = ReadPlainString(in, t.texts);
        in.ReadI32(&r.nNo);
        in.ReadI32(&r.nSkill1);
        in.ReadI32(&r.nSkill2);
        in.ReadI32(&r.nId);
        in.ReadI32(&r.nLife);
        in.ReadI32(&r.nMana);
        in.ReadI32(&r.nLevel);
        in.ReadI32(&r.nAttack);
        in.ReadI32(&r.nDefance);
        in.ReadI32(&r.nSkillAttackProbability);
        in.ReadI32(&r.nRunAway);
        in.ReadI32(&r.nChangSceneResume);
        in.ReadI32(&r.nNpcType);
        in.ReadI32(&r.nSculpt);
        in.ReadI32(&r.nSoundNo);
        in.ReadI32(&r.nSoundTime);
        r.pName = ReadPlainString(in, t.texts);
        if (!in.ReadI32(&r.nEnableKilled)) return false;
    }
    return true;
}

bool ReadSceneNames(CByteReader& in, CTableSet& t) {
    in.SetContext("section Scene names");
    if (!in.CheckCount(kSceneCount, kSceneBytes, "scene")) return false;
    for (int s = 0; s < kSceneCount; ++s) {
        in.SetRecord(s);
        std::int32_t nLength;
        if (!in.ReadI32(&nLength)) return false;
        // A length of 0 or less leaves the scene without a name.
        if (nLength > 0) {
            std::string name;
            if (!in.ReadText(size_t(nLength), &name)) return false;
            t.sceneNames[size_t(s)] = t.texts.Add(name);
        }
        if (!in.ReadI32(&t.sceneMusic[size_t(s)])) return false;
    }
    return true;
}

bool ReadSkills(CByteReader& in, CTableSet& t) {
    std::int32_t n;
    if (!ReadCount(in, "Skills", kSkillMinBytes, &n)) return false;
    t.skills.resize(size_t(n));
    for (size_t i = 0; i < t.skills.size(); ++i) {
        in.SetRecord(std::int64_t(i));
        SkillRow& r = t.skills[i];
        std::int32_t w[13];
        if (!ReadI32s(in, w, 13)) return false;
        r.nAttack = w[0];
        r.nDefance = w[1];
        r.nCelerity = w[2];
        r.nMana = w[3];
        r.nDirection = w[4];
        r.nNpcType = w[5];
        r.nEffectSound = w[6];
        r.nPicNo = w[7];
        r.nSkillNo = w[8];
        r.nType = w[9];
        r.nNo = w[10];
        r.nNeedTime = w[11];
        r.nAttackType = w[12];
        // This section alone stores a zero after each text, and the name comes first.
        r.pName = ReadZeroString(in, t.texts);
        r.pDescription = ReadZeroString(in, t.texts);
        if (in.Failed()) return false;
    }
    return true;
}

bool ReadSkillLevels(CByteReader& in, CTableSet& t) {
    in.SetContext("section Skill levels");
    // As many records as skills; the count itself is not stored.
    if (!in.CheckCount(std::int64_t(t.skills.size()), kSkillLevelBytes, "record")) return false;
    t.skillLevels.resize(t.skills.size());
    for (SkillLevelRow& r : t.skillLevels) {
        std::int32_t* p = &r.nNo;
        static_assert(sizeof(SkillLevelRow) == 10 * sizeof(std::int32_t));
        std::int32_t w[10];
        if (!ReadI32s(in, w, 10)) return false;
        std::memcpy(p, w, sizeof(w));
    }
    return true;
}

bool ReadShops(CByteReader& in, CTableSet& t) {
    in.SetContext("section Shops");
    for (ShopTable& shop : t.shops) {
        if (!ReadI32s(in, shop.nWord, kShopWords)) return false;
    }
    return true;
}

bool ReadLevels(CByteReader& in, CTableSet& t) {
    in.SetContext("section Levels");
    if (!in.CheckCount(kMemberCount, kLevelBytes, "record")) return false;
    for (auto& table : t.levels) {
        table.fill(LevelRow{});
        LevelRow& r = table[0];
        std::int32_t w[9];
        if (!ReadI32s(in, w, 9)) return false;
        r = LevelRow{w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8]};
    }
    return true;
}

bool ReadItems(CByteReader& in, CTableSet& t) {
    std::int32_t n;
    if (!ReadCount(in, "Items", kItemMinBytes, &n)) return false;
    t.items.resize(size_t(n));
    for (size_t i = 0; i < t.items.size(); ++i) {
        in.SetRecord(std::int64_t(i));
        ItemRow& r = t.items[i];
        std::int32_t w[11];
        if (!ReadI32s(in, w, 11)) return false;
        r.nType = w[0];
        r.nTypeOnGround = w[1];
        r.nSkillNum = w[2];
        r.nAttack = w[3];
        r.nDefence = w[4];
        r.nLife = w[5];
        r.nMana = w[6];
        r.nLevel = w[7];
        r.nSkill = w[8];
        r.nCelerity = w[9];
        r.nGirdNum = w[10];
        if (!in.ReadBytes(r.bFit, kFitCount)) return false;
        r.pName = ReadPlainString(in, t.texts);
        r.pDescription = ReadPlainString(in, t.texts);
        r.pDescription1 = ReadPlainString(in, t.texts);
        r.pDescription2 = ReadPlainString(in, t.texts);
        r.pDescription3 = ReadPlainString(in, t.texts);
        r.pDescription4 = ReadPlainString(in, t.texts);
        r.ClearBagTables();
        if (in.Failed()) return false;
    }
    return true;
}

bool ReadTasks(CByteReader& in, CTableSet& t) {
    std::int32_t n;
    if (!ReadCount(in, "Tasks", kTaskMinBytes, &n)) return false;
    t.tasks.resize(size_t(n));
    for (size_t i = 0; i < t.tasks.size(); ++i) {
        in.SetRecord(std::int64_t(i));
        TaskRow& r = t.tasks[i];
        // The row number is not stored and reads as 0; the name comes first.
        r.pTaskName = ReadPlainString(in, t.texts);
        r.pDescription = ReadPlainString(in, t.texts);
        if (in.Failed()) return false;
    }
    return true;
}

bool ReadPeiFang(CByteReader& in, CTableSet& t) {
    std::int32_t n;
    if (!ReadCount(in, "Recipes", kPeiFangBytes, &n)) return false;
    t.peiFang.resize(size_t(n));
    for (PeiFangRow& r : t.peiFang) {
        std::int32_t w[17];
        if (!ReadI32s(in, w, 17)) return false;
        static_assert(sizeof(PeiFangRow) == sizeof(w));
        std::memcpy(&r, w, sizeof(w));
    }
    return true;
}

bool ReadPeiFangItems(CByteReader& in, CTableSet& t) {
    std::int32_t n;
    if (!ReadCount(in, "Recipe items", kPeiFangItemBytes, &n)) return false;
    t.peiFangItems.resize(size_t(n));
    for (PeiFangItemRow& r : t.peiFangItems) {
        in.ReadI32(&r.nId);
        if (!in.ReadI32(&r.nItemNo)) return false;
    }
    return true;
}

void WriteZeroString(CByteWriter& out, const char* p) {
    size_t n = std::strlen(p);
    out.WriteU32(std::uint32_t(n));
    out.WriteBytes(p, n + 1);
}

using SectionReader = bool (*)(CByteReader& in, CTableSet& t);

// The debug log's progress groups and the sections each covers, in file order.
struct BaseDataGroup {
    const char* pszLine;
    SectionReader steps[4];
    size_t nSteps;
};

const BaseDataGroup kBaseDataGroups[] = {
    {"Read NPC Base Data...", {ReadEnemies}, 1},
    {"Read Scene Name...", {ReadSceneNames}, 1},
    {"Read Skill Data...", {ReadSkills}, 1},
    {"Read Shop Data...", {ReadSkillLevels, ReadShops}, 2},
    {"Read Level Data...", {ReadLevels}, 1},
    {"Read Item Data...", {ReadItems, ReadTasks, ReadPeiFang, ReadPeiFangItems}, 4},
};

}  // namespace

void LogBaseDataSections(const std::function<void(const char*)>& log) {
    if (!log) return;
    for (const BaseDataGroup& g : kBaseDataGroups) {
        log(g.pszLine);
        log("OK\r\n");
    }
}

bool ReadBaseData(const std::uint8_t* pData, size_t nSize, CTableSet* pTables, std::string* pError,
                  const std::function<void(const char*)>& log) {
    CByteReader in(pData, nSize, "Base.dat");
    CTableSet t;
    // Each group's line goes out before its sections and "OK" right after them, so a
    // log cut short by a crash still shows where reading was.
    bool bOk = true;
    for (const BaseDataGroup& g : kBaseDataGroups) {
        if (log) log(g.pszLine);
        for (size_t i = 0; i < g.nSteps && bOk; ++i) bOk = g.steps[i](in, t) && !in.Failed();
        if (!bOk) break;
        if (log) log("OK\r\n");
    }
    if (!bOk || in.Failed()) {
        if (pError != nullptr) *pError = in.Error();
        *pTables = CTableSet();
        return false;
    }
    *pTables = std::move(t);
    return true;
}

std::vector<std::uint8_t> WriteBaseData(const CTableSet& t) {
    CByteWriter out;

    out.WriteI32(std::int32_t(t.enemies.size()));
    for (const EnemyNpcRow& r : t.enemies) {
        out.WriteString(r.pDescription);
        for (std::int32_t v : {r.nNo, r.nSkill1, r.nSkill2, r.nId, r.nLife, r.nMana, r.nLevel, r.nAttack, r.nDefance,
                               r.nSkillAttackProbability, r.nRunAway, r.nChangSceneResume, r.nNpcType, r.nSculpt,
                               r.nSoundNo, r.nSoundTime}) {
            out.WriteI32(v);
        }
        out.WriteString(r.pName);
        out.WriteI32(r.nEnableKilled);
    }

    for (int s = 0; s < kSceneCount; ++s) {
        out.WriteString(t.sceneNames[size_t(s)]);
        out.WriteI32(t.sceneMusic[size_t(s)]);
    }

    out.WriteI32(std::int32_t(t.skills.size()));
    for (const SkillRow& r : t.skills) {
        for (std::int32_t v : {r.nAttack, r.nDefance, r.nCelerity, r.nMana, r.nDirection, r.nNpcType, r.nEffectSound,
                               r.nPicNo, r.nSkillNo, r.nType, r.nNo, r.nNeedTime, r.nAttackType}) {
            out.WriteI32(v);
        }
        WriteZeroString(out, r.pName);
        WriteZeroString(out, r.pDescription);
    }

    // Exactly one skill-level record per skill; a missing one is a zero record.
    for (size_t i = 0; i < t.skills.size(); ++i) {
        SkillLevelRow r = i < t.skillLevels.size() ? t.skillLevels[i] : SkillLevelRow{};
        for (std::int32_t v : {r.nNo, r.nAddAttackOne, r.nAddAttackTwo, r.nAddAttackThree, r.nAddTimeOne,
                               r.nAddTimeTwo, r.nAddTimeThree, r.nNeedNumFirst, r.nNeedNumSecond, r.nNeedNumThird}) {
            out.WriteI32(v);
        }
    }

    for (const ShopTable& shop : t.shops) {
        for (std::int32_t v : shop.nWord) out.WriteI32(v);
    }

    for (const auto& table : t.levels) {
        const LevelRow& r = table[0];
        for (std::int32_t v : {r.nLevel, r.nAttack, r.nDefence, r.nLife, r.nMana, r.nExperience, r.nCelerity,
                               r.nSkillNum, r.nAge}) {
            out.WriteI32(v);
        }
    }

    out.WriteI32(std::int32_t(t.items.size()));
    for (const ItemRow& r : t.items) {
        for (std::int32_t v : {r.nType, r.nTypeOnGround, r.nSkillNum, r.nAttack, r.nDefence, r.nLife, r.nMana,
                               r.nLevel, r.nSkill, r.nCelerity, r.nGirdNum}) {
            out.WriteI32(v);
        }
        out.WriteBytes(r.bFit, kFitCount);
        for (const char* p : {r.pName, r.pDescription, r.pDescription1, r.pDescription2, r.pDescription3,
                              r.pDescription4}) {
            out.WriteString(p);
        }
    }

    out.WriteI32(std::int32_t(t.tasks.size()));
    for (const TaskRow& r : t.tasks) {
        out.WriteString(r.pTaskName);
        out.WriteString(r.pDescription);
    }

    out.WriteI32(std::int32_t(t.peiFang.size()));
    for (const PeiFangRow& r : t.peiFang) {
        out.WriteI32(r.nId);
        out.WriteI32(r.nPeiFangNo);
        for (std::int32_t v : r.nItemNum) out.WriteI32(v);
        out.WriteI32(r.nItem13Num);
        out.WriteI32(r.nNewItemNo);
        out.WriteI32(r.nNewItemNum);
    }

    out.WriteI32(std::int32_t(t.peiFangItems.size()));
    for (const PeiFangItemRow& r : t.peiFangItems) {
        out.WriteI32(r.nId);
        out.WriteI32(r.nItemNo);
    }
    return out.TakeBytes();
}
