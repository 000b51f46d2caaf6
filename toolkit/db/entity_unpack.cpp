// Unpacking a stored entity: the inverse of packing. Every field is read only
// after checking that it lies within the lengths the record states, so a
// damaged record is refused rather than read beyond its end.
#include "toolkit/db/entity_layout.h"

#include <cstring>

namespace {

constexpr std::size_t kHandleSize = sizeof(AdHandle);

// A bounded reader over the optional part.
struct Cursor {
    const std::uint8_t* at;
    std::size_t left;

    template <typename T>
    bool take(T& value) {
        if (left < sizeof value) return false;
        std::memcpy(&value, at, sizeof value);
        at += sizeof value;
        left -= sizeof value;
        return true;
    }

    // Rebuilds a handle right-aligned in zero bytes.
    bool takeHandleBytes(AdHandle& handle, std::size_t length) {
        handle = AdHandle{};
        if (length > kHandleSize || left < length) return false;
        std::memcpy(handle.b + kHandleSize - length, at, length);
        at += length;
        left -= length;
        return true;
    }

    bool takeHandle(AdHandle& handle) {
        std::uint8_t length = 0;
        return take(length) && takeHandleBytes(handle, length);
    }
};

bool unpackOptional(const AdPackedEntity& fixed, Cursor& in, AdEntityHeader& h, std::uint16_t& dataSize) {
    h.thickness = 0.0;
    h.color = AD_COLOR_BYLAYER;
    h.extrusion[0] = h.extrusion[1] = 0.0;
    h.extrusion[2] = 1.0;
    h.xdata = nullptr;
    h.linetypeScale = 1.0;
    h.spareWord = 0;
    h.reactorCount = 0;
    h.reactors = nullptr;
    h.extensionDictionary = AdHandle{};
    h.plotStyle = AdHandle{};
    if ((fixed.mask & AD_PACKED_THICKNESS) && !in.take(h.thickness)) return false;
    if ((fixed.mask & AD_PACKED_COLOR) && !in.take(h.color)) return false;
    if ((fixed.mask & AD_PACKED_EXTRUSION) && !in.take(h.extrusion)) return false;
    if ((fixed.mask & AD_PACKED_XDATA) && !in.take(h.xdata)) return false;
    if ((fixed.mask & AD_PACKED_LINETYPE_SCALE) && !in.take(h.linetypeScale)) return false;
    if ((fixed.mask & AD_PACKED_SPARE_WORD) && !in.take(h.spareWord)) return false;
    if ((fixed.mask & AD_PACKED_REACTORS) && !(in.take(h.reactorCount) && in.take(h.reactors))) return false;
    if ((fixed.mask & AD_PACKED_XDICTIONARY) && !in.takeHandle(h.extensionDictionary)) return false;
    if ((fixed.mask2 & AD_PACKED2_PLOT_STYLE) && !in.takeHandle(h.plotStyle)) return false;
    std::uint8_t lengths = 0;
    return in.take(h.lineweight) && in.take(lengths) && in.takeHandleBytes(h.layer, lengths >> 4) &&
           in.takeHandleBytes(h.linetype, lengths & 0x0F) && in.take(dataSize) && in.left == 0;
}

// Whether a data size is one the type may have. A class type is told by its
// size alone, since a record does not name its drawing.
bool sizeFits(std::uint16_t type, std::int32_t size) {
    if (type >= AD_ENTITY_PROXY) return adEntityClassSizeValid(size);
    const int layout = adEntityLayout(nullptr, type);
    const std::int32_t fixedSize = adEntityLayoutSize(layout);
    if (layout == AD_ENTITY_VERTEX) return adVertexSizeValid(size);
    const std::int32_t room = adEntityTextsRoom(layout);
    if (room > 0) return size >= fixedSize && size <= fixedSize + room;
    return size == fixedSize;
}

// Restores what packing left out of the copied data.
bool restoreData(std::uint16_t type, AdEntityData* data, std::int32_t size) {
    if (type >= AD_ENTITY_PROXY) return true;
    const int layout = adEntityLayout(nullptr, type);
    if (adEntityTextsRoom(layout) > 0)
        return adEntityTextsUnpack(layout, reinterpret_cast<std::uint8_t*>(data), size, adEntityLayoutSize(layout));
    if (layout == AD_ENTITY_VERTEX) adVertexRestore(&data->vertex, size);
    if (layout == AD_ENTITY_VIEWPORT) data->viewport.unpackMark = 0;
    return true;
}

int corrupt() {
    adSetError(AD_ERR_PACKED_ENTITY);
    adFatalError(AD_FATAL_BAD_STORED_DATA);
    return 0;
}

}  // namespace

int adUnpackEntityRecord(AdListRecord* record, AdEntityHeader* header, AdEntityData* data,
                         std::uint8_t** dataPosition, AdListRecord** next) {
    if (!record || !header) return 0;
    AdPackedEntity fixed;
    HostMemMove(&fixed, record, sizeof fixed);
    if (fixed.optionalLength > AD_PACKED_OPTIONAL_MAX) return corrupt();
    std::uint8_t optional[AD_PACKED_OPTIONAL_MAX];
    std::uint8_t* start = reinterpret_cast<std::uint8_t*>(record) + sizeof(AdPackedEntity);
    HostMemMove(optional, start, fixed.optionalLength);

    header->type = fixed.type;
    header->handle = fixed.handle;
    header->reservedHandle = AdHandle{};
    Cursor in{optional, fixed.optionalLength};
    std::uint16_t dataSize = 0;
    if (!unpackOptional(fixed, in, *header, dataSize) || !sizeFits(fixed.type, dataSize)) return corrupt();
    header->flags = fixed.flags & static_cast<std::uint8_t>(~AD_ENTITY_FLAG_EXTRUDED);
    if (fixed.mask & AD_PACKED_EXTRUSION) header->flags |= AD_ENTITY_FLAG_EXTRUDED;

    std::uint8_t* stored = start + fixed.optionalLength;
    if (dataSize != 0) {
        if (!data) return 0;
        HostMemMove(data, stored, dataSize);
    }
    if (!restoreData(fixed.type, data, dataSize)) return corrupt();
    if (dataPosition) *dataPosition = stored;
    if (next) *next = fixed.links.next;
    return 1;
}
