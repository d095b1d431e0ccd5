#include "ui/panels/TaskMenu.h"

#include <algorithm>

#include "CDX/CDXScreen.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "media/TgaImage.h"
#include "platform/Text.h"
#include "shell/ShellGlobals.h"
#include "ui/menus/MenuPanel.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/Player.h"

namespace {

constexpr POINT kOrigin{400, 10};

// Thumb heights of a list of n entries: top, then spread over the span.
std::vector<int> Thumbs(int n, int nTop, int nSpan) {
    std::vector<int> thumbs(size_t(n > 0 ? n : 0));
    for (int i = 0; i < n; ++i) thumbs[size_t(i)] = n == 1 ? nTop : nTop + i * nSpan / (n - 1);
    return thumbs;
}

const char* TaskText(int nTask) {
    const TaskRow* pRow = pGameData ? pGameData->GetTask(nTask) : nullptr;
    return pRow && pRow->pDescription ? pRow->pDescription : nullptr;
}

}  // namespace

CTaskMenu::CTaskMenu() : CGamePanel(kOrigin.x, kOrigin.y, 340, 440) {
    LoadBackground("TaskMenu_BKGound.tga");
    m_pBallUp.reset(LoadMenuTga("Ball_Up[s].tga"));
    m_pBallDown.reset(LoadMenuTga("Ball_Down[s].tga"));
    m_pButterFly.reset(LoadMenuTga("ButterFly.tga"));
    m_rcUpperText = OffsetBy(RECT{35, 50, 255, 195}, m_ptOrigin);
    m_rcLowerText = OffsetBy(RECT{82, 237, 310, 385}, m_ptOrigin);
    static const RECT kButtons[kButtonCount] = {{280, 45, 300, 65}, {280, 175, 300, 195}, {44, 233, 65, 255}, {44, 363, 65, 385}};
    for (int i = 0; i < kButtonCount; ++i) m_rcButtons[i] = OffsetBy(kButtons[i], m_ptOrigin);
    // Only the hero's 100 task states exist, whatever the task table's length.
    const int nTasks = pGameData ? std::min(pGameData->nTaskCount, kHeroTaskCount) : 0;
    for (int t = 0; t < nTasks && pPlayer; ++t) {
        if (pPlayer->nTaskState[t] == 1) m_upper.push_back(t);
        else if (pPlayer->nTaskState[t] == 0) m_lower.push_back(t);
    }
    m_nUpperPos = m_upper.empty() ? 0 : int(m_upper.size()) - 1;
    m_nLowerPos = m_lower.empty() ? 0 : int(m_lower.size()) - 1;
    m_upperThumb = Thumbs(int(m_upper.size()), 80, 80);
    m_lowerThumb = Thumbs(int(m_lower.size()), 270, 75);
    m_nHover = -1;
}

CTaskMenu::~CTaskMenu() = default;

int CTaskMenu::UpperThumbY() const { return m_upper.empty() ? 80 : m_upperThumb[size_t(m_nUpperPos)]; }
int CTaskMenu::LowerThumbY() const { return m_lower.empty() ? 270 : m_lowerThumb[size_t(m_nLowerPos)]; }

void CTaskMenu::Draw() {
    if (pBack) {
        if (m_pBackground) m_pBackground->Draw(pBack, m_ptOrigin.x, m_ptOrigin.y, nullptr, 0, 0, 0, 0);
        CGameToolBar* pBar = HostToolBar();
        if (CGamePanel* pState = pBar ? pBar->Panel(kStatePanel) : nullptr) pState->DrawConnectorIfShown();
        if (m_nHover >= 0) {
            CTgaImage* pBall = m_nHover == kUpperUp || m_nHover == kLowerUp ? m_pBallUp.get() : m_pBallDown.get();
            if (pBall) pBall->Draw(pBack, m_rcButtons[m_nHover].left, m_rcButtons[m_nHover].top, nullptr, 0, 0, 0, 0);
        }
        if (m_pButterFly) {
            m_pButterFly->Draw(pBack, kUpperThumbX, UpperThumbY(), nullptr, 0, 0, 0, 0);
            m_pButterFly->Draw(pBack, kLowerThumbX, LowerThumbY(), nullptr, 0, 0, 0, 0);
        }
    }
    m_nShownUpper = m_nUpperPos;
    UpdateTaskHover();
    if (!pBack) return;
    SetPanelFont("System", 0, 17);
    if (m_nShownUpper >= 0 && m_nShownUpper < int(m_upper.size()))
        DrawPanelText(TaskText(m_upper[size_t(m_nShownUpper)]), RGB(0, 255, 0), m_rcUpperText, DT_WORDBREAK);
    if (!m_lower.empty())
        DrawPanelText(TaskText(m_lower[size_t(m_nLowerPos)]), RGB(255, 10, 10), m_rcLowerText, DT_WORDBREAK);
    RestorePanelFont();
}

void CTaskMenu::UpdateTaskHover() {
    const POINT pt = ToolBarHost().GetMousePos();
    m_nHover = -1;
    for (int i = 0; i < kButtonCount; ++i) {
        if (PtInRect(m_rcButtons[i], pt)) {
            m_nHover = i;
            return;
        }
    }
}

int CTaskMenu::OnLButtonUp() {
    auto step = [](int& nPos, int nCount, int nDelta) {
        if (nDelta < 0 && nPos > 0) --nPos;
        if (nDelta > 0 && nPos < nCount - 1) ++nPos;
    };
    switch (m_nHover) {
    case kUpperUp: step(m_nUpperPos, int(m_upper.size()), -1); break;
    case kUpperDown: step(m_nUpperPos, int(m_upper.size()), +1); break;
    case kLowerUp: step(m_nLowerPos, int(m_lower.size()), -1); break;
    case kLowerDown: step(m_nLowerPos, int(m_lower.size()), +1); break;
    default: return kPanelMissed;
    }
    PlayPanelClick();
    return kPanelHandledOne;
}
