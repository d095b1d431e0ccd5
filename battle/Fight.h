// The battle screen: up to four party members against up to four enemies, each with a
// time gauge; the first ready member gets the command ring, enemies decide at once.
// The battle runs its own frame loop (Run) and returns 1 victory, 2 defeat, 4 escape.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "battle/FightChar.h"
#include "battle/FightMenu.h"
#include "platform/Base.h"

class CDXSurface;
class CEffectAnim;
class CFaceTalkBar;
class CPlayer;
class CTgaImage;

// Where the battle's chance comes from: every "tick mod n" draw (hit factor, recovery,
// skill chance, target) takes the next value of this source. The game reads the
// frame clock; tests and the probe hand in sequences or the seeded generator.
class CFightDraws {
public:
    virtual ~CFightDraws() = default;
    virtual DWORD Next();
};

// What the battle asks of the event scripts and the face talk bar: a talk event runs
// as a sub-script whose lines the bar shows beside the speaking fighter. The default
// has no bar and starts nothing (a battle without talk).
class CFightScriptLink {
public:
    virtual ~CFightScriptLink() = default;
    // Starts event nEvent of the current scene as a sub-script; its current step, -1
    // when the scene has no such event.
    virtual int StartSubScript(int nEvent) { (void)nEvent; return -1; }
    // Shows the sub-script's current step on the bar; false (nothing shown) when that
    // step is no talk line.
    virtual bool ShowTalkLine() { return false; }
    // Puts back the script registers the battle's first sub-script saved.
    virtual void RestoreScript() {}
    // The face talk bar; null without one.
    virtual CFaceTalkBar* TalkBar() const { return nullptr; }
};
void SetFightScriptLink(CFightScriptLink* pLink);
CFightScriptLink& FightScriptLink();

// Whether a member's record may rise a level after a won battle, and the rise: the
// record's own rules unless another is installed (tests, with records that grow).
class CFightLevelRules {
public:
    virtual ~CFightLevelRules() = default;
    virtual bool CanLevelUp(const CPlayer& record);
    virtual void LevelUp(CPlayer& record);
};
void SetFightLevelRules(CFightLevelRules* pRules);
CFightLevelRules& FightLevelRules();

extern const POINT ptFightHome[kFightSlots];
extern const POINT ptFightStrike[kFightSlots];
extern const POINT ptFightNumber[kFightSlots];
extern const POINT ptLeadStrike[4];
extern const int nFightMemberOrder[4];
extern const int nFightMemberNpc[8];

constexpr int kFightListTabs = 3;

class CFight {
public:
    CFight();
    virtual ~CFight();
    CFight(const CFight&) = delete;
    CFight& operator=(const CFight&) = delete;

    // Background number, then enemy numbers ending with -2. Returns 0 when the
    // background picture is missing (the battle is then won at once, with no panel
    // and no pay), else 1.
    int Init(int nBackground, const int* pEnemies, int nEnemyCount);
    // The frame loop: passes until the result is set or the running flag is cleared.
    int Run();
    // One pass of the loop (a waiting message, or one frame). Public for tests.
    void Pass();
    // The frame work of one pass, without the message pump.
    void Frame();

    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnRButtonDown(int x, int y);
    void OnKeyUp(int nKey);
    // A key going down: Space reads on in a running talk, each auto-repeat too, as the
    // map's talk does.
    void OnKeyDown(int nKey);
    // A release while the result panel is up: the next page, or the panel closes.
    void OnResultRelease();

    void HitTest();
    void UpdateFighters();
    void UpdateEffects();
    void DrawStatus();
    int CheckEnd();
    void ScheduleTurn();
    int PickTarget();

    // Menu.
    void DrawMenu();
    void OnMenuClick();
    int BuildLists();

    // Commands. ExecuteCommand answers 0 when refused (the member keeps its turn),
    // 1 when the command started, 2 when it started nothing and the turn is over.
    int ExecuteCommand(int k, int a, int t);
    void CastInPlace(int a);
    void ExecuteAreaCommand(int a, int k);
    void AutoAttack();
    void RepeatCommand();
    void EndTurn(int s);
    void ConsumeItem(int nItem);
    void DrawMessage();

