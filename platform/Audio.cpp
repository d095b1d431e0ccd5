#include "platform/Audio.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/AudioMixer.h"
#include "platform/Stream.h"

using audio::CMixer;

bool IsPlayablePcm(const WAVEFORMATEX& fmt) {
    if (fmt.wFormatTag != WAVE_FORMAT_PCM) return false;
    if (fmt.nChannels < 1 || fmt.nChannels > 2) return false;
    if (fmt.wBitsPerSample != 8 && fmt.wBitsPerSample != 16) return false;
    if (fmt.nSamplesPerSec < 1000 || fmt.nSamplesPerSec > 192000) return false;
    return fmt.nBlockAlign == fmt.nChannels * fmt.wBitsPerSample / 8;
}

// ---- Sound device ----

HRESULT CSoundDevice::Create(CSoundDevice** ppDevice) {
    if (!ppDevice) return DSERR_INVALIDPARAM;
    CMixer::Get();
    *ppDevice = new CSoundDevice;
    return DS_OK;
}

HRESULT CSoundDevice::SetCooperativeLevel(CPlatWindow*, DWORD dwLevel) {
    if (dwLevel < DSSCL_NORMAL || dwLevel > DSSCL_EXCLUSIVE) return DSERR_INVALIDPARAM;
    m_dwLevel = dwLevel;
    return DS_OK;
}

HRESULT CSoundDevice::CreateSoundBuffer(const DSBUFFERDESC& desc, CSoundVoice** ppVoice) {
    if (!ppVoice) return DSERR_INVALIDPARAM;
    *ppVoice = nullptr;
    if (desc.dwSize != sizeof(DSBUFFERDESC) && desc.dwSize != 36 && desc.dwSize != 20) return DSERR_INVALIDPARAM;
    if (desc.dwFlags & DSBCAPS_PRIMARYBUFFER) {
        if (m_dwLevel == 0) return DSERR_UNINITIALIZED;
        auto* p = new CSoundVoice;
        p->m_bPrimary = true;
        p->m_primaryFormat.wFormatTag = WAVE_FORMAT_PCM;
        p->m_primaryFormat.nChannels = 2;
        p->m_primaryFormat.nSamplesPerSec = CMixer::kRate;
        p->m_primaryFormat.wBitsPerSample = 16;
        p->m_primaryFormat.nBlockAlign = 4;
        p->m_primaryFormat.nAvgBytesPerSec = CMixer::kRate * 4;
        *ppVoice = p;
        return DS_OK;
    }
    if (!desc.lpwfxFormat) return DSERR_INVALIDPARAM;
    if (!IsPlayablePcm(*desc.lpwfxFormat)) return DSERR_BADFORMAT;
    constexpr DWORD kMaxBytes = 64u << 20;
    if (desc.dwBufferBytes < desc.lpwfxFormat->nBlockAlign || desc.dwBufferBytes > kMaxBytes)
        return DSERR_INVALIDPARAM;
    auto pData = std::make_shared<audio::SampleData>();
    pData->format = *desc.lpwfxFormat;
    pData->bytes.assign(desc.dwBufferBytes, pData->format.wBitsPerSample == 8 ? 0x80 : 0);
    auto* p = new CSoundVoice;
    p->m_pState = new CSoundVoice::State;
    p->m_pState->pData = std::move(pData);
    *ppVoice = p;
    return DS_OK;
}

HRESULT CSoundDevice::DuplicateSoundBuffer(CSoundVoice* pOriginal, CSoundVoice** ppVoice) {
    if (!pOriginal || !ppVoice || !pOriginal->m_pState) return DSERR_INVALIDPARAM;
    auto* p = new CSoundVoice;
    p->m_pState = new CSoundVoice::State;
    {
        std::lock_guard<std::mutex> lock(CMixer::Get().Mutex());
        p->m_pState->pData = pOriginal->m_pState->pData;
        p->m_pState->nVolume = pOriginal->m_pState->nVolume;
    }
    *ppVoice = p;
    return DS_OK;
}

void CSoundDevice::Release() { delete this; }

// ---- Static voices ----

CSoundVoice::~CSoundVoice() {
    if (m_pState) {
        std::lock_guard<std::mutex> lock(CMixer::Get().Mutex());
        CMixer::Get().RemoveVoice(m_pState);
    }
    delete m_pState;
}

void CSoundVoice::Release() { delete this; }

