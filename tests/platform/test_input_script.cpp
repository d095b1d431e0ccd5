#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/InputScript.h"
#include "platform/Video.h"
#include "platform/Window.h"
#include "platform/WindowBackend.h"
#include "tests/TempFolder.h"

namespace {

class InputScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseVirtualClock(true, 0, 20);
        ResetMessageQueue();
    }
    void TearDown() override {
        LoadInputScriptText("", "none");  // nothing left to inject into later tests
        ResetMessageQueue();
    }
    static std::vector<MSG> Drain() {
        std::vector<MSG> v;
        MSG msg;
        while (PeekMessage(&msg, true)) v.push_back(msg);
        return v;
    }
};

void PresentSolid(WORD wPixel) {
    std::vector<WORD> px(4 * 2, wPixel);
    PresentPixels(reinterpret_cast<const BYTE*>(px.data()), 8, 4, 2, 2, MakePixelFormat565(), RECT{0, 0, 4, 2});
}

// The RGB pixels of a PNG file; empty when it cannot be read.
std::vector<BYTE> ReadPngPixels(const std::string& strPath) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, strPath.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<BYTE> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    return rgb;
}

}  // namespace

TEST(InputScriptParse, GoodLines) {
    ParsedScript s = ParseInputScript(
        "# a replay\n"
        "\n"
        "500 key press ESC   # skip the video\n"
        "frame 3 shot start.png\n"
        "100 move 10 -20\n"
        "100 lbutton down 10 20\n"
        "  100 LBUTTON dbl 10 20\r\n"
        "200 rbutton up 0 0\n"
        "300 key down 0x12\n"
        "300 key up enter\n"
        "400 close\n"
        "400 deactivate\n"
        "450 shot my shots/after close.png\n",
        "good");
    EXPECT_TRUE(s.errors.empty());
    ASSERT_EQ(s.events.size(), 11u);
    // Timed events in time order (equal times keep their lines' order), then frame shots.
    const std::vector<DWORD> times = {100, 100, 100, 200, 300, 300, 400, 400, 450, 500, 3};
    for (size_t i = 0; i < times.size(); ++i) EXPECT_EQ(s.events[i].dwWhen, times[i]) << i;
    EXPECT_EQ(s.events[0].action, ScriptAction::Move);
    EXPECT_EQ(s.events[0].y, -20);
    EXPECT_EQ(s.events[0].nLine, 5);
    EXPECT_EQ(s.events[2].action, ScriptAction::LButton);
    EXPECT_EQ(s.events[2].state, ScriptState::Double);
    EXPECT_EQ(s.events[3].action, ScriptAction::RButton);
    EXPECT_EQ(s.events[3].state, ScriptState::Up);
    EXPECT_EQ(s.events[4].nKey, VK_MENU);
    EXPECT_EQ(s.events[5].nKey, VK_RETURN);
    EXPECT_EQ(s.events[6].action, ScriptAction::Close);
    EXPECT_EQ(s.events[7].action, ScriptAction::Deactivate);
    EXPECT_EQ(s.events[8].strPath, "my shots/after close.png");
    EXPECT_EQ(s.events[9].nKey, VK_ESCAPE);
    EXPECT_EQ(s.events[9].state, ScriptState::Press);
    EXPECT_TRUE(s.events[10].bAtFrame);
    EXPECT_EQ(s.events[10].strPath, "start.png");

    EXPECT_EQ(ParseKeyName("a"), 'A');
    EXPECT_EQ(ParseKeyName("7"), '7');  // a single digit is that key, not a code
    EXPECT_EQ(ParseKeyName("27"), VK_ESCAPE);
    EXPECT_EQ(ParseKeyName("0x1b"), VK_ESCAPE);
    EXPECT_EQ(ParseKeyName("f12"), VK_F12);
    EXPECT_EQ(ParseKeyName("Space"), VK_SPACE);
    EXPECT_EQ(ParseKeyName("backslash"), VK_OEM_5);
    EXPECT_EQ(ParseKeyName("F13"), 0);
    EXPECT_EQ(ParseKeyName("255"), 0);
    EXPECT_EQ(ParseKeyName("0x"), 0);
    EXPECT_EQ(ParseKeyName("ESCAP"), 0);
}

