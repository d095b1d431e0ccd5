// What the scene asks of the main window and the toolbar, in one narrow interface: the
// screen size, the current scene number, the event-flag tables, the picture options, the
// shadow sprite's scale, the full-screen picture, the active party slot, the toolbar's
// cell marker and label box, and the toolbar's effect pools. The shell installs its own
// host; tests install fakes. The default host stands for a shell that is not there: an
// 800 x 600 screen, scene 0, no tables, no toolbar.
#pragma once
#include <cstdint>

#include "platform/Base.h"

class CDXSprite;
class CDXSurface;

constexpr int kSceneFlagRows = 200;
constexpr int kSceneFlagColumns = 100;
constexpr int kMarkerFrames = 21;

// An event-flag table: 200 rows (scenes) of 100 words.
using SceneFlagTable = std::int32_t (*)[kSceneFlagColumns];

// The toolbar's cell marker as the scene draws it.
struct CellMarkerView {
    bool bShown = false;
    POINT pt;
    int nDirection = 0;
    DWORD dwStart = 0;
    CDXSurface* const* ppFrames = nullptr;  // kMarkerFrames surfaces, any may be null
};

class CSceneHost {
public:
    virtual ~CSceneHost() = default;
    // The main window's screen settings (view following, visible area).
    virtual int GetScreenWidth() const { return 800; }
    virtual int GetScreenHeight() const { return 600; }
    // The display's current size (script view moves and scrolling limits).
    virtual int GetDisplayWidth() const;
    virtual int GetDisplayHeight() const;
    // The main window's current scene number (picture folder and package choice).
    virtual int GetSceneNumber() const { return 0; }
    // Set while a game (not the title) runs; the scene update does nothing otherwise.
    virtual bool IsInGame() const { return true; }
    // The event-flag tables A and B, 200 rows of 100 words; null when there are none.
    virtual SceneFlagTable GetEventFlagsA() const { return nullptr; }
    virtual SceneFlagTable GetEventFlagsB() const { return nullptr; }
    // Options: copy loose pictures to "pic1"; load scene pictures from the packages.
    virtual bool CopyPictures() const { return false; }
    virtual bool PicturesFromPackages() const { return false; }
    virtual void SetShadowScale(float fScale) { (void)fScale; }
    // The full-screen picture of a script; while there is one the scene draws only it.
    virtual CDXSprite* GetBackPicture() const { return nullptr; }
    // Party slot + 1 of the controlled member; 0 without a toolbar.
    virtual int GetActiveSlot() const { return 0; }
    virtual bool GetCellMarker(CellMarkerView* pMarker) const { (void)pMarker; return false; }
    // The toolbar's label box behind a ground item's name; null without a toolbar.
    virtual CDXSurface* GetLabelBox() const { return nullptr; }
    // Ticks and draws the toolbar's area and flying effects.
    virtual void ReapEffects() {}
    // Set while a scene effect runs; the hero's draw then advances the effect list.
    virtual bool IsSceneEffectWaiting() const { return false; }
    virtual void UpdateEffects() {}
    // Writes the member file of member number n (1..4) when a member leaves by death.
    virtual void SaveMemberFile(int nNumber) { (void)nNumber; }
    // The controlled hero died: the main window ends the game once the update is over.
    virtual void OnHeroDied() {}
};

CSceneHost& SceneHost();
// Installs a host (null restores the default one); the caller keeps ownership.
void SetSceneHost(CSceneHost* pHost);
