// Feeds arbitrary bytes to the area-pattern reader and touches every cell it returns.
#include "gamedata/CaptionFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    CAreaPatternSet set;
    std::string why;
    if (ReadAreaPatterns(pData, nSize, &set, &why)) {
        // Unsigned, so the sum wraps instead of overflowing: it only makes every cell read.
        volatile std::uint32_t nSum = 0;
        for (const AreaPatternRow& row : set.rows) {
            for (int c = 0; c < row.nCellCount; ++c)
                nSum = nSum + std::uint32_t(row.pCells[c].x) + std::uint32_t(row.pSteps[c].n[4]);
        }
    } else if (why.empty()) {
        __builtin_trap();
    }
    return 0;
}
