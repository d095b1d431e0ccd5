#include "platform/Charset.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("Data/Base.DAT", "base");
        dir.Write("Sound/JL01.wav", "wave");
        dir.Write("Sound/jl02.WAV", "wave2");
        dir.Write("pic/Tree.bmp", "tree");
        ASSERT_TRUE(SetCurrentDirectory(dir.Path().c_str()));
    }
    CBaseFolderGuard guard;
    CTempFolder dir;
};

TEST_F(FilesTest, ResolvesWindowsNamesWithoutRegardToCase) {
    EXPECT_EQ(ResolvePath("data\\base.dat"), dir.File("Data/Base.DAT"));
    EXPECT_EQ(ResolvePath("SOUND\\jl01.WAV"), dir.File("Sound/JL01.wav"));
    EXPECT_EQ(ResolvePath("sound/JL02.wav"), dir.File("Sound/jl02.WAV"));
    EXPECT_EQ(ResolvePath(".\\pic\\..\\PIC\\tree.BMP"), dir.File("pic/Tree.bmp"));
    // Absolute names go through the same matching.
    std::string absolute = dir.Path() + "\\DATA\\BASE.dat";
    EXPECT_EQ(ResolvePath(absolute), dir.File("Data/Base.DAT"));
}

TEST_F(FilesTest, PrefersTheExactSpellingAndOtherwiseTheSmallestName) {
    dir.Write("two/name.txt", "lower");
    dir.Write("two/NAME.txt", "upper");
    EXPECT_EQ(ResolvePath("two\\name.txt"), dir.File("two/name.txt"));
    EXPECT_EQ(ResolvePath("two\\NAME.txt"), dir.File("two/NAME.txt"));
    EXPECT_EQ(ResolvePath("two\\Name.TXT"), dir.File("two/NAME.txt"));
}

TEST_F(FilesTest, MissingComponentsKeepTheirSpelling) {
    EXPECT_EQ(ResolvePath("data\\New\\File.Bin"), dir.File("Data/New/File.Bin"));
    EXPECT_EQ(ResolvePath("save\\save001.sav"), dir.File("save/save001.sav"));
    ASSERT_TRUE(MakeDirectory("SAVE"));
    EXPECT_EQ(ResolvePath("save\\save001.sav"), dir.File("SAVE/save001.sav"));
}

TEST_F(FilesTest, FindsUtf8NamesFromGbkNames) {
    dir.Write("pic/青石镇.bmp", "gbk");
    std::string gbk = Utf8ToText("pic\\青石镇.BMP");
    EXPECT_EQ(ResolvePath(gbk), dir.File("pic/青石镇.bmp"));
    EXPECT_TRUE(FileExists(gbk.c_str()));
}

TEST_F(FilesTest, BaseFolderChangesOnlyThroughTheResolver) {
    std::string working = std::filesystem::current_path().string();
    EXPECT_EQ(GetCurrentDirectory(), dir.Path());
    // A relative argument resolves against the current base.
    ASSERT_TRUE(SetCurrentDirectory("sound"));
    EXPECT_EQ(GetCurrentDirectory(), dir.File("Sound"));
    EXPECT_EQ(ResolvePath("jl01.wav"), dir.File("Sound/JL01.wav"));
    EXPECT_FALSE(SetCurrentDirectory("nowhere"));
    EXPECT_FALSE(SetCurrentDirectory("jl01.wav"));
    EXPECT_EQ(GetCurrentDirectory(), dir.File("Sound"));
    ASSERT_TRUE(SetCurrentDirectory(".."));
    EXPECT_EQ(GetCurrentDirectory(), dir.Path());
    EXPECT_EQ(std::filesystem::current_path().string(), working);
}

