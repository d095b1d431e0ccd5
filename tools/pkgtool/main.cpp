// pkgtool: looks inside the game's packages.
//   pkgtool list <package>               names, offsets and sizes of a picture package
//   pkgtool extract <package> <name> [out]  writes one entry (the name ignores case)
//   pkgtool effects <Effect.pkg>         frames of every effect
//   pkgtool npc <npc.pkg>                frame counts of every sculpt and action
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gamedata/NpcPkg.h"
#include "gamedata/PkgFile.h"
#include "platform/Charset.h"
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

int Effects(const char* pszPath) {
    std::vector<std::uint8_t> bytes;
    std::string strError;
    if (!ReadWholeFile(pszPath, size_t(1) << 30, &bytes, &strError)) {
        std::fprintf(stderr, "pkgtool: %s\n", strError.c_str());
        return 1;
    }
    CByteReader r(bytes, pszPath);
    std::uint32_t nEffects = 0;
    r.ReadU32(&nEffects);
    if (!r.CheckCount(nEffects, 8, "effects")) {
        std::fprintf(stderr, "pkgtool: %s\n", r.Error().c_str());
        return 1;
    }
    std::uint64_t nTotal = 0;
    for (std::uint32_t e = 0; e < nEffects; ++e) {
        std::uint32_t nCount = 0, nFirst = 0;
        r.ReadU32(&nCount);
        r.ReadU32(&nFirst);
        nTotal += nCount;
        std::printf("effect %3u: %3u frames from frame %u\n", e, nCount, nFirst);
    }
    std::printf("%u effects, %llu frames\n", nEffects, static_cast<unsigned long long>(nTotal));
    return r.Failed() ? 1 : 0;
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
    return 0;
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
