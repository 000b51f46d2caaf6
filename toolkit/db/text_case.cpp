// ASCII case conversion that leaves double-byte characters intact: a trail
// byte may look like a letter, so each lead byte takes its trail byte along.
#include "toolkit/ad.h"

namespace {

void changeCase(char* text, int codePage, char from, char to) {
    if (!text) return;
    for (char* p = text; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (adIsLeadByte(codePage, c)) {
            if (p[1] == '\0') break;
            ++p;
        } else if (*p >= from && *p <= from + ('z' - 'a')) {
            *p = static_cast<char>(*p - from + to);
        }
    }
}

}  // namespace

void adStrUpper(char* text, int codePage) { changeCase(text, codePage, 'a', 'A'); }

void adStrLower(char* text, int codePage) { changeCase(text, codePage, 'A', 'a'); }
