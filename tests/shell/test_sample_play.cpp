// The sample game written by mkgame, played headless from the title by input scripts:
// with the game binary (screenshots probed at known pixels) and with worldprobe (its
// per-pass CSV of the heroine, the view and the cursor).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "shell/SaveGameFile.h"
#include "tests/shell/SampleGameRun.h"
#include "tests/shell/TownWolf.h"
#include "tools/gamekit/GameModel.h"
#include "tools/gamekit/SampleArt.h"
#include "tools/gamekit/SampleStory.h"
#include "tools/mkgame/SampleHeroine.h"
#include "tools/mkgame/SamplePanels.h"

namespace {

// The game's first scene: the town, 1280 x 960 on
// 32-pixel cells, the heroine inside its L wall with the view at (64, 228).
constexpr int kMapWidth = 1280, kScreenWidth = 800;

// One pass of worldprobe's CSV.
struct ProbeRow {
    int nMs = 0, nScene = -1, x = 0, y = 0, nCellX = 0, nCellY = 0, nAction = 0, nStamina = 0, nWaypoints = 0;
    int nWall = 0, nViewX = 0, nViewY = 0, nCursor = 0, nHover = -1;
};

std::vector<ProbeRow> ParseProbe(const std::string& strCsv) {
    std::vector<ProbeRow> rows;
    std::istringstream in(strCsv);
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
        ProbeRow r;
        long nFrame = 0;
        if (std::sscanf(line.c_str(), "%ld,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d", &nFrame, &r.nMs, &r.nScene, &r.x,
                        &r.y, &r.nCellX, &r.nCellY, &r.nAction, &r.nStamina, &r.nWaypoints, &r.nWall, &r.nViewX,
                        &r.nViewY, &r.nCursor, &r.nHover) == 15)
            rows.push_back(r);
    }
    return rows;
}

// The last row at or before nMs.
const ProbeRow* RowAt(const std::vector<ProbeRow>& rows, int nMs) {
    const ProbeRow* pFound = nullptr;
    for (const ProbeRow& r : rows)
        if (r.nMs <= nMs) pFound = &r;
    return pFound;
}

class SamplePlay : public SampleGameRun {
protected:
    SamplePlay() : SampleGameRun("sampleplay") {}
    void SetUp() override { ASSERT_TRUE(WriteSampleGame({&kWorldProbe})); }
    std::string Script(const std::string& strText) {
        const std::string strPath = m_strRun + "/input.txt";
        std::ofstream(strPath) << strText;
        return strPath;
    }
    // worldprobe on the sample folder, its CSV parsed.
    std::vector<ProbeRow> RunProbe(const std::string& strText, int nMs, bool bRun) {
        std::vector<std::string> args{m_strGame, Script(strText), "--ms", std::to_string(nMs)};
        if (bRun) args.push_back("--run");
        const ProgramRun run = RunProgramIn(m_strRun, kWorldProbe, args, m_strRun + "/input.txt");
        EXPECT_TRUE(run.bExited && run.nCode == 0) << run.strErr;
        return ParseProbe(run.strOut);
    }
};

TEST_F(SamplePlay, AClickBehindTheWallWalksAroundItToTheClickedCellAndTheViewStopsShortOfTheEdge) {
    // The click lands on the far side of the wall's upright (x cells 18, y cells 12-19).
    const std::vector<ProbeRow> rows = RunProbe(kNewGame +
                                                    "9500 move 784 300\n"
                                                    "9600 lbutton down 784 300\n"
                                                    "9640 lbutton up 784 300\n"
                                                    "9700 shot walk0.png\n"
                                                    "10100 shot walk1.png\n"
                                                    "12000 shot walk2.png\n",
                                                    12500, false);
    const ProbeRow* pClick = RowAt(rows, 9600);
    ASSERT_NE(pClick, nullptr);
    EXPECT_EQ(pClick->nScene, 0);
    EXPECT_EQ(pClick->nCellX, 14);
    EXPECT_EQ(pClick->nCellY, 16);
    const int nClickX = pClick->nViewX + 784, nClickY = pClick->nViewY + 300;
    int nMaxViewX = 0, nTopCell = 99;
    bool bWalked = false;
    for (const ProbeRow& r : rows) {
        if (r.nMs < 9600) continue;
        EXPECT_EQ(r.nWall, 0) << "at " << r.nMs << " ms on cell " << r.nCellX << "," << r.nCellY;
        nMaxViewX = std::max(nMaxViewX, r.nViewX);
        nTopCell = std::min(nTopCell, r.nCellY);
        bWalked = bWalked || r.nAction == 1;
    }
    EXPECT_TRUE(bWalked);
    // Around the wall's top end, not through it.
    EXPECT_LT(nTopCell, 12);
    const ProbeRow& last = rows.back();
    EXPECT_EQ(last.nCellX, nClickX / 32);
    EXPECT_EQ(last.nCellY, nClickY / 32);
    EXPECT_EQ(last.x, nClickX / 32 * 32 + 16);
    EXPECT_EQ(last.y, nClickY / 32 * 32 + 16);
    EXPECT_EQ(last.nAction, 0);
    EXPECT_EQ(last.nWaypoints, 0);
    // The view follows her right up to 70 pixels short of the map's right end.
    EXPECT_EQ(nMaxViewX, kMapWidth - kScreenWidth - 70);

    // The screenshots show her where the CSV has her: her body's colour at her screen
    // point, the same as at the start, while the view moves under her.
    CShot start(Shot("walk0.png")), middle(Shot("walk1.png")), end(Shot("walk2.png"));
    ASSERT_TRUE(start.Read() && middle.Read() && end.Read());
    const unsigned body = start.Pixel(400, 262);
    int nShot = 0;
    for (const auto& [pShot, nMs] : {std::pair{&middle, 10100}, std::pair{&end, 12000}}) {
        const ProbeRow* pRow = RowAt(rows, nMs);
        ASSERT_NE(pRow, nullptr);
        const int sx = pRow->x - pRow->nViewX, sy = pRow->y - pRow->nViewY;
        EXPECT_EQ(pShot->Pixel(sx, sy - 38), body) << "shot " << ++nShot << " at " << sx << "," << sy;
    }
    EXPECT_GT(start.Differences(middle, 0, 0, 800, 540), 10000);
    EXPECT_GT(middle.Differences(end, 0, 0, 800, 540), 10000);
}

