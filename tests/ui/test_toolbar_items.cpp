// The toolbar's item services: quick slots and the stack slot with the hero's mirror,
// the bomb from key to explosion under the virtual clock, the life-loss numbers and
// their pool, the loot roll and the pick-up of ground items.
#include "tests/ui/ToolBarTestUtil.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/Text.h"
#include "ui/menus/MenuPanel.h"
#include "ui/toolbar/DecLife.h"
#include "world/EffectManager.h"
#include "world/GroundItem.h"

namespace {

constexpr int kPotion = 5, kPotion2 = 6;  // type 1
constexpr int kBomb = 47;                 // type 8, reach 250
constexpr int kGem = 40;                  // type 8, no reach
constexpr int kKnife = 12, kDagger = 13;  // type 3: the stack
constexpr int kGoods = 7;                 // type 2
constexpr int kFiller = 8;                // type 2, fills the goods grid

class CItemsHost : public CFakeToolBarHost {
public:
    void SelectSkill(CPlayer*, int nSkill) override { skills.push_back(nSkill); }
    bool StartSceneEffect(int nEffect, int x, int y) override {
        effects.push_back({nEffect, x, y});
        return true;
    }
    void UpdateEffects() override { ++nEffectUpdates; }
    std::vector<int> skills;
    std::vector<std::vector<int>> effects;
    int nEffectUpdates = 0;
};

class ToolBarItems : public ToolBarTest {
protected:
    void SetUp() override {
        ToolBarTest::SetUp();
        SetToolBarHost(&items_host);
        for (int n : {kPotion, kPotion2}) items[n].nType = 1;
        for (int n : {kBomb, kGem}) items[n].nType = 8;
        for (int n : {kKnife, kDagger}) items[n].nType = 3;
        items[kGoods].nType = 2;
        items[kFiller].nType = 2;
        items[kBomb].nAttack = 50;
        items[kGem].nAttack = 50;
        Tick(0);
    }
    // Advances the virtual clock and the frame time together, as the main loop does.
    void Tick(DWORD ms) {
        AdvanceVirtualClock(ms);
        dwNowTime = TimeGetTime();
    }
    static POINT Centre(const RECT& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }
    void CarryTo(int nItem, const RECT& rc) {
        items_host.nCarried = nItem;
        items_host.ptMouse = Centre(rc);
    }
    void ExpectMirror() {
        for (int i = 0; i < kToolBarQuickSlots; ++i) EXPECT_EQ(hero.nQuickSlot[i], bar->m_nQuickSlots[i]) << "slot " << i;
    }
    // The pixels of the countdown's rectangle.
    std::vector<DWORD> CountdownPixels() {
        std::vector<DWORD> v;
        for (int y = 50; y < 100; ++y)
            for (int x = 400; x < 500; ++x) v.push_back(Pixel(x, y));
        return v;
    }
    // The countdown's rectangle as it looks with the number written in by hand.
    std::vector<DWORD> Written(const char* pszNumber) {
        FillBack(RGB(0, 0, 0));
        pBack->ChangeFont(Utf8ToText("隶书").c_str(), 0, 30, nCharSet, 400, 0);
        RECT rc{400, 50, 500, 100};
        pBack->DrawText(pszNumber, RGB(255, 0, 0), &rc, DT_WORDBREAK);
        return CountdownPixels();
    }
    std::vector<DWORD> Drawn() {
        FillBack(RGB(0, 0, 0));
        bar->DrawBomb();
        return CountdownPixels();
    }
    int Channel(int x, int y, int nShift, int nMax) {
        return nMax ? int((Pixel(x, y) >> nShift) & DWORD(nMax)) * 255 / nMax : 0;
    }
    int Red(int x, int y) { return Channel(x, y, pBack->PixelFormat().nRedShift, pBack->PixelFormat().nRedMax); }
    int Green(int x, int y) { return Channel(x, y, pBack->PixelFormat().nGreenShift, pBack->PixelFormat().nGreenMax); }
    CGroundItem* LayGroundItem(int nSlot, int nItem, int x, int y, int nCount) {
        if (int(scene.pGroundItems.size()) <= nSlot) scene.pGroundItems.resize(size_t(nSlot) + 1);
        auto pItem = std::make_unique<CGroundItem>();
        pItem->nItem = nItem;
        pItem->nCount = nCount;
        pItem->ptCell = POINT{x, y};
        pItem->nSlot = nSlot;
        scene.pGroundItems[size_t(nSlot)] = std::move(pItem);
        scene.nHoverGroundItem = nSlot;
        return scene.GetGroundItem(nSlot);
    }

