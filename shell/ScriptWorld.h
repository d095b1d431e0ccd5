// The calls the event scripts make into the parts of the world that live beside the
// shell: the walks of the hero and the scene's characters, the scene change, the
// toolbar's text box and weather. One installed instance answers them; the default
// answers from the current scene's characters and the hero, changes the scene through
// the main window, shows the text box of the main window's toolbar (none without one)
// and has no weather (the toolbar installs its own answers).
#pragma once

class CScriptWorld {
public:
    virtual ~CScriptWorld() = default;

    // The controlled hero walks (or runs) to the map point.
    virtual void HeroWalkTo(int x, int y, bool bRun);
    // Whether the hero's walk is over: on his goal with no waypoints left. True without
    // a hero or a scene, so a wait for him never outlives them.
    virtual bool IsHeroAtGoal() const;

    // The shown character with that id walks (or runs) to the map point; false when no
    // shown character of the scene has the id.
    virtual bool NpcWalkTo(int nId, int x, int y, bool bRun);
    // Whether the character with that id stands on its goal with no path steps left or
    // has stopped walking; true when no shown character has the id, so a wait for it
    // never outlives it.
    virtual bool IsNpcAtGoal(int nId) const;
    // Whether the character with that id is in the scene and stopped.
    virtual bool IsNpcPresentAndStopped(int nId) const;
    // The character at that index of the scene's array gets its saved direction back,
    // and its forced attack pose is cleared.
    virtual void GiveNpcDirection(int nIndex, int nDirection);

    // The scene change with the command's values: the scene, the transition kind and
    // its time (-1 the default), and three values that play no part. False when the new
    // scene cannot be entered; the scene change has then told the player why and ended
    // the game.
    virtual bool ChangeScene(int nScene, int nKind, int nTime, int nExtra1, int nExtra2, int nExtra3);

    // The toolbar's text box and weather.
    virtual bool IsTextBoxOpen() const;
    // Toggles the toolbar's weather n (0..5).
    virtual void SetSceneWeather(int nWeather);
    // The toolbar's text box shows caption line nText, stepping every nStepMs.
    virtual void ShowTextBox(int nText, int nStepMs);
};

CScriptWorld& ScriptWorld();
// Installs a world (null restores the default); the caller keeps ownership.
void SetScriptWorld(CScriptWorld* pWorld);
