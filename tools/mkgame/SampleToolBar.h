// Pictures of the in-game toolbar (strip, bars, portraits, button, description box,
// marker frames) and of the system menu, each sized to the rectangle it is drawn in
// and carrying one known colour at a known spot, so screenshots can be probed.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/gamekit/PkgWriters.h"
#include "tools/gamekit/SampleArt.h"

// A spot of a picture: picture name, picture-relative point and its RGB colour.
using ToolBarProbe = PictureProbe;

// The menu.pkg entries of the toolbar and the system menu.
std::vector<PkgEntryData> ToolBarContentEntries();
// The probe spot of a picture; null for a picture without one.
const ToolBarProbe* FindToolBarProbe(const char* pszName);
