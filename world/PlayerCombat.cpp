// Strikes, skills and the computer-steered party's behaviour. The hero's frame calls
// them where they belong; they act once the characters can be fought, and until then
// change nothing.
#include "world/Player.h"

void CPlayer::Think() {}

bool CPlayer::TakeAreaDamage() { return false; }

void CPlayer::SkillHit() {}

void CPlayer::WanderNearLeader() {}

void CPlayer::LeashToLeader() {}

void CPlayer::AttackNpc(int nNpcIndex, int nSquaredDistance) {
    (void)nNpcIndex;
    (void)nSquaredDistance;
}

void CPlayer::ClearTargetMark() {}
