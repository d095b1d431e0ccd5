// Saved games through the main window on a game folder with the sample scenes: the
// file's layout at its pinned offsets, a save loaded and saved again, refused files
// (cut short, damaged fields, a scene without a map) that leave the running game as it
// was, a failed write that keeps the old save, and the bank's moves.
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <random>

#include "CDX/CDXScreen.h"
#include "gamedata/GameData.h"
#include "platform/Charset.h"
#include "platform/Stream.h"
#include "shell/BankDlg.h"
#include "shell/HeroLink.h"
#include "shell/PictureStore.h"
#include "shell/SaveGameFile.h"
#include "shell/SceneLink.h"
#include "shell/ToolBarLink.h"
#include "shell/UiShellLink.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/ShellTestUtil.h"
#include "tools/gamekit/PkgSamplePictures.h"
#include "tools/gamekit/SaveGameWriter.h"
#include "tools/gamekit/SampleScenes.h"
#include "world/EffectManager.h"
#include "world/MapFile.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

// A new game saved at once: header, tables, toolbar block, one record without items,
// companion, flag tables, no ground items, the bank trailer.
constexpr size_t kNewGameSize = 711342;

void PutI32(std::vector<std::uint8_t>& b, size_t n, std::int32_t v) {
    for (int i = 0; i < 4; ++i) b[n + size_t(i)] = std::uint8_t(std::uint32_t(v) >> (8 * i));
}
std::int32_t GetI32(const std::vector<std::uint8_t>& b, size_t n) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t(b[n + size_t(i)]) << (8 * i);
    return std::int32_t(v);
}

class SaveGame : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        WriteFolder();
        ASSERT_NO_FATAL_FAILURE(OpenGameFolder(folder.Path()));
        pFrame->m_bMusicOn = 0;
        InstallSceneLinks();
        SetUiShell(&uiLink);
        InstallToolBarLinks();
        PanelLink().CreatePanels();
        ASSERT_NE(Bar(), nullptr);
        pFrame->NewGame();
        ASSERT_NE(pPlayer, nullptr);
    }
    void TearDown() override {
        RemoveToolBarLinks();
        SetUiShell(nullptr);
        FrameTest::TearDown();
        CloseGameFolder();
    }
    void WriteFolder() {
        GameModel model;
        model.options.nScene = 0;
        model.options.nPlayerX = 464;
        model.options.nPlayerY = 528;
        model.options.nDataFrom = 1;
        for (int m = 0; m < 4; ++m) model.levels[size_t(m)] = LevelModel{0, 7, 3, 100, 40, 5, 0, 0, 16};
        model.items.resize(4);
        for (size_t i = 0; i < model.items.size(); ++i) {
            model.items[i].strName = Utf8ToText("物品" + std::to_string(i));
            model.items[i].nGirdNum = 1;
        }
        std::string why;
        ASSERT_TRUE(WriteGameDataFiles(folder.Path().c_str(), model, &why)) << why;
        SamplePictureOptions pictures;
        pictures.nItemCount = 2;
        pictures.nFaceCount = 1;
        pictures.nSceneCount = 1;
        pictures.sculpts = {1, 2, 3, 4, 5};
        pictures.heroSculpts = pictures.sculpts;
        pictures.nHeroActions = 3;
        pictures.nHeroFrames = 2;
        pictures.nEffects = 1;
        pictures.nEffectFrames = 1;
        ASSERT_TRUE(WriteSamplePictures(folder.Path(), pictures, &why)) << why;
        ASSERT_TRUE(WriteSampleScenes(folder.Path(), &why)) << why;
    }
    static CGameToolBar* Bar() { return PanelLink().GetToolBar(); }

    // A game that touches every block: two members (the second the companion), money,
    // an item with its bag cells, a quick slot, flags, scene tables, a ground item and
    // money in the bank, the hero away from the start.
    void PlayALittle() {
        pFrame->AddPartyMember(1);
        pFrame->m_nPartyIds[1] = 1;
        pFrame->m_nPartyCount = 2;
        pCompanion = pParty[1];
        Bar()->m_nCompanion = 2;
        pPlayer->nMoney = 1234;
        pPlayer->AddItem(1);
        pGameData->GetItem(1)->nBagCell[0][0] = 7;
        pPlayer->SetMapPosAndHome(592, 496);  // a cell centre, where a load stops him
        Bar()->m_nQuickSlots[2] = pPlayer->nQuickSlot[2] = 1;
        Bar()->m_nStackCount = 3;
        Bar()->m_nStackItem = 0;
        pFrame->m_pEventFlagsA[4][5] = 6;
        pFrame->m_pEventFlagsB[199][99] = -3;
        pEffectManager->EventStates[0][3] = 2;
        pEffectManager->EventRuns[1][1] = 12;
        pScene->DropItemOnGround(0, 700, 500, 0);
        pFrame->m_nBankMoney = 300;
        pFrame->m_bStorySaved = 1;
    }

    std::vector<std::uint8_t> Built() {
        std::vector<std::uint8_t> bytes;
        std::string why;
        EXPECT_TRUE(pFrame->BuildSaveFile(&bytes, &why)) << why;
        return bytes;
    }
    // Everything a load could change: the file the game would write now (without its
    // date, clock and picture), the bag tables, the cursor and the objects themselves.
    std::vector<std::uint8_t> Dump() {
        std::vector<std::uint8_t> bytes = Built();
        std::fill(bytes.begin(), bytes.begin() + 32, 0);
        std::fill(bytes.begin() + std::ptrdiff_t(kSaveThumbOffset),
                  bytes.begin() + std::ptrdiff_t(kSaveThumbOffset + kSaveThumbBytes), 0);
        CByteWriter extra;
        for (int i = 0; i < pGameData->nItemCount; ++i)
            for (const auto& cells : pGameData->GetItem(i)->nBagCell)
                for (std::int32_t n : cells) extra.WriteI32(n);
        extra.WriteI32(pMouse->m_nCarriedItem);
        for (const void* p : {static_cast<const void*>(pScene), static_cast<const void*>(pPlayer),
                              static_cast<const void*>(pParty[0]), static_cast<const void*>(pParty[1])})
            extra.WriteBytes(&p, sizeof p);
        bytes.insert(bytes.end(), extra.Bytes().begin(), extra.Bytes().end());
        return bytes;
    }
    void WriteSlot(int nSlot, const std::vector<std::uint8_t>& bytes) {
        std::filesystem::create_directories(folder.File("save"));
        std::string strName = SaveFileName(nSlot);
        strName[4] = '/';
        folder.Write(strName, bytes);
    }

    CBaseFolderGuard guard;
    CTempFolder folder{"savegame"};
    CShellUiLink uiLink;
};

