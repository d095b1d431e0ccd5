// The event scripts of the whole game, read once from "data\script.dat": per scene the
// start records of its events, and per scene a script block with the sub-event table,
// the commands and the talk texts.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class CByteReader;

// When an event may start: preconditions, required items, run limit and once flag.
struct EventRecord {
    std::int32_t nLead;           // not used by the start rules
    std::int32_t nPreScene[16];   // precondition pair k: (scene k, event k)
    std::int32_t nPreEvent[16];
    std::int32_t nNeedItem[8];    // -1 for an empty entry
    std::int32_t nRunLimit;       // -1 for none
    std::int32_t nOnce;           // 1: may start only while the event is new
};
static_assert(sizeof(EventRecord) == 172, "an event record is 43 words");

// One script command: its number and operands a1 to a8. The file stores the number and
// a1 to a6; a7 and a8 read -1 (absent).
struct ScriptCommand {
    std::int32_t nCommand;
    std::int32_t a1, a2, a3, a4, a5, a6, a7, a8;
};
static_assert(sizeof(ScriptCommand) == 36, "a script command is nine words");

// A sub-event: the steps first..last of the scene's command list that run event nEvent.
struct SubEvent {
    std::int32_t nEvent;
    std::int32_t nFirstStep;
    std::int32_t nLastStep;
};

class CScriptData {
public:
    CScriptData() = default;
    virtual ~CScriptData() = default;

    // Reads the event tables (first part of the file); leaves the reader where the
    // second part starts.
    bool LoadEventTables(CByteReader& reader);
    // Reads the scene scripts from the reader's position. A stored count of -1 is the
    // file's own error mark ("Wrong Script data").
    bool LoadScripts(CByteReader& reader);

    int GetSceneTableCount() const { return m_nSceneTables; }
    int GetSceneScriptCount() const { return m_nSceneScripts; }
    int GetEventCount(int nScene) const;
    int GetSubEventCount(int nScene) const;
    int GetCommandCount(int nScene) const;
    int GetTextCount(int nScene) const;
    // Null when the scene or index lies outside what the file holds.
    const EventRecord* GetEvent(int nScene, int nEvent) const;
    const SubEvent* GetSubEvent(int nScene, int nIndex) const;
    // The scene's first sub-event entry that holds event nEvent's steps; null when none.
    const SubEvent* FindSubEvent(int nScene, int nEvent) const;
    const ScriptCommand* GetCommand(int nScene, int nStep) const;
    // The same command for the interpreter, which writes raised operands back.
    ScriptCommand* GetCommand(int nScene, int nStep);
    // The zero-terminated text bytes; null outside the table.
    const char* GetText(int nScene, int nIndex) const;
    // Why the last load failed.
    const std::string& GetError() const { return m_strError; }
    // True when the last LoadScripts met the file's own error mark.
    bool HasErrorMark() const { return m_bErrorMark; }

private:
    bool Fail(CByteReader& reader, const std::string& why);
    // Remembers that part 1 ended where the reader stands because of a count.
    void NotePartTwoStart(const CByteReader& reader, const std::string& strWhy);
    // Fails when a scene has events but no scripts, or scripts but no events.
    bool CheckEveryTableHasScripts(CByteReader& reader, size_t nBase, std::int32_t nStored);

    int m_nSceneScripts = 0;
    int m_nSceneTables = 0;
    std::vector<std::vector<EventRecord>> m_events;      // [scene table][event]
    std::vector<std::vector<SubEvent>> m_subEvents;      // [scene script][index]
    std::vector<std::vector<ScriptCommand>> m_commands;  // [scene script][step]
    std::vector<std::vector<std::string>> m_texts;       // [scene script][index]
    std::string m_strError;
    bool m_bErrorMark = false;
    // Why part 2 starts where it does, when a count of part 1 decided it; empty else.
    std::string m_strPartTwoStart;
    size_t m_nPartTwoStart = 0;
};