HRESULT CSoundVoice::Lock(DWORD dwOffset, DWORD nBytes, void** ppPart1, DWORD* pnPart1, void** ppPart2,
                          DWORD* pnPart2, DWORD dwFlags) {
    if (!m_pState || !ppPart1 || !pnPart1) return DSERR_INVALIDPARAM;
    auto& bytes = m_pState->pData->bytes;
    DWORD nSize = DWORD(bytes.size());
    if (dwFlags & DSBLOCK_ENTIREBUFFER) {
        dwOffset = 0;
        nBytes = nSize;
    }
    if (dwOffset >= nSize || nBytes == 0 || nBytes > nSize) return DSERR_INVALIDPARAM;
    DWORD n1 = std::min(nBytes, nSize - dwOffset);
    *ppPart1 = bytes.data() + dwOffset;
    *pnPart1 = n1;
    if (ppPart2) *ppPart2 = n1 < nBytes ? bytes.data() : nullptr;
    if (pnPart2) *pnPart2 = nBytes - n1;
    return DS_OK;
}

HRESULT CSoundVoice::Unlock(void*, DWORD, void*, DWORD) { return m_pState ? DS_OK : DSERR_INVALIDPARAM; }

namespace {

// Loads the converter with the first two frames from the voice's position; false when
// nothing is left to play. Called under the mixer's mutex.
bool PrimeVoice(CSoundVoice::State* v) {
    v->rs.Reset();
    const auto& d = *v->pData;
    size_t nAlign = d.format.nBlockAlign;
    size_t nEnd = d.bytes.size() - d.bytes.size() % nAlign;
    auto fetch = [&](float out[2]) {
        if (v->nPos + nAlign > nEnd) {
            if (!v->bLooping) return false;
            v->nPos = 0;
        }
        audio::DecodeFrame(d.bytes.data() + v->nPos, d.format, out);
        v->nPos += nAlign;
        return true;
    };
    v->rs.bPrevValid = fetch(v->rs.prev);
    v->rs.bCurValid = v->rs.bPrevValid && fetch(v->rs.cur);
    return v->rs.bPrevValid;
}

}  // namespace

HRESULT CSoundVoice::Play(DWORD, DWORD, DWORD dwFlags) {
    if (!m_pState) return m_bPrimary ? DS_OK : DSERR_INVALIDPARAM;
    CMixer& mixer = CMixer::Get();
    mixer.CatchUp();
    std::lock_guard<std::mutex> lock(mixer.Mutex());
    m_pState->bLooping = (dwFlags & DSBPLAY_LOOPING) != 0;
    if (!m_pState->bPlaying) {
        if (!PrimeVoice(m_pState)) {
            m_pState->nPos = 0;
            return DS_OK;
        }
        m_pState->bPlaying = true;
        mixer.AddVoice(m_pState);
    }
    return DS_OK;
}

HRESULT CSoundVoice::Stop() {
    if (!m_pState) return DS_OK;
    CMixer& mixer = CMixer::Get();
    mixer.CatchUp();
    std::lock_guard<std::mutex> lock(mixer.Mutex());
    if (m_pState->bPlaying) {
        // The converter has read ahead two frames; the position reported is the one heard.
        size_t nAlign = m_pState->pData->format.nBlockAlign;
        size_t nBack = (m_pState->rs.bCurValid ? 2 : 1) * nAlign;
        m_pState->nPos = m_pState->nPos >= nBack ? m_pState->nPos - nBack : 0;
    }
    m_pState->bPlaying = false;
    m_pState->rs.Reset();
    mixer.RemoveVoice(m_pState);
    return DS_OK;
}

HRESULT CSoundVoice::SetCurrentPosition(DWORD dwBytes) {
    if (!m_pState) return DSERR_INVALIDPARAM;
    CMixer& mixer = CMixer::Get();
    std::lock_guard<std::mutex> lock(mixer.Mutex());
    const auto& d = *m_pState->pData;
    if (dwBytes >= d.bytes.size()) return DSERR_INVALIDPARAM;
    m_pState->nPos = dwBytes - dwBytes % d.format.nBlockAlign;
    // A playing voice goes on from the new position.
    if (m_pState->bPlaying && !PrimeVoice(m_pState)) {
        m_pState->bPlaying = false;
        m_pState->nPos = 0;
        mixer.RemoveVoice(m_pState);
    }
    return DS_OK;
}

HRESULT CSoundVoice::GetCurrentPosition(DWORD* pdwPlay, DWORD* pdwWrite) {
    if (!m_pState) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(CMixer::Get().Mutex());
    if (pdwPlay) *pdwPlay = DWORD(m_pState->nPos);
    if (pdwWrite) *pdwWrite = DWORD(m_pState->nPos);
    return DS_OK;
}

