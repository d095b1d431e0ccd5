#include <cstring>
#include <string>
#include <vector>

#include "CDX/CDXSound.h"
#include "platform/Stream.h"

namespace {

// The largest wave file a buffer takes.
constexpr size_t kMaxWaveFile = 64u << 20;

struct WaveImage {
    WAVEFORMATEX format;
    const BYTE* pData = nullptr;
    DWORD nDataBytes = 0;
};

// Walks the chunks of a RIFF WAVE image: requires "fmt " and "data", skips every other
// chunk ("fact", "LIST", ...), and keeps every size inside the image. A data chunk that
// runs past the end is cut to what the file holds. *pWhy says what is wrong on failure.
HRESULT ParseWave(const BYTE* pImage, size_t nSize, WaveImage* pOut, std::string* pWhy) {
    auto fail = [pWhy](HRESULT hr, const std::string& strWhy) {
        *pWhy = strWhy;
        return hr;
    };
    if (nSize == 0) return fail(DSERR_BADFORMAT, "is empty");
    CByteReader r(pImage, nSize);
    char riff[4], wave[4];
    std::uint32_t nRiffSize = 0;
    if (!r.ReadBytes(riff, 4) || !r.ReadU32(&nRiffSize) || !r.ReadBytes(wave, 4) ||
        std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(wave, "WAVE", 4) != 0)
        return fail(DSERR_BADFORMAT, "does not start with a RIFF WAVE header");
    bool bFormat = false, bData = false;
    while (!bData && r.Remaining() >= 8) {
        char id[4];
        std::uint32_t nChunk = 0;
        const size_t nAt = r.Position();
        r.ReadBytes(id, 4);
        r.ReadU32(&nChunk);
        size_t nAvail = r.Remaining();
        const std::string strChunk = "chunk \"" + std::string(id, 4) + "\" at offset " + std::to_string(nAt);
        const std::string strShort =
            "is cut short: " + strChunk + " needs " + std::to_string(nChunk) + " bytes, " + std::to_string(nAvail) + " remain";
        if (std::memcmp(id, "fmt ", 4) == 0) {
            if (nChunk > nAvail) return fail(DSERR_BADFORMAT, strShort);
            if (nChunk < 16) return fail(DSERR_BADFORMAT, strChunk + " holds " + std::to_string(nChunk) + " bytes, not 16");
            size_t nStart = r.Position();
            WAVEFORMATEX& f = pOut->format;
            r.ReadU16(&f.wFormatTag);
            r.ReadU16(&f.nChannels);
            r.ReadU32(&f.nSamplesPerSec);
            r.ReadU32(&f.nAvgBytesPerSec);
            r.ReadU16(&f.nBlockAlign);
            r.ReadU16(&f.wBitsPerSample);
            bFormat = true;
            r.Seek(nStart + nChunk);
        } else if (std::memcmp(id, "data", 4) == 0) {
            if (!bFormat) return fail(DSERR_BADFORMAT, "has its data chunk before its \"fmt \" chunk");
            pOut->pData = pImage + r.Position();
            pOut->nDataBytes = DWORD(nChunk < nAvail ? nChunk : nAvail);
            bData = true;
        } else {
            if (nChunk > nAvail) return fail(DSERR_BADFORMAT, strShort);
            r.Skip(nChunk);
        }
        // Chunks are padded to an even length.
        if (!bData && (nChunk & 1) && r.Remaining() > 0) r.Skip(1);
    }
    if (r.Failed() || !bFormat || !bData)
        return fail(DSERR_BADFORMAT, std::string("is cut short: it holds no ") + (bFormat ? "data" : "\"fmt \"") + " chunk");
    const WAVEFORMATEX& f = pOut->format;
    const std::string strFormat = std::to_string(f.nChannels) + " channels, " + std::to_string(f.wBitsPerSample) +
                                  " bits, " + std::to_string(f.nSamplesPerSec) + " Hz, blocks of " +
                                  std::to_string(f.nBlockAlign) + " bytes";
    if (f.wFormatTag != WAVE_FORMAT_PCM)
        return fail(DSERR_UNSUPPORTED, "is not PCM (format tag " + std::to_string(f.wFormatTag) + ")");
    if (!IsPlayablePcm(f)) return fail(DSERR_BADFORMAT, "has a format that cannot be played (" + strFormat + ")");
    pOut->nDataBytes -= pOut->nDataBytes % f.nBlockAlign;
    if (pOut->nDataBytes == 0) return fail(DSERR_BADFORMAT, "holds no samples");
    return DS_OK;
}

}  // namespace

CDXSoundBuffer::CDXSoundBuffer() = default;

CDXSoundBuffer::~CDXSoundBuffer() { ReleaseBuffers(); }

void CDXSoundBuffer::ReleaseBuffers() {
    if (m_ppBuffers) {
        for (int i = 0; i < m_nMade; ++i) {
            if (m_ppBuffers[i]) m_ppBuffers[i]->Release();
            m_ppBuffers[i] = nullptr;
        }
        delete[] m_ppBuffers;
        m_ppBuffers = nullptr;
    }
    m_nMade = 0;
    m_pSound = nullptr;
}

CSoundVoice* CDXSoundBuffer::GetCopy(int n) const {
    if (!m_ppBuffers || n < 0 || n >= m_nMade) return nullptr;
    return m_ppBuffers[n];
}

