#include "CDX/CDXMovie.h"

#include <algorithm>
#include <cstdio>

#include "platform/Clock.h"
#include "platform/VideoDecoder.h"

CDXMovie::CDXMovie(CDXScreen* pScreen) : m_pScreen(pScreen) {}

CDXMovie::~CDXMovie() { Release(); }

bool CDXMovie::Create(const char* pszFileName, CDXSurface* pTarget) {
    m_pTarget = pTarget;
    return OpenFile(pszFileName);
}

bool CDXMovie::OpenFile(const char* pszFileName) {
    Release();
    if (!pszFileName) return false;
    auto* pDecoder = new CVideoDecoder;
    if (!pDecoder->Open(pszFileName)) {
        std::fprintf(stderr, "%s\n", pDecoder->Error().c_str());
        delete pDecoder;
        return false;
    }
    m_pDecoder = pDecoder;
    return true;
}

bool CDXMovie::Play() {
    if (!m_pDecoder || !m_pTarget) return false;
    if (m_pDecoder->HasAudio() && !m_hWaveOut) {
        // Without an output for the sound the picture still plays.
        if (WaveOutOpen(&m_hWaveOut, WAVE_MAPPER, &m_pDecoder->AudioFormat(), &CDXMovie::SoundDone,
                        std::uintptr_t(this), CALLBACK_FUNCTION) != MMSYSERR_NOERROR)
            m_hWaveOut = nullptr;
    }
    m_bPlaying = true;
    m_dwStart = TimeGetTime();
    return true;
}

void CDXMovie::SoundDone(HWAVEOUT, UINT uMsg, std::uintptr_t dwInstance, std::uintptr_t, std::uintptr_t) {
    if (uMsg == WOM_DONE) reinterpret_cast<CDXMovie*>(dwInstance)->m_nSoundDone.fetch_add(1);
}

// Blocks finish in the order they were queued: free the finished ones, queue the sound
// decoded since the last picture.
void CDXMovie::QueueSound() {
    if (!m_pDecoder) return;
    std::vector<std::uint8_t> pcm;
    m_pDecoder->TakeAudio(&pcm);
    if (!m_hWaveOut) return;
    while (m_nSoundDone.load() > 0 && !m_sound.empty()) {
        WaveOutUnprepareHeader(m_hWaveOut, &m_sound.front()->hdr, sizeof(WAVEHDR));
        m_sound.pop_front();
        m_nSoundDone.fetch_sub(1);
    }
    if (pcm.empty()) return;
    auto pBlock = std::make_unique<SoundBlock>();
    pBlock->data = std::move(pcm);
    pBlock->hdr.lpData = reinterpret_cast<char*>(pBlock->data.data());
    pBlock->hdr.dwBufferLength = DWORD(pBlock->data.size());
    if (WaveOutPrepareHeader(m_hWaveOut, &pBlock->hdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return;
    if (WaveOutWrite(m_hWaveOut, &pBlock->hdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return;
    m_sound.push_back(std::move(pBlock));
}

void CDXMovie::CloseSound() {
    if (m_hWaveOut) {
        WaveOutReset(m_hWaveOut);
        WaveOutClose(m_hWaveOut);
        m_hWaveOut = nullptr;
    }
    m_sound.clear();
    m_nSoundDone.store(0);
}

bool CDXMovie::Update(RECT rcDest) {
    if (!m_pDecoder || !m_bPlaying || !m_pTarget) return false;
    double dSeconds = 0;
    if (m_pDecoder->NextFrame(&dSeconds) != 1) return false;
    QueueSound();
    // Wait for the picture's time on the game clock (at most a second: a damaged
    // time stamp must not freeze the game).
    DWORD dwDue = m_dwStart + DWORD(dSeconds > 0 ? dSeconds * 1000.0 : 0.0);
    DWORD dwNow = TimeGetTime();
    if (LONG(dwDue - dwNow) > 0) SleepMs(std::min<DWORD>(dwDue - dwNow, 1000));

    RECT rc = rcDest;
    if (rcDest.right == 800) rc = RECT{0, 0, m_pTarget->GetWidth(), m_pTarget->GetHeight()};
    if (IsRectEmpty(rc) || rc.left < 0 || rc.top < 0 || rc.right > m_pTarget->GetWidth() ||
        rc.bottom > m_pTarget->GetHeight())
        return false;
    CVideoSurface* pSurface = m_pTarget->GetInterface();
    if (!pSurface || Failed(m_pTarget->Lock())) return false;
    int nPitch = m_pTarget->GetPitch();
    int nBytes = pSurface->BytesPerPixel();
    BYTE* pBits = m_pTarget->GetLockedBits() + rc.top * nPitch + rc.left * nBytes;
    bool bDrawn = m_pDecoder->DrawFrame(pBits, nPitch, rc.right - rc.left, rc.bottom - rc.top, pSurface->Format());
    m_pTarget->Unlock();
    return bDrawn;
}

bool CDXMovie::Stop() {
    m_bPlaying = false;
    CloseSound();
    return true;
}

bool CDXMovie::Release() {
    m_bPlaying = false;
    CloseSound();
    delete m_pDecoder;
    m_pDecoder = nullptr;
    return true;
}
