#include "battle/Fight.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "battle/FightObserver.h"
#include "gamedata/BitmapData.h"
#include "gamedata/DebugLog.h"
#include "gamedata/GameData.h"
#include "media/TgaImage.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/MenuManager.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/TalkBar.h"
#include "world/EffectManager.h"
#include "world/Player.h"

const POINT ptFightHome[kFightSlots] = {{370, 235}, {478, 136}, {448, 359}, {510, 70},
                                        {-76, 235}, {20, 118},  {-4, 357},  {-170, 100}};
const POINT ptFightStrike[kFightSlots] = {{239, 235}, {369, 136}, {326, 357}, {290, -60},
                                          {52, 233},  {143, 116}, {102, 359}, {190, -100}};
const POINT ptFightNumber[kFightSlots] = {{573, 299}, {681, 182}, {651, 423}, {713, 134},
                                          {127, 299}, {223, 182}, {199, 421}, {33, 164}};
const POINT ptLeadStrike[4] = {{233, 235}, {336, 116}, {307, 359}, {130, 150}};
const int nFightMemberOrder[4] = {0, 1, 2, 4};
const int nFightMemberNpc[8] = {1, 0, 2, 3, 4, 5, 6, 7};

namespace {

CFightScriptLink g_defaultScriptLink;
CFightScriptLink* g_pScriptLink = &g_defaultScriptLink;
CFightObserver* g_pObserver = nullptr;

// The battle draws its effects on a screen without a map view.
class CBattleViewLink : public CEffectSceneLink {};
CBattleViewLink g_battleView;

}  // namespace

void SetFightScriptLink(CFightScriptLink* pLink) { g_pScriptLink = pLink ? pLink : &g_defaultScriptLink; }
CFightScriptLink& FightScriptLink() { return *g_pScriptLink; }
void SetFightObserver(CFightObserver* pObserver) { g_pObserver = pObserver; }
CFightObserver* FightObserver() { return g_pObserver; }

DWORD CFightDraws::Next() { return TimeGetTime(); }

CFight::CFight() {
    if (pScreen) {
        nScreenWidth = pScreen->GetWidth();
        nScreenHeight = pScreen->GetHeight();
    }
    if (CFaceTalkBar* pBar = FightScriptLink().TalkBar()) pBar->m_bFinished = true;
}

CFight::~CFight() {
    EndTalk();
    ClearBattleEffects();
}

DWORD CFight::Draw() { return (m_pDraws ? m_pDraws : &m_defaultDraws)->Next(); }

double CFight::HitFactor() {
    static const double factors[5] = {0.8, 0.9, 1.0, 1.1, 1.2};
    return factors[Draw() % 5];
}

int CFight::Init(int nBackground, const int* pEnemies, int nEnemyCount) {
    for (int i = 0; i < kFightSlots; ++i) {
        pChar[i] = std::make_unique<CFightChar>();
        pChar[i]->CharNo = i;
    }
    PlaceParty();
    SetGameFolderCurrent();
    char szName[16];
    // The remainder first: the magnitude of the lowest number does not fit.
    std::snprintf(szName, sizeof szName, "%03d.bmp", std::abs(nBackground % 100));
    CPkgFile* pPkg = pBitmapData ? pBitmapData->GetMenuPkg() : nullptr;
    const int nSize = pPkg ? pPkg->GetSize(szName) : -1;
    FILE* pStream = nSize > 0 ? pPkg->Seek(szName) : nullptr;
    auto pSurface = std::make_unique<CDXSurface>();
    if (!pStream || !pScreen || pSurface->CreateFromStream(pScreen, DWORD(nSize), pStream) != 1) {
        // Without its background the battle cannot be shown: it is not fought.
        const std::string strPkg = pPkg ? pPkg->GetFileName() : "menu.pkg";
        if (nSize > 0) {
            if (pScreen) ReportFileProblem(strPkg + ": battle background " + szName + " is damaged; its battles are not fought");
        } else if (nSize == 0)
            ReportFileProblem(strPkg + ": battle background " + szName + " is empty; its battles are not fought");
        else
            ReportFileProblem(strPkg + " holds no battle background " + szName + "; its battles are not fought");
        bNoBackground = 1;
        return 0;
    }
    pBackground = std::move(pSurface);
    PlaceEnemies(pEnemies, nEnemyCount);
    PlaceOpeningTalk();
    pMenu = std::make_unique<CFightMenu>();
    pMenu->LoadBmp();
    return BuildLists();
}

