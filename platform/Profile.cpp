#include "platform/Profile.h"
#include "platform/Strings.h"

#include "platform/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) {
        s.remove_suffix(1);
    }
    return s;
}

// The line that starts at *pPos, without its end, and *pPos moved past that end. A line
// ends at CR LF, at a lone LF or at a lone CR, so files written on any system read alike.
std::string_view NextLine(std::string_view text, size_t* pPos) {
    const size_t nStart = *pPos;
    size_t nEnd = text.find_first_of("\r\n", nStart);
    if (nEnd == std::string_view::npos) nEnd = text.size();
    *pPos = nEnd + (text.compare(nEnd, 2, "\r\n") == 0 ? 2 : 1);
    return text.substr(nStart, nEnd - nStart);
}

// Reads the whole file; false when it cannot be opened or read, with the reason in *pWhy
// unless the file does not exist.
bool ReadWholeFile(const char* pFile, std::string* pText, std::string* pWhy) {
    if (pFile == nullptr) return false;
    FILE* fp = OpenFile(pFile, "rb");
    if (fp == nullptr) {
        if (errno != ENOENT) *pWhy = OpenFileError();
        return false;
    }
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), fp)) > 0) pText->append(buf, n);
    const bool bError = std::ferror(fp) != 0;
    std::fclose(fp);
    if (bError) {
        pText->clear();
        *pWhy = "cannot be read";
    }
    return !bError;
}

// The leading decimal number of a value: leading blanks skipped, a sign allowed. The
// result wraps in 32 bits, as a 32-bit integer read would; *pbFits tells whether the
// number as written lies within the signed 32-bit range.
int LeadingNumber(const std::string& value, bool* pbFits) {
    size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
    bool bNegative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+')) bNegative = value[i++] == '-';
    std::uint32_t nValue = 0;
    std::uint64_t nExact = 0;  // held just past the range once it leaves it
    const std::uint64_t nLimit = bNegative ? std::uint64_t(1) << 31 : (std::uint64_t(1) << 31) - 1;
    while (i < value.size() && value[i] >= '0' && value[i] <= '9') {
        const std::uint32_t nDigit = std::uint32_t(value[i] - '0');
        nValue = nValue * 10u + nDigit;
        nExact = std::min<std::uint64_t>(nExact * 10u + nDigit, nLimit + 1);
        ++i;
    }
    if (pbFits) *pbFits = nExact <= nLimit;
    if (bNegative) nValue = 0u - nValue;
    return static_cast<int>(nValue);
}

}  // namespace

CProfileFile::CProfileFile(const char* pFile) {
    m_bRead = ReadWholeFile(pFile, &m_strText, &m_strReadError);
    m_strText.erase(0, m_strText.size() - WithoutByteOrderMark(m_strText).size());
}

bool CProfileFile::FindValue(const char* pSection, const char* pKey, std::string* pValue) const {
    if (!m_bRead || pSection == nullptr || pKey == nullptr) return false;
    const std::string_view text(m_strText);
    bool bInSection = false;
    size_t pos = 0;
    while (pos < text.size()) {
        std::string_view line = Trim(NextLine(text, &pos));
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            size_t close = line.find(']');
            std::string_view name = line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1);
            bInSection = EqualNoCase(Trim(name), pSection);
            continue;
        }
        if (!bInSection) continue;
        size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (EqualNoCase(Trim(line.substr(0, eq)), pKey)) {
            std::string_view value = Trim(line.substr(eq + 1));
            if (value.size() >= 2 && ((value.front() == '"' && value.back() == '"') ||
                                      (value.front() == '\'' && value.back() == '\''))) {
                value = value.substr(1, value.size() - 2);
            }
            *pValue = std::string(value);
            return true;
        }
    }
    return false;
}

std::vector<std::pair<std::string, std::string>> CProfileFile::Entries() const {
    std::vector<std::pair<std::string, std::string>> entries;
    const std::string_view text(m_strText);
    std::string strSection;
    size_t pos = 0;
    while (m_bRead && pos < text.size()) {
        const std::string_view line = Trim(NextLine(text, &pos));
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            strSection = Trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
            entries.emplace_back(strSection, std::string());
            continue;
        }
        const size_t eq = line.find('=');
        if (eq != std::string_view::npos) entries.emplace_back(strSection, std::string(Trim(line.substr(0, eq))));
    }
    return entries;
}

int CProfileFile::GetInt(const char* pSection, const char* pKey, int nDefault) const {
    std::string value;
    if (!FindValue(pSection, pKey, &value) || value.empty()) return nDefault;
    return LeadingNumber(value, nullptr);
}

bool CProfileFile::IntFits(const char* pSection, const char* pKey, std::string* pWritten) const {
    std::string value;
    if (!FindValue(pSection, pKey, &value)) value.clear();
    if (pWritten) *pWritten = value;
    bool bFits = true;
    LeadingNumber(value, &bFits);
    return bFits;
}

std::string CProfileFile::GetString(const char* pSection, const char* pKey, const char* pDefault) const {
    std::string value;
    if (FindValue(pSection, pKey, &value)) return value;
    return pDefault != nullptr ? std::string(pDefault) : std::string();
}

int GetProfileInt(const char* pFile, const char* pSection, const char* pKey, int nDefault) {
    return CProfileFile(pFile).GetInt(pSection, pKey, nDefault);
}

bool ProfileIntFits(const char* pFile, const char* pSection, const char* pKey, std::string* pWritten) {
    return CProfileFile(pFile).IntFits(pSection, pKey, pWritten);
}

std::string GetProfileString(const char* pFile, const char* pSection, const char* pKey,
                             const char* pDefault) {
    return CProfileFile(pFile).GetString(pSection, pKey, pDefault);
}
