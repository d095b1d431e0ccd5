// The older screens: ending words, the save list, the leave and choose menus, the scene
// picture panel and the icon tool bar.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "lan/DescBar.h"
#include "lan/EndWord.h"
#include "lan/GoodsPanel.h"
#include "lan/IconToolBar.h"
#include "lan/LeaveMenu.h"
#include "lan/SaveList.h"
#include "lan/ScenePicture.h"
#include "lan/StatusPanel.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "platform/WindowBackend.h"
#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"
#include "tests/lan/LanTestUtil.h"

namespace {

class OldScreensTest : public LanFrameTest {
protected:
    void TearDown() override {
        if (!m_strOldDir.empty()) SetCurrentDirectory(m_strOldDir.c_str());
        LanFrameTest::TearDown();
    }
    // Works in a folder of its own with a "save" folder inside.
    std::string EnterGameFolder() {
        m_strOldDir = GetCurrentDirectory();
        const std::string strDir = m_folder.Path() + "/game";
        std::filesystem::create_directories(strDir + "/save");
        EXPECT_TRUE(SetCurrentDirectory(strDir.c_str()));
        std::snprintf(m_pData->szGamePath, sizeof(m_pData->szGamePath), "%s", strDir.c_str());
        return strDir;
    }
    void Click(int x, int y) {
        MoveTo(x, y);
        InjectMouseButton(VK_LBUTTON, true, x, y);
        InjectMouseButton(VK_LBUTTON, false, x, y);
    }
    // A save header of this screen's layout: caption, count, four frames, flag, thumbnail
    // (16-bit red, or with b32 the 32-bit green of a windowed game).
    static std::vector<std::uint8_t> Header(const char* pszCaption, int nCount, int nFrame0, int nFlag, size_t nCut = 0,
                                            bool b32 = false) {
        CByteWriter out;
        char szCaption[16] = {};
        std::snprintf(szCaption, sizeof(szCaption), "%s", pszCaption);
        out.WriteBytes(szCaption, 16);
        out.WriteI32(nCount);
        for (int v : {nFrame0, 2, 3, 9}) out.WriteI32(v);
        out.WriteI32(nFlag);
        for (int i = 0; i < 90 * 75; ++i) {
            if (b32) out.WriteU32(0x0000FF00);  // green
            else out.WriteU16(0xF800);          // red
        }
        std::vector<std::uint8_t> bytes = out.Bytes();
        if (nCut) bytes.resize(nCut);
        return bytes;
    }

