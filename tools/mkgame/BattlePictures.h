// The battle screen's pictures: the field, the labelled command ring and its lit
// buttons, the status display, the list panels with their labelled tabs and scroll
// buttons, the escape question and the result and message boxes.
#pragma once
#include <vector>

#include "tools/gamekit/PkgWriters.h"

// "001.bmp" and the battle screen's pictures for menu.pkg.
std::vector<PkgEntryData> BattleMenuEntries();
