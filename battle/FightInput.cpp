// The battle's mouse and key handling and its menu operations: drawing the lists
// with their tooltips, interpreting a click and rebuilding the lists.
#include <algorithm>
#include <cstdio>
#include <string>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "battle/Fight.h"
#include "gamedata/GameData.h"
#include "platform/Resources.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/ShellGlobals.h"
#include "world/Player.h"

namespace {

std::string StringEntry(UINT nId) {
    char szText[512];
    return LoadString(nId, szText, sizeof szText) > 0 ? std::string(szText) : std::string();
}

void ShowTooltip(const char* pszText, POINT pt) {
    if (pFrame && pFrame->m_pMenuManager) pFrame->m_pMenuManager->DrawMessageText(pszText, pt.x, pt.y);
}

bool InRect(const RECT& rc, int x, int y) { return x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom; }

}  // namespace

void CFight::OnLButtonDown(int x, int y) {
    if (bEscapePopup) {
        const RECT rcOk{ptEscapePopup.x + 18, ptEscapePopup.y + 72, ptEscapePopup.x + 113, ptEscapePopup.y + 96};
        if (InRect(rcOk, x, y)) Escape();
        else bEscapePopup = 0;
    }
    if (bEscaped) {
        bEscaped = 0;
        CommandMode = -1;
        bTurnGate = 1;
        bCommandBusy = 0;
        if (bEscapeAllowed) nResult = 4;
        std::fill(std::begin(bActing), std::end(bActing), 0);
    }
    if (pMenu) pMenu->bClickArmed = 1;
}

void CFight::Escape() {
    bEscaped = 1;
    bEscapePopup = 0;
    if (CFightChar* c = Char(ActiveNpc)) {
        c->timeRecovered = 0;
        c->bContinue = 0;
    }
    EnemyTarget = ActiveNpc = CommandMode = HoverFighter = CommandSkill = CommandItem = ThrowItemNo = -1;
    SetMenuState(kMenuRing);
    if (bEscapeAllowed) WriteBackOnEscape();
}

void CFight::WriteBackOnEscape() {
    // Running away costs half the money; the members keep what they have left.
    if (pPlayer) pPlayer->nMoney /= 2;
    WriteBackParty();
}

void CFight::WriteBackParty() {
    if (!pPlayer) return;
    for (int m = 0; m < 4; ++m) {
        if (!(pPlayer->nPartyMask & (1 << m))) continue;
        CPlayer* pRecord = pPlayer->pPartyMembers[m];
        if (!pRecord) continue;
        for (int s = 0; s < 4; ++s) {
            if (!Filled(s) || pChar[s]->nMember != m) continue;
            pRecord->nLife = pChar[s]->HP;
            pRecord->nMana = pChar[s]->MP;
        }
    }
}

void CFight::OnLButtonUp(int x, int y) {
    if (bEffectBusy) return;
    if (bEscaped) {
        bEscaped = 0;
        CommandMode = -1;
        bTurnGate = 1;
        bCommandBusy = 0;
        std::fill(std::begin(bActing), std::end(bActing), 0);
    }
    if (pChar[0] && pChar[0]->bMessage) {
        pChar[0]->bMessage = 0;
        MessageText.clear();
        return;
    }
    OnMenuClick();
    if (pMenu) pMenu->bClickArmed = 0;
    if (CommandMode == 4) {
        CastInPlace(ActiveNpc);
    } else if (CommandMode == 9) {
        ptClick = POINT{x, y};
        ExecuteAreaCommand(ActiveNpc, CommandSkill);
        CommandSkill = -1;
    }
    if (CommandMode == 0 && HoverFighter != -1) CommandMode = 10;
    const int t = HoverFighter, a = ActiveNpc;
    if (t < 0 || t >= kFightSlots || a < 0 || a >= 4 || !Filled(a)) return;
    CFightChar& ca = *pChar[a];
    LastActor = a;
    bActing[a] = 1;
    if (ca.bPoisoned) {
        ApplyPoison(a, t);
        if (ca.HP <= 0) {
            // The poison felled the member before it acted: its turn ends here.
            bActing[a] = 0;
            EndTurn(a);
            return;
        }
    }
    if (pChar[t]->HP > 0) {
        bCommandBusy = 1;
        ptClick = POINT{x, y};
        ChosenTarget = t;
        LastSkill[a] = CommandSkill;
        LastTarget[a] = t;
        if (CommandItem != -1) {
            UseItemOn(a, t);
            return;
        }
        const int nStarted = ExecuteCommand(CommandSkill, a, t);
        if (nStarted == 0) {
            bCommandBusy = 0;
            bActing[a] = 0;
            return;
        }
        if (nStarted == 2) EndEmptyCommand(a);
        else ClearTurn(a);
        return;
    }
    if (t < 4 && CommandItem != -1) {
        UseItemOn(a, t);
        return;
    }
    bActing[a] = 0;
}

