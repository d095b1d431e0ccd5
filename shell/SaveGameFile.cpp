#include "shell/SaveGameFile.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "platform/Stream.h"
#include "world/EffectManager.h"
#include "world/MapFile.h"

namespace {

bool Refuse(CByteReader& in, const char* pszFormat, int nValue) {
    char szWhat[128];
    std::snprintf(szWhat, sizeof szWhat, pszFormat, nValue);
    return in.Fail(szWhat);
}

// Runs one block's reader and notes where the block lay.
template <class Read>
bool Block(CByteReader& in, SaveGameFile* pFile, const char* pszName, Read read) {
    const std::size_t nStart = in.Position();
    in.SetContext(pszName);
    if (!read()) return false;
    pFile->blocks.push_back(SaveBlockSpan{pszName, nStart, in.Position() - nStart});
    return !in.Failed();
}

bool ReadHeader(CByteReader& in, SaveGameFile* f) {
    if (!in.CheckCount(1, kSaveHeaderBytes, "header")) return false;
    in.ReadBytes(f->szDate, kSaveTextBytes);
    in.ReadBytes(f->szClock, kSaveTextBytes);
    in.SetContext("header: party count");
    in.ReadI32(&f->nPartyCount);
    if (f->nPartyCount < 1 || f->nPartyCount > 4) return Refuse(in, "party count %d outside 1..4", f->nPartyCount);
    in.SetContext("header: party ids");
    for (int i = 0; i < 4; ++i) {
        in.SetRecord(i);
        in.ReadI32(&f->nPartyIds[i]);
        if (!CheckPartyId(in, i, f->nPartyIds[i])) return false;
    }
    in.SetContext("header");
    in.ReadI32(&f->nSculpt);
    f->thumbnail.resize(kSaveThumbBytes);
    in.ReadBytes(f->thumbnail.data(), kSaveThumbBytes);
    in.SetContext("header: scene");
    in.ReadI32(&f->nScene);
    if (f->nScene < 0 || f->nScene > 199) return Refuse(in, "scene %d outside 0..199", f->nScene);
    in.ReadU8(&f->bStoryFlag);
    return !in.Failed();
}

// A character's position in the scene tables is -1 (never placed) or a point of a map
// (-1 is one): the scene builds its hit box and draws it from there.
bool CheckNpcPositions(CByteReader& in, const std::vector<std::uint8_t>& block, std::size_t nBlockStart) {
    constexpr std::size_t nRecords = std::size_t(kStateScenes) * kStateEntries;
    static_assert(IsMapPosition(-1));
    static_assert(CEffectManager::kNpcRecordsOffset + nRecords * sizeof(NpcStateRecord) <= CEffectManager::kBlockSize);
    // The block's size is checked once for its 40,000 words.
    if (block.size() != CEffectManager::kBlockSize) return in.Fail("scene state block of the wrong size");
    const std::uint8_t* pRecords = block.data() + CEffectManager::kNpcRecordsOffset;
    for (std::size_t i = 0; i < nRecords; ++i) {
        const std::uint8_t* pRecord = pRecords + i * sizeof(NpcStateRecord);
        const std::int32_t x = LittleI32(pRecord + offsetof(NpcStateRecord, nMapX));
        const std::int32_t y = LittleI32(pRecord + offsetof(NpcStateRecord, nMapY));
        if (IsMapPosition(x) && IsMapPosition(y)) continue;
        const bool bX = !IsMapPosition(x);
        char szWhat[160];
        std::snprintf(szWhat, sizeof szWhat, "character %zu of scene %zu: map %s %d at offset %zu is outside the map",
                      i % kStateEntries, i / kStateEntries, bX ? "x" : "y", int(bX ? x : y),
                      nBlockStart + CEffectManager::kNpcRecordsOffset + i * sizeof(NpcStateRecord) +
                          (bX ? offsetof(NpcStateRecord, nMapX) : offsetof(NpcStateRecord, nMapY)));
        return in.Fail(szWhat);
    }
    return true;
}

bool ReadRecord(CByteReader& in, int nSlot, std::unique_ptr<HeroRecord>* ppRecord) {
    auto pRecord = std::make_unique<HeroRecord>();
    if (!ReadSlotRecord(in, nSlot, pRecord.get())) return false;
    *ppRecord = std::move(pRecord);
    return true;
}

bool ReadGround(CByteReader& in, SaveGameFile* f) {
    std::int32_t nCount = 0;
    if (!in.ReadI32(&nCount) || !in.CheckCount(nCount, kSaveGroundRecordBytes, "ground item")) return false;
    f->ground.resize(std::size_t(nCount));
    for (std::size_t i = 0; i < f->ground.size(); ++i) {
        SaveGroundRecord& r = f->ground[i];
        in.SetRecord(std::int64_t(i));
        in.ReadI32(&r.nItem);
        in.ReadI32(&r.nCount);
        in.ReadI32(&r.nSlot);
        in.ReadI32(&r.x);
        in.ReadI32(&r.y);
    }
    return !in.Failed();
}

bool ReadBank(CByteReader& in, SaveGameFile* f) {
    // Files written before the bank was saved end with the ground items.
    if (in.AtEnd()) return true;
    char tag[4] = {};
    if (!in.ReadBytes(tag, 4)) return false;
    if (std::memcmp(tag, kSaveBankTag, 4) != 0) return in.Fail("no bank tag where the file should end");
    if (!in.ReadI32(&f->nBankMoney)) return false;
    if (f->nBankMoney < 0) return Refuse(in, "bank balance %d is negative", f->nBankMoney);
    f->bHasBank = true;
    return in.AtEnd() || in.Fail("bytes after the end of the game");
}

}  // namespace

