// Toolkit start-up and shut-down: the global state and everything it owns.
#include "toolkit/ad.h"

#include <cstdio>
#include <new>

namespace {

constexpr std::size_t kWorkAreaSize = 10;
constexpr std::size_t kBuffer32k = 32768;
constexpr std::size_t kBuffer128k = 131072;

// Frees everything the state may own (null pointers are skipped), then the
// state itself. Serves shut-down and every failed start alike.
void releaseState() {
    AdGlobalState* g = adGlobals;
    adFreeBuiltinFonts();
    adFreeCodePages();
    HostFree(g->workArea);
    g->workArea = nullptr;
    std::uint8_t** buffers[] = {&g->buffer32kA, &g->buffer32kB, &g->buffer128kA, &g->buffer128kB};
    for (std::uint8_t** buffer : buffers) {
        HostFree(*buffer);
        *buffer = nullptr;
    }
    HostFree(g);
    adGlobals = nullptr;
}

int failStart(std::int16_t* error, std::int32_t code) {
    releaseState();
    if (error) *error = static_cast<std::int16_t>(code);
    return 0;
}

// Allocates one work buffer, with its own error code set beforehand so that a
// failure names the buffer.
bool allocateBuffer(std::uint8_t** buffer, std::size_t size, std::int32_t code) {
    adSetError(code);
    *buffer = static_cast<std::uint8_t*>(HostAlloc(size));
    if (!*buffer) adNoMemory(code);
    return *buffer != nullptr;
}

}  // namespace

int adInitToolkit(const char* initDataName, std::int16_t* error) {
    if (error) *error = AD_OK;
    if (adGlobals) return 1;

    void* block = HostAlloc(sizeof(AdGlobalState));
    if (!block) {
        if (error) *error = AD_ERR_STATE_MEMORY;
        return 0;
    }
    // Every field starts zero: pointers null, flags clear, hooks empty.
    AdGlobalState* g = new (block) AdGlobalState();
    adGlobals = g;

    g->hooks.fileFinder = adDefaultFindFile;
    // The process-wide default fatal-error hook is null: nothing installs one.
    g->hooks.fatalError = nullptr;

    if (!HostStartCheck()) {
        releaseState();
        return 0;
    }

    g->workArea = static_cast<std::uint8_t*>(HostAlloc(kWorkAreaSize));
    if (!g->workArea) {
        adNoMemory(AD_ERR_WORK_AREA);
        return failStart(error, AD_ERR_WORK_AREA);
    }

    g->linearTolerance = 5e-7;
    g->angularTolerance = 8.726646259971647e-9;  // 5e-7 degrees
    g->precision = 6;
    std::snprintf(g->integerFormat, sizeof g->integerFormat, "%s", "%6d");
    std::snprintf(g->realFormat, sizeof g->realFormat, "%s", "%.6f");
    std::snprintf(g->exponentFormat, sizeof g->exponentFormat, "%s", "%.6lE");

    if (!allocateBuffer(&g->buffer128kA, kBuffer128k, AD_ERR_BUFFER_128K_A) ||
        !allocateBuffer(&g->buffer128kB, kBuffer128k, AD_ERR_BUFFER_128K_B) ||
        !allocateBuffer(&g->buffer32kA, kBuffer32k, AD_ERR_BUFFER_32K_A) ||
        !allocateBuffer(&g->buffer32kB, kBuffer32k, AD_ERR_BUFFER_32K_B))
        return failStart(error, g->errorCode);

    adSetError(AD_ERR_INIT_DATA);
    g->outputBufferSize = 4096;
    if (!adLoadInitData(initDataName)) {
        // A loader that failed without naming why still must not report 0.
        return failStart(error, g->errorCode != AD_OK ? g->errorCode : AD_ERR_INIT_DATA);
    }

    adSetError(AD_ERR_FONT_MANAGER);
    if (!adInitBuiltinFonts()) return failStart(error, AD_ERR_FONT_MANAGER);

    // Flags, the null handle, the current code page (0, undefined), the
    // arrowhead-name and extended-data code-page options stay zero.
    adSetError(AD_OK);
    g->polylineConversion = 1;
    g->handleSeedDefault = AdHandle{{0, 0, 0, 0, 0, 0, 0, 1}};
    g->entityTypeFilter[24] = 1;  // VIEWPORT
    g->nameLengthLimit = 26;
    g->angleNormalisation = 1;
    g->pfbFontScale = 0.5;
    return 1;
}

void adTermToolkit() {
    if (!adGlobals) return;
    releaseState();
    HostStartCheck();
}
