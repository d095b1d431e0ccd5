#include "ui/panels/SysMenu.h"

#include <string>

#include "platform/Charset.h"
#include "shell/ShellGlobals.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/Player.h"

CSysMenu::CSysMenu() : CGamePanel(400, 10, 360, 460) {
    static const char* const kPictures[kButtonCount] = {"SaveGame.tga", "LoadGame.tga", "ReturnToGame.tga",
                                                        "SysSet.tga", "OverGame.tga"};
    for (int i = 0; i < kButtonCount; ++i) AddButton(40, 50 + 62 * i, 305, 102 + 62 * i, kPictures[i]);
    LoadBackground("SysMenu_BKGround.tga");
}

int CSysMenu::OnLButtonUp() {
    if (m_nHover < 0 || m_nHover >= kButtonCount) return kPanelMissed;
    CToolBarHost& host = ToolBarHost();
    PlayPanelClick();
    switch (m_nHover) {
    case kSave:
        // The hero's first mode byte is the save-allowed flag (script command 111).
        return pPlayer && pPlayer->bMode[0] ? kPanelRequest3 : kPanelMissed;
    case kLoad: return kPanelRequest4;
    case kReturn: return kPanelClose;
    case kSettings: return kPanelHandledOne;
    default: {
        static const std::string kQuestion = Utf8ToText("是否退出游戏?");
        if (host.AskQuestion(kQuestion.c_str()) == 1) host.QuitGame();
        return kPanelClose;
    }
    }
}
