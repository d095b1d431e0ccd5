#include "gamedata/CaptionFile.h"
#include "platform/Charset.h"
#include "tools/gamekit/GameDataWriters.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<std::uint8_t> Le(std::initializer_list<std::int32_t> words) {
    std::vector<std::uint8_t> v;
    for (std::int32_t n : words) {
        for (int i = 0; i < 4; ++i) v.push_back(std::uint8_t(std::uint32_t(n) >> (8 * i)));
    }
    return v;
}

void Append(std::vector<std::uint8_t>& v, const std::vector<std::uint8_t>& more) { v.insert(v.end(), more.begin(), more.end()); }

TEST(Captions, StoredBytesAreShiftedByTen) {
    std::vector<std::uint8_t> bytes = Le({2, 3});
    Append(bytes, {0x6B, 0x6C, 0x6D});
    Append(bytes, Le({0}));
    CCaptionTable table;
    std::string why;
    ASSERT_TRUE(ReadCaptions(bytes.data(), bytes.size(), &table, &why)) << why;
    ASSERT_EQ(table.lines.size(), 2u);
    EXPECT_EQ(table.lines[0], "abc");
    EXPECT_EQ(table.lines[1], "");
    EXPECT_EQ(BuildCaptionFile({"abc", ""}), bytes);
}

TEST(Captions, ALineEndsAtItsFirstZeroButConsumesItsLength) {
    // "ab", a stored 10 (a zero), then "cd" inside the first line's length.
    std::vector<std::uint8_t> bytes = Le({2, 5});
    Append(bytes, {0x6B, 0x6C, 10, 0x6D, 0x6E});
    Append(bytes, Le({1}));
    Append(bytes, {0x6F});
    CCaptionTable table;
    std::string why;
    ASSERT_TRUE(ReadCaptions(bytes.data(), bytes.size(), &table, &why)) << why;
    ASSERT_EQ(table.lines.size(), 2u);
    EXPECT_EQ(table.lines[0], "ab");
    EXPECT_EQ(table.lines[1], "e");
}

TEST(Captions, GbkLinesRoundTrip) {
    std::vector<std::string> lines = {Utf8ToText("第一章  青石镇"), "plain", Utf8ToText("全剧终……")};
    std::vector<std::uint8_t> bytes = BuildCaptionFile(lines);
    CCaptionTable table;
    std::string why;
    ASSERT_TRUE(ReadCaptions(bytes.data(), bytes.size(), &table, &why)) << why;
    EXPECT_EQ(table.lines, lines);
}

TEST(Captions, BadCountsLengthsAndShortFilesFail) {
    std::vector<std::vector<std::uint8_t>> bad = {Le({-1}), Le({0x40000000}), Le({1, -1}), Le({1, 0x7FFFFFFF, 0})};
    const std::vector<std::uint8_t> good = BuildCaptionFile({"one", "two", "three"});
    for (size_t n = 0; n < good.size(); ++n) bad.emplace_back(good.begin(), good.begin() + std::ptrdiff_t(n));
    for (const auto& bytes : bad) {
        CCaptionTable table;
        table.lines = {"stale"};
        std::string why;
        EXPECT_FALSE(ReadCaptions(bytes.data(), bytes.size(), &table, &why));
        EXPECT_EQ(why.rfind("vesk.dat: ", 0), 0u) << why;
        EXPECT_TRUE(table.lines.empty());
    }
}

AreaPatternModel Pattern(int nCells, int nMode) {
    AreaPatternModel p;
    p.strName = "pattern";
    p.nOriginX = 2;
    p.nOriginY = -3;
    for (int c = 0; c < nCells; ++c) {
        AreaCellModel cell;
        cell.nX = c;
        cell.nY = -c;
        cell.nStep = {10 * c, c == 0 ? 7 : 0, 1, 2, 3};
        p.cells.push_back(cell);
    }
    p.nTail = {0, 1, 2, 3, 4, 5, 6, nCells == 0 ? -1 : 4, nMode};
    return p;
}

