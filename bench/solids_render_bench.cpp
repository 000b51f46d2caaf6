// Wireframes per second through adAcisRender, for the SAT fixtures and for
// the corpus solids: the solids test program writes their SAT texts into the
// folder named by VT_SOLIDS_SAT_DIR, and every .sat file found there is timed
// too. The NURBS fixtures run again with four iso-curves a direction, whose
// crossings with NURBS edges show what curve inversion costs.
#include "tests/toolkit/solids/sat_text_reader.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct CountingReader : SatTextReader {
    std::int64_t vertices = 0;
};

void ignoreBegin(std::int32_t, void*) {}
void ignoreEnd(void*) {}
void countVertex(double, double, double, void* user) {
    ++static_cast<CountingReader*>(static_cast<SatTextReader*>(user))->vertices;
}

void renderText(benchmark::State& state, const std::string& text, std::int32_t nurbsCurves) {
    std::int64_t vertices = 0;
    for (auto _ : state) {
        CountingReader reader;
        reader.text = text.data();
        reader.size = text.size();
        AdAcisRequest request{&SatTextReader::read, &ignoreBegin, &ignoreEnd, &countVertex,
                              static_cast<SatTextReader*>(&reader), 10, 4, 0, nurbsCurves};
        adAcisRender(&request);
        vertices = reader.vertices;
    }
    state.counters["wireframes/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                        benchmark::Counter::kIsRate);
    state.counters["vertices"] = static_cast<double>(vertices);
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void registerFolder(const std::filesystem::path& folder, const std::string& prefix) {
    std::error_code failed;
    for (const auto& entry : std::filesystem::directory_iterator(folder, failed)) {
        if (entry.path().extension() != ".sat") continue;
        const std::string text = readFile(entry.path());
        const std::string name = prefix + entry.path().filename().string();
        benchmark::RegisterBenchmark(name.c_str(), [text](benchmark::State& state) { renderText(state, text, 0); });
        if (name.find("nurbs") != std::string::npos)
            benchmark::RegisterBenchmark((name + "/iso4").c_str(),
                                         [text](benchmark::State& state) { renderText(state, text, 4); });
    }
}

}  // namespace

int main(int argc, char** argv) {
    registerFolder(VT_SAT_FIXTURE_DIR, "fixture/");
    if (const char* corpus = std::getenv("VT_SOLIDS_SAT_DIR")) registerFolder(corpus, "corpus/");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
