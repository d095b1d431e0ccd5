// What a finished effect does to the fighters: blows and spells with their damage
// rules, heals, timed raises with their pictures, poison, bind, throws, thefts and
// used items.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "CDX/CDXScreen.h"
#include "battle/Fight.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "gamedata/PkgFile.h"
#include "media/TgaImage.h"
#include "platform/Charset.h"
#include "platform/Resources.h"
#include "shell/ShellGlobals.h"
#include "world/EffectAnim.h"
#include "world/Player.h"

namespace {

const SkillRow* SkillOf(int k) { return pGameData ? pGameData->GetSkill(k) : nullptr; }

constexpr size_t kMessageSize = 64;

// Pictures of the four raises: defence, agility, attack, multi-hit.
const char* const kRaisePictures[4] = {"L%02d.tga", "C%02d.tga", "P%02d.tga", "Y%02d.tga"};

std::string Entry(UINT nId) {
    char szText[256];
    return LoadString(nId, szText, sizeof szText) > 0 ? std::string(szText) : std::string();
}

// Cuts a text to fit a buffer of nSize bytes with its terminator, never inside a
// double-byte character.
std::string Bounded(const std::string& text, size_t nSize) {
    size_t n = 0;
    while (n < text.size()) {
        const size_t nStep = IsDoubleByteLead(text, n) ? 2 : 1;
        if (n + nStep > nSize - 1) break;
        n += nStep;
    }
    return text.substr(0, n);
}

}  // namespace

void CFight::ApplyDamage(int t, int v, int nCap, bool bHit) {
    CFightChar& ct = *pChar[t];
    v = std::min(v, nCap);
    if (t < 4 && bDefending[t]) {
        v = std::min(v / 2, nCap);
        ct.AddHp(v);
        bDefending[t] = 0;
    } else {
        ct.AddHp(v);
        // A fighter carrying out its own action keeps at it: a hurt action would cut
        // its walk short, and its blow or its way home would never come.
        if (bHit && t != PendingAttacker && !bActing[t]) ct.SetAction(kActHurt);
    }
}

void CFight::HealOne(int t, int nAmount) {
    if (!Filled(t)) return;
    CFightChar& ct = *pChar[t];
    const bool bLow = ct.HP < ct.MaxHP / 3;
    ct.AddHp(nAmount);
    if (bLow) ct.SetAction(kActStand);
}

void CFight::ApplyEffect(const CEffectAnim& effect) {
    const int k = effect.m_nSkill, a = effect.m_nAttacker, t = effect.m_nTarget;
    if (a < 0 || a >= kFightSlots || !pChar[a]) return;
    CFightChar& ca = *pChar[a];
    ca.timeRecovered = 0;
    ca.bContinue = 1;
    const SkillRow* pSkill = SkillOf(k);
    const int nKind = pSkill ? ((pSkill->nType % 46) + 46) % 46 : -1;
    TickStatus(a);
    const bool bTarget = t >= 0 && t < kFightSlots && Filled(t);
    auto spell = [&](int nBase) { return int(std::trunc(double(nBase) * HitFactor())); };
    switch (nKind) {
        case 2: case 8: case 14: case 20: case 26: case 32: case 40: case 41: {
            if (!bTarget || pChar[t]->HP < 1) break;
            CFightChar& ct = *pChar[t];
            ApplyDamage(t, spell((ct.Defence + ct.nDefenceBonus) - (ca.Attack + ca.nAttackBonus)), -10, true);
            ct.bContinue = 1;
            break;
        }
        case 0: case 6: case 12: case 18: case 24: case 30: case 36: case 37:
            if (!bTarget || pChar[t]->HP < 1) break;
            ApplyDamage(t, spell(-pSkill->nAttack), -1, true);
            pChar[t]->bContinue = 1;
            break;
        case 1: case 7: case 13: case 19: case 25: case 31:
            for (int s = 4; s < kFightSlots; ++s)
                if (Alive(s)) ApplyDamage(s, spell(-pSkill->nAttack), -1, true);
            if (bTarget) pChar[t]->bContinue = 1;
            break;
        case 38: case 39:
            for (int s = 0; s < 4; ++s)
                if (Alive(s)) ApplyDamage(s, spell(pSkill->nAttack - ca.Attack), -1, true);
            if (bTarget) pChar[t]->bContinue = 1;
            break;
        case 3: case 9: case 15: case 21: case 27: case 33: case 42:
            if (bTarget) HealOne(t, effect.m_nAttack);
            break;
        case 4: case 10: case 16: case 22: case 28: case 34:
            for (int s = 0; s < 4; ++s) HealOne(s, effect.m_nAttack);
            break;
        case 5: case 11: case 23: case 29: {
            // Raises belong to the party: one aimed at an enemy lands on its caster.
            const int r = (t >= 0 && t < 4 && Filled(t)) ? t : a;
            const int i = nKind == 5 ? 0 : nKind == 11 ? 1 : nKind == 29 ? 2 : 3;
            Raise(r, i);
            break;
        }
        case 17:
            ThrowItem(a, effect.m_nExtra, t);
            break;
        case 35:
            // One theft in five succeeds, and only while the enemy's kind has an item.
            if (!(Draw() % 5 == 0 && Steal(t))) MessageText = Bounded(Entry(55), kMessageSize);
            if (bTarget && pChar[t]->HP > 0) {
                pChar[t]->SetAction(kActHurt);
                pChar[t]->bContinue = 1;
            }
            if (pChar[0]) pChar[0]->bMessage = 1;
            break;
        case 43: case 44:
            if (!bTarget || pChar[t]->HP < 1) break;
            (nKind == 43 ? pChar[t]->bPoisoned : pChar[t]->bBound) = 1;
            pChar[t]->SetAction(kActWeak);
            break;
        case 45: {
            const ItemRow* pItem = pGameData ? pGameData->GetItem(effect.m_nExtra) : nullptr;
            if (bTarget) {
                // A revive already gave its life.
                if (!bItemApplied && pItem) pChar[t]->AddHp(pItem->nLife);
                if (pChar[t]->Action == kActWeak) pChar[t]->SetAction(kActStand);
            }
            bItemApplied = 0;
            ca.timeRecovered = 0;
            ca.bContinue = 0;
            ActiveNpc = CommandSkill = CommandItem = CommandMode = -1;
            SetMenuState(kMenuHidden);
            break;
        }
        default: break;
    }
    if (t == ActiveNpc && bTarget && pChar[t]->HP <= 0) {
        ActiveNpc = -1;
        CommandMode = -1;
        SetMenuState(kMenuHidden);
    }
}

