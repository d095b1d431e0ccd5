#include "ui/minigames/PictureShow.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "ui/OwnLoop.h"
#include "ui/minigames/MiniGameKit.h"

const MiniGamePicture ShowPictures[3] = {
    {"T009.bmp", 640, 480, 1},
    {"I001.bmp", 640, 480, 1},
    {"N006.bmp", 640, 480, 1},
};

namespace {

// The picture that follows at frame c, or -1 when nothing changes there; 3 ends the show.
int PictureAfterFrame(int c) {
    switch (c) {
    case 500: return 1;
    case 1000: return 2;
    case 2000: return 1;
    case 2500: return 0;
    case kShowLastFrame: return 3;
    default: return -1;
    }
}

}  // namespace

CPictureShow::CPictureShow(int n) {
    // Only show 1 lies inside the table; show 2 would begin past its end.
    if (n != 1) return;
    m_nFirst = 0;
    for (int i = 0; i < 3; ++i) m_pPictures[i] = LoadGameSurface(ShowPictures[m_nFirst + i].pszName, false);
    m_nCurrent = 0;
    m_bRunning = 1;
}

CPictureShow::~CPictureShow() = default;

void CPictureShow::Run() {
    int c = 0;
    while (m_bRunning) {
        if (!PumpOneMessage()) break;
        // The show fills the screen: what its picture leaves uncovered is black, not the
        // map behind it.
        if (pBack) pBack->Fill(0);
        if (CDXSurface* pPicture = m_pPictures[m_nCurrent].get(); pPicture && pBack) pPicture->BlitOpaque(pBack, 0, 0);
        const int nNext = PictureAfterFrame(c);
        if (nNext == 3)
            m_bRunning = 0;
        else if (nNext >= 0)
            m_nCurrent = nNext;
        ++c;
        PresentGameFrame();
    }
    m_bRunning = 0;
}
