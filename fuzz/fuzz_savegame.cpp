#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/Stream.h"
#include "shell/SaveGameFile.h"
#include "world/EffectManager.h"
#include "world/MapFile.h"

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
    // Every position the scene builds a hit box from or draws at lies on a map.
    for (const HeroRecord* pHero : {pFile->pHero.get(), pFile->pMembers[0].get(), pFile->pMembers[1].get(),
                                    pFile->pMembers[2].get(), pFile->pMembers[3].get()})
        if (pHero && (!IsMapPosition(pHero->ptPos.x) || !IsMapPosition(pHero->ptPos.y))) std::abort();
    for (std::size_t i = 0; i < std::size_t(kStateScenes) * kStateEntries; ++i) {
        CByteReader in(pFile->effectBlock.data() + CEffectManager::kNpcRecordsOffset + i * sizeof(NpcStateRecord),
                       sizeof(NpcStateRecord));
        std::int32_t nUnused = 0, x = 0, y = 0;
        in.ReadI32(&nUnused);
        in.ReadI32(&x);
        in.ReadI32(&y);
        if ((x != -1 && !IsMapPosition(x)) || (y != -1 && !IsMapPosition(y))) std::abort();
    }
}

}  // namespace

// The input as it stands, and the input laid (by exclusive or) over a sound file twice:
// over its tail, so that most inputs reach the blocks after the header and the tables,
// and over the characters' records of the scene tables.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    Check(pData, nSize);
    // The toolbar block and all after it: the header and the scene state block lie before.
    constexpr size_t nTail = kSaveHeaderBytes + CEffectManager::kBlockSize;
    constexpr size_t nCharacters = kSaveHeaderBytes + CEffectManager::kNpcRecordsOffset;
    for (const size_t nAt : {nTail, nCharacters}) {
        std::vector<std::uint8_t> bytes = SoundFile();
        bytes.resize(std::max(bytes.size(), nAt + nSize), 0);
        for (size_t i = 0; i < nSize; ++i) bytes[nAt + i] ^= pData[i];
        Check(bytes.data(), bytes.size());
    }
    return 0;
}
