#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "gamedata/GameData.h"
#include "gamedata/PkgFile.h"
#include "platform/Files.h"
#include "tests/TempFolder.h"
#include "tools/gamekit/ImageWriters.h"
#include "tools/gamekit/PkgWriters.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Data(int n, int nSeed) {
    Bytes b(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) b[size_t(i)] = std::uint8_t(i * 7 + nSeed);
    return b;
}

class PkgTest : public ::testing::Test {
protected:
    CTempFolder m_folder{"pkg_test"};
    std::filesystem::path dir = m_folder.Path();
    void SetUp() override { std::filesystem::create_directories(dir / "bmp"); }
    std::string Write(const std::string& name, const Bytes& b) {
        const std::string path = (dir / name).string();
        EXPECT_TRUE(WriteBytesToFile(path.c_str(), b));
        return path;
    }
    static Bytes ReadEntry(CPkgFile& pkg, const char* pszName) {
        const int n = pkg.GetSize(pszName);
        FILE* f = pkg.Seek(pszName);
        if (n < 0 || !f) return {};
        Bytes b(static_cast<size_t>(n));
        EXPECT_EQ(std::fread(b.data(), 1, b.size(), f), b.size());
        return b;
    }
};

TEST_F(PkgTest, LookupIgnoresCaseAndReadsEntries) {
    std::vector<PkgEntryData> entries = {{"Item-001.bmp", Data(30, 1)},  {"ToolBar_BKGround.tga", Data(5, 2)},
                                         {"toolbarA.bmp", Data(17, 3)},  {"TX000.bmp", Data(1, 4)},
                                         {"a_b", Data(9, 5)},            {"aB", Data(2, 6)},
                                         {"Zeta.bmp", Data(100, 7)}};
    CPkgFile pkg("test.pkg");
    ASSERT_TRUE(pkg.OpenPath(Write("test.pkg", BuildPkg(entries)).c_str())) << pkg.GetError();
    EXPECT_EQ(pkg.GetCount(), 7);
    for (const auto& e : entries) {
        SCOPED_TRACE(e.strName);
        std::string upper = e.strName, lower = e.strName;
        for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
        for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
        for (const std::string& name : {e.strName, upper, lower}) {
            EXPECT_TRUE(pkg.Contains(name.c_str()));
            EXPECT_EQ(ReadEntry(pkg, name.c_str()), e.bytes);
        }
    }
    EXPECT_FALSE(pkg.Contains("item-002.bmp"));
    EXPECT_EQ(pkg.GetSize("item-002.bmp"), -1);
    EXPECT_EQ(pkg.Seek("item-002.bmp"), nullptr);
    EXPECT_EQ(pkg.GetSize(nullptr), -1);
    // A size lookup leaves the stream where the seek put it.
    FILE* f = pkg.Seek("zeta.bmp");
    ASSERT_NE(f, nullptr);
    const long nPos = std::ftell(f);
    EXPECT_EQ(pkg.GetSize("TX000.BMP"), 1);
    EXPECT_EQ(std::ftell(f), nPos);
}