void CFight::UseItemOn(int a, int t) {
    const int nItem = CommandItem;
    const ItemRow* pItem = pGameData ? pGameData->GetItem(nItem) : nullptr;
    CFightChar& ca = *pChar[a];
    CFightChar& ct = *pChar[t];
    bCommandBusy = 0;
    bActing[a] = 0;
    bool bUsed = false;
    if (ca.nMember != -1 && pItem && pItem->nType == 0 && pPlayer && pPlayer->HasItem(nItem)) {
        pPlayer->RemoveItem(nItem);
        ct.bPoisoned = ct.bBound = 0;
        if (t < 4 && ct.HP < 1) {
            // The revive gives the item's life now; the item's effect must not again.
            ct.Revive(nItem);
            bItemApplied = 1;
        }
        ct.SetAction(kActStand);
        if (!pPlayer->HasItem(nItem)) BuildItemLists();
        ct.MP = std::min(ct.MP + pItem->nMana, ct.MaxMP);
        ca.SetAction(kActItem);
        bUsed = AddBattleEffect(0, a, t, ptFightHome[t].x, ptFightHome[t].y, false, nItem);
    }
    ClearTurn(a);
    // An item that could not be used takes the turn all the same; nothing would end it.
    if (!bUsed) EndTurn(a);
}

void CFight::OnRButtonDown(int x, int y) {
    (void)x;
    (void)y;
    if (bEffectBusy) return;
    if (bEscaped) {
        bEscaped = 0;
        CommandMode = -1;
    }
    bEscapePopup = 0;
    if (!pMenu || pMenu->MenuState == kMenuHidden) return;
    pMenu->MenuState = kMenuRing;
    pMenu->HoverButton = -1;
    CommandItem = CommandSkill = ThrowItemNo = -1;
    CommandMode = 0;
    pMenu->bRingHidden = 0;
}

void CFight::OnKeyUp(int nKey) {
    if (nKey == 'A' && ActiveNpc >= 0 && ActiveNpc < 4) bAutoAttack = 1;
}

void CFight::OnKeyDown(int nKey) {
    if (nKey == VK_SPACE && !TalkFinished()) bTalkKey = 1;
}

void CFight::OnResultRelease() {
    for (int p = 0; p < 3; ++p)
        if (bPagePending[p]) {
            bNextPage = 1;
            return;
        }
    bResultShown = 0;
}

FightList* CFight::CurrentSkillList() const {
    const int a = ActiveNpc;
    if (!pMenu || a < 0 || a >= 4) return nullptr;
    return SkillLists[std::clamp(pMenu->CurrentTab, 0, 2)][a].get();
}