    std::string m_strOldDir;
};

TEST_F(OldScreensTest, EndingWordsGlideFourHundredSixteenStepsAndTheAlphaTurns) {
    dwNowTime = 1000;
    CEndWord words(0);
    EXPECT_TRUE(words.HasPicture());
    words.m_dwLastStep = 1000;
    EXPECT_EQ(words.Draw(), 0);  // not 41 ms yet
    EXPECT_EQ(words.m_nX, 800);
    int nSteps = 0, nDone = 0, nMinAlpha = 999, nTurnsUp = 0;
    bool bWasFading = true;
    while (nDone == 0 && nSteps < 1000) {
        dwNowTime += 41;
        nDone = words.Draw();
        ++nSteps;
        nMinAlpha = std::min(nMinAlpha, words.m_nAlpha);
        if (bWasFading && !words.m_bFading) ++nTurnsUp;
        bWasFading = words.m_bFading != 0;
    }
    EXPECT_EQ(nSteps, 416);
    EXPECT_EQ(words.m_nX, -32);
    EXPECT_EQ(nMinAlpha, 0);
    EXPECT_EQ(nTurnsUp, 1);
    // The 200 → 0 run takes 200 steps, one more at 0, then it rises again.
    dwNowTime = 0;
    CEndWord again(1);
    again.m_dwLastStep = 0;
    for (int i = 0; i < 201; ++i) {
        dwNowTime += 50;
        again.Draw();
    }
    EXPECT_EQ(again.m_nAlpha, 0);
    EXPECT_EQ(again.m_bFading, 0);
    dwNowTime += 50;
    again.Draw();
    EXPECT_EQ(again.m_nAlpha, 1);
}

TEST_F(OldScreensTest, TheSaveListShowsNewSlotsLoadsOnlyExistingFilesAndReadsHeadersSafely) {
    EnterGameFolder();
    std::vector<int> loads;
    {
        CSaveList empty([&](int n) {
            loads.push_back(n);
            return true;
        });
        for (int n = 0; n < CSaveList::kFiles; ++n) EXPECT_FALSE(empty.Exists(n));
        Click(empty.GetRect(0).left + 5, empty.GetRect(0).top + 5);
        empty.Draw();
        EXPECT_EQ(empty.m_nSelected, 0);
        EXPECT_FALSE(empty.HasThumbnail());
        Click(empty.GetRect(6).left + 5, empty.GetRect(6).top + 5);
        empty.Draw();
        EXPECT_TRUE(loads.empty());
        EXPECT_EQ(empty.m_bDone, 0);
        // Up at the top and down at the last top leave the list where it is.
        Click(empty.GetRect(4).left + 2, empty.GetRect(4).top + 2);
        empty.Draw();
        EXPECT_EQ(empty.m_nTop, 0);
        for (int i = 0; i < 20; ++i) {
            Click(empty.GetRect(5).left + 2, empty.GetRect(5).top + 2);
            empty.Draw();
        }
        EXPECT_EQ(empty.m_nTop, CSaveList::kLastTop);
    }
    const std::string strSave = GetCurrentDirectory() + "/save/";
    ASSERT_TRUE(WriteBytesToFile((strSave + "save001.sav").c_str(), Header("First", 2, 1, 1)));
    ASSERT_TRUE(WriteBytesToFile((strSave + "save002.sav").c_str(), Header("Short", 2, 1, 0, 100)));
    ASSERT_TRUE(WriteBytesToFile((strSave + "save003.sav").c_str(), Header("Odd", 1953066324, 44, 0)));
    // The list finds and reads the files in the game folder from any current folder.
    SetCurrentDirectory(m_folder.Path().c_str());
    CSaveList list([&](int n) {
        loads.push_back(n);
        return true;
    });
    EXPECT_TRUE(list.Exists(1));
    EXPECT_TRUE(list.Exists(2));
    SetCurrentDirectory(m_folder.Path().c_str());
    Click(list.GetRect(1).left + 5, list.GetRect(1).top + 5);
    list.Draw();
    EXPECT_TRUE(list.HasThumbnail());
    EXPECT_EQ(list.m_nPictures, 2);
    EXPECT_STREQ(list.GetHeader().szCaption, "First");
    EXPECT_EQ(list.GetSlotSprite(1)->GetPosX(), -200);
    // A truncated file shows nothing and keeps its slot sprite in place.
    Click(list.GetRect(2).left + 5, list.GetRect(2).top + 5);
    list.Draw();
    EXPECT_FALSE(list.HasThumbnail());
    EXPECT_EQ(list.GetSlotSprite(2)->GetPosX(), list.GetRect(2).left);
    // A count and frames of another layout are kept to what can be shown.
    Click(list.GetRect(3).left + 5, list.GetRect(3).top + 5);
    list.Draw();
    EXPECT_EQ(list.m_nPictures, 3);
    EXPECT_EQ(list.GetHeader().nFrame[0], 6);
    Click(list.GetRect(6).left + 5, list.GetRect(6).top + 5);
    list.Draw();
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0], 3);
    EXPECT_EQ(list.m_bDone, 1);
}

