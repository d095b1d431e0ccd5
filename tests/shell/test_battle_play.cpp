// The sample game's two battles through the whole game, headless, in the test's own
// process: the grove's beasts (their event gives the potions and darts, teaches the
// skills and starts the battle) are fought by an input script through the lit ring, a
// strike and auto attacks to the victory panel and the map again; the master's bout
// against his golems ends on the defeat panel and the title. The harness only brings
// the heroine to each event; a battle observer records what the screenshots must show.
// A third run hovers the lists for their tooltips and shows the theft's message. Keys
// pressed in a battle stay out of the quick slots; the golems' challenge runs in the
// battle's narrow talk bar and the map talks in the wide one afterwards.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "battle/Fight.h"
#include "battle/FightObserver.h"
#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/ShellGlobals.h"
#include "tests/TempFolder.h"
#include "tests/battle/BattleShots.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/HookedGame.h"
#include "tests/shell/ShellTestUtil.h"
#include "tools/mkgame/BattleContent.h"
#include "ui/menus/TalkBar.h"
#include "ui/toolbar/GameToolBar.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

// The battle as the checks need it: the virtual time of each pass with the acting slot,
// the menu, the fighters' life and the result panel.
struct BattlePass {
    DWORD t = 0;
    int nActive = -1, nMenu = -1, nResult = 0;
    int hp[kFightSlots] = {};
    int nHeroMaxHp = 0;
    bool bShown = false;
    bool bMessage = false;  // a battle message waits for its click
};

class CBattleLog : public CFightObserver {
public:
    void OnPass(CFight& f) override {
        BattlePass p;
        p.t = TimeGetTime() - dwStart;
        p.nActive = f.ActiveNpc;
        p.nMenu = f.MenuState();
        p.nResult = f.nResult;
        for (int s = 0; s < kFightSlots; ++s) p.hp[s] = f.Filled(s) ? f.Char(s)->HP : -1;
        p.nHeroMaxHp = f.Filled(0) ? f.Char(0)->MaxHP : -1;
        p.bShown = f.bResultShown != 0;
        p.bMessage = f.Char(0) && f.Char(0)->bMessage != 0;
        passes.push_back(p);
    }
    // The first pass from t0 on that meets the test, null none.
    const BattlePass* First(DWORD t0, const std::function<bool(const BattlePass&)>& test) const {
        for (const BattlePass& p : passes)
            if (p.t >= t0 && test(p)) return &p;
        return nullptr;
    }
    DWORD dwStart = 0;
    std::vector<BattlePass> passes;
};

// Runs the sample game from its title with the script; onMap is called once a pass
// while a game is on the map (mode 3) with the time since the start.
void RunGame(const CTempFolder& folder, const std::string& strScript, const std::function<void(DWORD)>& onMap,
             CBattleLog* pLog) {
    std::string strOldDir;
    ASSERT_TRUE(EnterSampleGame(folder, &strOldDir));
    ASSERT_EQ(LoadInputScriptText(strScript, "battle play"), 0);
    pLog->dwStart = TimeGetTime();
    SetFightObserver(pLog);
    const std::string strError = RunHookedGame([&] {
        if (pGameData) onMap(TimeGetTime() - pLog->dwStart);
    });
    SetFightObserver(nullptr);
    SetCurrentDirectory(strOldDir.c_str());
    ASSERT_TRUE(strError.empty()) << strError;
}

// The title's new game, clicks that read the event's talk line (and end before the
// battle's ring comes up), shots every half second from 11000 ms, and the close.
std::string BaseScript(const std::string& strDir, DWORD dwEnd) {
    std::string text = kNewGame;
    for (DWORD t = 11500; t < 12400; t += 350)
        text += std::to_string(t) + " lbutton down 400 300\n" + std::to_string(t + 40) + " lbutton up 400 300\n";
    for (DWORD t = 11000; t < dwEnd; t += 500) text += std::to_string(t) + " shot " + strDir + std::to_string(t) + ".png\n";
    return text + std::to_string(dwEnd) + " close\n";
}

// A click at (x, y) every second from t0 until t1 (they close the result panels).
std::string ClicksEverySecond(DWORD t0, DWORD t1, int x, int y) {
    const std::string at = ' ' + std::to_string(x) + " " + std::to_string(y) + "\n";
    std::string text;
    for (DWORD t = t0; t < t1; t += 1000)
        text += std::to_string(t) + " move" + at + std::to_string(t + 20) + " lbutton down" + at +
                std::to_string(t + 60) + " lbutton up" + at;
    return text;
}

