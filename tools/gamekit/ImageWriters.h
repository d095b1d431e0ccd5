// Writers of the loose picture formats the image loaders read (BMP, TGA, PSD, PCX) in
// every variant they decode, from one RGBA picture.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// A picture as 0xAARRGGBB values, top row first.
struct PictureRgba {
    int nWidth = 0;
    int nHeight = 0;
    std::vector<std::uint32_t> pixels;

    PictureRgba() = default;
    PictureRgba(int w, int h, std::uint32_t fill = 0) : nWidth(w), nHeight(h), pixels(std::size_t(w) * std::size_t(h), fill) {}
    std::uint32_t& At(int x, int y) { return pixels[std::size_t(y) * std::size_t(nWidth) + std::size_t(x)]; }
    std::uint32_t At(int x, int y) const { return pixels[std::size_t(y) * std::size_t(nWidth) + std::size_t(x)]; }
    void Fill(int x0, int y0, int w, int h, std::uint32_t c);
};

constexpr std::uint32_t Argb(int a, int r, int g, int b) {
    return (std::uint32_t(a & 0xFF) << 24) | (std::uint32_t(r & 0xFF) << 16) | (std::uint32_t(g & 0xFF) << 8) |
           std::uint32_t(b & 0xFF);
}

struct BmpOptions {
    int nBits = 24;           // 1, 4, 8 (colour table), 16 (5-5-5), 24, 32
    bool bRle8 = false;       // 8 bits only
    bool bTopDown = false;    // negative height
    bool bBitfields = false;  // 16 (5-6-5 masks) or 32 bits with channel masks in a 124-byte header
};
// Empty when the options do not fit or the picture has more colours than the table holds.
std::vector<std::uint8_t> BuildBmp(const PictureRgba& pic, const BmpOptions& options = {});

struct TgaOptions {
    int nImageType = 2;  // 1 colour-mapped, 2 true colour, 3 grey; +8 run-length
    int nDepth = 24;     // 8 (types 1, 3), 16, 24, 32 (type 2)
    bool bTopDown = false;
    bool bFooter = true;  // version-2 footer, which the loaders need to recognise the file
    int nMapFirst = 0;    // first colour-map index (type 1)
};
std::vector<std::uint8_t> BuildTga(const PictureRgba& pic, const TgaOptions& options = {});

struct PsdOptions {
    int nChannels = 4;  // 3 (RGB) or 4 (RGBA); more are written as copies of the alpha
    bool bPackBits = false;
};
std::vector<std::uint8_t> BuildPsd(const PictureRgba& pic, const PsdOptions& options = {});

struct PcxOptions {
    int nPlanes = 3;  // 1: 8-bit with the closing colour table, 3: 24-bit
};
std::vector<std::uint8_t> BuildPcx(const PictureRgba& pic, const PcxOptions& options = {});

// Writes bytes to a file (the path as the host names it). False when it fails.
bool WriteBytesToFile(const char* pPath, const std::vector<std::uint8_t>& bytes);
