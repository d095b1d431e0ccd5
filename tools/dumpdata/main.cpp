// dumpdata DIR [--import]: loads a game folder's options, tables, captions and area
// patterns and prints them, text as UTF-8. With --import the tables are read from
// the folder's database "QRB.mdb" instead of "data\Base.dat" (nothing is written).
#include "gamedata/DatabaseImport.h"
#include "gamedata/FightNpcTable.h"
#include "gamedata/GameData.h"
#include "platform/Charset.h"
#include "tools/gamekit/FolderArgument.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kUsage[] =
    "usage: dumpdata DIR [--import]\n  prints every table of the game folder DIR (UTF-8); --import reads them from its"
    " database\n";

std::string U(const char* p) { return TextToUtf8(p != nullptr ? p : ""); }

void PrintOptions(const GameOptions& o) {
    std::printf("== Options\n");
    std::printf("Terrain=%d FullScreen=%d ScreenWidth=%d ScreenHeight=%d ScreenBPP=%d ScreenMode=%d CanScroll=%d\n",
                o.bTerrain, o.bFullScreen, o.nScreenWidth, o.nScreenHeight, o.nScreenBPP, o.nScreenMode, o.bCanScroll);
    std::printf("DataFrom=%d PlayLeader=%d ShowEventPoint=%d Music=%d Copy=%d Scenepkg=%d\n", o.nDataFrom,
                o.nPlayLeader, o.nShowEventPoint, o.nMusic, o.nCopy, o.nScenepkg);
    std::printf("NewGame: Scene=%d PlayerX=%d PlayerY=%d PlayerSpeed=%d PlayerCloth=%d PlayerRunSpeed=%d\n", o.nScene,
                o.nPlayerX, o.nPlayerY, o.nPlayerSpeed, o.nPlayerCloth, o.nPlayerRunSpeed);
}

void PrintTables(const CTableSet& t) {
    std::printf("== Enemies (%zu)\n", t.enemies.size());
    for (size_t i = 0; i < t.enemies.size(); ++i) {
        const EnemyNpcRow& r = t.enemies[i];
        std::printf("%3zu %s [%s] ID=%d No=%d Level=%d Life=%d Mana=%d Attack=%d Defance=%d SkillProb=%d "
                    "Skill1=%d Skill2=%d RunAway=%d Sculpt=%d NpcType=%d Resume=%d SoundNo=%d SoundTime=%d "
                    "EnableKilled=%d\n",
                    i, U(r.pName).c_str(), U(r.pDescription).c_str(), r.nId, r.nNo, r.nLevel, r.nLife, r.nMana,
                    r.nAttack, r.nDefance, r.nSkillAttackProbability, r.nSkill1, r.nSkill2, r.nRunAway, r.nSculpt,
                    r.nNpcType, r.nChangSceneResume, r.nSoundNo, r.nSoundTime, r.nEnableKilled);
    }

    const std::vector<FightNpcRow> fight = BuildFightNpcRows(t.enemies);
    std::printf("== Battle enemies (%zu)\n", fight.size());
    for (size_t i = 0; i < fight.size(); ++i) {
        const FightNpcRow& r = fight[i];
        std::printf("%3zu %s Life=%d Attack=%d Defence=%d Level=%d Skill=%d Probability=%d Recover=%d "
                    "NormalAttack=%d Sculpt=%d RunAway=%d Money=%d Experience=%d\n",
                    i, U(r.pName).c_str(), r.nLife, r.nAttack, r.nDefence, r.nLevel, r.nSkill, r.nProbability,
                    r.nRecover, r.nNormalAttack, r.nSculpt, r.nRunAway, r.nMoney, r.nExperience);
    }

    std::printf("== Scenes\n");
    for (int s = 0; s < kSceneCount; ++s) {
        if (t.sceneNames[size_t(s)][0] != '\0' || t.sceneMusic[size_t(s)] != 0) {
            std::printf("%3d %s music %d\n", s, U(t.sceneNames[size_t(s)]).c_str(), t.sceneMusic[size_t(s)]);
        }
    }

    std::printf("== Skills (%zu)\n", t.skills.size());
    for (size_t i = 0; i < t.skills.size(); ++i) {
        const SkillRow& r = t.skills[i];
        const SkillLevelRow& l = t.skillLevels[i];
        std::printf("%3zu %s [%s] Attack=%d Defance=%d Celerity=%d Mana=%d Direction=%d NpcType=%d EffectSound=%d "
                    "PicNo=%d SkillNo=%d Type=%d No=%d NeedTime=%d AttackType=%d\n",
                    i, U(r.pName).c_str(), U(r.pDescription).c_str(), r.nAttack, r.nDefance, r.nCelerity, r.nMana,
                    r.nDirection, r.nNpcType, r.nEffectSound, r.nPicNo, r.nSkillNo, r.nType, r.nNo, r.nNeedTime,
                    r.nAttackType);
        std::printf("    level row %d: attack %d/%d/%d time %d/%d/%d need %d/%d/%d\n", l.nNo, l.nAddAttackOne,
                    l.nAddAttackTwo, l.nAddAttackThree, l.nAddTimeOne, l.nAddTimeTwo, l.nAddTimeThree, l.nNeedNumFirst,
                    l.nNeedNumSecond, l.nNeedNumThird);
    }

    std::printf("== Shops\n");
    for (int s = 0; s < kShopCount; ++s) {
        ShopTable shop = t.shops[size_t(s)];
        std::printf("shop %d:", s);
        for (int k = 1; k <= kShopItems; ++k) {
            if (shop.Quantity(k) != 0 || shop.PriceIn(k) != 0 || shop.PriceOut(k) != 0) {
                std::printf(" item %d x%d in %d out %d;", k, shop.Quantity(k), shop.PriceIn(k), shop.PriceOut(k));
            }
        }
        std::printf("\n");
    }

    std::printf("== Levels (row 0 of each member)\n");
    for (int m = 0; m < kMemberCount; ++m) {
        const LevelRow& r = t.levels[size_t(m)][0];
        std::printf("member %d: Level=%d Attack=%d Defence=%d Life=%d Mana=%d Experience=%d Celerity=%d SkillNum=%d "
                    "Age=%d\n",
                    m, r.nLevel, r.nAttack, r.nDefence, r.nLife, r.nMana, r.nExperience, r.nCelerity, r.nSkillNum,
                    r.nAge);
    }

    std::printf("== Items (%zu)\n", t.items.size());
    for (size_t i = 0; i < t.items.size(); ++i) {
        const ItemRow& r = t.items[i];
        std::printf("%3zu %s Type=%d Ground=%d SkillNum=%d Attack=%d Defence=%d Life=%d Mana=%d Level=%d Skill=%d "
                    "Celerity=%d Gird=%d Fit=%d%d%d%d%d%d\n",
                    i, U(r.pName).c_str(), r.nType, r.nTypeOnGround, r.nSkillNum, r.nAttack, r.nDefence, r.nLife,
                    r.nMana, r.nLevel, r.nSkill, r.nCelerity, r.nGirdNum, r.bFit[0], r.bFit[1], r.bFit[2], r.bFit[3],
                    r.bFit[4], r.bFit[5]);
        for (const char* p : {r.pDescription, r.pDescription1, r.pDescription2, r.pDescription3, r.pDescription4}) {
            if (p[0] != '\0') std::printf("    %s\n", U(p).c_str());
        }
    }

    std::printf("== Tasks (%zu)\n", t.tasks.size());
    for (size_t i = 0; i < t.tasks.size(); ++i) {
        std::printf("%3zu %s: %s\n", i, U(t.tasks[i].pTaskName).c_str(), U(t.tasks[i].pDescription).c_str());
    }

    std::printf("== Recipes (%zu)\n", t.peiFang.size());
    for (size_t i = 0; i < t.peiFang.size(); ++i) {
        const PeiFangRow& r = t.peiFang[i];
        std::printf("%3zu ID=%d No=%d counts", i, r.nId, r.nPeiFangNo);
        for (std::int32_t n : r.nItemNum) std::printf(" %d", n);
        std::printf(" %d -> item %d x%d\n", r.nItem13Num, r.nNewItemNo, r.nNewItemNum);
    }

    std::printf("== Recipe items (%zu)\n", t.peiFangItems.size());
    for (size_t i = 0; i < t.peiFangItems.size(); ++i) {
        std::printf("%3zu ID=%d item %d\n", i, t.peiFangItems[i].nId, t.peiFangItems[i].nItemNo);
    }
}

