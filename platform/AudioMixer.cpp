#include "platform/AudioMixer.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

#include "platform/Clock.h"

namespace audio {

void DecodeFrame(const std::uint8_t* p, const WAVEFORMATEX& fmt, float out[2]) {
    if (fmt.wBitsPerSample == 8) {
        out[0] = (float(p[0]) - 128.0f) / 128.0f;
        out[1] = fmt.nChannels >= 2 ? (float(p[1]) - 128.0f) / 128.0f : out[0];
    } else {
        auto s16 = [](const std::uint8_t* q) { return float(std::int16_t(q[0] | (q[1] << 8))) / 32768.0f; };
        out[0] = s16(p);
        out[1] = fmt.nChannels >= 2 ? s16(p + 2) : out[0];
    }
}

float VolumeToGain(LONG nVolume) {
    if (nVolume <= DSBVOLUME_MIN) return 0.0f;
    if (nVolume >= 0) return 1.0f;
    return float(std::pow(10.0, double(nVolume) / 2000.0));
}

namespace {

// Mixes one source into acc through its resampler. fetch(float[2]) returns false when
// no frame is left. A stream re-primes after running dry; a static voice ends.
template <class Fetch>
size_t MixSource(Resampler& rs, double dStep, float gl, float gr, float* pAcc, size_t nFrames,
                 bool bStream, Fetch fetch) {
    size_t i = 0;
    for (; i < nFrames; ++i) {
        if (!rs.bPrevValid) {
            if (!bStream) break;
            rs.bPrevValid = fetch(rs.prev);
            if (!rs.bPrevValid) break;
            rs.bCurValid = fetch(rs.cur);
            if (!rs.bCurValid) std::memcpy(rs.cur, rs.prev, sizeof rs.cur);
            rs.dFrac = 0;
        }
        float f = float(rs.dFrac);
        pAcc[2 * i] += (rs.prev[0] + (rs.cur[0] - rs.prev[0]) * f) * gl;
        pAcc[2 * i + 1] += (rs.prev[1] + (rs.cur[1] - rs.prev[1]) * f) * gr;
        rs.dFrac += dStep;
        while (rs.dFrac >= 1.0) {
            rs.dFrac -= 1.0;
            std::memcpy(rs.prev, rs.cur, sizeof rs.prev);
            rs.bPrevValid = rs.bCurValid;
            if (!rs.bPrevValid) break;
            rs.bCurValid = fetch(rs.cur);
            if (!rs.bCurValid) std::memset(rs.cur, 0, sizeof rs.cur);
        }
    }
    return i;
}

// ALSA's own error reports, which a machine without a sound card gets on stderr for every
// device SDL tries (eight lines a start), go nowhere: the mixer says in one line why
// there is no sound.
void DropAlsaReport(const char*, int, const char*, int, const char*, ...) {}

void QuietAlsaReports() {
    // Stays loaded: it is the library SDL's audio driver uses.
    void* pAlsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!pAlsa) return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    if (auto pSet = reinterpret_cast<int (*)(Handler)>(dlsym(pAlsa, "snd_lib_error_set_handler"))) pSet(&DropAlsaReport);
}

}  // namespace

struct CMixer::Pump {
    std::thread thread;
    std::mutex mutex;  // one mix at a time, from the pump or from CatchUp
    DWORD dwLast = 0;
    double dCarry = 0;
    std::vector<std::int16_t> buffer = std::vector<std::int16_t>(2 * 4096);
};

namespace {
// Set while this thread mixes, so that a completion callback run by the mix does not
// catch up again.
thread_local bool t_bPumping = false;
}  // namespace

CMixer& CMixer::Get() {
    static CMixer s_mixer;
    return s_mixer;
}

CMixer::CMixer() { OpenOutput(); }

CMixer::~CMixer() {
    m_bStop.store(true);
    if (m_pPump) {
        if (m_pPump->thread.joinable()) m_pPump->thread.join();
        delete m_pPump;
    }
    if (m_nSdlDevice) SDL_CloseAudioDevice(m_nSdlDevice);
    m_capture.Close();
}

void CMixer::OpenOutput() {
    const char* pHeadless = std::getenv("GAME_HEADLESS");
    bool bHeadless = pHeadless && std::strcmp(pHeadless, "1") == 0;
    if (!bHeadless) {
        QuietAlsaReports();
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            SDL_AudioSpec want{}, have{};
            want.freq = kRate;
            want.format = AUDIO_S16SYS;
            want.channels = 2;
            want.samples = 1024;
            want.callback = [](void* pUser, Uint8* pStream, int nLen) {
                static_cast<CMixer*>(pUser)->Mix(reinterpret_cast<std::int16_t*>(pStream), size_t(nLen) / 4);
            };
            want.userdata = this;
            m_nSdlDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
            if (m_nSdlDevice) {
                m_bNull = false;
                SDL_PauseAudioDevice(m_nSdlDevice, 0);
                return;
            }
        }
        std::fprintf(stderr, "audio: no audio device (%s); sound is mixed and discarded\n", SDL_GetError());
    }
    m_bNull = true;
    if (const char* pWav = std::getenv("GAME_AUDIO_WAV"); pWav && *pWav) m_capture.Open(pWav);
    m_pPump = new Pump;
    m_pPump->dwLast = TimeGetTime();  // chooses the clock on this thread
    m_pPump->thread = std::thread([this] { PumpLoop(); });
}

