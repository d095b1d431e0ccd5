#include "platform/Charset.h"
#include "platform/MdbSource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

namespace {

const std::string kMdbDir = std::string(GAME_TESTDATA_DIR) + "/mdb";

// Rows of a table as mdb-export prints them: unquoted, '|' between fields, no header.
std::vector<std::vector<std::string>> ExportRows(const std::string& file, const std::string& table,
                                                  const char* pEnv = "") {
    std::string command = std::string(pEnv) + " mdb-export -H -d '|' -q '' '" + file + "' '" + table + "'";
    std::vector<std::vector<std::string>> rows;
    FILE* fp = popen(command.c_str(), "r");
    if (fp == nullptr) return rows;
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), fp)) > 0) text.append(buf, n);
    pclose(fp);
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        size_t start = 0;
        for (size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1) {
            fields.push_back(line.substr(start, bar - start));
        }
        fields.push_back(line.substr(start));
        rows.push_back(fields);
    }
    return rows;
}

TEST(MdbSource, ReadsTheOlderFormatLikeMdbExport) {
    std::string file = kMdbDir + "/nwind.mdb";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << file << " is absent";
    CMdbDatabase db;
    std::string why;
    ASSERT_TRUE(db.Open(file.c_str(), &why)) << why;
    EXPECT_TRUE(db.IsOldFormat());
    std::vector<std::string> tables = db.TableNames();
    EXPECT_NE(std::find(tables.begin(), tables.end(), "Products"), tables.end());

    // The older format is read as code page 936, as mdb-export reads it when told so.
    auto expected = ExportRows(file, "Products", "MDB_JET3_CHARSET=CP936");
    ASSERT_EQ(expected.size(), 77u);
    std::unique_ptr<CMdbTable> pTable = db.OpenTable("products", &why);
    ASSERT_NE(pTable, nullptr) << why;
    EXPECT_EQ(pTable->ColumnNames().front(), "ProductID");
    size_t nRow = 0;
    while (pTable->Next()) {
        ASSERT_LT(nRow, expected.size());
        const std::vector<std::string>& e = expected[nRow];
        ASSERT_EQ(e.size(), 10u);
        std::int32_t id, supplier, stock, discontinued;
        std::string name;
        ASSERT_TRUE(pTable->ReadInt("ProductID", &id, &why)) << why;
        ASSERT_TRUE(pTable->ReadText("ProductName", &name, &why)) << why;
        ASSERT_TRUE(pTable->ReadInt("SupplierID", &supplier, &why)) << why;
        ASSERT_TRUE(pTable->ReadInt("UnitsInStock", &stock, &why)) << why;  // a 16-bit column
        ASSERT_TRUE(pTable->ReadBool("Discontinued", &discontinued, &why)) << why;
        EXPECT_EQ(std::to_string(id), e[0]);
        EXPECT_EQ(name, Utf8ToText(e[1]));
        EXPECT_EQ(std::to_string(supplier), e[2]);
        EXPECT_EQ(std::to_string(stock), e[6]);
        EXPECT_EQ(std::to_string(discontinued), e[9]);
        if (id == 22) {
            // Stored bytes come back unchanged as GBK text.
            EXPECT_EQ(name, "Gustaf's Kn\xE4" "ckebr\xF6" "d");
        }
        ++nRow;
    }
    EXPECT_EQ(nRow, expected.size());
    EXPECT_FALSE(pTable->Next());
}

TEST(MdbSource, ReadsTheNewerFormatLikeMdbExport) {
    std::string file = kMdbDir + "/ASampleDatabase.accdb";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << file << " is absent";
    CMdbDatabase db;
    std::string why;
    ASSERT_TRUE(db.Open(file.c_str(), &why)) << why;
    EXPECT_FALSE(db.IsOldFormat());

    auto expected = ExportRows(file, "Asset Items");
    ASSERT_FALSE(expected.empty());
    std::unique_ptr<CMdbTable> pTable = db.OpenTable("Asset Items", &why);
    ASSERT_NE(pTable, nullptr) << why;
    size_t nRow = 0;
    while (pTable->Next()) {
        ASSERT_LT(nRow, expected.size());
        const std::vector<std::string>& e = expected[nRow];
        std::string asset, make, description;
        std::int32_t warranty;
        ASSERT_TRUE(pTable->ReadText("Asset No", &asset, &why)) << why;
        ASSERT_TRUE(pTable->ReadText("MAKE", &make, &why)) << why;
        ASSERT_TRUE(pTable->ReadText("Description", &description, &why)) << why;
        ASSERT_TRUE(pTable->ReadInt("Warranty", &warranty, &why)) << why;
        EXPECT_EQ(asset, Utf8ToText(e[0]));
        EXPECT_EQ(make, Utf8ToText(e[2]));
        EXPECT_EQ(description, Utf8ToText(e[4]));
        EXPECT_EQ(e[9].empty() ? std::string("0") : e[9], std::to_string(warranty));
        ++nRow;
    }
    EXPECT_EQ(nRow, expected.size());
}

TEST(MdbSource, MissingTablesColumnsAndWrongKindsFailCleanly) {
    std::string file = kMdbDir + "/nwind.mdb";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << file << " is absent";
    CMdbDatabase db;
    std::string why;
    ASSERT_TRUE(db.Open(file.c_str(), &why)) << why;
    EXPECT_EQ(db.OpenTable("ITEM", &why), nullptr);
    EXPECT_EQ(why, "no table ITEM");

    std::unique_ptr<CMdbTable> pTable = db.OpenTable("Products", &why);
    ASSERT_NE(pTable, nullptr);
    std::int32_t n = 5;
    std::string text;
    // Reading before the first row is refused.
    EXPECT_FALSE(pTable->ReadInt("ProductID", &n, &why));
    ASSERT_TRUE(pTable->Next());
    EXPECT_FALSE(pTable->ReadInt("Fit1", &n, &why));
    EXPECT_NE(why.find("no column Fit1"), std::string::npos);
    EXPECT_EQ(n, 0);
    EXPECT_FALSE(pTable->HasColumn("Fit1"));
    EXPECT_TRUE(pTable->HasColumn("productname"));
    EXPECT_FALSE(pTable->ReadInt("ProductName", &n, &why));
    EXPECT_FALSE(pTable->ReadBool("QuantityPerUnit", &n, &why));
    ASSERT_TRUE(pTable->ReadText("ProductID", &text, &why));
    EXPECT_EQ(text, "1");
    // A money column reads as its whole part.
    ASSERT_TRUE(pTable->ReadInt("UnitPrice", &n, &why));
    EXPECT_EQ(n, 18);

    CMdbDatabase none;
    EXPECT_FALSE(none.Open((kMdbDir + "/absent.mdb").c_str(), &why));
    EXPECT_NE(why.find("absent.mdb"), std::string::npos);
    EXPECT_EQ(none.OpenTable("Products", &why), nullptr);
}

}  // namespace
