// TrueType font names: their options and the host's face resolution.
#include "toolkit/db/font_files.h"

#include <cstdlib>
#include <initializer_list>
#include <cstring>

namespace {

// The option's text after its two letters, or null when the option is absent
// or nothing follows it.
const char* optionValue(const char* name, const char* option) {
    const char* at = std::strstr(name, option);
    return at && at[2] != '\0' ? at + 2 : nullptr;
}

std::int32_t decimal(const char* text) {
    return static_cast<std::int32_t>(std::strtol(text, nullptr, 10) & 0xFFFFFF);
}

bool copyField(char* field, std::size_t size, const char* text) {
    const std::size_t length = std::strlen(text);
    if (length >= size) return false;
    std::memcpy(field, text, length + 1);
    return true;
}

}  // namespace

int adFontNamesTrueType(const char* name) {
    for (const char* mark : {"|b", ".ttc", ".TTC", ".ttf", ".TTF"})
        if (std::strstr(name, mark)) return 1;
    return 0;
}

void adFontNameOptions(char* name, std::int32_t* faceParameters) {
    char* bar = std::strchr(name, '|');
    if (!bar) return;
    std::int32_t parameters = 0;
    bool read = false;
    if (const char* value = optionValue(name, "|b")) {
        parameters = *value == '0' ? 0 : AD_FACE_BOLD;
        read = true;
    }
    if (const char* value = optionValue(name, "|i")) {
        if (*value != '0') parameters |= AD_FACE_ITALIC;
        read = true;
    }
    if (const char* value = optionValue(name, "|c")) {
        parameters |= (decimal(value) & 0xFF) << 8;
        read = true;
    }
    if (const char* value = optionValue(name, "|p")) {
        parameters |= decimal(value) & 0xFF;
        read = true;
    }
    *faceParameters = parameters;
    if (read) *bar = '\0';
}

int adFontResolveTrueType(const char* name, const char* face, std::int32_t faceParameters, AdFontRequest* request) {
    const AdToolkitHooks& hooks = adGlobals->hooks;
    std::memset(request, 0, sizeof *request);
    if (!hooks.fontName || !hooks.display[AD_DISPLAY_HOOK_GLYPH]) return 0;
    if (!copyField(request->name, sizeof request->name, name) ||
        !copyField(request->face, sizeof request->face, face ? face : ""))
        return 0;
    request->faceParameters = faceParameters;
    hooks.fontName(request);
    request->face[sizeof request->face - 1] = '\0';
    request->name[sizeof request->name - 1] = '\0';
    return request->face[0] != '\0';
}
