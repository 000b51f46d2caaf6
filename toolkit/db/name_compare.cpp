// Case-insensitive name comparison: only ASCII letters are folded, so names in
// any code page compare the same way whatever the locale.
#include "toolkit/ad.h"

namespace {
int foldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }
}  // namespace

int adStrCompareNoCaseN(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        int ca = foldAscii(static_cast<unsigned char>(a[i]));
        int cb = foldAscii(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
    return 0;
}

int adStrCompareNoCase(const char* a, const char* b) { return adStrCompareNoCaseN(a, b, SIZE_MAX); }
