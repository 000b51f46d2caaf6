// Proxy and zombie entities, and entities of registered classes the reader
// does not know, which are kept bit-coded for a writer to emit again.
#include "toolkit/db/dxf/dxf_entity_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

namespace {
bool isReference(std::int16_t code) { return code == 330 || code == 340 || code == 350 || code == 360; }

// The current reference and those that follow, up to a 94 group or any
// other.
bool readReferences(AdDxfEntityRead& read) {
    do {
        const AdDxfToken& t = adDxfToken();
        if (t.code == 94) return true;
        if (!isReference(t.code)) return adDxfPutBack(read.drawing) != 0;
        if (!adDxfAddReference(read.refStream, &read.refCount, t.handle, t.code)) return false;
    } while (adDxfReadGroup(read.drawing));
    return true;
}

bool encodedGroup(AdDxfEntityRead& read, std::int16_t code) {
    if (!read.classPart) {
        read.classPart = code == 100 && std::strcmp(adDxfToken().text, "AcDbEntity") == 0;
        return true;
    }
    if (code >= 370) return true;
    // A code the encoder does not carry is left out; only a store that ran
    // out of memory fails the entity.
    return !adDxfEncodable(code) || adDxfEncodeGroup(read.drawing, nullptr, read.refStream, &read.refCount);
}
}  // namespace

bool adDxfProxyEntityGroup(AdDxfEntityRead& read, std::int16_t code) {
    if (read.encoded) return encodedGroup(read, code);
    AdProxyData& p = read.data->proxy;
    switch (code) {
        case 90: p.classId = static_cast<std::int16_t>(adDxfTokenInteger()); return true;
        case 91: {
            // Only a number that still reads as a proxy may become the type:
            // any other would have the proxy data taken for another type's.
            const std::int32_t number = adDxfTokenInteger();
            p.applicationClass = static_cast<std::int16_t>(number);
            if (number >= AD_ENTITY_PROXY && number <= 0x7FFF &&
                adEntityKind(read.drawing, static_cast<std::uint16_t>(number)) == AD_KIND_PROXY)
                read.header->type = static_cast<std::uint16_t>(number);
            return true;
        }
        case 92: return p.graphics || adDxfReadFollowingChunks(read.drawing, &p.graphics);
        // The drawing format and the original format the proxy's data was
        // written in: its data is meaningless without them, and a save
        // writes them back.
        case 95: p.drawingFormat = adDxfTokenInteger(); return true;
        case 70:
            if (read.classPart) p.originalFormat = static_cast<std::int16_t>(adDxfTokenInteger());
            return true;
        case 93:
            p.dataBits = adDxfTokenInteger();
            return p.data || adDxfReadFollowingChunks(read.drawing, &p.data);
        case 100:
            if (std::strcmp(adDxfToken().text, "AcDbProxyEntity") == 0) read.classPart = true;
            return true;
        default: return !read.classPart || !isReference(code) || readReferences(read);
    }
}
