#include "world/PlayerRecord.h"

#include "platform/Stream.h"
#include "world/MapFile.h"

#include <algorithm>
#include <string>

namespace {

constexpr int kSculptLimit = 300;
constexpr int kSkillLevelMax = 7;

void WriteWords(CByteWriter& out, const std::int32_t* p, int n) {
    for (int i = 0; i < n; ++i) out.WriteI32(p[i]);
}

bool ReadWords(CByteReader& in, std::int32_t* p, int n) {
    for (int i = 0; i < n; ++i) {
        if (!in.ReadI32(&p[i])) return false;
    }
    return true;
}

int ItemOrNone(int n) { return n >= 0 && n < kHeroItemCount ? n : -1; }

// A hero record names items, skills and cells by number; a number out of range would
// index past a table, so it becomes "none".
void RepairNumbers(HeroRecord* r) {
    for (std::int32_t* p : {&r->nEquip0, &r->nEquip1, &r->nEquip2, &r->nEquip3, &r->nEquip4, &r->nEquip5,
                            &r->nEquipSixth, &r->nThrownItem}) {
        *p = ItemOrNone(*p);
    }
    for (std::int32_t& n : r->nQuickSlot) n = ItemOrNone(n);
    if (r->nSelectedSkill < 0 || r->nSelectedSkill >= kHeroSkillCount) r->nSelectedSkill = -1;
    for (std::int32_t& n : r->nSkillLevel) {
        if (n < 0 || n > kSkillLevelMax) n = 0;
    }
    for (std::int32_t& n : r->nItemCount) n = std::clamp(n, 0, kHeroMaxItemCount);
    if (r->nMoney < 0) r->nMoney = 0;
    r->nDirection = ((r->nDirection % 8) + 8) % 8;
    if (r->nStance != 0) r->nStance = 1;
    if (r->nLevel < 0) r->nLevel = 0;
}

// The item counts above 0 ask for a bag table each after the fixed fields; the file
// must hold them, the rest of the record and the nBytesAfter bytes that follow it.
// Without the room, the tables would be read from what follows, and the file would
// end short somewhere later: the counts that asked for the tables are named here.
bool CheckBagRoom(CByteReader& in, const HeroRecord& r, size_t nRecordAt, size_t nBytesAfter) {
    int nHeld = 0;
    std::string strItems;
    for (int i = 0; i < kHeroItemCount; ++i) {
        if (r.nItemCount[i] <= 0) continue;
        if (++nHeld <= 3) {
            strItems += (nHeld > 1 ? ", item " : "item ") + std::to_string(i) + ": count " +
                        std::to_string(r.nItemCount[i]) + " at offset " +
                        std::to_string(nRecordAt + kHeroItemCountOffset + 4 * size_t(i));
        }
    }
    const size_t nNeeded = kHeroBagTableBytes * size_t(nHeld) + kHeroRecordTailBytes + nBytesAfter;
    if (nHeld == 0 || in.Remaining() >= nNeeded) return true;
    if (nHeld > 3) strItems += " and " + std::to_string(nHeld - 3) + " more";
    return in.Fail("ran short at offset " + std::to_string(in.Position()) + ": the item counts above 0 (" + strItems +
                   ") ask for " + std::to_string(nHeld) + (nHeld == 1 ? " bag table" : " bag tables") + " of " +
                   std::to_string(kHeroBagTableBytes) +
                   " bytes, which with the rest of the record and what follows it need " + std::to_string(nNeeded) +
                   " bytes; " + std::to_string(in.Remaining()) + " remain");
}

// The fixed fields, everything before the bag tables.
bool ReadFixedFields(CByteReader& in, HeroRecord* pRecord) {
    HeroRecord& r = *pRecord;
    in.ReadI32(&r.nSkillPoints);
    in.ReadI32(&r.nLevel);
    ReadWords(in, r.nSkillKnown, kHeroSkillCount);
    ReadWords(in, r.nSkillLevel, kHeroSkillCount);
    ReadWords(in, r.nItemCount, kHeroItemCount);
    for (std::int32_t* p : {&r.nPartyMask, &r.nAge, &r.nLife, &r.nLifeMax, &r.nMoney, &r.nMana, &r.nManaMax,
                            &r.nStamina, &r.nStaminaMax, &r.nLevelLife, &r.nLevelMana, &r.nExperience, &r.nEquip3,
                            &r.nEquip2, &r.nWalkStep}) {
        in.ReadI32(p);
    }
    ReadWords(in, r.nTaskState, kHeroTaskCount);
    for (InlayRecord& b : r.inlay) {
        for (std::int32_t* p : {&b.nAttack, &b.nDefence, &b.nStaminaMax, &b.nLink}) in.ReadI32(p);
    }
    for (std::int32_t* p : {&r.nDirection, &r.nEquip1, &r.nEquip5, &r.nEquipSixth, &r.nEquip0, &r.nEquip4,
                            &r.nCounterA, &r.nCounterB, &r.ptPos.x, &r.ptPos.y}) {
        in.ReadI32(p);
    }
    ReadWords(in, r.nBattleBonus, 3);
    in.ReadI32(&r.nMember);
    in.ReadI32(&r.nKind);
    ReadWords(in, r.nQuickSlot, kHeroQuickSlots);
    for (std::int32_t* p : {&r.nThrownItem, &r.nThrownCount, &r.nAttack, &r.nDefence, &r.nSelectedSkill,
                            &r.nStance}) {
        in.ReadI32(p);
    }
    return !in.Failed();
}

// Refuses fixed fields the game cannot work with, naming the field and its offset.
bool CheckFixedFields(CByteReader& in, const HeroRecord& r, size_t nRecordAt) {
    auto at = [nRecordAt](size_t nField) { return std::to_string(nRecordAt + nField); };
    // The bag tables follow for the items whose count, as stored, is above 0; the
    // level and bag tables they go into are indexed by level and member.
    if (r.nLevel > kHeroMaxLevel) {
        return in.Fail("level " + std::to_string(r.nLevel) + " at offset " + at(kHeroLevelOffset) + " is above " +
                       std::to_string(kHeroMaxLevel));
    }
    if (r.nMember < 0 || r.nMember > 3) {
        return in.Fail("member " + std::to_string(r.nMember) + " at offset " + at(kHeroMemberOffset) +
                       " is outside 0..3");
    }
    if (r.nKind != kHeroKindMouse && r.nKind != kHeroKindComputer) {
        return in.Fail("kind " + std::to_string(r.nKind) + " at offset " + at(kHeroKindOffset) +
                       " is neither 14 nor 15");
    }
    // Statistics are summed, doubled and multiplied by the level in 32 bits: they stay
    // within a range where that cannot overflow.
    const struct {
        const char* pszName;
        std::int32_t nValue;
        size_t nAt;
    } stats[] = {
        {"life maximum", r.nLifeMax, 824}, {"mana", r.nMana, 832}, {"mana maximum", r.nManaMax, 836},
        {"stamina", r.nStamina, 840}, {"stamina maximum", r.nStaminaMax, 844}, {"level life", r.nLevelLife, 848},
        {"level mana", r.nLevelMana, 852}, {"battle bonus 0", r.nBattleBonus[0], 2912},
        {"battle bonus 1", r.nBattleBonus[1], 2916}, {"battle bonus 2", r.nBattleBonus[2], 2920},
        {"attack", r.nAttack, 2972}, {"defence", r.nDefence, 2976}};
    for (const auto& stat : stats) {
        if (stat.nValue >= -kHeroStatLimit && stat.nValue <= kHeroStatLimit) continue;
        return in.Fail(std::string(stat.pszName) + " " + std::to_string(stat.nValue) + " at offset " + at(stat.nAt) +
                       " is outside " + std::to_string(-kHeroStatLimit) + ".." + std::to_string(kHeroStatLimit));
    }
    // The life bar is drawn as life over maximum: a life outside 0..maximum is damage.
    if (r.nLife < 0 || r.nLife > r.nLifeMax) {
        return in.Fail("life " + std::to_string(r.nLife) + " at offset " + at(kHeroLifeOffset) +
                       (r.nLife < 0 ? std::string(" is negative")
                                    : " is above the maximum " + std::to_string(r.nLifeMax) + " at offset " +
                                          at(kHeroLifeOffset + sizeof(std::int32_t))));
    }
    // A step is walked in one update, as far as a character of a setting file may walk.
    if (r.nWalkStep < -kMaxStepPixels || r.nWalkStep > kMaxStepPixels) {
        return in.Fail("walk step " + std::to_string(r.nWalkStep) + " at offset " + at(kHeroWalkStepOffset) +
                       " is outside " + std::to_string(-kMaxStepPixels) + ".." + std::to_string(kMaxStepPixels));
    }
    // The hero is drawn, hit and walked from his position: it lies on a map.
    for (int i = 0; i < 2; ++i) {
        const std::int32_t v = i == 0 ? r.ptPos.x : r.ptPos.y;
        if (IsMapPosition(v)) continue;
        return in.Fail(std::string("position ") + (i == 0 ? "x " : "y ") + std::to_string(v) + " at offset " +
                       at(kHeroPositionOffset + 4 * size_t(i)) + " is outside the map");
    }
    return true;
}

}  // namespace

