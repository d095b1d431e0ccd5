// What the toolbar paints besides its panels: portraits, bars, skill icons, quick
// slots, the toolbar button and tooltips, the item description box, the target's life
// bar, the script text box and the blinking caption.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/BitmapData.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "media/TgaImage.h"
#include "platform/Charset.h"
#include "platform/Resources.h"
#include "platform/Text.h"
#include "shell/ShellGlobals.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/Player.h"

namespace {

constexpr COLORREF kGreen = 65280, kWhite = 16777215, kRed = 255, kBlue = 16711680;
constexpr int kBarFull = 76;
constexpr DWORD kCaptionMs = 5001;

const std::string& Face(const char* pszUtf8) {
    static std::string s_faces[3];
    static const char* const kFaces[3] = {"隶书", "新宋体", "Arial"};
    for (int i = 0; i < 3; ++i)
        if (std::strcmp(pszUtf8, kFaces[i]) == 0) {
            if (s_faces[i].empty()) s_faces[i] = Utf8ToText(pszUtf8);
            return s_faces[i];
        }
    static std::string s_other;
    s_other = Utf8ToText(pszUtf8);
    return s_other;
}

void SetFont(const char* pszUtf8, int nHeight) {
    if (pBack) pBack->ChangeFont(Face(pszUtf8).c_str(), 0, nHeight, nCharSet, 400, 0);
}

void Text(const char* psz, COLORREF cr, RECT rc, UINT uFormat) {
    if (pBack && psz) pBack->DrawText(psz, cr, &rc, uFormat);
}

int BarWidth(int nValue, int nMax) {
    // A maximum of 0 gives an empty bar rather than a division by zero.
    if (nMax == 0) return 0;
    return int(std::int64_t(nValue) * kBarFull / nMax);
}

// The description box picture cut to a box of w x h, blended at 50 % with its key.
void DrawBox(CDXSurface* pBox, int x, int y, int w, int h) {
    if (!pBox || !pBack) return;
    RECT rc{0, 0, std::min(w, pBox->GetWidth()), std::min(h, pBox->GetHeight())};
    pBox->BlitHalfAlphaKeyed(pBack, x, y, &rc);
}

// A string-table entry cut to nSize - 1 bytes at a character boundary.
int LoadStringBounded(UINT nId, char* pBuffer, int nSize) {
    char szWhole[512] = {};
    if (LoadString(nId, szWhole, sizeof szWhole) <= 0) {
        if (nSize > 0) pBuffer[0] = '\0';
        return 0;
    }
    CopyTextBounded(pBuffer, nSize, szWhole);
    return int(std::strlen(pBuffer));
}

const ItemRow* ItemOf(int nItem) { return pGameData ? pGameData->GetItem(nItem) : nullptr; }

// The item's sale price: what the first shop pays for it.
int SalePrice(int nItem) {
    ShopTable* pShop = pGameData ? pGameData->GetShop(0) : nullptr;
    if (!pShop || nItem < 0 || nItem > 100) return 0;
    return pShop->PriceIn(nItem);
}

}  // namespace

void CopyTextBounded(char* pDest, int nSize, const char* pszSource) {
    if (!pDest || nSize <= 0) return;
    pDest[0] = '\0';
    if (!pszSource) return;
    const std::string_view text(pszSource);
    size_t n = 0;
    while (n < text.size()) {
        const size_t nStep = IsDoubleByteLead(text, n) ? 2 : 1;
        if (n + nStep > size_t(nSize - 1)) break;
        n += nStep;
    }
    std::memcpy(pDest, pszSource, n);
    pDest[n] = '\0';
}

SIZE TextBoxPlateSize(int nBytes) {
    const int w = nBytes / 2 * 25 + 12;
    if (w > 840) return SIZE{420, 102};
    if (w >= 421) return SIZE{420, 68};
    return SIZE{w, 34};
}

