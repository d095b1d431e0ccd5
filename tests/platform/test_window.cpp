#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Video.h"
#include "platform/Window.h"
#include "platform/WindowBackend.h"
#include "tests/TempFolder.h"

namespace {

// A window that records what is dispatched to it.
class CRecordingWindow : public CPlatWindow {
public:
    struct Got {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Got> got;
    LRESULT nCreateAnswer = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        got.push_back(Got{message, wParam, lParam});
        return message == WM_CREATE ? nCreateAnswer : 0;
    }
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseVirtualClock(true, 1000, 20);
        ResetMessageQueue();
    }
    void TearDown() override { ResetMessageQueue(); }

    // Takes every queued message.
    static std::vector<MSG> Drain() {
        std::vector<MSG> v;
        MSG msg;
        while (PeekMessage(&msg, true)) v.push_back(msg);
        return v;
    }
};

bool ReadPng(const std::string& strPath, int* pW, int* pH, std::vector<BYTE>* pRgb) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, strPath.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    pRgb->assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, pRgb->data(), 0, nullptr)) return false;
    *pW = int(image.width);
    *pH = int(image.height);
    return true;
}

}  // namespace

TEST_F(WindowTest, MessagesComeOutInOrderAddressedToTheWindow) {
    CRecordingWindow wnd;
    ASSERT_TRUE(wnd.CreatePlatWindow("test", WS_POPUP, 0, 0, 800, 600));
    ASSERT_EQ(wnd.got.size(), 1u);
    EXPECT_EQ(wnd.got[0].message, WM_CREATE);

    InjectKey('A', true);
    InjectMouseMove(10, 20);
    InjectMouseButton(VK_LBUTTON, true, 10, 20);
    ASSERT_TRUE(PostMessage(&wnd, WM_USER + 1, 5, 6));
    InjectMouseButton(VK_LBUTTON, false, 10, 20);

    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, false));  // look without taking
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    std::vector<MSG> v = Drain();
    ASSERT_EQ(v.size(), 5u);
    EXPECT_EQ(v[0].message, WM_KEYDOWN);
    EXPECT_EQ(v[0].wParam, WPARAM('A'));
    EXPECT_EQ(v[1].message, WM_MOUSEMOVE);
    EXPECT_EQ(v[1].lParam, MakeLParam(10, 20));
    EXPECT_EQ(v[2].message, WM_LBUTTONDOWN);
    EXPECT_EQ(v[2].wParam, MK_LBUTTON);
    EXPECT_EQ(v[3].message, WM_USER + 1);
    EXPECT_EQ(v[3].wParam, 5u);
    EXPECT_EQ(v[3].lParam, 6);
    EXPECT_EQ(v[4].message, WM_LBUTTONUP);
    EXPECT_EQ(v[4].wParam, 0u);
    for (const MSG& m : v) {
        EXPECT_EQ(m.hwnd, &wnd);
        EXPECT_EQ(m.time, v[0].time);  // stamped when queued, before the polls
    }

    wnd.got.clear();
    DispatchMessage(&v[3]);
    ASSERT_EQ(wnd.got.size(), 1u);
    EXPECT_EQ(wnd.got[0].message, WM_USER + 1u);

    // An empty queue answers false and counts as an idle poll of the virtual clock.
    const DWORD dwBefore = TimeGetTime();
    EXPECT_FALSE(PeekMessage(&msg, true));
    EXPECT_EQ(TimeGetTime(), dwBefore + 1);
}

