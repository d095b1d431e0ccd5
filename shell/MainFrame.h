// The one main window and the holder of the game's running state: screen settings,
// the flags of the main loop, the current scene and party, the script registers, the
// event-flag tables, the frame services and the owned objects. Reached through pFrame.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "media/MediaHost.h"
#include "media/Mp3Player.h"
#include "platform/Base.h"
#include "platform/Window.h"
#include "shell/ScriptWatch.h"

class CDXSurface;
class CDXSprite;
class CDXMovie;
class CMenuManager;
class CGameToolBar;
class CWorkMenuHost;
class CFight;
class CMoveText;
class CUdpPeer;
class CUdpHost;
struct ScriptCommand;
struct SaveGameFile;

constexpr int kSceneTableCount = 200;
constexpr int kSceneFlagCount = 100;
constexpr int kMessageTextSize = 200;
// The toolbar's strip at the bottom of the screen: map clicks and tooltips stop there.
constexpr RECT kBottomStrip{0, 530, 800, 600};

class CMainFrame : public CPlatWindow, public IMediaHost {
public:
    CMainFrame();
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Start-up and window.
    BOOL CreateMainWindow();
    bool InitGame();
    void InitScreen();
    // What InitScreen tried, with the option values it came from, for a failure message.
    std::string DisplayModeTried() const;
    bool InitCommonData();
    void SetWindowMode();
    BOOL ToggleWindowMode();
    bool PlayMovie(unsigned nIndex, bool bSkippable);
    void StopMovie();
    void QuitGame();
    // Quits as QuitGame does, for an end the player did not ask for (no scene can be
    // built, a character cannot be set up): the reason is kept and the process exits
    // with a failure status.
    void QuitGameFailed(const char* pszWhy);
    // Why start-up ended early ("" when it did not).
    const char* GetStartupError() const { return m_szStartupError; }
    // Why the game ended in failure after start-up ("" when it did not).
    const char* GetFailure() const { return m_szFailure; }

    // Main loop and frame.
    void Run();
    // One pass of the main loop: at most one message, the frame time, the input hold,
    // the frame, the held-button map click, the flip and the damage-zone tick.
    void RunOnePass();
    void UpdateFrame();
    // The event-script scheduler, run by the frame in the modes that run scripts.
    // Virtual so that tests can watch the frame call it.
    virtual void UpdateScript();
    void ScrollByMouse();
    void UpdateActors();
    void UpdateEffects();
    // The scene's draw advances the effect list at the hero's depth while a scene
    // effect runs, so the effect is drawn behind what stands in front of the hero.
    void UpdateEffectsAtHero();
    void DrawMessageBox(int x, int y, int nWidth, int nHeight);
    void DrawCountdown();
    void UpdateDamageZone();
    void ShowToolTip(int nScene);
    void PlayMusic(int nTrack);
    // Redraws the map screen behind a modal box: actors, the scene when shown, the
    // toolbar and the work panels.
    void DrawMapLayer();

    // Input.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(const MSG* pMsg);
    int OnCreate();
    void OnClose();
    BOOL OnSetCursor(int nHitTest);
    void OnActivateApp(BOOL bActive);
    void OnSysKeyDown(int nKey);
    void OnKeyDown(int nKey, UINT nRepeat, UINT nFlags);
    void OnKeyUp(int nKey, UINT nRepeat, UINT nFlags);
    void OnLButtonDown(UINT nFlags, int x, int y);
    void OnLButtonUp(UINT nFlags, int x, int y);
    void OnLButtonDblClk(UINT nFlags, int x, int y);
    void OnRButtonDown(UINT nFlags, int x, int y);
    void OnMouseMove(UINT nFlags, int x, int y);
    bool OnMapClick(int x, int y);
    void ClickNpc(int nHover);
    void WalkHeroTo(int x, int y);
    bool HitToolBar();
    void Cancel();
    void UpdateCursorPos();

