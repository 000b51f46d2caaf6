// Objects kept as their class wrote them: zombie and proxy objects with
// their data bytes and references, and objects of other registered
// classes, bit-coded by the in-memory encoder.
#include "toolkit/db/dxf/dxf_entity_reader.h"
#include "toolkit/db/dxf/dxf_object_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

namespace {

bool isReference(std::int16_t code) { return code == 330 || code == 340 || code == 350 || code == 360; }

struct References {
    AdStore* store = nullptr;
    AdStream* stream = nullptr;

    bool open() { return adDxfNewStore(&store, &stream); }
    // The store goes to the data when it holds a reference.
    bool close(AdProxyObjectData* data, bool ok) {
        ok = adStreamCloseWrite(stream) && ok;
        if (ok && data->referenceCount > 0) data->references = store;
        else adStoreFree(store);
        return ok;
    }
};
}  // namespace

bool adDxfReadProxyObject(AdDxfObjectRead& read, AdProxyObjectData* data) {
    References refs;
    if (!refs.open()) return false;
    bool ok = true;
    while (ok && adDxfObjectGroup(read)) {
        const AdDxfToken& t = adDxfToken();
        switch (t.code) {
            case 70: data->formatFlag = static_cast<std::int16_t>(adDxfTokenInteger()); break;
            case 91: {
                // A number that is neither a class nor one this reader reads
                // itself would have the data taken for another type's.
                const std::int32_t number = adDxfTokenInteger();
                if (number >= AD_FIRST_CLASS_NUMBER && number <= 0x7FFF &&
                    !adDxfIsKnownObjectClass(read.drawing, number))
                    read.header->type = static_cast<std::int16_t>(number);
                else
                    data->classId = number;
                break;
            }
            case 93: data->dataBits = adDxfTokenInteger(); break;
            case 95: data->instanceCount = adDxfTokenInteger(); break;
            case 310:
                if (!data->data) ok = adDxfReadChunks(read.drawing, &data->data) != 0;
                break;
            case 94: break;
            default:
                if (isReference(t.code))
                    ok = adDxfAddReference(refs.stream, &data->referenceCount, t.handle, t.code);
                break;
        }
    }
    return refs.close(data, ok);
}

bool adDxfReadEncodedObject(AdDxfObjectRead& read, std::int16_t classNumber, AdProxyObjectData* data) {
    data->classId = classNumber;
    data->formatFlag = 1;
    References refs;
    if (!refs.open()) return false;
    bool ok = adDxfEncodeStart(read.drawing);
    const AdDxfToken& t = adDxfToken();
    if (ok && t.code == 100) ok = adEncodeShort(t.code) && adEncodeText(t.text);
    while (ok && adDxfObjectGroup(read))
        ok = !adDxfEncodable(t.code) ||
             adDxfEncodeGroup(read.drawing, nullptr, refs.stream, &data->referenceCount);
    if (ok) ok = adEncodeShort(0) != 0;
    std::int32_t bits = 0;
    data->data = adEncodeEnd(read.drawing, &bits);
    data->dataBits = bits;
    return refs.close(data, ok && data->data);
}