TEST_F(SaveGame, ANewGameSavedAtOnceHasThePinnedLayout) {
    pEffectManager->EventStates[3][4] = 9;
    pEffectManager->NpcStates[0][1].nLife = 77;
    pEffectManager->ObjectTaken[1][2] = 5;
    pEffectManager->ShopStock[2][3] = 88;
    pEffectManager->EventRuns[1][1] = 12;
    const std::vector<std::uint8_t> b = Built();
    ASSERT_EQ(b.size(), kNewGameSize);

    // Header: date and clock of the virtual clock's day, zeros after their text.
    const std::string date = Utf8ToText(" 2000年1月1日");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[0])), date);
    for (size_t i = date.size(); i < 16; ++i) EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[16]), 11), "Time:00:00:");
    EXPECT_EQ(b[31], 0);
    EXPECT_EQ(GetI32(b, 32), 1);
    EXPECT_EQ(GetI32(b, 36), 0);
    for (size_t n : {40u, 44u, 48u}) EXPECT_EQ(GetI32(b, n), -1);
    EXPECT_EQ(GetI32(b, 52), pPlayer->nSculpt);
    EXPECT_EQ(GetI32(b, 21656), 0);
    EXPECT_EQ(b[21660], 0);
    // The scene state tables at their offsets.
    EXPECT_EQ(b[21661 + 304], 9);
    EXPECT_EQ(GetI32(b, 41661 + 20 * 1 + 12), 77);
    EXPECT_EQ(b[441661 + 102], 5);
    EXPECT_EQ(GetI32(b, 461661 + 4 * 203), 88);
    EXPECT_EQ(GetI32(b, 468061 + 4 * 101), 12);
    // The toolbar block: hero number 1, then the behaviour word.
    EXPECT_EQ(GetI32(b, 548061), 1);
    EXPECT_EQ(b[548129], b[52]);  // the record starts with the hero's sculpt
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[kNewGameSize - 8]), 4), "BANK");

    SaveGameFile file;
    std::string why;
    ASSERT_TRUE(ParseSaveFile(b, "new", &file, &why)) << why;
    const std::vector<std::pair<const char*, size_t>> expected = {
        {"header", 0},           {"scene state block", 21661}, {"toolbar block", 548061},
        {"controlled hero record", 548129}, {"companion", 551326}, {"event flags", 551330},
        {"ground items", 711330}, {"bank", 711334}};
    ASSERT_EQ(file.blocks.size(), expected.size());
    size_t nSum = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(file.blocks[i].strName, expected[i].first);
        EXPECT_EQ(file.blocks[i].nOffset, expected[i].second) << expected[i].first;
        nSum += file.blocks[i].nSize;
    }
    EXPECT_EQ(nSum, b.size());
}

