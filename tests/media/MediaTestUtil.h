// Shared helpers of the media tests: a temporary game folder, a fake media host, and
// pulling and measuring mixed sound from the null device.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "media/MediaHost.h"
#include "platform/Audio.h"
#include "platform/Clock.h"
#include "tests/TempFolder.h"

namespace mediatest {

class FakeHost : public IMediaHost {
public:
    std::string folder;
    bool bSoundOn = true;
    int nVolume = 100;
    std::string GetGameFolder() const override { return folder; }
    bool IsSoundOn() const override { return bSoundOn; }
    int GetSoundVolume() const override { return nVolume; }
};

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Manual pulling on the null device and a virtual clock for every media test.
class MediaTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseVirtualClock(true, 1000, 20);
        ASSERT_TRUE(AudioIsNullDevice());
        AudioSetManualPull(true);
        WaveOutSetVolume(nullptr, 0xFFFFFFFFu);
    }
    void TearDown() override { pMediaHost = nullptr; }

    // This test's own folder, removed when the test ends.
    CTempFolder m_temp{"media"};

    // Mixes nFrames stereo frames.
    static std::vector<std::int16_t> Pull(size_t nFrames) {
        std::vector<std::int16_t> out(nFrames * 2);
        EXPECT_EQ(AudioPull(out.data(), nFrames), nFrames);
        return out;
    }
};

// Left-channel root mean square.
inline double Rms(const std::vector<std::int16_t>& s, size_t nFrom = 0) {
    double sum = 0;
    size_t n = 0;
    for (size_t i = nFrom * 2; i < s.size(); i += 2, ++n) sum += double(s[i]) * s[i];
    return n ? std::sqrt(sum / double(n)) : 0;
}

// Frequency of the left channel from its rising zero crossings; a crossing counts only
// after the signal went below -1000 since the last one, so quiet noise adds none.
inline double Frequency(const std::vector<std::int16_t>& s, int nRate) {
    int nFirst = -1, nLast = -1, nCount = 0;
    bool bArmed = false;
    for (size_t i = 2; i < s.size(); i += 2) {
        if (s[i] < -1000) bArmed = true;
        if (bArmed && s[i - 2] < 0 && s[i] >= 0) {
            bArmed = false;
            if (nFirst < 0) nFirst = int(i / 2);
            else ++nCount;
            nLast = int(i / 2);
        }
    }
    if (nCount < 2) return 0;
    return double(nCount) * nRate / double(nLast - nFirst);
}

// Waits for a condition another thread brings about; the limit only ends a test that would
// otherwise hang, so it is generous for a loaded machine.
inline bool WaitFor(const std::function<bool()>& cond, int nMs = 60000) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(nMs);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace mediatest
