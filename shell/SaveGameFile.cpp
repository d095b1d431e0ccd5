#include "shell/SaveGameFile.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "platform/Stream.h"
#include "world/EffectManager.h"
#include "world/MapFile.h"

namespace {

// Fails the reader with "FIELD VALUE at offset N WHY".
bool RefuseField(CByteReader& in, const char* pszField, std::int64_t nValue, std::size_t nAt,
                 const std::string& strWhy) {
    return in.Fail(std::string(pszField) + " " + std::to_string(nValue) + " at offset " + std::to_string(nAt) + " " +
                   strWhy);
}

// The offset of the word just read.
std::size_t LastWord(const CByteReader& in) { return in.Position() - sizeof(std::int32_t); }

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
    if (!in.ReadI32(&f->nPartyCount)) return false;
    if (f->nPartyCount < 1 || f->nPartyCount > 4)
        return RefuseField(in, "party count", f->nPartyCount, kSaveCountOffset, "is outside 1..4");
    for (int i = 0; i < 4; ++i)
        if (!in.ReadI32(&f->nPartyIds[i]) || !CheckPartyId(in, i, f->nPartyIds[i])) return false;
    in.ReadI32(&f->nSculpt);
    f->thumbnail.resize(kSaveThumbBytes);
    in.ReadBytes(f->thumbnail.data(), kSaveThumbBytes);
    if (!in.ReadI32(&f->nScene)) return false;
    if (f->nScene < 0 || f->nScene > 199)
        return RefuseField(in, "scene", f->nScene, kSaveSceneOffset, "is outside 0..199");
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

bool ReadRecord(CByteReader& in, int nSlot, std::size_t nBytesAfter, std::unique_ptr<HeroRecord>* ppRecord) {
    auto pRecord = std::make_unique<HeroRecord>();
    if (!ReadSlotRecord(in, nSlot, pRecord.get(), nBytesAfter)) return false;
    *ppRecord = std::move(pRecord);
    return true;
}

bool ReadGround(CByteReader& in, SaveGameFile* f) {
    std::int32_t nCount = 0;
    if (!in.ReadI32(&nCount)) return false;
    if (nCount < 0) return RefuseField(in, "ground item count", nCount, LastWord(in), "is negative");
    if (!in.CheckCount(nCount, kSaveGroundRecordBytes, "ground item")) return false;
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
    const std::size_t nTagAt = in.Position();
    char tag[4] = {};
    if (!in.ReadBytes(tag, 4)) return false;
    if (std::memcmp(tag, kSaveBankTag, 4) != 0) {
        char szWhat[96];
        std::snprintf(szWhat, sizeof szWhat, "bank tag %02X %02X %02X %02X at offset %zu is not \"BANK\"",
                      unsigned(std::uint8_t(tag[0])), unsigned(std::uint8_t(tag[1])), unsigned(std::uint8_t(tag[2])),
                      unsigned(std::uint8_t(tag[3])), nTagAt);
        return in.Fail(szWhat);
    }
    if (!in.ReadI32(&f->nBankMoney)) return false;
    if (f->nBankMoney < 0) return RefuseField(in, "bank balance", f->nBankMoney, LastWord(in), "is negative");
    f->bHasBank = true;
    if (in.AtEnd()) return true;
    return in.Fail(std::to_string(in.Remaining()) + (in.Remaining() == 1 ? " byte" : " bytes") +
                   " after the end of the game at offset " + std::to_string(in.Position()));
}

}  // namespace

bool CheckPartyId(CByteReader& in, int nSlot, std::int32_t nId) {
    if (nId == -1 || nId == nSlot) return true;
    return RefuseField(in, "party id", nId, LastWord(in), "is neither -1 nor the slot number " + std::to_string(nSlot));
}

bool ReadSlotRecord(CByteReader& in, int nSlot, HeroRecord* pRecord, std::size_t nBytesAfter) {
    const std::size_t nStart = in.Position();
    if (!ParseHeroRecord(in, pRecord, nBytesAfter)) return false;
    if (pRecord->nMember == nSlot) return true;
    return RefuseField(in, "member", pRecord->nMember, nStart + kHeroMemberOffset,
                       "is not the member of party slot " + std::to_string(nSlot));
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
    if (bOk && f->nPartyIds[nActive] < 0) {
        const std::size_t nToolBar = f->blocks.back().nOffset;
        bOk = RefuseField(in, "hero number", f->toolBar.nHero, nToolBar,
                          "names party slot " + std::to_string(nActive) + ", whose party id at offset " +
                              std::to_string(kSaveIdsOffset + 4 * std::size_t(nActive)) + " is -1");
    }
    // What follows the records at the least: each record still to come, the companion,
    // the flag tables and the ground-item count.
    int nRecords = 0;
    for (int i = 0; i < 4; ++i) nRecords += f->nPartyIds[i] >= 0 ? 1 : 0;
    auto bytesAfter = [&](int nRead) {
        return HeroRecordSize(0) * std::size_t(nRecords - nRead) + 4 + kSaveFlagBytes + 4;
    };
    int nRead = 1;
    bOk = bOk && Block(in, f, "controlled hero record",
                       [&] { return ReadRecord(in, nActive, bytesAfter(nRead), &f->pHero); });
    for (int i = 0; i < 4 && bOk; ++i) {
        if (f->nPartyIds[i] < 0 || i == nActive) continue;
        const std::string strBlock = "record of party slot " + std::to_string(i);
        ++nRead;
        bOk = Block(in, f, strBlock.c_str(), [&] { return ReadRecord(in, i, bytesAfter(nRead), &f->pMembers[i]); });
    }
    bOk = bOk && Block(in, f, "companion", [&] {
        if (!in.ReadI32(&f->nCompanion)) return false;
        // -1 (no one has joined yet), 0 and a number whose slot is empty all mean no
        // companion; no game writes anything outside -1..4.
        if (f->nCompanion < -1 || f->nCompanion > 4)
            return RefuseField(in, "companion", f->nCompanion, LastWord(in), "is outside -1..4");
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