TEST_F(PkgTest, SortOrderPutsUnderscoreBeforeLetters) {
    EXPECT_LT(ComparePkgNames("A_x", "Ab"), 0);
    EXPECT_LT(ComparePkgNames("a_x", "AB"), 0);
    EXPECT_EQ(ComparePkgNames("ToolBar.TGA", "toolbar.tga"), 0);
    EXPECT_LT(ComparePkgNames("abc", "abcd"), 0);
    EXPECT_GT(ComparePkgNames("\xB0\xA1", "z"), 0);  // bytes above 127 compare unsigned
    const std::vector<PkgEntryData> entries = {{"Ab", Data(3, 1)}, {"A_x", Data(4, 2)}, {"Aa", Data(5, 3)}};
    const Bytes sorted = BuildPkg(entries);
    // The index stores A_x before Aa and Ab.
    const std::string text(sorted.begin(), sorted.end());
    EXPECT_LT(text.find("A_x"), text.find("Aa"));
    CPkgFile pkg("sorted.pkg");
    ASSERT_TRUE(pkg.OpenPath(Write("sorted.pkg", sorted).c_str()));
    for (const auto& e : entries) EXPECT_EQ(ReadEntry(pkg, e.strName.c_str()), e.bytes) << e.strName;
    // An index in another order is not sorted by the reader: lookups miss entries.
    const std::vector<PkgEntryData> wrong = {{"Ab", Data(3, 1)}, {"Aa", Data(5, 3)}, {"A_x", Data(4, 2)}, {"B", Data(1, 1)}};
    CPkgFile bad("wrong.pkg");
    ASSERT_TRUE(bad.OpenPath(Write("wrong.pkg", BuildPkg(wrong, false)).c_str()));
    int nFound = 0;
    for (const auto& e : wrong) nFound += bad.Contains(e.strName.c_str()) ? 1 : 0;
    EXPECT_LT(nFound, 4);
}

TEST_F(PkgTest, OpenUsesTheGameFoldersBmpFolder) {
    const std::vector<PkgEntryData> entries = {{"one.bmp", Data(8, 1)}};
    ASSERT_TRUE(WriteBytesToFile((dir / "bmp" / "Menu.PKG").string().c_str(), BuildPkg(entries)));
    ASSERT_TRUE(WriteBytesToFile((dir / "bmp" / "empty.pkg").string().c_str(), BuildPkg({})));
    CGameData data;
    data.InitPaths(dir.string().c_str());
    CGameData* pOld = pGameData;
    pGameData = &data;
    const std::string before = GetCurrentDirectory();
    {
        CPkgFile pkg("menu.pkg");
        ASSERT_TRUE(pkg.Open()) << pkg.GetError();
        EXPECT_EQ(std::filesystem::path(GetCurrentDirectory()).filename(), "bmp");
        EXPECT_EQ(ReadEntry(pkg, "ONE.bmp"), entries[0].bytes);
        CPkgFile empty("empty.pkg");
        ASSERT_TRUE(empty.Open());
        EXPECT_EQ(empty.GetCount(), 0);
        EXPECT_FALSE(empty.Contains("one.bmp"));
        CPkgFile missing("SceneInside.pkg");
        EXPECT_FALSE(missing.Open());
        EXPECT_FALSE(missing.Contains("one.bmp"));
    }
    pGameData = pOld;
    SetCurrentDirectory(before.c_str());
}

TEST_F(PkgTest, LongNamesAndEntriesPastTheEnd) {
    const std::string longName(40, 'q');
    const std::vector<PkgEntryData> entries = {{"a.bmp", Data(10, 1)}, {longName + ".bmp", Data(20, 2)}, {"z.bmp", Data(30, 3)}};
    Bytes b = BuildPkg(entries);
    CPkgFile pkg("long.pkg");
    ASSERT_TRUE(pkg.OpenPath(Write("long.pkg", b).c_str())) << pkg.GetError();
    EXPECT_EQ(ReadEntry(pkg, (longName + ".BMP").c_str()), entries[1].bytes);
    EXPECT_EQ(ReadEntry(pkg, "z.bmp"), entries[2].bytes);
    // z.bmp's size grown past the end of the file: absent; the others stay.
    const size_t nSizeAt = 4 + (5 + 1 + 8) + (44 + 1 + 8) + 6 + 4;
    ASSERT_EQ(b[nSizeAt], 30);
    b[nSizeAt] = 31;
    CPkgFile cut("cut.pkg");
    ASSERT_TRUE(cut.OpenPath(Write("cut.pkg", b).c_str()));
    EXPECT_FALSE(cut.Contains("z.bmp"));
    EXPECT_EQ(cut.GetSize("z.bmp"), -1);
    EXPECT_EQ(cut.Seek("z.bmp"), nullptr);
    EXPECT_TRUE(cut.Contains("a.bmp"));
    // A name of more than 255 bytes fails the package.
    CPkgFile huge("huge.pkg");
    EXPECT_FALSE(huge.OpenPath(Write("huge.pkg", BuildPkg({{std::string(300, 'x'), Data(4, 1)}})).c_str()));
    EXPECT_FALSE(huge.GetError().empty());
}

