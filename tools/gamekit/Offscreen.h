// A 16-bit (5-6-5) surface in system memory on a screen that need not be shown: the
// back buffer of the dev tools and benchmarks that draw without a window.
#pragma once
#include <memory>

class CDXScreen;
class CDXSurface;

// Null when the surface cannot be made.
std::unique_ptr<CDXSurface> MakeOffscreen565(CDXScreen& screen, int nWidth, int nHeight);
