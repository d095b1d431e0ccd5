#include "platform/WavCapture.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Files.h"

namespace audio {

bool CWavCapture::Open(const char* pszPath) {
    Close();
    m_strPath = pszPath ? pszPath : "";
    m_nFrames = 0;
    m_pFile = OpenFile(m_strPath.c_str(), "wb");
    if (!m_pFile) {
        std::fprintf(stderr, "audio: cannot write %s: %s\n", m_strPath.c_str(), OpenFileError().c_str());
        return false;
    }
    const std::uint8_t header[44] = {};
    if (std::fwrite(header, 1, sizeof header, m_pFile) != sizeof header) Failed();
    return IsOpen();
}

void CWavCapture::Write(const std::int16_t* p, size_t nFrames) {
    if (!m_pFile) return;
    if (std::fwrite(p, 4, nFrames, m_pFile) != nFrames) {
        Failed();
        return;
    }
    const std::uint64_t nBefore = m_nFrames;
    m_nFrames += nFrames;
    if (nBefore / std::uint64_t(m_nRate) == m_nFrames / std::uint64_t(m_nRate)) return;
    const long nPos = std::ftell(m_pFile);
    if (!WriteHeader()) return;
    std::fseek(m_pFile, nPos, SEEK_SET);
}

void CWavCapture::Close() {
    if (!m_pFile || !WriteHeader()) return;
    const bool bClosed = std::fclose(m_pFile) == 0;
    m_pFile = nullptr;
    if (!bClosed) std::fprintf(stderr, "audio: writing %s failed: %s\n", m_strPath.c_str(), std::strerror(errno));
}

bool CWavCapture::WriteHeader() {
    const std::uint32_t nData = std::uint32_t(std::min<std::uint64_t>(m_nFrames * 4, 0xFFFFFFF0u));
    const std::uint32_t nRate = std::uint32_t(m_nRate);
    auto u32 = [](std::uint8_t* p, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
    };
    std::uint8_t h[44];
    std::memcpy(h, "RIFF", 4);
    u32(h + 4, 36 + nData);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    u32(h + 16, 16);
    h[20] = 1, h[21] = 0, h[22] = 2, h[23] = 0;
    u32(h + 24, nRate);
    u32(h + 28, nRate * 4);
    h[32] = 4, h[33] = 0, h[34] = 16, h[35] = 0;
    std::memcpy(h + 36, "data", 4);
    u32(h + 40, nData);
    std::fseek(m_pFile, 0, SEEK_SET);
    if (std::fwrite(h, 1, sizeof h, m_pFile) != sizeof h || std::fflush(m_pFile) != 0) {
        Failed();
        return false;
    }
    return true;
}

void CWavCapture::Failed() {
    std::fprintf(stderr, "audio: writing %s failed: %s; the rest of the run's sound is not written\n",
                 m_strPath.c_str(), std::strerror(errno));
    std::fclose(m_pFile);
    m_pFile = nullptr;
}

}  // namespace audio
