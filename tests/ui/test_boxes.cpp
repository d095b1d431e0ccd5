#include "tests/ui/UiTestUtil.h"

#include "platform/Charset.h"
#include "ui/boxes/MessageBoxes.h"
#include "ui/menus/MainMenu.h"

namespace {

constexpr COLORREF kBoxColor = RGB(200, 180, 140);

class BoxTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ASSERT_TRUE(UsePackage({{"OK_Cancel_BKGround1.tga", BuildRleTga32(Solid(236, 160, Argb(255, 200, 180, 140)))},
                                {"OKCancel_OK.tga", BuildRleTga32(Solid(85, 40, Argb(255, 0, 128, 0)))},
                                {"OKCancel_OK[s].tga", BuildRleTga32(Solid(85, 40, Argb(255, 0, 255, 0)))},
                                {"Cancel.tga", BuildRleTga32(Solid(90, 40, Argb(255, 128, 0, 0)))},
                                {"Cancel[s].tga", BuildRleTga32(Solid(90, 40, Argb(255, 255, 0, 0)))},
                                {"wite.bmp", BuildBmp(Solid(800, 600, Argb(255, 255, 255, 255)))},
                                {"MessageBox.bmp", BuildBmp(Keyed(280, 150, Argb(255, 90, 90, 200)))},
                                {"PutInItem.bmp", BuildBmp(Solid(200, 50, Argb(255, 10, 20, 30)))},
                                {"YesOrNo.bmp", BuildBmp(Keyed(194, 42, Argb(255, 250, 200, 0)))}}));
        m_strText = Utf8ToText("是否退出游戏?");
    }
    // A quick click at (x, y) on frame nAt: the cursor object stands there and the
    // press and the release both happen before the box polls again.
    void ClickAt(int n, int nAt, int x, int y) {
        if (n != nAt) return;
        m_shell.ptMouse = POINT{x, y};
        InjectMouseButton(VK_LBUTTON, true, x, y);
        InjectMouseButton(VK_LBUTTON, false, x, y);
    }
    std::string m_strText;
};

TEST_F(BoxTest, QuestionSwallowsInputUntilAButtonAnswersAndRecordsTheAnswer) {
    // OK lies at (430, 330)-(515, 370) for a box at (400, 225).
    m_shell.onFrame = [&](int n) {
        ClickAt(n, 2, 100, 100);  // beside the box
        if (n == 3) {
            InjectKey('A', true);
            InjectKey('A', false);
            InjectKey(VK_RETURN, true);
            InjectKey(VK_RETURN, false);
        }
        ClickAt(n, 8, 450, 340);
    };
    int nSeenOpen = 0;
    {
        COKCancelBox box;
        EXPECT_EQ(nMsgBoxClick, 1);
        box.LoadButtons("PutDownItem.bmp", "YesOrNo.bmp", 85, 40);
        auto onFrame = m_shell.onFrame;
        m_shell.onFrame = [&](int n) {
            nSeenOpen += bMsgBoxOpen;
            onFrame(n);
        };
        EXPECT_EQ(box.Run(m_strText.c_str(), 2, 400, 225), 1);
        EXPECT_GE(m_shell.nFrames, 8);
        EXPECT_EQ(nSeenOpen, m_shell.nFrames);
        EXPECT_EQ(bMsgBoxOpen, 0);
        EXPECT_EQ(nMsgBoxClick, -1);
        // Asking again after the loop gives the recorded answer, whatever the mouse does.
        InjectMouseMove(5, 5);
        EXPECT_EQ(box.HitTest(), 1);
        EXPECT_EQ(box.GetAnswer(), 1);
    }
    // Everything typed and clicked during the box reached the window only while the
    // box-open flag held the handlers back.
    EXPECT_GT(m_window.nInputWhileBoxOpen, 0);
    EXPECT_EQ(m_window.nInputWhileBoxOpen, m_window.nInput);
    EXPECT_EQ(m_shell.nMapDraws, 0);  // no scene: the white backdrop
}