    // Effects. An effect node carries its item (thrown or used) in m_nExtra, -1 none.
    int LaunchEffect();
    void ApplyEffect(const CEffectAnim& effect);
    void BeginMove(int s, int x1, int y1, int x2, int y2);
    void StepMove(int s);
    void TickStatus(int s);
    void ApplyPoison(int s, int nSource);
    void ThrowItem(int a, int nItem, int t);
    int Steal(int t);

    // The battle talk: the bar's lines while the left button is held and the next line
    // beside its speaker (UpdateTalk), one fallen member's last words (StartDeathTalk),
    // and the bar given back to the map when the battle ends (EndTalk).
    bool TalkFinished() const;
    void UpdateTalk();
    // The opening talk's first line beside its speaker.
    void PlaceOpeningTalk();
    void StartDeathTalk();
    void EndTalk();
    // The fighter drawn with animation number nFace (with a talk event only when
    // bTalking), the side whose talk runs asked first; -1 none.
    int FighterOfFace(int nFace, bool bTalking) const;

    void Escape();
    // The escape's pay: half the money, then the members' life and mana written back.
    void WriteBackOnEscape();
    // Writes the members' life and mana back into their hero records.
    void WriteBackParty();
    void Victory();
    void Defeat();

    // The draw seam (null: the frame clock).
    void SetDraws(CFightDraws* pDraws) { m_pDraws = pDraws; }
    DWORD Draw();
    // Hit factor of a blow from one draw: 0.8 .. 1.2.
    double HitFactor();

    CFightChar* Char(int s) const { return (s >= 0 && s < kFightSlots) ? pChar[s].get() : nullptr; }
    // A slot with a fighter standing in it.
    bool Filled(int s) const { return Char(s) && !Char(s)->IsEmpty(); }
    bool Alive(int s) const { return Filled(s) && Char(s)->HP > 0; }
    int MenuState() const { return pMenu ? pMenu->MenuState : -1; }
    void SetMenuState(int n) { if (pMenu) pMenu->MenuState = n; }
    // Stops the loop (the main window's quit).
    void StopRunning() { bRunning = 0; }
    // True when the acting enemy walks (drawn at ptWalk).
    bool EnemyWalks(int s) const;

