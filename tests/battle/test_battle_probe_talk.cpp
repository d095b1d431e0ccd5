// The battle's talk in the battle probe on the sample game: the master's golems open the
// bout with their challenge in the narrow talk bar beside the first golem, the heroine
// answers beside herself, the lines go on while the left button is held, and the ring
// comes only after the last line; the heroine and the companion both carry last words,
// and only the first of them to fall speaks. The map gets the wide bar back.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/TempFolder.h"
#include "tests/battle/BattleShots.h"
#include "tests/battle/ProbeTestUtil.h"
#include "tools/mkgame/BattleContent.h"

namespace {

#if defined(MKGAME_BINARY) && defined(BATTLEPROBE_BINARY)

using namespace probetest;

// CSV columns: the members' gauges, the acting slot, the menu state, the time.
constexpr int kGauge0 = 1, kGauge1 = 5, kActive = 33, kMenu = 34, kTime = 35;
// The talk bar's frame and the text's white, as the sample's bar picture draws them.
constexpr std::uint32_t kBarFrame = 0xC8AA64;
// Where the narrow bar stands: beside the first golem for the opening, at the home of a
// member who speaks.
constexpr RECT kOpeningBar{74, 155, 274, 305}, kOpeningText{232, 182, 300, 260};
constexpr RECT kHeroineBar{370, 235, 570, 385}, kHeroineText{528, 262, 600, 340};
constexpr RECT kCompanionBar{478, 136, 678, 286};
// The heroine's ring.
constexpr RECT kRing{490, 285, 640, 445};

struct TalkLine {
    long nPass = -1;
    int nFace = -1;  // -1 for the end of a talk
    std::string strText;
};

std::vector<TalkLine> TalkLines(const std::string& strTail) {
    std::vector<TalkLine> lines;
    std::istringstream in(strTail);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("talk ", 0) != 0 || line.rfind("talk bar ", 0) == 0) continue;
        std::istringstream words(line.substr(5));
        TalkLine t;
        std::string strFace;
        words >> t.nPass >> strFace;
        if (strFace != "end") {
            t.nFace = std::stoi(strFace);
            std::getline(words >> std::ws, t.strText);
        }
        lines.push_back(t);
    }
    return lines;
}