// The screenshot taken at the first half second at or after t.
std::string ShotAfter(const std::string& strDir, DWORD t) { return strDir + std::to_string((t + 499) / 500 * 500) + ".png"; }

TEST(BattlePlay, TheGrovesBeastsFallToTheRingAndAutoAttacksAndTheMapComesBack) {
    UsePrivateRuntimeFolder();
    CTempFolder folder("battle-play");
    const std::string s = folder.Path() + "/";
    constexpr DWORD kEnd = 44000;
    // On the ring: the attack button lit, pressed, the first beast picked; then 'A'
    // every 400 ms and clicks beside the fighters (nothing there) that close the
    // victory panel.
    std::string strScript = BaseScript(s, kEnd) + "12800 move 510 305\n13050 shot " + s + "lit.png\n" +
                            "13100 lbutton down 510 305\n13140 lbutton up 510 305\n"
                            "13400 move 124 350\n13450 lbutton down 124 350\n13490 lbutton up 124 350\n";
    for (DWORD t = 16000; t < 40000; t += 400) strScript += std::to_string(t) + " key up A\n";
    strScript += ClicksEverySecond(20000, 40000, 400, 120);
    CBattleLog log;
    bool bStarted = false;
    int nMoneyBefore = -1, nMoneyAfter = -1, nSceneAfter = -1, nModeAfter = -1, nLifeAfter = -1, nLifeMax = -1;
    DWORD dwBackOnMap = 0;
    RunGame(folder, strScript,
            [&](DWORD t) {
                if (!pPlayer || !pScene || pFrame->GetGameMode() != 3) return;
                if (!bStarted && t >= 10500) {
                    // To the beasts of the grove, and their event.
                    bStarted = true;
                    ASSERT_TRUE(pFrame->ChangeScene(1, 0, 100));
                    const POINT pt = pScene->GetCellPoint(11, 17);
                    pPlayer->SetMapPosAndHome(pt.x, pt.y);
                    nMoneyBefore = pPlayer->nMoney;
                    // She wears the first armour that adds life, and is whole.
                    std::int32_t nArmour = 0;
                    while (nArmour < pGameData->nItemCount &&
                           (pGameData->GetItem(nArmour)->nType != 4 || pGameData->GetItem(nArmour)->nLife < 1))
                        ++nArmour;
                    const int nOwnMax = pPlayer->nLifeMax;
                    ASSERT_EQ(pPlayer->Unequip(2, &nArmour), 1);
                    nLifeMax = pPlayer->nLife = pPlayer->nLifeMax;
                    ASSERT_GT(nLifeMax, nOwnMax);
                    ASSERT_EQ(pFrame->StartEvent(60), 60);
                } else if (bStarted && !log.passes.empty() && !dwBackOnMap) {
                    dwBackOnMap = t;
                    nMoneyAfter = pPlayer->nMoney;
                    nLifeAfter = pPlayer->nLife;
                    nSceneAfter = pFrame->m_nCurrentScene;
                    nModeAfter = pFrame->GetGameMode();
                }
            },
            &log);
    ASSERT_TRUE(bStarted);
    ASSERT_FALSE(log.passes.empty()) << "no battle";
    // The battle takes her life and its maximum as her state panel shows them, armour and all.
    EXPECT_EQ(log.passes.front().nHeroMaxHp, nLifeMax);
    EXPECT_EQ(log.passes.front().hp[0], nLifeMax);
    // The ring came up for her, and the lit attack button under the cursor.
    const BattlePass* pRing = log.First(0, [](const BattlePass& p) { return p.nActive == 0 && p.nMenu == 0; });
    ASSERT_NE(pRing, nullptr);
    ASSERT_LT(pRing->t, 12800u) << "the script's ring clicks come too early";
    CShot lit(s + "lit.png");
    ASSERT_TRUE(lit.Read());
    EXPECT_GT(lit.CountNear(RECT{492, 287, 528, 323}, kRingLitColour, 24), 300);
    int nStrokes = 0;  // the name's dark strokes on the lit button
    for (int y = 289; y < 321; ++y)
        for (int x = 494; x < 526; ++x) nStrokes += (lit.Pixel(x, y) >> 16) < 200 && ((lit.Pixel(x, y) >> 8) & 0xFF) < 120;
    EXPECT_GT(nStrokes, 20) << "the attack button has no name";
    // Her strike on the first beast, with its "-n" over it.
    const BattlePass* pHit = log.First(13500, [](const BattlePass& p) { return p.hp[4] >= 0 && p.hp[4] < 40; });
    ASSERT_NE(pHit, nullptr) << "the strike never landed";
    CShot strike(ShotAfter(s, pHit->t));
    ASSERT_TRUE(strike.Read()) << strike.Path();
    EXPECT_GT(CountYellowish(strike, 115, 240, 80, 70), 10) << strike.Path();
    // The first beast to fall lies on the ground at its place (its feet at (124, 405)):
    // what differs from the field there is wider than tall.
    const BattlePass* pFell = log.First(13500, [](const BattlePass& p) { return p.hp[4] == 0 && p.hp[5] > 0; });
    ASSERT_NE(pFell, nullptr) << "the first beast never fell alone";
    CShot fallen(ShotAfter(s, pFell->t + 1500));
    ASSERT_TRUE(fallen.Read()) << fallen.Path();
    RECT rcBody{800, 600, 0, 0};
    for (int y = 300; y < 420; ++y)
        for (int x = 40; x < 230; ++x)
            if (!fallen.Near(x, y, PackRgb(70, 110, 60), 24))
                rcBody = RECT{std::min(rcBody.left, LONG(x)), std::min(rcBody.top, LONG(y)), std::max(rcBody.right, LONG(x + 1)),
                              std::max(rcBody.bottom, LONG(y + 1))};
    EXPECT_GT(rcBody.right - rcBody.left, 2 * (rcBody.bottom - rcBody.top)) << "the fallen beast stands";
    EXPECT_GE(rcBody.bottom, 400) << "the fallen beast is not on the ground";
    // Won: the victory panel with its lines, then the map again with the pay.
    const BattlePass* pWon = log.First(0, [](const BattlePass& p) { return p.bShown; });
    ASSERT_NE(pWon, nullptr) << "no result panel";
    EXPECT_EQ(pWon->hp[4] <= 0 && pWon->hp[5] <= 0, true) << "both beasts fell";
    EXPECT_GT(pWon->hp[0], 0);
    CShot victory(ShotAfter(s, pWon->t + 100));
    ASSERT_TRUE(victory.Read()) << victory.Path();
    EXPECT_GT(victory.CountNear(RECT{265, 300, 305, 340}, kVictoryColour, 24), 1000) << victory.Path();
    EXPECT_GT(CountYellowish(victory, 300, 164, 260, 36), 20) << "the money line";
    ASSERT_GT(dwBackOnMap, pWon->t);
    EXPECT_EQ(nSceneAfter, 1);
    EXPECT_EQ(nMoneyAfter, nMoneyBefore + 20);
    CShot map(ShotAfter(s, dwBackOnMap + 600));
    ASSERT_TRUE(map.Read()) << map.Path();
    EXPECT_GT(map.Differences(victory, 0, 450, 800, 150), 20000) << "the toolbar and the grove again";
    // The battle's status box is gone; her life is what she ended the battle with.
    EXPECT_GT(victory.CountNear(RECT{100, 60, 200, 120}, 0x202840, 24), 1000);
    EXPECT_LT(map.CountNear(RECT{100, 60, 200, 120}, 0x202840, 24), 50);
    EXPECT_EQ(nLifeAfter, pWon->hp[0]);
}

