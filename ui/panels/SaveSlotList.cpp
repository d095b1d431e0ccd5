#include "ui/panels/SaveSlotList.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/DebugLog.h"
#include "media/TgaImage.h"
#include "platform/Charset.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "shell/SaveGameFile.h"
#include "shell/ShellGlobals.h"
#include "ui/boxes/MessageBoxes.h"
#include "ui/menus/MenuPanel.h"
#include "ui/toolbar/ToolBarHost.h"

namespace {

CSaveSlotHost s_defaultHost;
CSaveSlotHost* s_pHost = &s_defaultHost;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kSelection = RGB(255, 255, 0);
constexpr int kNotchStep = 27;
constexpr int kThumbDrawWidth = 84, kThumbDrawHeight = 62;

RECT Moved(RECT rc, POINT pt) { return RECT{rc.left + pt.x, rc.top + pt.y, rc.right + pt.x, rc.bottom + pt.y}; }

// A thumbnail surface from the header's rows; null without a screen.
std::unique_ptr<CDXSurface> MakeThumbnail(const std::uint8_t* pPixels) {
    if (!pScreen) return nullptr;
    auto pThumb = std::make_unique<CDXSurface>();
    if (pThumb->Create(pScreen, kSaveThumbWidth, kSaveThumbHeight, ToolBarHost().GetSurfaceMemory()) < 0) return nullptr;
    if (pThumb->Lock() < 0) return nullptr;
    BYTE* pBits = pThumb->GetLockedBits();
    const size_t nRow = size_t(kSaveThumbWidth) * 2;
    if (pBits && pThumb->GetPitch() >= int(nRow))
        for (int y = 0; y < kSaveThumbHeight; ++y)
            std::memcpy(pBits + size_t(y) * size_t(pThumb->GetPitch()), pPixels + size_t(y) * nRow, nRow);
    pThumb->Unlock();
    return pThumb;
}

}  // namespace

int CSaveSlotHost::AskQuestion(const char* pszText) {
    COKCancelBox box;
    box.LoadButtons("PutDownItem.bmp", "YesOrNo.bmp", 85, 40);
    return box.Run(pszText, 2, 400, 225);
}

void CSaveSlotHost::ShowNotice(const char* pszText) {
    CNoticeBox box;
    box.LoadButtons();
    box.Run(pszText, 1, 400, 225);
}

CSaveSlotHost& SaveSlotHost() { return *s_pHost; }
void SetSaveSlotHost(CSaveSlotHost* pHost) { s_pHost = pHost ? pHost : &s_defaultHost; }

// ---- the list ----

CSaveSlotList::CSaveSlotList() { ScanSlots(); }
CSaveSlotList::~CSaveSlotList() = default;

void CSaveSlotList::ScanSlots() {
    SetGameFolderCurrent();
    // A folder in a save's place is a slot taken by something that cannot be loaded,
    // not a free slot: its row says so and a load of it is refused with its reason.
    for (int n = 0; n < kSaveListSlots; ++n) {
        const std::string strName = SaveFileName(n);
        m_bPresent[n] = FileExists(strName.c_str()) || DirectoryExists(strName.c_str());
    }
    RefreshRows();
}

void CSaveSlotList::ReadSaveHeader(int nSlot, int nRow) {
    if (nRow < 0 || nRow >= kSaveListRows) return;
    SaveSlotRow& row = m_rows[nRow];
    row = SaveSlotRow{};
    SetGameFolderCurrent();
    const std::string strName = SaveFileName(nSlot);
    auto unreadable = [&](const std::string& strWhy) {
        row.bUnreadable = true;
        ReportFileProblem(strName + " " + strWhy + "; the save lists show it as unreadable");
    };
    FILE* pFile = OpenFile(strName.c_str(), "rb");
    if (!pFile) return unreadable("cannot be opened: " + OpenFileError());
    std::vector<std::uint8_t> bytes;
    const bool bRead = ReadStreamChunk(pFile, kSaveSceneOffset, &bytes);
    std::fclose(pFile);
    if (!bRead) return unreadable("is shorter than its " + std::to_string(kSaveSceneOffset) + "-byte header");
    CByteReader in(bytes, strName);
    in.ReadBytes(row.szDate, kSaveTextBytes);
    in.ReadBytes(row.szClock, kSaveTextBytes);
    in.Seek(kSaveThumbOffset);
    if (in.Failed() || in.Remaining() < kSaveThumbBytes) return unreadable("has a header that cannot be read");
    row.pThumb = MakeThumbnail(bytes.data() + kSaveThumbOffset);
    row.bShown = true;
}

void CSaveSlotList::RefreshRows() {
    for (int r = 0; r < kSaveListRows; ++r) {
        m_rows[r] = SaveSlotRow{};
        if (IsPresent(m_nTopRow + r)) ReadSaveHeader(m_nTopRow + r, r);
    }
}