TEST_F(SaveGame, ASavedGameLoadsBackAndSavesTheSameBytes) {
    PlayALittle();
    std::string why;
    ASSERT_TRUE(pFrame->SaveGame(3, &why)) << why;
    const std::vector<std::uint8_t> saved = folder.Read("save/save003.sav");
    ASSERT_GT(saved.size(), kNewGameSize);

    // Another game in between, which the load must replace entirely.
    pFrame->NewGame();
    pFrame->m_nBankMoney = 5;
    pGameData->GetItem(0)->nBagCell[0][5] = 3;
    pMouse->m_nCarriedItem = 1;
    // A scene effect and a countdown of the game left behind hold nothing of the loaded one.
    pFrame->bSceneEffectWait = 1;
    pFrame->m_nSceneEffectWait2 = 1;
    pFrame->m_nCountdownSeconds = 30;
    pFrame->m_dwCountdownTick = 5;
    ASSERT_TRUE(pFrame->LoadGame(3, &why)) << why;
    EXPECT_EQ(pFrame->bSceneEffectWait, 0);
    EXPECT_EQ(pFrame->m_nSceneEffectWait2, 0);
    EXPECT_EQ(pFrame->m_nCountdownSeconds, 0);
    EXPECT_EQ(pFrame->m_dwCountdownTick, 0u);

    EXPECT_EQ(pFrame->m_nBankMoney, 300);
    EXPECT_EQ(pMouse->m_nCarriedItem, -1);
    EXPECT_EQ(pGameData->GetItem(0)->nBagCell[0][5], -1);
    EXPECT_EQ(pGameData->GetItem(1)->nBagCell[0][0], 7);
    EXPECT_EQ(pPlayer->nMoney, 1234);
    EXPECT_EQ(pPlayer->HasItem(1), 1);
    ASSERT_NE(pParty[1], nullptr);
    EXPECT_EQ(pCompanion, pParty[1]);
    EXPECT_EQ(pFrame->m_nPartyCount, 2);
    EXPECT_EQ(pFrame->m_pEventFlagsA[4][5], 6);
    EXPECT_EQ(pFrame->m_pEventFlagsB[199][99], -3);
    EXPECT_EQ(pEffectManager->EventRuns[1][1], 12);
    EXPECT_EQ(Bar()->m_nQuickSlots[2], 1);
    EXPECT_EQ(pFrame->m_bStorySaved, 1);
    EXPECT_EQ(pFrame->m_bLoading, 0);
    ASSERT_NE(pScene->GetGroundItem(0), nullptr);
    EXPECT_EQ(pScene->GetGroundItem(0)->nItem, 0);

    std::vector<std::uint8_t> again = Built();
    ASSERT_EQ(again.size(), saved.size());
    // Only the date, the clock and the picture may differ, and the places of characters
    // that walk: entering the scene again gives each character one update.
    std::vector<std::uint8_t> first = saved;
    const size_t nRecords = 41661, nRecordsEnd = 441661;
    int nMoved = 0;
    for (size_t r = nRecords; r < nRecordsEnd; r += 20) {
        if (std::equal(first.begin() + std::ptrdiff_t(r), first.begin() + std::ptrdiff_t(r + 20), again.begin() + std::ptrdiff_t(r)))
            continue;
        ++nMoved;
        // Only the position words (bytes 4..11 of the record) changed.
        for (size_t k : {0u, 1u, 2u, 3u, 12u, 13u, 14u, 15u, 16u, 17u, 18u, 19u}) EXPECT_EQ(first[r + k], again[r + k]) << r;
        std::copy(again.begin() + std::ptrdiff_t(r), again.begin() + std::ptrdiff_t(r + 20), first.begin() + std::ptrdiff_t(r));
    }
    EXPECT_LE(nMoved, 2);
    for (auto* p : {&again, &first}) {
        std::fill(p->begin(), p->begin() + 32, 0);
        std::fill(p->begin() + std::ptrdiff_t(kSaveThumbOffset), p->begin() + std::ptrdiff_t(kSaveThumbOffset + kSaveThumbBytes), 0);
    }
    EXPECT_TRUE(again == first);
    // Where the two differ first, for a failure to point at.
    for (size_t i = 0; i < again.size(); ++i)
        if (again[i] != first[i]) {
            ADD_FAILURE() << "first difference at " << i;
            break;
        }
}