HRESULT CSoundVoice::GetStatus(DWORD* pdwStatus) {
    if (!pdwStatus) return DSERR_INVALIDPARAM;
    *pdwStatus = 0;
    if (!m_pState) return DS_OK;
    std::lock_guard<std::mutex> lock(CMixer::Get().Mutex());
    if (m_pState->bPlaying) *pdwStatus = DSBSTATUS_PLAYING | (m_pState->bLooping ? DSBSTATUS_LOOPING : 0);
    return DS_OK;
}

HRESULT CSoundVoice::SetVolume(LONG nVolume) {
    if (nVolume > DSBVOLUME_MAX || nVolume < DSBVOLUME_MIN) return DSERR_INVALIDPARAM;
    if (!m_pState) return DS_OK;
    CMixer::Get().CatchUp();
    std::lock_guard<std::mutex> lock(CMixer::Get().Mutex());
    m_pState->nVolume = nVolume;
    return DS_OK;
}

HRESULT CSoundVoice::GetVolume(LONG* pnVolume) {
    if (!pnVolume) return DSERR_INVALIDPARAM;
    *pnVolume = 0;
    if (!m_pState) return DS_OK;
    std::lock_guard<std::mutex> lock(CMixer::Get().Mutex());
    *pnVolume = m_pState->nVolume;
    return DS_OK;
}

HRESULT CSoundVoice::SetFormat(const WAVEFORMATEX* pFormat) {
    if (!m_bPrimary) return DSERR_INVALIDPARAM;
    if (!pFormat || !IsPlayablePcm(*pFormat)) return DSERR_BADFORMAT;
    m_primaryFormat = *pFormat;
    return DS_OK;
}

HRESULT CSoundVoice::GetFormat(WAVEFORMATEX* pFormat) {
    if (!pFormat) return DSERR_INVALIDPARAM;
    if (m_bPrimary) *pFormat = m_primaryFormat;
    else if (m_pState) *pFormat = m_pState->pData->format;
    return DS_OK;
}

// Mixer memory is never lost.
HRESULT CSoundVoice::Restore() { return DS_OK; }

// ---- Wave-out device ----

UINT WaveOutGetNumDevs() {
    CMixer::Get();
    return 1;
}

