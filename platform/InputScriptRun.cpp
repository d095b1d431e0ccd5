// Runs the headless driver's input script: injects each event once the virtual clock
// reaches its time and takes the frame screenshots (the format is in InputScript.cpp).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/InputScript.h"
#include "platform/Strings.h"
#include "platform/WindowBackend.h"

namespace {

// The installed script: its events, where it has got to, and when it started.
struct RunningScript {
    bool bActive = false;
    std::vector<ScriptEvent> timed;
    std::vector<ScriptEvent> shots;
    size_t nNext = 0;
    DWORD dwStartTime = 0;
    DWORD dwStartFrame = 0;
    std::string strName;
    size_t nFailedShots = 0;
};
RunningScript s_script;

std::string ShotPath(const std::string& strPath) {
    if (strPath.empty() || strPath[0] == '/') return strPath;
    const char* pszDir = std::getenv("GAME_SHOT_DIR");
    if (!pszDir || !*pszDir) return strPath;
    std::string strDir = pszDir;
    if (strDir.back() != '/') strDir += '/';
    return strDir + strPath;
}

// A screenshot that fails is named with its line; after the first few failures the rest
// are passed over in silence, so a script of many bad shot lines cannot flood the output.
void TakeShot(const ScriptEvent& ev) {
    const std::string strPath = ShotPath(ev.strPath);
    std::string strWhy;
    if (WritePng(LastFrame(), strPath, &strWhy)) return;
    if (++s_script.nFailedShots <= CMessageList::kListed)
        std::fprintf(stderr, "input script %s line %d: screenshot %s: %s\n", s_script.strName.c_str(), ev.nLine,
                     QuoteText(strPath).c_str(), strWhy.c_str());
    else if (s_script.nFailedShots == CMessageList::kListed + 1)
        std::fprintf(stderr, "input script %s: more screenshots failed; the later ones are not reported\n",
                     s_script.strName.c_str());
}

void RunEvent(const ScriptEvent& ev) {
    switch (ev.action) {
    case ScriptAction::Key:
        if (ev.state != ScriptState::Up) InjectKey(ev.nKey, true);
        if (ev.state != ScriptState::Down) InjectKey(ev.nKey, false);
        break;
    case ScriptAction::Move: InjectMouseMove(ev.x, ev.y); break;
    case ScriptAction::LButton:
    case ScriptAction::RButton:
        InjectMouseButton(ev.action == ScriptAction::LButton ? VK_LBUTTON : VK_RBUTTON, ev.state != ScriptState::Up,
                          ev.x, ev.y, ev.state == ScriptState::Double);
        break;
    case ScriptAction::Close: InjectClose(); break;
    case ScriptAction::Activate: InjectActivate(true); break;
    case ScriptAction::Deactivate: InjectActivate(false); break;
    case ScriptAction::Shot: TakeShot(ev); break;
    }
}

}  // namespace

bool ReadInputScriptFile(const std::string& strPath, std::string* pText, std::string* pWhy) {
    pText->clear();
    auto fail = [&](const std::string& why) {
        *pWhy = why;
        pText->clear();
        return false;
    };
    if (!CheckRegularFile(strPath)) return fail(OpenFileError());
    std::FILE* fp = std::fopen(strPath.c_str(), "rb");
    if (!fp) return fail(std::strerror(errno));
    const std::string strTooLarge = "is larger than " + std::to_string(kInputScriptLimit) + " bytes";
    char buf[65536];
    size_t n;
    bool bTooLarge = false;
    while (!bTooLarge && (n = std::fread(buf, 1, sizeof buf, fp)) > 0) {
        bTooLarge = n > kInputScriptLimit - pText->size();
        if (!bTooLarge) pText->append(buf, n);
    }
    const bool bError = std::ferror(fp) != 0;
    std::fclose(fp);
    if (bTooLarge) return fail(strTooLarge);
    if (bError) return fail("cannot be read");
    return true;
}

int LoadInputScriptText(const std::string& strText, const std::string& strName) {
    ParsedScript parsed = ParseInputScript(strText, strName);
    for (const std::string& e : parsed.errors) std::fprintf(stderr, "input script %s (line skipped)\n", e.c_str());
    if (!parsed.strMore.empty()) std::fprintf(stderr, "input script %s\n", parsed.strMore.c_str());
    if (parsed.events.empty() && parsed.errors.empty())
        std::fprintf(stderr, "input script %s: holds no events; the run gets no scripted input\n", strName.c_str());
    s_script = RunningScript{};
    for (ScriptEvent& ev : parsed.events) (ev.bAtFrame ? s_script.shots : s_script.timed).push_back(std::move(ev));
    s_script.dwStartTime = TimeGetTime();
    s_script.dwStartFrame = GetPresentedFrameCount();
    s_script.strName = strName;
    s_script.bActive = true;
    return int(parsed.nBadLines);
}

void RunDueScriptEvents() {
    if (!s_script.bActive) return;
    const DWORD dwElapsed = TimeGetTime() - s_script.dwStartTime;
    // Injecting never pumps, so events cannot re-enter this loop.
    while (s_script.nNext < s_script.timed.size() && s_script.timed[s_script.nNext].dwWhen <= dwElapsed)
        RunEvent(s_script.timed[s_script.nNext++]);
}

void RunScriptShots(DWORD dwFrame) {
    if (!s_script.bActive) return;
    const DWORD dwRelative = dwFrame - s_script.dwStartFrame;
    for (const ScriptEvent& ev : s_script.shots)
        if (ev.dwWhen == dwRelative) RunEvent(ev);
}
