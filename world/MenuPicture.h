// Pictures of the menu package for the map's own overlays (banners, ground items).
#pragma once
#include <memory>

class CDXSurface;

// A picture of the menu package as a surface keyed by its corner; null when absent.
std::unique_ptr<CDXSurface> LoadMenuPicture(const char* pszName);
