// Golden frames of the weather overlays, the area effects of each mode and a ring burst
// over the sample town, under a fixed clock and seed. Each weather frame is drawn the
// fast way and the literal way from the same start and must match pixel for pixel.
// GAME_REGENERATE_GOLDEN=1 rewrites the hashes (and leaves BMPs in the test folder).
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>

#include "tests/CDX/BlitTestUtil.h"
#include "tests/world/EffectTestUtil.h"
#include "tests/world/SceneTestUtil.h"
#include "tools/gamekit/FlyingSprites.h"
#include "tools/gamekit/SampleScenes.h"
#include "world/AreaEffect.h"
#include "world/EffectManager.h"
#include "world/FlyingEffect.h"
#include "world/TgaAnimation.h"
#include "world/Weather.h"

using namespace effecttest;

namespace {

const std::string kGoldenFile = std::string(GAME_SOURCE_DIR) + "/tests/world/golden/weather_goldens.txt";

// Ticks the area and flying effects from the scene draw, as the toolbar does.
class CReapingHost : public CFakeSceneHost {
public:
    std::function<void()> fnReap;
    void ReapEffects() override {
        if (fnReap) fnReap();
    }
};

class WeatherGolden : public EffectTest {
protected:
    std::vector<PkgEntryData> VeskEntries() const override { return FlyingSpriteEntries(1, 2); }

    void SetUp() override {
        EffectTest::SetUp();
        std::string why;
        ASSERT_TRUE(WriteSampleScenes(m_folder.Path(), &why)) << why;
        m_town = BuildSampleScene(0).map;
        Rebuild();
        m_effects = std::make_unique<CEffectManager>();
        pEffectManager = m_effects.get();
        // Patterns: a cross with cell effect 5 (mode 0), then a row of four cells in modes 1, 2, 3.
        for (int p = 0; p < 4; ++p) {
            for (int i = 0; i < 4; ++i) {
                m_cells[p][i] = p == 0 ? POINT{i == 1 ? 1 : i == 2 ? -1 : 0, i == 3 ? 1 : 0} : POINT{i, 0};
                m_steps[p][i] = AreaStep{{10, i == 0 ? 3 : 0, 0, 0, 0}};
            }
            m_rows[p] = AreaPatternRow{4, POINT{0, 0}, m_cells[p], m_steps[p]};
            m_tails[p] = AreaPatternTail{};
            m_tails[p].n[7] = p == 0 ? 5 : -1;
            m_tails[p].n[8] = p;
        }
        m_data.pAreaPattern = m_rows;
        m_data.pAreaPatternTail = m_tails;
        m_data.nAreaPatternCount = 4;
        std::ifstream in(kGoldenFile);
        std::string name;
        std::string hash;
        while (in >> name >> hash) m_golden[name] = std::strtoull(hash.c_str(), nullptr, 16);
    }
    void TearDown() override {
        UseLiteralWeather(false);
        pEffectManager = nullptr;
        m_effects.reset();
        pScene = nullptr;
        m_pScene.reset();
        if (m_bRegenerate) {
            for (const auto& [name, hash] : m_hashes) m_golden[name] = hash;
            std::ofstream out(kGoldenFile);
            for (const auto& [name, hash] : m_golden) out << name << ' ' << std::hex << hash << '\n';
        }
        EffectTest::TearDown();
    }
    // A fresh town, its objects at their first frames, with the view at (200, 200).
    void Rebuild() {
        SetCurrentDirectory(m_folder.Path().c_str());
        m_pScene = std::make_unique<CScene>();
        pScene = m_pScene.get();
        ASSERT_TRUE(m_pScene->BuildFromMap(0, m_town)) << m_pScene->GetLoadError();
        // The footprints as the setting file's load leaves them.
        m_pScene->PlaceAllFootprints();
        m_pScene->ptView = POINT{200, 200};
        m_sceneLink.ptView = m_pScene->ptView;
    }
    // The town, the clock and the generator at a fixed start.
    void Restart(DWORD t) {
        Rebuild();
        // The scene leaves the toolbar's strip as it was.
        ClearBack();
        UseVirtualClock(true, t, 20);
        dwNowTime = t;
        Srand(1);
    }
    void NextFrame() {
        Tick(20);
        m_pScene->Draw();
    }
    // Compares the back buffer with its golden hash.
    void Check(const std::string& strName) {
        const std::uint64_t hash = Fnv1a(Snapshot(*pBack));
        m_hashes[strName] = hash;
        if (m_bRegenerate) {
            pBack->SaveAsBmp(m_folder.File(strName + ".bmp").c_str());
            m_folder.Keep();
            return;
        }
        ASSERT_TRUE(m_golden.count(strName)) << "no golden for " << strName << " in " << kGoldenFile;
        EXPECT_EQ(hash, m_golden[strName]) << strName;
    }
    // Runs a weather sequence the fast and the literal way; both frames must agree.
    void CheckBothWays(const std::string& strName, const std::function<void()>& fnRun) {
        UseLiteralWeather(false);
        fnRun();
        const std::vector<BYTE> fast = Snapshot(*pBack);
        UseLiteralWeather(true);
        fnRun();
        UseLiteralWeather(false);
        const std::vector<BYTE> literal = Snapshot(*pBack);
        size_t nFirst = 0;
        while (nFirst < fast.size() && fast[nFirst] == literal[nFirst]) ++nFirst;
        EXPECT_TRUE(fast == literal) << strName << ": the fast frame differs from the literal one at pixel "
                                     << nFirst / 2 % 800 << ", " << nFirst / 1600;
        Check(strName);
    }

