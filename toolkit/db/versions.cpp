// The version table: a drawing's version index and the strings that stand for it.
#include "toolkit/ad.h"

#include <cstring>

namespace {
// "AC1013" is missing on purpose: it marks pre-release files, which load as
// index 6 only when the host accepts them.
const char* const kVersionStrings[AD_VERSION_COUNT] = {"AC1002", "AC1003", "AC1004", "AC1006",
                                                       "AC1009", "AC1012", "AC1014", "AC1015"};
}  // namespace

int adVersionIndex(const char* text) {
    if (!text) return -1;
    for (int i = 0; i < AD_VERSION_COUNT; ++i)
        if (std::strcmp(text, kVersionStrings[i]) == 0) return i;
    return -1;
}

const char* adVersionString(int index) {
    return index >= 0 && index < AD_VERSION_COUNT ? kVersionStrings[index] : nullptr;
}
