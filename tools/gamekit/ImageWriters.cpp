#include "tools/gamekit/ImageWriters.h"

#include <cstdio>
#include <cstring>
#include <map>

#include "platform/Stream.h"

namespace {

int Red(std::uint32_t c) { return int((c >> 16) & 0xFF); }
int Green(std::uint32_t c) { return int((c >> 8) & 0xFF); }
int Blue(std::uint32_t c) { return int(c & 0xFF); }
int Alpha(std::uint32_t c) { return int(c >> 24); }

// The picture's colours (alpha ignored) in order of first appearance; false when
// there are more than nMax.
bool BuildPalette(const PictureRgba& pic, size_t nMax, std::vector<std::uint32_t>* pColours,
                  std::vector<std::uint8_t>* pIndices) {
    std::map<std::uint32_t, int> index;
    pIndices->clear();
    for (std::uint32_t c : pic.pixels) {
        c &= 0xFFFFFF;
        auto it = index.find(c);
        if (it == index.end()) {
            if (index.size() >= nMax) return false;
            it = index.emplace(c, int(pColours->size())).first;
            pColours->push_back(c);
        }
        pIndices->push_back(std::uint8_t(it->second));
    }
    return true;
}

void WriteBe16(CByteWriter& w, unsigned v) {
    w.WriteU8(std::uint8_t(v >> 8));
    w.WriteU8(std::uint8_t(v));
}
void WriteBe32(CByteWriter& w, std::uint32_t v) {
    WriteBe16(w, v >> 16);
    WriteBe16(w, v & 0xFFFF);
}

// 8-bit run-length rows: runs of equal bytes, literal stretches of 3 or more, an
// end-of-line after each row and the end-of-picture mark.
void EncodeRle8Row(CByteWriter& w, const std::uint8_t* p, int n) {
    int x = 0;
    while (x < n) {
        int nRun = 1;
        while (x + nRun < n && nRun < 255 && p[x + nRun] == p[x]) ++nRun;
        if (nRun >= 2 || n - x < 3) {
            w.WriteU8(std::uint8_t(nRun));
            w.WriteU8(p[x]);
            x += nRun;
            continue;
        }
        int nLit = 1;
        while (x + nLit < n && nLit < 255 && !(x + nLit + 1 < n && p[x + nLit] == p[x + nLit + 1])) ++nLit;
        if (nLit < 3) {
            w.WriteU8(1);
            w.WriteU8(p[x]);
            ++x;
            continue;
        }
        w.WriteU8(0);
        w.WriteU8(std::uint8_t(nLit));
        w.WriteBytes(p + x, size_t(nLit));
        if (nLit & 1) w.WriteU8(0);
        x += nLit;
    }
}

// PackBits of one row.
void PackBitsRow(std::vector<std::uint8_t>* pOut, const std::uint8_t* p, int n) {
    int x = 0;
    while (x < n) {
        int nRun = 1;
        while (x + nRun < n && nRun < 128 && p[x + nRun] == p[x]) ++nRun;
        if (nRun >= 2) {
            pOut->push_back(std::uint8_t(257 - nRun));
            pOut->push_back(p[x]);
            x += nRun;
            continue;
        }
        int nLit = 1;
        while (x + nLit < n && nLit < 128 && !(x + nLit + 1 < n && p[x + nLit] == p[x + nLit + 1])) ++nLit;
        pOut->push_back(std::uint8_t(nLit - 1));
        pOut->insert(pOut->end(), p + x, p + x + nLit);
        x += nLit;
    }
}

}  // namespace

void PictureRgba::Fill(int x0, int y0, int w, int h, std::uint32_t c) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (x >= 0 && y >= 0 && x < nWidth && y < nHeight) At(x, y) = c;
}