TEST(BattlePlay, TheMastersBoutIsLostAndTheGameGoesBackToTheTitle) {
    UsePrivateRuntimeFolder();
    CTempFolder folder("battle-play");
    const std::string s = folder.Path() + "/";
    constexpr DWORD kEnd = 36000;
    // The title before the new game; 'A' on every turn; clicks beside the fighters
    // that close the defeat panel.
    std::string strScript = BaseScript(s, kEnd) + "8000 shot " + s + "title.png\n";
    for (DWORD t = 13000; t < 32000; t += 400) strScript += std::to_string(t) + " key up A\n";
    strScript += ClicksEverySecond(15000, 32000, 400, 60);
    CBattleLog log;
    bool bStarted = false, bAfter = false;
    int nModeAfter = -1, nInGameAfter = -1;
    bool bSceneAfter = true;
    DWORD dwAfter = 0;
    RunGame(folder, strScript,
            [&](DWORD t) {
                if (!bStarted && t >= 10500 && pPlayer && pScene && pFrame->GetGameMode() == 3) {
                    // The master's talk and his bout, in the town, for a heroine who comes
                    // wounded (at full life she beats the golems).
                    bStarted = true;
                    ASSERT_EQ(pFrame->m_nCurrentScene, 0);
                    pPlayer->nLife = 15;
                    ASSERT_EQ(pFrame->StartEvent(kBoutEvent), kBoutEvent);
                } else if (bStarted && !bAfter && !log.passes.empty()) {
                    bAfter = true;
                    dwAfter = t;
                    nModeAfter = pFrame->GetGameMode();
                    nInGameAfter = pFrame->m_bInGame;
                    bSceneAfter = pScene != nullptr;
                }
            },
            &log);
    ASSERT_TRUE(bStarted);
    ASSERT_FALSE(log.passes.empty()) << "no battle";
    const BattlePass& first = log.passes.front();
    for (int e = 4; e < 7; ++e) EXPECT_EQ(first.hp[e], kGolemLife) << "three golems";
    const BattlePass* pLost = log.First(0, [](const BattlePass& p) { return p.bShown; });
    ASSERT_NE(pLost, nullptr) << "no result panel";
    EXPECT_EQ(pLost->hp[0], 0) << "she fell";
    EXPECT_GT(pLost->hp[4] + pLost->hp[5] + pLost->hp[6], 0);
    // Her blows landed before she fell.
    EXPECT_LT(pLost->hp[4] + pLost->hp[5] + pLost->hp[6], 3 * kGolemLife);
    CShot defeat(ShotAfter(s, pLost->t + 100));
    ASSERT_TRUE(defeat.Read()) << defeat.Path();
    EXPECT_GT(defeat.CountNear(RECT{170, 250, 210, 290}, kVictoryColour, 24), 1000) << defeat.Path();
    EXPECT_GT(CountYellowish(defeat, 180, 124, 280, 40), 10) << "the defeat line";
    // The title again: no scene, out of the game, the title's picture.
    ASSERT_TRUE(bAfter);
    EXPECT_EQ(nModeAfter, 0);
    EXPECT_EQ(nInGameAfter, 0);
    EXPECT_FALSE(bSceneAfter);
    CShot title(s + "title.png"), back(ShotAfter(s, dwAfter + 600));
    ASSERT_TRUE(title.Read() && back.Read()) << back.Path();
    EXPECT_LT(back.Differences(title, 0, 0, 800, 600), 800 * 600 / 20) << back.Path();
    EXPECT_GT(back.Differences(defeat, 0, 0, 800, 600), 800 * 600 / 4);
}

