// The names of the script commands 1 to 114, shared by the script tools and the trace.
#pragma once
#include <string_view>

constexpr int kScriptCommandFirst = 1;
constexpr int kScriptCommandLast = 114;

// The command's name; "?" for numbers outside 1..114.
const char* ScriptCommandName(int nCommand);
// The number of the command with that name (the several "Nop" rows give 23); -1 when
// no command has it.
int FindScriptCommand(std::string_view name);
