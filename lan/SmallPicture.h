// A small animated picture that rises from (570, 300), runs left along the top and then
// down the left side; stopped, it drops. Touching either of two given sprites sends it
// back to its start. A library class: nothing in the game makes one.
#pragma once
#include <memory>
#include "platform/Base.h"

class CDXSprite;

class CSmallPicture {
public:
    static constexpr POINT kStart{570, 300};

    explicit CSmallPicture(int nUnused = 0);
    virtual ~CSmallPicture();
    CSmallPicture(const CSmallPicture&) = delete;
    CSmallPicture& operator=(const CSmallPicture&) = delete;

    // Makes the sprite ("Smallpicture.bmp", 35 x 40, five tiles) showing the tile.
    bool CreateSprite(int nTile);
    // One step, then draws; returns nState, or 0 when the picture touched A or B.
    int Update(int nState, const CDXSprite* pA, const CDXSprite* pB);
    // Stops the flight when (x, y) lies in the drop box while the picture is above it.
    void CheckArea(int nUnused, int x, int y);
    void Stop(int, int) { m_bFlying = 0; }
    // Moves one step while nState is nonzero; a touch resets it. Returns the new state.
    int Move(int nState, const CDXSprite* pA, const CDXSprite* pB);

    POINT GetPos() const { return m_pt; }
    int IsFlying() const { return m_bFlying; }
    CDXSprite* GetSprite() const { return m_pSprite.get(); }
    void SetPos(POINT pt) { m_pt = pt; }

private:
    int m_bFlying = 1;
    POINT m_pt = kStart;
    std::unique_ptr<CDXSprite> m_pSprite;
};
