// One picture of a scene: a horizontal strip of frames, loaded on its first draw from
// the loose picture folders or the scene packages, and released after a second
// without a draw. Pictures 0 and 1 of every scene are built in and come from the
// program's own resource pictures.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Base.h"

class CDXSprite;
class CDXSurface;
struct ScenePicRecord;

// Milliseconds without a draw after which a picture's surface is released.
constexpr DWORD kPictureIdleMs = 1000;

class CScenePic {
public:
    CScenePic();
    ~CScenePic();
    CScenePic(const CScenePic&) = delete;
    CScenePic& operator=(const CScenePic&) = delete;

    // Takes the fields of a picture record of the map file.
    void Read(const ScenePicRecord& record);
    // A built-in picture drawn from the resource picture of that name.
    void InitBuiltIn(const char* pszName, int nFrameWidth, int nFrameHeight, POINT ptFootprintOffset, int nLayer,
                     int nFrames, POINT ptDrawOffset);

    // Loads the surface: from "pic\" or "pic-inside\" (by the scene number), or from
    // "Scene.pkg" / "SceneInside.pkg" with the cursor picture standing in for a missing
    // entry. False when there is no name or nothing loads; a picture file or entry that
    // is missing or damaged is said once and the picture is not tried again.
    bool LoadSurface();
    bool IsLoaded() const { return pSurface != nullptr; }
    // Blits frame nFrame keyed onto the back buffer at (x, y), loading on demand.
    void DrawFrame(int x, int y, int nFrame);
    // The same, but opaque unless the picture's top-left pixel is pure blue.
    void DrawSmall(int x, int y, int nFrame);
    // Draws the sprite form only; pictures built by the game have none.
    void DrawPlain(CDXSurface* pDest, int x, int y, int nFrame);
    // Whether the pixel at (x, y) of frame nFrame, less the draw offset, is opaque.
    bool HitTestPixel(int x, int y, int nFrame);
    // Releases the surface when it was not drawn for more than a second.
    void ReleaseIfIdle();
    // Frames as drawn: a count below 1 draws as one frame.
    int DrawnFrameCount() const { return nFrameCount < 1 ? 1 : nFrameCount; }

    std::int32_t nKept8 = 0, nKept9 = 0;
    DWORD timeIdleTest = 0;
    DWORD timeDrawn = 0;
    std::int32_t bFromPackage = 0;
    std::unique_ptr<CDXSurface> pSurface;
    std::int32_t nLayer = 0;
    POINT ptDrawOffset;
    std::int32_t nUseCount = 0;
    std::string strName;
    std::int32_t nFrameCount = 1;
    SIZE szFrame;
    SIZE szFootprint{1, 1};
    POINT ptFootprintOffset;
    std::unique_ptr<CDXSprite> pSprite;
    // Built-in pictures load from the program's resources by name.
    bool bBuiltIn = false;
    // Set when the picture did not load: it is not tried again.
    bool bLoadFailed = false;

private:
    // The source rectangle of a frame; false when the frame lies outside the strip.
    bool FrameRect(int nFrame, RECT* pRect) const;
};
