// The scene map in the top-right corner: a 240 x 240 window of the scene's map picture
// that follows the screen's view, with a marker at the hero's place. A display only: it
// takes no clicks, and its panel rectangle is empty.
#pragma once
#include <memory>

#include "ui/panels/GamePanel.h"

class CDXSurface;

// What one update reads: the hero's map point, the scene's map rectangle (pixels) and
// the scene's view origin.
struct SceneMapInput {
    POINT ptHero{};
    RECT rcMap{};
    POINT ptView{};
};

class CSceneMapView : public CGamePanel {
public:
    static constexpr int kWindow = 240;

    // Loads "PlayerPos.bmp" and "Scene%03d.bmp" of the scene and runs an update.
    explicit CSceneMapView(int nScene);
    ~CSceneMapView() override;

    void Draw() override;
    bool IsMouseIn() const override { return false; }
    // Recomputes the view offset and the marker from the current scene and hero.
    void Update();
    // The same from given inputs; does nothing for a picture or map rectangle without
    // extent (the marker would divide by zero).
    void UpdateFrom(const SceneMapInput& in);

    POINT GetWindowOrigin() const { return m_ptWindow; }
    POINT GetViewOffset() const { return m_ptOffset; }
    POINT GetMarker() const { return m_ptMarker; }
    bool HasPicture() const { return m_pMap != nullptr; }
    // True after an update with a picture and a map of some extent.
    bool IsShown() const { return m_bShown; }
    // For tests: a picture size without a picture.
    void SetPictureSize(int w, int h);

private:
    POINT m_ptOffset{};
    int m_nWidth = 0;
    int m_nHeight = 0;
    POINT m_ptMarker{};
    RECT m_rcSource{};
    RECT m_rcMarker{};
    POINT m_ptWindow{560, 1};
    bool m_bShown = false;
    std::unique_ptr<CDXSurface> m_pMarker;
    std::unique_ptr<CDXSurface> m_pMap;
};
