#include <gtest/gtest.h>

#include <cstring>

#include "gamedata/ScriptData.h"
#include "platform/Stream.h"
#include "tools/gamekit/ScriptWriter.h"

namespace {

ScriptCommand Command(std::int32_t n, std::int32_t a1 = 0, std::int32_t a6 = 0) {
    ScriptCommand c{};
    c.nCommand = n;
    c.a1 = a1;
    c.a6 = a6;
    c.a7 = 77;  // not stored: must come back as -1
    c.a8 = 88;
    return c;
}

std::vector<ScriptSceneModel> SampleScenes(bool bLastHasEvents) {
    std::vector<ScriptSceneModel> scenes(3);
    EventRecord e = OpenEventRecord();
    e.nPreScene[0] = 2;
    e.nPreEvent[0] = 5;
    e.nNeedItem[7] = 42;
    e.nRunLimit = 3;
    e.nOnce = 1;
    scenes[0].events = {OpenEventRecord(), e};
    scenes[0].bHasBlock = true;
    scenes[0].subEvents = {{0, 0, 1}, {1, 2, 2}};
    scenes[0].commands = {Command(5, 1, 6), Command(9, -1), Command(114, 7, 8)};
    scenes[0].texts = {"first line", "second\nnot read", std::string("\xC7\xE0\xCA\xAF", 4)};
    scenes[1].bHasBlock = false;
    if (bLastHasEvents) scenes[2].events = {e};
    scenes[2].bHasBlock = true;
    scenes[2].texts = {""};
    return scenes;
}

TEST(ScriptData, RoundTripWithTheLastTableEitherPresentOrAbsent) {
    for (bool bLast : {true, false}) {
        SCOPED_TRACE(bLast ? "last scene has events" : "last scene has none");
        const auto bytes = BuildScriptFile(SampleScenes(bLast));
        CByteReader reader(bytes, "script.dat");
        CScriptData data;
        ASSERT_TRUE(data.LoadEventTables(reader)) << data.GetError();
        ASSERT_TRUE(data.LoadScripts(reader)) << data.GetError();
        EXPECT_EQ(data.GetSceneTableCount(), 3);
        EXPECT_EQ(data.GetSceneScriptCount(), 3);
        EXPECT_EQ(data.GetEventCount(0), 2);
        EXPECT_EQ(data.GetEventCount(1), 0);
        EXPECT_EQ(data.GetEventCount(2), bLast ? 1 : 0);
        const EventRecord* pE = data.GetEvent(0, 1);
        ASSERT_NE(pE, nullptr);
        EXPECT_EQ(pE->nPreScene[0], 2);
        EXPECT_EQ(pE->nPreEvent[0], 5);
        EXPECT_EQ(pE->nNeedItem[7], 42);
        EXPECT_EQ(pE->nRunLimit, 3);
        EXPECT_EQ(pE->nOnce, 1);
        EXPECT_EQ(data.GetSubEventCount(0), 2);
        EXPECT_EQ(data.GetSubEvent(0, 1)->nFirstStep, 2);
        ASSERT_EQ(data.GetCommandCount(0), 3);
        const ScriptCommand* pC = data.GetCommand(0, 2);
        EXPECT_EQ(pC->nCommand, 114);
        EXPECT_EQ(pC->a1, 7);
        EXPECT_EQ(pC->a6, 8);
        EXPECT_EQ(pC->a7, -1);
        EXPECT_EQ(pC->a8, -1);
        EXPECT_STREQ(data.GetText(0, 0), "first line");
        EXPECT_STREQ(data.GetText(0, 1), "second\n");  // a line ends after its line feed
        EXPECT_STREQ(data.GetText(0, 2), "\xC7\xE0\xCA\xAF");
        EXPECT_EQ(data.GetCommandCount(1), 0);  // no block
        EXPECT_EQ(data.GetTextCount(2), 1);
        EXPECT_STREQ(data.GetText(2, 0), "");
    }
}

TEST(ScriptData, LookupsOutsideTheFileGiveNothing) {
    const auto bytes = BuildScriptFile(SampleScenes(true));
    CByteReader reader(bytes);
    CScriptData data;
    ASSERT_TRUE(data.LoadEventTables(reader) && data.LoadScripts(reader));
    EXPECT_EQ(data.GetEvent(0, 2), nullptr);
    EXPECT_EQ(data.GetEvent(-1, 0), nullptr);
    EXPECT_EQ(data.GetEvent(3, 0), nullptr);
    EXPECT_EQ(data.GetCommand(0, 3), nullptr);
    EXPECT_EQ(data.GetCommand(1, 0), nullptr);
    EXPECT_EQ(data.GetText(0, 3), nullptr);
    EXPECT_EQ(data.GetSubEvent(2, 0), nullptr);
    EXPECT_EQ(data.GetEventCount(99), 0);
}

TEST(ScriptData, TextIsCutAtItsStoredLength) {
    // Hand-built: no event tables, one script block whose text entry says 3 bytes of "abcdef".
    CByteWriter w;
    w.WriteI32(0);   // M = 0: no tables; part 2 starts at 4
    w.WriteI32(0);   // N - 1 = 0
    w.WriteI32(8);   // block at B + 8
    w.WriteI32(0);   // A
    w.WriteI32(0);   // K
    w.WriteI32(1);   // T
    w.WriteI32(0);   // unread word
    w.WriteI32(28);  // text at block + 28
    w.WriteI32(3);
    w.WriteI32(0);
    w.WriteText("abcdef");
    CByteReader reader(w.Bytes());
    CScriptData data;
    ASSERT_TRUE(data.LoadEventTables(reader));
    ASSERT_TRUE(data.LoadScripts(reader)) << data.GetError();
    EXPECT_STREQ(data.GetText(0, 0), "abc");
}

TEST(ScriptData, StoredMinusOneIsTheWrongScriptMark) {
    CByteWriter w;
    w.WriteI32(0);
    w.WriteI32(-1);
    CByteReader reader(w.Bytes(), "script.dat");
    CScriptData data;
    ASSERT_TRUE(data.LoadEventTables(reader));
    EXPECT_FALSE(data.LoadScripts(reader));
    EXPECT_TRUE(data.HasErrorMark());
    EXPECT_NE(data.GetError().find("Wrong Script data"), std::string::npos);
}

TEST(ScriptData, EveryTruncationAndCorruptedCountFailsCleanly) {
    const auto good = BuildScriptFile(SampleScenes(true));
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        CByteReader reader(cut, "script.dat");
        CScriptData data;
        bool bOk = data.LoadEventTables(reader) && data.LoadScripts(reader);
        // A cut inside the last text still reads (the text is cut short); anything
        // earlier fails with a message naming the file.
        if (!bOk) {
            EXPECT_NE(data.GetError().find("script.dat"), std::string::npos) << n;
            EXPECT_FALSE(data.HasErrorMark()) << n;  // only the stored mark raises the box
        }
    }
    // Corrupt each word in turn with huge and negative values.
    for (size_t pos = 0; pos + 4 <= good.size(); pos += 4) {
        for (std::uint32_t v : {0x7FFFFFFFu, 0xFFFFFFFFu, 0x80000000u, 0x00100000u}) {
            auto bad = good;
            std::memcpy(bad.data() + pos, &v, 4);
            CByteReader reader(bad);
            CScriptData data;
            (void)(data.LoadEventTables(reader) && data.LoadScripts(reader));
        }
    }
}

}  // namespace

