#include "ui/panels/PanelFactory.h"

#include "ui/panels/SysMenu.h"

std::unique_ptr<CGamePanel> MakeGamePanel(PanelKind kind, int nHero, bool bHero) {
    (void)nHero;
    (void)bHero;
    switch (kind) {
    case PanelKind::SysMenu: return std::make_unique<CSysMenu>();
    default: return nullptr;
    }
}
