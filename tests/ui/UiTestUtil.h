// A headless screen and window, a menu package built from given pictures, and a fake
// of the shell that records what the menu screens and boxes ask of it.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <cstdlib>
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "CDX/CDXScreen.h"
#include "CDX/CDXSurface.h"
#include "gamedata/PkgFile.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "shell/ShellGlobals.h"
#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/PkgWriters.h"
#include "tests/TempFolder.h"
#include "tools/gamekit/TgaWriters.h"
#include "shell/FrameLinks.h"
#include "ui/ShellServices.h"
#include "ui/menus/MenuPanel.h"

// Records every call of the screens to the shell and to the panels; the cursor follows
// the mouse messages the window receives.
class CFakeShell : public CUiShell, public CPanelLink {
public:
    POINT GetMousePos() override { return ptMouse; }
    bool IsMouseClickHeld() override { return bClickHeld; }
    void DrawMouse() override {
        ++nFrames;
        if (onFrame) onFrame(nFrames);
        if (nFrames >= kFrameLimit) bRunning = false;  // a box that never answers fails the test
    }
    void SetExitBoxState(int nState) override { nExitBoxState = nState; }
    void DrawMapLayer() override { ++nMapDraws; }
    bool IsGameRunning() override { return bRunning; }
    void QuitGame() override { ++nQuits; }
    void NewGame() override { ++nNewGames; }
    void ShowCredits() override { ++nCredits; }
    void PollScriptWait() override { ++nPolls; }
    void StartEvent(int nEvent) override { events.push_back(nEvent); }
    void RemovePartyMember(int nMember) override { removed.push_back(nMember); }
    int GetAnswerRequired() override { return nAnswerRequired; }
    void SetAnswerRequired(int n) override { nAnswerRequired = n; }
    bool IsPartyChoice() override { return bPartyChoice; }
    void SetPartyChoice(bool b) override { bPartyChoice = b; }
    void SetScriptStep(bool b) override { bScriptStep = b; }
    int GetPartyCount() override { return nPartyCount; }
    int GetPartyMemberId(int n) override { return nPartyIds[n & 3]; }
    void SetPartyMemberId(int n, int nId) override { nPartyIds[n & 3] = nId; }
    CMainMenu* GetTitleMenu() override { return pTitleMenu; }
    void OnExitConfirmed() override { ++nExitConfirmed; }
    CGameToolBar* GetToolBar() const override { return nullptr; }
    int GetLeftGroupSelector() const override { return nSelector; }
    bool HasLoadPanel() const override { return nSelector == 6; }
    bool HasSettingsPanel() const override { return nSelector == 4; }
    void OpenLoadPanel() override { ++nLoadOpens; }
    void OpenSettingsPanel() override { ++nSettingsOpens; }
    void RunLeftGroupPanel() override { ++nPanelRuns; }
    int GetHeroPortraitWord() const override { return nHeroPortraitWord; }

    static constexpr int kFrameLimit = 400;
    POINT ptMouse{};
    bool bClickHeld = false;
    bool bRunning = true;
    int nFrames = 0;
    std::function<void(int)> onFrame;
    int nExitBoxState = 7, nMapDraws = 0, nQuits = 0, nNewGames = 0, nCredits = 0, nPolls = 0;
    std::vector<int> events, removed;
    int nAnswerRequired = 0;
    bool bPartyChoice = false, bScriptStep = false;
    int nPartyCount = 1;
    int nPartyIds[4] = {0, -1, -1, -1};
    CMainMenu* pTitleMenu = nullptr;
    int nExitConfirmed = 0, nSelector = -1, nLoadOpens = 0, nSettingsOpens = 0, nPanelRuns = 0;
    int nHeroPortraitWord = 0;
};

// The main window stand-in: keeps the cursor of the fake shell and counts the input
// that reaches it while a modal box is open.
class CTestWindow : public CPlatWindow {
public:
    LRESULT WindowProc(UINT message, WPARAM, LPARAM lParam) override {
        if (message >= WM_MOUSEMOVE && message <= WM_RBUTTONDBLCLK) {
            pShell->ptMouse = POINT{LONG(short(LoWord(WPARAM(lParam)))), LONG(short(HiWord(WPARAM(lParam))))};
        }
        if (message == WM_LBUTTONDOWN) pShell->bClickHeld = true;
        if (message == WM_LBUTTONUP) pShell->bClickHeld = false;
        if ((message >= WM_KEYDOWN && message <= WM_KEYUP) || (message >= WM_LBUTTONDOWN && message <= WM_RBUTTONDBLCLK)) {
            ++nInput;
            if (bMsgBoxOpen) ++nInputWhileBoxOpen;
        }
        return 0;
    }
    CFakeShell* pShell = nullptr;
    int nInput = 0, nInputWhileBoxOpen = 0;
};

