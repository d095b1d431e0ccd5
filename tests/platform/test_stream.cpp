#include "platform/Stream.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(ByteReader, ReadsLittleEndianValues) {
    const std::uint8_t bytes[] = {0x01, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF,
                                  0x00, 0x00, 0x80, 0x3F, 'a', 'b', 0x02, 0, 0, 0, 'h', 'i'};
    CByteReader in(bytes, sizeof(bytes), "t.bin");
    std::uint8_t u8;
    std::uint16_t u16;
    std::uint32_t u32;
    std::int32_t i32;
    float f;
    ASSERT_TRUE(in.ReadU8(&u8));
    ASSERT_TRUE(in.ReadU16(&u16));
    ASSERT_TRUE(in.ReadU32(&u32));
    ASSERT_TRUE(in.ReadI32(&i32));
    ASSERT_TRUE(in.ReadFloat(&f));
    EXPECT_EQ(u8, 1);
    EXPECT_EQ(u16, 0x1234);
    EXPECT_EQ(u32, 0x12345678u);
    EXPECT_EQ(i32, -2);
    EXPECT_EQ(f, 1.0f);
    char two[2];
    ASSERT_TRUE(in.ReadBytes(two, 2));
    EXPECT_EQ(std::string(two, 2), "ab");
    std::string s;
    ASSERT_TRUE(in.ReadString(&s));
    EXPECT_EQ(s, "hi");
    EXPECT_TRUE(in.AtEnd());
    EXPECT_FALSE(in.Failed());
    ASSERT_TRUE(in.Seek(3));
    EXPECT_EQ(in.Remaining(), sizeof(bytes) - 3);
    ASSERT_TRUE(in.Skip(4));
    ASSERT_TRUE(in.ReadI32(&i32));
    EXPECT_EQ(i32, -2);
}

TEST(ByteReader, RunningShortFailsStickilyWithANamedMessage) {
    const std::uint8_t bytes[] = {1, 2, 3, 4, 5, 6};
    CByteReader in(bytes, sizeof(bytes), "Base.dat");
    in.SetContext("section Items");
    std::uint32_t v;
    ASSERT_TRUE(in.ReadU32(&v));
    EXPECT_FALSE(in.ReadU32(&v));
    EXPECT_EQ(v, 0u);
    EXPECT_TRUE(in.Failed());
    EXPECT_EQ(in.Error(), "Base.dat: section Items: ran short at offset 4: needs 4 bytes, 2 remain");
    // Nothing reads after a failure, not even what would fit.
    std::uint8_t b = 7;
    EXPECT_FALSE(in.ReadU8(&b));
    EXPECT_EQ(b, 0);
    EXPECT_EQ(in.Position(), 4u);
    EXPECT_NE(in.Error().find("offset 4"), std::string::npos);
    // A run of words is read whole or not at all.
    std::int32_t words[2] = {9, 9};
    CByteReader run(bytes, sizeof(bytes), "Base.dat");
    ASSERT_TRUE(run.ReadI32s(words, 1));
    EXPECT_EQ(words[0], 0x04030201);
    EXPECT_FALSE(run.ReadI32s(words, 2));
    EXPECT_EQ(words[0] | words[1], 0);
    EXPECT_EQ(run.Error(), "Base.dat: ran short at offset 4: needs 8 bytes, 2 remain");
}

