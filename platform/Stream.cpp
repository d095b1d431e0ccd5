#include "platform/Stream.h"

#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

CByteReader::CByteReader(const void* pData, size_t nSize, std::string_view fileName)
    : m_pData(static_cast<const std::uint8_t*>(pData)), m_nSize(pData != nullptr ? nSize : 0),
      m_strFile(fileName) {}

CByteReader::CByteReader(const std::vector<std::uint8_t>& bytes, std::string_view fileName)
    : CByteReader(bytes.data(), bytes.size(), fileName) {}

bool CByteReader::Fail(std::string_view what) {
    if (m_bFailed) return false;
    m_bFailed = true;
    m_strError.clear();
    if (!m_strFile.empty()) m_strError += m_strFile + ": ";
    if (!m_strContext.empty()) {
        m_strError += m_strContext;
        if (m_nRecord >= 0) m_strError += ", record " + std::to_string(m_nRecord);
        m_strError += ": ";
    }
    m_strError.append(what);
    return false;
}

bool CByteReader::Take(size_t n, const std::uint8_t** ppData) {
    if (m_bFailed) return false;
    if (n > Remaining()) {
        return Fail("ran short at offset " + std::to_string(m_nPos) + ": needs " + std::to_string(n) +
                    " bytes, " + std::to_string(Remaining()) + " remain");
    }
    *ppData = m_pData + m_nPos;
    m_nPos += n;
    return true;
}

bool CByteReader::ReadU8(std::uint8_t* pValue) {
    const std::uint8_t* p;
    *pValue = 0;
    if (!Take(1, &p)) return false;
    *pValue = p[0];
    return true;
}

bool CByteReader::ReadU16(std::uint16_t* pValue) {
    const std::uint8_t* p;
    *pValue = 0;
    if (!Take(2, &p)) return false;
    *pValue = std::uint16_t(p[0] | (p[1] << 8));
    return true;
}

bool CByteReader::ReadU32(std::uint32_t* pValue) {
    const std::uint8_t* p;
    *pValue = 0;
    if (!Take(4, &p)) return false;
    *pValue = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
              (std::uint32_t(p[3]) << 24);
    return true;
}

bool CByteReader::ReadI32(std::int32_t* pValue) {
    std::uint32_t v;
    bool bOk = ReadU32(&v);
    *pValue = static_cast<std::int32_t>(v);
    return bOk;
}

bool CByteReader::ReadI32s(std::int32_t* pValues, size_t n) {
    const std::uint8_t* p;
    if (n > SIZE_MAX / 4 || !Take(4 * n, &p)) {
        std::fill(pValues, pValues + n, 0);
        return false;
    }
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(pValues, p, 4 * n);
    } else {
        for (size_t i = 0; i < n; ++i) pValues[i] = LittleI32(p + 4 * i);
    }
    return true;
}

bool CByteReader::ReadFloat(float* pValue) {
    std::uint32_t v;
    bool bOk = ReadU32(&v);
    std::memcpy(pValue, &v, sizeof(v));
    return bOk;
}

bool CByteReader::ReadBytes(void* pOut, size_t n) {
    const std::uint8_t* p;
    if (!Take(n, &p)) {
        if (n > 0) std::memset(pOut, 0, n);
        return false;
    }
    if (n > 0) std::memcpy(pOut, p, n);
    return true;
}

bool CByteReader::ReadText(size_t n, std::string* pOut) {
    const std::uint8_t* p;
    pOut->clear();
    if (!Take(n, &p)) return false;
    pOut->assign(reinterpret_cast<const char*>(p), n);
    return true;
}

bool CByteReader::ReadString(std::string* pOut) {
    std::uint32_t n;
    pOut->clear();
    if (!ReadU32(&n)) return false;
    return ReadText(n, pOut);
}

bool CByteReader::Skip(size_t n) {
    const std::uint8_t* p;
    return Take(n, &p);
}

bool CByteReader::Seek(size_t nPos) {
    if (m_bFailed) return false;
    if (nPos > m_nSize) {
        return Fail("offset " + std::to_string(nPos) + " lies past the end (" + std::to_string(m_nSize) +
                    " bytes)");
    }
    m_nPos = nPos;
    return true;
}

bool CByteReader::CheckCount(std::int64_t n, size_t nBytesEach, std::string_view what) {
    if (m_bFailed) return false;
    if (n < 0) return Fail(std::string(what) + " count " + std::to_string(n) + " is negative");
    if (nBytesEach > 0 && std::uint64_t(n) > Remaining() / nBytesEach) {
        return Fail(std::string(what) + " count " + std::to_string(n) + " at offset " + std::to_string(m_nPos) +
                    " does not fit in the " + std::to_string(Remaining()) + " bytes that remain");
    }
    return true;
}

