// For fuzz targets over code that opens files: the input written to a
// temporary file of this process, overwritten by each input and removed when
// the process exits.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

inline std::filesystem::path FuzzFileFolder() {
    std::error_code error;
    const std::filesystem::path memory = "/dev/shm";
    if (std::filesystem::is_directory(memory, error)) return memory;
    return std::filesystem::temp_directory_path();
}

// Answers the file's path; extension (fixed by the first call): for readers
// that go by a file's name. A file that cannot be written stops the run: the
// input would otherwise go untested without a sign.
inline const std::string& FuzzInputFile(const std::uint8_t* data, std::size_t size, const char* extension = ".bin") {
    struct TempFile {
        std::string path;
        ~TempFile() { std::remove(path.c_str()); }
    };
    // A memory file system, where there is one, keeps the write of every
    // input off the disk.
    static const TempFile file{(FuzzFileFolder() / ("vt_fuzz_" + std::to_string(getpid()) + extension)).string()};
    std::FILE* f = std::fopen(file.path.c_str(), "wb");
    const bool written = f && std::fwrite(data, 1, size, f) == size;
    if (!f || std::fclose(f) != 0 || !written) {
        std::perror(file.path.c_str());
        std::abort();
    }
    return file.path;
}
