#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/Stream.h"
#include "world/PlayerRecord.h"

namespace {

// A record the parser accepts is repaired into one that writes and parses back to
// the same bytes.
void Check(const std::uint8_t* pData, size_t nSize) {
    CByteReader reader(pData, nSize, "SavePlayer1.sav");
    auto pRecord = std::make_unique<HeroRecord>();
    if (!ParseHeroRecord(reader, pRecord.get())) return;
    CByteWriter first;
    WriteHeroRecord(*pRecord, first);
    CByteReader again(first.Bytes(), "SavePlayer1.sav");
    auto pSecond = std::make_unique<HeroRecord>();
    if (!ParseHeroRecord(again, pSecond.get()) || !again.AtEnd()) std::abort();
    CByteWriter second;
    WriteHeroRecord(*pSecond, second);
    if (second.Bytes() != first.Bytes()) std::abort();
}

}  // namespace

// The input as it stands, and the input laid (by exclusive or) over a sound record with
// no items, so that most inputs reach the checks after the fixed fields.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    Check(pData, nSize);
    CByteWriter base;
    WriteHeroRecord(HeroRecord{}, base);
    std::vector<std::uint8_t> bytes = base.Bytes();
    bytes.resize(std::max(bytes.size(), nSize), 0);
    for (size_t i = 0; i < nSize; ++i) bytes[i] ^= pData[i];
    Check(bytes.data(), bytes.size());
    return 0;
}
