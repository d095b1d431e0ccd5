#include "ui/menus/PartyHeadBar.h"

#include "CDX/CDXSurface.h"
#include "platform/Charset.h"
#include "shell/FrameLinks.h"
#include "ui/ShellServices.h"

CPartyHeadBar::CPartyHeadBar() {
    static const std::string kName = Utf8ToText("头像2.bmp");
    InitButtonRecord(kName.c_str(), 0, 377, 15);
    static const RECT kRects[15] = {
        {0, 10, 83, 105},    {212, 10, 296, 105}, {425, 10, 510, 105}, {94, 15, 204, 22},  {94, 50, 204, 57},
        {306, 15, 416, 22},  {306, 50, 416, 57},  {519, 15, 629, 22},  {519, 50, 629, 57}, {112, 29, 187, 43},
        {112, 63, 187, 78},  {323, 29, 398, 43},  {323, 63, 398, 78},  {537, 29, 612, 43}, {537, 63, 612, 78}};
    for (int i = 0; i < 15; ++i) m_rects[size_t(i)] = kRects[i];
}

CPartyHeadBar::~CPartyHeadBar() { delete m_pBar; }

bool CPartyHeadBar::PixelHit(POINT pt) {
    if (PanelLink().GetHeroPortraitWord() != 0 || !m_pPicture || !m_pInfo) return false;
    if (pt.x - m_pInfo->x >= 213) return false;
    return CMenuPanel::PixelHit(pt);
}
