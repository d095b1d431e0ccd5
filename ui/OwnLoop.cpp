#include "ui/OwnLoop.h"

#include "platform/Clock.h"
#include "ui/ShellServices.h"

bool DispatchOneMessage(MSG* pTaken, KeepMessageFn pfnKeep) {
    if (pTaken) pTaken->message = 0;
    MSG msg;
    if (!PeekMessage(&msg, true)) return true;
    if (msg.message == WM_QUIT) {
        PostQuitMessage(int(msg.wParam));
        return false;
    }
    if (pTaken && pfnKeep && pfnKeep(msg.message)) {
        *pTaken = msg;
        return true;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
    return true;
}

bool PumpOneMessage(MSG* pTaken, KeepMessageFn pfnKeep) {
    if (!DispatchOneMessage(pTaken, pfnKeep)) return false;
    dwNowTime = TimeGetTime();
    return UiShell()->IsGameRunning();
}
