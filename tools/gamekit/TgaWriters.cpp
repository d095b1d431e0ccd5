#include "tools/gamekit/TgaWriters.h"

#include "platform/Stream.h"

std::vector<std::uint8_t> BuildRleTga32(const PictureRgba& pic) {
    CByteWriter w;
    w.WriteU8(0);
    w.WriteU8(0);
    w.WriteU8(10);
    w.WriteU16(0);
    w.WriteU16(0);
    w.WriteU8(0);
    w.WriteU16(0);
    w.WriteU16(0);
    w.WriteU16(std::uint16_t(pic.nWidth));
    w.WriteU16(std::uint16_t(pic.nHeight));
    w.WriteU8(32);
    w.WriteU8(8);
    std::vector<std::uint32_t> all;
    all.reserve(pic.pixels.size());
    for (int y = pic.nHeight - 1; y >= 0; --y)
        for (int x = 0; x < pic.nWidth; ++x) {
            std::uint32_t c = pic.At(x, y);
            all.push_back((c >> 24) == 0 ? 0 : c);
        }
    auto put = [&](std::uint32_t c) {
        w.WriteU8(std::uint8_t(c));
        w.WriteU8(std::uint8_t(c >> 8));
        w.WriteU8(std::uint8_t(c >> 16));
        w.WriteU8(std::uint8_t(c >> 24));
    };
    size_t i = 0;
    while (i < all.size()) {
        size_t nRun = 1;
        while (i + nRun < all.size() && nRun < 128 && all[i + nRun] == all[i]) ++nRun;
        if (nRun >= 2) {
            w.WriteU8(std::uint8_t(0x80 | (nRun - 1)));
            put(all[i]);
            i += nRun;
            continue;
        }
        size_t nLit = 1;
        while (i + nLit < all.size() && nLit < 128 && !(i + nLit + 1 < all.size() && all[i + nLit] == all[i + nLit + 1]))
            ++nLit;
        w.WriteU8(std::uint8_t(nLit - 1));
        for (size_t k = 0; k < nLit; ++k) put(all[i + k]);
        i += nLit;
    }
    w.WriteU32(0);
    w.WriteU32(0);
    w.WriteText("TRUEVISION-XFILE.");
    w.WriteU8(0);
    return w.TakeBytes();
}
