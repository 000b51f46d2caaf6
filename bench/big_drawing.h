// The large drawings the load, draw and save benchmarks share, and timing a
// peer program beside them. The including target defines VT_PYTHON,
// VT_BENCH_SCRIPT (make_big_dxf.py), VT_BENCH_DATA_DIR (the build tree) and
// VT_SHARED_DATA_DIR (the corpus).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

constexpr int kBenchBigCount = 200000;

// The 200,000-entity DXF in the form of the extension (".dxf" ASCII, ".dxb"
// binary), or with a smaller count its first entities: the fixed seed makes
// the smaller drawing the start of the large one. Both forms are written
// together on first use; empty when they cannot be written (a failed script
// leaves none).
inline std::string benchBigDxf(const char* extension, int count = kBenchBigCount) {
    std::filesystem::path dir(VT_BENCH_DATA_DIR);
    if (count != kBenchBigCount) dir /= "first_" + std::to_string(count);
    std::error_code ignored;
    if (!std::filesystem::exists(dir / "big.dxb", ignored)) {
        std::filesystem::create_directories(dir, ignored);
        const std::string command = std::string("'") + VT_PYTHON + "' '" + VT_BENCH_SCRIPT + "' '" + dir.string() +
                                    "' " + std::to_string(count);
        if (std::system(command.c_str()) != 0) return {};
    }
    const std::filesystem::path path = dir / (std::string("big") + extension);
    return std::filesystem::exists(path, ignored) ? path.string() : std::string();
}

// The 200,000-entity synthetic DWG of the corpus; empty when it is missing.
inline std::string benchBigDwg() {
    const std::filesystem::path path = std::filesystem::path(VT_SHARED_DATA_DIR) / "perf" / "ac1015_synthetic_200k.dwg";
    std::error_code ignored;
    return std::filesystem::exists(path, ignored) ? path.string() : std::string();
}

// Runs a peer's timing script and answers the first number it prints: its
// own measure of the work, start-up and loading left out. 0 when it could
// not run or printed no number.
inline double benchPeerSeconds(const std::string& command) {
    double value = 0.0;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        if (std::fscanf(pipe, "%lf", &value) != 1) value = 0.0;
        if (pclose(pipe) != 0) value = 0.0;
    }
    return value;
}
