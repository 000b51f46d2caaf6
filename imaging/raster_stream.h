// The byte stream every codec of the image library reads and writes through,
// so that one codec serves files and memory alike. The operations mirror the
// standard I/O calls: element-counted reads and writes, seeks from the start
// (0), the current position (1) or the end (2), single-byte get and put.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

class CRasterStream {
public:
    virtual ~CRasterStream() = default;
    virtual bool Close() = 0;
    // Answers the number of whole elements read or written.
    virtual std::size_t Read(void* buffer, std::size_t size, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t size, std::size_t count) = 0;
    virtual bool Seek(long offset, int origin) = 0;
    virtual long Tell() = 0;
    virtual long Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual long Error() = 0;
    virtual bool PutC(std::uint8_t byte);
    // The next byte as 0 to 255, or -1 at the end.
    virtual int GetC() = 0;
};

// Over a standard I/O file. The streams this system builds wrap files their
// callers opened and close, so the stream closes its file only when it was
// built over none.
class CRasterStdioStream : public CRasterStream {
public:
    explicit CRasterStdioStream(std::FILE* file) : File(file), CloseFile(file == nullptr) {}
    ~CRasterStdioStream() override;
    CRasterStdioStream(const CRasterStdioStream&) = delete;
    CRasterStdioStream& operator=(const CRasterStdioStream&) = delete;

    bool Close() override;
    std::size_t Read(void* buffer, std::size_t size, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count) override;
    bool Seek(long offset, int origin) override;
    long Tell() override;
    long Size() override;
    bool Flush() override;
    bool Eof() override;
    long Error() override;
    bool PutC(std::uint8_t byte) override;
    int GetC() override;

    std::FILE* File;
    bool CloseFile;
};

// Over a block of memory that grows in 4 KB steps as it is written. A stream
// built over a caller's bytes only reads them: the first write that needs
// more room moves the bytes into a block of the stream's own.
class CRasterMemStream : public CRasterStream {
public:
    explicit CRasterMemStream(const std::uint8_t* buffer = nullptr, std::uint32_t size = 0);
    ~CRasterMemStream() override;
    CRasterMemStream(const CRasterMemStream&) = delete;
    CRasterMemStream& operator=(const CRasterMemStream&) = delete;

    bool Open();
    bool Close() override;
    // With detach the caller takes over the block and frees it with free().
    std::uint8_t* GetBuffer(bool detach);
    std::size_t Read(void* buffer, std::size_t size, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count) override;
    bool Seek(long offset, int origin) override;
    long Tell() override;
    long Size() override;
    bool Flush() override;
    bool Eof() override;
    long Error() override;
    bool PutC(std::uint8_t byte) override;
    int GetC() override;

    std::uint8_t* Buffer;
    std::uint32_t End;
    bool OwnsBuffer;
    std::uint32_t Position;
    std::uint32_t Capacity;

private:
    bool Grow(std::uint64_t needed);
    void ZeroGap();
};
