// Input script of the headless driver (GAME_INPUT=path). One event a line; '#' starts a
// comment; blank lines are ignored. Times are milliseconds of the virtual clock since
// the run started (it starts at 0 and advances GAME_FRAME_MS per presented frame and
// 1 ms per idle poll), and an event is injected once the clock has reached its time.
// Lines may come in any order; events with equal times keep their order.
//
//   <ms> key down|up|press <key>    key: a letter or digit (A, 7), a name (ESC, TAB,
//                                   RETURN or ENTER, SPACE, BACK, SHIFT, CONTROL or CTRL,
//                                   MENU or ALT, LEFT, RIGHT, UP, DOWN, HOME, END, PRIOR
//                                   or PAGEUP, NEXT or PAGEDOWN, INSERT, DELETE, PAUSE,
//                                   F1..F12, MINUS, PLUS, COMMA, PERIOD, SLASH, SEMICOLON,
//                                   QUOTE, BACKQUOTE, LBRACKET, RBRACKET, BACKSLASH), or a
//                                   virtual-key number of two or more digits (27, 0x1B).
//                                   "press" is a down and an up at the same time.
//   <ms> move <x> <y>               cursor to client position (x, y)
//   <ms> lbutton down|up|dbl <x> <y>   left button at (x, y); "dbl" is the second press
//                                   of a double click (down, up, dbl, up)
//   <ms> rbutton down|up|dbl <x> <y>
//                                   x and y: whole numbers from -32768 to 32767
//   <ms> activate | deactivate      the window gains or loses the focus
//   <ms> close                      the window manager asks the window to close
//   <ms> shot <file.png>            screenshot of the last presented frame
//   frame <n> shot <file.png>       screenshot when frame n (counted from 1) is presented
//
// Relative screenshot paths are taken against GAME_SHOT_DIR when it is set, else the
// working folder. A bad line is reported on stderr with its number and skipped; past the
// first twenty, one line counts the rest. A byte-order mark before the first line is
// skipped.
#include "platform/InputScript.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <sstream>

#include "platform/Strings.h"
#include "platform/WindowBackend.h"

namespace {

struct KeyName {
    const char* pszName;
    int nKey;
};

const KeyName kKeyNames[] = {
    {"ESC", VK_ESCAPE},      {"ESCAPE", VK_ESCAPE},     {"TAB", VK_TAB},
    {"RETURN", VK_RETURN},   {"ENTER", VK_RETURN},      {"SPACE", VK_SPACE},
    {"BACK", VK_BACK},       {"BACKSPACE", VK_BACK},    {"SHIFT", VK_SHIFT},
    {"CONTROL", VK_CONTROL}, {"CTRL", VK_CONTROL},      {"MENU", VK_MENU},
    {"ALT", VK_MENU},        {"LEFT", VK_LEFT},         {"RIGHT", VK_RIGHT},
    {"UP", VK_UP},           {"DOWN", VK_DOWN},         {"HOME", VK_HOME},
    {"END", VK_END},         {"PRIOR", VK_PRIOR},       {"PAGEUP", VK_PRIOR},
    {"NEXT", VK_NEXT},       {"PAGEDOWN", VK_NEXT},     {"INSERT", VK_INSERT},
    {"DELETE", VK_DELETE},   {"PAUSE", VK_PAUSE},       {"CAPITAL", VK_CAPITAL},
    {"MINUS", VK_OEM_MINUS}, {"PLUS", VK_OEM_PLUS},     {"COMMA", VK_OEM_COMMA},
    {"PERIOD", VK_OEM_PERIOD}, {"SLASH", VK_OEM_2},     {"SEMICOLON", VK_OEM_1},
    {"QUOTE", VK_OEM_7},     {"BACKQUOTE", VK_OEM_3},   {"LBRACKET", VK_OEM_4},
    {"RBRACKET", VK_OEM_6},  {"BACKSLASH", VK_OEM_5},
};

std::string Upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

template <typename T>
bool ParseNumber(const std::string& s, T* pOut, int nBase = 10) {
    if (s.empty()) return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), *pOut, nBase);
    return ec == std::errc() && p == s.data() + s.size();
}

