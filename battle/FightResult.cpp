// The end of a battle: the victory sequence pays the party and reports level-ups on
// pages; the defeat sequence only shows its panel. Each waits for the player's click.
#include <algorithm>
#include <cstdio>
#include <string>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "battle/Fight.h"
#include "battle/FightObserver.h"
#include "gamedata/GameData.h"
#include "media/Mp3Player.h"
#include "media/SoundEffects.h"
#include "platform/Clock.h"
#include "platform/Resources.h"
#include "shell/MainFrame.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "world/Player.h"

namespace {

std::string Entry(UINT nId) {
    char szText[512];
    return LoadString(nId, szText, sizeof szText) > 0 ? std::string(szText) : std::string();
}

void PlaySound(int n) {
    if (pSoundEffects) pSoundEffects->Play(n);
}

int StatAt(int m, int nLevel, int LevelRow::*pField) { return FightLevelValue(m, nLevel, pField); }

CFightLevelRules g_defaultLevelRules;
CFightLevelRules* g_pLevelRules = &g_defaultLevelRules;

}  // namespace

bool CFightLevelRules::CanLevelUp(const CPlayer& record) { return record.CanLevelUp() != 0; }
void CFightLevelRules::LevelUp(CPlayer& record) { record.LevelUp(); }
void SetFightLevelRules(CFightLevelRules* pRules) { g_pLevelRules = pRules ? pRules : &g_defaultLevelRules; }
CFightLevelRules& FightLevelRules() { return *g_pLevelRules; }

void CFight::Victory() {
    bResultShown = 1;
    bNextPage = 0;
    int nMoney = 0, nExperience = 0;
    for (int s = 4; s < kFightSlots; ++s) {
        if (!Filled(s)) continue;
        nMoney += pChar[s]->Row().nMoney;
        nExperience += pChar[s]->Row().nExperience;
    }
    char szLine[1024];
    std::snprintf(szLine, sizeof szLine, Entry(14).c_str(), nMoney);
    ResultText = szLine + Entry(6) + "\r\n";
    if (pPlayer) pPlayer->AddMoney(nMoney);
    std::fill(std::begin(bPagePending), std::end(bPagePending), 0);
    for (int m = 0; m < 4 && pPlayer; ++m) {
        if (!(pPlayer->nPartyMask & (1 << m))) continue;
        CPlayer* pRecord = pPlayer->pPartyMembers[m];
        int s = 0;
        while (s < 4 && !(Filled(s) && pChar[s]->nMember == m)) ++s;
        if (s == 4 || !pRecord) continue;
        const CFightChar& c = *pChar[s];
        const std::string strName = Entry(UINT(42 + m));
        std::snprintf(szLine, sizeof szLine, Entry(15).c_str(), strName.c_str(), nExperience);
        ResultText += szLine;
        if (c.HP > 0) pRecord->AddExperience(nExperience);
        CFightLevelRules& rules = FightLevelRules();
        if (!rules.CanLevelUp(*pRecord)) {
            pRecord->nLife = c.HP;
            pRecord->nMana = c.MP;
            continue;
        }
        PlaySound(3);
        rules.LevelUp(*pRecord);
        for (int n = 0; n < 5 && rules.CanLevelUp(*pRecord); ++n) rules.LevelUp(*pRecord);
        const int L = pRecord->nLevel, tm = pRecord->TableMember();
        const int lifeBonus = pRecord->nBattleBonus[0], manaBonus = pRecord->nBattleBonus[1];
        const int nAgility = pRecord->nCelerity + pRecord->nBattleBonus[2];
        for (int p = 0; p < 3; ++p) {
            if (bPagePending[p]) continue;
            bPagePending[p] = 1;
            std::snprintf(szLine, sizeof szLine, Entry(16).c_str(), strName.c_str(), L, L + 1,
                          StatAt(tm, L - 1, &LevelRow::nLife) + lifeBonus, StatAt(tm, L, &LevelRow::nLife) + lifeBonus,
                          StatAt(tm, L - 1, &LevelRow::nMana) + manaBonus, StatAt(tm, L, &LevelRow::nMana) + manaBonus,
                          StatAt(tm, L - 1, &LevelRow::nAttack), StatAt(tm, L, &LevelRow::nAttack),
                          StatAt(tm, L - 1, &LevelRow::nDefence), StatAt(tm, L, &LevelRow::nDefence), nAgility,
                          nAgility + 1);
            Pages[p] = szLine;
            break;
        }
        pRecord->nLife = StatAt(tm, L, &LevelRow::nLife) + lifeBonus;
        pRecord->nMana = StatAt(tm, L, &LevelRow::nMana) + manaBonus;
        pRecord->nCelerity += 1;
    }
    if (pFrame) pFrame->m_mp3.Stop();
    PlaySound(0);
    for (int s = 0; s < 4; ++s)
        if (Alive(s)) pChar[s]->SetAction(kActVictory);
    RunResultPanel(420, 250, 430, 270, 410, 240);
}

void CFight::Defeat() {
    bResultShown = 1;
    std::fill(std::begin(bPagePending), std::end(bPagePending), 0);
    for (int s = 4; s < kFightSlots; ++s)
        if (Alive(s)) pChar[s]->SetAction(kActStand);
    ResultText = Entry(17);
    PlaySound(1);
    RunResultPanel(320, 200, 330, 230, 310, 190);
}

void CFight::RunResultPanel(int cx, int cy, int lx, int ty, int rx, int by) {
    while (bResultShown && bRunning) {
        ++nPasses;
        if (CFightObserver* pObserver = FightObserver()) pObserver->OnPass(*this);
        if (PumpMessage()) continue;
        dwNowTime = TimeGetTime();
        if (bNextPage) {
            // The first pending page replaces the text.
            for (int p = 0; p < 3; ++p) {
                if (!bPagePending[p]) continue;
                ResultText = Pages[p];
                bPagePending[p] = 0;
                break;
            }
            bNextPage = 0;
        }
        DrawScreen();
        DrawStatus();
        CDXSurface* pPanel = pMenu ? pMenu->pVictoryPanel.get() : nullptr;
        if (pBack && pPanel) {
            const int w = pPanel->GetWidth() - 16, h = pPanel->GetHeight() - 8;
            pPanel->BlitKeyed(pBack, cx - pPanel->GetWidth() / 2, cy - pPanel->GetHeight() / 2);
            pBack->ChangeFont("Arial", 0, 17, nCharSet, 400, 0);
            RECT rc{lx - w / 2, ty - h / 2, rx + w / 2, by + h / 2};
            pBack->DrawText(ResultText.c_str(), COLORREF(65535), &rc, 5);
        }
        if (pMouse && pBack) pMouse->Draw();
        if (pScreen) pScreen->Flip();
    }
    if (!bRunning || !pScreen) return;
    pScreen->FadeOut(500);
    pScreen->FadeIn(500);
}