    bool m_bRegenerate = std::getenv("GAME_REGENERATE_GOLDEN") && std::string(std::getenv("GAME_REGENERATE_GOLDEN")) == "1";
    CReapingHost m_host;
    MapFileData m_town;
    std::unique_ptr<CScene> m_pScene;
    std::unique_ptr<CEffectManager> m_effects;
    POINT m_cells[4][4];
    AreaStep m_steps[4][4];
    AreaPatternRow m_rows[4];
    AreaPatternTail m_tails[4];
    std::map<std::string, std::uint64_t> m_golden, m_hashes;
};

TEST_F(WeatherGolden, OverlaysOverTheTown) {
    Restart(5000);
    NextFrame();
    Check("town");
    CheckBothWays("fog", [&] {
        Restart(5000);
        CFogEffect fog;
        NextFrame();
        fog.Draw();
    });
    for (int nPattern : {0, 1})
        CheckBothWays("stripes" + std::to_string(nPattern), [&] {
            Restart(5000);
            CStripeEffect stripes;
            stripes.SetPattern(nPattern);
            NextFrame();
            stripes.Draw();
        });
    CheckBothWays("rain_thunder", [&] {
        Restart(40000);
        CRainEffect rain;
        NextFrame();
        rain.Draw();
    });
    int nSplashes = 0;
    CheckBothWays("rain", [&] {
        Restart(41000);
        CRainEffect rain;
        rain.dwLastThunder = 41000;
        for (int f = 0; f < 40; ++f) {
            NextFrame();
            rain.Draw();
        }
        nSplashes = 0;
        for (const auto& p : rain.pDrops) nSplashes += p && p->nSplash == 1;
    });
    EXPECT_GT(nSplashes, 0);
    CheckBothWays("snow", [&] {
        Restart(5000);
        CSnowEffect snow;
        for (int f = 0; f < 40; ++f) {
            NextFrame();
            snow.Draw();
        }
    });
}

TEST_F(WeatherGolden, AreaEffectsOfEachModeAndARingBurst) {
    pGameData = &m_data;
    // Frames after the cast: mode 0's cell effects, the second step of mode 1, the third
    // of mode 2; mode 3 lays marks only, which the scene does not draw.
    const int nFrames[4] = {2, 12, 23, 12};
    for (int nMode = 0; nMode < 4; ++nMode) {
        Restart(5000);
        m_effects->ClearEffects();
        CAreaEffect effect;
        const POINT at = m_pScene->CellToPixel(24, 20);
        ASSERT_TRUE(effect.Cast(5, at.x, at.y, nMode, 0, -1));
        bool bRunning = true;
        m_host.fnReap = [&] { bRunning = bRunning && effect.Tick(); };
        for (int f = 0; f < nFrames[nMode]; ++f) {
            NextFrame();
            UpdateEffectList(pEffectManager);
        }
        m_host.fnReap = nullptr;
        EXPECT_TRUE(bRunning);
        Check("area" + std::to_string(nMode));
        if (nMode < 3) {
            EXPECT_NE(m_hashes["area" + std::to_string(nMode)], m_golden["town"]);
        }
    }
    Restart(5000);
    m_effects->ClearEffects();
    CFlyingEffect ring;
    ASSERT_TRUE(ring.LaunchRing(9, 1, 500, 380, 32, 1));
    ASSERT_GT(ring.pSprites[0]->nFrames, 0);
    int nTicks = 0;
    m_host.fnReap = [&] {
        ring.Tick();
        ++nTicks;
    };
    for (int f = 0; f < 6; ++f) NextFrame();
    EXPECT_EQ(nTicks, 6);
    const std::vector<BYTE> withRing = Snapshot(*pBack);
    m_host.fnReap = nullptr;
    NextFrame();
    EXPECT_FALSE(withRing == Snapshot(*pBack));
    Restore(*pBack, withRing);
    Check("ring");
    EXPECT_NE(m_hashes["area1"], m_hashes["area2"]);
}

}  // namespace
