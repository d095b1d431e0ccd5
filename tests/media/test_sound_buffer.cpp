#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <deque>
#include <random>

#include "CDX/CDXSound.h"
#include "MediaTestUtil.h"
#include "platform/WavCapture.h"
#include "tests/TempFolder.h"
#include "tools/gamekit/WavWriter.h"

using namespace mediatest;

namespace {

class SoundBufferTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        ASSERT_EQ(m_sound.Create(nullptr, FALSE), DS_OK);
        m_folder = m_temp.Path();
    }
    std::string Put(const char* pszName, const std::vector<std::uint8_t>& bytes) {
        std::string path = m_folder + "/" + pszName;
        WriteBytes(path, bytes);
        m_paths.push_back(path);
        return m_paths.back();
    }
    CDXSound m_sound;
    std::string m_folder;
    std::deque<std::string> m_paths;  // buffers keep the name pointer
};

TEST_F(SoundBufferTest, ThreeCopiesAllPlayingRotateAndRestartTheChosenCopy) {
    std::string path = Put("tone.wav", BuildWav16(SynthTone(1000, 1.0, 44100), 44100, 1));
    CDXSoundBuffer buffer;
    ASSERT_EQ(buffer.Load(&m_sound, path.c_str(), 3), DS_OK);
    EXPECT_EQ(buffer.GetCopyCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(buffer.Play(0), DS_OK);
        Pull(441);
    }
    EXPECT_EQ(buffer.GetPlayingCount(), 3);
    EXPECT_EQ(buffer.GetCurrentCopy(), 2);
    // With every copy busy each play advances and cuts that copy short: 0, 1, 2, 0.
    for (int nExpected : {0, 1, 2, 0}) {
        EXPECT_EQ(buffer.Play(0), DS_OK);
        EXPECT_EQ(buffer.GetCurrentCopy(), nExpected);
        DWORD dwRestarted = 0, dwOther = 0;
        buffer.GetCopy(nExpected)->GetCurrentPosition(&dwRestarted, nullptr);
        buffer.GetCopy((nExpected + 1) % 3)->GetCurrentPosition(&dwOther, nullptr);
        EXPECT_LT(dwRestarted, 16u);  // started again from the beginning
        EXPECT_GT(dwOther, 800u);
        EXPECT_EQ(buffer.GetPlayingCount(), 3);
        Pull(441);
    }
    // Played out, every copy is idle again.
    Pull(44100);
    EXPECT_EQ(buffer.GetPlayingCount(), 0);
}

TEST_F(SoundBufferTest, OneCopyStillPlayingIsNotRestartedAndStopRewinds) {
    std::string path = Put("tone.wav", BuildWav16(SynthTone(500, 0.2, 22050), 22050, 1));
    CDXSoundBuffer buffer;
    ASSERT_EQ(buffer.Load(&m_sound, path.c_str(), 0), DS_OK);
    EXPECT_EQ(buffer.GetCopyCount(), 1);
    EXPECT_EQ(buffer.Play(0), DS_OK);
    EXPECT_EQ(buffer.Play(0), DSERR_ALLOCATED);
    EXPECT_GT(Rms(Pull(2205)), 1000.0);
    EXPECT_EQ(buffer.Stop(), DS_OK);
    EXPECT_EQ(buffer.GetPlayingCount(), 0);
    EXPECT_EQ(Rms(Pull(512)), 0.0);
    DWORD dwPos = 1;
    buffer.GetCopy(0)->GetCurrentPosition(&dwPos, nullptr);
    EXPECT_EQ(dwPos, 0u);
    // 22050 Hz mono becomes twice as many output frames: 0.2 s lasts 8820 frames.
    EXPECT_EQ(buffer.Play(0), DS_OK);
    Pull(8700);
    EXPECT_EQ(buffer.GetPlayingCount(), 1);
    Pull(200);
    EXPECT_EQ(buffer.GetPlayingCount(), 0);
}

