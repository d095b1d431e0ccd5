#include "battle/FightChar.h"

#include <algorithm>
#include <cstdio>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "battle/Fight.h"
#include "gamedata/BitmapData.h"
#include "gamedata/DebugLog.h"
#include "gamedata/GameData.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/TalkBar.h"
#include "world/Player.h"

namespace {

constexpr DWORD kFrameStep = 100;
constexpr DWORD kStandStep = 150;
constexpr DWORD kNumberLife = 1000;

void Log(const char* pszText) {
    if (pDebugLog) pDebugLog->Write(pszText);
}

// The record of member m through the controlled hero's party pointers; null for a
// member without a record (member id 4 has none).
CPlayer* MemberRecord(int m) {
    if (!pPlayer || m < 0 || m >= 4) return nullptr;
    return pPlayer->pPartyMembers[m];
}

}  // namespace

int FightLevelValue(int m, int nLevel, int LevelRow::*pField) {
    if (!pGameData) return 0;
    const LevelRow* pBase = pGameData->GetLevel(m, 0);
    const LevelRow* pRow = pGameData->GetLevel(m, nLevel);
    return (pBase ? pBase->*pField : 0) + (pRow ? nLevel * (pRow->*pField) : 0);
}

bool HeroCloth() {
    return pGameData && pGameData->pOptions && pGameData->pOptions->nPlayerCloth != 0;
}

int FightFrameCount(int nSculpt, int nAction) {
    return pBitmapData ? pBitmapData->GetCharFrameCount(nSculpt, nAction) : 0;
}

CFightChar::CFightChar() = default;
CFightChar::~CFightChar() = default;

bool CFightChar::Init() {
    Log("Init Fight NPC Bmp ...");
    bMessage = 0;
    if (!IsParty()) {
        const FightNpcRow* pRow = nullptr;
        if (AniNo >= 0 && AniNo < kFightNpcRows && pGameData && AniNo < pGameData->nFightNpcCount)
            pRow = &pGameData->pFightNpc[AniNo];
        if (!pRow) {
            Log("failed..............wrong NPC No ...\r\n");
            return false;
        }
        m_row = *pRow;
        MaxHP = HP = pRow->nLife;
        Skill = pRow->nSkill;
        Attack = pRow->nAttack;
        Defence = pRow->nDefence;
        NormalAttack = pRow->nNormalAttack;
        nSculpt = pRow->nSculpt;
        Probability = pRow->nProbability;
        RecoverSkill = pRow->nRecoverSkill;
        Recover = pRow->nRecover;
        RecoverLimit = pRow->nLevel;
        nSpare25 = pRow->nExtra;
        timeRecovered = 0;
        nAttackBonus = nDefenceBonus = 0;
        Poison = pRow->nPoison;
        if (RunAway == 1) RunAway = pRow->nRunAway;
        DelTall = pRow->nDelTall;
        Tall = pRow->nTall;
        // A talking enemy opens the battle with its talk event, in the bar's narrow
        // layout; an event the scene does not have starts no talk.
        if (Tall != 0) {
            if (CFaceTalkBar* pBar = FightScriptLink().TalkBar()) pBar->SetNarrowLayout();
            const int nStart = FightScriptLink().StartSubScript(Tall);
            Tall = nStart < 0 ? 0 : nStart;
            if (nStart >= 0) ShowTalk();
        }
    } else {
        CPlayer* pRecord = MemberRecord(nMember);
        if (!pRecord) {
            Log("failed\r\n");
            return false;
        }
        HP = pRecord->nLife;
        MP = pRecord->nMana;
        // The maxima are the hero's own, which hold what her armour and items add, as
        // her state panel shows them; the battle bonuses come on top.
        MaxHP = std::max(pRecord->nLifeMax + pRecord->nBattleBonus[0], 1);
        MaxMP = std::max(pRecord->nManaMax + pRecord->nBattleBonus[1], 0);
        HP = std::clamp(HP, 0, MaxHP);
        Attack = pRecord->nAttack;
        Defence = pRecord->nDefence;
        nAttackBonus = nDefenceBonus = 0;
        Action = kActEntrance;
        bEntrance = 1;
        // The gauge threshold: quicker members fill sooner, kept within 1..48.
        Recover = std::clamp(48 - (pRecord->nCelerity + pRecord->nBattleBonus[2]), 1, 48);
        nSculpt = AniNo;
        timeRecovered = 100000;
    }
    m_pText.reset();
    if (pScreen) {
        m_pText = std::make_unique<CDXSurface>();
        if (m_pText->Create(pScreen, 100, 40) != 0) m_pText.reset();
        else m_pText->SetColorKey(0);
    }
    FrameCount = FightFrameCount(DrawnSet(), Action);
    nFrame = 0;
    Log(FrameCount > 0 ? "OK\r\n" : "failed\r\n");
    return FrameCount > 0;
}

void CFightChar::StandOrWeak() {
    if (bPoisoned || bBound) SetAction(kActWeak);
    else SetAction(kActStand);
}