HeroRecord::HeroRecord() {
    for (auto& table : nBagCell) std::fill(std::begin(table), std::end(table), -1);
}

void WriteHeroRecord(const HeroRecord& r, CByteWriter& out) {
    out.WriteI32(r.nSculpt);
    out.WriteI32(r.nSkillPoints);
    out.WriteI32(r.nLevel);
    WriteWords(out, r.nSkillKnown, kHeroSkillCount);
    WriteWords(out, r.nSkillLevel, kHeroSkillCount);
    WriteWords(out, r.nItemCount, kHeroItemCount);
    for (std::int32_t n : {r.nPartyMask, r.nAge, r.nLife, r.nLifeMax, r.nMoney, r.nMana, r.nManaMax, r.nStamina,
                           r.nStaminaMax, r.nLevelLife, r.nLevelMana, r.nExperience, r.nEquip3, r.nEquip2,
                           r.nWalkStep}) {
        out.WriteI32(n);
    }
    WriteWords(out, r.nTaskState, kHeroTaskCount);
    for (const InlayRecord& b : r.inlay) {
        for (std::int32_t n : {b.nAttack, b.nDefence, b.nStaminaMax, b.nLink}) out.WriteI32(n);
    }
    for (std::int32_t n : {r.nDirection, r.nEquip1, r.nEquip5, r.nEquipSixth, r.nEquip0, r.nEquip4, r.nCounterA,
                           r.nCounterB, r.ptPos.x, r.ptPos.y}) {
        out.WriteI32(n);
    }
    WriteWords(out, r.nBattleBonus, 3);
    out.WriteI32(r.nMember);
    out.WriteI32(r.nKind);
    WriteWords(out, r.nQuickSlot, kHeroQuickSlots);
    for (std::int32_t n : {r.nThrownItem, r.nThrownCount, r.nAttack, r.nDefence, r.nSelectedSkill, r.nStance}) {
        out.WriteI32(n);
    }
    for (int i = 0; i < kHeroItemCount; ++i) {
        if (r.nItemCount[i] > 0) WriteWords(out, r.nBagCell[i], kHeroBagCells);
    }
    WriteWords(out, r.nSkillUses, kHeroSkillCount);
    out.WriteI32(r.nSavedWord);
    out.WriteU8(r.bSavedFlag);
    out.WriteBytes(r.bFlags, 4);
}

