// Internals of the window layer shared by its sources (queue, backends, presentation,
// input script, single instance, clock) and by the platform tests. Game code uses
// platform/Window.h and platform/Clock.h instead.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "platform/Base.h"
#include "platform/Video.h"
#include "platform/Window.h"

// What a backend needs to know of the game's window.
struct WindowShape {
    std::string strTitle;  // GBK bytes
    DWORD dwStyle = 0;
    RECT rcOuter;          // logical window rectangle in screen coordinates (= client area)
    bool bVisible = false;
};

// The client area of a window of that shape, in its own coordinates (origin 0, 0): the
// whole window rectangle, since the window manager draws any title bar outside it.
SIZE ClientSizeOf(const WindowShape& shape);

// A presented frame as 8-bit RGB triples, row after row without padding.
struct FrameImage {
    int nWidth = 0, nHeight = 0;
    std::vector<BYTE> rgb;
};

// A presented frame as the display holds it: rcSource of the pixels (parts of the
// rectangle outside them are black).
struct FramePixels {
    const BYTE* pBits = nullptr;
    int nPitch = 0, nWidth = 0, nHeight = 0, nBytesPerPixel = 0;
    VideoPixelFormat format;
    RECT rcSource;

    int FrameWidth() const { return int(rcSource.right - rcSource.left); }
    int FrameHeight() const { return int(rcSource.bottom - rcSource.top); }
    // True when the frame has a size, a depth of 2 to 4 bytes and no more than 16384
    // pixels a side.
    bool IsShowable() const;
    // True when the whole rectangle lies on the pixels.
    bool CoversSource() const;
    // The colour masks, with the usual layout of the depth when the format leaves them empty.
    void Masks(DWORD* pR, DWORD* pG, DWORD* pB) const;
};

// Converts a frame to 8-bit RGB triples (screenshots): false when it is not showable.
bool ConvertFrameToRgb(const FramePixels& frame, FrameImage* pOut);
// Converts a frame to 32-bit 0xAARRGGBB pixels (alpha 255) in rows of nDstPitch bytes,
// the form every renderer takes; 5-6-5 and 5-5-5 frames in one vector pass. False when
// the frame is not showable.
bool ConvertFrameToArgb(const FramePixels& frame, BYTE* pDst, int nDstPitch);

// Paces presentation in real time: never more often than the display refreshes.
class CPresentPacer {
public:
    // The display's refresh rate; 0 or less when it cannot be read (60 Hz is assumed).
    void SetRefreshRate(int nHz);
    // Lifts the cap (benchmarks).
    void SetUncapped(bool bUncapped) { m_bUncapped = bUncapped; }
    std::int64_t PeriodMicros() const { return m_nPeriodUs; }
    // Microseconds to wait, from nNowUs, before the next present may be shown; the
    // present is taken to happen then. Presents keep to a grid of refresh periods: one
    // that comes late by less than a period waits for nothing and the next one keeps
    // its place on the grid; one later than that starts a new grid, so lost time is
    // never caught up with a burst.
    std::int64_t WaitBeforePresent(std::int64_t nNowUs);

private:
    std::int64_t m_nPeriodUs = 1000000 / 60;
    std::int64_t m_nNextUs = 0;
    bool m_bStarted = false;
    bool m_bUncapped = false;
};

// One of the two backends behind the window layer.
class CWindowBackend {
public:
    virtual ~CWindowBackend() = default;
    virtual bool IsHeadless() const = 0;
    // Turns pending system events (or due script events) into queued messages.
    virtual void Pump() = 0;
    virtual bool CreateNativeWindow(const WindowShape& shape) = 0;
    virtual void DestroyNativeWindow() = 0;
    // The window's title, style, position, size or visibility changed.
    virtual void UpdateWindow(const WindowShape& shape) = 0;
    virtual void RaiseWindow() = 0;
    virtual void SetPresentationMode(bool bFullScreen, int nWidth, int nHeight) = 0;
    // Shows a presented frame; its pixels are valid during the call only.
    virtual void ShowFrame(const FramePixels& frame) = 0;
    virtual SIZE DesktopSize() = 0;
    virtual void ShowCursor(bool bShow) = 0;
    virtual int ShowMessageBox(const char* pszText, const char* pszCaption, UINT uType) = 0;
};

// Whether an OpenGL driver of that name (GL_RENDERER) draws on the processor (llvmpipe,
// softpipe and the like); the SDL backend then prefers SDL's own software renderer.
bool IsSoftwareRasteriser(const std::string& strGlRenderer);

