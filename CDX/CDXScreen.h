// The display: the device, the front surface the player sees and the back buffer every
// frame is drawn into; full-screen or windowed creation, flips, fades, colour
// conversion, restoring lost surfaces and the list of every surface made on it.
#pragma once
#include "CDX/CDXPixelFormat.h"
#include "CDX/CDXSurface.h"
#include "platform/Base.h"
#include "platform/Video.h"
#include "platform/Window.h"

struct DisplayModeNode {
    DWORD dwWidth = 0;
    DWORD dwHeight = 0;
    DWORD dwBitsPerPixel = 0;
    DisplayModeNode* pNext = nullptr;
};

class CDXScreen {
public:
    CDXScreen();
    virtual ~CDXScreen();

    int CreateFullScreen(HWND hWnd, DWORD dwWidth, DWORD dwHeight, DWORD dwBpp, BOOL bStandardVga = FALSE);
    int CreateWindowed(HWND hWnd, int nWidth, int nHeight);
    int ChangeVideoMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBpp, BOOL bStandardVga = FALSE);
    HRESULT Flip(BOOL bWait = TRUE, BOOL bStretch = TRUE, BOOL bShowFrameRate = FALSE);
    int FadeIn(int nDuration);
    int FadeOut(int nDuration);
    HRESULT FillBack(DWORD dwColour);
    DWORD RgbToPixel(COLORREF colour, CDXSurface* pSurface = nullptr);
    void SetWindowed(BOOL bVideoMemory) { m_bVideoMemory = bVideoMemory; }
    bool HasDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBpp) const;
    HRESULT Restore();

    void AddSurface(CDXSurface* pSurface);
    void RemoveSurface(CDXSurface* pSurface);
    static int NextSurfaceId();

    CDXSurface* GetBack() const { return m_pBack; }
    CDXSurface* GetFrontSurface() const { return m_pFront; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    DWORD GetBpp() const { return m_dwBpp; }
    BOOL IsFullScreen() const { return m_bFullScreen; }
    CVideoDevice* GetDirectDraw() const { return m_pDevice; }
    int GetDisplayModeCount() const { return m_nModeCount; }
    const DisplayModeNode* GetDisplayModes() const { return m_pModeList; }
    DWORD GetFramesPerSecond() const { return m_dwFps; }
    int GetSurfaceCount() const { return m_nSurfaceCount; }
    CDXSurface* GetFirstSurface() const { return m_pFirstSurface; }
    void SetTripleBuffering(BOOL bTriple) { m_bTripleBuffering = bTriple; }

private:
    int FinishChain(CVideoSurface* pFront, CVideoSurface* pBack);
    void DeleteSurfaces();
    void SetDefaultPalette();
    // Advances a fade level by one measured step: +-512 x frame time / (duration + 1).
    static int FadeStep(int nDuration, DWORD dwElapsed);
    friend class CDXScreenTestAccess;

    CVideoDevice* m_pDevice = nullptr;
    CDXSurface* m_pFront = nullptr;
    CDXSurface* m_pBack = nullptr;
    bool m_bPaletteSet = false;
    HWND m_hClipperWindow = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    DWORD m_dwBpp = 0;
    HWND m_hWnd = nullptr;
    BOOL m_bFullScreen = FALSE;
    int m_nModeCount = 0;
    DisplayModeNode* m_pModeList = nullptr;
    BOOL m_bTripleBuffering = FALSE;
    BOOL m_bVideoMemory = TRUE;
    DWORD m_dwFrameCount = 0;
    DWORD m_dwAccumulated = 0;
    DWORD m_dwLastFlip = 0;
    DWORD m_dwFps = 0;
    CDXSurface* m_pFirstSurface = nullptr;
    CDXSurface* m_pLastSurface = nullptr;
    int m_nSurfaceCount = 0;
};

// Engine utilities.
CVideoDevice* GetDirectDraw();
double GetDirectionAngle(int x1, int y1, int x2, int y2);
// The name of a display error code ("Unknown Error" for codes the display does not use).
const char* DisplayErrorName(HRESULT hr);
// Shows "DirectDraw Error %s\nFILE: %s\nLINE: %d" and asks the application to end.
void DisplayErrorBox(HRESULT hr, HWND hWnd, const char* pszFile, int nLine);
// True when the processor has MMX (always true on x86-64).
bool HasMMX();

extern CDXScreen* pScreen;
extern CDXSurface* pBack;