bool CheckPartyId(CByteReader& in, int nSlot, std::int32_t nId) {
    if (nId == -1 || nId == nSlot) return true;
    return Refuse(in, "party id %d is neither -1 nor the slot number", nId);
}

bool ReadSlotRecord(CByteReader& in, int nSlot, HeroRecord* pRecord) {
    if (!ParseHeroRecord(in, pRecord)) return false;
    if (pRecord->nMember == nSlot) return true;
    return Refuse(in, "record of member %d in another member's place", pRecord->nMember);
}

int SaveGameFile::CompanionSlot() const {
    if (nCompanion < 1 || nCompanion > 4) return -1;
    return nPartyIds[nCompanion - 1] >= 0 ? nCompanion - 1 : -1;
}

std::string SaveFileName(int nSlot) {
    char szName[32];
    std::snprintf(szName, sizeof szName, "save\\save%03d.sav", nSlot);
    return szName;
}

std::string SaveText(const char (&text)[kSaveTextBytes]) {
    return std::string(text, strnlen(text, kSaveTextBytes));
}

bool ParseSaveFile(const std::uint8_t* pData, std::size_t nSize, const std::string& strName, SaveGameFile* pOut,
                   std::string* pError) {
    CByteReader in(pData, nSize, strName);
    auto pFile = std::make_unique<SaveGameFile>();
    SaveGameFile* f = pFile.get();
    bool bOk = Block(in, f, "header", [&] { return ReadHeader(in, f); });
    bOk = bOk && Block(in, f, "scene state block", [&] {
        const std::size_t nStart = in.Position();
        if (!in.CheckCount(1, CEffectManager::kBlockSize, "scene state block")) return false;
        f->effectBlock.assign(pData + nStart, pData + nStart + CEffectManager::kBlockSize);
        return in.Skip(CEffectManager::kBlockSize) && CheckNpcPositions(in, f->effectBlock, nStart);
    });
    bOk = bOk && Block(in, f, "toolbar block", [&] { return ParseToolBarState(in, true, &f->toolBar); });
    const int nActive = f->ActiveSlot();
    if (bOk && f->nPartyIds[nActive] < 0) bOk = Refuse(in, "the controlled hero's slot %d holds no member", nActive);
    bOk = bOk && Block(in, f, "controlled hero record", [&] { return ReadRecord(in, nActive, &f->pHero); });
    for (int i = 0; i < 4 && bOk; ++i) {
        if (f->nPartyIds[i] < 0 || i == nActive) continue;
        const std::string strBlock = "record of party slot " + std::to_string(i);
        bOk = Block(in, f, strBlock.c_str(), [&] { return ReadRecord(in, i, &f->pMembers[i]); });
    }
    bOk = bOk && Block(in, f, "companion", [&] {
        if (!in.ReadI32(&f->nCompanion)) return false;
        // -1 (no one has joined yet), 0 and a number whose slot is empty all mean no
        // companion; no game writes anything outside -1..4.
        if (f->nCompanion < -1 || f->nCompanion > 4) return Refuse(in, "companion %d outside -1..4", f->nCompanion);
        return true;
    });
    bOk = bOk && Block(in, f, "event flags", [&] {
        if (!in.CheckCount(1, kSaveFlagBytes, "event flag tables")) return false;
        f->flagsB.resize(200 * 100);
        f->flagsA.resize(200 * 100);
        for (std::size_t s = 0; s < 200; ++s) {
            in.ReadI32s(&f->flagsB[s * 100], 100);
            in.ReadI32s(&f->flagsA[s * 100], 100);
        }
        return !in.Failed();
    });
    bOk = bOk && Block(in, f, "ground items", [&] { return ReadGround(in, f); });
    bOk = bOk && Block(in, f, "bank", [&] { return ReadBank(in, f); });
    if (!bOk) {
        if (pError) *pError = in.Failed() ? in.Error() : strName + ": damaged";
        return false;
    }
    *pOut = std::move(*pFile);
    return true;
}