TEST(BattlePlay, TooltipsOfTheListsAndTheTheftsMessage) {
    UsePrivateRuntimeFolder();
    CTempFolder folder("battle-play");
    const std::string s = folder.Path() + "/";
    constexpr DWORD kEnd = 24000;
    // On her first ring: the first tab's first spell, the stunt tab's first stunt, the
    // first item, each hovered for its tooltip; then the theft from the first beast.
    auto click = [](DWORD t, int x, int y, const char* pszButton = "lbutton") {
        const std::string at = ' ' + std::to_string(x) + " " + std::to_string(y) + "\n";
        return std::to_string(t) + " move" + at + std::to_string(t + 50) + " " + pszButton + " down" + at +
               std::to_string(t + 90) + " " + pszButton + " up" + at;
    };
    auto shot = [&](DWORD t, const char* pszName) { return std::to_string(t) + " shot " + s + pszName + ".png\n"; };
    const std::string strScript =
        BaseScript(s, kEnd) + click(12600, 619, 305) + shot(12850, "list0") + "12900 move 397 291\n" +
        shot(13150, "tip0") + click(13300, 449, 264) + "13600 move 397 291\n" + shot(13850, "tip2") +
        click(14000, 400, 120, "rbutton") + click(14300, 563, 361) + "14600 move 397 291\n" + shot(14850, "tipitem") +
        click(15000, 400, 120, "rbutton") + click(15300, 619, 305) + click(15600, 449, 264) + click(15900, 453, 415) +
        click(16200, 397, 375) + click(16500, 124, 350);
    CBattleLog log;
    bool bStarted = false;
    RunGame(folder, strScript,
            [&](DWORD t) {
                if (bStarted || t < 10500 || !pPlayer || !pScene || pFrame->GetGameMode() != 3) return;
                bStarted = true;
                ASSERT_TRUE(pFrame->ChangeScene(1, 0, 100));
                const POINT pt = pScene->GetCellPoint(11, 17);
                pPlayer->SetMapPosAndHome(pt.x, pt.y);
                ASSERT_EQ(pFrame->StartEvent(60), 60);
            },
            &log);
    ASSERT_FALSE(log.passes.empty()) << "no battle";
    const BattlePass* pRing = log.First(0, [](const BattlePass& p) { return p.nActive == 0 && p.nMenu == 0; });
    ASSERT_NE(pRing, nullptr);
    ASSERT_LT(pRing->t, 12600u) << "the script's ring clicks come too early";
    // The tooltip box beside the cursor, over the list, with its text: the spell's
    // values, the stunt's line, the item's name and description.
    CShot list0(s + "list0.png"), tip0(s + "tip0.png"), tip2(s + "tip2.png"), tipItem(s + "tipitem.png");
    ASSERT_TRUE(list0.Read() && tip0.Read() && tip2.Read() && tipItem.Read());
    EXPECT_EQ(CountGreenish(list0, 417, 311, 120, 80), 0);
    for (const CShot* pTip : {&tip0, &tip2, &tipItem}) {
        EXPECT_GT(pTip->Differences(list0, 490, 300, 120, 100), 4000) << pTip->Path();
        EXPECT_GT(CountGreenish(*pTip, 417, 311, 120, 80), 15) << pTip->Path();
    }
    EXPECT_GT(tip2.Differences(tip0, 417, 311, 190, 80), 100) << "each tab its own text";
    // The theft's message waits in the middle of the screen for a click.
    const BattlePass* pMessage = log.First(16500, [](const BattlePass& p) { return p.bMessage; });
    ASSERT_NE(pMessage, nullptr) << "no message";
    CShot message(ShotAfter(s, pMessage->t + 100));
    ASSERT_TRUE(message.Read()) << message.Path();
    EXPECT_GT(CountGreenish(message, 295, 250, 210, 35), 15) << message.Path();
    CShot ring(s + "12500.png");  // the ring alone
    ASSERT_TRUE(ring.Read());
    EXPECT_EQ(CountGreenish(ring, 295, 250, 210, 35), 0);
}

