#include "ui/panels/PanelFactory.h"

#include "ui/panels/LoadGameMenu.h"
#include "ui/panels/SaveGameMenu.h"
#include "ui/panels/SysMenu.h"

namespace {

std::unique_ptr<CGamePanel> MakeSysMenu(int, bool) { return std::make_unique<CSysMenu>(); }
std::unique_ptr<CGamePanel> MakeSaveMenu(int, bool) { return std::make_unique<CSaveGameMenu>(); }
std::unique_ptr<CGamePanel> MakeLoadMenu(int, bool) { return std::make_unique<CLoadGameMenu>(); }

PanelMaker s_makers[int(PanelKind::Count)] = {nullptr, nullptr, nullptr, MakeSysMenu, nullptr,
                                              nullptr, MakeSaveMenu, MakeLoadMenu};

}  // namespace

std::unique_ptr<CGamePanel> MakeGamePanel(PanelKind kind, int nHero, bool bHero) {
    const int n = int(kind);
    if (n < 0 || n >= int(PanelKind::Count) || !s_makers[n]) return nullptr;
    return s_makers[n](nHero, bHero);
}

PanelMaker SetPanelMaker(PanelKind kind, PanelMaker pfnMaker) {
    const int n = int(kind);
    if (n < 0 || n >= int(PanelKind::Count)) return nullptr;
    PanelMaker pOld = s_makers[n];
    s_makers[n] = pfnMaker;
    return pOld;
}
