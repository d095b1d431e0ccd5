// A game folder with level and item tables, a recording hero host, and the hero
// globals cleared before and after each test.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gamedata/GameData.h"
#include "shell/ShellGlobals.h"
#include "tests/TempFolder.h"
#include "tools/gamekit/GameDataWriters.h"
#include "world/Player.h"
#include "world/PlayerHost.h"

// Answers like a toolbar, work-panel host and sprite package would, and records what
// the hero asked of them.
class CFakeHeroHost : public CHeroHost {
public:
    int GetCurrentHero() const override { return nCurrentHero; }
    void SetCurrentHero(int n) override { nCurrentHero = n; }
    void ReloadForHero(int n) override { reloads.push_back(n); }
    bool IsPanelOpen() const override { return bPanelOpen; }
    void ClearItemPanelCell(int nCell) override { clearedCells.push_back(nCell); }
    bool HasPartyFile(int n) const override { return n >= 0 && n < 5 && bPartyFile[n]; }
    void LoadPartyFile(int n) override { loadedFiles.push_back(n); }
    bool GetCellOfPoint(POINT pt, POINT* pCell) const override {
        if (!bScene) return false;
        *pCell = POINT{pt.x / 32, pt.y / 32};
        return true;
    }
    // Sculpt s, action a has 10 * s + a frames: every count tells where it came from.
    int GetSpriteFrameCount(int nSculpt, int nAction) const override {
        return nSculpt >= 0 && nAction >= 0 && nAction < 27 ? 10 * nSculpt + nAction : 0;
    }

    int nCurrentHero = 1;
    bool bPanelOpen = false;
    bool bScene = false;
    bool bPartyFile[5] = {};
    std::vector<int> reloads, clearedCells, loadedFiles;
};

class HeroTest : public ::testing::Test {
protected:
    CTempFolder dir;
    CGameData data;
    CFakeHeroHost host;

    // Level row 0 of member m: life 100 + m, mana 40 + m, attack 7, defence 3,
    // experience 5, age 16 + m. Items 0..5: item k has attack k, defence 2k, life 10k,
    // mana 5k, stamina maximum (column 9) k + 1.
    void SetUp() override {
        GameModel model;
        model.options.nPlayerSpeed = 9;
        for (int m = 0; m < 4; ++m) {
            model.levels[size_t(m)] = LevelModel{0, 7, 3, 100 + m, 40 + m, 5, 0, 0, 16 + m};
        }
        for (int k = 0; k < 6; ++k) {
            ItemModel item;
            item.strName = "item" + std::to_string(k);
            item.nAttack = k;
            item.nDefence = 2 * k;
            item.nLife = 10 * k;
            item.nMana = 5 * k;
            item.nCelerity = k + 1;
            model.items.push_back(item);
        }
        std::string strError;
        ASSERT_TRUE(WriteGameDataFiles(dir.Path().c_str(), model, &strError)) << strError;
        data.InitPaths(dir.Path().c_str());
        data.LoadOptions();
        ASSERT_TRUE(data.ReadTableCache()) << data.GetLastError();
        pGameData = &data;
        SetHeroHost(&host);
        ClearHeroes();
    }
    void TearDown() override {
        ClearHeroes();
        SetHeroHost(nullptr);
        pGameData = nullptr;
    }
    static void ClearHeroes() {
        pPlayer = nullptr;
        for (CPlayer*& p : pParty) p = nullptr;
    }
};
