// The in-game toolbar along the bottom of the screen and the owner of every in-game
// panel: portraits, life and mana bars, skill icons, quick slots, the stack slot and the
// toolbar button; the two panel groups and the scene map; the script text box and the
// caption. It takes the main window's mouse and key input before the map does.
#pragma once
#include <cstdint>
#include <memory>

#include "platform/Base.h"
#include "ui/panels/PanelFactory.h"
#include "ui/toolbar/BagRules.h"
#include "ui/toolbar/DecLife.h"
#include "world/AreaEffect.h"
#include "world/FlyingEffect.h"
#include "world/Weather.h"

class CDXSurface;
class CTgaImage;
class CPlayer;

constexpr int kToolBarBombFrames = 21;
constexpr int kToolBarPoolSize = 100;
constexpr int kToolBarQuickSlots = 8;

// Panel slots, in the order the toolbar keeps them.
enum ToolBarPanel { kSkillPanel, kItemPanel, kStatePanel, kSysPanel, kTaskPanel, kSetPanel, kSavePanel, kLoadPanel,
                    kToolBarPanelCount };

// Selector values of the two panel groups.
constexpr int kGroupASettings = 4, kGroupASave = 5, kGroupALoad = 6, kGroupAState = 7;
constexpr int kGroupBSkill = 2, kGroupBItem = 3, kGroupBSys = 4, kGroupBTask = 5;

class CGameToolBar {
public:
    CGameToolBar();
    virtual ~CGameToolBar();
    CGameToolBar(const CGameToolBar&) = delete;
    CGameToolBar& operator=(const CGameToolBar&) = delete;

    // The frame: target bar, open panels, background and the HUD; only with a scene.
    void Draw();
    // Input, each nonzero when taken.
    int OnLButtonUp();
    int OnRButtonDown(int x, int y);
    int ClearSkillAtPortrait();
    int OnLButtonDblClk(int x, int y);
    int OnMouseMove();
    int OnKeyDown(int nKey, UINT nFlags);

    void CloseAllPanels();
    // After a script or a party change: the open state, skill and item panels show the
    // hero again.
    void RefreshPanels();
    void ToggleItemPanel();
    // Closes the item panel when it is open (a finished trade); the right-hand selector
    // clears when it pointed at it.
    void CloseItemPanel();
    // Reloads the background and copies the hero's quick-slot mirror.
    void ReloadForHero();
    // Background and HUD only (the save thumbnail).
    void DrawToolBarOnly();
    // The title screen's load and settings panels (group A), drawn and fed a click on
    // each new press of the left button. While a modal box runs (its loop redraws the
    // title) they are only drawn, so a press answering the box is no click of theirs.
    void RunTitleLoadPanel();
    void RunTitleSettingsPanel();
    // Opens a group-A panel from the title screen.
    void OpenTitlePanel(int nSelector);

    // Bag rules on the controlled hero.
    int PutItemInBag(int nItem);
    static bool FitsInBag(const std::int32_t grid[kBagCells], int nCell, int nShape);
    void PlaceInBag(int nCell, int nShape, int nItem);
    int AddItemToBag(int nItem);
    void DropItemAtHero(int nItem, int nMoney);

    // HUD (ToolBarHud.cpp).
    void DrawHud();
    void DrawBar(CDXSurface* pMiddle, CDXSurface* pLeft, CDXSurface* pRight, int w, int x, int y);
    void UpdateToolBarHover();
    void DrawBarTips();
    void DrawSkillTip(int nSkill);
    void DrawItemDescription();
    void DrawItemDescriptionAt(int nItem, int nPrice);
    void DrawTargetBar();
    int ShowTextBox(int nIndex, int nStepMs);
    void DrawTextBox();
    void DrawCaption();
    // Shows a caption (the skill level-up message), cut at a character boundary.
    void SetCaption(const char* pszText);
    // Panels.
    CGamePanel* Panel(ToolBarPanel n) const { return m_pPanels[n].get(); }
    int GetSelectorA() const { return m_nSelectorA; }
    int GetSelectorB() const { return m_nSelectorB; }
    bool IsPanelOpen() const { return m_nSelectorA != -1 || m_nSelectorB != -1; }
    // The view of the controlled hero's bag.
    BagView HeroBag() const;