// The companion joins in the grove (her event's talk read by two clicks), and the beasts
// are fought by the two of them: she stands in the second place with her status box and
// takes turns of her own. Potions on quick slots 0..3 and bombs on 4..7 meanwhile: keys 1
// to 8 pressed in the battle neither drink a potion nor arm a bomb, and nothing goes off
// on the map afterwards.
TEST(BattlePlay, TheCompanionWhoJoinedFightsAndKeysInTheBattleNeitherDrinkNorArm) {
    UsePrivateRuntimeFolder();
    CTempFolder folder("battle-play");
    const std::string s = folder.Path() + "/";
    constexpr int kPotion = 1, kBomb = 47;
    constexpr DWORD kEnd = 46000;
    std::string strScript = BaseScript(s, kEnd) + "10900 lbutton down 400 300\n10940 lbutton up 400 300\n" +
                            "11200 lbutton down 400 300\n11240 lbutton up 400 300\n";
    for (int k = 1; k <= 8; ++k) strScript += std::to_string(13000 + 700 * k) + " key press " + std::to_string(k) + "\n";
    for (DWORD t = 20000; t < 40000; t += 1100) strScript += std::to_string(t) + " key up A\n";
    strScript += ClicksEverySecond(20500, 40000, 400, 120);
    CBattleLog log;
    bool bJoining = false, bStarted = false;
    DWORD dwBackOnMap = 0, dwLast = 0;
    int slots[8] = {}, nPotions = -1, nBombs = -1, nArmed = -1;
    RunGame(folder, strScript,
            [&](DWORD t) {
                CGameToolBar* pBar = PanelLink().GetToolBar();
                if (!pPlayer || !pScene || !pBar || pFrame->GetGameMode() != 3) return;
                if (!bJoining && t >= 10500) {
                    // The companion's event in the grove: her talk and her joining.
                    bJoining = true;
                    ASSERT_TRUE(pFrame->ChangeScene(1, 0, 100));
                    const POINT pt = pScene->GetCellPoint(11, 17);
                    pPlayer->SetMapPosAndHome(pt.x, pt.y);
                    ASSERT_EQ(pFrame->StartEvent(40), 40);
                } else if (bJoining && !bStarted && !pFrame->IsEventRunning()) {
                    bStarted = true;
                    for (int i = 0; i < 3; ++i) {
                        pPlayer->AddItem(kPotion);
                        pPlayer->AddItem(kBomb);
                    }
                    for (int i = 0; i < 8; ++i) pBar->m_nQuickSlots[i] = i < 4 ? kPotion : kBomb;
                    pBar->MirrorSlots();
                    ASSERT_EQ(pFrame->StartEvent(60), 60);
                } else if (bStarted && !log.passes.empty()) {
                    // On the map again, and four seconds later (a bomb's whole fuse).
                    if (!dwBackOnMap) dwBackOnMap = t;
                    if (t - dwBackOnMap > 4000 && !dwLast) {
                        dwLast = t;
                        for (int i = 0; i < 8; ++i) slots[i] = pBar->m_nQuickSlots[i];
                        nPotions = pPlayer->nItemCount[kPotion];
                        nBombs = pPlayer->nItemCount[kBomb];
                        nArmed = pBar->m_bBombArmed;
                    }
                }
            },
            &log);
    ASSERT_FALSE(log.passes.empty()) << "no battle";
    // The keys came while the battle ran.
    EXPECT_LT(log.passes.front().t, 13700u);
    // She fights beside the heroine: in the second place, with a turn of her own, and her
    // status box beside the heroine's.
    EXPECT_GT(log.passes.front().hp[1], 0) << "the companion is not in the battle";
    EXPECT_NE(log.First(0, [](const BattlePass& p) { return p.nActive == 1; }), nullptr);
    CShot both(ShotAfter(s, log.passes.front().t + 500));
    ASSERT_TRUE(both.Read()) << both.Path();
    EXPECT_GT(both.CountNear(RECT{361, 60, 461, 120}, 0x202840, 24), 1000) << both.Path();
    const BattlePass* pWon = log.First(0, [](const BattlePass& p) { return p.bShown; });
    ASSERT_NE(pWon, nullptr);
    EXPECT_GT(pWon->t, 13000u + 700 * 8);
    ASSERT_GT(dwLast, 0u) << "not back on the map";
    EXPECT_EQ(nPotions, 3);
    EXPECT_EQ(nBombs, 3);
    EXPECT_EQ(nArmed, 0);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(slots[i], i < 4 ? kPotion : kBomb) << "slot " << i;
}

