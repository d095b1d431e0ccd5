// One running effect animation: a numbered frame sequence of the effect package drawn
// at a map point, one frame per 100 ms of the frame clock, with an optional sound.
// Nodes live in the effect manager's doubly linked list behind its sentinel node.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Base.h"

class CDXSoundBuffer;

// What the effects ask of the current scene: where its view starts (map pixels) and
// forgetting the actor under the cursor. The scene installs its own link; the default
// one answers a view at (0, 0) and does nothing.
class CEffectSceneLink {
public:
    virtual ~CEffectSceneLink() = default;
    virtual POINT GetViewOrigin() const { return POINT{0, 0}; }
    virtual void ClearHoverActor() {}
};

CEffectSceneLink& EffectSceneLink();
// Installs a link (null restores the default one); the caller keeps ownership.
void SetEffectSceneLink(CEffectSceneLink* pLink);

class CEffectAnim {
public:
    // Pixels above its point where a falling effect (3 and 4) starts.
    static constexpr int kFallLift = 100;
    static constexpr DWORD kFrameTime = 100;
    static constexpr int kSkillNameSize = 16;

    CEffectAnim();
    virtual ~CEffectAnim();
    CEffectAnim(const CEffectAnim&) = delete;
    CEffectAnim& operator=(const CEffectAnim&) = delete;

    // Takes the frame count from the picture store, lifts a falling effect above its
    // point and plays "Sound\jl%02d.wav" of the effect (from the game folder) once when
    // sound is on; a missing file plays nothing. Starts the frame clock for the first step.
    void Start();
    // Steps one frame when 100 ms of the frame clock have passed since the last step.
    // False once the frame reaches the frame count (the effect has finished).
    bool Advance();
    // Draws the current frame at its map point minus the view origin.
    void Draw();
    // Takes the node out of its list and deletes it (with its sound).
    void Unlink();
    // Copies a skill name, cut to 15 bytes.
    void SetSkillName(const char* pszName);

    // Inserts the node right after pAfter (the sentinel for the head of the list).
    void InsertAfter(CEffectAnim* pAfter);

    std::int32_t m_nDrop = 0;
    std::string m_strSoundName;
    std::unique_ptr<CDXSoundBuffer> m_pSound;
    char m_szSkillName[kSkillNameSize] = {};
    std::int32_t m_nAttacker = 0;
    std::int32_t m_nTarget = 0;
    std::int32_t m_nAttack = 0;
    std::int32_t m_nExtra = 0;
    std::int32_t m_nEffect = 0;
    std::int32_t m_nFrame = 0;
    std::int32_t m_nFrameCount = 0;
    std::int32_t m_nSkill = -1;
    // Set on the effects an event script starts itself (its waits look for these).
    bool m_bScript = false;
    POINT m_ptPos{0, 0};
    DWORD m_dwLastStep = 0;
    CEffectAnim* m_pPrev = nullptr;
    CEffectAnim* m_pNext = nullptr;
};
