// The table of short wave sounds: 15 fixed effects loaded on first play, plus the
// numbered skill sounds "Sound\jl%02d.wav" and character sounds "Sound\Npc%02d.wav"
// through two spare slots. Every play obeys the sound switch and the sound volume.
#pragma once
#include <string>

#include "platform/Base.h"

class CDXSoundBuffer;

// Loads the wave file at strPath, a file of the game folder, into the buffer (one copy;
// the buffer keeps the pointer, so the string must outlive it). A file that is missing
// or damaged is said once a run, named as the game folder names it; its sound is then
// not played.
HRESULT LoadGameSound(CDXSoundBuffer* pBuffer, const std::string& strPath);

class CSoundEffects {
public:
    static constexpr int kFixedCount = 15;
    static const char* const kFileNames[kFixedCount];

    CSoundEffects();
    virtual ~CSoundEffects();
    CSoundEffects(const CSoundEffects&) = delete;
    CSoundEffects& operator=(const CSoundEffects&) = delete;

    void Init();
    void Play(int n);
    void PlayJl(int n);
    void PlayNpc(int n);
    void Stop(int n);

    int GetCount() const { return m_nCount; }
    // Slot 0..16; null when empty. For tests and diagnostics.
    CDXSoundBuffer* GetSlot(int n) const;

private:
    void LoadSlot(int nSlot, const std::string& name);

    int m_nSpare = 0;
    int m_nCount = 0;
    CDXSoundBuffer** m_ppSlots = nullptr;
    // The names handed to the buffers, which keep only the pointer.
    std::string m_names[kFixedCount + 2];
};

extern CSoundEffects* pSoundEffects;
