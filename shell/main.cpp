// The game reads no command line; its game folder is the folder it starts in.
#include "platform/Window.h"
#include "shell/GameApp.h"

int main() {
    PaceHeadlessRunWithoutScript();
    CGameApp app;
    app.InitInstance();
    return app.ExitInstance();
}
