#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/CDX/BlitTestUtil.h"

namespace {

// The set pixels of a 16-bit surface as a picture of '#' and '.'.
std::string Picture(CDXSurface& s) {
    std::string out;
    s.Lock();
    for (int y = 0; y < s.GetHeight(); ++y) {
        for (int x = 0; x < s.GetWidth(); ++x) out += s.GetPixel(x, y) ? '#' : '.';
        out += '\n';
    }
    s.Unlock();
    return out;
}

std::string RunsOf(CDXSurface& s, int y) {
    std::string out;
    s.Lock();
    for (int x = 0; x < s.GetWidth(); ++x)
        if (s.GetPixel(x, y)) out += std::to_string(x) + " ";
    s.Unlock();
    return out;
}

DWORD U32(const std::vector<BYTE>& b, size_t o) {
    return DWORD(b[o]) | (DWORD(b[o + 1]) << 8) | (DWORD(b[o + 2]) << 16) | (DWORD(b[o + 3]) << 24);
}

TEST(Shapes, LinesOneRunPerRowOrColumn) {
    CDXScreen screen;
    auto a = MakeSurface(screen, 16, 24, 24);
    auto b = MakeSurface(screen, 16, 24, 24);
    a->Lock();
    a->Line(5, 5, 5, 20, 1);
    a->Unlock();
    b->Lock();
    b->VLine(5, 20, 5, 1);
    b->Unlock();
    EXPECT_EQ(Picture(*a), Picture(*b));
    a->Fill(0);
    b->Fill(0);
    a->Lock();
    a->Line(20, 5, 5, 5, 1);
    a->Unlock();
    b->Lock();
    b->HLine(5, 20, 5, 1);
    b->Unlock();
    EXPECT_EQ(Picture(*a), Picture(*b));

    a->Fill(0);
    a->Lock();
    a->Line(0, 0, 10, 1, 1);
    a->Unlock();
    EXPECT_EQ(RunsOf(*a, 0), "0 1 2 3 4 5 6 7 8 9 ");
    EXPECT_EQ(RunsOf(*a, 1), "10 11 12 13 14 15 16 17 18 19 ");
    // The same line given from its other end: the points are swapped together.
    b->Fill(0);
    b->Lock();
    b->Line(10, 1, 0, 0, 1);
    b->Unlock();
    EXPECT_EQ(Picture(*a), Picture(*b));
    // Steep, rising to the right after ordering: step -3, sign -1, so column 3 takes rows
    // 3 down to 1 and column 4 the run from 0 to -2, cut to row 0.
    a->Fill(0);
    a->Lock();
    a->Line(4, 0, 3, 3, 1);
    a->Unlock();
    EXPECT_EQ(Picture(*a).substr(0, 5 * 25),
              "....#...................\n"
              "...#....................\n"
              "...#....................\n"
              "...#....................\n"
              "........................\n");
}

TEST(Shapes, CirclesAsPinned) {
    CDXScreen screen;
    auto s = MakeSurface(screen, 16, 21, 21);
    EXPECT_EQ(s->Circle(10, 10, 0, 1), 0);
    const std::string dot = Picture(*s);
    EXPECT_EQ(dot.find('#'), size_t(10 * 22 + 10));
    EXPECT_EQ(std::count(dot.begin(), dot.end(), '#'), 1);

    s->Fill(0);
    EXPECT_EQ(s->Circle(10, 10, 5, 1), 0);
    EXPECT_EQ(Picture(*s).substr(4 * 22, 13 * 22),
              ".....................\n"
              "........#####........\n"
              ".......#.....#.......\n"
              "......#.......#......\n"
              ".....#.........#.....\n"
              ".....#.........#.....\n"
              ".....#.........#.....\n"
              ".....#.........#.....\n"
              ".....#.........#.....\n"
              "......#.......#......\n"
              ".......#.....#.......\n"
              "........#####........\n"
              ".....................\n");

    s->Fill(0);
    EXPECT_EQ(s->FillCircle(10, 10, 2, 1), 0);
    EXPECT_EQ(RunsOf(*s, 7), "");
    EXPECT_EQ(RunsOf(*s, 8), "10 ");
    EXPECT_EQ(RunsOf(*s, 9), "8 9 10 11 12 ");
    EXPECT_EQ(RunsOf(*s, 10), "8 9 10 11 12 ");
    EXPECT_EQ(RunsOf(*s, 11), "8 9 10 11 12 ");
    EXPECT_EQ(RunsOf(*s, 12), "");
    s->Fill(0);
    EXPECT_EQ(s->FillCircle(10, 40, 5, 1), 0);
    EXPECT_EQ(s->FillCircle(10, -10, 5, 1), 0);
    EXPECT_EQ(Picture(*s).find('#'), std::string::npos);
}

TEST(Shapes, RectanglesAndFills) {
    CDXScreen screen;
    auto s = MakeSurface(screen, 16, 6, 5);
    EXPECT_EQ(s->Rect(1, 1, 4, 3, 1), 0);
    EXPECT_EQ(Picture(*s),
              "......\n"
              ".####.\n"
              ".#..#.\n"
              ".####.\n"
              "......\n");
    s->Fill(0);
    RECT clip{2, 1, 6, 5};
    s->SetClipRect(&clip);
    EXPECT_EQ(s->FillRect(-5, 0, 2, 5, 1), 0);  // wholly left of the clip rectangle
    EXPECT_EQ(Picture(*s).find('#'), std::string::npos);
    EXPECT_EQ(s->FillRect(0, 0, 4, 3, 1), 0);
    EXPECT_EQ(Picture(*s),
              "......\n"
              "..##..\n"
              "..##..\n"
              "......\n"
              "......\n");
    CDXSurface empty;
    EXPECT_EQ(empty.Rect(0, 0, 1, 1, 1), -1);
    EXPECT_EQ(empty.Circle(0, 0, 1, 1), -1);
}

// Fills of random rectangles, clip rectangles and colours at every depth give exactly the
// pixels of storing the colour pixel by pixel inside the clipped rectangle: no byte
// outside it changes (three-byte pixels included), rows of every length around the
// eight-byte stores.
TEST(Shapes, FillsEqualStoringEachPixel) {
    CDXScreen screen;
    std::mt19937 rng(7331);
    int nFilled = 0;
    for (int nDepth : {15, 16, 24, 32}) {
        const int nBytes = BytesForDepth(nDepth);
        for (int nTrial = 0; nTrial < 150; ++nTrial) {
            const int w = 1 + int(rng() % 40), h = 1 + int(rng() % 6);
            auto s = MakeSurface(screen, nDepth, w, h);
            ASSERT_TRUE(s);
            FillRandom(*s, rng);
            auto in = [&](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
            RECT clip{in(-3, w / 2), in(-3, h / 2), in(w / 2, w + 3), in(h / 2, h + 3)};
            if (rng() % 2) s->SetClipRect(&clip);
            const RECT rcClip = s->GetClipRect();
            const int x1 = in(-5, w + 2), y1 = in(-3, h + 1), x2 = in(-2, w + 5), y2 = in(-1, h + 3);
            const DWORD colour = rng();
            std::vector<BYTE> expected = Snapshot(*s);
            const int l = std::max<int>(x1, rcClip.left), t = std::max<int>(y1, rcClip.top);
            const int r = std::min<int>(x2, rcClip.right), b = std::min<int>(y2, rcClip.bottom);
            for (int y = t; y < b; ++y)
                for (int x = l; x < r; ++x) {
                    std::memcpy(&expected[(size_t(y) * size_t(w) + size_t(x)) * size_t(nBytes)], &colour, size_t(nBytes));
                    ++nFilled;
                }
            EXPECT_EQ(s->FillRect(x1, y1, x2, y2, colour), 0);
            ASSERT_EQ(Snapshot(*s), expected) << "depth " << nDepth << " trial " << nTrial << " fill (" << x1 << ", "
                                              << y1 << ")-(" << x2 << ", " << y2 << ")";
        }
        // The whole surface, a row long enough for many eight-byte stores.
        auto s = MakeSurface(screen, nDepth, 203, 3);
        ASSERT_TRUE(s);
        FillRandom(*s, rng);
        const DWORD colour = rng();
        ASSERT_EQ(s->Fill(colour), 0);
        std::vector<BYTE> expected(size_t(203) * 3 * size_t(nBytes));
        for (size_t i = 0; i < expected.size(); i += size_t(nBytes)) std::memcpy(&expected[i], &colour, size_t(nBytes));
        EXPECT_EQ(Snapshot(*s), expected) << "depth " << nDepth;
    }
    EXPECT_GT(nFilled, 1500);  // many of the random rectangles are not empty
}

TEST(BmpWriter, WritesPaddedBottomUpRowsWithTheTrueSize) {
    CDXScreen screen;
    const CTempFolder folder("cdx_bmp");
    const std::string& dir = folder.Path();
    struct DepthCase {
        int nDepth;
        DWORD pixel;
        BYTE b, g, r;
    };
    const DepthCase cases[] = {
        {16, 0xFFFF, 248, 252, 248}, {16, 0x07E0, 0, 252, 0},     {15, 0x7FFF, 248, 248, 248},
        {15, 0x7C00, 0, 0, 248},     {24, 0x123456, 0x56, 0x34, 0x12}, {32, 0xAB123456, 0x56, 0x34, 0x12},
    };
    for (const DepthCase& c : cases) {
        // 3 pixels wide: rows of 9 bytes and 3 zero bytes; the marked pixel is at the top left.
        auto s = MakeSurface(screen, c.nDepth, 3, 2);
        WritePixel(*s, 0, 0, c.pixel);
        const std::string name = dir + "/shot.bmp";
        ASSERT_EQ(s->SaveAsBmp(name.c_str()), 1);
        const auto bytes = ReadFileBytes(name);
        ASSERT_EQ(bytes.size(), 54u + 2 * 12);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(U32(bytes, 2), bytes.size());
        EXPECT_EQ(U32(bytes, 10), 54u);
        EXPECT_EQ(U32(bytes, 14), 40u);
        EXPECT_EQ(U32(bytes, 18), 3u);
        EXPECT_EQ(U32(bytes, 22), 2u);
        EXPECT_EQ(bytes[28], 24);
        EXPECT_EQ(U32(bytes, 38), 10000u);
        // The top row is stored last.
        const size_t top = 54 + 12;
        EXPECT_EQ(bytes[top], c.b) << c.nDepth;
        EXPECT_EQ(bytes[top + 1], c.g) << c.nDepth;
        EXPECT_EQ(bytes[top + 2], c.r) << c.nDepth;
        for (size_t i = 54; i < 54 + 12; ++i) EXPECT_EQ(bytes[i], 0) << "bottom row";
        for (size_t i = top + 9; i < top + 12; ++i) EXPECT_EQ(bytes[i], 0) << "padding";
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/shot.bmp.tmp"));
}

TEST(BmpWriter, FailuresLeaveNoFile) {
    CDXScreen screen;
    const CTempFolder folder("cdx_bmpfail");
    const std::string& dir = folder.Path();
    auto s = MakeSurface(screen, 16, 4, 4);
    EXPECT_EQ(s->SaveAsBmp(nullptr), -1);
    EXPECT_EQ(s->SaveAsBmp((dir + "/no/such/folder/x.bmp").c_str()), -2);

    // A 12-bit surface has no conversion: refused before any file is made.
    SurfaceDesc desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = desc.dwHeight = 4;
    desc.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    desc.ddpfPixelFormat = VideoPixelFormat{DDPF_RGB, 12, 0xF00, 0x0F0, 0x00F};
    CVideoSurface* pVideo = nullptr;
    ASSERT_TRUE(Succeeded(screen.GetDirectDraw()->CreateSurface(desc, &pVideo)));
    CDXSurface odd;
    odd.AttachInterface(pVideo, true);
    odd.CompleteCreation(&screen, 1, true);
    const std::string name = dir + "/odd.bmp";
    EXPECT_EQ(odd.SaveAsBmp(name.c_str()), -7);
    EXPECT_FALSE(std::filesystem::exists(name));

    // A failed lock removes the partial file and keeps an older picture of that name.
    const std::string keep = dir + "/keep.bmp";
    ASSERT_EQ(s->SaveAsBmp(keep.c_str()), 1);
    const auto old = ReadFileBytes(keep);
    ASSERT_TRUE(Succeeded(s->GetInterface()->Lock(nullptr)));  // held by someone else
    EXPECT_EQ(s->SaveAsBmp(keep.c_str()), -3);
    s->GetInterface()->Unlock();
    EXPECT_EQ(ReadFileBytes(keep), old);
    EXPECT_FALSE(std::filesystem::exists(keep + ".tmp"));
}

}  // namespace
