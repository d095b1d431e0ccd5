#include <atomic>
#include <random>

#include "MediaTestUtil.h"
#include "media/Mp3Player.h"
#include "platform/Files.h"
#include "tools/gamekit/Mp3Writer.h"
#include "tools/gamekit/WavWriter.h"

using namespace mediatest;

namespace {

class Mp3PlayerTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        m_host.folder = m_temp.Path();
        pMediaHost = &m_host;
        std::vector<MusicTrack> tracks;
        tracks.push_back({"01.mp3", EncodeMp3(SynthTone(440, 1.0, 44100, 0.6), 44100)});
        tracks.push_back({"02.mp3", EncodeMp3(SynthTone(660, 3.0, 44100, 0.6), 44100)});
        tracks.push_back({"03.mp3", EncodeMp3(SynthTone(550, 0.6, 22050, 0.6), 22050)});
        for (auto& t : tracks) ASSERT_GT(t.bytes.size(), 1000u);
        m_package = BuildMusicPackage(tracks);
        WriteBytes(m_host.folder + "/data/veskmp3.dat", m_package);
    }
    std::string Track(int n) const {
        char sz[32];
        std::snprintf(sz, sizeof sz, "\\mp3\\%02d.mp3", n);
        return m_host.folder + sz;
    }
    // Pulls nFrames, waiting before each piece until the worker has queued sound (or
    // a short while has passed, as when the queue is meant to run dry).
    static std::vector<std::int16_t> PullStream(size_t nFrames, int nWaitMs = 300) {
        std::vector<std::int16_t> out;
        while (out.size() < nFrames * 2) {
            WaitFor([] { return AudioActiveVoiceCount() > 0; }, nWaitMs);
            auto piece = Pull(std::min<size_t>(1024, nFrames - out.size() / 2));
            out.insert(out.end(), piece.begin(), piece.end());
        }
        return out;
    }
    // Pulls until sound starts; the frames pulled are dropped.
    static bool SkipToSound(int nMaxSeconds = 5) {
        for (int i = 0; i < nMaxSeconds * 43; ++i) {
            auto s = PullStream(1024);
            for (size_t k = 0; k < s.size(); ++k)
                if (std::abs(s[k]) > 2000) return true;
        }
        return false;
    }
    FakeHost m_host;
    std::vector<std::uint8_t> m_package;
    DWORD m_dwVolume = 0;
};

TEST_F(Mp3PlayerTest, TrackPlaysAtItsFrequencyAndIsSilentAfterStop) {
    auto pPlayer = std::make_unique<CMp3Player>();
    ASSERT_TRUE(pPlayer->OpenMusicPackage("veskmp3.dat")) << pPlayer->GetError();
    EXPECT_EQ(pPlayer->GetEntryCount(), 3);
    // The player starts at half the wave-out volume.
    EXPECT_EQ(WaveOutGetVolume(nullptr, &m_dwVolume), MMSYSERR_NOERROR);
    EXPECT_EQ(m_dwVolume, (32767u << 16) | 32767u);
    pPlayer->SetVolume(100, 100);
    std::string path = Track(2);
    pPlayer->Play(path.c_str(), TRUE);
    EXPECT_TRUE(std::filesystem::exists(m_host.folder + "/mp3/02.mp3"));
    ASSERT_TRUE(SkipToSound());
    auto tone = PullStream(22050);
    EXPECT_NEAR(Frequency(tone, 44100), 660.0, 660.0 * 0.02);
    EXPECT_GT(Rms(tone), 8000.0);
    // The music volume scales the stream.
    EXPECT_EQ(pPlayer->SetVolume(50, 50), 0);
    double dHalf = Rms(PullStream(4410));
    EXPECT_NEAR(dHalf / Rms(tone), 0.5, 0.05);
    pPlayer->SetVolume(100, 100);

    pPlayer->Stop();
    EXPECT_TRUE(pPlayer->IsStopped());
    ASSERT_TRUE(WaitFor([&] { return !pPlayer->IsWorkerRunning(); }));
    EXPECT_EQ(Rms(Pull(8820)), 0.0);  // cut at once, nothing queued plays out
    EXPECT_EQ(AudioActiveVoiceCount(), 0);

    // A second play of the same track does not extract it again; a 22050 Hz track is
    // converted to the output rate.
    pPlayer->Play(path.c_str(), TRUE);
    pPlayer->Stop();
    std::string path3 = Track(3);
    pPlayer->Play(path3.c_str(), FALSE);
    ASSERT_TRUE(SkipToSound());
    EXPECT_NEAR(Frequency(PullStream(11025), 44100), 550.0, 550.0 * 0.02);
    EXPECT_EQ(pPlayer->GetExtracted(), (std::vector<std::string>{path, path3}));
    // A track played once ends by itself and stops the worker.
    for (int i = 0; i < 100 && pPlayer->IsWorkerRunning(); ++i) PullStream(4410, 20);
    EXPECT_FALSE(pPlayer->IsWorkerRunning());
    EXPECT_TRUE(pPlayer->IsStopped());
    pPlayer.reset();
    EXPECT_FALSE(std::filesystem::exists(m_host.folder + "/mp3"));
}

