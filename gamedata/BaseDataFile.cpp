#include "gamedata/BaseDataFile.h"

#include "platform/Stream.h"

#include <cstdint>
#include <cstdio>
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

// The largest statistic a table may give (life, mana, attack, defence, speed,
// experience, a price): the game adds these up, doubles them and multiplies them by a
// level in 32 bits, and a hero's record holds up to 1 << 24, so a table value stays
// well inside both.
constexpr std::int32_t kTableStat = std::int32_t(1) << 20;
// Levels an enemy may have (its money and experience are ten times its level).
constexpr std::int32_t kEnemyLevels = 10000;
// Longest time a table gives in seconds or in half seconds (an hour).
constexpr std::int32_t kTableTime = 7200;
// A clamped field takes the nearest end of its range; any other the given value.
constexpr std::int32_t kClamp = INT32_MIN;

// A run of words of a record (nFirst..nLast of its word block) that the game computes
// with, and what it accepts. pszName may hold one %d: the word's number counted from
// nNumber.
struct WordRange {
    const char* pszName;
    int nFirst, nLast;
    std::int32_t nMin, nMax;
    std::int32_t nInstead = kClamp;
    int nNumber = 0;
};

// Word order of the enemy record as stored: No, Skill1, Skill2, ID, Life, Mana, Level,
// Attack, Defance, SkillAttackProbability, RunAway, ChangSceneResume, NpcType, Sculpt,
// SoundNo, SoundTime.
const WordRange kEnemyRanges[] = {
    {"life", 4, 4, 0, kTableStat},          {"mana", 5, 5, 0, kTableStat},
    {"level", 6, 6, 0, kEnemyLevels},       {"attack", 7, 7, -kTableStat, kTableStat},
    {"defence", 8, 8, -kTableStat, kTableStat},
    {"skill chance", 9, 9, 0, 100},         {"sound time", 15, 15, 0, kTableTime},
};
// Attack, Defance, Celerity, Mana, Direction, NpcType, EffectSound, PicNo, SkillNo,
// Type, No, NeedTime, AttackType.
const WordRange kSkillRanges[] = {
    {"attack", 0, 0, -kTableStat, kTableStat}, {"defence", 1, 1, -kTableStat, kTableStat},
    {"speed", 2, 2, -kTableStat, kTableStat},  {"mana cost", 3, 3, 0, kTableStat},
    {"time", 11, 11, 0, kTableTime},
};
// Row number, three attack bonuses, three time bonuses, three use counts.
const WordRange kSkillLevelRanges[] = {
    {"attack bonus %d", 1, 3, -kTableStat, kTableStat, kClamp, 1},
    {"time bonus %d", 4, 6, -kTableTime, kTableTime, kClamp, 1},
    {"uses for raise %d", 7, 9, 0, kTableStat, kClamp, 1},
};
const WordRange kShopRanges[] = {
    {"stock of item %d", 101, 200, 0, kTableStat, kClamp, 1},
    {"price in of item %d", 201, 300, 0, kTableStat, kClamp, 1},
    {"price out of item %d", 301, 400, 0, kTableStat, kClamp, 1},
};
// Level, Attack, Defence, Life, Mana, Experience, Celerity, SkillNum, Age. A member
// the database has no level table for reads as zeros.
const WordRange kLevelRanges[] = {
    {"level", 0, 0, 0, 101},          {"attack", 1, 1, 0, kTableStat},     {"defence", 2, 2, 0, kTableStat},
    {"life", 3, 3, 0, kTableStat},    {"mana", 4, 4, 0, kTableStat},       {"experience", 5, 5, 0, kTableStat},
    {"speed", 6, 6, 0, kTableStat},   {"skill amount", 7, 7, 0, kTableStat}, {"age", 8, 8, 0, 10000},
};
// Type, TypeOnGround, SkillNum, Attack, Defence, Life, Mana, Level, Skill, Celerity,
// GirdNum. An item's values are bonuses and may be negative.
const WordRange kItemRanges[] = {
    {"skill amount", 2, 2, -kTableStat, kTableStat}, {"attack", 3, 3, -kTableStat, kTableStat},
    {"defence", 4, 4, -kTableStat, kTableStat},      {"life", 5, 5, -kTableStat, kTableStat},
    {"mana", 6, 6, -kTableStat, kTableStat},         {"level", 7, 7, 0, kEnemyLevels},
    {"skill", 8, 8, -kTableStat, kTableStat},        {"speed", 9, 9, -kTableStat, kTableStat},
    {"bag shape", 10, 10, 0, 3, 0},
};
// ID, number, twelve ingredient counts, the count of kind 13, product, product count.
const WordRange kRecipeRanges[] = {
    {"count of ingredient %d", 2, 14, 0, kTableStat, kClamp, 1},
    {"product count", 16, 16, 0, kTableStat},
};

