// Decoding a member of the JPEG-2000 family: the member is recognised by the
// stream's first bytes, whatever identifier the caller named, and the picture
// keeps that identifier (or, asked with 0, the member found).
#include "imaging/jpeg2000/jas_image.h"
#include "imaging/jpeg2000/jas_picture.h"

#include <cstdio>
#include <cstring>

namespace {

std::uint32_t RecogniseMember(CRasterStream& stream) {
    std::uint8_t head[12] = {};
    const long start = stream.Tell();
    const std::size_t got = stream.Read(head, 1, sizeof head);
    stream.Seek(start, SEEK_SET);
    static const std::uint8_t kJp2[12] = {0, 0, 0, 12, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    static const std::uint8_t kCodeStream[4] = {0xFF, 0x4F, 0xFF, 0x51};
    static const std::uint8_t kSunRaster[4] = {0x59, 0xA6, 0x6A, 0x95};
    if (got == 12 && std::memcmp(head, kJp2, 12) == 0) return kRasterJp2;
    if (got >= 4 && std::memcmp(head, kCodeStream, 4) == 0) return kRasterJpc;
    if (got >= 4 && std::memcmp(head, kSunRaster, 4) == 0) return kRasterRas;
    if (got >= 3 && head[0] == 'P' && head[1] == 'G' && (head[2] == ' ' || head[2] == '\t')) return kRasterPgx;
    if (got >= 3 && head[0] == 'P' && head[1] >= '1' && head[1] <= '6') return kRasterPnm;
    return kRasterUnknown;
}

bool ReadMember(CRasterStream& stream, std::uint32_t member, JasPicture& picture, std::string& error) {
    switch (member) {
    case kRasterJp2: return ReadJpeg2000(stream, true, picture, error);
    case kRasterJpc: return ReadJpeg2000(stream, false, picture, error);
    case kRasterPgx: return ReadPgx(stream, picture, error);
    case kRasterPnm: return ReadPnm(stream, picture, error);
    case kRasterRas: return ReadRas(stream, picture, error);
    default: return false;
    }
}

}  // namespace

bool CRasterImageJAS::Decode(CRasterStream* stream, std::uint32_t formatId) {
    if (!stream) return false;
    const std::uint32_t member = RecogniseMember(*stream);
    JasPicture picture;
    std::string error;
    if (!ReadMember(*stream, member, picture, error)) {
        SetLastError(error.empty() ? "error: cannot load image data" : error.c_str());
        return false;
    }
    return JasPictureToImage(picture, *this, formatId ? formatId : member);
}
