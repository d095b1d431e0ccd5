#include "tests/ui/UiTestUtil.h"
#include "tests/CDX/BlitTestUtil.h"

#include <cstring>

#include "platform/Charset.h"
#include "ui/menus/TalkBar.h"

namespace {

std::string G(const char* pszUtf8) { return Utf8ToText(pszUtf8); }

TEST(TalkLineBreakTest, ClassesHoldTheirCharactersOnly) {
    EXPECT_EQ(TalkClosingClass().size(), 81u);
    EXPECT_EQ(TalkOpeningClass().size(), 35u);
    EXPECT_TRUE(IsInTalkClass(TalkClosingClass(), G("，").c_str()));
    EXPECT_TRUE(IsInTalkClass(TalkClosingClass(), "!"));
    EXPECT_TRUE(IsInTalkClass(TalkOpeningClass(), G("《").c_str()));
    EXPECT_TRUE(IsInTalkClass(TalkOpeningClass(), "("));
    EXPECT_FALSE(IsInTalkClass(TalkClosingClass(), "a"));
    EXPECT_FALSE(IsInTalkClass(TalkOpeningClass(), G("字").c_str()));
    // "、。" are A1A2 A1A3; the character A2A1 straddles them and is no closing mark.
    EXPECT_FALSE(IsInTalkClass(TalkClosingClass(), "\xA2\xA1"));
}

TEST(TalkLineBreakTest, BreaksAtTheWidthsOfTheLayouts) {
    const std::string comma = G("，"), open = G("《");
    // 292 pixels, characters 19 high: a closing mark hangs up to 19 pixels past the width.
    EXPECT_FALSE(TalkLineBreaks(300, 292, 19, comma.c_str()));
    EXPECT_TRUE(TalkLineBreaks(300, 292, 19, "a"));
    EXPECT_FALSE(TalkLineBreaks(311, 292, 19, comma.c_str()));
    EXPECT_TRUE(TalkLineBreaks(312, 292, 19, comma.c_str()));
    EXPECT_FALSE(TalkLineBreaks(292, 292, 19, "a"));
    // An opening mark in the last 19 pixels moves to the next line.
    EXPECT_TRUE(TalkLineBreaks(280, 292, 19, open.c_str()));
    EXPECT_FALSE(TalkLineBreaks(273, 292, 19, open.c_str()));
    EXPECT_FALSE(TalkLineBreaks(280, 292, 19, G("字").c_str()));
    // The narrow battle width (50) and the width after a battle (382).
    EXPECT_TRUE(TalkLineBreaks(55, 50, 19, G("字").c_str()));
    EXPECT_FALSE(TalkLineBreaks(55, 50, 19, G("。").c_str()));
    EXPECT_TRUE(TalkLineBreaks(370, 382, 19, open.c_str()));
    EXPECT_FALSE(TalkLineBreaks(374, 382, 19, "a"));
}

class FaceTalkTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ASSERT_TRUE(UsePackage({{"TalkBar.tga", BuildRleTga32(Solid(520, 160, Argb(200, 20, 30, 60)))}}));
        m_pBar = std::make_unique<CFaceTalkBar>();
        m_pBar->Init();
        dwNowTime = 5000;
    }
    // Surfaces go before the screen.
    void TearDown() override {
        m_pBar.reset();
        UiTest::TearDown();
    }
    // One frame 60 ms after the last.
    void Frame(DWORD dwStep = 60) {
        dwNowTime += dwStep;
        m_pBar->Draw();
    }
    std::unique_ptr<CFaceTalkBar> m_pBar;
};

