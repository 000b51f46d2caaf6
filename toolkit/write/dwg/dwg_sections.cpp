// The sections around the object data of a bit-coded DWG file: CLASSES, the
// gap after it, the fixed 53-byte section, the second header, the preview
// image, and at the end the locators and CRC of the file header.
#include "toolkit/write/dwg/dwg_writer.h"

#include "toolkit/db/bit_stream_state.h"
#include "toolkit/db/dwg/dwg_file.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::int32_t kCopyPiece = 8192;

constexpr std::uint8_t kClassesStart[16] = {0x8D, 0xA1, 0xC4, 0xB8, 0xC4, 0xA9, 0xF8, 0xC5,
                                            0xC0, 0xDC, 0xF4, 0x5F, 0xE7, 0xCF, 0xB6, 0x8A};
constexpr std::uint8_t kClassesEnd[16] = {0x72, 0x5E, 0x3B, 0x47, 0x3B, 0x56, 0x07, 0x3A,
                                          0x3F, 0x23, 0x0B, 0xA0, 0x18, 0x30, 0x49, 0x75};
constexpr std::uint8_t kSecondStart[16] = {0xD4, 0x7B, 0x21, 0xCE, 0x28, 0x93, 0x9F, 0xBF,
                                           0x53, 0x24, 0x40, 0x09, 0x12, 0x3C, 0xAA, 0x01};
constexpr std::uint8_t kSecondEnd[16] = {0x2B, 0x84, 0xDE, 0x31, 0xD7, 0x6C, 0x60, 0x40,
                                         0xAC, 0xDB, 0xBF, 0xF6, 0xED, 0xC3, 0x55, 0xFE};
constexpr std::uint8_t kImageStart[16] = {0x1F, 0x25, 0x6D, 0x07, 0xD4, 0x36, 0x28, 0x28,
                                          0x9D, 0x57, 0xCA, 0x3F, 0x9D, 0x44, 0x10, 0x2B};
constexpr std::uint8_t kImageEnd[16] = {0xE0, 0xDA, 0x92, 0xF8, 0x2B, 0xC9, 0xD7, 0xD7,
                                        0x62, 0xA8, 0x35, 0xC0, 0x62, 0xBB, 0xEF, 0xD4};

void appendLong(std::vector<std::uint8_t>& bytes, std::int32_t value) {
    bytes.resize(bytes.size() + 4);
    adDwgPutLong(bytes, bytes.size() - 4, value);
}

// The application name and proxy flags an AC1012 or AC1014 file gives the
// classes it knows itself.
struct ClassSubstitute {
    const char* dxfName;
    const char* application;
    std::int32_t proxyFlags;
};
constexpr char kWipeoutApp[] = "WipeOut|AutoCAD Express Tool|";
constexpr char kRtextApp[] = "RText|AutoCAD Express Tool|";
constexpr char kAtextApp[] = "ATEXT|AutoCAD Express Tool|";
constexpr ClassSubstitute kSubstitutes[] = {
    {"LWPOLYLINE", "\"AutoCAD\"", 0},       {"DICTIONARYVAR", "\"AutoCAD\"", 0},
    {"SORTENTSTABLE", "\"AutoCAD\"", 0},    {"IMAGE", "ISM", 127},
    {"RASTERVARIABLES", "ISM", 0},          {"IMAGEDEF", "ISM", 0},
    {"IMAGEDEF_REACTOR", "ISM", 1},         {"OLE2FRAME", "\"\"", 0},
    {"HATCH", "\"ACAD_SEDONA\"", 0},        {"IDBUFFER", "\"Acad\"", 0},
    {"SPATIAL_FILTER", "\"Acad\"", 0},      {"LAYER_INDEX", "\"Acad\"", 0},
    {"SPATIAL_INDEX", "\"Acad\"", 0},       {"XRECORD", "\"<Built In>\"", 0},
    {"OBJECT_PTR", "\"ASE-LPNTableRecord\"", 1},
    {"LAYOUT", "\"AutoCAD 2000\"", 1},      {"PLOTSETTINGS", "\"AutoCAD 2000\"", 1},
    {"ACDBDICTIONARYWDFLT", "\"AutoCAD 2000\"", 1},
    {"ACDBPLACEHOLDER", "\"AutoCAD 2000\"", 1},
    {"VBA_PROJECT", "\"acadvba\"", 1},      {"WIPEOUT", kWipeoutApp, 127},
    {"WIPEOUTVARIABLES", kWipeoutApp, 0},   {"RTEXT", kRtextApp, 0},
    {"ARCALIGNEDTEXT", kAtextApp, 0},
};

