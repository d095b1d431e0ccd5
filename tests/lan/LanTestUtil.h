// A headless screen with a menu package of the library panels' stand-in pictures, a
// hero, a cursor with a small sprite, and a fake of the panels around the goods grid.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CDX/CDXSprite.h"
#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "lan/GoodsGrid.h"
#include "lan/LanPictures.h"
#include "shell/Mouse.h"
#include "shell/MainFrame.h"
#include "shell/PictureStore.h"
#include "tests/ui/UiTestUtil.h"
#include "world/Player.h"

// The panels around the grid: open flags, goods-panel cells and the messages shown.
class CFakePeers : public CGoodsGridPeers {
public:
    bool IsStatusPageOpen(int nPage) override { return bStatusOpen[nPage & 3]; }
    bool IsGoodsPanelOpen() override { return bGoodsOpen; }
    bool IsToolBarPanelShown() override { return false; }
    bool GoodsPanelCell(int nItem, POINT* pPos) override {
        if (nItem != nCellItem) return false;
        *pPos = ptCell;
        return true;
    }
    void ShowMessage(int nId) override { messages.push_back(nId); }

    bool bStatusOpen[4] = {};
    bool bGoodsOpen = false;
    int nCellItem = -1;
    POINT ptCell{};
    std::vector<int> messages;
};

// The colour a stand-in file is painted with in the test package.
inline std::uint32_t StandInColour(int nIndex) {
    return Argb(255, 40 + (nIndex * 67) % 200, 40 + (nIndex * 131) % 200, 40 + (nIndex * 29) % 200);
}

class LanTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        std::vector<PkgEntryData> entries;
        int n = 0;
        for (const LanPicture& pic : LanPictureFiles()) {
            const int nTiles = pic.nTiles > 0 ? pic.nTiles : 1;
            entries.push_back({pic.pszName, BuildBmp(Keyed(pic.nWidth * nTiles, pic.nHeight, StandInColour(n++)))});
        }
        entries.push_back({"cursor.bmp", BuildBmp(Keyed(4, 4, Argb(255, 250, 250, 250)))});
        ASSERT_TRUE(UsePackage(std::move(entries)));
        m_mouse.m_pSprite = LoadMenuSprite("cursor.bmp", 4, 4, 1, 1);
        ASSERT_NE(m_mouse.m_pSprite, nullptr);
        pMouse = &m_mouse;
        pPlayer = &m_player;
        SetGoodsGridPeers(&m_peers);
    }
    void TearDown() override {
        SetGoodsGridPeers(nullptr);
        pMouse = nullptr;
        pPlayer = nullptr;
        delete m_mouse.m_pSprite;
        m_mouse.m_pSprite = nullptr;
        UiTest::TearDown();
    }
    // Moves the cursor (and its sprite) to (x, y).
    void MoveTo(int x, int y) {
        m_mouse.m_nX = x;
        m_mouse.m_nY = y;
        m_mouse.m_pSprite->SetPos(x, y);
    }

    CMouse m_mouse;
    CPlayer m_player;
    CFakePeers m_peers;
};

// The same with a main window, the hero and a game-data object of 100 items.
class LanFrameTest : public LanTest {
protected:
    void SetUp() override {
        LanTest::SetUp();
        m_pFrame = std::make_unique<CMainFrame>();
        pFrame = m_pFrame.get();
        pPlayer = &m_player;  // the frame's constructor clears the hero pointer
        m_pData = std::make_unique<CGameData>();
        m_pData->pItem = m_items;
        m_pData->nItemCount = 100;
        pGameData = m_pData.get();
    }
    void TearDown() override {
        m_pData->pItem = nullptr;
        m_pData->nItemCount = 0;
        pGameData = nullptr;
        pFrame = nullptr;
        m_pFrame.reset();
        LanTest::TearDown();
    }

    std::unique_ptr<CMainFrame> m_pFrame;
    std::unique_ptr<CGameData> m_pData;
    ItemRow m_items[100];
};
