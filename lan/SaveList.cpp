#include "lan/SaveList.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSprite.h"
#include "CDX/CDXSurface.h"
#include "gamedata/DebugLog.h"
#include "lan/LanPictures.h"
#include "platform/Files.h"
#include "platform/Resources.h"
#include "platform/Stream.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "shell/Mouse.h"
#include "shell/ShellGlobals.h"
#include "ui/ShellServices.h"
#include "ui/menus/MenuPanel.h"

namespace {
const RECT kCaption[4] = {{350, 130, 480, 155}, {350, 245, 480, 275}, {350, 360, 480, 380}, {350, 470, 480, 490}};
constexpr size_t kHeaderBytes = 16 + 4 + 16 + 4;
constexpr size_t kThumbPixels = size_t(CSaveList::kThumbWidth) * CSaveList::kThumbHeight;

size_t ThumbBytes(bool bFullScreen) { return kThumbPixels * (bFullScreen ? 2 : 4); }
bool IsFullScreen() { return !pFrame || pFrame->m_bFullScreen != 0; }

POINT Cursor() { return pMouse ? POINT{pMouse->m_nX, pMouse->m_nY} : POINT{-1, -1}; }
}  // namespace

std::string CSaveList::FileName(int n) {
    char sz[32];
    std::snprintf(sz, sizeof(sz), "save/save%03d.sav", n);
    return sz;
}

CSaveList::CSaveList(std::function<bool(int)> loader)
    : m_loader(std::move(loader)), m_pHeader(std::make_unique<SaveListHeader>()) {
    const int ox = kOrigin.x, oy = kOrigin.y;
    for (int k = 0; k < 4; ++k) m_rc[k] = RECT{ox + 10, oy + 45 + 110 * k, ox + 318, oy + 150 + 110 * k};
    m_rc[4] = RECT{ox + 24, oy + 18, ox + 55, oy + 36};
    m_rc[5] = RECT{ox + 272, oy + 18, ox + 303, oy + 36};
    m_rc[6] = RECT{ox + 140, oy + 484, ox + 190, oy + 512};
    m_pBackground.reset(LoadMenuSurface("me0ML.bmp", false));
    m_pButton[0].reset(MakeLanSprite({"me007.bmp", 31, 18, 1}, 0, m_rc[4].left, m_rc[4].top));
    m_pButton[1].reset(MakeLanSprite({"me0073.bmp", 31, 18, 1}, 0, m_rc[5].left, m_rc[5].top));
    m_pButton[2].reset(MakeLanSprite({"me016.bmp", 48, 23, 1}, 0, m_rc[6].left, m_rc[6].top));
    for (int k = 0; k < 4; ++k) {
        m_pSlot[k].reset(MakeLanSprite({"me00RLL.bmp", 300, 107, 1}, 0, m_rc[k].left, m_rc[k].top));
        if (m_pSlot[k]) m_pSlot[k]->SetAlpha(127);
    }
    // The save folder lies in the game folder, whatever folder is current now.
    SetGameFolderCurrent();
    for (int n = 0; n < kFiles; ++n) m_bExists[n] = FileExists(FileName(n).c_str()) ? 1 : 0;
}

CSaveList::~CSaveList() = default;

bool CSaveList::ParseHeader(const std::uint8_t* pData, size_t nSize, bool bFullScreen, SaveListHeader* pOut) {
    if (nSize < kHeaderBytes + ThumbBytes(bFullScreen)) return false;
    CByteReader in(pData, nSize);
    SaveListHeader h;
    std::int32_t v = 0;
    bool bOk = in.ReadBytes(h.szCaption, 16) && in.ReadI32(&v);
    // A save of the game's own layout holds other words here: keep to what can be shown.
    h.nPictures = std::clamp(int(v), 0, 3);
    for (int& nFrame : h.nFrame) {
        bOk = bOk && in.ReadI32(&v);
        nFrame = std::clamp(int(v), 0, 6);
    }
    bOk = bOk && in.ReadI32(&v);
    h.nFlag = v;
    for (std::uint32_t& px : h.thumbnail) {
        if (bFullScreen) {
            std::uint16_t p = 0;
            bOk = bOk && in.ReadU16(&p);
            px = std::uint32_t((p >> 11) << 3) << 16 | std::uint32_t(((p >> 5) & 63) << 2) << 8 | std::uint32_t((p & 31) << 3);
        } else {
            bOk = bOk && in.ReadU32(&px);
            px &= 0xFFFFFF;
        }
    }
    if (!bOk) return false;
    h.szCaption[16] = 0;
    h.bThumbnail = true;
    *pOut = h;
    return true;
}

void CSaveList::ResetSlots() {
    m_pThumbnail.reset();
    for (int k = 0; k < 4; ++k)
        if (m_pSlot[k]) m_pSlot[k]->SetPos(m_rc[k].left, m_rc[k].top);
}

