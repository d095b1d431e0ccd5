#include "shell/MiniGameLink.h"

#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"
#include "ui/minigames/CatchGame.h"
#include "ui/minigames/GambleGame.h"
#include "ui/minigames/KnockGame.h"
#include "ui/minigames/PictureShow.h"

namespace {
CShellMiniGameLink s_miniGameLink;
}

bool CShellMiniGameLink::Run(int nKind) {
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
    CPictureShow show(n);
    show.Run();
}

void InstallMiniGameLink() { SetMiniGameLink(&s_miniGameLink); }

void RemoveMiniGameLink() { SetMiniGameLink(nullptr); }
