// A small map panel for the top-right corner: the scene's overview picture with a marker
// for the hero, opened and closed by two tabs.
#pragma once
#include <memory>
#include "platform/Base.h"

class CDXScreen;
class CDXSprite;
class CDXSurface;

class CScenePicture {
public:
    static constexpr int kScenes = 105;
    static constexpr int kSprites = 10;
    static constexpr int kBoxWidth = 134, kBoxHeight = 132;

    CScenePicture(CDXScreen* pScreen, int nScene);
    virtual ~CScenePicture();
    CScenePicture(const CScenePicture&) = delete;
    CScenePicture& operator=(const CScenePicture&) = delete;

    // Draws the panel (or its open tab) and handles a click on a tab; 1.
    int Draw(int nScene, int nHeroX, int nHeroY);
    void SetScale(int x, int y, int nScene);
    void MoveMarker(int x, int y);
    // The overview picture's size of a scene; 134 x 132 outside the table.
    static SIZE PictureSize(int nScene);

    POINT GetMarker() const { return m_ptMarker; }
    POINT GetBoxOrigin() const { return m_ptBox; }
    RECT OpenTab() const;
    RECT CloseTab() const;
    bool HasPicture() const { return m_pPicture != nullptr; }

    int m_bOpen = 1;
    int m_nScene = 0;
    POINT m_ptScale{0, 0};

private:
    POINT m_ptOrigin{};
    POINT m_ptMarker{};
    POINT m_ptBox{};
    std::unique_ptr<CDXSprite> m_pSprite[kSprites];
    std::unique_ptr<CDXSurface> m_pPicture;
};
