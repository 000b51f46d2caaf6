// Whole loads of damaged copies of the real bit-coded DWG files: each file
// cut short at evenly spread lengths and each with single bytes changed at
// fixed-seed positions must load or fail with an error code, never crash or
// leak (the sanitizers watch every stage, entities and objects included).
#include "dwg_corpus.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

class DwgLoadSweepTest : public StartedToolkit {};

// A cut copy fails early, at the object map near the file's end; a changed
// byte mostly costs a whole load, so fewer of them keep the sweep to seconds.
constexpr std::size_t kCuts = 32;
constexpr std::size_t kCorruptions = 8;

// 1 when the copy loaded, 0 when it failed with an error code; a failure
// without one is a test failure.
int load(TempDir& dir, const std::string& bytes) {
    const std::filesystem::path path = dir.write("damaged.dwg", bytes);
    adClearError();
    AdDrawing* drawing = adOpenDrawing(path.string().c_str(), 1, 0);
    if (drawing) {
        adCloseDrawing(drawing);
        return 1;
    }
    EXPECT_NE(adGlobals->errorCode, 0);
    return 0;
}

TEST_F(DwgLoadSweepTest, DamagedFilesLoadOrFailWithAnErrorCode) {
    const std::vector<std::filesystem::path> files = bitCodedCorpus();
    if (files.empty()) GTEST_SKIP() << "no R13..R2000 DWG files under " << dwgCorpusDir();
    adInstallDwgReadOps();
    adInstallDxfReadOps();
    TempDir dir;
    std::mt19937 random(20261210);
    for (const std::filesystem::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::string whole = fileBytes(file);
        ASSERT_GT(whole.size(), kCuts);
        ASSERT_EQ(load(dir, whole), 1) << adGlobals->errorCode;
        for (std::size_t i = 1; i <= kCuts; ++i) {
            const std::size_t length = whole.size() * i / (kCuts + 1);
            SCOPED_TRACE("cut at " + std::to_string(length));
            load(dir, whole.substr(0, length));
        }
        for (std::size_t i = 0; i < kCorruptions; ++i) {
            std::string damaged = whole;
            const std::size_t at = random() % damaged.size();
            damaged[at] = static_cast<char>(damaged[at] ^ (1 + random() % 255));
            SCOPED_TRACE("byte changed at " + std::to_string(at));
            load(dir, damaged);
        }
    }
}

}  // namespace
