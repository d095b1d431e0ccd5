#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "world/MapFile.h"

// The first byte gives the grid's cell count (1 to 64) and, when odd, puts the setting
// header before the rest so the fuzzer spends its time past it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    if (nSize < 1) return 0;
    const int nCells = 1 + (pData[0] >> 1) % 64;
    std::vector<std::uint8_t> bytes;
    if (pData[0] & 1) {
        bytes.resize(kFileHeaderSize, 0);
        std::memcpy(bytes.data(), kSettingHeader, std::strlen(kSettingHeader));
    }
    bytes.insert(bytes.end(), pData + 1, pData + nSize);
    SettingFileData set;
    std::string why;
    if (!ReadSettingFile(bytes, "scene000.set", nCells, &set, &why)) {
        if (why.empty()) __builtin_trap();
        return 0;
    }
    if (set.regions.size() != size_t(nCells) || set.regionIndex.size() != size_t(nCells)) __builtin_trap();
    for (std::int32_t r : set.regionIndex)
        if (r >= nCells) __builtin_trap();
    for (const RegionRecord& r : set.regions)
        if (r.nEventCount < 0 || r.nEventCount > kRegionEventCount) __builtin_trap();
    return 0;
}
