// MP3 decoding for the music player: opens a file, tells its PCM format and hands out
// interleaved 16-bit samples; can start over from the beginning.
#pragma once
#include <cstddef>
#include <string>
#include "platform/Audio.h"

class CMp3Decoder {
public:
    CMp3Decoder();
    ~CMp3Decoder();
    CMp3Decoder(const CMp3Decoder&) = delete;
    CMp3Decoder& operator=(const CMp3Decoder&) = delete;

    // Opens a game file name (through the path resolver). False, with Error() set, when
    // the file is missing or holds no decodable MP3 frame.
    bool Open(const char* pszName);
    void Close();
    // 16-bit PCM, 1 or 2 channels, the file's rate.
    const WAVEFORMATEX& Format() const { return m_format; }

    enum class ReadResult { Data, End, Error };
    // Fills up to nBytes (whole frames) and stores the count; End with 0 bytes at the
    // end of the file.
    ReadResult Read(void* pBuffer, size_t nBytes, size_t* pnDone);
    // Goes back to the first sample.
    bool Rewind();
    const std::string& Error() const { return m_strError; }

private:
    void* m_pHandle = nullptr;
    WAVEFORMATEX m_format;
    std::string m_strError;
};
