#include <cstdio>

#include "gamedata/BitmapData.h"
#include "media/TgaImage.h"
#include "tests/gamedata/PictureFixture.h"
#include "tools/gamekit/PkgWriters.h"
#include "tools/gamekit/TgaWriters.h"

namespace {

class BitmapDataTest : public PictureFixture {};

TEST_F(BitmapDataTest, InitOpensEveryPackage) {
    CBitmapData store;
    ASSERT_TRUE(store.Init()) << store.GetError();
    EXPECT_TRUE(store.GetMenuPkg()->Contains("item-004.BMP"));
    EXPECT_TRUE(store.GetHeadPkg()->Contains("TX002.bmp"));
    EXPECT_TRUE(store.GetVeskPkg()->Contains("toolbar_bkground.tga"));
    EXPECT_EQ(store.GetEffectCount(), 3);
    EXPECT_EQ(store.GetEffectFrameCount(2), 4);
    EXPECT_EQ(store.GetNpcPkg()->GetFrameCount(3, 2), 2);
    EXPECT_EQ(store.GetNpcPkg()->GetFrameCount(3, 3), 0);
    EXPECT_EQ(std::filesystem::path(GetCurrentDirectory()).filename(), "bmp");
}

TEST_F(BitmapDataTest, MissingPackageStopsTheLaterOnes) {
    std::filesystem::remove(dir / "bmp" / "SceneInside.pkg");
    CBitmapData store;
    EXPECT_FALSE(store.Init());
    EXPECT_NE(store.GetMenuPkg(), nullptr);
    EXPECT_NE(store.GetScenePkg(), nullptr);
    EXPECT_EQ(store.GetVeskPkg(), nullptr);
    EXPECT_EQ(store.GetHeadPkg(), nullptr);
    std::filesystem::remove(dir / "bmp" / "npc.pkg");
    CBitmapData store2;
    std::filesystem::copy_file(dir / "bmp" / "Scene.pkg", dir / "bmp" / "SceneInside.pkg");
    EXPECT_FALSE(store2.Init());
}

TEST_F(BitmapDataTest, EffectFramesLoadLazilyAndFree) {
    CBitmapData store;
    ASSERT_TRUE(store.Init());
    ClearBack();
    store.DrawEffectFrame(2, 1, 100, 100);
    EXPECT_EQ(store.GetLoadedEffectFrames(), 1);
    // The marker square of effect 2 is white at the frame's centre.
    EXPECT_NE(BackPixel(164, 164), 0);
    store.FreeEffectFrames();
    EXPECT_EQ(store.GetLoadedEffectFrames(), 0);
    ClearBack();
    store.DrawEffectFrame(2, 1, 100, 100);
    EXPECT_NE(BackPixel(164, 164), 0);
    EXPECT_EQ(store.GetLoadedEffectFrames(), 1);
    // Effects and frames out of range draw nothing.
    store.FreeEffectFrames();
    for (auto ef : {std::pair{3, 0}, std::pair{-1, 0}, std::pair{0, 4}, std::pair{0, -1}}) {
        EXPECT_EQ(store.DrawEffectFrame(ef.first, ef.second, 0, 0), 0);
    }
    EXPECT_EQ(store.GetLoadedEffectFrames(), 0);
}

TEST_F(BitmapDataTest, EffectIndexIsChecked) {
    // An effect whose first frame lies past the frame total draws nothing.
    PictureRgba pic(4, 4, Argb(255, 255, 255, 255));
    Bytes frame = BuildRleTga32(pic);
    Bytes pkg = BuildEffectPkg({{frame}, {frame, frame}});
    pkg[4 + 8 + 4] = 9;  // effect 1's first frame: 9 of 3
    ASSERT_TRUE(WriteBytesToFile((dir / "bmp" / "Effect.pkg").string().c_str(), pkg));
    CBitmapData store;
    ASSERT_TRUE(store.Init()) << store.GetError();
    ClearBack();
    EXPECT_EQ(store.DrawEffectFrame(1, 0, 0, 0), 0);
    EXPECT_EQ(BackPixel(0, 0), 0);
    s_mouse = POINT{1, 1};
    EXPECT_EQ(store.DrawEffectFrame(0, 0, 0, 0), 1);
    EXPECT_NE(BackPixel(0, 0), 0);
    // An empty frame is no damage: nothing is said of it.
    ASSERT_TRUE(WriteBytesToFile((dir / "bmp" / "Effect.pkg").string().c_str(), BuildEffectPkg({{frame, {}}})));
    testing::internal::CaptureStderr();
    CBitmapData withEmpty;
    EXPECT_TRUE(withEmpty.Init());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    // A count the file cannot hold fails the package.
    Bytes bad = pkg;
    bad[3] = 0x10;
    ASSERT_TRUE(WriteBytesToFile((dir / "bmp" / "Effect.pkg").string().c_str(), bad));
    CBitmapData store2;
    EXPECT_FALSE(store2.Init());
    for (size_t n = 0; n + 1 < pkg.size(); n += 3) {
        ASSERT_TRUE(WriteBytesToFile((dir / "bmp" / "Effect.pkg").string().c_str(), Bytes(pkg.begin(), pkg.begin() + std::ptrdiff_t(n))));
        CBitmapData cut;
        if (cut.Init()) cut.DrawEffectFrame(1, 1, 0, 0);
    }
}

TEST_F(BitmapDataTest, IconCachesKeepTheirOwnNumberAndFollowWhereTheyAreDrawn) {
    CBitmapData store;
    ASSERT_TRUE(store.Init());
    ClearBack();
    const WORD item1 = Plain565(PaintPanel("Item-001.bmp", 134, 134).At(10, 10));
    store.DrawItemIcon(1, 20, 20);
    EXPECT_EQ(BackPixel(30, 30), item1);
    // The same item at a new place (the carried item as the cursor moves) draws there.
    ClearBack();
    store.DrawItemIcon(1, 300, 300);
    EXPECT_EQ(BackPixel(30, 30), 0);
    EXPECT_EQ(BackPixel(310, 310), item1);
    store.DrawItemIcon(2, 300, 300);
    EXPECT_EQ(BackPixel(310, 310), Plain565(PaintPanel("Item-002.bmp", 134, 134).At(10, 10)));
    // A missing item draws nothing.
    ClearBack();
    store.DrawItemIcon(99, 20, 20);
    EXPECT_EQ(BackPixel(30, 30), 0);

    // Skill, JL and prop icons of the same number each show their own picture.
    ClearBack();
    store.DrawSkillIconN(3, 0, 0);
    store.DrawJlIcon(3, 100, 0);
    store.DrawPropIcon(3, 200, 0);
    EXPECT_EQ(BackPixel(5, 5), Plain565(PaintPanel("skill-03n.bmp", 24, 24).At(5, 5)));
    EXPECT_EQ(BackPixel(105, 5), Plain565(PaintPanel("JL003.bmp", 32, 32).At(5, 5)));
    EXPECT_EQ(BackPixel(205, 5), Plain565(PaintPanel("DJ003.bmp", 32, 32).At(5, 5)));
    store.DrawSkillIconN(3, 0, 50);
    EXPECT_EQ(BackPixel(5, 55), Plain565(PaintPanel("skill-03n.bmp", 24, 24).At(5, 5)));
    EXPECT_EQ(BackPixel(0, 50), 0);  // the corner colour is the key
}

TEST_F(BitmapDataTest, FacesFallBackToFaceZero) {
    CBitmapData store;
    ASSERT_TRUE(store.Init());
    ClearBack();
    store.DrawTx(2, 10, 10);
    EXPECT_EQ(BackPixel(20, 20), Plain565(PaintPanel("TX002.bmp", 148, 148).At(10, 10)));
    store.FreeTx();
    store.DrawTx(77, 10, 200);
    EXPECT_EQ(BackPixel(20, 210), Plain565(PaintPanel("TX000.bmp", 148, 148).At(10, 10)));
}

class HotKeys : public CPictureHost {
public:
    int GetHotKeySkill(int nKey) const override { return nKey == 0 || nKey == 3 ? 7 : -1; }
};

TEST_F(BitmapDataTest, ShortcutPicturesDrawForTheHeldHotKeys) {
    HotKeys host;
    SetPictureHost(&host);
    CBitmapData store;
    ASSERT_TRUE(store.Init());
    ClearBack();
    store.DrawShortcutKey(8, 10, 10);
    EXPECT_EQ(BackPixel(15, 15), 0);
    store.DrawShortcutKey(7, 10, 10);
    EXPECT_NE(BackPixel(15, 15), 0);
    EXPECT_EQ(store.DrawCharFrame(0, 9, 0, 10, 10, 0, 0, 0), 0);
}

// Draws an interface picture, an effect frame and a character in each direction on the
// headless back buffer, saves the screenshot and checks it.
TEST_F(BitmapDataTest, HeadlessScreenshotShowsEveryKindOfPicture) {
    CBitmapData store;
    ASSERT_TRUE(store.Init());
    ClearBack();
    CPkgFile* pMenu = store.GetMenuPkg();
    const int nSize = pMenu->GetSize("TalkBar.tga");
    CTgaImage panel;
    ASSERT_NE(panel.LoadFromFile(pMenu->Seek("TalkBar.tga"), DWORD(nSize)), nullptr);
    panel.Draw(nullptr, 80, 440, nullptr, 0, 0, 0, 0);
    store.DrawEffectFrame(1, 3, 650, 20);
    for (int d = 0; d < 8; ++d) store.GetNpcPkg()->DrawFrameTinted(3, 1, d, 0, 80 + d * 85, 300, 0);
    const std::string shot = (dir / "shot.bmp").string();
    ASSERT_EQ(pBack->SaveAsBmp(shot.c_str()), 1);
    CDXImage image;
    std::unique_ptr<CVideoSurface, void (*)(CVideoSurface*)> p(image.GetImage(screen.GetDirectDraw(), shot.c_str(), 1),
                                                                [](CVideoSurface* s) { if (s) s->Release(); });
    ASSERT_TRUE(p) << image.GetError();
    auto shotPixel = [&](int x, int y) {
        const BYTE* q = p->Bits() + size_t(y) * size_t(p->Pitch()) + size_t(x) * 2;
        return WORD(q[0] | (q[1] << 8));
    };
    const PictureRgba talk = PaintSoftPanel("TalkBar.tga", 640, 150);
    EXPECT_EQ(shotPixel(80 + 20, 440 + 20), TgaOpaque565(talk.At(20, 20)));
    EXPECT_NE(shotPixel(650 + 64, 20 + 64), 0);  // the effect's marker
    for (int d = 0; d < 8; ++d) {
        SCOPED_TRACE(d);
        const PictureRgba c = PaintCharacter(3, 1, d, 0);
        static const int dx[8] = {0, -1, -1, -1, 0, 1, 1, 1}, dy[8] = {1, 1, 0, -1, -1, -1, 0, 1};
        const int fx = 128 + dx[d] * 30, fy = 119 + dy[d] * 30;
        EXPECT_EQ(shotPixel(80 + d * 85 - 128 + fx, 300 - 170 + fy), TgaOpaque565(c.At(fx, fy)));
        // The pointer of another direction is not there.
        const int ox = 128 + dx[(d + 4) % 8] * 30, oy = 119 + dy[(d + 4) % 8] * 30;
        EXPECT_NE(shotPixel(80 + d * 85 - 128 + ox, 300 - 170 + oy), TgaOpaque565(c.At(fx, fy)));
    }
}

}  // namespace