    CItemsHost items_host;
};

TEST_F(ToolBarItems, QuickSlotsTakeOnlyTheirTypesSwapAndKeepTheMirror) {
    hero.nItemCount[kPotion] = 2;
    // A medicine on a bomb slot is refused and stays on the cursor.
    CarryTo(kPotion, bar->m_rcQuickSlots[5]);
    EXPECT_EQ(bar->OnQuickSlotClick(), 0);
    EXPECT_EQ(items_host.nCarried, kPotion);
    EXPECT_EQ(bar->m_nQuickSlots[5], -1);
    // A bomb on a medicine slot and goods anywhere are refused too, and so is a gem,
    // which shares the bombs' type but has no explosion.
    CarryTo(kBomb, bar->m_rcQuickSlots[2]);
    EXPECT_EQ(bar->OnQuickSlotClick(), 0);
    CarryTo(kGoods, bar->m_rcQuickSlots[1]);
    EXPECT_EQ(bar->OnQuickSlotClick(), 0);
    CarryTo(kGem, bar->m_rcQuickSlots[5]);
    EXPECT_EQ(bar->OnQuickSlotClick(), 0);
    EXPECT_EQ(items_host.nCarried, kGem);
    EXPECT_EQ(bar->m_nQuickSlots[5], -1);
    ExpectMirror();

    // An empty slot takes the lifted unit back into the hero's count.
    CarryTo(kPotion, bar->m_rcQuickSlots[1]);
    EXPECT_EQ(bar->OnQuickSlotClick(), 1);
    EXPECT_EQ(bar->m_nQuickSlots[1], kPotion);
    EXPECT_EQ(items_host.nCarried, -1);
    EXPECT_EQ(hero.nItemCount[kPotion], 3);
    ExpectMirror();

    // A full slot swaps: the new one is counted, the old one leaves for the cursor.
    CarryTo(kPotion2, bar->m_rcQuickSlots[1]);
    EXPECT_EQ(bar->OnQuickSlotClick(), 1);
    EXPECT_EQ(bar->m_nQuickSlots[1], kPotion2);
    EXPECT_EQ(items_host.nCarried, kPotion);
    EXPECT_EQ(hero.nItemCount[kPotion2], 1);
    EXPECT_EQ(hero.nItemCount[kPotion], 2);
    ExpectMirror();

    // A bomb goes on slots 4..7.
    CarryTo(kBomb, bar->m_rcQuickSlots[6]);
    EXPECT_EQ(bar->OnQuickSlotClick(), 1);
    EXPECT_EQ(bar->m_nQuickSlots[6], kBomb);
    ExpectMirror();

    // With nothing carried a click lifts one unit and empties the slot.
    items_host.nCarried = -1;
    items_host.ptMouse = Centre(bar->m_rcQuickSlots[1]);
    EXPECT_EQ(bar->OnQuickSlotClick(), 1);
    EXPECT_EQ(items_host.nCarried, kPotion2);
    EXPECT_EQ(bar->m_nQuickSlots[1], -1);
    EXPECT_EQ(hero.nItemCount[kPotion2], 0);
    ExpectMirror();
    // An empty slot, or a point off the toolbar, takes nothing.
    items_host.nCarried = -1;
    EXPECT_EQ(bar->OnQuickSlotClick(), 0);
    items_host.ptMouse = POINT{300, 200};
    EXPECT_EQ(bar->OnQuickSlotClick(), 0);

    // The left release offers the click to the quick slots first.
    CarryTo(kPotion, bar->m_rcQuickSlots[0]);
    EXPECT_EQ(bar->OnLButtonUp(), 1);
    EXPECT_EQ(bar->m_nQuickSlots[0], kPotion);
    ExpectMirror();
}

TEST_F(ToolBarItems, TheStackHoldsTenOfOneThrowingWeaponForCharacterThree) {
    // Another character has no stack.
    hero.nMember = 1;
    CarryTo(kKnife, bar->m_rcStackSlot);
    EXPECT_EQ(bar->OnStackSlotClick(), 0);
    hero.nMember = 3;
    // Only type-3 items.
    CarryTo(kGoods, bar->m_rcStackSlot);
    EXPECT_EQ(bar->OnStackSlotClick(), 0);
    for (int i = 1; i <= 10; ++i) {
        CarryTo(kKnife, bar->m_rcStackSlot);
        ASSERT_EQ(bar->OnStackSlotClick(), 1) << i;
        EXPECT_EQ(items_host.nCarried, -1);
    }
    EXPECT_EQ(bar->m_nStackCount, 10);
    // The eleventh unit stays on the cursor.
    CarryTo(kKnife, bar->m_rcStackSlot);
    EXPECT_EQ(bar->OnStackSlotClick(), 0);
    EXPECT_EQ(items_host.nCarried, kKnife);
    EXPECT_EQ(hero.nThrownItem, kKnife);
    EXPECT_EQ(hero.nThrownCount, 10);

    // Lifting takes one unit at a time; the last one empties the stack.
    for (int i = 9; i >= 0; --i) {
        items_host.nCarried = -1;
        ASSERT_EQ(bar->OnStackSlotClick(), 1);
        EXPECT_EQ(items_host.nCarried, kKnife);
        EXPECT_EQ(bar->m_nStackCount, i);
        EXPECT_EQ(hero.nThrownCount, i);
    }
    EXPECT_EQ(bar->m_nStackItem, -1);
    EXPECT_EQ(hero.nThrownItem, -1);
    items_host.nCarried = -1;
    EXPECT_EQ(bar->OnStackSlotClick(), 0);

    // A different weapon is refused while the stack holds one.
    CarryTo(kKnife, bar->m_rcStackSlot);
    ASSERT_EQ(bar->OnStackSlotClick(), 1);
    CarryTo(kDagger, bar->m_rcStackSlot);
    EXPECT_EQ(bar->OnStackSlotClick(), 0);
    EXPECT_EQ(items_host.nCarried, kDagger);
    EXPECT_EQ(bar->m_nStackItem, kKnife);
    EXPECT_EQ(bar->m_nStackCount, 1);
}

TEST_F(ToolBarItems, ARightClickOnTheStackArmsTheStackSkillWhichALeftClickSelects) {
    hero.nMember = 3;
    const POINT stack = Centre(bar->m_rcStackSlot);
    // An empty stack cannot be armed, but the click is still the toolbar's.
    EXPECT_EQ(bar->OnRButtonDown(stack.x, stack.y), 1);
    EXPECT_EQ(bar->m_nStackSkillArmed, -1);
    bar->m_nStackItem = kKnife;
    bar->m_nStackCount = 2;
    EXPECT_EQ(bar->OnRButtonDown(stack.x, stack.y), 1);
    EXPECT_EQ(bar->m_nStackSkillArmed, 1);
    // Off the button nothing happens; on it skill 50 is selected and the flag drops.
    items_host.ptMouse = POINT{10, 10};
    EXPECT_EQ(bar->OnStackSkillClick(), 0);
    items_host.ptMouse = Centre(bar->m_rcStackSkill);
    EXPECT_EQ(bar->OnStackSkillClick(), 1);
    EXPECT_EQ(items_host.skills, (std::vector<int>{50}));
    EXPECT_EQ(bar->m_nStackSkillArmed, -1);
    EXPECT_EQ(bar->OnStackSkillClick(), 0);
}

TEST_F(ToolBarItems, BombCountsDownFromTenAndExplodesAt3001Ms) {
    hero.nItemCount[kBomb] = 2;
    hero.ptPos = POINT{500, 400};
    bar->m_nQuickSlots[4] = bar->m_nQuickSlots[5] = kBomb;
    bar->OnKeyDown('1', 0);
    ASSERT_EQ(bar->m_bBombArmed, 1);
    EXPECT_EQ(bar->m_nBombItem, kBomb);
    EXPECT_EQ(hero.nItemCount[kBomb], 1);
    EXPECT_EQ(bar->m_nQuickSlots[4], kBomb) << "one unit is left";
    EXPECT_EQ(bar->m_ptBomb.x, 500);
    // Keys 1..4 are ignored while it counts.
    bar->OnKeyDown('2', 0);
    EXPECT_EQ(hero.nItemCount[kBomb], 1);

    const std::vector<DWORD> ten = Written("10"), one = Written("1"), zero = Written("0");
    ASSERT_NE(ten, zero);
    EXPECT_EQ(Drawn(), ten);
    Tick(299);
    EXPECT_EQ(Drawn(), ten);
    Tick(2700);  // 2999 ms
    EXPECT_EQ(Drawn(), one);
    Tick(1);  // its last millisecond
    EXPECT_EQ(Drawn(), zero);
    EXPECT_TRUE(items_host.sounds.empty());
    Tick(1);
    bar->DrawBomb();
    EXPECT_EQ(bar->m_bBombArmed, 0);
    EXPECT_EQ(bar->m_nBombItem, -1);
    EXPECT_EQ(items_host.sounds, (std::vector<int>{14}));
    EXPECT_EQ(items_host.effects, (std::vector<std::vector<int>>{{1, 500, 400}}));
    EXPECT_EQ(Drawn(), Written(""));

    // The next key arms the last unit, which empties the slot and its mirror.
    bar->OnKeyDown('1', 0);
    EXPECT_EQ(bar->m_bBombArmed, 1);
    EXPECT_EQ(hero.nItemCount[kBomb], 0);
    EXPECT_EQ(bar->m_nQuickSlots[4], -1);
    EXPECT_EQ(hero.nQuickSlot[4], -1);
}

TEST_F(ToolBarItems, OnlyABombArmsAndAGemOnABombSlotKeepsItsUnits) {
    // A gem (the bombs' type, no explosion) on a bomb slot, as an older save may hold it.
    hero.nItemCount[kGem] = 2;
    bar->m_nQuickSlots[4] = kGem;
    bar->OnKeyDown('1', 0);
    EXPECT_EQ(bar->m_bBombArmed, 0);
    EXPECT_EQ(bar->m_nBombItem, -1);
    EXPECT_EQ(hero.nItemCount[kGem], 2);
    EXPECT_EQ(bar->m_nQuickSlots[4], kGem);
    EXPECT_FALSE(bar->ArmBombItem(kGem));
    EXPECT_FALSE(bar->ArmBombItem(-1));
    Tick(4000);
    bar->DrawBomb();
    EXPECT_TRUE(items_host.sounds.empty());
    // A bomb arms by itself; another waits for it to go off.
    hero.ptPos = POINT{70, 80};
    EXPECT_TRUE(bar->ArmBombItem(kBomb));
    EXPECT_EQ(bar->m_ptBomb.x, 70);
    EXPECT_EQ(bar->m_dwBombTime, dwNowTime);
    EXPECT_FALSE(bar->ArmBombItem(kBomb + 1));
    EXPECT_EQ(bar->m_nBombItem, kBomb);
}

TEST_F(ToolBarItems, TheResetOfAGameEndsItsFight) {
    hero.nItemCount[kBomb] = 1;
    bar->m_nQuickSlots[4] = kBomb;
    bar->OnKeyDown('1', 0);
    ASSERT_EQ(bar->m_bBombArmed, 1);
    bar->AddDecLife(100, 100, 5);
    bar->m_pAreaEffects[3] = std::make_unique<CAreaEffect>();
    bar->m_pFlyingEffects[7] = std::make_unique<CFlyingEffect>();
    ASSERT_EQ(bar->FloatingNumberCount(), 1);
    bar->ResetFightState();
    EXPECT_EQ(bar->m_bBombArmed, 0);
    EXPECT_EQ(bar->m_nBombItem, -1);
    EXPECT_EQ(bar->FloatingNumberCount(), 0);
    EXPECT_EQ(bar->CountAreaEffects(), 0);
    EXPECT_EQ(bar->CountFlyingEffects(), 0);
    // The fuse lit before the reset never reaches the next game.
    Tick(4000);
    bar->DrawBomb();
    EXPECT_TRUE(items_host.sounds.empty());
    EXPECT_TRUE(items_host.effects.empty());
    // The toolbar arms again afterwards.
    hero.nItemCount[kBomb] = 1;
    bar->m_nQuickSlots[4] = kBomb;
    bar->OnKeyDown('1', 0);
    EXPECT_EQ(bar->m_bBombArmed, 1);
}

TEST_F(ToolBarItems, TheBlastHurtsThePartyByAFifthWithinHalfItsReach) {
    CPlayer companion;
    pCompanion = &companion;
    hero.nLife = companion.nLife = 100;
    hero.nLifeMax = companion.nLifeMax = 100;
    bar->m_ptBomb = POINT{1000, 1000};
    // Reach 250: half is 125, open at both ends.
    hero.ptPos = POINT{1000 + 124, 1000 - 124};
    companion.ptPos = POINT{1000 - 125, 1000};
    bar->ExplodeBomb(kBomb);
    EXPECT_EQ(hero.nLife, 90);
    EXPECT_EQ(companion.nLife, 100);
    EXPECT_EQ(bar->FloatingNumberCount(), 1);
    companion.ptPos = POINT{1000, 1000 + 124};
    bar->ExplodeBomb(kBomb);
    EXPECT_EQ(hero.nLife, 80);
    EXPECT_EQ(companion.nLife, 90);

    // A blast of a negative attack value heals, held inside the 32-bit range.
    items[kBomb].nAttack = INT32_MIN;
    hero.ptPos = companion.ptPos = bar->m_ptBomb;
    companion.nLife = INT32_MAX - 10;
    bar->ExplodeBomb(kBomb);
    EXPECT_EQ(hero.nLife, 80 + 429496729);  // a fifth of the attack
    EXPECT_EQ(companion.nLife, INT32_MAX);
    EXPECT_EQ(companion.bMode[3], 0);
    EXPECT_EQ(hero.bCompanionDead, 0);
    items[kBomb].nAttack = 50;
    companion.nLife = 90;

    // The companion alone killed: her dead flag and the hero's companion-dead flag.
    hero.ptPos = POINT{2000, 2000};
    companion.nLife = 10;
    bar->ExplodeBomb(kBomb);
    EXPECT_EQ(companion.nLife, 0);
    EXPECT_EQ(companion.bMode[3], 1);
    EXPECT_EQ(hero.bCompanionDead, 1);
    EXPECT_EQ(hero.bMode[3], 0);
    companion.bMode[3] = 0;
    hero.bCompanionDead = 0;
    hero.ptPos = companion.ptPos;

    // Killed: life 0 and the leave flag; the hero's death runs the effect update and
    // clears the effect manager's running flag.
    auto pEffects = std::make_unique<CEffectManager>();
    pEffectManager = pEffects.get();
    EXPECT_EQ(pEffects->bRunning, 1);
    hero.nLife = 5;
    companion.nLife = 10;
    bar->m_bBombArmed = 1;
    bar->ExplodeBomb(kBomb);
    pEffectManager = nullptr;
    EXPECT_EQ(pEffects->bRunning, 0);
    EXPECT_EQ(hero.nLife, 0);
    EXPECT_EQ(companion.nLife, 0);
    EXPECT_EQ(hero.bMode[3], 1);
    EXPECT_EQ(companion.bMode[3], 1);
    EXPECT_EQ(hero.bCompanionDead, 1);
    EXPECT_EQ(bar->m_bBombArmed, 0);
    EXPECT_EQ(items_host.nEffectUpdates, 1);
}

TEST_F(ToolBarItems, BombKindsAndReachesByItem) {
    for (int n = 0; n < 100; ++n) {
        int nKind = -1;
        if (n >= 47 && n <= 51) nKind = 0;
        if (n >= 59 && n <= 63) nKind = 1;
        if (n >= 69 && n <= 73) nKind = 2;
        if (n >= 64 && n <= 68) nKind = 3;
        if (n >= 89 && n <= 93) nKind = 4;
        EXPECT_EQ(BombKind(n), nKind) << n;
    }
    const std::vector<std::pair<int, int>> reaches = {
        {47, 250}, {48, 100}, {49, 150}, {50, 200}, {51, 300}, {59, 100}, {64, 100}, {69, 100}, {89, 100},
        {60, 150}, {65, 150}, {70, 150}, {90, 150}, {61, 200}, {66, 200}, {71, 200}, {91, 200}, {62, 250},
        {67, 250}, {72, 250}, {92, 250}, {63, 300}, {73, 300}, {93, 300}, {68, 200}};
    for (int n = -1; n <= 100; ++n) {
        auto it = std::find_if(reaches.begin(), reaches.end(), [n](const auto& r) { return r.first == n; });
        EXPECT_EQ(BombRange(n), it == reaches.end() ? -1 : it->second) << n;
    }
}

TEST_F(ToolBarItems, ALifeLossNumberWaits100MsRises5PxAFrameAndEndsAt401Ms) {
    scene.ptView = POINT{100, 50};
    CDecLifeArt art;
    ASSERT_TRUE(art.Load());
    CDecLife number(&art);
    number.Start(300, 400, 37);
    ASSERT_TRUE(number.HasPicture());
    EXPECT_EQ(number.GetPos().x, 180);
    EXPECT_EQ(number.GetPos().y, 250);
    // Red pixels in the number's box on a white back; the picture's key (its black
    // corner) never shows.
    const DWORD dwKey = pScreen->RgbToPixel(RGB(0, 0, 0), pBack);
    auto redIn = [&](int top) {
        int n = 0;
        for (int y = top; y < top + 20; ++y)
            for (int x = 180; x < 230; ++x) {
                EXPECT_NE(Pixel(x, y), dwKey) << x << "," << y;
                n += Red(x, y) >= 128 && Green(x, y) < 40 ? 1 : 0;
            }
        return n;
    };
    FillBack(RGB(255, 255, 255));
    Tick(100);
    EXPECT_EQ(number.Draw(), 1);
    EXPECT_EQ(redIn(250), 0) << "hidden for its first 100 ms";
    EXPECT_EQ(number.GetPos().y, 250);
    Tick(1);
    EXPECT_EQ(number.Draw(), 1);
    EXPECT_GT(redIn(250), 10);
    EXPECT_TRUE(Near(180, 250 + 19, 255, 255, 255)) << "the picture's key colour stays out";
    EXPECT_EQ(number.GetPos().y, 245);
    EXPECT_EQ(number.Draw(), 1);
    EXPECT_EQ(number.GetPos().y, 240);
    Tick(299);  // 400 ms
    EXPECT_EQ(number.Draw(), 1);
    Tick(1);
    EXPECT_EQ(number.Draw(), 0);
}

TEST_F(ToolBarItems, TheNumbersReadTheirPictureOnceAndLookAsIfEachReadItsOwn) {
    scene.ptView = POINT{0, 0};
    // The number as a picture read for it alone and written on shows it.
    std::unique_ptr<CDXSurface> pOwn(LoadMenuSurface("DecLife.bmp", false));
    ASSERT_NE(pOwn, nullptr);
    pOwn->ChangeFont(Utf8ToText("隶书").c_str(), 0, 20, nCharSet, 400, 0);
    RECT rc{0, 0, 50, 20};
    pOwn->DrawText("-8", RGB(255, 0, 0), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pOwn->SetColorKeyFromCorner();
    auto box = [&] {
        std::vector<DWORD> v;
        for (int y = 200; y < 220; ++y)
            for (int x = 380; x < 430; ++x) v.push_back(Pixel(x, y));
        return v;
    };
    FillBack(RGB(255, 255, 255));
    pOwn->BlitKeyed(pBack, 380, 200);
    const std::vector<DWORD> expected = box();

    bar->AddDecLife(200, 300, 37);
    // Without the package a later number still has the picture the first one read.
    SetMenuPackage(nullptr);
    bar->AddDecLife(400, 300, 8);
    ASSERT_NE(bar->m_pFloatingNumbers[1], nullptr);
    ASSERT_TRUE(bar->m_pFloatingNumbers[1]->HasPicture());
    FillBack(RGB(255, 255, 255));
    Tick(101);
    EXPECT_EQ(bar->m_pFloatingNumbers[1]->Draw(), 1);
    // Pixel for pixel, with nothing of the first number's "-37" left under its "-8".
    EXPECT_EQ(box(), expected);
}

TEST_F(ToolBarItems, TheNumberPoolTakesTheFirstFreeSlotAndHoldsAHundred) {
    scene.ptView = POINT{0, 0};
    for (int i = 0; i < 101; ++i) bar->AddDecLife(10 * i, 20, i + 1);
    EXPECT_EQ(bar->FloatingNumberCount(), kToolBarPoolSize) << "the 101st is not shown";
    bar->m_pFloatingNumbers[37].reset();
    bar->m_pFloatingNumbers[60].reset();
    bar->AddDecLife(5000, 600, 1);
    ASSERT_NE(bar->m_pFloatingNumbers[37], nullptr);
    EXPECT_EQ(bar->m_pFloatingNumbers[37]->GetPos().x, 5000 - 20);
    EXPECT_EQ(bar->m_pFloatingNumbers[60], nullptr);
    // Each is freed by the frame draw once it is over.
    Tick(400);
    bar->Draw();
    EXPECT_EQ(bar->FloatingNumberCount(), 99);
    Tick(1);
    bar->Draw();
    EXPECT_EQ(bar->FloatingNumberCount(), 0);
}

TEST_F(ToolBarItems, LootThresholdsByTypeAndRoll) {
    // The lowest roll at which each type drops; type 8 drops below 99 instead.
    const std::vector<std::pair<int, int>> lowest = {{kLootMoney, 31}, {0, 31}, {1, 53}, {2, 69}, {3, 84},
                                                     {4, 88},          {5, 92}, {6, 94}, {7, 96}};
    for (int r = 0; r < 100; ++r) {
        for (const auto& [nType, nLowest] : lowest) EXPECT_EQ(CGameToolBar::LootPass(nType, r), r >= nLowest) << nType << " " << r;
        EXPECT_EQ(CGameToolBar::LootPass(8, r), r < 99) << r;
        for (int nType : {9, 99, -2}) EXPECT_FALSE(CGameToolBar::LootPass(nType, r)) << nType << " " << r;
    }

    items[1].nType = 0;
    items[2].nType = 8;
    items[3].nType = 7;
    const int nLoot[4] = {1, 2, 3, 150};
    auto drops = [&](int r, int nMoney) {
        items_host.drops.clear();
        bar->LayLoot(r, 64, 96, nMoney, nLoot);
        return items_host.drops;
    };
    EXPECT_TRUE(drops(29, 40).empty());
    EXPECT_EQ(drops(30, 40), (std::vector<std::vector<int>>{{2, 64, 96, 0}}));
    EXPECT_EQ(drops(31, 40), (std::vector<std::vector<int>>{{0, 64, 96, 40}, {1, 64, 96, 0}, {2, 64, 96, 0}}));
    EXPECT_EQ(drops(31, 0), (std::vector<std::vector<int>>{{1, 64, 96, 0}, {2, 64, 96, 0}}));
    // Id 150 is no item and never drops.
    EXPECT_EQ(drops(99, 40), (std::vector<std::vector<int>>{{0, 64, 96, 40}, {1, 64, 96, 0}, {3, 64, 96, 0}}));

    // The drop rolls once: with the same seed and clock it lays what that roll lays.
    int nNothing = 0, nSomething = 0;
    for (unsigned nSeed = 1; nSeed <= 200; ++nSeed) {
        Srand(nSeed);
        const int r = CGameToolBar::LootRoll();
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 100);
        const auto expected = drops(r, 40);
        items_host.drops.clear();
        Srand(nSeed);
        bar->DropLoot(64, 96, 40, 1, 2, 3, 150);
        EXPECT_EQ(items_host.drops, expected) << nSeed;
        (expected.empty() ? nNothing : nSomething) += 1;
    }
    // About three in ten rolls lay nothing.
    EXPECT_GT(nNothing, 30);
    EXPECT_GT(nSomething, 100);
}

TEST_F(ToolBarItems, PickUpTakesItemsWithin100PxIntoTheBagOrOntoTheCursor) {
    hero.ptPos = POINT{500, 500};
    EXPECT_EQ(bar->PickUpItem(), -1) << "nothing under the cursor";
    // Exactly 100 px away is too far; d^2 = 9997 is near enough.
    LayGroundItem(0, kGoods, 560, 580, 0);
    EXPECT_EQ(bar->PickUpItem(), -1);
    EXPECT_NE(scene.GetGroundItem(0), nullptr);
    LayGroundItem(0, kGoods, 500 + 99, 500 - 14, 0);
    EXPECT_EQ(bar->PickUpItem(), 1);
    EXPECT_EQ(scene.GetGroundItem(0), nullptr);
    EXPECT_EQ(hero.nItemCount[kGoods], 1);
    EXPECT_EQ(items[kGoods].nBagCell[0][0], 0) << "placed in the bag";

    // Money goes to the purse.
    hero.nMoney = 10;
    LayGroundItem(1, 0, 500, 500, 45);
    EXPECT_EQ(bar->PickUpItem(), 1);
    EXPECT_EQ(hero.nMoney, 55);
    EXPECT_EQ(scene.GetGroundItem(1), nullptr);

    // A full bag: the notice, the item stays, the click is still taken.
    hero.nItemCount[kFiller] = 1;
    for (int& nAnchor : items[kFiller].nBagCell[0]) nAnchor = 0;
    LayGroundItem(2, kGoods, 510, 510, 0);
    EXPECT_EQ(bar->PickUpItem(), 1);
    EXPECT_NE(scene.GetGroundItem(2), nullptr);
    EXPECT_EQ(items_host.notices.size(), 1u);
    EXPECT_EQ(hero.nItemCount[kGoods], 1);

    // The open item panel takes it on the cursor whatever the bag holds...
    bar->m_nSelectorB = kGroupBItem;
    EXPECT_EQ(bar->PickUpItem(), 1);
    EXPECT_EQ(items_host.nCarried, kGoods);
    EXPECT_EQ(scene.GetGroundItem(2), nullptr);
    EXPECT_EQ(hero.nItemCount[kGoods], 1);
    // ...but never over an item already carried.
    LayGroundItem(3, kPotion, 510, 510, 0);
    EXPECT_EQ(bar->PickUpItem(), 1);
    EXPECT_EQ(items_host.nCarried, kGoods);
    EXPECT_NE(scene.GetGroundItem(3), nullptr);
}

}  // namespace
