// The toolbar's pools of area and flying effects: the spawners the fighting calls, the
// frame's tick that frees what finished, and the reset of the fight when a game ends.
#include "gamedata/GameData.h"
#include "shell/ShellGlobals.h"
#include "ui/toolbar/GameToolBar.h"
#include "world/Player.h"

namespace {

constexpr int kHeroAttack = 3;
constexpr int kHeroHurt = 4;

template <typename T>
int FirstFreeSlot(const std::unique_ptr<T> (&pool)[kToolBarPoolSize]) {
    for (int i = 0; i < kToolBarPoolSize; ++i)
        if (!pool[i]) return i;
    return -1;
}

template <typename T>
int CountUsed(const std::unique_ptr<T> (&pool)[kToolBarPoolSize]) {
    int n = 0;
    for (const auto& p : pool) n += p != nullptr;
    return n;
}

// The controlled hero, while he neither attacks nor is hurt.
CPlayer* FreeHero() {
    if (!pPlayer || pPlayer->nAction == kHeroAttack || pPlayer->nAction == kHeroHurt) return nullptr;
    return pPlayer;
}

}  // namespace

void CGameToolBar::AddFlyingEffect(int nMark, int nStartX, int nStartY, int nAnimation, int nTargetX, int nTargetY,
                                   int nUnused, int nKind) {
    (void)nUnused;
    const int n = FirstFreeSlot(m_pFlyingEffects);
    if (n < 0) return;
    auto pEffect = std::make_unique<CFlyingEffect>();
    if (nKind == 0) pEffect->LaunchLine(nMark, nAnimation, nStartX, nStartY, nTargetX, nTargetY, 1, 1);
    else if (nKind == 1) pEffect->LaunchRing(nMark, nAnimation, nStartX, nStartY, CFlyingEffect::kSprites, 1);
    m_pFlyingEffects[n] = std::move(pEffect);
}

void CGameToolBar::AddFlyingEffectFromPoint(int nMark, int nStartX, int nStartY, int nTargetX, int nTargetY,
                                            int nKind, int nUnused) {
    (void)nUnused;
    const int n = FirstFreeSlot(m_pFlyingEffects);
    if (n < 0) return;
    auto pEffect = std::make_unique<CFlyingEffect>();
    pEffect->SetOption();
    if (nKind == 0) pEffect->LaunchLine(nMark, 0, nStartX, nStartY, nTargetX, nTargetY, 1, 1);
    else if (nKind == 1) pEffect->LaunchRing(nMark, 0, nStartX, nStartY, CFlyingEffect::kSprites, 1);
    m_pFlyingEffects[n] = std::move(pEffect);
}

void CGameToolBar::AddFlyingEffectFromHero(int nTargetX, int nTargetY, int nKind, int nUnused, int nAnimation,
                                           int nMark) {
    if (const CPlayer* pHero = FreeHero())
        AddFlyingEffect(nMark, pHero->ptPos.x, pHero->ptPos.y, nAnimation, nTargetX, nTargetY, nUnused, nKind);
}

void CGameToolBar::AddAreaEffectAtHero(int nMark, int nUnused1, int nUnused2, int nPattern, int nUnused3) {
    (void)nUnused1; (void)nUnused2; (void)nUnused3;
    const CPlayer* pHero = FreeHero();
    const int n = FirstFreeSlot(m_pAreaEffects);
    if (!pHero || n < 0) return;
    auto pEffect = std::make_unique<CAreaEffect>();
    if (pEffect->Cast(nMark, pHero->ptPos.x, pHero->ptPos.y, nPattern, 0, -1)) m_pAreaEffects[n] = std::move(pEffect);
}

void CGameToolBar::AddEffectAt(int nMark, int x, int y, int nSkill, int nOwner) {
    const SkillRow* pSkill = pGameData && nSkill >= 0 ? pGameData->GetSkill(nSkill) : nullptr;
    const int n = FirstFreeSlot(m_pAreaEffects);
    if (!pSkill || n < 0) return;
    // Kind 1 marks hurt the heroes, kind 0 marks the characters.
    const int nKind = nOwner == -1 ? 1 : 0;
    auto pEffect = std::make_unique<CAreaEffect>();
    if (pEffect->Cast(nMark, x, y, pSkill->nSkillNo, nKind, -1)) m_pAreaEffects[n] = std::move(pEffect);
}

void CGameToolBar::ReapEffects() {
    for (int i = 0; i < kToolBarPoolSize; ++i) {
        if (m_pAreaEffects[i] && !m_pAreaEffects[i]->Tick()) m_pAreaEffects[i].reset();
        if (m_pFlyingEffects[i] && !m_pFlyingEffects[i]->Tick()) m_pFlyingEffects[i].reset();
    }
}

int CGameToolBar::CountAreaEffects() const { return CountUsed(m_pAreaEffects); }
int CGameToolBar::CountFlyingEffects() const { return CountUsed(m_pFlyingEffects); }

void CGameToolBar::ResetFightState() {
    for (int i = 0; i < kToolBarPoolSize; ++i) {
        m_pAreaEffects[i].reset();
        m_pFlyingEffects[i].reset();
        m_pFloatingNumbers[i].reset();
    }
    m_bBombArmed = 0;
    m_nBombItem = -1;
    m_dwBombTime = 0;
    m_ptBomb = POINT{};
}
