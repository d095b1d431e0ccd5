// Feeds arbitrary bytes to the package index reader and looks names up.
#include <cstdint>
#include <cstdio>

#include "gamedata/DebugLog.h"
#include "gamedata/GameData.h"
#include "gamedata/PkgFile.h"

CGameData* pGameData = nullptr;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    FILE* f = fmemopen(const_cast<std::uint8_t*>(pData), nSize, "rb");
    if (!f) return 0;
    std::vector<PkgIndexEntry> entries;
    std::string strError;
    ReadPkgIndex(f, 4, &entries, &strError);
    std::fclose(f);
    char szPath[64];
    std::snprintf(szPath, sizeof szPath, "/tmp/fuzz_pkg_%d.pkg", int(getpid()));
    f = std::fopen(szPath, "wb");
    if (!f) return 0;
    std::fwrite(pData, 1, nSize, f);
    std::fclose(f);
    CPkgFile pkg("fuzz.pkg");
    if (pkg.OpenPath(szPath)) {
        for (int i = 0; i < pkg.GetCount() && i < 8; ++i) {
            const char* pszName = pkg.GetEntry(i).strName.c_str();
            const int n = pkg.GetSize(pszName);
            FILE* s = pkg.Seek(pszName);
            if (s && n > 0 && n < (1 << 20)) {
                std::vector<char> b(static_cast<size_t>(n));
                (void)std::fread(b.data(), 1, b.size(), s);
            }
        }
        pkg.Contains("Item-001.bmp");
    }
    return 0;
}
