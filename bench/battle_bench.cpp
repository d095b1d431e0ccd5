// One pass of a 4-against-4 battle: the background, eight animated fighters, two
// running effects, four rising damage numbers, the status boxes and an open skill list
// with a hovered row, into the 800 x 600 16-bit back buffer, beside a plain memcpy of
// one frame. The frame is not presented. (The list's tooltip is drawn by the main
// window's menu manager, which the benchmark does not build.)
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "battle/Fight.h"
#include "bench/BenchWorld.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/Offscreen.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/PkgWriters.h"
#include "tools/gamekit/TgaWriters.h"
#include "world/EffectAnim.h"
#include "world/EffectManager.h"
#include "world/Player.h"

namespace {

constexpr int kScreenW = 800, kScreenH = 600;
constexpr int kSkills = 90;

void WritePictures(const std::string& strDir) {
    std::vector<PkgEntryData> menu;
    menu.push_back({"001.bmp", BuildBmp(PaintPanel("001.bmp", 800, 600))});
    for (const char* name : {"me0FMain.bmp", "me0FLine.bmp", "me0FItem.bmp", "me0FAttack.bmp", "me0FDefance.bmp",
                             "me0FStunt.bmp", "FightVir.bmp", "me0FEXIT.bmp"})
        menu.push_back({name, BuildBmp(PaintPanel(name, 160, 190))});
    menu.push_back({"me0FightBlood.bmp", BuildBmp(PaintPanel("me0FightBlood.bmp", 118, 18))});
    menu.push_back({"me0FMain3.bmp", BuildBmp(PaintPanel("me0FMain3.bmp", 240, 40))});
    menu.push_back({"FightHead.bmp", BuildBmp(PaintPanel("FightHead.bmp", 93 * 14, 85))});
    menu.push_back({"Icon.bmp", BuildBmp(PaintPanel("Icon.bmp", 40, 20))});
    for (const char* name : {"me007.bmp", "me0073.bmp"}) menu.push_back({name, BuildBmp(PaintPanel(name, 31, 18))});
    menu.push_back({"me0FOK.bmp", BuildBmp(PaintPanel("me0FOK.bmp", 95, 25))});
    const SamplePictureOptions options{.nItemCount = 1, .nFaceCount = 1, .nSceneCount = 1, .sculpts = {0},
                                       .nActions = 1, .nFramesPerDirection = 1, .nEffects = 2, .nEffectFrames = 8,
                                       .extraEntries = {{"menu.pkg", menu}}};
    std::string strError;
    if (!WriteSamplePictures(strDir, options, &strError)) std::fprintf(stderr, "battle_bench: %s\n", strError.c_str());
    // Full-size fighter frames for the party's set and the enemies' set.
    NpcPkgModel npc;
    for (int s : {1, 20})
        for (int a : {0, 3, 20, 21, 22}) {
            NpcActionFrames& act = npc[{s, a}];
            act.nCount = 4;
            for (int d = 0; d < 8; ++d)
                for (int f = 0; f < 4; ++f) act.frames.push_back(BuildRleTga32(PaintCharacter(s, a, d, f)));
        }
    WriteBytesToFile((strDir + "/bmp/npc.pkg").c_str(), BuildNpcPkg(npc));
}

double g_fPassMs = 0, g_fMemcpyUs = 0;

void RunPass(benchmark::State& state, CGameData& data) {
    CDXScreen screen;
    pScreen = &screen;
    auto pBackSurface = MakeOffscreen565(screen, kScreenW, kScreenH);
    pBack = pBackSurface.get();
    // Skills: the members' blows and a list of ten on the first tab.
    std::vector<SkillRow> skills(kSkills);
    for (int k = 0; k < kSkills; ++k) skills[size_t(k)] = SkillRow{.nMana = 3, .nPicNo = k % 2, .nType = 2, .pName = "Skill"};
    data.pSkill = skills.data();
    data.nSkillCount = kSkills;
    std::vector<FightNpcRow> enemies(4, FightNpcRow{.nRunAway = 1, .nAttack = 20, .nLife = 100000, .nRecover = 45,
                                                    .nSculpt = 20, .nNormalAttack = 76});
    data.pFightNpc = enemies.data();
    data.nFightNpcCount = 4;
    std::vector<LevelRow> levels(102, LevelRow{.nAttack = 10, .nDefence = 5, .nLife = 100, .nMana = 40});
    for (auto& p : data.pLevel) p = levels.data();
    CPlayer hero, members[4];
    hero.nPartyMask = 0xF;
    for (int m = 0; m < 4; ++m) {
        CPlayer& p = m == 0 ? hero : members[m];
        p.nLife = 100;
        p.nMana = 40;
        for (int k = 10; k < 20; ++k) p.nSkillKnown[k] = 1;
        hero.pPartyMembers[m] = &p;
    }
    pPlayer = &hero;
    CMouse mouse;
    pMouse = &mouse;
    {
        CFight fight;
        const int foes[] = {0, 1, 2, 3, -2};
        fight.Init(1, foes, 5);
        // Member id 4 has no record: the fourth party slot is filled by hand.
        CFightChar& fourth = *fight.pChar[3];
        fourth.AniNo = 1;
        fourth.nMember = 3;
        fourth.Init();
        fight.BuildLists();
        for (int s = 0; s < kFightSlots; ++s) {
            fight.pChar[s]->Action = kActStand;
            fight.pChar[s]->FrameCount = 4;
            fight.pChar[s]->bContinue = 0;  // the gauges stand: the list stays open
        }
        fight.ActiveNpc = 0;
        fight.SetMenuState(kMenuSkills);
        fight.bTurnGate = 0;
        mouse.m_nX = fight.pMenu->ptList.x + 50;
        mouse.m_nY = fight.pMenu->ptList.y + 50;
        // Two blows on their way; they are held at their first frames below.
        const int blows[2][3] = {{4, 0, 10}, {5, 1, 11}};
        for (const auto& blow : blows) {
            fight.PendingAttacker = blow[0];
            fight.PendingTarget = blow[1];
            fight.PendingSkill = blow[2];
            fight.LaunchEffect();
        }
        const auto t0 = std::chrono::steady_clock::now();
        for (auto _ : state) {
            state.PauseTiming();
            for (CEffectAnim* p = pEffectManager->First(); p; p = p->m_pNext) p->m_nFrame = 0;
            for (int s : {0, 1, 4, 5}) {
                fight.pChar[s]->nDamage = -25;
                fight.pChar[s]->dwDamageTime = dwNowTime;
            }
            state.ResumeTiming();
            AdvanceVirtualClock(20);
            fight.Pass();
            benchmark::ClobberMemory();
        }
        const double fSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        g_fPassMs = fSeconds * 1000 / double(state.iterations());
    }
    pMouse = nullptr;
    pPlayer = nullptr;
    data.pSkill = nullptr;
    data.nSkillCount = 0;
    data.pFightNpc = nullptr;
    data.nFightNpcCount = 0;
    for (auto& p : data.pLevel) p = nullptr;
    pBack = nullptr;
    pBackSurface.reset();
    pScreen = nullptr;
}

void RunMemcpy(benchmark::State& state) { RunFrameMemcpy(state, kScreenW, kScreenH, &g_fMemcpyUs); }

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CBenchWorld world("battlebench", EnemyNpcRow{.nLife = 100}, WritePictures);
    CGameData& data = *pGameData;
    auto pEffects = std::make_unique<CEffectManager>();
    pEffectManager = pEffects.get();
    benchmark::RegisterBenchmark("battle/pass", [&](benchmark::State& s) { RunPass(s, data); })->MinTime(1.0);
    benchmark::RegisterBenchmark("memcpy/800x600x2", RunMemcpy)->MinTime(0.5);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("\nBattle pass, 800 x 600 16-bit, 4 against 4, skill list open, 2 effects, 4 numbers; target 2 ms\n");
    std::printf("%-12s %10s %12s %8s %s\n", "pass", "ms/pass", "memcpy us", "ratio", "target");
    std::printf("%-12s %10.3f %12.1f %7.1fx %s\n", "battle", g_fPassMs, g_fMemcpyUs,
                g_fMemcpyUs > 0 ? g_fPassMs * 1000 / g_fMemcpyUs : 0.0, g_fPassMs < 2.0 ? "met" : "missed");
    pEffectManager = nullptr;
    benchmark::Shutdown();
    return 0;
}