// The game folder is made current several times a frame: each time it is the folder
// the name gives now, found again after it went, never the one a link named before.
TEST_F(FilesTest, AFolderMadeCurrentAgainIsTheOneItsNameGivesNow) {
    const std::string strGame = dir.File("Game"), strOther = dir.File("Other");
    ASSERT_TRUE(MakeDirectory("Game") && MakeDirectory("Other"));
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(SetCurrentDirectory(strGame.c_str()));
        EXPECT_EQ(GetCurrentDirectory(), strGame);
        ASSERT_TRUE(SetCurrentDirectory("..\\Other"));
        EXPECT_EQ(GetCurrentDirectory(), strOther);
    }
    // Written the Windows way, and with a trailing separator.
    ASSERT_TRUE(SetCurrentDirectory((dir.Path() + "\\Game\\").c_str()));
    EXPECT_EQ(GetCurrentDirectory(), strGame);
    // Gone: refused, the current folder stays; back again: found.
    std::filesystem::remove(strGame);
    EXPECT_FALSE(SetCurrentDirectory(strGame.c_str()));
    EXPECT_EQ(GetCurrentDirectory(), strGame);
    ASSERT_TRUE(SetCurrentDirectory(strOther.c_str()));
    EXPECT_FALSE(SetCurrentDirectory(strGame.c_str()));
    EXPECT_EQ(GetCurrentDirectory(), strOther);
    ASSERT_TRUE(MakeDirectory(strGame.c_str()));
    EXPECT_TRUE(SetCurrentDirectory(strGame.c_str()));
    EXPECT_EQ(GetCurrentDirectory(), strGame);
    // Through a link: the folder it names, and another once it is turned elsewhere.
    const std::string strLink = dir.File("Link");
    std::filesystem::create_directory_symlink(strGame, strLink);
    ASSERT_TRUE(SetCurrentDirectory(strLink.c_str()));
    EXPECT_EQ(GetCurrentDirectory(), strGame);
    ASSERT_TRUE(SetCurrentDirectory(strLink.c_str()));
    EXPECT_EQ(GetCurrentDirectory(), strGame);
    std::filesystem::remove(strLink);
    std::filesystem::create_directory_symlink(strOther, strLink);
    ASSERT_TRUE(SetCurrentDirectory(strLink.c_str()));
    EXPECT_EQ(GetCurrentDirectory(), strOther);
    // Another spelling of the folder is matched without regard to case.
    ASSERT_TRUE(SetCurrentDirectory((dir.Path() + "/GAME").c_str()));
    EXPECT_EQ(GetCurrentDirectory(), strGame);
}

TEST_F(FilesTest, OpensCreatesAndReplacesFiles) {
    FILE* fp = OpenFile("DATA\\base.dat", "rb");
    ASSERT_NE(fp, nullptr);
    char buf[8] = {};
    EXPECT_EQ(std::fread(buf, 1, sizeof(buf), fp), 4u);
    std::fclose(fp);
    EXPECT_STREQ(buf, "base");
    EXPECT_EQ(OpenFile("data\\absent.dat", "rb"), nullptr);

    EXPECT_TRUE(FileExists("data\\BASE.DAT"));
    EXPECT_FALSE(FileExists("data"));
    EXPECT_TRUE(DirectoryExists("DATA"));
    EXPECT_TRUE(MakeDirectory("data"));  // existing folder is no error
    EXPECT_FALSE(MakeDirectory("data\\base.dat"));
    EXPECT_FALSE(MakeDirectory("no\\such\\parent"));

    fp = OpenFile("data\\new.tmp", "wb");
    ASSERT_NE(fp, nullptr);
    std::fputs("fresh", fp);
    std::fclose(fp);
    ASSERT_TRUE(ReplaceFile("data\\new.tmp", "data\\base.dat"));
    EXPECT_FALSE(FileExists("data\\new.tmp"));
    std::vector<std::uint8_t> bytes = dir.Read("Data/Base.DAT");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "fresh");

    EXPECT_TRUE(RemoveFile("DATA\\BASE.DAT"));
    EXPECT_FALSE(RemoveFile("data\\base.dat"));
}