void CGameToolBar::DrawHud() {
    if (pPlayer) {
        const int nPortrait = ToolBarHost().UsesAlternatePortrait(pPlayer) ? 4 : 0;
        if (m_pPortraits[nPortrait] && pBack)
            m_pPortraits[nPortrait]->Draw(pBack, m_rcHeroPortrait.left, m_rcHeroPortrait.top + 4, nullptr, 0, 0, 0, 0);
        const int m = m_nCompanion;
        if (pCompanion && m >= 1 && m <= 4) {
            if (m_pPortraits[m - 1] && pBack)
                m_pPortraits[m - 1]->Draw(pBack, m_rcCompanionPortrait.left, m_rcCompanionPortrait.top + 4, nullptr, 0, 0,
                                          0, 0);
        } else if (m >= 2 && m <= 4 && !pPlayer->bFlags[m - 1]) {
            if (m_pAbsent[m - 2] && pBack)
                m_pAbsent[m - 2]->BlitKeyed(pBack, m_rcCompanionPortrait.left, m_rcCompanionPortrait.top + 4);
        }
        DrawBar(m_pBlood, m_pBloodLeft, m_pBloodRight, BarWidth(pPlayer->nLife, pPlayer->nLifeMax), m_rcHeroLife.left,
                m_rcHeroLife.top);
        DrawBar(m_pMana, m_pManaLeft, m_pManaRight, BarWidth(pPlayer->nMana, pPlayer->nManaMax), m_rcHeroMana.left,
                m_rcHeroMana.top);
        if (pBitmapData && pPlayer->nSelectedSkill >= 0)
            pBitmapData->DrawJlIcon(pPlayer->nSelectedSkill, m_rcHeroSkill.left, m_rcHeroSkill.top);
        if (pBitmapData && pCompanion && pCompanion->nSelectedSkill >= 0)
            pBitmapData->DrawJlIcon(pCompanion->nSelectedSkill, m_rcCompanionSkill.left, m_rcCompanionSkill.top);
        if (pCompanion && pCompanion->nLifeMax != 0) {
            DrawBar(m_pBlood, m_pBloodLeft, m_pBloodRight, BarWidth(pCompanion->nLife, pCompanion->nLifeMax),
                    m_rcCompanionLife.left, m_rcCompanionLife.top);
            DrawBar(m_pMana, m_pManaLeft, m_pManaRight, BarWidth(pCompanion->nMana, pCompanion->nManaMax),
                    m_rcCompanionMana.left, m_rcCompanionMana.top);
        }
    }
    char szCount[16];
    for (int i = 0; i < kToolBarQuickSlots; ++i) {
        const int nItem = m_nQuickSlots[i];
        if (nItem < 0 || !pPlayer || pPlayer->HasItem(nItem) < 1) continue;
        const RECT& rc = m_rcQuickSlots[i];
        if (pBitmapData) pBitmapData->DrawPropIcon(nItem, rc.left + 13, rc.top + 10);
        std::snprintf(szCount, sizeof szCount, "%d", pPlayer->nItemCount[nItem]);
        Text(szCount, kRed, RECT{rc.left + 2, rc.top, rc.right + 2, rc.bottom}, DT_LEFT | DT_TOP);
    }
    if (m_nStackItem >= 0) {
        if (pBitmapData) pBitmapData->DrawPropIcon(m_nStackItem, m_rcStackSlot.left, m_rcStackSlot.top);
        std::snprintf(szCount, sizeof szCount, "%d", m_nStackCount);
        Text(szCount, kWhite, m_rcStackSlot, DT_BOTTOM | DT_SINGLELINE);
    }
    DrawStackSkillIcon();
    const POINT pt = ToolBarHost().GetMousePos();
    CTgaImage* pButton = PtInRect(m_rcButtonStrip, pt) ? m_pButtonHover : m_pButton;
    if (pButton && pBack) pButton->Draw(pBack, m_rcButtonStrip.left, m_rcButtonStrip.top, nullptr, 0, 0, 0, 0);
    UpdateToolBarHover();
    DrawTextBox();
    DrawBarTips();
    if (m_nToolBarHover >= 0) {
        char szTip[65] = {};
        LoadStringBounded(UINT(68 + m_nToolBarHover), szTip, sizeof szTip);
        DrawBox(m_pDescription, pt.x - 40, pt.y - 20, 80, 40);
        Text(szTip, kWhite, RECT{pt.x - 30, pt.y - 10, pt.x + 30, pt.y + 10}, DT_CENTER);
    }
    DrawCaption();
}

