// An output drawing over a temporary file, and the bytes it wrote.
#pragma once
#include "toolkit/write/writer.h"
#include "toolkit/db/temp_dir.h"

#include <fstream>
#include <iterator>
#include <string>

class OutputFile {
public:
    OutputFile(std::int16_t version, std::uint8_t format)
        : path_((dir_.path() / "out.dxf").string()), output_(adOpenOutputDrawing(path_.c_str(), version, format)) {}
    ~OutputFile() { adCloseOutputDrawing(output_); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    AdOutputDrawing* get() const { return output_; }
    // Closes the file and answers everything written.
    std::string bytes() {
        adCloseOutputDrawing(output_);
        output_ = nullptr;
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    TempDir dir_;
    std::string path_;
    AdOutputDrawing* output_;
};
