#include "ui/panels/LoadGameMenu.h"

#include <string>

#include "platform/Charset.h"

namespace {

SaveSlotLayout LoadLayout() {
    SaveSlotLayout l{};
    static const RECT kText[kSaveListRows] = {{45, 51, 130, 113}, {45, 120, 130, 182}, {45, 189, 130, 252},
                                              {45, 258, 130, 322}};
    static const int kPictureTop[kSaveListRows] = {46, 115, 185, 255};
    for (int r = 0; r < kSaveListRows; ++r) {
        l.rcText[r] = kText[r];
        l.ptPicture[r] = POINT{135, kPictureTop[r]};
    }
    l.rcStrip = RECT{270, 75, 300, 273};
    l.nStripBias = 5;
    l.ptTrack = POINT{270, 50};
    l.ptHandleTop = POINT{270, 75};
    l.bSoundAtLimit = false;
    return l;
}

POINT LoadOrigin() { return SaveSlotHost().IsTitleShown() ? POINT{230, 60} : POINT{40, 10}; }

}  // namespace

CLoadGameMenu::CLoadGameMenu()
    : CSaveSlotPanel(LoadOrigin().x, LoadOrigin().y, LoadLayout(), "OK.tga"), m_bTitle(SaveSlotHost().IsTitleShown()) {}

int CLoadGameMenu::OnOk(int nSlot) {
    if (!m_list.IsPresent(nSlot)) return kPanelRequest3;
    std::string strWhy;
    if (SaveSlotHost().LoadGame(nSlot, &strWhy)) return m_bTitle ? kPanelRequest3 : kPanelCloseAll;
    static const std::string kRefused = Utf8ToText("读取存档失败！");
    SaveSlotHost().ShowNotice(kRefused.c_str());
    return kPanelHandled;
}
