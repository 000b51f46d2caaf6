// REGION, 3DSOLID and BODY records: the SAT text in coded blocks, then the
// data bits the reader kept after it.
#include "toolkit/write/dwg/dwg_entity_head.h"

#include <cstring>
#include <memory>

namespace {
constexpr std::int32_t kBlock = 4096;
constexpr std::int32_t kPiece = 512;
// Where the text has been read back as 4.0.2 with its counts one short, the
// version string and the date that follows it are counted again.
constexpr char kShortVersion[] = "13 A CIS 4.0.2 NT";
constexpr const char* kMonths[] = {"A pr", "A ug"};
constexpr std::ptrdiff_t kMonthCount = 6;

struct HostBuffer {
    void operator()(std::uint8_t* p) const { HostFree(p); }
};

void recount(std::uint8_t* block, std::int32_t length) {
    block[length] = '\0';
    char* text = reinterpret_cast<char*>(block);
    char* version = std::strstr(text, kShortVersion);
    if (!version) return;
    version[1] = '4';
    for (const char* month : kMonths) {
        char* at = std::strstr(text, month);
        if (!at) continue;
        if (at - text >= kMonthCount + 1 && at[-kMonthCount] == '4') at[-kMonthCount] = '5';
        return;
    }
}

int writeText(AdStore* sat, std::uint8_t* block) {
    // BS 64 and BD 1.0: coded blocks follow.
    adBitWriteShort(64);
    adBitWriteDouble(1.0);
    AdStream* in = adStreamOpenRead(sat);
    if (!in) return 0;
    int ok = 1;
    bool first = true;
    for (std::int32_t left = adStoreSize(sat); ok && left > 0; first = false) {
        const std::int32_t n = left < kBlock ? left : kBlock;
        ok = adStreamRead(in, block, n);
        if (!ok) break;
        if (first) recount(block, n);
        for (std::int32_t i = 0; i < n; ++i) block[i] = adSatRestoreByte(block[i]);
        adBitWriteLong(n);
        ok = adBitWriteBytes(block, n) > 0;
        left -= n;
    }
    adStreamCloseRead(in);
    adBitWriteLong(0);
    return ok && adBitUsable();
}
}  // namespace

int adDwgWriteSatTrailer(const AdSatData& sat) {
    if (!sat.satTail) {
        if (sat.satFlag != 1) adBitWriteBit(0);
        return adBitUsable() ? 1 : 0;
    }
    AdStream* in = adStreamOpenRead(sat.satTail);
    if (!in) return 0;
    std::uint8_t flag = 0;
    std::int32_t bits = 0;
    int ok = adStreamRead(in, &flag, 1) && adStreamRead(in, &bits, sizeof bits) && bits >= 0;
    if (ok && flag == 0) {
        adBitWriteBit(1);
        adBitWriteBit(1);
    }
    std::uint8_t piece[kPiece];
    for (std::int32_t left = ok ? bits / 8 : 0; ok && left > 0;) {
        const std::int32_t n = left < kPiece ? left : kPiece;
        ok = adStreamRead(in, piece, n) && adBitWriteBytes(piece, n) > 0;
        left -= n;
    }
    std::uint8_t last = 0;
    if (ok && bits % 8 != 0) {
        ok = adStreamRead(in, &last, 1);
        for (int i = 0; ok && i < bits % 8; ++i) adBitWriteBit((last >> (7 - i)) & 1);
    }
    adStreamCloseRead(in);
    return ok && adBitUsable() ? 1 : 0;
}

int adDwgWriteSatEntity(AdDwgWriter* writer, const AdEntityHeader* header, const AdEntityData* data,
                        const AdDwgEntityLinks& links, std::int16_t type) {
    // A block's worth and the NUL the version search needs.
    std::unique_ptr<std::uint8_t, HostBuffer> block(static_cast<std::uint8_t*>(HostAlloc(kBlock + 1)));
    if (!block) {
        // The entity cannot be written without it, whatever the hook says.
        adNoMemory(AD_ERR_BUFFER_128K_A);
        return 0;
    }
    const AdSatData& sat = data->sat;
    if (sat.satText && !writeText(sat.satText, block.get())) return 0;
    if (!adDwgWriteSatTrailer(sat)) return 0;
    return adDwgEntityHandles(writer, header, type, links);
}
