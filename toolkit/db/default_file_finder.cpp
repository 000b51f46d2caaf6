// The display engine's default finder for the files that texts and external
// references name: the support-file search, written into the caller's buffer.
#include "toolkit/ad.h"

#include <cstring>

int adDefaultFileFinder(const char* name, char* pathOut, std::size_t capacity, void* userData) {
    if (!pathOut || capacity == 0) return 0;
    pathOut[0] = '\0';
    // An empty name would find the first search directory itself.
    if (!name || !*name) return 0;
    char found[AD_PATH_SIZE];
    // The support-file search only reads the name.
    adDefaultFindFile(const_cast<char*>(name), found, userData);
    const std::size_t length = std::strlen(found);
    if (length >= capacity) return 0;
    std::memcpy(pathOut, found, length + 1);
    return HostAccess(found, 0) == 0;
}