TEST_F(SoundBufferTest, ResultCodesForBadFilesAndDevices) {
    auto tone = SynthTone(440, 0.1, 22050);
    auto good = BuildWav16(tone, 22050, 1);
    CDXSoundBuffer buffer;
    EXPECT_EQ(buffer.Load(&m_sound, nullptr, 1), DSERR_INVALIDPARAM);
    std::string missing = m_folder + "/missing.wav";
    EXPECT_EQ(buffer.Load(&m_sound, missing.c_str(), 1), DSERR_GENERIC);
    std::string goodPath = Put("good.wav", good);
    EXPECT_EQ(buffer.Load(nullptr, goodPath.c_str(), 1), DSERR_INVALIDPARAM);
    CDXSound notCreated;
    EXPECT_EQ(buffer.Load(&notCreated, goodPath.c_str(), 1), DSERR_UNINITIALIZED);
    EXPECT_EQ(buffer.Play(0), DSERR_UNINITIALIZED);

    auto notRiff = good;
    std::memcpy(notRiff.data(), "RIFX", 4);
    EXPECT_EQ(buffer.Load(&m_sound, Put("notriff.wav", notRiff).c_str(), 1), DSERR_BADFORMAT);
    auto adpcm = good;
    adpcm[20] = 2;
    EXPECT_EQ(buffer.Load(&m_sound, Put("adpcm.wav", adpcm).c_str(), 1), DSERR_UNSUPPORTED);
    auto noData = good;
    std::memcpy(noData.data() + 36, "junk", 4);
    EXPECT_EQ(buffer.Load(&m_sound, Put("nodata.wav", noData).c_str(), 1), DSERR_BADFORMAT);
    auto fmtTooLong = good;
    fmtTooLong[16] = 0xFF;
    fmtTooLong[17] = 0xFF;
    EXPECT_EQ(buffer.Load(&m_sound, Put("fmtlong.wav", fmtTooLong).c_str(), 1), DSERR_BADFORMAT);
    for (size_t nCut : {size_t(4), size_t(12), size_t(30), size_t(44)}) {
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + long(nCut));
        EXPECT_EQ(buffer.Load(&m_sound, Put("cut.wav", cut).c_str(), 1), DSERR_BADFORMAT) << nCut;
        EXPECT_FALSE(buffer.IsLoaded());
    }
    // A failed load leaves an empty buffer that plays nothing.
    EXPECT_EQ(buffer.Play(0), DSERR_ALLOCATED);

    // A data chunk cut short keeps what the file holds.
    std::vector<std::uint8_t> shortData(good.begin(), good.begin() + 44 + 1001);
    ASSERT_EQ(buffer.Load(&m_sound, Put("short.wav", shortData).c_str(), 1), DS_OK);
    EXPECT_EQ(buffer.Play(0), DS_OK);
    Pull(1010);  // 500 source frames = 1000 output frames
    EXPECT_EQ(buffer.GetPlayingCount(), 0);

    // "fact" and "LIST" chunks before the data are skipped; 8-bit data loads.
    ASSERT_EQ(buffer.Load(&m_sound, Put("chunks.wav", BuildWavWithChunks(tone, 22050, true)).c_str(), 1), DS_OK);
    WAVEFORMATEX fmt;
    buffer.GetCopy(0)->GetFormat(&fmt);
    EXPECT_EQ(fmt.nSamplesPerSec, 22050u);
    void* p1 = nullptr;
    DWORD n1 = 0;
    ASSERT_EQ(buffer.GetCopy(0)->Lock(0, 0, &p1, &n1, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
    EXPECT_EQ(n1, tone.size() * 2);
    EXPECT_EQ(std::memcmp(p1, tone.data(), n1), 0);
    EXPECT_EQ(buffer.Load(&m_sound, Put("pcm8.wav", BuildWav8(tone, 11025, 1)).c_str(), 2), DS_OK);
    EXPECT_EQ(buffer.GetCopyCount(), 2);
}

TEST_F(SoundBufferTest, VolumeStepsInDecibelsOnMixedSamplesAndFullVolumeAfterALowerOne) {
    std::string path = Put("tone.wav", BuildWav16(SynthTone(1000, 2.0, 44100, 0.8), 44100, 1));
    CDXSoundBuffer buffer;
    ASSERT_EQ(buffer.Load(&m_sound, path.c_str(), 1), DS_OK);
    auto measure = [&](int nPercent) {
        buffer.Stop();
        buffer.SetVolume(nPercent);
        EXPECT_EQ(buffer.Play(0), DS_OK);
        return Rms(Pull(4410), 441);
    };
    double dFull = measure(100);
    ASSERT_GT(dFull, 15000.0);
    struct Step { int nPercent; double dDb; };
    for (Step s : {Step{98, -2.0}, Step{90, -10.0}, Step{80, -20.0}, Step{70, -30.0}}) {
        double dDb = 20.0 * std::log10(measure(s.nPercent) / dFull);
        EXPECT_NEAR(dDb, s.dDb, 0.3) << s.nPercent;
        EXPECT_EQ(buffer.GetVolume(), (s.nPercent * 5 - 500) * 20);
    }
    EXPECT_LT(measure(0), 1.0);
    // Back to 100 %: the copy plays at full volume again.
    EXPECT_NEAR(measure(100), dFull, dFull * 0.01);
}

TEST_F(SoundBufferTest, CorruptedWaveFilesFailOrLoadWithoutReadingOutside) {
    auto good = BuildWavWithChunks(SynthTone(440, 0.05, 22050), 22050, true);
    std::mt19937 rng(7);
    int nLoaded = 0;
    for (int i = 0; i < 300; ++i) {
        auto bad = good;
        int nFlips = 1 + int(rng() % 6);
        for (int k = 0; k < nFlips; ++k) bad[rng() % 60] = std::uint8_t(rng());
        if (i % 3 == 0) bad.resize(rng() % bad.size());
        std::string path = Put("fuzz.wav", bad);
        CDXSoundBuffer buffer;
        HRESULT hr = buffer.Load(&m_sound, path.c_str(), 2);
        if (hr == DS_OK) {
            ++nLoaded;
            buffer.Play(0);
            Pull(256);
        } else {
            EXPECT_TRUE(hr == DSERR_BADFORMAT || hr == DSERR_UNSUPPORTED || hr == DSERR_INVALIDPARAM) << std::hex << hr;
        }
        m_paths.pop_back();
    }
    EXPECT_GT(nLoaded, 0);
}

TEST_F(SoundBufferTest, WaveVolumeIsAGainOnStreamsOnly) {
    EXPECT_EQ(m_sound.SetWaveVolume(100, 50), DS_OK);
    EXPECT_EQ(m_sound.GetWaveVolume(), ((50u * 65535u / 100u) << 16) | 65535u);
    EXPECT_EQ(m_sound.SetWaveVolume(200, 0), DS_OK);
    EXPECT_EQ(m_sound.GetWaveVolume(), 65535u);
    m_sound.SetWaveVolume(100, 100);
}

// The run's sound written to a WAV file (GAME_AUDIO_WAV): a whole capture has its header
// right; a file that stops taking bytes (the file-size limit fails the writes as a full
// disk would, even for root) is named once on stderr and the capture stops; a folder in
// the file's place is named at once.
TEST(WavCapture, WriteErrorsAreNamedOnceAndTheCaptureStops) {
    CTempFolder folder;
    const std::vector<std::int16_t> frames(2 * 4096, 100);
    {
        audio::CWavCapture capture(44100);
        ASSERT_TRUE(capture.Open(folder.File("whole.wav").c_str()));
        for (int i = 0; i < 11; ++i) capture.Write(frames.data(), 4096);
        capture.Close();
    }
    const std::vector<std::uint8_t> whole = folder.Read("whole.wav");
    ASSERT_EQ(whole.size(), 44u + 11u * 4096u * 4u);
    EXPECT_EQ(std::memcmp(whole.data(), "RIFF", 4), 0);
    std::uint32_t nData = 0;
    std::memcpy(&nData, whole.data() + 40, 4);
    EXPECT_EQ(nData, 11u * 4096u * 4u);

    const std::string strFull = folder.File("full.wav");
    testing::internal::CaptureStderr();
    {
        auto* pOld = std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 65536;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        audio::CWavCapture capture(44100);
        const bool bOpened = capture.Open(strFull.c_str());
        for (int i = 0; i < 20; ++i) capture.Write(frames.data(), 4096);
        const bool bStillOpen = capture.IsOpen();
        capture.Close();
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, pOld);
        EXPECT_TRUE(bOpened);
        EXPECT_FALSE(bStillOpen);
    }
    audio::CWavCapture folderCapture(44100);
    EXPECT_FALSE(folderCapture.Open(folder.Path().c_str()));
    const std::string strErr = testing::internal::GetCapturedStderr();
    const std::string strFailed = "audio: writing " + strFull + " failed: ";
    const size_t nFirst = strErr.find(strFailed);
    ASSERT_NE(nFirst, std::string::npos) << strErr;
    EXPECT_EQ(strErr.find(strFailed, nFirst + 1), std::string::npos) << strErr;
    EXPECT_NE(strErr.find("audio: cannot write " + folder.Path() + ": is a folder"), std::string::npos) << strErr;
}

}  // namespace
