// Telling DWG, ASCII DXF and binary DXF apart, and the version, from the
// first bytes of a file.
#include "toolkit/db/format_sniff.h"

#include <cstring>

namespace {
const char kBinaryDxfSentinel[] = "AutoCAD Binary DXF";
const std::size_t kVersionTextLength = 6;

bool beginsWith(const char* text, std::size_t length, const char* prefix) {
    std::size_t n = std::strlen(prefix);
    return length >= n && std::memcmp(text, prefix, n) == 0;
}

// The last byte is left out: the search behaves as over a text whose last
// byte became its terminator. Embedded NULs do not stop it, since DWG and
// binary DXF files hold them right after their lead text.
bool occursWithin(const char* text, std::size_t length, const char* needle) {
    std::size_t n = std::strlen(needle);
    if (length == 0 || n > length - 1) return false;
    for (std::size_t p = 0; p + n <= length - 1; ++p)
        if (std::memcmp(text + p, needle, n) == 0) return true;
    return false;
}

void copyVersionText(const char* buffer, std::size_t length, AdFileSniff* sniff) {
    sniff->versionText[0] = '\0';
    if (sniff->format != AD_FORMAT_DWG) {
        const char* known = adVersionString(sniff->version);
        if (known) std::memcpy(sniff->versionText, known, kVersionTextLength + 1);
        return;
    }
    if (length < kVersionTextLength) return;
    for (std::size_t i = 0; i < kVersionTextLength; ++i)
        if (buffer[i] < 0x20 || buffer[i] > 0x7E) return;
    std::memcpy(sniff->versionText, buffer, kVersionTextLength);
    sniff->versionText[kVersionTextLength] = '\0';
}
}  // namespace

int adDwgVersionFromText(const char* text, std::size_t length) {
    if (adGlobals) adGlobals->preReleaseSeen = 0;
    if (!text) return -1;
    for (int i = 0; i < AD_VERSION_COUNT; ++i)
        if (occursWithin(text, length, adVersionString(i))) return i;
    if (beginsWith(text, length, "AC1013")) {
        if (adGlobals) adGlobals->preReleaseSeen = 1;
        return 6;
    }
    if (beginsWith(text, length, "AC1500")) return 7;
    return -1;
}

int adSniffFile(HostFile* file, AdFileSniff* sniff) {
    sniff->format = AD_FORMAT_DWG;
    sniff->version = -1;
    sniff->versionText[0] = '\0';
    char* buffer = static_cast<char*>(HostAlloc(AD_SNIFF_SIZE));
    if (!buffer) {
        adNoMemory(AD_ERR_BUFFER_128K_A);
        return 0;
    }
    std::size_t n = HostRead(buffer, 1, AD_SNIFF_SIZE, file);
    bool accepted = true;
    if (!beginsWith(buffer, n, "AC1")) {
        sniff->format = beginsWith(buffer, n, kBinaryDxfSentinel) ? AD_FORMAT_DXF_BINARY : AD_FORMAT_DXF_ASCII;
        accepted = occursWithin(buffer, n, "SECTION") || beginsWith(buffer, n, "999");
    }
    sniff->version = static_cast<std::int16_t>(adDwgVersionFromText(buffer, n));
    copyVersionText(buffer, n, sniff);
    HostFree(buffer);

    if (adGlobals->preReleaseSeen && !adGlobals->acceptPreRelease) {
        adSetError(AD_ERR_PRE_RELEASE);
        return 0;
    }
    if (!accepted) {
        adSetError(AD_ERR_NOT_DRAWING);
        return 0;
    }
    // A DWG lead text the reader does not know (a later release, or one before
    // AC1002) is refused here rather than handed to the DWG open.
    if (sniff->format == AD_FORMAT_DWG && sniff->version < 0) {
        adSetError(AD_ERR_UNSUPPORTED_VERSION);
        return 0;
    }
    return 1;
}

int adSniffDrawingFile(const char* name, AdFileSniff* sniff) {
    if (!adGlobals || !sniff) return 0;
    *sniff = AdFileSniff{AD_FORMAT_DWG, -1, ""};
    HostFile* file = name ? HostOpenRead(name) : nullptr;
    if (!file) {
        adSetError(AD_ERR_FILE_OPEN);
        return 0;
    }
    int ok = adSniffFile(file, sniff);
    HostClose(file);
    return ok;
}
