// The files of res/, compiled into the program by a source generated at build time.
#pragma once
#include <cstddef>
#include "platform/Base.h"

struct EmbeddedResource {
    const char* pszFileName;  // file name in res/, with its extension
    const BYTE* pData;
    size_t nSize;
};

// g_nEmbeddedResources entries, followed by one entry of nulls.
extern const EmbeddedResource g_embeddedResources[];
extern const size_t g_nEmbeddedResources;

#include <map>
#include <string>
#include <string_view>

// Parses the string table's text: UTF-8 lines "ID<TAB>text", escapes \n \r \t \\ in the
// text; blank lines and lines starting with '#' are skipped. Texts come back as GBK bytes.
// Each malformed line is skipped and described in *pErrors (one line each) when given.
std::map<UINT, std::string> ParseStringTable(std::string_view source, std::string* pErrors = nullptr);
