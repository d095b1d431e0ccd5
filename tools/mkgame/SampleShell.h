// The sample game's files that start-up opens and no other content area writes.
#pragma once
#include <string>

// Writes "data\script.dat" with no events (the event scripts are the story's content
// and come with it) and creates the "save" folder. False with a message on stderr.
bool WriteShellContent(const std::string& gameDir);
