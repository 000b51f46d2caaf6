// The TrueType glyph service's own state, shared by its files.
#pragma once
#include "platform/truetype/ttf_service.h"

constexpr std::size_t TTF_FACE_NAME_SIZE = 64;

struct TtfFace {
    char name[TTF_FACE_NAME_SIZE];
    LOGFONTA font;
    TtfFace* next;
};

struct TtfService {
    HDC dc;
    HFONT selected;
    std::uint8_t* glyphBuffer;
    std::uint32_t glyphBufferSize;
    MAT2 identity;
    TtfFace* faces;  // newest first
    std::int32_t pendingLead;  // -1 when none
    CRITICAL_SECTION lock;
    // The contours of the outline being converted.
    AdStore** contours;
    std::uint16_t* pointCounts;
    std::uint16_t contourCount;
    std::uint16_t contourCapacity;
    AdStream* contour;
    double penOrigin[2];
    double first[2];
    double previous[2];
};

extern TtfService* ttfService;

// Holds the service's lock for a scope: the face list is shared by the
// enumeration callback and every glyph request.
class TtfLock {
public:
    explicit TtfLock(TtfService* service) : service_(service) { EnterCriticalSection(&service_->lock); }
    ~TtfLock() { LeaveCriticalSection(&service_->lock); }
    TtfLock(const TtfLock&) = delete;
    TtfLock& operator=(const TtfLock&) = delete;

private:
    TtfService* service_;
};

// Makes the font a logical font describes the memory context's font,
// deleting the one selected before; 0 when it cannot be created.
int ttfSelectFont(const LOGFONTA* font);