// A folder, a named pipe or anything else in place of a file fails at once with a reason;
// nothing waits for a writer and nothing is truncated before the check.
TEST_F(FilesTest, OnlyRegularFilesOpen) {
    ASSERT_EQ(mkfifo(dir.File("Data/Pipe.dat").c_str(), 0600), 0);
    for (const char* pszMode : {"rb", "r+b", "wb", "ab"}) {
        EXPECT_EQ(OpenFile("data\\pipe.dat", pszMode), nullptr) << pszMode;
        EXPECT_EQ(OpenFileError(), "is a named pipe, not a file") << pszMode;
        EXPECT_EQ(OpenFile("DATA", pszMode), nullptr) << pszMode;
        EXPECT_EQ(OpenFileError(), "is a folder, not a file") << pszMode;
    }
    EXPECT_FALSE(CheckRegularFile(dir.File("Data/Pipe.dat")));
    EXPECT_EQ(OpenFileError(), "is a named pipe, not a file");
    EXPECT_FALSE(CheckRegularFile(dir.File("Data")));
    EXPECT_TRUE(CheckRegularFile(dir.File("Data/Base.DAT")));
    EXPECT_EQ(OpenFile("data\\absent.dat", "rb"), nullptr);
    EXPECT_EQ(OpenFileError(), "does not exist");

    std::vector<std::uint8_t> bytes;
    std::string why;
    EXPECT_FALSE(ReadWholeFile("data", 100, &bytes, &why));
    EXPECT_EQ(why, "data: is a folder, not a file");
    EXPECT_FALSE(ReadWholeFile("data\\pipe.dat", 100, &bytes, &why));
    EXPECT_EQ(why, "data\\pipe.dat: is a named pipe, not a file");

    // Regular files keep fopen's meaning of each mode.
    FILE* fp = OpenFile("data\\base.dat", "r+b");
    ASSERT_NE(fp, nullptr);
    std::fclose(fp);
    EXPECT_EQ(dir.Read("Data/Base.DAT").size(), 4u);  // not truncated
    fp = OpenFile("data\\base.dat", "ab");
    ASSERT_NE(fp, nullptr);
    std::fputs("+", fp);
    std::fclose(fp);
    EXPECT_EQ(dir.Read("Data/Base.DAT"), (std::vector<std::uint8_t>{'b', 'a', 's', 'e', '+'}));
    fp = OpenFile("data\\base.dat", "wb");
    ASSERT_NE(fp, nullptr);
    std::fclose(fp);
    EXPECT_TRUE(dir.Read("Data/Base.DAT").empty());
    EXPECT_EQ(OpenFile("data\\base.dat", "q"), nullptr);
}

TEST_F(FilesTest, ListsMatchingFilesSorted) {
    dir.Write("Sound/Npc01.wav", "");
    dir.Write("Sound/readme.txt", "");
    std::filesystem::create_directories(dir.File("Sound/folder.wav"));
    EXPECT_EQ(ListFiles("sound", "*.wav"),
              (std::vector<std::string>{"JL01.wav", "Npc01.wav", "jl02.WAV"}));
    EXPECT_EQ(ListFiles("SOUND", "jl0?.wav"), (std::vector<std::string>{"JL01.wav", "jl02.WAV"}));
    EXPECT_EQ(ListFiles("sound", "*.*").size(), 4u);
    EXPECT_TRUE(ListFiles("missing", "*").empty());
}

TEST(Wildcard, MatchesLikeFileFinds) {
    EXPECT_TRUE(MatchWildcard("*.pkg", "Menu.PKG"));
    EXPECT_TRUE(MatchWildcard("*", ""));
    EXPECT_TRUE(MatchWildcard("*.*", "noextension"));
    EXPECT_TRUE(MatchWildcard("a*b*c", "aXXbYYbZc"));
    EXPECT_TRUE(MatchWildcard("save???.sav", "save001.sav"));
    EXPECT_FALSE(MatchWildcard("save???.sav", "save01.sav"));
    EXPECT_FALSE(MatchWildcard("*.pkg", "menu.pk"));
    EXPECT_FALSE(MatchWildcard("a*b", "acbd"));
}

}  // namespace