void CFight::PlaceParty() {
    if (!pPlayer) return;
    const int nPartyCount = pFrame ? pFrame->m_nPartyCount : 4;
    int s = 0;
    for (int k = 0; k < 4 && s < std::min(nPartyCount, 4); ++k) {
        const int id = nFightMemberOrder[k];
        if (!(pPlayer->nPartyMask & (1 << id))) continue;
        bool bListed = !pFrame;
        if (pFrame)
            for (int n : pFrame->m_nPartyIds) bListed = bListed || (n != -1 && n == id);
        if (!bListed) continue;
        // A member id without a hero record (4) has nobody to place.
        if (id >= 4) continue;
        CFightChar& c = *pChar[s];
        c.AniNo = nFightMemberNpc[id];
        c.nMember = id;
        if (!c.Init()) {
            c.AniNo = -1;
            c.nMember = -1;
            continue;
        }
        c.nFrame = int(Draw() % DWORD(c.FrameCount));
        const int nGauge = c.Recover - 4 * s;
        c.timeRecovered = (nGauge >= 1 && nGauge <= 50) ? DWORD(nGauge) : 0;
        ++s;
    }
}

void CFight::PlaceEnemies(const int* pEnemies, int nEnemyCount) {
    int s = 4;
    for (int i = 0; i < nEnemyCount && s < kFightSlots; ++i, ++s) {
        if (pEnemies[i] == -2) break;
        CFightChar& c = *pChar[s];
        c.AniNo = pEnemies[i];
        if (c.AniNo == -1 || !c.Init()) {
            c.AniNo = -1;
            continue;
        }
        c.nFrame = int(Draw() % DWORD(c.FrameCount));
        DWORD nGauge = DWORD(240 - 40 * s);
        if (nGauge > 50) nGauge = 50;
        if (nGauge < 5) nGauge = 5;
        c.timeRecovered = nGauge;
        if (bEscapeAllowed == 1) bEscapeAllowed = c.RunAway;
    }
}

int CFight::Run() {
    SetGameFolderCurrent();
    dwStepTime = TimeGetTime();
    CEffectSceneLink* pOldView = &EffectSceneLink();
    SetEffectSceneLink(&g_battleView);
    while (nResult == 0 && bRunning) Pass();
    SetEffectSceneLink(pOldView == &EffectSceneLink() ? nullptr : pOldView);
    ClearBattleEffects();
    return nResult;
}

bool CFight::PumpMessage() {
    MSG msg;
    if (!PeekMessage(&msg, true)) return false;
    if (msg.message == WM_QUIT) {
        bRunning = 0;
        return true;
    }
    if (pFrame && BattleLink().GetFight() == this) {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
        return true;
    }
    // A battle the main window does not route to (a tool's) takes its input itself.
    const int x = short(LoWord(std::uintptr_t(msg.lParam))), y = short(HiWord(std::uintptr_t(msg.lParam)));
    switch (msg.message) {
        case WM_LBUTTONDOWN: OnLButtonDown(x, y); break;
        case WM_LBUTTONUP:
            if (bResultShown) OnResultRelease();
            else OnLButtonUp(x, y);
            break;
        case WM_RBUTTONDOWN: OnRButtonDown(x, y); break;
        case WM_KEYUP: OnKeyUp(int(msg.wParam)); break;
        case WM_KEYDOWN: OnKeyDown(int(msg.wParam)); break;
        case WM_MOUSEMOVE:
            if (pMouse) {
                pMouse->m_nX = x;
                pMouse->m_nY = y;
            }
            break;
        default: break;
    }
    return true;
}

void CFight::Pass() {
    ++nPasses;
    if (g_pObserver) g_pObserver->OnPass(*this);
    if (PumpMessage()) return;
    Frame();
}