TEST_F(BoxTest, QuickClickOnCancelBetweenTwoPollsIsNotLost) {
    m_shell.onFrame = [&](int n) {
        ClickAt(n, 4, 560, 350);  // Cancel (515, 330)-(605, 370)
    };
    COKCancelBox box;
    box.LoadButtons();
    EXPECT_EQ(box.Run(m_strText.c_str(), 2, 400, 225), 2);
    EXPECT_EQ(m_shell.nFrames, 4);
    EXPECT_EQ(box.HitTest(), 2);
}

TEST_F(BoxTest, PressThatOpenedTheBoxDoesNotAnswerIt) {
    InjectMouseMove(450, 340);
    InjectMouseButton(VK_LBUTTON, true, 450, 340);
    InjectMouseButton(VK_LBUTTON, false, 450, 340);
    m_shell.onFrame = [&](int n) {
        ClickAt(n, 3, 560, 350);
    };
    COKCancelBox box;
    box.LoadButtons();
    EXPECT_EQ(box.Run(m_strText.c_str(), 2, 400, 225), 2);
    EXPECT_EQ(m_shell.nFrames, 3);
}

TEST_F(BoxTest, EmptyTextShowsNothingAndLeavesTheClickStateAsItWas) {
    // An answered box before: releases reach the game.
    nMsgBoxClick = -1;
    {
        COKCancelBox box;
        EXPECT_EQ(nMsgBoxClick, 1);
        EXPECT_EQ(box.Run("", 2, 400, 225), 0);
        EXPECT_EQ(nMsgBoxClick, -1);
        EXPECT_EQ(box.Run(nullptr, 2, 400, 225), 0);
        EXPECT_EQ(nMsgBoxClick, -1);
    }
    {
        CNoticeBox notice;
        EXPECT_EQ(notice.Run("", 1, 150, 200), 0);
        EXPECT_EQ(nMsgBoxClick, -1);
    }
    {
        CPicMessageBox pic;
        EXPECT_EQ(pic.Run("", 1, 250, 225), 0);
        EXPECT_EQ(nMsgBoxClick, -1);
    }
    // Inside a running box, an empty one leaves the running box's state.
    nMsgBoxClick = 1;
    {
        CNoticeBox notice;
        EXPECT_EQ(notice.Run("", 1, 150, 200), 0);
        EXPECT_EQ(nMsgBoxClick, 1);
    }
    EXPECT_EQ(m_shell.nFrames, 0);
    EXPECT_EQ(bMsgBoxOpen, 0);
}

TEST_F(BoxTest, EveryPassOfEachBoxSetsTheFrameTime) {
    // Each box answers on its fourth frame; the frame time seen by the cursor drawing
    // is the clock of that pass.
    std::vector<DWORD> times;
    POINT ptButton{450, 340};  // the question's OK
    m_shell.onFrame = [&](int n) {
        times.push_back(dwNowTime);
        ClickAt(n, 4, ptButton.x, ptButton.y);
    };
    auto checkTimes = [&](const char* pszBox) {
        SCOPED_TRACE(pszBox);
        ASSERT_EQ(times.size(), 4u);
        for (size_t i = 1; i < times.size(); ++i) EXPECT_GT(times[i], times[i - 1]);
        EXPECT_LE(times.back(), TimeGetTime());
        EXPECT_GE(times.back() + 40, TimeGetTime());
        times.clear();
        m_shell.nFrames = 0;
    };
    dwNowTime = 0;
    {
        COKCancelBox box;
        EXPECT_EQ(box.Run(m_strText.c_str(), 2, 400, 225), 1);
        checkTimes("question");
    }
    {
        ptButton = POINT{250, 320};
        CNoticeBox notice;
        EXPECT_EQ(notice.Run(m_strText.c_str(), 1, 150, 200), 1);
        checkTimes("notice");
    }
    {
        ptButton = POINT{330, 330};
        CPicMessageBox pic;
        pic.LoadPictures("PutInItem.bmp", "YesOrNo.bmp", 97, 42);
        EXPECT_EQ(pic.Run(nullptr, 1, 250, 225), 1);
        checkTimes("picture");
    }
}

