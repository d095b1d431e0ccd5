// The shop's kept deal and the combining table in the whole game, headless, on the
// sample folder that mkgame writes. The harness opens the shop keeper's shop through the
// work link (as his script line does); a right click buys the first good, OK keeps it,
// and ESC's system menu saves into slot 3, which savetool then dumps. The table's event
// gives its ingredients, F1 opens the table, right clicks and a drag put the
// ingredients in, and Combine makes the first recipe's three results in cells 16 to 18.
#include <filesystem>
#include <string>

#include "gamedata/GameData.h"
#include "gamedata/Tables.h"
#include "platform/Clock.h"
#include "shell/FrameLinks.h"
#include "shell/MainFrame.h"
#include "shell/ShellGlobals.h"
#include "shell/ToolBarLink.h"
#include "tests/TempFolder.h"
#include "tests/shell/GameRun.h"
#include "tests/shell/HookedGame.h"
#include "tests/shell/ShellTestUtil.h"
#include "tools/mkgame/SamplePanels.h"
#include "ui/panels/ItemMenu.h"
#include "ui/toolbar/BagRules.h"
#include "ui/toolbar/GameToolBar.h"
#include "ui/work/CombineMenu.h"
#include "ui/work/TradeMenu.h"
#include "ui/work/WorkMenuHost.h"
#include "world/Player.h"

