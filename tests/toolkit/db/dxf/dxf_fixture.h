// A drawing over a DXF file, as the load driver sets one up before the DXF
// reader's open, and DXF text written to a temporary file.
#pragma once
#include "toolkit/ad.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>
#include <string>

class OpenedDxf {
public:
    explicit OpenedDxf(const std::string& path) : drawing_(adCreateDrawing()) {
        AdFileSniff sniff{};
        adSniffDrawingFile(path.c_str(), &sniff);
        drawing_->header = static_cast<AdHeaderVars*>(HostAlloc(sizeof(AdHeaderVars)));
        std::memset(drawing_->header, 0, sizeof(AdHeaderVars));
        drawing_->format = sniff.format;
        drawing_->dxf = 1;
        drawing_->version = sniff.version;
        drawing_->file = HostOpenRead(path.c_str());
        adSetHandleSeed(drawing_, &adGlobals->handleSeedDefault);
    }
    ~OpenedDxf() {
        if (drawing_->file) HostClose(drawing_->file);
        drawing_->file = nullptr;
        adCloseDrawing(drawing_);
    }
    OpenedDxf(const OpenedDxf&) = delete;
    OpenedDxf& operator=(const OpenedDxf&) = delete;

    AdDrawing* get() const { return drawing_; }
    int open() {
        adGlobals->continueFlag = 1;
        return adDxfOpen(drawing_);
    }

private:
    AdDrawing* drawing_;
};

// Groups as an ASCII DXF file holds them: code and value, each on a line.
inline std::string asciiGroups(std::initializer_list<std::pair<int, std::string>> groups) {
    std::string text;
    for (const auto& [code, value] : groups) text += std::to_string(code) + "\n" + value + "\n";
    return text;
}

class DxfTest : public StartedToolkit {
protected:
    TempDir dir_;
};
