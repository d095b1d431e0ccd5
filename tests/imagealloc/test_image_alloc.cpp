// The image loaders must check that a file can hold the picture it claims before
// allocating it. This program replaces the global allocator to see the largest single
// request, so it stands apart from the other engine tests (whose sanitizer checks need
// the sanitizer's own allocator).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "CDX/CDXImage.h"
#include "tools/gamekit/ImageWriters.h"

namespace {
std::atomic<size_t> s_nLargestAlloc{0};
void* TrackedAlloc(size_t n) {
    size_t nPrev = s_nLargestAlloc.load(std::memory_order_relaxed);
    while (n > nPrev && !s_nLargestAlloc.compare_exchange_weak(nPrev, n)) {
    }
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
}  // namespace
void* operator new(size_t n) { return TrackedAlloc(n); }
void* operator new[](size_t n) { return TrackedAlloc(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

using Bytes = std::vector<std::uint8_t>;

struct SurfaceDeleter {
    void operator()(CVideoSurface* p) const { if (p) p->Release(); }
};
using SurfacePtr = std::unique_ptr<CVideoSurface, SurfaceDeleter>;

void PutU16(Bytes& b, size_t n, unsigned v) {
    b[n] = BYTE(v);
    b[n + 1] = BYTE(v >> 8);
}

void PutBe32(Bytes& b, size_t n, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[n + size_t(i)] = BYTE(v >> (24 - 8 * i));
}

TEST(ImageAllocation, TinyFilesClaimingHugePicturesAllocateLittle) {
    const PictureRgba pic(7, 5, 0xFF804020u);
    CVideoDevice* pDevice = CVideoDevice::Create();
    std::vector<std::pair<std::string, Bytes>> files;
    Bytes bmp = BuildBmp(pic, {32, false, false, false});
    bmp.resize(54);
    PutU16(bmp, 18, 0x4000);
    PutU16(bmp, 22, 0x4000);
    files.push_back({"bmp32 header only", bmp});
    Bytes rle = BuildBmp(pic, {8, true, false, false});
    PutU16(rle, 18, 0x4000);
    PutU16(rle, 22, 0x4000);
    files.push_back({"bmp rle8", rle});
    for (int nType : {2, 10}) {
        Bytes tga = BuildTga(pic, {nType, 32, false, true, 0});
        PutU16(tga, 12, 0x4000);
        PutU16(tga, 14, 0x4000);
        files.push_back({"tga" + std::to_string(nType), tga});
    }
    for (bool bPack : {false, true}) {
        Bytes psd = BuildPsd(pic, {4, bPack});
        PutBe32(psd, 14, 0x4000);
        PutBe32(psd, 18, 0x4000);
        files.push_back({bPack ? "psd packbits" : "psd raw", psd});
    }
    for (int nPlanes : {1, 3}) {
        Bytes pcx = BuildPcx(pic, {nPlanes});
        PutU16(pcx, 8, 0x3FFF);
        PutU16(pcx, 10, 0x3FFF);
        PutU16(pcx, 66, 0x4000);
        files.push_back({"pcx" + std::to_string(nPlanes * 8), pcx});
    }
    for (const auto& [strName, data] : files) {
        SCOPED_TRACE(strName);
        ASSERT_LT(data.size(), 2000u);
        s_nLargestAlloc.store(0);
        CDXImage image;
        SurfacePtr p(image.GetImageFromMemory(pDevice, DWORD(data.size()), data.data(), 1, 0));
        EXPECT_FALSE(p);
        EXPECT_FALSE(image.GetError().empty());
        EXPECT_LT(s_nLargestAlloc.load(), size_t(1) << 20);
    }
    pDevice->Release();
}

}  // namespace