void CGameToolBar::DrawBar(CDXSurface* pMiddle, CDXSurface* pLeft, CDXSurface* pRight, int w, int x, int y) {
    if (!pBack || w <= 0 || w >= 77) return;
    if (w <= 4) {
        RECT rc{0, 0, w, 12};
        if (pLeft) pLeft->BlitKeyed(pBack, x, y, &rc);
        return;
    }
    if (pLeft) pLeft->BlitKeyed(pBack, x, y);
    RECT rcMiddle{0, 0, w - 4, 12};
    if (pMiddle) pMiddle->BlitKeyed(pBack, x + 4, y, &rcMiddle);
    if (w >= 8 && pRight) pRight->BlitKeyed(pBack, x + w, y);
}

void CGameToolBar::UpdateToolBarHover() {
    const POINT pt = ToolBarHost().GetMousePos();
    if (PtInRect(m_rcButtonStrip, pt)) {
        m_nToolBarHover = 0;
        return;
    }
    m_nToolBarHover = -1;
    for (int i = 0; i < kToolBarQuickSlots; ++i) {
        if (m_nQuickSlots[i] < 0 || !PtInRect(m_rcQuickSlots[i], pt)) continue;
        m_nTipItem = m_nQuickSlots[i];
        const ItemRow* pRow = ItemOf(m_nTipItem);
        if (!pRow) continue;
        Text(pRow->pName, kGreen, RECT{pt.x - 95, pt.y - 112, pt.x + 100, pt.y - 92}, DT_CENTER);
        Text(pRow->pDescription, kWhite, RECT{pt.x - 95, pt.y - 92, pt.x + 100, pt.y - 72}, DT_CENTER);
    }
}

void CGameToolBar::DrawBarTips() {
    if (!pPlayer) return;
    const POINT pt = ToolBarHost().GetMousePos();
    auto tip = [&](int nValue, int nMax) {
        char sz[32];
        std::snprintf(sz, sizeof sz, "%d/%d", nValue, nMax);
        DrawBox(m_pDescription, pt.x - 50, pt.y - 20, 100, 40);
        SetFont("隶书", 20);
        Text(sz, kWhite, RECT{pt.x - 50, pt.y - 10, pt.x + 50, pt.y + 10}, DT_CENTER);
        SetFont("Arial", 15);
    };
    if (PtInRect(m_rcHeroLife, pt)) tip(pPlayer->nLife, pPlayer->nLifeMax);
    if (pCompanion && PtInRect(m_rcCompanionLife, pt)) tip(pCompanion->nLife, pCompanion->nLifeMax);
    if (PtInRect(m_rcHeroMana, pt)) tip(pPlayer->nMana, pPlayer->nManaMax);
    if (pCompanion && PtInRect(m_rcCompanionMana, pt)) tip(pCompanion->nMana, pCompanion->nManaMax);
    if (pPlayer->nSelectedSkill >= 0 && PtInRect(m_rcHeroSkill, pt)) DrawSkillTip(pPlayer->nSelectedSkill);
    if (pCompanion && pCompanion->nSelectedSkill >= 0 && PtInRect(m_rcCompanionSkill, pt))
        DrawSkillTip(pCompanion->nSelectedSkill);
}

void CGameToolBar::DrawSkillTip(int nSkill) {
    const SkillRow* pSkill = pGameData ? pGameData->GetSkill(nSkill) : nullptr;
    if (!pSkill) return;
    const POINT pt = ToolBarHost().GetMousePos();
    DrawBox(m_pDescription, pt.x - 100, pt.y - 120, 200, 150);
    Text(pSkill->pName, kGreen, RECT{pt.x - 87, pt.y - 112, pt.x + 80, pt.y - 92}, DT_CENTER);
    Text(pSkill->pDescription, kWhite, RECT{pt.x - 87, pt.y - 92, pt.x + 80, pt.y + 28}, DT_WORDBREAK);
}

