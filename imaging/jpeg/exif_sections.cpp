// The EXIF reader's section table: reading a JPEG stream's marker segments up
// to the start of scan, keeping the ones worth writing back, and writing a
// JPEG stream anew from them.
#include "imaging/jpeg/exif_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool IsFrameHeader(int marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

}  // namespace

CRasterExifReader::CRasterExifReader(ExifInfoRecord* record)
    : Record(record), LastError{}, LargestDimension(0), Motorola(0), Sections{}, SectionCount(0),
      OwnsRecord(record == nullptr) {
    if (OwnsRecord) Record = static_cast<ExifInfoRecord*>(std::calloc(1, sizeof(ExifInfoRecord)));
}

CRasterExifReader::~CRasterExifReader() {
    for (Section& section : Sections) std::free(section.data);
    if (OwnsRecord) std::free(Record);
}

void CRasterExifReader::SetError(const char* text) {
    std::strncpy(LastError, text, sizeof LastError - 1);
    LastError[sizeof LastError - 1] = '\0';
}

void CRasterExifReader::FreeSection(int index) {
    std::free(Sections[index].data);
    Sections[index] = Section{};
}

bool CRasterExifReader::ReadSections(CRasterStream* stream, int mode) {
    std::uint8_t start[2];
    if (!stream || !Record || stream->Read(start, 1, 2) != 2 || start[0] != 0xFF || start[1] != 0xD8) return false;
    bool commentDone = false;
    for (;;) {
        if (SectionCount >= kMaxSections) {
            SetError("Too many sections in jpg file");
            return false;
        }
        // A marker may be padded with 0xFF bytes; six in a row are accepted.
        int marker = 0;
        for (int count = 0;; ++count) {
            marker = stream->GetC();
            if (marker != 0xFF) break;
            if (count >= 6) {
                std::fputs("too many padding bytes\n", stdout);
                return false;
            }
        }
        std::uint8_t lengthBytes[2];
        const unsigned length = stream->Read(lengthBytes, 1, 2) == 2 ? (lengthBytes[0] << 8) | lengthBytes[1] : 0;
        if (length < 2) {
            SetError("invalid marker");
            return false;
        }
        auto* data = static_cast<std::uint8_t*>(std::malloc(length));
        if (!data) {
            SetError("Could not allocate memory");
            return false;
        }
        data[0] = lengthBytes[0];
        data[1] = lengthBytes[1];
        if (stream->Read(data + 2, 1, length - 2) != length - 2) {
            std::free(data);
            SetError("Premature end of file?");
            return false;
        }
        const int index = SectionCount++;
        Sections[index] = Section{data, marker, length};

        if (IsFrameHeader(marker)) {
            ParseFrameHeader(data, length, marker);
        } else if (marker == 0xD9) {
            std::fputs("No image in jpeg!\n", stdout);
            return false;
        } else if (marker == 0xDA) {
            return !(mode & kReadImage) || ReadImageData(stream);
        } else if (marker == 0xE0) {
            FreeSection(--SectionCount);
        } else if (marker == 0xE1) {
            if ((mode & kReadExif) && length >= 6 && std::memcmp(data + 2, "Exif", 4) == 0) {
                Record->isExif = ParseExif(data + 2, length);
            } else {
                FreeSection(--SectionCount);
            }
        } else if (marker == 0xFE) {
            if ((mode & kReadExif) && !commentDone) {
                ParseComment(data, length);
                commentDone = true;
            } else {
                FreeSection(--SectionCount);
            }
        }
    }
}

// The rest of the stream after the start-of-scan segment: the compressed data
// and whatever follows it.
bool CRasterExifReader::ReadImageData(CRasterStream* stream) {
    if (SectionCount >= kMaxSections) {
        SetError("Too many sections in jpg file");
        return false;
    }
    const long position = stream->Tell();
    const long end = stream->Seek(0, 2) ? stream->Tell() : position;
    stream->Seek(position, 0);
    const unsigned size = end > position ? static_cast<unsigned>(end - position) : 0;
    auto* data = static_cast<std::uint8_t*>(std::malloc(size ? size : 1));
    if (!data) {
        SetError("could not allocate data for entire image");
        return false;
    }
    if (stream->Read(data, 1, size) != size) {
        std::free(data);
        SetError("could not read the rest of the image");
        return false;
    }
    Sections[SectionCount++] = Section{data, kImageData, size};
    return true;
}

void CRasterExifReader::KeepExifAndComment() {
    Section exif{}, comment{};
    for (int i = 0; i < SectionCount; ++i) {
        if (Sections[i].type == 0xE1 && !exif.data) {
            exif = Sections[i];
        } else if (Sections[i].type == 0xFE && !comment.data) {
            comment = Sections[i];
        } else {
            std::free(Sections[i].data);
        }
        Sections[i] = Section{};
    }
    SectionCount = 0;
    if (exif.data) Sections[SectionCount++] = exif;
    if (comment.data) Sections[SectionCount++] = comment;
}

CRasterExifReader::Section* CRasterExifReader::FindSection(int type) {
    for (int i = 0; i < SectionCount - 1; ++i) {
        if (Sections[i].type == type) return &Sections[i];
    }
    return nullptr;
}

bool CRasterExifReader::WriteSections(CRasterStream* stream) {
    if (!stream || !FindSection(0xDA)) {
        SetError("Can't write exif : didn't read all");
        return false;
    }
    // APP0, length 16, "JFIF", version 1.1, 300 x 300 dots per inch, no thumbnail.
    static const std::uint8_t kJfif[18] = {0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00,
                                           0x01, 0x01, 0x01, 0x01, 0x2C, 0x01, 0x2C, 0x00, 0x00};
    static const std::uint8_t kStart[2] = {0xFF, 0xD8};
    bool written = stream->Write(kStart, 1, 2) == 2;
    if (Sections[0].type != 0xE1 && Sections[0].type != 0xE0) written = written && stream->Write(kJfif, 1, 18) == 18;
    for (int i = 0; i < SectionCount - 1 && written; ++i) {
        const std::uint8_t marker[2] = {0xFF, static_cast<std::uint8_t>(Sections[i].type)};
        written = stream->Write(marker, 1, 2) == 2 && stream->Write(Sections[i].data, 1, Sections[i].size) == Sections[i].size;
    }
    const Section& last = Sections[SectionCount - 1];
    written = written && stream->Write(last.data, 1, last.size) == last.size;
    // A short write is a failure the caller must hear of, not a finished file.
    if (!written) SetError("Can't write exif : write error");
    return written;
}
