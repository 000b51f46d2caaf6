// The output drawing: the file being written and what the writers keep for it.
#include "toolkit/write/writer.h"

#include <cstring>

namespace {
struct VersionRow {
    std::int16_t sizes[AD_R12_TABLE_COUNT];
};
// Fixed record sizes of the tables of AC1002..AC1009 files.
constexpr VersionRow kRecordSizes[5] = {
    {{38, 38, 194, 188, 92, 0, 0, 0, 0, 0}},
    {{38, 38, 194, 188, 92, 0, 0, 0, 0, 0}},
    {{37, 37, 194, 187, 91, 0, 0, 0, 0, 0}},
    {{37, 37, 194, 187, 149, 105, 249, 0, 0, 0}},
    {{45, 41, 198, 191, 153, 109, 253, 37, 324, 43}},
};
}  // namespace

AdOutputDrawing* adOpenOutputDrawing(const char* path, std::int16_t version, std::uint8_t format) {
    adSetError(AD_ERR_NO_DRAWING_MEMORY);
    auto* output = static_cast<AdOutputDrawing*>(HostAlloc(sizeof(AdOutputDrawing)));
    if (!output) return nullptr;
    std::memset(output, 0, sizeof(AdOutputDrawing));
    output->header = static_cast<AdHeaderVars*>(HostAlloc(sizeof(AdHeaderVars)));
    if (!output->header) {
        adCloseOutputDrawing(output);
        return nullptr;
    }
    std::memset(output->header, 0, sizeof(AdHeaderVars));
    adSetError(AD_ERR_FILE_OPEN);
    output->file = HostOpenFile(path, "w+b");
    if (!output->file) {
        adCloseOutputDrawing(output);
        return nullptr;
    }
    adSetError(AD_ERR_BUFFER_128K_B);
    output->bufferSize = adGlobals->outputBufferSize > 0 ? adGlobals->outputBufferSize : 0x4000;
    output->buffer = static_cast<std::uint8_t*>(HostAlloc(static_cast<std::size_t>(output->bufferSize)));
    if (!output->buffer) {
        adCloseOutputDrawing(output);
        return nullptr;
    }
    adSetError(AD_OK);
    output->format = format;
    output->textMode = format == AD_FORMAT_DXF_BINARY ? std::uint8_t{AD_FORMAT_DXF_ASCII} : format;
    output->version = version;
    output->sourceVersion = version;
    const bool wide = version > AD_VERSION_AC1006;
    output->byLayerLtypeIndex = wide ? 32767 : 256;
    output->byBlockLtypeIndex = wide ? 32766 : 255;
    return output;
}

void adSetOutputVersion(AdOutputDrawing* output, std::int16_t version, AdHeaderVars* header) {
    output->version = version;
    const char* text = adVersionString(version);
    if (!text) return;
    std::memset(header->acadver, 0, sizeof(header->acadver));
    std::strncpy(header->acadver, text, sizeof(header->acadver) - 1);
    if (version <= AD_VERSION_AC1009) std::memcpy(output->recordSizes, kRecordSizes[version].sizes, sizeof(output->recordSizes));
}

int adCloseOutputDrawing(AdOutputDrawing* output) {
    if (!output) return 1;
    int result = 1;
    if (output->file && HostClose(output->file) != 0) result = 0;
    if (output->pendingOwners) adStoreFree(output->pendingOwners);
    adFreeXrefNameBudgets(&output->budgets);
    if (output->viewportAddresses) HostFree(output->viewportAddresses);
    if (output->buffer) HostFree(output->buffer);
    if (output->header) HostFree(output->header);
    HostFree(output);
    return result;
}

int adOutWrite(AdOutputDrawing* output, const void* bytes, std::size_t count) {
    const auto* at = static_cast<const std::uint8_t*>(bytes);
    for (int attempt = 0;; ++attempt) {
        if (!output->file) {
            adSetError(AD_ERR_WRITE);
            return 0;
        }
        // A retry goes on after the bytes that did reach the file.
        const std::size_t written = count ? HostWrite(at, 1, count, output->file) : 0;
        at += written;
        count -= written;
        if (count == 0) return 1;
        adSetError(AD_ERR_WRITE);
        AdFatalErrorHook hook = adGlobals->hooks.fatalError;
        if (!hook) return 0;
        const int answer = hook(AD_FATAL_WRITER);
        if (answer == AD_WRITE_GIVE_UP) return 0;
        if (answer == 0) {
            HostClose(output->file);
            output->file = nullptr;
            hook(AD_FATAL_OUTPUT_CLOSED);
            return 0;
        }
        // A retry that keeps failing must not hang the save.
        if (attempt + 1 >= AD_WRITE_RETRY_LIMIT) return 0;
    }
}

void adReportSaveProgress(std::int32_t percent) {
    if (!adGlobals || !adGlobals->hooks.saveProgress) return;
    adGlobals->hooks.saveProgress(percent > 100 ? 100 : percent);
}
