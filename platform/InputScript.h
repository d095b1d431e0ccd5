// The headless driver's input script: parsing (see InputScript.cpp for the format).
// Used by the headless backend and the platform tests.
#pragma once
#include <string>
#include <vector>
#include "platform/Base.h"

enum class ScriptAction { Key, Move, LButton, RButton, Close, Activate, Deactivate, Shot };
enum class ScriptState { None, Down, Up, Press, Double };

struct ScriptEvent {
    bool bAtFrame = false;  // "frame <n> shot": runs when frame n is presented
    DWORD dwWhen = 0;       // milliseconds since the script started, or the frame number
    ScriptAction action = ScriptAction::Key;
    ScriptState state = ScriptState::None;
    int nKey = 0;
    int x = 0, y = 0;
    std::string strPath;
    int nLine = 0;
};

struct ParsedScript {
    std::vector<ScriptEvent> events;  // timed events in time order (stable), then frame shots
    std::vector<std::string> errors;  // one message per bad line, for the first CMessageList::kListed
    size_t nBadLines = 0;             // every bad line, listed or not
    std::string strMore;              // the line that counts the bad lines not listed; empty when none
};

ParsedScript ParseInputScript(const std::string& strText, const std::string& strName);
// A key as the script writes it: a letter or digit, a name (ESC, RETURN, F1...), or a
// virtual-key number of two or more digits (decimal or 0x hex). 0 when unknown.
int ParseKeyName(const std::string& strKey);