inline PictureRgba Solid(int w, int h, std::uint32_t c) { return PictureRgba(w, h, c); }
// A picture with a magenta top-left corner (the colour key) and a solid body.
inline PictureRgba Keyed(int w, int h, std::uint32_t body) {
    PictureRgba p(w, h, body);
    p.At(0, 0) = Argb(255, 255, 0, 255);
    return p;
}

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseVirtualClock(true, 1000, 20);
        m_window.pShell = &m_shell;
        ASSERT_TRUE(m_window.CreatePlatWindow("ui test", WS_POPUP, 0, 0, 800, 600));
        pScreen = new CDXScreen();
        ASSERT_EQ(pScreen->CreateWindowed(&m_window, 800, 600), 0);
        pBack = pScreen->GetBack();
        SetUiShell(&m_shell);
        SetPanelLink(&m_shell);
        FlushInputMessages();
        GetAsyncKeyState(VK_LBUTTON);
        GetAsyncKeyState(VK_RETURN);
    }
    void TearDown() override {
        SetMenuPackage(nullptr);
        m_pkg.reset();
        SetUiShell(nullptr);
        SetPanelLink(nullptr);
        delete pScreen;
        pScreen = nullptr;
        pBack = nullptr;
        pScene = nullptr;
        m_window.DestroyPlatWindow();
    }

    // Writes a menu package of these entries and makes it the screens' package.
    [[nodiscard]] ::testing::AssertionResult UsePackage(std::vector<PkgEntryData> entries) {
        const std::string path = m_folder.Path() + "/menu" + std::to_string(++m_nPkgs) + ".pkg";
        if (!WriteBytesToFile(path.c_str(), BuildPkg(std::move(entries))))
            return ::testing::AssertionFailure() << "cannot write " << path;
        m_pkg = std::make_unique<CPkgFile>(m_strPaths.emplace_back(path).c_str());
        if (!m_pkg->OpenPath(path.c_str())) return ::testing::AssertionFailure() << m_pkg->GetError();
        SetMenuPackage(m_pkg.get());
        return ::testing::AssertionSuccess();
    }

    // The back buffer's pixel at (x, y) compared with a colour.
    bool PixelIs(int x, int y, COLORREF cr) {
        if (Failed(pBack->Lock())) return false;
        const DWORD dw = pBack->GetPixel(x, y);
        pBack->Unlock();
        if (dw != pScreen->RgbToPixel(cr))
            ADD_FAILURE() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << dw << ", not 0x"
                          << pScreen->RgbToPixel(cr);
        return dw == pScreen->RgbToPixel(cr);
    }
    // The same within a tolerance per channel (pictures drawn with per-pixel alpha round
    // their channels down a little); the back buffer is 5-6-5.
    bool PixelNear(int x, int y, COLORREF cr, int nTolerance = 16) {
        if (Failed(pBack->Lock())) return false;
        const DWORD dw = pBack->GetPixel(x, y);
        pBack->Unlock();
        const int r = int((dw >> 11) & 31) * 255 / 31, g = int((dw >> 5) & 63) * 255 / 63, b = int(dw & 31) * 255 / 31;
        const bool bNear = std::abs(r - GetRValue(cr)) <= nTolerance && std::abs(g - GetGValue(cr)) <= nTolerance &&
                           std::abs(b - GetBValue(cr)) <= nTolerance;
        if (!bNear) ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << r << "," << g << "," << b;
        return bNear;
    }
    void FillBack(COLORREF cr) { pScreen->FillBack(pScreen->RgbToPixel(cr)); }

    CFakeShell m_shell;
    CTestWindow m_window;
    CTempFolder m_folder{"uitest"};  // outlives the package opened from it
    std::unique_ptr<CPkgFile> m_pkg;
    std::list<std::string> m_strPaths;
    int m_nPkgs = 0;
};
