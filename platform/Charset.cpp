#include "platform/Charset.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace {

const char* CharsetName(TextCharset cs) { return cs == TextCharset::Big5 ? "BIG5" : "GBK"; }

// Runs iconv over the whole input, replacing each undecodable byte with `replacement`
// (already encoded in the target charset) and going on after it.
std::string Convert(std::string_view in, const char* from, const char* to, std::string_view replacement) {
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) return out;
    std::vector<char> buf(in.size() * 4 + 16);
    char* pIn = const_cast<char*>(in.data());
    size_t nIn = in.size();
    while (nIn > 0) {
        char* pOut = buf.data();
        size_t nOut = buf.size();
        size_t r = iconv(cd, &pIn, &nIn, &pOut, &nOut);
        out.append(buf.data(), size_t(pOut - buf.data()));
        if (r == size_t(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (truncated sequence at the end): skip one byte.
            out.append(replacement);
            ++pIn;
            --nIn;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::u32string DecodeText(std::string_view bytes, TextCharset cs) {
    static const char32_t kReplacement = 0xFFFD;
    std::string raw = Convert(bytes, CharsetName(cs), "UTF-32LE",
                              std::string_view(reinterpret_cast<const char*>(&kReplacement), 4));
    std::u32string out(raw.size() / 4, U'\0');
    for (size_t i = 0; i < out.size(); ++i) {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(raw.data()) + i * 4;
        out[i] = char32_t(p[0] | (p[1] << 8) | (p[2] << 16) | (char32_t(p[3]) << 24));
    }
    return out;
}

std::string TextToUtf8(std::string_view bytes, TextCharset cs) {
    return Convert(bytes, CharsetName(cs), "UTF-8", "\xEF\xBF\xBD");
}

std::string Utf8ToText(std::string_view utf8, TextCharset cs) {
    std::string to = std::string(CharsetName(cs));
    // Convert per character so that one unmappable character becomes one '?'.
    std::string out;
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (i + n > utf8.size()) n = utf8.size() - i;
        std::string_view ch = utf8.substr(i, n);
        if (n == 1 && c < 0x80) {
            out.push_back(char(c));
        } else {
            std::string conv = Convert(ch, "UTF-8", to.c_str(), std::string_view("\0", 1));
            bool bBad = conv.empty() || conv.find('\0') != std::string::npos;
            out.append(bBad ? std::string("?") : conv);
        }
        i += n;
    }
    return out;
}

bool IsDoubleByteLead(std::string_view s, size_t i) {
    if (i + 1 >= s.size()) return false;
    unsigned char c = static_cast<unsigned char>(s[i]);
    unsigned char t = static_cast<unsigned char>(s[i + 1]);
    return c >= 0x81 && c <= 0xFE && t >= 0x40 && t <= 0xFE && t != 0x7F;
}