POINT CFight::MousePos() const {
    if (pFrame) pFrame->UpdateCursorPos();
    return pMouse ? POINT{pMouse->m_nX, pMouse->m_nY} : POINT{-1000, -1000};
}

void CFight::DrawScreen() {
    HitTest();
    if (pBack && pBackground) pBackground->BlitOpaque(pBack, 0, 0);
    UpdateFighters();
}

void CFight::Frame() {
    dwNowTime = TimeGetTime();
    DrawScreen();
    UpdateEffects();
    if (ActiveNpc >= 0 && ActiveNpc < 4 && TalkFinished() && MenuState() < 1 && CommandMode != 10) {
        if (pMenu && pMenu->pRingSurface && pBack)
            pMenu->pRingSurface->BlitHalfAlphaKeyed(pBack, pMenu->ptRing.x, pMenu->ptRing.y);
        if (bRepeat) RepeatCommand();
        if (bAutoAttack) AutoAttack();
    }
    DrawMenu();
    DrawStatus();
    if (bEscapePopup && pMenu && pBack) {
        if (pMenu->pExitSurface) pMenu->pExitSurface->BlitOpaque(pBack, ptEscapePopup.x, ptEscapePopup.y);
        const POINT pt = MousePos();
        const RECT rcOk{ptEscapePopup.x + 18, ptEscapePopup.y + 72, ptEscapePopup.x + 113, ptEscapePopup.y + 96};
        if (pMenu->pOkSprite && PtInRect(rcOk, pt)) pMenu->pOkSprite->Draw(pBack, 0, 0, 100);
    }
    if (pMouse && pBack) pMouse->Draw();
    UpdateTalk();
    StartDeathTalk();
    if (pChar[0] && pChar[0]->bMessage) DrawMessage();
    if (pScreen) pScreen->Flip();
    nResult = CheckEnd();
    if (TalkFinished() && CommandMode == -1 && nResult == 0 && bTurnGate == 1 && !bEscapePopup &&
        bTurnMayAdvance == 1 && !(pChar[0] && pChar[0]->bMessage) && !(pChar[0] && pChar[0]->Action == kActEntrance))
        ScheduleTurn();
    if (PendingAttacker >= 0 && PendingAttacker < kFightSlots && pChar[PendingAttacker] &&
        pChar[PendingAttacker]->HP <= 0) {
        // The attacker fell on its way: its blow is lost and the battle goes on.
        PendingAttacker = PendingTarget = PendingSkill = -1;
        bCommandBusy = 0;
        std::fill(std::begin(bActing), std::end(bActing), 0);
        ResolveDroppedTurn();
    }
    if (PendingAttacker >= 0 && PendingAttacker < kFightSlots && pChar[PendingAttacker] &&
        pChar[PendingAttacker]->QueuedAction != -1 &&
        pChar[PendingAttacker]->Action == pChar[PendingAttacker]->QueuedAction)
        LaunchEffect();
}

void CFight::HitTest() {
    HoverFighter = -1;
    if (!pMenu) return;
    const POINT pt = MousePos();
    pMenu->HitTest(pt.x, pt.y);
}

bool CFight::EnemyWalks(int s) const {
    const CFightChar* c = Char(s);
    return c && s >= 4 && bActing[s] && (c->Action == kActWalkA || c->Action == kActWalkB);
}

void CFight::DrawFighter(int s, const POINT& pt) {
    CFightChar& c = *pChar[s];
    const bool bHit = c.Draw(pt.x, pt.y, 0, 0, 0);
    // A fallen enemy is no target; a fallen member is, for the item that revives her.
    if (!bHit || (s >= 4 && c.HP <= 0)) return;
    const int nState = MenuState();
    const bool bEnemyPick = s >= 4 && nState == kMenuRing && (CommandMode == 0 || CommandMode == 2 || CommandMode == 10);
    const bool bPartyPick = s < 4 && nState == kMenuPartyTarget && (CommandMode == 1 || CommandMode == 3 || CommandMode == 4);
    if (!bEnemyPick && !bPartyPick) return;
    c.Draw(pt.x, pt.y, 100, 100, 100);
    HoverFighter = s;
}

