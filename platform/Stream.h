// The one checked binary reader and writer that every file format of the game uses.
// Reads are little-endian and bounded by the buffer: a read that runs past the end,
// a count that cannot fit in what remains or a length that does not fit, fails
// without reading, and the failure is sticky, so a parser may check once at the end.
// The failure message names the file, what was being read and where it ran short.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// The little-endian 32-bit word at p (the caller has checked that four bytes are there).
inline std::int32_t LittleI32(const std::uint8_t* p) {
    if constexpr (std::endian::native == std::endian::little) {
        std::int32_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    } else {
        return static_cast<std::int32_t>(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) |
                                         (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24));
    }
}

class CByteReader {
public:
    CByteReader(const void* pData, size_t nSize, std::string_view fileName = {});
    explicit CByteReader(const std::vector<std::uint8_t>& bytes, std::string_view fileName = {});

    // Names the part being read ("section Items") in later failure messages.
    void SetContext(std::string_view context) {
        m_strContext = context;
        m_nRecord = -1;
    }
    // Names the record being read inside that part ("record 3"); -1 for none. Cheap
    // enough to call once per record.
    void SetRecord(std::int64_t nRecord) { m_nRecord = nRecord; }

    // Each read stores the value and returns true, or fails (storing 0) and returns false.
    bool ReadU8(std::uint8_t* pValue);
    bool ReadU16(std::uint16_t* pValue);
    bool ReadU32(std::uint32_t* pValue);
    bool ReadI32(std::int32_t* pValue);
    bool ReadFloat(float* pValue);
    // Reads n little-endian 32-bit words with one bounds check (tables of thousands).
    bool ReadI32s(std::int32_t* pValues, size_t n);
    // Reads exactly n bytes into pOut.
    bool ReadBytes(void* pOut, size_t n);
    // Reads exactly n bytes as a byte string.
    bool ReadText(size_t n, std::string* pOut);
    // Reads a u32 length and then that many bytes.
    bool ReadString(std::string* pOut);
    bool Skip(size_t n);
    // Moves to an absolute position inside the buffer (the end itself is allowed).
    bool Seek(size_t nPos);

    // Fails unless n records of nBytesEach bytes can still be read; negative counts fail.
    bool CheckCount(std::int64_t n, size_t nBytesEach, std::string_view what);
    // Marks the reader failed with a message of its own ("count -3 is negative").
    bool Fail(std::string_view what);

    size_t Position() const { return m_nPos; }
    size_t Size() const { return m_nSize; }
    size_t Remaining() const { return m_nSize - m_nPos; }
    bool AtEnd() const { return m_nPos == m_nSize; }
    bool Failed() const { return m_bFailed; }
    const std::string& Error() const { return m_strError; }

private:
    bool Take(size_t n, const std::uint8_t** ppData);

    const std::uint8_t* m_pData;
    size_t m_nSize;
    size_t m_nPos = 0;
    bool m_bFailed = false;
    std::string m_strFile;
    std::string m_strContext;
    std::int64_t m_nRecord = -1;
    std::string m_strError;
};

class CByteWriter {
public:
    void WriteU8(std::uint8_t v) { m_bytes.push_back(v); }
    void WriteU16(std::uint16_t v);
    void WriteU32(std::uint32_t v);
    void WriteI32(std::int32_t v) { WriteU32(static_cast<std::uint32_t>(v)); }
    void WriteFloat(float v);
    void WriteBytes(const void* p, size_t n);
    void WriteText(std::string_view s) { WriteBytes(s.data(), s.size()); }
    // Writes a u32 length and then the bytes.
    void WriteString(std::string_view s);
    // Overwrites four bytes already written at nPos (for offsets known only later).
    void PatchU32(size_t nPos, std::uint32_t v);

    size_t Size() const { return m_bytes.size(); }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
    std::vector<std::uint8_t> TakeBytes() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

// For readers that keep a package open and read it piece by piece: the length of an
// open file (its position returns to the start); false when it cannot be measured.
bool MeasureStream(FILE* pStream, long* pLength);
// Reads exactly n bytes at the stream's position into *pOut; false when it ran short.
bool ReadStreamChunk(FILE* pStream, size_t n, std::vector<std::uint8_t>* pOut);

// Reads a whole file through the path resolver; fails (with a message naming the
// file) when it cannot be opened or read, or is larger than nLimit bytes.
bool ReadWholeFile(const char* pName, size_t nLimit, std::vector<std::uint8_t>* pBytes,
                   std::string* pError = nullptr);

// Writes the bytes to a temporary file in the target's folder and renames it over the
// target only when every byte was written and flushed. On failure the old file stays,
// the temporary file is removed and the message names the file.
bool WriteFileAtomic(const char* pName, const void* pData, size_t nSize, std::string* pError = nullptr);
inline bool WriteFileAtomic(const char* pName, const std::vector<std::uint8_t>& bytes,
                            std::string* pError = nullptr) {
    return WriteFileAtomic(pName, bytes.data(), bytes.size(), pError);
}
