#include "tools/gamekit/GameDataWriters.h"

#include "platform/Stream.h"

namespace {

// Sections 1, 2, 7 and 8 store a length and the bytes.
void PutText(CByteWriter& out, const std::string& s) {
    out.WriteU32(std::uint32_t(s.size()));
    out.WriteText(s);
}

// Section 3 stores the length without the zero, then the bytes and the zero.
void PutTextWithZero(CByteWriter& out, const std::string& s) {
    out.WriteU32(std::uint32_t(s.size()));
    out.WriteText(s);
    out.WriteU8(0);
}

}  // namespace

std::vector<std::uint8_t> BuildBaseDat(const GameModel& m) {
    CByteWriter out;

    // 1: enemy characters.
    out.WriteI32(std::int32_t(m.enemies.size()));
    for (const EnemyModel& e : m.enemies) {
        PutText(out, e.strDescription);
        out.WriteI32(e.nNo);
        out.WriteI32(e.nSkill1);
        out.WriteI32(e.nSkill2);
        out.WriteI32(e.nId);
        out.WriteI32(e.nLife);
        out.WriteI32(e.nMana);
        out.WriteI32(e.nLevel);
        out.WriteI32(e.nAttack);
        out.WriteI32(e.nDefance);
        out.WriteI32(e.nSkillAttackProbability);
        out.WriteI32(e.nRunAway);
        out.WriteI32(e.nChangSceneResume);
        out.WriteI32(e.nNpcType);
        out.WriteI32(e.nSculpt);
        out.WriteI32(e.nSoundNo);
        out.WriteI32(e.nSoundTime);
        PutText(out, e.strName);
        out.WriteI32(e.nEnableKilled);
    }

    // 2: the 200 scene names and music numbers.
    for (const SceneModel& s : m.scenes) {
        PutText(out, s.strName);
        out.WriteI32(s.nMusic);
    }

    // 3: skills, name before description.
    out.WriteI32(std::int32_t(m.skills.size()));
    for (const SkillModel& s : m.skills) {
        for (std::int32_t v : {s.nAttack, s.nDefance, s.nCelerity, s.nMana, s.nDirection, s.nNpcType, s.nEffectSound,
                               s.nPicNo, s.nSkillNo, s.nType, s.nNo, s.nNeedTime, s.nAttackType}) {
            out.WriteI32(v);
        }
        PutTextWithZero(out, s.strName);
        PutTextWithZero(out, s.strDescription);
    }

    // 4: one skill-level record per skill, no count.
    for (size_t i = 0; i < m.skills.size(); ++i) {
        if (i < m.skillLevels.size()) {
            const SkillLevelModel& l = m.skillLevels[i];
            out.WriteI32(std::int32_t(i));
            for (std::int32_t v : l.nAddAttack) out.WriteI32(v);
            for (std::int32_t v : l.nAddTime) out.WriteI32(v);
            for (std::int32_t v : l.nNeedNum) out.WriteI32(v);
        } else {
            for (int k = 0; k < 10; ++k) out.WriteI32(0);
        }
    }

    // 5: 16 shop blocks of 401 words; entry j lists item j + 1.
    for (const ShopModel& shop : m.shops) {
        std::vector<std::int32_t> words(401, 0);
        for (size_t j = 0; j < shop.entries.size() && j < 100; ++j) {
            words[101 + j] = shop.entries[j].nQuantity;
            words[201 + j] = shop.entries[j].nPriceIn;
            words[301 + j] = shop.entries[j].nPriceOut;
        }
        for (std::int32_t v : words) out.WriteI32(v);
    }

    // 6: row 0 of each member's level table.
    for (const LevelModel& l : m.levels) {
        for (std::int32_t v : {l.nLevel, l.nAttack, l.nDefence, l.nLife, l.nMana, l.nExperience, l.nCelerity,
                               l.nSkillNum, l.nAge}) {
            out.WriteI32(v);
        }
    }

    // 7: items.
    out.WriteI32(std::int32_t(m.items.size()));
    for (const ItemModel& it : m.items) {
        for (std::int32_t v : {it.nType, it.nTypeOnGround, it.nSkillNum, it.nAttack, it.nDefence, it.nLife, it.nMana,
                               it.nLevel, it.nSkill, it.nCelerity, it.nGirdNum}) {
            out.WriteI32(v);
        }
        for (std::uint8_t f : it.bFit) out.WriteU8(f);
        PutText(out, it.strName);
        for (const std::string& d : it.strDescription) PutText(out, d);
    }

    // 8: tasks, name before description.
    out.WriteI32(std::int32_t(m.tasks.size()));
    for (const TaskModel& t : m.tasks) {
        PutText(out, t.strName);
        PutText(out, t.strDescription);
    }

    // 9: recipes; the count of kind 13 comes before the product.
    out.WriteI32(std::int32_t(m.peiFang.size()));
    for (const PeiFangModel& p : m.peiFang) {
        out.WriteI32(p.nId);
        out.WriteI32(p.nPeiFangNo);
        for (std::int32_t v : p.nItemNum) out.WriteI32(v);
        out.WriteI32(p.nNewItemNo);
        out.WriteI32(p.nNewItemNum);
    }

    // 10: recipe items.
    out.WriteI32(std::int32_t(m.peiFangItems.size()));
    for (const PeiFangItemModel& p : m.peiFangItems) {
        out.WriteI32(p.nId);
        out.WriteI32(p.nItemNo);
    }
    return out.TakeBytes();
}
