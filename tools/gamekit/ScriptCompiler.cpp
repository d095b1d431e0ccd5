#include "tools/gamekit/ScriptCompiler.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "gamedata/ScriptNames.h"
#include "platform/Charset.h"
#include "platform/Stream.h"

namespace {

constexpr int kMaxScene = 199;
constexpr int kMaxEvent = 99;
constexpr int kMaxOperands = 6;
constexpr int kMaxPreconditions = 16;
constexpr int kMaxItems = 8;

// Splits a line into words; a double-quoted word keeps its spaces. False on an
// unterminated quote.
bool SplitWords(const std::string& line, std::vector<std::string>* pWords, std::vector<bool>* pQuoted) {
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        if (line[i] == '#') break;
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool bClosed = false;
            while (i < line.size()) {
                if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                    word.push_back(line[i + 1]);
                    i += 2;
                    continue;
                }
                if (line[i] == '"') {
                    bClosed = true;
                    ++i;
                    break;
                }
                word.push_back(line[i++]);
            }
            if (!bClosed) return false;
            pWords->push_back(word);
            pQuoted->push_back(true);
            continue;
        }
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') word.push_back(line[i++]);
        pWords->push_back(word);
        pQuoted->push_back(false);
    }
    return true;
}

bool ParseInt(const std::string& s, int* pValue) {
    const char* pEnd = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data(), pEnd, *pValue);
    return ec == std::errc() && p == pEnd;
}

class CCompiler {
public:
    explicit CCompiler(std::vector<ScriptSceneModel>* pScenes) : m_scenes(*pScenes) {}

    bool Line(const std::string& line, std::string* pWhy) {
        std::vector<std::string> words;
        std::vector<bool> quoted;
        if (!SplitWords(line, &words, &quoted)) return Why(pWhy, "a quoted text is not closed");
        if (words.empty()) return true;
        if (quoted[0]) return Why(pWhy, "a line must not start with a quoted text");
        const std::string& key = words[0];
        if (key == "scene") return Scene(words, pWhy);
        if (key == "text") return Text(words, quoted, pWhy);
        if (key == "event") return Event(words, pWhy);
        return Command(words, quoted, pWhy);
    }

private:
    static bool Why(std::string* pWhy, const std::string& why) {
        *pWhy = why;
        return false;
    }

    ScriptSceneModel* Current() { return m_nScene < 0 ? nullptr : &m_scenes[size_t(m_nScene)]; }

    bool Scene(const std::vector<std::string>& words, std::string* pWhy) {
        int n = 0;
        if (words.size() != 2 || !ParseInt(words[1], &n) || n < 0 || n > kMaxScene)
            return Why(pWhy, "scene takes one number 0.." + std::to_string(kMaxScene));
        CloseEvent();
        if (size_t(n) >= m_scenes.size()) m_scenes.resize(size_t(n) + 1);
        if (m_scenes[size_t(n)].bHasBlock) return Why(pWhy, "scene " + words[1] + " is named twice");
        m_scenes[size_t(n)].bHasBlock = true;
        m_nScene = n;
        return true;
    }

    bool Text(const std::vector<std::string>& words, const std::vector<bool>& quoted, std::string* pWhy) {
        if (!Current()) return Why(pWhy, "text before any scene");
        int k = 0;
        if (words.size() != 3 || !ParseInt(words[1], &k) || k < 0 || !quoted[2])
            return Why(pWhy, "text takes a number and one quoted text");
        if (k > 10000) return Why(pWhy, "text number " + words[1] + " is too large");
        std::string bytes = Utf8ToText(words[2]);
        if (std::count(bytes.begin(), bytes.end(), '?') != std::count(words[2].begin(), words[2].end(), '?'))
            return Why(pWhy, "the text holds characters that have no GBK form");
        std::vector<std::string>& texts = Current()->texts;
        if (size_t(k) < texts.size() && !texts[size_t(k)].empty()) return Why(pWhy, "text " + words[1] + " is given twice");
        if (size_t(k) >= texts.size()) texts.resize(size_t(k) + 1);
        texts[size_t(k)] = bytes;
        return true;
    }

