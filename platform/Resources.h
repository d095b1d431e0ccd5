// The executable's resources: the string table (GBK bytes) and named pictures, our own
// content from res/, compiled into the program.
#pragma once
#include <cstddef>
#include "platform/Base.h"

// Copies string-table entry nId into pBuffer (at most nSize - 1 bytes, zero-terminated)
// and returns the number of bytes copied; 0 when there is no such entry.
int LoadString(UINT nId, char* pBuffer, int nSize);
// The bytes of a named resource (a BMP file for pictures); null when there is none.
const BYTE* FindResourceData(const char* pszName, size_t* pSize);