TEST_F(BoxTest, LayoutNumberPlacesTheText) {
    EXPECT_TRUE(EqualRect(BoxTextRect(2), RECT{0, 65, 236, 135}));
    EXPECT_TRUE(EqualRect(BoxTextRect(1), RECT{0, 45, 218, 135}));
    EXPECT_TRUE(EqualRect(BoxTextRect(3), BoxTextRect(1)));
    m_shell.onFrame = [&](int n) {
        ClickAt(n, 2, 175, 320);  // beside OK, which lies at (225, 305)-(310, 345)
        ClickAt(n, 4, 260, 320);
    };
    CNoticeBox notice;
    notice.LoadButtons();
    EXPECT_EQ(notice.Run(m_strText.c_str(), 5, 150, 200), 1);
    EXPECT_TRUE(EqualRect(notice.GetTextRect(), BoxTextRect(1)));
    EXPECT_EQ(m_shell.nFrames, 4);
}

TEST_F(BoxTest, EnterClosesANoticeButNotAQuestion) {
    m_shell.onFrame = [&](int n) {
        if (n == 2) {
            InjectKey(VK_RETURN, true);
            InjectKey(VK_RETURN, false);
        }
        ClickAt(n, 5, 560, 350);
    };
    {
        COKCancelBox box;
        box.LoadButtons();
        EXPECT_EQ(box.Run(m_strText.c_str(), 2, 400, 225), 2);
        EXPECT_EQ(m_shell.nFrames, 5);
    }
    // An Enter pressed before the notice opened does not close it.
    InjectKey(VK_RETURN, true);
    InjectKey(VK_RETURN, false);
    m_shell.nFrames = 0;
    m_shell.onFrame = [&](int n) {
        if (n == 3) {
            InjectKey(VK_RETURN, true);
            InjectKey(VK_RETURN, false);
        }
    };
    CNoticeBox notice;
    notice.LoadButtons();
    EXPECT_EQ(notice.Run(m_strText.c_str(), 1, 150, 200), 1);
    EXPECT_EQ(m_shell.nFrames, 3);
    EXPECT_EQ(nMsgBoxClick, -1);
}

TEST_F(BoxTest, QuestionDrawsOverTheBackdropAndLightsTheHoveredButton) {
    FillBack(RGB(0, 0, 0));
    bool bChecked = false;
    m_shell.onFrame = [&](int n) {
        if (n == 1) InjectMouseMove(450, 340);
        if (n == 3) {
            // Drawn before the cursor: backdrop, background, hover picture over OK.
            EXPECT_TRUE(PixelIs(5, 5, RGB(255, 255, 255)));
            EXPECT_TRUE(PixelNear(402, 227, kBoxColor));
            EXPECT_TRUE(PixelNear(431, 331, RGB(0, 255, 0)));
            EXPECT_TRUE(PixelNear(520, 335, RGB(128, 0, 0)));
            bChecked = true;
            InjectMouseButton(VK_LBUTTON, true, 450, 340);
            InjectMouseButton(VK_LBUTTON, false, 450, 340);
        }
    };
    COKCancelBox box;
    box.LoadButtons();
    EXPECT_EQ(box.Run(m_strText.c_str(), 2, 400, 225), 1);
    EXPECT_TRUE(bChecked);
}

TEST_F(BoxTest, WithASceneTheMapIsRedrawnBehindTheBox) {
    int nScene = 0;
    pScene = reinterpret_cast<CScene*>(&nScene);
    m_shell.onFrame = [&](int n) {
        ClickAt(n, 3, 450, 340);
    };
    COKCancelBox box;
    EXPECT_EQ(box.Run(m_strText.c_str(), 1, 400, 225), 1);
    EXPECT_EQ(m_shell.nMapDraws, 3);
    pScene = nullptr;
}

