// Reading a DWG file byte by byte outside the bit stream: the little-endian
// words of the file header, runs of bytes copied or checked, and the DWG
// state of the file being read.
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/ad_internal.h"

#include <algorithm>
#include <cstring>

namespace {
// Pieces in which file bytes are copied into stores and run through the CRC.
constexpr std::int32_t kCopyPiece = 8192;

int readBytes(HostFile* file, std::uint8_t* bytes, std::size_t count) {
    return file && HostRead(bytes, 1, count, file) == count ? 1 : 0;
}

}  // namespace

void adDwgClearFileState(AdDwgFile* dwg) {
    if (dwg->indexReader) adStreamCloseRead(dwg->indexReader);
    AdStore* stores[] = {dwg->index, dwg->previewBmp, dwg->previewWmf};
    for (AdStore* store : stores)
        if (store) adStoreFree(store);
    if (adGlobals && adGlobals->bitStream == &dwg->bits) adGlobals->bitStream = nullptr;
    std::memset(dwg, 0, sizeof *dwg);
}

// The state belongs to the drawing, so a second drawing opened meanwhile (an
// external reference) cannot disturb it, and its preview lives as long as it.
AdDwgFile* adDwgBeginFile(AdDrawing* drawing) {
    if (drawing->dwgFile) {
        adDwgClearFileState(drawing->dwgFile);
    } else {
        drawing->dwgFile = static_cast<AdDwgFile*>(HostAlloc(sizeof(AdDwgFile)));
        if (!drawing->dwgFile) {
            adNoMemory(AD_ERR_NO_DRAWING_MEMORY);
            return nullptr;
        }
        std::memset(drawing->dwgFile, 0, sizeof(AdDwgFile));
    }
    if (!drawing->bitStream) drawing->bitStream = &drawing->dwgFile->bits;
    return drawing->dwgFile;
}

AdDwgFile* adDwgFileOf(const AdDrawing* drawing) { return drawing ? drawing->dwgFile : nullptr; }

void adDwgReleaseFile(AdDrawing* drawing) {
    if (!drawing || !drawing->dwgFile) return;
    if (drawing->bitStream == &drawing->dwgFile->bits) drawing->bitStream = nullptr;
    adDwgClearFileState(drawing->dwgFile);
    HostFree(drawing->dwgFile);
    drawing->dwgFile = nullptr;
}

int adDwgFail(std::int32_t code) {
    adSetError(code);
    return 0;
}

std::int32_t adDwgLittle32(const std::uint8_t* bytes) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) |
                                     (static_cast<std::uint32_t>(bytes[1]) << 8) |
                                     (static_cast<std::uint32_t>(bytes[2]) << 16) |
                                     (static_cast<std::uint32_t>(bytes[3]) << 24));
}

int adDwgReadRawByte(HostFile* file, std::uint8_t* value) { return readBytes(file, value, 1); }

int adDwgReadRawShort(HostFile* file, std::uint16_t* value) {
    std::uint8_t b[2];
    if (!readBytes(file, b, sizeof b)) return 0;
    *value = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    return 1;
}

int adDwgReadRawLong(HostFile* file, std::int32_t* value) {
    std::uint8_t b[4];
    if (!readBytes(file, b, sizeof b)) return 0;
    *value = adDwgLittle32(b);
    return 1;
}

bool adDwgInFile(std::int64_t offset, std::int64_t count, std::int64_t fileLength) {
    return offset >= 0 && count >= 0 && offset <= fileLength && count <= fileLength - offset;
}

int adDwgCopyToStore(HostFile* file, AdStore* store, std::int32_t offset, std::int32_t size) {
    std::uint8_t piece[kCopyPiece];
    if (!file || !store || size < 0 || HostSeek(file, offset, SEEK_SET) != 0) return 0;
    AdStream* out = adStreamOpenWrite(store);
    if (!out) return 0;
    int ok = 1;
    for (std::int32_t done = 0; ok && done < size;) {
        const std::int32_t n = std::min(kCopyPiece, size - done);
        ok = readBytes(file, piece, static_cast<std::size_t>(n)) && adStreamWrite(out, piece, n);
        done += n;
    }
    return adStreamCloseWrite(out) && ok;
}

int adDwgFileCrc(HostFile* file, std::int32_t offset, std::int32_t count, std::uint16_t* crc) {
    std::uint8_t piece[kCopyPiece];
    if (!file || count < 0 || HostSeek(file, offset, SEEK_SET) != 0) return 0;
    for (std::int32_t done = 0; done < count;) {
        const std::int32_t n = std::min(kCopyPiece, count - done);
        if (!readBytes(file, piece, static_cast<std::size_t>(n))) return 0;
        *crc = adCrc16(*crc, piece, n);
        done += n;
    }
    return 1;
}