TEST(AreaPatterns, ReadsCellsStepsAndTails) {
    std::vector<std::uint8_t> bytes = BuildAreaPatternFile({Pattern(3, 1), Pattern(0, 2), Pattern(1, 0)});
    // 4 + (80 + 3 * 28) + 80 + (80 + 28)
    EXPECT_EQ(bytes.size(), 4u + 164 + 80 + 108);
    CAreaPatternSet set;
    std::string why;
    ASSERT_TRUE(ReadAreaPatterns(bytes.data(), bytes.size(), &set, &why)) << why;
    ASSERT_EQ(set.rows.size(), 3u);
    ASSERT_EQ(set.tails.size(), 3u);
    const AreaPatternRow& first = set.rows[0];
    EXPECT_EQ(first.nCellCount, 3);
    EXPECT_EQ(first.ptOrigin.x, 2);
    EXPECT_EQ(first.ptOrigin.y, -3);
    EXPECT_EQ(first.pCells[2].x, 2);
    EXPECT_EQ(first.pCells[2].y, -2);
    EXPECT_EQ(first.pSteps[0].n[1], 7);
    EXPECT_EQ(first.pSteps[2].n[0], 20);
    EXPECT_EQ(first.pSteps[2].n[4], 3);
    EXPECT_EQ(set.tails[0].n[7], 4);
    EXPECT_EQ(set.tails[0].n[8], 1);
    // A pattern without cells still has its name, origin and tail.
    EXPECT_EQ(set.rows[1].nCellCount, 0);
    EXPECT_EQ(set.rows[1].pCells, nullptr);
    EXPECT_EQ(set.tails[1].n[7], -1);
    EXPECT_EQ(set.tails[1].n[8], 2);
    EXPECT_EQ(set.rows[2].pCells[0].x, 0);
    EXPECT_EQ(set.tails[2].n[8], 0);
}

TEST(AreaPatterns, BadFilesFailAndLeaveNoPatterns) {
    const std::vector<std::uint8_t> good = BuildAreaPatternFile({Pattern(3, 1), Pattern(0, 2)});
    std::vector<std::vector<std::uint8_t>> bad;
    for (size_t n = 0; n < good.size(); ++n) bad.emplace_back(good.begin(), good.begin() + std::ptrdiff_t(n));
    auto patched = [&](size_t pos, std::int32_t value) {
        std::vector<std::uint8_t> v = good;
        std::vector<std::uint8_t> w = Le({value});
        std::copy(w.begin(), w.end(), v.begin() + std::ptrdiff_t(pos));
        return v;
    };
    bad.push_back(patched(0, -1));          // pattern count
    bad.push_back(patched(0, 0x7FFFFFFF));
    bad.push_back(patched(36, -2));         // cell count of pattern 0
    bad.push_back(patched(36, 0x10000000));
    bad.push_back(patched(36, 4));          // one cell more than stored
    for (const auto& bytes : bad) {
        CAreaPatternSet set;
        std::string why;
        EXPECT_FALSE(ReadAreaPatterns(bytes.data(), bytes.size(), &set, &why)) << bytes.size();
        EXPECT_EQ(why.rfind("Vesk.Ayl: ", 0), 0u) << why;
        EXPECT_TRUE(set.rows.empty());
        EXPECT_TRUE(set.cells.empty());
    }
}

TEST(AreaPatterns, RandomDamageNeverCrashes) {
    const std::vector<std::uint8_t> good = BuildAreaPatternFile({Pattern(3, 1), Pattern(0, 2), Pattern(5, 3)});
    std::mt19937 rng(77);
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::uint8_t> bytes = good;
        bytes[rng() % bytes.size()] = std::uint8_t(rng());
        if (rng() % 2 == 0) bytes.resize(rng() % bytes.size());
        CAreaPatternSet set;
        std::string why;
        if (ReadAreaPatterns(bytes.data(), bytes.size(), &set, &why)) {
            // Every pattern's cells lie inside the shared cell table.
            size_t nTotal = 0;
            for (const AreaPatternRow& row : set.rows) {
                if (row.nCellCount > 0) {
                    EXPECT_GE(row.pCells, set.cells.data());
                    EXPECT_LE(row.pCells + row.nCellCount, set.cells.data() + set.cells.size());
                }
                nTotal += size_t(row.nCellCount);
            }
            EXPECT_EQ(nTotal, set.cells.size());
        } else {
            EXPECT_FALSE(why.empty());
        }
    }
}

}  // namespace
