// Saving and loading a game through the main window. A save is built in memory, checked
// by the same parser a load uses, and only then written (atomically) over the slot. A
// load reads and checks the whole file, the scene's map included, before it changes
// anything; a refused load leaves the running game as it was.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/GameData.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Resources.h"
#include "platform/Stream.h"
#include "shell/FrameLinks.h"
#include "shell/HeroLink.h"
#include "shell/MainFrame.h"
#include "shell/Mouse.h"
#include "shell/SaveGameFile.h"
#include "shell/SceneLink.h"
#include "shell/ShellGlobals.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/EffectManager.h"
#include "world/MapFile.h"
#include "world/Player.h"
#include "world/Scene.h"

namespace {

constexpr size_t kSaveFileLimit = size_t(64) << 20;
constexpr size_t kMapFileLimit = size_t(512) << 20;
constexpr int kLoadFadeMs = 1000;
constexpr UINT kDateString = 74;

void SetError(std::string* pError, const std::string& strWhy) {
    if (pError) *pError = strWhy;
}

void WriteText16(CByteWriter& out, const char* pszText) {
    char field[kSaveTextBytes] = {};
    CopyTextBounded(field, int(kSaveTextBytes), pszText);
    out.WriteBytes(field, kSaveTextBytes);
}

void WriteDateAndClock(CByteWriter& out) {
    const LocalDateTime now = GetLocalDateTime();
    char szFormat[64] = {};
    if (LoadString(kDateString, szFormat, int(sizeof szFormat)) == 0) std::strcpy(szFormat, " %d-%d-%d");
    char szText[64];
    std::snprintf(szText, sizeof szText, szFormat, now.nYear, now.nMonth, now.nDay);
    WriteText16(out, szText);
    std::snprintf(szText, sizeof szText, "Time:%02d:%02d:%02d", now.nHour, now.nMinute, now.nSecond);
    WriteText16(out, szText);
}

// The scene and the toolbar drawn again, the back buffer shrunk to 120 x 90, its rows
// copied by the surface's pitch. Black when there is no screen.
void WriteThumbnail(CByteWriter& out, CGameToolBar* pBar, DWORD dwMemory) {
    std::vector<std::uint8_t> pixels(kSaveThumbBytes, 0);
    if (pScene) pScene->DrawObjectsAgain();
    if (pBar) pBar->DrawToolBarOnly();
    CDXSurface thumb;
    if (pScreen && pBack && thumb.Create(pScreen, kSaveThumbWidth, kSaveThumbHeight, dwMemory) >= 0) {
        pBack->BlitStretched(&thumb, 0, 0, nullptr, kSaveThumbWidth, kSaveThumbHeight);
        if (thumb.Lock() >= 0) {
            const BYTE* pBits = thumb.GetLockedBits();
            const size_t nRow = size_t(kSaveThumbWidth) * 2;
            if (pBits && thumb.GetPitch() >= int(nRow))
                for (int y = 0; y < kSaveThumbHeight; ++y)
                    std::memcpy(&pixels[size_t(y) * nRow], pBits + size_t(y) * size_t(thumb.GetPitch()), nRow);
            thumb.Unlock();
        }
    }
    out.WriteBytes(pixels.data(), pixels.size());
}

// An item on the cursor is off the hero's count: it goes back into the bag, or onto
// the ground at the hero's feet when the bag is full, or, when the ground takes it
// neither, back onto the count without a bag cell, so a save never loses it.
void PutBackCarriedItem(CGameToolBar* pBar) {
    if (!pMouse || pMouse->m_nCarriedItem < 0 || !pPlayer) return;
    const int nItem = pMouse->m_nCarriedItem;
    const bool bInBag = pBar && pBar->PutItemInBag(nItem);
    const bool bOnGround = !bInBag && pScene && pScene->DropItemOnGround(nItem, pPlayer->ptPos.x, pPlayer->ptPos.y, 0);
    if (!bOnGround) pPlayer->AddItem(nItem);
    pMouse->m_nCarriedItem = -1;
}

void ClearBagTables() {
    if (!pGameData) return;
    for (int nItem = 0; nItem < pGameData->nItemCount; ++nItem)
        if (ItemRow* pRow = pGameData->GetItem(nItem))
            for (auto& cells : pRow->nBagCell) std::fill(std::begin(cells), std::end(cells), -1);
}

bool CheckSceneMap(int nScene, std::string* pError) {
    char szName[64];
    std::snprintf(szName, sizeof szName, "map\\scene%03d.map", nScene);
    std::vector<std::uint8_t> bytes;
    std::string strWhy;
    auto pMap = std::make_unique<MapFileData>();
    if (!ReadWholeFile(szName, kMapFileLimit, &bytes, &strWhy) || !ReadMapFile(bytes, szName, pMap.get(), &strWhy)) {
        SetError(pError, "the saved scene " + std::to_string(nScene) + " cannot be built: " + strWhy);
        return false;
    }
    return true;
}

// The ground items of the file as the new scene's block: no more records than the
// scene has cells (the scene skips records that do not fit its cells).
void LoadGroundItems(const SaveGameFile& file) {
    if (!pScene) return;
    const size_t nCount = std::min(file.ground.size(), size_t(std::max(pScene->nCellCount, 0)));
    CByteWriter block;
    block.WriteI32(std::int32_t(nCount));
    for (size_t i = 0; i < nCount; ++i) {
        const SaveGroundRecord& r = file.ground[i];
        for (std::int32_t n : {r.nItem, r.nCount, r.nSlot, r.x, r.y}) block.WriteI32(n);
    }
    CByteReader in(block.Bytes(), "ground items");
    std::string strWhy;
    if (!pScene->LoadGroundItems(in, &strWhy)) std::fprintf(stderr, "load: %s\n", strWhy.c_str());
}

}  // namespace

