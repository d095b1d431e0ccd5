// The toolbar's block in a saved game: its bytes against hand-built blocks with and
// without the hero number, a round trip, refusals that leave the toolbar untouched, the
// weather and shake it switches on load and the fight it ends.
#include "platform/Stream.h"
#include "tests/ui/ToolBarTestUtil.h"
#include "ui/toolbar/ToolBarSave.h"

namespace {

std::vector<std::uint8_t> Words(std::initializer_list<std::int32_t> words) {
    CByteWriter out;
    for (std::int32_t n : words) out.WriteI32(n);
    return out.Bytes();
}

class ToolBarSave : public ToolBarTest {
protected:
    void SetUp() override {
        ToolBarTest::SetUp();
        bar->m_nHero = 3;
        bar->m_nPartyBehaviour = 2;
        for (int i = 0; i < 8; ++i) bar->m_nQuickSlots[i] = i == 1 ? 47 : i == 6 ? 99 : -1;
        bar->m_nStackCount = 10;
        bar->m_nStackItem = 12;
        bar->m_nReserved[0] = 0x01020304;
        bar->m_nReserved[3] = -7;
        bar->m_nWeather = 4;
    }
    // The toolbar's block as it stands, for "nothing changed" checks.
    std::vector<std::uint8_t> Block(bool bWithHero) {
        CByteWriter out;
        SaveToolBarState(*bar, out, bWithHero);
        return out.Bytes();
    }
};

TEST_F(ToolBarSave, TheBlockIsTheFieldsInOrderWithOrWithoutTheHeroNumber) {
    const std::vector<std::uint8_t> withHero =
        Words({3, 2, -1, 47, -1, -1, -1, -1, 99, -1, 10, 12, 0x01020304, -1, -1, -7, 4});
    EXPECT_EQ(withHero.size(), 68u);
    EXPECT_EQ(Block(true), withHero);
    const std::vector<std::uint8_t> without(withHero.begin() + 4, withHero.end());
    EXPECT_EQ(without.size(), 64u);
    EXPECT_EQ(Block(false), without);
}

TEST_F(ToolBarSave, ABlockLoadsBackIntoAnotherToolBar) {
    const std::vector<std::uint8_t> saved = Block(true);
    auto other = std::make_unique<CGameToolBar>();
    CByteReader in(saved, "save");
    ASSERT_TRUE(LoadToolBarState(*other, in, true)) << in.Error();
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(other->m_nHero, 3);
    EXPECT_EQ(other->m_nQuickSlots[6], 99);
    EXPECT_EQ(other->m_nStackItem, 12);
    EXPECT_EQ(other->m_nReserved[0], 0x01020304);
    EXPECT_EQ(other->m_nWeather, 4);
    CByteWriter again;
    SaveToolBarState(*other, again, true);
    EXPECT_EQ(again.Bytes(), saved);
    // Without the hero number the hero stays.
    other->m_nHero = 2;
    const std::vector<std::uint8_t> noHero = Block(false);
    CByteReader in2(noHero, "save");
    ASSERT_TRUE(LoadToolBarState(*other, in2, false));
    EXPECT_EQ(other->m_nHero, 2);
}

TEST_F(ToolBarSave, AShortOrBadBlockFailsAndChangesNothing) {
    const std::vector<std::uint8_t> good = Words({1, 0, 5, -1, -1, -1, -1, -1, -1, -1, 2, 5, 0, 0, 0, 0, 0});
    const std::vector<std::uint8_t> before = Block(true);
    for (size_t n = 0; n < good.size(); ++n) {
        CByteReader in(good.data(), n, "save");
        EXPECT_FALSE(LoadToolBarState(*bar, in, true)) << n;
        EXPECT_TRUE(in.Failed());
        EXPECT_EQ(Block(true), before) << n;
    }
    struct Bad {
        size_t nWord;
        std::int32_t nValue;
    };
    for (const Bad& b : {Bad{0, 0}, Bad{0, 5}, Bad{2, 100}, Bad{9, -2}, Bad{10, 11}, Bad{10, -1}, Bad{11, 100},
                         Bad{16, 6}, Bad{16, -2}}) {
        std::vector<std::uint8_t> bytes = good;
        CByteWriter word;
        word.WriteI32(b.nValue);
        std::copy(word.Bytes().begin(), word.Bytes().end(), bytes.begin() + std::ptrdiff_t(4 * b.nWord));
        CByteReader in(bytes, "save");
        EXPECT_FALSE(LoadToolBarState(*bar, in, true)) << b.nWord << " " << b.nValue;
        EXPECT_NE(in.Error().find("toolbar block"), std::string::npos) << in.Error();
        EXPECT_EQ(Block(true), before);
    }
    // The stack's count and item must agree: units without an item, or an item without
    // units, are refused like a value out of range.
    struct Stack {
        std::int32_t nCount, nItem;
    };
    for (const Stack& st : {Stack{5, -1}, Stack{0, 7}, Stack{10, -1}}) {
        std::vector<std::uint8_t> bytes = good;
        CByteWriter words;
        words.WriteI32(st.nCount);
        words.WriteI32(st.nItem);
        std::copy(words.Bytes().begin(), words.Bytes().end(), bytes.begin() + 4 * 10);
        CByteReader in(bytes, "save");
        EXPECT_FALSE(LoadToolBarState(*bar, in, true)) << st.nCount << " " << st.nItem;
        EXPECT_NE(in.Error().find("stack count"), std::string::npos) << in.Error();
        EXPECT_EQ(Block(true), before);
    }
    CByteReader in(good, "save");
    EXPECT_TRUE(LoadToolBarState(*bar, in, true)) << in.Error();
    EXPECT_EQ(bar->m_nStackCount, 2);
    const std::vector<std::uint8_t> empty =
        Words({1, 0, 5, -1, -1, -1, -1, -1, -1, -1, 0, -1, 0, 0, 0, 0, 0});
    CByteReader inEmpty(empty, "save");
    EXPECT_TRUE(LoadToolBarState(*bar, inEmpty, true)) << inEmpty.Error();
    EXPECT_EQ(bar->m_nStackItem, -1);
}

TEST_F(ToolBarSave, LoadingEndsTheFightOfTheGameBefore) {
    const std::vector<std::uint8_t> good = Words({1, 0, -1, -1, -1, -1, -1, -1, -1, -1, 0, -1, 0, 0, 0, 0, -1});
    auto arm = [&] {
        bar->m_nBombItem = 47;
        bar->m_bBombArmed = 1;
        bar->m_dwBombTime = 100;
        bar->AddDecLife(10, 10, 3);
        bar->m_pAreaEffects[0] = std::make_unique<CAreaEffect>();
        bar->m_pFlyingEffects[99] = std::make_unique<CFlyingEffect>();
    };
    // A refused block changes nothing, the fight included.
    arm();
    std::vector<std::uint8_t> bad = good;
    bad[0] = 9;
    CByteReader inBad(bad, "save");
    ASSERT_FALSE(LoadToolBarState(*bar, inBad, true));
    EXPECT_EQ(bar->m_bBombArmed, 1);
    EXPECT_EQ(bar->FloatingNumberCount(), 1);
    EXPECT_EQ(bar->CountAreaEffects(), 1);
    // A loaded block leaves no armed bomb, effect or number of the game before.
    CByteReader in(good, "save");
    ASSERT_TRUE(LoadToolBarState(*bar, in, true)) << in.Error();
    EXPECT_EQ(bar->m_bBombArmed, 0);
    EXPECT_EQ(bar->m_nBombItem, -1);
    EXPECT_EQ(bar->FloatingNumberCount(), 0);
    EXPECT_EQ(bar->CountAreaEffects(), 0);
    EXPECT_EQ(bar->CountFlyingEffects(), 0);
}

TEST_F(ToolBarSave, LoadingSwitchesTheOldWeatherOffAndTheSavedOneOn) {
    auto load = [&](std::int32_t nWeather) {
        const std::vector<std::uint8_t> b = Words({1, 0, -1, -1, -1, -1, -1, -1, -1, -1, 0, -1, 0, 0, 0, 0, nWeather});
        CByteReader in(b, "save");
        return LoadToolBarState(*bar, in, true);
    };
    bar->m_bShake = 1;
    ASSERT_TRUE(load(-1));
    EXPECT_EQ(bar->m_nWeather, -1);
    EXPECT_EQ(bar->m_bShake, 0);
    ASSERT_TRUE(load(0));  // weather 0 is the shake
    EXPECT_EQ(bar->m_bShake, 1);
    ASSERT_TRUE(load(3));
    EXPECT_EQ(bar->m_nWeather, 3);
    EXPECT_EQ(bar->m_bShake, 0);
}

}  // namespace
