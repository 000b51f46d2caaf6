// Fixed records of the multiline-style and point stores.
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <cstring>

int adStreamWriteMlineElement(AdStream* stream, const AdMlineElement* element) {
    if (!stream) {
        adSetError(AD_ERR_STREAM_WRITE_NULL);
        return 0;
    }
    // Field by field, so that the spare bytes go out as zeros.
    std::uint8_t record[16] = {};
    std::memcpy(record, &element->colour, 2);
    std::memcpy(record + 2, &element->linetypeIndex, 2);
    std::memcpy(record + 8, &element->offset, 8);
    return adStreamWrite(stream, record, sizeof record);
}

int adStreamReadPoint2D(AdStream* stream, double point[2]) {
    if (!stream) return 0;
    return adStreamRead(stream, point, 2 * sizeof(double));
}
