// A drawing with a LAYER, a BYLAYER linetype handle, class numbers for the
// seven entity classes and one entity list, for the tests of entity records.
#pragma once
#include "table_fixture.h"

#include <cstring>
#include <vector>

class EntityTest : public TableTest {
protected:
    // Class numbers the fixture gives the entity classes.
    static constexpr std::uint16_t kOle2Frame = 500;
    static constexpr std::uint16_t kHatch = 501;
    static constexpr std::uint16_t kLwpolyline = 502;
    static constexpr std::uint16_t kImage = 503;
    static constexpr std::uint16_t kRtext = 504;
    static constexpr std::uint16_t kArcAlignedText = 505;
    static constexpr std::uint16_t kWipeout = 506;
    static constexpr std::uint64_t kLayer = 0x10;
    static constexpr std::uint64_t kByLayer = 0x14;

    void SetUp() override {
        TableTest::SetUp();
        store(d->layers, layer("0", kLayer));
        d->byLayerLtype = H(kByLayer);
        d->classNumbers[AD_CLASS_OLE2FRAME] = kOle2Frame;
        d->classNumbers[AD_CLASS_HATCH] = kHatch;
        d->classNumbers[AD_CLASS_LWPOLYLINE] = kLwpolyline;
        d->classNumbers[AD_CLASS_IMAGE] = kImage;
        d->classNumbers[AD_CLASS_RTEXT] = kRtext;
        d->classNumbers[AD_CLASS_ARCALIGNEDTEXT] = kArcAlignedText;
        d->classNumbers[AD_CLASS_WIPEOUT] = kWipeout;
        entities = adListCreate();
    }
    void TearDown() override {
        adListFree(entities);
        TableTest::TearDown();
    }

    AdEntityHeader defaultHeader(std::uint16_t type, AdEntityData* data = nullptr) {
        AdEntityHeader h{};
        h.type = type;
        adEntityDefaults(d, &h, data);
        return h;
    }

    AdListRecord* pack(const AdEntityHeader& h, const AdEntityData& data) {
        return adPackEntityRecord(d, entities, &h, &data, AD_LIST_AT_END, nullptr);
    }

    // The fixed part of a packed record.
    static AdPackedEntity fixedPart(AdListRecord* record) {
        AdPackedEntity fixed;
        std::memcpy(&fixed, record, sizeof fixed);
        return fixed;
    }
    // By value: the packed field itself may lie unaligned.
    static std::uint16_t optionalLength(AdListRecord* record) { return fixedPart(record).optionalLength; }
    static const std::uint8_t* optionalPart(AdListRecord* record) {
        return reinterpret_cast<const std::uint8_t*>(record) + sizeof(AdPackedEntity);
    }
    // The data size that closes the optional part.
    static std::uint16_t dataSize(AdListRecord* record) {
        std::uint16_t size;
        std::memcpy(&size, optionalPart(record) + optionalLength(record) - 2, sizeof size);
        return size;
    }
    // The bytes a record states it holds, links included.
    static std::vector<std::uint8_t> image(AdListRecord* record) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(record);
        return {bytes, bytes + sizeof(AdPackedEntity) + optionalLength(record) + dataSize(record)};
    }

    AdRecordList* entities = nullptr;
};