// A count that cuts the file's parts short is named with its value and offset: the
// table count (part 2 then starts at offset 4), the last table's event count, the
// script count set to 0 (every scene but the first would lose its events) or -2.
TEST(ScriptData, ACountThatCutsAPartShortIsNamedWithItsValueAndOffset) {
    const auto good = BuildScriptFile(SampleScenes(true));
    CByteReader probe(good);
    CScriptData parsed;
    ASSERT_TRUE(parsed.LoadEventTables(probe));
    const size_t nBase = probe.Position();
    const std::int32_t nLastTable = LittleI32(&good[4 + 4 * 2]);
    struct Case {
        size_t nAt;
        std::int32_t nValue;
        std::string strSays;
    };
    const std::string strBase = std::to_string(nBase);
    const Case cases[] = {
        {0, 0, "because the table count 0 at offset 0 lists no event tables"},
        {0, -1, "because the table count -1 at offset 0 lists no event tables"},
        {size_t(nLastTable), 0,
         "because the last table's event count 0 at offset " + std::to_string(nLastTable) + " lists no events"},
        {size_t(nLastTable), -1, "event count -1 at offset " + std::to_string(nLastTable) + " is negative"},
        {nBase, 0, "script count 0 at offset " + strBase + " gives 1 scene scripts, but scene 2 has events"},
        {nBase, -2, "script count -2 at offset " + strBase + " is outside"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.nAt) + " " + std::to_string(c.nValue));
        auto bad = good;
        std::memcpy(bad.data() + c.nAt, &c.nValue, 4);
        CByteReader reader(bad, "script.dat");
        CScriptData data;
        EXPECT_FALSE(data.LoadEventTables(reader) && data.LoadScripts(reader));
        EXPECT_NE(data.GetError().find(c.strSays), std::string::npos) << data.GetError();
        EXPECT_EQ(data.GetError().rfind("script.dat: ", 0), 0u) << data.GetError();
    }
}