namespace {

// The lines of a description box from a text rectangle downwards, 20 px apart.
void DescriptionLines(int nItem, RECT rc, bool bBonus, int nPrice) {
    const ItemRow* pRow = ItemOf(nItem);
    if (!pRow) return;
    auto line = [&](const char* psz, COLORREF cr) {
        Text(psz, cr, rc, DT_CENTER);
        rc.top += 20;
        rc.bottom += 20;
    };
    line(pRow->pName, kGreen);
    for (const char* psz : {pRow->pDescription, pRow->pDescription1, pRow->pDescription2, pRow->pDescription3,
                            pRow->pDescription4})
        if (psz && psz[0]) line(psz, kWhite);
    char szFormat[65], szLine[96];
    if (bBonus && pPlayer && nItem < kHeroItemCount) {
        const InlayRecord& r = pPlayer->inlay[nItem];
        if (r.nAttack >= 1 || r.nDefence >= 1 || r.nStaminaMax >= 1) {
            if (LoadStringBounded(75, szFormat, sizeof szFormat) > 0) {
                std::snprintf(szLine, sizeof szLine, szFormat, r.nAttack, r.nDefence);
                line(szLine, kWhite);
            }
        }
    }
    if (LoadStringBounded(67, szFormat, sizeof szFormat) > 0) {
        std::snprintf(szLine, sizeof szLine, szFormat, nPrice);
        line(szLine, kWhite);
    }
}

}  // namespace

void CGameToolBar::DrawItemDescription() {
    CToolBarHost& host = ToolBarHost();
    if (m_nTipItem < 0 || host.GetCarriedItem() >= 0 || !Panel(kItemPanel)) return;
    const POINT pt = host.GetMousePos();
    if (m_pDescription && pBack) m_pDescription->BlitHalfAlphaKeyed(pBack, pt.x - 200, pt.y - 170);
    DescriptionLines(m_nTipItem, RECT{pt.x - 195, pt.y - 162, pt.x + 200, pt.y - 142}, m_nTipCell >= 0,
                     SalePrice(m_nTipItem));
}

void CGameToolBar::DrawItemDescriptionAt(int nItem, int nPrice) {
    CToolBarHost& host = ToolBarHost();
    if (nItem == -1 || host.GetCarriedItem() >= 0) return;
    const POINT pt = host.GetMousePos();
    const POINT box = pt.y - 170 < 1 ? POINT{pt.x - 20, pt.y + 20} : POINT{pt.x - 200, pt.y - 170};
    if (m_pDescription && pBack) m_pDescription->BlitHalfAlphaKeyed(pBack, box.x, box.y);
    DescriptionLines(nItem, RECT{box.x + 13, box.y + 8, box.x + 400, box.y + 28}, false, nPrice);
}

