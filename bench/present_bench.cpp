// Presenting one 800 x 600 16-bit (5-6-5) frame: our conversion to ARGB (what the window
// uploads when the renderer does not take 5-6-5) beside SDL_ConvertPixels of the same
// pixels and memcpy of the same output bytes; the texture upload of that frame on an SDL
// renderer; and the game's whole flip, back buffer to the display, through the window
// backend that opens here: the headless display with GAME_HEADLESS=1, else SDL with its
// texture upload and render (SDL_VIDEODRIVER=offscreen when nothing else is asked for).
// A table of microseconds per frame and the ratio to memcpy is printed after the runs.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchTimed.h"
#include "platform/Video.h"
#include "platform/Window.h"
#include "platform/WindowBackend.h"

namespace {

constexpr int kW = 800, kH = 600;


class CBenchWindow : public CPlatWindow {};

}  // namespace

int main(int argc, char** argv) {
    // The whole flip runs through a real renderer, never paced to a display.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("GAME_UNCAPPED", "1", 1);
    setenv("GAME_VSYNC", "0", 1);
    benchmark::Initialize(&argc, argv);
    std::mt19937 rng(5);
    std::vector<WORD> pixels(size_t(kW) * kH);
    for (auto& p : pixels) p = WORD(rng());
    std::vector<BYTE> argb(size_t(kW) * kH * 4), argbPeer(argb.size()), argbCopy(argb.size());
    std::vector<BYTE> argbSource(argb.size());
    for (auto& b : argbSource) b = BYTE(rng());

    FramePixels frame;
    frame.pBits = reinterpret_cast<const BYTE*>(pixels.data());
    frame.nPitch = kW * 2;
    frame.nWidth = kW;
    frame.nHeight = kH;
    frame.nBytesPerPixel = 2;
    frame.format = MakePixelFormat565();
    frame.rcSource = RECT{0, 0, kW, kH};

    Timed("present/ours_argb", [&] {
        ConvertFrameToArgb(frame, argb.data(), kW * 4);
        benchmark::ClobberMemory();
    });
    Timed("present/sdl_convert", [&] {
        SDL_ConvertPixels(kW, kH, SDL_PIXELFORMAT_RGB565, pixels.data(), kW * 2, SDL_PIXELFORMAT_ARGB8888,
                          argbPeer.data(), kW * 4);
        benchmark::ClobberMemory();
    });
    Timed("present/memcpy", [&] {
        std::memcpy(argbCopy.data(), argbSource.data(), argbCopy.size());
        benchmark::ClobberMemory();
    });

    // The upload of a converted frame into a streaming texture of a software renderer.
    SDL_Window* pUploadWindow = nullptr;
    SDL_Renderer* pUploadRenderer = nullptr;
    SDL_Texture* pUploadTexture = nullptr;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 &&
        (pUploadWindow = SDL_CreateWindow("upload", 0, 0, kW, kH, SDL_WINDOW_HIDDEN)) &&
        (pUploadRenderer = SDL_CreateRenderer(pUploadWindow, -1, SDL_RENDERER_SOFTWARE)) &&
        (pUploadTexture = SDL_CreateTexture(pUploadRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kW, kH))) {
        Timed("present/texture_upload", [&] {
            SDL_UpdateTexture(pUploadTexture, nullptr, argbSource.data(), kW * 4);
            benchmark::ClobberMemory();
        });
    } else {
        std::fprintf(stderr, "present_bench: no SDL renderer for the upload row: %s\n", SDL_GetError());
    }

    // The game's own flip: back buffer to front, then presented by the window backend.
    const char* pszFlip = Backend().IsHeadless() ? "present/headless_flip" : "present/sdl_flip";
    CBenchWindow window;
    CVideoDevice* pDevice = nullptr;
    CVideoSurface *pFront = nullptr, *pBack = nullptr;
    if (window.CreatePlatWindow("bench", WS_POPUP, 0, 0, kW, kH) && (pDevice = CVideoDevice::Create()) &&
        pDevice->SetCooperativeLevel(&window, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE) == DD_OK &&
        pDevice->SetDisplayMode(kW, kH, 16, 0, 0) == DD_OK) {
        SurfaceDesc desc;
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
        desc.dwBackBufferCount = 1;
        if (pDevice->CreateSurface(desc, &pFront) == DD_OK && pFront->GetAttachedSurface(DDSCAPS_BACKBUFFER, &pBack) == DD_OK)
            Timed(pszFlip, [pFront] { pFront->Flip(DDFLIP_WAIT); });
    }

    benchmark::RunSpecifiedBenchmarks();
    const double fMemcpy = TimedMicros().count("present/memcpy") ? TimedMicros()["present/memcpy"] : 0;
    std::printf("\nPresenting one 800x600 5-6-5 frame on the %s display, microseconds per frame (output %d bytes of ARGB)\n",
                Backend().IsHeadless() ? "headless" : "SDL", kW * kH * 4);
    std::printf("%-28s %10s %10s\n", "", "us", "vs memcpy");
    for (const char* pszName : {"present/ours_argb", "present/sdl_convert", "present/memcpy", "present/texture_upload",
                                "present/sdl_flip", "present/headless_flip"}) {
        auto it = TimedMicros().find(pszName);
        if (it == TimedMicros().end()) continue;
        std::printf("%-28s %10.1f %9.2fx\n", pszName, it->second, fMemcpy > 0 ? it->second / fMemcpy : 0.0);
    }
    if (pFront) pFront->Release();
    if (pDevice) pDevice->Release();
    window.DestroyPlatWindow();
    if (pUploadTexture) SDL_DestroyTexture(pUploadTexture);
    if (pUploadRenderer) SDL_DestroyRenderer(pUploadRenderer);
    if (pUploadWindow) SDL_DestroyWindow(pUploadWindow);
    benchmark::Shutdown();
    return 0;
}
