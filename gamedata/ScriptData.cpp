#include "gamedata/ScriptData.h"

#include "platform/Stream.h"
#include <utility>

namespace {

// More scenes or entries than any game has mark a damaged file.
constexpr std::int32_t kMaxScenes = 100000;

template <class T>
const T* At(const std::vector<std::vector<T>>& table, int nScene, int nIndex) {
    if (nScene < 0 || size_t(nScene) >= table.size()) return nullptr;
    const std::vector<T>& row = table[size_t(nScene)];
    if (nIndex < 0 || size_t(nIndex) >= row.size()) return nullptr;
    return &row[size_t(nIndex)];
}

template <class T>
int CountOf(const std::vector<std::vector<T>>& table, int nScene) {
    if (nScene < 0 || size_t(nScene) >= table.size()) return 0;
    return int(table[size_t(nScene)].size());
}

}  // namespace

bool CScriptData::Fail(CByteReader& reader, const std::string& why) {
    if (!reader.Failed()) reader.Fail(why);
    m_strError = reader.Error();
    // A count of part 1 that ended it early moved the start of part 2: it is named too.
    if (!m_strPartTwoStart.empty()) m_strError += " (the scripts start at offset " + std::to_string(m_nPartTwoStart) +
                                                  " because " + m_strPartTwoStart + ")";
    return false;
}

bool CScriptData::LoadEventTables(CByteReader& reader) {
    reader.SetContext("event tables");
    std::int32_t nTables = 0;
    if (!reader.ReadI32(&nTables)) return Fail(reader, "no table count");
    m_events.clear();
    m_nSceneTables = 0;
    m_strPartTwoStart.clear();
    if (nTables < 1) {
        NotePartTwoStart(reader, "the table count " + std::to_string(nTables) + " at offset 0 lists no event tables");
        return true;
    }
    if (nTables > kMaxScenes || !reader.CheckCount(nTables, 4, "scene offsets")) return Fail(reader, "scene count");
    m_nSceneTables = nTables;
    m_events.resize(size_t(nTables));
    for (std::int32_t i = 0; i < nTables; ++i) {
        reader.SetRecord(i);
        std::int32_t nOffset = 0;
        if (!reader.Seek(4 + 4 * size_t(i)) || !reader.ReadI32(&nOffset)) return Fail(reader, "scene offset");
        if (nOffset == 0) continue;
        std::int32_t nCount = 0;
        if (nOffset < 0 || !reader.Seek(size_t(nOffset)) || !reader.ReadI32(&nCount)) return Fail(reader, "event table");
        if (nCount < 0)
            return Fail(reader, "event count " + std::to_string(nCount) + " at offset " + std::to_string(nOffset) +
                                    " is negative");
        if (nCount == 0) {
            if (i == nTables - 1)
                NotePartTwoStart(reader, "the last table's event count 0 at offset " + std::to_string(nOffset) +
                                             " lists no events");
            continue;
        }
        if (!reader.CheckCount(nCount, sizeof(EventRecord), "event records")) return Fail(reader, "event records");
        std::vector<EventRecord>& events = m_events[size_t(i)];
        events.resize(size_t(nCount));
        for (EventRecord& e : events) {
            std::int32_t* pWords = &e.nLead;
            for (int w = 0; w < 43; ++w) reader.ReadI32(pWords + w);
        }
        if (reader.Failed()) return Fail(reader, "event records");
    }
    return true;
}