TEST_F(WindowTest, FlushKeepsCloseAndQuit) {
    CRecordingWindow wnd;
    ASSERT_TRUE(wnd.CreatePlatWindow("test", WS_POPUP, 0, 0, 800, 600));
    InjectKey(VK_ESCAPE, true);
    InjectMouseMove(1, 1);
    InjectClose();
    InjectMouseButton(VK_RBUTTON, true, 2, 2);
    InjectKey(VK_ESCAPE, false);
    PostQuitMessage(3);
    InjectActivate(false);
    EXPECT_TRUE(GetInputState());

    FlushKeyboardMessages();
    EXPECT_TRUE(GetInputState());  // the mouse messages are still there
    FlushInputMessages();
    EXPECT_FALSE(GetInputState());
    std::vector<MSG> v = Drain();
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(v[0].message, WM_CLOSE);
    EXPECT_EQ(v[0].hwnd, &wnd);
    EXPECT_EQ(v[1].message, WM_QUIT);
    EXPECT_EQ(v[1].wParam, 3u);
    EXPECT_EQ(v[1].hwnd, nullptr);
    EXPECT_EQ(v[2].message, WM_ACTIVATE);
    EXPECT_EQ(v[2].wParam, WPARAM(WA_INACTIVE));
    EXPECT_EQ(v[3].message, WM_ACTIVATEAPP);
    EXPECT_EQ(v[3].wParam, WPARAM(FALSE));
}

TEST_F(WindowTest, AltMakesSystemKeysAndModifiersHaveSides) {
    InjectKey(VK_MENU, true);
    InjectKey(VK_RETURN, true);
    InjectKey(VK_RETURN, false);
    InjectKey(VK_MENU, false);
    InjectKey(VK_RETURN, true);
    InjectKey(VK_RSHIFT, true);
    std::vector<MSG> v = Drain();
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(v[0].message, WM_SYSKEYDOWN);
    EXPECT_EQ(v[0].wParam, WPARAM(VK_MENU));
    EXPECT_EQ(v[1].message, WM_SYSKEYDOWN);  // Alt+Enter
    EXPECT_EQ(v[1].wParam, WPARAM(VK_RETURN));
    EXPECT_TRUE(v[1].lParam & (LPARAM(1) << 29));
    EXPECT_EQ(v[2].message, WM_SYSKEYUP);
    EXPECT_TRUE(v[2].lParam & LPARAM(DWORD(1) << 31));
    EXPECT_EQ(v[3].message, WM_SYSKEYUP);
    EXPECT_EQ(v[3].wParam, WPARAM(VK_MENU));
    EXPECT_EQ(v[4].message, WM_KEYDOWN);
    EXPECT_FALSE(v[4].lParam & (LPARAM(1) << 29));
    EXPECT_EQ(v[5].message, WM_KEYDOWN);
    EXPECT_EQ(v[5].wParam, WPARAM(VK_SHIFT));

    EXPECT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
    EXPECT_TRUE(GetAsyncKeyState(VK_RSHIFT) & 0x8000);
    EXPECT_FALSE(GetAsyncKeyState(VK_LSHIFT) & 0x8000);
    InjectKey(VK_LSHIFT, true);
    InjectKey(VK_RSHIFT, false);
    EXPECT_TRUE(GetAsyncKeyState(VK_SHIFT) & 0x8000);  // the left one still holds it
    InjectKey(VK_LSHIFT, false);
    EXPECT_FALSE(GetAsyncKeyState(VK_SHIFT) & 0x8000);
}

TEST_F(WindowTest, AsyncKeyStateBits) {
    auto state = [](int nKey) { return unsigned(std::uint16_t(GetAsyncKeyState(nKey))); };
    InjectKey('B', true);
    EXPECT_EQ(state('B'), 0x8001u);  // down, and pressed since the last query
    EXPECT_EQ(state('B'), 0x8000u);
    InjectKey('C', true);
    InjectKey('C', false);
    EXPECT_EQ(state('B'), 0x8000u);  // another key's query does not touch it
    EXPECT_EQ(state('C'), 0x0001u);  // pressed and released between two queries
    EXPECT_EQ(state('C'), 0u);
    InjectKey('B', false);
    EXPECT_EQ(state('B'), 0u);

    InjectMouseButton(VK_RBUTTON, true, 0, 0);
    EXPECT_EQ(state(VK_RBUTTON), 0x8001u);
    EXPECT_EQ(state(VK_LBUTTON), 0u);
    InjectMouseMove(3, 3);
    std::vector<MSG> v = Drain();
    ASSERT_FALSE(v.empty());
    EXPECT_EQ(v.back().message, WM_MOUSEMOVE);
    EXPECT_EQ(v.back().wParam, MK_RBUTTON);

    EXPECT_EQ(GetAsyncKeyState(0), 0);
    EXPECT_EQ(GetAsyncKeyState(300), 0);
    EXPECT_EQ(GetAsyncKeyState(-5), 0);
    const DWORD dwBefore = TimeGetTime();
    GetAsyncKeyState('B');
    EXPECT_EQ(TimeGetTime(), dwBefore + 1);  // an idle poll of the virtual clock
}

