#include "tools/mkgame/LanStandIns.h"

#include <string>

#include "lan/LanPictures.h"
#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/SampleArt.h"

std::vector<PkgEntryData> LanStandInEntries() {
    std::vector<PkgEntryData> entries;
    int nIndex = 0;
    for (const LanPicture& pic : LanPictureFiles()) {
        // Each file its own colour, each tile a little darker than the one before, and a
        // magenta top-left corner for the colour key.
        const int nTiles = pic.nTiles > 0 ? pic.nTiles : 1;
        const int r = 40 + (nIndex * 67) % 200, g = 40 + (nIndex * 131) % 200, b = 40 + (nIndex * 29) % 200;
        PictureRgba picture(pic.nWidth * nTiles, pic.nHeight, Argb(255, r, g, b));
        for (int t = 0; t < nTiles; ++t)
            for (int y = 0; y < pic.nHeight; ++y)
                for (int x = 0; x < pic.nWidth; ++x)
                    picture.At(t * pic.nWidth + x, y) = Argb(255, r * (8 - t % 4) / 8, g * (8 - t % 4) / 8, b);
        picture.At(0, 0) = kSampleKey;
        const std::string strName = pic.pszName;
        const bool bTga = strName.size() > 4 && strName.compare(strName.size() - 4, 4, ".tga") == 0;
        entries.push_back(PkgEntryData{strName, bTga ? BuildTga(picture) : BuildBmp(picture)});
        ++nIndex;
    }
    return entries;
}