// An item on the cursor is in the save: back in the bag; on the ground when the bag
// cannot take it; back on the count when the ground has no slot left either.
TEST_F(SaveGame, AnItemOnTheCursorIsKeptBySaving) {
    pMouse->m_nCarriedItem = 1;
    const int nBefore = pPlayer->nItemCount[1];
    std::string why;
    ASSERT_TRUE(pFrame->SaveGame(0, &why)) << why;
    EXPECT_EQ(pMouse->m_nCarriedItem, -1);
    EXPECT_EQ(pPlayer->nItemCount[1], nBefore + 1);
    SaveGameFile file;
    ASSERT_TRUE(ParseSaveFile(folder.Read("save/save000.sav"), "save000", &file, &why)) << why;
    EXPECT_EQ(file.pHero->nItemCount[1], nBefore + 1);

    // A shape no bag page takes.
    pGameData->GetItem(1)->nGirdNum = 7;
    pMouse->m_nCarriedItem = 1;
    ASSERT_TRUE(pFrame->SaveGame(0, &why)) << why;
    EXPECT_EQ(pMouse->m_nCarriedItem, -1);
    EXPECT_EQ(pPlayer->nItemCount[1], nBefore + 1);
    ASSERT_NE(pScene->GetGroundItem(0), nullptr);
    EXPECT_EQ(pScene->GetGroundItem(0)->nItem, 1);
    ASSERT_TRUE(ParseSaveFile(folder.Read("save/save000.sav"), "save000", &file, &why)) << why;
    ASSERT_EQ(file.ground.size(), 1u);
    EXPECT_EQ(file.ground[0].nItem, 1);

    // Every ground slot taken.
    CByteWriter block;
    block.WriteI32(pScene->nCellCount);
    for (int i = 0; i < pScene->nCellCount; ++i)
        for (std::int32_t n : {0, 0, i, int(pPlayer->ptPos.x), int(pPlayer->ptPos.y)}) block.WriteI32(n);
    CByteReader in(block.Bytes(), "full ground");
    ASSERT_TRUE(pScene->LoadGroundItems(in, &why)) << why;
    EXPECT_FALSE(pScene->DropItemOnGround(0, pPlayer->ptPos.x, pPlayer->ptPos.y, 0));
    pMouse->m_nCarriedItem = 1;
    ASSERT_TRUE(pFrame->SaveGame(0, &why)) << why;
    EXPECT_EQ(pMouse->m_nCarriedItem, -1);
    EXPECT_EQ(pPlayer->nItemCount[1], nBefore + 2);
    ASSERT_TRUE(ParseSaveFile(folder.Read("save/save000.sav"), "save000", &file, &why)) << why;
    EXPECT_EQ(file.pHero->nItemCount[1], nBefore + 2);
}

// The party count of a file follows its ids when the two disagree, as in files saved
// while the count had gone stale.
TEST_F(SaveGame, ALoadedPartyCountsItsIds) {
    PlayALittle();
    std::vector<std::uint8_t> b = Built();
    ASSERT_EQ(GetI32(b, kSaveCountOffset), 2);
    PutI32(b, kSaveCountOffset, 3);
    WriteSlot(4, b);
    std::string why;
    ASSERT_TRUE(pFrame->LoadGame(4, &why)) << why;
    EXPECT_EQ(pFrame->m_nPartyCount, 2);
    EXPECT_EQ(Bar()->m_nPartyCount, 2);
    EXPECT_EQ(GetI32(Built(), kSaveCountOffset), 2);
}

// The toolbar's link that takes the saved scene's map away when a load sets the party
// count: the map went, as a disk could lose it, after the load checked it and before the
// scene is built.
class CMapTakingPanelLink : public CToolBarPanelLink {
public:
    explicit CMapTakingPanelLink(std::string strMap) : m_strMap(std::move(strMap)) {}
    void SetPartyCount(int nCount) override {
        std::filesystem::remove(m_strMap);
        CToolBarPanelLink::SetPartyCount(nCount);
    }

private:
    std::string m_strMap;
};

TEST_F(SaveGame, ALoadWhoseSceneCannotBeEnteredFails) {
    std::string why;
    ASSERT_TRUE(pFrame->SaveGame(6, &why)) << why;
    CMapTakingPanelLink link(folder.File("map/scene000.map"));
    link.CreatePanels();
    SetPanelLink(&link);
    const bool bLoaded = pFrame->LoadGame(6, &why);
    InstallToolBarLinks();
    EXPECT_FALSE(bLoaded);
    EXPECT_NE(why.find("scene 0"), std::string::npos) << why;
    EXPECT_EQ(pScene, nullptr);
    EXPECT_EQ(pFrame->m_bLoading, 0);
}