    // Services of the event scripts and the title menu that later parts of the shell
    // fill in (new game, credits, events, script waits, party).
    void NewGame();
    void ShowCredits();
    // New game, scene change and party (shell/GameFlow.cpp).
    // Builds scene n (0..199) from its files with a transition (kinds 0..3; time in ms,
    // negative the default 500); a missing scene is skipped in the direction of travel.
    // False when n is out of range (nothing changes) or nothing loadable lies that way:
    // then one message names the map asked for and the game quits.
    bool ChangeScene(int nScene, int nKind, int nTime);
    // Creates party member m (0..3) in slot m beside the hero.
    void AddPartyMember(int nMember);
    // What a game left running that would hold the next one: the scene-effect wait and
    // the countdown. A new game and a loaded game start without them.
    void ClearScriptWaits();
    // Copies the controlled hero into party slot n (the parked copy).
    void CopyPartyMember(int nSlot);
    void GameOver();
    void PlayEnding(int nPicture);
    // The nearest reachable map point for a walk target.
    POINT GetHudPoint(int x, int y);
    // Event starts (shell/ScriptStart.cpp): the started event or -1; the side-effect-free
    // test of the same rules.
    int StartEvent(int nEvent);
    bool CanStartEvent(int nEvent) const;
    // The interpreter and the poll of a waiting command (shell/ScriptScheduler.cpp).
    void RunScript();
    void PollScriptWait();
    // The hover probe of the region under the cursor: with an event there that can
    // start, no talk target for the hero, and cursor shape 2 when the event leads to
    // another scene; returns that scene (its tooltip), -1 for none.
    int CheckClickEvents();
    // The scene the event's first scene change leads to, unless an exit mark (the
    // scene's own or one the event sets first) names it; -1 for none.
    int ExitOfEvent(int nEvent) const;
    // Script services of the commands (shell/ScriptCommands.cpp).
    bool StartSceneEffect(int nEffect, int x, int y, int nValue);
    int StopCountdown(int nEvent);
    void StartEventCmd(int nEventA, int nEventB);
    void StartEventCmd2(int nEventA, int nEventB);
    void WaitCmd(int nMember, int nEventA, int nEventB);
    int WaitCmd2(int nItem, int nEvent);
    // The talked-to character gets its direction back once no event is pending.
    void GiveTalkDirectionBack();
    // The scene's text n of the current scene; "" when there is none.
    const char* GetSceneText(int n) const;
    // Runs the command in pScript and says how it ended; *pbRunOn is set when the
    // interpreter must go on with the registers the command left (a scene change that
    // started the new scene's event).
    ScriptEnding RunCommand(bool* pbRunOn);
    // Refuses the step when an operand lies outside the range the rules of command nRow
    // give it: said once through the file reporter and to the watcher; true when refused.
    bool RefuseBadStep(const ScriptCommand& command, int nStep, int nRow);
    // The view commands' start: one step toward the view centre (x, y), the scene's
    // hold flag, and the wait.
    ScriptEnding BeginViewMove(int x, int y, BYTE bHold);
    void RemovePartyMember(int nMember);
    void ShowTalk(int nFace, const char* pszText);
    void ShowTextBar(int nFace, const char* pszText, int nValue1, int nValue2, int nValue3);
    void OnBeforeFight() {}
    // Runs one battle (script command 33): background number, three enemy numbers (-1
    // none) and a flag without effect. Returns 1 victory, 2 defeat, 4 escape (0 when
    // the battle was quit, or was not fought because its background cannot be shown).
    int Fighting(int nBackground, int nEnemy1, int nEnemy2, int nEnemy3, BYTE bFlag);

    // Saved games (shell/SaveGame.cpp). SaveGame writes slot n (0..19) atomically and is
    // true only when the whole file was written; LoadGame reads and checks the whole
    // file first and changes nothing when it is refused. Both give the reason in *pError.
    bool SaveGame(int nSlot, std::string* pError = nullptr);
    bool LoadGame(int nSlot, std::string* pError = nullptr);
    // The save file of the running game, built in memory; false without a game.
    bool BuildSaveFile(std::vector<std::uint8_t>* pBytes, std::string* pError = nullptr);
    // Rebuilds the game from a parsed and checked save file. False when the saved scene
    // cannot be entered after all; the old world is gone then.
    bool ApplySaveFile(const SaveGameFile& file);
    // The bank (shell/Bank.cpp): runs the bank box over the map; the two moves of the
    // amount, each refused (false, nothing moved) when it is negative, more than there
    // is, or would overflow.
    void OpenBank();
    bool Deposit(int nAmount);
    bool Withdraw(int nAmount);

    // Sets the message text, cut to the buffer at a character boundary.
    void SetMessageText(const char* pszText);
    bool HasMessageText() const { return m_pszMessageText && m_pszMessageText[0]; }
    bool IsEventRunning() const { return nEventId != -1; }
    int GetGameMode() const;

    // IMediaHost.
    std::string GetGameFolder() const override;
    bool IsSoundOn() const override { return m_bSoundOn != 0; }
    int GetSoundVolume() const override { return m_nSoundVolume; }