    std::unique_ptr<FightList> ItemList;
    std::unique_ptr<FightList> ThrowList;
    std::unique_ptr<FightList> SkillLists[kFightListTabs][kFightPartySlots];
    std::unique_ptr<CFightChar> pChar[kFightSlots];
    std::unique_ptr<CFightMenu> pMenu;
    std::int32_t bEffectBusy = 0;
    std::int32_t bEscapePopup = 0;
    POINT ptEscapePopup{330, 240};
    std::int32_t bDefending[4] = {};
    std::int32_t bEnemyRanged = 0;
    std::string MessageText;
    POINT ptWalk{0, 0};
    std::int32_t PendingAttacker = -1, PendingTarget = -1, PendingSkill = -1;
    // The item the pending effect throws, -1 none.
    std::int32_t PendingItem = -1;
    // The pending multi-hit attack has struck once and waits for its replay.
    std::int32_t bFirstHitLaunched = 0;
    // Stat-raise pictures per party slot and raise (defence, agility, attack, multi-hit).
    std::unique_ptr<CTgaImage> RaiseSprites[4][4];
    std::int32_t bTurnMayAdvance = 1;
    std::int32_t bNextPage = 0;
    std::int32_t bPagePending[3] = {};
    std::string Pages[3];
    std::string ResultText;
    std::int32_t bEscapeAllowed = 1;
    std::int32_t ThrowItemNo = -1;
    std::int32_t bAutoAttack = 0, bRepeat = 0;
    std::int32_t LastTarget[4] = {-1, -1, -1, -1}, LastSkill[4] = {-1, -1, -1, -1};
    std::int32_t bDeathTalkShown = 0;
    // Space went down while a talk ran: the next frame reads on.
    std::int32_t bTalkKey = 0;
    // The left button was polled on an earlier frame of the running talk.
    std::int32_t bTalkPolled = 0;
    std::int32_t LastActor = -1;
    std::int32_t ChosenTarget = -1;
    std::int32_t bTurnGate = 1;
    std::int32_t nScreenWidth = 800, nScreenHeight = 600;
    std::int32_t bActing[10] = {};
    std::int32_t bEnemyActing = 0;
    POINT ptClick{0, 0};
    std::int32_t bCommandBusy = 0;
    std::uint8_t bEscaped = 0;
    std::int32_t EnemyTarget = -1;
    std::int32_t CommandMode = -1;
    std::int32_t CommandItem = -1, CommandSkill = -1;
    std::uint8_t bResultShown = 0;
    std::int32_t HoverFighter = -1;
    std::unique_ptr<CDXSurface> pBackground;
    std::int32_t ActiveNpc = -1;
    std::int32_t nResult = 0;
    std::uint8_t bRunning = 1;
    std::int32_t bItemApplied = 0;
    // Stunt skills left in this battle (the frame sets 3 at each battle's start).
    std::int32_t nStunts = 3;
    // Passes of the loop so far (the probe and the hang checks read it).
    std::int64_t nPasses = 0;
    // Set by Init when the background picture was missing.
    std::int32_t bNoBackground = 0;

private:
    // Takes one waiting message: true when there was one (no frame in that pass).
    bool PumpMessage();
    POINT MousePos() const;
    // Hit test, background and fighters: what the frame and the result panels share.
    void DrawScreen();
    void StepPartyWalk(int s);
    // Clears the busy flags of a command or enemy action whose fighters have all stopped.
    void ReleaseIdleActors();
    // Unlinks and deletes the effects this battle added (map effects stay).
    void ClearBattleEffects();
    void PlaceParty();
    void PlaceEnemies(const int* pEnemies, int nEnemyCount);
    void ClearTurn(int a);
    // A command that started nothing: its cost is paid, the turn ends.
    void EndEmptyCommand(int a);
    // Starts skill k of member a against t by its kind (0 refused, 1, 2 as ExecuteCommand);
    // bRepeat casts a kind-1 skill at once against the enemy side.
    int StartSkill(int k, int a, int t, bool bRepeat);
    void PayMana(int a, int k);
    // The first live enemy slot, -1 none.
    int FirstLiveEnemy() const;
    // Turns a raise on (or restarts its count) for slot s and loads its pictures.
    void Raise(int s, int i);
    void LoadRaisePictures(int s, const char* pszFormat);
    void DrawRaise(int s, const POINT& pt);
    void HealOne(int t, int nAmount);
    void BuildItemLists();
    void UseItemOn(int a, int t);
    FightList* CurrentSkillList() const;
    // Where attacker a stands to strike target t.
    POINT StrikePoint(int a, int t) const;
    // Walks member a out to strike t with skill n (the pending effect).
    void StartAttack(int a, int t, int nSkill);
    void ApplyDamage(int t, int v, int nCap, bool bHit);
    // Puts a walking fighter on the last frame of its walk and finishes the action.
    void FinishWalk(int s);
    // Resolves the turn of a refused or dropped effect, as an ended effect does.
    void ResolveDroppedTurn();
    // What an ended effect does: its rule, the end of the turn, a further blow.
    void FinishEffect(const CEffectAnim& effect);
    void DrawFighter(int s, const POINT& pt);
    // The result panel's loop (victory and defeat).
    void RunResultPanel(int cx, int cy, int lx, int ty, int rx, int by);
    // Adds a battle effect carrying nItem; an effect that cannot be shown (no picture,
    // no skill) is resolved at the next effect update all the same. False only for
    // slots outside the battle.
    bool AddBattleEffect(int nSkill, int a, int t, int x, int y, bool bFromSkill, int nItem = -1);

    std::vector<CEffectAnim*> m_effects;
    // Effects without pictures, resolved at the next effect update.
    std::vector<std::unique_ptr<CEffectAnim>> m_instant;
    CFightDraws m_defaultDraws;
    CFightDraws* m_pDraws = nullptr;
};
