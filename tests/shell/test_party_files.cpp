// Party membership through the event scripts and the party files in "save": joining,
// leaving and rejoining with the written record, changing an absent member's file,
// files that cannot be written or read, and the initial records gamekit writes.
#include <algorithm>
#include <filesystem>

#include "platform/Stream.h"
#include "shell/ToolBarLink.h"
#include "tests/TempFolder.h"
#include "tests/shell/ScriptTestUtil.h"
#include "tools/gamekit/HeroRecordWriter.h"
#include "tools/gamekit/SampleScenes.h"
#include "world/PlayerHost.h"
#include "world/PlayerRecord.h"

namespace {

class PartyFileTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        m_strOldDir = GetCurrentDirectory();
        SetCurrentDirectory(m_folder.Path().c_str());
        SetPanelLink(&m_panels);
        m_panels.CreatePanels();
        Bar().m_nHero = 1;
        MakeTestScene(20, 20);
        pPlayer->Init(0, false, -1);
        pPlayer->SetMapPosAndHome(10 * 32 + 16, 10 * 32 + 16);
        pFrame->m_nPartyIds[0] = 0;
        for (int i = 1; i < 4; ++i) pFrame->m_nPartyIds[i] = -1;
    }
    void TearDown() override {
        for (CPlayer*& p : pParty) {
            delete p;
            p = nullptr;
        }
        pCompanion = nullptr;
        SetPanelLink(nullptr);
        ScriptTest::TearDown();
        SetCurrentDirectory(m_strOldDir.c_str());
    }
    CGameToolBar& Bar() { return *pFrame->m_pToolBar; }
    void Run(const std::string& strSteps) {
        pFrame->pScript = nullptr;
        pFrame->nEventId = -1;
        Load("scene 0\nevent 0\n" + strSteps);
        ASSERT_EQ(pFrame->StartEvent(0), 0);
        Frames(3);
    }
    bool ReadRecordFile(const std::string& rel, HeroRecord* pRecord) {
        const std::vector<std::uint8_t> bytes = m_folder.Read(rel);
        CByteReader in(bytes, rel);
        return ParseHeroRecord(in, pRecord);
    }

    // A parked party file as SaveTempParty lays it out, with a record of the given
    // member (-1: none) after the ids for each slot whose id is 0 or more.
    void WriteParkedParty(int n, int nActive, const std::vector<int>& ids, const std::vector<int>& members) {
        CByteWriter out;
        out.WriteI32(0);
        out.WriteI32(nActive);
        for (int nId : ids) out.WriteI32(nId);
        for (int nMember : members) {
            if (nMember < 0) continue;
            HeroRecordModel model;
            model.nMember = nMember;
            model.nMoney = 500;
            const std::vector<std::uint8_t> record = BuildHeroRecord(model);
            out.WriteBytes(record.data(), record.size());
        }
        m_folder.Write("save/SaveTemp" + std::to_string(n) + ".sav", out.Bytes());
    }

    CTempFolder m_folder{"partyfiles"};
    std::string m_strOldDir;
    CToolBarPanelLink m_panels;
};

TEST_F(PartyFileTest, AMemberWhoLeftRejoinsWithTheWrittenRecordAndFullLifeAndMana) {
    Run("  JoinParty 2 -1\n");
    ASSERT_NE(pParty[1], nullptr);
    EXPECT_EQ(pCompanion, pParty[1]);
    EXPECT_EQ(Bar().m_nCompanion, 2);
    EXPECT_EQ(Bar().m_nPartyIds[2], 2);
    EXPECT_EQ(pFrame->m_nPartyIds[1], 1);
    EXPECT_EQ(pFrame->m_nPartyCount, 2);
    EXPECT_NE(pPlayer->nPartyMask & (1 << 1), 0);
    pParty[1]->nMoney = 77;
    pParty[1]->nExperience = 1234;
    pParty[1]->nSkillKnown[3] = 1;
    pParty[1]->nLifeMax = 90;
    pParty[1]->nLife = 5;
    pParty[1]->nManaMax = 80;
    pParty[1]->nMana = 1;

    Run("  LeaveParty 2\n");
    EXPECT_EQ(pParty[1], nullptr);
    EXPECT_EQ(pCompanion, nullptr);
    EXPECT_EQ(Bar().m_nPartyIds[2], -1);
    EXPECT_EQ(pPlayer->nPartyMask & (1 << 1), 0);
    EXPECT_EQ(pPlayer->bFlags[1], 1);
    EXPECT_EQ(pFrame->m_nPartyCount, 1);
    EXPECT_TRUE(std::filesystem::exists(m_folder.File("save/SavePlayer2.sav")));

    Run("  JoinParty 2 -1\n");
    ASSERT_NE(pParty[1], nullptr);
    EXPECT_EQ(pParty[1]->nMoney, 77);
    EXPECT_EQ(pParty[1]->nExperience, 1234);
    EXPECT_EQ(pParty[1]->nSkillKnown[3], 1);
    EXPECT_EQ(pParty[1]->nLife, 90);
    EXPECT_EQ(pParty[1]->nMana, 80);
    EXPECT_EQ(pPlayer->bFlags[1], 0);
}

