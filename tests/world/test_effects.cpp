#include <algorithm>
#include <cstring>
#include <deque>

#include "platform/Stream.h"
#include "shell/Mouse.h"
#include "tests/world/EffectTestUtil.h"
#include "world/EffectManager.h"

using namespace effecttest;

namespace {

class EffectManagerTest : public EffectTest {
protected:
    std::unique_ptr<CEffectManager> m_pManager = std::make_unique<CEffectManager>();

    // Steps the frame clock and the effect until it finishes; the frames it showed.
    static std::vector<int> RunToEnd(CEffectAnim* pEffect, DWORD* pElapsed) {
        std::vector<int> shown;
        *pElapsed = 0;
        for (int i = 0; i < 100; ++i) {
            shown.push_back(pEffect->m_nFrame);
            Tick(20);
            *pElapsed += 20;
            if (!pEffect->Advance()) return shown;
        }
        ADD_FAILURE() << "the effect never finished";
        return shown;
    }
    std::vector<std::uint8_t> SavedBlock() const {
        CByteWriter writer;
        m_pManager->Save(writer);
        return writer.TakeBytes();
    }
};

TEST_F(EffectManagerTest, ScriptAndSceneEffectsPickTheirPictureAndPoint) {
    // Only the effects the scripts add count as script effects.
    ASSERT_TRUE(m_pManager->Add45Effect(12, 0, 0));
    EXPECT_FALSE(m_pManager->IsScriptEffectRunning());
    m_pManager->ClearEffects();
    // Script effects 12 and 13 of the package are skipped: 12 shows 11, 13 shows 14.
    ASSERT_TRUE(m_pManager->AddScriptEffect(12));
    EXPECT_TRUE(m_pManager->IsScriptEffectRunning());
    EXPECT_EQ(m_pManager->First()->m_nEffect, 11);
    EXPECT_STREQ(m_pManager->First()->m_szSkillName, "skill12");
    ASSERT_TRUE(m_pManager->AddScriptEffect(13));
    EXPECT_EQ(m_pManager->First()->m_nEffect, 14);
    EXPECT_EQ(m_pManager->First()->m_nSkill, 13);
    EXPECT_EQ(m_pManager->First()->m_ptPos.x, 0);
    // Script effect 0 would be effect -1, 19 would be 20 (past the package); a script
    // effect past the skill table still plays, without a name.
    EXPECT_FALSE(m_pManager->AddScriptEffect(0));
    EXPECT_FALSE(m_pManager->AddScriptEffect(19));
    m_skills.resize(5);
    m_data.nSkillCount = 5;
    ASSERT_TRUE(m_pManager->AddScriptEffect(9));
    EXPECT_STREQ(m_pManager->First()->m_szSkillName, "");

    ASSERT_TRUE(m_pManager->Add45Effect(2, 100, 500));
    EXPECT_EQ(m_pManager->First()->m_ptPos.x, 188);
    EXPECT_EQ(m_pManager->First()->m_ptPos.y, 210);
    ASSERT_TRUE(m_pManager->Add45Effect(15, 0, 0));
    EXPECT_EQ(m_pManager->First()->m_ptPos.y, -200);
    EXPECT_FALSE(m_pManager->Add45Effect(-1, 0, 0));
    EXPECT_FALSE(m_pManager->Add45Effect(kEffects, 0, 0));
    EXPECT_EQ(m_pManager->GetEffectCount(), 5);
}

TEST_F(EffectManagerTest, BattleEffectsValidateTheSkillFirst) {
    m_skills[12].nPicNo = 6;
    m_skills[13].nPicNo = -5;
    m_skills[14].nPicNo = kEffects;
    static const char kLongName[] = "a-very-long-skill-name";
    m_skills[12].pName = kLongName;
    ASSERT_TRUE(m_pManager->AddEffect(12, 1, 2, 30, 40, TRUE));
    const CEffectAnim* p = m_pManager->First();
    EXPECT_EQ(p->m_nEffect, 6);
    EXPECT_EQ(p->m_nAttack, 112);
    EXPECT_EQ(p->m_nTarget, 2);
    EXPECT_EQ(std::strlen(p->m_szSkillName), 15u);
    EXPECT_EQ(std::strncmp(p->m_szSkillName, kLongName, 15), 0);
    ASSERT_TRUE(m_pManager->AddEffect(12, 1, 2, 30, 40, FALSE));
    EXPECT_EQ(m_pManager->First()->m_nAttack, 0);
    // A negative picture shows effect 0; a picture past the package, a skill of -1 or
    // past the table is refused and adds nothing.
    ASSERT_TRUE(m_pManager->AddEffect(13, 0, 0, 0, 0, FALSE));
    EXPECT_EQ(m_pManager->First()->m_nEffect, 0);
    EXPECT_FALSE(m_pManager->AddEffect(14, 0, 0, 0, 0, FALSE));
    EXPECT_FALSE(m_pManager->AddEffect(-1, 0, 0, 0, 0, FALSE));
    EXPECT_FALSE(m_pManager->AddEffect(30, 0, 0, 0, 0, FALSE));
    EXPECT_EQ(m_pManager->GetEffectCount(), 3);
}

TEST_F(EffectManagerTest, FramesStepEvery100MsAndFallingEffectsDrop) {
    ASSERT_TRUE(m_pManager->Add45Effect(5, 100, 100));
    CEffectAnim* p = m_pManager->First();
    EXPECT_EQ(p->m_nFrameCount, 5);
    Tick(99);
    EXPECT_TRUE(p->Advance());
    EXPECT_EQ(p->m_nFrame, 0);
    Tick(1);
    EXPECT_TRUE(p->Advance());
    EXPECT_EQ(p->m_nFrame, 1);
    m_pManager->ClearEffects();

    // Five frames end at the fifth step, at least 500 ms after the start.
    ASSERT_TRUE(m_pManager->Add45Effect(5, 100, 100));
    DWORD dwElapsed = 0;
    std::vector<int> shown = RunToEnd(m_pManager->First(), &dwElapsed);
    shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_GE(dwElapsed, 500u);
    EXPECT_LT(dwElapsed, 600u);

    // Effect 3 of 6 frames at screen y 300 (map y 500 under a view at y 200) starts
    // 100 higher and falls 60 a frame; effect 3's own offset applies first.
    m_sceneLink.ptView = POINT{0, 200};
    m_skills[3].nPicNo = 3;
    ASSERT_TRUE(m_pManager->AddEffect(3, 0, 0, 40, 500, FALSE));
    p = m_pManager->First();
    EXPECT_EQ(p->m_ptPos.y, 400);
    EXPECT_EQ(p->m_nDrop, 60);
    Tick(100);
    EXPECT_TRUE(p->Advance());
    EXPECT_EQ(p->m_ptPos.y, 460);
    ASSERT_TRUE(m_pManager->Add45Effect(3, 0, 720));
    EXPECT_EQ(m_pManager->First()->m_ptPos.y, 200);
    EXPECT_EQ(m_pManager->First()->m_nDrop, 20);

    // A falling effect of one frame has no steps to share the drop over; an effect
    // without frames ends at once.
    ASSERT_TRUE(m_pManager->Add45Effect(4, 0, 500));
    EXPECT_EQ(m_pManager->First()->m_nDrop, 0);
    ASSERT_TRUE(m_pManager->Add45Effect(7, 0, 0));
    EXPECT_FALSE(m_pManager->First()->Advance());
}

TEST_F(EffectManagerTest, TheFrameUpdateDrawsAtTheViewAndRemovesFinishedEffects) {
    EXPECT_FALSE(UpdateEffectList(nullptr));
    EXPECT_FALSE(UpdateEffectList(m_pManager.get()));
    m_sceneLink.ptView = POINT{1000, 2000};
    ASSERT_TRUE(m_pManager->Add45Effect(9, 1300, 2100));  // two frames
    ASSERT_TRUE(m_pManager->Add45Effect(5, 1500, 2300));  // five frames
    ClearBack();
    EXPECT_FALSE(UpdateEffectList(m_pManager.get()));
    EXPECT_EQ(LitPixels(300, 100, 300 + kSquare, 100 + kSquare), kSquare * kSquare);
    EXPECT_EQ(LitPixels(560, 100, 560 + kSquare, 100 + kSquare), kSquare * kSquare);
    EXPECT_EQ(LitPixels(0, 0, 800, 600), 2 * kSquare * kSquare);
    // The short one leaves first; the wait ends only when the last one has gone.
    bool bEnded = false;
    int nPasses = 0;
    for (; nPasses < 20 && !bEnded; ++nPasses) {
        Tick(100);
        bEnded = UpdateEffectList(m_pManager.get());
        if (nPasses == 1) {
            EXPECT_EQ(m_pManager->GetEffectCount(), 1);
        }
    }
    EXPECT_TRUE(bEnded);
    EXPECT_EQ(nPasses, 5);
    EXPECT_EQ(m_pManager->First(), nullptr);
}

TEST_F(EffectManagerTest, EffectsPlayTheirSoundOnceAndTolerateMissingFiles) {
    m_folder.Write("Sound/jl02.wav", BuildWav16(SynthTone(600, 0.5, 22050), 22050, 1));
    ASSERT_TRUE(m_pManager->Add45Effect(2, 0, 0));
    ASSERT_NE(m_pManager->First()->m_pSound, nullptr);
    EXPECT_EQ(AudioActiveVoiceCount(), 1);
    ASSERT_TRUE(m_pManager->Add45Effect(6, 0, 0));  // no "jl06.wav"
    EXPECT_EQ(m_pManager->First()->m_pSound, nullptr);
    m_host.bSoundOn = false;
    ASSERT_TRUE(m_pManager->Add45Effect(2, 0, 0));
    EXPECT_EQ(m_pManager->First()->m_pSound, nullptr);
    EXPECT_EQ(AudioActiveVoiceCount(), 1);
    // Removing an effect stops its sound with it.
    m_pManager->ClearEffects();
    EXPECT_EQ(AudioActiveVoiceCount(), 0);
}

TEST_F(EffectManagerTest, ScriptsHideAndShowCharactersInsideTheTablesOnly) {
    CMouse mouse;
    pMouse = &mouse;
    NpcStateRecord* pRec = m_pManager->GetNpcState(150, 7);
    ASSERT_NE(pRec, nullptr);
    EXPECT_EQ(pRec->nDisplay, -1);
    EXPECT_EQ(pRec->nLife, -1);
    m_pManager->SetObjectFlag(150, 7);
    EXPECT_EQ(pRec->nDisplay, kNpcHidden);
    EXPECT_EQ(m_sceneLink.nHoverCleared, 0);  // the cursor showed shape 0 already
    pRec->nDisplay = kNpcCorpse;
    mouse.m_nShape = 2;
    m_pManager->SetObjectFlag(150, 7);
    EXPECT_EQ(pRec->nDisplay, kNpcCorpse | kNpcHidden);
    EXPECT_EQ(mouse.m_nShape, 0);
    EXPECT_EQ(m_sceneLink.nHoverCleared, 1);
    m_pManager->ClearObjectFlag(150, 7);
    EXPECT_EQ(pRec->nDisplay, kNpcShown);

    // Scene or id outside the tables changes nothing.
    const std::vector<std::uint8_t> before = SavedBlock();
    for (auto [s, id] : {std::pair{-1, 0}, {200, 0}, {0, -1}, {0, 100}, {1, 1000}}) {
        m_pManager->SetObjectFlag(s, id);
        m_pManager->ClearObjectFlag(s, id);
        EXPECT_EQ(m_pManager->GetNpcState(s, id), nullptr);
    }
    EXPECT_EQ(SavedBlock(), before);
    pMouse = nullptr;
}

TEST_F(EffectManagerTest, TheStateBlockRoundTripsByteExact) {
    std::vector<std::uint8_t> fresh = SavedBlock();
    ASSERT_EQ(fresh.size(), 526400u);
    EXPECT_EQ(CEffectManager::kBlockSize, 526400u);
    // Layout: states, records, object bytes, shop stock, run counters.
    EXPECT_EQ(fresh[0], 0);
    EXPECT_EQ(fresh[20000], 0xFF);
    EXPECT_EQ(fresh[420000], 0);
    EXPECT_EQ(fresh[446400], 0xFF);

    m_pManager->EventStates[3][4] = 2;
    NpcStateRecord& rec = m_pManager->NpcStates[150][7];
    rec.nMapX = 0x01020304;
    rec.nLife = 77;
    rec.nDirection = 5;
    m_pManager->SetObjectFlag(150, 7);
    m_pManager->ObjectTaken[199][99] = 9;
    m_pManager->ShopStock[15][99] = -12345;
    m_pManager->EventRuns[0][1] = 6;
    const std::vector<std::uint8_t> block = SavedBlock();
    EXPECT_EQ(block[3 * 100 + 4], 2);
    const size_t nRec = 20000 + (150 * 100 + 7) * 20;
    EXPECT_EQ(block[nRec + 4], 0x04);
    EXPECT_EQ(block[nRec + 17], 1);
    EXPECT_EQ(block[nRec + 18], 0xFF);
    EXPECT_EQ(block[420000 + 19999], 9);
    EXPECT_EQ(block[446400 - 4], 0xC7);  // -12345 little-endian

    // A new game's manager reads it back, the hidden character of scene 150 included,
    // and writes the same bytes again.
    std::vector<std::uint8_t> withTail = block;
    withTail.push_back(0xAB);
    CByteReader reader(withTail, "save000.sav");
    CEffectManager loaded;
    ASSERT_TRUE(loaded.Load(reader)) << loaded.GetError();
    EXPECT_EQ(reader.Position(), block.size());
    EXPECT_EQ(loaded.NpcStates[150][7].nDisplay, kNpcHidden);
    EXPECT_EQ(loaded.NpcStates[150][7].nLife, 77);
    EXPECT_EQ(loaded.EventRuns[0][1], 6);
    EXPECT_EQ(loaded.EventRuns[0][2], -1);
    CByteWriter again;
    loaded.Save(again);
    EXPECT_EQ(again.Bytes(), block);
}

TEST_F(EffectManagerTest, AShortBlockIsRefusedAndTheTablesStay) {
    CEffectManager source;
    source.NpcStates[1][2].nLife = 55;
    source.EventRuns[199][99] = 4;
    CByteWriter writer;
    source.Save(writer);
    const std::vector<std::uint8_t> block = writer.TakeBytes();
    m_pManager->EventStates[0][0] = 1;
    const std::vector<std::uint8_t> before = SavedBlock();
    for (size_t nCut : {size_t(0), size_t(19999), size_t(20010), size_t(420001), size_t(446399), block.size() - 1}) {
        CByteReader reader(block.data(), nCut, "save003.sav");
        EXPECT_FALSE(m_pManager->Load(reader)) << nCut;
        EXPECT_NE(m_pManager->GetError().find("save003.sav"), std::string::npos) << m_pManager->GetError();
        EXPECT_NE(m_pManager->GetError().find("scene state block"), std::string::npos) << m_pManager->GetError();
        EXPECT_EQ(SavedBlock(), before) << nCut;
    }
    CByteReader reader(block, "save003.sav");
    ASSERT_TRUE(m_pManager->Load(reader));
    EXPECT_EQ(m_pManager->NpcStates[1][2].nLife, 55);
    EXPECT_EQ(m_pManager->EventStates[0][0], 0);
}

}  // namespace
