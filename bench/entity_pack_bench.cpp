// Packing and unpacking a million mixed entities, as a load and a redraw do:
// entities per second, and the bytes a stored entity takes.
#include "toolkit/ad.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr std::int32_t kEntities = 1000000;
constexpr std::uint16_t kLwpolyline = 500;
constexpr std::uint16_t kHatch = 501;

AdHandle handleOf(std::uint64_t value) {
    AdHandle h;
    for (int i = 7; i >= 0; --i, value >>= 8) h.b[i] = static_cast<std::uint8_t>(value);
    return h;
}

// A drawing with one layer, one block and two entity classes, over a state
// of its own.
class BenchDrawing {
public:
    BenchDrawing() : state_(std::make_unique<AdGlobalState>()), drawing_(std::make_unique<AdDrawing>()) {
        adGlobals = state_.get();
        AdDrawing* d = drawing_.get();
        adHandleIndexReset(d);
        d->blocks = adListCreate();
        d->layers = adListCreate();
        d->byLayerLtype = handleOf(0x14);
        d->classNumbers[AD_CLASS_LWPOLYLINE] = kLwpolyline;
        d->classNumbers[AD_CLASS_HATCH] = kHatch;
        AdLayerRecord layer{};
        layer.handle = handleOf(0x10);
        storeRecord(d->layers, layer.handle, layer);
        AdStoredBlock block{};
        block.header.handle = handleOf(0x40);
        storeRecord(d->blocks, block.header.handle, block);
    }
    ~BenchDrawing() {
        AdBlockHeader block;
        adListRewind(drawing_->blocks);
        while (adListReadNext(drawing_->blocks, &block, sizeof block) == 1) adStoreFree(block.insertReferences);
        adListFree(drawing_->blocks);
        adListFree(drawing_->layers);
        adHandleIndexFree(drawing_.get());
        adGlobals = nullptr;
    }
    AdDrawing* get() { return drawing_.get(); }

private:
    template <typename Record>
    void storeRecord(AdRecordList* list, const AdHandle& handle, const Record& record) {
        std::vector<std::uint8_t> image(AD_LIST_LINKS_SIZE + sizeof record);
        std::memcpy(image.data() + AD_LIST_LINKS_SIZE, &record, sizeof record);
        adListInsertKeyed(&handle, drawing_.get(), image.data(), image.size(), list, AD_LIST_AT_END, nullptr);
    }
    std::unique_ptr<AdGlobalState> state_;
    std::unique_ptr<AdDrawing> drawing_;
};

struct Entity {
    AdEntityHeader header;
    AdEntityData data;
};

// The mix of a typical plan: mostly lines, polylines with their vertices,
// arcs, circles and texts, a few inserts, dimensions and hatches.
std::vector<Entity> prototypes(AdDrawing* d) {
    const std::uint16_t types[] = {AD_ENTITY_LINE,   AD_ENTITY_LINE,   AD_ENTITY_LINE,      AD_ENTITY_LINE,
                                   AD_ENTITY_VERTEX, AD_ENTITY_VERTEX, AD_ENTITY_POLYLINE,  AD_ENTITY_ARC,
                                   AD_ENTITY_CIRCLE, AD_ENTITY_TEXT,   AD_ENTITY_MTEXT,     AD_ENTITY_INSERT,
                                   kLwpolyline,      AD_ENTITY_SOLID,  AD_ENTITY_DIMENSION, kHatch};
    std::vector<Entity> result;
    for (std::uint16_t type : types) {
        Entity& e = result.emplace_back();
        e.header.type = type;
        adEntityDefaults(d, &e.header, &e.data);
    }
    result[0].data.line.end[0] = 10.0;
    result[1].header.color = 1;
    result[2].header.layer = handleOf(0x123);
    result[3].header.thickness = 2.0;
    result[4].data.vertex.point[0] = 5.0;
    result[5].data.vertex.bulge = 0.5;
    std::strcpy(result[9].data.text.text, "ROOM 101");
    std::strcpy(result[10].data.mtext.text, "{\\fArial|b0;Ground floor}\\PNorth wing");
    result[11].data.insert.block = handleOf(0x40);
    std::strcpy(result[14].data.dimension.text, "<>");
    std::strcpy(result[15].data.hatch.patternName, "ANSI31");
    return result;
}

void packAll(AdDrawing* d, AdRecordList* list, std::vector<Entity>& mix) {
    for (std::int32_t i = 0; i < kEntities; ++i) {
        Entity& e = mix[static_cast<std::size_t>(i) % mix.size()];
        e.header.handle = handleOf(0x1000 + static_cast<std::uint64_t>(i));
        adPackEntityRecord(d, list, &e.header, &e.data, AD_LIST_AT_END, nullptr);
    }
}

// Whole records, links included: the fixed and optional parts up to the
// type data, whose size closes the optional part, and the data.
double bytesPerEntity(AdRecordList* list) {
    double total = 0.0;
    AdEntityHeader header;
    AdEntityData data;
    for (AdListRecord* r = adListFirst(list); r; r = r->next) {
        std::uint8_t* position = nullptr;
        adUnpackEntityRecord(r, &header, &data, &position, nullptr);
        std::uint16_t dataSize;
        std::memcpy(&dataSize, position - sizeof dataSize, sizeof dataSize);
        total += static_cast<double>(position - reinterpret_cast<std::uint8_t*>(r)) + dataSize;
    }
    return total / kEntities;
}

void BM_PackEntities(benchmark::State& state) {
    BenchDrawing drawing;
    std::vector<Entity> mix = prototypes(drawing.get());
    AdRecordList* list = adListCreate();
    for (auto _ : state) {
        packAll(drawing.get(), list, mix);
        state.PauseTiming();
        adListFreeRecords(list);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kEntities);
    adListFree(list);
}
BENCHMARK(BM_PackEntities)->Unit(benchmark::kMillisecond);

void BM_UnpackEntities(benchmark::State& state) {
    BenchDrawing drawing;
    std::vector<Entity> mix = prototypes(drawing.get());
    AdRecordList* list = adListCreate();
    packAll(drawing.get(), list, mix);
    AdEntityHeader header;
    AdEntityData data;
    for (auto _ : state) {
        AdListRecord* next = adListFirst(list);
        while (next) adUnpackEntityRecord(next, &header, &data, nullptr, &next);
        benchmark::DoNotOptimize(data);
    }
    state.SetItemsProcessed(state.iterations() * kEntities);
    state.counters["bytes_per_entity"] = bytesPerEntity(list);
    adListFree(list);
}
BENCHMARK(BM_UnpackEntities)->Unit(benchmark::kMillisecond);

}  // namespace