bool CSaveSlotList::DeleteSave(int nSlot) {
    if (!IsPresent(nSlot)) return false;
    SetGameFolderCurrent();
    if (!RemoveFile(SaveFileName(nSlot).c_str())) return false;
    m_bPresent[nSlot] = false;
    const int nRow = nSlot - m_nTopRow;
    if (nRow >= 0 && nRow < kSaveListRows) m_rows[nRow] = SaveSlotRow{};
    return true;
}

bool CSaveSlotList::Scroll(int nStep) {
    m_nHandle = std::clamp(m_nHandle + nStep, 0, kSaveListTopMax);
    const int nTop = std::clamp(m_nTopRow + nStep, 0, kSaveListTopMax);
    if (nTop == m_nTopRow) return false;
    m_nTopRow = nTop;
    m_nSelected = -1;
    RefreshRows();
    return true;
}

void CSaveSlotList::ScrollTo(int nTop) {
    const int nOld = m_nTopRow;
    m_nTopRow = m_nHandle = std::clamp(nTop, 0, kSaveListTopMax);
    m_nSelected = -1;
    // Every mouse move over the strip lands here: the files are read only for a new row.
    if (m_nTopRow != nOld) RefreshRows();
}

void CSaveSlotList::OnSaved(int nSlot) {
    if (nSlot < 0 || nSlot >= kSaveListSlots) return;
    m_bPresent[nSlot] = true;
    ReadSaveHeader(nSlot, nSlot - m_nTopRow);
}

// ---- the panel ----

CSaveSlotPanel::CSaveSlotPanel(int x, int y, const SaveSlotLayout& layout, const char* pszOkPicture)
    : CGamePanel(x, y, 340, 430), m_layout(layout) {
    LoadBackground("SaveAndLoadMenu_BKGround.tga");
    m_pTrack.reset(LoadMenuTga("Handle.tga"));
    m_pHandle.reset(LoadMenuTga("ButterFly.tga"));
    // The scroll buttons at rest are part of the background.
    AddHoverButton(273, 49, 294, 70, "Ball_Up.tga");
    AddHoverButton(273, 292, 294, 312, "Ball_Down.tga");
    AddButton(55, 340, 140, 380, "Del.tga");
    AddButton(140, 340, 210, 380, pszOkPicture);
    AddButton(210, 340, 305, 380, "Cancel.tga");
}

CSaveSlotPanel::~CSaveSlotPanel() = default;

RECT CSaveSlotPanel::TextRect(int nRow) const { return Moved(m_layout.rcText[nRow], m_ptOrigin); }

void CSaveSlotPanel::Draw() {
    if (pBack) {
        if (m_pBackground) m_pBackground->Draw(pBack, m_ptOrigin.x, m_ptOrigin.y, nullptr, 0, 0, 0, 0);
        if (m_pTrack) m_pTrack->Draw(pBack, m_ptOrigin.x + m_layout.ptTrack.x, m_ptOrigin.y + m_layout.ptTrack.y, nullptr, 0, 0, 0, 0);
        if (m_pHandle)
            m_pHandle->Draw(pBack, m_ptOrigin.x + m_layout.ptHandleTop.x,
                            m_ptOrigin.y + m_layout.ptHandleTop.y + kNotchStep * m_list.GetHandle(), nullptr, 0, 0, 0, 0);
        DrawExtra();
        for (int i = 0; i < int(m_buttons.size()); ++i) {
            const PanelButton& button = m_buttons[size_t(i)];
            CTgaImage* pPicture = i == m_nHover ? button.pHover.get() : button.pNormal.get();
            if (pPicture) pPicture->Draw(pBack, button.rc.left, button.rc.top, nullptr, 0, 0, 0, 0);
        }
    }
    UpdateHover();
    if (m_nHover >= 0 && !CanHover(m_nHover)) m_nHover = -1;
    DrawRows();
}

namespace {

constexpr int kRowFontHeight = 17;
const std::string& RowFace() {
    static const std::string kRowFace = Utf8ToText("隶书");
    return kRowFace;
}

// The width of a line in the back buffer's font.
int LineWidth(const char* pszText) {
    RECT rc{0, 0, 0, 0};
    pBack->DrawText(pszText, kWhite, &rc, DT_CALCRECT | DT_SINGLELINE);
    return int(rc.right - rc.left);
}

// The character width that fits a text into nRoom pixels in the row face: 0 (the face's
// own) when it fits as it is. Character widths scale with the width asked for: start from
// the share that fits, then narrow further while rounding still leaves it too wide.
int FittingWidth(const char* pszText, int nRoom) {
    pBack->ChangeFont(RowFace().c_str(), 0, kRowFontHeight, nCharSet, 400, 0);
    const int nNatural = LineWidth(pszText);
    if (nNatural <= nRoom || nNatural <= 0) return 0;
    constexpr int kProbeWidth = 16;
    pBack->ChangeFont(RowFace().c_str(), kProbeWidth, kRowFontHeight, nCharSet, 400, 0);
    const int nProbe = std::max(LineWidth(pszText), 1);
    int nWidth = std::max(kProbeWidth * nRoom / nProbe, 1);
    for (;; --nWidth) {
        pBack->ChangeFont(RowFace().c_str(), nWidth, kRowFontHeight, nCharSet, 400, 0);
        if (nWidth == 1 || LineWidth(pszText) <= nRoom) return nWidth;
    }
}

// Writes a row's text in the row face. A text wider than its rectangle (a long date, the
// clock with its "Time:" in the narrow rows of the load panel) is written with narrower
// characters of the same face and height, so that it shows whole instead of cut at both
// ends. The width found for a text is kept: the rows are drawn every frame, their texts
// change only when a slot is saved.
void DrawRowText(const char* pszText, RECT rc, UINT uFormat) {
    static std::map<std::pair<std::string, int>, int> s_widths;
    const int nRoom = int(rc.right - rc.left) - 4;
    const auto key = std::make_pair(std::string(pszText), nRoom);
    auto it = s_widths.find(key);
    if (it == s_widths.end()) {
        if (s_widths.size() >= 256) s_widths.clear();
        it = s_widths.emplace(key, FittingWidth(pszText, nRoom)).first;
    }
    pBack->ChangeFont(RowFace().c_str(), it->second, kRowFontHeight, nCharSet, 400, 0);
    pBack->DrawText(pszText, kWhite, &rc, uFormat);
}

}  // namespace

