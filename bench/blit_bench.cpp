// The hot blits side by side with their peers on the same 16-bit (5-6-5) pixels: our
// fast loops, our scalar reference, SDL2's software blitter, pixman, and memcpy of the
// same bytes as the ceiling. The keyed blits run a second time on sprite-shaped sources
// (a filled ellipse, and a character frame of a sample npc.pkg scaled to each size)
// beside the random one, with SDL2's run-length keyed blit as a further peer. After the
// runs tables of megapixels per second and the ratio of ours to the best peer are
// printed.
//
// The character frame comes from the npc.pkg named by BENCH_NPC_PKG (tools/mkgame
// writes one into <folder>/bmp/npc.pkg); without it those rows are left out.
// BENCH_COPY_STREAM_BYTES sets the size past which the opaque copy streams its stores
// (default: the cache size), to measure that choice.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "CDX/BlitKernels.h"
#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/NpcPkg.h"
#include "media/TgaFrame.h"

namespace {

constexpr int kBackW = 800, kBackH = 600;
constexpr int kAlpha = 100;   // our alpha weights the destination
constexpr int kLevel = 128;   // fade level
constexpr WORD kKey = 0xF81F;

struct Size {
    int w, h;
};
const Size kSizes[] = {{800, 600}, {128, 170}, {10, 10}};
const char* const kOps[] = {"opaque", "keyed", "alpha", "halfalpha", "halfalpha_keyed",
                            "alpha_keyed", "alphamask", "faded", "stretched"};
const char* const kImpls[] = {"ours", "reference", "sdl2", "pixman", "memcpy"};

// The picture of one size in every form the implementations take.
struct Picture {
    Size size;
    Size stretchSrc;
    std::unique_ptr<CDXSurface> src, half;      // ours: full size and half size (stretch source)
    SDL_Surface* pSdlSrc = nullptr;             // RGB565 copy
    SDL_Surface* pSdlHalf = nullptr;            // RGB565 half size
    SDL_Surface* pSdlArgb = nullptr;            // ARGB8888 with the mask as alpha
    pixman_image_t* pPixSrc = nullptr;
    pixman_image_t* pPixHalf = nullptr;
    pixman_image_t* pPixMask = nullptr;         // a8 mask
    std::vector<WORD> pixels, halfPixels;
    std::vector<BYTE> mask;
};

struct World {
    CDXScreen screen;
    std::unique_ptr<CDXSurface> back;
    SDL_Surface* pSdlBack = nullptr;
    pixman_image_t* pPixBack = nullptr;
    std::vector<WORD> memBack;
    std::map<int, Picture> pictures;  // by width
};

void FillSurface(CDXSurface& s, const std::vector<WORD>& px) {
    s.Lock();
    for (int y = 0; y < s.GetHeight(); ++y)
        std::memcpy(s.GetLockedBits() + std::ptrdiff_t(y) * s.GetPitch(), px.data() + size_t(y) * s.GetWidth(),
                    size_t(s.GetWidth()) * 2);
    s.Unlock();
}

SDL_Surface* SdlFrom(const std::vector<WORD>& px, int w, int h) {
    SDL_Surface* p = SDL_CreateRGBSurfaceWithFormat(0, w, h, 16, SDL_PIXELFORMAT_RGB565);
    for (int y = 0; y < h; ++y)
        std::memcpy(static_cast<BYTE*>(p->pixels) + y * p->pitch, px.data() + size_t(y) * w, size_t(w) * 2);
    return p;
}

pixman_image_t* PixmanFrom(std::vector<WORD>& px, int w, int h) {
    return pixman_image_create_bits(PIXMAN_r5g6b5, w, h, reinterpret_cast<uint32_t*>(px.data()), ((w * 2 + 3) & ~3));
}

void BuildWorld(World& w) {
    std::mt19937 rng(1);
    w.back = std::make_unique<CDXSurface>();
    w.back->Create(&w.screen, kBackW, kBackH, 1);
    w.pSdlBack = SDL_CreateRGBSurfaceWithFormat(0, kBackW, kBackH, 16, SDL_PIXELFORMAT_RGB565);
    w.memBack.assign(size_t(kBackW) * kBackH, 0);
    w.pPixBack = pixman_image_create_bits(PIXMAN_r5g6b5, kBackW, kBackH, reinterpret_cast<uint32_t*>(w.memBack.data()),
                                          kBackW * 2);
    for (const Size& sz : kSizes) {
        Picture& p = w.pictures[sz.w];
        p.size = sz;
        p.stretchSrc = Size{sz.w / 2 > 0 ? sz.w / 2 : 1, sz.h / 2 > 0 ? sz.h / 2 : 1};
        // Plain row-major pixels (no padding) for our surfaces and SDL; pixman gets its own padded copy.
        std::vector<WORD> flat(size_t(sz.w) * sz.h), flatHalf(size_t(p.stretchSrc.w) * p.stretchSrc.h);
        for (auto& v : flat) v = rng() % 5 == 0 ? kKey : WORD(rng());
        for (auto& v : flatHalf) v = WORD(rng());
        p.mask.resize(size_t(sz.w) * sz.h);
        for (auto& m : p.mask) m = BYTE(rng());
        p.src = std::make_unique<CDXSurface>();
        p.src->Create(&w.screen, sz.w, sz.h, 1);
        FillSurface(*p.src, flat);
        p.src->SetColorKey(kKey);
        BYTE* pMask = new BYTE[p.mask.size()];
        std::memcpy(pMask, p.mask.data(), p.mask.size());
        p.src->SetAlphaMask(pMask);
        p.half = std::make_unique<CDXSurface>();
        p.half->Create(&w.screen, p.stretchSrc.w, p.stretchSrc.h, 1);
        FillSurface(*p.half, flatHalf);

        p.pSdlSrc = SdlFrom(flat, sz.w, sz.h);
        p.pSdlHalf = SdlFrom(flatHalf, p.stretchSrc.w, p.stretchSrc.h);
        p.pSdlArgb = SDL_CreateRGBSurfaceWithFormat(0, sz.w, sz.h, 32, SDL_PIXELFORMAT_ARGB8888);
        for (int y = 0; y < sz.h; ++y)
            for (int x = 0; x < sz.w; ++x) {
                const WORD c = flat[size_t(y) * sz.w + x];
                const Uint32 argb = (Uint32(p.mask[size_t(y) * sz.w + x]) << 24) | (Uint32((c >> 11) << 3) << 16) |
                                    (Uint32(((c >> 5) & 63) << 2) << 8) | Uint32((c & 31) << 3);
                std::memcpy(static_cast<BYTE*>(p.pSdlArgb->pixels) + y * p.pSdlArgb->pitch + x * 4, &argb, 4);
            }
        SDL_SetSurfaceBlendMode(p.pSdlArgb, SDL_BLENDMODE_BLEND);

        const int nStride = (sz.w * 2 + 3) / 4 * 2, nHalfStride = (p.stretchSrc.w * 2 + 3) / 4 * 2;
        p.pixels.assign(size_t(nStride) * sz.h, 0);
        for (int y = 0; y < sz.h; ++y)
            std::memcpy(&p.pixels[size_t(y) * nStride], &flat[size_t(y) * sz.w], size_t(sz.w) * 2);
        p.halfPixels.assign(size_t(nHalfStride) * p.stretchSrc.h, 0);
        for (int y = 0; y < p.stretchSrc.h; ++y)
            std::memcpy(&p.halfPixels[size_t(y) * nHalfStride], &flatHalf[size_t(y) * p.stretchSrc.w],
                        size_t(p.stretchSrc.w) * 2);
        p.pPixSrc = PixmanFrom(p.pixels, sz.w, sz.h);
        p.pPixHalf = PixmanFrom(p.halfPixels, p.stretchSrc.w, p.stretchSrc.h);
        p.pPixMask = pixman_image_create_bits(PIXMAN_a8, sz.w, sz.h, nullptr, 0);
        BYTE* pBits = reinterpret_cast<BYTE*>(pixman_image_get_data(p.pPixMask));
        const int nMaskStride = pixman_image_get_stride(p.pPixMask);
        for (int y = 0; y < sz.h; ++y) std::memcpy(pBits + y * nMaskStride, &p.mask[size_t(y) * sz.w], size_t(sz.w));
        pixman_transform_t t;
        pixman_transform_init_scale(&t, pixman_double_to_fixed(double(p.stretchSrc.w) / sz.w),
                                    pixman_double_to_fixed(double(p.stretchSrc.h) / sz.h));
        pixman_image_set_transform(p.pPixHalf, &t);
        pixman_image_set_filter(p.pPixHalf, PIXMAN_FILTER_NEAREST, nullptr, 0);
    }
}

// One call of an operation by an implementation; false when the implementation has no
// such operation.
using Call = std::function<void()>;

bool MakeCall(World& w, const std::string& op, const std::string& impl, Picture& p, Call* pOut) {
    const int x = p.size.w == kBackW ? 0 : 37, y = p.size.h == kBackH ? 0 : 41;
    CDXSurface* back = w.back.get();
    CDXSurface* src = p.src.get();
    if (impl == "ours" || impl == "reference") {
        if (op == "opaque") *pOut = [=] { src->BlitOpaque(back, x, y); };
        if (op == "keyed") *pOut = [=] { src->BlitKeyed(back, x, y); };
        if (op == "alpha") *pOut = [=] { src->BlitAlpha(back, x, y, nullptr, kAlpha); };
        if (op == "halfalpha") *pOut = [=] { src->BlitHalfAlpha(back, x, y); };
        if (op == "halfalpha_keyed") *pOut = [=] { src->BlitHalfAlphaKeyed(back, x, y); };
        if (op == "alpha_keyed") *pOut = [=] { src->BlitAlphaKeyed(back, x, y, nullptr, kAlpha); };
        if (op == "alphamask") *pOut = [=] { src->BlitAlphaMask(back, x, y); };
        if (op == "faded") *pOut = [=] { src->BlitFaded(back, x, y, nullptr, kLevel); };
        if (op == "stretched") {
            CDXSurface* half = p.half.get();
            const int w2 = p.size.w, h2 = p.size.h;
            *pOut = [=] { half->BlitStretched(back, x, y, nullptr, w2, h2); };
        }
        return true;
    }
    if (impl == "sdl2") {
        SDL_Surface* s = p.pSdlSrc;
        SDL_Surface* d = w.pSdlBack;
        const Uint8 srcAlpha = Uint8((256 - kAlpha) * 255 / 256);
        auto setup = [=](bool bKey, int nAlpha) {
            SDL_SetColorKey(s, bKey ? SDL_TRUE : SDL_FALSE, kKey);
            SDL_SetSurfaceColorMod(s, 255, 255, 255);
            SDL_SetSurfaceAlphaMod(s, Uint8(nAlpha < 0 ? 255 : nAlpha));
            SDL_SetSurfaceBlendMode(s, nAlpha < 0 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
        };
        SDL_Rect rc{x, y, p.size.w, p.size.h};
        const bool bKeyed = op == "keyed" || op == "halfalpha_keyed" || op == "alpha_keyed";
        const int nAlpha = op == "alpha" || op == "alpha_keyed" ? srcAlpha
                           : op == "halfalpha" || op == "halfalpha_keyed" ? 128
                                                                          : -1;
        if (op != "alphamask" && op != "faded" && op != "stretched") {
            setup(bKeyed, nAlpha);
            *pOut = [=]() mutable {
                SDL_Rect r = rc;
                SDL_BlitSurface(s, nullptr, d, &r);
            };
        }
        if (op == "alphamask") {
            SDL_Surface* a = p.pSdlArgb;
            *pOut = [=]() mutable { SDL_Rect r = rc; SDL_BlitSurface(a, nullptr, d, &r); };
        }
        if (op == "faded") {
            *pOut = [=]() mutable {
                SDL_Rect r = rc;
                SDL_BlitSurface(s, nullptr, d, &r);
            };
            setup(false, -1);
            SDL_SetSurfaceColorMod(s, kLevel, kLevel, kLevel);
        }
        if (op == "stretched") {
            SDL_Surface* h = p.pSdlHalf;
            SDL_SetSurfaceBlendMode(h, SDL_BLENDMODE_NONE);
            *pOut = [=]() mutable { SDL_Rect r = rc; SDL_BlitScaled(h, nullptr, d, &r); };
        }
        return true;
    }
    if (impl == "pixman") {
        pixman_image_t* s = p.pPixSrc;
        pixman_image_t* d = w.pPixBack;
        const int cw = p.size.w, ch = p.size.h;
        // Solid masks made once per value.
        static std::map<int, pixman_image_t*> solids;
        auto solid = [](int nAlpha16) {
            pixman_image_t*& pImage = solids[nAlpha16];
            if (!pImage) {
                pixman_color_t c{0, 0, 0, uint16_t(nAlpha16)};
                pImage = pixman_image_create_solid_fill(&c);
            }
            return pImage;
        };
        if (op == "opaque") *pOut = [=] { pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, x, y, cw, ch); };
        if (op == "alpha" || op == "halfalpha" || op == "faded") {
            const int a = op == "alpha" ? (256 - kAlpha) * 65535 / 256 : op == "halfalpha" ? 0x8000 : kLevel * 65535 / 256;
            pixman_image_t* m = solid(a);
            const pixman_op_t o = op == "faded" ? PIXMAN_OP_SRC : PIXMAN_OP_OVER;
            *pOut = [=] { pixman_image_composite32(o, s, m, d, 0, 0, 0, 0, x, y, cw, ch); };
        }
        if (op == "alphamask") {
            pixman_image_t* m = p.pPixMask;
            *pOut = [=] { pixman_image_composite32(PIXMAN_OP_OVER, s, m, d, 0, 0, 0, 0, x, y, cw, ch); };
        }
        if (op == "stretched") {
            pixman_image_t* h = p.pPixHalf;
            *pOut = [=] { pixman_image_composite32(PIXMAN_OP_SRC, h, nullptr, d, 0, 0, 0, 0, x, y, cw, ch); };
        }
        return bool(*pOut);  // no colour-keyed operations
    }
    if (impl == "memcpy") {
        WORD* d = w.memBack.data();
        const WORD* s = p.pixels.data();
        const int nStride = (p.size.w * 2 + 3) / 4 * 2;
        const int cw = p.size.w, ch = p.size.h;
        *pOut = [=] {
            for (int r = 0; r < ch; ++r) std::memcpy(d + size_t(y + r) * kBackW + x, s + size_t(r) * nStride, size_t(cw) * 2);
            benchmark::ClobberMemory();
        };
        return true;
    }
    return false;
}

// Megapixels per second by (op, size, impl), the best repetition of each benchmark.
std::map<std::string, double> g_results;

std::string Key(const std::string& op, const Size& sz, const std::string& impl) {
    return op + "/" + std::to_string(sz.w) + "x" + std::to_string(sz.h) + "/" + impl;
}

void PrintTable() {
    std::printf("\nBlit throughput, 16-bit 5-6-5, megapixels per second (calls per second for 10x10 in brackets)\n");
    std::printf("%-16s %-8s %9s %9s %9s %9s %9s %8s %8s\n", "operation", "size", "ours", "scalar", "SDL2", "pixman",
                "memcpy", "vs peer", "vs mcpy");
    for (const char* op : kOps)
        for (const Size& sz : kSizes) {
            auto get = [&](const char* impl) {
                auto it = g_results.find(Key(op, sz, impl));
                return it == g_results.end() ? -1.0 : it->second;
            };
            const double ours = get("ours"), ref = get("reference"), sdl = get("sdl2"), pix = get("pixman"),
                         mem = get("memcpy");
            const double peer = sdl > pix ? sdl : pix;
            auto cell = [](double v) {
                static char buf[8][32];
                static int n = 0;
                char* b = buf[n++ % 8];
                if (v < 0)
                    std::snprintf(b, 32, "%9s", "-");
                else
                    std::snprintf(b, 32, "%9.0f", v);
                return b;
            };
            char szSize[16];
            std::snprintf(szSize, sizeof szSize, "%dx%d", sz.w, sz.h);
            std::printf("%-16s %-8s %s %s %s %s %s %7.2fx %7.2fx", op, szSize, cell(ours), cell(ref), cell(sdl), cell(pix),
                        cell(mem), peer > 0 ? ours / peer : 0.0, mem > 0 ? ours / mem : 0.0);
            if (sz.w == 10) std::printf("  [%.1fM calls/s]", ours * 1e6 / 100 / 1e6);
            std::printf("\n");
        }
}

// ---- Keyed blits on sprite-shaped sources, with SDL2's run-length keyed blit ----

const char* const kKeyedOps[] = {"keyed", "halfalpha_keyed", "alpha_keyed"};
const char* const kSourceKinds[] = {"random", "ellipse", "npc"};
const char* const kKeyedImpls[] = {"ours", "reference", "sdl2", "sdl2_rle"};

struct KeyedSource {
    Size size;
    std::unique_ptr<CDXSurface> src;
    SDL_Surface* pSdl = nullptr;
    SDL_Surface* pSdlRle = nullptr;
};

// 16-bit pixels of a character frame on the key colour, or none.
std::vector<WORD> g_npc;
int g_nNpcW = 0, g_nNpcH = 0;

void LoadNpcFrame(CDXScreen& screen) {
    const char* pszPath = std::getenv("BENCH_NPC_PKG");
    if (!pszPath || !*pszPath) return;
    CNpcPkg pkg;
    if (!pkg.OpenPath(pszPath)) {
        std::fprintf(stderr, "BENCH_NPC_PKG %s: %s\n", pszPath, pkg.GetError().c_str());
        return;
    }
    for (int nSculpt = 0; nSculpt < kSculptCount; ++nSculpt)
        for (int nAction = 0; nAction < kActionCount; ++nAction) {
            if (pkg.GetFrameCount(nSculpt, nAction) <= 0 || !pkg.LoadFrame(nSculpt, nAction, 0)) continue;
            CTgaFrame* pFrame = pkg.GetFrame(nSculpt, nAction, 0);
            if (!pFrame || pFrame->GetWidth() <= 0 || pFrame->GetHeight() <= 0) continue;
            CDXSurface s;
            if (Failed(s.Create(&screen, pFrame->GetWidth(), pFrame->GetHeight(), 1))) return;
            s.Fill(kKey);
            pFrame->Draw(&s, 0, 0, 0, 0, 0, 0);
            g_nNpcW = s.GetWidth();
            g_nNpcH = s.GetHeight();
            g_npc.resize(size_t(g_nNpcW) * g_nNpcH);
            s.Lock();
            for (int y = 0; y < g_nNpcH; ++y)
                std::memcpy(&g_npc[size_t(y) * g_nNpcW], s.GetLockedBits() + std::ptrdiff_t(y) * s.GetPitch(),
                            size_t(g_nNpcW) * 2);
            s.Unlock();
            return;
        }
}

// The pixels of a source kind at a size; false when the kind is not available.
bool ShapePixels(const std::string& kind, Size sz, std::mt19937& rng, std::vector<WORD>* pOut) {
    pOut->assign(size_t(sz.w) * sz.h, kKey);
    auto colour = [&] {
        WORD c;
        do c = WORD(rng()); while (c == kKey);
        return c;
    };
    if (kind == "random") {
        for (auto& v : *pOut) v = rng() % 5 == 0 ? kKey : colour();
        return true;
    }
    if (kind == "ellipse") {
        const double cx = sz.w / 2.0, cy = sz.h / 2.0;
        for (int y = 0; y < sz.h; ++y)
            for (int x = 0; x < sz.w; ++x) {
                const double dx = (x + 0.5 - cx) / cx, dy = (y + 0.5 - cy) / cy;
                if (dx * dx + dy * dy <= 1.0) (*pOut)[size_t(y) * sz.w + x] = colour();
            }
        return true;
    }
    if (g_npc.empty()) return false;
    for (int y = 0; y < sz.h; ++y)
        for (int x = 0; x < sz.w; ++x)
            (*pOut)[size_t(y) * sz.w + x] = g_npc[size_t(y * g_nNpcH / sz.h) * g_nNpcW + size_t(x * g_nNpcW / sz.w)];
    return true;
}

std::map<std::string, KeyedSource> g_keyed;  // by kind/size

std::string KeyedKey(const std::string& kind, Size sz) {
    return kind + "/" + std::to_string(sz.w) + "x" + std::to_string(sz.h);
}

void BuildKeyedSources(World& w) {
    LoadNpcFrame(w.screen);
    std::mt19937 rng(7);
    for (const char* kind : kSourceKinds)
        for (const Size& sz : kSizes) {
            std::vector<WORD> px;
            if (!ShapePixels(kind, sz, rng, &px)) continue;
            KeyedSource& k = g_keyed[KeyedKey(kind, sz)];
            k.size = sz;
            k.src = std::make_unique<CDXSurface>();
            k.src->Create(&w.screen, sz.w, sz.h, 1);
            FillSurface(*k.src, px);
            k.src->SetColorKey(kKey);
            k.pSdl = SdlFrom(px, sz.w, sz.h);
            k.pSdlRle = SdlFrom(px, sz.w, sz.h);
        }
}

bool MakeKeyedCall(World& w, const std::string& op, const std::string& impl, KeyedSource& k, Call* pOut) {
    const int x = k.size.w == kBackW ? 0 : 37, y = k.size.h == kBackH ? 0 : 41;
    CDXSurface* back = w.back.get();
    CDXSurface* src = k.src.get();
    if (impl == "ours" || impl == "reference") {
        if (op == "keyed") *pOut = [=] { src->BlitKeyed(back, x, y); };
        if (op == "halfalpha_keyed") *pOut = [=] { src->BlitHalfAlphaKeyed(back, x, y); };
        if (op == "alpha_keyed") *pOut = [=] { src->BlitAlphaKeyed(back, x, y, nullptr, kAlpha); };
        return true;
    }
    SDL_Surface* s = impl == "sdl2_rle" ? k.pSdlRle : k.pSdl;
    SDL_Surface* d = w.pSdlBack;
    const int nAlpha = op == "alpha_keyed" ? (256 - kAlpha) * 255 / 256 : op == "halfalpha_keyed" ? 128 : -1;
    SDL_SetColorKey(s, SDL_TRUE, kKey);
    SDL_SetSurfaceAlphaMod(s, Uint8(nAlpha < 0 ? 255 : nAlpha));
    SDL_SetSurfaceBlendMode(s, nAlpha < 0 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceRLE(s, impl == "sdl2_rle" ? 1 : 0);
    const SDL_Rect rc{x, y, k.size.w, k.size.h};
    *pOut = [=]() mutable {
        SDL_Rect r = rc;
        SDL_BlitSurface(s, nullptr, d, &r);
    };
    return true;
}

std::string KeyedResultKey(const std::string& op, const std::string& kind, Size sz, const std::string& impl) {
    return "sprite/" + op + "/" + KeyedKey(kind, sz) + "/" + impl;
}

void PrintKeyedTable() {
    std::printf("\nKeyed blits by source shape, 16-bit 5-6-5, megapixels per second (sdl2_rle: SDL_SetSurfaceRLE)\n");
    std::printf("%-16s %-8s %-8s %9s %9s %9s %9s %8s\n", "operation", "source", "size", "ours", "scalar", "SDL2",
                "SDL2 RLE", "vs best");
    for (const char* op : kKeyedOps)
        for (const char* kind : kSourceKinds)
            for (const Size& sz : kSizes) {
                auto get = [&](const char* impl) {
                    auto it = g_results.find(KeyedResultKey(op, kind, sz, impl));
                    return it == g_results.end() ? -1.0 : it->second;
                };
                const double ours = get("ours");
                if (ours < 0) continue;
                const double ref = get("reference"), sdl = get("sdl2"), rle = get("sdl2_rle");
                const double peer = sdl > rle ? sdl : rle;
                char szSize[16];
                std::snprintf(szSize, sizeof szSize, "%dx%d", sz.w, sz.h);
                std::printf("%-16s %-8s %-8s %9.0f %9.0f %9.0f %9.0f %7.2fx\n", op, kind, szSize, ours, ref, sdl, rle,
                            peer > 0 ? ours / peer : 0.0);
            }
}

// Runs call in timed loops and records the best megapixels per second of the
// repetitions under strKey, so a moment of load on the machine does not decide a row.
void RegisterTimed(const std::string& strKey, Size size, bool bReference, std::function<Call()> make) {
    benchmark::RegisterBenchmark(strKey.c_str(),
                                 [=](benchmark::State& state) {
                                     SetActiveBlitKernels(bReference ? &ReferenceBlitKernels() : nullptr);
                                     // SDL keeps the blend state per surface: set it again for this run.
                                     Call again = make();
                                     const auto t0 = std::chrono::steady_clock::now();
                                     for (auto _ : state) again();
                                     const double fSeconds =
                                         std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
                                     const double fPixels = double(state.iterations()) * size.w * size.h;
                                     state.SetItemsProcessed(std::int64_t(fPixels));
                                     if (fSeconds > 0) {
                                         double& fBest = g_results[strKey];
                                         fBest = std::max(fBest, fPixels / fSeconds / 1e6);
                                     }
                                     SetActiveBlitKernels(nullptr);
                                 })
        ->MinTime(0.05)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (const char* psz = std::getenv("BENCH_COPY_STREAM_BYTES")) SetCopyStreamThreshold(std::size_t(std::atoll(psz)));
    World world;
    BuildWorld(world);
    BuildKeyedSources(world);
    for (const char* op : kOps)
        for (const Size& sz : kSizes)
            for (const char* impl : kImpls) {
                Call call;
                Picture& p = world.pictures[sz.w];
                if (!MakeCall(world, op, impl, p, &call) || !call) continue;
                const std::string sop = op, simpl = impl;
                RegisterTimed(Key(op, sz, impl), sz, simpl == "reference", [sop, simpl, &p, &world] {
                    Call again;
                    MakeCall(world, sop, simpl, p, &again);
                    return again;
                });
            }
    for (const char* op : kKeyedOps)
        for (const char* kind : kSourceKinds)
            for (const Size& sz : kSizes) {
                auto it = g_keyed.find(KeyedKey(kind, sz));
                if (it == g_keyed.end()) continue;
                KeyedSource* pSource = &it->second;
                for (const char* impl : kKeyedImpls) {
                    const std::string sop = op, simpl = impl;
                    RegisterTimed(KeyedResultKey(op, kind, sz, impl), sz, simpl == "reference", [sop, simpl, pSource, &world] {
                        Call again;
                        MakeKeyedCall(world, sop, simpl, *pSource, &again);
                        return again;
                    });
                }
            }
    benchmark::RunSpecifiedBenchmarks();
    PrintTable();
    PrintKeyedTable();
    std::printf("ours: %s loops\n", BestBlitKernels().pszName);
    benchmark::Shutdown();
    return 0;
}