void CFightChar::SetAction(int a) {
    if (Action == a || AniNo == -1) return;
    if (a == kActStand && IsParty() && HP < MaxHP / 3) a = kActWeak;
    if (Action == a) return;
    Action = a;
    FrameCount = FightFrameCount(DrawnSet(), a);
    nFrame = 0;
    if (a == kActEntrance) bEntrance = 1;
    if (a == kActWalkB) bWalkBack = 1;
    if (a == kActStand) StepX = StepY = 0;
}

void CFightChar::Animate() {
    if (AniNo == -1) return;
    const DWORD dwGate = Action == kActStand ? kStandStep : kFrameStep;
    if (dwNowTime - dwFrameTime < dwGate) return;
    dwFrameTime = dwNowTime;
    Step(false);
}

void CFightChar::AnimateNow() {
    if (AniNo == -1) return;
    Step(true);
}

void CFightChar::Step(bool bNow) {
    if (FrameCount == 0) {
        // An action without frames ends at its first step (a set without pictures for
        // it would otherwise hold the fighter, and the battle, in it for ever).
        if (Action != kActStand && Action != kActWeak && Action != kActDead && Action != kActVictory)
            EndOfAction(bNow);
        return;
    }
    if (++nFrame < FrameCount) return;
    EndOfAction(bNow);
}

void CFightChar::EndOfAction(bool bNow) {
    nFrame = 0;
    bContinue = 1;
    bActionDone = 1;
    // Party or enemy by slot: enemy numbers share their range with the party's
    // animation numbers, and an enemy numbered 0..6 taken for a member would never
    // strike after its walk.
    const bool bParty = IsParty();
    if (bArrived) {
        bBackHome = 1;
        SetAction(kActStand);
        bArrived = 0;
        return;
    }
    switch (Action) {
        case kActWalkA:
            if (!bParty) {
                bBackHome = 1;
                StandOrWeak();
            } else if (QueuedAction != -1) {
                SetAction(QueuedAction);
            }
            return;
        case kActWalkB:
            if (bParty) {
                bBackHome = 1;
                bRaised[3] = 0;
                StandOrWeak();
            } else if (QueuedAction != -1) {
                SetAction(QueuedAction);
            }
            return;
        case kActItem:
        case kActHurt:
            if (HP < 1) {
                HP = 0;
                SetAction(kActFalling);
            } else {
                StandOrWeak();
            }
            return;
        case kActRecover:
        case kActEntrance:
            StandOrWeak();
            return;
        case kActFalling:
            SetAction(kActDead);
            return;
        case kActDefend:
            SetAction(kActStand);
            return;
        default:
            break;
    }
    const bool bOneShot = Action == kActAttack || Action == kActCast || Action == 5 || Action == 6 ||
                          (Action >= 10 && Action <= 18);
    if (!bOneShot) return;
    if (Action == kActAttack && bHitAgain) {
        bHitAgain = 0;
        Action = -1;  // play the attack again from its first frame
        SetAction(kActAttack);
        return;
    }
    // The untimed step stands a fighter of animation number 6 after its one-shot action
    // (the timed step walks an enemy of that number home).
    if (bNow && AniNo == 6) {
        StandOrWeak();
        return;
    }
    if (bParty) {
        if (QueuedAction != -1) {
            QueuedAction = -1;
            SetAction(kActWalkB);
        } else {
            SetAction(kActStand);
        }
    } else {
        SetAction(kActWalkA);
    }
}

int CFightChar::DrawnSet() const { return nSculpt == 1 && !HeroCloth() ? 0 : nSculpt; }

bool CFightChar::Draw(int x, int y, int p1, int p2, int p3) {
    // The damage number first, then the fighter's frame over it.
    const DWORD dwAge = dwNowTime - dwDamageTime;
    if (nDamage != 0 && dwAge < kNumberLife && m_pText && pBack) {
        char szNumber[16];
        std::snprintf(szNumber, sizeof szNumber, "%+d", nDamage);
        m_pText->Fill(0);
        m_pText->TextOut(0, 0, COLORREF(65535), szNumber);
        const POINT pt = ptFightNumber[CharNo & 7];
        const int nLift = int(dwAge / 20);
        m_pText->BlitKeyed(pBack, pt.x, pt.y - nLift);
        m_pText->BlitOutlined(pBack, pt.x, pt.y - nLift, nullptr, 0, 0, 0);
    }
    if (!pBitmapData) return false;
    return pBitmapData->DrawCharFrame(DrawnSet(), Action, nFrame, x, y, p1, p2, p3, IsParty() ? 2 : 6) != 0;
}

void CFightChar::AddHp(int nDelta) {
    if (HP <= 0) return;
    const int nOld = HP;
    HP = std::clamp(HP + nDelta, 0, MaxHP);
    nDamage = HP - nOld;
    dwDamageTime = dwNowTime;
}

void CFightChar::ShowTalk() {
    FightScriptLink().ShowTalkLine();
    Tall += 1;
}

void CFightChar::Revive(int nItem) {
    if (HP >= 1) return;
    const ItemRow* pItem = pGameData ? pGameData->GetItem(nItem) : nullptr;
    const int nOld = HP;
    HP = std::clamp(pItem ? pItem->nLife : 0, 0, MaxHP);
    nDamage = HP - nOld;
    dwDamageTime = dwNowTime;
}
