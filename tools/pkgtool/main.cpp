// pkgtool: looks inside the game's packages.
//   pkgtool list <package>               names, offsets and sizes of a picture package
//   pkgtool extract <package> <name> [out]  writes one entry (the name ignores case)
//   pkgtool effects <Effect.pkg>         frames of every effect
//   pkgtool npc <npc.pkg>                frame counts of every sculpt and action
// effects and npc decode every frame: frames cut short or that do not decode end the
// listing with the reason on stderr and status 1.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gamedata/EffectIndex.h"
#include "gamedata/NpcPkg.h"
#include "gamedata/PkgFile.h"
#include "media/TgaFrame.h"
#include "platform/Charset.h"
#include "platform/Files.h"
#include "platform/Stream.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: pkgtool list <package>\n"
                 "       pkgtool extract <package> <name> [out]\n"
                 "       pkgtool effects <Effect.pkg>\n"
                 "       pkgtool npc <npc.pkg>\n");
    return 2;
}

int List(const char* pszPath) {
    CPkgFile pkg(pszPath);
    if (!pkg.OpenPath(pszPath)) {
        std::fprintf(stderr, "pkgtool: %s\n", pkg.GetError().c_str());
        return 1;
    }
    std::printf("%d entries\n", pkg.GetCount());
    for (int i = 0; i < pkg.GetCount(); ++i) {
        const PkgIndexEntry& e = pkg.GetEntry(i);
        std::printf("%-40s %10u %10u%s\n", TextToUtf8(e.strName).c_str(), e.dwOffset, e.dwSize,
                    e.bPresent ? "" : "  (past the end of the file)");
    }
    return 0;
}

int Extract(const char* pszPath, const char* pszName, const char* pszOut) {
    CPkgFile pkg(pszPath);
    if (!pkg.OpenPath(pszPath)) {
        std::fprintf(stderr, "pkgtool: %s\n", pkg.GetError().c_str());
        return 1;
    }
    const std::string strName = Utf8ToText(pszName);
    const int nSize = pkg.GetSize(strName.c_str());
    FILE* pStream = pkg.Seek(strName.c_str());
    if (nSize < 0 || !pStream) {
        std::fprintf(stderr, "pkgtool: %s: no entry %s\n", pszPath, pszName);
        return 1;
    }
    std::vector<char> bytes(static_cast<size_t>(nSize));
    if (std::fread(bytes.data(), 1, bytes.size(), pStream) != bytes.size()) {
        std::fprintf(stderr, "pkgtool: %s: entry %s ran short\n", pszPath, pszName);
        return 1;
    }
    const std::string strOut = pszOut ? pszOut : pszName;
    if (!WriteFileAtomic(strOut.c_str(), bytes.data(), bytes.size())) {
        std::fprintf(stderr, "pkgtool: cannot write %s\n", strOut.c_str());
        return 1;
    }
    std::printf("%s: %d bytes\n", strOut.c_str(), nSize);
    return 0;
}

// A package whose frames are cut short or do not decode is named with the reason and
// the tool ends with 1, after the listing.
int Refused(const char* pszPath, const std::string& strWhy) {
    if (strWhy.empty()) return 0;
    std::fprintf(stderr, "pkgtool: %s: %s\n", pszPath, strWhy.c_str());
    return 1;
}

int Effects(const char* pszPath) {
    FILE* pStream = OpenFile(pszPath, "rb");
    EffectIndex index;
    std::string strError = pStream ? "" : OpenFileError();
    if (!pStream || !ReadEffectIndex(pStream, &index, &strError)) {
        if (pStream) std::fclose(pStream);
        std::fprintf(stderr, "pkgtool: %s: %s\n", pszPath, strError.c_str());
        return 1;
    }
    for (size_t e = 0; e < index.frameCount.size(); ++e)
        std::printf("effect %3zu: %3u frames from frame %u\n", e, index.frameCount[e], index.firstFrame[e]);
    const size_t nMissing = index.CountMissingFrames();
    std::printf("%zu effects, %zu frames, %zu of them missing\n", index.frameCount.size(), index.frameSize.size(),
                nMissing);
    size_t nBad = 0;
    std::string strFirst;
    for (size_t n = 0; n < index.frameSize.size(); ++n) {
        CTgaFrame frame;
        if (!index.FrameInFile(n) || (std::fseek(pStream, long(index.frameOffset[n]), SEEK_SET) == 0 &&
                                      frame.LoadFromFile(pStream, index.frameSize[n])))
            continue;
        if (nBad++ == 0) strFirst = "frame " + std::to_string(n) + " at offset " + std::to_string(index.frameOffset[n]);
    }
    std::fclose(pStream);
    const std::string strOf = " of " + std::to_string(index.frameSize.size()) + " frames";
    if (nMissing > 0) return Refused(pszPath, "cut short: " + std::to_string(nMissing) + strOf + " past the end of the file");
    if (nBad > 0) return Refused(pszPath, std::to_string(nBad) + strOf + " do not decode; the first: " + strFirst);
    return 0;
}

int Npc(const char* pszPath) {
    CNpcPkg pkg;
    if (!pkg.OpenPath(pszPath)) {
        std::fprintf(stderr, "pkgtool: %s\n", pkg.GetError().c_str());
        return 1;
    }
    int nSculpts = 0;
    for (int s = 0; s < kSculptCount; ++s) {
        std::string strLine;
        for (int a = 0; a < kActionCount; ++a) {
            const int n = pkg.GetFrameCount(s, a);
            if (n > 0) strLine.append(" ").append(std::to_string(a)).append(":").append(std::to_string(n));
        }
        if (strLine.empty()) continue;
        ++nSculpts;
        std::printf("sculpt %3d  action:frames per direction%s\n", s, strLine.c_str());
    }
    std::printf("%d sculpts\n", nSculpts);
    return Refused(pszPath, pkg.FindBadFrames());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string strCommand = argv[1];
    if (strCommand == "list") return List(argv[2]);
    if (strCommand == "extract" && argc >= 4) return Extract(argv[2], argv[3], argc >= 5 ? argv[4] : nullptr);
    if (strCommand == "effects") return Effects(argv[2]);
    if (strCommand == "npc") return Npc(argv[2]);
    return Usage();
}