bool CScriptData::LoadScripts(CByteReader& reader) {
    reader.SetContext("scene scripts");
    m_bErrorMark = false;
    const size_t nBase = reader.Position();
    std::int32_t nStored = 0;
    if (!reader.ReadI32(&nStored)) return Fail(reader, "no script count");
    if (nStored == -1) {
        m_bErrorMark = true;
        return Fail(reader, "Wrong Script data");
    }
    if (nStored < -1 || nStored >= kMaxScenes)
        return Fail(reader, "script count " + std::to_string(nStored) + " at offset " + std::to_string(nBase) +
                                " is outside 0.." + std::to_string(kMaxScenes - 1));
    const std::int32_t nScripts = nStored + 1;
    if (!reader.CheckCount(nScripts, 4, "script offsets")) return Fail(reader, "script offsets");
    m_nSceneScripts = nScripts;
    m_subEvents.assign(size_t(nScripts), {});
    m_commands.assign(size_t(nScripts), {});
    m_texts.assign(size_t(nScripts), {});
    for (std::int32_t i = 0; i < nScripts; ++i) {
        reader.SetRecord(i);
        std::int32_t nOffset = 0;
        if (!reader.Seek(nBase + 4 + 4 * size_t(i)) || !reader.ReadI32(&nOffset)) return Fail(reader, "script offset");
        if (nOffset == 0) continue;
        const size_t nBlock = nBase + size_t(std::uint32_t(nOffset));
        std::int32_t nSubs = 0, nCommands = 0, nTexts = 0;
        if (nOffset < 0 || !reader.Seek(nBlock) || !reader.ReadI32(&nSubs) || !reader.ReadI32(&nCommands) ||
            !reader.ReadI32(&nTexts))
            return Fail(reader, "script block");
        if (!reader.CheckCount(nSubs, sizeof(SubEvent), "sub-events")) return Fail(reader, "sub-events");
        auto& subs = m_subEvents[size_t(i)];
        subs.resize(size_t(nSubs));
        for (SubEvent& s : subs) {
            reader.ReadI32(&s.nEvent);
            reader.ReadI32(&s.nFirstStep);
            reader.ReadI32(&s.nLastStep);
        }
        if (!reader.CheckCount(nCommands, 28, "commands")) return Fail(reader, "commands");
        auto& commands = m_commands[size_t(i)];
        commands.resize(size_t(nCommands));
        for (ScriptCommand& c : commands) {
            std::int32_t* pWords = &c.nCommand;
            for (int w = 0; w < 7; ++w) reader.ReadI32(pWords + w);
            // The file holds no a7 and a8: they read as absent (-1).
            c.a7 = c.a8 = -1;
        }
        // Past the commands: one word not read, then the text entries.
        if (!reader.Skip(4) || !reader.CheckCount(nTexts, 12, "text entries")) return Fail(reader, "text entries");
        const size_t nEntries = reader.Position();
        auto& texts = m_texts[size_t(i)];
        texts.resize(size_t(nTexts));
        for (std::int32_t k = 0; k < nTexts; ++k) {
            const std::string strText = "text " + std::to_string(k) + ": ";
            const size_t nEntry = nEntries + 12 * size_t(k);
            std::int32_t nTextOffset = 0, nLength = 0;
            if (!reader.Seek(nEntry) || !reader.ReadI32(&nTextOffset) || !reader.ReadI32(&nLength))
                return Fail(reader, strText + "entry");
            if (nLength <= 0) continue;
            // The offset counts from the block start and must land inside the file.
            if (nTextOffset < 0 || nBlock + size_t(nTextOffset) > reader.Size())
                return Fail(reader, strText + "text offset " + std::to_string(nTextOffset) + " at offset " +
                                        std::to_string(nEntry) + " lies outside the file (the block starts at " +
                                        std::to_string(nBlock) + ", the file has " + std::to_string(reader.Size()) +
                                        " bytes)");
            // A text is read as a line: at most its stored length, ending after a line feed.
            if (!reader.Seek(nBlock + size_t(nTextOffset))) return Fail(reader, strText + "text offset");
            const size_t nTake = std::min<size_t>(size_t(nLength), reader.Remaining());
            std::string text;
            if (!reader.ReadText(nTake, &text)) return Fail(reader, strText + "text");
            if (size_t nFeed = text.find('\n'); nFeed != std::string::npos) text.resize(nFeed + 1);
            if (size_t nZero = text.find('\0'); nZero != std::string::npos) text.resize(nZero);
            texts[size_t(k)] = std::move(text);
        }
        if (reader.Failed()) return Fail(reader, "script block");
    }
    return CheckEveryTableHasScripts(reader, nBase, nStored);
}

void CScriptData::NotePartTwoStart(const CByteReader& reader, const std::string& strWhy) {
    m_nPartTwoStart = reader.Position();
    m_strPartTwoStart = strWhy;
}

bool CScriptData::CheckEveryTableHasScripts(CByteReader& reader, size_t nBase, std::int32_t nStored) {
    // A scene whose events have no script block can never run them: a script count cut
    // down (or an event table count lost) leaves the story unable to go on.
    for (int i = m_nSceneScripts; i < m_nSceneTables; ++i) {
        if (m_events[size_t(i)].empty()) continue;
        reader.SetRecord(-1);
        return Fail(reader, "script count " + std::to_string(nStored) + " at offset " + std::to_string(nBase) + " gives " +
                                std::to_string(m_nSceneScripts) + " scene scripts, but scene " + std::to_string(i) +
                                " has events");
    }
    // Part 1 cut short by its table count: scripts whose events were never read.
    if (m_nSceneTables > 0 || m_strPartTwoStart.empty()) return true;
    for (int i = 0; i < m_nSceneScripts; ++i) {
        if (m_subEvents[size_t(i)].empty()) continue;
        reader.SetRecord(-1);
        return Fail(reader, "scene " + std::to_string(i) + " has scripts but no events to start them");
    }
    return true;
}

int CScriptData::GetEventCount(int nScene) const { return CountOf(m_events, nScene); }
int CScriptData::GetSubEventCount(int nScene) const { return CountOf(m_subEvents, nScene); }
int CScriptData::GetCommandCount(int nScene) const { return CountOf(m_commands, nScene); }
int CScriptData::GetTextCount(int nScene) const { return CountOf(m_texts, nScene); }
const EventRecord* CScriptData::GetEvent(int nScene, int nEvent) const { return At(m_events, nScene, nEvent); }
const SubEvent* CScriptData::GetSubEvent(int nScene, int nIndex) const { return At(m_subEvents, nScene, nIndex); }

const SubEvent* CScriptData::FindSubEvent(int nScene, int nEvent) const {
    for (int i = 0; i < GetSubEventCount(nScene); ++i) {
        const SubEvent* pSub = GetSubEvent(nScene, i);
        if (pSub && pSub->nEvent == nEvent) return pSub;
    }
    return nullptr;
}
const ScriptCommand* CScriptData::GetCommand(int nScene, int nStep) const { return At(m_commands, nScene, nStep); }
ScriptCommand* CScriptData::GetCommand(int nScene, int nStep) {
    return const_cast<ScriptCommand*>(std::as_const(*this).GetCommand(nScene, nStep));
}
const char* CScriptData::GetText(int nScene, int nIndex) const {
    const std::string* p = At(m_texts, nScene, nIndex);
    return p ? p->c_str() : nullptr;
}
