#include "ui/OwnLoop.h"

#include "platform/Clock.h"
#include "platform/Window.h"
#include "ui/ShellServices.h"

bool PumpOneMessage() {
    MSG msg;
    if (PeekMessage(&msg, true)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    dwNowTime = TimeGetTime();
    return UiShell()->IsGameRunning();
}
