// The SDL2 backend: a real window that shows the presented frames scaled to its size,
// and SDL's keyboard, mouse and window events turned into the game's messages. Audio is
// not touched here.
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/Charset.h"
#include "platform/Clock.h"
#include "platform/WindowBackend.h"

namespace {

// Virtual-key code of a physical key on the US layout (scancodes name positions, so
// the mapping does not depend on the layout the desktop uses). Modifier keys also give
// their sided code.
int ScancodeToVk(SDL_Scancode sc, int* pSided) {
    *pSided = 0;
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return VK_F1 + (sc - SDL_SCANCODE_F1);
    if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_9) return VK_NUMPAD0 + 1 + (sc - SDL_SCANCODE_KP_1);
    switch (sc) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return VK_BACK;
    case SDL_SCANCODE_TAB: return VK_TAB;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_CAPSLOCK: return VK_CAPITAL;
    case SDL_SCANCODE_PRINTSCREEN: return VK_SNAPSHOT;
    case SDL_SCANCODE_SCROLLLOCK: return VK_SCROLL;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_INSERT: return VK_INSERT;
    case SDL_SCANCODE_HOME: return VK_HOME;
    case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
    case SDL_SCANCODE_DELETE: return VK_DELETE;
    case SDL_SCANCODE_END: return VK_END;
    case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
    case SDL_SCANCODE_RIGHT: return VK_RIGHT;
    case SDL_SCANCODE_LEFT: return VK_LEFT;
    case SDL_SCANCODE_DOWN: return VK_DOWN;
    case SDL_SCANCODE_UP: return VK_UP;
    case SDL_SCANCODE_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
    case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
    case SDL_SCANCODE_LSHIFT: *pSided = VK_LSHIFT; return VK_SHIFT;
    case SDL_SCANCODE_RSHIFT: *pSided = VK_RSHIFT; return VK_SHIFT;
    case SDL_SCANCODE_LCTRL: *pSided = VK_LCONTROL; return VK_CONTROL;
    case SDL_SCANCODE_RCTRL: *pSided = VK_RCONTROL; return VK_CONTROL;
    case SDL_SCANCODE_LALT: *pSided = VK_LMENU; return VK_MENU;
    case SDL_SCANCODE_RALT: *pSided = VK_RMENU; return VK_MENU;
    default: return 0;
    }
}

bool HasCaption(DWORD dwStyle) { return (dwStyle & WS_CAPTION) == WS_CAPTION; }

bool EnvIsOne(const char* pszName) {
    const char* psz = std::getenv(pszName);
    return psz && std::strcmp(psz, "1") == 0;
}

// The texture format that holds a frame's pixels exactly as they are, or
// SDL_PIXELFORMAT_UNKNOWN.
Uint32 SdlFormatOf(const FramePixels& frame) {
    DWORD dwR, dwG, dwB;
    frame.Masks(&dwR, &dwG, &dwB);
    if (frame.nBytesPerPixel == 2 && dwR == 0xF800 && dwG == 0x07E0 && dwB == 0x001F) return SDL_PIXELFORMAT_RGB565;
    if (frame.nBytesPerPixel == 2 && dwR == 0x7C00 && dwG == 0x03E0 && dwB == 0x001F) return SDL_PIXELFORMAT_RGB555;
    if (frame.nBytesPerPixel == 4 && dwR == 0xFF0000 && dwG == 0x00FF00 && dwB == 0x0000FF) return SDL_PIXELFORMAT_RGB888;
    return SDL_PIXELFORMAT_UNKNOWN;
}