bool CSaveList::ReadSlot(int n) {
    m_pThumbnail.reset();
    m_nPictures = 0;
    std::vector<std::uint8_t> bytes;
    const bool bFullScreen = IsFullScreen();
    SetGameFolderCurrent();
    if (!ReadWholeFile(FileName(n).c_str(), kHeaderBytes + ThumbBytes(false) + (1u << 20), &bytes) ||
        !ParseHeader(bytes.data(), bytes.size(), bFullScreen, m_pHeader.get()))
        return false;
    if (pScreen) {
        auto pSurface = std::make_unique<CDXSurface>();
        if (pSurface->Create(pScreen, kThumbWidth, kThumbHeight) >= 0 && pSurface->Lock() >= 0) {
            for (int y = 0; y < kThumbHeight; ++y)
                for (int x = 0; x < kThumbWidth; ++x) {
                    const std::uint32_t p = m_pHeader->thumbnail[y * kThumbWidth + x];
                    const COLORREF c = RGB(p >> 16 & 255, p >> 8 & 255, p & 255);
                    pSurface->PutPixel(x, y, pScreen->RgbToPixel(c, pSurface.get()));
                }
            pSurface->Unlock();
            m_pThumbnail = std::move(pSurface);
        }
    }
    m_nPictures = m_pHeader->nPictures;
    for (int j = 0; j < m_nPictures; ++j) {
        const int nFrame = std::min(m_pHeader->nFrame[j] + (j == 0 && m_pHeader->nFlag != 0 ? 1 : 0), 6);
        m_pParty[j].reset(MakeLanSprite({"40x50.bmp", 42, 34, 7}, nFrame, 0, 0));
    }
    return true;
}

void CSaveList::SelectSlot() {
    ResetSlots();
    if (!Exists(m_nSelected) || !ReadSlot(m_nSelected)) return;
    const int k = m_nSelected - m_nTop;
    if (k >= 0 && k < 4 && m_pSlot[k]) m_pSlot[k]->SetPos(-200, -200);
}

void CSaveList::OnClick() {
    const POINT pt = Cursor();
    for (int k = 0; k < 4; ++k)
        if (PtInRect(m_rc[k], pt)) {
            m_nSelected = m_nTop + k;
            SelectSlot();
            break;
        }
    if (PtInRect(m_rc[4], pt)) {
        if (m_nTop > 0) --m_nTop;
        ResetSlots();
        PlayUiSound(5);
    }
    if (PtInRect(m_rc[5], pt)) {
        if (m_nTop < kLastTop) ++m_nTop;
        ResetSlots();
        PlayUiSound(5);
    }
    if (PtInRect(m_rc[6], pt)) {
        ResetSlots();
        PlayUiSound(5);
        // The screen is done only once the file has loaded; a refused file is said and
        // the screen stays.
        if (Exists(m_nSelected)) {
            std::string strWhy;
            bool bLoaded = false;
            if (m_loader) bLoaded = m_loader(m_nSelected);
            else if (pFrame) bLoaded = pFrame->LoadGame(m_nSelected, &strWhy);
            if (bLoaded) m_bDone = 1;
            else ReportFileProblem(strWhy.empty() ? FileName(m_nSelected) + " cannot be loaded" : strWhy);
        }
    }
}

int CSaveList::Draw() {
    if (m_pBackground && pBack) m_pBackground->BlitOpaque(pBack, kOrigin.x, kOrigin.y);
    if (GetAsyncKeyState(VK_LBUTTON) & 1) OnClick();
    if (m_bDone || !pBack) return 1;
    char szNew[64] = {};
    if (LoadString(8, szNew, int(sizeof(szNew))) <= 0) std::snprintf(szNew, sizeof(szNew), "%s", "\xD0\xC2\xDF\x4D\xB6\xC8");
    for (int k = 0; k < 4; ++k) {
        const int n = m_nTop + k;
        if (m_pSlot[k]) m_pSlot[k]->Draw(pBack, 0, 0, BLT_ALPHAMASK);
        if (n == m_nSelected && m_pThumbnail) continue;
        char szLabel[64];
        if (Exists(n)) std::snprintf(szLabel, sizeof(szLabel), "\xDF\x4D\xB6\xC8 %d", n);
        else std::snprintf(szLabel, sizeof(szLabel), "%s", szNew);
        pBack->TextOut(m_rc[k].left + 100, m_rc[k].top + 50, RGB(255, 0, 0), szLabel);
    }
    const int k = m_nSelected - m_nTop;
    if (m_pThumbnail && k >= 0 && k < 4) {
        m_pThumbnail->BlitOpaque(pBack, m_rc[k].left + 37, m_rc[k].top + 15);
        for (int j = 0; j < m_nPictures; ++j)
            if (m_pParty[j]) {
                m_pParty[j]->SetPos(m_rc[k].left + 145 + 45 * j, m_rc[k].top + 17);
                m_pParty[j]->Draw(pBack, 0, 0, BLT_KEYED);
            }
        RECT rc = kCaption[k];
        pBack->DrawText(m_pHeader->szCaption, RGB(255, 255, 0), &rc, 33);
    }
    const POINT pt = Cursor();
    for (int b = 0; b < 3; ++b)
        if (m_pButton[b] && PtInRect(m_rc[4 + b], pt)) m_pButton[b]->Draw(pBack, 0, 0, BLT_KEYED);
    return 1;
}