bool ParseHeroSculpt(CByteReader& in, std::int32_t* pSculpt) {
    in.SetContext("hero record");
    if (!in.ReadI32(pSculpt)) return false;
    if (*pSculpt < -1 || *pSculpt >= kSculptLimit) *pSculpt = -1;
    return true;
}

bool ParseHeroRecordBody(CByteReader& in, HeroRecord* pRecord, size_t nBytesAfter) {
    HeroRecord& r = *pRecord;
    in.SetContext("hero record");
    // Offsets in the messages are the file's: the body starts after the sculpt word.
    const size_t nRecordAt = in.Position() >= sizeof(std::int32_t) ? in.Position() - sizeof(std::int32_t) : 0;
    if (!ReadFixedFields(in, &r) || !CheckFixedFields(in, r, nRecordAt) || !CheckBagRoom(in, r, nRecordAt, nBytesAfter))
        return false;
    in.SetContext("hero record bag table of item");
    for (int i = 0; i < kHeroItemCount; ++i) {
        if (r.nItemCount[i] <= 0) continue;
        in.SetRecord(i);
        if (!ReadWords(in, r.nBagCell[i], kHeroBagCells)) return false;
        for (std::int32_t& n : r.nBagCell[i]) {
            if (n < -1 || n >= kHeroBagCells) n = -1;
        }
    }
    in.SetContext("hero record");
    ReadWords(in, r.nSkillUses, kHeroSkillCount);
    in.ReadI32(&r.nSavedWord);
    in.ReadU8(&r.bSavedFlag);
    in.ReadBytes(r.bFlags, 4);
    if (in.Failed()) return false;
    RepairNumbers(&r);
    return true;
}

bool ParseHeroRecord(CByteReader& in, HeroRecord* pRecord, size_t nBytesAfter) {
    return ParseHeroSculpt(in, &pRecord->nSculpt) && ParseHeroRecordBody(in, pRecord, nBytesAfter);
}
