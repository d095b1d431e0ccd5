// The sample game's menu pictures: every picture the title menu, the talk bars and the
// boxes read is there and loads, and the title screen and the quit box draw from them.
// The sample's people: every villager looks apart and talks with the face of their own
// sculpt, and fallen fighters lie on the ground.
#include "tests/ui/UiTestUtil.h"

#include <cstdlib>
#include <set>

#include "media/TgaImage.h"
#include "platform/Charset.h"
#include "tools/mkgame/SampleHeroine.cpp"  // the figures live in the mkgame tool
#include "tools/mkgame/SampleMenus.cpp"    // the content lives in the mkgame tool
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
    EXPECT_EQ(MenuContentEntries("Head.pkg").size(), AllLooks().size());
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

// The pixels of the picture in the colour, and the box round its opaque pixels (the
// clear ground and the half-dark shadow left out).
int CountColour(const PictureRgba& pic, std::uint32_t c) { return int(std::count(pic.pixels.begin(), pic.pixels.end(), c)); }
RECT OpaqueBox(const PictureRgba& pic) {
    RECT rc{pic.nWidth, pic.nHeight, 0, 0};
    for (int y = 0; y < pic.nHeight; ++y)
        for (int x = 0; x < pic.nWidth; ++x)
            if ((pic.At(x, y) >> 24) == 255)
                rc = RECT{std::min(rc.left, LONG(x)), std::min(rc.top, LONG(y)), std::max(rc.right, LONG(x + 1)),
                          std::max(rc.bottom, LONG(y + 1))};
    return rc;
}

TEST(SamplePeople, EveryVillagerLooksApartAndTalksWithTheFaceOfTheirSculpt) {
    std::set<std::string> faces;
    for (const PkgEntryData& e : MenuContentEntries("Head.pkg")) faces.insert(e.strName);
    std::vector<int> sculpts;
    for (int s = 0; s < 20; ++s) sculpts.push_back(s);
    sculpts.push_back(89);
    std::vector<PictureRgba> frames;
    for (int s : sculpts) {
        const Look* pLook = FindLook(s);
        ASSERT_NE(pLook, nullptr) << "sculpt " << s;
        EXPECT_EQ(faces.count(Numbered("TX%03d.bmp", s)), 1u) << "no face for sculpt " << s;
        frames.push_back(PaintSampleCharacter(s, 0, 0, 0));
        // The face wears the hair the figure wears.
        if (pLook->hair == Hair::Bald) continue;
        EXPECT_GT(CountColour(Face(*pLook), pLook->crHair), 150) << "sculpt " << s;
        EXPECT_GT(CountColour(frames.back(), pLook->crHair), 20) << "sculpt " << s;
    }
    // No two figures share their heads (hair, hat, beard, what they hold up high).
    for (size_t a = 0; a < frames.size(); ++a)
        for (size_t b = a + 1; b < frames.size(); ++b) {
            int nDiffer = 0;
            for (int y = 50; y < 96; ++y)
                for (int x = 96; x < 160; ++x) nDiffer += frames[a].At(x, y) != frames[b].At(x, y);
            EXPECT_GT(nDiffer, 40) << "sculpts " << sculpts[a] << " and " << sculpts[b] << " look alike";
        }
}

TEST(SamplePeople, FallenFightersLieOnTheGround) {
    std::vector<int> fighters{1, 2, 3, 4, 5};
    for (int s = kFirstBeastSculpt; s <= kLastBeastSculpt; ++s) fighters.push_back(s);
    for (int s : fighters)
        for (int d : {2, 6}) {
            const RECT rcUp = OpaqueBox(PaintSampleCharacter(s, 0, d, 0));
            // Fallen (9), and the beasts' last frame of dying on the map (5).
            for (int a : {9, 5}) {
                if (a == 5 && (s < kFirstBeastSculpt || s == kStatueSculpt)) continue;
                const PictureRgba fallen = PaintSampleCharacter(s, a, d, 1);
                const RECT rc = OpaqueBox(fallen);
                EXPECT_GT(2 * (rc.right - rc.left), 3 * (rc.bottom - rc.top)) << "sculpt " << s << " action " << a << " stands";
                EXPECT_GE(rc.bottom, rcUp.bottom - 4) << "sculpt " << s << " lies above the ground";
                EXPECT_LT(5 * (rc.bottom - rc.top), 3 * (rcUp.bottom - rcUp.top)) << "sculpt " << s;
                // A fallen statue is still grey stone, not a beast's fur.
                if (s != kStatueSculpt) continue;
                int nColoured = 0;
                for (const std::uint32_t c : fallen.pixels) {
                    const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
                    nColoured += (c >> 24) == 255 && (std::abs(r - g) > 12 || std::abs(g - b) > 12);
                }
                EXPECT_EQ(nColoured, 0) << "the fallen statue facing " << d;
            }
        }
}

}  // namespace