void CFight::UpdateFighters() {
    static const int order[kFightSlots] = {5, 4, 6, 7, 1, 0, 2, 3};
    for (int s : order) {
        if (!Filled(s)) continue;
        CFightChar& c = *pChar[s];
        c.Animate();
        if (s >= 4) {
            if (EnemyWalks(s)) {
                StepMove(s);
                if (EnemyWalks(s)) c.Draw(ptWalk.x, ptWalk.y, 0, 0, 0);
                else DrawFighter(s, ptFightHome[s]);
            } else {
                DrawFighter(s, ptFightHome[s]);
            }
        } else {
            if (c.bBackHome && !c.bRaised[3]) {
                c.bBackHome = 0;
                bCommandBusy = 0;
                std::fill(std::begin(bActing), std::end(bActing), 0);
            }
            if (bActing[s] && c.HP > 0 && (c.Action == kActWalkA || c.Action == kActWalkB ||
                                           c.Action == kActAttack || c.Action == kActCast)) {
                StepPartyWalk(s);
                c.Draw(ptWalk.x, ptWalk.y, 0, 0, 0);
                DrawRaise(s, ptWalk);
            } else {
                DrawFighter(s, ptFightHome[s]);
                DrawRaise(s, ptFightHome[s]);
            }
        }
        if (c.HP < 1) c.SetAction(kActDead);
    }
    ReleaseIdleActors();
}

void CFight::ReleaseIdleActors() {
    // A command or an enemy action is over once none of its fighters is still in one
    // of its actions (a fighter felled or hurt on its way never walks home).
    auto busy = [this](int s) {
        const CFightChar* c = Char(s);
        if (!c || c->IsEmpty() || c->HP <= 0 || !bActing[s]) return false;
        switch (c->Action) {
            case kActItem: case kActRecover: case kActAttack: case kActCast: case kActWalkA: case kActWalkB: return true;
            default: return false;
        }
    };
    if (bCommandBusy && (ActiveNpc < 0 || ActiveNpc >= 4) && PendingAttacker == -1 && !busy(0) && !busy(1) &&
        !busy(2) && !busy(3)) {
        bCommandBusy = 0;
        for (int s = 0; s < 4; ++s) bActing[s] = 0;
    }
    if (bEnemyActing && (ActiveNpc < 4 || ActiveNpc >= kFightSlots) && !busy(4) && !busy(5) && !busy(6) && !busy(7)) {
        bEnemyActing = 0;
        for (int s = 4; s < kFightSlots; ++s) bActing[s] = 0;
    }
}

void CFight::StepPartyWalk(int s) {
    CFightChar& c = *pChar[s];
    const POINT home = ptFightHome[s];
    if (c.Action == kActWalkB && c.bWalkBack) {
        // The walk home starts where the walk out ended.
        c.bWalkBack = 0;
        const int nFrames = std::max(c.FrameCount, 1);
        c.StepX = std::abs(ptWalk.x - home.x) / nFrames + 1;
        c.StepY = std::abs(ptWalk.y - home.y) / nFrames + 1;
    }
    POINT goal = home;
    if (c.Action != kActWalkB) {
        const int t = ChosenTarget;
        if (t >= 4 && t < kFightSlots) goal = s == 0 ? ptLeadStrike[t - 4] : ptFightStrike[t];
        else if (t >= 0 && t < kFightSlots) goal = ptFightStrike[t];
    }
    auto stepTo = [](LONG& v, LONG to, int nStep) {
        if (v < to) v = std::min<LONG>(v + nStep, to);
        else if (v > to) v = std::max<LONG>(v - nStep, to);
    };
    stepTo(ptWalk.x, goal.x, std::max(c.StepX, 0));
    stepTo(ptWalk.y, goal.y, std::max(c.StepY, 0));
}

int CFight::CheckEnd() {
    bool bEnemiesDown = true;
    for (int s = 4; s < kFightSlots; ++s) {
        const CFightChar* c = Char(s);
        if (c && !c->IsEmpty() && !(c->HP < 1 && c->Action == kActDead)) bEnemiesDown = false;
    }
    if (bEnemiesDown) {
        if (!bNoBackground) Victory();
        return 1;
    }
    bool bPartyDown = true;
    for (int s = 0; s < 4; ++s)
        if (Alive(s)) bPartyDown = false;
    if (bPartyDown) {
        Defeat();
        return 2;
    }
    return 0;
}

