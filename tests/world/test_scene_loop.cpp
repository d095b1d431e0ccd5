// The main loop on a loaded sample scene in map play (mode 3), headless, driven by an
// input script: the cursor at a screen edge scrolls the view 24 pixels a pass, and the
// animated pictures change on the presented frames every 200 ms.
#include <filesystem>

#include "CDX/CDXScreen.h"
#include "platform/WindowBackend.h"
#include "shell/SceneLink.h"
#include "tests/TempFolder.h"
#include "tests/shell/ShellTestUtil.h"
#include "tools/gamekit/SampleScenes.h"
#include "world/Scene.h"

namespace {

class SceneLoop : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        Menus().m_nGameMode = 3;
        std::string why;
        ASSERT_TRUE(WriteSampleScenes(folder.Path(), &why)) << why;
        SetCurrentDirectory(folder.Path().c_str());
        ASSERT_TRUE(OpenScreen());
        // Building the scene installs the scene's map link over the recorders.
        ASSERT_TRUE(MakeScene(0, &why)) << why;
        ASSERT_NE(pScene, nullptr);
    }
    void TearDown() override {
        FrameTest::TearDown();  // the main window deletes the scene through the map link
        EXPECT_EQ(pScene, nullptr);
        delete pScreen;
        pScreen = nullptr;
        pBack = nullptr;
        SetSceneHost(nullptr);
    }
    // Runs passes while the script plays, for nMs of virtual time.
    template <class F>
    void Passes(DWORD nMs, F each) {
        const DWORD dwEnd = TimeGetTime() + nMs;
        while (TimeGetTime() < dwEnd) {
            pFrame->RunOnePass();
            each();
        }
    }
    // The presented pixels of a screen rectangle.
    static std::vector<BYTE> Region(int x, int y, int w, int h) {
        const FrameImage& frame = LastFrame();
        std::vector<BYTE> out;
        for (int row = y; row < y + h && row < frame.nHeight; ++row) {
            const BYTE* p = frame.rgb.data() + (size_t(row) * size_t(frame.nWidth) + size_t(x)) * 3;
            out.insert(out.end(), p, p + size_t(w) * 3);
        }
        return out;
    }

    CBaseFolderGuard guard;
    CTempFolder folder;
};

TEST_F(SceneLoop, TheCursorAtAnEdgeScrollsTheView24PixelsAPassUpToTheMapsEnd) {
    ASSERT_EQ(LoadInputScriptText("0 move 400 300\n"
                                  "100 move 799 300\n"
                                  "1000 move 400 300\n"
                                  "1100 move 400 599\n"
                                  "1800 move 0 0\n",
                                  "edges"),
              0);
    std::vector<POINT> views;
    Passes(2400, [&] { views.push_back(pScene->ptView); });
    ASSERT_GT(views.size(), 60u);
    // 24 pixels a pass; the pass that takes the cursor's move message scrolls once more
    // for the message itself. Right up to 1280 - 800, down up to 960 - 600.
    int nRight = 0, nDown = 0, nDoubled = 0;
    bool bBack = false;
    for (size_t i = 1; i < views.size(); ++i) {
        const int dx = views[i].x - views[i - 1].x, dy = views[i].y - views[i - 1].y;
        if (dx > 0 && dy == 0) {
            ASSERT_TRUE(dx == 24 || dx == 48) << "pass " << i << " moved " << dx;
            nRight += dx;
            nDoubled += dx == 48;
        } else if (dy > 0 && dx == 0) {
            ASSERT_TRUE(dy == 24 || dy == 48) << "pass " << i << " moved " << dy;
            nDown += dy;
            nDoubled += dy == 48;
        } else if (dx < 0 || dy < 0) {
            ASSERT_TRUE(dx >= -48 && dy >= -48) << "pass " << i << " moved " << dx << ", " << dy;
            bBack = true;
        } else {
            ASSERT_TRUE(dx == 0 && dy == 0) << "pass " << i << " moved by " << dx << ", " << dy;
        }
    }
    EXPECT_EQ(nRight, 480);
    EXPECT_EQ(nDown, 360);
    EXPECT_LE(nDoubled, 2);
    EXPECT_TRUE(bBack);
    EXPECT_EQ(pScene->bHoldView, 1);
    // The top-left corner: the view went back to the map's origin.
    EXPECT_EQ(views.back().x, 0);
    EXPECT_EQ(views.back().y, 0);
}

TEST_F(SceneLoop, AnimatedPicturesChangeOnTheScreenEvery200Milliseconds) {
    const std::string strShot1 = folder.File("a.png"), strShot2 = folder.File("b.png");
    ASSERT_EQ(LoadInputScriptText("0 move 400 200\n"
                                  "500 shot " + strShot1 + "\n"
                                  "520 shot " + strShot2 + "\n",
                                  "animation"),
              0);
    // The first fire of the town stands at map (560, 300), 32 x 48.
    std::vector<DWORD> changes;
    std::vector<BYTE> last;
    Passes(1500, [&] {
        std::vector<BYTE> fire = Region(560, 300, 32, 48);
        if (!last.empty() && fire != last) changes.push_back(dwNowTime);
        last = fire;
    });
    ASSERT_GE(changes.size(), 5u);
    for (size_t i = 1; i < changes.size(); ++i) {
        EXPECT_GE(changes[i] - changes[i - 1], 200u) << i;
        EXPECT_LE(changes[i] - changes[i - 1], 240u) << i;
    }
    // The script's screenshots were written from the presented frames.
    EXPECT_GT(std::filesystem::file_size(strShot1), 1000u);
    EXPECT_GT(std::filesystem::file_size(strShot2), 1000u);
}

}  // namespace
