#include "media/SoundEffects.h"

#include <cstdio>

#include "CDX/CDXSound.h"
#include "gamedata/DebugLog.h"
#include "media/MediaHost.h"

CSoundEffects* pSoundEffects = nullptr;

HRESULT LoadGameSound(CDXSoundBuffer* pBuffer, const std::string& strPath) {
    const HRESULT hr = pBuffer->Load(pSound, strPath.c_str(), 1);
    if (Failed(hr) && !pBuffer->GetError().empty()) {
        const std::string strFolder = MediaGameFolder() + "\\";
        const bool bInFolder = strPath.compare(0, strFolder.size(), strFolder) == 0;
        ReportFileProblem((bInFolder ? strPath.substr(strFolder.size()) : strPath) + " " + pBuffer->GetError() +
                          "; its sound is not played");
    }
    return hr;
}

const char* const CSoundEffects::kFileNames[kFixedCount] = {
    "Vic.wav",      "defeated.wav", "crate.wav",    "upgrade.wav",  "walk.wav",
    "DOWN.wav",     "UP.wav",       "Attack01.wav", "Attack02.wav", "Attack03.wav",
    "Attack04.wav", "Npc00.wav",    "thunder004.wav", "water007.wav", "bomb.wav"};

CSoundEffects::CSoundEffects() = default;

CSoundEffects::~CSoundEffects() {
    if (m_ppSlots) {
        for (int i = 0; i < m_nCount + 2; ++i) delete m_ppSlots[i];
        delete[] m_ppSlots;
    }
}

void CSoundEffects::Init() {
    if (m_ppSlots) return;
    m_nCount = kFixedCount;
    m_ppSlots = new CDXSoundBuffer*[size_t(m_nCount + 2)]();
}

CDXSoundBuffer* CSoundEffects::GetSlot(int n) const {
    if (!m_ppSlots || n < 0 || n >= m_nCount + 2) return nullptr;
    return m_ppSlots[n];
}

// Replaces the buffer of a slot with a new one loaded from the name (1 copy). A file
// that does not load leaves an empty buffer that plays nothing.
void CSoundEffects::LoadSlot(int nSlot, const std::string& name) {
    delete m_ppSlots[nSlot];
    m_ppSlots[nSlot] = new CDXSoundBuffer;
    m_names[nSlot] = name;
    LoadGameSound(m_ppSlots[nSlot], m_names[nSlot]);
}

void CSoundEffects::Play(int n) {
    if (!m_ppSlots || !MediaSoundOn() || n < 0 || n >= m_nCount) return;
    CDXSoundBuffer* pBuffer = m_ppSlots[n];
    if (pBuffer && pBuffer->GetPlayingCount() > 0) return;
    if (!pBuffer) {
        LoadSlot(n, MediaGameFolder() + "\\sound\\" + kFileNames[n]);
        pBuffer = m_ppSlots[n];
    }
    int nVolume = MediaSoundVolume();
    if (nVolume != 0) pBuffer->SetVolume(nVolume);
    pBuffer->Play(0);
}

void CSoundEffects::PlayJl(int n) {
    if (!m_ppSlots || !MediaSoundOn()) return;
    char szName[32];
    std::snprintf(szName, sizeof szName, "Sound\\jl%02d.wav", n);
    const std::string strName = MediaGameFolder() + "\\" + szName;
    // The skill sound played last time plays again from its start without the file being
    // read again; one that did not load is looked for again, as it may be there now.
    CDXSoundBuffer* pLast = m_ppSlots[m_nCount];
    if (pLast && pLast->IsLoaded() && m_names[m_nCount] == strName)
        pLast->Stop();
    else
        LoadSlot(m_nCount, strName);
    m_ppSlots[m_nCount]->SetVolume(MediaSoundVolume());
    m_ppSlots[m_nCount]->Play(0);
}

void CSoundEffects::PlayNpc(int n) {
    if (!m_ppSlots || !MediaSoundOn()) return;
    char szName[32];
    std::snprintf(szName, sizeof szName, "Sound\\Npc%02d.wav", n);
    int nSlot = m_nCount;
    if (!m_ppSlots[m_nCount]) {
        LoadSlot(m_nCount, MediaGameFolder() + "\\" + szName);
    } else if (!m_ppSlots[m_nCount + 1]) {
        nSlot = m_nCount + 1;
        LoadSlot(nSlot, MediaGameFolder() + "\\" + szName);
    }
    m_ppSlots[nSlot]->SetVolume(MediaSoundVolume());
    m_ppSlots[nSlot]->Play(0);
}

void CSoundEffects::Stop(int n) {
    CDXSoundBuffer* pBuffer = GetSlot(n);
    if (pBuffer) pBuffer->Stop();
}