TEST_F(SaveGame, RefusedFilesLeaveTheRunningGameAsItWas) {
    PlayALittle();
    const std::vector<std::uint8_t> good = Built();
    SaveGameFile parsed;
    std::string why;
    ASSERT_TRUE(ParseSaveFile(good, "good", &parsed, &why)) << why;
    pPlayer->SetMapPosAndHome(520, 520);
    pFrame->m_nBankMoney = 41;
    pMouse->m_nCarriedItem = 0;
    const std::vector<std::uint8_t> before = Dump();

    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> bad;
    // Cut at every block boundary inside the file and one byte either side. The end of
    // the ground items is where an older file, without the bank, ends: that one loads.
    for (const SaveBlockSpan& span : parsed.blocks)
        for (size_t n : {span.nOffset, span.nOffset + 1, span.nOffset + span.nSize - 1}) {
            if (n == parsed.blocks.back().nOffset || n >= good.size()) continue;
            bad.push_back({"cut at " + std::to_string(n), std::vector<std::uint8_t>(good.begin(), good.begin() + std::ptrdiff_t(n))});
        }
    auto field = [&](const char* pszWhat, size_t nAt, std::int32_t v) {
        std::vector<std::uint8_t> b = good;
        PutI32(b, nAt, v);
        bad.push_back({pszWhat, b});
    };
    const size_t nToolBar = 548061, nGround = parsed.blocks[parsed.blocks.size() - 2].nOffset;
    const size_t nCompanion = parsed.blocks[parsed.blocks.size() - 4].nOffset;
    field("count 0", 32, 0);
    field("count 9", 32, 9);
    field("id 7", 36 + 4 * 2, 7);
    field("id twice", 36 + 4 * 1, 0);
    field("no member in the hero's slot", 36, -1);
    field("scene 250", 21656, 250);
    field("scene without a map", 21656, 5);
    field("hero number 0", nToolBar, 0);
    field("hero number 9", nToolBar, 9);
    field("stack count 11", nToolBar + 40, 11);
    field("companion 5", nCompanion, 5);
    field("companion -2", nCompanion, -2);
    field("ground count huge", nGround, 0x7FFFFFFF);
    field("ground count negative", nGround, -2);
    field("negative bank", good.size() - 4, -1);
    {
        // The controlled hero's record written back as another member's.
        HeroRecord other = *parsed.pHero;
        other.nMember = 3;
        CByteWriter record;
        WriteHeroRecord(other, record);
        std::vector<std::uint8_t> b = good;
        std::copy(record.Bytes().begin(), record.Bytes().end(), b.begin() + 548129);
        bad.push_back({"record of the wrong member", b});
    }
    {
        std::vector<std::uint8_t> b = good;
        b.push_back(0);
        bad.push_back({"a byte after the end", b});
    }
    for (const auto& [strWhat, bytes] : bad) {
        WriteSlot(5, bytes);
        EXPECT_FALSE(pFrame->LoadGame(5, &why)) << strWhat;
        EXPECT_FALSE(why.empty()) << strWhat;
        EXPECT_TRUE(Dump() == before) << strWhat;
    }
    // A missing file and slots outside 0..19.
    std::filesystem::remove(folder.File("save/save005.sav"));
    EXPECT_FALSE(pFrame->LoadGame(5, &why));
    EXPECT_FALSE(pFrame->LoadGame(20, &why));
    EXPECT_FALSE(pFrame->LoadGame(-1, &why));
    EXPECT_TRUE(Dump() == before);
}

// The companion word names no member in the saves of a game where no one has joined
// yet (-1, the toolbar's own start value) and in those where the companion left (an
// empty slot): both load with no companion, and the game writes 0 for none.
TEST_F(SaveGame, ACompanionWordNamingNoMemberLoadsWithoutACompanion) {
    PlayALittle();
    std::vector<std::uint8_t> b = Built();
    SaveGameFile parsed;
    std::string why;
    ASSERT_TRUE(ParseSaveFile(b, "good", &parsed, &why)) << why;
    const size_t nCompanion = parsed.blocks[parsed.blocks.size() - 4].nOffset;
    ASSERT_EQ(parsed.blocks[parsed.blocks.size() - 4].strName, "companion");
    ASSERT_EQ(GetI32(b, nCompanion), 2);
    for (const std::int32_t nWord : {-1, 3, 4, 0}) {
        SCOPED_TRACE(nWord);
        PutI32(b, nCompanion, nWord);
        WriteSlot(7, b);
        pFrame->NewGame();
        pFrame->AddPartyMember(1);
        pCompanion = pParty[1];
        ASSERT_TRUE(pFrame->LoadGame(7, &why)) << why;
        EXPECT_EQ(pCompanion, nullptr);
        EXPECT_EQ(Bar()->m_nCompanion, -1);
        ASSERT_NE(pParty[1], nullptr) << "the member in slot 1 is loaded all the same";
        EXPECT_EQ(GetI32(Built(), nCompanion), 0);
    }
    // The word naming the member loads it as the companion again.
    PutI32(b, nCompanion, 2);
    WriteSlot(7, b);
    ASSERT_TRUE(pFrame->LoadGame(7, &why)) << why;
    EXPECT_EQ(pCompanion, pParty[1]);
    EXPECT_EQ(Bar()->m_nCompanion, 2);
}

// A save written by another writer that follows the file's layout (no bank trailer,
// companion -1, fresh scene tables) loads through the game's own reader.
TEST_F(SaveGame, ASaveFromAnIndependentWriterLoads) {
    SaveGameModel model;
    model.hero.nSculpt = pPlayer->nSculpt;
    model.hero.nX = 592;
    model.hero.nY = 496;
    model.hero.nMoney = 77;
    model.hero.itemCount[1] = 2;
    model.flagsA[4 * 100 + 5] = 6;
    model.flagsB[199 * 100 + 99] = -3;
    const std::vector<std::uint8_t> bytes = BuildSaveGame(model);
    SaveGameFile parsed;
    std::string why;
    ASSERT_TRUE(ParseSaveFile(bytes, "independent", &parsed, &why)) << why;
    EXPECT_EQ(parsed.nCompanion, -1);
    EXPECT_EQ(parsed.CompanionSlot(), -1);
    EXPECT_FALSE(parsed.bHasBank);
    WriteSlot(8, bytes);
    pFrame->m_nBankMoney = 40;
    ASSERT_TRUE(pFrame->LoadGame(8, &why)) << why;
    EXPECT_EQ(pCompanion, nullptr);
    EXPECT_EQ(pPlayer->nMoney, 77);
    EXPECT_EQ(pPlayer->nItemCount[1], 2);
    EXPECT_EQ(pPlayer->ptPos.x, 592);
    EXPECT_EQ(pPlayer->ptPos.y, 496);
    EXPECT_EQ(pFrame->m_pEventFlagsA[4][5], 6);
    EXPECT_EQ(pFrame->m_pEventFlagsB[199][99], -3);
    EXPECT_EQ(pFrame->m_nBankMoney, 0);
    EXPECT_EQ(pScene->nSceneNo, 0);
}

