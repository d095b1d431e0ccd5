// A readable text form of the event scripts, compiled into the script file's models.
//
//   # a comment (also after a line's content)
//   scene 0
//   text 0 "UTF-8 text"          (stored as GBK; \" and \\ are the only escapes)
//   event 3 once limit 2 needs 5 7 after 0:1 1:4
//     Talk 100 0                 (a command by name or number, at most six integer
//     HeroWalk 640 520            operands; missing operands are 0)
//   event 4                      (an event without commands runs nothing)
//
// An event's commands follow it in the scene's command list, so each event becomes one
// (event, first step, last step) triple; an empty event gets last step = first - 1.
// Start records of events not named are open (no preconditions, items or limit);
// unused precondition pairs and items are -1.
#pragma once
#include <string>
#include <vector>

#include "tools/gamekit/ScriptWriter.h"

// Compiles the text into one model per scene number (scenes not named have no
// block). False with "line N: why" on the first bad line.
bool CompileScriptText(const std::string& strText, std::vector<ScriptSceneModel>* pScenes, std::string* pError);
// Compiles the text and writes the script file; on an error nothing is written.
bool CompileScriptFile(const std::string& strText, const std::string& strPath, std::string* pError);
