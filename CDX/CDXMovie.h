// The movie player: opens a video file, draws its pictures one by one onto a target
// surface (the game passes the back buffer) at the pace of the video's own clock, and
// plays its sound through the wave-out device when it has any.
#pragma once
#include <atomic>
#include <deque>
#include <memory>
#include <vector>
#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "platform/Audio.h"
#include "platform/Base.h"

class CVideoDecoder;

class CDXMovie {
public:
    explicit CDXMovie(CDXScreen* pScreen);
    virtual ~CDXMovie();
    CDXMovie(const CDXMovie&) = delete;
    CDXMovie& operator=(const CDXMovie&) = delete;

    // Stores the target and opens the file.
    bool Create(const char* pszFileName, CDXSurface* pTarget);
    // Opens a video by its game file name; false when it cannot be read or has no
    // picture track. A missing or unplayable sound track is no error.
    bool OpenFile(const char* pszFileName);
    // Starts the clock (and the sound).
    bool Play();
    // Waits for the next picture and draws it: over the whole target when the
    // rectangle's right edge is 800, else into the rectangle. False at the end of the
    // file, on a decode error, or when the rectangle does not lie inside the target.
    bool Update(RECT rcDest);
    bool Stop();
    // Frees the decoder and the sound; true.
    bool Release();

    bool IsOpen() const { return m_pDecoder != nullptr; }

private:
    struct SoundBlock {
        std::vector<std::uint8_t> data;
        WAVEHDR hdr;
    };
    static void SoundDone(HWAVEOUT hWaveOut, UINT uMsg, std::uintptr_t dwInstance, std::uintptr_t dwParam1,
                          std::uintptr_t dwParam2);
    void QueueSound();
    void CloseSound();

    CDXScreen* m_pScreen;
    CDXSurface* m_pTarget = nullptr;
    CVideoDecoder* m_pDecoder = nullptr;
    bool m_bPlaying = false;
    DWORD m_dwStart = 0;
    HWAVEOUT m_hWaveOut = nullptr;
    std::deque<std::unique_ptr<SoundBlock>> m_sound;
    std::atomic<int> m_nSoundDone{0};
};
