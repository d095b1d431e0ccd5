// The picture store's parts that the menu screens use: the menu package and the cached
// talk face. Each answers "nothing there" while the store does not exist.
#pragma once

class CPkgFile;

CPkgFile* StoreMenuPackage();
// Draws face picture n at (x, y) on the back buffer through the store's face cache.
void DrawStoreFace(int nFace, int x, int y);
// Deletes the store's cached face sprite and clears its face number.
void ReleaseStoreFace();