// The backend, chosen on first use: headless when GAME_HEADLESS=1 or SDL video fails.
CWindowBackend& Backend();
CWindowBackend* CreateSdlBackend();  // null when SDL cannot open a display
CWindowBackend* CreateHeadlessBackend();

// The one game window (null when none exists) and its shape.
CPlatWindow* CurrentWindow();
void ShowCurrentWindowFromRaise();

// Queue and key state, fed by the backends and the Inject* calls.
void QueueMessage(UINT message, WPARAM wParam, LPARAM lParam);
// A key event from the system or a script: updates key state and queues WM_(SYS)KEY*.
// nSidedKey is VK_LSHIFT etc. for modifier keys (0 otherwise); bRepeat marks auto-repeat.
void OnKeyEvent(int nVirtKey, int nSidedKey, bool bDown, bool bRepeat);
// Mouse events in client coordinates.
void OnMouseMove(int x, int y);
void OnMouseButton(int nVirtButton, bool bDown, bool bDoubleClick, int x, int y);
void OnActivate(bool bActive);
void OnCloseRequest();
// Forgets keys held (focus loss: their releases will not be seen).
void ReleaseAllKeys();
// Client coordinates of the cursor as the last mouse event gave them.
POINT CursorClientPos();
// Drops every queued message addressed to hWnd.
void RemoveWindowMessages(HWND hWnd);
// Drops everything queued and every key state (tests).
void ResetMessageQueue();
size_t QueuedMessageCount();

// Presentation of raw pixels that live only during the call: converts rcSource of them
// to RGB at once, keeps it as the last frame, shows it through the backend, counts the
// frame and advances the virtual clock. Parts of the rectangle outside the pixels are
// black. (PresentFrame does the same but converts only when the frame is asked for.)
void PresentPixels(const BYTE* pBits, int nPitch, int nWidth, int nHeight, int nBytesPerPixel,
                   const VideoPixelFormat& format, const RECT& rcSource);
bool ConvertPixels(const BYTE* pBits, int nPitch, int nWidth, int nHeight, int nBytesPerPixel,
                   const VideoPixelFormat& format, const RECT& rcSource, FrameImage* pOut);
// The last presented frame as RGB, converted now if it was not yet.
const FrameImage& LastFrame();
// Converts the last presented frame now when it is still read from pSurface (whose
// pixels are about to change or go); the display calls it.
void KeepPresentedFrame(const CVideoSurface* pSurface);
// True while the last presented frame has not been converted (tests).
bool LastFrameIsPending();
// Writes a frame as a PNG file. On failure the reason goes to *pWhy when given, else to
// stderr with the path quoted.
bool WritePng(const FrameImage& frame, const std::string& strPath, std::string* pWhy = nullptr);
// Reads a screenshot back as RGB (tests and tools compare screenshots by their pixels).
bool ReadPng(const std::string& strPath, FrameImage* pOut);

// Where a frame of frameW x frameH lands in a window of winW x winH: scaled to fit,
// aspect kept, centred (black bars on the long side).
RECT FitFrame(int nWinW, int nWinH, int nFrameW, int nFrameH);
// Window pixel to frame (client) coordinates through that fit.
POINT WindowToFrame(const RECT& rcView, int nFrameW, int nFrameH, int x, int y);

// Single instance: true once per SIGUSR1 received since the last call.
bool TakeRaiseRequest();
// The lock file a game of that title holds (tests).
std::string SingleInstanceLockPath(const char* pszTitle);

// Clock hooks: the backend's default clock applies unless UseVirtualClock was called.
void ClockApplyBackendDefault(bool bVirtual, DWORD dwFrameStep);

// Headless driver: installs a parsed input script whose times and frame numbers count
// from now; returns the number of bad lines (each reported on stderr).
int LoadInputScriptText(const std::string& strText, const std::string& strName);
// The largest input script the headless driver reads.
constexpr size_t kInputScriptLimit = size_t(16) << 20;
// Reads an input script file (GAME_INPUT, a real path). Only a regular file of at most
// kInputScriptLimit bytes is read; anything else (a folder, a device, a pipe, a larger
// file) fails with the reason in *pWhy.
bool ReadInputScriptFile(const std::string& strPath, std::string* pText, std::string* pWhy);
// Runs the script's events that are due and the shots of the frame just presented.
void RunDueScriptEvents();
void RunScriptShots(DWORD dwFrame);
