// Packing an entity into its stored form: header fields that hold their
// default are left out, handles keep only their significant bytes, and only
// the meaningful part of the type data is stored.
#include "toolkit/db/entity_insert_refs.h"
#include "toolkit/db/entity_layout.h"

#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "packed records are little-endian");

namespace {

constexpr std::size_t kHandleSize = sizeof(AdHandle);
constexpr std::size_t kImageMax = sizeof(AdPackedEntity) + AD_PACKED_OPTIONAL_MAX + AD_ENTITY_DATA_MAX;
static_assert(kImageMax <= 0xFFFF, "a packed record stays below 64 KB");

constexpr double kNoExtrusion[3] = {0.0, 0.0, 1.0};

template <typename T>
std::uint8_t* put(std::uint8_t* at, const T& value) {
    std::memcpy(at, &value, sizeof value);
    return at + sizeof value;
}

// The low-order significant bytes, in their big-endian order.
std::uint8_t* putHandleBytes(std::uint8_t* at, const AdHandle& handle, int length) {
    std::memcpy(at, handle.b + kHandleSize - static_cast<std::size_t>(length), static_cast<std::size_t>(length));
    return at + length;
}

std::uint8_t* putHandle(std::uint8_t* at, const AdHandle& handle) {
    const int length = adHandleLength(&handle);
    *at++ = static_cast<std::uint8_t>(length);
    return putHandleBytes(at, handle, length);
}

// A caller that set an extrusion but not its flag would lose it silently;
// either one stores it.
bool extruded(const AdEntityHeader& h) {
    return (h.flags & AD_ENTITY_FLAG_EXTRUDED) != 0 || std::memcmp(h.extrusion, kNoExtrusion, sizeof kNoExtrusion) != 0;
}

// Writes the optional part and the tail from `at`; answers their end.
std::uint8_t* packOptional(const AdEntityHeader& h, std::int32_t dataSize, AdPackedEntity& fixed, std::uint8_t* at) {
    fixed.mask = 0;
    fixed.mask2 = 0;
    if (h.thickness != 0.0) {
        fixed.mask |= AD_PACKED_THICKNESS;
        at = put(at, h.thickness);
    }
    if (h.color != AD_COLOR_BYLAYER) {
        fixed.mask |= AD_PACKED_COLOR;
        at = put(at, h.color);
    }
    if (extruded(h)) {
        fixed.mask |= AD_PACKED_EXTRUSION;
        at = put(at, h.extrusion);
    }
    if (h.xdata) {
        fixed.mask |= AD_PACKED_XDATA;
        at = put(at, h.xdata);
    }
    if (h.linetypeScale != 1.0) {
        fixed.mask |= AD_PACKED_LINETYPE_SCALE;
        at = put(at, h.linetypeScale);
    }
    if (h.spareWord != 0) {
        fixed.mask |= AD_PACKED_SPARE_WORD;
        at = put(at, h.spareWord);
    }
    if (h.reactors) {
        fixed.mask |= AD_PACKED_REACTORS;
        at = put(at, h.reactorCount);
        at = put(at, h.reactors);
    }
    if (adHandleLength(&h.extensionDictionary) != 0) {
        fixed.mask |= AD_PACKED_XDICTIONARY;
        at = putHandle(at, h.extensionDictionary);
    }
    if (adHandleLength(&h.plotStyle) != 0) {
        fixed.mask2 |= AD_PACKED2_PLOT_STYLE;
        at = putHandle(at, h.plotStyle);
    }
    at = put(at, h.lineweight);
    const int layerLength = adHandleLength(&h.layer);
    const int linetypeLength = adHandleLength(&h.linetype);
    *at++ = static_cast<std::uint8_t>(layerLength << 4 | linetypeLength);
    at = putHandleBytes(at, h.layer, layerLength);
    at = putHandleBytes(at, h.linetype, linetypeLength);
    return put(at, static_cast<std::uint16_t>(dataSize));
}

// Builds the whole record image; answers its length.
std::size_t packImage(const AdEntityHeader& h, int layout, const AdEntityData* data, std::uint8_t* image) {
    AdPackedEntity fixed{};
    fixed.type = h.type;
    fixed.handle = h.handle;
    fixed.flags = h.flags;
    if (extruded(h)) fixed.flags |= AD_ENTITY_FLAG_EXTRUDED;

    // The data goes to the end of the largest optional part first, and moves
    // down behind the optional part once that is known.
    std::uint8_t* dataAt = image + sizeof(AdPackedEntity) + AD_PACKED_OPTIONAL_MAX;
    std::int32_t dataSize = 0;
    if (data) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
        const std::int32_t fixedSize =
            layout == AD_ENTITY_VERTEX ? adVertexStoredSize(&data->vertex) : adEntityLayoutSize(layout);
        dataSize = adEntityTextsPack(layout, bytes, dataAt, fixedSize);
    }
    std::uint8_t* optional = image + sizeof(AdPackedEntity);
    std::uint8_t* end = packOptional(h, dataSize, fixed, optional);
    fixed.optionalLength = static_cast<std::uint16_t>(end - optional);
    std::memmove(end, dataAt, static_cast<std::size_t>(dataSize));
    std::memcpy(image, &fixed, sizeof fixed);
    return static_cast<std::size_t>(end - image) + static_cast<std::size_t>(dataSize);
}

}  // namespace

AdListRecord* adPackEntityRecord(AdDrawing* drawing, AdRecordList* list, const AdEntityHeader* header,
                                 const AdEntityData* data, int position, AdListRecord* reference) {
    if (!drawing || !list || !header) return nullptr;
    const int layout = adEntityLayout(drawing, header->type);
    if (!data && adEntityLayoutSize(layout) != 0) return nullptr;

    AdListRecord* block = nullptr;
    if (header->type == AD_ENTITY_INSERT) {
        block = adInsertBlockRecord(drawing, &data->insert.block);
        // While a file is read its blocks may come after their INSERTs.
        if (!block && !drawing->file) {
            adSetError(AD_ERR_INSERT_BLOCK);
            return nullptr;
        }
    }

    alignas(8) std::uint8_t image[kImageMax];
    const std::size_t length = packImage(*header, layout, data, image);
    AdListRecord* record = adListInsertNew(image, length, list, position, reference);
    if (!record) return nullptr;
    // The reference goes in only once the INSERT is stored, so that a failed
    // pack leaves no reference to an entity that does not exist.
    if (block && !adInsertReferenceAdd(block, &header->handle)) {
        adListUnlink(list, record);
        HostFree(record);
        return nullptr;
    }
    return record;
}
