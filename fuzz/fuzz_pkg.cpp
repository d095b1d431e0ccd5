// Feeds arbitrary bytes to the package index reader and looks names up.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "gamedata/DebugLog.h"
#include "gamedata/GameData.h"
#include "gamedata/PkgFile.h"
#include "tests/TempFolder.h"

CGameData* pGameData = nullptr;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    FILE* f = fmemopen(const_cast<std::uint8_t*>(pData), nSize, "rb");
    if (!f) return 0;
    std::vector<PkgIndexEntry> entries;
    std::string strError;
    ReadPkgIndex(f, 4, &entries, &strError);
    std::fclose(f);
    // The package reader opens files by name: one file in the run's own folder, written
    // afresh for each input (the folder goes when the run ends).
    static const CTempFolder s_folder("fuzz_pkg");
    const std::string strPath = s_folder.File("fuzz.pkg");
    f = std::fopen(strPath.c_str(), "wb");
    if (!f) __builtin_trap();
    const bool bWritten = std::fwrite(pData, 1, nSize, f) == nSize;
    if (std::fclose(f) != 0 || !bWritten) __builtin_trap();
    CPkgFile pkg("fuzz.pkg");
    if (pkg.OpenPath(strPath.c_str())) {
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
