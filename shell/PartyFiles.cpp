// The party files of the event scripts, in the folder "save": the parked party
// ("SaveTemp%d.sav": scene, active slot + 1, four party ids, then a hero record for
// each slot whose id is 0 or more) and one member's record ("SavePlayer%d.sav", read
// back before the member's initial "InitPlayer%d.sav"). Files are read whole and
// checked before anything changes, and written through a temporary file.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gamedata/DebugLog.h"
#include "gamedata/GameData.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "shell/FrameLinks.h"
#include "shell/HeroLink.h"
#include "shell/MainFrame.h"
#include "shell/SaveGameFile.h"
#include "shell/ShellGlobals.h"
#include "ui/toolbar/GameToolBar.h"
#include "world/Player.h"
#include "world/PlayerRecord.h"
#include "world/Scene.h"

namespace {

constexpr size_t kPartyFileLimit = 4 * 1024 * 1024;

std::string SaveName(const char* pszFormat, int n) {
    char szName[64];
    std::snprintf(szName, sizeof szName, pszFormat, n);
    return szName;
}

bool MakeSaveFolder(std::string* pError) {
    SetGameFolderCurrent();
    if (DirectoryExists("save") || MakeDirectory("save")) return true;
    *pError = "save: the folder cannot be made";
    return false;
}

// A party file that is there but cannot be taken is said once for each file and
// reason in a run: the script that reads it may run again and again.
void ReportPartyFile(const std::string& strError) { ReportFileProblem("party file: " + strError); }

// The record of member nMember from a file: false (nothing read) when the file is
// missing, or with the reader's message (also said on stderr) when it is damaged or
// holds another member.
bool ReadMemberFile(const std::string& strName, int nMember, HeroRecord* pRecord, std::string* pError) {
    if (!FileExists(strName.c_str())) return false;
    std::vector<std::uint8_t> bytes;
    bool bRead = ReadWholeFile(strName.c_str(), kPartyFileLimit, &bytes, pError);
    if (bRead) {
        CByteReader in(bytes, strName);
        bRead = ReadSlotRecord(in, nMember, pRecord);
        if (!bRead) *pError = in.Error();
    }
    if (!bRead) ReportPartyFile(*pError);
    return bRead;
}

// Deletes every party member (the slots own them) and empties the slots.
void DropPartySlots() {
    for (CPlayer*& p : pParty) {
        if (p == pCompanion) pCompanion = nullptr;
        delete p;
        p = nullptr;
    }
    if (pPlayer) pPlayer->RefreshPartyMembers();
}

// The controlled hero becomes the member read into nSlot. With bPark he is parked in
// his own slot first (SwitchHero); otherwise no slot counts as his while he is taken,
// so he takes the record even when it is his own slot's and overwrites none.
void TakeHeroFromSlot(int nSlot, bool bPark) {
    if (bPark) {
        SwitchHero(nSlot);
        return;
    }
    CPanelLink& panels = PanelLink();
    const int nCurrent = panels.GetActiveSlot();
    panels.SetActiveSlot(0);
    if (!LoadHeroFromSlot(nSlot)) panels.SetActiveSlot(nCurrent);
}

// Reads and checks a whole parked-party file: the scene (0 .. the scene tables), the
// active slot + 1 (1..4, a slot with a member), the ids and a record for each id.
bool ReadParkedParty(const std::vector<std::uint8_t>& bytes, const std::string& strName, std::int32_t* pScene,
                     std::int32_t* pActive, std::int32_t (&nIds)[4], HeroRecord* pRecords, std::string* pError) {
    CByteReader in(bytes, strName);
    auto refuse = [&](const char* pszField, std::int32_t v, size_t nAt, const std::string& strWhy) {
        return in.Fail(std::string(pszField) + " " + std::to_string(v) + " at offset " + std::to_string(nAt) + " " +
                       strWhy);
    };
    bool bRead = in.ReadI32(pScene) && in.ReadI32(pActive);
    if (bRead && (*pScene < 0 || *pScene >= kSceneTableCount))
        bRead = refuse("scene", *pScene, 0, "is outside 0.." + std::to_string(kSceneTableCount - 1));
    if (bRead && (*pActive < 1 || *pActive > 4)) bRead = refuse("active slot", *pActive, 4, "is outside 1..4");
    int nRecords = 0;
    for (int i = 0; i < 4 && bRead; ++i) {
        bRead = in.ReadI32(&nIds[i]) && CheckPartyId(in, i, nIds[i]);
        nRecords += nIds[i] >= 0 ? 1 : 0;
    }
    if (bRead && nIds[*pActive - 1] < 0)
        bRead = refuse("active slot", *pActive, 4,
                       "names party slot " + std::to_string(*pActive - 1) + ", whose party id at offset " +
                           std::to_string(8 + 4 * (*pActive - 1)) + " is -1");
    for (int i = 0; i < 4 && bRead; ++i)
        if (nIds[i] >= 0) bRead = ReadSlotRecord(in, i, &pRecords[i], HeroRecordSize(0) * size_t(--nRecords));
    if (!bRead) *pError = in.Error();
    return bRead;
}

}  // namespace