// A member who falls in a fight leaves the party's ids, and the party count that a
// saved game keeps goes down with them; the scene's update then writes her member file,
// from which she joins again, and deletes her.
TEST_F(PartyFileTest, AFallenMemberLeavesTheIdsAndTheCountAndKeepsHerFile) {
    Run("  JoinParty 2 -1\n");
    Run("  JoinParty 3 -1\n");
    ASSERT_EQ(pFrame->m_nPartyCount, 3);
    HeroHost().LeaveParty(2);
    EXPECT_EQ(pFrame->m_nPartyIds[2], -1);
    EXPECT_EQ(pFrame->m_nPartyCount, 2);
    HeroHost().LeaveParty(4);
    HeroHost().LeaveParty(-1);
    EXPECT_EQ(pFrame->m_nPartyCount, 2);

    ASSERT_EQ(pCompanion, pParty[2]);
    pParty[2]->nMoney = 77;
    pParty[2]->bMode[3] = 1;  // falls in her next update
    MapLink().UpdateScene();
    EXPECT_EQ(pParty[2], nullptr);
    EXPECT_EQ(pCompanion, nullptr);
    EXPECT_EQ(Bar().m_nCompanion, -1);
    EXPECT_EQ(pPlayer->bFlags[2], 1);
    EXPECT_EQ(pFrame->m_nPartyCount, 2);
    auto pRecord = std::make_unique<HeroRecord>();
    ASSERT_TRUE(ReadRecordFile("save/SavePlayer3.sav", pRecord.get()));
    EXPECT_EQ(pRecord->nMember, 2);
    EXPECT_EQ(pRecord->nMoney, 77);
    Run("  JoinParty 3 -1\n");
    ASSERT_NE(pParty[2], nullptr);
    EXPECT_EQ(pParty[2]->nMoney, 77);
}

TEST_F(PartyFileTest, JoiningAllAndLeavingAnAbsentMemberChangeNoIdsOrBits) {
    Bar().m_nPartyIds[3] = 3;
    const std::vector<int> ids(std::begin(Bar().m_nPartyIds), std::end(Bar().m_nPartyIds));
    Run("  JoinParty 10\n");
    EXPECT_EQ(std::vector<int>(std::begin(Bar().m_nPartyIds), std::end(Bar().m_nPartyIds)), ids);
    EXPECT_NE(pParty[2], nullptr) << "member 3 is listed and joins";
    EXPECT_EQ(pParty[1], nullptr);

    pPlayer->nPartyMask = 1;
    Run("  LeaveParty 4\n  LeaveParty 9\n");
    EXPECT_EQ(pPlayer->nPartyMask, 1);
    EXPECT_EQ(Bar().m_nPartyIds[4], -1);

    // The leave question's removal clears a bit, never sets one, and keeps the hero.
    pFrame->m_nPartyCount = 1;
    pFrame->RemovePartyMember(2);
    EXPECT_EQ(pPlayer->nPartyMask, 1);
    EXPECT_EQ(pFrame->m_nPartyCount, 1);
}

