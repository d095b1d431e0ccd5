#include "tools/gamekit/Offscreen.h"

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "platform/Video.h"

std::unique_ptr<CDXSurface> MakeOffscreen565(CDXScreen& screen, int nWidth, int nHeight) {
    SurfaceDesc desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = DWORD(nWidth);
    desc.dwHeight = DWORD(nHeight);
    desc.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat = MakePixelFormat565();
    CVideoSurface* pVideo = nullptr;
    if (!screen.GetDirectDraw() || Failed(screen.GetDirectDraw()->CreateSurface(desc, &pVideo))) return nullptr;
    auto p = std::make_unique<CDXSurface>();
    p->AttachInterface(pVideo, true);
    p->CompleteCreation(&screen, 1, true);
    return p;
}
