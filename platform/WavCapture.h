// Internal to the platform layer: the WAV file the null audio device writes its mix to
// (GAME_AUDIO_WAV), 16-bit stereo. The header is kept right about once a second so a
// killed run leaves a usable file. A file that cannot be created or written is named on
// stderr once, and the capture stops there; the run goes on.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

namespace audio {

class CWavCapture {
public:
    explicit CWavCapture(int nRate) : m_nRate(nRate) {}
    ~CWavCapture() { Close(); }
    CWavCapture(const CWavCapture&) = delete;
    CWavCapture& operator=(const CWavCapture&) = delete;

    // Creates the file with a blank header; false (said on stderr) when it cannot.
    bool Open(const char* pszPath);
    // Appends nFrames stereo frames.
    void Write(const std::int16_t* p, size_t nFrames);
    // Writes the final header and closes the file.
    void Close();
    bool IsOpen() const { return m_pFile != nullptr; }

private:
    // Writes the header for what was captured so far; false when the file refused it.
    bool WriteHeader();
    // Says once why the file failed and stops the capture.
    void Failed();

    int m_nRate;
    std::FILE* m_pFile = nullptr;
    std::string m_strPath;
    std::uint64_t m_nFrames = 0;
};

}  // namespace audio
