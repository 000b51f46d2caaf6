// The PSD reader over arbitrary bytes, through a temporary file as it reads
// files. Header sizes are capped here so that a tiny input declaring a huge
// picture is passed over instead of reported as an allocation beyond the
// fuzzer's memory limit.
#include "fuzz/fuzz_raster.h"
#include "imaging/psd/psd_reader.h"

#include <cstdio>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= 22) {
        const std::uint64_t height = CPsdReader::ReadBigEndian(data + 14, 4), width = CPsdReader::ReadBigEndian(data + 18, 4);
        if (height * width > kFuzzMaxPixels) return 0;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::tmpfile(), &std::fclose);
    if (!file || std::fwrite(data, 1, size, file.get()) != size) return 0;
    std::rewind(file.get());
    CPsdReader reader;
    if (reader.Load(file.get()) == 0 && reader.Picture().IsValid()) reader.Picture().GetColorAt(0, 0, false);
    return 0;
}
