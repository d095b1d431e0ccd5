// Feeds arbitrary bytes to the caption table reader.
#include "gamedata/CaptionFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    CCaptionTable table;
    std::string why;
    if (!ReadCaptions(pData, nSize, &table, &why) && why.empty()) __builtin_trap();
    return 0;
}