    // Screen and loop.
    std::int32_t m_nScreenWidth = 640;
    std::int32_t m_nScreenHeight = 480;
    std::int32_t m_nScreenBpp = 16;
    std::int32_t m_nScreenMode = 1;
    BYTE m_bFullScreen = 1;
    BYTE m_bCanScroll = 1;
    BYTE m_bInputHold = 0;
    BYTE m_bInGame = 0;
    BYTE m_bActive = 1;
    BYTE m_bRunning = 1;
    BYTE m_bSceneShown = 1;
    std::int32_t m_nSceneChanging = 1;
    BYTE m_bMoviePlaying = 0;
    CDXMovie* m_pMovie = nullptr;
    RECT m_rcScroll{4, 4, 636, 476};
    RECT m_rcMovie{0, 0, 800, 600};
    DWORD m_dwSavedLayout = 0;
    DWORD m_dwSavedVolume = 0;
    std::int32_t m_nMusicVolume = 50;
    std::int32_t m_nSoundVolume = 90;
    std::int32_t m_bSoundOn = 1;
    std::int32_t m_bMusicOn = 1;
    std::int32_t m_nCopy = 0;
    std::int32_t m_nScenePkg = 0;
    // Set while the dormant panels hold the mouse; mouse moves and map clicks wait.
    std::int32_t m_nMouseHold = 0;

    // Game and party.
    std::int32_t m_nCurrentScene = 0;
    BYTE m_bStorySaved = 0;
    std::int32_t m_nPartyIds[4] = {-1, -1, -1, -1};
    std::int32_t m_nPartyCount = 1;
    std::int32_t m_bLoading = 0;
    POINT m_ptPartyOffsets[4] = {{0, 0}, {0, 2}, {2, -1}, {-2, -1}};
    std::int32_t m_nHeroSculpts[7] = {0, 1, 3, 4, 5, 6, 7};
    std::int32_t m_nPartyAttackMode = 0;
    std::int32_t m_nBankMoney = 0;
    // The bank box's amount, kept between openings.
    std::int32_t m_nBankAmount = 0;
    std::int32_t (*m_pEventFlagsA)[kSceneFlagCount] = nullptr;
    std::int32_t (*m_pEventFlagsB)[kSceneFlagCount] = nullptr;
    void* m_pMiniGames[4] = {};
    CDXSprite* m_pBackPicture = nullptr;

    // Frame services.
    char* m_pszMessageText = nullptr;
    CDXSurface* m_pWorkSurface = nullptr;
    CDXSprite* m_pShadow = nullptr;
    CDXSurface* m_pStartPicture = nullptr;
    CMoveText* m_pMoveText = nullptr;
    CMoveText* m_pOneShotText[3] = {};
    std::int32_t m_nOneShotCount = 0;
    CDXSprite* m_pOneShotPictures[4] = {};
    std::int32_t m_nCountdownSeconds = 0;
    DWORD m_dwCountdownTick = 0;
    std::int32_t m_bDamageTick = 0;
    std::int32_t m_nDamageAmount = 0;
    std::int32_t m_nDamageMember = -1;
    std::int32_t m_nToolTipScene = -1;
    std::int32_t m_bCursorShapeChanged = 0;
    DWORD m_dwHotKeyTime = DWORD(-1);

    // Owned objects.
    CGameToolBar* m_pToolBar = nullptr;
    CWorkMenuHost* m_pWorkMenu = nullptr;
    CMenuManager* m_pMenuManager = nullptr;
    CFight* pFight = nullptr;
    CMp3Player m_mp3;

    // Script registers.
    ScriptCommand* pScript = nullptr;
    std::int32_t nEventId = -1;
    std::int32_t CurrentScript = -1;
    std::int32_t FirstScript = -1;
    std::int32_t EndScript = -1;
    BYTE bScriptGoOn = 0;
    std::int32_t m_nSavedCurrentScript = -1;
    std::int32_t m_nSavedFirstScript = -1;
    std::int32_t m_nSavedEndScript = -1;
    ScriptCommand* m_pSavedScript = nullptr;
    // Set while the saved registers hold what the first sub-script saved.
    BYTE m_bSubScriptSaved = 0;
    std::int32_t m_nPendingEvents[5] = {-1, -1, -1, -1, -1};
    std::int32_t bSceneEffectWait = 0;
    // The value a scene effect command stores beside its wait: while it is nonzero the
    // frame does not advance the effect list where the scene's draw did (at the hero's
    // depth), until an actor's one-shot action ends or the effect ends.
    std::int32_t m_nSceneEffectWait2 = 0;
    // Set when this frame's scene draw advanced the effect list at the hero's depth.
    std::int32_t m_bEffectsAtHero = 0;
    std::int32_t bAnswerGiven = 0;
    std::int32_t m_bViewMove = 0;
    // The question's answer record, the leave-question flag and the script-step flag.
    std::int32_t m_nAnswerRequired = 0;
    std::int32_t m_bPartyChoice = 0;
    std::int32_t m_bScriptStep = 0;
    // The talked-to character: index in the scene's array and its direction before it
    // turned to the hero; -1 none.
    std::int32_t m_nTalkNpcIndex = -1;
    std::int32_t m_nTalkNpcDirection = -1;
    // The exit mark of commands 82 and 83; -1 none.
    std::int32_t m_nExitMark = -1;
    // The follower the follower commands wait on; -1 none.
    std::int32_t m_nSelectedFollower = -1;
    // Set by a character run command; the scene's walk start consumes it.
    std::int32_t m_bNpcRun = 0;
    // Set by a start from commands 56 and 59: the next poll only resumes the event.
    std::int32_t m_bEventBranchWait = 0;
    // The view centre at the last poll of a view wait: a view that stays put there has
    // gone as far as the map lets it.
    POINT m_ptViewAtPoll{-1, -1};
    // The frame at which the hero's one-shot action stops advancing; -1 none.
    std::int32_t m_nHoldFrame = -1;
    // How many pixels the last ending or credits screen scrolled before it ended.
    std::int32_t m_nLastScroll = 0;