TEST_F(FaceTalkTest, ConstructedForTheMapAndPlacedByNumber) {
    EXPECT_EQ(m_pBar->GetLineWidth(), 292);
    EXPECT_EQ(m_pBar->GetInfo()->x, 150);
    EXPECT_EQ(m_pBar->GetInfo()->y, 300);
    m_pBar->SetPlacement(1);
    EXPECT_EQ(m_pBar->GetInfo()->x, 10);
    EXPECT_EQ(m_pBar->GetInfo()->y, 295);
    m_pBar->SetPlacement(0);
    EXPECT_EQ(m_pBar->GetInfo()->x, 280);
    EXPECT_EQ(m_pBar->GetInfo()->y, 10);
    // The battle's layouts change the width; placement keeps it.
    m_pBar->SetNarrowLayout();
    EXPECT_EQ(m_pBar->GetLineWidth(), 50);
    EXPECT_EQ(m_pBar->m_nNarrow, 1);
    m_pBar->SetPlacement(0);
    EXPECT_EQ(m_pBar->GetLineWidth(), 50);
    EXPECT_TRUE(EqualRect(m_pBar->GetRect(1), RECT{18, 27, 330, 120}));
    m_pBar->SetWideLayout();
    EXPECT_EQ(m_pBar->GetLineWidth(), 382);
    EXPECT_EQ(m_pBar->m_nNarrow, 0);
    EXPECT_EQ(m_pBar->UpdateHover(-5, 9999), 1);
}

TEST_F(FaceTalkTest, TypesOneCharacterPer50MsAndFillsAPageOfFiveLines) {
    std::string text;
    for (int i = 0; i < 100; ++i) text += G("字");  // 22 pixels each: 14 on a 292-pixel line
    m_pBar->SetPlacement(0);
    m_pBar->m_nFace = 1;
    m_pBar->Begin(text.c_str());
    Frame(50);  // not strictly more than 50 ms
    EXPECT_EQ(m_pBar->GetReadPos(), 0u);
    Frame(51);
    EXPECT_EQ(m_pBar->GetReadPos(), 2u);
    EXPECT_EQ(m_pBar->GetPenX(), 22);
    for (int i = 1; i < 14; ++i) Frame();
    EXPECT_EQ(m_pBar->GetPenX(), 14 * 22);
    EXPECT_EQ(m_pBar->GetPenY(), 0);
    Frame();  // the fifteenth would start at 308: a new line
    EXPECT_EQ(m_pBar->GetPenY(), 23);
    EXPECT_EQ(m_pBar->GetPenX(), 22);
    for (int i = 0; i < 100 && !m_pBar->IsPageFull(); ++i) Frame();
    ASSERT_TRUE(m_pBar->IsPageFull());
    // Five lines of 14; the 71st character is put back for the next page.
    EXPECT_EQ(m_pBar->GetReadPos(), 140u);
    const size_t nPos = m_pBar->GetReadPos();
    Frame();
    EXPECT_EQ(m_pBar->GetReadPos(), nPos);
}

TEST_F(FaceTalkTest, ClicksFastForwardTurnThePageAndEndTheSpeech) {
    std::string text;
    for (int i = 0; i < 80; ++i) text += G("字");
    m_pBar->m_nFace = 0;
    m_pBar->Begin(text.c_str());
    Frame();
    ASSERT_EQ(m_pBar->GetReadPos(), 2u);
    m_pBar->NextLine(1);  // typing: fast-forward
    EXPECT_TRUE(m_pBar->IsFastForward());
    EXPECT_EQ(m_pBar->m_nClickPending, 1);
    Frame(1);  // fast-forward types three more even within 50 ms
    EXPECT_EQ(m_pBar->GetReadPos(), 8u);
    Frame();  // one on time plus three
    EXPECT_EQ(m_pBar->GetReadPos(), 16u);
    for (int i = 0; i < 40 && !m_pBar->IsPageFull(); ++i) Frame(1);
    ASSERT_TRUE(m_pBar->IsPageFull());
    EXPECT_FALSE(m_pBar->IsFastForward());
    EXPECT_EQ(m_pBar->GetReadPos(), 140u);
    m_pBar->NextLine(1);  // the full page: a new page, typed at one character per 50 ms again
    EXPECT_FALSE(m_pBar->IsPageFull());
    EXPECT_EQ(m_pBar->GetPenX(), 0);
    EXPECT_EQ(m_pBar->GetPenY(), 0);
    Frame(1);
    EXPECT_EQ(m_pBar->GetReadPos(), 140u);
    Frame(51);
    EXPECT_EQ(m_pBar->GetReadPos(), 142u);
    for (int i = 0; i < 40 && !m_pBar->IsPageFull(); ++i) Frame();
    EXPECT_EQ(m_pBar->GetReadPos(), text.size());
    EXPECT_FALSE(m_pBar->m_bFinished);
    EXPECT_EQ(m_shell.nPolls, 0);
    m_pBar->NextLine(1);  // everything shown: the speech ends and the script goes on
    EXPECT_TRUE(m_pBar->m_bFinished);
    EXPECT_EQ(m_shell.nPolls, 1);
    EXPECT_EQ(m_pBar->m_nClickPending, 0);
}

