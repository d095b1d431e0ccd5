// The HUD's pixels: bar widths and caps, the bars of a drawn strip, the text box's
// plates and fade, the caption's blink and end, and the target bar.
#include "tests/ui/ToolBarTestUtil.h"

namespace {

class ToolBarHud : public ToolBarTest {};

TEST_F(ToolBarHud, BarWidthsDrawCapsAndMiddle) {
    struct Case {
        int w;
        std::vector<std::pair<int, const char*>> spots;  // x offset, picture (null: untouched)
    };
    const Case cases[] = {
        {0, {{1, nullptr}, {3, nullptr}}},
        {4, {{1, "Blood[L].tga"}, {3, "Blood[L].tga"}, {4, nullptr}}},
        {7, {{2, "Blood[L].tga"}, {4, "Blood.tga"}, {6, "Blood.tga"}, {7, nullptr}}},
        {8, {{2, "Blood[L].tga"}, {7, "Blood.tga"}, {8, "Blood[R].tga"}, {11, "Blood[R].tga"}, {12, nullptr}}},
        {76, {{2, "Blood[L].tga"}, {75, "Blood.tga"}, {76, "Blood[R].tga"}, {79, "Blood[R].tga"}, {80, nullptr}}},
        {77, {{1, nullptr}, {40, nullptr}, {78, nullptr}}},
        {-3, {{0, nullptr}, {1, nullptr}}},
    };
    for (const Case& c : cases) {
        FillBack(RGB(0, 0, 0));
        bar->DrawBar(bar->m_pBlood, bar->m_pBloodLeft, bar->m_pBloodRight, c.w, 100, 200);
        for (const auto& [dx, pszPicture] : c.spots) {
            if (pszPicture) {
                EXPECT_TRUE(NearProbe(100 + dx, 206, pszPicture)) << "w " << c.w << " x+" << dx;
            } else {
                EXPECT_TRUE(Near(100 + dx, 206, 0, 0, 0)) << "w " << c.w << " x+" << dx;
            }
        }
        // Bars are 12 rows high.
        EXPECT_TRUE(Near(102, 212, 0, 0, 0)) << c.w;
    }
}

TEST_F(ToolBarHud, TheStripShowsPortraitBarsAndHoverTips) {
    hero.nLife = 25;
    hero.nLifeMax = 50;
    hero.nMana = 50;
    hero.nManaMax = 50;
    host.ptMouse = POINT{400, 100};
    FillBack(RGB(0, 0, 0));
    bar->Draw();
    // Background, portrait 1, life bar at half (38 px), mana bar full (76 px).
    EXPECT_TRUE(NearProbe(400, 455 + 120, "ToolBar_BKGround.tga"));
    EXPECT_TRUE(NearProbe(10 + 50, 460 + 4 + 90, "GTX001.tga"));
    EXPECT_TRUE(NearProbe(8 + 2, 571, "Blood[L].tga"));
    EXPECT_TRUE(NearProbe(8 + 20, 571, "Blood.tga"));
    EXPECT_TRUE(NearProbe(8 + 39, 571, "Blood[R].tga"));
    EXPECT_FALSE(NearProbe(8 + 50, 571, "Blood.tga"));
    EXPECT_TRUE(NearProbe(8 + 60, 588, "Mana.tga"));
    EXPECT_TRUE(NearProbe(8 + 77, 588, "Mana[R].tga"));
    EXPECT_TRUE(NearProbe(760, 566, "ToolBar_Button.tga"));
    // Hovering the button lights it and shows its tip; hovering the life bar shows the
    // value box over the map.
    host.ptMouse = POINT{762, 566};
    bar->Draw();
    EXPECT_TRUE(NearProbe(737, 539, "ToolBar_Button[s].tga"));
    EXPECT_EQ(bar->m_nToolBarHover, 0);
    host.ptMouse = POINT{300, 300};
    bar->Draw();
    const DWORD dwPlain = Pixel(20, 556);
    host.ptMouse = POINT{40, 570};
    bar->Draw();
    EXPECT_EQ(bar->m_nToolBarHover, -1);
    // The value box (the description picture at half strength) lies over the bar.
    EXPECT_NE(Pixel(20, 556), dwPlain);
    host.ptMouse = POINT{40, 530};
    bar->Draw();
    EXPECT_EQ(Pixel(20, 556), dwPlain);
    // A maximum of 0 gives an empty bar.
    hero.nLifeMax = 0;
    FillBack(RGB(0, 0, 0));
    host.ptMouse = POINT{400, 100};
    bar->DrawToolBarOnly();
    EXPECT_FALSE(NearProbe(8 + 20, 571, "Blood.tga"));
}

// The tip of a hovered quick slot: the item's name and its first description line,
// drawn 20 pixels below the name; the later lines are the description box's.
TEST_F(ToolBarHud, AQuickSlotTipShowsTheFirstDescriptionLine) {
    constexpr int kPotion = 5;
    static const std::string kName = Utf8ToText("三七"), kLine = Utf8ToText("三三三三三三");
    items[kPotion].nType = 1;
    items[kPotion].pName = kName.c_str();
    hero.nItemCount[kPotion] = 2;
    bar->m_nQuickSlots[0] = kPotion;
    const POINT pt{283, 455 + 117};  // quick slot 0: (261, 550) to (305, 595)
    const RECT rcLine{pt.x - 95, pt.y - 92, pt.x + 100, pt.y - 72};
    auto drawn = [&](const char* pszFirst, const char* pszSecond) {
        items[kPotion].pDescription = pszFirst;
        items[kPotion].pDescription1 = pszSecond;
        FillBack(RGB(0, 0, 0));
        host.ptMouse = pt;
        bar->Draw();
        std::vector<DWORD> pixels;
        for (LONG y = rcLine.top; y < rcLine.bottom; ++y)
            for (LONG x = rcLine.left; x < rcLine.right; ++x) pixels.push_back(Pixel(int(x), int(y)));
        return pixels;
    };
    const std::vector<DWORD> none = drawn("", "");
    EXPECT_EQ(bar->m_nTipItem, kPotion);
    auto differences = [&](const std::vector<DWORD>& v) {
        int n = 0;
        for (size_t i = 0; i < v.size(); ++i) n += v[i] != none[i];
        return n;
    };
    EXPECT_GT(differences(drawn(kLine.c_str(), "")), 30) << "the first line is not drawn";
    EXPECT_EQ(differences(drawn("", kLine.c_str())), 0) << "the second line is drawn";
}

TEST_F(ToolBarHud, TextBoxPlatesAndFade) {
    EXPECT_EQ(TextBoxPlateSize(32).cx, 412);
    EXPECT_EQ(TextBoxPlateSize(32).cy, 34);
    EXPECT_EQ(TextBoxPlateSize(34).cx, 420);
    EXPECT_EQ(TextBoxPlateSize(34).cy, 68);
    EXPECT_EQ(TextBoxPlateSize(68).cx, 420);
    EXPECT_EQ(TextBoxPlateSize(68).cy, 102);

    std::string strText;
    for (int i = 0; i < 16; ++i) strText += "\xc4\xe3";
    const char* texts[] = {strText.c_str()};
    data.ppTexts = texts;
    data.nTextCount = 1;
    EXPECT_EQ(bar->ShowTextBox(1, 100), 0);  // past the table's end
    dwNowTime = 1000;
    ASSERT_EQ(bar->ShowTextBox(0, 100), 1);
    ASSERT_NE(bar->m_pTextBoxPlate, nullptr);
    EXPECT_EQ(bar->m_pTextBoxPlate->GetWidth(), 412);
    EXPECT_EQ(bar->m_pTextBoxPlate->GetHeight(), 34);
    // No dismissal during the fade-in.
    EXPECT_EQ(bar->m_nTextBoxAlpha, 100);
    bar->OnLButtonUp();
    bar->OnKeyDown(VK_SPACE, 0);
    EXPECT_EQ(bar->m_bTextBoxDismissed, 0);
    int nSteps = 0;
    while (bar->m_bTextBoxFadingIn && nSteps < 50) {
        dwNowTime += 100;
        bar->DrawTextBox();
        ++nSteps;
    }
    EXPECT_EQ(nSteps, 11);
    EXPECT_EQ(bar->m_nTextBoxAlpha, 1);
    EXPECT_EQ(bar->OnKeyDown(VK_SPACE, 0), 1);
    EXPECT_EQ(bar->m_bTextBoxDismissed, 1);
    while (bar->m_pTextBox && nSteps < 100) {
        dwNowTime += 100;
        bar->DrawTextBox();
        ++nSteps;
    }
    EXPECT_EQ(bar->m_pTextBox, nullptr);
    EXPECT_EQ(bar->m_pTextBoxPlate, nullptr);
    EXPECT_EQ(bar->m_bTextBoxDismissed, 0);
}

TEST_F(ToolBarHud, TheCaptionBlinksEveryFiveFramesAndEnds) {
    dwNowTime = 2000;
    bar->SetCaption("level");
    std::vector<int> colours;
    for (int i = 0; i < 12; ++i) {
        bar->DrawCaption();
        colours.push_back(bar->m_bCaptionWhite);
    }
    EXPECT_EQ(colours, (std::vector<int>{0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 0, 0}));
    dwNowTime = 2000 + 5000;
    bar->DrawCaption();
    EXPECT_EQ(bar->m_bCaptionShown, 1);
    dwNowTime = 2000 + 5001;
    bar->DrawCaption();
    EXPECT_EQ(bar->m_bCaptionShown, 0);
    bar->SetCaption("again");
    bar->DrawCaption();
    EXPECT_EQ(bar->m_bCaptionShown, 1);
    host.bLeftPressed = true;
    bar->DrawCaption();
    EXPECT_EQ(bar->m_bCaptionShown, 0);
}

TEST_F(ToolBarHud, TheTargetBarShowsAMonstersLife) {
    host.bTarget = true;
    host.target = TargetBarInfo{true, 30, 60, nullptr};
    FillBack(RGB(0, 0, 0));
    bar->DrawTargetBar();
    EXPECT_TRUE(Near(360, 20, 186, 0, 0));
    EXPECT_TRUE(Near(398, 20, 186, 0, 0));
    EXPECT_TRUE(Near(420, 20, 0, 0, 0));
    // Life above zero only: a monster of maximum 0 shows no bar.
    host.target = TargetBarInfo{true, 30, 0, nullptr};
    FillBack(RGB(0, 0, 0));
    bar->DrawTargetBar();
    EXPECT_TRUE(Near(360, 20, 0, 0, 0));
}

}  // namespace
