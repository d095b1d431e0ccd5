// Reader of a picture package: one read-only file of many pictures behind an index of
// names sorted case-insensitively. The index is read once; the file stays open and a
// lookup positions it at an entry for the caller to read. The music package uses the
// same index with sizes counted in 4-byte units.
#pragma once
#include <cstdio>
#include <string>
#include <vector>
#include "platform/Base.h"

// Compares two names as the index is sorted: bytes compared unsigned after folding
// ASCII capitals to small letters (so '_' sorts before every letter).
int ComparePkgNames(const char* pszA, const char* pszB);

struct PkgIndexEntry {
    std::string strName;
    DWORD dwOffset = 0;
    DWORD dwSize = 0;      // in bytes
    bool bPresent = true;  // false when the entry's bytes lie past the end of the file
};

// Reads a package index from the start of an open stream. dwSizeUnit is 1 for picture
// packages and 4 for the music package. Names longer than 255 bytes, a count the file
// cannot hold and an index cut short fail with a message.
bool ReadPkgIndex(FILE* pStream, DWORD dwSizeUnit, std::vector<PkgIndexEntry>* pEntries, std::string* pError);
// Index of the entry of that name in a sorted index by binary search, or -1; an entry
// whose bytes lie past the end of the file counts as absent.
int FindPkgEntry(const std::vector<PkgIndexEntry>& entries, const char* pszName);
// For a package cut short, one line saying which and how many entries are missing
// ("menu.pkg is cut short: 3 of 40 entries are missing"); empty when all are there.
std::string DescribeMissingPkgEntries(const std::string& strName, const std::vector<PkgIndexEntry>& entries);
// The same line for nMissing of nAll entries of any package; empty when none is missing.
std::string DescribeMissingEntries(const std::string& strName, size_t nMissing, size_t nAll);

class CPkgFile {
public:
    // Keeps the name pointer: the caller's string must outlive the object.
    explicit CPkgFile(const char* pszName);
    virtual ~CPkgFile();
    CPkgFile(const CPkgFile&) = delete;
    CPkgFile& operator=(const CPkgFile&) = delete;

    // Makes the game folder's "bmp" folder current (and leaves it so), opens the
    // package there by its name and reads the index. False when it cannot be opened
    // or its index is damaged.
    bool Open();
    // The same for a package at a path of its own (tools and tests); the current
    // folder is not changed.
    bool OpenPath(const char* pszPath);

    // Positions the package at the entry and returns the stream; null when absent.
    FILE* Seek(const char* pszName);
    // The same for a picture the caller is about to read, its size in *pnSize: null
    // when the package holds no such entry or an empty one. The first such picture of
    // the package is said (an entry lost to a package cut short was said when it opened).
    FILE* SeekPicture(const char* pszName, int* pnSize);
    // Says, for the first such entry of the package, that an entry read from it is not
    // a picture.
    void ReportNotPicture(const char* pszName);
    // The entry's size in bytes, or -1 when absent. The stream does not move.
    int GetSize(const char* pszName) const;
    bool Contains(const char* pszName) const;

    int GetCount() const { return int(m_entries.size()); }
    const PkgIndexEntry& GetEntry(int n) const { return m_entries[size_t(n)]; }
    const char* GetFileName() const { return m_pszName; }
    FILE* GetStream() const { return m_pStream; }
    const std::string& GetError() const { return m_strError; }

private:
    // Index of the entry by binary search, or -1; entries past the end count as absent.
    int Find(const char* pszName) const;
    // Reads the index; messages name the package as strShown ("bmp\\menu.pkg").
    bool ReadIndex(const std::string& strShown);
    void Close();

    const char* m_pszName;
    // The package as messages name it ("bmp\\menu.pkg").
    std::string m_strShown;
    bool m_bMissingSaid = false, m_bNotPictureSaid = false;
    FILE* m_pStream = nullptr;
    std::vector<PkgIndexEntry> m_entries;
    std::string m_strError;
};