    // Fields, as the data model lists them.
    int m_nBombItem = -1;
    CDXSurface* m_pBombFrames[kToolBarBombFrames] = {};
    POINT m_ptBomb{};
    BYTE m_bBombArmed = 0;
    DWORD m_dwBombTime = 0;
    DWORD m_dwCaptionTime = 0;
    int m_nCompanion = -1;
    BYTE m_bCaptionShown = 0;
    char m_szCaption[103] = {};
    RECT m_rcCompanionSkill{};
    int m_nTipCell = -1;
    int m_nWeather = -1;
    int m_nReserved[4] = {-1, -1, -1, -1};
    int m_bShake = 0;
    int m_nTextBoxStep = 120;
    int m_bTextBoxDismissed = 0;
    int m_bTextBoxFadingIn = 0;
    DWORD m_dwTextBoxNow = 0;
    DWORD m_dwTextBoxLastStep = 0;
    int m_nTextBoxAlpha = 0;
    CDXSurface* m_pTextBox = nullptr;
    RECT m_rcStackSkill{633, 482, 690, 541};
    int m_nStackSkillArmed = -1;
    int m_nStackCount = 0;
    int m_nStackItem = -1;
    RECT m_rcStackSlot{};
    int m_nQuickSlots[kToolBarQuickSlots];
    RECT m_rcQuickSlots[kToolBarQuickSlots]{};
    int m_nTipItem = -1;
    CDXSurface* m_pDescription = nullptr;
    RECT m_rcHeroSkill{};
    RECT m_rcHeroLife{}, m_rcHeroMana{};
    RECT m_rcHeroPortrait{}, m_rcCompanionPortrait{};
    RECT m_rcCompanionLife{}, m_rcCompanionMana{};
    CDXSurface* m_pOtherLife = nullptr;
    CDXSurface* m_pOtherMana = nullptr;
    CDXSurface* m_pTextBoxPlate = nullptr;
    // Life middle, left, right; mana left, middle, right.
    CDXSurface* m_pBlood = nullptr;
    CDXSurface* m_pBloodLeft = nullptr;
    CDXSurface* m_pBloodRight = nullptr;
    CDXSurface* m_pManaLeft = nullptr;
    CDXSurface* m_pMana = nullptr;
    CDXSurface* m_pManaRight = nullptr;
    CDXSurface* m_pMenuPicture = nullptr;
    CTgaImage* m_pPortraits[5] = {};
    CDXSurface* m_pAbsent[3] = {};
    CTgaImage* m_pButton = nullptr;
    CTgaImage* m_pButtonHover = nullptr;
    int m_nToolBarHover = -1;
    RECT m_rcButtonStrip{};
    int m_nSelectorA = -1;
    int m_nSelectorB = -1;
    // Whether the left button was held when the title's panel last looked: a press
    // counts once however long it is held.
    bool m_bTitleButtonHeld = false;
    int m_nPartyBehaviour = 0;
    int m_nHero = 1;
    // The picture and font the floating numbers share (declared first: it outlives them).
    CDecLifeArt m_decLifeArt;
    std::unique_ptr<CDecLife> m_pFloatingNumbers[kToolBarPoolSize];
    POINT m_ptOrigin{0, 455};
    CDXSurface* m_pBackground = nullptr;
    std::unique_ptr<CGamePanel> m_pSceneMap;
    std::unique_ptr<CGamePanel> m_pPanels[kToolBarPanelCount];

