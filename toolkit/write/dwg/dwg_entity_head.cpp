// The common part of entity records: what precedes an entity's own fields
// and the handles that follow its data, per version.
#include "toolkit/write/dwg/dwg_entity_head.h"

#include "toolkit/db/bit_stream_state.h"

#include <cstring>
#include <initializer_list>

namespace {
constexpr std::uint16_t kFirstClassEntity = 498;

bool sameHandle(const AdHandle& a, const AdHandle& b) { return std::memcmp(a.b, b.b, sizeof a.b) == 0; }

bool isOne(const AdHandle& h) { return adHandleLength(&h) == 1 && h.b[7] == 1; }

// Neighbours one handle below and above need not be written: the reader
// takes them from the entity's own handle.
bool noLinks(const AdHandle& own, const AdDwgEntityLinks& links) {
    AdHandle below{};
    AdHandle above{};
    adHandleSubtract(&own, &links.previous, &below);
    adHandleSubtract(&links.next, &own, &above);
    return adHandleLength(&links.previous) && adHandleLength(&links.next) && isOne(below) && isOne(above);
}

bool byLayerLinetype(const AdDwgWriter* writer, const AdEntityHeader* header) {
    return sameHandle(header->linetype, writer->handles.byLayerLtype);
}

bool keepsReactors(const AdDwgWriter* writer, std::int16_t type) {
    return writer->version >= AD_VERSION_AC1014 || static_cast<std::uint16_t>(type) >= kFirstClassEntity;
}

// A missing neighbour is written as the null handle: in its place the
// entity's own handle would make a chain that loops on itself.
void writeLinks(const AdEntityHeader* header, const AdDwgEntityLinks& links) {
    if (noLinks(header->handle, links)) return;
    const AdHandle& own = header->handle;
    for (const AdHandle* link : {&links.previous, &links.next}) {
        if (adHandleLength(link))
            adBitWriteRelHandle(link, &own, AD_REF_SOFT_POINTER);
        else
            adBitWriteByte(AD_REF_SOFT_POINTER);
    }
}
}  // namespace

int adDwgEntityBegin(AdDwgWriter* writer, const AdEntityHeader* header, std::int16_t type,
                     const AdDwgEntityLinks& links, AdStore* graphics) {
    if (!adDwgRecordBegin(writer, type, &header->handle, header->xdata, graphics, true)) return 0;
    adBitWriteBit(links.mode & 2);
    adBitWriteBit(links.mode & 1);
    adBitWriteLong(keepsReactors(writer, type) ? header->reactorCount : 0);
    const bool linksLeftOut = noLinks(header->handle, links);
    const bool invisible = (header->flags & AD_ENTITY_FLAG_INVISIBLE) != 0;
    if (writer->version < AD_VERSION_AC1015) {
        adBitWriteBit(byLayerLinetype(writer, header));
        adBitWriteBit(linksLeftOut);
        adBitWriteShort(header->color);
        adBitWriteDouble(header->linetypeScale);
        adBitWriteShort(invisible ? 1 : 0);
    } else {
        adBitWriteBit(linksLeftOut);
        adBitWriteShort(header->color);
        adBitWriteDouble(header->linetypeScale);
        const int linetypeFlags = byLayerLinetype(writer, header)                            ? 0
                                  : sameHandle(header->linetype, writer->handles.byBlockLtype) ? 1
                                                                                               : 3;
        adBitWriteBit(linetypeFlags & 2);
        adBitWriteBit(linetypeFlags & 1);
        adBitWriteBit(0);
        adBitWriteBit(0);
        adBitWriteShort(invisible ? 1 : 0);
        adBitWriteByte(static_cast<std::uint8_t>(adLineweightIndex(header->lineweight)));
    }
    return adBitUsable() ? 1 : 0;
}

int adDwgEntityHandles(AdDwgWriter* writer, const AdEntityHeader* header, std::int16_t type,
                       const AdDwgEntityLinks& links) {
    adDwgMarkDataEnd(writer);
    const AdHandle& own = header->handle;
    if ((links.mode & 3) == 0) adBitWriteRelHandle(&links.owner, &own, AD_REF_HARD_OWNER);
    if (keepsReactors(writer, type)) adDwgWriteReactors(header->reactorCount, header->reactors);
    // Every version keeps the entity's own extension dictionary: a null one
    // would drop what it holds.
    if (!adNoteOwnedHandle(writer->output, &own, &header->extensionDictionary)) return 0;
    adBitWriteHandle(&header->extensionDictionary, AD_REF_HARD_OWNER);
    const bool ac1015 = writer->version >= AD_VERSION_AC1015;
    if (ac1015) writeLinks(header, links);
    adBitWriteHandle(&header->layer, AD_REF_HARD_POINTER);
    const bool givenLinetype = ac1015 ? !byLayerLinetype(writer, header) &&
                                            !sameHandle(header->linetype, writer->handles.byBlockLtype)
                                      : !byLayerLinetype(writer, header);
    if (givenLinetype) adBitWriteHandle(&header->linetype, AD_REF_HARD_POINTER);
    if (!ac1015) writeLinks(header, links);
    return adBitUsable() ? 1 : 0;
}
