#include <filesystem>

#include "CDX/CDXSound.h"
#include "MediaTestUtil.h"
#include "media/SoundEffects.h"
#include "tools/gamekit/WavWriter.h"

using namespace mediatest;

namespace {

class SoundEffectsTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        m_host.folder = m_temp.Path();
        pMediaHost = &m_host;
        pSound = new CDXSound;
        ASSERT_EQ(pSound->Create(nullptr, FALSE), DS_OK);
        for (int i = 0; i < CSoundEffects::kFixedCount; ++i)
            WriteBytes(m_host.folder + "/sound/" + CSoundEffects::kFileNames[i],
                       BuildWav16(SynthTone(300 + 50 * i, 0.2, 22050), 22050, 1));
        for (int i = 1; i <= 3; ++i) {
            char sz[32];
            std::snprintf(sz, sizeof sz, "/Sound/Npc%02d.wav", i);
            WriteBytes(m_host.folder + sz, BuildWav16(SynthTone(200 * i, 0.2, 22050), 22050, 1));
            std::snprintf(sz, sizeof sz, "/Sound/jl%02d.wav", i);
            WriteBytes(m_host.folder + sz, BuildWav16(SynthTone(900 + i, 0.2, 22050), 22050, 1));
        }
        m_effects.Init();
    }
    void TearDown() override {
        Pull(44100);
        delete pSound;
        pSound = nullptr;
        MediaTest::TearDown();
    }
    FakeHost m_host;
    CSoundEffects m_effects;
};

TEST_F(SoundEffectsTest, EffectsLoadOnFirstPlayAndDoNotRestartWhilePlaying) {
    EXPECT_EQ(m_effects.GetCount(), 15);
    EXPECT_EQ(m_effects.GetSlot(5), nullptr);
    m_effects.Play(5);
    ASSERT_NE(m_effects.GetSlot(5), nullptr);
    EXPECT_STREQ(m_effects.GetSlot(5)->GetFileName(), (m_host.folder + "\\sound\\DOWN.wav").c_str());
    Pull(100);
    m_effects.Play(5);
    EXPECT_EQ(AudioActiveVoiceCount(), 1);
    EXPECT_NEAR(Frequency(Pull(8000), 44100), 550.0, 11.0);
    m_effects.Play(15);
    m_effects.Play(-1);
    EXPECT_EQ(m_effects.GetSlot(15), nullptr);
    EXPECT_EQ(AudioActiveVoiceCount(), 1);
    m_effects.Stop(5);
    EXPECT_EQ(AudioActiveVoiceCount(), 0);
    // With the switch off nothing is loaded or played.
    m_host.bSoundOn = false;
    m_effects.Play(3);
    m_effects.PlayJl(1);
    EXPECT_EQ(m_effects.GetSlot(3), nullptr);
    EXPECT_EQ(m_effects.GetSlot(15), nullptr);
    // A missing file leaves a silent buffer in its slot.
    m_host.bSoundOn = true;
    std::filesystem::remove(m_host.folder + "/sound/bomb.wav");
    m_effects.Play(14);
    ASSERT_NE(m_effects.GetSlot(14), nullptr);
    EXPECT_FALSE(m_effects.GetSlot(14)->IsLoaded());
    EXPECT_EQ(AudioActiveVoiceCount(), 0);
}

TEST_F(SoundEffectsTest, VolumeZeroKeepsFixedEffectsAtTheirOwnVolumeButSilencesNumberedSounds) {
    m_host.nVolume = 0;
    m_effects.Play(2);
    EXPECT_EQ(m_effects.GetSlot(2)->GetVolume(), 0);
    EXPECT_GT(Rms(Pull(4000)), 1000.0);
    m_effects.PlayJl(2);
    EXPECT_EQ(m_effects.GetSlot(15)->GetVolume(), -10000);
    m_host.nVolume = 90;
    m_effects.Stop(2);
    m_effects.PlayJl(3);
    EXPECT_EQ(m_effects.GetSlot(15)->GetVolume(), -1000);
    EXPECT_NEAR(Frequency(Pull(8000), 44100), 903.0, 18.0);
}

TEST_F(SoundEffectsTest, ASkillSoundPlayedAgainIsNotReadAgainAndStartsOverButAMissingOneIsLookedForAgain) {
    m_effects.PlayJl(2);
    EXPECT_NEAR(Frequency(Pull(4000), 44100), 902.0, 18.0);
    Pull(44100);
    // The file is gone: the sound played last is played again all the same.
    std::filesystem::remove(m_host.folder + "/Sound/jl02.wav");
    m_effects.PlayJl(2);
    EXPECT_NEAR(Frequency(Pull(4000), 44100), 902.0, 18.0);
    Pull(44100);
    // Played again while it sounds, it starts over: 0.2 s of tone (8820 samples) from then on.
    m_effects.PlayJl(2);
    Pull(3000);
    m_effects.PlayJl(2);
    Pull(7600);
    EXPECT_GT(Rms(Pull(1000)), 1000.0);
    Pull(400);
    EXPECT_LT(Rms(Pull(2000)), 50.0);
    // Another sound is read from its file; a missing one plays nothing until it is there.
    m_effects.PlayJl(3);
    EXPECT_NEAR(Frequency(Pull(4000), 44100), 903.0, 18.0);
    Pull(44100);
    m_effects.PlayJl(7);
    EXPECT_LT(Rms(Pull(4000)), 50.0);
    WriteBytes(m_host.folder + "/Sound/jl07.wav", BuildWav16(SynthTone(700, 0.2, 22050), 22050, 1));
    m_effects.PlayJl(7);
    EXPECT_NEAR(Frequency(Pull(4000), 44100), 700.0, 18.0);
}

TEST_F(SoundEffectsTest, CharacterSoundsUseTwoSlotsAndAThirdReplaysTheFirst) {
    m_effects.PlayNpc(1);
    m_effects.PlayNpc(2);
    ASSERT_NE(m_effects.GetSlot(15), nullptr);
    ASSERT_NE(m_effects.GetSlot(16), nullptr);
    EXPECT_NE(std::string(m_effects.GetSlot(15)->GetFileName()).find("Npc01"), std::string::npos);
    EXPECT_NE(std::string(m_effects.GetSlot(16)->GetFileName()).find("Npc02"), std::string::npos);
    Pull(44100);
    m_effects.PlayNpc(3);
    EXPECT_NE(std::string(m_effects.GetSlot(15)->GetFileName()).find("Npc01"), std::string::npos);
    EXPECT_NEAR(Frequency(Pull(8000), 44100), 200.0, 4.0);
    // A skill sound in between takes slot 15.
    m_effects.PlayJl(1);
    EXPECT_NE(std::string(m_effects.GetSlot(15)->GetFileName()).find("jl01"), std::string::npos);
    Pull(44100);
    m_effects.PlayNpc(3);
    EXPECT_NE(std::string(m_effects.GetSlot(15)->GetFileName()).find("jl01"), std::string::npos);
}

}  // namespace
