#include "shell/MiniGameLink.h"

#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"
#include "ui/minigames/CatchGame.h"
#include "ui/minigames/GambleGame.h"
#include "ui/minigames/KnockGame.h"
#include "ui/minigames/MiniGameKit.h"
#include "ui/minigames/PictureShow.h"

namespace {

CShellMiniGameLink s_miniGameLink;

void RefreshCursor() {
    if (pFrame) pFrame->UpdateCursorPos();
}

// While a game runs its loop owns the input, as a modal box does: the main window's
// handlers, which its one-message pass still dispatches to, leave clicks and keys (and
// the key state they would poll and clear) to the game. Its clicks land where the
// cursor is when the game sees them.
class CGameOwnsInput {
public:
    CGameOwnsInput() : m_nBefore(bMsgBoxOpen) {
        bMsgBoxOpen = 1;
        SetGameCursorRefresh(&RefreshCursor);
    }
    ~CGameOwnsInput() {
        SetGameCursorRefresh(nullptr);
        bMsgBoxOpen = m_nBefore;
    }
    CGameOwnsInput(const CGameOwnsInput&) = delete;
    CGameOwnsInput& operator=(const CGameOwnsInput&) = delete;

private:
    int m_nBefore;
};

}  // namespace

bool CShellMiniGameLink::Run(int nKind) {
    const CGameOwnsInput owns;
    switch (nKind) {
    case 1: {
        CCatchGame game;
        return game.Run() == 1;
    }
    case 2: {
        CGambleGame game;
        // The scene is shown again when the gamble hands back.
        if (pFrame) pFrame->m_bSceneShown = 1;
        return game.Run() == 1;
    }
    case 3: {
        CKnockGame game;
        return game.Run() == 1;
    }
    default: return false;
    }
}

void CShellMiniGameLink::RunPictureShow(int n) {
    const CGameOwnsInput owns;
    CPictureShow show(n);
    show.Run();
}

void InstallMiniGameLink() { SetMiniGameLink(&s_miniGameLink); }

void RemoveMiniGameLink() { SetMiniGameLink(nullptr); }
