// The EXIF reader: splits a JPEG stream into its marker sections, parses the
// EXIF data of an APP1 section and the comment of a COM section into an
// ExifInfoRecord, and writes a JPEG stream anew from the sections it holds
// (which is how the JPEG encoder puts EXIF back into a file it wrote).
#pragma once

#include "imaging/raster_stream.h"

#include <cstdint>

struct ExifInfoRecord {
    char exifVersion[5];
    char cameraMake[32];
    char cameraModel[40];
    char dateTime[20];
    int height;
    int width;
    int orientation;
    int isColor;
    int process;
    int flashUsed;
    float focalLength;
    float exposureTime;
    float apertureFNumber;
    float distance;
    float ccdWidth;
    float exposureBias;
    int whiteBalance;
    int meteringMode;
    int exposureProgram;
    int isoEquivalent;
    int compressionLevel;
    float focalPlaneXRes;
    float focalPlaneYRes;
    float focalPlaneUnits;
    float xResolution;
    float yResolution;
    float resolutionUnit;
    float brightness;
    char comments[1000];
    // Into the reader's copy of the APP1 section; valid while the reader lives.
    const std::uint8_t* thumbnailPointer;
    unsigned thumbnailSize;
    bool isExif;
};

class CRasterExifReader {
public:
    // ReadSections modes.
    static constexpr int kReadExif = 1;   // parse EXIF and comment
    static constexpr int kReadImage = 2;  // keep the compressed image data
    // The pseudo-section that holds the bytes from the end of the SOS segment on.
    static constexpr int kImageData = 0x123;
    static constexpr int kMaxSections = 20;

    struct Section {
        std::uint8_t* data;  // starts with the segment's two length bytes
        int type;            // the marker code, or kImageData
        unsigned size;
    };

    // With a record the reader fills that one; with null it owns one of its own.
    explicit CRasterExifReader(ExifInfoRecord* record = nullptr);
    ~CRasterExifReader();
    CRasterExifReader(const CRasterExifReader&) = delete;
    CRasterExifReader& operator=(const CRasterExifReader&) = delete;

    bool ReadSections(CRasterStream* stream, int mode);
    bool WriteSections(CRasterStream* stream);
    void KeepExifAndComment();
    // Looks at every section but the last one read.
    Section* FindSection(int type);

    bool ParseExif(std::uint8_t* data, unsigned length);
    bool WalkDirectory(std::uint8_t* directory, std::uint8_t* base, unsigned length, ExifInfoRecord* record);
    double ConvertValue(const std::uint8_t* value, int format) const;
    void ParseComment(const std::uint8_t* data, unsigned length);
    void ParseFrameHeader(const std::uint8_t* data, unsigned length, int marker);

    ExifInfoRecord* Record;
    char LastError[256];
    int LargestDimension;
    int Motorola;  // byte order of the EXIF data: 0 Intel, 1 Motorola
    Section Sections[kMaxSections];
    int SectionCount;
    bool OwnsRecord;

private:
    void SetError(const char* text);
    void FreeSection(int index);
    unsigned Get16(const std::uint8_t* p) const;
    std::int32_t Get32s(const std::uint8_t* p) const;
    std::uint32_t Get32u(const std::uint8_t* p) const;
    bool WalkLinked(std::uint8_t* directory, std::uint8_t* base, unsigned length, ExifInfoRecord* record);
    bool ReadImageData(CRasterStream* stream);

    // Directories walked in the current parse, and how deeply they nest: a
    // link back to a directory already walked must not recurse without end.
    int directoriesWalked_ = 0;
    int depth_ = 0;
};
