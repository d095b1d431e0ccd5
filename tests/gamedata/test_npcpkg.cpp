#include <vector>

#include "gamedata/NpcPkg.h"
#include "media/TgaFrame.h"
#include "tests/gamedata/PictureFixture.h"
#include "tools/gamekit/PkgWriters.h"
#include "tools/gamekit/TgaWriters.h"

namespace {

class NpcPkgTest : public PictureFixture {
protected:
    // The 5-6-5 value of the body pixel (frame point (128, 120)) with a colour add.
    static WORD Body(int nSculpt, int r, int g, int b) {
        std::uint32_t c = PaintCharacter(nSculpt, 0, 0, 0).At(128, 125);
        auto add = [](int v, int a) { return v + a > 255 ? 255 : v + a; };
        c = std::uint32_t(add(int(c >> 16 & 255), r) << 16 | add(int(c >> 8 & 255), g) << 8 | add(int(c & 255), b));
        return TgaOpaque565(c);
    }
};

class Hover : public CPictureHost {
public:
    int GetHoverActorId() const override { return 42; }
};

TEST_F(NpcPkgTest, CountsAndRangeChecks) {
    CNpcPkg pkg;
    ASSERT_TRUE(pkg.Open()) << pkg.GetError();
    EXPECT_EQ(pkg.GetFrameCount(0, 0), 2);
    EXPECT_EQ(pkg.GetFrameCount(3, 2), 2);
    EXPECT_EQ(pkg.GetFrameCount(3, 3), 0);
    EXPECT_EQ(pkg.GetFrameCount(1, 0), 0);
    for (auto sa : {std::pair{-1, 0}, std::pair{300, 0}, std::pair{0, 27}, std::pair{0, -1}}) {
        EXPECT_EQ(pkg.GetFrameCount(sa.first, sa.second), 0);
    }
    EXPECT_FALSE(pkg.LoadFrame(0, 0, 16));
    EXPECT_TRUE(pkg.LoadFrame(0, 0, 15));
    EXPECT_NE(pkg.GetFrame(0, 0, 15), nullptr);
    ClearBack();
    s_mouse = POINT{400, 250};
    // Misses of every kind draw nothing and hit nothing.
    EXPECT_FALSE(pkg.DrawFrame(1, 0, 0, 0, 400, 300, 0, 1));
    EXPECT_FALSE(pkg.DrawFrame(0, 0, 8, 0, 400, 300, 0, 1));
    EXPECT_FALSE(pkg.DrawFrame(0, 0, 0, 2, 400, 300, 0, 1));
    EXPECT_FALSE(pkg.DrawFrame(0, 30, 0, 0, 400, 300, 0, 1));
    EXPECT_FALSE(pkg.DrawFrameTinted(0, 0, -1, 0, 400, 300, 0));
    EXPECT_FALSE(pkg.DrawFrameTinted(0, 0, 0, 2, 400, 300, 0));
    EXPECT_EQ(pkg.DrawFrameBlended(0, 0, 0, 5, 400, 300), -1);
    EXPECT_EQ(BackPixel(400, 250), 0);
}

TEST_F(NpcPkgTest, HoveredCharacterIsDrawnAgainWithTheTint) {
    CNpcPkg pkg;
    ASSERT_TRUE(pkg.Open());
    Hover host;
    SetPictureHost(&host);
    ClearBack();
    s_mouse = POINT{400, 255};
    // Not the hovered actor: drawn once, plain.
    EXPECT_TRUE(pkg.DrawFrame(0, 0, 0, 0, 400, 300, 3, 7));
    EXPECT_EQ(BackPixel(400, 255), Body(0, 0, 0, 0));
    // The hovered actor gets the blue-grey tint of mode 3; the tinted draw's mode 3 is green.
    EXPECT_TRUE(pkg.DrawFrame(0, 0, 0, 0, 400, 300, 3, 42));
    EXPECT_EQ(BackPixel(400, 255), Body(0, 50, 50, 80));
    EXPECT_TRUE(pkg.DrawFrameTinted(0, 0, 0, 0, 400, 300, 3));
    EXPECT_EQ(BackPixel(400, 255), Body(0, 0, 100, 0));
    EXPECT_TRUE(pkg.DrawFrameTinted(0, 0, 0, 0, 400, 300, 2));
    EXPECT_EQ(BackPixel(400, 255), Body(0, 100, 0, 0));
    // Away from the cursor: no hit, drawn once.
    s_mouse = POINT{10, 10};
    EXPECT_FALSE(pkg.DrawFrame(0, 0, 0, 0, 400, 300, 3, 42));
    EXPECT_EQ(BackPixel(400, 255), Body(0, 0, 0, 0));
}

TEST_F(NpcPkgTest, BlendedDrawGoesThroughTheWorkSurface) {
    CNpcPkg pkg;
    ASSERT_TRUE(pkg.Open());
    ASSERT_NE(pkg.GetWorkSurface(), nullptr);
    ClearBack();
    EXPECT_EQ(pkg.DrawFrameBlended(3, 0, 0, 0, 400, 300), DD_OK);  // the blend's own result
    const WORD w = BackPixel(400, 255);
    EXPECT_NE(w, 0);
    EXPECT_NE(w, Body(3, 0, 0, 0));  // blended, not opaque
    EXPECT_EQ(BackPixel(300, 140), 0);  // transparent parts stay
}

TEST_F(NpcPkgTest, ABlendedFrameLooksTheSameAfterOtherFramesUsedTheWorkSurface) {
    CNpcPkg pkg;
    ASSERT_TRUE(pkg.Open());
    auto snapshot = [&] {
        std::vector<WORD> pixels;
        for (int y = 100; y < 360; ++y)
            for (int x = 250; x < 560; ++x) pixels.push_back(BackPixel(x, y));
        return pixels;
    };
    ClearBack();
    pkg.DrawFrameBlended(3, 0, 0, 0, 400, 300);
    const std::vector<WORD> first = snapshot();
    // Frames pointing elsewhere cover other parts of the work surface.
    for (int d : {6, 2, 4}) pkg.DrawFrameBlended(3, 1, d, 1, 420, 280);
    ClearBack();
    pkg.DrawFrameBlended(3, 0, 0, 0, 400, 300);
    EXPECT_EQ(snapshot(), first);
    ClearBack();
    pkg.DrawFrameBlended(3, 1, 6, 1, 400, 300);
    EXPECT_NE(snapshot(), first);
}

TEST_F(NpcPkgTest, FramesWithoutPicturesAndDamagedPackages) {
    NpcPkgModel model;
    NpcActionFrames& act = model[{5, 2}];
    act.nCount = 1;
    act.frames.resize(8);
    act.frames[3] = BuildRleTga32(PaintCharacter(5, 2, 3, 0));
    const Bytes good = BuildNpcPkg(model);
    const std::string path = (dir / "bmp" / "npc.pkg").string();
    ASSERT_TRUE(WriteBytesToFile(path.c_str(), good));
    CNpcPkg pkg;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(pkg.Open());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "a whole package says nothing";
    EXPECT_EQ(pkg.GetFrameCount(5, 2), 1);
    ClearBack();
    EXPECT_FALSE(pkg.DrawFrameTinted(5, 2, 0, 0, 400, 300, 0));
    s_mouse = POINT{400, 255};
    EXPECT_TRUE(pkg.DrawFrameTinted(5, 2, 3, 0, 400, 300, 0));
    // A package cut inside its one picture says so as the other packages do (each line once
    // a run, so before the cuts below); the seven directions without a picture are not missing.
    ASSERT_TRUE(WriteBytesToFile(path.c_str(), Bytes(good.begin(), good.end() - 10)));
    CNpcPkg shortened;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(shortened.Open());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "game: bmp\\npc.pkg is cut short: 1 of 8 entries are missing\n");
    // The package tool's check counts the frame past the end as one that does not decode.
    EXPECT_EQ(shortened.FindBadFrames().rfind("1 of 1 frames do not decode; the first: sculpt 5 action 2 direction 3", 0), 0u)
        << shortened.FindBadFrames();
    // Cut anywhere in the index: fails; cut in the frames: opens, the frame is absent.
    const size_t nIndex = size_t(300 * 27 * 4 + 64);
    for (size_t n = 0; n < good.size(); n += n < nIndex ? 1999 : 41) {
        ASSERT_TRUE(WriteBytesToFile(path.c_str(), Bytes(good.begin(), good.begin() + std::ptrdiff_t(n))));
        CNpcPkg cut;
        EXPECT_EQ(cut.Open(), n >= nIndex) << n;
        if (n >= nIndex) {
            EXPECT_FALSE(cut.DrawFrameTinted(5, 2, 3, 0, 400, 300, 0));
        }
    }
    Bytes negative = good;
    negative[0] = 0xFF; negative[1] = 0xFF; negative[2] = 0xFF; negative[3] = 0xFF;
    ASSERT_TRUE(WriteBytesToFile(path.c_str(), negative));
    CNpcPkg bad;
    EXPECT_FALSE(bad.Open());
    EXPECT_NE(bad.GetError().find("frame count"), std::string::npos);
}

}  // namespace