TEST_F(SamplePlay, RunningDrainsFiveStaminaASecondThenTheHeroineWalks) {
    // A new far target either side of her every half second: she never arrives, so she
    // runs on for as long as her stamina lasts.
    std::string strScript = kNewGame;
    for (int t = 9500, i = 0; t < 31000; t += 500, ++i) {
        const std::string strAt = i % 2 ? " 100 300\n" : " 700 300\n";
        strScript += std::to_string(t) + " lbutton down" + strAt + std::to_string(t + 40) + " lbutton up" + strAt;
    }
    const std::vector<ProbeRow> rows = RunProbe(strScript, 31000, true);
    const ProbeRow* pFirstRun = nullptr;
    const ProbeRow* pEmpty = nullptr;
    for (const ProbeRow& r : rows) {
        if (!pFirstRun && r.nAction == 2) pFirstRun = &r;
        if (pFirstRun && !pEmpty && r.nStamina == 0) pEmpty = &r;
    }
    ASSERT_NE(pFirstRun, nullptr) << "she never ran";
    ASSERT_NE(pEmpty, nullptr) << "her stamina never ran out";
    EXPECT_EQ(pFirstRun->nStamina, 100);
    // 100 stamina at 5 a second: 20 seconds of running, give or take the step timing.
    const int nRunMs = pEmpty->nMs - pFirstRun->nMs;
    EXPECT_GE(nRunMs, 19000);
    EXPECT_LE(nRunMs, 21500);
    for (const ProbeRow& r : rows) {
        if (&r < pFirstRun || &r > pEmpty) continue;
        // Every second of the run costs 5 (within one step either way).
        const int nExpected = 100 - 5 * ((r.nMs - pFirstRun->nMs) / 1000);
        EXPECT_NEAR(r.nStamina, nExpected, 5) << "at " << r.nMs << " ms";
        EXPECT_TRUE(r.nAction == 2 || r.nAction == 0) << "at " << r.nMs << " ms action " << r.nAction;
    }
    // Out of stamina, with the run flag still set, she walks on; walking a second
    // fills her stamina again.
    int nWalkMs = -1;
    for (const ProbeRow& r : rows) {
        if (&r <= pEmpty || r.nStamina != 0) continue;
        EXPECT_NE(r.nAction, 2) << "she ran without stamina at " << r.nMs << " ms";
        if (nWalkMs < 0 && r.nAction == 1) nWalkMs = r.nMs;
    }
    EXPECT_GE(nWalkMs, 0) << "she did not walk on";
    EXPECT_LE(nWalkMs - pEmpty->nMs, 100);
}

TEST_F(SamplePlay, ANewGameFromTheTitleLightsTheTalkerAndTheFighterUnderTheCursor) {
    // The talker stands at screen (400, 108), 30 pixels wide; after two walks the view is
    // at (410, 360) and the fighter (a wolf put into the town) stands at screen (438, 552).
    ASSERT_TRUE(PutWolfInTown(m_strGame));
    const std::string strScript = kNewGame +
                                  "9500 move 600 480\n"
                                  "10500 shot plain.png\n"
                                  "11000 move 388 60\n"
                                  "11500 shot talker.png\n"
                                  "12000 move 784 300\n"
                                  "12100 lbutton down 784 300\n"
                                  "12140 lbutton up 784 300\n"
                                  "14000 move 700 500\n"
                                  "14100 lbutton down 700 500\n"
                                  "14140 lbutton up 700 500\n"
                                  "17000 move 600 300\n"
                                  "17500 shot nofighter.png\n"
                                  "18000 move 426 500\n"
                                  "18500 shot fighter.png\n"
                                  "19000 close\n";
    const ProgramRun run = RunGame(strScript);
    ASSERT_TRUE(run.bExited) << run.strErr;
    EXPECT_EQ(run.nCode, 0) << run.strErr;
    CShot plain(Shot("plain.png")), talker(Shot("talker.png")), nofighter(Shot("nofighter.png")),
        fighter(Shot("fighter.png"));
    ASSERT_TRUE(plain.Read() && talker.Read() && nofighter.Read() && fighter.Read());
    // The heroine at the start point wears her own crimson dress (a little darker on the
    // 16-bit screen); nobody else on the map does (her portrait in the toolbar wears it
    // too: the map is counted above the strip and right of the portraits).
    const RECT rcHeroine{360, 180, 440, 310};
    const int nDress = plain.CountNear(rcHeroine, kHeroineDress & 0xFFFFFF, 16);
    EXPECT_GT(nDress, 1200);
    EXPECT_EQ(plain.CountNear(RECT{0, 0, 800, 455}, kHeroineDress & 0xFFFFFF, 16) +
                  plain.CountNear(RECT{240, 455, 800, 530}, kHeroineDress & 0xFFFFFF, 16),
              nDress);
    // The hovered talker is drawn lighter: its body below the cursor changed...
    EXPECT_GT(talker.Differences(plain, 392, 80, 16, 25), 200);
    // ...and the cursor is the centred talk cursor: it covers grass left of its point.
    EXPECT_GT(talker.Differences(plain, 374, 50, 10, 20), 10);
    // The fighter (a beast, its horned head above the cursor) is drawn lighter too, and
    // the attack cursor has its point at its corner.
    EXPECT_GT(fighter.Differences(nofighter, 428, 470, 20, 30), 200);
    EXPECT_EQ(fighter.Differences(nofighter, 404, 485, 14, 14), 0);
    EXPECT_GT(fighter.Differences(nofighter, 427, 501, 10, 20), 10);

    // The same script under worldprobe names the cursor shapes and the hovered ids.
    const std::vector<ProbeRow> rows = RunProbe(strScript, 19000, false);
    const ProbeRow* pPlain = RowAt(rows, 10500);
    const ProbeRow* pTalker = RowAt(rows, 11500);
    const ProbeRow* pNoFighter = RowAt(rows, 17500);
    const ProbeRow* pFighter = RowAt(rows, 18500);
    ASSERT_TRUE(pPlain && pTalker && pNoFighter && pFighter);
    EXPECT_EQ(pPlain->nCursor, 0);
    EXPECT_EQ(pPlain->nHover, -1);
    EXPECT_EQ(pTalker->nCursor, 1);
    EXPECT_EQ(pTalker->nHover, 1);
    EXPECT_EQ(pNoFighter->nCursor, 0);
    EXPECT_EQ(pNoFighter->nViewX, 410);
    EXPECT_EQ(pNoFighter->nViewY, 360);
    EXPECT_EQ(pFighter->nCursor, 3);
    EXPECT_EQ(pFighter->nHover, 4);
}