void CFight::DrawStatus() {
    constexpr int kGaugeWidth = 118;
    static const int offsets[4] = {89, 350, 607, 700};
    if (pBack) pBack->ChangeFont("Arial", 0, 15, nCharSet, 400, 0);
    const POINT origin = pMenu ? pMenu->ptStatus : POINT{0, 49};
    int k = 0;
    for (int s = 0; s < 4; ++s) {
        if (!Filled(s)) continue;
        CFightChar& c = *pChar[s];
        const int x = origin.x + offsets[k++];
        const int y = origin.y;
        auto width = [](long long nValue, long long nMax) -> int {
            if (nMax <= 0) return 0;
            return int(std::clamp<long long>(nValue * kGaugeWidth / nMax, 0, kGaugeWidth));
        };
        // The gauge: a bound member whose turn it is gives it up at once; one that is
        // not bound stands at the edge and yields its acting flag to another actor.
        if (c.Recover > 0 && c.timeRecovered > DWORD(c.Recover)) {
            if (c.bBound) {
                if (ActiveNpc == s) EndTurn(s);
            } else {
                for (int j = 0; j < 10; ++j)
                    if (j != s && bActing[j]) bActing[s] = 0;
            }
        }
        if (!pBack || !pMenu) continue;
        if (pMenu->pLineSurface) pMenu->pLineSurface->BlitKeyed(pBack, x, y);
        if (pMenu->pHeadSprite) {
            // The poisoned heads follow the seven plain ones; member 0 in the cloth look
            // shows the head before its own, poisoned or not.
            int nFrame = c.bPoisoned ? c.AniNo + 7 : c.AniNo;
            if (c.nMember == 0 && HeroCloth()) nFrame = c.AniNo - 1;
            pMenu->pHeadSprite->SetPos(x - 89, y);
            pMenu->pHeadSprite->SetFrame(DWORD(std::clamp(nFrame, 0, 13)))->Draw(pBack, 0, 0, 100);
        }
        if (pMenu->pIconSprite && (c.bPoisoned || c.bBound)) {
            pMenu->pIconSprite->SetPos(x - 20, y);
            pMenu->pIconSprite->SetFrame(c.bPoisoned ? 0 : 1)->Draw(pBack, 0, 0, 100);
        }
        const RECT life = CFightMenu::HeadRect(1), mana = CFightMenu::HeadRect(2), gauge = CFightMenu::HeadRect(3);
        if (pMenu->pBloodSurface) {
            RECT rcLife{0, 12, width(c.HP, c.MaxHP), 18};
            RECT rcMana{0, 6, width(c.MP, c.MaxMP), 12};
            RECT rcGauge{0, 0, width(c.timeRecovered, c.Recover), 6};
            if (rcLife.right > 0) pMenu->pBloodSurface->BlitKeyed(pBack, x + life.left, y + life.top, &rcLife);
            if (rcMana.right > 0) pMenu->pBloodSurface->BlitKeyed(pBack, x + mana.left, y + mana.top, &rcMana);
            if (rcGauge.right > 0) pMenu->pBloodSurface->BlitKeyed(pBack, x + gauge.left, y + gauge.top, &rcGauge);
        }
        char szText[48];
        std::snprintf(szText, sizeof szText, "HP:%d/%d", c.HP, c.MaxHP);
        pBack->TextOut(x + life.left, y + life.top - 14, RGB(255, 255, 255), szText);
        std::snprintf(szText, sizeof szText, "MP:%d/%d", c.MP, c.MaxMP);
        pBack->TextOut(x + mana.left, y + mana.top - 14, RGB(255, 255, 255), szText);
        const DWORD white = pScreen ? pScreen->RgbToPixel(RGB(255, 255, 255), pBack) : 0xFFFF;
        pBack->Rect(x, y, x + 93, y + 85, white);
    }
}