TEST_F(PartyFileTest, ChangingAnAbsentMembersLookRewritesItsFileAndLeavesTheSlotEmpty) {
    Run("  JoinParty 3 -1\n");
    Run("  JoinParty 2 -1\n");
    Run("  LeaveParty 3\n");
    // Member 2 joined last and stays the companion when another member leaves.
    CPlayer* pStaying = pCompanion;
    EXPECT_EQ(pStaying, pParty[1]);
    Bar().m_nPartyIds[3] = 3;
    Run("  ChangeMember 7 1 3\n");
    EXPECT_EQ(pParty[2], nullptr);
    EXPECT_EQ(pCompanion, pStaying);
    EXPECT_EQ(Bar().m_nCompanion, 2);
    auto pRecord = std::make_unique<HeroRecord>();
    ASSERT_TRUE(ReadRecordFile("save/SavePlayer3.sav", pRecord.get()));
    EXPECT_EQ(pRecord->nSculpt, 7);
    EXPECT_EQ(pRecord->nMember, 2);
}

TEST_F(PartyFileTest, AFileThatCannotBeWrittenKeepsTheLeavingMember) {
    Run("  JoinParty 2 -1\n");
    // A folder where the file belongs: the write cannot replace it.
    std::filesystem::create_directories(m_folder.File("save/SavePlayer2.sav"));
    Run("  LeaveParty 2\n");
    ASSERT_NE(pParty[1], nullptr);
    EXPECT_EQ(pCompanion, pParty[1]);
    EXPECT_NE(pPlayer->nPartyMask & (1 << 1), 0);
    EXPECT_EQ(Bar().m_nPartyIds[2], 2);
    EXPECT_FALSE(pFrame->m_strPartyFileError.empty());
}

TEST_F(PartyFileTest, AMissingOrShortParkedPartyChangesNothing) {
    Run("  JoinParty 2 -1\n");
    // Skill points no file gives mark the member: one read again would not have them.
    constexpr std::int32_t kMark = 37;
    pParty[1]->nSkillPoints = kMark;
    const auto kept = [] { return pParty[1] && pParty[1]->nSkillPoints == kMark; };
    pFrame->m_nCurrentScene = 0;
    EXPECT_FALSE(pFrame->LoadTempParty(5, false));
    EXPECT_TRUE(kept());
    m_folder.Write("save/SaveTemp6.sav", std::vector<std::uint8_t>(30, 0));
    EXPECT_FALSE(pFrame->LoadTempParty(6, false));
    EXPECT_NE(pFrame->m_strPartyFileError.find("SaveTemp6"), std::string::npos) << pFrame->m_strPartyFileError;
    EXPECT_TRUE(kept());
    EXPECT_EQ(pFrame->m_nPartyIds[1], 1);
    EXPECT_EQ(pFrame->m_nCurrentScene, 0);

    // A parked party names a record for every slot it lists.
    ASSERT_TRUE(pFrame->SaveTempParty(7));
    const std::vector<std::uint8_t> bytes = m_folder.Read("save/SaveTemp7.sav");
    CByteReader in(bytes, "SaveTemp7.sav");
    std::int32_t nScene = -1, nActive = -1, nIds[4];
    ASSERT_TRUE(in.ReadI32(&nScene) && in.ReadI32(&nActive));
    for (std::int32_t& n : nIds) ASSERT_TRUE(in.ReadI32(&n));
    EXPECT_EQ(nActive, 1);
    EXPECT_EQ(nIds[1], 1);
    auto pRecord = std::make_unique<HeroRecord>();
    ASSERT_TRUE(ParseHeroRecord(in, pRecord.get()));
    ASSERT_TRUE(ParseHeroRecord(in, pRecord.get()));
    EXPECT_EQ(pRecord->nMember, 1);
    EXPECT_TRUE(in.AtEnd());
}

