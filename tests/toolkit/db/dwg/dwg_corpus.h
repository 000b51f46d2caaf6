// The real bit-coded DWG files beside the repository, and a drawing opened
// on one of them through the DWG open alone.
#pragma once
#include "toolkit/ad.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/dwg/dwg_read.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::filesystem::path dwgCorpusDir() { return std::filesystem::path(VT_SHARED_DATA_DIR) / "dwg"; }

// A file's bytes; empty when it cannot be read.
inline std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every AC1012, AC1014 and AC1015 file, sorted; empty when the data is absent.
inline std::vector<std::filesystem::path> bitCodedCorpus() {
    std::vector<std::filesystem::path> files;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(dwgCorpusDir(), ignored)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".dwg" &&
            (name.rfind("ac1012_", 0) == 0 || name.rfind("ac1014_", 0) == 0 || name.rfind("ac1015_", 0) == 0))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A drawing whose file is open and whose header part the DWG open has read.
class OpenedDwg {
public:
    explicit OpenedDwg(const std::string& path) : drawing_(adCreateDrawing()) {
        if (!drawing_) return;
        drawing_->header = static_cast<AdHeaderVars*>(HostAlloc(sizeof(AdHeaderVars)));
        std::memset(drawing_->header, 0, sizeof(AdHeaderVars));
        drawing_->file = HostOpenRead(path.c_str());
        opened_ = adDwgReadHeader(drawing_);
        error_ = adGlobals->errorCode;
    }
    ~OpenedDwg() {
        if (!drawing_) return;
        adDwgReleaseFile(drawing_);
        adCloseDrawing(drawing_);
    }
    OpenedDwg(const OpenedDwg&) = delete;
    OpenedDwg& operator=(const OpenedDwg&) = delete;

    AdDrawing* get() const { return drawing_; }
    AdDwgFile* dwg() const { return adDwgFileOf(drawing_); }
    int opened() const { return opened_; }
    std::int32_t error() const { return error_; }

private:
    AdDrawing* drawing_;
    int opened_ = 0;
    std::int32_t error_ = 0;
};
