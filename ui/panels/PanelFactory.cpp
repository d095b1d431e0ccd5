#include "ui/panels/PanelFactory.h"

#include "ui/panels/ItemMenu.h"
#include "ui/panels/SceneMapView.h"
#include "ui/panels/SkillMenu.h"
#include "ui/panels/StateMenu.h"
#include "ui/panels/LoadGameMenu.h"
#include "ui/panels/SaveGameMenu.h"
#include "ui/panels/SysMenu.h"
#include "ui/panels/SysSetMenu.h"
#include "ui/panels/TaskMenu.h"
#include "ui/toolbar/ToolBarHost.h"

namespace {

std::unique_ptr<CGamePanel> MakeSysMenu(int, bool) { return std::make_unique<CSysMenu>(); }
std::unique_ptr<CGamePanel> MakeSaveMenu(int, bool) { return std::make_unique<CSaveGameMenu>(); }
std::unique_ptr<CGamePanel> MakeLoadMenu(int, bool) { return std::make_unique<CLoadGameMenu>(); }

std::unique_ptr<CGamePanel> MakeSkillMenu(int nHero, bool bHero) {
    auto p = std::make_unique<CSkillMenu>();
    if (bHero) p->LoadPortrait(1);
    else p->ShowCompanion(nHero);
    return p;
}

std::unique_ptr<CGamePanel> MakeItemMenu(int nHero, bool) {
    auto p = std::make_unique<CItemMenu>();
    p->LoadPortrait(nHero);
    return p;
}

std::unique_ptr<CGamePanel> MakeStateMenu(int, bool) {
    // Opening the state panel closes any work panel.
    ToolBarHost().CloseWorkPanels();
    auto p = std::make_unique<CStateMenu>();
    p->LoadPortrait(1);
    return p;
}

std::unique_ptr<CGamePanel> MakeTaskMenu(int, bool) { return std::make_unique<CTaskMenu>(); }
std::unique_ptr<CGamePanel> MakeSysSetMenu(int, bool) { return std::make_unique<CSysSetMenu>(); }
std::unique_ptr<CGamePanel> MakeSceneMap(int, bool) {
    return std::make_unique<CSceneMapView>(ToolBarHost().GetSceneNumber());
}

PanelMaker s_makers[int(PanelKind::Count)] = {MakeSkillMenu, MakeItemMenu, MakeStateMenu, MakeSysMenu,  MakeTaskMenu,
                                              MakeSysSetMenu, MakeSaveMenu, MakeLoadMenu, MakeSceneMap};

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
