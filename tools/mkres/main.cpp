// mkres RES_DIR: draws the executable's resource pictures and writes them as 8-bit
// run-length BMP files: the start and game-over pictures (800 x 600), the shadow under
// characters, the built-in character and crate sprite sheets, the scene's stand-in picture,
// the bank box.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/gamekit/FolderArgument.h"
#include "tools/gamekit/ImageWriters.h"

namespace {

// Colour of a band between two colours, t in [0, 1], quantised to nSteps levels so
// the picture keeps a small palette.
std::uint32_t Blend(std::uint32_t a, std::uint32_t b, double t, int nSteps) {
    t = std::floor(t * nSteps) / nSteps;
    auto mix = [&](int shift) { return int(((a >> shift) & 0xFF) * (1 - t) + ((b >> shift) & 0xFF) * t); };
    return Argb(255, mix(16), mix(8), mix(0));
}

void FillEllipse(PictureRgba& pic, int cx, int cy, int rx, int ry, std::uint32_t c) {
    for (int y = cy - ry; y <= cy + ry; ++y)
        for (int x = cx - rx; x <= cx + rx; ++x) {
            if (x < 0 || y < 0 || x >= pic.nWidth || y >= pic.nHeight) continue;
            double dx = double(x - cx) / rx, dy = double(y - cy) / ry;
            if (dx * dx + dy * dy <= 1.0) pic.At(x, y) = c;
        }
}

// A mountain ridge: for each column the ridge height from a sum of waves.
void FillRidge(PictureRgba& pic, int nBase, int nAmp, double dPhase, std::uint32_t c) {
    for (int x = 0; x < pic.nWidth; ++x) {
        double h = nBase - nAmp * (0.6 * std::sin(x * 0.011 + dPhase) + 0.4 * std::sin(x * 0.027 + 2 * dPhase));
        for (int y = int(h); y < pic.nHeight; ++y) pic.At(x, y) = c;
    }
}

PictureRgba StartPicture() {
    PictureRgba pic(800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) pic.At(x, y) = Blend(0x1B2A4A, 0xE8B27A, y / 420.0 > 1 ? 1 : y / 420.0, 24);
    FillEllipse(pic, 600, 150, 55, 55, Argb(255, 250, 240, 200));
    FillRidge(pic, 380, 70, 0.3, Argb(255, 70, 96, 110));
    FillRidge(pic, 440, 50, 1.7, Argb(255, 44, 70, 78));
    FillRidge(pic, 510, 30, 2.9, Argb(255, 26, 44, 48));
    // The blue-green stone in the foreground.
    FillEllipse(pic, 240, 540, 120, 60, Argb(255, 52, 118, 120));
    FillEllipse(pic, 225, 525, 90, 40, Argb(255, 74, 150, 150));
    FillEllipse(pic, 210, 515, 40, 14, Argb(255, 120, 190, 184));
    return pic;
}

PictureRgba GameOverPicture() {
    PictureRgba pic(800, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) pic.At(x, y) = Blend(0x080404, 0x5A1010, y / 600.0, 20);
    FillRidge(pic, 470, 40, 0.9, Argb(255, 20, 8, 8));
    // A broken blade lying on the ground.
    for (int i = 0; i < 160; ++i)
        for (int w = -3; w <= 3; ++w) pic.At(320 + i, 430 + i / 8 + w) = Argb(255, 170, 170, 180);
    for (int w = -10; w <= 10; ++w)
        for (int t = -2; t <= 2; ++t) pic.At(316 + t, 430 + w) = Argb(255, 130, 100, 40);
    for (int i = 0; i < 70; ++i)
        for (int w = -3; w <= 3; ++w) pic.At(500 + i, 455 - i / 5 + w) = Argb(255, 150, 150, 160);
    return pic;
}

PictureRgba ShadowPicture() {
    PictureRgba pic(64, 32, Argb(255, 0, 0, 0));
    FillEllipse(pic, 32, 16, 28, 12, Argb(255, 48, 48, 48));
    return pic;
}

// Fifteen frames of 64 x 96: a standing figure that sways a little from frame to frame.
PictureRgba NpcSheet() {
    PictureRgba pic(64 * 15, 96, Argb(255, 0, 0, 0));
    for (int f = 0; f < 15; ++f) {
        int cx = f * 64 + 32 + int(std::lround(2 * std::sin(f * 0.42)));
        FillEllipse(pic, cx, 22, 10, 11, Argb(255, 230, 196, 160));
        FillEllipse(pic, cx, 55, 14, 24, Argb(255, 60, 90, 150));
        FillEllipse(pic, cx - 6, 84, 5, 10, Argb(255, 50, 40, 40));
        FillEllipse(pic, cx + 6, 84, 5, 10, Argb(255, 50, 40, 40));
    }
    return pic;
}

// Two frames of 64 x 64: a closed and an open crate.
PictureRgba CrateSheet() {
    PictureRgba pic(128, 64, Argb(255, 0, 0, 0));
    for (int f = 0; f < 2; ++f) {
        pic.Fill(f * 64 + 8, 20, 48, 40, Argb(255, 140, 96, 50));
        pic.Fill(f * 64 + 8, 20, 48, 3, Argb(255, 90, 60, 30));
        pic.Fill(f * 64 + 8, 57, 48, 3, Argb(255, 90, 60, 30));
        pic.Fill(f * 64 + 30, 20, 4, 40, Argb(255, 90, 60, 30));
        if (f == 0) pic.Fill(8, 12, 48, 8, Argb(255, 160, 112, 60));
        else pic.Fill(64 + 8, 4, 48, 8, Argb(255, 160, 112, 60));
    }
    return pic;
}

// A small arrow on a black key: the stand-in for a scene picture missing from its package.
PictureRgba LittleMouse() {
    PictureRgba pic(32, 32, Argb(255, 0, 0, 0));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x <= y / 2; ++x) pic.At(4 + x, 4 + y) = Argb(255, 240, 240, 240);
    pic.Fill(9, 20, 3, 8, Argb(255, 240, 240, 240));
    return pic;
}

