#include "ui/toolbar/ToolBarHost.h"

#include "ui/boxes/MessageBoxes.h"
#include "ui/menus/MenuPanel.h"

void CToolBarHost::ShowNotice(const char* pszText) { ShowNoticeAt(pszText, 1, 150, 200); }

void CToolBarHost::ShowNoticeAt(const char* pszText, int nLayout, int x, int y) {
    CNoticeBox box;
    box.LoadButtons();
    box.Run(pszText, nLayout, x, y);
}

int CToolBarHost::AskQuestion(const char* pszText) {
    COKCancelBox box;
    box.LoadButtons();
    return box.Run(pszText, 2, 150, 150);
}

void CToolBarHost::PlaySound(int n) { PlayUiSound(n); }

void CToolBarHost::ShowPictureNotice(const char* pszPicture) {
    CPicMessageBox box;
    box.LoadPictures(pszPicture, "YesOrNo.bmp", 97, 42);
    box.Run(nullptr, 1, 250, 225);
}

namespace {
CToolBarHost s_defaultHost;
CToolBarHost* s_pHost = &s_defaultHost;
}  // namespace

CToolBarHost& ToolBarHost() { return *s_pHost; }
void SetToolBarHost(CToolBarHost* pHost) { s_pHost = pHost ? pHost : &s_defaultHost; }
