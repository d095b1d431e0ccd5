#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/Charset.h"
#include "platform/ResourceTable.h"
#include "platform/Resources.h"

namespace {

std::string ReadSourceFile(const char* pszRelative) {
    std::ifstream in(std::string(GAME_SOURCE_DIR) + "/" + pszRelative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Resources, LoadStringGivesGbkWithinTheBuffer) {
    const std::string title = Utf8ToText("青石奇缘");
    char buffer[32];
    EXPECT_EQ(LoadString(2, buffer, sizeof(buffer)), int(title.size()));
    EXPECT_EQ(std::string(buffer), title);

    // A short buffer takes whole characters only and is always terminated.
    char small[8];
    std::memset(small, 'x', sizeof(small));
    EXPECT_EQ(LoadString(2, small, 5), 4);
    EXPECT_EQ(std::string(small), title.substr(0, 4));
    EXPECT_EQ(small[5], 'x') << "nothing written past the given size";
    std::memset(small, 'x', sizeof(small));
    EXPECT_EQ(LoadString(2, small, 4), 2) << "the second character does not fit in three bytes";
    EXPECT_EQ(small[2], '\0');
    EXPECT_EQ(LoadString(2, small, 1), 0);
    EXPECT_EQ(small[0], '\0');

    std::memset(small, 'x', sizeof(small));
    EXPECT_EQ(LoadString(2, small, 0), 0);
    EXPECT_EQ(small[0], 'x');
    EXPECT_EQ(LoadString(2, nullptr, 10), 0);
    EXPECT_EQ(LoadString(99999, buffer, sizeof(buffer)), 0);
    EXPECT_EQ(buffer[0], '\0');
}

TEST(Resources, StringTableEntriesTheGameNames) {
    char buffer[128];
    ASSERT_GT(LoadString(36, buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "GAME SCENE MAP FILE V0.1");
    ASSERT_GT(LoadString(14, buffer, sizeof(buffer)), 0);
    EXPECT_NE(std::strstr(buffer, "\r\n"), nullptr) << "escapes become control characters";
    ASSERT_GT(LoadString(74, buffer, sizeof(buffer)), 0);
    EXPECT_EQ(buffer[0], ' ') << "leading spaces of a text are kept";
    // The battle's item tooltip: name and description on lines of their own.
    ASSERT_GT(LoadString(24, buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "%s\n%s\n");
}

TEST(Resources, ParseStringTableReportsBadLines) {
    std::string errors;
    auto table = ParseStringTable(
        "# comment\n"
        "\n"
        "1\tone\\ttab\\\\slash\\nline\r\n"
        "2\t\xE4\xB8\xAD\n"
        "x3\tbad id\n"
        "4 no tab\n"
        "1\tduplicate\n"
        "99999999999\ttoo big\n"
        "5\t\\q\n"
        "6\t",
        &errors);
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table[1], "one\ttab\\slash\nline");
    EXPECT_EQ(table[2], Utf8ToText("中"));
    EXPECT_EQ(table[5], "\\q");
    EXPECT_EQ(table[6], "");
    EXPECT_NE(errors.find("line 5"), std::string::npos);
    EXPECT_NE(errors.find("line 6"), std::string::npos);
    EXPECT_NE(errors.find("line 7"), std::string::npos);
    EXPECT_NE(errors.find("line 8"), std::string::npos);
    EXPECT_NE(errors.find("line 9"), std::string::npos);
    EXPECT_EQ(errors.find("line 3"), std::string::npos);
}

TEST(Resources, FindResourceDataIgnoresCaseAndExtension) {
    const std::string onDisk = ReadSourceFile("res/strings.txt");
    ASSERT_FALSE(onDisk.empty());
    for (const char* pszName : {"strings", "STRINGS", "Strings.TXT"}) {
        size_t nSize = 0;
        const BYTE* pData = FindResourceData(pszName, &nSize);
        ASSERT_NE(pData, nullptr) << pszName;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(pData), nSize), onDisk) << pszName;
    }
    size_t nSize = 7;
    EXPECT_EQ(FindResourceData("no_such_resource", &nSize), nullptr);
    EXPECT_EQ(nSize, 0u);
    EXPECT_EQ(FindResourceData(nullptr, &nSize), nullptr);
    EXPECT_EQ(FindResourceData("strings.tx", nullptr), nullptr);
    EXPECT_NE(FindResourceData("strings", nullptr), nullptr);
}

}  // namespace