void CByteWriter::WriteU16(std::uint16_t v) {
    m_bytes.push_back(std::uint8_t(v));
    m_bytes.push_back(std::uint8_t(v >> 8));
}

void CByteWriter::WriteU32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) m_bytes.push_back(std::uint8_t(v >> (8 * i)));
}

void CByteWriter::WriteFloat(float v) {
    std::uint32_t u;
    std::memcpy(&u, &v, sizeof(u));
    WriteU32(u);
}

void CByteWriter::WriteBytes(const void* p, size_t n) {
    if (n == 0) return;
    const std::uint8_t* pBytes = static_cast<const std::uint8_t*>(p);
    m_bytes.insert(m_bytes.end(), pBytes, pBytes + n);
}

void CByteWriter::WriteString(std::string_view s) {
    WriteU32(static_cast<std::uint32_t>(s.size()));
    WriteText(s);
}

void CByteWriter::PatchU32(size_t nPos, std::uint32_t v) {
    if (nPos > m_bytes.size() || m_bytes.size() - nPos < 4) return;
    for (int i = 0; i < 4; ++i) m_bytes[nPos + size_t(i)] = std::uint8_t(v >> (8 * i));
}

bool MeasureStream(FILE* pStream, long* pLength) {
    if (pStream == nullptr || std::fseek(pStream, 0, SEEK_END) != 0) return false;
    *pLength = std::ftell(pStream);
    return *pLength >= 0 && std::fseek(pStream, 0, SEEK_SET) == 0;
}

bool ReadStreamChunk(FILE* pStream, size_t n, std::vector<std::uint8_t>* pOut) {
    pOut->resize(n);
    return n == 0 || (pStream != nullptr && std::fread(pOut->data(), 1, n, pStream) == n);
}

bool ReadWholeFile(const char* pName, size_t nLimit, std::vector<std::uint8_t>* pBytes, std::string* pError) {
    pBytes->clear();
    auto fail = [&](const std::string& why) {
        if (pError != nullptr) *pError = std::string(pName != nullptr ? pName : "") + ": " + why;
        pBytes->clear();
        return false;
    };
    FILE* fp = OpenFile(pName, "rb");
    if (fp == nullptr) return fail(OpenFileError());
    char buf[65536];
    size_t n;
    bool bTooLarge = false;
    while ((n = std::fread(buf, 1, sizeof(buf), fp)) > 0) {
        if (n > nLimit - pBytes->size()) {
            bTooLarge = true;
            break;
        }
        pBytes->insert(pBytes->end(), buf, buf + n);
    }
    bool bError = std::ferror(fp) != 0;
    std::fclose(fp);
    if (bTooLarge) return fail("is larger than " + std::to_string(nLimit) + " bytes");
    if (bError) return fail("read error");
    return true;
}

bool WriteFileAtomic(const char* pName, const void* pData, size_t nSize, std::string* pError) {
    auto fail = [&](const std::string& why) {
        if (pError != nullptr) *pError = std::string(pName != nullptr ? pName : "") + ": " + why;
        return false;
    };
    if (pName == nullptr) return fail("no file name");
    std::string target = ResolvePath(pName);
    size_t slash = target.find_last_of('/');
    std::string dir = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp = dir + "." + base + ".XXXXXX";

    int fd = mkstemp(temp.data());
    if (fd < 0) return fail(std::string("cannot create a temporary file (") + std::strerror(errno) + ")");
    const char* p = static_cast<const char*>(pData);
    size_t nLeft = nSize;
    bool bOk = true;
    while (nLeft > 0) {
        ssize_t n = write(fd, p, nLeft);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            bOk = false;
            break;
        }
        p += n;
        nLeft -= size_t(n);
    }
    std::string why = bOk ? std::string() : std::string("write failed (") + std::strerror(errno) + ")";
    if (bOk && fsync(fd) != 0) {
        bOk = false;
        why = std::string("flush failed (") + std::strerror(errno) + ")";
    }
    // mkstemp creates the file readable by the owner only; give it the usual mode.
    if (bOk) fchmod(fd, 0644);
    if (close(fd) != 0 && bOk) {
        bOk = false;
        why = std::string("close failed (") + std::strerror(errno) + ")";
    }
    if (bOk && std::rename(temp.c_str(), target.c_str()) != 0) {
        bOk = false;
        why = std::string("cannot replace the file (") + std::strerror(errno) + ")";
    }
    if (!bOk) {
        unlink(temp.c_str());
        return fail(why);
    }
    return true;
}