int WhiteIn(const CShot& shot, const RECT& rc) {
    return CountWhitish(shot, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

// Pixels where blue clearly leads: the ring, drawn at half strength over the field.
int BluishIn(const CShot& shot, const RECT& rc) {
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) {
            const unsigned p = shot.Pixel(x, y);
            const int r = int(p >> 16), g = int((p >> 8) & 0xFF), b = int(p & 0xFF);
            n += b >= 0x70 && b >= r + 0x30 && b >= g + 0x10;
        }
    return n;
}

int Width(const RECT& rc) { return rc.right - rc.left; }

TEST(BattleProbeTalk, TheGolemsChallengeBesideThemTheRingAfterTheLastLineAndOneCry) {
    CTempFolder folder("battleprobe-talk");
    std::string strGame;
    ASSERT_TRUE(WriteSampleFolder(folder, &strGame));
    // One press on each typed line of the opening: a slow click of the left button, Space,
    // a short click; shots while the ring may be up, before the probe plays on by itself.
    // The first golem (row 8) speaks; two tiger kings (row 10) beside it make sure the
    // party falls, since the golems alone are a new heroine's match.
    std::string strScript = "1500 lbutton down 400 20\n1700 lbutton up 400 20\n3000 key press SPACE\n"
                            "4500 lbutton down 400 20\n4530 lbutton up 400 20\n";
    for (int t = 5000; t <= 8000; t += 500) strScript += std::to_string(t) + " shot " + folder.File(std::to_string(t) + ".png") + "\n";
    folder.Write("talk.txt", strScript);
    const ProbeRun run = RunProbe(folder, strGame,
                                  "1 8 10 10 --seed 7 --members 2 --tall 8:61 --del-tall 0:62,2:63 --talk-shots " +
                                      folder.File("line"),
                                  folder.File("talk.txt"));
    ASSERT_EQ(run.program.nCode, 0) << run.program.strErr;
    EXPECT_EQ(run.nResult, 2) << "both fall: " << run.strTail;
    EXPECT_NE(run.strTail.find("talk bar wide\n"), std::string::npos) << run.strTail;

    const std::vector<TalkLine> talk = TalkLines(run.strTail);
    ASSERT_EQ(talk.size(), 6u) << run.strTail;
    EXPECT_EQ(talk[0].nFace, 8);
    EXPECT_EQ(talk[0].strText, "石像：来者何人？");
    EXPECT_EQ(talk[1].nFace, 8);
    EXPECT_EQ(talk[1].strText, "石像：先过我们这一关！");
    EXPECT_EQ(talk[2].nFace, 1);
    EXPECT_EQ(talk[2].strText, "放马过来吧！");
    EXPECT_EQ(talk[3].nFace, -1) << "the opening ends";
    auto timeOf = [&run](long nPass) {
        for (const auto& r : run.rows)
            if (r.size() > size_t(kTime) && r[0] >= nPass) return r[kTime];
        return -1L;
    };
    EXPECT_GE(timeOf(talk[2].nPass), 3000) << "the held button read one line";
    EXPECT_LT(timeOf(talk[2].nPass), 4500) << "Space read the next";
    EXPECT_GE(timeOf(talk[3].nPass), 4500);
    // One cry only, of whoever fell first.
    const bool bHeroineCried = talk[4].nFace == 1;
    EXPECT_EQ(talk[4].strText, bHeroineCried ? "啊……我撑不住了……" : "姐姐，我先倒下了……");
    EXPECT_EQ(talk[5].nFace, -1);

    // No turn and no rising gauge while the opening runs; the ring only after it.
    ASSERT_FALSE(run.rows.empty());
    const long nOpeningEnd = talk[3].nPass;
    long nFirstRing = -1;
    for (const auto& r : run.rows) {
        if (r.size() <= size_t(kTime)) continue;
        if (r[0] < nOpeningEnd) {
            EXPECT_EQ(r[kActive], -1) << "pass " << r[0];
            EXPECT_EQ(r[kGauge0], run.rows.front()[kGauge0]) << "pass " << r[0];
            EXPECT_EQ(r[kGauge1], run.rows.front()[kGauge1]) << "pass " << r[0];
        } else if (nFirstRing < 0 && r[kActive] >= 0 && r[kActive] < 4 && r[kMenu] == 0) {
            nFirstRing = r[0];
        }
    }
    EXPECT_NE(nFirstRing, -1) << "the ring came after the talk";

    // The lines as shot once typed: the challenge beside the first golem, the answer
    // beside the heroine, the cry beside whoever fell.
    CShot first(folder.File("line-1.png")), answer(folder.File("line-3.png")), cry(folder.File("line-4.png"));
    ASSERT_TRUE(first.Read() && answer.Read() && cry.Read());
    // A shot with the heroine's ring up and no talk: the baseline of both places.
    const std::vector<long>* pRingRow = nullptr;
    std::string strRingShot;
    for (int t = 5000; t <= 8000 && !pRingRow; t += 500) {
        const std::vector<long>* pRow = nullptr;
        for (const auto& r : run.rows)
            if (r.size() > size_t(kTime) && r[kTime] <= t && r[0] > nOpeningEnd) pRow = &r;
        if (pRow && (*pRow)[kActive] == 0 && (*pRow)[kMenu] == 0) {
            pRingRow = pRow;
            strRingShot = folder.File(std::to_string(t) + ".png");
        }
    }
    ASSERT_NE(pRingRow, nullptr) << "no shot with the heroine's ring";
    CShot ring(strRingShot);
    ASSERT_TRUE(ring.Read()) << strRingShot;
    // The bar's frame over what the field shows there without it.
    auto frame = [&ring](const CShot& shot, const RECT& rc) {
        return shot.CountNear(rc, kBarFrame, 24) - ring.CountNear(rc, kBarFrame, 24);
    };
    const int nBarFrame = 2 * Width(kOpeningBar);
    EXPECT_GT(frame(first, kOpeningBar), nBarFrame) << "the narrow bar beside the golem";
    EXPECT_GT(WhiteIn(first, kOpeningText) - WhiteIn(ring, kOpeningText), 40) << "its text";
    EXPECT_GT(frame(answer, kHeroineBar), nBarFrame) << "the answer beside the heroine";
    EXPECT_GT(WhiteIn(answer, kHeroineText) - WhiteIn(ring, kHeroineText), 40);
    EXPECT_LT(frame(answer, kOpeningBar), 20) << "the bar moved";
    EXPECT_GT(BluishIn(ring, kRing), 2000) << "the ring";
    EXPECT_LT(BluishIn(first, kRing), 200) << "no ring while the golems speak";
    EXPECT_LT(BluishIn(answer, kRing), 200);
    const RECT rcCryBar = bHeroineCried ? kHeroineBar : kCompanionBar;
    EXPECT_GT(frame(cry, rcCryBar), nBarFrame) << "the cry beside the fallen";
}

#endif

}  // namespace
