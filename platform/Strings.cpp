#include "platform/Strings.h"

#include <cstdio>

std::string QuoteText(std::string_view s) {
    std::string out = "\"";
    for (size_t i = 0; i < s.size() && i < kQuoteBytes; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else {
            char szHex[8];
            std::snprintf(szHex, sizeof szHex, "\\x%02X", c);
            out += szHex;
        }
    }
    out += '"';
    if (s.size() > kQuoteBytes) out += " (first " + std::to_string(kQuoteBytes) + " of " + std::to_string(s.size()) + " bytes)";
    return out;
}

void CMessageList::Add(std::string strMessage) {
    ++m_nCount;
    if (!Full()) m_listed.push_back(std::move(strMessage));
}

std::string CMessageList::MoreLine(const std::string& strSubject, const char* pszWhat) const {
    if (m_nCount <= m_listed.size()) return {};
    return strSubject + ": " + std::to_string(m_nCount - m_listed.size()) + " more " + pszWhat + ", not listed";
}

std::vector<std::string> CMessageList::Lines(const std::string& strSubject, const char* pszWhat) const {
    std::vector<std::string> lines = m_listed;
    if (std::string strMore = MoreLine(strSubject, pszWhat); !strMore.empty()) lines.push_back(std::move(strMore));
    return lines;
}
