// Writes the seeds of the SAT reader's fuzz target: the SAT fixtures and the
// SAT text of every 3D solid, region and body of the corpus drawings.
//   sat_seeds <fixture folder> <corpus folder> <seed folder>
#include "toolkit/ad.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

void writeSolids(AdRecordList* list, const std::string& stem, const fs::path& out, int& n) {
    auto header = std::make_unique<AdEntityHeader>();
    auto data = std::make_unique<AdEntityData>();
    if (!list || !adEntityRewind(list)) return;
    while (adEntityNext(list, header.get(), data.get())) {
        if (header->type != AD_ENTITY_3DSOLID && header->type != AD_ENTITY_REGION && header->type != AD_ENTITY_BODY)
            continue;
        AdStore* store = data->sat.satText;
        AdStream* stream = store ? adStreamOpenRead(store) : nullptr;
        if (!stream) continue;
        std::string text(static_cast<std::size_t>(adStoreSize(store)), '\0');
        if (text.empty() || adStreamRead(stream, text.data(), static_cast<std::int32_t>(text.size())))
            std::ofstream(out / (stem + "." + std::to_string(n++) + ".sat"), std::ios::binary) << text;
        adStreamCloseRead(stream);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    const fs::path fixtures = argv[1], corpus = argv[2], out = argv[3];
    std::error_code ignored;
    fs::create_directories(out, ignored);
    for (const auto& entry : fs::directory_iterator(fixtures, ignored))
        if (entry.path().extension() == ".sat")
            fs::copy_file(entry.path(), out / entry.path().filename(), fs::copy_options::overwrite_existing, ignored);
    HostUseEmbeddedInitData();
    std::int16_t error = 0;
    if (!adInitToolkit(nullptr, &error)) return 1;
    adInstallDwgReadOps();
    adInstallDxfReadOps();
    int n = 0;
    for (const char* kind : {"dwg", "dxf"})
        for (const auto& entry : fs::directory_iterator(corpus / kind, ignored)) {
            AdDrawing* drawing = adOpenDrawing(entry.path().string().c_str(), 1, 0);
            if (!drawing) continue;
            const std::string stem = entry.path().filename().string();
            writeSolids(drawing->modelSpace, stem, out, n);
            writeSolids(drawing->paperSpace, stem, out, n);
            adCloseDrawing(drawing);
        }
    adTermToolkit();
    return 0;
}