TEST_F(WindowTest, MovesAndRepeatsAreMergedWhileUnread) {
    InjectMouseMove(1, 2);
    InjectMouseMove(3, 4);
    InjectKey('X', true);
    InjectMouseButton(VK_LBUTTON, true, 50, 60);  // moves there first
    InjectMouseButton(VK_LBUTTON, false, 50, 60);
    InjectMouseButton(VK_LBUTTON, true, 50, 60, true);
    OnKeyEvent('Q', 0, true, false);
    OnKeyEvent('Q', 0, true, true);
    OnKeyEvent('Q', 0, true, true);
    std::vector<MSG> v = Drain();
    ASSERT_EQ(v.size(), 7u);
    EXPECT_EQ(v[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(v[0].lParam, MakeLParam(3, 4));
    EXPECT_EQ(v[1].message, WM_KEYDOWN);
    EXPECT_EQ(v[2].message, WM_MOUSEMOVE);
    EXPECT_EQ(v[2].lParam, MakeLParam(50, 60));
    EXPECT_EQ(v[3].message, WM_LBUTTONDOWN);
    EXPECT_EQ(v[4].message, WM_LBUTTONUP);
    EXPECT_EQ(v[5].message, WM_LBUTTONDBLCLK);
    EXPECT_EQ(v[5].wParam, MK_LBUTTON);
    EXPECT_EQ(v[6].message, WM_KEYDOWN);
    EXPECT_EQ(v[6].wParam, WPARAM('Q'));
    EXPECT_EQ(v[6].lParam & 0xFFFF, 3);  // one message with a repeat count of 3
}

TEST_F(WindowTest, TranslateMessageMakesUsCharacters) {
    InjectKey('A', true);
    InjectKey('Z', true);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, true));
    TranslateMessage(&msg);
    ASSERT_TRUE(PeekMessage(&msg, true));
    EXPECT_EQ(msg.message, WM_CHAR);
    EXPECT_EQ(msg.wParam, WPARAM('a'));
    ASSERT_TRUE(PeekMessage(&msg, true));
    EXPECT_EQ(msg.wParam, WPARAM('Z'));
    InjectKey(VK_SHIFT, true);
    InjectKey('2', true);
    Drain();
    MSG key{};
    key.message = WM_KEYDOWN;
    key.wParam = '2';
    TranslateMessage(&key);
    ASSERT_TRUE(PeekMessage(&msg, true));
    EXPECT_EQ(msg.wParam, WPARAM('@'));
}

