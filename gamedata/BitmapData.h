// The picture store, reached through pBitmapData: the five picture packages every
// drawing part asks for pictures, the effect frames of "Effect.pkg" loaded on first
// use and freed after battles and scene changes, the character sprite package, and
// one-picture caches for the talk bars' face and the panels' icons.
#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include "gamedata/EffectIndex.h"
#include "gamedata/NpcPkg.h"
#include "gamedata/PkgFile.h"
#include "platform/Base.h"

class CDXSprite;
class CDXSurface;
class CTgaFrame;

// Reads a picture entry of a package into a new surface of the given memory type; null
// when the entry is absent or is not a picture. bCornerKey makes the top-left pixel the
// colour key. The one loader of package pictures for the store, the menus and boxes.
CDXSurface* LoadPkgSurface(CPkgFile* pPkg, const char* pszName, DWORD dwMemory, bool bCornerKey);
// Reads a picture entry of a package into a new sprite of nCount tiles of nWidth x
// nHeight; null when the entry is absent or is not a picture.
CDXSprite* LoadPkgSprite(CPkgFile* pPkg, const char* pszName, int nWidth, int nHeight, int nCount, DWORD dwMemory);

class CBitmapData {
public:
    // Clears every cache and creates the sprite package (not yet opened).
    CBitmapData();
    virtual ~CBitmapData();
    CBitmapData(const CBitmapData&) = delete;
    CBitmapData& operator=(const CBitmapData&) = delete;

    // Opens the packages, "Effect.pkg" and the sprite package; false at the first failure.
    bool Init();
    // Opens "menu.pkg", "Scene.pkg", "SceneInside.pkg", "Vesk.pkg", "Head.pkg" in this
    // order (stopping at the first that fails) and reads the index of "Effect.pkg".
    bool OpenPackages();
    bool LoadItemBitmaps();

    // Draws frame f of effect e on the back buffer at (x, y): the hit result, 0 when
    // the effect or frame does not exist.
    int DrawEffectFrame(int nEffect, int nFrame, int x, int y);
    // Loads frame n of the whole package when its slot is empty; true when it is loaded.
    // The first frame that does not decode is said once; such frames are not read again.
    bool LoadEffectFrame(int n);
    // Deletes every loaded effect frame; the index and the stream stay.
    void FreeEffectFrames();
    int GetEffectCount() const { return int(m_effects.frameCount.size()); }
    int GetEffectFrameCount(int nEffect) const;
    int GetLoadedEffectFrames() const;

    // The talk bars' face picture "TX%03d.bmp" (face 0 when Head.pkg lacks it).
    void DrawTx(int nFace, int x, int y);
    void LoadTx(int nFace);
    // Deletes the face picture, so the next talk loads its own.
    void FreeTx();

    // Icon caches: each keeps one picture and its number, and loads another when a
    // different number is asked.
    void DrawItemIcon(int nItem, int x, int y);
    int DrawPropIcon(int nProp, int x, int y);
    int DrawJlIcon(int nNumber, int x, int y);
    int DrawSkillIconN(int nSkill, int x, int y);
    // Draws the hot-key picture of every hot key of the controlled hero that holds the skill.
    void DrawShortcutKey(int nSkill, int x, int y);
    // The battle's character frames come from the sprite package (picture set = sculpt):
    // frame f of an action in a direction (party 2, enemies 6), its anchor at
    // (x + 200, y + 170), with a colour add. 1 when the mouse lies on an opaque pixel.
    int DrawCharFrame(int nChar, int nAction, int nFrame, int x, int y, int nAddRed, int nAddGreen, int nAddBlue,
                      int nDirection = 2);
    // Frames of a picture set's action; 0 when it has none.
    int GetCharFrameCount(int nChar, int nAction) const;

    CPkgFile* GetVeskPkg() const { return m_pVesk.get(); }
    CPkgFile* GetMenuPkg() const { return m_pMenu.get(); }
    CPkgFile* GetScenePkg() const { return m_pScene.get(); }
    CPkgFile* GetSceneInsidePkg() const { return m_pSceneInside.get(); }
    CPkgFile* GetHeadPkg() const { return m_pHead.get(); }
    CNpcPkg* GetNpcPkg() const { return m_pNpcPkg.get(); }
    const std::string& GetError() const { return m_strError; }

private:
    // Creates a keyed surface from a menu.pkg entry; null when it is absent or does not load.
    CDXSurface* LoadMenuSurface(const char* pszName);
    int DrawCachedIcon(std::unique_ptr<CDXSurface>& pIcon, int& nKey, const char* pszFormat, int nNumber, int x,
                       int y);

    int m_nItemKey = -1;
    int m_nPropKey = -1;
    int m_nJlKey = -1;
    int m_nSkillNKey = -1;
    int m_nFaceKey = -1;
    std::unique_ptr<CDXSprite> m_pFace;
    std::unique_ptr<CPkgFile> m_pVesk, m_pMenu, m_pScene, m_pSceneInside, m_pHead;
    std::vector<std::unique_ptr<CTgaFrame>> m_effectFrames;
    // Frames whose bytes did not decode: not read again.
    std::vector<bool> m_badEffectFrames;
    bool m_bBadEffectSaid = false;
    FILE* m_pEffectStream = nullptr;
    EffectIndex m_effects;
    std::unique_ptr<CNpcPkg> m_pNpcPkg;
    std::unique_ptr<CDXSurface> m_pShortcut[5];
    std::unique_ptr<CDXSurface> m_pSkillIconN;
    std::unique_ptr<CDXSurface> m_pJlIcon;
    std::unique_ptr<CDXSurface> m_pPropIcon;
    std::unique_ptr<CDXSprite> m_pItemIcon;
    std::string m_strError;
};

extern CBitmapData* pBitmapData;
