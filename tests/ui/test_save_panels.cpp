// The load and save panels over a folder of save files: rows from the headers, the
// scroll buttons and strip, the delete question, loading and saving through a fake of
// the main window, and the refusals.
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "platform/Files.h"
#include "shell/SaveGameFile.h"
#include "tests/TempFolder.h"
#include "tests/ui/ToolBarTestUtil.h"
#include "tools/gamekit/TgaWriters.h"
#include "ui/panels/LoadGameMenu.h"
#include "ui/panels/SaveGameMenu.h"

namespace {

// The save's name as a path below the test folder (its separator made '/').
std::string SavePath(int nSlot) {
    std::string strName = SaveFileName(nSlot);
    strName[4] = '/';
    return strName;
}

size_t Count(const std::string& strText, const std::string& strPart) {
    size_t n = 0;
    for (size_t at = strText.find(strPart); at != std::string::npos; at = strText.find(strPart, at + 1)) ++n;
    return n;
}

class CFakeSaveHost : public CSaveSlotHost {
public:
    bool SaveGame(int nSlot, std::string*) override {
        saves.push_back(nSlot);
        if (bSaveFails) return false;
        if (pfnWrite) pfnWrite(nSlot);
        return true;
    }
    bool LoadGame(int nSlot, std::string*) override {
        loads.push_back(nSlot);
        return bLoadWorks;
    }
    bool IsTitleShown() const override { return bTitle; }
    int AskQuestion(const char* psz) override {
        questions.emplace_back(psz);
        return nAnswer;
    }
    void ShowNotice(const char* psz) override { notices.emplace_back(psz); }

    bool bSaveFails = false, bLoadWorks = true, bTitle = false;
    int nAnswer = 1;
    std::function<void(int)> pfnWrite;
    std::vector<int> saves, loads;
    std::vector<std::string> questions, notices;
};

class SavePanels : public ToolBarTest {
protected:
    void SetUp() override {
        ToolBarTest::SetUp();
        SetCurrentDirectory(folder.Path().c_str());
        std::filesystem::create_directories(folder.File("save"));
        SetSaveSlotHost(&saveHost);
        saveHost.pfnWrite = [this](int n) { WriteSave(n, "Time:12:00:00"); };
    }
    void TearDown() override {
        SetSaveSlotHost(nullptr);
        ToolBarTest::TearDown();
    }
    // A save file whose header holds a date, a clock text and a grey picture.
    void WriteSave(int nSlot, const char* pszClock, size_t nSize = kSaveHeaderBytes + 100) {
        std::vector<std::uint8_t> b(nSize, 0);
        const std::string date = " 2000-1-" + std::to_string(nSlot + 1);
        std::copy(date.begin(), date.end(), b.begin());
        for (size_t i = 0; pszClock[i] && kSaveClockOffset + i < nSize; ++i) b[kSaveClockOffset + i] = std::uint8_t(pszClock[i]);
        for (size_t i = kSaveThumbOffset; i < std::min(nSize, kSaveSceneOffset); ++i) b[i] = 0x55;
        folder.Write(SavePath(nSlot), b);
    }
    bool Exists(int nSlot) { return std::filesystem::exists(folder.File(SavePath(nSlot))); }
    // Draws the panel with the cursor at the point (its hover) and clicks there.
    int ClickAt(CSaveSlotPanel& panel, POINT pt) {
        host.ptMouse = pt;
        panel.Draw();
        return panel.OnLButtonUp();
    }
    static POINT Centre(const RECT& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }
    int ClickButton(CSaveSlotPanel& panel, int n) { return ClickAt(panel, Centre(panel.GetButtonRect(n))); }
    int ClickRow(CSaveSlotPanel& panel, int nRow) { return ClickAt(panel, Centre(panel.TextRect(nRow))); }

