// Decode and Encode by format identifier, and the file forms over them.
#include "imaging/raster_formats.h"

#include <cstdio>
#include <new>
#include <string>

namespace {

// Identifier 0 tries the formats in this order, telling each class it is
// being tried (identifier 0): the JPEG-2000 family, last, then finds its own
// member, and the formats without a real signature ask more of the file.
constexpr std::uint32_t kProbeOrder[] = {kRasterBmp, kRasterJpeg, kRasterIco, kRasterGif,
                                         kRasterPng, kRasterTiff, kRasterMng, kRasterTga,
                                         kRasterPcx, kRasterWbmp, kRasterWmf, kRasterJp2};

constexpr char kUnknownFormat[] = "Decode: Unknown or wrong format";

bool KeepsFrameCount(std::uint32_t formatId) {
    return formatId == kRasterGif || formatId == kRasterMng || formatId == kRasterIco || formatId == kRasterTiff;
}

// A codec reports through its result and text; nothing it throws gets out.
template <class Run>
bool RunCodec(CRasterImage& image, Run run) {
    try {
        return run();
    } catch (const std::bad_alloc&) {
        image.SetLastError("out of memory");
    } catch (...) {
        image.SetLastError("unexpected codec failure");
    }
    return false;
}

}  // namespace

bool CRasterImage::Decode(CRasterStream* stream, std::uint32_t formatId) {
    if (formatId >= kRasterFormatCount) {
        SetLastError(kUnknownFormat);
        return false;
    }
    if (formatId == kRasterUnknown) {
        if (!stream) {
            SetLastError(kUnknownFormat);
            return false;
        }
        const long start = stream->Tell();
        for (std::uint32_t id : kProbeOrder) {
            const RasterFormat* format = FindRasterFormat(id);
            if (!format) continue;
            std::unique_ptr<CRasterImage> trial = format->make();
            trial->CopyInfoFrom(*this);
            if (RunCodec(*trial, [&] { return format->decode(*trial, stream, kRasterUnknown); }))
                return TakeOver(*trial);
            stream->Seek(start, SEEK_SET);
        }
        SetLastError(kUnknownFormat);
        return false;
    }
    const RasterFormat* format = FindRasterFormat(formatId);
    if (!format) {
        SetLastError(("Decode: " + std::string(RasterFormatName(formatId)) + " format not available").c_str());
        return false;
    }
    std::unique_ptr<CRasterImage> decoded = format->make();
    decoded->CopyInfoFrom(*this);
    if (RunCodec(*decoded, [&] { return format->decode(*decoded, stream, formatId); })) return TakeOver(*decoded);
    SetLastError(decoded->Info.LastError);
    if (KeepsFrameCount(formatId)) Info.FrameCount = decoded->Info.FrameCount;
    return false;
}

bool CRasterImage::Encode(CRasterStream* stream, std::uint32_t formatId) {
    if (formatId == kRasterUnknown || formatId >= kRasterFormatCount) {
        SetLastError("Encode: Unknown format");
        return false;
    }
    const RasterFormat* format = FindRasterFormat(formatId);
    if (!format || !format->encode) {
        SetLastError(("Encode: " + std::string(RasterFormatName(formatId)) + " format not available").c_str());
        return false;
    }
    // The encoder works on a ghost: it sees this image's buffers without a copy
    // and its destruction leaves them alone.
    std::unique_ptr<CRasterImage> ghost = format->make();
    ghost->MakeGhostOf(*this);
    const bool encoded = RunCodec(*ghost, [&] { return format->encode(*ghost, stream, formatId); });
    if (!encoded) SetLastError(ghost->Info.LastError);
    return encoded;
}

bool CRasterImage::Decode(std::FILE* file, std::uint32_t formatId) {
    CRasterStdioStream stream(file);
    return Decode(&stream, formatId);
}

bool CRasterImage::Encode(std::FILE* file, std::uint32_t formatId) {
    CRasterStdioStream stream(file);
    return Encode(&stream, formatId);
}

bool CRasterImage::Decode(const std::uint8_t* buffer, std::uint32_t size, std::uint32_t formatId) {
    CRasterMemStream stream(buffer, size);
    return Decode(&stream, formatId);
}

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool CRasterImage::LoadFile(const char* path, std::uint32_t formatId) {
    if (!path) return false;
    if (formatId >= 1 && formatId < kRasterFormatCount) {
        FileHandle file(std::fopen(path, "rb"));
        if (!file) return false;
        if (Decode(file.get(), formatId)) return true;
    }
    // A file named with the wrong format is still read when its content is a known one.
    std::string namedFailure = Info.LastError;
    FileHandle file(std::fopen(path, "rb"));
    if (!file) return false;
    const bool decoded = Decode(file.get(), kRasterUnknown);
    if (!decoded && formatId != kRasterUnknown) SetLastError(namedFailure.c_str());
    return decoded;
}

bool CRasterImage::SaveFile(const char* path, std::uint32_t formatId) {
    if (!path) return false;
    FileHandle file(std::fopen(path, "wb"));
    if (!file) return false;
    return Encode(file.get(), formatId);
}
