// The battle's talk: an enemy's opening talk and one fallen member's last words run as
// sub-scripts of the event scripts, their lines on the face talk bar in its narrow
// layout beside the speaker. While a talk runs no turn begins and the ring stays hidden.
#include "battle/Fight.h"
#include "platform/Window.h"
#include "ui/menus/TalkBar.h"

bool CFight::TalkFinished() const {
    const CFaceTalkBar* pBar = FightScriptLink().TalkBar();
    return !pBar || pBar->m_bFinished;
}

int CFight::FighterOfFace(int nFace, bool bTalking) const {
    // An enemy's number can also be a member's animation number: in the enemies' opening
    // talk the enemies are asked first, in a member's last words the party.
    const int nFirst = bDeathTalkShown ? 0 : kFightPartySlots;
    for (int k = 0; k < kFightSlots; ++k) {
        const int s = (nFirst + k) % kFightSlots;
        if (Filled(s) && pChar[s]->AniNo == nFace && (!bTalking || pChar[s]->HasTalkEvent())) return s;
    }
    return -1;
}

namespace {

// Puts the bar at the home of the fighter who speaks its line, when one stands here.
void MoveBarToSpeaker(const CFight& fight, CFaceTalkBar& bar) {
    const int s = fight.FighterOfFace(bar.m_nFace, false);
    if (s < 0) return;
    bar.m_nBarX = ptFightHome[s].x;
    bar.m_nBarY = ptFightHome[s].y;
}

}  // namespace

void CFight::PlaceOpeningTalk() {
    CFaceTalkBar* pBar = FightScriptLink().TalkBar();
    if (!pBar) return;
    const int s = FighterOfFace(pBar->m_nFace, true);
    if (s < 0) {
        // A first line that a member speaks stands where that member's later lines do.
        MoveBarToSpeaker(*this, *pBar);
        return;
    }
    pBar->m_nBarX = ptFightHome[s].x + 150;
    pBar->m_nBarY = ptFightHome[s].y - 80;
}

void CFight::UpdateTalk() {
    CFaceTalkBar* pBar = FightScriptLink().TalkBar();
    const bool bKey = bTalkKey != 0;
    bTalkKey = 0;
    if (!pBar || pBar->m_bFinished) {
        bTalkPolled = 0;
        return;
    }
    // One press reads one line however many frames the button stays down: the key
    // state's pressed-since-asked bit counts, and on the talk's first frame it may still
    // hold a press from before the talk (the click that felled a member, say).
    const bool bPressed = (GetAsyncKeyState(VK_LBUTTON) & 1) != 0 && bTalkPolled;
    bTalkPolled = 1;
    if (bPressed || bKey) pBar->NextLine(0);
    if (pBar->m_nClickPending == 0 && pBar->m_nFollowOn == 1 && pChar[0]) {
        // The next line stands beside its own speaker.
        pChar[0]->ShowTalk();
        MoveBarToSpeaker(*this, *pBar);
    }
    pBar->Draw();
}

void CFight::StartDeathTalk() {
    if (bDeathTalkShown) return;
    for (int s = 0; s < kFightPartySlots; ++s) {
        CFightChar* c = Char(s);
        if (!c || c->IsEmpty() || c->Action != kActDead || c->HP >= 1 || c->DelTall == 0) continue;
        bDeathTalkShown = 1;
        // The last words take the battle's narrow layout and stand beside their speaker,
        // whether or not an enemy spoke before.
        CFaceTalkBar* pBar = FightScriptLink().TalkBar();
        if (pBar && !pBar->m_nNarrow) pBar->SetNarrowLayout();
        if (FightScriptLink().StartSubScript(c->DelTall) < 0) return;
        c->ShowTalk();
        if (pBar) MoveBarToSpeaker(*this, *pBar);
        return;
    }
}

void CFight::EndTalk() {
    CFaceTalkBar* pBar = FightScriptLink().TalkBar();
    bool bTalked = false;
    for (const auto& c : pChar) bTalked = bTalked || (c && c->HasTalkEvent());
    if (pBar && bTalked) pBar->SetWideLayout();
    FightScriptLink().RestoreScript();
    if (pBar) pBar->m_bFinished = true;
}