// Every whitespace character separates tokens alike, form feed and vertical tab included.
bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::vector<std::string> SplitTokens(const std::string& s) {
    std::vector<std::string> tok;
    for (size_t i = 0; i < s.size();) {
        while (i < s.size() && IsSpace(s[i])) ++i;
        const size_t nStart = i;
        while (i < s.size() && !IsSpace(s[i])) ++i;
        if (i > nStart) tok.push_back(s.substr(nStart, i - nStart));
    }
    return tok;
}

// Whether a token is written as digits only, so a failed number is one out of range.
bool IsDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool ParseCoord(const std::string& s, int* pOut) {
    return ParseNumber(s, pOut) && *pOut >= -32768 && *pOut <= 32767;
}

// Parses one line without its comment; false with a reason for a bad line.
bool ParseLine(const std::string& strLine, ScriptEvent* pEv, std::string* pWhy) {
    const std::vector<std::string> tok = SplitTokens(strLine);
    if (tok.empty()) return *pWhy = "the line holds no event", false;
    auto rest = [&](size_t nTok) {  // the line from token nTok on (a path may hold spaces)
        size_t pos = 0;
        for (size_t i = 0; i < nTok; ++i) {
            pos = strLine.find(tok[i], pos) + tok[i].size();
        }
        size_t a = pos, b = strLine.size();
        while (a < b && IsSpace(strLine[a])) ++a;
        while (b > a && IsSpace(strLine[b - 1])) --b;
        return strLine.substr(a, b - a);
    };

    if (Upper(tok[0]) == "FRAME") {
        DWORD n = 0;
        if (tok.size() < 4 || Upper(tok[2]) != "SHOT") return *pWhy = "expected 'frame <n> shot <file.png>'", false;
        if (!ParseNumber(tok[1], &n) && IsDigits(tok[1]))
            return *pWhy = "frame number " + QuoteText(tok[1]) + " is out of range (1 to 4294967295)", false;
        if (!ParseNumber(tok[1], &n) || n == 0) return *pWhy = "frame number must be 1 or more", false;
        pEv->bAtFrame = true;
        pEv->dwWhen = n;
        pEv->action = ScriptAction::Shot;
        pEv->strPath = rest(3);
        return true;
    }
    if (!ParseNumber(tok[0], &pEv->dwWhen) && IsDigits(tok[0]))
        return *pWhy = "time " + QuoteText(tok[0]) + " is out of range (0 to 4294967295 ms)", false;
    if (!ParseNumber(tok[0], &pEv->dwWhen)) return *pWhy = "a line starts with a time in milliseconds or 'frame'", false;
    if (tok.size() < 2) return *pWhy = "missing event after the time", false;
    const std::string strCmd = Upper(tok[1]);
    auto needs = [&](size_t n, const char* pszUsage) {
        if (tok.size() == n) return true;
        *pWhy = std::string("expected '<ms> ") + pszUsage + "'";
        return false;
    };
    if (strCmd == "KEY") {
        if (!needs(4, "key down|up|press <key>")) return false;
        const std::string strState = Upper(tok[2]);
        if (strState == "DOWN") pEv->state = ScriptState::Down;
        else if (strState == "UP") pEv->state = ScriptState::Up;
        else if (strState == "PRESS") pEv->state = ScriptState::Press;
        else return *pWhy = "key state must be down, up or press", false;
        pEv->nKey = ParseKeyName(tok[3]);
        if (!pEv->nKey) return *pWhy = "unknown key " + QuoteText(tok[3]), false;
        pEv->action = ScriptAction::Key;
        return true;
    }
    if (strCmd == "MOVE") {
        if (!needs(4, "move <x> <y>")) return false;
        if (!ParseCoord(tok[2], &pEv->x) || !ParseCoord(tok[3], &pEv->y))
            return *pWhy = "coordinates must be whole numbers from -32768 to 32767", false;
        pEv->action = ScriptAction::Move;
        return true;
    }
    if (strCmd == "LBUTTON" || strCmd == "RBUTTON") {
        if (!needs(5, "lbutton|rbutton down|up|dbl <x> <y>")) return false;
        const std::string strState = Upper(tok[2]);
        if (strState == "DOWN") pEv->state = ScriptState::Down;
        else if (strState == "UP") pEv->state = ScriptState::Up;
        else if (strState == "DBL") pEv->state = ScriptState::Double;
        else return *pWhy = "button state must be down, up or dbl", false;
        if (!ParseCoord(tok[3], &pEv->x) || !ParseCoord(tok[4], &pEv->y))
            return *pWhy = "coordinates must be whole numbers from -32768 to 32767", false;
        pEv->action = strCmd == "LBUTTON" ? ScriptAction::LButton : ScriptAction::RButton;
        return true;
    }
    if (strCmd == "CLOSE" || strCmd == "ACTIVATE" || strCmd == "DEACTIVATE") {
        if (!needs(2, "close|activate|deactivate")) return false;
        pEv->action = strCmd == "CLOSE" ? ScriptAction::Close
                      : strCmd == "ACTIVATE" ? ScriptAction::Activate : ScriptAction::Deactivate;
        return true;
    }
    if (strCmd == "SHOT") {
        if (tok.size() < 3) return *pWhy = "expected '<ms> shot <file.png>'", false;
        pEv->action = ScriptAction::Shot;
        pEv->strPath = rest(2);
        return true;
    }
    return *pWhy = "unknown event " + QuoteText(tok[1]), false;
}

}  // namespace