bool CMainFrame::BuildSaveFile(std::vector<std::uint8_t>* pBytes, std::string* pError) {
    CGameToolBar* pBar = PanelLink().GetToolBar();
    if (!pPlayer || !pScene || !pEffectManager || !pBar || !m_pEventFlagsA || !m_pEventFlagsB) {
        SetError(pError, "no game is running");
        return false;
    }
    PutBackCarriedItem(pBar);
    const int nActive = pBar->m_nHero - 1;
    CByteWriter out;
    WriteDateAndClock(out);
    out.WriteI32(m_nPartyCount);
    // A slot whose member is gone is saved empty, so the records that follow match.
    std::int32_t nIds[4];
    for (int i = 0; i < 4; ++i) nIds[i] = m_nPartyIds[i] >= 0 && pParty[i] ? m_nPartyIds[i] : -1;
    for (std::int32_t n : nIds) out.WriteI32(n);
    out.WriteI32(pPlayer->nSculpt);
    WriteThumbnail(out, pBar, DWORD(m_nScreenMode));
    out.WriteI32(m_nCurrentScene);
    out.WriteU8(m_bStorySaved);
    pEffectManager->Save(out);
    SaveToolBarState(*pBar, out, true);
    pPlayer->WriteRecord(out);
    for (int i = 0; i < 4; ++i)
        if (nIds[i] >= 0 && i != nActive) pParty[i]->WriteRecord(out);
    const int nCompanion = pBar->m_nCompanion;
    const bool bCompanion = pCompanion && nCompanion >= 1 && nCompanion <= 4 && nIds[nCompanion - 1] >= 0;
    out.WriteI32(bCompanion ? nCompanion : 0);
    for (int s = 0; s < kSceneTableCount; ++s) {
        for (int k = 0; k < kSceneFlagCount; ++k) out.WriteI32(m_pEventFlagsB[s][k]);
        for (int k = 0; k < kSceneFlagCount; ++k) out.WriteI32(m_pEventFlagsA[s][k]);
    }
    pScene->SaveGroundItems(out);
    out.WriteBytes(kSaveBankTag, sizeof kSaveBankTag);
    out.WriteI32(m_nBankMoney);
    *pBytes = out.TakeBytes();
    return true;
}

bool CMainFrame::SaveGame(int nSlot, std::string* pError) {
    if (nSlot < 0 || nSlot >= kSaveSlotCount) {
        SetError(pError, "no save slot " + std::to_string(nSlot));
        return false;
    }
    std::vector<std::uint8_t> bytes;
    if (!BuildSaveFile(&bytes, pError)) return false;
    // What cannot be loaded again is not written over a good save.
    const std::string strName = SaveFileName(nSlot);
    auto pCheck = std::make_unique<SaveGameFile>();
    if (!ParseSaveFile(bytes, strName, pCheck.get(), pError)) return false;
    SetGameFolderCurrent();
    if (!MakeDirectory("save")) {
        SetError(pError, "cannot make the folder \"save\"");
        return false;
    }
    return WriteFileAtomic(strName.c_str(), bytes, pError);
}

