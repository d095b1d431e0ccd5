// The sample game played by the game binary, headless, from the title by input scripts
// (the way scripts/play runs it), with screenshots probed at known pixels: in the grove
// the square caster's area skill spreads over the cells around it, the heroine's cell
// among them, while her life bar shrinks, and the archer's shots fly toward her, and the
// black border above the map keeps no trail of what was drawn over it; in the town the weather stone shows fog, rain, snow and the dark veil in turn and then clears.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/shell/SampleGameRun.h"

namespace {

// The map part of the screen, above the toolbar.
constexpr int kMapBottom = 530;

std::string Click(int nMs, int x, int y) {
    return std::to_string(nMs) + " lbutton down " + std::to_string(x) + " " + std::to_string(y) + "\n" +
           std::to_string(nMs + 40) + " lbutton up " + std::to_string(x) + " " + std::to_string(y) + "\n";
}

struct Rgb {
    int r, g, b;
};

Rgb At(const CShot& shot, int x, int y) {
    const unsigned c = shot.Pixel(x, y);
    return Rgb{int(c >> 16), int((c >> 8) & 0xFF), int(c & 0xFF)};
}

// A patch of like pixels: its kind, size, centre and extent.
struct Blob {
    int nKind = 0, nPixels = 0, x = 0, y = 0, nWidth = 0, nHeight = 0;
};

// The 4-connected patches of pixels of one kind in the screen rectangle rc; fnKind gives
// a pixel's kind, 0 for none. One pass reads the pixels for every kind.
template <typename F>
std::vector<Blob> FindBlobs(const CShot& shot, const RECT& rc, F fnKind) {
    const int w = int(rc.right - rc.left), h = int(rc.bottom - rc.top);
    std::vector<char> kinds(size_t(w) * size_t(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) kinds[size_t(y) * size_t(w) + size_t(x)] = char(fnKind(At(shot, rc.left + x, rc.top + y)));
    std::vector<Blob> blobs;
    std::vector<int> stack;
    for (int start = 0; start < w * h; ++start) {
        const char nKind = kinds[size_t(start)];
        if (!nKind) continue;
        kinds[size_t(start)] = 0;
        stack.assign(1, start);
        long nSumX = 0, nSumY = 0;
        int nMinX = w, nMinY = h, nMaxX = -1, nMaxY = -1;
        Blob b;
        b.nKind = nKind;
        while (!stack.empty()) {
            const int p = stack.back();
            stack.pop_back();
            const int x = p % w, y = p / w;
            ++b.nPixels;
            nSumX += x;
            nSumY += y;
            nMinX = std::min(nMinX, x), nMaxX = std::max(nMaxX, x);
            nMinY = std::min(nMinY, y), nMaxY = std::max(nMaxY, y);
            const int next[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
            for (const auto& n : next) {
                if (n[0] < 0 || n[1] < 0 || n[0] >= w || n[1] >= h) continue;
                const size_t q = size_t(n[1]) * size_t(w) + size_t(n[0]);
                if (kinds[q] != nKind) continue;
                kinds[q] = 0;
                stack.push_back(int(q));
            }
        }
        b.x = int(rc.left + nSumX / b.nPixels);
        b.y = int(rc.top + nSumY / b.nPixels);
        b.nWidth = nMaxX - nMinX + 1;
        b.nHeight = nMaxY - nMinY + 1;
        blobs.push_back(b);
    }
    return blobs;
}

// What a grove screenshot shows of the effects: the white 4 x 4 square in the middle of
// each frame of the area effect's rings, and the pale heads (white with a yellow tinge)
// of the flying bolts.
struct EffectsSeen {
    std::vector<Blob> markers, bolts;
};

// Only the part of the screen around the heroine, the archer and the caster is read.
EffectsSeen FindEffects(const CShot& shot) {
    constexpr RECT kAround{380, 250, 800, kMapBottom};
    enum { kNone, kMarker, kBolt };
    EffectsSeen seen;
    const auto kind = [](Rgb c) {
        if (c.r < 240 || c.g < 240) return int(kNone);
        if (c.b >= 240) return int(kMarker);
        return c.b >= 195 ? int(kBolt) : int(kNone);
    };
    for (const Blob& b : FindBlobs(shot, kAround, kind)) {
        if (b.nKind == kMarker && b.nPixels == 16 && b.nWidth == 4 && b.nHeight == 4) seen.markers.push_back(b);
        if (b.nKind == kBolt && b.nPixels >= 20) seen.bolts.push_back(b);
    }
    return seen;
}

// The heroine's life bar: the length of its red run on the HUD.
int LifeBarLength(const CShot& shot) {
    int n = 0;
    for (int x = 0; x < 120; ++x) {
        const Rgb c = At(shot, x, 570);
        n += c.r > 180 && c.g < 60 && c.b < 60;
    }
    return n;
}

// The widest run of lit pixels in a row above the grove's ground: under the view at
// y -88 the map begins 88 rows down and its top tiles reach 16 rows higher. What is
// drawn there is redrawn each frame, so at most a character's width shows (the fox cub
// in its lane at the map's top rises above it), never a trail of the frames before.
int WidestRunAboveTheMap(const CShot& shot) {
    int nWidest = 0;
    for (int y = 0; y < 88 - 16; ++y)
        for (int x = 0, nRun = 0; x < 800; ++x) {
            nRun = shot.Pixel(x, y) != 0 ? nRun + 1 : 0;
            nWidest = std::max(nWidest, nRun);
        }
    return nWidest;
}

class EffectsPlay : public SampleGameRun {
protected:
    EffectsPlay() : SampleGameRun("effectsplay") {}
    void SetUp() override { ASSERT_TRUE(WriteSampleGame()); }
    // The game binary in the sample folder with the input script, ending by itself.
    ::testing::AssertionResult Play(const std::string& strScript) {
        const ProgramRun run = RunGame(strScript);
        if (!run.bExited || run.nCode != 0)
            return ::testing::AssertionFailure() << "the game ended with " << run.nCode << ": " << run.strErr;
        return ::testing::AssertionSuccess();
    }
    // A screenshot of the run read back.
    std::unique_ptr<CShot> ReadShot(const std::string& strName) const {
        auto p = std::make_unique<CShot>(Shot(strName));
        EXPECT_TRUE(p->Read()) << strName;
        return p;
    }
};

// Screenshots every 20 virtual ms: while the archer shoots at her, then while the square
// caster's marks spread.
constexpr int kShotStepMs = 20;
constexpr int kArcherFirstMs = 19400, kArcherLastMs = 21400, kCasterFirstMs = 24000, kCasterLastMs = 26400;

TEST_F(EffectsPlay, InTheGroveTheSquareCastersMarksSpreadOverTheHeroineAndTheArchersShotsFlyAtHer) {
    // To the road at the town's east end: a click east, another short of the exit, then
    // steps right into it (the grove's fighters take their places by the moment it loads);
    // the grove's greeting is read.
    std::string strScript = kNewGame + Click(9500, 790, 332) + Click(11500, 726, 304) +
                            "14000 key press RIGHT\n14500 key press RIGHT\n15000 key press RIGHT\n"
                            "15500 key press RIGHT\n" +
                            Click(16000, 400, 300);
    // Along the grove's path to the south-east: the click on the screen (672, 504) is the
    // map's (672, 416), and the view then stops at (154, -88). A click on the archer takes
    // her up its lane to the cell next to it (the screen's (550, 328)), where it shoots at
    // her; a click on the square caster then takes her to the cell next to that one (the
    // screen's (742, 424)).
    strScript += Click(17000, 672, 504) + Click(18500, 582, 280) + Click(23000, 774, 370);
    for (int t = kArcherFirstMs; t <= kCasterLastMs; t += kShotStepMs)
        if (t <= kArcherLastMs || t >= kCasterFirstMs) strScript += std::to_string(t) + " shot g" + std::to_string(t) + ".png\n";
    strScript += std::to_string(kCasterLastMs + 100) + " close\n";
    ASSERT_TRUE(Play(strScript));

    // The ring picture of the effect is 128 pixels square and drawn 64 left of and 200
    // above its cell's point: its white middle lies 136 above the cell's point.
    constexpr int kMarkerRise = 136;

    struct Frame {
        int nMs;
        std::vector<Blob> markers, bolts;
        int nLife;
    };
    auto read = [&](int nFirst, int nLast, std::vector<Frame>* pFrames) {
        for (int t = nFirst; t <= nLast; t += kShotStepMs) {
            const auto pShot = ReadShot('g' + std::to_string(t) + ".png");
            if (!pShot->Read()) return false;
            EXPECT_LE(WidestRunAboveTheMap(*pShot), 64) << "a trail over the border at " << t << " ms";
            EffectsSeen seen = FindEffects(*pShot);
            pFrames->push_back(Frame{t, std::move(seen.markers), std::move(seen.bolts), LifeBarLength(*pShot)});
        }
        return true;
    };
    std::vector<Frame> shots, frames;
    if (!read(kArcherFirstMs, kArcherLastMs, &shots) || !read(kCasterFirstMs, kCasterLastMs, &frames)) return;

    // The area skill, with her at the screen's (742, 424): markers come one cell after another, all on the diamond grid of
    // 64 x 32 cells around the first, within the 3 x 3 square (two steps either way).
    std::vector<Blob> seen;
    int nFirstMarkerMs = -1, nHeroMarkerMs = -1;
    for (const Frame& f : frames)
        for (const Blob& m : f.markers) {
            if (nFirstMarkerMs < 0) nFirstMarkerMs = f.nMs;
            bool bKnown = false;
            for (const Blob& s : seen) bKnown = bKnown || (std::abs(s.x - m.x) <= 1 && std::abs(s.y - m.y) <= 1);
            if (bKnown) continue;
            seen.push_back(m);
            if (std::abs(m.x - 742) <= 2 && std::abs(m.y - (424 - kMarkerRise)) <= 2 && nHeroMarkerMs < 0)
                nHeroMarkerMs = f.nMs;
        }
    ASSERT_GE(nFirstMarkerMs, 0) << "no area effect was seen";
    EXPECT_GE(seen.size(), 4u);
    for (const Blob& mark : seen) {
        const int dx = mark.x - seen[0].x, dy = mark.y - seen[0].y;
        // dx = 32 (a - b) and dy = 16 (a + b) for whole steps a and b along the grid's axes.
        const int nA = int(std::lround(dx / 32.0)), nB = int(std::lround(dy / 16.0));
        EXPECT_LE(std::abs(dx - 32 * nA), 2) << mark.x << "," << mark.y;
        EXPECT_LE(std::abs(dy - 16 * nB), 2) << mark.x << "," << mark.y;
        EXPECT_EQ((nA + nB) % 2, 0) << mark.x << "," << mark.y;
        EXPECT_LE(std::abs(nA + nB) / 2, 2) << mark.x << "," << mark.y;
        EXPECT_LE(std::abs(nB - nA) / 2, 2) << mark.x << "," << mark.y;
    }
    // It reaches the heroine's cell, and her life bar is shorter afterwards than before
    // the skill began.
    ASSERT_GE(nHeroMarkerMs, 0) << "the square never reached her cell";
    const auto lifeAt = [&](int nMs) {
        for (const Frame& f : frames)
            if (f.nMs >= nMs) return f.nLife;
        return frames.back().nLife;
    };
    EXPECT_GT(lifeAt(kCasterFirstMs), 0);
    EXPECT_LT(lifeAt(nHeroMarkerMs + 400), lifeAt(nFirstMarkerMs - kShotStepMs));

    // The archer's shots, with her at the screen's (550, 328) on the cell next to it: a bolt
    // head followed over at least two screenshots (the flight is one cell long), each step
    // 15 to 35 pixels along nearly the same line, coming closer to her.
    int nLongest = 0;
    for (size_t i = 0; i < shots.size(); ++i)
        for (const Blob& start : shots[i].bolts) {
            Blob at = start;
            int dx = 0, dy = 0, nLength = 1;
            for (size_t j = i + 1; j < shots.size(); ++j) {
                const Blob* pNext = nullptr;
                for (const Blob& b : shots[j].bolts) {
                    const int sx = b.x - at.x, sy = b.y - at.y, d2 = sx * sx + sy * sy;
                    if (d2 == 0) {  // the same frame shot twice
                        pNext = &b;
                        break;
                    }
                    if (d2 < 15 * 15 || d2 > 35 * 35) continue;
                    if (nLength > 1 && (std::abs(sx - dx) > 6 || std::abs(sy - dy) > 6)) continue;
                    const int nBefore = (at.x - 550) * (at.x - 550) + (at.y - 328) * (at.y - 328);
                    const int nAfter = (b.x - 550) * (b.x - 550) + (b.y - 328) * (b.y - 328);
                    if (nAfter >= nBefore) continue;
                    pNext = &b;
                }
                if (!pNext) break;
                if (pNext->x != at.x || pNext->y != at.y) {
                    dx = pNext->x - at.x;
                    dy = pNext->y - at.y;
                    ++nLength;
                }
                at = *pNext;
            }
            nLongest = std::max(nLongest, nLength);
        }
    EXPECT_GE(nLongest, 2) << "no shot was seen flying";
    // The archer's skill shot bursts into a ring of bolts.
    size_t nMostBolts = 0;
    for (const Frame& f : shots) nMostBolts = std::max(nMostBolts, f.bolts.size());
    EXPECT_GE(nMostBolts, 16u);
}

// Mean brightness of a row's pixels in [x0, x1).
double RowBrightness(const CShot& shot, int y, int x0, int x1) {
    double sum = 0;
    for (int x = x0; x < x1; ++x) {
        const Rgb c = At(shot, x, y);
        sum += c.r + c.g + c.b;
    }
    return sum / (3.0 * (x1 - x0));
}

// Pixels of the rectangle that pass the test.
template <typename F>
int Count(const CShot& shot, int x0, int y0, int x1, int y1, F test) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += test(At(shot, x, y)) ? 1 : 0;
    return n;
}

TEST_F(EffectsPlay, TheWeatherStoneShowsFogRainSnowAndTheVeilInTurnAndThenClears) {
    // Around the town's wall to the weather stone in the south-west; each weather's line
    // is read with a click.
    std::string strScript = kNewGame + Click(9500, 236, 472) + Click(12000, 112, 488) +
                            "11900 shot plain.png\n13500 shot fog.png\n" + Click(14000, 400, 300) +
                            "15000 shot rain.png\n" + Click(15500, 400, 300) + "16500 shot snow.png\n" +
                            Click(17000, 400, 300) + "18000 shot stripes.png\n" + Click(18500, 400, 300) +
                            "19500 shot after.png\n20000 close\n";
    ASSERT_TRUE(Play(strScript));
    const auto plain = ReadShot("plain.png"), fog = ReadShot("fog.png"), rain = ReadShot("rain.png"),
               snow = ReadShot("snow.png"), stripes = ReadShot("stripes.png"), after = ReadShot("after.png");
    if (!plain->Read() || !fog->Read() || !rain->Read() || !snow->Read() || !stripes->Read() || !after->Read())
        return;

    // The talk box covers x 10..530, y 295..455; the columns right of it up to the
    // characters at the right edge hold only the map.
    constexpr int x0 = 540, x1 = 740;
    // Fog: each 10-row band is blended with white, its alpha (51 at the top, rising by
    // 2.55 a band) weighting the ground: the top is the whitest.
    for (int y : {5, 95, 205, 465, 515}) {
        const double a = double((20 + y / 10) * 255 / 100) / 255.0;
        int nMatch = 0;
        for (int x = x0; x < x1; ++x) {
            const Rgb p = At(*plain, x, y), f = At(*fog, x, y);
            const auto blend = [&](int v) { return v * a + 255 * (1 - a); };
            nMatch += std::abs(f.r - blend(p.r)) <= 16 && std::abs(f.g - blend(p.g)) <= 16 &&
                      std::abs(f.b - blend(p.b)) <= 16;
        }
        EXPECT_GE(nMatch, (x1 - x0) * 9 / 10) << "fog row " << y;
    }
    EXPECT_GT(RowBrightness(*fog, 5, x0, x1) - RowBrightness(*plain, 5, x0, x1),
              RowBrightness(*fog, 515, x0, x1) - RowBrightness(*plain, 515, x0, x1) + 60);

    // Rain: the haze over the top 100 rows pulls the ground toward its pale grey-blue,
    // below it grey streaks fall.
    const auto towardHaze = [&](int x, int y) {
        const Rgb p = At(*plain, x, y), r = At(*rain, x, y);
        return std::abs(r.r - 195) < std::abs(p.r - 195) || std::abs(r.g - 206) < std::abs(p.g - 206);
    };
    int nHazed = 0;
    for (int y = 0; y < 100; y += 3)
        for (int x = x0; x < x1; ++x) nHazed += towardHaze(x, y) ? 1 : 0;
    EXPECT_GE(nHazed, 34 * (x1 - x0) * 9 / 10);
    const auto grey = [](Rgb c) { return c.r >= 150 && std::abs(c.r - c.g) < 12 && std::abs(c.g - c.b) < 12; };
    const int nPlainGrey = Count(*plain, 0, 110, 800, 290, grey);
    EXPECT_GT(Count(*rain, 0, 110, 800, 290, grey), nPlainGrey + 200);

    // Snow: white flakes over the map where there were none.
    const auto white = [](Rgb c) { return c.r >= 235 && c.g >= 235 && c.b >= 235; };
    EXPECT_EQ(Count(*plain, 0, 0, 800, 290, white), 0);
    EXPECT_GT(Count(*snow, 0, 0, 800, 290, white), 100);

    // The plain veil: every pixel half the ground's and half one dark colour, the same
    // everywhere (2 x veiled - ground gives it back, give or take the rounding).
    std::vector<int> veil[3];
    for (int y = 0; y < 290; y += 7)
        for (int x = x0; x < x1; ++x) {
            const Rgb p = At(*plain, x, y), v = At(*stripes, x, y);
            veil[0].push_back(2 * v.r - p.r);
            veil[1].push_back(2 * v.g - p.g);
            veil[2].push_back(2 * v.b - p.b);
        }
    int nMedian[3];
    for (int c = 0; c < 3; ++c) {
        std::vector<int> sorted = veil[c];
        std::nth_element(sorted.begin(), sorted.begin() + long(sorted.size() / 2), sorted.end());
        nMedian[c] = sorted[sorted.size() / 2];
        EXPECT_LT(nMedian[c], 100) << "the veil is not dark, channel " << c;
    }
    int nVeiled = 0;
    for (size_t i = 0; i < veil[0].size(); ++i)
        nVeiled += std::abs(veil[0][i] - nMedian[0]) <= 24 && std::abs(veil[1][i] - nMedian[1]) <= 24 &&
                   std::abs(veil[2][i] - nMedian[2]) <= 24;
    EXPECT_GE(nVeiled, int(veil[0].size()) * 9 / 10);

    // After the last line the sky is clear again: the top rows are the plain ones, bar
    // whoever walked there.
    EXPECT_LT(after->Differences(*plain, 0, 0, 800, 100), 800 * 100 / 20);
    EXPECT_EQ(Count(*after, 0, 0, 800, 290, white), 0);
}

}  // namespace