// A parked party read back, with and without keep: the controlled hero is the record of
// the file's active slot even when that slot is the one he holds now, no record just read
// is overwritten by the hero left behind, a kept member the file does not name keeps what
// the hero held there, and the companion is the member now in its slot.
TEST_F(PartyFileTest, AParkedPartyComesBackAsItWasSaved) {
    std::string why;
    ASSERT_TRUE(WriteSampleScenes(m_folder.Path(), &why)) << why;
    pFrame->m_nCurrentScene = 0;
    pFrame->AddPartyMember(0);
    pPlayer->nMoney = 11;
    pFrame->CopyPartyMember(0);
    Run("  JoinParty 2 -1\n");
    ASSERT_EQ(pCompanion, pParty[1]);
    pParty[1]->nMoney = 22;
    auto money = [] { return std::vector<int>{pPlayer->nMoney, pParty[0]->nMoney, pParty[1]->nMoney}; };

    ASSERT_TRUE(pFrame->SaveTempParty(1));
    pPlayer->nMoney = 99;
    pParty[1]->nMoney = 88;
    ASSERT_TRUE(pFrame->LoadTempParty(1, true)) << pFrame->m_strPartyFileError;
    EXPECT_EQ(money(), (std::vector<int>{11, 11, 22}));
    EXPECT_EQ(Bar().m_nHero, 1);
    EXPECT_EQ(pCompanion, pParty[1]);
    EXPECT_EQ(pCompanion->nMoney, 22);
    EXPECT_EQ(Bar().m_nCompanion, 2);

    pPlayer->nMoney = 99;
    ASSERT_TRUE(pFrame->LoadTempParty(1, false)) << pFrame->m_strPartyFileError;
    EXPECT_EQ(money(), (std::vector<int>{11, 11, 22}));
    EXPECT_EQ(Bar().m_nHero, 1);
    EXPECT_EQ(std::vector<int>(std::begin(pFrame->m_nPartyIds), std::end(pFrame->m_nPartyIds)),
              (std::vector<int>{0, 1, -1, -1}));
    EXPECT_EQ(pFrame->m_nPartyCount, 2);

    // Saved while member 2 was the hero, read back while the heroine is.
    ASSERT_TRUE(SwitchHero(1));
    ASSERT_TRUE(pFrame->SaveTempParty(2));
    ASSERT_TRUE(SwitchHero(0));
    pPlayer->nMoney = 99;
    ASSERT_TRUE(pFrame->LoadTempParty(2, true)) << pFrame->m_strPartyFileError;
    EXPECT_EQ(Bar().m_nHero, 2);
    EXPECT_EQ(pPlayer->nMember, 1);
    EXPECT_EQ(money(), (std::vector<int>{22, 11, 22}));

    // A file without member 2, read with keep while member 2 is the hero.
    pPlayer->nMoney = 55;
    WriteParkedParty(3, 1, {0, -1, -1, -1}, {0});
    ASSERT_TRUE(pFrame->LoadTempParty(3, true)) << pFrame->m_strPartyFileError;
    EXPECT_EQ(Bar().m_nHero, 1);
    EXPECT_EQ(pPlayer->nMember, 0);
    EXPECT_EQ(money(), (std::vector<int>{500, 500, 55}));
    EXPECT_EQ(pParty[1]->mapObject.nKind, kHeroKindComputer);
    EXPECT_EQ(std::vector<int>(std::begin(pFrame->m_nPartyIds), std::end(pFrame->m_nPartyIds)),
              (std::vector<int>{0, 1, -1, -1}));
}