void CFight::OnMenuClick() {
    if (!pMenu || pMenu->HoverButton == -1 || CommandMode == 10 || !pMenu->bClickArmed) {
        if (pMenu) pMenu->bClickArmed = 0;
        return;
    }
    CFightMenu& m = *pMenu;
    m.bClickArmed = 0;
    bCommandBusy = 0;
    bEnemyActing = 0;
    const int a = ActiveNpc;
    switch (m.MenuState) {
        case kMenuRing:
            switch (m.HoverButton) {
                case 0:
                    CommandMode = 10;
                    CommandSkill = CommandItem = ThrowItemNo = -1;
                    m.bRingHidden = 1;
                    break;
                case 1:
                case 2: m.MenuState = m.HoverButton; break;
                case 4:
                    if (bEscapeAllowed) bEscapePopup = 1;
                    break;
                case 5:
                    CommandMode = -1;
                    m.MenuState = kMenuHidden;
                    m.HoverButton = -1;
                    CommandSkill = CommandItem = ThrowItemNo = -1;
                    if (CFightChar* c = Char(a)) {
                        c->timeRecovered = 0;
                        c->bContinue = 1;
                    }
                    if (a >= 0 && a < 4) bDefending[a] = 1;
                    ActiveNpc = -1;
                    bTurnGate = 1;
                    break;
                default: break;
            }
            return;
        case kMenuSkills: {
            FightList* L = CurrentSkillList();
            if (!L) return;
            if (m.HoverButton == 0) return L->ScrollUp();
            if (m.HoverButton == 1) return L->ScrollDown();
            if (m.HoverButton == kHoverTab) {
                m.bTabArmed = 1;
                return;
            }
            if (L->Count < 1 || (m.CurrentTab == 2 && nStunts <= 0)) return;
            const int nRow = m.HoverButton / 2 - 1;
            const int nIndex = nRow + L->First;
            CommandItem = ThrowItemNo = CommandMode = -1;
            if (nRow < 0 || nRow >= L->Visible || nIndex >= L->Count) return;
            const int k = L->Ids[nIndex];
            const SkillRow* pSkill = pGameData ? pGameData->GetSkill(k) : nullptr;
            if (k == -1 || !pSkill || !Filled(a) || pSkill->nMana > pChar[a]->MP) return;
            const int nType = pSkill->nType;
            if (m.CurrentTab == 0) {
                CommandMode = nType == 1 ? 4
                              : (nType == 7 || nType == 13 || nType == 19 || nType == 25 || nType == 31) ? 9
                                                                                                          : 2;
                m.MenuState = kMenuRing;
            } else if (m.CurrentTab == 1) {
                CommandMode = 1;
                m.MenuState = kMenuPartyTarget;
            } else {
                CommandMode = 2;
                m.MenuState = nType == 17 ? kMenuThrow : kMenuRing;
            }
            CommandSkill = k;
            return;
        }
        case kMenuItems:
        case kMenuThrow: {
            FightList* L = (m.MenuState == kMenuItems ? ItemList : ThrowList).get();
            if (!L) return;
            if (m.HoverButton == 0) return L->ScrollUp();
            if (m.HoverButton == 1) return L->ScrollDown();
            const int nRow = m.HoverButton / 2 - 1;
            const int nIndex = nRow + L->First;
            const bool bRow = m.HoverButton >= 2 && m.HoverButton < 12 && nRow < L->Visible && nIndex < L->Count &&
                              L->Ids[nIndex] != -1;
            if (m.MenuState == kMenuItems) {
                CommandItem = bRow ? L->Ids[nIndex] : -1;
                if (!bRow) return;
                CommandSkill = ThrowItemNo = -1;
                CommandMode = 3;
                m.MenuState = kMenuPartyTarget;
            } else {
                ThrowItemNo = bRow ? L->Ids[nIndex] : -1;
                if (!bRow) return;
                CommandItem = -1;
                CommandMode = 2;
                m.MenuState = kMenuRing;
            }
            return;
        }
        default: return;
    }
}