TEST_F(SaveGame, TheParserRefusesEveryShortLength) {
    PlayALittle();
    const std::vector<std::uint8_t> good = Built();
    SaveGameFile parsed;
    std::string why;
    ASSERT_TRUE(ParseSaveFile(good, "good", &parsed, &why)) << why;
    const size_t nOlderEnd = parsed.blocks.back().nOffset;
    std::mt19937 rng(18);
    std::uniform_int_distribution<size_t> length(0, good.size() - 1);
    for (int i = 0; i < 2000; ++i) {
        const size_t n = length(rng);
        if (n == nOlderEnd) continue;
        SaveGameFile file;
        EXPECT_FALSE(ParseSaveFile(good.data(), n, "short", &file, &why)) << n;
        EXPECT_NE(why.find("short"), std::string::npos) << why;
    }
    // The older file without the bank loads with an empty bank.
    SaveGameFile older;
    ASSERT_TRUE(ParseSaveFile(good.data(), nOlderEnd, "older", &older, &why)) << why;
    EXPECT_FALSE(older.bHasBank);
    EXPECT_EQ(older.nBankMoney, 0);
}

// Positions the loaded game would build hit boxes from and draw at, and the life bars it
// draws: a character of the scene tables or a hero placed at the ends of the 32-bit range,
// or a member's life above its maximum or negative, is refused with the field's offset, and the running game stays as it was; "never placed" (-1) and the
// edges of the map's margin load.
TEST_F(SaveGame, PositionsOffTheMapAreRefusedWithTheirOffset) {
    PlayALittle();
    const std::vector<std::uint8_t> good = Built();
    SaveGameFile parsed;
    std::string why;
    ASSERT_TRUE(ParseSaveFile(good, "good", &parsed, &why)) << why;
    size_t nHero = 0, nMember = 0;
    for (const SaveBlockSpan& span : parsed.blocks) {
        if (span.strName == "controlled hero record") nHero = span.nOffset;
        if (span.strName == "record of party slot 1") nMember = span.nOffset;
    }
    ASSERT_GT(nHero, 0u);
    ASSERT_GT(nMember, 0u);
    const size_t nLife = 12 + 8 * kHeroSkillCount + 4 * kHeroItemCount + 8;  // life, then its maximum
    const std::vector<std::uint8_t> before = Dump();
    // Character 1 of scene 4.
    const size_t nCharacter = kSaveHeaderBytes + CEffectManager::kNpcRecordsOffset + (4 * 100 + 1) * 20;
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const struct {
        size_t nAt;
        std::int32_t v;
        const char* pszField;
    } cases[] = {
        {nCharacter + 8, kMax, "character 1 of scene 4: map y"},
        {nCharacter + 4, kMin, "character 1 of scene 4: map x"},
        {nCharacter + 8, kMin, "character 1 of scene 4: map y"},
        {nHero + 2904, kMin, "position x"},
        {nHero + 2908, kMin, "position y"},
        {nHero + 2908, kMax, "position y"},
        {nHero + nLife, kMax, "life"},
        {nHero + nLife, kMin, "life"},
        {nMember + nLife, -1, "life"},
        {nMember + nLife, kMax, "life"},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> bytes = good;
        PutI32(bytes, c.nAt, c.v);
        SaveGameFile file;
        EXPECT_FALSE(ParseSaveFile(bytes, "save\\save005.sav", &file, &why)) << c.pszField;
        const std::string strExpected =
            std::string(c.pszField) + " " + std::to_string(c.v) + " at offset " + std::to_string(c.nAt);
        EXPECT_NE(why.find(strExpected), std::string::npos) << why;
        EXPECT_NE(why.find("save005.sav"), std::string::npos) << why;
        WriteSlot(5, bytes);
        EXPECT_FALSE(pFrame->LoadGame(5, &why)) << c.pszField;
        EXPECT_TRUE(Dump() == before) << c.pszField;
    }
    for (const auto& [nAt, v] : {std::pair<size_t, std::int32_t>{nCharacter + 4, -1},
                                 {nCharacter + 8, kMapPixelLimit + kMapPositionMargin},
                                 {nHero + 2904, -kMapPositionMargin}}) {
        std::vector<std::uint8_t> bytes = good;
        PutI32(bytes, nAt, v);
        SaveGameFile file;
        EXPECT_TRUE(ParseSaveFile(bytes, "edge", &file, &why)) << v << ": " << why;
    }
}

