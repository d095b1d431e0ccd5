// Pictures of the character panels (item, state, skill, task), the settings panel and
// the scene map, each sized to the rectangle it is drawn in and carrying one known
// colour at a known spot, so screenshots can be probed.
#pragma once
#include <vector>

#include "tools/gamekit/PkgWriters.h"
#include "tools/mkgame/SampleToolBar.h"

// The menu.pkg entries of the panels.
std::vector<PkgEntryData> PanelContentEntries();
// The probe spot of a panel picture; null for a picture without one.
const ToolBarProbe* FindPanelProbe(const char* pszName);
