// The goods' pictures: every item of the sample's item table drawn as what it is (a
// blade, a bottle, a stone, a roll of cloth, ...), recognised from its name and kind.
// Each item gets its bag icon "DJ%03d.bmp" (sized to its bag shape, on a tile that
// shows the cells it takes), the picture the cursor carries "Item-%03d.bmp" and its
// two ground frames "DWP%03d.bmp".
#pragma once
#include <vector>

#include "tools/gamekit/GameModel.h"
#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/PkgWriters.h"

// The size of the bag icon of a shape code (0 one cell, 1 two by two, 2 three rows by
// two, 3 two rows by one), which covers the cells from the panels' icon offsets.
void GoodsIconSize(int nShape, int* pWidth, int* pHeight);
// The colour the item's picture is mostly drawn in (its blade, its bottle, its stone).
std::uint32_t GoodColour(const ItemModel& item);
// The item drawn into the rectangle (x, y, w, h) of the picture, without ground.
void PaintGood(PictureRgba& pic, const ItemModel& item, int x, int y, int w, int h);
// The menu.pkg entries of every item of the model.
std::vector<PkgEntryData> GoodsPictureEntries(const GameModel& model);