TEST_F(Mp3PlayerTest, PauseLetsTheQueueDrainAndResumeGoesOn) {
    CMp3Player player;
    ASSERT_TRUE(player.OpenMusicPackage("veskmp3.dat"));
    player.SetVolume(100, 100);
    std::string path = Track(2);
    player.Play(path.c_str(), TRUE);
    ASSERT_TRUE(SkipToSound());
    ASSERT_TRUE(WaitFor([] { return AudioActiveVoiceCount() > 0; }));
    player.Pause();
    ASSERT_TRUE(WaitFor([&] { return !player.IsPlaying(); }));
    // What was queued still sounds, then the stream runs dry.
    auto after = PullStream(44100 / 4, 20);
    EXPECT_GT(Rms(after), 8000.0);
    std::vector<std::int16_t> tail;
    for (int i = 0; i < 12 && AudioActiveVoiceCount() > 0; ++i) tail = PullStream(44100 / 2, 20);
    EXPECT_EQ(AudioActiveVoiceCount(), 0);
    EXPECT_EQ(Rms(Pull(4410)), 0.0);
    EXPECT_TRUE(player.IsWorkerRunning());
    player.Resume();
    ASSERT_TRUE(SkipToSound());
    EXPECT_NEAR(Frequency(PullStream(22050), 44100), 660.0, 660.0 * 0.02);
    // A stop while paused ends the stream.
    player.Pause();
    player.Stop();
    EXPECT_TRUE(WaitFor([&] { return !player.IsWorkerRunning(); }));
}

TEST_F(Mp3PlayerTest, LoopRestartsAfterASecondOfSilence) {
    CMp3Player player;
    ASSERT_TRUE(player.OpenMusicPackage("veskmp3.dat"));
    std::string path = Track(1);
    player.Play(path.c_str(), TRUE);
    ASSERT_TRUE(SkipToSound());
    auto s = PullStream(44100 * 4);
    // Find the silent runs between sounding stretches (10 ms windows).
    const int nWin = 441;
    std::vector<bool> loud;
    for (size_t w = 0; w + nWin <= s.size() / 2; w += nWin) {
        double sum = 0;
        for (size_t i = w; i < w + nWin; ++i) sum += std::abs(s[2 * i]);
        loud.push_back(sum / nWin > 500);
    }
    std::vector<int> gaps, tones;
    int nRun = 0;
    for (size_t i = 1; i < loud.size(); ++i) {
        ++nRun;
        if (loud[i] != loud[i - 1]) {
            (loud[i - 1] ? tones : gaps).push_back(nRun * 10);
            nRun = 0;
        }
    }
    ASSERT_GE(gaps.size(), 1u);
    ASSERT_GE(tones.size(), 2u);
    EXPECT_NEAR(tones[1], 1000, 60);  // the whole track sounds again
    EXPECT_NEAR(gaps[0], 1000, 80);   // a second of silence, plus the encoder's padding
    EXPECT_NEAR(Frequency(std::vector<std::int16_t>(s.begin(), s.begin() + 2 * 22050), 44100), 440.0, 8.8);
    player.Stop();
}