TEST_F(FaceTalkTest, ClosingMarkHangsAndOpeningMarkWraps) {
    // 27 letters of 11 pixels bring the pen to 297, past the 292-pixel width.
    std::string text(27, 'a');
    text += G("，") + "b";
    m_pBar->Begin(text.c_str());
    for (int i = 0; i < 27; ++i) Frame();
    EXPECT_EQ(m_pBar->GetPenX(), 297);
    Frame();  // the comma hangs past the width
    EXPECT_EQ(m_pBar->GetPenY(), 0);
    EXPECT_EQ(m_pBar->GetPenX(), 319);
    Frame();  // the next letter starts a new line
    EXPECT_EQ(m_pBar->GetPenY(), 23);
    EXPECT_EQ(m_pBar->GetPenX(), 11);

    std::string text2(25, 'a');  // pen 275: within 19 pixels of the end
    text2 += G("《");
    m_pBar->Begin(text2.c_str());
    for (int i = 0; i < 26; ++i) Frame();
    EXPECT_EQ(m_pBar->GetPenY(), 23);
    EXPECT_EQ(m_pBar->GetPenX(), 22);
}

TEST_F(FaceTalkTest, LeadByteAtTheEndIsTakenAloneAndNothingIsReadPastTheText) {
    const char text[] = {'a', '\xD7', 0};
    m_pBar->Begin(text);
    Frame();
    Frame();
    EXPECT_EQ(m_pBar->GetReadPos(), 2u);
    EXPECT_EQ(std::strlen(m_pBar->GetCurrentChar()), 1u);
    Frame();
    EXPECT_TRUE(m_pBar->IsPageFull());
    m_pBar->NextLine(1);
    EXPECT_TRUE(m_pBar->m_bFinished);
    // No text at all ends at the first click.
    m_pBar->Begin(nullptr);
    Frame();
    m_pBar->NextLine(1);
    EXPECT_TRUE(m_pBar->m_bFinished);
}

TEST_F(FaceTalkTest, SpeechWithoutAFaceCanStillBeFinished) {
    m_pBar->m_nFace = -1;
    m_pBar->Begin("ab");
    for (int i = 0; i < 4; ++i) Frame();
    m_pBar->NextLine(1);
    EXPECT_TRUE(m_pBar->m_bFinished);
}

// The typed text with its black outline on a grey back buffer, frame after frame, equals
// the text and its outline drawn by the reference loop at the bar's place: as characters
// are typed, when the bar moves and changes layout, when a page turns.
TEST_F(FaceTalkTest, TheOutlineFollowsTheTextAndTheLayout) {
    std::string text;
    for (int i = 0; i < 150; ++i) text += G(i % 3 ? "字" : "。");
    m_pBar->m_nFace = -1;  // the text alone
    m_pBar->SetPlacement(0);
    m_pBar->Begin(text.c_str());
    const DWORD dwGrey = pScreen->RgbToPixel(RGB(128, 128, 128));
    int nChecked = 0;
    auto check = [&](const char* pszStep) {
        pScreen->FillBack(dwGrey);
        Frame();
        const std::vector<BYTE> drawn = Snapshot(*pBack);
        pScreen->FillBack(dwGrey);
        EXPECT_NE(drawn, Snapshot(*pBack)) << pszStep << ": no text on the screen";
        const int x = (m_pBar->m_nNarrow ? m_pBar->m_nBarX : m_pBar->GetInfo()->x) + m_pBar->GetRect(1).left + 140;
        const int y = (m_pBar->m_nNarrow ? m_pBar->m_nBarY : m_pBar->GetInfo()->y) + m_pBar->GetRect(1).top;
        {
            ScopedBlitKernels use(&ReferenceBlitKernels());
            m_pBar->GetTextSurface()->BlitKeyed(pBack, x, y);
            m_pBar->GetTextSurface()->BlitOutlined(pBack, x, y, nullptr, 0, 0, pScreen->RgbToPixel(RGB(0, 0, 0)));
        }
        ASSERT_EQ(drawn, Snapshot(*pBack)) << pszStep << " at read position " << m_pBar->GetReadPos();
        ++nChecked;
    };
    for (int i = 0; i < 6; ++i) check("typing");
    ASSERT_GT(m_pBar->GetReadPos(), 4u);
    for (int i = 0; i < 200 && !m_pBar->IsPageFull(); ++i) Frame();
    check("page full");
    check("the same page again");
    // The bar moves and changes its layout while the page stays as it is.
    m_pBar->SetPlacement(1);
    check("placed at (10, 295)");
    m_pBar->m_nBarX = 600;
    m_pBar->m_nBarY = 100;
    // Without its picture the narrow bar draws the text alone too.
    ASSERT_TRUE(UsePackage({{"Other.tga", BuildRleTga32(Solid(4, 4, Argb(255, 1, 2, 3)))}}));
    m_pBar->SetNarrowLayout();
    check("narrow, cut by the screen's right edge");
    m_pBar->SetWideLayout();
    check("wide again");
    ASSERT_TRUE(m_pBar->IsPageFull());
    ASSERT_TRUE(m_pBar->Advance());
    check("next page");
    EXPECT_EQ(nChecked, 12);
}

class ChoiceTalkTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ASSERT_TRUE(UsePackage({{"TalkBar.tga", BuildRleTga32(Solid(520, 160, Argb(200, 20, 30, 60)))}}));
        m_pBar = std::make_unique<CChoiceTalkBar>();
        m_pBar->LoadPicture();
    }
    void TearDown() override {
        m_pBar.reset();
        UiTest::TearDown();
    }
    std::unique_ptr<CChoiceTalkBar> m_pBar;
};

TEST_F(ChoiceTalkTest, LineRectanglesFollowTheTextRectangle) {
    EXPECT_TRUE(EqualRect(m_pBar->GetLineRect(0), RECT{178, 60, 528, 89}));
    EXPECT_TRUE(EqualRect(m_pBar->GetLineRect(1), RECT{178, 89, 528, 108}));
    EXPECT_TRUE(EqualRect(m_pBar->GetLineRect(2), RECT{178, 108, 528, 127}));
    EXPECT_TRUE(EqualRect(m_pBar->GetLineRect(3), RECT{178, 127, 528, 146}));
    EXPECT_EQ(m_pBar->GetLineCount(), 3);
}

TEST_F(ChoiceTalkTest, EscapesSplitLinesAndAnswersLightUpAndStartTheirEvent) {
    m_pBar->m_nValues[1] = 41;
    m_pBar->m_nValues[2] = 42;
    m_pBar->SetText(G("去哪里?\\n去镇上\\n留下"));
    ASSERT_EQ(m_pBar->GetLineCount(), 3);
    EXPECT_EQ(std::string(m_pBar->GetLineText(0)), G("去哪里?"));
    EXPECT_EQ(std::string(m_pBar->GetLineText(1)), G("去镇上"));
    EXPECT_EQ(std::string(m_pBar->GetLineText(2)), G("留下"));
    EXPECT_NE(m_pBar->GetLineSurface(2), nullptr);
    EXPECT_EQ(m_pBar->GetLineSurface(3), nullptr);

    EXPECT_EQ(m_pBar->UpdateHover(200, 95), 1);
    EXPECT_EQ(m_pBar->GetLineColor(1), RGB(255, 255, 0));
    EXPECT_EQ(m_pBar->GetLineColor(2), RGB(255, 170, 0));
    m_pBar->UpdateHover(200, 70);  // line 0 is no answer
    EXPECT_EQ(m_pBar->GetLineColor(0), RGB(255, 170, 0));
    EXPECT_EQ(m_pBar->GetLineColor(1), RGB(255, 170, 0));
    m_pBar->Draw();

    m_shell.ptMouse = POINT{200, 95};
    m_shell.nAnswerRequired = 1;
    m_pBar->OnLButtonUp(1);
    EXPECT_EQ(m_pBar->m_nAnswered, 1);
    EXPECT_EQ(m_shell.nPolls, 1);
    ASSERT_EQ(m_shell.events.size(), 1u);
    EXPECT_EQ(m_shell.events[0], 41);
    EXPECT_EQ(m_shell.nAnswerRequired, 0);
    EXPECT_EQ(m_pBar->GetLineSurface(0), nullptr);
}