bool CMainFrame::SaveTempParty(int n) {
    m_strPartyFileError.clear();
    if (!MakeSaveFolder(&m_strPartyFileError)) return false;
    const int nActive = PanelLink().GetActiveSlot();
    CByteWriter out;
    out.WriteI32(m_nCurrentScene);
    out.WriteI32(nActive);
    for (std::int32_t nId : m_nPartyIds) out.WriteI32(nId);
    for (int i = 0; i < 4; ++i) {
        if (m_nPartyIds[i] < 0) continue;
        // Every slot the ids name has a record, so the reader's count always matches.
        const CPlayer* pMember = i == nActive - 1 && pPlayer ? pPlayer : pParty[i];
        if (pMember) {
            pMember->WriteRecord(out);
        } else {
            CPlayer empty;
            empty.Init(1, true, i);
            empty.WriteRecord(out);
        }
    }
    return WriteFileAtomic(SaveName("save\\SaveTemp%d.sav", n).c_str(), out.Bytes(), &m_strPartyFileError);
}

bool CMainFrame::LoadTempParty(int n, bool bKeep) {
    m_strPartyFileError.clear();
    SetGameFolderCurrent();
    const std::string strName = SaveName("save\\SaveTemp%d.sav", n);
    std::vector<std::uint8_t> bytes;
    // A missing or damaged file changes nothing: no party is lost to it.
    const bool bThere = FileExists(strName.c_str());
    if (!ReadWholeFile(strName.c_str(), kPartyFileLimit, &bytes, &m_strPartyFileError)) {
        if (bThere) ReportPartyFile(m_strPartyFileError);
        return false;
    }
    std::int32_t nScene = 0, nActive = 0, nIds[4] = {-1, -1, -1, -1};
    auto records = std::make_unique<HeroRecord[]>(4);
    if (!ReadParkedParty(bytes, strName, &nScene, &nActive, nIds, records.get(), &m_strPartyFileError)) {
        ReportPartyFile(m_strPartyFileError);
        return false;
    }
    if (!bKeep) DropPartySlots();
    for (int i = 0; i < 4; ++i) {
        if (nIds[i] < 0) continue;
        AddPartyMember(i);
        if (pParty[i]) ApplyMemberRecord(*pParty[i], i, records[i]);
    }
    if (bKeep) {
        for (int i = 0; i < 4; ++i)
            if (pParty[i]) m_nPartyIds[i] = i;
    } else {
        for (int i = 0; i < 4; ++i) m_nPartyIds[i] = nIds[i];
    }
    // The hero left behind is parked only in a kept slot the file did not fill.
    const int nCurrent = PanelLink().GetActiveSlot() - 1;
    TakeHeroFromSlot(nActive - 1, bKeep && nCurrent >= 0 && nCurrent < 4 && nIds[nCurrent] < 0 && pParty[nCurrent]);
    RecountParty(*this);
    ChangeScene(nScene, 0, -1);
    return true;
}