// A windowed game keeps 32-bit thumbnails (27,000 bytes), a full-screen one 16-bit
// thumbnails (13,500 bytes): each mode reads its own and refuses the other's short file.
TEST_F(OldScreensTest, TheSaveListReadsTheThumbnailOfTheDisplayDepth) {
    EnterGameFolder();
    const std::string strSave = GetCurrentDirectory() + "/save/";
    ASSERT_TRUE(WriteBytesToFile((strSave + "save001.sav").c_str(), Header("Wide", 1, 0, 0, 0, true)));
    ASSERT_TRUE(WriteBytesToFile((strSave + "save002.sav").c_str(), Header("Narrow", 1, 0, 0)));
    m_pFrame->m_bFullScreen = 0;
    CSaveList list;
    Click(list.GetRect(1).left + 5, list.GetRect(1).top + 5);
    list.Draw();
    ASSERT_TRUE(list.HasThumbnail());
    EXPECT_STREQ(list.GetHeader().szCaption, "Wide");
    EXPECT_EQ(list.GetHeader().thumbnail[0], 0x00FF00u);
    EXPECT_EQ(list.GetHeader().thumbnail[90 * 75 - 1], 0x00FF00u);
    // Drawn at (left + 37, top + 15) of the selected slot.
    EXPECT_TRUE(PixelNear(list.GetRect(1).left + 37 + 45, list.GetRect(1).top + 15 + 30, RGB(0, 255, 0), 8));
    Click(list.GetRect(2).left + 5, list.GetRect(2).top + 5);
    list.Draw();
    EXPECT_FALSE(list.HasThumbnail());
    // Full screen: the 16-bit file reads, red.
    m_pFrame->m_bFullScreen = 1;
    Click(list.GetRect(2).left + 5, list.GetRect(2).top + 5);
    list.Draw();
    ASSERT_TRUE(list.HasThumbnail());
    EXPECT_EQ(list.GetHeader().thumbnail[0], 0xF80000u);
    // Without a loader of its own the main window loads the file; it refuses one that
    // holds only this screen's header, and the screen stays.
    Click(list.GetRect(6).left + 5, list.GetRect(6).top + 5);
    list.Draw();
    EXPECT_EQ(list.m_bDone, 0);
}

TEST_F(OldScreensTest, TheLeaveMenuStepsVolumesAndSpeedsAndPromptsBlockTheScreen) {
    CLeaveMenu menu;
    const RECT rcUp = menu.GetRect(3);
    for (int i = 0; i < 30; ++i) {
        Click(rcUp.left + 2, rcUp.top + 2);
        EXPECT_EQ(menu.Draw(), 1);
        if (i == 24) {
            EXPECT_EQ(menu.m_nMusicVolume, 100);
        }
    }
    EXPECT_EQ(menu.m_nMusicVolume, 100);
    EXPECT_EQ(menu.KnobX(0), menu.GetRect(12).right);
    // Speed: walk 8 with run 10 goes to walk 8, run 11.
    m_player.nWalkStep = 8;
    m_player.nRunStep = 10;
    Click(menu.GetRect(9).left + 2, menu.GetRect(9).top + 2);
    menu.Draw();
    EXPECT_EQ(m_player.nWalkStep, 8);
    EXPECT_EQ(m_player.nRunStep, 11);
    EXPECT_EQ(menu.m_nSpeed, 1);
    // Sound off, then the new-game prompt: other clicks do nothing until it is answered.
    Click(menu.GetRect(5).left + 2, menu.GetRect(5).top + 2);
    menu.Draw();
    EXPECT_EQ(m_pFrame->m_bSoundOn, 0);
    Click(menu.GetRect(10).left + 5, menu.GetRect(10).top + 5);
    menu.Draw();
    ASSERT_EQ(menu.m_bNewGamePrompt, 1);
    Click(menu.GetRect(4).left + 2, menu.GetRect(4).top + 2);
    EXPECT_EQ(menu.Draw(), 1);
    EXPECT_EQ(m_pFrame->m_bSoundOn, 0);
    EXPECT_EQ(menu.m_bNewGamePrompt, 1);
    const POINT o = CLeaveMenu::kPromptOrigin;
    Click(o.x + 20, o.y + 60);
    EXPECT_EQ(menu.Draw(), 0);
    EXPECT_EQ(menu.m_bNewGame, 1);
    EXPECT_EQ(menu.m_bNewGamePrompt, 0);
    // The leave prompt's "no" only closes it.
    Click(menu.GetRect(11).left + 5, menu.GetRect(11).top + 5);
    menu.Draw();
    Click(o.x + 120, o.y + 60);
    EXPECT_EQ(menu.Draw(), 1);
    EXPECT_EQ(menu.m_bLeavePrompt, 0);
}

