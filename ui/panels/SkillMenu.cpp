#include "ui/panels/SkillMenu.h"

#include <cstdio>
#include <string>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "media/TgaImage.h"
#include "platform/Charset.h"
#include "platform/Text.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MenuPanel.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/Player.h"

namespace {

constexpr POINT kOrigin{400, 10};
constexpr int kLastListedSkill = 32;
constexpr int kMaxSkillLevel = 7;

const SkillRow* Skill(int n) { return pGameData ? pGameData->GetSkill(n) : nullptr; }

// Word w of the skill's level row; 0 past the row or past the table.
int SkillLevelWord(int nSkill, int nWord) {
    const SkillLevelRow* pRow = pGameData ? pGameData->GetSkillLevel(nSkill) : nullptr;
    constexpr int kWords = int(sizeof(SkillLevelRow) / sizeof(std::int32_t));
    if (!pRow || nWord < 0 || nWord >= kWords) return 0;
    const std::int32_t* pWords = &pRow->nNo;
    return pWords[nWord];
}

bool IsSkillNumber(int n) { return n >= 0 && n < kHeroSkillCount; }

}  // namespace

CSkillMenu::CSkillMenu() : CGamePanel(kOrigin.x, kOrigin.y, 340, 440) {
    LoadBackground("SkillMenu_BKGround.tga");
    m_pLeftHover.reset(LoadMenuTga("LeftArrow[s].tga"));
    m_pRightHover.reset(LoadMenuTga("RightArrow[s].tga"));
    m_pBox.reset(LoadMenuTga("SkillBox[s].tga"));
    for (int i = 0; i < 5; ++i) m_rcRows[i] = OffsetBy(RECT{215, 55 + 25 * i, 315, 79 + 25 * i}, m_ptOrigin);
    m_rcName = OffsetBy(RECT{160, 20, 310, 45}, m_ptOrigin);
    m_ptPortrait = POINT{m_ptOrigin.x + 40, m_ptOrigin.y + 40};
    static const RECT kHot[kHotCount] = {
        {45, 145, 67, 157}, {90, 145, 112, 157}, {58, 210, 93, 245}, {58, 275, 93, 310}, {58, 340, 93, 370}};
    for (int i = 0; i < kHotCount; ++i) m_rcHot[i] = OffsetBy(kHot[i], m_ptOrigin);
    m_nHover = kRightArrow;
}

CSkillMenu::~CSkillMenu() = default;

void CSkillMenu::LoadPortrait(int nMember) {
    const bool bHero = nMember == 1;
    const int n = bHero && pPlayer && ToolBarHost().UsesAlternatePortrait(pPlayer) ? 5 : nMember;
    char szName[32];
    std::snprintf(szName, sizeof szName, "CTX00%d.tga", n);
    m_pPortrait.reset(LoadMenuTga(szName));

    int* pKind = bHero ? m_nHeroKind : m_nCompanionKind;
    int nFound = 0;
    for (int i = 0; i < kSlots; ++i) pKind[i] = -1;
    for (int k = 1; k <= kLastListedSkill && nFound < kSlots; ++k) {
        const SkillRow* pRow = Skill(k);
        if (pRow && pRow->nType == nMember - 1) pKind[nFound++] = k;
    }
    int* pLearned = bHero ? m_nHeroLearned : m_nCompanionLearned;
    for (int i = 0; i < kSlots; ++i) pLearned[i] = -1;
    const CPlayer* pWho = bHero ? pPlayer : pCompanion;
    if (!pWho) return;
    nFound = 0;
    for (int k = 0; k <= kLastListedSkill && nFound < kSlots; ++k)
        if (pWho->nSkillKnown[k] > 0) pLearned[nFound++] = k;
}

CPlayer* CSkillMenu::ShownCharacter() const { return !m_bHeroShown && pCompanion ? pCompanion : pPlayer; }

