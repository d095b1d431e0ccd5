// The position record of everything placed on a map: the plain objects of the map
// file's lists and, embedded, every actor. It shows one frame of a scene picture and
// can be sorted by depth, drawn and hit-tested by the current scene (pScene).
#pragma once
#include <cstdint>

#include "platform/Base.h"

class CScenePic;
struct MapObjectRecord;

// Kinds of the actors; 0 to 10 are map objects whose footprints block cells.
constexpr int kKindNpc = 12;
constexpr int kKindFollower = 13;
constexpr int kKindHero = 14;
constexpr int kKindPartyHero = 15;

class CMapObject {
public:
    // Takes the fields of an object record of the map file.
    void Read(const MapObjectRecord& record);
    // Places the rectangle so that the footprint origin's centre lies on ptCellPos.
    void UpdateRect();
    // Whether the rectangle, moved by the picture's draw offset, meets the screen.
    bool IsOnScreen() const;
    void Draw() const;
    void DrawSmall() const;
    void DrawAtRect() const;
    // Whether an opaque pixel of the object's frame lies under the map point.
    bool HitTest(int x, int y) const;
    // Depth order against another object: 1 draws this after the other, 0 keeps the
    // order, -1 when their footprints overlap (the sort stops there).
    int CompareDepth(const CMapObject& other) const;
    // The object's picture in the current scene; null when the index has no picture.
    CScenePic* Picture() const;
    // The picture's footprint in cells; 1 x 1 when the picture is missing.
    SIZE Footprint() const;

    std::int32_t nLead = -1;
    std::int32_t nKind = 0;
    std::int32_t nId = 0;
    std::int32_t nPicture = 2;
    std::int32_t nFrame = 0;
    RECT rcObject;
    POINT ptCellPos;
    POINT ptObject;
    std::int32_t nSpare = 0;
    char szName[32] = {};
};