    // Fields the scene, the party and the saves touch.
    int m_nPartyCount = 1;
    // Party ids by member number 1..4 (index 0 unused); -1 not in the party.
    int m_nPartyIds[5] = {-1, -1, -1, -1, -1};
    // Set when OnKeyDown takes a key, cleared as Draw starts.
    BYTE m_bKeyTaken = 0;
    // Whether the party file of member number 2..4 is kept (index = number).
    BYTE m_bPartyFiles[5] = {};
    // Nonzero stops a computer-steered hero's idle clock.
    int m_nIdleHold = 0;
    // The hero whose skill panel is open (hero number; 0 none).
    int m_nSkillMenuHero = 0;
    // The cell marker the scene draws; its frames are the bomb frames.
    BYTE m_bMarkerShown = 0;
    POINT m_ptMarker{};
    int m_nMarkerDirection = 0;
    DWORD m_dwMarkerStart = 0;
    // The label box behind a ground item's name: the description box picture.
    CDXSurface* GetLabelBox() const { return m_pDescription; }

    // Caption blink state and the text-box fade, for the frame draws.
    int m_nCaptionBlink = 0;
    int m_bCaptionWhite = 0;

    // Quick slots and the stack slot (ToolBarSlots.cpp). Each click is nonzero when taken.
    int OnQuickSlotClick();
    int OnStackSlotClick();
    int OnStackSkillClick();
    // Arms the stack skill (skill 50) when hero character 3 holds stack units.
    void ArmStackSkill();
    void DrawStackSkillIcon();
    // Writes the slots and the stack into the controlled hero's mirror.
    void MirrorSlots();
    // True when the cursor lies on the toolbar background.
    bool IsMouseOnBackground() const;

    // The bomb (ToolBarBomb.cpp): armed from quick slot 4..7, counted down in Draw.
    // Arms the bomb of quick slot nSlot (4..7) with one of the hero's units; nothing for
    // another slot, a slot without a bomb or a hero without a unit of it.
    void ArmBomb(int nSlot);
    // Arms bomb item nItem at the controlled hero's point; the caller takes the unit.
    // False, with nothing changed, while a bomb counts down, without a hero, or for an
    // item that is no bomb (no explosion kind).
    bool ArmBombItem(int nItem);
    void DrawBomb();
    void ExplodeBomb(int nItem);

    // Life-loss numbers and loot (ToolBarLoot.cpp).
    void AddDecLife(int x, int y, int nAmount);
    void ReapFloatingNumbers();
    int FloatingNumberCount() const;
    // One roll for money and the four items; nothing below 30.
    void DropLoot(int x, int y, int nMoney, int nItem1, int nItem2, int nItem3, int nItem4);
    // The roll: the generator reseeded from itself, plus the clock, modulo 100.
    static int LootRoll();
    // Whether an item of a type (kLootMoney for money) drops at roll r.
    static bool LootPass(int nType, int nRoll);
    void LayLoot(int nRoll, int x, int y, int nMoney, const int nItems[4]);
    // The shell's pick-up of the ground item under the cursor: 1 taken (or refused for
    // a full bag), -1 nothing done.
    int PickUpItem();
    // Shake and party services of the event scripts (ToolBarParty.cpp).
    // One step of the screen shake: the view origin moves by a random step, held to
    // the scene's scroll range.
    void ShakeView();
    // Toggles the stance of the hero and of every other party member present.
    void TogglePartyLook();
    // Clears the item bonus records of member number n (1..4); bonuses in force come
    // off the member first. Item counts stay.
    void ClearMemberItems(int nMember);
    // Flips the busy flag of the hero or the first other party member with that member
    // number.
    void ToggleMemberBusy(int nMember);
    void AddHeroAttackDefence(int nAttack, int nDefence);
    // Mana (1) or life (0) of the hero and every other party member to its maximum.
    void RefillParty(int nWhich);
    // The walk target itself on a free cell, else the centre of the first free cell
    // along the rays around it; (-1, -1) when none lies within reach.
    POINT FindFreeMapPoint(int x, int y) const;
    // The first passable neighbour of a cell; the cell itself when none is.
    POINT FindNeighbourCell(int cx, int cy) const;

