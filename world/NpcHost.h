// What the characters and the ground items ask of the main window, the toolbar and the
// work panels: starting an event, whether a panel is open, the effect wait of a one-shot
// pose, the walk-mode flag of a script, the fatal message of a character that cannot be set up. The shell installs
// its own host; tests install fakes. The default answers as a game without them:
// no event starts, no panel is open.
#pragma once
#include <string>

class CNpcHost {
public:
    virtual ~CNpcHost() = default;
    // Starts an event; its number or more when it started, -1 when refused.
    virtual int StartEvent(int nEvent) { (void)nEvent; return -1; }
    // Set while a toolbar panel or a work panel is open.
    virtual bool IsPanelOpen() const { return false; }
    // Ends the second effect wait of the main window (a scripted pose has finished).
    virtual void ClearSecondEffectWait() {}
    // Takes the walk-mode flag a script set for the next character walk (cleared on read).
    virtual bool TakeNpcWalkModeFlag() { return false; }
    // A character's sprite cannot be bound: the game shows the text and quits.
    virtual void FailNpcInit(const std::string& strText) { (void)strText; }
};

CNpcHost& NpcHost();
// Installs a host (null restores the default one); the caller keeps ownership.
void SetNpcHost(CNpcHost* pHost);
