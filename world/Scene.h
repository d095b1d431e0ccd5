// The current map, held by pScene: its cell grid (rectangular or diamond) with the
// per-cell block map, the pictures and the seven object lists from the map file, the
// event regions from the setting file, the view origin, and the per-frame update, draw
// and hit test. Pixel coordinates are map pixels unless a name says otherwise.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Base.h"
#include "world/CellArea.h"
#include "world/GroundItem.h"
#include "world/MapFile.h"
#include "world/MapObject.h"
#include "world/Npc.h"
#include "world/ScenePic.h"

class CByteReader;
class CByteWriter;
class CDXSurface;

constexpr int kDrawListLimit = 100000;
constexpr int kMarkLifeUpdates = 20;
constexpr DWORD kAnimationStepMs = 200;
constexpr DWORD kRespawnMs = 420000;
// The right edge of the map the view keeps hidden while it follows the hero.
constexpr int kViewRightMargin = 70;
// The toolbar's bottom strip hides this many rows of the screen from the flat draw.
constexpr int kToolbarStripHeight = 60;

// The defeat watch of script command "scene marks".
struct DefeatWatch {
    BYTE bArmed = 0;
    std::int32_t nMode = -1;
    std::int32_t nFirst = -1, nLast = -1;
    std::int32_t nEvent = -1;
    std::int32_t nCount = -1;
    std::int32_t nList[10] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
};

class CScene {
public:
    CScene();
    virtual ~CScene();
    CScene(const CScene&) = delete;
    CScene& operator=(const CScene&) = delete;

    // Grid.
    bool InitMap(int nWidth, int nHeight, int nKind, int nSize);
    POINT PixelToCell(int x, int y) const;
    POINT CellToPixel(int cx, int cy) const;
    int CellIndex(int cx, int cy) const { return cx + nGridWidth * cy; }
    bool IsInGrid(int cx, int cy) const { return cx >= 0 && cy >= 0 && cx < nGridWidth && cy < nGridHeight; }
    // The cell record at (cx, cy); null outside the grid.
    SceneCell* CellAt(int cx, int cy);
    const SceneCell* CellAt(int cx, int cy) const;
    // The map point of a cell; (-1, -1) outside the grid.
    POINT GetCellPoint(int cx, int cy) const;
    // The region of the cell under a map point; -1 outside the grid or without one.
    int GetCellRegion(int x, int y) const;
    void GetNeighbourCells(int nIndex, int pOut[8]) const;
    bool IsCellFree(int cx, int cy) const;
    bool IsCellPassable(int cx, int cy) const;
    bool IsNotHeroCell(int cx, int cy) const;
    void ToggleWall(int cx, int cy);

    // Footprints and the block map.
    int PlaceObjectFootprint(CMapObject* pObject);
    void PlaceAllFootprints();
    void UpdateNpcFootprints();
    void RebuildBlockMap();

    // Cell marks.
    bool SetCellMark(int cx, int cy, int nMark, int nKind);
    bool ClearCellMark(int cx, int cy);

    // View.
    void ScrollToHero();
    void ScrollToPoint(int hx, int hy);
    void ScrollViewTowards(int x, int y);
    void ScrollUp(int n);
    void ScrollDown(int n);
    void ScrollLeft(int n);
    void ScrollRight(int n);

    // Files.
    static void ShowLoadingScreen(int nScene);
    // Reads "map\sceneNNN.map"; false when it is missing, unknown or damaged (the reason
    // is kept in GetLoadError, and IsMapDamaged tells the last from the first two).
    bool LoadMap(int nScene);
    // Whether the last LoadMap failed on a file with a map header whose content is damaged.
    bool IsMapDamaged() const { return m_bMapDamaged; }
    // Builds the scene from a map already read (the viewer and tests use it directly).
    bool BuildFromMap(int nScene, const MapFileData& map);
    // Reads "map\sceneNNN.set". A missing file, or one without the setting header, leaves
    // the scene without regions and characters and is no failure (GetSettingError says
    // why); a damaged one (a count,
    // an index or a character field out of range, a file cut short) returns false. The
    // reason is kept in GetSettingError either way.
    bool LoadSetting(int nScene);
    void ApplySetting(const SettingFileData& setting);
    const std::string& GetLoadError() const { return m_strLoadError; }
    const std::string& GetSettingError() const { return m_strSettingError; }
    // Characters left out or built despite a fault (a cell outside the grid, a negative
    // sculpt) while the setting file was read, one message each naming the file.
    const std::vector<std::string>& GetNpcWarnings() const { return m_npcWarnings; }

    // Frame.
    void Update();
    void Draw();
    void DrawObjectsAgain();
    bool HitTestObjects(int x, int y);
    int FindCellArea(int x, int y) const;
    void BuildDrawList();
    void DepthSortDrawList();

    // Characters (the array in setting-file order).
    int GetNpcCount() const { return int(pNpcs.size()); }
    CNpc* GetNpc(int nIndex) const {
        return nIndex >= 0 && nIndex < int(pNpcs.size()) ? pNpcs[size_t(nIndex)].get() : nullptr;
    }
    // Array index of the character with an id; -1 when none has it.
    int FindNpcById(int nId) const;
    void SetNpcPosition(int nId, int x, int y);
    // Direction wrapped into 0..7.
    void SetNpcDirection(int nId, int nDirection);
    // Starts a shown character's walk; true when its path holds waypoints.
    bool MoveNpcTo(int nId, int x, int y);
    // True when a character with the id exists and has no life left.
    bool IsNpcStopped(int nId) const;
    // Corpses stand again when they revive, else are gone (scene change, loaded game).
    void ReviveDeadNpcs();
    // Every character back to its home point (scene change).
    void UpdateNpcs();
    // The characters take their records from the current effect manager, or keep their
    // own copies when there is none (the manager is about to be replaced or deleted).
    void RebindNpcStates();
    // Class of the character with an id; -1 when there is none.
    int GetNpcClass(int nId) const;

