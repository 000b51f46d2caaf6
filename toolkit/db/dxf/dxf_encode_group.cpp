// One group of a class entity or object the reader keeps bit-coded: its
// code, then its value in the coding of the value's class.
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/dxf/dxf_entity_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <numbers>

namespace {
enum class Coding { None, Point, Real, Angle, Short, Long, Text, Bytes, Handle, Reference, Graphics };

Coding codingOf(std::int16_t code, bool graphics) {
    if (code == 92 && graphics) return Coding::Graphics;
    if ((code >= 10 && code <= 18) || code == 210) return Coding::Point;
    if ((code >= 40 && code <= 49) || (code >= 140 && code <= 149)) return Coding::Real;
    if (code >= 50 && code <= 59) return Coding::Angle;
    if ((code >= 60 && code <= 79) || (code >= 170 && code <= 179) || (code >= 270 && code <= 299))
        return Coding::Short;
    if (code >= 90 && code <= 99) return Coding::Long;
    if ((code >= 1 && code <= 9) || code == 100 || code == 102 || (code >= 300 && code <= 309)) return Coding::Text;
    if (code >= 310 && code <= 319) return Coding::Bytes;
    if (code >= 320 && code <= 329) return Coding::Handle;
    if (code >= 330 && code <= 369) return Coding::Reference;
    return Coding::None;
}

// The current and every following 310 group's bytes appended to store.
bool appendGraphics(AdDrawing* drawing, AdStore* store) {
    AdStream* out = adStreamOpenAppend(store);
    if (!out) return false;
    std::uint8_t bytes[AD_DXF_LINE_LIMIT / 2 + 1];
    bool ok = true;
    while (ok && adDxfReadGroup(drawing)) {
        if (adDxfToken().code != 310) {
            ok = adDxfPutBack(drawing) != 0;
            break;
        }
        std::int16_t count = 0;
        ok = adHexToBytes(adDxfToken().text, bytes, sizeof bytes, &count) && adStreamWrite(out, bytes, count);
    }
    return adStreamCloseAppend(out) && ok;
}
}  // namespace

// A DXF drawing has no bit stream of its own until the first record it
// keeps bit-coded; the DWG reader's state gives it one.
bool adDxfEncodeStart(AdDrawing* drawing) {
    if (!drawing->bitStream && !adDwgBeginFile(drawing)) return false;
    return adEncodeBegin(drawing) != 0;
}

bool adDxfEncodable(std::int16_t code) { return codingOf(code, false) != Coding::None; }

int adDxfEncodeGroup(AdDrawing* drawing, AdStore* graphics, AdStream* references, std::int32_t* referenceCount) {
    if (!drawing || !adGlobals) return 0;
    const AdDxfToken& t = adDxfToken();
    const Coding coding = codingOf(t.code, graphics != nullptr);
    // A code without a value coding is left out whole: a code without its
    // value would make every later group unreadable.
    if (coding == Coding::None) return 0;
    if (coding == Coding::Graphics) return appendGraphics(drawing, graphics) ? 1 : 0;
    // A reference's code stays in the data, where it was, and its handle goes
    // to the reference store: the groups are written back in their order.
    if (!adEncodeShort(t.code)) return 0;
    if (coding == Coding::Reference)
        return referenceCount && adDxfAddReference(references, referenceCount, t.handle, t.code) ? 1 : 0;
    switch (coding) {
        case Coding::Point: {
            double point[3];
            return adDxfReadPoint(drawing, point, t.code) && adEncodePoint3D(point);
        }
        case Coding::Real: return adEncodeDouble(t.real);
        case Coding::Angle: return adEncodeDouble(t.real * std::numbers::pi / 180.0);
        case Coding::Short: return adEncodeShort(static_cast<std::int16_t>(adDxfTokenInteger()));
        case Coding::Long: return adEncodeLong(adDxfTokenInteger());
        case Coding::Text: return adEncodeText(t.text);
        case Coding::Bytes: {
            std::uint8_t bytes[AD_DXF_LINE_LIMIT / 2 + 1];
            std::int16_t count = 0;
            return adHexToBytes(t.text, bytes, sizeof bytes, &count) && adEncodeBytes(bytes, count);
        }
        case Coding::Handle: return adEncodeHandle(&t.handle);
        default: return 0;
    }
}
