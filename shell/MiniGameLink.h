// The mini-games installed as the main window's mini-game link: each game is built,
// run to its end in its own loop and deleted within the call.
#pragma once
#include "shell/FrameLinks.h"

class CShellMiniGameLink : public CMiniGameLink {
public:
    // 1 the catch game, 2 the gamble, 3 the knock game: true when the game reports a
    // win; any other kind runs nothing and is not won.
    bool Run(int nKind) override;
    // Show 1 runs its three pictures; other numbers show nothing.
    void RunPictureShow(int n) override;
};

// Installs the link; Remove restores the default one.
void InstallMiniGameLink();
void RemoveMiniGameLink();