// After the videos (about 4.9 s in) the start picture stays on the screen for 3 s, with
// nothing flipped, then the title comes; a tap of ESC between two polls ends it early.
TEST_F(SamplePlay, TheStartPictureStaysThreeSecondsUnlessEscIsTapped) {
    for (const bool bEsc : {false, true}) {
        const ProgramRun run = RunGame(std::string("5200 shot start.png\n7700 shot later.png\n8300 shot title.png\n") +
                                       (bEsc ? "5300 key press ESC\n5600 shot esc.png\n" : "") + "8500 close\n");
        ASSERT_TRUE(run.bExited && run.nCode == 0) << run.strErr;
        CShot start(Shot("start.png")), later(Shot("later.png")), title(Shot("title.png")), esc(Shot("esc.png"));
        ASSERT_TRUE(start.Read() && later.Read() && title.Read());
        EXPECT_GT(title.Differences(start, 0, 0, 800, 600), 100000) << bEsc;
        if (!bEsc) {
            EXPECT_EQ(later.Differences(start, 0, 0, 800, 600), 0);
        } else {
            ASSERT_TRUE(esc.Read());
            EXPECT_GT(esc.Differences(start, 0, 0, 800, 600), 100000) << "the tap did not end the start picture";
        }
    }
}

TEST_F(SamplePlay, TheMakersButtonShowsTheCreditsAndEscEndsThem) {
    const ProgramRun run = RunGame("8500 move 280 440\n"
                                   "8900 shot title.png\n"
                                   "9000 lbutton down 280 440\n"
                                   "9040 lbutton up 280 440\n"
                                   "12000 shot credits1.png\n"
                                   "12500 lbutton down 280 440\n"
                                   "12540 lbutton up 280 440\n"
                                   "13000 shot credits2.png\n"
                                   "13500 key press ESC\n"
                                   "16000 shot back.png\n"
                                   "16500 close\n");
    ASSERT_TRUE(run.bExited) << run.strErr;
    EXPECT_EQ(run.nCode, 0) << run.strErr;
    CShot title(Shot("title.png")), credits1(Shot("credits1.png")), credits2(Shot("credits2.png")),
        back(Shot("back.png"));
    ASSERT_TRUE(title.Read() && credits1.Read() && credits2.Read() && back.Read());
    EXPECT_GT(credits1.Differences(title, 0, 0, 800, 600), 100000) << "no credits were shown";
    // The text scrolls: a second later the picture moved.
    EXPECT_GT(credits2.Differences(credits1, 0, 0, 800, 600), 1000);
    // A tap of ESC, down and up between two frames, ended them: the title again (the
    // cursor aside). The click on the credits over the makers button started nothing.
    EXPECT_LT(back.Differences(title, 0, 0, 800, 600), 2000);
}

// The town's setting file with one flipped bit (its first region claims 256 events): the
// new game cannot build its first scene, says once which file, field and offset in the
// message box and ends with a failure status.
TEST_F(SamplePlay, ADamagedSettingFileEndsTheNewGameNamingTheFieldWithAFailureStatus) {
    const std::string strSetting = m_strGame + "/map/scene000.set";
    std::string bytes = ReadWholeFile(strSetting);
    const size_t nAt = 32 + 8 + 4;
    ASSERT_GT(bytes.size(), nAt + 4);
    ASSERT_EQ(bytes[nAt + 1], 0);
    bytes[nAt + 1] = 1;  // the count's second byte: 256 more events
    std::ofstream(strSetting, std::ios::binary) << bytes;
    const ProgramRun run = RunGame(kNewGame + "30000 close\n");
    ASSERT_TRUE(run.bExited) << run.strErr;
    EXPECT_EQ(run.nCode, 1) << run.strErr;
    // Said once, naming the setting file (the map is sound).
    const std::string strDetail = "map\\scene000.set: regions, record 0: event count " +
                                  std::to_string(std::uint8_t(bytes[nAt]) + 256) + " at offset 44";
    EXPECT_NE(run.strErr.find("[message box] : 场景设置文件 scene000.set 已损坏\n" + strDetail), std::string::npos)
        << run.strErr;
    EXPECT_EQ(run.strErr.find(strDetail), run.strErr.rfind(strDetail)) << run.strErr;
    EXPECT_EQ(run.strErr.find("scene000.map"), std::string::npos) << run.strErr;
    EXPECT_NE(run.strErr.find("game: ended: 场景设置文件 scene000.set 已损坏\n"), std::string::npos) << run.strErr;
}

// A click (down and up) at a screen point at a time of the script.
std::string ClickAt(int nMs, int x, int y) {
    return std::to_string(nMs) + " lbutton down " + std::to_string(x) + " " + std::to_string(y) + "\n" +
           std::to_string(nMs + 40) + " lbutton up " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

// Pixels of a rectangle whose colour passes the test.
template <typename F>
int CountPixels(const CShot& shot, int l, int t, int r, int b, F test) {
    int n = 0;
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x) {
            const unsigned c = shot.Pixel(x, y);
            n += test(int(c >> 16), int((c >> 8) & 0xFF), int(c & 0xFF)) ? 1 : 0;
        }
    return n;
}

