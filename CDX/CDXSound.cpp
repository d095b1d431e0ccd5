#include "CDX/CDXSound.h"

CDXSound* pSound = nullptr;

CDXSound::CDXSound() = default;

CDXSound::~CDXSound() {
    if (m_pDS) m_pDS->Release();
}

HRESULT CDXSound::Create(HWND hWnd, BOOL bExclusive) {
    HRESULT hr = CSoundDevice::Create(&m_pDS);
    if (Failed(hr)) {
        m_pDS = nullptr;
        return hr;
    }
    hr = m_pDS->SetCooperativeLevel(hWnd, bExclusive ? DSSCL_EXCLUSIVE : DSSCL_NORMAL);
    if (Failed(hr)) return hr;
    m_nNotCreated = 0;
    if (bExclusive) return SetPrimaryFormat(22050, true, true);
    return DS_OK;
}

HRESULT CDXSound::SetPrimaryFormat(DWORD dwRate, bool bStereo, bool b16Bit) {
    DSBUFFERDESC desc;
    desc.dwSize = 36;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    CSoundVoice* pPrimary = nullptr;
    HRESULT hr = m_pDS->CreateSoundBuffer(desc, &pPrimary);
    if (Failed(hr)) return hr;
    WAVEFORMATEX fmt;
    fmt.wFormatTag = WAVE_FORMAT_PCM;
    fmt.nChannels = bStereo ? 2 : 1;
    fmt.nSamplesPerSec = dwRate;
    fmt.wBitsPerSample = b16Bit ? 16 : 8;
    fmt.nBlockAlign = WORD(fmt.wBitsPerSample / 8 * fmt.nChannels);
    fmt.nAvgBytesPerSec = fmt.nBlockAlign * dwRate;
    hr = pPrimary->SetFormat(&fmt);
    pPrimary->Release();
    return hr;
}

HRESULT CDXSound::SetWaveVolume(BYTE nLeft, BYTE nRight) {
    WAVEOUTCAPS caps;
    if (WaveOutGetDevCaps(0, &caps) != MMSYSERR_NOERROR || !(caps.dwSupport & WAVECAPS_VOLUME))
        return DSERR_UNSUPPORTED;
    // Values above 100 would spill into the other channel's word.
    if (nLeft > 100) nLeft = 100;
    if (nRight > 100) nRight = 100;
    DWORD dwVolume = ((DWORD(nRight) * 65535u / 100u) << 16) | (DWORD(nLeft) * 65535u / 100u);
    return HRESULT(WaveOutSetVolume(nullptr, dwVolume));
}

DWORD CDXSound::GetWaveVolume() {
    DWORD dwVolume = 0;
    WaveOutGetVolume(nullptr, &dwVolume);
    return dwVolume;
}
