#include "ui/panels/SaveGameMenu.h"

#include <string>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "platform/Charset.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MenuPanel.h"

namespace {

SaveSlotLayout SaveLayout() {
    SaveSlotLayout l{};
    const int nTop[kSaveListRows] = {46, 115, 185, 255};
    for (int r = 0; r < kSaveListRows; ++r) {
        l.rcText[r] = RECT{135, nTop[r], 257, nTop[r] + 62};
        l.ptPicture[r] = POINT{45, nTop[r]};
    }
    l.rcStrip = RECT{270, 75, 300, 283};
    l.nStripBias = 0;
    l.ptTrack = POINT{270, 50};
    l.ptHandleTop = POINT{270, 75};
    l.bSoundAtLimit = true;
    return l;
}

}  // namespace

CSaveGameMenu::CSaveGameMenu() : CSaveSlotPanel(40, 10, SaveLayout(), "OK.tga") {
    m_pFrame = LoadMenuSurface("SaveAndLoad_Panel.tga", true);
}

CSaveGameMenu::~CSaveGameMenu() { delete m_pFrame; }

void CSaveGameMenu::DrawExtra() {
    if (m_pFrame && pBack) m_pFrame->BlitKeyed(pBack, m_ptOrigin.x + 40, m_ptOrigin.y + 40);
}

bool CSaveGameMenu::SaveToSlot(int nSlot) {
    std::string strWhy;
    if (!SaveSlotHost().SaveGame(nSlot, &strWhy)) {
        static const std::string kFailed = Utf8ToText("存档失败！");
        SaveSlotHost().ShowNotice(kFailed.c_str());
        return false;
    }
    m_list.OnSaved(nSlot);
    return true;
}

int CSaveGameMenu::OnOk(int nSlot) {
    static const std::string kQuestion = Utf8ToText("是否覆盖该记录?");
    if (!m_list.IsPresent(nSlot) || SaveSlotHost().AskQuestion(kQuestion.c_str()) == 1) SaveToSlot(nSlot);
    m_list.SetSelected(-1);
    return kPanelCloseAll;
}
