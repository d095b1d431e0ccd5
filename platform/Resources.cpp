#include "platform/Resources.h"
#include "platform/Strings.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/Charset.h"
#include "platform/ResourceTable.h"

namespace {

std::string Unescape(std::string_view text, bool* pBadEscape) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            if (text[i] == '\\') *pBadEscape = true;
            out.push_back(text[i]);
            continue;
        }
        char c = text[++i];
        switch (c) {
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case '\\': out.push_back('\\'); break;
            default:
                *pBadEscape = true;
                out.push_back('\\');
                out.push_back(c);
                break;
        }
    }
    return out;
}

const std::map<UINT, std::string>& StringTable() {
    static const std::map<UINT, std::string> table = [] {
        size_t nSize = 0;
        const BYTE* pData = FindResourceData("strings.txt", &nSize);
        if (!pData) return std::map<UINT, std::string>();
        std::string errors;
        auto parsed = ParseStringTable(std::string_view(reinterpret_cast<const char*>(pData), nSize), &errors);
        if (!errors.empty()) std::fprintf(stderr, "%s", errors.c_str());
        return parsed;
    }();
    return table;
}

}  // namespace

std::map<UINT, std::string> ParseStringTable(std::string_view source, std::string* pErrors) {
    std::map<UINT, std::string> table;
    auto complain = [&](int nLine, const char* pszWhat) {
        if (!pErrors) return;
        char line[160];
        std::snprintf(line, sizeof(line), "res/strings.txt line %d: %s; line skipped\n", nLine, pszWhat);
        pErrors->append(line);
    };
    int nLine = 0;
    size_t pos = 0;
    while (pos < source.size()) {
        size_t nEnd = source.find('\n', pos);
        if (nEnd == std::string_view::npos) nEnd = source.size();
        std::string_view line = source.substr(pos, nEnd - pos);
        pos = nEnd + 1;
        ++nLine;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == '#') continue;
        size_t nTab = line.find('\t');
        if (nTab == std::string_view::npos || nTab == 0) {
            complain(nLine, "expected a number, a tab and the text");
            continue;
        }
        unsigned long long nId = 0;
        bool bNumber = nTab <= 10;
        for (size_t i = 0; bNumber && i < nTab; ++i) {
            if (!std::isdigit(static_cast<unsigned char>(line[i]))) bNumber = false;
            else nId = nId * 10 + unsigned(line[i] - '0');
        }
        if (!bNumber || nId > 0xFFFFFFFFull) {
            complain(nLine, "the id is not a number from 0 to 4294967295");
            continue;
        }
        if (table.count(UINT(nId))) {
            complain(nLine, "the id is already used");
            continue;
        }
        bool bBadEscape = false;
        std::string text = Unescape(line.substr(nTab + 1), &bBadEscape);
        if (bBadEscape) complain(nLine, "unknown escape kept as it stands");
        table[UINT(nId)] = Utf8ToText(text, TextCharset::Gbk);
    }
    return table;
}

int LoadString(UINT nId, char* pBuffer, int nSize) {
    if (!pBuffer || nSize <= 0) return 0;
    pBuffer[0] = '\0';
    const auto& table = StringTable();
    auto it = table.find(nId);
    if (it == table.end()) return 0;
    const std::string& text = it->second;
    size_t nCopy = text.size();
    if (nCopy > size_t(nSize - 1)) {
        // Cut at a character boundary: a double-byte character is never halved.
        size_t nLimit = size_t(nSize - 1), i = 0;
        while (i < nLimit) {
            size_t nStep = IsDoubleByteLead(text, i) ? 2 : 1;
            if (i + nStep > nLimit) break;
            i += nStep;
        }
        nCopy = i;
    }
    std::memcpy(pBuffer, text.data(), nCopy);
    pBuffer[nCopy] = '\0';
    return int(nCopy);
}

const BYTE* FindResourceData(const char* pszName, size_t* pSize) {
    if (pSize) *pSize = 0;
    if (!pszName || !*pszName) return nullptr;
    std::string_view name(pszName);
    for (size_t i = 0; i < g_nEmbeddedResources; ++i) {
        const EmbeddedResource& res = g_embeddedResources[i];
        std::string_view file(res.pszFileName);
        size_t nDot = file.rfind('.');
        std::string_view base = nDot == std::string_view::npos || nDot == 0 ? file : file.substr(0, nDot);
        if (EqualNoCase(name, base) || EqualNoCase(name, file)) {
            if (pSize) *pSize = res.nSize;
            return res.pData;
        }
    }
    return nullptr;
}