HRESULT CDXSoundBuffer::Load(CDXSound* pSound, const char* pszFileName, int nCopies) {
    if (!pszFileName) return DSERR_INVALIDPARAM;
    std::vector<std::uint8_t> image;
    std::string strError;
    if (!ReadWholeFile(pszFileName, kMaxWaveFile, &image, &strError)) {
        // The file is missing, unreadable or too large: nothing is loaded.
        ReleaseBuffers();
        // The reason without the path, which the caller names as the player knows it.
        const std::string strPrefix = std::string(pszFileName) + ": ";
        m_strError = strError.compare(0, strPrefix.size(), strPrefix) == 0 ? strError.substr(strPrefix.size()) : strError;
        return DSERR_GENERIC;
    }
    if (image.empty()) {
        ReleaseBuffers();
        m_strError = "is empty";
        return DSERR_BADFORMAT;
    }
    HRESULT hr = LoadFromMemory(pSound, image.data(), image.size(), nCopies);
    m_pszFileName = pszFileName;
    return hr;
}

HRESULT CDXSoundBuffer::LoadFromMemory(CDXSound* pSound, const BYTE* pImage, size_t nSize, int nCopies) {
    ReleaseBuffers();
    m_strError.clear();
    if (!pImage || !pSound) return DSERR_INVALIDPARAM;
    if (!pSound->GetDevice()) return DSERR_UNINITIALIZED;
    m_pSound = pSound;
    m_nCopies = nCopies < 1 ? 1 : nCopies;
    m_nCurrent = 0;

    WaveImage wave;
    HRESULT hr = ParseWave(pImage, nSize, &wave, &m_strError);
    if (Failed(hr)) return hr;

    m_ppBuffers = new CSoundVoice*[m_nCopies]();
    m_nMade = m_nCopies;
    DSBUFFERDESC desc;
    desc.dwSize = 36;
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME |
                   DSBCAPS_GETCURRENTPOSITION2;
    desc.dwBufferBytes = wave.nDataBytes;
    desc.lpwfxFormat = &wave.format;
    CSoundDevice* pDevice = pSound->GetDevice();
    hr = pDevice->CreateSoundBuffer(desc, &m_ppBuffers[0]);
    if (Failed(hr)) return hr;
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    hr = m_ppBuffers[0]->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER);
    if (Failed(hr)) return hr;
    std::memcpy(p1, wave.pData, n1);
    if (p2 && n2) std::memcpy(p2, wave.pData + n1, n2);
    hr = m_ppBuffers[0]->Unlock(p1, n1, p2, n2);
    if (Failed(hr)) return hr;
    for (int i = 1; i < m_nCopies; ++i) {
        hr = pDevice->DuplicateSoundBuffer(m_ppBuffers[0], &m_ppBuffers[i]);
        if (Failed(hr)) return hr;
    }
    return DS_OK;
}

CSoundVoice* CDXSoundBuffer::ChooseCopy() {
    if (!m_ppBuffers || !m_ppBuffers[m_nCurrent]) return nullptr;
    CSoundVoice* pCopy = m_ppBuffers[m_nCurrent];
    DWORD dwStatus = 0;
    if (Failed(pCopy->GetStatus(&dwStatus))) dwStatus = 0;
    if (dwStatus & DSBSTATUS_PLAYING) {
        if (m_nCopies < 2) return nullptr;
        m_nCurrent = (m_nCurrent + 1) % m_nCopies;
        pCopy = m_ppBuffers[m_nCurrent];
        if (!pCopy) return nullptr;
        if (Failed(pCopy->GetStatus(&dwStatus))) dwStatus = 0;
        if (dwStatus & DSBSTATUS_PLAYING) {
            pCopy->Stop();
            pCopy->SetCurrentPosition(0);
        }
    }
    if (dwStatus & DSBSTATUS_BUFFERLOST) {
        if (Failed(pCopy->Restore())) return nullptr;
    }
    return pCopy;
}

HRESULT CDXSoundBuffer::Play(DWORD dwFlags) {
    if (!m_pSound) return DSERR_UNINITIALIZED;
    if (m_pSound->IsNotCreated()) return 0;
    CSoundVoice* pCopy = ChooseCopy();
    if (!pCopy) return DSERR_ALLOCATED;
    // Every play applies the stored volume, full volume included.
    pCopy->SetVolume(m_nVolume < DSBVOLUME_MIN ? DSBVOLUME_MIN : m_nVolume > 0 ? 0 : m_nVolume);
    HRESULT hr = pCopy->Play(0, 0, dwFlags);
    return Failed(hr) ? hr : DS_OK;
}

void CDXSoundBuffer::SetVolume(int nPercent) { m_nVolume = (nPercent * 5 - 500) * 20; }

HRESULT CDXSoundBuffer::Stop() {
    if (!m_pSound || !m_ppBuffers) return DSERR_UNINITIALIZED;
    for (int i = 0; i < m_nMade; ++i) {
        if (!m_ppBuffers[i]) continue;
        HRESULT hr = m_ppBuffers[i]->Stop();
        if (Failed(hr)) return hr;
        hr = m_ppBuffers[i]->SetCurrentPosition(0);
        if (Failed(hr)) return hr;
    }
    return DS_OK;
}

int CDXSoundBuffer::GetPlayingCount() {
    if (!m_ppBuffers) return 0;
    int n = 0;
    for (int i = 0; i < m_nMade; ++i) {
        DWORD dwStatus = 0;
        if (m_ppBuffers[i] && Succeeded(m_ppBuffers[i]->GetStatus(&dwStatus)) && (dwStatus & DSBSTATUS_PLAYING)) ++n;
    }
    return n;
}