std::vector<std::uint8_t> BuildBmp(const PictureRgba& pic, const BmpOptions& o) {
    const int nBits = o.nBits;
    const bool bPaletted = nBits <= 8;
    if (nBits != 1 && nBits != 4 && nBits != 8 && nBits != 16 && nBits != 24 && nBits != 32) return {};
    if (o.bRle8 && (nBits != 8 || o.bTopDown)) return {};
    if (o.bBitfields && nBits != 16 && nBits != 32) return {};
    std::vector<std::uint32_t> colours;
    std::vector<std::uint8_t> indices;
    if (bPaletted && !BuildPalette(pic, size_t(1) << nBits, &colours, &indices)) return {};

    const std::uint32_t nHeader = o.bBitfields ? 124 : 40;
    const std::uint32_t nTable = bPaletted ? std::uint32_t(colours.size()) * 4 : 0;
    const std::uint32_t nOffset = 14 + nHeader + nTable;
    const size_t nRow = ((size_t(pic.nWidth) * size_t(nBits) + 31) / 32) * 4;

    CByteWriter pixels;
    for (int fy = 0; fy < pic.nHeight; ++fy) {
        const int y = o.bTopDown ? fy : pic.nHeight - 1 - fy;
        std::vector<std::uint8_t> row(nRow, 0);
        for (int x = 0; x < pic.nWidth; ++x) {
            const std::uint32_t c = pic.At(x, y);
            const std::uint8_t i = bPaletted ? indices[size_t(y) * size_t(pic.nWidth) + size_t(x)] : 0;
            switch (nBits) {
            case 1: row[size_t(x) >> 3] |= std::uint8_t(i << (7 - (x & 7))); break;
            case 4: row[size_t(x) >> 1] |= std::uint8_t((x & 1) ? i : i << 4); break;
            case 8: row[size_t(x)] = i; break;
            case 16: {
                std::uint16_t v = o.bBitfields
                                      ? std::uint16_t(((Red(c) >> 3) << 11) | ((Green(c) >> 2) << 5) | (Blue(c) >> 3))
                                      : std::uint16_t(((Red(c) >> 3) << 10) | ((Green(c) >> 3) << 5) | (Blue(c) >> 3));
                row[size_t(x) * 2] = std::uint8_t(v);
                row[size_t(x) * 2 + 1] = std::uint8_t(v >> 8);
                break;
            }
            default:
                row[size_t(x) * size_t(nBits / 8) + 0] = std::uint8_t(Blue(c));
                row[size_t(x) * size_t(nBits / 8) + 1] = std::uint8_t(Green(c));
                row[size_t(x) * size_t(nBits / 8) + 2] = std::uint8_t(Red(c));
                if (nBits == 32) row[size_t(x) * 4 + 3] = std::uint8_t(Alpha(c));
                break;
            }
        }
        if (o.bRle8) {
            EncodeRle8Row(pixels, row.data(), pic.nWidth);
            pixels.WriteU8(0);
            pixels.WriteU8(fy + 1 == pic.nHeight ? 1 : 0);
        } else {
            pixels.WriteBytes(row.data(), row.size());
        }
    }

    CByteWriter w;
    w.WriteU8('B');
    w.WriteU8('M');
    w.WriteU32(nOffset + std::uint32_t(pixels.Size()));
    w.WriteU32(0);
    w.WriteU32(nOffset);
    w.WriteU32(nHeader);
    w.WriteI32(pic.nWidth);
    w.WriteI32(o.bTopDown ? -pic.nHeight : pic.nHeight);
    w.WriteU16(1);
    w.WriteU16(std::uint16_t(nBits));
    w.WriteU32(o.bRle8 ? 1 : o.bBitfields ? 3 : 0);
    w.WriteU32(std::uint32_t(pixels.Size()));
    w.WriteU32(2835);
    w.WriteU32(2835);
    w.WriteU32(bPaletted ? std::uint32_t(colours.size()) : 0);
    w.WriteU32(0);
    if (o.bBitfields) {
        if (nBits == 16) {
            w.WriteU32(0xF800);
            w.WriteU32(0x07E0);
            w.WriteU32(0x001F);
            w.WriteU32(0);
        } else {
            w.WriteU32(0x00FF0000);
            w.WriteU32(0x0000FF00);
            w.WriteU32(0x000000FF);
            w.WriteU32(0xFF000000);
        }
        w.WriteU32(0x73524742);  // sRGB
        for (int i = 0; i < 124 - 60; i += 4) w.WriteU32(0);
    }
    for (std::uint32_t c : colours) {
        w.WriteU8(std::uint8_t(Blue(c)));
        w.WriteU8(std::uint8_t(Green(c)));
        w.WriteU8(std::uint8_t(Red(c)));
        w.WriteU8(0);
    }
    w.WriteBytes(pixels.Bytes().data(), pixels.Size());
    return w.TakeBytes();
}

