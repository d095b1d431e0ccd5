#include "world/EffectAnim.h"

#include <cstdio>
#include <cstring>

#include "CDX/CDXSound.h"
#include "gamedata/BitmapData.h"
#include "media/MediaHost.h"
#include "media/SoundEffects.h"
#include "shell/ShellGlobals.h"

namespace {

CEffectSceneLink g_defaultSceneLink;
CEffectSceneLink* g_pSceneLink = &g_defaultSceneLink;

bool IsFallingEffect(int nEffect) { return nEffect == 3 || nEffect == 4; }

}  // namespace

CEffectSceneLink& EffectSceneLink() { return *g_pSceneLink; }

void SetEffectSceneLink(CEffectSceneLink* pLink) { g_pSceneLink = pLink ? pLink : &g_defaultSceneLink; }

CEffectAnim::CEffectAnim() = default;

// The sound buffer keeps a pointer to the name, so it goes first.
CEffectAnim::~CEffectAnim() { m_pSound.reset(); }

void CEffectAnim::Start() {
    m_nFrame = 0;
    m_nFrameCount = pBitmapData ? pBitmapData->GetEffectFrameCount(m_nEffect) : 0;
    if (m_nFrameCount < 0) m_nFrameCount = 0;
    if (IsFallingEffect(m_nEffect)) {
        // The effect falls from above its point by an equal share of the point's
        // screen height per frame; one frame has no steps to share it over.
        const int nScreenY = m_ptPos.y - EffectSceneLink().GetViewOrigin().y;
        m_nDrop = m_nFrameCount > 1 ? nScreenY / (m_nFrameCount - 1) : 0;
        m_ptPos.y -= kFallLift;
    }
    m_dwLastStep = dwNowTime;
    if (!MediaSoundOn()) return;
    char szName[32];
    std::snprintf(szName, sizeof szName, "\\Sound\\jl%02d.wav", m_nEffect);
    m_pSound.reset();
    // From the game folder: the current folder may be another one while a battle runs.
    m_strSoundName = MediaGameFolder() + szName;
    auto pSoundBuffer = std::make_unique<CDXSoundBuffer>();
    if (Failed(LoadGameSound(pSoundBuffer.get(), m_strSoundName))) return;  // no sound file: silent
    pSoundBuffer->SetVolume(MediaSoundVolume());
    pSoundBuffer->Play(0);
    m_pSound = std::move(pSoundBuffer);
}

bool CEffectAnim::Advance() {
    if (DWORD(dwNowTime - m_dwLastStep) >= kFrameTime) {
        m_dwLastStep = dwNowTime;
        ++m_nFrame;
        if (m_nDrop > 0) m_ptPos.y += m_nDrop;
    }
    // An effect without frames ends at once rather than never.
    if (m_nFrame >= m_nFrameCount) {
        m_nDrop = 0;
        return false;
    }
    return true;
}

void CEffectAnim::Draw() {
    if (m_nFrame >= m_nFrameCount || !pBitmapData) return;
    const POINT ptView = EffectSceneLink().GetViewOrigin();
    pBitmapData->DrawEffectFrame(m_nEffect, m_nFrame, m_ptPos.x - ptView.x, m_ptPos.y - ptView.y);
}

void CEffectAnim::Unlink() {
    if (m_pPrev) m_pPrev->m_pNext = m_pNext;
    if (m_pNext) m_pNext->m_pPrev = m_pPrev;
    m_pPrev = m_pNext = nullptr;
    delete this;
}

void CEffectAnim::SetSkillName(const char* pszName) {
    std::memset(m_szSkillName, 0, sizeof m_szSkillName);
    if (pszName) std::strncpy(m_szSkillName, pszName, sizeof m_szSkillName - 1);
}

void CEffectAnim::InsertAfter(CEffectAnim* pAfter) {
    m_pPrev = pAfter;
    m_pNext = pAfter->m_pNext;
    if (m_pNext) m_pNext->m_pPrev = this;
    pAfter->m_pNext = this;
}