// Collects the values a section's ranges refuse: one line per field of the section,
// naming the first value refused and how many more were.
class CRangeCheck {
public:
    explicit CRangeCheck(std::vector<std::string>* pProblems) : m_pProblems(pProblems) {}
    CRangeCheck(const CRangeCheck&) = delete;
    CRangeCheck& operator=(const CRangeCheck&) = delete;

    // Checks the words of record nRecord of a section (pszRecord, as "enemy"), read from
    // offset nAt, and puts each refused word into its range.
    template <size_t N>
    void Check(const char* pszRecord, std::int64_t nRecord, std::int32_t* pWords, size_t nAt,
               const WordRange (&ranges)[N]) {
        if (pszRecord != m_pszRecord) Flush();
        m_pszRecord = pszRecord;
        for (const WordRange& r : ranges) {
            for (int w = r.nFirst; w <= r.nLast; ++w) {
                std::int32_t& v = pWords[w];
                if (v >= r.nMin && v <= r.nMax) continue;
                const std::int32_t nUsed = r.nInstead != kClamp ? r.nInstead : v < r.nMin ? r.nMin : r.nMax;
                Refuse(&r, w, nRecord, v, nAt + 4 * size_t(w), nUsed);
                v = nUsed;
            }
        }
    }

    // Hands the lines of the fields refused so far to the list.
    void Flush() {
        for (const Refused& f : m_refused) {
            if (m_pProblems == nullptr) continue;
            m_pProblems->push_back(f.nMore == 0 ? f.strLine
                                                : f.strLine + " (and " + std::to_string(f.nMore) + " more " +
                                                      (f.nMore == 1 ? "value" : "values") +
                                                      " of the field are put in range)");
        }
        m_refused.clear();
    }

private:
    void Refuse(const WordRange* pRange, int nWord, std::int64_t nRecord, std::int32_t v, size_t nAt,
                std::int32_t nUsed) {
        for (Refused& f : m_refused) {
            if (f.pRange == pRange) {
                ++f.nMore;
                return;
            }
        }
        char szField[64];
        std::snprintf(szField, sizeof szField, pRange->pszName, nWord - pRange->nFirst + pRange->nNumber);
        m_refused.push_back({pRange,
                             "Base.dat: " + std::string(m_pszRecord) + " " + std::to_string(nRecord) + ": " + szField +
                                 " " + std::to_string(v) + " at offset " + std::to_string(nAt) + " is outside " +
                                 std::to_string(pRange->nMin) + ".." + std::to_string(pRange->nMax) + "; " +
                                 std::to_string(nUsed) + " is used",
                             0});
    }
    struct Refused {
        const WordRange* pRange;
        std::string strLine;
        int nMore;
    };
    std::vector<std::string>* m_pProblems;
    const char* m_pszRecord = nullptr;
    std::vector<Refused> m_refused;
};


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

bool ReadEnemies(CByteReader& in, CTableSet& t, CRangeCheck& check) {
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
        const size_t nAt = in.Position();
        std::int32_t w[16];
        if (!ReadI32s(in, w, 16)) return false;
        check.Check("enemy", std::int64_t(i), w, nAt, kEnemyRanges);
        std::int32_t* const fields[16] = {&r.nNo,       &r.nSkill1,  &r.nSkill2,
                                          &r.nId,       &r.nLife,    &r.nMana,
                                          &r.nLevel,    &r.nAttack,  &r.nDefance,
                                          &r.nSkillAttackProbability, &r.nRunAway, &r.nChangSceneResume,
                                          &r.nNpcType,  &r.nSculpt,  &r.nSoundNo,
                                          &r.nSoundTime};
        for (size_t k = 0; k < 16; ++k) *fields[k] = w[k];
        r.pName = ReadPlainString(in, t.texts);
        if (!in.ReadI32(&r.nEnableKilled)) return false;
    }
    return true;
}

