// The sample game's menu pictures: every picture the title menu, the talk bars and the
// boxes read is there and loads, and the title screen and the quit box draw from them.
#include "tests/ui/UiTestUtil.h"

#include "media/TgaImage.h"
#include "platform/Charset.h"
#include "tools/mkgame/SampleMenus.cpp"  // the content lives in the mkgame tool
#include "ui/boxes/MessageBoxes.h"
#include "ui/menus/MainMenu.h"
#include "ui/menus/TalkBar.h"

namespace {

class SampleMenusTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ASSERT_TRUE(UsePackage(MenuContentEntries("menu.pkg")));
    }
};

TEST_F(SampleMenusTest, EveryPictureTheScreensReadLoads) {
    const char* bmps[] = {"MainMenu_BKGround.bmp", "wite.bmp", "MessageBox.bmp", "PutInItem.bmp",
                          "YesOrNo.bmp",           "ExitGameOk.bmp"};
    for (const char* pszName : bmps) {
        CDXSurface* p = LoadMenuSurface(pszName, true);
        EXPECT_NE(p, nullptr) << pszName;
        delete p;
    }
    for (int i = 0; i < CMainMenu::kButtonCount; ++i) {
        for (const char* pszName : {CMainMenu::kNormalNames[i], CMainMenu::kHoverNames[i]}) {
            CDXSurface* p = LoadMenuSurface(pszName, true);
            ASSERT_NE(p, nullptr) << pszName;
            EXPECT_EQ(p->GetWidth(), 195);
            EXPECT_EQ(p->GetHeight(), 40);
            delete p;
        }
    }
    const char* tgas[] = {"OK_Cancel_BKGround1.tga", "OKCancel_OK.tga", "OKCancel_OK[s].tga", "Cancel.tga",
                          "Cancel[s].tga", "TalkBar.tga"};
    for (const char* pszName : tgas) {
        CTgaImage* p = LoadMenuTga(pszName);
        EXPECT_NE(p, nullptr) << pszName;
        delete p;
    }
    EXPECT_EQ(MenuContentEntries("Head.pkg").size(), 6u);
    EXPECT_TRUE(MenuContentEntries("Scene.pkg").empty());
    EXPECT_EQ(MenuContentEntries("MENU.PKG").size(), MenuContentEntries("menu.pkg").size());
}

TEST_F(SampleMenusTest, TitleScreenAndQuitBoxDrawFromTheSamplePictures) {
    CMainMenu menu;
    menu.LoadButtons();
    m_shell.ptMouse = POINT{250, 300};
    menu.Draw();
    menu.Draw();
    EXPECT_EQ(menu.GetHoveredButton(), 1);
    // The lit button differs from the unlit ones at the same place of the picture.
    ASSERT_FALSE(Failed(pBack->Lock()));
    const DWORD dwLit = pBack->GetPixel(185 + 20, 285 + 5);
    const DWORD dwUnlit = pBack->GetPixel(185 + 20, 220 + 5);
    pBack->Unlock();
    EXPECT_NE(dwLit, dwUnlit);
    pScreen->Flip(FALSE);
    const std::string shot = m_folder.Path() + "/ui_title.png";
    EXPECT_TRUE(SaveScreenshotPng(shot.c_str()));

    m_shell.pTitleMenu = &menu;
    m_shell.onFrame = [&](int n) {
        if (n == 3) {
            const std::string boxShot = m_folder.Path() + "/ui_quit_box.png";
            EXPECT_TRUE(SaveScreenshotPng(boxShot.c_str()));
            m_shell.ptMouse = POINT{450, 340};
            InjectMouseButton(VK_LBUTTON, true, 450, 340);
            InjectMouseButton(VK_LBUTTON, false, 450, 340);
        }
    };
    m_shell.ptMouse = POINT{300, 510};
    menu.Draw();
    menu.OnLButtonUp(4);
    EXPECT_EQ(m_shell.nQuits, 1);
}

}  // namespace