void CFight::Raise(int s, int i) {
    CFightChar& c = *pChar[s];
    // A raise already on only starts its count again: doubling twice and halving once
    // would leave the fighter raised for good.
    if (!c.bRaised[i]) {
        switch (i) {
            case 0: c.Defence *= 2; break;
            case 1: c.Recover /= 2; break;
            case 2: c.Attack *= 2; break;
            default: c.RepeatTarget = s; break;
        }
    }
    c.bRaised[i] = 1;
    c.RaiseTurns[i] = 0;
    LoadRaisePictures(s, kRaisePictures[i]);
}

void CFight::LoadRaisePictures(int s, const char* pszFormat) {
    if (s < 0 || s >= 4) return;
    CPkgFile* pPkg = pBitmapData ? pBitmapData->GetVeskPkg() : nullptr;
    for (int n = 0; n < 4; ++n) {
        RaiseSprites[s][n].reset();
        if (!pPkg) continue;
        char szName[16];
        std::snprintf(szName, sizeof szName, pszFormat, n);
        const int nSize = pPkg->GetSize(szName);
        FILE* pStream = nSize > 0 ? pPkg->Seek(szName) : nullptr;
        if (!pStream) continue;
        auto pImage = std::make_unique<CTgaImage>();
        if (pImage->LoadFromFile(pStream, DWORD(nSize))) RaiseSprites[s][n] = std::move(pImage);
        else pPkg->ReportNotPicture(szName);
    }
}

void CFight::DrawRaise(int s, const POINT& pt) {
    if (s < 0 || s >= 4 || !pBack) return;
    const CFightChar& c = *pChar[s];
    bool bOn = false;
    for (int i = 0; i < 4; ++i) bOn = bOn || c.bRaised[i];
    CTgaImage* pImage = bOn ? RaiseSprites[s][c.nFrame & 3].get() : nullptr;
    if (!pImage) return;
    // Over the fighter's feet, where the frame's anchor lies.
    pImage->Draw(pBack, pt.x + 200 - pImage->GetWidth() / 2, pt.y + 170 - pImage->GetHeight(), nullptr, 0, 0, 0, 0);
}

void CFight::TickStatus(int s) {
    if (s < 0 || s >= 4 || !pChar[s]) return;
    CFightChar& c = *pChar[s];
    for (int i = 0; i < 4; ++i) {
        if (!c.bRaised[i]) continue;
        if (c.RaiseTurns[i] < 3) {
            c.RaiseTurns[i] += 1;
            continue;
        }
        c.bRaised[i] = 0;
        c.RaiseTurns[i] = 0;
        for (auto& p : RaiseSprites[s]) p.reset();
        switch (i) {
            case 0: c.Defence /= 2; break;
            case 1: c.Recover *= 2; break;
            case 2: c.Attack /= 2; break;
            default:
                c.bHitAgain = 0;
                c.RepeatTarget = -1;
                break;
        }
    }
}

void CFight::ApplyPoison(int s, int nSource) {
    CFightChar* c = Char(s);
    CFightChar* src = Char(nSource);
    if (!c || !src) return;
    c->HP -= src->Poison;
    if (c->HP < 1) {
        c->HP = 0;
        c->SetAction(kActHurt);
    }
}

void CFight::ThrowItem(int a, int nItem, int t) {
    const ItemRow* pItem = pGameData ? pGameData->GetItem(nItem) : nullptr;
    // The item has left her hand: it is spent even when its target fell before it landed.
    if (pItem) ConsumeItem(nItem);
    ThrowItemNo = -1;
    if (!pItem || !Alive(t) || !Char(a)) return;
    CFightChar& ct = *pChar[t];
    ct.AddHp(-(pChar[a]->Attack + 2 * pItem->nAttack));
    ct.SetAction(kActHurt);
    ct.bContinue = 1;
}

int CFight::Steal(int t) {
    const CFightChar* c = Char(t);
    if (!c || c->IsEmpty() || c->IsParty() || !pGameData || c->AniNo >= pGameData->nFightNpcCount) return 0;
    // The table row, not the fighter's copy: every enemy of this kind is robbed.
    FightNpcRow& row = pGameData->pFightNpc[c->AniNo];
    const ItemRow* pItem = pGameData->GetItem(row.nItem);
    if (row.nItem == 0 || !pItem) return 0;
    MessageText = Bounded(Entry(6) + " " + pItem->pName, kMessageSize);
    if (pPlayer) pPlayer->AddItem(row.nItem);
    row.nItem = 0;
    BuildItemLists();
    return 1;
}
