#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/Stream.h"
#include "world/MapFile.h"

namespace {

std::int32_t Word(const std::array<std::uint8_t, kNpcRecordSize>& record, size_t nOffset) {
    CByteReader in(record.data() + nOffset, 4);
    std::int32_t v = 0;
    in.ReadI32(&v);
    return v;
}

}  // namespace

// The first byte gives the grid (bits 1-3 its width less one, bits 4-6 its height less
// one) and, when odd, puts the setting header before the rest so the fuzzer spends its
// time past it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    if (nSize < 1) return 0;
    const int nWidth = 1 + ((pData[0] >> 1) & 7), nHeight = 1 + ((pData[0] >> 4) & 7);
    const int nCells = nWidth * nHeight;
    std::vector<std::uint8_t> bytes;
    if (pData[0] & 1) {
        bytes.resize(kFileHeaderSize, 0);
        std::memcpy(bytes.data(), kSettingHeader, std::strlen(kSettingHeader));
    }
    bytes.insert(bytes.end(), pData + 1, pData + nSize);
    SettingFileData set;
    std::string why;
    if (!ReadSettingFile(bytes, "scene000.set", nWidth, nHeight, &set, &why)) {
        if (why.empty()) __builtin_trap();
        return 0;
    }
    if (set.regions.size() != size_t(nCells) || set.regionIndex.size() != size_t(nCells)) __builtin_trap();
    for (std::int32_t r : set.regionIndex)
        if (r >= nCells) __builtin_trap();
    for (const RegionRecord& r : set.regions)
        if (r.nEventCount < 0 || r.nEventCount > kRegionEventCount) __builtin_trap();
    // What the scene turns into pixel positions, steps and wander targets stays small.
    for (const auto& npc : set.npcs) {
        const std::int32_t x = Word(npc, kNpcCellXOffset), y = Word(npc, kNpcCellYOffset);
        if (x < -kSettingCellMargin || x >= nWidth + kSettingCellMargin) __builtin_trap();
        if (y < -kSettingCellMargin || y >= nHeight + kSettingCellMargin) __builtin_trap();
        const std::int32_t nSpeed = Word(npc, kNpcWanderSpeedOffset);
        if (nSpeed < -kMaxStepPixels || nSpeed > kMaxStepPixels) __builtin_trap();
        if (Word(npc, kNpcWanderRadiusOffset) > kMapPixelLimit) __builtin_trap();
    }
    return 0;
}
