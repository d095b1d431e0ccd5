#include "world/EffectManager.h"

#include <cstring>
#include <memory>

#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "platform/Stream.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"

// The tables as the save block holds them, for reading a block aside before it is
// taken over.
struct CEffectManager::Tables {
    std::uint8_t EventStates[kStateScenes][kStateEntries];
    NpcStateRecord NpcStates[kStateScenes][kStateEntries];
    std::uint8_t ObjectTaken[kStateScenes][kStateEntries];
    std::int32_t ShopStock[kStockShops][kStockItems];
    std::int32_t EventRuns[kStateScenes][kStateEntries];
};

namespace {

int EffectCount() { return pBitmapData ? pBitmapData->GetEffectCount() : 0; }

bool IsEffect(int nEffect) { return nEffect >= 0 && nEffect < EffectCount(); }

bool IsStateEntry(int nScene, int nId) {
    return nScene >= 0 && nScene < kStateScenes && nId >= 0 && nId < kStateEntries;
}

// Where a scene or area effect is drawn relative to the point it is given.
POINT SceneEffectOffset(int nEffect) {
    switch (nEffect) {
        case 1: return {0, -100};
        case 2: return {88, -290};
        case 3: return {70, -420};
        case 4: return {-10, 0};
        case 5: return {60, -200};
        case 20: return {-70, -50};
        case 42: return {-90, -190};
        default: break;
    }
    if (nEffect >= 12 && nEffect <= 19) return {50, -200};
    return {0, 0};
}

void WriteRecord(CByteWriter& writer, const NpcStateRecord& rec) {
    writer.WriteBytes(rec.nUnused, sizeof rec.nUnused);
    writer.WriteI32(rec.nMapX);
    writer.WriteI32(rec.nMapY);
    writer.WriteI32(rec.nLife);
    writer.WriteU8(std::uint8_t(rec.nDirection));
    writer.WriteU8(std::uint8_t(rec.nDisplay));
    writer.WriteBytes(rec.nPad, sizeof rec.nPad);
}

bool ReadRecord(CByteReader& reader, NpcStateRecord* pRec) {
    std::uint8_t nDirection = 0, nDisplay = 0;
    reader.ReadBytes(pRec->nUnused, sizeof pRec->nUnused);
    reader.ReadI32(&pRec->nMapX);
    reader.ReadI32(&pRec->nMapY);
    reader.ReadI32(&pRec->nLife);
    reader.ReadU8(&nDirection);
    reader.ReadU8(&nDisplay);
    reader.ReadBytes(pRec->nPad, sizeof pRec->nPad);
    pRec->nDirection = std::int8_t(nDirection);
    pRec->nDisplay = std::int8_t(nDisplay);
    return !reader.Failed();
}

void WriteWords(CByteWriter& writer, const std::int32_t* pWords, size_t nCount) {
    for (size_t i = 0; i < nCount; ++i) writer.WriteI32(pWords[i]);
}

bool ReadWords(CByteReader& reader, std::int32_t* pWords, size_t nCount) {
    for (size_t i = 0; i < nCount && !reader.Failed(); ++i) {
        reader.SetRecord(std::int64_t(i));
        reader.ReadI32(&pWords[i]);
    }
    return !reader.Failed();
}

}  // namespace

CEffectManager::CEffectManager() {
    std::memset(NpcStates, 0xFF, sizeof NpcStates);
    std::memset(EventStates, 0, sizeof EventStates);
    std::memset(ObjectTaken, 0, sizeof ObjectTaken);
    for (auto& row : EventRuns)
        for (std::int32_t& n : row) n = -1;
    std::memset(ShopStock, 0, sizeof ShopStock);
}

CEffectManager::~CEffectManager() { ClearEffects(); }

void CEffectManager::Link(CEffectAnim* pNode) {
    pNode->Start();
    pNode->InsertAfter(&m_head);
}

bool CEffectManager::AddEffect(int nSkill, int nAttacker, int nTarget, int x, int y, BOOL bWithAttack) {
    const SkillRow* pRow = pGameData ? pGameData->GetSkill(nSkill) : nullptr;
    if (!pRow) return false;
    // A negative picture number shows the first effect.
    const int nEffect = pRow->nPicNo < 0 ? 0 : pRow->nPicNo;
    if (!IsEffect(nEffect)) return false;
    auto pNode = std::make_unique<CEffectAnim>();
    pNode->m_nSkill = nSkill;
    pNode->m_nEffect = nEffect;
    pNode->m_ptPos = POINT{x, y};
    pNode->m_nAttack = bWithAttack ? pRow->nAttack : 0;
    pNode->m_nExtra = 0;
    pNode->m_nAttacker = nAttacker;
    pNode->m_nTarget = nTarget;
    pNode->SetSkillName(pRow->pName);
    Link(pNode.release());
    return true;
}

