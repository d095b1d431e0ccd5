// What the fighting on the map asks of the in-game toolbar: damage numbers, the loot
// of a defeated fighter, the area and flying effects of strikes and skills, and a
// character's sound. The game installs the toolbar's host; tests install recorders.
// The default answers as a game without a toolbar: nothing is shown or laid.
#pragma once

class CFightHost {
public:
    virtual ~CFightHost() = default;
    // A floating "-n" damage number at a map point.
    virtual void AddDecLife(int x, int y, int nAmount) { (void)x; (void)y; (void)nAmount; }
    // The loot roll of a defeated fighter at a map point: money and up to four items.
    virtual void DropLoot(int x, int y, int nMoney, int nItem1, int nItem2, int nItem3, int nItem4) {
        (void)x; (void)y; (void)nMoney; (void)nItem1; (void)nItem2; (void)nItem3; (void)nItem4;
    }
    // A skill's area effect laid at a map point (owner -1 for characters).
    virtual void AddEffectAt(int nAttack, int x, int y, int nSkill, int nOwner) {
        (void)nAttack; (void)x; (void)y; (void)nSkill; (void)nOwner;
    }
    // A character's ranged shot from a map point toward a target in screen pixels.
    virtual void AddFlyingEffectFromPoint(int nAttack, int x, int y, int nTargetX, int nTargetY, int bUseSkill,
                                          int nOwner) {
        (void)nAttack; (void)x; (void)y; (void)nTargetX; (void)nTargetY; (void)bUseSkill; (void)nOwner;
    }
    // A character's sound effect at a volume 1..100.
    virtual void PlayNpcSound(int nSound, int nVolume) { (void)nSound; (void)nVolume; }
    // The mouse-steered hero's laid skill effect at a map point, with the skill's value
    // (its area pattern) and action.
    virtual void AddAreaEffectAtHero(int nAttack, int x, int y, int nSkillValue, int nSkillAction) {
        (void)nAttack; (void)x; (void)y; (void)nSkillValue; (void)nSkillAction;
    }
    // A hero's shot from a map point toward a target in screen pixels: a line (kind 0) or
    // a burst (kind 1) of an effect number; owner = the hero's member number.
    virtual void AddFlyingEffect(int nAttack, int x, int y, int nEffect, int nTargetX, int nTargetY, int nOwner,
                                 int nKind) {
        (void)nAttack; (void)x; (void)y; (void)nEffect; (void)nTargetX; (void)nTargetY; (void)nOwner; (void)nKind;
    }
    // The controlled hero's skill shot toward a target in screen pixels (kind 0) or a
    // spread (kind 1).
    virtual void AddFlyingEffectFromHero(int nTargetX, int nTargetY, int nKind, int nSkillAction, int nEffect,
                                         int nAttack) {
        (void)nTargetX; (void)nTargetY; (void)nKind; (void)nSkillAction; (void)nEffect; (void)nAttack;
    }
};

// Never null; the default host until the game installs its own.
CFightHost& FightHost();
// Installs a host (null restores the default); the caller keeps ownership.
void SetFightHost(CFightHost* pHost);
