#include "platform/Mp3Decoder.h"

#include <mpg123.h>

#include <mutex>

#include "platform/Files.h"

namespace {

mpg123_handle* Handle(void* p) { return static_cast<mpg123_handle*>(p); }

}  // namespace

CMp3Decoder::CMp3Decoder() {
    static std::once_flag s_once;
    std::call_once(s_once, [] { mpg123_init(); });
}

CMp3Decoder::~CMp3Decoder() { Close(); }

void CMp3Decoder::Close() {
    if (m_pHandle) {
        mpg123_close(Handle(m_pHandle));
        mpg123_delete(Handle(m_pHandle));
        m_pHandle = nullptr;
    }
}

bool CMp3Decoder::Open(const char* pszName) {
    Close();
    m_format = WAVEFORMATEX{};
    std::string path = ResolvePath(pszName ? pszName : "");
    const std::string strName = pszName ? pszName : "";
    // The library would wait for ever on a named pipe: only regular files are handed on.
    if (!CheckRegularFile(path)) {
        m_strError = "mp3: " + strName + " " + OpenFileError();
        return false;
    }
    int nErr = MPG123_OK;
    mpg123_handle* h = mpg123_new(nullptr, &nErr);
    if (!h) {
        m_strError = std::string("mp3: decoder not available: ") + mpg123_plain_strerror(nErr);
        return false;
    }
    m_pHandle = h;
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    // Every rate the library knows, always as 16-bit samples.
    mpg123_format_none(h);
    const long* pRates = nullptr;
    size_t nRates = 0;
    mpg123_rates(&pRates, &nRates);
    for (size_t i = 0; i < nRates; ++i) mpg123_format(h, pRates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(h, path.c_str()) != MPG123_OK) {
        m_strError = "mp3: cannot open " + strName;
        Close();
        return false;
    }
    long nRate = 0;
    int nChannels = 0, nEncoding = 0;
    if (mpg123_getformat(h, &nRate, &nChannels, &nEncoding) != MPG123_OK || nRate <= 0 ||
        (nChannels != 1 && nChannels != 2) || nEncoding != MPG123_ENC_SIGNED_16) {
        m_strError = "mp3: no MP3 audio in " + strName;
        Close();
        return false;
    }
    mpg123_format_none(h);
    mpg123_format(h, nRate, nChannels, MPG123_ENC_SIGNED_16);
    m_format.wFormatTag = WAVE_FORMAT_PCM;
    m_format.nChannels = WORD(nChannels);
    m_format.nSamplesPerSec = DWORD(nRate);
    m_format.wBitsPerSample = 16;
    m_format.nBlockAlign = WORD(2 * nChannels);
    m_format.nAvgBytesPerSec = m_format.nSamplesPerSec * m_format.nBlockAlign;
    return true;
}

CMp3Decoder::ReadResult CMp3Decoder::Read(void* pBuffer, size_t nBytes, size_t* pnDone) {
    *pnDone = 0;
    if (!m_pHandle) return ReadResult::Error;
    nBytes -= nBytes % (m_format.nBlockAlign ? m_format.nBlockAlign : 1);
    while (true) {
        size_t nDone = 0;
        int r = mpg123_read(Handle(m_pHandle), pBuffer, nBytes, &nDone);
        *pnDone = nDone - nDone % m_format.nBlockAlign;
        if (r == MPG123_OK) return ReadResult::Data;
        if (r == MPG123_DONE) return *pnDone ? ReadResult::Data : ReadResult::End;
        if (r == MPG123_NEW_FORMAT) {
            if (*pnDone) return ReadResult::Data;
            continue;  // the format was fixed at open
        }
        if (*pnDone) return ReadResult::Data;
        m_strError = std::string("mp3: ") + mpg123_strerror(Handle(m_pHandle));
        // A damaged frame ends the track like its end would; a hard error is reported.
        return r == MPG123_ERR ? ReadResult::Error : ReadResult::End;
    }
}

bool CMp3Decoder::Rewind() {
    if (!m_pHandle) return false;
    return mpg123_seek(Handle(m_pHandle), 0, SEEK_SET) >= 0;
}
