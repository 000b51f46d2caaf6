// Non-graphical objects of a bit-coded DWG file with a fixed type:
// DICTIONARY, MLINESTYLE and GROUP, and the tail every object shares.
#include "toolkit/write/dwg/dwg_writer.h"

#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_objects.h"

#include <cstring>

namespace {
constexpr std::int16_t kGroupType = 72;
constexpr std::int16_t kMlineStyleType = 73;

// Root entries AC1012 and AC1014 do not know.
constexpr const char* kLaterRootEntries[] = {"ACAD_PLOTSETTINGS", "ACAD_WIPEOUT_VARS", "ACAD_PLOTSTYLENAME",
                                             "ACDBHEADERROUNDTRIPXREC"};

std::vector<AdNameRecord> dictionaryEntries(AdDwgWriter* writer, const AdObjectHeader* header,
                                            const AdDictionaryData* data) {
    std::vector<AdNameRecord> entries;
    const bool root = std::memcmp(header->handle.b, writer->handles.root.b, sizeof header->handle.b) == 0;
    const bool older = writer->version < AD_VERSION_AC1015;
    AdStream* in = data->entries ? adStreamOpenRead(data->entries) : nullptr;
    AdNameRecord entry{};
    for (std::int32_t i = 0; in && i < data->entryCount && adStreamReadNameRecord(in, &entry); ++i) {
        entry.name[sizeof entry.name - 1] = '\0';
        bool keep = true;
        if (root && older)
            for (const char* later : kLaterRootEntries)
                if (adStrCompareNoCase(entry.name, later) == 0) keep = false;
        if (keep) entries.push_back(entry);
    }
    if (in) adStreamCloseRead(in);
    return entries;
}

// The block header whose extension dictionary this is.
AdHandle dictionaryBlock(AdDwgWriter* writer, const AdHandle& dictionary) {
    AdBlockHeader block{};
    adBlockRewind(writer->source);
    while (adBlockNext(writer->source, &block))
        if (std::memcmp(block.extensionDictionary.b, dictionary.b, sizeof dictionary.b) == 0) return block.handle;
    return AdHandle{};
}
}  // namespace

std::int32_t adDwgObjectReactorCount(const AdObjectHeader* header) {
    if (!header->reactors || header->reactorCount <= 0) return 0;
    const std::int32_t held = adStoreSize(header->reactors) / static_cast<std::int32_t>(sizeof(AdHandle));
    return header->reactorCount < held ? header->reactorCount : held;
}

int adDwgObjectBegin(AdDwgWriter* writer, std::int16_t type, const AdObjectHeader* header, AdStore* xdata) {
    if (!adDwgRecordBegin(writer, type, &header->handle, xdata, nullptr, false)) return 0;
    adBitWriteLong(adDwgObjectReactorCount(header));
    return adBitUsable() ? 1 : 0;
}

int adDwgWriteObjectTail(AdDwgWriter* writer, const AdObjectHeader* header, const AdHandle* owner) {
    adDwgMarkDataEnd(writer);
    if (owner && adHandleLength(owner))
        adBitWriteRelHandle(owner, &header->handle, AD_REF_SOFT_POINTER);
    else
        adBitWriteByte(0x40);
    adDwgWriteReactors(adDwgObjectReactorCount(header), header->reactors);
    // The object's own extension dictionary: a null one would drop what it holds.
    adBitWriteHandle(&header->extensionDictionary, AD_REF_HARD_OWNER);
    return adBitUsable() ? 1 : 0;
}

int adDwgWriteDictionary(AdDwgWriter* writer, const AdObjectHeader* header, const AdDictionaryData* data,
                         const AdHandle* owner) {
    std::vector<AdNameRecord> entries = dictionaryEntries(writer, header, data);
    if (!adDwgObjectBegin(writer, AD_DWG_DICTIONARY, header, header->xdata)) return 0;
    adBitWriteLong(static_cast<std::int32_t>(entries.size()));
    if (writer->version == AD_VERSION_AC1014) adBitWriteByte(0);
    if (writer->version >= AD_VERSION_AC1015) {
        adBitWriteShort(data->cloning);
        adBitWriteByte(static_cast<std::uint8_t>(data->hardOwner));
    }
    bool blockReferences = false;
    for (AdNameRecord& entry : entries) {
        blockReferences = blockReferences || std::strcmp(entry.name, "ACAD_BLKREFS") == 0;
        if (writer->version < AD_VERSION_AC1015) adStrUpper(entry.name, writer->output->header->dwgcodepage);
        adBitWriteText(entry.name);
    }
    // An xref block's dictionary of references that nothing else owns
    // belongs to the block.
    AdHandle written = owner ? *owner : AdHandle{};
    if (adHandleLength(&written) == 0 && blockReferences) written = dictionaryBlock(writer, header->handle);
    if (!adDwgWriteObjectTail(writer, header, &written)) return 0;
    for (const AdNameRecord& entry : entries) adBitWriteHandle(&entry.handle, AD_REF_SOFT_OWNER);
    return adDwgRecordEnd(writer, &header->handle);
}

int adDwgWriteMlineStyle(AdDwgWriter* writer, const AdObjectHeader* header, const AdMlineStyleData* data,
                         const AdHandle* owner) {
    if (!adDwgObjectBegin(writer, kMlineStyleType, header, header->xdata)) return 0;
    if (!adDwgWriteName(writer, data->name, 0, adGlobals->nameLengthLimit)) return 0;
    adBitWriteText(data->description);
    // The file's flag bits swap in pairs with the toolkit's, both ways.
    adBitWriteShort(adDwgMlineStyleFlags(static_cast<std::uint16_t>(data->flags)));
    adBitWriteShort(data->fillColour);
    adBitWriteDouble(data->startAngle);
    adBitWriteDouble(data->endAngle);
    adBitWriteByte(data->elementCount);
    AdStream* in = data->elements ? adStreamOpenRead(data->elements) : nullptr;
    std::uint8_t record[16];
    for (std::uint8_t i = 0; i < data->elementCount; ++i) {
        std::int16_t colour = 0;
        std::int16_t linetype = 0;
        double offset = 0.0;
        if (in && adStreamRead(in, record, sizeof record)) {
            std::memcpy(&colour, record, 2);
            std::memcpy(&linetype, record + 2, 2);
            std::memcpy(&offset, record + 8, 8);
        }
        adBitWriteDouble(offset);
        adBitWriteShort(colour);
        adBitWriteShort(linetype);
    }
    if (in) adStreamCloseRead(in);
    return adDwgWriteObjectTail(writer, header, owner) && adDwgRecordEnd(writer, &header->handle);
}

int adDwgWriteGroup(AdDwgWriter* writer, const AdObjectHeader* header, const AdGroupData* data,
                    const AdHandle* owner) {
    if (!adDwgObjectBegin(writer, kGroupType, header, header->xdata)) return 0;
    adBitWriteText(data->description);
    adBitWriteShort(data->unnamed);
    adBitWriteShort(data->selectable);
    std::vector<AdHandle> members;
    AdStream* in = data->members ? adStreamOpenRead(data->members) : nullptr;
    AdHandle member{};
    for (std::int32_t i = 0; in && i < data->memberCount && adStreamReadHandle(in, &member); ++i)
        members.push_back(member);
    if (in) adStreamCloseRead(in);
    adBitWriteLong(static_cast<std::int32_t>(members.size()));
    if (!adDwgWriteObjectTail(writer, header, owner)) return 0;
    for (const AdHandle& h : members) adBitWriteHandle(&h, AD_REF_HARD_POINTER);
    return adDwgRecordEnd(writer, &header->handle);
}
