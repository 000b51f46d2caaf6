#include "imaging/raster_stream.h"

bool CRasterStream::PutC(std::uint8_t byte) { return Write(&byte, 1, 1) == 1; }

CRasterStdioStream::~CRasterStdioStream() { Close(); }

bool CRasterStdioStream::Close() {
    if (!File || !CloseFile) return true;
    const bool closed = std::fclose(File) == 0;
    File = nullptr;
    return closed;
}

std::size_t CRasterStdioStream::Read(void* buffer, std::size_t size, std::size_t count) {
    return File ? std::fread(buffer, size, count, File) : 0;
}

std::size_t CRasterStdioStream::Write(const void* buffer, std::size_t size, std::size_t count) {
    return File ? std::fwrite(buffer, size, count, File) : 0;
}

bool CRasterStdioStream::Seek(long offset, int origin) { return File && std::fseek(File, offset, origin) == 0; }

long CRasterStdioStream::Tell() { return File ? std::ftell(File) : 0; }

long CRasterStdioStream::Size() {
    if (!File) return -1;
    const long here = std::ftell(File);
    std::fseek(File, 0, SEEK_END);
    const long end = std::ftell(File);
    std::fseek(File, here, SEEK_SET);
    return end;
}

bool CRasterStdioStream::Flush() { return File && std::fflush(File) == 0; }

bool CRasterStdioStream::Eof() { return !File || std::feof(File) != 0; }

long CRasterStdioStream::Error() { return File ? std::ferror(File) : -1; }

bool CRasterStdioStream::PutC(std::uint8_t byte) { return File && std::fputc(byte, File) == byte; }

int CRasterStdioStream::GetC() { return File ? std::getc(File) : -1; }
