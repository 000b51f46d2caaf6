// Annotation entity objects of AC1012+ files: MTEXT, LEADER, TOLERANCE and
// MLINE, the types that keep part of their data in stores of their own.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_entity_read.h"
#include "toolkit/db/dwg/dwg_table_entry.h"
#include "toolkit/ad_internal.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr std::int32_t kPiece = 512;
constexpr std::int16_t kLeaderColourAc1015 = 255;

// The values a store-building reader appends, into an open stream; every
// append after a failure is passed over, so the caller checks once.
struct StoreWriter {
    AdStore* store = nullptr;
    AdStream* out = nullptr;
    bool ok = false;

    bool open() { return ok = adDwgOpenStore(&store, &out); }
    void bytes(const void* data, std::int32_t count) {
        ok = ok && adBitUsable() && adStreamWrite(out, data, count) != 0;
    }
    void point() {
        double p[3] = {};
        adBitRead3D(p);
        bytes(p, sizeof p);
    }
    void count(std::int16_t n) { bytes(&n, sizeof n); }
    // Closes the stream; the store goes to target when everything was kept.
    int close(AdStore** target) {
        ok = ok && adBitUsable();
        if (!adDwgCloseStore(&store, out, ok)) return 0;
        *target = store;
        return 1;
    }
};

// A T of any length: a short one into the inline text, a long one into a
// new store.
int readMtextText(AdMtextData& m) {
    const std::int32_t length = static_cast<std::uint16_t>(adBitReadShort());
    if (length < static_cast<std::int32_t>(sizeof m.text)) {
        if (!adBitReadBytes(m.text, length)) return 0;
        m.text[length] = '\0';
        return 1;
    }
    StoreWriter w;
    if (!w.open()) return 0;
    std::uint8_t piece[kPiece];
    for (std::int32_t left = length; w.ok && left > 0; left -= kPiece) {
        const std::int32_t n = std::min(left, kPiece);
        adBitReadBytes(piece, n);
        w.bytes(piece, n);
    }
    return w.close(&m.longText);
}

// n doubles, after their count as int16.
void readParameters(StoreWriter& w) {
    const std::int16_t n = std::max<std::int16_t>(adBitReadShort(), 0);
    w.count(n);
    for (std::int16_t i = 0; w.ok && i < n; ++i) {
        double value = 0.0;
        adBitReadDouble(&value);
        w.bytes(&value, sizeof value);
    }
}

}  // namespace

int adDwgReadMtextEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdMtextData& m = data->mtext;
    adBitRead3D(m.insertion);
    adDwgReadNormal(header->extrusion);
    adBitRead3D(m.xAxis);
    adBitReadDouble(&m.referenceWidth);
    adBitReadDouble(&m.height);
    m.attachment = static_cast<std::uint8_t>(adBitReadShort());
    m.drawingDirection = static_cast<std::uint8_t>(adBitReadShort());
    adBitReadDouble(&m.extentsHeight);
    adBitReadDouble(&m.extentsWidth);
    if (!readMtextText(m)) return 0;
    m.lineSpacingStyle = 1;
    m.lineSpacingFactor = 1.0;
    if (adDwgIsAc1015(drawing)) {
        m.lineSpacingStyle = adBitReadShort();
        adBitReadDouble(&m.lineSpacingFactor);
        adBitReadBit();
    }
    return adDwgReadHandlesWith(drawing, header, &m.style, nullptr);
}

int adDwgReadLeaderEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdLeaderData& l = data->leader;
    const bool ac1015 = adDwgIsAc1015(drawing);
    adBitReadBit();
    l.annotationType = adBitReadShort();
    l.pathType = static_cast<std::uint8_t>(adBitReadShort());
    const std::int32_t count = adBitReadLong();
    if (count < 0 || count > INT16_MAX) return adBitFail();
    l.vertexCount = static_cast<std::int16_t>(count);
    StoreWriter w;
    if (!w.open()) return 0;
    double last[2][3] = {};
    for (std::int32_t i = 0; w.ok && i < count; ++i) {
        std::copy(last[1], last[1] + 3, last[0]);
        adBitRead3D(last[1]);
        w.bytes(last[1], sizeof last[1]);
    }
    if (!w.close(&l.vertices)) return 0;
    if ((l.annotationType == 0 || l.annotationType == 1) && count >= 2)
        l.hookline = static_cast<std::uint8_t>(adDirectionIsOblique(last[0], last[1]));
    double ignored[3] = {};
    adBitRead3D(ignored);
    adDwgReadNormal(header->extrusion);
    adBitRead3D(l.horizontalDirection);
    adBitRead3D(l.blockOffset);
    if (drawing->version >= AD_VERSION_AC1014) adBitRead3D(l.annotationOffset);
    if (!ac1015) adBitReadDouble(ignored);
    adBitReadDouble(&l.textHeight);
    adBitReadDouble(&l.textWidth);
    l.hooklineDirection = static_cast<std::uint8_t>(adBitReadBit());
    l.arrowhead = static_cast<std::uint8_t>(adBitReadBit());
    adBitReadShort();
    if (ac1015) {
        l.colour = kLeaderColourAc1015;
    } else {
        adBitReadDouble(ignored);
        adBitSkip(2);
        adBitReadShort();
        l.colour = adBitReadShort();
    }
    adBitSkip(2);
    return adDwgReadHandlesWith(drawing, header, &l.annotation, &l.dimStyle);
}

int adDwgReadToleranceEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdToleranceData& t = data->tolerance;
    if (!adDwgIsAc1015(drawing)) {
        double ignored = 0.0;
        adBitReadShort();
        adBitReadDouble(&ignored);
        adBitReadDouble(&ignored);
    }
    adBitRead3D(t.insertion);
    adBitRead3D(t.xDirection);
    adDwgReadNormal(header->extrusion);
    adDwgReadEntityText(t.text, sizeof t.text);
    return adDwgReadHandlesWith(drawing, header, &t.dimStyle, nullptr);
}

int adDwgReadMlineEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data) {
    AdMlineData& m = data->mline;
    adBitReadDouble(&m.scale);
    m.justification = adBitReadByte();
    adBitRead3D(m.start);
    adDwgReadNormal(header->extrusion);
    m.flags = adBitReadShort();
    m.lineCount = adBitReadByte();
    m.vertexCount = adBitReadLong();
    if (m.vertexCount < 0) return adBitFail();
    StoreWriter w;
    if (!w.open()) return 0;
    for (std::int32_t i = 0; w.ok && i < m.vertexCount; ++i) {
        for (int p = 0; p < 3; ++p) w.point();
        for (std::int16_t line = 0; w.ok && line < m.lineCount; ++line) {
            readParameters(w);
            readParameters(w);
        }
    }
    if (!w.close(&m.vertices)) return 0;
    return adDwgReadHandlesWith(drawing, header, &m.style, nullptr);
}