int zombieClass(AdDwgWriter* writer, std::int16_t number, bool entity) {
    AdClassRecord record{};
    record.number = number;
    std::strcpy(record.dxfName, entity ? "DxfZombieEntity" : "DxfZombieObject");
    std::strcpy(record.className, entity ? "AcDbDxfZombieEntity" : "AcDbDxfZombieObject");
    std::strcpy(record.applicationName, "\"AutoCAD\"");
    record.isEntity = entity ? 498 : 499;
    return adDwgWriteClassEntry(writer, &record);
}

// A stored byte run (a preview) in pieces.
int copyStore(AdOutputDrawing* output, AdStore* store) {
    AdStream* in = adStreamOpenRead(store);
    if (!in) return 0;
    std::uint8_t piece[kCopyPiece];
    int ok = 1;
    for (std::int32_t left = adStoreSize(store); ok && left > 0;) {
        const std::int32_t n = std::min(left, kCopyPiece);
        ok = adStreamRead(in, piece, n) && adOutWrite(output, piece, static_cast<std::size_t>(n));
        left -= n;
    }
    adStreamCloseRead(in);
    return ok;
}
}  // namespace

void adDwgPutLong(std::vector<std::uint8_t>& bytes, std::size_t at, std::int32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

std::vector<std::uint8_t> adDwgFramedSection(const std::uint8_t* start, const std::vector<std::uint8_t>& data,
                                             const std::uint8_t* end) {
    std::vector<std::uint8_t> out(start, start + 16);
    appendLong(out, static_cast<std::int32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    const std::uint16_t crc = adCrc16(AD_DWG_CRC_SEED, &out[16], static_cast<std::int32_t>(data.size() + 4));
    out.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    out.push_back(static_cast<std::uint8_t>(crc >> 8));
    out.insert(out.end(), end, end + 16);
    return out;
}

int adDwgWriteClassEntry(AdDwgWriter* writer, const AdClassRecord* record) {
    const char* application = record->applicationName;
    std::int32_t proxyFlags = record->proxyFlags;
    if (writer->version < AD_VERSION_AC1015)
        for (const ClassSubstitute& s : kSubstitutes)
            if (adStrCompareNoCase(record->dxfName, s.dxfName) == 0) {
                application = s.application;
                proxyFlags = s.proxyFlags;
            }
    adBitWriteShort(record->number);
    adBitWriteShort(static_cast<std::int16_t>(proxyFlags));
    adBitWriteText(application);
    adBitWriteText(record->className);
    adBitWriteText(record->dxfName);
    adBitWriteBit(record->wasProxy != 0);
    adBitWriteShort(record->isEntity);
    return adBitUsable() ? 1 : 0;
}

int adDwgWriteClasses(AdDwgWriter* writer) {
    AdDrawing* source = writer->source;
    writer->sections.classesAddress = adOutTell(writer->output);
    if (writer->sections.classesAddress < 0 || !adBitBufferReset(source, writer->sections.classesAddress)) return 0;
    std::int16_t count = 0;
    writer->zombieEntityClass = 0;
    writer->zombieObjectClass = 0;
    AdClassRecord record{};
    adClassRewind(source);
    while (adClassNext(source, &record)) {
        const auto number = static_cast<std::int16_t>(count + AD_FIRST_CLASS_NUMBER);
        if (adStrCompareNoCase(record.className, "AcDbDxfZombieEntity") == 0) writer->zombieEntityClass = number;
        if (adStrCompareNoCase(record.className, "AcDbDxfZombieObject") == 0) writer->zombieObjectClass = number;
        if (!adDwgWriteClassEntry(writer, &record)) return 0;
        ++count;
    }
    // AC1012 readers need the zombie classes listed to take proxies; later
    // versions know them without an entry.
    const bool listZombies = writer->version == AD_VERSION_AC1012;
    if (!writer->zombieEntityClass) {
        writer->zombieEntityClass = static_cast<std::int16_t>(count + AD_FIRST_CLASS_NUMBER);
        if (listZombies && !zombieClass(writer, writer->zombieEntityClass, true)) return 0;
    }
    if (!writer->zombieObjectClass) {
        writer->zombieObjectClass = static_cast<std::int16_t>(count + AD_FIRST_CLASS_NUMBER + 1);
        if (listZombies && !zombieClass(writer, writer->zombieObjectClass, false)) return 0;
    }
    const std::vector<std::uint8_t> data = adDwgTakeBits(writer);
    if (!adBitUsable()) return 0;
    const std::vector<std::uint8_t> section = adDwgFramedSection(kClassesStart, data, kClassesEnd);
    writer->sections.classesSize = static_cast<std::int32_t>(section.size());
    return adOutWrite(writer->output, section.data(), section.size());
}

int adDwgWriteGap(AdDwgWriter* writer) {
    std::uint8_t gap[512] = {};
    if (writer->version >= AD_VERSION_AC1014)
        gap[2] = static_cast<std::uint8_t>(writer->output->header->measurement & 0xFF);
    if (!adOutWrite(writer->output, gap, sizeof gap)) return 0;
    writer->sections.objectData = adOutTell(writer->output);
    return writer->sections.objectData >= 0;
}

int adDwgWriteFixedSection(AdDwgWriter* writer) {
    writer->sections.fixedAddress = adOutTell(writer->output);
    std::vector<std::uint8_t> bytes(8, 0);
    adDwgPutLong(bytes, 4, static_cast<std::int32_t>(writer->map.size()) + 3);
    const std::uint8_t lead[8] = {0xA7, 0x62, 0x25, 0x00, 0xF6, 0xAF, 0x25, 0x02};
    bytes.insert(bytes.end(), lead, lead + sizeof lead);
    appendLong(bytes, writer->sections.objectData);
    const std::uint8_t tail[33] = {0x04, 0x32, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x64, 0x00,
                                   0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,
                                   0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};
    bytes.insert(bytes.end(), tail, tail + sizeof tail);
    return writer->sections.fixedAddress >= 0 && adOutWrite(writer->output, bytes.data(), bytes.size());
}

int adDwgWriteSecondHeader(AdDwgWriter* writer) {
    const std::int16_t version = writer->version;
    const AdDwgSections& s = writer->sections;
    const std::int32_t sentinelAt = adOutTell(writer->output);
    if (sentinelAt < 0 || !adOutWrite(writer->output, kSecondStart, sizeof kSecondStart)) return 0;
    if (!adBitBufferReset(writer->source, sentinelAt + 16)) return 0;
    adBitWriteLong(sentinelAt);
    const char* name = version == AD_VERSION_AC1012 ? "AC1012" : version == AD_VERSION_AC1014 ? "AC1014" : "AC1015";
    adBitWriteBytes(name, 6);
    const std::uint8_t zeros[5] = {};
    adBitWriteBytes(zeros, sizeof zeros);
    adBitWriteByte(version >= AD_VERSION_AC1015 ? 6 : 0);
    for (int i = 0; i < 4; ++i) adBitWriteBit(0);
    if (version >= AD_VERSION_AC1015) {
        const std::uint8_t mark[6] = {0x10, 0x5C, 0x18, 0x78, 0x01, 0x06};
        adBitWriteBytes(mark, sizeof mark);
    } else {
        const std::uint8_t mark[4] = {0x18, 0x78, 0x01, static_cast<std::uint8_t>(version == AD_VERSION_AC1012 ? 4 : 5)};
        adBitWriteBytes(mark, sizeof mark);
    }
    adBitWriteByte(0);
    auto locator = [](std::uint8_t number, std::int32_t address, std::int32_t size) {
        adBitWriteByte(number);
        adBitWriteLong(address);
        adBitWriteLong(size);
    };
    locator(0, s.headerAddress, s.headerSize);
    locator(1, s.classesAddress, s.classesSize);
    locator(2, s.mapAddress, s.mapSize);
    locator(3, s.fixedAddress, 53);
    if (version >= AD_VERSION_AC1014) locator(4, s.objectData - 512, 4);
    if (version >= AD_VERSION_AC1015) locator(5, 0x61, 0x7B);
    adBitWriteShort(14);
    const AdDwgHeaderHandles& h = writer->handles;
    auto handleRecord = [](std::uint8_t index, const AdHandle& handle) {
        const int length = adHandleLength(&handle);
        adBitWriteByte(static_cast<std::uint8_t>(length));
        adBitWriteByte(index);
        adBitWriteBytes(handle.b + 8 - length, length);
    };
    handleRecord(0, writer->output->header->handseed);
    for (int i = 0; i < AD_TABLE_CONTROL_COUNT; ++i) handleRecord(static_cast<std::uint8_t>(1 + i), h.controls[i]);
    handleRecord(11, h.root);
    handleRecord(12, h.mlineStyleDictionary);
    handleRecord(13, h.groupDictionary);
    const std::vector<std::uint8_t> data = adDwgTakeBits(writer);
    if (!adBitUsable()) return 0;
    const auto b = static_cast<std::int32_t>(data.size());
    const std::int32_t tail = version == AD_VERSION_AC1012 ? 0 : 8;
    std::vector<std::uint8_t> bytes;
    appendLong(bytes, b + 6 + tail);
    bytes.insert(bytes.end(), data.begin(), data.end());
    const std::uint16_t crc = adCrc16(AD_DWG_CRC_SEED, bytes.data(), static_cast<std::int32_t>(bytes.size()));
    bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
    bytes.resize(bytes.size() + static_cast<std::size_t>(tail), 0);
    bytes.insert(bytes.end(), kSecondEnd, kSecondEnd + sizeof kSecondEnd);
    return adOutWrite(writer->output, bytes.data(), bytes.size());
}

int adDwgWriteImage(AdDwgWriter* writer) {
    AdOutputDrawing* output = writer->output;
    const AdDwgFile* dwg = adDwgFileOf(writer->source);
    AdStore* bmp = dwg && dwg->previewBmp && adStoreSize(dwg->previewBmp) > 0 ? dwg->previewBmp : nullptr;
    AdStore* wmf = dwg && dwg->previewWmf && adStoreSize(dwg->previewWmf) > 0 ? dwg->previewWmf : nullptr;
    const std::int32_t start = adOutTell(output);
    writer->sections.imageAddress = start;
    if (start < 0) return 0;
    const std::uint8_t entries = static_cast<std::uint8_t>(1 + (bmp ? 1 : 0) + (wmf ? 1 : 0));
    std::vector<std::uint8_t> head(kImageStart, kImageStart + 16);
    appendLong(head, 0);
    head.push_back(entries);
    // Each entry: its code, where its data begins, its size.
    const std::int32_t headAt = start + 16 + 4 + 1 + 9 * entries;
    std::int32_t at = headAt;
    auto entry = [&](std::uint8_t code, std::int32_t size) {
        head.push_back(code);
        appendLong(head, at);
        appendLong(head, size);
        at += size;
    };
    entry(1, 80);
    if (bmp) entry(2, adStoreSize(bmp));
    if (wmf) entry(3, adStoreSize(wmf));
    // The overall size runs from after its own field to the end sentinel.
    adDwgPutLong(head, 16, at - (start + 16 + 4));
    head.resize(head.size() + 80, 0);
    if (!adOutWrite(output, head.data(), head.size())) return 0;
    if (bmp && !copyStore(output, bmp)) return 0;
    if (wmf && !copyStore(output, wmf)) return 0;
    return adOutWrite(output, kImageEnd, sizeof kImageEnd);
}

int adDwgFinishFileHeader(AdDwgWriter* writer) {
    const AdDwgSections& s = writer->sections;
    const std::int16_t version = writer->version;
    const std::int32_t n = version == AD_VERSION_AC1012 ? 61 : version == AD_VERSION_AC1014 ? 70 : 79;
    std::vector<std::uint8_t> lead(static_cast<std::size_t>(n) + 2);
    HostFile* file = writer->output->file;
    if (!file || HostSeek(file, 0, SEEK_SET) != 0 || HostRead(lead.data(), 1, lead.size(), file) != lead.size()) {
        adSetError(AD_ERR_WRITE);
        return 0;
    }
    adDwgPutLong(lead, 13, s.imageAddress);
    const std::int32_t locators[][2] = {{s.headerAddress, s.headerSize},
                                        {s.classesAddress, s.classesSize},
                                        {s.mapAddress, s.mapSize},
                                        {s.fixedAddress, 53},
                                        {s.objectData - 512, 4}};
    const int count = version == AD_VERSION_AC1012 ? 4 : 5;
    for (int i = 0; i < count; ++i) {
        adDwgPutLong(lead, 25 + 9 * i + 1, locators[i][0]);
        adDwgPutLong(lead, 25 + 9 * i + 5, locators[i][1]);
    }
    const std::uint16_t x = version == AD_VERSION_AC1012 ? 0x8101 : version == AD_VERSION_AC1014 ? 0x3CC4 : 0x8461;
    adCrcStamp(lead.data(), n + 2, x);
    return adOutPatch(writer->output, 0, lead.data(), n + 2);
}