// The null device consumes the mix as the game clock advances (virtual or real).
void CMixer::PumpLoop() {
    while (!m_bStop.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
        PumpTo(TimeGetTime());
    }
}

void CMixer::PumpTo(DWORD dwNow) {
    std::lock_guard<std::mutex> lock(m_pPump->mutex);
    DWORD dwDelta = dwNow - m_pPump->dwLast;
    // A clock read before the last mix (another thread's) has nothing to add.
    if (std::int32_t(dwDelta) <= 0) return;
    m_pPump->dwLast = dwNow;
    if (m_bManual.load()) {
        m_pPump->dCarry = 0;
        return;
    }
    dwDelta = std::min<DWORD>(dwDelta, 10000);
    const double dFrames = double(dwDelta) * kRate / 1000.0 + m_pPump->dCarry;
    size_t nFrames = size_t(dFrames);
    m_pPump->dCarry = dFrames - double(nFrames);
    t_bPumping = true;
    while (nFrames > 0 && !m_bStop.load()) {
        const size_t n = std::min<size_t>(nFrames, 4096);
        Mix(m_pPump->buffer.data(), n);
        m_capture.Write(m_pPump->buffer.data(), n);
        nFrames -= n;
    }
    t_bPumping = false;
}

void CMixer::CatchUp() {
    if (m_pPump && !t_bPumping) PumpTo(TimeGetTime());
}

void CMixer::AddVoice(CSoundVoice::State* pVoice) {
    if (std::find(m_voices.begin(), m_voices.end(), pVoice) == m_voices.end()) m_voices.push_back(pVoice);
}

void CMixer::RemoveVoice(CSoundVoice::State* pVoice) {
    m_voices.erase(std::remove(m_voices.begin(), m_voices.end(), pVoice), m_voices.end());
}

void CMixer::AddStream(const std::shared_ptr<StreamState>& pStream) { m_streams.push_back(pStream); }

void CMixer::RemoveStream(const std::shared_ptr<StreamState>& pStream) {
    m_streams.erase(std::remove(m_streams.begin(), m_streams.end(), pStream), m_streams.end());
}

int CMixer::ActiveCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    int n = 0;
    for (auto* p : m_voices) n += p->bPlaying ? 1 : 0;
    for (auto& s : m_streams) n += s->queue.empty() ? 0 : 1;
    return n;
}

void CMixer::Mix(std::int16_t* pOut, size_t nFrames) {
    std::vector<std::pair<std::shared_ptr<StreamState>, WAVEHDR*>> done;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_accum.assign(nFrames * 2, 0.0f);
        for (auto it = m_voices.begin(); it != m_voices.end();) {
            CSoundVoice::State* v = *it;
            const SampleData& d = *v->pData;
            size_t nAlign = d.format.nBlockAlign;
            size_t nEnd = d.bytes.size() - d.bytes.size() % nAlign;
            float g = VolumeToGain(v->nVolume);
            auto fetch = [&](float out[2]) {
                if (v->nPos + nAlign > nEnd) {
                    if (!v->bLooping || nEnd == 0) return false;
                    v->nPos = 0;
                }
                DecodeFrame(d.bytes.data() + v->nPos, d.format, out);
                v->nPos += nAlign;
                return true;
            };
            double dStep = double(d.format.nSamplesPerSec) / kRate;
            size_t n = MixSource(v->rs, dStep, g, g, m_accum.data(), nFrames, false, fetch);
            if (n < nFrames) {
                // Played to its end: idle and rewound.
                v->bPlaying = false;
                v->nPos = 0;
                v->rs.Reset();
                it = m_voices.erase(it);
            } else {
                ++it;
            }
        }
        float gl = float(m_dwWaveVolume & 0xFFFF) / 65535.0f;
        float gr = float(m_dwWaveVolume >> 16) / 65535.0f;
        for (auto& s : m_streams) {
            StreamState& st = *s;
            size_t nAlign = st.format.nBlockAlign;
            auto fetch = [&](float out[2]) {
                while (!st.queue.empty()) {
                    WAVEHDR* h = st.queue.front();
                    size_t nLen = h->dwBufferLength - h->dwBufferLength % nAlign;
                    if (st.nHeadPos + nAlign <= nLen) {
                        DecodeFrame(reinterpret_cast<const std::uint8_t*>(h->lpData) + st.nHeadPos, st.format, out);
                        st.nHeadPos += nAlign;
                        if (st.nHeadPos + nAlign > nLen) {
                            st.queue.pop_front();
                            st.nHeadPos = 0;
                            h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
                            done.emplace_back(s, h);
                        }
                        return true;
                    }
                    st.queue.pop_front();  // an empty block finishes at once
                    st.nHeadPos = 0;
                    h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
                    done.emplace_back(s, h);
                }
                return false;
            };
            double dStep = double(st.format.nSamplesPerSec) / kRate;
            MixSource(st.rs, dStep, gl, gr, m_accum.data(), nFrames, true, fetch);
        }
        for (size_t i = 0; i < nFrames * 2; ++i) {
            float f = std::clamp(m_accum[i], -1.0f, 1.0f);
            pOut[i] = std::int16_t(std::lrint(f * 32767.0f));
        }
    }
    for (auto& [s, h] : done) {
        std::lock_guard<std::mutex> lock(s->callbackMutex);
        if (!s->bClosed && s->pfnCallback)
            s->pfnCallback(s->hHandle, WOM_DONE, s->dwInstance, std::uintptr_t(h), 0);
    }
}

}  // namespace audio
