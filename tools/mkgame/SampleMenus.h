// Pictures of the title menu (background and five buttons with their hover twins), the
// talk bars, the modal boxes, the exit box and the talk faces, drawn procedurally.
#pragma once
#include <string_view>
#include <vector>
#include "tools/gamekit/PkgWriters.h"

// The entries these screens (and the credits and the ending) read from the named package ("menu.pkg" or "Head.pkg");
// empty for any other package. The caller merges them with the package's other
// entries and writes the package once.
std::vector<PkgEntryData> MenuContentEntries(std::string_view pkgName);