// The bank box's picture (bitmap 125): a wooden board with a coin, 200 x 150.
PictureRgba BankPicture() {
    PictureRgba pic(200, 150);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) pic.At(x, y) = Blend(0x5A3A1E, 0x8A6236, y / 150.0, 12);
    for (int i = 0; i < 200; ++i) {
        pic.At(i, 0) = pic.At(i, 149) = Argb(255, 40, 24, 10);
        if (i < 150) pic.At(0, i) = pic.At(199, i) = Argb(255, 40, 24, 10);
    }
    FillEllipse(pic, 28, 86, 16, 16, Argb(255, 230, 190, 60));
    FillEllipse(pic, 28, 86, 9, 9, Argb(255, 200, 150, 40));
    return pic;
}

bool Save(const std::string& strDir, const char* pszName, const PictureRgba& pic) {
    BmpOptions options;
    options.nBits = 8;
    options.bRle8 = true;
    std::vector<std::uint8_t> bytes = BuildBmp(pic, options);
    if (bytes.empty()) {
        std::fprintf(stderr, "mkres: %s has more than 256 colours\n", pszName);
        return false;
    }
    std::string strPath = strDir + "/" + pszName;
    if (!WriteBytesToFile(strPath.c_str(), bytes)) {
        std::fprintf(stderr, "mkres: cannot write %s\n", strPath.c_str());
        return false;
    }
    std::printf("mkres: %s (%zu bytes)\n", strPath.c_str(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    static const char kUsage[] = "usage: mkres RES_DIR\n  draws the game's resource pictures into RES_DIR (made when missing)\n";
    if (const int nCode = CheckFolderArgument("mkres", kUsage, argc, argv); nCode >= 0) return nCode;
    const std::string strDir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(strDir, ec);
    if (ec) {
        std::fprintf(stderr, "mkres: cannot make the folder %s: %s\n", strDir.c_str(), ec.message().c_str());
        return 1;
    }
    bool bOk = Save(strDir, "IDB_STARTGAME.bmp", StartPicture());
    bOk = Save(strDir, "IDB_GAMEOVER.bmp", GameOverPicture()) && bOk;
    bOk = Save(strDir, "SHADOW_BMP.bmp", ShadowPicture()) && bOk;
    bOk = Save(strDir, "NPC_BMP.bmp", NpcSheet()) && bOk;
    bOk = Save(strDir, "CRATE_BMP.bmp", CrateSheet()) && bOk;
    bOk = Save(strDir, "LITTEMOUSE.bmp", LittleMouse()) && bOk;
    bOk = Save(strDir, "IDB_BANK.bmp", BankPicture()) && bOk;
    return bOk ? 0 : 1;
}