// The master's golems carry their challenge (their enemy row's talk event, which the
// game's own table leaves empty, set here): it runs in the battle's narrow bar until read,
// the golems then fall, and the villager's request on the map afterwards is typed in
// the wide bar again.
TEST(BattlePlay, TheGolemsChallengeRunsInTheBattleAndTheMapTalksWideAgain) {
    UsePrivateRuntimeFolder();
    CTempFolder folder("battle-play");
    const std::string s = folder.Path() + "/";
    constexpr DWORD kEnd = 30000;
    // The master's line: typed, then read (a press that comes while it still types
    // shows the rest; the battle's own lines are the driver's).
    std::string strScript = kNewGame + "11600 lbutton down 400 300\n11640 lbutton up 400 300\n" +
                            "12400 lbutton down 400 300\n12440 lbutton up 400 300\n";
    for (DWORD t = 11000; t < kEnd; t += 500) strScript += std::to_string(t) + " shot " + s + std::to_string(t) + ".png\n";
    strScript += std::to_string(kEnd) + " close\n";
    // In the battle: a press on each typed line (Space on the second), the golems felled
    // once the talk is over, the victory's pages closed.
    struct CTalkDriver : CFightObserver {
        std::vector<int> faces;
        std::vector<POINT> places;
        bool bNarrow = false, bHeld = false, bTalked = false;
        int nRingBeforeEnd = 0;
        void OnPass(CFight& f) override {
            CFaceTalkBar& bar = *pFrame->m_pMenuManager->m_pFaceTalkBar;
            if (f.bResultShown) {
                f.OnResultRelease();
                return;
            }
            if (!bar.m_bFinished) {
                if (faces.empty() || pFrame->CurrentScript != nStep) {
                    nStep = pFrame->CurrentScript;
                    faces.push_back(bar.m_nFace);
                    places.push_back(POINT{bar.m_nBarX, bar.m_nBarY});
                    bNarrow = bar.m_nNarrow != 0;
                }
                if (f.ActiveNpc >= 0 && f.ActiveNpc < 4) ++nRingBeforeEnd;
            } else if (!faces.empty()) {
                bTalked = true;
                for (int e = 4; e < 7; ++e)
                    if (f.Filled(e)) f.Char(e)->HP = 0;
            }
            const bool bTyped = !bar.m_bFinished && bar.IsPageFull(), bSpace = faces.size() == 2;
            if (bHeld && !bTyped) InjectMouseButton(VK_LBUTTON, false, 400, 20);
            else if (!bHeld && bTyped && !bSpace) InjectMouseButton(VK_LBUTTON, true, 400, 20);
            if (bTyped && bSpace && nSpaceStep != nStep) {
                nSpaceStep = nStep;
                InjectKey(VK_SPACE, true);
                InjectKey(VK_SPACE, false);
            }
            bHeld = bTyped && !bSpace;
        }
        int nStep = -1, nSpaceStep = -1;
    } driver;
    std::string strOldDir;
    ASSERT_TRUE(EnterSampleGame(folder, &strOldDir));
    ASSERT_EQ(LoadInputScriptText(strScript, "battle talk"), 0);
    const DWORD dwStart = TimeGetTime();
    SetFightObserver(&driver);
    bool bStarted = false;
    DWORD dwTalkAt = 0;
    int nNarrowAfter = -1, nWidthAfter = -1;
    const std::string strError = RunHookedGame([&] {
        if (!pGameData || !pPlayer || !pScene) return;
        const DWORD t = TimeGetTime() - dwStart;
        if (!bStarted && t >= 10500 && pFrame->GetGameMode() == 3) {
            bStarted = true;
            ASSERT_EQ(pFrame->m_nCurrentScene, 0);
            pGameData->pFightNpc[kGolemRow].nTall = 61;
            ASSERT_EQ(pFrame->StartEvent(kBoutEvent), kBoutEvent);
        } else if (bStarted && driver.bTalked && !dwTalkAt && (pFrame->GetGameMode() == 3 || pFrame->GetGameMode() == 9)) {
            // Back on the map, the master's praise may already be on the bar: the
            // villager's request replaces it.
            CFaceTalkBar& bar = *pFrame->m_pMenuManager->m_pFaceTalkBar;
            nNarrowAfter = bar.m_nNarrow;
            nWidthAfter = bar.GetLineWidth();
            // The villager's errand (her answer to "yes"), at once.
            dwTalkAt = t;
            ASSERT_EQ(pFrame->StartEvent(6), 6);
        }
    });
    SetFightObserver(nullptr);
    SetCurrentDirectory(strOldDir.c_str());
    ASSERT_TRUE(strError.empty()) << strError;
    ASSERT_TRUE(driver.bTalked) << "no battle talk: " << driver.faces.size() << " lines seen";
    EXPECT_EQ(driver.faces, (std::vector<int>{kGolemRow, kGolemRow, 1}));
    EXPECT_TRUE(driver.bNarrow);
    ASSERT_EQ(driver.places.size(), 3u);
    EXPECT_EQ(driver.places[0].x, ptFightHome[4].x + 150);
    EXPECT_EQ(driver.places[0].y, ptFightHome[4].y - 80);
    EXPECT_EQ(driver.places[2].x, ptFightHome[0].x);
    EXPECT_EQ(driver.nRingBeforeEnd, 0) << "no ring while the golems speak";
    ASSERT_GT(dwTalkAt, 0u) << "not back on the map";
    EXPECT_EQ(nNarrowAfter, 0);
    EXPECT_EQ(nWidthAfter, 382);
    // The request typed on one wide line: past the narrow bar's three characters.
    CShot talk(ShotAfter(s, dwTalkAt + 1500));
    ASSERT_TRUE(talk.Read()) << talk.Path();
    EXPECT_GT(CountWhitish(talk, 560, 37, 200, 23), 40) << talk.Path();
}

}  // namespace
