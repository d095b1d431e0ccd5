// Random play with the item and state panels over many seeds: lifting, placing, right
// clicks, wearing and taking off, tabs, W, S, ESC and drops on the map. Per item, the
// units on the count, on the cursor, worn and on the ground change only by uses and
// bombs, and no two regions of a family ever share a cell.
#include "tests/ui/PanelTestUtil.h"

#include <iterator>

#include "platform/Clock.h"

namespace {

class PanelProperty : public PanelTest {
protected:
    // A bomb: goods of the gem's type, but with an explosion, so a right click arms it.
    static constexpr int kBomb = 47;
    static constexpr int kItems[] = {kHelmet, kHelmet2, kArmour, kBlade, kGem,
                                     kPotion, kTaskItem, kTall,  kBig,   kPlate, kBomb};

    void SetUp() override {
        PanelTest::SetUp();
        Item(kBomb, 8, 0);
    }

    int Units(int nItem) {
        int n = hero.nItemCount[nItem] + (panelHost.nCarried == nItem ? 1 : 0);
        // Worn by the hero, or by the companion whom the state panel can show instead.
        for (int s = 0; s < 6; ++s) n += *hero.EquipSlot(s) == nItem ? 1 : 0;
        if (pCompanion)
            for (int s = 0; s < 6; ++s) n += *pCompanion->EquipSlot(s) == nItem ? 1 : 0;
        for (const auto& d : panelHost.drops) n += d[0] == nItem ? 1 : 0;
        return n;
    }
    // No cell is covered twice within a family, and the shown page agrees with the tables.
    void CheckRegions(unsigned nSeed, int nStep) {
        for (int f = 0; f < 3; ++f) {
            int owner[kBagCells];
            std::fill(std::begin(owner), std::end(owner), -1);
            for (int nItem : kItems) {
                if (!hero.HasItem(nItem) || PageOfFamily(FamilyOfType(items[size_t(nItem)].nType)) != f) continue;
                for (int c = 0; c < kBagCells; ++c) {
                    if (items[size_t(nItem)].nBagCell[0][c] < 0) continue;
                    ASSERT_EQ(owner[c], -1) << "seed " << nSeed << " step " << nStep << " cell " << c;
                    owner[c] = nItem;
                }
            }
            if (!Items() || Items()->GetPage() != f) continue;
            for (int c = 0; c < kBagCells; ++c) {
                if (Items()->Grid().ItemAt(c) < 0) continue;
                ASSERT_EQ(owner[c], Items()->Grid().ItemAt(c)) << "seed " << nSeed << " step " << nStep << " cell " << c;
            }
        }
    }
    // The cursor moves there and the open panels take their hover as a frame would
    // (without drawing, which a thousand runs cannot afford under the sanitizers).
    void HoverAt(POINT pt) {
        panelHost.ptMouse = pt;
        if (Items()) Items()->UpdateItemHover();
        if (State()) State()->UpdateStateHover();
    }
    int Click(POINT pt) {
        HoverAt(pt);
        return bar->OnLButtonUp();
    }
    POINT RandomPointIn(const RECT& rc) {
        return POINT{rc.left + Rand() % std::max(1, int(rc.right - rc.left)), rc.top + Rand() % std::max(1, int(rc.bottom - rc.top))};
    }
};

TEST_F(PanelProperty, UnitsAreNeverMadeOrLostAndRegionsNeverOverlap) {
    int nLifts = 0, nWears = 0, nUses = 0;
    // Closing panels clears the screen: nothing is drawn here, so there is no screen.
    CDXSurface* pSavedBack = pBack;
    pBack = nullptr;
    for (unsigned nSeed = 1; nSeed <= 1000; ++nSeed) {
        Srand(nSeed);
        bar->CloseAllPanels();
        for (auto& row : items) row.ClearBagTables();
        std::fill(std::begin(hero.nItemCount), std::end(hero.nItemCount), 0);
        for (int s = 0; s < 6; ++s) *hero.EquipSlot(s) = *companion.EquipSlot(s) = -1;
        for (auto& b : hero.inlay) b = InlayRecord{};
        hero.inlay[kHelmet].nLink = -1;
        hero.nAttack = hero.nDefence = 0;
        hero.nLifeMax = hero.nLife = 50;
        hero.nManaMax = hero.nMana = 50;
        bar->m_bBombArmed = 0;
        panelHost.nCarried = -1;
        panelHost.drops.clear();
        pCompanion = nSeed % 2 ? &companion : nullptr;
        for (int i = 0; i < 12; ++i) bar->AddItemToBag(kItems[Rand() % int(std::size(kItems))]);
        int before[kHeroItemCount] = {};
        for (int nItem : kItems) before[nItem] = Units(nItem);
        for (int step = 0; step < 100; ++step) {
            const int op = Rand() % 10;
            int nRightItem = -1;
            const int nCarriedBefore = panelHost.nCarried;
            int nWornBefore = 0;
            for (int s = 0; s < 6; ++s) nWornBefore += *hero.EquipSlot(s);
            switch (op) {
            case 0: case 1:  // a click in the bag grid
                if (!Items()) bar->OnKeyDown('W', 0);
                if (Items()) Click(RandomPointIn(RECT{427, 215, 715, 413}));
                break;
            case 2: case 3:  // a right click in the bag grid
                if (Items()) {
                    HoverAt(RandomPointIn(RECT{427, 215, 715, 413}));
                    nRightItem = Items()->Grid().ItemAt(Items()->GetHoveredCell());
                    if (panelHost.nCarried >= 0) nRightItem = -1;
                    bar->OnRButtonDown(panelHost.ptMouse.x, panelHost.ptMouse.y);
                }
                break;
            case 4: case 5:  // a click in the state panel: boxes and buttons
                if (!State()) bar->OnKeyDown('S', 0);
                // Mostly the equipment boxes, sometimes the buttons and arrows.
                if (State()) Click(RandomPointIn(Rand() % 3 ? RECT{95, 210, 265, 410} : RECT{80, 150, 360, 420}));
                break;
            case 6:  // a tab
                if (Items()) Click(RandomPointIn(RECT{713, 213, 725, 301}));
                break;
            case 7: bar->OnKeyDown("WS"[Rand() % 2], 0); break;
            case 8:
                if (Rand() % 4 == 0) bar->OnKeyDown(VK_ESCAPE, 0);
                bar->m_bBombArmed = 0;  // the bomb went off
                break;
            default:  // a click on the map beside the panels drops the carried unit
                if (!bar->IsPanelOpen() || Rand() % 2) Click(POINT{770, 300});
                break;
            }
            for (int nItem : kItems) {
                const int nNow = Units(nItem);
                // Only a right click may take one unit away: a use or an armed bomb.
                const int nAllowed = nItem == nRightItem ? 1 : 0;
                ASSERT_TRUE(nNow == before[nItem] || (nAllowed && nNow == before[nItem] - 1))
                    << "seed " << nSeed << " step " << step << " op " << op << " item " << nItem << ": "
                    << before[nItem] << " -> " << nNow;
                nUses += nNow == before[nItem] - 1;
                before[nItem] = nNow;
            }
            int nWornAfter = 0;
            for (int s = 0; s < 6; ++s) nWornAfter += *hero.EquipSlot(s);
            nLifts += nCarriedBefore < 0 && panelHost.nCarried >= 0;
            nWears += nWornAfter != nWornBefore;
            CheckRegions(nSeed, step);
            if (HasFatalFailure()) {
                pBack = pSavedBack;
                return;
            }
        }
    }
    pBack = pSavedBack;
    // The runs did lift, wear and use things.
    EXPECT_GT(nLifts, 1000);
    EXPECT_GT(nWears, 150);
    EXPECT_GT(nUses, 60);
}

}  // namespace