bool CEffectManager::AddScriptEffect(int n) {
    // Package effects 12 and 13 are never chosen by scripts.
    const int nEffect = n < 13 ? n - 1 : n + 1;
    if (!IsEffect(nEffect)) return false;
    auto pNode = std::make_unique<CEffectAnim>();
    pNode->m_nSkill = n;
    pNode->m_nEffect = nEffect;
    pNode->m_bScript = true;
    const SkillRow* pRow = pGameData ? pGameData->GetSkill(n) : nullptr;
    if (pRow) pNode->SetSkillName(pRow->pName);
    Link(pNode.release());
    return true;
}

bool CEffectManager::IsScriptEffectRunning() const {
    for (const CEffectAnim* p = First(); p; p = p->m_pNext)
        if (p->m_bScript) return true;
    return false;
}

bool CEffectManager::Add45Effect(int nEffect, int x, int y) {
    if (!IsEffect(nEffect)) return false;
    auto pNode = std::make_unique<CEffectAnim>();
    pNode->m_nSkill = nEffect;
    pNode->m_nEffect = nEffect;
    const POINT ptOffset = SceneEffectOffset(nEffect);
    pNode->m_ptPos = POINT{x + ptOffset.x, y + ptOffset.y};
    Link(pNode.release());
    return true;
}

NpcStateRecord* CEffectManager::GetNpcState(int nScene, int nId) {
    return IsStateEntry(nScene, nId) ? &NpcStates[nScene][nId] : nullptr;
}

void CEffectManager::SetObjectFlag(int nScene, int nId) {
    NpcStateRecord* pRec = GetNpcState(nScene, nId);
    if (!pRec) return;
    pRec->nDisplay = pRec->nDisplay == -1 ? kNpcHidden : std::int8_t(pRec->nDisplay | kNpcHidden);
    if (pMouse && pMouse->m_nShape != 0) {
        pMouse->SetShape(0);
        EffectSceneLink().ClearHoverActor();
    }
}

void CEffectManager::ClearObjectFlag(int nScene, int nId) {
    NpcStateRecord* pRec = GetNpcState(nScene, nId);
    if (pRec) pRec->nDisplay = kNpcShown;
}

void CEffectManager::Save(CByteWriter& writer) const {
    writer.WriteBytes(EventStates, sizeof EventStates);
    for (const auto& row : NpcStates)
        for (const NpcStateRecord& rec : row) WriteRecord(writer, rec);
    writer.WriteBytes(ObjectTaken, sizeof ObjectTaken);
    WriteWords(writer, &ShopStock[0][0], size_t(kStockShops) * kStockItems);
    WriteWords(writer, &EventRuns[0][0], size_t(kStateScenes) * kStateEntries);
}

bool CEffectManager::Load(CByteReader& reader) {
    auto pTables = std::make_unique<Tables>();
    const size_t nEntries = size_t(kStateScenes) * kStateEntries;
    reader.SetContext("scene state block: event states");
    bool bOk = reader.ReadBytes(pTables->EventStates, sizeof pTables->EventStates);
    reader.SetContext("scene state block: character records");
    for (size_t i = 0; i < nEntries && bOk; ++i) {
        reader.SetRecord(std::int64_t(i));
        bOk = ReadRecord(reader, &pTables->NpcStates[i / kStateEntries][i % kStateEntries]);
    }
    reader.SetContext("scene state block: object bytes");
    bOk = bOk && reader.ReadBytes(pTables->ObjectTaken, sizeof pTables->ObjectTaken);
    reader.SetContext("scene state block: shop stock");
    bOk = bOk && ReadWords(reader, &pTables->ShopStock[0][0], size_t(kStockShops) * kStockItems);
    reader.SetContext("scene state block: event run counters");
    bOk = bOk && ReadWords(reader, &pTables->EventRuns[0][0], nEntries);
    if (!bOk) {
        m_strError = reader.Error();
        return false;
    }
    std::memcpy(EventStates, pTables->EventStates, sizeof EventStates);
    std::memcpy(NpcStates, pTables->NpcStates, sizeof NpcStates);
    std::memcpy(ObjectTaken, pTables->ObjectTaken, sizeof ObjectTaken);
    std::memcpy(ShopStock, pTables->ShopStock, sizeof ShopStock);
    std::memcpy(EventRuns, pTables->EventRuns, sizeof EventRuns);
    m_strError.clear();
    return true;
}

int CEffectManager::GetEffectCount() const {
    int n = 0;
    for (const CEffectAnim* p = First(); p; p = p->m_pNext) ++n;
    return n;
}

void CEffectManager::ClearEffects() {
    while (m_head.m_pNext) m_head.m_pNext->Unlink();
}

bool UpdateEffectList(CEffectManager* pManager) {
    if (!pManager) return false;
    bool bFinished = false;
    for (CEffectAnim* p = pManager->First(); p;) {
        CEffectAnim* pNext = p->m_pNext;
        p->Draw();
        if (!p->Advance()) {
            p->Unlink();
            bFinished = true;
        }
        p = pNext;
    }
    return bFinished && !pManager->First();
}