void CSkillMenu::Draw() {
    if (pBack) {
        if (m_pBackground) m_pBackground->Draw(pBack, m_ptOrigin.x, m_ptOrigin.y, nullptr, 0, 0, 0, 0);
        if (m_pPortrait) m_pPortrait->Draw(pBack, m_ptPortrait.x, m_ptPortrait.y - 12, nullptr, 0, 0, 0, 0);
        if (const CPlayer* pShown = ShownCharacter()) DrawHeroNumbers(*pShown, pShown->nLevel, m_rcName, m_rcRows);
        CGameToolBar* pBar = HostToolBar();
        if (CGamePanel* pState = pBar ? pBar->Panel(kStatePanel) : nullptr) pState->DrawConnectorIfShown();
        DrawSlots();
        DrawSkillInfo();
        if (m_nHover == kLeftArrow && m_pLeftHover)
            m_pLeftHover->Draw(pBack, m_rcHot[0].left, m_rcHot[0].top, nullptr, 0, 0, 0, 0);
        if (m_nHover == kRightArrow && m_pRightHover)
            m_pRightHover->Draw(pBack, m_rcHot[1].left, m_rcHot[1].top, nullptr, 0, 0, 0, 0);
    }
    UpdateSkillHover();
}

void CSkillMenu::DrawSlots() {
    const bool bHero = m_bHeroShown || !pCompanion;
    const int* pLearned = bHero ? m_nHeroLearned : m_nCompanionLearned;
    const int* pKind = bHero ? m_nHeroKind : m_nCompanionKind;
    const int nSelected = bHero ? m_nHeroSelected : m_nCompanionSelected;
    const CPlayer* pShown = ShownCharacter();
    for (int i = 0; i < kSlots; ++i) {
        const RECT& r = m_rcHot[kFirstSlot + i];
        const int nSkill = pLearned[i];
        if (nSkill == -1) {
            if (pBitmapData && pKind[i] >= 0) pBitmapData->DrawSkillIconN(pKind[i], r.left, r.top);
            continue;
        }
        if (pBitmapData) {
            pBitmapData->DrawJlIcon(nSkill, r.left + 11, r.top + 11);
            pBitmapData->DrawShortcutKey(nSkill, r.left + 5, r.top + 5);
        }
        if (pShown && IsSkillNumber(nSkill)) {
            char sz[16];
            std::snprintf(sz, sizeof sz, "%d", pShown->nSkillLevel[nSkill] + 1);
            DrawPanelText(sz, RGB(0, 255, 255), r, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
        }
        if (i == nSelected && pScreen) {
            const DWORD dwYellow = pScreen->RgbToPixel(RGB(255, 255, 0), pBack);
            pBack->Rect(r.left + 8, r.top + 8, r.right + 8, r.bottom + 8, dwYellow);
            pBack->Rect(r.left + 7, r.top + 7, r.right + 9, r.bottom + 9, dwYellow);
        }
    }
}

void CSkillMenu::DrawSkillInfo() {
    int nSkill = -1;
    const CPlayer* pWho = nullptr;
    if (m_bHeroShown && m_nHeroSelected >= 0) {
        nSkill = m_nHeroLearned[m_nHeroSelected];
        pWho = pPlayer;
    } else if (!m_bHeroShown && pCompanion && m_nCompanionSelected >= 0) {
        nSkill = m_nCompanionLearned[m_nCompanionSelected];
        pWho = pCompanion;
    }
    const SkillRow* pRow = Skill(nSkill);
    if (!pRow || !pWho || !IsSkillNumber(nSkill)) return;
    RECT rc{540, 240, 700, 370};
    DrawPanelText(pRow->pName, RGB(0, 255, 0), rc, DT_CENTER | DT_SINGLELINE);
    rc.top += 20;
    if (!m_bHeroShown) rc.bottom += 120;
    DrawPanelText(pRow->pDescription, RGB(255, 255, 255), rc, DT_WORDBREAK);
    const int nLevel = pWho->nSkillLevel[nSkill];
    char sz[48];
    rc.top += 60;
    static const std::string kLevel = Utf8ToText("等级: "), kAttack = Utf8ToText("攻击: ");
    std::snprintf(sz, sizeof sz, "%s%d", kLevel.c_str(), nLevel + 1);
    DrawPanelText(sz, RGB(255, 255, 255), rc, DT_SINGLELINE);
    rc.top += 20;
    std::snprintf(sz, sizeof sz, "%s%d", kAttack.c_str(), SkillLevelWord(nSkill, nLevel + 1));
    DrawPanelText(sz, RGB(255, 255, 255), rc, DT_SINGLELINE);
}

void CSkillMenu::UpdateSkillHover() {
    const POINT pt = ToolBarHost().GetMousePos();
    m_nHover = -1;
    for (int i = 0; i < kHotCount; ++i) {
        if (PtInRect(m_rcHot[i], pt)) {
            m_nHover = i;
            return;
        }
    }
}

int CSkillMenu::OnLButtonUp() {
    const POINT pt = ToolBarHost().GetMousePos();
    const bool bHero = m_bHeroShown != 0;
    const int* pLearned = bHero ? m_nHeroLearned : m_nCompanionLearned;
    for (int i = 0; i < kSlots; ++i) {
        // Only a slot with a learned skill can be chosen.
        if (pLearned[i] == -1 || !PtInRect(m_rcHot[kFirstSlot + i], pt)) continue;
        (bHero ? m_nHeroSelected : m_nCompanionSelected) = i;
        PlayPanelClick();
        break;
    }
    if (m_nHover == kLeftArrow) {
        Refresh();
    } else if (m_nHover == kRightArrow && pCompanion) {
        CGameToolBar* pBar = HostToolBar();
        ShowCompanion(pBar ? pBar->m_nCompanion : 2);
    }
    return kPanelHandled;
}

void CSkillMenu::ShowCompanion(int nMember) {
    m_bHeroShown = 0;
    m_pPortrait.reset();
    for (int i = 0; i < kSlots; ++i) m_nCompanionKind[i] = m_nCompanionLearned[i] = -1;
    LoadPortrait(nMember);
}

void CSkillMenu::Refresh() {
    m_bHeroShown = 1;
    m_pPortrait.reset();
    LoadPortrait(1);
}

int CSkillMenu::OnKeyDown(int nKey) {
    static const char kKeys[] = "YUIOP";
    if (m_nHeroSelected < 0 || m_nHeroSelected >= kSlots || !pPlayer) return 0;
    const int nSkill = m_nHeroLearned[m_nHeroSelected];
    if (nSkill < 1) return 0;
    for (int k = 0; k < kHeroHotKeys; ++k) {
        if (nKey != kKeys[k]) continue;
        for (int other = 0; other < kHeroHotKeys; ++other)
            if (other != k && pPlayer->nHotKey[other] == nSkill) pPlayer->nHotKey[other] = -1;
        pPlayer->nHotKey[k] = nSkill;
        return 1;
    }
    return 0;
}

bool CSkillMenu::UseSelectedSkill() {
    CToolBarHost& host = ToolBarHost();
    if (!m_bHeroShown) {
        if (!pCompanion) return true;
        if (m_nCompanionSelected < 0 || m_nCompanionLearned[m_nCompanionSelected] < 1) return false;
        host.SelectSkill(pCompanion, m_nCompanionLearned[m_nCompanionSelected]);
        return true;
    }
    if (!pPlayer || m_nHeroSelected < 0 || m_nHeroLearned[m_nHeroSelected] < 1) return false;
    host.SelectSkill(pPlayer, m_nHeroLearned[m_nHeroSelected]);
    return true;
}

void CSkillMenu::RaiseSkillLevel(int nSlot) {
    if (nSlot < 0 || nSlot >= kSlots) return;
    CPlayer* pWho = ShownCharacter();
    const int nSkill = m_bHeroShown || !pCompanion ? m_nHeroLearned[nSlot] : m_nCompanionLearned[nSlot];
    if (!pWho || nSkill < 1 || !IsSkillNumber(nSkill)) return;
    if (pWho->nSkillPoints < 1 || pWho->nSkillLevel[nSkill] >= kMaxSkillLevel) return;
    ++pWho->nSkillLevel[nSkill];
    --pWho->nSkillPoints;
}