// New game; a step into the greeting's region; clicks on the heroine read the greeting.
// Two steps to the villager's region, where she asks for water; "yes" starts the
// countdown (by 23000 ms).
std::string GreetingAndVillager() {
    std::string strScript = kNewGame + ClickAt(9600, 536, 272);
    for (int t = 10000; t <= 15500; t += 300) strScript += ClickAt(t, 400, 300);
    strScript += ClickAt(16000, 593, 40) + ClickAt(18000, 470, 240) + "19000 shot water.png\n" + ClickAt(19300, 250, 100);
    for (int t = 19900; t <= 22000; t += 300) strScript += ClickAt(t, 470, 240);
    return strScript;
}

TEST_F(SamplePlay, FromTheTitleTheGreetingTheVillagersCountdownTheHerbalistsQuestionTheInnsNameAndTheBoysRun) {
    std::string strScript = GreetingAndVillager() + "15800 shot before.png\n23000 shot countdown.png\n";
    // The herbalist under the cursor: she walks there and the question comes.
    strScript += "23200 move 566 500\n" + ClickAt(23500, 566, 500) + ClickAt(25500, 566, 450) +
                 "27500 move 566 420\n" + ClickAt(28000, 566, 420) + "29000 shot question.png\n";
    // "Yes": the basket, the task and 50 in money; the talk read; back to the road.
    strScript += "29500 move 250 100\n" + ClickAt(30000, 250, 100) + ClickAt(30600, 100, 100) +
                 ClickAt(30900, 100, 100) + ClickAt(31800, 100, 100);
    // The cursor over the inn's door names the inn.
    strScript += "34300 shot road.png\n34500 move 90 56\n35500 shot tooltip.png\n";
    // The lad west of the inn sends his brother running past the door (the run stops at
    // its edge), then walks off and finds his brother in his way; the talks read, she
    // walks on.
    strScript += ClickAt(36000, 420, 100) + "37500 move 16 256\n" + ClickAt(37700, 16, 256);
    for (int t = 39500; t <= 44300; t += 600) strScript += ClickAt(t, 400, 300);
    strScript += "45000 close\n";

    const ProgramRun run = RunGame(strScript);
    ASSERT_TRUE(run.bExited) << run.strErr;
    EXPECT_EQ(run.nCode, 0) << run.strErr;
    CShot before(Shot("before.png")), countdown(Shot("countdown.png")), question(Shot("question.png")),
        road(Shot("road.png")), tooltip(Shot("tooltip.png"));
    ASSERT_TRUE(before.Read() && countdown.Read() && question.Read() && road.Read() && tooltip.Read());
    // "所剩時間: n" in red at the top right while the countdown runs, not before.
    auto red = [](int r, int g, int b) { return r > 180 && g < 90 && b < 90; };
    EXPECT_EQ(CountPixels(before, 700, 10, 800, 50, red), 0);
    EXPECT_GT(CountPixels(countdown, 700, 10, 800, 50, red), 30);
    // The question's answers in orange.
    auto orange = [](int r, int g, int b) { return r > 220 && g > 130 && g < 210 && b < 60; };
    EXPECT_GT(CountPixels(question, 175, 85, 420, 130, orange),
              CountPixels(countdown, 175, 85, 420, 130, orange) + 100);
    // The inn's name in green beside the cursor.
    auto green = [](int r, int g, int b) { return g > 200 && r < 80 && b < 80; };
    EXPECT_GT(CountPixels(tooltip, 0, 40, 200, 72, green), 10);
    EXPECT_EQ(CountPixels(road, 0, 40, 200, 72, green), 0);

    // The same script under worldprobe: the greeting, the villager's event, the countdown,
    // the question (mode 15), the money of "yes", the tooltip with cursor shape 2, and the
    // boy's run (his columns) and its event's end.
    const std::vector<std::string> args{m_strGame, Script(strScript), "--ms", "45000", "--npc", "40"};
    const ProgramRun probe = RunProgramIn(m_strRun, kWorldProbe, args, m_strRun + "/input.txt");
    ASSERT_TRUE(probe.bExited && probe.nCode == 0) << probe.strErr;
    std::istringstream in(probe.strOut);
    std::string line;
    std::getline(in, line);
    bool bGreeting = false, bVillager = false, bQuestion = false, bRunEvent = false, bWalkedOn = false;
    int nCountdown = 0, nMoney = 0, nToolTip = -1, nCursor = -1, nEndX = 0, nEndY = 0, nBoyX = 0;
    int nWaterAsked = -1, nCountdownFrom = -1;
    while (std::getline(in, line)) {
        int nMs = 0, x = 0, y = 0, nEvent = 0, nStep = 0, nMode = 0, nSeconds = 0, nTip = 0, nGold = 0, nShape = 0;
        int nNpcX = 0;
        // ms, her position and the cursor, then the event, step, mode, countdown, tooltip,
        // money and the boy's x after the 15 first columns.
        if (std::sscanf(line.c_str(), "%*d,%d,%*d,%d,%d,%*d,%*d,%*d,%*d,%*d,%*d,%*d,%*d,%d,%*d,%d,%d,%d,%d,%d,%d,%d",
                        &nMs, &x, &y, &nShape, &nEvent, &nStep, &nMode, &nSeconds, &nTip, &nGold, &nNpcX) != 11)
            continue;
        bGreeting = bGreeting || nEvent == 0;
        bVillager = bVillager || nEvent == 3;
        bQuestion = bQuestion || (nEvent == 40 && nMode == 15);
        nCountdown = std::max(nCountdown, nSeconds);
        if (nEvent == 3 && nMode == 15 && nWaterAsked < 0) nWaterAsked = nMs;
        if (nSeconds > 0 && nCountdownFrom < 0) nCountdownFrom = nMs;
        nBoyX = std::max(nBoyX, nNpcX);
        if (nMs <= 35500) {
            nMoney = nGold;
            nToolTip = nTip;
            nCursor = nShape;
        }
        if (nEvent == 96) {
            bRunEvent = true;
            nEndX = x;
            nEndY = y;
        } else if (bRunEvent && nEvent == -1 && (x != nEndX || y != nEndY)) {
            bWalkedOn = true;
        }
    }
    EXPECT_TRUE(bRunEvent);
    EXPECT_TRUE(bWalkedOn) << "the boy's event ended and she walked on";
    // He ran from x 80 and stopped short of the door's first cell (x 160).
    EXPECT_GT(nBoyX, 120);
    EXPECT_LT(nBoyX, 160);
    EXPECT_TRUE(bGreeting);
    EXPECT_TRUE(bVillager);
    EXPECT_EQ(nCountdown, 30);
    EXPECT_GE(nWaterAsked, 0) << "she does not ask before the countdown";
    EXPECT_LT(nWaterAsked, nCountdownFrom);
    EXPECT_TRUE(bQuestion);
    EXPECT_EQ(nMoney, 50);
    EXPECT_EQ(nToolTip, 100);
    EXPECT_EQ(nCursor, 2);
}

