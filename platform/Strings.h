// Small string helpers shared by the platform layer.
#pragma once
#include <string_view>

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
