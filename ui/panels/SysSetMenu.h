// The settings panel: sliders of eleven steps (0..10) for the music volume and the
// sound-effect volume, applied at once to the main window; a third slider shows the
// hero's walking speed and is not applied. OK and Cancel both just close.
#pragma once
#include <memory>

#include "ui/panels/GamePanel.h"

class CSysSetMenu : public CGamePanel {
public:
    static constexpr int kSliders = 3, kSteps = 11;
    enum Button { kOK = 0, kCancel, kLeft1, kLeft2, kLeft3, kRight1, kRight2, kRight3, kButtonCount };

    CSysSetMenu();
    ~CSysSetMenu() override;

    void Draw() override;
    // The click sound on every click; OK applies and closes (2), Cancel closes (2), the
    // arrows step a slider and apply (0); -1 when no button was hovered.
    int OnLButtonUp() override;
    void OnMouseMove() override { DragSlider(); }
    // The first track under the cursor (15 pixels in from either end) takes the value
    // under the cursor; the volumes are applied in every case.
    void DragSlider();
    void Apply();
    void UpdateSetHover();

    int GetValue(int nSlider) const { return m_nValues[nSlider]; }
    void SetValue(int nSlider, int nValue) { m_nValues[nSlider] = nValue; }
    int GetMusicValue() const { return m_nMusic; }
    int GetEffectValue() const { return m_nEffect; }
    const RECT& GetNotch(int nSlider, int nStep) const { return m_rcNotches[nSlider][nStep]; }
    const RECT& GetTrack(int nSlider) const { return m_rcTracks[nSlider]; }

private:
    int m_nMusic = 0;
    int m_nEffect = 0;
    RECT m_rcNotches[kSliders][kSteps]{};
    int m_nValues[kSliders] = {};
    RECT m_rcTracks[kSliders]{};
    RECT m_rcOkHit{};
    std::unique_ptr<CTgaImage> m_pKnob;
};
