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

// bBlockChanged: whether the input may have changed the scene state block (when it lies
// only after the block, the block is the sound file's and its check is known to pass).
void Check(const std::uint8_t* pData, size_t nSize, bool bBlockChanged) {
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
    // Every position the scene builds a hit box from or draws at lies on a map; a step
    // covers at most a cell of the largest size; the statistics stay where their sums fit.
    for (const HeroRecord* pHero : {pFile->pHero.get(), pFile->pMembers[0].get(), pFile->pMembers[1].get(),
                                    pFile->pMembers[2].get(), pFile->pMembers[3].get()}) {
        if (!pHero) continue;
        if (!IsMapPosition(pHero->ptPos.x) || !IsMapPosition(pHero->ptPos.y)) std::abort();
        if (pHero->nWalkStep < -kMaxStepPixels || pHero->nWalkStep > kMaxStepPixels) std::abort();
        for (std::int32_t n : {pHero->nLifeMax, pHero->nMana, pHero->nAttack, pHero->nDefence, pHero->nBattleBonus[0]})
            if (n < -kHeroStatLimit || n > kHeroStatLimit) std::abort();
    }
    for (std::size_t i = 0; bBlockChanged && i < std::size_t(kStateScenes) * kStateEntries; ++i) {
        const std::uint8_t* pRecord =
            pFile->effectBlock.data() + CEffectManager::kNpcRecordsOffset + i * sizeof(NpcStateRecord);
        const std::int32_t x = LittleI32(pRecord + 4), y = LittleI32(pRecord + 8);
        if ((x != -1 && !IsMapPosition(x)) || (y != -1 && !IsMapPosition(y))) std::abort();
    }
}

}  // namespace

// The input as it stands, and the input laid (by exclusive or) over a sound file: an even
// first byte lays it over the file's tail, so that it reaches the blocks after the header
// and the tables, an odd one over the characters' records of the scene tables.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    Check(pData, nSize, true);
    // The toolbar block and all after it: the header and the scene state block lie before.
    constexpr size_t nTail = kSaveHeaderBytes + CEffectManager::kBlockSize;
    constexpr size_t nCharacters = kSaveHeaderBytes + CEffectManager::kNpcRecordsOffset;
    // One copy of the sound file per process, zeros past its end: each input is laid over
    // it and taken off again, instead of copying half a megabyte per input.
    static std::vector<std::uint8_t> s_bytes = SoundFile();
    const size_t nSound = SoundFile().size();
    if (nSize > 0) {
        const size_t nAt = (pData[0] & 1) ? nCharacters : nTail;
        const size_t nLength = std::max(nSound, nAt + nSize);
        if (s_bytes.size() < nLength) s_bytes.resize(nLength, 0);
        for (size_t i = 0; i < nSize; ++i) s_bytes[nAt + i] ^= pData[i];
        Check(s_bytes.data(), nLength, nAt < nTail);
        for (size_t i = 0; i < nSize; ++i) s_bytes[nAt + i] ^= pData[i];
    }
    return 0;
}
