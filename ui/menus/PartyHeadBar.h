// The party portrait strip of the map modes: a placeholder that draws nothing, takes no
// click and whose pixel test answers false, as its picture is never loaded.
#pragma once
#include "ui/menus/MenuPanel.h"

class CDXSurface;

class CPartyHeadBar : public CMenuPanel {
public:
    CPartyHeadBar();
    ~CPartyHeadBar() override;

    void Draw() {}
    void OnLButtonUp(int /*nSelection*/) {}
    // The base pixel test, only while the hero's portrait word is 0 and only for
    // panel-relative x below 213.
    bool PixelHit(POINT pt);

private:
    CDXSurface* m_pBar = nullptr;
};