std::vector<std::uint8_t> BuildTga(const PictureRgba& pic, const TgaOptions& o) {
    const int nBase = o.nImageType & 7;
    const bool bRle = o.nImageType >= 9;
    if (nBase < 1 || nBase > 3) return {};
    const int nDepth = nBase == 2 ? o.nDepth : 8;
    if (nDepth != 8 && nDepth != 16 && nDepth != 24 && nDepth != 32) return {};
    std::vector<std::uint32_t> colours;
    std::vector<std::uint8_t> indices;
    if (nBase == 1 && !BuildPalette(pic, size_t(256 - o.nMapFirst), &colours, &indices)) return {};

    CByteWriter w;
    w.WriteU8(0);
    w.WriteU8(nBase == 1 ? 1 : 0);
    w.WriteU8(std::uint8_t(o.nImageType));
    w.WriteU16(std::uint16_t(nBase == 1 ? o.nMapFirst : 0));
    w.WriteU16(std::uint16_t(colours.size()));
    w.WriteU8(nBase == 1 ? 24 : 0);
    w.WriteU16(0);
    w.WriteU16(0);
    w.WriteU16(std::uint16_t(pic.nWidth));
    w.WriteU16(std::uint16_t(pic.nHeight));
    w.WriteU8(std::uint8_t(nDepth));
    w.WriteU8(std::uint8_t((nDepth == 32 ? 8 : 0) | (o.bTopDown ? 0x20 : 0)));
    for (std::uint32_t c : colours) {
        w.WriteU8(std::uint8_t(Blue(c)));
        w.WriteU8(std::uint8_t(Green(c)));
        w.WriteU8(std::uint8_t(Red(c)));
    }
    const int nBytes = nDepth / 8;
    auto encode = [&](int x, int y, std::uint8_t* p) {
        const std::uint32_t c = pic.At(x, y);
        if (nBase == 1) {
            p[0] = std::uint8_t(indices[size_t(y) * size_t(pic.nWidth) + size_t(x)] + o.nMapFirst);
        } else if (nBase == 3) {
            p[0] = std::uint8_t(Green(c));
        } else if (nDepth == 16) {
            std::uint16_t v = std::uint16_t(((Red(c) >> 3) << 10) | ((Green(c) >> 3) << 5) | (Blue(c) >> 3));
            p[0] = std::uint8_t(v);
            p[1] = std::uint8_t(v >> 8);
        } else {
            p[0] = std::uint8_t(Blue(c));
            p[1] = std::uint8_t(Green(c));
            p[2] = std::uint8_t(Red(c));
            if (nDepth == 32) p[3] = std::uint8_t(Alpha(c));
        }
    };
    // All pixels in file order; run-length packets are allowed to cross rows.
    std::vector<std::uint8_t> all;
    for (int fy = 0; fy < pic.nHeight; ++fy) {
        const int y = o.bTopDown ? fy : pic.nHeight - 1 - fy;
        for (int x = 0; x < pic.nWidth; ++x) {
            std::uint8_t p[4] = {};
            encode(x, y, p);
            all.insert(all.end(), p, p + nBytes);
        }
    }
    if (!bRle) {
        w.WriteBytes(all.data(), all.size());
    } else {
        const size_t nTotal = all.size() / size_t(nBytes);
        auto same = [&](size_t a, size_t b) {
            return std::memcmp(&all[a * size_t(nBytes)], &all[b * size_t(nBytes)], size_t(nBytes)) == 0;
        };
        size_t i = 0;
        while (i < nTotal) {
            size_t nRun = 1;
            while (i + nRun < nTotal && nRun < 128 && same(i, i + nRun)) ++nRun;
            if (nRun >= 2) {
                w.WriteU8(std::uint8_t(0x80 | (nRun - 1)));
                w.WriteBytes(&all[i * size_t(nBytes)], size_t(nBytes));
                i += nRun;
                continue;
            }
            size_t nLit = 1;
            while (i + nLit < nTotal && nLit < 128 && !(i + nLit + 1 < nTotal && same(i + nLit, i + nLit + 1))) ++nLit;
            w.WriteU8(std::uint8_t(nLit - 1));
            w.WriteBytes(&all[i * size_t(nBytes)], nLit * size_t(nBytes));
            i += nLit;
        }
    }
    if (o.bFooter) {
        w.WriteU32(0);
        w.WriteU32(0);
        w.WriteText("TRUEVISION-XFILE.");
        w.WriteU8(0);
    }
    return w.TakeBytes();
}

