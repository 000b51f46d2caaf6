// Extended data in the written form of DWG records: per item a code byte
// (code - 1000) and the value, in the output's bounded conversion buffer.
#include "toolkit/write/writer.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {
constexpr std::uint8_t kCodePageAc1012 = 12;
constexpr std::uint8_t kCodePageLater = 30;

bool put(AdOutputDrawing* output, const void* bytes, std::int32_t count) {
    if (count < 0 || output->xdataLength + count > AD_XDATA_CONVERT_SIZE) {
        output->xdataOverflow = 1;
        return false;
    }
    std::memcpy(output->xdata + output->xdataLength, bytes, static_cast<std::size_t>(count));
    output->xdataLength += count;
    return true;
}

bool putByte(AdOutputDrawing* output, std::uint8_t value) { return put(output, &value, 1); }

bool putShort(AdOutputDrawing* output, std::int16_t value) {
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF)};
    return put(output, bytes, 2);
}

bool putLong(AdOutputDrawing* output, std::int32_t value) {
    std::uint8_t bytes[4];
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
    return put(output, bytes, 4);
}

bool putDoubles(AdOutputDrawing* output, const double* values, int count) {
    for (int i = 0; i < count; ++i) {
        std::uint64_t bits;
        std::memcpy(&bits, &values[i], sizeof bits);
        std::uint8_t bytes[8];
        for (int b = 0; b < 8; ++b) bytes[b] = static_cast<std::uint8_t>((bits >> (8 * b)) & 0xFF);
        if (!put(output, bytes, 8)) return false;
    }
    return true;
}

// A string of at most 255 bytes behind its length byte (and, in bit-coded
// DWG files, the code page).
bool putString(AdOutputDrawing* output, const char* text, std::uint8_t codePage) {
    const std::size_t length = std::min<std::size_t>(std::strlen(text), 255);
    if (!putByte(output, static_cast<std::uint8_t>(length))) return false;
    if (output->format == AD_FORMAT_DWG && output->version >= AD_VERSION_FIRST_BITCODED &&
        (!putByte(output, 0) || !putByte(output, codePage)))
        return false;
    return put(output, text, static_cast<std::int32_t>(length));
}

std::uint8_t stringCodePage(const AdOutputDrawing* output, const AdXdataItem* item) {
    if (adGlobals->xdataCodePages) {
        const std::size_t length = strnlen(item->value.text, AD_XDATA_VALUE_SIZE - 1);
        return static_cast<std::uint8_t>(item->value.text[length + 1]);
    }
    return output->version == AD_VERSION_FIRST_BITCODED ? kCodePageAc1012 : kCodePageLater;
}
}  // namespace

void adR12XdataReset(AdOutputDrawing* output) {
    output->xdataLength = 0;
    output->xdataOverflow = 0;
}

int adR12XdataItem(AdDrawing* drawing, AdOutputDrawing* output, const AdXdataItem* item) {
    const std::int16_t code = item->code;
    const bool known = (code >= 1000 && code <= 1005) || (code >= 1010 && code <= 1013) ||
                       (code >= 1040 && code <= 1042) || code == 1070 || code == 1071;
    if (!known) return 1;
    if (!putByte(output, static_cast<std::uint8_t>(code - 1000))) return 0;
    const bool dxf = output->format != AD_FORMAT_DWG;
    switch (code) {
        case 1000:
            return putString(output, item->value.text, stringCodePage(output, item));
        case 1001: {
            if (dxf) {
                auto appid = std::make_unique<AdAppidRecord>();
                if (!adXdataAppidByHandle(drawing, &item->value.handle, appid.get())) {
                    adSetError(AD_ERR_XDATA_APPID);
                    return 0;
                }
                return putString(output, appid->name, kCodePageLater);
            }
            std::int16_t index = 0;
            return adXdataHandlesToIndexes(drawing, item, &index) && putShort(output, index);
        }
        case 1002:
            return putByte(output, item->value.text[0] == '}' ? 1 : 0);
        case 1003: {
            if (dxf) {
                auto layer = std::make_unique<AdLayerRecord>();
                if (!adXdataLayerByHandle(drawing, &item->value.handle, layer.get())) {
                    adSetError(AD_ERR_XDATA_LAYER);
                    return 0;
                }
                return putString(output, layer->name, kCodePageLater);
            }
            if (output->version >= AD_VERSION_FIRST_BITCODED) return put(output, item->value.handle.b, 8);
            std::int16_t index = 0;
            return adXdataHandlesToIndexes(drawing, item, &index) && putShort(output, index);
        }
        case 1004: {
            const std::int16_t length = item->length < 0 ? 0 : std::min<std::int16_t>(item->length, 255);
            return putByte(output, static_cast<std::uint8_t>(length)) && put(output, item->value.bytes, length);
        }
        case 1005:
            return put(output, item->value.handle.b, 8);
        case 1010:
        case 1011:
        case 1012:
        case 1013:
            return putDoubles(output, item->value.point, 3);
        case 1040:
        case 1041:
        case 1042:
            return putDoubles(output, &item->value.real, 1);
        case 1070:
            return putShort(output, item->value.int16);
        case 1071:
            return putLong(output, item->value.int32);
        default:
            return 1;
    }
}
