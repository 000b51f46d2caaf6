// Golden files of the display tests: a test compares what it made with the
// checked-in file; with VT_UPDATE_GOLDEN=1 in the environment it writes the
// file instead (then look at the difference before committing it).
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

inline const std::string& displayDataDir() {
    static const std::string dir = std::string(VT_TEST_DATA_DIR) + "/display/";
    return dir;
}

inline std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool updatingGolden() {
    const char* update = std::getenv("VT_UPDATE_GOLDEN");
    return update && std::string(update) == "1";
}

// Compares a text with the golden file of that name under tests/data/display.
inline void expectGoldenText(const std::string& name, const std::string& actual) {
    const std::string path = displayDataDir() + name;
    if (updatingGolden()) {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    EXPECT_EQ(actual, readText(path)) << "golden file " << path;
}