bool CMainFrame::LoadGame(int nSlot, std::string* pError) {
    if (nSlot < 0 || nSlot >= kSaveSlotCount) {
        SetError(pError, "no save slot " + std::to_string(nSlot));
        return false;
    }
    SetGameFolderCurrent();
    const std::string strName = SaveFileName(nSlot);
    std::vector<std::uint8_t> bytes;
    auto pFile = std::make_unique<SaveGameFile>();
    if (!ReadWholeFile(strName.c_str(), kSaveFileLimit, &bytes, pError) ||
        !ParseSaveFile(bytes, strName, pFile.get(), pError) || !CheckSceneMap(pFile->nScene, pError))
        return false;
    if (!m_pEventFlagsA || !m_pEventFlagsB) {
        SetError(pError, "the game's tables are not set up");
        return false;
    }
    if (ApplySaveFile(*pFile)) return true;
    SetError(pError, "the saved scene " + std::to_string(pFile->nScene) + " cannot be entered");
    return false;
}

bool CMainFrame::ApplySaveFile(const SaveGameFile& file) {
    if (pScreen) pScreen->FadeOut(kLoadFadeMs);
    m_bLoading = 1;
    InstallSceneLinks();
    CPanelLink& panels = PanelLink();
    // The count follows the ids: a file saved while the count had gone stale still
    // loads a party that adds up.
    m_nPartyCount = PartyCountOf(file.nPartyIds);
    std::copy(std::begin(file.nPartyIds), std::end(file.nPartyIds), m_nPartyIds);
    m_nCurrentScene = file.nScene;
    m_bStorySaved = file.bStoryFlag;
    panels.SetPartyCount(m_nPartyCount);

    DeleteHeroes();
    CMapLink& map = MapLink();
    // The scene left behind records its characters now, into the tables the load then
    // replaces; the scene change below finds no scene to leave.
    if (pScene) {
        map.ReviveNpcs();
        delete pScene;
        pScene = nullptr;
    }
    if (!pEffectManager) map.CreateEffectManager();
    // The effects go, and with them whatever waited on them.
    ClearScriptWaits();
    if (pEffectManager) {
        pEffectManager->ClearEffects();
        CByteReader effects(file.effectBlock, "scene state block");
        pEffectManager->Load(effects);
    }
    CGameToolBar* pBar = panels.GetToolBar();
    if (pBar) ApplyToolBarState(*pBar, file.toolBar, true);
    panels.SetActiveSlot(file.toolBar.nHero);
    // The bag tables of the game left behind go only now, when the load cannot fail.
    ClearBagTables();
    if (pMouse) pMouse->m_nCarriedItem = -1;

    const int nActive = file.ActiveSlot();
    pPlayer = new CPlayer;
    pPlayer->nSculpt = file.pHero->nSculpt;
    pPlayer->Init(-1, false, nActive);
    pPlayer->RefreshPartyMembers();
    pPlayer->ApplyRecord(*file.pHero);
    pPlayer->OnLoaded();
    CToolBarHost& skills = ToolBarHost();
    for (int i = 0; i < 4; ++i) {
        if (file.nPartyIds[i] < 0) continue;
        AddPartyMember(i);
        if (i == nActive || !pParty[i]) continue;
        const HeroRecord& record = *file.pMembers[i];
        ApplyMemberRecord(*pParty[i], i, record);
        if (record.nSelectedSkill >= 0) skills.SelectSkill(pParty[i], record.nSelectedSkill);
    }
    CopyPartyMember(nActive);
    if (pPlayer->nSelectedSkill >= 0) skills.SelectSkill(pPlayer, pPlayer->nSelectedSkill);
    // A companion word that names no member (-1 before anyone joined, or a slot left
    // empty) loads as no companion.
    const int nCompanionSlot = file.CompanionSlot();
    pCompanion = nCompanionSlot >= 0 ? pParty[nCompanionSlot] : nullptr;
    if (pBar) pBar->m_nCompanion = pCompanion ? nCompanionSlot + 1 : -1;
    for (int s = 0; s < kSceneTableCount; ++s)
        for (int k = 0; k < kSceneFlagCount; ++k) {
            m_pEventFlagsB[s][k] = file.flagsB[size_t(s) * kSceneFlagCount + size_t(k)];
            m_pEventFlagsA[s][k] = file.flagsA[size_t(s) * kSceneFlagCount + size_t(k)];
        }
    m_nBankMoney = file.nBankMoney;

    // The loading flag keeps the members where their records put them.
    if (!ChangeScene(file.nScene, 0, -1)) {
        m_bLoading = 0;
        return false;
    }
    LoadGroundItems(file);
    if (pScene) pScene->ReviveDeadNpcs();
    if (pPlayer) {
        pPlayer->ptGoal = pPlayer->ptNextWaypoint = pPlayer->ptPos;
        pPlayer->ClearPath();
        pPlayer->nAction = 0;
        pPlayer->StopAndSnap();
    }
    if (pBar) pBar->ReloadForHero();
    m_bLoading = 0;
    return true;
}
