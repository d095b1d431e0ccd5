// Small string helpers shared by the platform layer.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// ASCII case-insensitive equality (file names, keys, face names); other bytes compare exactly.
inline bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char ca = a[i], cb = b[i];
        if (ca >= 'A' && ca <= 'Z') ca = char(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z') cb = char(cb - 'A' + 'a');
        if (ca != cb) return false;
    }
    return true;
}

// ASCII case-insensitive ordering: bytes compare unsigned after folding capitals to
// small letters (so '_' sorts before every letter). Below 0, 0 or above 0 as a < b,
// a == b, a > b; a string sorts before every longer string it starts.
inline int CompareNoCase(std::string_view a, std::string_view b) {
    const size_t nCommon = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < nCommon; ++i) {
        int ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z') ca += 'a' - 'A';
        if (cb >= 'A' && cb <= 'Z') cb += 'a' - 'A';
        if (ca != cb) return ca - cb;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// User text (a script line, a file name, a key or value read from a file) as a message
// quotes it: in double quotes, at most kQuoteBytes bytes of it, every byte outside
// printable ASCII (a NUL, a control, binary or GBK bytes) and the quote and backslash
// escaped, and a longer text followed by how many bytes it has.
constexpr size_t kQuoteBytes = 80;
std::string QuoteText(std::string_view s);

// The text without a leading UTF-8 byte-order mark, which text editors may write at the
// start of a file and which is no part of its first line.
inline std::string_view WithoutByteOrderMark(std::string_view s) {
    return s.substr(0, 3) == "\xEF\xBB\xBF" ? s.substr(3) : s;
}

// The messages about one input (a file, a script), bounded: the first kListed are kept
// and the rest only counted, so a file of a million bad lines reports a screenful and one
// line with how many more there were.
class CMessageList {
public:
    static constexpr size_t kListed = 20;
    // Whether a message added now would only be counted (so callers may skip building it).
    bool Full() const { return m_listed.size() >= kListed; }
    // Counts the message and keeps it while fewer than kListed are kept.
    void Add(std::string strMessage);
    size_t Count() const { return m_nCount; }
    const std::vector<std::string>& Listed() const { return m_listed; }
    // "<strSubject>: <n> more <pszWhat>, not listed" for the messages only counted; empty
    // when every message is kept.
    std::string MoreLine(const std::string& strSubject, const char* pszWhat) const;
    // The kept messages, then the MoreLine when there is one.
    std::vector<std::string> Lines(const std::string& strSubject, const char* pszWhat) const;

private:
    std::vector<std::string> m_listed;
    size_t m_nCount = 0;
};