    // The pools of area and flying effects and the weather overlays (ToolBarEffects.cpp,
    // ToolBarWeather.cpp). The spawners take the first free slot of their pool of 100
    // and do nothing when it is full.
    // A flying effect: kind 0 a line toward a screen point, 1 a ring of 32; nMark is the
    // mark value and nAnimation the sprites' animation; another kind is kept unlaunched.
    void AddFlyingEffect(int nMark, int nStartX, int nStartY, int nAnimation, int nTargetX, int nTargetY, int nUnused,
                         int nKind);
    // The same with animation 0 and marks that hurt the heroes (a character's shot).
    void AddFlyingEffectFromPoint(int nMark, int nStartX, int nStartY, int nTargetX, int nTargetY, int nKind,
                                  int nUnused);
    // From the controlled hero's map point; nothing while he attacks or is hurt.
    void AddFlyingEffectFromHero(int nTargetX, int nTargetY, int nKind, int nUnused, int nAnimation, int nMark);
    // Area pattern nPattern around the controlled hero; nothing while he attacks or is hurt.
    void AddAreaEffectAtHero(int nMark, int nUnused1, int nUnused2, int nPattern, int nUnused3);
    // The area pattern of skill nSkill at a map point. Marks of a character's skill
    // (owner -1) hurt the heroes; a party member's hurt the characters.
    void AddEffectAt(int nMark, int x, int y, int nSkill, int nOwner);
    // Ticks (and so draws) every area and flying effect and frees those that finished.
    void ReapEffects();
    int CountAreaEffects() const;
    int CountFlyingEffects() const;
    // Toggles weather n: 0 the shake, 1 snow, 2 fog, 3 rain, 4 plain stripes, 5 striped
    // stripes (either stripe number deletes stripes that are on). Records n when none was
    // recorded, else clears the record. Another number changes nothing.
    void SetSceneWeather(int nWeather);
    // Fog, snow, rain and stripes, those present, while a scene exists.
    void DrawWeather();
    // Every overlay and the shake off and no weather recorded: a new game, the return to
    // the title and a loaded game start from here.
    void SwitchOffAllWeather();
    // The fight of the game that ends: every area and flying effect, every life-loss
    // number and an armed bomb go. Called with SwitchOffAllWeather on a new game, the
    // return to the title and a loaded game.
    void ResetFightState();

    std::unique_ptr<CAreaEffect> m_pAreaEffects[kToolBarPoolSize];
    std::unique_ptr<CFlyingEffect> m_pFlyingEffects[kToolBarPoolSize];
    std::unique_ptr<CSnowEffect> m_pSnow;
    std::unique_ptr<CFogEffect> m_pFog;
    std::unique_ptr<CRainEffect> m_pRain;
    std::unique_ptr<CStripeEffect> m_pStripes;

private:
    void LoadPictures();
    void BuildRects();
    void DrawOpenPanels();
    void ClearScreen() const;
    void ClosePanel(ToolBarPanel n);
    void DeletePanel(ToolBarPanel n) { m_pPanels[n].reset(); }
    void MakePanel(ToolBarPanel n, PanelKind kind, bool bHero = true);
    // Steps of OnLButtonUp.
    int RouteGroupA();
    int RouteGroupB();
    int RouteCarriedItem(int nItem);
    int RouteSkillButtons();
    int RouteToolBarButton();
    void OnStatePanelCode(int nCode);
    void OnSysMenuCode(int nCode);
    void ToggleSkillPanelFor(int nHero, bool bHero);
    // Keys.
    int OnTableKey(int nKey);
    void UseQuickSlot(int nSlot, bool bHeroFirst);
    void WalkByKey(int nKey);
    void TogglePanelByKey(bool bGroupA, int nValue, ToolBarPanel n, PanelKind kind, bool bHero);
    void RunTitlePanel(int nSelector, ToolBarPanel n);
};

// The loot type of money.
constexpr int kLootMoney = -1;
// Explosion kind 0..4 of a bomb item (the scene effect is kind + 1); -1 for other ids.
int BombKind(int nItem);
// Reach of a bomb item in map pixels; -1 for other ids.
int BombRange(int nItem);

// Plate size of the script text box for a text of nBytes bytes.
SIZE TextBoxPlateSize(int nBytes);
// Copies at most nSize - 1 bytes of a GBK text, never splitting a double-byte character.
void CopyTextBounded(char* pDest, int nSize, const char* pszSource);

