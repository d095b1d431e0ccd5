#include "platform/Profile.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("Game.INI",
                  "; options\r\n"
                  "[Option]\r\n"
                  "FullScreen=0\r\n"
                  "  screenwidth = 800  \r\n"
                  "Trailing=12abc\r\n"
                  "Word=abc\r\n"
                  "Negative=  -7\r\n"
                  "Plus=+15\r\n"
                  "Empty=\r\n"
                  ";Commented=5\r\n"
                  "Twice=1\r\n"
                  "Twice=2\r\n"
                  "Quoted=\"some text\"\r\n"
                  "Inline=4 ; not a comment\r\n"
                  "\r\n"
                  "[ newgame ]\n"
                  "Scene=3\n"
                  "FullScreen=9\n");
        ASSERT_TRUE(SetCurrentDirectory(dir.Path().c_str()));
        file = dir.Path() + "\\game.ini";
    }
    CBaseFolderGuard guard;
    CTempFolder dir;
    std::string file;
};

TEST_F(ProfileTest, ReadsIntegersAsTheOptionsExpect) {
    const char* f = file.c_str();
    EXPECT_EQ(GetProfileInt(f, "Option", "FullScreen", 1), 0);
    EXPECT_EQ(GetProfileInt(f, "OPTION", "ScreenWidth", 640), 800);
    EXPECT_EQ(GetProfileInt(f, "Option", "Trailing", 5), 12);
    EXPECT_EQ(GetProfileInt(f, "Option", "Word", 5), 0);
    EXPECT_EQ(GetProfileInt(f, "Option", "Negative", 5), -7);
    EXPECT_EQ(GetProfileInt(f, "Option", "Plus", 5), 15);
    EXPECT_EQ(GetProfileInt(f, "Option", "Empty", 5), 5);
    EXPECT_EQ(GetProfileInt(f, "Option", "Commented", 5), 5);
    EXPECT_EQ(GetProfileInt(f, "Option", "Twice", 5), 1);
    EXPECT_EQ(GetProfileInt(f, "Option", "Inline", 5), 4);
    EXPECT_EQ(GetProfileInt(f, "NewGame", "Scene", 0), 3);
    // Keys belong to their own section only.
    EXPECT_EQ(GetProfileInt(f, "NewGame", "FullScreen", 1), 9);
    EXPECT_EQ(GetProfileInt(f, "NewGame", "ScreenWidth", 640), 640);
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(GetProfileInt(file.c_str(), "Option", "Absent", 42), 42);
    EXPECT_EQ(GetProfileInt(file.c_str(), "Absent", "FullScreen", 42), 42);
    EXPECT_EQ(GetProfileInt((dir.Path() + "\\none.ini").c_str(), "Option", "FullScreen", 42), 42);
    EXPECT_EQ(GetProfileString((dir.Path() + "\\none.ini").c_str(), "Option", "Quoted", "dflt"), "dflt");
}

TEST_F(ProfileTest, ReadsTrimmedStrings) {
    EXPECT_EQ(GetProfileString(file.c_str(), "option", "QUOTED", ""), "some text");
    EXPECT_EQ(GetProfileString(file.c_str(), "Option", "ScreenWidth", ""), "800");
    EXPECT_EQ(GetProfileString(file.c_str(), "Option", "Empty", "x"), "");
    // A relative file name resolves against the base folder.
    EXPECT_EQ(GetProfileInt("GAME.ini", "Option", "ScreenWidth", 0), 800);
}

// The options are read from one reading of the file: every key answers from the text as
// it was read, as the lookups one by one do; a missing file answers with the defaults.
TEST_F(ProfileTest, OneReadingAnswersEveryKey) {
    const CProfileFile profile(file.c_str());
    ASSERT_TRUE(profile.IsRead());
    EXPECT_EQ(profile.GetInt("option", "SCREENWIDTH", 640), 800);
    EXPECT_EQ(profile.GetInt("Option", "Twice", 5), 1);
    EXPECT_EQ(profile.GetInt("NewGame", "FullScreen", 1), 9);
    EXPECT_EQ(profile.GetInt("Option", "Empty", 5), 5);
    EXPECT_EQ(profile.GetString("Option", "Quoted", ""), "some text");
    EXPECT_EQ(profile.GetString("Option", "Absent", "dflt"), "dflt");
    dir.Write("Game.INI", "[Option]\nScreenWidth=1024\n");
    EXPECT_EQ(profile.GetInt("Option", "ScreenWidth", 640), 800);
    EXPECT_EQ(CProfileFile(file.c_str()).GetInt("Option", "ScreenWidth", 640), 1024);
    const CProfileFile none((dir.Path() + "\\none.ini").c_str());
    EXPECT_FALSE(none.IsRead());
    EXPECT_EQ(none.GetInt("Option", "ScreenWidth", 640), 640);
    EXPECT_EQ(none.GetString("Option", "Quoted", "dflt"), "dflt");
}

}  // namespace