TEST_F(SamplePlay, AfterTheRoadToTheGroveTheWallColumnReadsTheGrovesOwnMap) {
    // To the road at the town's east edge and into the grove (the greeting read), then a
    // walk to the grove's open cell (10, 19) by the beasts' nook. She walks on open cells
    // only; in the town's 40-cell rows that cell's index is the town wall (18, 15), which a
    // probe still holding the town's walls would report under her.
    std::string strScript = kNewGame + ClickAt(9500, 790, 332) + ClickAt(11500, 726, 304) +
                            "14000 key press RIGHT\n14500 key press RIGHT\n15000 key press RIGHT\n"
                            "15500 key press RIGHT\n" +
                            ClickAt(16000, 400, 300) + ClickAt(17000, 224, 312);
    const std::vector<ProbeRow> rows = RunProbe(strScript, 21000, false);
    int nTown = 0, nGrove = 0;
    const ProbeRow* pLast = nullptr;
    for (const ProbeRow& r : rows) {
        nTown += r.nScene == 0;
        if (r.nScene != 1) continue;
        ++nGrove;
        pLast = &r;
        EXPECT_EQ(r.nWall, 0) << "at " << r.nMs << " ms on the grove's cell " << r.nCellX << "," << r.nCellY;
    }
    EXPECT_GT(nTown, 50);
    ASSERT_GT(nGrove, 50) << "she never reached the grove";
    EXPECT_EQ(pLast->nCellX, 10);
    EXPECT_EQ(pLast->nCellY, 19);
}

// The south-west house (picture at 160, 576) stands on its footprint, the four cells of
// row 20 from column 5: a click there leaves her on the free cell above it, never on it,
// and above that row, inside the picture, she stands behind the wall, drawn under it.
TEST_F(SamplePlay, TheHousesFootprintIsWalledAndSheStandsBehindItsWall) {
    const std::vector<ProbeRow> rows =
        RunProbe(kNewGame + "9500 shot start.png\n" + ClickAt(10000, 176, 396) + "13000 shot behind.png\n" +
                     ClickAt(13100, 176, 330),
                 16000, false);
    int nOnHouse = 0;
    for (const ProbeRow& r : rows) nOnHouse += r.nScene == 0 && r.nCellY == 20 && r.nCellX >= 5 && r.nCellX <= 8;
    EXPECT_EQ(nOnHouse, 0) << "passes on the house's cells";
    const ProbeRow* pBehind = RowAt(rows, 13000);
    ASSERT_TRUE(pBehind && !rows.empty());
    EXPECT_EQ(rows.back().nCellX, 5);
    EXPECT_EQ(rows.back().nCellY, 19);
    ASSERT_EQ(pBehind->nCellX, 7);
    ASSERT_EQ(pBehind->nCellY, 19);
    const CShot start(Shot("start.png")), behind(Shot("behind.png"));
    ASSERT_TRUE(start.Read() && behind.Read());
    // Her dress's hem (24 pixels above her feet) lies over the wall, which covers it.
    EXPECT_NE(behind.Pixel(pBehind->x - pBehind->nViewX, pBehind->y - pBehind->nViewY - 24), start.Pixel(400, 276))
        << "her dress is drawn over the wall";
}

// At the well in time the praise plays, the view pans, the heroine makes her gesture and
// the scene effect (a ring growing around a white middle) plays beside it: its value holds
// the frame's own pass over the effects, and the scene's draw plays it at her depth.
TEST_F(SamplePlay, AtTheWellTheSceneEffectPlaysWhileTheHeroineGestures) {
    // Down the road to the well; the praise read.
    std::string strScript = GreetingAndVillager() + ClickAt(23200, 20, 400) + ClickAt(24800, 268, 303);
    for (int t = 26000; t <= 26500; t += 300) strScript += ClickAt(t, 400, 300);
    constexpr int kFirstShot = 26120, kLastShot = 26720, kShotStep = 40;
    for (int t = kFirstShot; t <= kLastShot; t += kShotStep)
        strScript += std::to_string(t) + " shot well" + std::to_string(t) + ".png\n";
    strScript += "27000 close\n";
    const std::vector<ProbeRow> rows = RunProbe(strScript, 27000, false);
    const ProgramRun run = RunGame(strScript);
    ASSERT_TRUE(run.bExited) << run.strErr;
    EXPECT_EQ(run.nCode, 0) << run.strErr;

    // The gesture (action 4) in the town, from the probe.
    int nGestureStart = -1, nGestureEnd = -1;
    for (const ProbeRow& r : rows) {
        if (r.nScene != 0 || r.nMs < 25000) continue;
        if (r.nAction == 4 && nGestureStart < 0) nGestureStart = r.nMs;
        if (r.nAction != 4 && nGestureStart >= 0 && nGestureEnd < 0) nGestureEnd = r.nMs;
    }
    ASSERT_GT(nGestureStart, kFirstShot) << "the gesture starts after the first shot";
    ASSERT_GT(nGestureEnd, nGestureStart);
    ASSERT_LT(nGestureEnd, kLastShot - 2 * kShotStep) << "the gesture ends before the last shots";
    // The effect's white middle: the effect is laid at (500 - 200, 416) and drawn from the
    // top left of its 128-pixel frame.
    int nFirstSeen = -1;
    for (int t = kFirstShot; t <= kLastShot; t += kShotStep) {
        CShot shot(Shot("well" + std::to_string(t) + ".png"));
        ASSERT_TRUE(shot.Read()) << t;
        const ProbeRow* pRow = RowAt(rows, t);
        ASSERT_NE(pRow, nullptr);
        const int x = 300 + 64 - pRow->nViewX, y = 416 + 64 - pRow->nViewY;
        const int nWhite = CountPixels(shot, x - 10, y - 10, x + 11, y + 11,
                                       [](int r, int g, int b) { return r > 240 && g > 240 && b > 240; });
        if (nWhite >= 16 && nFirstSeen < 0) nFirstSeen = t;
    }
    EXPECT_GE(nFirstSeen, nGestureStart);
    EXPECT_LT(nFirstSeen, nGestureEnd) << "the effect shows while she gestures";
}


