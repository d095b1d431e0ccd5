// The cursor the game draws itself, and the state the input handlers share through it:
// position, carried item, held-button flag and the time of the last map click.
#pragma once
#include "platform/Base.h"

class CDXSprite;

class CMouse {
public:
    CMouse();
    virtual ~CMouse();
    CMouse(const CMouse&) = delete;
    CMouse& operator=(const CMouse&) = delete;

    // Loads the shape-0 picture; false when it cannot be made.
    bool Init();
    // Replaces the picture by the shape's. When the new picture cannot be made the old
    // one stays and the result is false.
    bool SetShape(int nShape);
    // Places and draws the cursor (or the carried item's icon); steps the animation.
    void Draw();
    void SetColorKey(DWORD dwColour);

    // Picture name, frame size and hot-spot offset of a shape (0 for values outside 1..4).
    static const char* ShapePicture(int nShape);
    static int ShapeFrameSize(int nShape);
    static POINT ShapeOffset(int nShape);

    int m_nCarriedItem = -1;
    int m_nShape = 0;
    int m_nHoverTarget = -1;
    int m_bSpecialShape = 0;
    int m_nFrame = 0;
    DWORD m_dwFrameTime = 0;
    int m_bButtonReleased = 0;
    CDXSprite* m_pAttached = nullptr;
    CDXSprite* m_pSprite = nullptr;
    BYTE m_bClick = 0;
    DWORD m_dwLastMapClick = 0;
    int m_nExitBoxState = 0;
    int m_nX = 0;
    int m_nY = 0;

private:
    // A new sprite of the shape's picture, or null.
    CDXSprite* MakeSprite(int nShape) const;
};