void CSaveSlotPanel::DrawRows() {
    if (!pBack) return;
    pBack->ChangeFont(RowFace().c_str(), 0, kRowFontHeight, nCharSet, 400, 0);
    const int nSelected = m_list.GetSelected();
    const int nSelRow = nSelected - m_list.GetTopRow();
    if (m_list.IsPresent(nSelected) && nSelRow >= 0 && nSelRow < kSaveListRows) {
        const RECT rc = TextRect(nSelRow);
        const DWORD dwColour = pScreen ? pScreen->RgbToPixel(kSelection, pBack) : 0xFFE0;
        for (int i = 0; i < 5; ++i) pBack->Rect(rc.left + i, rc.top + i, rc.right + 5 - i, rc.bottom + 5 - i, dwColour);
    }
    for (int r = 0; r < kSaveListRows; ++r) {
        const SaveSlotRow& row = m_list.Row(r);
        if (row.bUnreadable) {
            static const std::string kUnreadable = Utf8ToText("存档无法读取");
            DrawRowText(kUnreadable.c_str(), TextRect(r), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        if (!row.bShown) continue;
        const POINT pt{m_ptOrigin.x + m_layout.ptPicture[r].x, m_ptOrigin.y + m_layout.ptPicture[r].y};
        if (row.pThumb) row.pThumb->BlitStretched(pBack, pt.x, pt.y, nullptr, kThumbDrawWidth, kThumbDrawHeight);
        RECT rc = TextRect(r);
        DrawRowText(row.szClock, rc, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
        rc.top += 20;
        rc.bottom += 20;
        DrawRowText(row.szDate, rc, DT_CENTER);
    }
    // The rows' time and date are written in the row face; the other panels expect the
    // plain face back.
    pBack->ChangeFont("Arial", 0, 15, nCharSet, 400, 0);
}

void CSaveSlotPanel::AskDelete() {
    const int nSlot = m_list.GetSelected();
    if (nSlot >= 0 && nSlot <= kSaveListLastSlot && m_list.IsPresent(nSlot)) {
        static const std::string kQuestion = Utf8ToText("是否删除该记录?");
        if (SaveSlotHost().AskQuestion(kQuestion.c_str()) == 1 && !m_list.DeleteSave(nSlot)) {
            static const std::string kFailed = Utf8ToText("删除失败！");
            SaveSlotHost().ShowNotice(kFailed.c_str());
        }
    }
    PlayPanelClick();
    m_list.SetSelected(-1);
}

int CSaveSlotPanel::OnLButtonUp() {
    const int nSlot = m_list.GetSelected();
    switch (m_nHover) {
    case kUp:
    case kDown:
        if (m_list.Scroll(m_nHover == kUp ? -1 : 1) || m_layout.bSoundAtLimit) PlayPanelClick();
        break;
    case kDelete: AskDelete(); break;
    case kOk:
        if (nSlot >= 0 && nSlot <= kSaveListLastSlot) {
            PlayPanelClick();
            if (int nCode = OnOk(nSlot); nCode != kPanelMissed) return nCode;
        }
        break;
    case kCancel: PlayPanelClick(); return kPanelClose;
    default: break;
    }
    const POINT pt = ToolBarHost().GetMousePos();
    for (int r = 0; r < kSaveListRows; ++r) {
        if (PtInRect(TextRect(r), pt)) {
            m_list.SetSelected(m_list.GetTopRow() + r);
            PlayPanelClick();
            return kPanelHandled;
        }
    }
    return kPanelMissed;
}

void CSaveSlotPanel::OnMouseMove() {
    const POINT pt = ToolBarHost().GetMousePos();
    const RECT rcStrip = Moved(m_layout.rcStrip, m_ptOrigin);
    if (!PtInRect(rcStrip, pt)) return;
    m_list.ScrollTo((pt.y - rcStrip.top + m_layout.nStripBias) / kNotchStep);
}
