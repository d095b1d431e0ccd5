// A narrow bar at the right edge of the screen: a background, up and down arrow buttons
// and a close button. Its scroll operations do nothing; it draws while open, and a left
// click on the close button closes it.
#pragma once
#include <memory>
#include "platform/Base.h"

class CDXSprite;
class CDXSurface;
class CMouse;

class CInfoBar {
public:
    CInfoBar();
    virtual ~CInfoBar();
    CInfoBar(const CInfoBar&) = delete;
    CInfoBar& operator=(const CInfoBar&) = delete;

    // Draws the bar at the right edge when open and handles a left click pressed since
    // the last query: the arrows scroll, the close button closes the bar (and holds the
    // main window's mouse, as every closing panel does). 0 when closed, else 1.
    int Draw(const CMouse& mouse);
    // The close button's rectangle, (W - 53, 5) to (W - 28, 30).
    RECT CloseRect() const { return RECT{m_nScreenWidth - 53, 5, m_nScreenWidth - 28, 30}; }
    void ScrollUp() {}
    void ScrollDown() {}

    int m_nFirst = 0;
    int m_bOpen = 0;
    CDXSprite* GetUp() const { return m_pUp.get(); }
    CDXSprite* GetDown() const { return m_pDown.get(); }
    CDXSprite* GetClose() const { return m_pClose.get(); }

private:
    int m_nScreenWidth = 800;
    std::unique_ptr<CDXSprite> m_pUp;
    std::unique_ptr<CDXSprite> m_pDown;
    std::unique_ptr<CDXSurface> m_pBackground;
    std::unique_ptr<CDXSprite> m_pClose;
};