TEST_F(Mp3PlayerTest, StartPauseStopStormsEndCleanly) {
    CMp3Player player;
    ASSERT_TRUE(player.OpenMusicPackage("veskmp3.dat"));
    std::atomic<bool> bRun{true};
    std::thread puller([&] {
        std::vector<std::int16_t> buf(2 * 512);
        while (bRun.load()) {
            AudioPull(buf.data(), 512);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    std::mt19937 rng(11);
    std::string paths[2] = {Track(1), Track(2)};
    for (int i = 0; i < 400; ++i) {
        switch (rng() % 5) {
        case 0: player.Play(paths[rng() % 2].c_str(), TRUE); break;
        case 1: player.Pause(); break;
        case 2: player.Resume(); break;
        case 3: player.Stop(); break;
        default: player.SetVolume(int(rng() % 101), int(rng() % 101)); break;
        }
        if (rng() % 4 == 0) std::this_thread::sleep_for(std::chrono::microseconds(rng() % 3000));
    }
    player.Stop();
    EXPECT_TRUE(WaitFor([&] { return !player.IsWorkerRunning(); }));
    bRun.store(false);
    puller.join();
    EXPECT_EQ(AudioActiveVoiceCount(), 0);
    EXPECT_EQ(Rms(Pull(2048)), 0.0);
}

TEST_F(Mp3PlayerTest, DamagedPackagesAndTracksFailCleanly) {
    {
        CMp3Player player;
        EXPECT_FALSE(player.OpenMusicPackage("nothere.dat"));
        std::string path = Track(1);
        player.Play(path.c_str(), TRUE);  // nothing to extract: the worker ends
        EXPECT_TRUE(WaitFor([&] { return !player.IsWorkerRunning(); }));
    }
    // A count larger than the file, a cut index, entries past the end.
    auto huge = m_package;
    huge[3] = 0x7F;
    WriteBytes(m_host.folder + "/data/huge.dat", huge);
    std::vector<std::uint8_t> cutIndex(m_package.begin(), m_package.begin() + 20);
    WriteBytes(m_host.folder + "/data/cutindex.dat", cutIndex);
    for (const char* pszName : {"huge.dat", "cutindex.dat"}) {
        CMp3Player player;
        EXPECT_FALSE(player.OpenMusicPackage(pszName)) << pszName;
        EXPECT_EQ(player.GetEntryCount(), 0);
        EXPECT_FALSE(player.GetError().empty());
    }
    // A track cut off at the end costs only that track.
    std::vector<std::uint8_t> cutData(m_package.begin(), m_package.begin() + long(m_package.size() - 100));
    WriteBytes(m_host.folder + "/data/cutdata.dat", cutData);
    {
        CMp3Player player;
        ASSERT_TRUE(player.OpenMusicPackage("cutdata.dat")) << player.GetError();
        EXPECT_EQ(player.GetEntryCount(), 3);
        EXPECT_TRUE(player.ExtractFile(Track(1).c_str()));
        EXPECT_FALSE(player.ExtractFile(Track(3).c_str()));
        EXPECT_FALSE(std::filesystem::exists(m_host.folder + "/mp3/03.mp3"));
    }
    // Random damage: the index either reads or is refused; a track that is no MP3
    // ends the worker; nothing is left half-written in the mp3 folder.
    std::mt19937 rng(3);
    for (int i = 0; i < 40; ++i) {
        auto bad = m_package;
        for (int k = 0; k < 8; ++k) bad[rng() % (i % 2 ? 60 : bad.size())] = std::uint8_t(rng());
        WriteBytes(m_host.folder + "/data/bad.dat", bad);
        CMp3Player player;
        if (player.OpenMusicPackage("bad.dat")) {
            std::string path = Track(1 + int(rng() % 3));
            player.Play(path.c_str(), FALSE);
            for (int k = 0; k < 30 && player.IsWorkerRunning(); ++k) PullStream(8192, 5);
            player.Stop();
        }
    }
    for (auto& e : std::filesystem::directory_iterator(m_host.folder))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos);
}

TEST_F(Mp3PlayerTest, ReopeningThePackageDeletesTheOldCopies) {
    std::vector<std::uint8_t> two = BuildMusicPackage({{"01.mp3", std::vector<std::uint8_t>(400, 1)},
                                                       {"02.mp3", std::vector<std::uint8_t>(800, 2)}});
    std::vector<std::uint8_t> one = BuildMusicPackage({{"02.MP3", std::vector<std::uint8_t>(200, 3)}});
    WriteBytes(m_host.folder + "/data/two.dat", two);
    WriteBytes(m_host.folder + "/data/one.dat", one);
    const std::string copy = m_host.folder + "/mp3/02.mp3";
    {
        CMp3Player player;
        ASSERT_TRUE(player.OpenMusicPackage("two.dat")) << player.GetError();
        ASSERT_TRUE(player.ExtractFile(Track(2).c_str()));
        EXPECT_EQ(std::filesystem::file_size(copy), 800u);
        EXPECT_EQ(player.GetExtracted(), std::vector<std::string>{Track(2)});
        // The copy belongs to the old package: it goes, and the new package's entry
        // of that name (found whatever its case) is copied out in its place.
        ASSERT_TRUE(player.OpenMusicPackage("one.dat")) << player.GetError();
        EXPECT_EQ(player.GetEntryCount(), 1);
        EXPECT_FALSE(std::filesystem::exists(copy));
        EXPECT_TRUE(player.GetExtracted().empty());
        EXPECT_FALSE(player.ExtractFile(Track(1).c_str()));
        ASSERT_TRUE(player.ExtractFile(Track(2).c_str()));
        EXPECT_EQ(std::filesystem::file_size(copy), 200u);
    }
    EXPECT_FALSE(std::filesystem::exists(m_host.folder + "/mp3"));
}

TEST_F(Mp3PlayerTest, LongNamesAreReadToTheirEnd) {
    const std::string longName = "a_track_name_of_more_than_32_characters.mp3";
    std::vector<std::uint8_t> pkg = BuildMusicPackage({{"01.mp3", std::vector<std::uint8_t>(64, 1)},
                                                       {longName, std::vector<std::uint8_t>(96, 2)}});
    WriteBytes(m_host.folder + "/data/long.dat", pkg);
    CMp3Player player;
    ASSERT_TRUE(player.OpenMusicPackage("long.dat")) << player.GetError();
    EXPECT_EQ(player.GetEntryCount(), 2);
    const std::string path = m_host.folder + "\\mp3\\" + longName;
    ASSERT_TRUE(player.ExtractFile(path.c_str()));
    EXPECT_EQ(std::filesystem::file_size(m_host.folder + "/mp3/" + longName), 96u);
    ASSERT_TRUE(player.ExtractFile(Track(1).c_str()));
    EXPECT_EQ(std::filesystem::file_size(m_host.folder + "/mp3/01.mp3"), 64u);
}

// A game folder where "mp3" cannot be made (a file of that name stands there, as a
// read-only folder or a full disk would refuse it too): the music stays silent, the
// player is told once, with the folder by its real path and why, and the file stays.
TEST_F(Mp3PlayerTest, MusicThatCannotBeWrittenIsNamedOnceOnStderr) {
    WriteBytes(m_host.folder + "/mp3", std::vector<std::uint8_t>(3, 0));
    auto pPlayer = std::make_unique<CMp3Player>();
    CMp3Player& player = *pPlayer;
    ASSERT_TRUE(player.OpenMusicPackage("veskmp3.dat")) << player.GetError();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(player.ExtractFile(Track(1).c_str()));
    EXPECT_FALSE(player.ExtractFile(Track(2).c_str()));
    player.Play(Track(3).c_str(), TRUE);
    player.Stop();
    ASSERT_TRUE(WaitFor([&] { return !player.IsWorkerRunning(); }));
    const std::string strErr = testing::internal::GetCapturedStderr();
    const size_t nFirst = strErr.find("music cannot be written");
    ASSERT_NE(nFirst, std::string::npos) << strErr;
    EXPECT_NE(strErr.find("music cannot be written: the folder " + ResolvePath(m_host.folder + "/mp3") +
                          " cannot be made: a file of that name stands in its place; the game plays without it\n"),
              std::string::npos)
        << strErr;
    EXPECT_EQ(strErr.find("music cannot be written", nFirst + 1), std::string::npos) << strErr;
    EXPECT_TRUE(player.GetExtracted().empty());
    pPlayer.reset();
    EXPECT_TRUE(std::filesystem::is_regular_file(m_host.folder + "/mp3"));
}

// The worker sets the error when a track does not open while the main thread sets it
// on a failed package and a third thread reads it; run under the address sanitizer.
TEST_F(Mp3PlayerTest, ErrorIsSharedSafelyWithTheWorker) {
    CMp3Player player;
    std::atomic<bool> bRun{true};
    std::atomic<int> nSeen{0};
    std::thread reader([&] {
        while (bRun.load()) {
            std::string s = player.GetError();
            if (!s.empty()) ++nSeen;
        }
    });
    const std::string path = Track(7);
    for (int i = 0; i < 300; ++i) {
        player.OpenMusicPackage(i % 2 ? "nothere.dat" : "not-there-either-with-a-longer-name.dat");
        player.Play(path.c_str(), FALSE);
        if (i % 16 == 0) WaitFor([&] { return !player.IsWorkerRunning(); }, 200);
    }
    player.Stop();
    EXPECT_TRUE(WaitFor([&] { return !player.IsWorkerRunning(); }));
    bRun.store(false);
    reader.join();
    EXPECT_GT(nSeen.load(), 0);
    EXPECT_FALSE(player.GetError().empty());
}

}  // namespace
