// The sample story's pictures in the menu package: the picture of the bamboo grove
// the herbalist shows ("Backbmp01.bmp", 800 x 600) and the five heads shown above
// characters ("UpHead.bmp", five frames of 40 x 40).
#pragma once
#include <vector>

#include "tools/gamekit/PkgWriters.h"

std::vector<PkgEntryData> StoryPictureEntries();
