// Stand-in pictures for the library panels (lan/): one menu-package entry per file they
// name, at the largest size any of their tables asks for.
#pragma once
#include <vector>

#include "tools/gamekit/PkgWriters.h"

std::vector<PkgEntryData> LanStandInEntries();
