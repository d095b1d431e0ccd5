// Sound output of the game: one software mixer behind two device models. The sound
// device hands out static voices (a whole wave in memory, played, stopped, rewound,
// duplicated with shared samples, volume in hundredths of a decibel); the wave-out
// device plays a stream of caller-owned blocks in order and reports each finished
// block through a callback on the audio thread. The wave-out volume is a gain inside
// the game applied to wave-out streams; the system mixer is never touched.
//
// Output goes to SDL2 audio in a real run. Under GAME_HEADLESS=1, or when no audio
// device opens, a null device consumes the mix as the game clock advances (and writes
// it to the WAV file named by GAME_AUDIO_WAV when that is set); tests may switch it to
// manual pulling and read the mixed samples themselves.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include "platform/Base.h"

class CPlatWindow;

// Result codes of the sound device. The generic ones carry the system's usual values.
constexpr HRESULT DS_OK = 0;
constexpr HRESULT DSERR_GENERIC = HRESULT(0x80004005u);
constexpr HRESULT DSERR_INVALIDPARAM = HRESULT(0x80070057u);
constexpr HRESULT DSERR_UNSUPPORTED = HRESULT(0x80004001u);
constexpr HRESULT DSERR_OUTOFMEMORY = HRESULT(0x8007000Eu);
constexpr HRESULT DSERR_ALLOCATED = HRESULT(0x8878000Au);
constexpr HRESULT DSERR_BADFORMAT = HRESULT(0x88780064u);
constexpr HRESULT DSERR_BUFFERLOST = HRESULT(0x88780096u);
constexpr HRESULT DSERR_UNINITIALIZED = HRESULT(0x887800AAu);
constexpr HRESULT DSERR_NODRIVER = HRESULT(0x88780078u);

constexpr WORD WAVE_FORMAT_PCM = 1;

// A wave format as files and devices describe it.
struct WAVEFORMATEX {
    WORD wFormatTag = 0;
    WORD nChannels = 0;
    DWORD nSamplesPerSec = 0;
    DWORD nAvgBytesPerSec = 0;
    WORD nBlockAlign = 0;
    WORD wBitsPerSample = 0;
    WORD cbSize = 0;
};
// True for PCM with 1 or 2 channels of 8 or 16 bits, a rate of 1000..192000 Hz and a
// block alignment that matches.
bool IsPlayablePcm(const WAVEFORMATEX& fmt);

// Cooperative levels.
constexpr DWORD DSSCL_NORMAL = 1;
constexpr DWORD DSSCL_PRIORITY = 2;
constexpr DWORD DSSCL_EXCLUSIVE = 3;

// Buffer capabilities.
constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x1;
constexpr DWORD DSBCAPS_STATIC = 0x2;
constexpr DWORD DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr DWORD DSBCAPS_CTRLPAN = 0x40;
constexpr DWORD DSBCAPS_CTRLVOLUME = 0x80;
constexpr DWORD DSBCAPS_GETCURRENTPOSITION2 = 0x10000;

constexpr DWORD DSBPLAY_LOOPING = 0x1;
constexpr DWORD DSBSTATUS_PLAYING = 0x1;
constexpr DWORD DSBSTATUS_BUFFERLOST = 0x2;
constexpr DWORD DSBSTATUS_LOOPING = 0x4;
constexpr DWORD DSBLOCK_FROMWRITECURSOR = 0x1;
constexpr DWORD DSBLOCK_ENTIREBUFFER = 0x2;

constexpr LONG DSBVOLUME_MAX = 0;
constexpr LONG DSBVOLUME_MIN = -10000;

struct DSBUFFERDESC {
    DWORD dwSize = 0;
    DWORD dwFlags = 0;
    DWORD dwBufferBytes = 0;
    DWORD dwReserved = 0;
    const WAVEFORMATEX* lpwfxFormat = nullptr;
};

class CSoundVoice;

// The sound device: makes static voices. Created once; Release deletes it. Voices
// made on it stay usable after it is released (they hold the mixer, not the device).
class CSoundDevice {
public:
    // Opens the audio output (SDL or the null device) and makes a device.
    static HRESULT Create(CSoundDevice** ppDevice);
    HRESULT SetCooperativeLevel(CPlatWindow* hWnd, DWORD dwLevel);
    // A primary buffer (DSBCAPS_PRIMARYBUFFER) only takes a format; any other buffer
    // needs a playable PCM format and 1..64 MB of sample bytes.
    HRESULT CreateSoundBuffer(const DSBUFFERDESC& desc, CSoundVoice** ppVoice);
    // A second voice that shares the original's samples.
    HRESULT DuplicateSoundBuffer(CSoundVoice* pOriginal, CSoundVoice** ppVoice);
    void Release();

private:
    CSoundDevice() = default;
    ~CSoundDevice() = default;
    DWORD m_dwLevel = 0;
};