TEST(ByteReader, RejectsLengthsAndCountsThatDoNotFit) {
    // A string length of 0xFFFFFFFF must fail, not wrap.
    const std::uint8_t huge[] = {0xFF, 0xFF, 0xFF, 0xFF, 'x'};
    CByteReader a(huge, sizeof(huge));
    std::string s = "old";
    EXPECT_FALSE(a.ReadString(&s));
    EXPECT_TRUE(s.empty());

    std::uint32_t n = 0xFFFFFFFFu;
    CByteReader b(huge, sizeof(huge));
    EXPECT_FALSE(b.ReadText(size_t(n) + 1, &s));

    const std::uint8_t eight[8] = {};
    CByteReader c(eight, sizeof(eight), "f");
    EXPECT_TRUE(c.CheckCount(2, 4, "record"));
    EXPECT_TRUE(c.CheckCount(0, 100, "record"));
    EXPECT_FALSE(c.CheckCount(3, 4, "record"));
    EXPECT_NE(c.Error().find("record count 3"), std::string::npos);

    CByteReader d(eight, sizeof(eight));
    EXPECT_FALSE(d.CheckCount(-1, 4, "line"));
    EXPECT_EQ(d.Error(), "line count -1 is negative");

    CByteReader e(eight, sizeof(eight));
    EXPECT_TRUE(e.Seek(8));
    EXPECT_FALSE(e.Seek(9));

    CByteReader empty(nullptr, 100);
    std::uint8_t u;
    EXPECT_EQ(empty.Size(), 0u);
    EXPECT_FALSE(empty.ReadU8(&u));
}

TEST(ByteWriter, WritesWhatTheReaderReads) {
    CByteWriter out;
    out.WriteU8(0xAB);
    out.WriteU16(0xBEEF);
    out.WriteI32(-123456);
    out.WriteFloat(2.5f);
    out.WriteString("text");
    size_t nPatch = out.Size();
    out.WriteU32(0);
    out.PatchU32(nPatch, 0xCAFEF00Du);
    EXPECT_EQ(out.Size(), 1u + 2 + 4 + 4 + 8 + 4);
    EXPECT_EQ(out.Bytes()[1], 0xEF);

    CByteReader in(out.Bytes());
    std::uint8_t u8;
    std::uint16_t u16;
    std::int32_t i32;
    float f;
    std::string s;
    std::uint32_t u32;
    ASSERT_TRUE(in.ReadU8(&u8) && in.ReadU16(&u16) && in.ReadI32(&i32) && in.ReadFloat(&f) && in.ReadString(&s) &&
                in.ReadU32(&u32));
    EXPECT_EQ(u8, 0xAB);
    EXPECT_EQ(u16, 0xBEEF);
    EXPECT_EQ(i32, -123456);
    EXPECT_EQ(f, 2.5f);
    EXPECT_EQ(s, "text");
    EXPECT_EQ(u32, 0xCAFEF00Du);
    EXPECT_TRUE(in.AtEnd());
}

TEST(FileIo, AtomicWritesReplaceOnlyWhenComplete) {
    CBaseFolderGuard guard;
    CTempFolder dir;
    ASSERT_TRUE(SetCurrentDirectory(dir.Path().c_str()));
    dir.Write("Data/Base.dat", "old contents");

    std::vector<std::uint8_t> bytes = {1, 2, 3, 4, 5};
    std::string why;
    ASSERT_TRUE(WriteFileAtomic("DATA\\base.dat", bytes, &why)) << why;
    EXPECT_EQ(dir.Read("Data/Base.dat"), bytes);
    EXPECT_EQ(dir.Entries("Data"), std::vector<std::string>{"Base.dat"});

    // A target that cannot be replaced (a folder) keeps what was there and leaves no temp file.
    std::filesystem::create_directories(dir.File("Data/Taken"));
    EXPECT_FALSE(WriteFileAtomic("data\\taken", bytes, &why));
    EXPECT_NE(why.find("data\\taken"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("Data/Taken")));
    EXPECT_EQ(dir.Entries("Data"), (std::vector<std::string>{"Base.dat", "Taken"}));

    EXPECT_FALSE(WriteFileAtomic("missing\\folder\\x.dat", bytes, &why));

    std::vector<std::uint8_t> read;
    ASSERT_TRUE(ReadWholeFile("data\\BASE.DAT", 100, &read, &why));
    EXPECT_EQ(read, bytes);
    EXPECT_FALSE(ReadWholeFile("data\\base.dat", 4, &read, &why));
    EXPECT_NE(why.find("larger than 4 bytes"), std::string::npos);
    EXPECT_TRUE(read.empty());
    EXPECT_FALSE(ReadWholeFile("data\\none.dat", 100, &read, &why));
    EXPECT_EQ(why, "data\\none.dat: does not exist");
}

}  // namespace
