#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/Stream.h"
#include "shell/SaveGameFile.h"
#include "world/EffectManager.h"

namespace {

// A sound save file of a party of one with no ground items, built once.
const std::vector<std::uint8_t>& SoundFile() {
    static const std::vector<std::uint8_t> s_bytes = [] {
        CByteWriter out;
        out.WriteBytes(std::vector<std::uint8_t>(32, 0).data(), 32);
        for (std::int32_t n : {1, 0, -1, -1, -1, 0}) out.WriteI32(n);
        out.WriteBytes(std::vector<std::uint8_t>(kSaveThumbBytes + 4 + 1 + CEffectManager::kBlockSize, 0).data(),
                       kSaveThumbBytes + 4 + 1 + CEffectManager::kBlockSize);
        WriteToolBarState(ToolBarSaveState{}, true, out);
        HeroRecord hero;
        hero.nMember = 0;
        WriteHeroRecord(hero, out);
        out.WriteI32(0);
        out.WriteBytes(std::vector<std::uint8_t>(kSaveFlagBytes, 0).data(), kSaveFlagBytes);
        out.WriteI32(0);
        return out.TakeBytes();
    }();
    return s_bytes;
}

void Check(const std::uint8_t* pData, size_t nSize) {
    auto pFile = std::make_unique<SaveGameFile>();
    std::string why;
    if (!ParseSaveFile(pData, nSize, "save000.sav", pFile.get(), &why)) {
        if (why.empty()) std::abort();  // a refusal always says why
        return;
    }
    // What the parser accepts holds what the loader relies on.
    const int nActive = pFile->ActiveSlot();
    if (nActive < 0 || nActive > 3 || pFile->nPartyIds[nActive] != nActive || !pFile->pHero) std::abort();
    for (int i = 0; i < 4; ++i)
        if (pFile->nPartyIds[i] >= 0 && i != nActive && !pFile->pMembers[i]) std::abort();
    if (pFile->nCompanion > 0 && pFile->nPartyIds[pFile->nCompanion - 1] < 0) std::abort();
    if (pFile->effectBlock.size() != CEffectManager::kBlockSize || pFile->flagsA.size() != 20000) std::abort();
}

}  // namespace

// The input as it stands, and the input laid (by exclusive or) over the tail of a sound
// file, so that most inputs reach the blocks after the header and the tables.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    Check(pData, nSize);
    std::vector<std::uint8_t> bytes = SoundFile();
    // The toolbar block and all after it: the header and the scene state block lie before.
    constexpr size_t nTail = kSaveHeaderBytes + CEffectManager::kBlockSize;
    bytes.resize(std::max(bytes.size(), nTail + nSize), 0);
    for (size_t i = 0; i < nSize; ++i) bytes[nTail + i] ^= pData[i];
    Check(bytes.data(), bytes.size());
    return 0;
}