TEST_F(WindowTest, GeometryCaptionAndScreenCoordinates) {
    // The window manager draws a caption outside the window: the client area is the
    // whole window rectangle in every style.
    RECT rc{100, 74, 740, 554};
    AdjustWindowRectEx(&rc, WS_POPUP | WS_VISIBLE | WS_CAPTION, false, 0);
    EXPECT_TRUE(EqualRect(rc, RECT{100, 74, 740, 554}));
    RECT rcPopup{0, 0, 800, 600};
    AdjustWindowRectEx(&rcPopup, WS_POPUP, false, 0);
    EXPECT_TRUE(EqualRect(rcPopup, RECT{0, 0, 800, 600}));

    CRecordingWindow wnd;
    ASSERT_TRUE(wnd.CreatePlatWindow("\xD3\xCE\xCF\xB7", WS_POPUP, 0, 0, 100, 100));
    EXPECT_EQ(wnd.GetTitle(), "\xD3\xCE\xCF\xB7");
    EXPECT_FALSE(wnd.IsVisible());  // created hidden
    wnd.SetStyle(WS_POPUP | WS_VISIBLE | WS_CAPTION);
    EXPECT_TRUE(wnd.IsVisible());
    wnd.SetWindowPos(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT rcClient;
    wnd.GetClientRect(&rcClient);
    EXPECT_TRUE(EqualRect(rcClient, RECT{0, 0, 640, 480}));
    POINT pt{0, 0};
    wnd.ClientToScreen(&pt);
    EXPECT_EQ(pt.x, 100);
    EXPECT_EQ(pt.y, 74);
    pt = POINT{7, 9};
    wnd.ClientToScreen(&pt);
    wnd.ScreenToClient(&pt);
    EXPECT_EQ(pt.x, 7);
    EXPECT_EQ(pt.y, 9);

    InjectMouseMove(5, 6);
    ASSERT_TRUE(GetCursorPos(&pt));
    EXPECT_EQ(pt.x, 105);
    EXPECT_EQ(pt.y, 80);

    wnd.CenterWindow();  // on the headless 800 x 600 desktop
    RECT rcWnd;
    wnd.GetWindowRect(&rcWnd);
    EXPECT_TRUE(EqualRect(rcWnd, RECT{80, 60, 720, 540}));
    wnd.SetWindowPos(0, 0, 320, 200, SWP_NOMOVE);
    wnd.GetWindowRect(&rcWnd);
    EXPECT_TRUE(EqualRect(rcWnd, RECT{80, 60, 400, 260}));
    // Sized to the screen at (0, 0), as the display does when it leaves full screen, a
    // window with a caption shows the whole screen.
    wnd.SetWindowPos(0, 0, 800, 600, SWP_SHOWWINDOW);
    wnd.GetClientRect(&rcClient);
    EXPECT_TRUE(EqualRect(rcClient, RECT{0, 0, 800, 600}));

    wnd.ShowWindow(SW_HIDE);
    EXPECT_FALSE(wnd.IsVisible());
    EXPECT_FALSE(wnd.GetStyle() & WS_VISIBLE);
    wnd.SetWindowPos(0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    EXPECT_TRUE(wnd.IsVisible());
}

TEST_F(WindowTest, OneWindowAtATimeAndItsMessagesGoWithIt) {
    CRecordingWindow refused;
    refused.nCreateAnswer = -1;
    EXPECT_FALSE(refused.CreatePlatWindow("a", WS_POPUP, 0, 0, 10, 10));
    EXPECT_FALSE(refused.IsCreated());

    CRecordingWindow first, second;
    ASSERT_TRUE(first.CreatePlatWindow("a", WS_POPUP, 0, 0, 10, 10));
    EXPECT_FALSE(second.CreatePlatWindow("b", WS_POPUP, 0, 0, 10, 10));
    InjectKey('X', true);
    InjectClose();
    PostQuitMessage(0);
    first.DestroyPlatWindow();
    EXPECT_EQ(first.got.back().message, WM_DESTROY);
    EXPECT_FALSE(PostMessage(&first, WM_USER, 0, 0));  // no longer a window
    std::vector<MSG> v = Drain();
    ASSERT_EQ(v.size(), 1u);  // only the quit request, which belongs to no window
    EXPECT_EQ(v[0].message, WM_QUIT);
    EXPECT_TRUE(second.CreatePlatWindow("b", WS_POPUP, 0, 0, 10, 10));
}

TEST_F(WindowTest, HeadlessServices) {
    EXPECT_TRUE(IsHeadless());
    SIZE desk = GetDesktopSize();
    EXPECT_EQ(desk.cx, 800);
    EXPECT_EQ(desk.cy, 600);
    EXPECT_EQ(GetDesktopBitsPerPixel(), 16);
    EXPECT_EQ(MessageBox(nullptr, "\xB4\xED\xCE\xF3", "t", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBox(nullptr, "q", "t", MB_YESNO), IDYES);
}

TEST(FrameFit, ScalingAndLetterboxMapBack) {
    // Doubled window: each window pixel pair is one client pixel.
    RECT rc = FitFrame(1600, 1200, 800, 600);
    EXPECT_TRUE(EqualRect(rc, RECT{0, 0, 1600, 1200}));
    POINT pt = WindowToFrame(rc, 800, 600, 801, 1);
    EXPECT_EQ(pt.x, 400);
    EXPECT_EQ(pt.y, 0);
    pt = WindowToFrame(rc, 800, 600, 1599, 1199);
    EXPECT_EQ(pt.x, 799);
    EXPECT_EQ(pt.y, 599);

    // A wide desktop: bars left and right.
    rc = FitFrame(1920, 1080, 800, 600);
    EXPECT_TRUE(EqualRect(rc, RECT{240, 0, 1680, 1080}));
    pt = WindowToFrame(rc, 800, 600, 240, 0);
    EXPECT_EQ(pt.x, 0);
    EXPECT_EQ(pt.y, 0);
    pt = WindowToFrame(rc, 800, 600, 1679, 1079);
    EXPECT_EQ(pt.x, 799);
    EXPECT_EQ(pt.y, 599);
    pt = WindowToFrame(rc, 800, 600, 960, 540);
    EXPECT_EQ(pt.x, 400);
    EXPECT_EQ(pt.y, 300);
    pt = WindowToFrame(rc, 800, 600, 100, 10);  // in the bar: left of the picture
    EXPECT_LT(pt.x, 0);

    // A tall window: bars above and below; a shrunken window.
    rc = FitFrame(800, 1000, 800, 600);
    EXPECT_TRUE(EqualRect(rc, RECT{0, 200, 800, 800}));
    rc = FitFrame(400, 300, 800, 600);
    pt = WindowToFrame(rc, 800, 600, 399, 299);
    EXPECT_EQ(pt.x, 798);
    EXPECT_EQ(pt.y, 598);
}

TEST_F(WindowTest, PresentedPixelsBecomeTheScreenshot) {
    // 4 x 2 pixels of 16-bit 565 in rows of 12 bytes (padding after each row).
    const WORD row0[4] = {0xF800, 0x07E0, 0x001F, 0xFFFF};
    const WORD row1[4] = {0x8410, 0x0000, 0x0821, 0xF81F};
    std::vector<BYTE> bits(24, 0xEE);
    std::memcpy(bits.data(), row0, 8);
    std::memcpy(bits.data() + 12, row1, 8);
    const DWORD dwFrames = GetPresentedFrameCount();
    const DWORD dwTime = TimeGetTime();
    PresentPixels(bits.data(), 12, 4, 2, 2, MakePixelFormat565(), RECT{1, 0, 4, 2});
    EXPECT_EQ(GetPresentedFrameCount(), dwFrames + 1);
    EXPECT_EQ(TimeGetTime(), dwTime + 20);

    const std::vector<BYTE> expect = {
        0, 255, 0,      0, 0, 255,  255, 255, 255,  // row 0 from x = 1
        0, 0, 0,        8, 4, 8,    255, 0, 255,    // 0x0821: one unit per channel widens to 8, 4, 8
    };
    EXPECT_EQ(LastFrame().nWidth, 3);
    EXPECT_EQ(LastFrame().nHeight, 2);
    EXPECT_EQ(LastFrame().rgb, expect);

    const CTempFolder folder("window");
    const std::string strPath = folder.File("shot.png");
    ASSERT_TRUE(SaveScreenshotPng(strPath.c_str()));
    int w = 0, h = 0;
    std::vector<BYTE> rgb;
    ASSERT_TRUE(ReadPng(strPath, &w, &h, &rgb));
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(rgb, expect);
    EXPECT_FALSE(SaveScreenshotPng("/nonexistent-folder/x.png"));
}

TEST_F(WindowTest, ConversionOf555And32BitAndOverlap) {
    const WORD px555[2] = {0x7C00, 0x4210};  // red; 16 of 31 in each channel
    FrameImage frame;
    ASSERT_TRUE(ConvertPixels(reinterpret_cast<const BYTE*>(px555), 4, 2, 1, 2, MakePixelFormat555(),
                              RECT{0, 0, 2, 1}, &frame));
    EXPECT_EQ(frame.rgb, (std::vector<BYTE>{255, 0, 0, 132, 132, 132}));

    const DWORD px32[2] = {0x00123456, 0xFF000080};
    ASSERT_TRUE(ConvertPixels(reinterpret_cast<const BYTE*>(px32), 8, 2, 1, 4, MakePixelFormat888(32),
                              RECT{0, 0, 2, 1}, &frame));
    EXPECT_EQ(frame.rgb, (std::vector<BYTE>{0x12, 0x34, 0x56, 0, 0, 0x80}));

    // A rectangle larger than the pixels shows the overlap; the rest is black.
    const WORD white[4] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    ASSERT_TRUE(ConvertPixels(reinterpret_cast<const BYTE*>(white), 4, 2, 2, 2, MakePixelFormat565(),
                              RECT{1, 1, 4, 3}, &frame));
    ASSERT_EQ(frame.nWidth, 3);
    ASSERT_EQ(frame.nHeight, 2);
    std::vector<BYTE> expect(18, 0);
    expect[0] = expect[1] = expect[2] = 255;  // only (1, 1) lies on the pixels
    EXPECT_EQ(frame.rgb, expect);

    EXPECT_FALSE(ConvertPixels(reinterpret_cast<const BYTE*>(white), 4, 2, 2, 2, MakePixelFormat565(),
                               RECT{2, 2, 2, 5}, &frame));  // empty rectangle
    EXPECT_FALSE(ConvertPixels(reinterpret_cast<const BYTE*>(white), 2, 2, 2, 1, VideoPixelFormat{},
                               RECT{0, 0, 2, 2}, &frame));  // palette pixels
}

TEST_F(WindowTest, DisplayFlipsReachThePresentation) {
    CRecordingWindow wnd;
    ASSERT_TRUE(wnd.CreatePlatWindow("flip", WS_POPUP, 0, 0, 640, 480));
    CVideoDevice* pDevice = CVideoDevice::Create();
    ASSERT_NE(pDevice, nullptr);
    ASSERT_EQ(pDevice->SetCooperativeLevel(&wnd, DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE), DD_OK);
    ASSERT_EQ(pDevice->SetDisplayMode(640, 480, 15, 0, 0), DD_OK);
    SurfaceDesc desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    desc.dwBackBufferCount = 1;
    CVideoSurface* pFront = nullptr;
    ASSERT_EQ(pDevice->CreateSurface(desc, &pFront), DD_OK);
    CVideoSurface* pBack = nullptr;
    ASSERT_EQ(pFront->GetAttachedSurface(DDSCAPS_BACKBUFFER, &pBack), DD_OK);
    RECT rc{600, 400, 640, 480};
    ASSERT_EQ(pBack->Blt(&rc, nullptr, nullptr, DDBLT_COLORFILL, 0x03E0), DD_OK);  // 555 green
    const DWORD dwFrames = GetPresentedFrameCount();
    ASSERT_EQ(pFront->Flip(DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(GetPresentedFrameCount(), dwFrames + 1);
    const FrameImage& frame = LastFrame();
    ASSERT_EQ(frame.nWidth, 640);
    ASSERT_EQ(frame.nHeight, 480);
    auto at = [&](int x, int y) {
        const BYTE* p = &frame.rgb[(size_t(y) * 640 + size_t(x)) * 3];
        return (DWORD(p[0]) << 16) | (DWORD(p[1]) << 8) | p[2];
    };
    EXPECT_EQ(at(639, 479), 0x00FF00u);
    EXPECT_EQ(at(600, 400), 0x00FF00u);
    EXPECT_EQ(at(599, 479), 0u);
    pDevice->RestoreDisplayMode();
    pFront->Release();
    pDevice->Release();
}

TEST_F(WindowTest, SecondInstanceSignalsTheFirstAndBacksOff) {
    // The lock lives in a runtime folder of the test's own, removed at the end.
    const CTempFolder folder("instance");
    const char* szDir = folder.Path().c_str();
    const char* pszOldDir = std::getenv("XDG_RUNTIME_DIR");
    const std::string strOldDir = pszOldDir ? pszOldDir : "";
    setenv("XDG_RUNTIME_DIR", szDir, 1);
    const std::string strTitle = "instance test";
    CRecordingWindow wnd;
    ASSERT_TRUE(wnd.CreatePlatWindow(strTitle.c_str(), WS_POPUP, 0, 0, 100, 100));
    ASSERT_FALSE(wnd.IsVisible());
    ASSERT_TRUE(AcquireSingleInstance(strTitle.c_str()));
    EXPECT_TRUE(AcquireSingleInstance(strTitle.c_str()));  // the holder asking again

    // 1 when the child took the lock, 0 when it was refused and reached the holder.
    auto runChild = [&]() {
        std::fflush(nullptr);
        pid_t pid = fork();
        if (pid == 0) {
            bool bRaised = false;
            _exit(AcquireSingleInstance(strTitle.c_str(), &bRaised) ? 1 : bRaised ? 0 : 2);
        }
        int nStatus = -1;
        waitpid(pid, &nStatus, 0);
        return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    };
    EXPECT_EQ(folder.Entries().size(), 1u);  // the lock file is made in the runtime folder
    EXPECT_EQ(runChild(), 0) << "a second process must be refused";
    // The signal raises the window at the next pump.
    for (int i = 0; i < 100 && !wnd.IsVisible(); ++i) {
        MSG msg;
        PeekMessage(&msg, false);
        usleep(10000);
    }
    EXPECT_TRUE(wnd.IsVisible());

    ReleaseSingleInstance();
    EXPECT_EQ(runChild(), 1) << "after the release a new process takes the lock";
    ASSERT_TRUE(AcquireSingleInstance(strTitle.c_str()));
    ReleaseSingleInstance();
    EXPECT_TRUE(folder.Entries().empty()) << "the holder removes its lock file when it lets go";

    // Without a runtime folder the lock lives in /tmp, under the user's id, and goes too.
    unsetenv("XDG_RUNTIME_DIR");
    const std::string strOwnTitle = strTitle + " " + std::to_string(getpid());
    const std::string strTmpLock = SingleInstanceLockPath(strOwnTitle.c_str());
    EXPECT_EQ(strTmpLock.rfind("/tmp/game-" + std::to_string(getuid()) + "-", 0), 0u) << strTmpLock;
    ASSERT_TRUE(AcquireSingleInstance(strOwnTitle.c_str()));
    EXPECT_TRUE(std::filesystem::exists(strTmpLock));
    ReleaseSingleInstance();
    EXPECT_FALSE(std::filesystem::exists(strTmpLock));
    if (pszOldDir) setenv("XDG_RUNTIME_DIR", strOldDir.c_str(), 1);
}

TEST(RendererChoice, SoftwareOpenGlDriversAreToldFromHardwareOnes) {
    for (const char* psz : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer",
                            "Mesa DRI swrast", "LLVMPIPE"})
        EXPECT_TRUE(IsSoftwareRasteriser(psz)) << psz;
    for (const char* psz : {"", "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "AMD Radeon RX 6600 (radeonsi, navi23)",
                            "NVIDIA GeForce GTX 1060/PCIe/SSE2", "virgl"})
        EXPECT_FALSE(IsSoftwareRasteriser(psz)) << psz;
}