namespace {

// What the table's event gives, and what the first recipe makes of it.
constexpr int kTableEvent = 78;
constexpr int kGifts[] = {48, 53, 57, 57};
constexpr int kResult = 1, kResultCount = 3;
constexpr DWORD kShopAt = 10500, kTableAt = 16500, kGiveUpAt = 26000;

CWorkMenuHost* Work() {
    auto* pLink = dynamic_cast<CToolBarPanelLink*>(&PanelLink());
    return pLink ? pLink->GetWorkHost() : nullptr;
}

// A press and release at a point, starting at t ms, with the given button.
std::string Click(int t, int x, int y, const char* pszButton = "lbutton") {
    const std::string at = ' ' + std::to_string(x) + " " + std::to_string(y) + "\n";
    return std::to_string(t) + " move" + at + std::to_string(t + 100) + " " + pszButton + " down" + at +
           std::to_string(t + 140) + " " + pszButton + " up" + at;
}
std::string At(int t, const std::string& strWhat) { return std::to_string(t) + " " + strWhat + "\n"; }

// The item panel's bag cell n (origin (400, 10)) and the table's cells, on the screen.
POINT BagCell(int n) { return POINT{400 + 27 + 32 * (n % 9) + 12, 10 + 205 + 33 * (n / 9) + 15}; }
POINT SourceCell(int n) { return POINT{72 + 32 * (n % 4) + 12, 183 + 32 * (n / 4) + 14}; }

struct Seen {
    int nGood = -1, nBuyPrice = 0, nMoney0 = -1, nGood0 = -1;
    int nMoneyKept = -1, nGoodKept = -1;
    bool bTradeOpenAfterOk = true;
    bool bGiven = false, bTalkOver = false, bTableOpen = false, bPageOther = false;
    int nInSources = -1;
    int nResults[kCombineResultCells] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int nGiftsLeft = -1, nResultCount = -1;
};

TEST(CombinePlay, AKeptPurchaseIsSavedAndTheTableMakesTheFirstRecipe) {
    UsePrivateRuntimeFolder();
    CTempFolder folder("combine-play");
    const std::string s = folder.Path() + "/";
    std::string strOldDir;
    ASSERT_TRUE(EnterSampleGame(folder, &strOldDir));
    const std::string strGame = GetCurrentDirectory();
    const POINT cell16{274, 197};
    // New game; buy at shop cell 0 and press OK; ESC, the menu's save, row 3, OK. Then
    // Space ends the table's talk, F1, three right clicks and one drag, Combine.
    const std::string strScript = Click(8400, 280, 240) + Click(11000, 84, 75, "rbutton") +
                                  At(11600, "shot " + s + "bought.png") + Click(12000, 217, 385) + At(13000, "key press ESC") +
                                  Click(13500, 500, 85) + Click(14100, 236, 296) + Click(14700, 215, 370) +
                                  At(17200, "key press SPACE") + At(17600, "key press SPACE") + At(18050, "key press F1") +
                                  At(18300, "shot " + s + "table.png") + Click(18600, BagCell(0).x, BagCell(0).y, "rbutton") +
                                  At(19000, "shot " + s + "r1.png") + Click(19100, BagCell(1).x, BagCell(1).y, "rbutton") +
                                  Click(19600, BagCell(2).x, BagCell(2).y, "rbutton") +
                                  Click(20100, BagCell(3).x, BagCell(3).y) + At(20500, "shot " + s + "lift.png") + Click(20600, SourceCell(5).x, SourceCell(5).y) +
                                  At(21200, "shot " + s + "filled.png") + Click(21600, 160, 344) + At(22400, "shot " + s + "combined.png") +
                                  At(23000, "close");
    ASSERT_EQ(LoadInputScriptText(strScript, "combine play"), 0);

    const DWORD dwStart = TimeGetTime();
    bool bShop = false;
    Seen seen;
    const std::string strError = RunHookedGame([&] {
        CGameToolBar* pBar = PanelLink().GetToolBar();
        if (!pPlayer || !pScene || !pBar || !pGameData || pFrame->GetGameMode() != 3) return;
        const DWORD t = TimeGetTime() - dwStart;
        if (t > kGiveUpAt) pFrame->QuitGame();
        if (!bShop && t >= kShopAt) {
            bShop = true;
            pPlayer->nMoney = 1000;
            WorkLink().Open(0, 0);
            if (Work() && Work()->Trade()) seen.nGood = Work()->Trade()->Grid().ItemAt(0);
            if (seen.nGood < 0) return;
            seen.nMoney0 = pPlayer->nMoney;
            seen.nGood0 = pPlayer->nItemCount[seen.nGood];
            if (ShopTable* pShop = pGameData->GetShop(0)) seen.nBuyPrice = pShop->PriceOut(seen.nGood);
        }
        if (seen.nGood < 0) return;
        if (seen.nMoneyKept < 0 && t >= 12800) {
            seen.nMoneyKept = pPlayer->nMoney;
            seen.nGoodKept = pPlayer->nItemCount[seen.nGood];
            seen.bTradeOpenAfterOk = Work() && Work()->IsOpen();
        }
        if (!seen.bGiven && t >= kTableAt && !pFrame->IsEventRunning()) {
            // The other family's page holds nothing but the gifts, in cells 0..3.
            for (int n = 0; n < kHeroItemCount; ++n) {
                ItemRow* pRow = pGameData->GetItem(n);
                if (pRow && FamilyOfType(pRow->nType) == BagFamily::Other) pPlayer->nItemCount[n] = 0;
            }
            seen.bGiven = pFrame->StartEvent(kTableEvent) == kTableEvent;
        }
        if (seen.bGiven && !seen.bTalkOver && t >= 17950) {
            seen.bTalkOver = !pFrame->IsEventRunning() && !pBar->m_pTextBox;
            seen.nGiftsLeft = pPlayer->nItemCount[48] + pPlayer->nItemCount[53] + pPlayer->nItemCount[57];
        }
        if (!seen.bTableOpen && t >= 18250 && Work() && Work()->IsCombineOpen()) {
            seen.bTableOpen = true;
            auto* pItems = dynamic_cast<CItemMenu*>(pBar->Panel(kItemPanel));
            seen.bPageOther = pItems && pItems->GetPage() == CItemMenu::kPageOther;
        }
        if (seen.nInSources < 0 && t >= 21100 && Work() && Work()->Combine()) {
            seen.nInSources = 0;
            for (int c = 0; c < kCombineSourceCells; ++c) seen.nInSources += Work()->Combine()->ItemAt(c) >= 0;
        }
        if (seen.nResultCount < 0 && t >= 22300 && Work() && Work()->Combine()) {
            for (int c = 0; c < kCombineResultCells; ++c) seen.nResults[c] = Work()->Combine()->ItemAt(kCombineSourceCells + c);
            seen.nResultCount = pPlayer->nItemCount[kResult];
        }
    });
    SetCurrentDirectory(strOldDir.c_str());
    ASSERT_TRUE(strError.empty()) << strError;
    ASSERT_TRUE(bShop) << "the map never ran";

    // The purchase is kept.
    ASSERT_GE(seen.nGood, 1) << "the shop showed nothing in its first cell";
    ASSERT_GT(seen.nBuyPrice, 0);
    EXPECT_FALSE(seen.bTradeOpenAfterOk);
    EXPECT_EQ(seen.nMoneyKept, seen.nMoney0 - seen.nBuyPrice);
    EXPECT_EQ(seen.nGoodKept, seen.nGood0 + 1);

    // The save holds the new money and count.
    const std::string strSave = strGame + "/save/save003.sav";
    ASSERT_TRUE(std::filesystem::exists(strSave)) << "nothing saved";
    ASSERT_FALSE(kSaveTool.empty());
    const ProgramRun dump = RunProgramIn(folder.Path(), kSaveTool, {"dump", strSave}, "/dev/null");
    ASSERT_TRUE(dump.bExited && dump.nCode == 0) << dump.strErr;
    const size_t nHero = dump.strOut.find("controlled hero record");
    ASSERT_NE(nHero, std::string::npos) << dump.strOut.substr(0, 400);
    // The record's lines, up to the next block's heading.
    std::string strHero = dump.strOut.substr(nHero);
    for (size_t n = strHero.find('\n'); n != std::string::npos; n = strHero.find('\n', n + 1))
        if (strHero.compare(n + 1, 2, "  ") != 0) {
            strHero.resize(n + 1);
            break;
        }
    EXPECT_NE(strHero.find(" money " + std::to_string(seen.nMoneyKept) + "\n"), std::string::npos) << strHero;
    EXPECT_NE(strHero.find("  item " + std::to_string(seen.nGood) + " x" + std::to_string(seen.nGoodKept) + "\n"),
              std::string::npos)
        << strHero;

    // The table: the gifts arrived, F1 opened it beside the item panel's other page, all
    // four went in, and Combine made three of the result in cells 16..18 only.
    EXPECT_TRUE(seen.bGiven);
    EXPECT_TRUE(seen.bTalkOver);
    EXPECT_EQ(seen.nGiftsLeft, int(std::size(kGifts)));
    EXPECT_TRUE(seen.bTableOpen);
    EXPECT_TRUE(seen.bPageOther);
    EXPECT_EQ(seen.nInSources, 4);
    for (int c = 0; c < kCombineResultCells; ++c) EXPECT_EQ(seen.nResults[c], c < kResultCount ? kResult : -1) << c;

    CShot bought(s + "bought.png"), table(s + "table.png"), filled(s + "filled.png"), combined(s + "combined.png");
    ASSERT_TRUE(bought.Read() && table.Read() && filled.Read() && combined.Read());
    const ToolBarProbe* pBack = FindPanelProbe("Menu_Combine_BKGround.tga");
    ASSERT_NE(pBack, nullptr);
    const int x = 36 + pBack->x, y = 120 + pBack->y;
    const unsigned nBack = PackRgb(pBack->r, pBack->g, pBack->b);
    EXPECT_FALSE(bought.Near(x, y, nBack, 12));
    EXPECT_TRUE(table.Near(x, y, nBack, 12));
    EXPECT_TRUE(combined.Near(x, y, nBack, 12));
    // Icons: the four sources before Combine, the result in cell 16 after it.
    EXPECT_GT(filled.Differences(table, 72, 183, 128, 60), 200);
    EXPECT_GT(combined.Differences(filled, cell16.x - 14, cell16.y - 14, 28, 29), 100);
    EXPECT_GT(filled.Differences(combined, 72, 183, 128, 60), 200);
}

}  // namespace