MMRESULT WaveOutGetDevCaps(UINT uDevice, WAVEOUTCAPS* pCaps) {
    if (!pCaps) return MMSYSERR_INVALPARAM;
    if (uDevice != 0 && uDevice != WAVE_MAPPER) return MMSYSERR_BADDEVICEID;
    *pCaps = WAVEOUTCAPS{};
    std::strcpy(pCaps->szPname, CMixer::Get().IsNull() ? "null output" : "audio output");
    pCaps->wChannels = 2;
    pCaps->dwSupport = WAVECAPS_VOLUME | WAVECAPS_LRVOLUME;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutOpen(HWAVEOUT* phWaveOut, UINT uDevice, const WAVEFORMATEX* pFormat, WaveOutProc pfnCallback,
                     std::uintptr_t dwInstance, DWORD dwFlags) {
    if (!phWaveOut || !pFormat) return MMSYSERR_INVALPARAM;
    *phWaveOut = nullptr;
    if (uDevice != 0 && uDevice != WAVE_MAPPER) return MMSYSERR_BADDEVICEID;
    if (!IsPlayablePcm(*pFormat)) return WAVERR_BADFORMAT;
    if ((dwFlags & CALLBACK_FUNCTION) && !pfnCallback) return MMSYSERR_INVALPARAM;
    auto* h = new CWaveOut;
    h->pState = std::make_shared<audio::StreamState>();
    h->pState->hHandle = h;
    h->pState->format = *pFormat;
    h->pState->pfnCallback = (dwFlags & CALLBACK_FUNCTION) ? pfnCallback : nullptr;
    h->pState->dwInstance = dwInstance;
    CMixer& mixer = CMixer::Get();
    {
        std::lock_guard<std::mutex> lock(mixer.Mutex());
        mixer.AddStream(h->pState);
    }
    *phWaveOut = h;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutPrepareHeader(HWAVEOUT hWaveOut, WAVEHDR* pHdr, UINT) {
    if (!hWaveOut) return MMSYSERR_INVALHANDLE;
    if (!pHdr || (!pHdr->lpData && pHdr->dwBufferLength)) return MMSYSERR_INVALPARAM;
    pHdr->dwFlags = (pHdr->dwFlags & ~WHDR_DONE) | WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutUnprepareHeader(HWAVEOUT hWaveOut, WAVEHDR* pHdr, UINT) {
    if (!hWaveOut) return MMSYSERR_INVALHANDLE;
    if (!pHdr) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lock(CMixer::Get().Mutex());
    if (pHdr->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    pHdr->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutWrite(HWAVEOUT hWaveOut, WAVEHDR* pHdr, UINT) {
    if (!hWaveOut) return MMSYSERR_INVALHANDLE;
    if (!pHdr) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lock(CMixer::Get().Mutex());
    if (!(pHdr->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (pHdr->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    pHdr->dwFlags = (pHdr->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    hWaveOut->pState->queue.push_back(pHdr);
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutReset(HWAVEOUT hWaveOut) {
    if (!hWaveOut) return MMSYSERR_INVALHANDLE;
    auto& s = hWaveOut->pState;
    std::vector<WAVEHDR*> returned;
    {
        std::lock_guard<std::mutex> lock(CMixer::Get().Mutex());
        for (WAVEHDR* h : s->queue) {
            h->dwFlags = (h->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
            returned.push_back(h);
        }
        s->queue.clear();
        s->nHeadPos = 0;
        s->rs.Reset();
    }
    std::lock_guard<std::mutex> lock(s->callbackMutex);
    if (s->pfnCallback && !s->bClosed)
        for (WAVEHDR* h : returned) s->pfnCallback(hWaveOut, WOM_DONE, s->dwInstance, std::uintptr_t(h), 0);
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutClose(HWAVEOUT hWaveOut) {
    if (!hWaveOut) return MMSYSERR_INVALHANDLE;
    CMixer& mixer = CMixer::Get();
    {
        std::lock_guard<std::mutex> lock(mixer.Mutex());
        if (!hWaveOut->pState->queue.empty()) return WAVERR_STILLPLAYING;
        mixer.RemoveStream(hWaveOut->pState);
    }
    {
        // Waits for a callback the mixer may be running right now.
        std::lock_guard<std::mutex> lock(hWaveOut->pState->callbackMutex);
        hWaveOut->pState->bClosed = true;
    }
    delete hWaveOut;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutGetVolume(HWAVEOUT, DWORD* pdwVolume) {
    if (!pdwVolume) return MMSYSERR_INVALPARAM;
    CMixer& mixer = CMixer::Get();
    std::lock_guard<std::mutex> lock(mixer.Mutex());
    *pdwVolume = mixer.m_dwWaveVolume;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveOutSetVolume(HWAVEOUT, DWORD dwVolume) {
    CMixer& mixer = CMixer::Get();
    mixer.CatchUp();
    std::lock_guard<std::mutex> lock(mixer.Mutex());
    mixer.m_dwWaveVolume = dwVolume;
    return MMSYSERR_NOERROR;
}

// ---- Output control ----

bool AudioIsNullDevice() { return CMixer::Get().IsNull(); }
int AudioOutputRate() { return CMixer::kRate; }
void AudioSetManualPull(bool bManual) { CMixer::Get().SetManual(bManual); }

size_t AudioPull(std::int16_t* pOut, size_t nFrames) {
    CMixer& mixer = CMixer::Get();
    if (!mixer.IsNull() || !mixer.IsManual() || !pOut) return 0;
    mixer.Mix(pOut, nFrames);
    return nFrames;
}

int AudioActiveVoiceCount() { return CMixer::Get().ActiveCount(); }

bool WriteWavFile(const char* pszPath, const std::int16_t* pSamples, size_t nFrames, int nRate, int nChannels,
                  std::string* pError) {
    CByteWriter w;
    std::uint32_t nData = std::uint32_t(nFrames * nChannels * 2);
    w.WriteText("RIFF");
    w.WriteU32(36 + nData);
    w.WriteText("WAVEfmt ");
    w.WriteU32(16);
    w.WriteU16(WAVE_FORMAT_PCM);
    w.WriteU16(std::uint16_t(nChannels));
    w.WriteU32(std::uint32_t(nRate));
    w.WriteU32(std::uint32_t(nRate * nChannels * 2));
    w.WriteU16(std::uint16_t(nChannels * 2));
    w.WriteU16(16);
    w.WriteText("data");
    w.WriteU32(nData);
    for (size_t i = 0; i < nFrames * size_t(nChannels); ++i) w.WriteU16(std::uint16_t(pSamples[i]));
    return WriteFileAtomic(pszPath, w.Bytes(), pError);
}
