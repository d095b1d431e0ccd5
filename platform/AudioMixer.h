// Internal to the platform layer: the software mixer behind platform/Audio.h. All voice
// and stream state is guarded by the mixer's one mutex; wave-out completion callbacks
// run after it is released, under the stream's own callback mutex.
#pragma once
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>
#include "platform/Audio.h"
#include "platform/WavCapture.h"

namespace audio {

// Sample bytes shared by a voice and its duplicates.
struct SampleData {
    std::vector<std::uint8_t> bytes;
    WAVEFORMATEX format;
};

// Linear-interpolating rate converter from a source to the output rate.
struct Resampler {
    float prev[2] = {0, 0};
    float cur[2] = {0, 0};
    bool bPrevValid = false;
    bool bCurValid = false;
    double dFrac = 0;
    void Reset() { bPrevValid = bCurValid = false; dFrac = 0; }
};

// Converts the frame at p (in the given format) to two floats in -1..1.
void DecodeFrame(const std::uint8_t* p, const WAVEFORMATEX& fmt, float out[2]);
// Gain of a volume in hundredths of a decibel.
float VolumeToGain(LONG nVolume);

struct StreamState {
    CWaveOut* hHandle = nullptr;
    WAVEFORMATEX format;
    WaveOutProc pfnCallback = nullptr;
    std::uintptr_t dwInstance = 0;
    std::deque<WAVEHDR*> queue;
    size_t nHeadPos = 0;
    Resampler rs;
    std::mutex callbackMutex;
    bool bClosed = false;  // under callbackMutex
};

}  // namespace audio

struct CSoundVoice::State {
    std::shared_ptr<audio::SampleData> pData;
    size_t nPos = 0;  // byte offset of the next frame to fetch
    bool bPlaying = false;
    bool bLooping = false;
    LONG nVolume = 0;
    audio::Resampler rs;
};

class CWaveOut {
public:
    std::shared_ptr<audio::StreamState> pState;
};

namespace audio {

class CMixer {
public:
    // The one mixer; opens the output on first use.
    static CMixer& Get();
    ~CMixer();

    std::mutex& Mutex() { return m_mutex; }
    // Under the mutex.
    void AddVoice(CSoundVoice::State* pVoice);
    void RemoveVoice(CSoundVoice::State* pVoice);
    void AddStream(const std::shared_ptr<StreamState>& pStream);
    void RemoveStream(const std::shared_ptr<StreamState>& pStream);
    DWORD m_dwWaveVolume = 0xFFFFFFFFu;

    bool IsNull() const { return m_bNull; }
    void SetManual(bool b) { m_bManual.store(b); }
    bool IsManual() const { return m_bManual.load(); }
    int ActiveCount();
    // Mixes nFrames stereo frames (takes the mutex, then runs completion callbacks).
    void Mix(std::int16_t* pOut, size_t nFrames);
    // On the null device, mixes what the game clock has advanced since the last mix, so
    // that a sound started, stopped or turned up now is heard from now on and not from
    // the pump's next wake-up (which a loaded machine can delay by many game frames).
    // Called without the mutex held.
    void CatchUp();

    static constexpr int kRate = 44100;

private:
    CMixer();
    void OpenOutput();
    void PumpLoop();
    void PumpTo(DWORD dwNow);


    std::mutex m_mutex;
    std::vector<CSoundVoice::State*> m_voices;
    std::vector<std::shared_ptr<StreamState>> m_streams;
    std::vector<float> m_accum;
    bool m_bNull = true;
    std::atomic<bool> m_bManual{false};
    std::atomic<bool> m_bStop{false};
    std::uint32_t m_nSdlDevice = 0;
    struct Pump;
    Pump* m_pPump = nullptr;
    CWavCapture m_capture{kRate};
};

}  // namespace audio
