#include <random>

#include "CDX/CDXMovie.h"
#include "CDX/CDXScreen.h"
#include "MediaTestUtil.h"
#include "tools/gamekit/AviWriter.h"

using namespace mediatest;

namespace {

class MovieTest : public MediaTest {
protected:
    void SetUp() override {
        MediaTest::SetUp();
        m_folder = m_temp.Path();
        ASSERT_EQ(m_screen.CreateWindowed(nullptr, 800, 600), 0);
        m_pBack = m_screen.GetBack();
        ASSERT_NE(m_pBack, nullptr);
        m_spec.nWidth = 160;
        m_spec.nHeight = 120;
        m_spec.nFps = 10;
        m_spec.colours = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
        m_spec.dToneHz = 440;
        m_path = m_folder + "/clip.avi";
        std::string strError;
        ASSERT_TRUE(WriteAvi(m_path, m_spec, &strError)) << strError;
    }
    // The pixel as 8-bit red, green, blue.
    void PixelAt(int x, int y, int rgb[3]) {
        ASSERT_TRUE(Succeeded(m_pBack->Lock()));
        DWORD v = m_pBack->GetPixel(x, y);
        m_pBack->Unlock();
        rgb[0] = int((v >> 11) & 31) * 255 / 31;
        rgb[1] = int((v >> 5) & 63) * 255 / 63;
        rgb[2] = int(v & 31) * 255 / 31;
    }
    void ExpectColour(int x, int y, std::uint32_t c) {
        int rgb[3];
        PixelAt(x, y, rgb);
        EXPECT_NEAR(rgb[0], int(c >> 16), 24) << x << "," << y;
        EXPECT_NEAR(rgb[1], int((c >> 8) & 255), 24) << x << "," << y;
        EXPECT_NEAR(rgb[2], int(c & 255), 24) << x << "," << y;
    }
    CDXScreen m_screen;
    CDXSurface* m_pBack = nullptr;
    std::string m_folder;
    std::string m_path;
    AviSpec m_spec;
};

TEST_F(MovieTest, FramesDrawTheirColoursOverTheWholeBackBufferInTimeAndEnd) {
    ASSERT_EQ(m_pBack->GetWidth(), 800);
    CDXMovie movie(&m_screen);
    ASSERT_TRUE(movie.Create(m_path.c_str(), m_pBack));
    ASSERT_TRUE(movie.Play());
    DWORD dwStart = TimeGetTime();
    for (std::uint32_t c : m_spec.colours) {
        ASSERT_TRUE(movie.Update(RECT{0, 0, 800, 600}));
        ExpectColour(400, 300, c);
        ExpectColour(5, 5, c);
        ExpectColour(795, 595, c);
        Pull(4410);
    }
    // The last picture is due 300 ms after the start.
    EXPECT_GE(TimeGetTime() - dwStart, 300u);
    EXPECT_LT(TimeGetTime() - dwStart, 400u);
    EXPECT_FALSE(movie.Update(RECT{0, 0, 800, 600}));
    EXPECT_TRUE(movie.Stop());
}

TEST_F(MovieTest, ARectangleOtherThanTheScreenIsUsedAsGivenAndTheSoundPlays) {
    m_screen.FillBack(0);
    CDXMovie movie(&m_screen);
    ASSERT_TRUE(movie.Create(m_path.c_str(), m_pBack));
    ASSERT_TRUE(movie.Play());
    ASSERT_TRUE(movie.Update(RECT{100, 50, 420, 290}));
    ExpectColour(260, 170, 0xFF0000);
    ExpectColour(99, 49, 0x000000);
    ExpectColour(420, 290, 0x000000);
    // The sound track is queued as pictures are read.
    ASSERT_TRUE(movie.Update(RECT{100, 50, 420, 290}));
    auto s = Pull(8820);
    EXPECT_NEAR(Frequency(s, 44100), 440.0, 8.8);
    EXPECT_FALSE(movie.Update(RECT{700, 500, 900, 700}));  // outside the target
    movie.Stop();
    EXPECT_EQ(AudioActiveVoiceCount(), 0);
}

TEST_F(MovieTest, MissingTruncatedAndCorruptedFilesFailCleanly) {
    {
        CDXMovie movie(&m_screen);
        std::string missing = m_folder + "/none.avi";
        EXPECT_FALSE(movie.Create(missing.c_str(), m_pBack));
        EXPECT_FALSE(movie.Play());
        EXPECT_FALSE(movie.Update(RECT{0, 0, 800, 600}));
    }
    std::ifstream f(m_path, std::ios::binary);
    std::vector<std::uint8_t> good((std::istreambuf_iterator<char>(f)), {});
    ASSERT_GT(good.size(), 1000u);
    std::mt19937 rng(5);
    for (int i = 0; i < 40; ++i) {
        auto bad = good;
        if (i % 2 == 0) bad.resize(rng() % bad.size());
        else
            for (int k = 0; k < 20; ++k) bad[rng() % bad.size()] = std::uint8_t(rng());
        std::string path = m_folder + "/bad.avi";
        WriteBytes(path, bad);
        CDXMovie movie(&m_screen);
        if (!movie.Create(path.c_str(), m_pBack)) continue;
        ASSERT_TRUE(movie.Play());
        int nFrames = 0;
        while (movie.Update(RECT{0, 0, 800, 600}) && nFrames < 50) ++nFrames;
        EXPECT_LT(nFrames, 50);
        movie.Stop();
    }
}

}  // namespace