std::int64_t NowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class CSdlBackend : public CWindowBackend {
public:
    ~CSdlBackend() override { DestroyNativeWindow(); }

    bool IsHeadless() const override { return false; }

    void Pump() override {
        SDL_Event e;
        while (SDL_PollEvent(&e)) HandleEvent(e);
    }

    bool CreateNativeWindow(const WindowShape& shape) override {
        DestroyNativeWindow();
        SIZE client = ClientSizeOf(shape);
        Uint32 uFlags = SDL_WINDOW_HIDDEN | (HasCaption(shape.dwStyle) ? 0 : SDL_WINDOW_BORDERLESS);
        m_pWindow = SDL_CreateWindow(TextToUtf8(shape.strTitle).c_str(), shape.rcOuter.left, shape.rcOuter.top,
                                     client.cx > 0 ? client.cx : 1, client.cy > 0 ? client.cy : 1, uFlags);
        if (!m_pWindow) {
            std::fprintf(stderr, "platform: cannot create the window: %s\n", SDL_GetError());
            return false;
        }
        CreateRenderer();
        ReadRefreshRate();
        m_shape = shape;
        if (m_bFullScreen) EnterFullScreen();
        if (shape.bVisible) SDL_ShowWindow(m_pWindow);
        return true;
    }

    void DestroyNativeWindow() override {
        if (m_pTexture) SDL_DestroyTexture(m_pTexture);
        if (m_pRenderer) SDL_DestroyRenderer(m_pRenderer);
        if (m_pWindow) SDL_DestroyWindow(m_pWindow);
        m_pTexture = nullptr;
        m_pRenderer = nullptr;
        m_pWindow = nullptr;
        m_nTexW = m_nTexH = 0;
        m_uTexFormat = SDL_PIXELFORMAT_UNKNOWN;
        m_native.clear();
    }

    void UpdateWindow(const WindowShape& shape) override {
        if (!m_pWindow) return;
        if (shape.strTitle != m_shape.strTitle) SDL_SetWindowTitle(m_pWindow, TextToUtf8(shape.strTitle).c_str());
        const bool bCaption = HasCaption(shape.dwStyle);
        if (bCaption != HasCaption(m_shape.dwStyle)) SDL_SetWindowBordered(m_pWindow, bCaption ? SDL_TRUE : SDL_FALSE);
        if (!m_bFullScreen) ApplyWindowedGeometry(shape);
        if (shape.bVisible != m_shape.bVisible) {
            if (shape.bVisible) SDL_ShowWindow(m_pWindow);
            else SDL_HideWindow(m_pWindow);
        }
        m_shape = shape;
    }

    void RaiseWindow() override {
        if (!m_pWindow) return;
        SDL_ShowWindow(m_pWindow);
        SDL_RestoreWindow(m_pWindow);
        SDL_RaiseWindow(m_pWindow);
    }

    void SetPresentationMode(bool bFullScreen, int nWidth, int nHeight) override {
        m_bFullScreen = bFullScreen;
        m_nModeW = nWidth;
        m_nModeH = nHeight;
        if (!m_pWindow) return;
        // The desktop keeps its resolution; the frame is scaled and letterboxed on it.
        if (bFullScreen) {
            EnterFullScreen();
        } else {
            SDL_SetWindowFullscreen(m_pWindow, 0);
            // SDL ignores border changes made while the window is full screen: the style
            // the game gave it meanwhile applies now.
            SDL_SetWindowBordered(m_pWindow, HasCaption(m_shape.dwStyle) ? SDL_TRUE : SDL_FALSE);
            ApplyWindowedGeometry(m_shape);
        }
        ReadRefreshRate();
    }

    void ShowFrame(const FramePixels& frame) override {
        m_nFrameW = frame.FrameWidth();
        m_nFrameH = frame.FrameHeight();
        if (m_pRenderer && Upload(frame)) {
            // The flip paces the game; a display that does not wait for its vertical
            // blank still shows no more frames than it refreshes.
            const std::int64_t nWait = m_pacer.WaitBeforePresent(NowMicros());
            if (nWait > 0) std::this_thread::sleep_for(std::chrono::microseconds(nWait));
            Render();
        }
        // Keeps the window manager answered while the game runs loops that only flip.
        Pump();
    }

    SIZE DesktopSize() override {
        SDL_DisplayMode mode;
        int nDisplay = m_pWindow ? SDL_GetWindowDisplayIndex(m_pWindow) : 0;
        if (SDL_GetDesktopDisplayMode(nDisplay < 0 ? 0 : nDisplay, &mode) != 0) return SIZE{800, 600};
        return SIZE{mode.w, mode.h};
    }

    void ShowCursor(bool bShow) override { SDL_ShowCursor(bShow ? SDL_ENABLE : SDL_DISABLE); }

    int ShowMessageBox(const char* pszText, const char* pszCaption, UINT uType) override {
        const std::string strText = TextToUtf8(pszText), strCaption = TextToUtf8(pszCaption);
        SDL_MessageBoxButtonData buttons[2];
        int nButtons = 1;
        switch (uType & 0xF) {
        case MB_YESNO:
            buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"};
            buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"};
            nButtons = 2;
            break;
        case MB_OKCANCEL:
            buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"};
            buttons[1] = {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"};
            nButtons = 2;
            break;
        default:
            buttons[0] = {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"};
            break;
        }
        SDL_MessageBoxData data{};
        data.flags = (uType & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
        data.window = m_pWindow;
        data.title = strCaption.c_str();
        data.message = strText.c_str();
        data.numbuttons = nButtons;
        data.buttons = buttons;
        int nAnswer = buttons[0].buttonid;
        if (SDL_ShowMessageBox(&data, &nAnswer) != 0) {
            std::fprintf(stderr, "[message box] %s: %s\n", strCaption.c_str(), strText.c_str());
            return buttons[0].buttonid;
        }
        return nAnswer < 0 ? buttons[nButtons - 1].buttonid : nAnswer;
    }

private:
    // An accelerated renderer with vertical sync (GAME_VSYNC=0 turns it off), unless the
    // only one there is rasterises on the processor (software OpenGL): SDL's software
    // renderer then draws the same frames for a fraction of the processor time. A
    // renderer the user names in SDL_RENDER_DRIVER is taken as it is.
    void CreateRenderer() {
        const char* pszVsync = std::getenv("GAME_VSYNC");
        Uint32 uRender = SDL_RENDERER_ACCELERATED;
        if (!(pszVsync && std::strcmp(pszVsync, "0") == 0)) uRender |= SDL_RENDERER_PRESENTVSYNC;
        m_pRenderer = SDL_CreateRenderer(m_pWindow, -1, uRender);
        const char* pszDriver = std::getenv("SDL_RENDER_DRIVER");
        if (m_pRenderer && !(pszDriver && *pszDriver)) {
            const std::string strGl = GlRendererName();
            if (IsSoftwareRasteriser(strGl)) {
                std::fprintf(stderr, "platform: the accelerated renderer is software OpenGL (%s); "
                             "drawing with SDL's software renderer\n", strGl.c_str());
                SDL_DestroyRenderer(m_pRenderer);
                m_pRenderer = nullptr;
                // The software renderer's window surface goes straight to the display,
                // not through a texture of that same software OpenGL.
                SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
            }
        }
        if (!m_pRenderer) m_pRenderer = SDL_CreateRenderer(m_pWindow, -1, SDL_RENDERER_SOFTWARE);
        if (!m_pRenderer) std::fprintf(stderr, "platform: no renderer, frames are not shown: %s\n", SDL_GetError());
        ReadRendererFormats();
    }

    // The OpenGL driver's name behind an OpenGL renderer ("" for other renderers).
    std::string GlRendererName() const {
        SDL_RendererInfo info;
        if (SDL_GetRendererInfo(m_pRenderer, &info) != 0 || !info.name || std::strncmp(info.name, "opengl", 6) != 0)
            return "";
        using GetString = const unsigned char* (*)(unsigned int);
        auto pfnGetString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
        constexpr unsigned int kGlRenderer = 0x1F01;
        const unsigned char* psz = pfnGetString ? pfnGetString(kGlRenderer) : nullptr;
        return psz ? reinterpret_cast<const char*>(psz) : "";
    }

    // The texture formats the renderer takes without converting, and the one frames are
    // converted to: the window's own 32-bit format under the software renderer, so that
    // showing a frame is a plain copy; ARGB8888 otherwise.
    void ReadRendererFormats() {
        m_native.clear();
        m_uConvertTo = SDL_PIXELFORMAT_ARGB8888;
        SDL_RendererInfo info;
        if (!m_pRenderer || SDL_GetRendererInfo(m_pRenderer, &info) != 0) return;
        m_native.assign(info.texture_formats, info.texture_formats + info.num_texture_formats);
        if (info.flags & SDL_RENDERER_SOFTWARE) {
            const Uint32 uWindow = SDL_GetWindowPixelFormat(m_pWindow);
            if (uWindow == SDL_PIXELFORMAT_RGB888 || uWindow == SDL_PIXELFORMAT_ARGB8888) {
                // 16-bit frames go through our conversion too: SDL would otherwise
                // convert them again on every copy to the window.
                m_uConvertTo = uWindow;
                m_native.assign(1, uWindow);
            }
        }
    }

    void ReadRefreshRate() {
        SDL_DisplayMode mode;
        int nHz = 0;
        if (m_pWindow && SDL_GetWindowDisplayMode(m_pWindow, &mode) == 0) nHz = mode.refresh_rate;
        if (nHz <= 0) {
            const int nDisplay = m_pWindow ? SDL_GetWindowDisplayIndex(m_pWindow) : 0;
            if (SDL_GetCurrentDisplayMode(nDisplay < 0 ? 0 : nDisplay, &mode) == 0) nHz = mode.refresh_rate;
        }
        m_pacer.SetRefreshRate(nHz);
        m_pacer.SetUncapped(EnvIsOne("GAME_UNCAPPED"));
    }

    bool Takes(Uint32 uFormat) const {
        for (Uint32 u : m_native)
            if (u == uFormat) return true;
        return false;
    }

    // Puts the frame into the streaming texture: the pixels as they are when the renderer
    // takes their format, else converted once to ARGB straight into the texture.
    bool Upload(const FramePixels& frame) {
        Uint32 uFormat = SdlFormatOf(frame);
        const bool bDirect = uFormat != SDL_PIXELFORMAT_UNKNOWN && Takes(uFormat) && frame.CoversSource();
        if (!bDirect) uFormat = m_uConvertTo;
        const int w = frame.FrameWidth(), h = frame.FrameHeight();
        if (!m_pTexture || m_nTexW != w || m_nTexH != h || m_uTexFormat != uFormat) {
            if (m_pTexture) SDL_DestroyTexture(m_pTexture);
            m_pTexture = SDL_CreateTexture(m_pRenderer, uFormat, SDL_TEXTUREACCESS_STREAMING, w, h);
            m_nTexW = m_pTexture ? w : 0;
            m_nTexH = m_pTexture ? h : 0;
            m_uTexFormat = m_pTexture ? uFormat : Uint32(SDL_PIXELFORMAT_UNKNOWN);
            if (!m_pTexture) return false;
            // Frames are opaque: a copy, never a blend, even in a format with alpha.
            SDL_SetTextureBlendMode(m_pTexture, SDL_BLENDMODE_NONE);
        }
        if (bDirect) {
            const BYTE* pFirst = frame.pBits + std::ptrdiff_t(frame.rcSource.top) * frame.nPitch +
                                 std::ptrdiff_t(frame.rcSource.left) * frame.nBytesPerPixel;
            return SDL_UpdateTexture(m_pTexture, nullptr, pFirst, frame.nPitch) == 0;
        }
        void* pPixels = nullptr;
        int nPitch = 0;
        if (SDL_LockTexture(m_pTexture, nullptr, &pPixels, &nPitch) != 0) return false;
        ConvertFrameToArgb(frame, static_cast<BYTE*>(pPixels), nPitch);
        SDL_UnlockTexture(m_pTexture);
        return true;
    }

    // Full screen on the desktop's own mode. Full screen is a request to the window
    // manager; on a display without one nobody answers it and the window would keep its
    // windowed size while SDL draws for the whole display. So the window covers its
    // display first: a window manager then only stacks it above its panels.
    void EnterFullScreen() {
        const int nDisplay = SDL_GetWindowDisplayIndex(m_pWindow);
        SDL_Rect rc;
        if (SDL_GetDisplayBounds(nDisplay < 0 ? 0 : nDisplay, &rc) == 0) {
            SDL_SetWindowSize(m_pWindow, rc.w, rc.h);
            SDL_SetWindowPosition(m_pWindow, rc.x, rc.y);
        }
        SDL_SetWindowFullscreen(m_pWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }

    void ApplyWindowedGeometry(const WindowShape& shape) {
        SIZE client = ClientSizeOf(shape);
        SDL_SetWindowSize(m_pWindow, client.cx > 0 ? client.cx : 1, client.cy > 0 ? client.cy : 1);
        SDL_SetWindowPosition(m_pWindow, shape.rcOuter.left, shape.rcOuter.top);
    }

    void Render() {
        int nOutW = 0, nOutH = 0;
        SDL_GetRendererOutputSize(m_pRenderer, &nOutW, &nOutH);
        RECT rc = FitFrame(nOutW, nOutH, m_nTexW, m_nTexH);
        SDL_Rect dst{int(rc.left), int(rc.top), int(rc.right - rc.left), int(rc.bottom - rc.top)};
        // Only bars around a frame that does not fill the output need clearing.
        if (!m_pTexture || dst.x > 0 || dst.y > 0 || dst.w < nOutW || dst.h < nOutH) {
            SDL_SetRenderDrawColor(m_pRenderer, 0, 0, 0, 255);
            SDL_RenderClear(m_pRenderer);
        }
        if (m_pTexture) SDL_RenderCopy(m_pRenderer, m_pTexture, nullptr, &dst);
        SDL_RenderPresent(m_pRenderer);
    }

    // Window pixel to client coordinates: the inverse of the frame's fit to the window.
    POINT ToClient(int x, int y) {
        int nFrameW = m_nFrameW, nFrameH = m_nFrameH;
        if (nFrameW <= 0 || nFrameH <= 0) {
            SIZE client = m_bFullScreen ? SIZE{m_nModeW, m_nModeH} : ClientSizeOf(m_shape);
            nFrameW = client.cx;
            nFrameH = client.cy;
        }
        int nWinW = 0, nWinH = 0;
        if (m_pWindow) SDL_GetWindowSize(m_pWindow, &nWinW, &nWinH);
        return WindowToFrame(FitFrame(nWinW, nWinH, nFrameW, nFrameH), nFrameW, nFrameH, x, y);
    }

    void HandleEvent(const SDL_Event& e) {
        switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            int nSided = 0;
            int nKey = ScancodeToVk(e.key.keysym.scancode, &nSided);
            if (nKey) OnKeyEvent(nKey, nSided, e.type == SDL_KEYDOWN, e.key.repeat != 0);
            break;
        }
        case SDL_MOUSEMOTION: {
            POINT pt = ToClient(e.motion.x, e.motion.y);
            OnMouseMove(pt.x, pt.y);
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            int nButton = e.button.button == SDL_BUTTON_LEFT ? VK_LBUTTON
                          : e.button.button == SDL_BUTTON_RIGHT ? VK_RBUTTON : 0;
            if (!nButton) break;
            POINT pt = ToClient(e.button.x, e.button.y);
            const bool bDown = e.type == SDL_MOUSEBUTTONDOWN;
            // Every second press of a series is a double click, as the system reports it.
            OnMouseButton(nButton, bDown, bDown && e.button.clicks >= 2 && e.button.clicks % 2 == 0, pt.x, pt.y);
            break;
        }
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
            case SDL_WINDOWEVENT_FOCUS_GAINED: OnActivate(true); break;
            case SDL_WINDOWEVENT_FOCUS_LOST: OnActivate(false); break;
            case SDL_WINDOWEVENT_CLOSE: OnCloseRequest(); break;
            case SDL_WINDOWEVENT_DISPLAY_CHANGED: ReadRefreshRate(); break;
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                if (m_pRenderer) Render();
                break;
            default: break;
            }
            break;
        case SDL_QUIT:  // a termination signal; window closes arrive as SDL_WINDOWEVENT_CLOSE
            OnCloseRequest();
            break;
        default: break;
        }
    }

    SDL_Window* m_pWindow = nullptr;
    SDL_Renderer* m_pRenderer = nullptr;
    SDL_Texture* m_pTexture = nullptr;
    int m_nTexW = 0, m_nTexH = 0;
    Uint32 m_uTexFormat = SDL_PIXELFORMAT_UNKNOWN;
    std::vector<Uint32> m_native;
    Uint32 m_uConvertTo = SDL_PIXELFORMAT_ARGB8888;
    CPresentPacer m_pacer;
    int m_nFrameW = 0, m_nFrameH = 0;
    WindowShape m_shape;
    bool m_bFullScreen = false;
    int m_nModeW = 0, m_nModeH = 0;
};

}  // namespace

CWindowBackend* CreateSdlBackend() {
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "platform: SDL video: %s\n", SDL_GetError());
        return nullptr;
    }
    if (SDL_GetNumVideoDisplays() < 1) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return nullptr;
    }
    // Keys are read as keys; no input method pops up over the game.
    SDL_StopTextInput();
    ClockApplyBackendDefault(false, 20);
    return new CSdlBackend;
}