    bool Event(const std::vector<std::string>& words, std::string* pWhy) {
        ScriptSceneModel* pScene = Current();
        if (!pScene) return Why(pWhy, "event before any scene");
        int e = 0;
        if (words.size() < 2 || !ParseInt(words[1], &e) || e < 0 || e > kMaxEvent)
            return Why(pWhy, "event takes a number 0.." + std::to_string(kMaxEvent));
        for (const SubEvent& sub : pScene->subEvents)
            if (sub.nEvent == e) return Why(pWhy, "event " + words[1] + " is given twice");
        EventRecord record = OpenEventRecord();
        int nPre = 0, nItems = 0;
        enum { kNone, kNeeds, kAfter } list = kNone;
        for (size_t i = 2; i < words.size(); ++i) {
            const std::string& w = words[i];
            if (w == "once") {
                record.nOnce = 1;
                list = kNone;
            } else if (w == "limit") {
                int n = 0;
                if (i + 1 >= words.size() || !ParseInt(words[i + 1], &n)) return Why(pWhy, "limit takes a number");
                record.nRunLimit = n;
                ++i;
                list = kNone;
            } else if (w == "needs") {
                list = kNeeds;
            } else if (w == "after") {
                list = kAfter;
            } else if (list == kNeeds) {
                int n = 0;
                if (!ParseInt(w, &n) || n < 0) return Why(pWhy, "needs lists item numbers, not '" + w + "'");
                if (nItems == kMaxItems) return Why(pWhy, "an event needs at most 8 items");
                record.nNeedItem[nItems++] = n;
            } else if (list == kAfter) {
                const size_t nColon = w.find(':');
                int s = 0, ev = 0;
                if (nColon == std::string::npos || !ParseInt(w.substr(0, nColon), &s) ||
                    !ParseInt(w.substr(nColon + 1), &ev) || s < 0 || ev < 0)
                    return Why(pWhy, "after lists SCENE:EVENT pairs, not '" + w + "'");
                if (nPre == kMaxPreconditions) return Why(pWhy, "an event has at most 16 preconditions");
                record.nPreScene[nPre] = s;
                record.nPreEvent[nPre] = ev;
                ++nPre;
            } else {
                return Why(pWhy, "unknown event word '" + w + "'");
            }
        }
        CloseEvent();
        if (size_t(e) >= pScene->events.size()) pScene->events.resize(size_t(e) + 1, OpenEventRecord());
        pScene->events[size_t(e)] = record;
        pScene->subEvents.push_back(SubEvent{e, int(pScene->commands.size()), int(pScene->commands.size()) - 1});
        m_bInEvent = true;
        return true;
    }

    bool Command(const std::vector<std::string>& words, const std::vector<bool>& quoted, std::string* pWhy) {
        if (!m_bInEvent) return Why(pWhy, "command '" + words[0] + "' outside an event");
        int nCommand = FindScriptCommand(words[0]);
        if (nCommand < 0 && !ParseInt(words[0], &nCommand)) return Why(pWhy, "unknown command '" + words[0] + "'");
        if (words.size() - 1 > size_t(kMaxOperands)) return Why(pWhy, "a command has at most six operands");
        ScriptCommand c{nCommand, 0, 0, 0, 0, 0, 0, -1, -1};
        std::int32_t* pOperands = &c.a1;
        for (size_t i = 1; i < words.size(); ++i) {
            int n = 0;
            if (quoted[i] || !ParseInt(words[i], &n)) return Why(pWhy, "operand '" + words[i] + "' is not a number");
            pOperands[i - 1] = n;
        }
        ScriptSceneModel* pScene = Current();
        pScene->commands.push_back(c);
        pScene->subEvents.back().nLastStep = int(pScene->commands.size()) - 1;
        return true;
    }

    void CloseEvent() { m_bInEvent = false; }

    std::vector<ScriptSceneModel>& m_scenes;
    int m_nScene = -1;
    bool m_bInEvent = false;
};

}  // namespace

bool CompileScriptText(const std::string& strText, std::vector<ScriptSceneModel>* pScenes, std::string* pError) {
    std::vector<ScriptSceneModel> scenes;
    CCompiler compiler(&scenes);
    std::istringstream in(strText);
    std::string line;
    int nLine = 0;
    std::string why;
    while (std::getline(in, line)) {
        ++nLine;
        if (!compiler.Line(line, &why)) {
            if (pError) *pError = "line " + std::to_string(nLine) + ": " + why;
            return false;
        }
    }
    // The game starts an event only when its number is below the scene's count of
    // sub-events: numbers the story leaves out get empty ones, so a high event number
    // (the chest's 70) starts.
    for (ScriptSceneModel& scene : scenes) {
        for (int e = 0; e < int(scene.events.size()); ++e) {
            const bool bGiven = std::any_of(scene.subEvents.begin(), scene.subEvents.end(),
                                            [e](const SubEvent& sub) { return sub.nEvent == e; });
            if (!bGiven) scene.subEvents.push_back(SubEvent{e, 0, -1});
        }
    }
    *pScenes = std::move(scenes);
    return true;
}

bool CompileScriptFile(const std::string& strText, const std::string& strPath, std::string* pError) {
    std::vector<ScriptSceneModel> scenes;
    if (!CompileScriptText(strText, &scenes, pError)) return false;
    return WriteFileAtomic(strPath.c_str(), BuildScriptFile(scenes), pError);
}
