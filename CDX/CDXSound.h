// The sound device and sound buffers: a device made once at start-up, and buffers that
// each hold one wave file as one or more copies sharing the samples, so a sound can
// overlap itself. The wave-out volume operations set the game's music gain.
#pragma once
#include <string>
#include "platform/Audio.h"
#include "platform/Base.h"
#include "platform/Window.h"

class CDXSound {
public:
    CDXSound();
    virtual ~CDXSound();

    // Makes the device; with bExclusive the primary format is set to 22050 Hz,
    // 16 bits, stereo. A failing step's result is returned and the device stays unusable.
    HRESULT Create(HWND hWnd, BOOL bExclusive);
    // Left and right in percent (0-100); DSERR_UNSUPPORTED without volume support.
    HRESULT SetWaveVolume(BYTE nLeft, BYTE nRight);
    // Packed volume: high word right, low word left.
    DWORD GetWaveVolume();

    CSoundDevice* GetDevice() const { return m_pDS; }
    bool IsNotCreated() const { return m_nNotCreated != 0; }

private:
    HRESULT SetPrimaryFormat(DWORD dwRate, bool bStereo, bool b16Bit);

    int m_nNotCreated = 1;
    CSoundDevice* m_pDS = nullptr;
};

class CDXSoundBuffer {
public:
    CDXSoundBuffer();
    ~CDXSoundBuffer();
    CDXSoundBuffer(const CDXSoundBuffer&) = delete;
    CDXSoundBuffer& operator=(const CDXSoundBuffer&) = delete;

    // Loads a PCM wave file into nCopies copies (at least 1). The name is kept, not
    // copied. Errors: DSERR_INVALIDPARAM (no name, no device), DSERR_GENERIC (cannot open
    // or read), DSERR_UNINITIALIZED (device without output), DSERR_BADFORMAT (not a
    // wave file, no "fmt " or "data" chunk, bad sizes), DSERR_UNSUPPORTED (not PCM).
    // GetError then says why, as the end of a sentence naming the file ("is empty").
    HRESULT Load(CDXSound* pSound, const char* pszFileName, int nCopies = 1);
    // Plays the current copy, or cuts the next one short when it is busy.
    HRESULT Play(DWORD dwFlags = 0);
    // Percent 0-100: hundredths of a decibel (percent x 5 - 500) x 20, applied on every play.
    void SetVolume(int nPercent);
    HRESULT Stop();
    int GetPlayingCount();

    int GetCopyCount() const { return m_nCopies; }
    LONG GetVolume() const { return m_nVolume; }
    int GetCurrentCopy() const { return m_nCurrent; }
    const char* GetFileName() const { return m_pszFileName; }
    bool IsLoaded() const { return m_ppBuffers != nullptr; }
    // Why the file of the last load was not taken; empty when it was, or when the load
    // failed for want of a device rather than for the file.
    const std::string& GetError() const { return m_strError; }
    // The copy at index n (null when absent); for tests and diagnostics.
    CSoundVoice* GetCopy(int n) const;

private:
    HRESULT LoadFromMemory(CDXSound* pSound, const BYTE* pImage, size_t nSize, int nCopies);
    CSoundVoice* ChooseCopy();
    void ReleaseBuffers();

    int m_nCopies = 1;
    LONG m_nVolume = 0;
    int m_nCurrent = 0;
    const char* m_pszFileName = nullptr;
    CDXSound* m_pSound = nullptr;
    CSoundVoice** m_ppBuffers = nullptr;
    int m_nMade = 0;  // slots of m_ppBuffers that were allocated
    std::string m_strError;
};

extern CDXSound* pSound;