// An input script built in story order: each step starts where the one before ended.
class CStoryScript {
public:
    // A click, then nWait ms for what it starts (a walk, a panel).
    void Click(int x, int y, int nWait) { Button("lbutton", x, y, 40, 40, nWait); }
    // The cursor rests over a point for nWait ms: the next click there takes what the frames
    // in between found under it.
    void Point(int x, int y, int nWait) {
        At("move " + std::to_string(x) + " " + std::to_string(y));
        m_nMs += nWait;
    }
    void RightClick(int x, int y, int nWait) { Button("rbutton", x, y, 100, 40, nWait); }
    // The talk lines read: Space every 700 ms with the cursor in the middle, or left
    // on the talker.
    void Read(int n, POINT pt = {400, 300}) {
        At("move " + std::to_string(pt.x) + " " + std::to_string(pt.y));
        for (int i = 0; i < n; ++i, m_nMs += 700) At("key press SPACE");
    }
    void Key(const char* pszKey, int nWait) {
        At(std::string("key press ") + pszKey);
        m_nMs += nWait;
    }
    void Shot(const std::string& strName) { At("shot " + strName); }
    void Wait(int nMs) { m_nMs += nMs; }
    // A battle by the mouse, n presses of its ring: each member's turn the attack button
    // of the ring around her (the heroine's place, then the companion's) and a foe, the
    // foes in turn; every third press clicks the result panels away.
    void Battle(int n, std::initializer_list<POINT> foes) {
        const POINT rings[3] = {{510, 305}, {618, 206}, {400, 120}};
        for (int i = 0; i < n; ++i) {
            Press(rings[i % 3]);
            if (i % 3 < 2) Press(foes.begin()[size_t(i / 3) % foes.size()]);
        }
    }
    std::string Text() const { return m_strText + std::to_string(m_nMs) + " close\n"; }
    int Now() const { return m_nMs; }

private:
    void At(const std::string& strLine) { m_strText += std::to_string(m_nMs) + " " + strLine + "\n"; }
    void Button(const char* pszButton, int x, int y, int nDown, int nUp, int nWait) {
        char sz[96];
        std::snprintf(sz, sizeof sz, "%d move %d %d\n%d %s down %d %d\n%d %s up %d %d\n", m_nMs, x, y, m_nMs + nDown,
                      pszButton, x, y, m_nMs + nDown + nUp, pszButton, x, y);
        m_strText += sz;
        m_nMs += nDown + nUp + nWait;
    }
    // The ring lights a button under the cursor first.
    void Press(POINT pt) { Button("lbutton", pt.x, pt.y, 200, 60, 300); }

    std::string m_strText;
    int m_nMs = 0;
};

