// Pictures of the save and load panels: a background whose wells show every row of
// the list, full or empty (the load panel's layout: the text left, the picture right),
// the save panel's frame drawn over it with the save layout (the picture left), the
// scroll track and its buttons, and the delete button.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/PkgWriters.h"

// The well a row's picture is drawn into, and the well of its date and clock.
constexpr std::uint32_t kSaveRowPictureWell = Argb(255, 16, 16, 24);
constexpr std::uint32_t kSaveRowTextWell = Argb(255, 28, 34, 60);

// The menu.pkg entries of the two panels.
std::vector<PkgEntryData> SaveLoadContentEntries();
