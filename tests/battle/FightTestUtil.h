// A battle ready to run headless: a game folder with the picture packages, a sprite
// package of small frames for the party sets 0..3 and enemy sets 10 and 11, an effect
// package, a skill table with the normal attacks, an enemy table, a party of chosen
// size, the effect manager and the virtual clock. Draws come from a sequence.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "CDX/CDXScreen.h"
#include "battle/Fight.h"
#include "battle/FightObserver.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "shell/ShellGlobals.h"
#include "tests/TempFolder.h"
#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/PkgWriters.h"
#include "tools/gamekit/TgaWriters.h"
#include "world/EffectManager.h"
#include "world/Player.h"

namespace fighttest {

// Draws from a list, then a fixed value.
class CSequenceDraws : public CFightDraws {
public:
    std::deque<DWORD> values;
    DWORD nAfter = 2;
    DWORD Next() override {
        if (values.empty()) return nAfter;
        const DWORD n = values.front();
        values.pop_front();
        return n;
    }
};

// Draws from the game's seeded generator.
class CRandDraws : public CFightDraws {
public:
    DWORD Next() override { return DWORD(Rand()); }
};

// Presses 'A' whenever a member may act and closes every result page.
class CAutoAttacker : public CFightObserver {
public:
    void OnPass(CFight& f) override {
        if (f.bResultShown) f.OnResultRelease();
        else if (f.ActiveNpc >= 0 && f.ActiveNpc < 4) f.OnKeyUp('A');
    }
};

// An item row of the given kind and values.
inline ItemRow MakeItem(int nType, int nAttack, int nLife, int nMana, const char* pszName = "item") {
    ItemRow row;
    row.nType = nType;
    row.nAttack = nAttack;
    row.nLife = nLife;
    row.nMana = nMana;
    row.pName = pszName;
    return row;
}

inline std::vector<std::uint8_t> Square(int nSize, std::uint32_t argb) {
    return BuildRleTga32(PictureRgba(nSize, nSize, argb));
}

struct FightWorld {
    int nPartySize = 2;
    // Sprite sets written to the sprite package and the actions they get.
    std::set<int> sets{0, 1, 2, 3, 10, 11};
    std::vector<int> actions{0, 1, 2, 3, 4, 7, 8, 9, 19, 20, 21, 22, 23, 24};
    int nFrames = 2;
    bool bBackground = true;
    bool bDamagedBackground = false;  // 001.bmp there but not a picture
    bool bMenuPictures = true;
    // Effects of the effect package (skill k shows effect k % count); 0 frames leaves
    // an effect without pictures.
    int nEffects = 4;
    int nEffectFrames = 2;
};

class FightTest : public ::testing::Test {
protected:
    static constexpr int kSkills = 90;

    virtual FightWorld World() const { return {}; }

