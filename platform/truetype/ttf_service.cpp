// Start and stop of the TrueType glyph service.
#include "platform/truetype/ttf_state.h"

#include <new>

TtfService* ttfService = nullptr;

namespace {
constexpr std::uint32_t kFirstGlyphBuffer = 10;
}

int TTFInit() {
    if (ttfService) return 1;
    void* block = HostAlloc(sizeof(TtfService));
    if (!block) return 0;
    auto* service = new (block) TtfService();
    service->dc = CreateCompatibleDC(nullptr);
    service->glyphBuffer = static_cast<std::uint8_t*>(HostAlloc(kFirstGlyphBuffer));
    if (!service->dc || !service->glyphBuffer) {
        if (service->dc) DeleteDC(service->dc);
        HostFree(service->glyphBuffer);
        HostFree(service);
        return 0;
    }
    SetMapMode(service->dc, MM_TEXT);
    service->glyphBufferSize = kFirstGlyphBuffer;
    service->identity.eM11.value = 1;
    service->identity.eM22.value = 1;
    service->pendingLead = -1;
    InitializeCriticalSection(&service->lock);
    ttfService = service;
    return 1;
}

void TTFTerm() {
    TtfService* service = ttfService;
    if (!service) return;
    for (TtfFace* face = service->faces; face;) {
        TtfFace* next = face->next;
        HostFree(face);
        face = next;
    }
    HostFree(service->glyphBuffer);
    if (service->selected) DeleteObject(SelectObject(service->dc, GetStockObject(SYSTEM_FONT)));
    DeleteDC(service->dc);
    DeleteCriticalSection(&service->lock);
    HostFree(service);
    ttfService = nullptr;
}

int ttfSelectFont(const LOGFONTA* font) {
    HFONT created = CreateFontIndirectA(font);
    if (!created) return 0;
    HGDIOBJ old = SelectObject(ttfService->dc, created);
    if (ttfService->selected && old == ttfService->selected) DeleteObject(old);
    ttfService->selected = created;
    return 1;
}
