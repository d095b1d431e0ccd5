#include "gamedata/FightNpcTable.h"

#include <algorithm>

std::vector<FightNpcRow> BuildFightNpcRows(const std::vector<EnemyNpcRow>& enemies) {
    const size_t nRows = std::min(enemies.size(), size_t(kFightNpcTableRows));
    std::vector<FightNpcRow> rows(nRows);
    for (size_t n = 0; n < nRows; ++n) {
        const EnemyNpcRow& e = enemies[n];
        FightNpcRow& r = rows[n];
        r.nRunAway = e.nRunAway;
        r.nAttack = e.nAttack;
        r.nDefence = e.nDefance;
        r.pDescription = e.pDescription;
        r.nId = e.nId;
        r.nLevel = e.nLevel;
        r.nLife = e.nLife;
        r.pName = e.pName;
        r.nNo = e.nNo;
        r.nProbability = e.nSkillAttackProbability;
        r.nSkill = e.nSkill1;
        r.nSculpt = e.nSculpt;
        r.nRecover = 45;
        r.nNormalAttack = 76;
        r.nMoney = 10 * e.nLevel;
        r.nExperience = 10 * e.nLevel;
    }
    return rows;
}