int ParseKeyName(const std::string& strKey) {
    if (strKey.size() == 1 && std::isalnum(static_cast<unsigned char>(strKey[0])))
        return std::toupper(static_cast<unsigned char>(strKey[0]));
    int n = 0;
    if (strKey.size() > 2 && strKey[0] == '0' && (strKey[1] == 'x' || strKey[1] == 'X')) {
        if (ParseNumber(strKey.substr(2), &n, 16) && n > 0 && n < 255) return n;
        return 0;
    }
    if (std::all_of(strKey.begin(), strKey.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        if (ParseNumber(strKey, &n) && n > 0 && n < 255) return n;
        return 0;
    }
    const std::string strUpper = Upper(strKey);
    if (strUpper.size() >= 2 && strUpper[0] == 'F' && ParseNumber(strUpper.substr(1), &n) && n >= 1 && n <= 12)
        return VK_F1 + n - 1;
    for (const KeyName& k : kKeyNames)
        if (strUpper == k.pszName) return k.nKey;
    return 0;
}

ParsedScript ParseInputScript(const std::string& strText, const std::string& strName) {
    ParsedScript out;
    std::vector<ScriptEvent> shots;
    std::istringstream in(std::string(WithoutByteOrderMark(strText)));
    std::string strLine;
    CMessageList errors;
    for (int nLine = 1; std::getline(in, strLine); ++nLine) {
        std::string strBody = strLine.substr(0, strLine.find('#'));
        if (SplitTokens(strBody).empty()) continue;
        ScriptEvent ev;
        ev.nLine = nLine;
        std::string strWhy;
        if (!ParseLine(strBody, &ev, &strWhy)) {
            if (!strLine.empty() && strLine.back() == '\r') strLine.pop_back();
            errors.Add(errors.Full() ? std::string()
                                     : strName + " line " + std::to_string(nLine) + ": " + strWhy + ": " +
                                           QuoteText(strLine));
            continue;
        }
        (ev.bAtFrame ? shots : out.events).push_back(ev);
    }
    out.errors = errors.Listed();
    out.nBadLines = errors.Count();
    out.strMore = errors.MoreLine(strName, "bad lines skipped");
    std::stable_sort(out.events.begin(), out.events.end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.dwWhen < b.dwWhen; });
    out.events.insert(out.events.end(), shots.begin(), shots.end());
    return out;
}
