#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "world/MapFile.h"

// The first byte chooses: 0 reads the rest as it is; 1 and 2 put the V0.1 or V0.2
// header before it, so the fuzzer spends its time past the header.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    if (nSize < 1) return 0;
    std::vector<std::uint8_t> bytes;
    const int nChoice = pData[0] % 3;
    if (nChoice != 0) {
        bytes.resize(kFileHeaderSize, 0);
        const char* pszHeader = nChoice == 1 ? kMapHeaderV01 : kMapHeaderV02;
        std::memcpy(bytes.data(), pszHeader, std::strlen(pszHeader));
    }
    bytes.insert(bytes.end(), pData + 1, pData + nSize);
    MapFileData map;
    std::string why;
    if (!ReadMapFile(bytes, "scene000.map", &map, &why)) {
        if (why.empty()) __builtin_trap();
        return 0;
    }
    std::int32_t gw = 0, gh = 0;
    if (!MapGridSize(map.nWidth, map.nHeight, map.nGridKind, map.nCellSize, &gw, &gh)) __builtin_trap();
    if (map.cells.size() != size_t(gw) * size_t(gh)) __builtin_trap();
    for (const ScenePicRecord& p : map.pictures)
        if (p.nLayer < 0 || p.nLayer >= kLayerCount || (!p.strName.empty() && !IsPictureNameInside(p.strName)))
            __builtin_trap();
    for (const auto& list : map.lists)
        if (list.size() > map.cells.size()) __builtin_trap();
    return 0;
}