TEST_F(OldScreensTest, TheChooseMenuListsPartyMembersInTheirRows) {
    CChoosePlayerMenu menu;
    m_player.nPartyMask = 0b0101;
    EXPECT_EQ(menu.ShownRow(0), 0);
    EXPECT_EQ(menu.ShownRow(2), 1);
    EXPECT_EQ(menu.ShownRow(1), -1);
    EXPECT_EQ(menu.ShownRow(7), -1);
    EXPECT_EQ(menu.Draw(), 1);
    m_mouse.m_nExitBoxState = 3;
    menu.OnClick();
    EXPECT_EQ(m_mouse.m_nExitBoxState, 0);
}

TEST_F(OldScreensTest, TheScenePanelStepsItsMarkerIntoTheBoxAndTabsOpenAndClose) {
    CScenePicture panel(pScreen, 0);
    EXPECT_EQ(CScenePicture::PictureSize(0).cy, 120);
    EXPECT_EQ(CScenePicture::PictureSize(52).cx, 118);
    EXPECT_EQ(CScenePicture::PictureSize(104).cx, 134);
    EXPECT_EQ(CScenePicture::PictureSize(250).cy, 132);
    // No scale yet: the marker waits at the box origin.
    panel.MoveMarker(500, 300);
    EXPECT_EQ(panel.GetMarker().x, panel.GetBoxOrigin().x);
    panel.SetScale(40, 30, 0);  // 40 * 64 / 134 = 19, 30 * 32 / 120 = 8
    EXPECT_EQ(panel.m_ptScale.x, 19);
    EXPECT_EQ(panel.m_ptScale.y, 8);
    panel.MoveMarker(190, 80);
    EXPECT_EQ(panel.GetMarker().x, panel.GetBoxOrigin().x + 10 - 5);
    EXPECT_EQ(panel.GetMarker().y, panel.GetBoxOrigin().y + 10 - 5);
    // A hero far beyond the box moves the marker out; it then steps back 5 at a time.
    panel.MoveMarker(190 * 40, 80);
    const int nOut = panel.GetMarker().x;
    EXPECT_GT(nOut, panel.GetBoxOrigin().x + CScenePicture::kBoxWidth);
    panel.MoveMarker(0, 0);
    EXPECT_EQ(panel.GetMarker().x, nOut - 5);

    const RECT rcClose = panel.CloseTab();
    MoveTo(rcClose.left + 3, rcClose.top + 3);
    m_mouse.m_bClick = 1;
    panel.Draw(0, 100, 100);
    EXPECT_EQ(panel.m_bOpen, 0);
    const RECT rcOpen = panel.OpenTab();
    MoveTo(rcOpen.left + 3, rcOpen.top + 3);
    panel.Draw(0, 100, 100);
    EXPECT_EQ(panel.m_bOpen, 1);
    // Open, the frame is drawn last: over the marker (the stand-in frame is solid).
    m_mouse.m_bClick = 0;
    CScenePicture fresh(pScreen, 0);
    fresh.Draw(0, 100, 100);
    const std::vector<LanPicture> files = LanPictureFiles();
    const auto frame = std::find_if(files.begin(), files.end(),
                                    [](const LanPicture& p) { return std::string(p.pszName) == "ScenePanel.bmp"; });
    ASSERT_NE(frame, files.end());
    const std::uint32_t c = StandInColour(int(frame - files.begin()));
    EXPECT_TRUE(PixelNear(fresh.GetMarker().x + 5, fresh.GetMarker().y + 5, RGB((c >> 16) & 255, (c >> 8) & 255, c & 255), 8));
}