    // The command families and the script services they call (shell/ScriptHeroCommands.cpp,
    // ScriptValueCommands.cpp, ScriptMediaCommands.cpp). Each Run*Command returns false
    // for a number it does not carry out, else sets *pEnding.
    bool RunHeroCommand(ScriptCommand& c, ScriptEnding* pEnding);
    bool RunValueCommand(ScriptCommand& c, ScriptEnding* pEnding);
    bool RunMediaCommand(ScriptCommand& c, ScriptEnding* pEnding);
    // A talk text alone on black until a press after the first second (or a quit).
    void WaitTalk(const char* pszText);
    // A talk text scrolling up the screen until its top is 300 pixels above the bottom.
    void ScrollText(const char* pszText);
    void ShowBackPicture(int n);
    void ShowUpHead(int nSlot, int nId, int nFrame);
    void ShowMoveText(int nCaption);
    void ShowMoveText2(int nCaption);
    // Runs an event's steps as a sub-script (battle scripts) and returns the current step.
    // The step registers are saved by the first call only, until RestoreSubScript puts
    // back each saved one that is set. An event the scene does not list leaves the steps
    // as they are; the event is marked started unless the steps are empty.
    int StartSubScript(int nEvent);
    void RestoreSubScript();
    void InitPartyHero(int nIndex);
    void SetHeroAction(int nCharacter, int nAction);
    void RunKnockGame(int nKind);
    void RunMiniGame(int n);
    static int OppositeDirection(int nDirection) { return ((nDirection + 4) % 8 + 8) % 8; }
    // Party files (shell/PartyFiles.cpp), in the folder "save" of the game folder.
    // False when the file could not be written or read whole (nothing changed then).
    bool SaveTempParty(int n);
    bool LoadTempParty(int n, bool bKeep);
    int RestoreParty(int nScene, int x, int y, int nMemberA, int nMemberB, int nMemberC);
    // Member nNumber (1..4) joins from "SavePlayer%d.sav", else "InitPlayer%d.sav"
    // (bInitial: only the initial file), placed beside the hero.
    bool LoadPlayerFile(int nNumber, bool bInitial);
    // Member nNumber leaves: its record goes to "SavePlayer%d.sav" and only then is it
    // removed. False (the member stays) when the file could not be written.
    bool SavePlayerFile(int nNumber);
    // The flag of command 49, read only by the dormant code.
    std::int32_t m_bDormantFlag = 0;
    // The local-network sides of the dormant code. Nothing stores one here; the window
    // deletes what it holds, the peer first.
    CUdpPeer* pUdpPeer = nullptr;
    CUdpHost* pUdpHost = nullptr;
    // Why the last party-file operation failed ("" when it did not).
    std::string m_strPartyFileError;

private:
    // Loop-local state of the main loop that outlives one pass.
    DWORD m_dwHoldStart = 0;
    DWORD m_dwDamageTickTime = 0;
    DWORD m_dwStartPictureTime = 0;
    char m_szStartupError[512] = {};
    char m_szFailure[512] = {};

    void StartupFailed(const char* pszWhat, const char* pszWhy);
    bool ShowNoticePicture();
    void ShowStartPicture();
    void HoldInput();
    void HeldMapClick();
    // Deletes the moving-text banner and the one-shot text lines.
    void DropMoveTexts();
    void ReapOneShots();
};

extern CMainFrame* pFrame;