TEST_F(SaveGame, AFailedWriteKeepsTheOldSaveAndLeavesNoTemporaryFile) {
    std::string why;
    ASSERT_TRUE(pFrame->SaveGame(3, &why)) << why;
    const std::vector<std::uint8_t> old = folder.Read("save/save003.sav");
    pPlayer->nMoney = 999;
    // The file-size limit makes the write fail as a full disk would, even for root.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool bSaved = pFrame->SaveGame(3, &why);
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(bSaved);
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(folder.Read("save/save003.sav") == old);
    EXPECT_EQ(folder.Entries("save"), std::vector<std::string>{"save003.sav"});
    // A read-only folder, where the permission holds (not for root).
    if (geteuid() != 0) {
        std::filesystem::permissions(folder.File("save"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_FALSE(pFrame->SaveGame(3, &why));
        std::filesystem::permissions(folder.File("save"), std::filesystem::perms::owner_all);
        EXPECT_TRUE(folder.Read("save/save003.sav") == old);
    }
    // "save" taken by a file: the folder cannot be made.
    std::filesystem::remove_all(folder.File("save"));
    folder.Write("save", "not a folder");
    EXPECT_FALSE(pFrame->SaveGame(1, &why));
    EXPECT_FALSE(pFrame->SaveGame(20, &why));
}

TEST_F(SaveGame, TheBankRefusesWhatIsNotThereAndKeepsItsBalanceThroughASave) {
    pPlayer->nMoney = 100;
    pFrame->m_nBankMoney = 0;
    EXPECT_TRUE(pFrame->Deposit(100));
    EXPECT_EQ(pPlayer->nMoney, 0);
    EXPECT_EQ(pFrame->m_nBankMoney, 100);
    EXPECT_FALSE(pFrame->Deposit(1));  // one more than on hand
    EXPECT_FALSE(pFrame->Deposit(-5));
    EXPECT_FALSE(pFrame->Withdraw(101));  // more than the balance
    EXPECT_FALSE(pFrame->Withdraw(-5));
    EXPECT_EQ(pPlayer->nMoney, 0);
    EXPECT_EQ(pFrame->m_nBankMoney, 100);
    EXPECT_TRUE(pFrame->Withdraw(0));
    EXPECT_TRUE(pFrame->Withdraw(40));
    EXPECT_EQ(pPlayer->nMoney, 40);
    EXPECT_EQ(pFrame->m_nBankMoney, 60);
    // Sums that would overflow are refused.
    pPlayer->nMoney = 2147483647;
    EXPECT_FALSE(pFrame->Withdraw(60));
    EXPECT_FALSE(pFrame->Deposit(2147483647 - 59));
    EXPECT_EQ(pFrame->m_nBankMoney, 60);
    EXPECT_EQ(pPlayer->nMoney, 2147483647);

    std::string why;
    ASSERT_TRUE(pFrame->SaveGame(2, &why)) << why;
    pFrame->NewGame();
    EXPECT_EQ(pFrame->m_nBankMoney, 0);
    ASSERT_TRUE(pFrame->LoadGame(2, &why)) << why;
    EXPECT_EQ(pFrame->m_nBankMoney, 60);
}

// The bank box run by typed input: digits and Backspace edit the amount, Enter
// deposits, ESC withdraws, the buttons are labelled by what they do, refusals show
// their notice (dismissed with Enter) and move nothing, and the amount stays between
// openings.
TEST_F(SaveGame, TheBankBoxTakesTypedAmounts) {
    pPlayer->nMoney = 100;
    pFrame->m_nBankMoney = 0;
    const std::string s = folder.Path() + "/";
    auto run = [&](const std::string& strKeys) {
        // What the last box left in the queue goes to the main loop, not to this box.
        FlushInputMessages();
        ASSERT_EQ(LoadInputScriptText(strKeys, "bank"), 0);
        pFrame->OpenBank();
    };
    // "0" to start with: 1 2 0, Backspace, then Enter deposits 12.
    run("100 key press 1\n150 key press 2\n200 key press 0\n250 key press 0x08\n300 shot " + s + "typed.png\n"
        "400 key press RETURN\n");
    EXPECT_EQ(pPlayer->nMoney, 88);
    EXPECT_EQ(pFrame->m_nBankMoney, 12);
    EXPECT_EQ(pFrame->m_nBankAmount, 12);
    CShot typed(s + "typed.png");
    ASSERT_TRUE(typed.Read());
    EXPECT_EQ(typed.Pixel(400, 225 + 75 + 10), 0xFFFFFF);  // the amount field, white, in the box's middle
    // The buttons say what they do: 存入 (deposit) and 取出 (withdraw), in the box's font
    // on the button's colour.
    const CBankDlg box("", "", 0);
    const RECT rcButtons[2] = {box.GetOkRect(), box.GetCancelRect()};
    constexpr COLORREF kButton = RGB(200, 184, 140);
    pBack->ChangeFont("System", 0, 16, nCharSet, 400, 0);
    for (int i = 0; i < 2; ++i) {
        RECT rc = rcButtons[i];
        pBack->FillRect(rc.left, rc.top, rc.right, rc.bottom, pScreen->RgbToPixel(kButton, pBack));
        pBack->DrawText(Utf8ToText(i == 0 ? "存入" : "取出").c_str(), RGB(0, 0, 0), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    pScreen->Flip(FALSE);
    ASSERT_TRUE(SaveScreenshotPng((s + "labels.png").c_str()));
    CShot labels(s + "labels.png");
    ASSERT_TRUE(labels.Read());
    for (const RECT& rc : rcButtons) {
        const RECT rcInside{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1};
        const int nArea = int((rcInside.right - rcInside.left) * (rcInside.bottom - rcInside.top));
        EXPECT_LT(labels.CountNear(rcInside, 0xC8B88C, 12), nArea - 40) << "no label drawn";
        EXPECT_EQ(typed.Differences(labels, rcInside.left, rcInside.top, rcInside.right - rcInside.left,
                                    rcInside.bottom - rcInside.top), 0)
            << "the button at " << rc.left << " has another label";
    }
    // The amount is kept: 12 then 9 9 is 1299, more than on hand: refused, nothing moved.
    run("100 key press 9\n150 key press 9\n200 key press RETURN\n600 key press RETURN\n");
    EXPECT_EQ(pPlayer->nMoney, 88);
    EXPECT_EQ(pFrame->m_nBankMoney, 12);
    EXPECT_EQ(pFrame->m_nBankAmount, 0);
    // ESC withdraws.
    run("100 key press 5\n200 key press ESC\n");
    EXPECT_EQ(pPlayer->nMoney, 93);
    EXPECT_EQ(pFrame->m_nBankMoney, 7);
    // More than the balance: refused; ten digits at most, beyond an int32: refused.
    run("100 key press 0x08\n150 key press 8\n200 key press ESC\n600 key press RETURN\n");
    EXPECT_EQ(pFrame->m_nBankMoney, 7);
    std::string strTen;
    for (int i = 0; i < 12; ++i) strTen += std::to_string(100 + 30 * i) + " key press 9\n";
    run(strTen + "600 key press RETURN\n900 key press RETURN\n");
    EXPECT_EQ(pPlayer->nMoney, 93);
    EXPECT_EQ(pFrame->m_nBankMoney, 7);
    EXPECT_EQ(pFrame->m_nBankAmount, 0);
    EXPECT_EQ(bMsgBoxOpen, 0);
}

// The bank box ends with the game: a close while it waits ends the game and moves
// nothing, a quit ends the box and stays queued, and a quit while the answering key
// is still held ends the wait for its release and stays queued too.
TEST_F(SaveGame, TheBankBoxEndsAtACloseOrAQuit) {
    auto quitQueued = [] {
        MSG msg;
        bool bQuit = false;
        while (PeekMessage(&msg, true)) bQuit = bQuit || msg.message == WM_QUIT;
        return bQuit;
    };
    pPlayer->nMoney = 100;
    pFrame->m_nBankMoney = 0;
    ASSERT_EQ(LoadInputScriptText("100 key press 5\n200 close\n", "bank-close"), 0);
    pFrame->OpenBank();
    EXPECT_EQ(pFrame->m_bRunning, 0);
    EXPECT_EQ(pPlayer->nMoney, 100);
    EXPECT_EQ(pFrame->m_nBankMoney, 0);
    EXPECT_EQ(bMsgBoxOpen, 0);
    EXPECT_TRUE(quitQueued());  // the close ended the game as the quit button does

    pFrame->m_bRunning = 1;
    PostQuitMessage(0);
    pFrame->OpenBank();
    EXPECT_EQ(pFrame->m_bRunning, 1);
    EXPECT_EQ(pPlayer->nMoney, 100);
    EXPECT_EQ(bMsgBoxOpen, 0);
    EXPECT_TRUE(quitQueued());

    // Enter answers and is held; the quit behind it comes while the box waits for the
    // release, which comes much later.
    pFrame->m_nBankAmount = 30;
    InjectKey(VK_RETURN, true);
    PostQuitMessage(0);
    ASSERT_EQ(LoadInputScriptText("5000 key up RETURN\n", "bank-held"), 0);
    const DWORD dwBefore = TimeGetTime();
    pFrame->OpenBank();
    EXPECT_LT(TimeGetTime() - dwBefore, 1000u);
    EXPECT_EQ(pPlayer->nMoney, 70);
    EXPECT_EQ(pFrame->m_nBankMoney, 30);
    EXPECT_EQ(bMsgBoxOpen, 0);
    EXPECT_TRUE(quitQueued());
}

}  // namespace