TEST_F(OldScreensTest, TheIconToolBarOpensAndClosesTheFamilyAndOwnsWhatItMakes) {
    {
        CIconToolBar bar(1, 2);
        bar.Draw();
        EXPECT_EQ(bar.TryActivate(), 0);
        EXPECT_EQ(bar.TryActivate(), 1);
        m_pFrame->nEventId = 4;
        EXPECT_EQ(bar.TryActivate(), 0);
        m_pFrame->nEventId = -1;
        bar.CreateGoods();
        CGoodsPanel* pFirst = pGoodsPanel;
        ASSERT_NE(pFirst, nullptr);
        bar.CreateGoods();  // the first pair is freed (the leak checker would see it)
        ASSERT_NE(pGoodsPanel, nullptr);
        ASSERT_NE(pGoodsGrid, nullptr);
        auto press = [&](int nButton) {
            const RECT& rc = bar.GetButton(nButton);
            MoveTo(rc.left + 3, rc.top + 3);
            bar.OnClick();
        };
        press(2);
        EXPECT_EQ(pGoodsPanel->m_bShown, 1);
        press(4);
        EXPECT_EQ(pGoodsPanel->m_bShown, 0);
        ASSERT_NE(pStatusPanel, nullptr);
        EXPECT_TRUE(pStatusPanel->IsPageOpen(0));
        press(3);
        EXPECT_FALSE(pStatusPanel->IsPageOpen(0));
        ASSERT_NE(pDescBar, nullptr);
        EXPECT_EQ(pDescBar->m_bVisible, 1);
        press(0);
        EXPECT_EQ(pDescBar->m_bVisible, 0);
        // The sixth rectangle is laid out beside the five, and a click there opens nothing.
        const RECT& rcSixth = bar.GetButton(5);
        EXPECT_EQ(rcSixth.left, 132);
        EXPECT_EQ(rcSixth.top, 80);
        EXPECT_EQ(rcSixth.right, 152);
        EXPECT_EQ(rcSixth.bottom, 102);
        press(5);
        EXPECT_EQ(pGoodsPanel->m_bShown, 0);
        EXPECT_EQ(pDescBar->m_bVisible, 0);
        // Quick icons: the first slot always takes the item.
        bar.AddQuickIcon(5);
        bar.AddQuickIcon(7);
        EXPECT_EQ(bar.GetQuickItem(0), 7);
        EXPECT_EQ(bar.GetQuickItem(1), -1);
        bar.AddQuickIcon(300);
        EXPECT_EQ(bar.GetQuickItem(0), 7);
        bar.RemoveQuickIcon(7);
        EXPECT_EQ(bar.GetQuickItem(0), -1);
        EXPECT_EQ(bar.GetSprite(14), nullptr);
        // Equipment of the hero reaches page 0's row; a worn item held once waits at
        // the rest point's x, one held twice keeps its place, and the selected one
        // stands on its box (the head box at (233, 40)).
        *m_player.EquipSlot(4) = 12;
        *m_player.EquipSlot(0) = 3;
        *m_player.EquipSlot(1) = 4;
        m_player.nItemCount[12] = 1;
        m_player.nItemCount[3] = 1;
        m_player.nItemCount[4] = 2;
        pGoodsGrid->SetPos(4, POINT{50, 60});
        pGoodsGrid->SetPos(12, POINT{70, 80});
        bar.m_nSelected = 3;
        bar.SyncEquipment();
        EXPECT_EQ(pStatusPanel->m_nEquip[0][8], 12);
        EXPECT_EQ(pStatusPanel->m_nEquip[0][4], 3);
        EXPECT_EQ(pGoodsGrid->GetPos(12).x, 3000);
        EXPECT_EQ(pGoodsGrid->GetPos(12).y, 80);
        EXPECT_EQ(pGoodsGrid->GetPos(4).x, 50);
        EXPECT_EQ(pGoodsGrid->GetPos(3).x, 233);
        EXPECT_EQ(pGoodsGrid->GetPos(3).y, 40);
    }
    EXPECT_EQ(pGoodsPanel, nullptr);
    EXPECT_EQ(pGoodsGrid, nullptr);
    EXPECT_EQ(pStatusPanel, nullptr);
    EXPECT_EQ(pDescBar, nullptr);
}

}  // namespace