void CGameToolBar::DrawTargetBar() {
    TargetBarInfo target;
    if (!pScene || !pBack || !ToolBarHost().GetTarget(&target)) return;
    if (target.bMonster && target.nLifeMax != 0) {
        pBack->Rect(350, 10, 450, 28, 65535);
        const int nRight = 350 + int(std::int64_t(target.nLife) * 100 / target.nLifeMax);
        if (nRight > 350) pBack->FillRect(350, 10, nRight, 28, pScreen ? pScreen->RgbToPixel(RGB(186, 0, 0), pBack) : 0);
    }
    if (target.pszName && target.pszName[0]) Text(target.pszName, kBlue, RECT{350, 10, 450, 28}, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

int CGameToolBar::ShowTextBox(int nIndex, int nStepMs) {
    const char* pszText = pGameData ? pGameData->GetText(nIndex) : nullptr;
    if (!pszText || !pScreen) return 0;
    delete m_pTextBox;
    delete m_pTextBoxPlate;
    m_pTextBox = new CDXSurface();
    m_pTextBoxPlate = nullptr;
    const DWORD dwMemory = ToolBarHost().GetSurfaceMemory();
    if (Failed(m_pTextBox->Create(pScreen, 420, 100, dwMemory))) {
        delete m_pTextBox;
        m_pTextBox = nullptr;
        return 0;
    }
    m_pTextBox->Fill(0);
    m_pTextBox->ChangeFont(Face("新宋体").c_str(), 0, 25, nCharSet, 400, 0);
    RECT rc{0, 0, 400, 200};
    m_pTextBox->DrawText(pszText, kWhite, &rc, DT_WORDBREAK);
    m_pTextBox->SetColorKeyFromCorner();
    const SIZE plate = TextBoxPlateSize(int(std::strlen(pszText)));
    m_pTextBoxPlate = new CDXSurface();
    if (Failed(m_pTextBoxPlate->Create(pScreen, plate.cx, plate.cy, dwMemory))) {
        delete m_pTextBoxPlate;
        m_pTextBoxPlate = nullptr;
    } else {
        // A dark plate behind the text.
        m_pTextBoxPlate->Fill(pScreen->RgbToPixel(RGB(16, 16, 32), m_pTextBoxPlate));
    }
    m_nTextBoxAlpha = 100;
    m_nTextBoxStep = nStepMs;
    m_bTextBoxFadingIn = 1;
    m_bTextBoxDismissed = 0;
    m_dwTextBoxLastStep = m_dwTextBoxNow = dwNowTime;
    return 1;
}

void CGameToolBar::DrawTextBox() {
    if (!m_pTextBox) return;
    if (pBack) {
        if (m_pTextBoxPlate) m_pTextBoxPlate->BlitHalfAlpha(pBack, 297, 96);
        m_pTextBox->BlitAlphaKeyed(pBack, 300, 100, nullptr, WORD(m_nTextBoxAlpha * 255 / 100));
    }
    m_dwTextBoxNow = dwNowTime;
    if (m_dwTextBoxNow - m_dwTextBoxLastStep < DWORD(std::max(m_nTextBoxStep, 0))) return;
    m_dwTextBoxLastStep = m_dwTextBoxNow;
    if (m_bTextBoxFadingIn) {
        if (m_nTextBoxAlpha < 1) {
            m_bTextBoxFadingIn = 0;
            m_nTextBoxAlpha = 1;
        } else {
            m_nTextBoxAlpha -= 10;
        }
    } else if (m_bTextBoxDismissed) {
        if (m_nTextBoxAlpha >= 100) {
            m_nTextBoxAlpha = 100;
            delete m_pTextBox;
            delete m_pTextBoxPlate;
            m_pTextBox = nullptr;
            m_pTextBoxPlate = nullptr;
            m_bTextBoxDismissed = 0;
        } else {
            m_nTextBoxAlpha += 10;
        }
    }
}

void CGameToolBar::SetCaption(const char* pszText) {
    CopyTextBounded(m_szCaption, sizeof m_szCaption, pszText);
    m_dwCaptionTime = dwNowTime;
    m_bCaptionShown = 1;
}

void CGameToolBar::DrawCaption() {
    if (m_bCaptionShown) {
        SetFont("隶书", 25);
        DrawBox(m_pDescription, 200, 85, 400, 50);
        if (m_nCaptionBlink == 5) {
            m_bCaptionWhite = !m_bCaptionWhite;
            m_nCaptionBlink = 0;
        }
        Text(m_szCaption, m_bCaptionWhite ? kWhite : kRed, RECT{200, 100, 600, 150}, DT_CENTER);
        ++m_nCaptionBlink;
    }
    if (ToolBarHost().PollLeftButton() || dwNowTime - m_dwCaptionTime >= kCaptionMs) {
        if (m_bCaptionShown) SetFont("Arial", 15);
        m_bCaptionShown = 0;
    }
}