// The whole story as a newcomer plays it with the mouse, Space reading the talk lines:
// title, new game, the first villager's task, the inn's keeper who ends it, the table's
// gifts crafted, the game keeper's gamble, a potion bought, the pedlar, the herbalist's
// errand, the chest and the squire's pendant, a save and its load, the grove with the
// fox cub struck down in its lane, the companion who fights the beasts beside her, the
// herbs, the master's bout, the herbalist's reward, the task panel, a second save, the
// innkeeper's end of the story, the title, the credits and the title again.
CStoryScript NewcomersStory() {
    CStoryScript s;
    s.Wait(8000), s.Shot("title.png"), s.Wait(500), s.Click(280, 240, 560);
    s.Click(536, 272, 800), s.Read(5);                        // the greeting
    s.Click(177, 42, 1000), s.Read(2);                        // the first villager: the first task
    s.Click(58, 111, 2600), s.Shot("inn.png");                // the inn's door
    s.Click(560, 352, 1000), s.Read(4);                       // the innkeeper ends the task
    s.Click(400, 424, 2200), s.Click(760, 330, 1400), s.Click(615, 292, 1000);  // out, east
    s.Click(726, 212, 1000), s.Read(2);                       // the combining table's gifts
    s.Click(762, 566, 500), s.Click(323, 345, 600), s.Shot("table.png");  // the state panel's combining
    for (int x : {439, 471, 503}) s.RightClick(x, 230, 400);
    s.Click(535, 230, 400), s.Click(116, 229, 500), s.Click(160, 344, 700), s.Shot("combined.png");
    s.Key("ESC", 500), s.Click(598, 330, 600), s.Click(630, 396, 1100), s.Read(2);  // the game keeper
    s.Click(230, 117, 600), s.Click(50, 550, 500), s.Click(60, 160, 500);  // the gamble: a side, a stake
    s.Click(300, 300, 2200), s.Shot("gamble.png"), s.Click(400, 400, 800), s.Read(1);
    s.Point(662, 14, 200), s.Click(662, 14, 1000), s.Read(2), s.Wait(300);  // the shop keeper's shop
    s.RightClick(84, 75, 500), s.Shot("bought.png"), s.Click(217, 385, 800);  // a potion bought, OK
    for (const POINT pt : {POINT{598, 330}, POINT{566, 415}, POINT{520, 421}, POINT{470, 425}}) s.Click(pt.x, pt.y, 600);
    s.Click(374, 335, 600), s.Read(2);                        // the pedlar
    s.Click(566, 388, 1500), s.Click(250, 100, 300), s.Read(2);  // the herbalist's errand: yes
    s.Click(790, 446, 1700), s.Read(5);                       // the chest
    s.Click(475, 42, 1800), s.Click(374, 157, 600), s.Read(2);  // squire Li's pendant
    s.Key("ESC", 500), s.Click(500, 85, 600), s.Click(236, 87, 600), s.Click(215, 370, 1500);  // saved in row 0
    s.Key("ESC", 500), s.Click(500, 147, 600), s.Click(127, 92, 600), s.Shot("load.png");
    s.Click(215, 370, 2500);                                  // and loaded
    s.Click(644, 433, 1000), s.Click(690, 335, 600), s.Click(790, 310, 1800), s.Read(1);  // the grove
    s.Click(256, 280, 1400);                                  // up the path to the cub's lane
    for (int i = 0; i < 7; ++i) s.Click(352, 100, 620);       // the fox cub struck in its lane
    s.Click(256, 384, 3500), s.Read(2);                       // back to the companion: she joins
    s.Click(192, 256, 500), s.Read(2), s.Shot("beasts.png");  // the beasts jump out
    s.Battle(25, {{124, 360}, {220, 245}});
    s.Click(320, 400, 2400), s.Read(1);                       // the herb patch east of the arrival
    s.Click(64, 336, 1800), s.Click(598, 374, 1000);          // back to the town, below the game keeper
    s.Click(662, 40, 900), s.Click(250, 100, 300), s.Read(2), s.Shot("golems.png");  // the master's bout
    s.Battle(11, {{124, 360}, {220, 245}, {200, 490}});
    s.Click(566, 430, 1000), s.Click(566, 433, 600), s.Click(566, 384, 900), s.Read(5);  // the reward
    s.Click(290, 40, 1400), s.Click(108, 196, 1000), s.Click(184, 175, 2200);  // to the inn
    s.Click(762, 566, 500), s.Click(323, 302, 600), s.Shot("tasks.png"), s.Key("ESC", 500);
    s.Key("ESC", 500), s.Click(500, 85, 600), s.Click(236, 157, 600), s.Click(215, 370, 1500);  // row 1
    // As the pedlar said: in the bag (W) a pearl onto quick slot 5, a medicine (third
    // page) onto slot 1.
    s.Key("W", 500), s.Click(439, 230, 300), s.Click(521, 572, 300), s.Click(719, 289, 500), s.Click(439, 230, 300);
    s.Click(283, 572, 300), s.Key("W", 500), s.Shot("slots.png");
    s.Click(560, 352, 1000), s.Read(4, {560, 352}), s.Wait(2000), s.Shot("ending.png");  // the innkeeper, hovered: the end
    s.Wait(45000), s.Shot("after.png"), s.Click(280, 440, 1500), s.Shot("credits.png");
    s.Wait(44000), s.Read(0), s.Wait(500), s.Shot("back.png");
    return s;
}

// One pass of worldprobe's CSV with the fight columns: the scene, the running event, the
// heroine's life and the fighter's life and display.
struct StoryRow {
    int nMs = 0, nScene = -1, nEvent = -1, nLife = 0, nFoeLife = 0, nFoeDisplay = 0;
};

