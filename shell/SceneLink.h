// The scene's side of the main window: the host the scene asks for screen, tables and
// options, the map link through which the main window draws, updates, scrolls and
// hit-tests the scene, and the building of a scene from its files, which installs both.
#pragma once
#include <string>

#include "shell/FrameLinks.h"
#include "world/EffectAnim.h"
#include "world/NpcHost.h"
#include "world/SceneHost.h"

// Answers the scene's questions from the main window (pFrame) and the panels.
class CShellSceneHost : public CSceneHost {
public:
    int GetScreenWidth() const override;
    int GetScreenHeight() const override;
    int GetSceneNumber() const override;
    bool IsInGame() const override;
    SceneFlagTable GetEventFlagsA() const override;
    SceneFlagTable GetEventFlagsB() const override;
    bool CopyPictures() const override;
    bool PicturesFromPackages() const override;
    void SetShadowScale(float fScale) override;
    CDXSprite* GetBackPicture() const override;
    int GetActiveSlot() const override;
    bool IsSceneEffectWaiting() const override;
    // The effect list at the hero's depth, while a scene effect runs.
    void UpdateEffects() override;
    bool GetCellMarker(CellMarkerView* pMarker) const override;
    CDXSurface* GetLabelBox() const override;
    // A fallen member's file is written as the member leaves (SavePlayerFile).
    void SaveMemberFile(int nNumber) override;
    void OnHeroDied() override;
    void ReapEffects() override;
};

// What the characters ask of the main window, the toolbar and the work panels.
class CShellNpcHost : public CNpcHost {
public:
    int StartEvent(int nEvent) override;
    bool IsPanelOpen() const override;
    void ClearSecondEffectWait() override;
    bool TakeNpcWalkModeFlag() override;
    void FailNpcInit(const std::string& strText) override;
};

// The effects' view of the current scene.
class CShellEffectSceneLink : public CEffectSceneLink {
public:
    POINT GetViewOrigin() const override;
    void ClearHoverActor() override;
};

// The map link's scene, character and effect calls. The heroes and the event scripts
// keep the default answers until their parts install theirs.
class CSceneMapLink : public CMapLink {
public:
    void CreateEffectManager() override;
    void DeleteEffectManager() override;
    bool UpdateEffects() override;
    bool DrawMoveText(CMoveText* pText) override;
    void DeleteMoveText(CMoveText* pText) override;
    int GetNpcClass(int nId) const override;
    void ReviveNpcs() override;
    void ResetNpcs() override;
    void DrawScene() override;
    void UpdateScene() override;
    void SetScrolling() override;
    void ScrollView(int nDx, int nDy) override;
    void HitTestObjects(int x, int y) override;
    int GetHoverObject() const override;
    void SetHoverObject(int nHover) override;
    void DeleteWorld(int nActiveSlot) override;
    void DeleteScene() override;
    void FollowScriptView(const ScriptCommand* pCommand) override;
};

// One step of the view toward a view centre (map pixels), kept inside the map.
void StepViewTowards(int x, int y);

// Installs the shell's scene host, hero host, map link, character host and the effects'
// scene link (once; later calls do nothing new).
void InstallSceneLinks();
// Which file kept a scene from being built.
enum class SceneFault { kNone, kMapMissing, kMapDamaged, kSettingDamaged };
// Deletes the current scene and builds scene nScene from "map\sceneNNN.map" and ".set"
// into pScene. False with the reason when the map file is missing or damaged, or the
// setting file is damaged (*pFault then tells which); then there is no scene. A setting
// file that is missing or of another kind, and characters left out or built despite a
// fault, are said on stderr.
bool MakeScene(int nScene, std::string* pWhy, SceneFault* pFault = nullptr);
