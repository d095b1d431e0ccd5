// The run-length 32-bit TGA pictures of the interface and the character frames, drawn
// the game's way (DrawTgaPicture decodes the packets straight onto the 16-bit back buffer
// with per-pixel alpha on every draw) beside SDL2: the same file loaded once by SDL_image
// and alpha-blitted by SDL onto a 5-6-5 surface, and loaded and blitted on every draw.
// A table of microseconds per draw and the ratios follows the runs.
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchTimed.h"
#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "media/TgaDraw.h"
#include "tools/gamekit/Offscreen.h"
#include "tools/gamekit/TgaWriters.h"

namespace {

constexpr int kBackW = 800, kBackH = 600;

// The talk bar's kind of picture: a translucent panel with an opaque frame and a
// softened edge.
PictureRgba Panel(int w, int h) {
    PictureRgba pic(w, h, Argb(0, 0, 0, 0));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int nEdge = std::min(std::min(x, w - 1 - x), std::min(y, h - 1 - y));
            const int a = nEdge < 3 ? 80 * nEdge : nEdge < 6 ? 255 : 200;
            pic.At(x, y) = Argb(a, 20 + x % 40, 30 + y % 50, 60 + (x + y) % 70);
        }
    return pic;
}

// A character frame's kind of picture: a figure with soft edges in transparent space.
PictureRgba Figure(int w, int h) {
    PictureRgba pic(w, h, Argb(0, 0, 0, 0));
    const double cx = w / 2.0, cy = h / 2.0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = (x - cx) / (w * 0.35), dy = (y - cy) / (h * 0.45);
            const double d = dx * dx + dy * dy;
            if (d >= 1.0) continue;
            const int a = d > 0.85 ? int((1.0 - d) / 0.15 * 255) : 255;
            pic.At(x, y) = Argb(a, 180 + (y % 7) * 10, 90 + (x % 5) * 20, 40 + ((x * y) % 9) * 8);
        }
    return pic;
}

struct Case {
    const char* pszName;
    PictureRgba pic;
    int x, y;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (SDL_Init(0) != 0) std::fprintf(stderr, "tga_bench: %s\n", SDL_GetError());

    CDXScreen screen;
    auto pBackSurface = MakeOffscreen565(screen, kBackW, kBackH);
    SDL_Surface* pSdlBack = SDL_CreateRGBSurfaceWithFormat(0, kBackW, kBackH, 16, SDL_PIXELFORMAT_RGB565);
    if (!pBackSurface || !pSdlBack) {
        std::fprintf(stderr, "tga_bench: no back buffer\n");
        return 1;
    }
    pBackSurface->Fill(0x4208);
    SDL_FillRect(pSdlBack, nullptr, 0x4208);

    std::vector<Case> cases;
    cases.push_back(Case{"panel_520x160", Panel(520, 160), 140, 300});
    cases.push_back(Case{"figure_96x128", Figure(96, 128), 350, 200});
    cases.push_back(Case{"figure_48x64", Figure(48, 64), 350, 200});

    std::vector<std::vector<std::uint8_t>> files;
    std::vector<std::unique_ptr<CTgaData>> datas;
    std::vector<SDL_Surface*> loaded;
    for (const Case& c : cases) {
        files.push_back(BuildRleTga32(c.pic));
        auto pData = std::make_unique<CTgaData>();
        if (!pData->LoadMemory(files.back().data(), files.back().size())) {
            std::fprintf(stderr, "tga_bench: %s: %s\n", c.pszName, pData->Error().c_str());
            return 1;
        }
        datas.push_back(std::move(pData));
        SDL_Surface* pLoaded = IMG_LoadTGA_RW(SDL_RWFromConstMem(files.back().data(), int(files.back().size())));
        if (!pLoaded) {
            std::fprintf(stderr, "tga_bench: SDL_image: %s: %s\n", c.pszName, IMG_GetError());
            return 1;
        }
        SDL_SetSurfaceBlendMode(pLoaded, SDL_BLENDMODE_BLEND);
        loaded.push_back(pLoaded);
    }

    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const std::string strName = c.pszName;
        CTgaData* pData = datas[i].get();
        CDXSurface* pBack16 = pBackSurface.get();
        Timed("tga/" + strName + "/ours_decode_draw", [=, &c] {
            DrawTgaPicture(pBack16, *pData, c.x, c.y, c.pic.nHeight, 0, 0, 0, false);
            benchmark::ClobberMemory();
        });
        SDL_Surface* pLoaded = loaded[i];
        Timed("tga/" + strName + "/sdl_blit_loaded", [=, &c] {
            SDL_Rect rc{c.x, c.y, 0, 0};
            SDL_BlitSurface(pLoaded, nullptr, pSdlBack, &rc);
            benchmark::ClobberMemory();
        });
        const std::vector<std::uint8_t>* pFile = &files[i];
        Timed("tga/" + strName + "/sdl_load_blit", [=, &c] {
            SDL_Surface* p = IMG_LoadTGA_RW(SDL_RWFromConstMem(pFile->data(), int(pFile->size())));
            if (!p) return;
            SDL_SetSurfaceBlendMode(p, SDL_BLENDMODE_BLEND);
            SDL_Rect rc{c.x, c.y, 0, 0};
            SDL_BlitSurface(p, nullptr, pSdlBack, &rc);
            SDL_FreeSurface(p);
            benchmark::ClobberMemory();
        });
    }
    benchmark::RunSpecifiedBenchmarks();

    std::printf("\nRun-length TGA pictures onto an 800x600 5-6-5 back buffer, microseconds per draw\n");
    std::printf("%-16s %14s %14s %14s %12s %12s\n", "picture", "ours (decode)", "sdl loaded", "sdl load+blit",
                "vs loaded", "vs load+blit");
    for (const Case& c : cases) {
        const std::string strBase = std::string("tga/") + c.pszName + "/";
        const double fOurs = TimedMicros()[strBase + "ours_decode_draw"], fLoaded = TimedMicros()[strBase + "sdl_blit_loaded"],
                     fLoadBlit = TimedMicros()[strBase + "sdl_load_blit"];
        std::printf("%-16s %14.2f %14.2f %14.2f %11.2fx %11.2fx\n", c.pszName, fOurs, fLoaded, fLoadBlit,
                    fLoaded > 0 ? fOurs / fLoaded : 0.0, fLoadBlit > 0 ? fOurs / fLoadBlit : 0.0);
    }
    for (SDL_Surface* p : loaded) SDL_FreeSurface(p);
    SDL_FreeSurface(pSdlBack);
    pBackSurface.reset();
    SDL_Quit();
    benchmark::Shutdown();
    return 0;
}