// A party file that names a member outside its own slot is refused before anything
// changes: a parked party with an id other than -1 or the slot, or a record of another
// member in a slot; a member file holding another member's record (whose bag tables it
// would write over).
TEST_F(PartyFileTest, FilesNamingAMemberOutsideItsSlotAreRefused) {
    Run("  JoinParty 2 -1\n");
    // Skill points no file gives mark the member: one read again would not have them.
    constexpr std::int32_t kMark = 37;
    pParty[1]->nSkillPoints = kMark;
    pFrame->m_nCurrentScene = 0;
    WriteParkedParty(1, 1, {0, 1, 7, -1}, {0, 1, 2, -1});
    WriteParkedParty(2, 1, {0, 1, -2, -1}, {0, 1, -1, -1});
    WriteParkedParty(3, 1, {0, 1, -1, -1}, {0, 3, -1, -1});
    for (int n : {1, 2, 3}) {
        pFrame->m_strPartyFileError.clear();
        EXPECT_FALSE(pFrame->LoadTempParty(n, n == 2)) << n;
        EXPECT_NE(pFrame->m_strPartyFileError.find("SaveTemp" + std::to_string(n)), std::string::npos)
            << pFrame->m_strPartyFileError;
        EXPECT_TRUE(pParty[1] && pParty[1]->nSkillPoints == kMark) << n;
        EXPECT_EQ(pParty[2], nullptr) << n;
        EXPECT_EQ(pCompanion, pParty[1]) << n;
        EXPECT_EQ(std::vector<int>(std::begin(pFrame->m_nPartyIds), std::end(pFrame->m_nPartyIds)),
                  (std::vector<int>{0, 1, -1, -1}))
            << n;
        EXPECT_NE(pParty[1] ? pParty[1]->nMoney : 500, 500) << n;
    }
    EXPECT_NE(pFrame->m_strPartyFileError.find("member 3"), std::string::npos) << pFrame->m_strPartyFileError;

    std::vector<ItemRow> items(4);
    for (ItemRow& row : items) std::fill(&row.nBagCell[0][0], &row.nBagCell[0][0] + kMemberCount * kBagCellCount, -1);
    pGameData->pItem = items.data();
    pGameData->nItemCount = 4;
    HeroRecordModel model;
    model.nMember = 3;
    model.nMoney = 500;
    model.itemCount[2] = 1;
    model.bagCells[2].fill(-1);
    model.bagCells[2][0] = 5;
    std::string why;
    ASSERT_TRUE(WriteHeroRecordFile(m_folder.File("save/SavePlayer3.sav"), model, &why)) << why;
    pFrame->m_strPartyFileError.clear();
    Run("  JoinParty 3 -1\n");
    ASSERT_NE(pParty[2], nullptr);
    EXPECT_EQ(pParty[2]->nMember, 2);
    EXPECT_NE(pParty[2]->nMoney, 500);
    EXPECT_EQ(items[2].nBagCell[3][0], -1) << "member 4's bag table was written";
    EXPECT_NE(pFrame->m_strPartyFileError.find("SavePlayer3"), std::string::npos) << pFrame->m_strPartyFileError;
    pGameData->pItem = nullptr;
    pGameData->nItemCount = 0;
}

TEST_F(PartyFileTest, GamekitsInitialRecordReadsBackExactlyAndTheMemberStandsBesideTheHero) {
    HeroRecordModel model;
    model.nSculpt = 3;
    model.nMember = 2;
    model.nKind = 15;
    model.nLevel = 4;
    model.nMoney = 321;
    model.nExperience = 555;
    model.nLifeMax = 120;
    model.nLife = 20;
    model.nManaMax = 60;
    model.itemCount[12] = 4;
    model.taskState[9] = 1;
    model.skillKnown[2] = 1;
    model.nAttack = 17;
    std::string why;
    ASSERT_TRUE(WriteHeroRecordFile(m_folder.File("save/InitPlayer3.sav"), model, &why)) << why;
    // A saved record would be taken first: the variant asks for the initial one.
    m_folder.Write("save/SavePlayer3.sav", std::vector<std::uint8_t>(8, 0));
    // The member's offset cell (2, -1 from the hero) is blocked: the first passable
    // neighbour of the hero's cell in the search order is (0, +1).
    pScene->pBlocked[size_t(12 + pScene->nGridWidth * 9)] = 1;
    Run("  JoinParty 3 1\n");
    CPlayer* p = pParty[2];
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->nSculpt, 3);
    EXPECT_EQ(p->nLevel, 4);
    EXPECT_EQ(p->nMoney, 321);
    EXPECT_EQ(p->nExperience, 555);
    EXPECT_EQ(p->nItemCount[12], 4);
    EXPECT_EQ(p->nTaskState[9], 1);
    EXPECT_EQ(p->nSkillKnown[2], 1);
    EXPECT_EQ(p->nAttack, 17);
    EXPECT_EQ(p->nLife, 120);
    EXPECT_EQ(p->nMana, 60);
    const POINT cell = pScene->PixelToCell(p->ptPos.x, p->ptPos.y);
    EXPECT_EQ(cell.x, 10);
    EXPECT_EQ(cell.y, 11);
}

}  // namespace
