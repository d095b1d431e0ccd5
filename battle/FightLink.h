// The battle's side of the main window's battle link: while a battle runs, the main
// window's mouse and key handlers reach it through this link.
#pragma once
#include "shell/FrameLinks.h"

class CFightLink : public CBattleLink {
public:
    explicit CFightLink(CFight* pFight) : m_pFight(pFight) {}
    CFight* GetFight() const override { return m_pFight; }
    bool IsRunning() const override { return m_pFight != nullptr; }
    void StopRunning() override;
    void OnKeyUp(int nKey, UINT nRepeat, UINT nFlags) override;
    void OnKeyPressed(int nKey, UINT nFlags) override;
    void OnLButtonDown(UINT nFlags, int x, int y) override;
    // While the result panel is up a release turns its page or closes it.
    void OnLButtonUp(UINT nFlags, int x, int y) override;
    void OnRButtonDown(UINT nFlags, int x, int y) override;

private:
    CFight* m_pFight;
};
