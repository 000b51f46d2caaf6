// A bit-coded DWG writer over an empty drawing and a temporary output file,
// for tests of single records, and handles made from numbers.
#pragma once
#include "toolkit/db/corpus/corpus_summary.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/write/dwg/dwg_writer.h"
#include "dwg_structure.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

inline AdHandle handleOf(std::uint64_t value) {
    AdHandle h{};
    for (int i = 7; i >= 0; --i, value >>= 8) h.b[i] = static_cast<std::uint8_t>(value & 0xFF);
    return h;
}

inline std::uint64_t valueOf(const AdHandle& h) {
    std::uint64_t v = 0;
    for (std::uint8_t b : h.b) v = (v << 8) | b;
    return v;
}

// A writer over an empty drawing and a temporary output file.
class WriterHarness {
public:
    explicit WriterHarness(std::int16_t version)
        : path_((dir_.path() / "out.dwg").string()), drawing_(adCreateDrawing()),
          output_(adOpenOutputDrawing(path_.c_str(), version, 0)), writer_(std::make_unique<AdDwgWriter>()) {
        writer_->source = drawing_;
        writer_->output = output_;
        writer_->version = version;
        scope_ = std::make_unique<AdDwgBitScope>(writer_.get());
    }
    ~WriterHarness() {
        scope_.reset();
        adCloseOutputDrawing(output_);
        adCloseDrawing(drawing_);
    }
    AdDwgWriter* get() const { return writer_.get(); }
    std::vector<std::uint8_t> bytes() {
        scope_.reset();
        adCloseOutputDrawing(output_);
        output_ = nullptr;
        return readFileBytes(path_);
    }

private:
    TempDir dir_;
    std::string path_;
    AdDrawing* drawing_;
    AdOutputDrawing* output_;
    std::unique_ptr<AdDwgWriter> writer_;
    std::unique_ptr<AdDwgBitScope> scope_;
};
