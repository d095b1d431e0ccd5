// The headless backend: no window, a virtual clock (held to real time in a game run
// without an input script), input from the Inject* calls or an
// input script (GAME_INPUT), frames kept for screenshots.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Charset.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "platform/WindowBackend.h"

namespace {

constexpr DWORD kDefaultFrameMs = 20;
bool s_bPaceWithoutScript = false;

// GAME_FRAME_MS: the virtual milliseconds one presented frame takes (1..1000).
DWORD FrameStepFromEnvironment() {
    const char* psz = std::getenv("GAME_FRAME_MS");
    if (!psz || !*psz) return kDefaultFrameMs;
    char* pEnd = nullptr;
    long n = std::strtol(psz, &pEnd, 10);
    if (*pEnd || n < 1 || n > 1000) {
        std::fprintf(stderr, "GAME_FRAME_MS=%s is not a number of milliseconds from 1 to 1000; using %u\n", psz,
                     unsigned(kDefaultFrameMs));
        return kDefaultFrameMs;
    }
    return DWORD(n);
}

class CHeadlessBackend : public CWindowBackend {
public:
    bool IsHeadless() const override { return true; }
    void Pump() override { RunDueScriptEvents(); }
    bool CreateNativeWindow(const WindowShape&) override { return true; }
    void DestroyNativeWindow() override {}
    void UpdateWindow(const WindowShape&) override {}
    void RaiseWindow() override {}
    void SetPresentationMode(bool, int, int) override {}
    void ShowFrame(const FramePixels&) override {}
    SIZE DesktopSize() override { return SIZE{800, 600}; }
    void ShowCursor(bool) override {}
    int ShowMessageBox(const char* pszText, const char* pszCaption, UINT uType) override {
        std::fprintf(stderr, "[message box] %s: %s\n", TextToUtf8(pszCaption).c_str(), TextToUtf8(pszText).c_str());
        return (uType & 0xF) == MB_YESNO ? IDYES : IDOK;
    }
};

}  // namespace

CWindowBackend* CreateHeadlessBackend() {
    ClockApplyBackendDefault(true, FrameStepFromEnvironment());
    auto* pBackend = new CHeadlessBackend;
    bool bScript = false;
    if (const char* pszPath = std::getenv("GAME_INPUT"); pszPath && *pszPath) {
        std::string strText, strWhy;
        bScript = ReadInputScriptFile(pszPath, &strText, &strWhy);
        if (!bScript)
            std::fprintf(stderr, "GAME_INPUT %s: %s; running without an input script\n", pszPath, strWhy.c_str());
        else
            LoadInputScriptText(strText, pszPath);
    }
    if (s_bPaceWithoutScript && !bScript) PaceVirtualClock(true);
    return pBackend;
}

void PaceHeadlessRunWithoutScript() { s_bPaceWithoutScript = true; }
