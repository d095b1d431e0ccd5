// A toolbar on a headless screen with the sample toolbar pictures, a scene, a hero and
// an item table, and a fake of its neighbours that records what the toolbar asks.
#pragma once
#include <array>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "platform/Charset.h"
#include "tests/ui/UiTestUtil.h"
#include "tools/mkgame/SampleToolBar.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/toolbar/ToolBarHost.h"
#include "world/Player.h"
#include "world/Scene.h"

class CFakeToolBarHost : public CToolBarHost {
public:
    POINT GetMousePos() const override { return ptMouse; }
    int GetCarriedItem() const override { return nCarried; }
    void SetCarriedItem(int n) override { nCarried = n; }
    bool PollLeftButton() override { return bLeftPressed; }
    bool IsEventRunning() const override { return bEvent; }
    int GetGameMode() const override { return nMode; }
    void SetGameMode(int n) override { nMode = n; }
    int GetSceneNumber() const override { return nScene; }
    void QuitGame() override { ++nQuits; }
    void WalkHeroTo(int x, int y) override { walks.push_back(POINT{x, y}); }
    bool GetTarget(TargetBarInfo* p) const override {
        if (!bTarget) return false;
        *p = target;
        return true;
    }
    void DropItemOnGround(int nItem, int x, int y, int nMoney) override { drops.push_back({nItem, x, y, nMoney}); }
    void ShowNotice(const char* psz) override { notices.emplace_back(psz); }
    void ShowNoticeAt(const char* psz, int nLayout, int x, int y) override {
        notices.emplace_back(psz);
        noticePlaces.push_back({nLayout, x, y});
    }
    int AskQuestion(const char* psz) override {
        questions.emplace_back(psz);
        return nAnswer;
    }
    void PlaySound(int n) override { sounds.push_back(n); }

    POINT ptMouse{0, 0};
    int nCarried = -1;
    bool bLeftPressed = false, bEvent = false, bTarget = false;
    int nMode = 3, nScene = 0, nQuits = 0, nAnswer = 2;
    TargetBarInfo target;
    std::vector<POINT> walks;
    std::vector<std::vector<int>> drops;
    std::vector<std::string> notices, questions;
    // Layout, x and y of each notice shown with ShowNoticeAt.
    std::vector<std::array<int, 3>> noticePlaces;
    std::vector<int> sounds;
};

// A stand-in panel of a later kind: a fixed rectangle and a code its click returns.
class CStubPanel : public CGamePanel {
public:
    CStubPanel() : CGamePanel(100, 100, 200, 200) { ++nAlive; }
    ~CStubPanel() override { --nAlive; }
    int OnLButtonUp() override { return nNextCode; }
    void Draw() override { ++nDraws; }
    static inline int nAlive = 0, nDraws = 0, nNextCode = 0;
};

inline std::unique_ptr<CGamePanel> MakeStub(int, bool) { return std::make_unique<CStubPanel>(); }

class ToolBarTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ASSERT_TRUE(UsePackage(ToolBarContentEntries()));
        InstallHost(&host);
        data.nItemCount = 100;
        items.resize(100);
        data.pItem = items.data();
        pGameData = &data;
        pScene = &scene;
        pPlayer = &hero;
        CStubPanel::nAlive = CStubPanel::nDraws = CStubPanel::nNextCode = 0;
        // The routing tests start with no panel makers but the system menu's; the
        // game's own makers come back after each test (UseGameMakers brings them now).
        for (int k = 0; k < int(PanelKind::Count); ++k) {
            gameMakers[k] = SetPanelMaker(PanelKind(k), nullptr);
            if (k == int(PanelKind::SysMenu)) SetPanelMaker(PanelKind(k), gameMakers[k]);
        }
        bar = std::make_unique<CGameToolBar>();
    }
    void TearDown() override {
        bar.reset();
        UseGameMakers();
        EXPECT_EQ(CStubPanel::nAlive, 0);
        SetToolBarHost(nullptr);
        pGameData = nullptr;
        pPlayer = nullptr;
        pCompanion = nullptr;
        UiTest::TearDown();
    }
    // The back buffer's pixel at (x, y) against an RGB colour, each channel within 12.
    bool Near(int x, int y, int r, int g, int b) {
        if (Failed(pBack->Lock())) return false;
        const DWORD dw = pBack->GetPixel(x, y);
        pBack->Unlock();
        const CDXPixelFormat& f = pBack->PixelFormat();
        auto ch = [&](int nShift, int nMax) { return nMax ? int((dw >> nShift) & DWORD(nMax)) * 255 / nMax : 0; };
        return std::abs(ch(f.nRedShift, f.nRedMax) - r) <= 12 && std::abs(ch(f.nGreenShift, f.nGreenMax) - g) <= 12 &&
               std::abs(ch(f.nBlueShift, f.nBlueMax) - b) <= 12;
    }
    void UseGameMakers() {
        for (int k = 0; k < int(PanelKind::Count); ++k) SetPanelMaker(PanelKind(k), gameMakers[k]);
    }
    DWORD Pixel(int x, int y) {
        if (Failed(pBack->Lock())) return 0;
        const DWORD dw = pBack->GetPixel(x, y);
        pBack->Unlock();
        return dw;
    }
    bool NearProbe(int x, int y, const char* pszPicture) {
        const ToolBarProbe* p = FindToolBarProbe(pszPicture);
        return p && Near(x, y, p->r, p->g, p->b);
    }
    void FillBack(COLORREF cr) { pBack->Fill(pScreen->RgbToPixel(cr, pBack)); }
    // Puts the cursor at (x, y) and draws one frame, so the panels take their hover.
    void HoverAndDraw(int x, int y) {
        pHost->ptMouse = POINT{x, y};
        bar->Draw();
    }
    // Installs the toolbar's host; the helpers move its cursor.
    void InstallHost(CFakeToolBarHost* p) {
        SetToolBarHost(p);
        pHost = p;
    }

    CFakeToolBarHost host;
    CFakeToolBarHost* pHost = &host;  // the installed host
    CGameData data;
    std::vector<ItemRow> items;
    CScene scene;
    CPlayer hero;
    std::unique_ptr<CGameToolBar> bar;
    PanelMaker gameMakers[int(PanelKind::Count)] = {};
};