// One static voice (or the primary buffer).
class CSoundVoice {
public:
    // Gives the sample memory: the whole buffer with DSBLOCK_ENTIREBUFFER, otherwise
    // nBytes from dwOffset (the second part is used when the range wraps).
    HRESULT Lock(DWORD dwOffset, DWORD nBytes, void** ppPart1, DWORD* pnPart1, void** ppPart2,
                 DWORD* pnPart2, DWORD dwFlags);
    HRESULT Unlock(void* pPart1, DWORD nPart1, void* pPart2, DWORD nPart2);
    HRESULT Play(DWORD dwReserved, DWORD dwPriority, DWORD dwFlags);
    HRESULT Stop();
    HRESULT SetCurrentPosition(DWORD dwBytes);
    HRESULT GetCurrentPosition(DWORD* pdwPlay, DWORD* pdwWrite);
    HRESULT GetStatus(DWORD* pdwStatus);
    // Hundredths of a decibel, DSBVOLUME_MIN (silent) .. 0 (full).
    HRESULT SetVolume(LONG nVolume);
    HRESULT GetVolume(LONG* pnVolume);
    // Primary buffer only: the format the device mixes for (the mixer keeps its own
    // rate; the value is stored and reported).
    HRESULT SetFormat(const WAVEFORMATEX* pFormat);
    HRESULT GetFormat(WAVEFORMATEX* pFormat);
    HRESULT Restore();
    void Release();

    struct State;

private:
    friend class CSoundDevice;
    CSoundVoice() = default;
    ~CSoundVoice();
    State* m_pState = nullptr;  // shared with the mixer while playing
    bool m_bPrimary = false;
    WAVEFORMATEX m_primaryFormat;
};

// ---- Wave-out device ----
using MMRESULT = UINT;
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;

constexpr UINT WAVE_MAPPER = 0xFFFFFFFFu;
constexpr DWORD CALLBACK_NULL = 0x00000;
constexpr DWORD CALLBACK_FUNCTION = 0x30000;
constexpr UINT WOM_OPEN = 0x3BB;
constexpr UINT WOM_CLOSE = 0x3BC;
constexpr UINT WOM_DONE = 0x3BD;
constexpr DWORD WAVECAPS_VOLUME = 0x4;
constexpr DWORD WAVECAPS_LRVOLUME = 0x8;

constexpr DWORD WHDR_DONE = 0x1;
constexpr DWORD WHDR_PREPARED = 0x2;
constexpr DWORD WHDR_INQUEUE = 0x10;

struct WAVEHDR {
    char* lpData = nullptr;
    DWORD dwBufferLength = 0;
    DWORD dwBytesRecorded = 0;
    std::uintptr_t dwUser = 0;
    DWORD dwFlags = 0;
    DWORD dwLoops = 0;
    WAVEHDR* lpNext = nullptr;
    std::uintptr_t reserved = 0;
};

struct WAVEOUTCAPS {
    WORD wMid = 0, wPid = 0;
    DWORD vDriverVersion = 0;
    char szPname[32] = {};
    DWORD dwFormats = 0;
    WORD wChannels = 0;
    DWORD dwSupport = 0;
};

class CWaveOut;
using HWAVEOUT = CWaveOut*;
// Called on the audio thread (WOM_DONE with the header in dwParam1) and on the calling
// thread by WaveOutReset for every block it returns. It must only signal.
using WaveOutProc = void (*)(HWAVEOUT hWaveOut, UINT uMsg, std::uintptr_t dwInstance,
                             std::uintptr_t dwParam1, std::uintptr_t dwParam2);

UINT WaveOutGetNumDevs();
MMRESULT WaveOutGetDevCaps(UINT uDevice, WAVEOUTCAPS* pCaps);
// Opens a stream on WAVE_MAPPER or device 0 with a playable PCM format. With
// CALLBACK_FUNCTION, pfnCallback gets WOM_DONE for every finished block.
MMRESULT WaveOutOpen(HWAVEOUT* phWaveOut, UINT uDevice, const WAVEFORMATEX* pFormat,
                     WaveOutProc pfnCallback, std::uintptr_t dwInstance, DWORD dwFlags);
MMRESULT WaveOutPrepareHeader(HWAVEOUT hWaveOut, WAVEHDR* pHdr, UINT cbHdr);
MMRESULT WaveOutUnprepareHeader(HWAVEOUT hWaveOut, WAVEHDR* pHdr, UINT cbHdr);
// Queues a prepared block; it plays after the blocks queued before it.
MMRESULT WaveOutWrite(HWAVEOUT hWaveOut, WAVEHDR* pHdr, UINT cbHdr);
// Stops at once and returns every queued block as done.
MMRESULT WaveOutReset(HWAVEOUT hWaveOut);
// Fails with WAVERR_STILLPLAYING while blocks are queued. After it returns no
// callback of this stream runs any more.
MMRESULT WaveOutClose(HWAVEOUT hWaveOut);
// Volume of device 0 (or of the stream's device): low word left, high word right,
// 0..0xFFFF, a linear gain on every wave-out stream.
MMRESULT WaveOutGetVolume(HWAVEOUT hWaveOut, DWORD* pdwVolume);
MMRESULT WaveOutSetVolume(HWAVEOUT hWaveOut, DWORD dwVolume);

// ---- Output control and test access ----
// Opens the output on first use; true when it is the null device.
bool AudioIsNullDevice();
// Output format of the mixer: 44100 Hz, 2 channels, 16-bit samples.
int AudioOutputRate();
// Null device only: with manual pulling the clock no longer consumes the mix and
// AudioPull must be called to move sound along.
void AudioSetManualPull(bool bManual);
// Null device with manual pulling: mixes nFrames stereo frames into pOut (2 x nFrames
// samples) and returns the number mixed; 0 otherwise.
size_t AudioPull(std::int16_t* pOut, size_t nFrames);
// Number of voices and streams currently sounding (streams count while blocks are queued).
int AudioActiveVoiceCount();

// Writes 16-bit PCM as a WAV file (through the path resolver).
bool WriteWavFile(const char* pszPath, const std::int16_t* pSamples, size_t nFrames, int nRate,
                  int nChannels, std::string* pError = nullptr);