TEST(InputScriptParse, EveryWhitespaceCharacterSeparatesAndBlanksAlike) {
    ParsedScript s = ParseInputScript(
        "\f\n"                          // 1 form feed only: blank
        "\v\n"                          // 2 vertical tab only: blank
        " \t\f\v\r\n"                  // 3 a mix: blank
        "\f# comment after a form feed\n"  // 4 blank
        "100\fkey\vpress\tA\f\n"         // 5 separated by form feeds and tabs
        "200 shot\va b.png\f\v\r\n",      // 6 the path keeps its inner space only
        "ws.txt");
    EXPECT_TRUE(s.errors.empty()) << (s.errors.empty() ? "" : s.errors[0]);
    ASSERT_EQ(s.events.size(), 2u);
    EXPECT_EQ(s.events[0].nLine, 5);
    EXPECT_EQ(s.events[0].state, ScriptState::Press);
    EXPECT_EQ(s.events[0].nKey, 'A');
    EXPECT_EQ(s.events[1].action, ScriptAction::Shot);
    EXPECT_EQ(s.events[1].strPath, "a b.png");
}

TEST(InputScriptParse, BadLinesAreNamedAndSkipped) {
    ParsedScript s = ParseInputScript(
        "100 key down ESC\n"       // 1 good
        "abc key down ESC\n"       // 2 no time
        "-5 close\n"               // 3 negative time
        "100 jump\n"               // 4 unknown event
        "100 key hold ESC\n"       // 5 bad state
        "100 key down NOKEY\n"     // 6 unknown key
        "100 move 10\n"            // 7 missing y
        "100 move 10 x\n"          // 8 not a number
        "100 lbutton down 1 99999\n"  // 9 out of range
        "frame 0 shot a.png\n"     // 10 frame 0
        "frame 2 picture a.png\n"  // 11 not shot
        "100 close now\n"          // 12 extra word
        "100\n"                    // 13 time only
        "99999999999 close\n"      // 14 time too large
        "200 key up ESC\n",        // 15 good
        "bad.txt");
    ASSERT_EQ(s.events.size(), 2u);
    EXPECT_EQ(s.events[0].nLine, 1);
    EXPECT_EQ(s.events[1].nLine, 15);
    ASSERT_EQ(s.errors.size(), 13u);
    for (size_t i = 0; i < s.errors.size(); ++i) {
        const std::string strLine = "bad.txt line " + std::to_string(i + 2) + ":";
        EXPECT_EQ(s.errors[i].rfind(strLine, 0), 0u) << s.errors[i];
    }
    EXPECT_NE(s.errors[4].find("NOKEY"), std::string::npos);
    // A number past the coordinate range says the range.
    EXPECT_NE(s.errors[7].find("from -32768 to 32767"), std::string::npos) << s.errors[7];
    EXPECT_NE(s.errors[12].find("time \"99999999999\" is out of range"), std::string::npos) << s.errors[12];

    // A frame past the range says so; a long line of junk is quoted short and escaped.
    std::string strJunk = "1 jump ";
    strJunk += std::string("\0\x01\xFF\"\\", 5) + std::string(4096, 'z');
    s = ParseInputScript("frame 99999999999999 shot a.png\n" + strJunk + "\n", "bad.txt");
    ASSERT_EQ(s.errors.size(), 2u);
    EXPECT_EQ(s.errors[0], "bad.txt line 1: frame number \"99999999999999\" is out of range (1 to 4294967295): "
                           "\"frame 99999999999999 shot a.png\"");
    const std::string strQuoted = "\"1 jump \\x00\\x01\\xFF\\\"\\\\" + std::string(68, 'z') + "\" (first 80 of " +
                                  std::to_string(strJunk.size()) + " bytes)";
    EXPECT_EQ(s.errors[1], "bad.txt line 2: unknown event \"jump\": " + strQuoted);
    // A script without events says so once.
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadInputScriptText("# nothing\n\n", "empty.txt"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "input script empty.txt: holds no events; the run gets no scripted input\n");
}

// The driver reads only a regular file of bounded size: a device that never ends, a
// folder and a file past the limit are refused with the reason instead of being read.
TEST(InputScriptFile, OnlyARegularFileUpToTheLimitIsRead) {
    CTempFolder folder;
    std::string strText, strWhy;
    folder.Write("input.txt", "100 close\n");
    ASSERT_TRUE(ReadInputScriptFile(folder.File("input.txt"), &strText, &strWhy)) << strWhy;
    EXPECT_EQ(strText, "100 close\n");

    EXPECT_FALSE(ReadInputScriptFile("/dev/zero", &strText, &strWhy));
    EXPECT_NE(strWhy.find("not a file"), std::string::npos) << strWhy;
    EXPECT_TRUE(strText.empty());
    EXPECT_FALSE(ReadInputScriptFile(folder.Path(), &strText, &strWhy));
    EXPECT_NE(strWhy.find("folder"), std::string::npos) << strWhy;
    EXPECT_FALSE(ReadInputScriptFile(folder.File("missing.txt"), &strText, &strWhy));
    EXPECT_FALSE(strWhy.empty());

    // One byte past the limit (a sparse file: nothing is written), then the limit itself.
    const std::string strLarge = folder.File("large.txt");
    folder.Write("large.txt", "");
    ASSERT_EQ(truncate(strLarge.c_str(), off_t(kInputScriptLimit) + 1), 0);
    EXPECT_FALSE(ReadInputScriptFile(strLarge, &strText, &strWhy));
    EXPECT_EQ(strWhy, "is larger than " + std::to_string(kInputScriptLimit) + " bytes");
    EXPECT_TRUE(strText.empty());
    ASSERT_EQ(truncate(strLarge.c_str(), off_t(kInputScriptLimit)), 0);
    EXPECT_TRUE(ReadInputScriptFile(strLarge, &strText, &strWhy)) << strWhy;
    EXPECT_EQ(strText.size(), kInputScriptLimit);
}