TEST_F(PkgTest, APackageCutShortSaysOnceWhichAndHowManyEntriesAreMissing) {
    CBaseFolderGuard guard;
    const std::vector<PkgEntryData> entries = {
        {"a.bmp", Data(10, 1)}, {"b.bmp", Data(20, 2)}, {"c.bmp", Data(30, 3)}, {"d.bmp", Data(40, 4)}};
    Bytes b = BuildPkg(entries);
    b.resize(b.size() - 45);  // d.bmp and the last 5 bytes of c.bmp are gone
    ASSERT_TRUE(WriteBytesToFile((dir / "bmp" / "Short.pkg").string().c_str(), b));
    CGameData data;
    data.InitPaths(dir.string().c_str());
    pGameData = &data;
    CPkgFile pkg("short.pkg");
    testing::internal::CaptureStderr();
    const bool bOpened = pkg.Open();
    const std::string strErr = testing::internal::GetCapturedStderr();
    pGameData = nullptr;
    ASSERT_TRUE(bOpened) << pkg.GetError();
    EXPECT_EQ(strErr, "game: bmp\\short.pkg is cut short: 2 of 4 entries are missing\n");
    EXPECT_EQ(ReadEntry(pkg, "b.bmp"), entries[1].bytes);
    EXPECT_FALSE(pkg.Contains("c.bmp"));
    EXPECT_FALSE(pkg.Contains("d.bmp"));

    // A whole package says nothing.
    CPkgFile whole("whole.pkg");
    testing::internal::CaptureStderr();
    ASSERT_TRUE(whole.OpenPath(Write("whole.pkg", BuildPkg(entries)).c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(PkgTest, DamagedIndexesFailCleanly) {
    const std::vector<PkgEntryData> entries = {{"a.bmp", Data(10, 1)}, {"b.bmp", Data(20, 2)}, {"c.bmp", Data(30, 3)}};
    const Bytes good = BuildPkg(entries);
    const size_t nIndexEnd = 4 + 3 * (5 + 1 + 8);
    for (size_t n = 0; n < good.size(); ++n) {
        CPkgFile pkg("t.pkg");
        const bool bOpen = pkg.OpenPath(Write("t.pkg", Bytes(good.begin(), good.begin() + std::ptrdiff_t(n))).c_str());
        EXPECT_EQ(bOpen, n >= nIndexEnd) << n;
        // Entries whose bytes were cut away are absent.
        if (bOpen) {
            EXPECT_EQ(pkg.Contains("c.bmp"), n == good.size()) << n;
        }
    }
    Bytes count = good;
    count[3] = 0x40;  // a count the file cannot hold
    CPkgFile pkg("count.pkg");
    EXPECT_FALSE(pkg.OpenPath(Write("count.pkg", count).c_str()));
    EXPECT_NE(pkg.GetError().find("count"), std::string::npos);
}

TEST_F(PkgTest, MusicVariantCountsFourByteUnits) {
    const std::vector<PkgEntryData> entries = {{"01.mp3", Data(10, 1)}, {"02.mp3", Data(8, 2)}};
    const std::string path = Write("veskmp3.dat", BuildPkg(entries, true, 4));
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<PkgIndexEntry> index;
    std::string strError;
    ASSERT_TRUE(ReadPkgIndex(f, 4, &index, &strError)) << strError;
    std::fclose(f);
    ASSERT_EQ(index.size(), 2u);
    EXPECT_EQ(index[0].dwSize, 12u);
    EXPECT_EQ(index[1].dwSize, 8u);
    EXPECT_TRUE(index[1].bPresent);
}

}  // namespace