    CBaseFolderGuard guard;
    CTempFolder folder{"savepanels"};
    CFakeSaveHost saveHost;
};

TEST_F(SavePanels, TheToolBarMakesBothPanelsWhereTheyBelong) {
    UseGameMakers();
    std::unique_ptr<CGamePanel> pSave = MakeGamePanel(PanelKind::Save, 1, true);
    std::unique_ptr<CGamePanel> pLoad = MakeGamePanel(PanelKind::Load, 1, true);
    ASSERT_NE(dynamic_cast<CSaveGameMenu*>(pSave.get()), nullptr);
    ASSERT_NE(dynamic_cast<CLoadGameMenu*>(pLoad.get()), nullptr);
    EXPECT_EQ(pSave->GetOrigin().x, 40);
    EXPECT_EQ(pLoad->GetOrigin().y, 10);
    saveHost.bTitle = true;
    EXPECT_EQ(MakeGamePanel(PanelKind::Load, 1, true)->GetOrigin().x, 230);
    EXPECT_EQ(MakeGamePanel(PanelKind::Load, 1, true)->GetOrigin().y, 60);
}

TEST_F(SavePanels, RowsShowTheHeadersOfTheSlotsInView) {
    WriteSave(1, "Time:08:09:10");
    // Saves that cannot be read are present and marked so, each said once: a short
    // header, a folder in a save's place, and (where permissions hold, not for root) a
    // file nobody may read.
    WriteSave(2, "Time:01:02:03", 200);
    std::filesystem::create_directory(folder.File("save/save003.sav"));
    const bool bPermissionsHold = geteuid() != 0;
    if (bPermissionsHold) {
        WriteSave(0, "Time:00:00:00");
        std::filesystem::permissions(folder.File("save/save000.sav"), std::filesystem::perms::none);
    }
    testing::internal::CaptureStderr();
    CLoadGameMenu panel;
    CLoadGameMenu reopened;  // reads the same rows again and says nothing more
    const std::string strSaid = testing::internal::GetCapturedStderr();
    const CSaveSlotList& list = panel.List();
    for (int n : {2, 3}) {
        EXPECT_TRUE(list.IsPresent(n)) << n;
        EXPECT_TRUE(list.Row(n).bUnreadable) << n;
        const std::string strLine = "game: save\\save00" + std::to_string(n) + ".sav ";
        EXPECT_EQ(Count(strSaid, strLine), 1u) << strSaid;
    }
    EXPECT_EQ(Count(strSaid, "\n"), bPermissionsHold ? 3u : 2u) << strSaid;
    EXPECT_EQ(list.Row(0).bUnreadable, bPermissionsHold);
    EXPECT_FALSE(list.Row(1).bUnreadable);
    // Loading the folder is tried, and refused with a notice.
    saveHost.bLoadWorks = false;
    ClickRow(panel, 3);
    EXPECT_EQ(ClickButton(panel, CSaveSlotPanel::kOk), kPanelHandled);
    EXPECT_EQ(saveHost.loads, std::vector<int>{3});
    EXPECT_EQ(saveHost.notices.size(), 1u);
    if (bPermissionsHold) std::filesystem::permissions(folder.File("save/save000.sav"), std::filesystem::perms::owner_all);
    std::filesystem::remove(folder.File("save/save000.sav"));
    std::filesystem::remove(folder.File("save/save003.sav"));
    ASSERT_TRUE(list.Row(1).bShown);
    EXPECT_STREQ(list.Row(1).szClock, "Time:08:09:10");
    EXPECT_STREQ(list.Row(1).szDate, " 2000-1-2");
    ASSERT_NE(list.Row(1).pThumb, nullptr);
    EXPECT_EQ(list.Row(1).pThumb->GetWidth(), 120);
    EXPECT_FALSE(list.Row(2).bShown);
    panel.Draw();  // rows with and without pictures draw without trouble

    // Saves only beyond slot 10 never show: four empty rows at every scroll position.
    for (int n : {1, 2}) std::filesystem::remove(folder.File(SavePath(n)));
    for (int n = 11; n < 20; ++n) WriteSave(n, "Time:00:00:00");
    CLoadGameMenu later;
    for (int nTop = 0; nTop <= 7; ++nTop) {
        later.List().ScrollTo(nTop);
        for (int r = 0; r < 4; ++r) EXPECT_FALSE(later.List().Row(r).bShown) << nTop << " " << r;
    }
    EXPECT_TRUE(later.List().IsPresent(11));
}

// The rows' time and date are written in the row face ("隶书", 17 pixels) where they fit,
// as in the save panel's wide rows, which then gives way to "Arial" 15 for what is
// drawn after the panel.
TEST_F(SavePanels, RowTextsAreWrittenInTheRowFace) {
    auto write = [&](const char* pszDate, const char* pszClock) {
        std::vector<std::uint8_t> b(kSaveHeaderBytes + 100, 0);
        std::memcpy(b.data() + kSaveDateOffset, pszDate, std::strlen(pszDate));
        std::memcpy(b.data() + kSaveClockOffset, pszClock, std::strlen(pszClock));
        folder.Write(SavePath(0), b);
    };
    auto screen = [&] {
        std::vector<DWORD> v;
        if (Failed(pBack->Lock())) return v;
        for (int y = 50; y < 160; ++y)
            for (int x = 170; x < 300; ++x) v.push_back(pBack->GetPixel(x, y));
        pBack->Unlock();
        return v;
    };
    host.ptMouse = POINT{700, 500};
    // The panel with empty texts, then the texts written over it in the row face.
    write("", "");
    {
        CSaveGameMenu empty;
        FillBack(RGB(0, 0, 0));
        empty.Draw();
        RECT rc = empty.TextRect(0);
        static const std::string kFace = Utf8ToText("隶书");
        pBack->ChangeFont(kFace.c_str(), 0, 17, 134, 400, 0);
        pBack->DrawText("Time:12:34:56", RGB(255, 255, 255), &rc, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
        OffsetRect(&rc, 0, 20);
        pBack->DrawText(" 2003-4-5", RGB(255, 255, 255), &rc, DT_CENTER);
    }
    const std::vector<DWORD> expected = screen();
    write(" 2003-4-5", "Time:12:34:56");
    CSaveGameMenu panel;
    ASSERT_TRUE(panel.List().Row(0).bShown);
    FillBack(RGB(0, 0, 0));
    pBack->ChangeFont("Arial", 0, 15, 134, 400, 0);
    panel.Draw();
    EXPECT_STREQ(pBack->GetFontFace(), "Arial");
    const std::vector<DWORD> actual = screen();
    ASSERT_EQ(actual.size(), expected.size());
    int nDiffer = 0;
    for (size_t i = 0; i < actual.size(); ++i) nDiffer += actual[i] != expected[i];
    EXPECT_EQ(nDiffer, 0) << "the rows are not written in the row face";
}

TEST_F(SavePanels, TheStripScrollsWithoutAClickAndTheButtonsStopAtTheEnds) {
    WriteSave(7, "Time:07:00:00");
    CLoadGameMenu panel;
    panel.List().SetSelected(1);
    // Over the strip (origin + (270, 75 .. 273)) the list follows the cursor.
    host.ptMouse = POINT{40 + 285, 10 + 75 + 27 * 5};
    panel.OnMouseMove();
    EXPECT_EQ(panel.List().GetTopRow(), 5);
    EXPECT_EQ(panel.List().GetHandle(), 5);
    EXPECT_EQ(panel.List().GetSelected(), -1);
    EXPECT_TRUE(panel.List().Row(2).bShown);  // slot 7
    host.ptMouse = POINT{40 + 260, 10 + 75};  // beside the strip: nothing moves
    panel.OnMouseMove();
    EXPECT_EQ(panel.List().GetTopRow(), 5);

    // Down to the end: the load panel's buttons are silent where the list cannot move.
    host.sounds.clear();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ClickButton(panel, CSaveSlotPanel::kDown), kPanelMissed);
    EXPECT_EQ(panel.List().GetTopRow(), 7);
    EXPECT_EQ(host.sounds.size(), 2u);
    CSaveGameMenu save;
    host.sounds.clear();
    ClickButton(save, CSaveSlotPanel::kUp);
    EXPECT_EQ(save.List().GetTopRow(), 0);
    EXPECT_EQ(host.sounds, std::vector<int>{5});  // the save panel sounds at the top too
}

// The scroll buttons at rest are the background's: a package that holds pictures of
// them at rest still shows only the hover pictures.
TEST_F(SavePanels, TheScrollButtonsDrawOnlyTheirHoverPictures) {
    std::vector<PkgEntryData> entries = ToolBarContentEntries();
    for (const char* psz : {"Ball_Up.tga", "Ball_Down.tga"})
        entries.push_back(PkgEntryData{psz, BuildRleTga32(PictureRgba(21, 21, Argb(255, 255, 0, 0)))});
    entries.push_back(PkgEntryData{"Ball_Up[s].tga", BuildRleTga32(PictureRgba(21, 21, Argb(255, 0, 255, 0)))});
    ASSERT_TRUE(UsePackage(std::move(entries)));
    CLoadGameMenu panel;
    const POINT up = Centre(panel.GetButtonRect(CSaveSlotPanel::kUp));
    const POINT down = Centre(panel.GetButtonRect(CSaveSlotPanel::kDown));
    host.ptMouse = POINT{0, 0};
    panel.Draw();
    EXPECT_FALSE(Near(up.x, up.y, 255, 0, 0));
    EXPECT_FALSE(Near(down.x, down.y, 255, 0, 0));
    host.ptMouse = up;
    panel.Draw();  // takes the hover
    panel.Draw();
    EXPECT_TRUE(Near(up.x, up.y, 0, 255, 0));
}

TEST_F(SavePanels, LoadingNeedsASelectionAndARefusedFileKeepsThePanelOpen) {
    WriteSave(2, "Time:02:00:00");
    CLoadGameMenu panel;
    EXPECT_EQ(ClickButton(panel, CSaveSlotPanel::kOk), kPanelMissed);
    EXPECT_TRUE(saveHost.loads.empty());
    // A row click selects top row + row.
    EXPECT_EQ(ClickRow(panel, 2), kPanelHandled);
    EXPECT_EQ(panel.List().GetSelected(), 2);
    EXPECT_EQ(ClickButton(panel, CSaveSlotPanel::kOk), kPanelCloseAll);
    EXPECT_EQ(saveHost.loads, std::vector<int>{2});
    // A file the game refuses: a notice, the panel stays.
    saveHost.bLoadWorks = false;
    ClickRow(panel, 2);
    EXPECT_EQ(ClickButton(panel, CSaveSlotPanel::kOk), kPanelHandled);
    EXPECT_EQ(saveHost.notices.size(), 1u);
    // A free slot only closes the panel.
    ClickRow(panel, 3);
    EXPECT_EQ(ClickButton(panel, CSaveSlotPanel::kOk), kPanelRequest3);
    EXPECT_EQ(saveHost.loads.size(), 2u);
    EXPECT_EQ(ClickButton(panel, CSaveSlotPanel::kCancel), kPanelClose);
}

TEST_F(SavePanels, DeleteAsksInTheGameAndIsInertOnTheTitle) {
    WriteSave(1, "Time:01:00:00");
    {
        saveHost.bTitle = true;
        CLoadGameMenu title;
        ClickRow(title, 1);
        host.ptMouse = Centre(title.GetButtonRect(CSaveSlotPanel::kDelete));
        title.Draw();
        EXPECT_EQ(title.GetHover(), -1);
        title.OnLButtonUp();
        EXPECT_TRUE(saveHost.questions.empty());
        EXPECT_TRUE(Exists(1));
    }
    saveHost.bTitle = false;
    CLoadGameMenu panel;
    ClickRow(panel, 1);
    saveHost.nAnswer = 2;
    ClickButton(panel, CSaveSlotPanel::kDelete);
    EXPECT_EQ(saveHost.questions.size(), 1u);
    EXPECT_TRUE(Exists(1));
    EXPECT_EQ(panel.List().GetSelected(), -1);
    ClickRow(panel, 1);
    saveHost.nAnswer = 1;
    ClickButton(panel, CSaveSlotPanel::kDelete);
    EXPECT_FALSE(Exists(1));
    EXPECT_FALSE(panel.List().IsPresent(1));
    EXPECT_FALSE(panel.List().Row(1).bShown);
}

TEST_F(SavePanels, SavingAsksOnlyOverASaveAndAlwaysClosesThePanels) {
    WriteSave(0, "Time:00:00:01");
    CSaveGameMenu panel;
    // A free slot: no question, saved, its row read again.
    ClickRow(panel, 3);
    EXPECT_EQ(ClickButton(panel, CSaveSlotPanel::kOk), kPanelCloseAll);
    EXPECT_TRUE(saveHost.questions.empty());
    EXPECT_EQ(saveHost.saves, std::vector<int>{3});
    EXPECT_TRUE(panel.List().Row(3).bShown);
    // Over a save, Cancel saves nothing and still closes.
    saveHost.nAnswer = 2;
    ClickRow(panel, 0);
    EXPECT_EQ(ClickButton(panel, CSaveSlotPanel::kOk), kPanelCloseAll);
    EXPECT_EQ(saveHost.questions.size(), 1u);
    EXPECT_EQ(saveHost.saves.size(), 1u);
    EXPECT_STREQ(panel.List().Row(0).szClock, "Time:00:00:01");
    saveHost.nAnswer = 1;
    ClickRow(panel, 0);
    ClickButton(panel, CSaveSlotPanel::kOk);
    EXPECT_EQ(saveHost.saves.size(), 2u);
    EXPECT_STREQ(panel.List().Row(0).szClock, "Time:12:00:00");
    // A failed save: a notice, the row as it was, the slot still free.
    saveHost.bSaveFails = true;
    ClickRow(panel, 2);
    EXPECT_EQ(ClickButton(panel, CSaveSlotPanel::kOk), kPanelCloseAll);
    EXPECT_EQ(saveHost.notices.size(), 1u);
    EXPECT_FALSE(panel.List().IsPresent(2));
    EXPECT_FALSE(panel.List().Row(2).bShown);
    // Without a selection the save button does nothing.
    const size_t nSaves = saveHost.saves.size();
    EXPECT_EQ(ClickButton(panel, CSaveSlotPanel::kOk), kPanelMissed);
    EXPECT_EQ(saveHost.saves.size(), nSaves);
}

}  // namespace
