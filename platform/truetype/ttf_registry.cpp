// File name to face name through the registry: the installed-fonts key, and
// the alternative font names that CAD programs keep.
#include "platform/truetype/ttf_state.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD kNameSize = 256;
constexpr char kTrueTypeSuffix[] = " (TrueType)";

// The first value of the key whose data (a file name) begins with the
// request's name, ignoring case, gives the face: its value name without
// " (TrueType)". Fonts installed outside the system's font directory are
// registered with their full path, whose file name is what is compared.
int faceFromValues(AdFontRequest* request, HKEY key) {
    const std::size_t wanted = std::strlen(request->name);
    if (wanted == 0) return 0;
    for (DWORD i = 0; i < 0x10000; ++i) {
        char valueName[kNameSize];
        char data[AD_FONT_REQUEST_NAME_SIZE];
        DWORD nameSize = sizeof valueName;
        DWORD dataSize = sizeof data - 1;
        DWORD type = 0;
        const LONG status = RegEnumValueA(key, i, valueName, &nameSize, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS) return 0;
        if (status != ERROR_SUCCESS || type != REG_SZ) continue;
        data[dataSize < sizeof data ? dataSize : sizeof data - 1] = '\0';
        const char* file = std::strrchr(data, '\\');
        if (_strnicmp(file ? file + 1 : data, request->name, wanted) != 0) continue;
        char* suffix = std::strstr(valueName, kTrueTypeSuffix);
        if (suffix) *suffix = '\0';
        std::memcpy(request->face, valueName, std::strlen(valueName) + 1);
        return 1;
    }
    return 0;
}

// Calls visit for every subkey of key, until it answers 1.
template <typename Visit>
int eachSubkey(HKEY key, const char* below, Visit visit) {
    for (DWORD i = 0; i < 0x10000; ++i) {
        char name[kNameSize];
        DWORD size = sizeof name;
        const LONG status = RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) return 0;
        if (status != ERROR_SUCCESS) continue;
        char path[2 * kNameSize];
        std::snprintf(path, sizeof path, "%s%s", name, below);
        HKEY subkey = nullptr;
        if (RegOpenKeyExA(key, path, 0, KEY_READ, &subkey) != ERROR_SUCCESS) continue;
        const int found = visit(subkey);
        RegCloseKey(subkey);
        if (found) return 1;
    }
    return 0;
}

}  // namespace

int ttfFaceFromFontsKey(AdFontRequest* request) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", 0, KEY_READ,
                      &key) != ERROR_SUCCESS &&
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts", 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return 0;
    const int found = faceFromValues(request, key);
    RegCloseKey(key);
    return found;
}

int ttfFaceFromAltNames(AdFontRequest* request, HKEY key) { return faceFromValues(request, key); }

int ttfFaceFromSubkeys(AdFontRequest* request, HKEY key) {
    return eachSubkey(key, "\\AltFontNames", [request](HKEY names) { return ttfFaceFromAltNames(request, names); });
}

int ttfFaceFromAutoCAD(AdFontRequest* request) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Autodesk\\AutoCAD", 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    const int found = eachSubkey(key, "", [request](HKEY release) { return ttfFaceFromSubkeys(request, release); });
    RegCloseKey(key);
    return found;
}