TEST_F(ChoiceTalkTest, ClickBesideTheAnswers) {
    m_pBar->SetText(G("问\\n甲\\n乙"));
    m_shell.ptMouse = POINT{600, 95};
    m_shell.nAnswerRequired = 1;
    m_pBar->OnLButtonUp(1);  // an answer is required: ignored
    EXPECT_EQ(m_pBar->m_nAnswered, 0);
    EXPECT_EQ(m_shell.nPolls, 0);
    m_shell.nAnswerRequired = 0;
    m_pBar->OnLButtonUp(1);  // closes without an event
    EXPECT_EQ(m_pBar->m_nAnswered, 1);
    EXPECT_TRUE(m_shell.events.empty());
}

TEST_F(ChoiceTalkTest, LeadingEscapeLeavesTheLastLineWithoutASurface) {
    m_pBar->SetText(G("\\n甲\\n乙"));
    EXPECT_EQ(m_pBar->GetLineCount(), 2);
    EXPECT_EQ(std::string(m_pBar->GetLineText(0)), "");
    EXPECT_EQ(std::string(m_pBar->GetLineText(2)), G("乙"));
    EXPECT_NE(m_pBar->GetLineSurface(1), nullptr);
    EXPECT_EQ(m_pBar->GetLineSurface(2), nullptr);
}

TEST_F(ChoiceTalkTest, SplittingIsByteWiseAndBoundedToWholeCharacters) {
    // A double-byte character whose trail byte is a backslash, followed by "n", ends
    // the line as the scripts expect: the split does not look at character boundaries.
    m_pBar->SetText(std::string("\xC4\x5Cn") + "\\nx");
    ASSERT_EQ(m_pBar->GetLineCount(), 3);
    EXPECT_EQ(std::string(m_pBar->GetLineText(0)), "\xC4");
    EXPECT_EQ(std::string(m_pBar->GetLineText(1)), "");
    EXPECT_EQ(std::string(m_pBar->GetLineText(2)), "x");

    // 600 bytes of double-byte characters after one letter: 511 bytes fit exactly.
    std::string line0 = "a";
    for (int i = 0; i < 300; ++i) line0 += G("字");
    std::string line1;
    for (int i = 0; i < 300; ++i) line1 += G("字");
    m_pBar->SetText(line0 + "\\n" + line1 + "\\n3\\n4\\n5\\n6");
    EXPECT_EQ(m_pBar->GetLineCount(), 4);
    EXPECT_EQ(std::strlen(m_pBar->GetLineText(0)), 511u);
    EXPECT_EQ(std::strlen(m_pBar->GetLineText(1)), 510u);
    EXPECT_EQ(std::string(m_pBar->GetLineText(3)), "4");
    // A fifth line and beyond is dropped.
    m_pBar->SetText("only");
    EXPECT_EQ(m_pBar->GetLineCount(), 1);
    EXPECT_EQ(m_pBar->GetLineSurface(1), nullptr);
    EXPECT_EQ(m_pBar->GetLineSurface(3), nullptr);
}

TEST_F(ChoiceTalkTest, PartyChoiceRemovesTheChosenMember) {
    m_shell.bPartyChoice = true;
    m_shell.nPartyCount = 3;
    m_shell.nPartyIds[1] = 2;
    m_shell.nPartyIds[2] = 3;
    m_pBar->m_nValues[1] = 3;
    m_pBar->m_nValues[2] = 2;
    m_pBar->SetText(G("谁离开?\\n甲\\n乙"));
    m_shell.ptMouse = POINT{600, 95};
    m_pBar->OnLButtonUp(1);  // no line: nothing but the answered flag and the poll
    EXPECT_TRUE(m_shell.removed.empty());
    EXPECT_TRUE(m_shell.bPartyChoice);
    m_shell.ptMouse = POINT{200, 95};
    m_pBar->OnLButtonUp(1);
    EXPECT_EQ(m_shell.nPartyIds[2], -1);
    EXPECT_EQ(m_shell.nPartyIds[1], 2);
    ASSERT_EQ(m_shell.removed.size(), 1u);
    EXPECT_EQ(m_shell.removed[0], 3);
    EXPECT_FALSE(m_shell.bPartyChoice);
    EXPECT_TRUE(m_shell.bScriptStep);
    EXPECT_TRUE(m_shell.events.empty());
}

}  // namespace
