// An item or a sum of money lying on a cell of the current scene: a two-frame picture
// that blinks (steady on its second frame while under the cursor) and a name label.
// The scene keeps them in its ground-item slots and saves them with the game.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/Base.h"

class CByteWriter;
class CDXSurface;
class CScene;

constexpr DWORD kGroundBlinkOffMs = 1500;
constexpr DWORD kGroundBlinkOnMs = 100;
constexpr int kGroundLabelSize = 256;
// String-table entry of the money label ("%d" and the money word).
constexpr UINT kMoneyLabelString = 66;

class CGroundItem {
public:
    CGroundItem();
    virtual ~CGroundItem();
    CGroundItem(const CGroundItem&) = delete;
    CGroundItem& operator=(const CGroundItem&) = delete;

    // Takes item nItem (count: money when its picture number is 0) at the map point
    // (x, y), drawn at the point of the cell under it in pOwner (the point itself
    // without a scene), in slot nSlot; loads its picture "DWP%03d.bmp" and its label.
    void Init(int nItem, int x, int y, int nSlot, int nCount, const CScene* pOwner);
    // Draws frame 1 while it is the hovered item, else the blinking frame.
    void Draw(bool bHovered, POINT ptView);
    // Its save record: item, count, slot, x, y.
    void Save(CByteWriter& out) const;

    std::int32_t bBlink = 0;
    DWORD timeNow = 0, timeToggle = 0;
    std::int32_t nCount = 0;
    char szLabel[kGroundLabelSize] = {};
    std::int32_t nCellIndex = -1;
    std::int32_t nSlot = 0;
    SIZE szFrameSize{0, 0};
    std::int32_t nItem = -1;
    RECT rcDrop{0, 0, 0, 0};
    POINT ptCell{0, 0};
    std::unique_ptr<CDXSurface> pLabel;
    std::unique_ptr<CDXSurface> pPicture;

private:
    void MakeLabel();
};
