// An observer of the event scripts: every start, every command run and every poll of a
// waiting command. The trace tool and tests install one; the game runs without.
#pragma once
#include <string>

struct ScriptCommand;

// How a command ended: the next command at once, in the next frame, after a wait, or
// the command moved the step (or started another event) itself.
enum class ScriptEnding { Now, Next, Wait, Jump };
const char* ScriptEndingName(ScriptEnding ending);

class CScriptWatcher {
public:
    virtual ~CScriptWatcher() = default;
    // A start of event nEvent of the current scene; nResult is what StartEvent returns.
    // State byte and run counter before and after (-1 when the event lies outside the
    // tables).
    virtual void OnStart(int nEvent, int nResult, int nStateBefore, int nStateAfter, int nRunsBefore,
                         int nRunsAfter) = 0;
    // A command run at step nStep; bSkipped when the skip-talk keys passed it over.
    virtual void OnCommand(int nStep, const ScriptCommand& command, ScriptEnding ending, bool bSkipped) = 0;
    // A poll of the waiting command at step nStep and whether the script continues.
    virtual void OnPoll(int nStep, const ScriptCommand& command, bool bContinued) = 0;
    // A step refused for an operand outside its range, with the line that said so.
    virtual void OnRefusal(int nStep, const ScriptCommand& command, const std::string& strLine) {
        (void)nStep, (void)command, (void)strLine;
    }
};

CScriptWatcher* ScriptWatcher();
// Installs a watcher (null: none); the caller keeps ownership.
void SetScriptWatcher(CScriptWatcher* pWatcher);

// The commands of 1..114 that do nothing by design (23, 48, 79, 84, 103-108).
bool IsNoOpScriptCommand(int nCommand);
// The last number of 1..114 the interpreter met with no handler and not in the no-op
// list (0 none), and forgets it: every number must have one or the other.
int TakeUnhandledScriptCommand();
