// The game reads no command line; its game folder is the folder it starts in.
#include "shell/GameApp.h"

int main() {
    CGameApp app;
    app.InitInstance();
    return app.ExitInstance();
}