TEST_F(SamplePlay, ANewcomerPlaysTheStoryWithTheMouseFromTheTitleToTheCreditsAndTheTitle) {
    const CStoryScript story = NewcomersStory();
    // The game's own state pass by pass (the fox cub, id 3 of the grove, as the fighter).
    const std::vector<std::string> args{m_strGame, Script(story.Text()), "--ms", std::to_string(story.Now() + 1000),
                                        "--npc", "3"};
    const ProgramRun probe = RunProgramIn(m_strRun, kWorldProbe, args, m_strRun + "/input.txt");
    ASSERT_TRUE(probe.bExited && probe.nCode == 0) << probe.strErr;
    for (const char* pszSave : {"save/save000.sav", "save/save001.sav"}) std::filesystem::remove(m_strGame + "/" + pszSave);
    const ProgramRun run = RunGame(story.Text());
    ASSERT_TRUE(run.bExited && run.nCode == 0) << run.strErr;

    std::vector<StoryRow> rows;
    std::istringstream in(probe.strOut);
    for (std::string line; std::getline(in, line);) {
        StoryRow r;
        if (std::sscanf(line.c_str(), "%*d,%d,%d,%*d,%*d,%*d,%*d,%*d,%*d,%*d,%*d,%*d,%*d,%*d,%*d,%d,%*d,%*d,%*d,%*d,%*d,"
                                      "%*d,%*d,%d,%d,%*d,%d",
                        &r.nMs, &r.nScene, &r.nEvent, &r.nFoeLife, &r.nFoeDisplay, &r.nLife) == 6)
            rows.push_back(r);
    }
    ASSERT_GT(rows.size(), 1000u);
    // Every scene, every errand's event, the bout, the crafts' table, the gamble, the
    // shop and the story's end; her life never below half of its 120; the cub felled.
    std::set<int> scenes;
    std::set<std::pair<int, int>> events;
    bool bCubDown = false;
    for (const StoryRow& r : rows) {
        scenes.insert(r.nScene);
        events.insert({r.nScene, r.nEvent});
        EXPECT_GE(r.nLife, 60) << "at " << r.nMs << " ms in scene " << r.nScene;
        bCubDown = bCubDown || (r.nScene == 1 && r.nFoeLife < 1 && r.nFoeDisplay == 4);
    }
    EXPECT_EQ(scenes, (std::set<int>{0, 1, 100}));
    for (const auto& e : {std::pair{0, 20}, {100, 20}, {0, 78}, {0, 87}, {0, 75}, {0, 30}, {0, 42}, {0, 70}, {0, 25},
                          {1, 40}, {1, 60}, {1, 41}, {0, 64}, {0, 41}, {100, 21}})
        EXPECT_TRUE(events.count(e)) << "scene " << e.first << " event " << e.second << " never ran";
    EXPECT_TRUE(bCubDown);

    // The save before the story's end: every task given is completed; the bag holds the
    // table's three potions, the bought one, the pedlar's three and the chest's three.
    for (const char* pszSave : {"save/save000.sav", "save/save001.sav"}) {
        const std::string bytes = ReadWholeFile(m_strGame + "/" + pszSave);
        SaveGameFile save;
        std::string why;
        ASSERT_TRUE(ParseSaveFile(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), pszSave, &save, &why)) << why;
        if (std::string(pszSave) == "save/save000.sav") {
            EXPECT_EQ(save.pHero->nItemCount[1], 10);
            continue;
        }
        for (int t = 0; t < kHeroTaskCount; ++t) EXPECT_NE(save.pHero->nTaskState[t], 1) << "task " << t << " open";
        for (int t : {0, 1, 2, 4, 5}) EXPECT_EQ(save.pHero->nTaskState[t], 0) << "task " << t;
    }

    // The screens: the inn's door mat, the table's results, the gamble, the load list's row
    // of the save (its picture, an empty row below), the completed tasks, the companion's
    // status box beside the heroine's in both battles, the ending's picture, then the
    // title, the credits and the title again.
    std::map<std::string, std::unique_ptr<CShot>> shots;
    for (const char* pszName : {"title", "inn", "table", "combined", "gamble", "bought", "load", "beasts", "golems",
                                "tasks", "slots", "ending", "after", "credits", "back"}) {
        shots[pszName] = std::make_unique<CShot>(Shot(std::string(pszName) + ".png"));
        ASSERT_TRUE(shots[pszName]->Read()) << pszName;
    }
    const CShot &title = *shots["title"], &ending = *shots["ending"];
    EXPECT_GT(shots["inn"]->CountNear(RECT{355, 410, 445, 438}, 0xA53029, 12), 1500) << "the inn's door mat";
    EXPECT_LT(shots["load"]->CountNear(RECT{180, 60, 255, 115}, 0x080C10, 12), 400) << "the save's picture";
    EXPECT_GT(shots["load"]->CountNear(RECT{180, 130, 255, 182}, 0x080C10, 12), 3500) << "an empty row";
    EXPECT_GT(shots["tasks"]->CountNear(RECT{440, 240, 720, 275}, 0xE01010, 60), 200) << "no completed task";
    EXPECT_GT(shots["combined"]->Differences(*shots["table"], 260, 183, 64, 64), 1000) << "no results of the recipe";
    EXPECT_GT(shots["gamble"]->Differences(*shots["combined"], 0, 0, 800, 600), 800 * 600 / 2);
    // The gamble's yellow outcome (lightness 227) stands on a dark table beside it.
    EXPECT_LT(Lightness(shots["gamble"]->Pixel(390, 210)), 110) << "the outcome does not read";
    // The shop's balance, ":%d" from x 120, has its caption at its left.
    const ToolBarProbe* pShop = FindPanelProbe("TradeMenu_BKGround.tga");
    ASSERT_TRUE(pShop);
    EXPECT_GT(68 * 20 - shots["bought"]->CountNear(RECT{50, 340, 118, 360}, PackRgb(pShop->r, pShop->g, pShop->b), 24), 40)
        << "no caption before the balance";
    // The clasp between the state panel and the task panel: its bars, the map between.
    const ToolBarProbe* pClasp = FindPanelProbe("Connect.tga");
    ASSERT_TRUE(pClasp);
    EXPECT_TRUE(shots["tasks"]->Near(358 + pClasp->x, 190 + pClasp->y, PackRgb(pClasp->r, pClasp->g, pClasp->b), 24));
    for (const unsigned c : {PackRgb(pClasp->r, pClasp->g, pClasp->b), PackRgb(255, 0, 255)})
        EXPECT_LT(shots["tasks"]->CountNear(RECT{360, 207, 420, 217}, c, 24), 100) << "the clasp is not clear between its bars";
    // The pedlar's pearl and medicine in quick slots 5 and 1, as her words tell, each
    // icon and count inside its slot's frame: the frame's right edge is whole.
    for (const int x0 : {261, 498}) {
        EXPECT_GT(shots["slots"]->Differences(*shots["tasks"], x0 + 13, 560, 32, 32), 300) << "slot at " << x0;
        EXPECT_EQ(shots["slots"]->CountNear(RECT{x0 + 47, 548, x0 + 49, 599}, PackRgb(200, 160, 90), 12), 2 * 51)
            << "slot at " << x0;
    }
    const std::string strStory = SampleStoryText(GameModel{});
    const size_t nLine = strStory.find("text 250 ");
    ASSERT_NE(nLine, std::string::npos);
    const std::string strPedlar = strStory.substr(nLine, strStory.find('\n', nLine) - nLine);
    for (const char* pszWords : {"包里（按W）", "药拖到快捷栏左边四格", "珠子拖到右边四格"})
        EXPECT_NE(strPedlar.find(pszWords), std::string::npos) << strPedlar;
    for (const char* pszBattle : {"beasts", "golems"})
        for (const int x : {90, 351})
            EXPECT_GT(shots[pszBattle]->CountNear(RECT{x, 50, x + 138, 133}, 0x202840, 24), 3000) << pszBattle << " " << x;
    EXPECT_TRUE(ending.Near(400, 10, PackRgb(250, 180, 90), 16)) << "the ending's picture";
    // Its sun stands clear of the rows its text slides in on.
    EXPECT_GT(ending.CountNear(RECT{0, 0, 800, 250}, PackRgb(255, 230, 160), 12), 10000);
    EXPECT_EQ(ending.CountNear(RECT{0, 250, 800, 550}, PackRgb(255, 230, 160), 12), 0);
    EXPECT_GT(ending.Differences(title, 0, 0, 800, 600), 800 * 600 / 2);
    EXPECT_LT(shots["after"]->Differences(title, 0, 0, 800, 600), 2000) << "the title after the ending";
    // The arrow there, not the talk shape centred on the innkeeper's point (560, 352).
    EXPECT_EQ(shots["after"]->Differences(title, 530, 322, 30, 60), 0) << "the title's cursor after the ending";
    EXPECT_GT(shots["credits"]->Differences(title, 0, 0, 800, 600), 100000);
    EXPECT_LT(shots["back"]->Differences(title, 0, 0, 800, 600), 2000) << "the title after the credits";
}

}  // namespace
