// Reads of INI ("profile") files with the rules the game's options rely on:
// section and key names without regard to case, values trimmed, lines starting
// with ';' ignored, a leading byte-order mark skipped, lines ended by CR LF, LF or CR
// alike, and the default for a missing file, section or key.
#pragma once
#include <string>
#include <utility>
#include <vector>

// One profile file read once: every lookup of a batch (the options at start-up) reads
// the same text instead of opening the file again. A missing file answers every key
// with its default.
class CProfileFile {
public:
    explicit CProfileFile(const char* pFile);
    bool IsRead() const { return m_bRead; }
    // Why a file that is there could not be read ("is a folder, not a file"); empty when it
    // was read or does not exist.
    const std::string& ReadError() const { return m_strReadError; }
    // As GetProfileInt and GetProfileString below.
    int GetInt(const char* pSection, const char* pKey, int nDefault) const;
    std::string GetString(const char* pSection, const char* pKey, const char* pDefault) const;
    // As ProfileIntFits below.
    bool IntFits(const char* pSection, const char* pKey, std::string* pWritten) const;

    // Every section and key the file writes, in file order: a section's name with an empty
    // key for its header line, then the section's name with each key of it.
    std::vector<std::pair<std::string, std::string>> Entries() const;

    // Finds the first occurrence of the key inside a section of that name: false when
    // there is none, else true with its value as GetString gives it (possibly empty).
    bool FindValue(const char* pSection, const char* pKey, std::string* pValue) const;

private:

    std::string m_strText;
    bool m_bRead = false;
    std::string m_strReadError;
};

// Integer value of a key: the default when the file, section or key is missing or
// the value is empty; otherwise the leading decimal number of the value (leading
// spaces skipped, a sign allowed, "12abc" reads 12), and 0 when it has none.
int GetProfileInt(const char* pFile, const char* pSection, const char* pKey, int nDefault);
// Whether the leading number of a key's value, as GetProfileInt reads it, lies within
// the signed 32-bit range (GetProfileInt wraps one that does not). True for a missing
// key and for a value without a number. *pWritten gets the value as the file writes it.
bool ProfileIntFits(const char* pFile, const char* pSection, const char* pKey, std::string* pWritten);
// Text value of a key (trimmed; one pair of surrounding quotes removed), or the
// default when the file, section or key is missing.
std::string GetProfileString(const char* pFile, const char* pSection, const char* pKey,
                             const char* pDefault);
