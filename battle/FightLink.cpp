#include "battle/FightLink.h"

#include "battle/Fight.h"

void CFightLink::StopRunning() {
    if (m_pFight) m_pFight->StopRunning();
}

void CFightLink::OnKeyUp(int nKey, UINT, UINT) {
    if (m_pFight) m_pFight->OnKeyUp(nKey);
}

void CFightLink::OnKeyPressed(int nKey, UINT) {
    if (m_pFight) m_pFight->OnKeyDown(nKey);
}

void CFightLink::OnLButtonDown(UINT, int x, int y) {
    if (m_pFight) m_pFight->OnLButtonDown(x, y);
}

void CFightLink::OnLButtonUp(UINT, int x, int y) {
    if (!m_pFight) return;
    if (m_pFight->bResultShown) m_pFight->OnResultRelease();
    else m_pFight->OnLButtonUp(x, y);
}

void CFightLink::OnRButtonDown(UINT, int x, int y) {
    if (m_pFight) m_pFight->OnRButtonDown(x, y);
}