int CMainFrame::RestoreParty(int nScene, int x, int y, int nMemberA, int nMemberB, int nMemberC) {
    DropPartySlots();
    for (std::int32_t& nId : m_nPartyIds) nId = -1;
    bool bFirst = true;
    for (int nNumber : {nMemberA, nMemberB, nMemberC}) {
        if (nNumber < 1 || nNumber > 4) continue;
        AddPartyMember(nNumber - 1);
        if (bFirst) LoadHeroFromSlot(nNumber - 1);
        bFirst = false;
    }
    if (pPlayer) pPlayer->SetMapPos(x, y);
    for (int i = 0; i < 4; ++i)
        if (pParty[i]) m_nPartyIds[i] = i;
    RecountParty(*this);
    ChangeScene(nScene, 0, -1);
    return 1;
}

bool CMainFrame::LoadPlayerFile(int nNumber, bool bInitial) {
    m_strPartyFileError.clear();
    if (nNumber < 1 || nNumber > 4 || pParty[nNumber - 1]) return false;
    const int nMember = nNumber - 1;
    SetGameFolderCurrent();
    auto pRecord = std::make_unique<HeroRecord>();
    bool bHave = false;
    if (!bInitial)
        bHave = ReadMemberFile(SaveName("save\\SavePlayer%d.sav", nNumber), nMember, pRecord.get(), &m_strPartyFileError);
    if (!bHave)
        bHave = ReadMemberFile(SaveName("save\\InitPlayer%d.sav", nNumber), nMember, pRecord.get(), &m_strPartyFileError);
    AddPartyMember(nMember);
    CPlayer* pMember = pParty[nMember];
    if (!pMember) return false;
    m_nPartyIds[nMember] = nMember;
    // Without a readable file the member joins with its initial values.
    if (bHave) ApplyMemberRecord(*pMember, nMember, *pRecord);

    // Beside the hero: the member's offset cell when it lies on the map and is
    // passable, else the first passable neighbour of the hero's cell, else his cell.
    if (pScene && pPlayer) {
        const POINT hero = pScene->PixelToCell(pPlayer->ptPos.x, pPlayer->ptPos.y);
        POINT cell{hero.x + m_ptPartyOffsets[nMember].x, hero.y + m_ptPartyOffsets[nMember].y};
        if (!pScene->IsCellPassable(cell.x, cell.y))
            cell = m_pToolBar ? m_pToolBar->FindNeighbourCell(hero.x, hero.y) : hero;
        const POINT pt = pScene->CellToPixel(cell.x, cell.y);
        pMember->SetMapPosAndHome(pt.x, pt.y);
        pMember->ptNextWaypoint = pt;
        pMember->ClearPath();
        pMember->StopAndSnap();
    }
    pMember->nLife = pMember->nLifeMax;
    pMember->nMana = pMember->nManaMax;
    pMember->nStamina = pMember->nStaminaMax;
    pCompanion = pMember;
    if (m_pToolBar) m_pToolBar->m_nCompanion = nNumber;
    if (pPlayer) pPlayer->RefreshPartyMembers();
    RecountParty(*this);
    return true;
}

bool CMainFrame::SavePlayerFile(int nNumber) {
    m_strPartyFileError.clear();
    if (nNumber < 1 || nNumber > 4) return false;
    CPlayer*& pMember = pParty[nNumber - 1];
    if (!pMember) return false;
    if (!MakeSaveFolder(&m_strPartyFileError)) return false;
    CByteWriter out;
    pMember->WriteRecord(out);
    // The member leaves only once its record is safely on disk.
    if (!WriteFileAtomic(SaveName("save\\SavePlayer%d.sav", nNumber).c_str(), out.Bytes(), &m_strPartyFileError))
        return false;
    m_nPartyIds[nNumber - 1] = -1;
    // Only the leaving companion is forgotten; another member stays the companion.
    if (pCompanion == pMember) {
        pCompanion = nullptr;
        if (m_pToolBar) m_pToolBar->m_nCompanion = -1;
    }
    delete pMember;
    pMember = nullptr;
    if (pPlayer) pPlayer->RefreshPartyMembers();
    RecountParty(*this);
    return true;
}
