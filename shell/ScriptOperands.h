// The operand ranges of the script commands: one row a command, one rule an operand.
// A step whose operand lies outside what the game can hold (a map position past the
// largest map, a scene, event, item or text the tables do not have, a duration of
// years) is refused: one line naming script.dat's scene, event and step, the command
// and the operand goes to the file reporter, and the step is skipped (a battle's step
// ends its event instead, so the story does not go on as if it were won).
#pragma once
#include <string>

struct ScriptCommand;

// Where a step stands: the scene of the command list, the running event and the step.
struct ScriptPlace {
    int nScene = -1, nEvent = -1, nStep = -1;
};

// Why the command's operands are refused, measured by the rules of command nRow (the
// command's own number unless a command reads another step's operands as its own);
// empty when every operand is inside its range.
std::string CheckScriptOperands(const ScriptCommand& command, int nRow);
// The refusal line of the step at the place, checked by the rules of command nRow:
// "script.dat: scene S, event E, step N: ...", and what becomes of the step.
std::string ScriptRefusalLine(const ScriptPlace& place, const ScriptCommand& command, int nRow,
                              const std::string& strWhy);
// Whether a refused step of the command ends its event instead of being skipped.
bool RefusalEndsEvent(int nCommand);