    void SetUp() override {
        world = World();
        UseVirtualClock(true, 1000, 20);
        dwNowTime = TimeGetTime();
        dwStepTime = dwNowTime;
        std::vector<PkgEntryData> menu;
        if (world.bBackground) menu.push_back({"001.bmp", BuildBmp(PictureRgba(64, 48, 0xFF203040u))});
        if (world.bDamagedBackground) menu.push_back({"001.bmp", std::vector<std::uint8_t>(40, 0x5A)});
        if (world.bMenuPictures) {
            for (const char* name : {"me0FMain.bmp", "me0FLine.bmp", "me0FightBlood.bmp", "me0FItem.bmp",
                                     "me0FAttack.bmp", "me0FDefance.bmp", "me0FStunt.bmp", "FightVir.bmp",
                                     "me0FEXIT.bmp"})
                menu.push_back({name, BuildBmp(PaintPanel(name, 150, 190))});
            menu.push_back({"me0FMain3.bmp", BuildBmp(PaintPanel("me0FMain3.bmp", 240, 40))});
            menu.push_back({"FightHead.bmp", BuildBmp(PaintPanel("FightHead.bmp", 93 * 14, 85))});
            menu.push_back({"Icon.bmp", BuildBmp(PaintPanel("Icon.bmp", 40, 20))});
            menu.push_back({"me007.bmp", BuildBmp(PaintPanel("me007.bmp", 31, 18))});
            menu.push_back({"me0073.bmp", BuildBmp(PaintPanel("me0073.bmp", 31, 18))});
            menu.push_back({"me0FOK.bmp", BuildBmp(PaintPanel("me0FOK.bmp", 95, 25))});
        }
        // The raise pictures, four of each raise.
        std::vector<PkgEntryData> vesk;
        for (const char* pszFormat : {"L%02d.tga", "C%02d.tga", "P%02d.tga", "Y%02d.tga"})
            for (int n = 0; n < 4; ++n) {
                char szName[16];
                std::snprintf(szName, sizeof szName, pszFormat, n);
                vesk.push_back({szName, Square(6, 0xFF40FF40u)});
            }
        const SamplePictureOptions options{.nItemCount = 1, .nFaceCount = 1, .nSceneCount = 1, .sculpts = {0},
                                           .nActions = 1, .nFramesPerDirection = 1, .nEffects = 1,
                                           .nEffectFrames = 1,
                                           .extraEntries = {{"menu.pkg", menu}, {"Vesk.pkg", vesk}}};
        std::string strError;
        ASSERT_TRUE(WriteSamplePictures(folder.Path(), options, &strError)) << strError;
        NpcPkgModel npc;
        for (int s : world.sets)
            for (int a : world.actions) {
                NpcActionFrames frames;
                frames.nCount = world.nFrames;
                for (int i = 0; i < 8 * world.nFrames; ++i) frames.frames.push_back(Square(8, 0xFF8090A0u));
                npc[{s, a}] = frames;
            }
        folder.Write("bmp/npc.pkg", BuildNpcPkg(npc));
        std::vector<std::vector<std::vector<std::uint8_t>>> effects(size_t(world.nEffects));
        for (auto& e : effects)
            for (int f = 0; f < world.nEffectFrames; ++f) e.push_back(Square(8, 0xFFFF0000u));
        folder.Write("bmp/Effect.pkg", BuildEffectPkg(effects));

        skills.resize(kSkills);
        for (int k = 0; k < kSkills; ++k) skills[size_t(k)] = SkillRow{.nPicNo = k % world.nEffects, .nType = 2};
        data.InitPaths(folder.Path().c_str());
        data.pSkill = skills.data();
        data.nSkillCount = kSkills;
        items.resize(10);
        data.pItem = items.data();
        data.nItemCount = int(items.size());
        for (int m = 0; m < 4; ++m) {
            levels[m].resize(102);
            levels[m][0] = LevelRow{.nAttack = 10, .nDefence = 5, .nLife = 100, .nMana = 40};
            data.pLevel[m] = levels[m].data();
        }
        enemies.resize(20);
        for (int n = 0; n < 20; ++n)
            enemies[size_t(n)] = FightNpcRow{.nRunAway = 1, .nAttack = 30, .nDefence = 0, .nExperience = 20,
                                             .nLevel = 2, .nLife = 40, .nMoney = 20, .nProbability = 0,
                                             .nRecover = 45, .nSculpt = n % 2 ? 11 : 10, .nNormalAttack = 76};
        data.pFightNpc = enemies.data();
        data.nFightNpcCount = int(enemies.size());
        pGameData = &data;

        ASSERT_EQ(screen.CreateWindowed(nullptr, 800, 600), 0);
        pScreen = &screen;
        pBack = screen.GetBack();
        ASSERT_TRUE(store.Init()) << store.GetError();
        pBitmapData = &store;
        pEffectManager = &effects_;

        hero.nPartyMask = 0;
        for (int m = 0; m < world.nPartySize && m < 4; ++m) {
            CPlayer& p = m == 0 ? hero : members[m];
            p.nLife = p.nLifeMax = 100;
            p.nMana = p.nManaMax = 40;
            p.nAttack = 60;
            p.nDefence = 5;
            p.nCelerity = 8;
            hero.nPartyMask |= 1 << m;
            hero.pPartyMembers[m] = &p;
        }
        pPlayer = &hero;
    }

    void TearDown() override {
        fight.reset();
        SetFightObserver(nullptr);
        pPlayer = nullptr;
        pEffectManager = nullptr;
        pBitmapData = nullptr;
        pGameData = nullptr;
        pScreen = nullptr;
        pBack = nullptr;
    }

    // A battle against the enemy numbers given (-1 empty), with draws from the
    // sequence or the source given.
    CFight& Start(std::vector<int> foes, CFightDraws* pDraws = nullptr) {
        fight = std::make_unique<CFight>();
        fight->SetDraws(pDraws ? pDraws : &draws);
        foes.push_back(-2);
        fight->Init(1, foes.data(), int(foes.size()));
        return *fight;
    }
    CFightChar& C(int s) { return *fight->pChar[s]; }

    // Runs auto attacks to the end; the passes it took (limit + 1 when it did not end).
    std::int64_t RunAuto(std::int64_t nLimit) {
        CAutoAttacker auto_;
        SetFightObserver(&auto_);
        while (fight->nResult == 0 && fight->nPasses <= nLimit) Pass();
        SetFightObserver(nullptr);
        return fight->nResult == 0 ? nLimit + 1 : fight->nPasses;
    }
    // One pass without presenting the frame (presenting converts the whole screen,
    // which is most of a pass's time); the clock moves on as a presented frame would.
    void Pass() {
        pScreen = nullptr;
        fight->Pass();
        pScreen = &screen;
        AdvanceVirtualClock(20);
    }

    FightWorld world;
    CTempFolder folder;
    CBaseFolderGuard guard;
    CGameData data;
    std::vector<SkillRow> skills;
    std::vector<ItemRow> items;
    std::vector<LevelRow> levels[4];
    std::vector<FightNpcRow> enemies;
    CDXScreen screen;
    CBitmapData store;
    CEffectManager effects_;
    CPlayer hero;
    CPlayer members[4];
    CSequenceDraws draws;
    std::unique_ptr<CFight> fight;
};

}  // namespace fighttest
