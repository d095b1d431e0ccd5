#include "gamedata/PkgFile.h"

#include <cstdio>
#include <string>

#include "gamedata/DebugLog.h"
#include "gamedata/GameData.h"
#include "platform/Charset.h"
#include "platform/Files.h"
#include "platform/Stream.h"
#include "platform/Strings.h"

namespace {

// Longest entry name stored in an index.
constexpr size_t kMaxPkgName = 255;
// Smallest index entry: an empty name's end byte, offset and size.
constexpr size_t kMinEntryBytes = 1 + 8;


}  // namespace

int ComparePkgNames(const char* pszA, const char* pszB) { return CompareNoCase(pszA, pszB); }

bool ReadPkgIndex(FILE* pStream, DWORD dwSizeUnit, std::vector<PkgIndexEntry>* pEntries, std::string* pError) {
    pEntries->clear();
    long nLength = 0;
    if (!MeasureStream(pStream, &nLength)) {
        if (pError) *pError = "cannot measure the file";
        return false;
    }
    // The index can be no longer than the count word and the largest entries, nor
    // than the file.
    std::vector<std::uint8_t> countBytes;
    if (!ReadStreamChunk(pStream, 4, &countBytes)) {
        if (pError) *pError = "index count: file is shorter than 4 bytes";
        return false;
    }
    DWORD dwCount = 0;
    CByteReader(countBytes, "package index").ReadU32(&dwCount);
    if (dwCount > (size_t(nLength) - 4) / kMinEntryBytes) {
        if (pError) *pError = "index count " + std::to_string(dwCount) + " is more than the file can hold";
        return false;
    }
    const size_t nMaxIndex = size_t(dwCount) * (kMaxPkgName + 1 + 8);
    const size_t nRead = nMaxIndex < size_t(nLength) - 4 ? nMaxIndex : size_t(nLength) - 4;
    std::vector<std::uint8_t> bytes;
    if (!ReadStreamChunk(pStream, nRead, &bytes)) {
        if (pError) *pError = "index: read error";
        return false;
    }
    CByteReader reader(bytes, "package index");
    pEntries->resize(dwCount);
    for (DWORD i = 0; i < dwCount; ++i) {
        PkgIndexEntry& e = (*pEntries)[i];
        // Names are read to their real end byte, whatever their length.
        std::uint8_t c = 0;
        while (reader.ReadU8(&c) && c != 0) {
            if (e.strName.size() >= kMaxPkgName) {
                reader.Fail("entry " + std::to_string(i) + ": name longer than " + std::to_string(kMaxPkgName) + " bytes");
                break;
            }
            e.strName.push_back(char(c));
        }
        reader.ReadU32(&e.dwOffset);
        reader.ReadU32(&e.dwSize);
        if (reader.Failed()) {
            if (pError) *pError = reader.Error();
            pEntries->clear();
            return false;
        }
        const std::uint64_t nBytes = std::uint64_t(e.dwSize) * dwSizeUnit;
        e.bPresent = nBytes <= 0x7FFFFFFF && std::uint64_t(e.dwOffset) + nBytes <= std::uint64_t(nLength);
        e.dwSize = e.bPresent ? DWORD(nBytes) : 0;
    }
    return true;
}

int FindPkgEntry(const std::vector<PkgIndexEntry>& entries, const char* pszName) {
    if (!pszName) return -1;
    int nLow = 0, nHigh = int(entries.size()) - 1;
    while (nLow <= nHigh) {
        const int nMid = nLow + (nHigh - nLow) / 2;
        const int nCmp = ComparePkgNames(entries[size_t(nMid)].strName.c_str(), pszName);
        if (nCmp == 0) return entries[size_t(nMid)].bPresent ? nMid : -1;
        if (nCmp < 0) nLow = nMid + 1;
        else nHigh = nMid - 1;
    }
    return -1;
}

std::string DescribeMissingPkgEntries(const std::string& strName, const std::vector<PkgIndexEntry>& entries) {
    size_t nMissing = 0;
    for (const PkgIndexEntry& e : entries)
        if (!e.bPresent) ++nMissing;
    return DescribeMissingEntries(strName, nMissing, entries.size());
}

