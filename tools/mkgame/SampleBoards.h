// Pictures of the inlay master's and the smith's boards: the two backgrounds with their
// 88 wells, base or output slot and buttons, the progress bar "Making.bmp" (92 x 10)
// and the hover strip "ManufactureButton.bmp" (99 x 88, one 44-pixel row a button),
// each with one known colour at a known spot, so screenshots can be probed.
#pragma once
#include <vector>

#include "tools/gamekit/PkgWriters.h"
#include "tools/mkgame/SampleToolBar.h"

// Board background size: 433 pixels wide, as far as the boards' offsets reach; the game
// slides the right-hand column (from x 329) 33 pixels left, so the board stands wholly
// on the screen left of the item panel at (400, 10).
constexpr int kSampleBoardWidth = 433, kSampleBoardHeight = 380;

// The menu.pkg entries of the two boards.
std::vector<PkgEntryData> BoardContentEntries();
// The probe spot of a board picture; null for a picture without one.
const ToolBarProbe* FindBoardProbe(const char* pszName);
