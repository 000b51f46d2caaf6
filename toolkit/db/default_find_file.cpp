// The file finder the toolkit installs at start-up, used for fonts, shapes and
// other support files that drawings name.
#include "toolkit/ad.h"

#include <cstdlib>
#include <cstring>

namespace {

bool exists(const char* path) { return HostAccess(path, 0) == 0; }

void copyResult(char* result, const char* path) {
    const std::size_t length = std::strlen(path);
    std::memcpy(result, path, length + 1);
}

// Tries each ';'-separated directory of ACAD joined with the name; answers the
// first candidate that exists in candidate.
bool findOnAcadPath(const char* wanted, char* candidate) {
    const char* entry = std::getenv("ACAD");
    if (!entry) return false;
    const std::size_t wantedLength = std::strlen(wanted);
    while (*entry) {
        const char* end = std::strchr(entry, ';');
        const std::size_t entryLength = end ? static_cast<std::size_t>(end - entry) : std::strlen(entry);
        const bool separated = entryLength > 0 && entry[entryLength - 1] == '\\';
        const std::size_t length = entryLength + (separated ? 0 : 1) + wantedLength;
        if (entryLength > 0 && length < AD_PATH_SIZE) {
            std::memcpy(candidate, entry, entryLength);
            if (!separated) candidate[entryLength] = '\\';
            std::memcpy(candidate + length - wantedLength, wanted, wantedLength + 1);
            if (exists(candidate)) return true;
        }
        if (!end) break;
        entry = end + 1;
    }
    return false;
}

}  // namespace

// Names are kept in the Windows form ('\' separators) that drawings use; the
// host file functions accept it on every platform. The caller's name is left
// as it is, and result may be the same buffer as name.
void adDefaultFindFile(char* name, char* result, void* /*userData*/) {
    if (!result) return;
    if (!name) {
        result[0] = '\0';
        return;
    }
    char wanted[AD_PATH_SIZE];
    std::size_t length = 0;
    for (; name[length] != '\0' && length < AD_PATH_SIZE - 1; ++length)
        wanted[length] = name[length] == '/' ? '\\' : name[length];
    wanted[length] = '\0';
    // A name cut at the field size cannot be the file asked for: search nothing.
    if (name[length] != '\0' || exists(wanted)) {
        copyResult(result, wanted);
        return;
    }
    const char* last = std::strrchr(wanted, '\\');
    if (last && exists(last + 1)) {
        copyResult(result, last + 1);
        return;
    }
    char candidate[AD_PATH_SIZE];
    if (!std::strchr(wanted, ':') && findOnAcadPath(wanted, candidate)) {
        copyResult(result, candidate);
        return;
    }
    copyResult(result, wanted);
}