void CFight::DrawMenu() {
    if (!pMenu) return;
    CFightMenu& m = *pMenu;
    const POINT mouse = MousePos();
    m.Draw(mouse.x, mouse.y);
    const int a = ActiveNpc;
    if (!pBack || a < 0 || a >= 4 || !Filled(a)) return;
    const int nHoverRow = m.HoverButton >= 2 && m.HoverButton < 12 ? (m.HoverButton - 2) / 2 : -1;
    if (m.MenuState == kMenuSkills) {
        bCommandBusy = 0;
        pBack->ChangeFont("Arial", 0, 15, nCharSet, 400, 0);
        FightList* L = CurrentSkillList();
        if (!L) return;
        const SkillRow* pHovered = nullptr;
        for (int r = 0; r < std::min(L->Visible, L->Count - L->First); ++r) {
            const SkillRow* pSkill = pGameData ? pGameData->GetSkill(L->Ids[L->First + r]) : nullptr;
            if (!pSkill) continue;
            RECT rc = CFightMenu::kList[2 * r + 3];
            OffsetRect(&rc, m.ptList.x, m.ptList.y);
            COLORREF colour = RGB(255, 255, 0);
            if (r == nHoverRow) {
                colour = pSkill->nMana > pChar[a]->MP ? RGB(255, 0, 0) : RGB(0, 255, 0);
                pHovered = pSkill;
            }
            pBack->DrawText(pSkill->pName, colour, &rc, 0x10);
        }
        if (!pHovered) return;
        char szText[512];
        if (m.CurrentTab == 0) {
            const std::string strFormat = StringEntry(18);
            std::snprintf(szText, sizeof szText, strFormat.c_str(), pHovered->pName, pHovered->nAttack,
                          pHovered->nDefance, pHovered->nMana);
            ShowTooltip(szText, mouse);
        } else if (m.CurrentTab == 2) {
            ShowTooltip(StringEntry(UINT(59 + pChar[a]->AniNo)).c_str(), mouse);
        }
        return;
    }
    if (m.MenuState != kMenuItems && m.MenuState != kMenuThrow) return;
    bCommandBusy = 0;
    FightList* L = (m.MenuState == kMenuItems ? ItemList : ThrowList).get();
    if (!L) return;
    const ItemRow* pHovered = nullptr;
    for (int r = 0; r < std::min(L->Visible, L->Count - L->First); ++r) {
        const int nItem = L->Ids[L->First + r];
        const ItemRow* pItem = pGameData ? pGameData->GetItem(nItem) : nullptr;
        if (!pItem) continue;
        const RECT& rc = CFightMenu::kList[2 * r + 3];
        const COLORREF colour = r == nHoverRow ? RGB(255, 0, 0) : RGB(255, 255, 0);
        if (r == nHoverRow) pHovered = pItem;
        pBack->TextOut(m.ptList.x + rc.left, m.ptList.y + rc.top, colour, pItem->pName);
        char szCount[16];
        std::snprintf(szCount, sizeof szCount, "%d", pPlayer ? pPlayer->nItemCount[nItem] : 0);
        pBack->TextOut(m.ptList.x + rc.left + 80, m.ptList.y + rc.top, colour, szCount);
    }
    if (!pHovered) return;
    char szText[512];
    const std::string strFormat = StringEntry(24);
    std::snprintf(szText, sizeof szText, strFormat.c_str(), pHovered->pName, pHovered->pDescription);
    ShowTooltip(szText, mouse);
}

void CFight::BuildItemLists() {
    ItemList = std::make_unique<FightList>();
    ThrowList = std::make_unique<FightList>();
    if (!pGameData || !pPlayer) return;
    const int nItems = std::min(pGameData->nItemCount, int(kHeroItemCount));
    for (int i = 0; i < nItems; ++i) {
        if (pPlayer->nItemCount[i] < 1) continue;
        if (pGameData->pItem[i].nType == 0) ItemList->Append(i);
        if (pGameData->pItem[i].nType == 6) ThrowList->Append(i);
    }
}

int CFight::BuildLists() {
    BuildItemLists();
    for (auto& tab : SkillLists)
        for (auto& list : tab) list = std::make_unique<FightList>();
    if (!pGameData) return 1;
    const int nSkills = std::min(pGameData->nSkillCount, int(kHeroSkillCount));
    for (int s = 0; s < 4; ++s) {
        if (!Filled(s) || pChar[s]->nMember == -1 || !pPlayer) continue;
        const CPlayer* pRecord = pPlayer->pPartyMembers[pChar[s]->nMember & 3];
        if (!pRecord) continue;
        for (int k = 0; k < nSkills; ++k) {
            if (pRecord->nSkillKnown[k] != 1) continue;
            const int nTab = ((pGameData->pSkill[k].nDirection % 3) + 3) % 3;
            SkillLists[nTab][s]->Append(k);
        }
    }
    return 1;
}
