// Feeds arbitrary bytes to the table cache reader; any result is fine, a crash is not.
#include "gamedata/BaseDataFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    CTableSet tables;
    std::string why;
    if (ReadBaseData(pData, nSize, &tables, &why)) {
        // A successful read writes back exactly the bytes that were read.
        std::vector<std::uint8_t> again = WriteBaseData(tables);
        if (again.size() > nSize) __builtin_trap();
    } else if (why.empty()) {
        __builtin_trap();
    }
    return 0;
}
