// Feeds arbitrary bytes to the four picture loaders (each forced, then detected). No
// display device is given, so every loader decodes fully and then stops before
// making a surface.
#include <cstddef>
#include <cstdint>

#include "CDX/CDXImage.h"

HRESULT CVideoDevice::CreateSurface(const SurfaceDesc&, CVideoSurface** ppOut) {
    *ppOut = nullptr;
    return DDERR_UNSUPPORTED;
}
const BYTE* FindResourceData(const char*, size_t*) { return nullptr; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    if (nSize == 0) return 0;
    for (int nType = 0; nType <= 4; ++nType) {
        CDXImage image;
        image.GetImageFromMemory(nullptr, DWORD(nSize), pData, 1, nType);
        delete[] image.TakeAlpha();
    }
    return 0;
}
