// The chain of drawings being drawn and the queue of external references.
#include "toolkit/display/xref.h"

#include <cstring>
#include <new>
#include <string>

namespace {

std::string upper(const char* path) {
    std::string text(path);
    adStrUpper(text.data(), adCurrentCodePage());
    return text;
}

}  // namespace

int adChainAppend(AdStore* chain, const char* path) {
    AdStream* stream = adStreamOpenAppend(chain);
    if (!stream) return 0;
    try {
        const std::string text = upper(path);
        const int ok = adStreamWrite(stream, text.c_str(), static_cast<std::int32_t>(text.size() + 1));
        adStreamCloseAppend(stream);
        return ok;
    } catch (const std::bad_alloc&) {
        adStreamCloseAppend(stream);
        return 0;
    }
}

// Paths compare whole: "PLAN.DWG" is not "SITEPLAN.DWG", though one holds
// the other.
int adChainContains(AdStore* chain, const char* path) {
    const std::int32_t size = adStoreSize(chain);
    if (size <= 0) return 0;
    AdStream* stream = adStreamOpenRead(chain);
    if (!stream) return 0;
    int found = 0;
    try {
        const std::string wanted = upper(path);
        std::string entry;
        for (std::int32_t i = 0; i < size && !found; ++i) {
            std::uint8_t byte = 0;
            if (!adStreamReadByte(stream, &byte)) break;
            if (byte != 0) {
                entry += static_cast<char>(byte);
                continue;
            }
            found = entry == wanted;
            entry.clear();
        }
    } catch (const std::bad_alloc&) {
        found = 0;
    }
    adStreamCloseRead(stream);
    return found;
}

AdStore* adChainExtend(AdStore* chain, const char* path) {
    AdStore* copy = adStoreCreate(AD_STORE_BLOCK_SIZE);
    if (!copy) return nullptr;
    const std::int32_t size = chain ? adStoreSize(chain) : 0;
    bool ok = true;
    if (size > 0) {
        AdStream* in = adStreamOpenRead(chain);
        AdStream* out = in ? adStreamOpenWrite(copy) : nullptr;
        ok = out != nullptr;
        for (std::int32_t i = 0; ok && i < size; ++i) {
            std::uint8_t byte = 0;
            ok = adStreamReadByte(in, &byte) && adStreamWriteByte(out, byte);
        }
        if (out) adStreamCloseWrite(out);
        if (in) adStreamCloseRead(in);
    }
    if (ok && adChainAppend(copy, path)) return copy;
    adStoreFree(copy);
    return nullptr;
}

int adXrefQueueAdd(AdRecordList* queue, const AdXrefRequest* request) {
    return adListAppendNew(request, sizeof *request, queue) != nullptr;
}

int adXrefQueuePop(AdRecordList* queue, AdXrefRequest* out) {
    AdListRecord* first = queue ? adListFirst(queue) : nullptr;
    if (!first) return 0;
    std::memcpy(out, adListRecordData(first), sizeof *out);
    adListUnlink(queue, first);
    HostFree(first);
    return 1;
}