std::string DescribeMissingEntries(const std::string& strName, size_t nMissing, size_t nAll) {
    if (nMissing == 0) return "";
    return strName + " is cut short: " + std::to_string(nMissing) + " of " + std::to_string(nAll) +
           " entries are missing";
}


CPkgFile::CPkgFile(const char* pszName) : m_pszName(pszName) {}

CPkgFile::~CPkgFile() { Close(); }

void CPkgFile::Close() {
    if (m_pStream) std::fclose(m_pStream);
    m_pStream = nullptr;
    m_entries.clear();
}

bool CPkgFile::ReadIndex(const std::string& strShown) {
    m_strShown = strShown;
    std::string strError;
    if (!ReadPkgIndex(m_pStream, 1, &m_entries, &strError)) {
        m_strError = strShown + ": " + strError;
        Close();
        return false;
    }
    ReportFileProblem(DescribeMissingPkgEntries(strShown, m_entries));
    return true;
}

bool CPkgFile::Open() {
    Close();
    const std::string strName = m_pszName ? m_pszName : "";
    std::string strShown = strName;
    if (pGameData && pGameData->szGamePath[0] != '\0') {
        SetCurrentDirectory(pGameData->szGamePath);
        SetCurrentDirectory("bmp");
        strShown = "bmp\\" + strName;
    }
    if (pDebugLog) pDebugLog->Printf("open data file %s ...", strName.c_str());
    m_pStream = m_pszName ? OpenFile(m_pszName, "rb") : nullptr;
    if (!m_pStream) {
        m_strError = strShown + ": " + OpenFileError();
        if (pDebugLog) pDebugLog->Write("...failed\r\n");
        return false;
    }
    if (!ReadIndex(strShown)) {
        if (pDebugLog) pDebugLog->Write("...failed\r\n");
        return false;
    }
    if (pDebugLog) pDebugLog->Write("...OK\r\n");
    return true;
}

bool CPkgFile::OpenPath(const char* pszPath) {
    Close();
    m_pStream = pszPath ? OpenFile(pszPath, "rb") : nullptr;
    if (!m_pStream) {
        m_strError = std::string(pszPath ? pszPath : "") + ": " + OpenFileError();
        return false;
    }
    return ReadIndex(m_pszName ? m_pszName : "");
}

int CPkgFile::Find(const char* pszName) const { return FindPkgEntry(m_entries, pszName); }

FILE* CPkgFile::Seek(const char* pszName) {
    const int n = Find(pszName);
    if (n < 0 || !m_pStream) return nullptr;
    if (std::fseek(m_pStream, long(m_entries[size_t(n)].dwOffset), SEEK_SET) != 0) return nullptr;
    return m_pStream;
}

FILE* CPkgFile::SeekPicture(const char* pszName, int* pnSize) {
    *pnSize = GetSize(pszName);
    if (*pnSize > 0) return Seek(pszName);
    if (m_bMissingSaid) return nullptr;
    const std::string strName = TextToUtf8(pszName ? pszName : "");
    if (*pnSize == 0) {
        ReportFileProblem(m_strShown + ": entry \"" + strName + "\" is empty; empty entries are not drawn");
        m_bMissingSaid = true;
        return nullptr;
    }
    for (const PkgIndexEntry& e : m_entries)
        if (pszName && ComparePkgNames(e.strName.c_str(), pszName) == 0) return nullptr;
    ReportFileProblem(m_strShown + " holds no picture \"" + strName + "\"; pictures it lacks are not drawn");
    m_bMissingSaid = true;
    return nullptr;
}

void CPkgFile::ReportNotPicture(const char* pszName) {
    if (m_bNotPictureSaid) return;
    ReportFileProblem(m_strShown + ": entry \"" + TextToUtf8(pszName ? pszName : "") +
                      "\" is not a picture; entries that do not decode are not drawn");
    m_bNotPictureSaid = true;
}

int CPkgFile::GetSize(const char* pszName) const {
    const int n = Find(pszName);
    return n < 0 ? -1 : int(m_entries[size_t(n)].dwSize);
}

bool CPkgFile::Contains(const char* pszName) const { return Find(pszName) >= 0; }
