// The battle's talk through the main window: a talk event runs as a sub-script of the
// current scene, each of its lines goes to the face talk bar as a talk of the game mode
// 9, and the end of the battle gives the interrupted event its registers back.
#pragma once
#include "battle/Fight.h"

class CBattleTalkLink : public CFightScriptLink {
public:
    int StartSubScript(int nEvent) override;
    bool ShowTalkLine() override;
    void RestoreScript() override;
    CFaceTalkBar* TalkBar() const override;

private:
    // The game mode before the battle's first talk; -1 while none started.
    int m_nModeBefore = -1;
};
