#include "tools/mkgame/SampleAudio.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Stream.h"
#include "tools/gamekit/AviWriter.h"
#include "tools/gamekit/Mp3Writer.h"
#include "tools/gamekit/WavWriter.h"

namespace {

constexpr int kRate = 22050;

bool Put(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::string strError;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    if (!WriteFileAtomic(path.c_str(), bytes, &strError)) {
        std::fprintf(stderr, "mkgame: %s\n", strError.c_str());
        return false;
    }
    return true;
}

std::vector<std::int16_t> Concat(std::initializer_list<std::vector<std::int16_t>> parts) {
    std::vector<std::int16_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A short tune: a note sequence over a base frequency.
std::vector<std::int16_t> Tune(double dBase, std::initializer_list<double> ratios, double dNote) {
    std::vector<std::int16_t> out;
    for (double r : ratios) {
        auto note = SynthTone(dBase * r, dNote, 44100, 0.35);
        out.insert(out.end(), note.begin(), note.end());
    }
    return out;
}

}  // namespace

bool WriteSampleAudio(const std::string& gameDir) {
    bool bOk = true;
    // Fixed effects: victory and defeat jingles, clicks, hits, thunder, rain, a blast.
    const std::vector<std::int16_t> effects[15] = {
        Concat({SynthTone(523, 0.15, kRate), SynthTone(659, 0.15, kRate), SynthTone(784, 0.3, kRate)}),
        Concat({SynthTone(392, 0.2, kRate), SynthTone(330, 0.2, kRate), SynthTone(262, 0.4, kRate)}),
        SynthNoise(0.15, kRate, 3, 0.6),
        SynthSweep(300, 1200, 0.4, kRate),
        SynthNoise(0.06, kRate, 5, 0.3),
        SynthTone(880, 0.05, kRate, 0.4),
        SynthTone(1320, 0.05, kRate, 0.4),
        SynthNoise(0.12, kRate, 7, 0.7),
        SynthSweep(900, 200, 0.15, kRate, 0.6),
        SynthNoise(0.2, kRate, 9, 0.7),
        SynthSweep(200, 900, 0.2, kRate, 0.6),
        SynthSweep(250, 180, 0.3, kRate),
        SynthNoise(1.2, kRate, 11, 0.8),
        SynthNoise(1.5, kRate, 13, 0.25),
        SynthNoise(0.6, kRate, 15, 0.9)};
    const char* const names[15] = {"Vic.wav", "defeated.wav", "crate.wav", "upgrade.wav", "walk.wav",
                                   "DOWN.wav", "UP.wav", "Attack01.wav", "Attack02.wav", "Attack03.wav",
                                   "Attack04.wav", "Npc00.wav", "thunder004.wav", "water007.wav", "bomb.wav"};
    for (int i = 0; i < 15; ++i) bOk &= Put(gameDir + "/sound/" + names[i], BuildWav16(effects[i], kRate, 1));
    for (int i = 0; i < 30; ++i) {
        char sz[32];
        std::snprintf(sz, sizeof sz, "/sound/jl%02d.wav", i);
        auto s = i % 2 ? SynthSweep(300 + 40 * i, 1500 - 20 * i, 0.35, kRate) : SynthNoise(0.3, kRate, unsigned(i), 0.5);
        bOk &= Put(gameDir + sz, BuildWav16(s, kRate, 1));
    }
    for (int i = 0; i < 20; ++i) {
        char sz[32];
        std::snprintf(sz, sizeof sz, "/sound/Npc%02d.wav", i);
        bOk &= Put(gameDir + sz, BuildWav16(SynthSweep(150 + 25 * i, 120 + 10 * i, 0.3, kRate), kRate, 1));
    }

    // Music: the title, game-over, credits and battle tracks, one per sample scene and the
    // mini-games' track (9).
    struct TrackSpec { int n; double dBase; };
    std::vector<MusicTrack> tracks;
    for (TrackSpec t : {TrackSpec{1, 262}, {2, 294}, {3, 330}, {4, 349}, {5, 392}, {6, 440}, {7, 523}, {8, 587}, {9, 659}, {30, 196}, {31, 440},
                        {40, 220}, {99, 262}}) {
        char sz[16];
        std::snprintf(sz, sizeof sz, "%02d.mp3", t.n);
        auto pcm = t.n == 40 ? Tune(t.dBase, {1, 1.2, 1, 1.5, 1, 1.2, 1.33, 1}, 0.25)
                             : Tune(t.dBase, {1, 1.25, 1.5, 2, 1.5, 1.25}, 0.5);
        auto mp3 = EncodeMp3(pcm, 44100, 64);
        if (mp3.empty()) {
            std::fprintf(stderr, "mkgame: MP3 encoding of %s failed\n", sz);
            bOk = false;
            continue;
        }
        tracks.push_back({sz, std::move(mp3)});
    }
    bOk &= Put(gameDir + "/data/veskmp3.dat", BuildMusicPackage(tracks));

    // Opening videos: a little under a second of colour each, with a moving bar and a
    // tone. Their frame counts and rates are chosen so that the title comes 7.866 s into
    // a headless run (2 s notice, the videos, the 3 s start picture), as the input
    // scripts of the tests expect.
    struct MovieSpec { const char* pszName; std::vector<std::uint32_t> colours; double dTone; int nFrames, nFps; };
    const MovieSpec movies[3] = {
        {"Piantou.AVI", {0x203060, 0x304080, 0x4050A0, 0x5060C0}, 262, 18, 19},
        {"Ondrik.Avi", {0x602020, 0x803020, 0xA04020, 0xC05020}, 330, 20, 21},
        {"qrb.avi", {0x206030, 0x308040, 0x40A050, 0x50C060}, 392, 19, 20}};
    std::filesystem::create_directories(gameDir + "/movie");
    for (const auto& m : movies) {
        AviSpec spec;
        spec.nWidth = 320;
        spec.nHeight = 240;
        spec.nFps = m.nFps;
        for (int k = 0; k < m.nFrames; ++k) spec.colours.push_back(m.colours[size_t(k * 4 / m.nFrames)]);
        spec.bMovingBar = true;
        spec.dToneHz = m.dTone;
        std::string strError;
        if (!WriteAvi(gameDir + "/movie/" + m.pszName, spec, &strError)) {
            std::fprintf(stderr, "mkgame: %s\n", strError.c_str());
            bOk = false;
        }
    }
    return bOk;
}