void PrintCaptionsAndPatterns(const CGameData& data) {
    std::printf("== Captions (%d)\n", data.nTextCount);
    for (int i = 0; i < data.nTextCount; ++i) std::printf("%3d %s\n", i, U(data.GetText(i)).c_str());

    std::printf("== Area patterns (%d)\n", data.nAreaPatternCount);
    for (int p = 0; p < data.nAreaPatternCount; ++p) {
        const AreaPatternRow* pRow = data.GetAreaPattern(p);
        const AreaPatternTail* pTail = data.GetAreaPatternTail(p);
        std::printf("%3d origin (%d,%d) mode %d kind %d cells:", p, pRow->ptOrigin.x, pRow->ptOrigin.y, pTail->n[8],
                    pTail->n[7]);
        for (int c = 0; c < pRow->nCellCount; ++c) {
            std::printf(" (%d,%d mark %d)", pRow->pCells[c].x, pRow->pCells[c].y, pRow->pSteps[c].n[0]);
        }
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The folder argument is checked alone; the one option may follow it.
    const bool bImport = argc == 3 && std::strcmp(argv[2], "--import") == 0;
    if (const int nCode = CheckFolderArgument("dumpdata", kUsage, bImport ? 2 : argc, argv); nCode >= 0) return nCode;
    // It only reads files: no window, and no display is probed.
    setenv("GAME_HEADLESS", "1", 1);
    CGameData data;
    data.InitPaths(argv[1]);
    data.LoadOptions();
    PrintOptions(*data.pOptions);

    int nResult = 0;
    if (bImport) {
        std::string why;
        std::unique_ptr<CRecordSource> pSource = OpenDatabaseSource(data.GamePath("QRB.mdb").c_str(), &why);
        CTableSet tables;
        if (pSource && ImportTables(*pSource, &tables, &why)) {
            PrintTables(tables);
        } else {
            std::fprintf(stderr, "dumpdata: QRB.mdb: %s\n", why.c_str());
            nResult = 1;
        }
    } else if (data.ReadTableCache()) {
        PrintTables(data.Tables());
    } else {
        std::fprintf(stderr, "dumpdata: %s\n", data.GetLastError().c_str());
        nResult = 1;
    }
    if (!data.LoadTextTable()) {
        std::fprintf(stderr, "dumpdata: %s\n", data.GetLastError().c_str());
        nResult = 1;
    }
    if (!data.LoadAreaPatterns()) {
        std::fprintf(stderr, "dumpdata: %s\n", data.GetLastError().c_str());
        nResult = 1;
    }
    PrintCaptionsAndPatterns(data);
    return nResult;
}
