// Reads of INI ("profile") files with the rules the game's options rely on:
// section and key names without regard to case, values trimmed, lines starting
// with ';' ignored, and the default for a missing file, section or key.
#pragma once
#include <string>

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
