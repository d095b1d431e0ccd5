// The command line of a tool whose one argument is the folder it writes.
#pragma once

// Checks argv: "--help" or "-h" prints pszUsage and gives 0; no argument, more than one,
// or one starting with '-' (a mistyped option is never taken for a folder to write; a
// folder named so is given as ./-name) prints why and the usage on stderr and gives 2.
// Gives -1 when argv[1] names the folder, and the tool goes on.
int CheckFolderArgument(const char* pszTool, const char* pszUsage, int argc, char** argv);