std::vector<std::uint8_t> BuildPsd(const PictureRgba& pic, const PsdOptions& o) {
    if (o.nChannels < 3 || o.nChannels > 24) return {};
    CByteWriter w;
    w.WriteText("8BPS");
    WriteBe16(w, 1);
    for (int i = 0; i < 6; ++i) w.WriteU8(0);
    WriteBe16(w, unsigned(o.nChannels));
    WriteBe32(w, std::uint32_t(pic.nHeight));
    WriteBe32(w, std::uint32_t(pic.nWidth));
    WriteBe16(w, 8);
    WriteBe16(w, 3);
    WriteBe32(w, 0);  // colour-mode data
    WriteBe32(w, 4);  // image resources: four bytes nobody reads
    w.WriteText("8BIM");
    WriteBe32(w, 0);  // layers
    WriteBe16(w, o.bPackBits ? 1 : 0);
    auto channel = [&](int c, int y) {
        std::vector<std::uint8_t> row(size_t(pic.nWidth));
        for (int x = 0; x < pic.nWidth; ++x) {
            std::uint32_t v = pic.At(x, y);
            row[size_t(x)] = std::uint8_t(c == 0 ? Red(v) : c == 1 ? Green(v) : c == 2 ? Blue(v) : Alpha(v));
        }
        return row;
    };
    if (!o.bPackBits) {
        for (int c = 0; c < o.nChannels; ++c)
            for (int y = 0; y < pic.nHeight; ++y) {
                auto row = channel(c, y);
                w.WriteBytes(row.data(), row.size());
            }
        return w.TakeBytes();
    }
    std::vector<std::vector<std::uint8_t>> rows;
    for (int c = 0; c < o.nChannels; ++c)
        for (int y = 0; y < pic.nHeight; ++y) {
            auto row = channel(c, y);
            std::vector<std::uint8_t> packed;
            PackBitsRow(&packed, row.data(), pic.nWidth);
            rows.push_back(std::move(packed));
        }
    for (const auto& r : rows) WriteBe16(w, unsigned(r.size()));
    for (const auto& r : rows) w.WriteBytes(r.data(), r.size());
    return w.TakeBytes();
}

std::vector<std::uint8_t> BuildPcx(const PictureRgba& pic, const PcxOptions& o) {
    if (o.nPlanes != 1 && o.nPlanes != 3) return {};
    std::vector<std::uint32_t> colours;
    std::vector<std::uint8_t> indices;
    if (o.nPlanes == 1 && !BuildPalette(pic, 256, &colours, &indices)) return {};
    const int nLineBytes = (pic.nWidth + 1) & ~1;
    CByteWriter w;
    w.WriteU8(10);
    w.WriteU8(5);
    w.WriteU8(1);
    w.WriteU8(8);
    w.WriteU16(0);
    w.WriteU16(0);
    w.WriteU16(std::uint16_t(pic.nWidth - 1));
    w.WriteU16(std::uint16_t(pic.nHeight - 1));
    w.WriteU16(72);
    w.WriteU16(72);
    for (int i = 0; i < 48; ++i) w.WriteU8(0);
    w.WriteU8(0);
    w.WriteU8(std::uint8_t(o.nPlanes));
    w.WriteU16(std::uint16_t(nLineBytes));
    w.WriteU16(1);
    while (w.Size() < 128) w.WriteU8(0);
    std::vector<std::uint8_t> line(static_cast<size_t>(nLineBytes));
    for (int y = 0; y < pic.nHeight; ++y) {
        for (int p = 0; p < o.nPlanes; ++p) {
            std::fill(line.begin(), line.end(), 0);
            for (int x = 0; x < pic.nWidth; ++x) {
                std::uint32_t c = pic.At(x, y);
                line[size_t(x)] = o.nPlanes == 1 ? indices[size_t(y) * size_t(pic.nWidth) + size_t(x)]
                                                 : std::uint8_t(p == 0 ? Red(c) : p == 1 ? Green(c) : Blue(c));
            }
            for (int x = 0; x < nLineBytes;) {
                int n = 1;
                while (x + n < nLineBytes && n < 63 && line[size_t(x + n)] == line[size_t(x)]) ++n;
                if (n > 1 || line[size_t(x)] >= 0xC0) w.WriteU8(std::uint8_t(0xC0 | n));
                w.WriteU8(line[size_t(x)]);
                x += n;
            }
        }
    }
    if (o.nPlanes == 1) {
        w.WriteU8(12);
        for (int i = 0; i < 256; ++i) {
            std::uint32_t c = i < int(colours.size()) ? colours[size_t(i)] : 0;
            w.WriteU8(std::uint8_t(Red(c)));
            w.WriteU8(std::uint8_t(Green(c)));
            w.WriteU8(std::uint8_t(Blue(c)));
        }
    }
    return w.TakeBytes();
}

bool WriteBytesToFile(const char* pPath, const std::vector<std::uint8_t>& bytes) {
    FILE* f = std::fopen(pPath, "wb");
    if (!f) return false;
    bool bOk = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && bOk;
}