bool ReadSceneNames(CByteReader& in, CTableSet& t, CRangeCheck&) {
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

bool ReadSkills(CByteReader& in, CTableSet& t, CRangeCheck& check) {
    std::int32_t n;
    if (!ReadCount(in, "Skills", kSkillMinBytes, &n)) return false;
    t.skills.resize(size_t(n));
    for (size_t i = 0; i < t.skills.size(); ++i) {
        in.SetRecord(std::int64_t(i));
        SkillRow& r = t.skills[i];
        const size_t nAt = in.Position();
        std::int32_t w[13];
        if (!ReadI32s(in, w, 13)) return false;
        check.Check("skill", std::int64_t(i), w, nAt, kSkillRanges);
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

bool ReadSkillLevels(CByteReader& in, CTableSet& t, CRangeCheck& check) {
    in.SetContext("section Skill levels");
    // As many records as skills; the count itself is not stored.
    if (!in.CheckCount(std::int64_t(t.skills.size()), kSkillLevelBytes, "record")) return false;
    t.skillLevels.resize(t.skills.size());
    for (size_t i = 0; i < t.skillLevels.size(); ++i) {
        static_assert(sizeof(SkillLevelRow) == 10 * sizeof(std::int32_t));
        const size_t nAt = in.Position();
        std::int32_t w[10];
        if (!ReadI32s(in, w, 10)) return false;
        check.Check("skill level row", std::int64_t(i), w, nAt, kSkillLevelRanges);
        std::memcpy(&t.skillLevels[i], w, sizeof(w));
    }
    return true;
}

bool ReadShops(CByteReader& in, CTableSet& t, CRangeCheck& check) {
    in.SetContext("section Shops");
    for (size_t s = 0; s < t.shops.size(); ++s) {
        const size_t nAt = in.Position();
        if (!ReadI32s(in, t.shops[s].nWord, kShopWords)) return false;
        check.Check("shop", std::int64_t(s), t.shops[s].nWord, nAt, kShopRanges);
    }
    return true;
}

bool ReadLevels(CByteReader& in, CTableSet& t, CRangeCheck& check) {
    in.SetContext("section Levels");
    if (!in.CheckCount(kMemberCount, kLevelBytes, "record")) return false;
    for (size_t m = 0; m < t.levels.size(); ++m) {
        auto& table = t.levels[m];
        table.fill(LevelRow{});
        LevelRow& r = table[0];
        const size_t nAt = in.Position();
        std::int32_t w[9];
        if (!ReadI32s(in, w, 9)) return false;
        check.Check("level row of member", std::int64_t(m), w, nAt, kLevelRanges);
        r = LevelRow{w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7], w[8]};
    }
    return true;
}

bool ReadItems(CByteReader& in, CTableSet& t, CRangeCheck& check) {
    std::int32_t n;
    if (!ReadCount(in, "Items", kItemMinBytes, &n)) return false;
    t.items.resize(size_t(n));
    for (size_t i = 0; i < t.items.size(); ++i) {
        in.SetRecord(std::int64_t(i));
        ItemRow& r = t.items[i];
        const size_t nAt = in.Position();
        std::int32_t w[11];
        if (!ReadI32s(in, w, 11)) return false;
        check.Check("item", std::int64_t(i), w, nAt, kItemRanges);
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

bool ReadTasks(CByteReader& in, CTableSet& t, CRangeCheck&) {
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

bool ReadPeiFang(CByteReader& in, CTableSet& t, CRangeCheck& check) {
    std::int32_t n;
    if (!ReadCount(in, "Recipes", kPeiFangBytes, &n)) return false;
    t.peiFang.resize(size_t(n));
    for (size_t i = 0; i < t.peiFang.size(); ++i) {
        const size_t nAt = in.Position();
        std::int32_t w[17];
        if (!ReadI32s(in, w, 17)) return false;
        check.Check("recipe", std::int64_t(i), w, nAt, kRecipeRanges);
        static_assert(sizeof(PeiFangRow) == sizeof(w));
        std::memcpy(&t.peiFang[i], w, sizeof(w));
    }
    return true;
}

bool ReadPeiFangItems(CByteReader& in, CTableSet& t, CRangeCheck&) {
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

using SectionReader = bool (*)(CByteReader& in, CTableSet& t, CRangeCheck& check);

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
                  const std::function<void(const char*)>& log, std::vector<std::string>* pProblems) {
    CByteReader in(pData, nSize, "Base.dat");
    CTableSet t;
    std::vector<std::string> problems;
    CRangeCheck check(&problems);
    // Each group's line goes out before its sections and "OK" right after them, so a
    // log cut short by a crash still shows where reading was.
    bool bOk = true;
    for (const BaseDataGroup& g : kBaseDataGroups) {
        if (log) log(g.pszLine);
        for (size_t i = 0; i < g.nSteps && bOk; ++i) bOk = g.steps[i](in, t, check) && !in.Failed();
        if (!bOk) break;
        if (log) log("OK\r\n");
    }
    if (!bOk || in.Failed()) {
        if (pError != nullptr) *pError = in.Error();
        *pTables = CTableSet();
        return false;
    }
    *pTables = std::move(t);
    check.Flush();
    if (pProblems != nullptr) *pProblems = std::move(problems);
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
