// Plays arbitrary bytes as the table cache "data\Base.dat": the tables are read as a
// start reads them, a new heroine and her companion take their level rows, every enemy
// row binds to a character of the map, three enemies fight the party for a few hundred
// passes on the virtual clock, and the heroes' records are written and read back as a
// save does. A refused file is fine; a crash, a sanitizer report, or a record the save
// refuses after a read that succeeded is not.
#include "CDX/CDXScreen.h"
#include "battle/Fight.h"
#include "battle/FightObserver.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "shell/ShellGlobals.h"
#include "tests/TempFolder.h"
#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/PkgWriters.h"
#include "tools/gamekit/TgaWriters.h"
#include "world/EffectManager.h"
#include "world/Npc.h"
#include "world/Player.h"
#include "world/PlayerRecord.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// Draws from a fixed cycle, so that one input always plays the same battle.
class CCycleDraws : public CFightDraws {
public:
    DWORD Next() override { return DWORD(m_n++ % 97); }
    DWORD m_n = 0;
};

// Auto attack on, every result page closed.
class CAutoBattle : public CFightObserver {
public:
    void OnPass(CFight& f) override {
        f.bAutoAttack = 1;
        if (f.bResultShown) f.OnResultRelease();
        else if (f.ActiveNpc >= 0 && f.ActiveNpc < 4) f.OnKeyUp('A');
    }
};

std::vector<std::uint8_t> Square(int nSize, std::uint32_t argb) {
    return BuildRleTga32(PictureRgba(nSize, nSize, argb));
}

// The game folder of the battle: its background, menu and effect pictures, and sprites
// for the party's sets and every enemy set of the sample tables.
struct World {
    CTempFolder folder{"fuzz-basedat"};
    CDXScreen screen;
    CBitmapData store;
    CEffectManager effects;

    bool Init() {
        setenv("GAME_HEADLESS", "1", 0);
        UseVirtualClock(true, 1000, 20);
        std::vector<PkgEntryData> menu = {{"001.bmp", BuildBmp(PictureRgba(64, 48, 0xFF203040u))}};
        const SamplePictureOptions options{.nItemCount = 1, .nFaceCount = 1, .nSceneCount = 1, .sculpts = {0},
                                           .nActions = 1, .nFramesPerDirection = 1, .nEffects = 1,
                                           .nEffectFrames = 1, .extraEntries = {{"menu.pkg", menu}}};
        std::string strError;
        if (!WriteSamplePictures(folder.Path(), options, &strError)) return false;
        NpcPkgModel npc;
        for (int s : {0, 1, 2, 3, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31})
            for (int a : {0, 1, 2, 3, 4, 7, 8, 9, 19, 20, 21, 22, 23, 24}) {
                NpcActionFrames frames;
                frames.nCount = 1;
                for (int i = 0; i < 8; ++i) frames.frames.push_back(Square(8, 0xFF8090A0u));
                npc[{s, a}] = frames;
            }
        folder.Write("bmp/npc.pkg", BuildNpcPkg(npc));
        std::vector<std::vector<std::vector<std::uint8_t>>> fx(8);
        for (auto& e : fx) e.push_back(Square(8, 0xFFFF0000u));
        folder.Write("bmp/Effect.pkg", BuildEffectPkg(fx));
        if (screen.CreateWindowed(nullptr, 800, 600) != 0) return false;
        pScreen = &screen;
        pBack = screen.GetBack();
        CGameData paths;
        paths.InitPaths(folder.Path().c_str());
        pGameData = &paths;
        const bool bStore = store.Init();
        pGameData = nullptr;
        if (!bStore) return false;
        pBitmapData = &store;
        pEffectManager = &effects;
        return true;
    }
};

World* TheWorld() {
    static World* s_pWorld = [] {
        auto* p = new World;
        if (!p->Init()) std::abort();
        return p;
    }();
    return s_pWorld;
}

// The record a save writes of the hero, read back as a load reads it.
void CheckRecord(const CPlayer& hero) {
    CByteWriter out;
    hero.WriteRecord(out);
    CByteReader in(out.Bytes(), "record");
    HeroRecord record;
    if (!ParseHeroRecord(in, &record)) {
        std::fprintf(stderr, "the save refuses what the tables gave: %s\n", in.Error().c_str());
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    World& w = *TheWorld();
    w.folder.Write("data/Base.dat", std::vector<std::uint8_t>(pData, pData + nSize));
    CGameData data;
    data.InitPaths(w.folder.Path().c_str());
    if (!data.ReadTableCache()) return 0;
    pGameData = &data;
    dwNowTime = TimeGetTime();
    dwStepTime = dwNowTime;

    // The start: the heroine and her companion from their level rows, and a character
    // of the map bound to every enemy row.
    CPlayer hero, companion;
    hero.Init(0, false, -1);
    companion.Init(1, false, -1);
    hero.nPartyMask = 0x3;
    hero.pPartyMembers[0] = &hero;
    hero.pPartyMembers[1] = &companion;
    pPlayer = &hero;
    for (int r = 0; r < data.nEnemyNpcCount && r < 64; ++r) {
        CNpc npc;
        npc.nClass = kNpcClassFighter;
        npc.nEnemyRow = r;
        npc.BindFightStats();
    }
    CheckRecord(hero);

    // A battle against the first three enemy rows.
    {
        CCycleDraws draws;
        CAutoBattle watcher;
        SetFightObserver(&watcher);
        auto fight = std::make_unique<CFight>();
        fight->SetDraws(&draws);
        const int foes[4] = {0, data.nEnemyNpcCount > 1 ? 1 : -1, data.nEnemyNpcCount > 2 ? 2 : -1, -2};
        fight->Init(1, foes, 4);
        CDXScreen* pSaved = pScreen;
        for (int i = 0; i < 300 && fight->nResult == 0 && fight->bRunning; ++i) {
            pScreen = nullptr;
            fight->Pass();
            pScreen = pSaved;
            AdvanceVirtualClock(100);
        }
        SetFightObserver(nullptr);
    }
    CheckRecord(hero);
    CheckRecord(companion);
    pPlayer = nullptr;
    pGameData = nullptr;
    return 0;
}