    // Ground items.
    // Places an item (or money, count > 0) on the nearest free cell around a map point.
    // False (nothing placed) for item -1, without a grid, or when every slot is taken.
    bool DropItemOnGround(int nItem, int x, int y, int nCount);
    void RemoveGroundItem(int nSlot);
    CGroundItem* GetGroundItem(int nSlot) const {
        return nSlot >= 0 && nSlot < int(pGroundItems.size()) ? pGroundItems[size_t(nSlot)].get() : nullptr;
    }
    void SaveGroundItems(CByteWriter& out) const;
    // Reads the block; records that do not fit the scene are skipped. False with the
    // reason when the block ran short (the items read before stay).
    bool LoadGroundItems(CByteReader& in, std::string* pError);
    void UpdateHoverGroundItem();

    // Pictures and lists.
    CScenePic* GetPicture(int n) const {
        return n >= 0 && n < int(pPictures.size()) ? pPictures[size_t(n)].get() : nullptr;
    }
    int GetPictureCount() const { return int(pPictures.size()); }
    std::vector<std::unique_ptr<CMapObject>>& List(int nList) { return lists[nList]; }
    const std::vector<CMapObject*>& GetDrawList() const { return drawList; }
    // The surface of the cell-mark picture; null until the first mark is set.
    CDXSurface* GetMarkPicture() const { return pMarkPicture.get(); }

    std::int32_t nSceneNo = -1;
    std::int32_t nGridKind = 0;
    std::int32_t nCellSize = 32;
    std::int32_t nGridWidth = 0, nGridHeight = 0;
    std::int32_t nCellCount = 0;
    POINT ptDiamondOrigin;
    RECT rcMap;
    POINT ptView;
    BYTE bHoldView = 0;
    // Debug marks of the followers (their point and their destination); nothing in the
    // game sets it.
    BYTE bDebugMarks = 0;
    POINT ptStart{-1, -1};
    std::vector<SceneCell> pCells;
    std::vector<std::int32_t> pBlocked;
    std::vector<std::int32_t> pPathCost, pPathState;
    std::vector<std::int32_t> pMarkTimer;
    std::vector<RegionRecord> pRegions;
    std::unique_ptr<CDXSurface> pMarkPicture;
    std::vector<std::unique_ptr<CScenePic>> pPictures;
    std::int32_t nLayerCount[kLayerCount] = {};
    std::vector<std::unique_ptr<CMapObject>> lists[kMapListCount];
    // The setting file's character records as read, and the characters built from them.
    std::vector<std::array<std::uint8_t, kNpcRecordSize>> npcRecords;
    std::vector<std::unique_ptr<CNpc>> pNpcs;
    // Ground-item slots, one per cell; null when empty.
    std::vector<std::unique_ptr<CGroundItem>> pGroundItems;
    std::int32_t nGroundItemCount = 0;
    std::int32_t nHoverGroundItem = -1;
    std::int32_t nCellAreaCount = 0;
    std::vector<CCellArea> pCellAreas;
    std::vector<CMapObject*> drawList;
    std::int32_t nStepObjectId = -1;
    std::int32_t bStepToggleWall = 0;
    DefeatWatch watch;
    std::int32_t nHoverActorId = -1;
    CMapObject* pHitObject = nullptr;
    DWORD timeLastAnimation = 0;
    DWORD timeNow = 0;
    DWORD timeLastRespawn = 0;

private:
    void AllocateSlots();
    void ResetPictures();
    void UpdateMarks();
    void AnimateObjects();
    // Black where the screen shows no map, so that nothing drawn there stays for the
    // next frame (a map smaller than the screen leaves such a border).
    void ClearOutsideMap();
    void DrawFlatObjects();
    void DrawCellMarker();
    void DrawSortedObjects();
    void DrawUpperObjects();
    void DrawOverlayObjects();
    void ReleaseIdlePictures();
    // The visible area of the flat draw: the screen less the toolbar's strip.
    RECT VisibleArea() const;
    void DrawIfVisible(const CMapObject& object, const RECT& rcVisible, bool bSmallTiles);

    // The characters' share of the frame (world/SceneNpcs.cpp).
    void WatchDefeats();
    void RespawnNpcs();
    void UpdateEachNpc();
    // Builds the characters from the setting file's records.
    void LoadNpcs();
    void PlaceNpcFootprint(CNpc& npc);
    void PlaceNpcFootprints();
    void PlaceNpcCells();
    void BlockNpcCells();
    void AppendNpcs();
    void DrawNpc(CMapObject* pObject);
    void DrawNpcTranslucent(CMapObject* pObject);
    CNpc* NpcOfObject(const CMapObject* pObject) const;
    void HitTestNpcs(int x, int y);
    void DrawGroundItemLabel();
    // False when the controlled hero died and the update must end.
    bool UpdateHeroes();
    void DrawGroundItems();
    // The controlled hero's map point and whether he walks; false without a hero.
    bool GetHeroPoint(POINT* pPoint, bool* pbWalking) const;

    // The heroes' share of the frame (world/SceneHeroes.cpp): their cells in the block
    // map, their entries in the draw list and their draw.
    void PlaceHeroCells();
    void BlockHeroCells();
    void AppendHeroes();
    // Draws a hero's draw-list entry (kinds 14 and 15); false when it is no hero's.
    bool DrawHero(CMapObject* pObject, bool bTranslucent);

    std::string m_strLoadError;
    bool m_bMapDamaged = false;
    std::string m_strSettingError;
    std::vector<std::string> m_npcWarnings;
};