TEST_F(InputScriptTest, EventsArriveWhenTheClockReachesThem) {
    EXPECT_EQ(LoadInputScriptText("0 key down A\n"
                                  "50 move 3 4\n"
                                  "100 key up A\n"
                                  "100 lbutton down 7 8\n"
                                  "oops\n"
                                  "250 close\n",
                                  "timed"),
              1);
    CPlatWindow wnd;
    ASSERT_TRUE(wnd.CreatePlatWindow("script", WS_POPUP, 0, 0, 800, 600));
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, true));
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    EXPECT_EQ(msg.wParam, WPARAM('A'));
    EXPECT_FALSE(PeekMessage(&msg, true));  // the move is not due yet
    AdvanceVirtualClock(48);                // 49 ms
    EXPECT_FALSE(PeekMessage(&msg, true));
    ASSERT_TRUE(PeekMessage(&msg, true));   // 50 ms
    EXPECT_EQ(msg.message, WM_MOUSEMOVE);
    EXPECT_EQ(msg.lParam, MakeLParam(3, 4));
    EXPECT_EQ(msg.time, 50u);
    EXPECT_TRUE(GetAsyncKeyState('A') & 0x8000);

    AdvanceVirtualClock(60);
    std::vector<MSG> v = Drain();
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[0].message, WM_KEYUP);
    EXPECT_EQ(v[1].message, WM_MOUSEMOVE);  // the button is pressed where the script says
    EXPECT_EQ(v[2].message, WM_LBUTTONDOWN);
    EXPECT_EQ(v[2].lParam, MakeLParam(7, 8));

    // A busy wait on the button state sees the close come in on time.
    while (TimeGetTime() < 250) GetAsyncKeyState(VK_LBUTTON);
    v = Drain();
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].message, WM_CLOSE);
    EXPECT_EQ(v[0].hwnd, &wnd);
}

TEST_F(InputScriptTest, ABusyWaitEndsOnAScriptedClick) {
    LoadInputScriptText("300 lbutton down 5 5\n", "click");
    const DWORD dwStart = TimeGetTime();
    int nPolls = 0;
    while (TimeGetTime() - dwStart <= 2000 && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) ASSERT_LT(++nPolls, 100000);
    EXPECT_EQ(TimeGetTime() - dwStart, 300u);
}

TEST_F(InputScriptTest, ShotsAreTakenAtTheirFrame) {
    const CTempFolder folder("shots");
    const char* szDir = folder.Path().c_str();
    setenv("GAME_SHOT_DIR", szDir, 1);
    LoadInputScriptText("frame 2 shot second.png\n"
                        "frame 9 shot never.png\n"
                        "45 shot timed.png\n",
                        "shots");
    const std::string strSecond = std::string(szDir) + "/second.png";
    const std::string strTimed = std::string(szDir) + "/timed.png";
    struct stat st;
    PresentSolid(0xF800);
    EXPECT_NE(stat(strSecond.c_str(), &st), 0);
    PresentSolid(0x001F);  // frame 2: blue, at 40 ms
    ASSERT_EQ(stat(strSecond.c_str(), &st), 0);
    EXPECT_NE(stat(strTimed.c_str(), &st), 0);
    PresentSolid(0x07E0);  // 60 ms: the timed shot is due at the next pump
    MSG msg;
    PeekMessage(&msg, true);
    EXPECT_EQ(stat(strTimed.c_str(), &st), 0);

    // The frame-2 shot holds frame 2's pixels.
    FrameImage blue;
    std::vector<WORD> px(8, 0x001F);
    ASSERT_TRUE(ConvertPixels(reinterpret_cast<const BYTE*>(px.data()), 8, 4, 2, 2, MakePixelFormat565(),
                              RECT{0, 0, 4, 2}, &blue));
    EXPECT_EQ(ReadPngPixels(strSecond), blue.rgb);
    std::vector<BYTE> green;
    for (int i = 0; i < 8; ++i) green.insert(green.end(), {0, 255, 0});
    EXPECT_EQ(ReadPngPixels(strTimed), green);

    unsetenv("GAME_SHOT_DIR");
}
