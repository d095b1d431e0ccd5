// Video decoding for the movie player: opens a video file of any codec the system's
// decoders know, hands out its pictures one after another with their times, draws the
// current picture scaled into a pixel buffer of the display's format, and gathers the
// sound of the first audio track (if any) as 16-bit PCM while pictures are read.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "platform/Audio.h"
#include "platform/Video.h"

class CVideoDecoder {
public:
    CVideoDecoder();
    ~CVideoDecoder();
    CVideoDecoder(const CVideoDecoder&) = delete;
    CVideoDecoder& operator=(const CVideoDecoder&) = delete;

    // Opens a game file name (through the path resolver). False, with Error() set, when
    // the file cannot be read or has no decodable video track. A missing or undecodable
    // audio track is no error: HasAudio() is then false.
    bool Open(const char* pszName);
    void Close();
    int Width() const;
    int Height() const;

    // Decodes the next picture: 1 with a picture (its time in seconds from the start in
    // *pdSeconds), 0 at the end of the file, -1 on a read or decode error.
    int NextFrame(double* pdSeconds);
    // Draws the current picture scaled to nWidth x nHeight into pDst (nPitch bytes per
    // row) in the given RGB format (16-bit 565 or 555, 24- or 32-bit).
    bool DrawFrame(void* pDst, int nPitch, int nWidth, int nHeight, const VideoPixelFormat& fmt);

    bool HasAudio() const;
    const WAVEFORMATEX& AudioFormat() const { return m_audioFormat; }
    // Appends the sound decoded so far to pOut and forgets it.
    void TakeAudio(std::vector<std::uint8_t>* pOut);

    const std::string& Error() const { return m_strError; }

private:
    struct Impl;
    Impl* m_p;
    WAVEFORMATEX m_audioFormat;
    std::string m_strError;
};
