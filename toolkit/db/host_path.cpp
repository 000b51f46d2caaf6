// The names the host layer hands to the platform: as given on Windows, and
// elsewhere with Windows-style separators and letter case resolved.
#include "toolkit/db/host_path.h"

#include <cstring>

#ifdef _WIN32

int HostPlatformPath(const char* name, char* path, std::size_t size) {
    const std::size_t length = std::strlen(name);
    if (length >= size) return 0;
    std::memcpy(path, name, length + 1);
    return 1;
}

#else
#include "toolkit/ad.h"

#include <dirent.h>
#include <unistd.h>

namespace {

bool exists(const char* path) { return access(path, F_OK) == 0; }

// Replaces the last component of path, which starts at path[start], by the
// directory entry that matches it ignoring case; the smallest such entry by
// byte order wins, so the answer does not depend on the listing order.
void matchComponent(char* path, std::size_t start) {
    char best[256] = "";
    const std::size_t length = std::strlen(path + start);
    if (length >= sizeof best) return;
    char saved = start > 0 ? path[start - 1] : '\0';
    const char* dirName = ".";
    if (start == 1) {
        dirName = "/";
    } else if (start > 1) {
        path[start - 1] = '\0';
        dirName = path;
    }
    DIR* dir = opendir(dirName);
    if (start > 1) path[start - 1] = saved;
    if (!dir) return;
    while (const dirent* entry = readdir(dir)) {
        if (std::strlen(entry->d_name) != length || adStrCompareNoCase(entry->d_name, path + start) != 0) continue;
        if (best[0] == '\0' || std::strcmp(entry->d_name, best) < 0) std::memcpy(best, entry->d_name, length + 1);
    }
    closedir(dir);
    if (best[0] != '\0') std::memcpy(path + start, best, length);
}

}  // namespace

int HostPlatformPath(const char* name, char* path, std::size_t size) {
    const std::size_t length = std::strlen(name);
    if (length >= size) return 0;
    for (std::size_t i = 0; i <= length; ++i) path[i] = name[i] == '\\' ? '/' : name[i];
    if (exists(path)) return 1;

    // Rebuild the path in place one component at a time: the text is already
    // there, only letter case may change, so no component can outgrow it.
    std::size_t start = 0;
    while (start < length) {
        while (start < length && path[start] == '/') ++start;
        std::size_t end = start;
        while (end < length && path[end] != '/') ++end;
        if (end == start) break;
        char saved = path[end];
        path[end] = '\0';
        if (!exists(path)) matchComponent(path, start);
        const bool found = exists(path);
        path[end] = saved;
        if (!found) break;
        start = end;
    }
    return 1;
}
#endif