TEST_F(BoxTest, QuestionOverTheTitleMenuResetsItsHover) {
    CMainMenu menu;
    m_shell.pTitleMenu = &menu;
    m_shell.onFrame = [&](int n) {
        if (n == 1) InjectMouseMove(200, 230);  // on the title's first button
        if (n == 2) {
            EXPECT_EQ(menu.GetHoveredButton(), -1);
        }
        ClickAt(n, 3, 450, 340);
    };
    COKCancelBox box;
    EXPECT_EQ(box.Run(m_strText.c_str(), 2, 400, 225), 1);
}

TEST_F(BoxTest, AQuestionEndsAsCancelWhenTheGameStops) {
    m_shell.onFrame = [&](int n) {
        if (n == 2) m_shell.bRunning = false;
    };
    COKCancelBox box;
    EXPECT_EQ(box.Run(m_strText.c_str(), 2, 150, 150), 2);
}

TEST_F(BoxTest, BoxesWithoutPicturesStillAnswer) {
    ASSERT_TRUE(UsePackage({{"unrelated.bmp", BuildBmp(Solid(4, 4, 0))}}));
    m_shell.onFrame = [&](int n) {
        ClickAt(n, 2, 450, 340);
    };
    COKCancelBox box;
    box.LoadButtons();
    EXPECT_EQ(box.Run(m_strText.c_str(), 2, 400, 225), 1);
    m_shell.nFrames = 0;
    m_shell.onFrame = [&](int n) {
        ClickAt(n, 2, 330, 330);
    };
    CPicMessageBox pic;
    pic.LoadPictures("PutInItem.bmp", "YesOrNo.bmp", 97, 42);
    EXPECT_EQ(pic.Run(nullptr, 1, 250, 225), 1);
}

TEST_F(BoxTest, PictureBoxAnswersOnlyAFreshPressOnAButton) {
    // Held since before the box: not a fresh press.
    InjectMouseMove(330, 330);
    InjectMouseButton(VK_LBUTTON, true, 330, 330);
    m_shell.onFrame = [&](int n) {
        if (n == 2) {
            // One button at (250, 225): (315, 310)-(413, 351); the strip cell sits there.
            EXPECT_TRUE(PixelIs(320, 315, RGB(250, 200, 0)));
            EXPECT_TRUE(PixelIs(272, 237, RGB(10, 20, 30)));  // message picture at +20, +10
            InjectMouseButton(VK_LBUTTON, false, 330, 330);
        }
        ClickAt(n, 3, 500, 500);  // beside the button
        ClickAt(n, 5, 330, 330);
    };
    CPicMessageBox pic;
    pic.LoadPictures("PutInItem.bmp", "YesOrNo.bmp", 97, 42);
    EXPECT_EQ(pic.Run(nullptr, 1, 250, 225), 1);
    EXPECT_EQ(m_shell.nFrames, 5);
    EXPECT_EQ(pic.GetButtonCount(), 1);
    EXPECT_TRUE(EqualRect(pic.GetButtonRect(0), RECT{315, 310, 413, 351}));
}

TEST_F(BoxTest, PictureBoxTwoButtonLayoutAnswersTheSecond) {
    m_shell.onFrame = [&](int n) {
        ClickAt(n, 2, 100 + 200, 110 + 100);  // second button (166, 105)-(251, 133) at (100, 100)
    };
    CPicMessageBox pic;
    pic.LoadPictures("", "YesOrNo.bmp", 97, 42);
    EXPECT_EQ(pic.Run("text", 2, 100, 100), 2);
    EXPECT_TRUE(EqualRect(pic.GetButtonRect(1), RECT{266, 205, 351, 233}));
}

}  // namespace
