// The EXIF reader over hand-made JPEG streams: the section table, the EXIF
// directories with their bounds, and the record's fields.
#include "exif_bytes.h"
#include "imaging/jpeg/exif_reader.h"
#include "imaging/raster_stream.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct ReadResult {
    bool ok;
    std::string error;
    ExifInfoRecord record;
};

ReadResult Read(const Bytes& jpeg, int mode = CRasterExifReader::kReadExif) {
    ExifInfoRecord record{};
    CRasterExifReader reader(&record);
    CRasterMemStream stream(jpeg.data(), static_cast<std::uint32_t>(jpeg.size()));
    const bool ok = reader.ReadSections(&stream, mode);
    return {ok, reader.LastError, record};
}

Bytes WithExif(const Bytes& tiff) { return JpegWith({ExifBuilder::App1(tiff)}); }

TEST(ExifSections, StreamStartAndPadding) {
    EXPECT_FALSE(Read(Bytes{0x89, 'P', 'N', 'G'}).ok);
    EXPECT_EQ(Read(Bytes{0x89, 'P', 'N', 'G'}).error, "");

    // A marker after six 0xFF bytes (its own prefix among them) is read; a seventh fails.
    const Bytes rest = JpegWith({});
    Bytes six{0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    ExifBuilder::Append(six, Segment(0xFE, {'h', 'i'}));
    six.insert(six.end(), rest.begin() + 2, rest.end());
    EXPECT_TRUE(Read(six).ok);
    EXPECT_STREQ(Read(six).record.comments, "hi");
    Bytes seven = six;
    seven.insert(seven.begin() + 2, 0xFF);
    EXPECT_FALSE(Read(seven).ok);
}

TEST(ExifSections, AtMostTwentySectionsBeforeTheScan) {
    const auto withKept = [](int kept) {
        Bytes jpeg{0xFF, 0xD8};
        ExifBuilder::Append(jpeg, Segment(0xE0, Bytes(14, 0)));  // discarded, not counted
        for (int i = 0; i < kept; ++i) ExifBuilder::Append(jpeg, Segment(0xDB, {0}));
        ExifBuilder::Append(jpeg, Segment(0xDA, {0}));
        return jpeg;
    };
    EXPECT_TRUE(Read(withKept(19)).ok);  // the scan is the twentieth
    const ReadResult many = Read(withKept(20));
    EXPECT_FALSE(many.ok);
    EXPECT_EQ(many.error, "Too many sections in jpg file");
}

TEST(ExifSections, DamagedSegmentsFail) {
    const struct {
        const char* name;
        Bytes jpeg;
        const char* error;
    } cases[] = {
        {"length below 2", {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x01}, "invalid marker"},
        {"stream ends in a segment", {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x10, 1, 2}, "Premature end of file?"},
        {"stream ends before a marker", {0xFF, 0xD8}, "invalid marker"},
    };
    for (const auto& c : cases) {
        const ReadResult result = Read(c.jpeg);
        EXPECT_FALSE(result.ok) << c.name;
        EXPECT_EQ(result.error, c.error) << c.name;
    }
}

TEST(ExifDirectories, FieldsFromBothByteOrders) {
    for (const bool motorola : {false, true}) {
        SCOPED_TRACE(motorola ? "Motorola" : "Intel");
        const ExifBuilder b(motorola);
        const Bytes thumbnail{0xFF, 0xD8, 0xFF, 0xD9};
        const auto tiffWith = [&](std::uint32_t thumbnailAt) {
            return b.Tiff({{ExifBuilder::Text(0x010F, "Maker"), ExifBuilder::Text(0x0110, "Model 7"),
                            b.Short(0x0112, 6), b.Rational(0x011A, 300, 1), b.Short(0x0128, 2), b.Short(0x8827, 4),
                            b.Rational(0x829A, 1, 250), b.Short(0x9209, 0x19), ExifBuilder::Text(0x9000, "0230", 7)},
                           {b.Short(0x0112, 1), b.Rational(0x011A, 72, 1), b.Long(0x0201, thumbnailAt),
                            b.Long(0x0202, 4)}});
        };
        // The thumbnail follows the thumbnail directory, at the end of the data.
        // That directory's orientation and resolution are the thumbnail's and
        // leave the picture's as they are.
        Bytes withThumbnail = tiffWith(static_cast<std::uint32_t>(tiffWith(0).size()));
        ExifBuilder::Append(withThumbnail, thumbnail);
        // The thumbnail pointer points into the reader's copy of the section.
        ExifInfoRecord r{};
        CRasterExifReader reader(&r);
        const Bytes jpeg = WithExif(withThumbnail);
        CRasterMemStream stream(jpeg.data(), static_cast<std::uint32_t>(jpeg.size()));
        ASSERT_TRUE(reader.ReadSections(&stream, CRasterExifReader::kReadExif)) << reader.LastError;
        EXPECT_TRUE(r.isExif);
        EXPECT_STREQ(r.cameraMake, "Maker");
        EXPECT_STREQ(r.cameraModel, "Model 7");
        EXPECT_STREQ(r.exifVersion, "0230");
        EXPECT_EQ(r.orientation, 6);
        EXPECT_FLOAT_EQ(r.xResolution, 300);
        EXPECT_FLOAT_EQ(r.resolutionUnit, 1);
        EXPECT_EQ(r.isoEquivalent, 800);
        EXPECT_FLOAT_EQ(r.exposureTime, 0.004f);
        EXPECT_EQ(r.flashUsed, 1);
        EXPECT_EQ(r.width, 1);
        EXPECT_EQ(r.isColor, 1);
        EXPECT_EQ(r.process, 0xC0);
        ASSERT_EQ(r.thumbnailSize, thumbnail.size());
        EXPECT_EQ(0, std::memcmp(r.thumbnailPointer, thumbnail.data(), thumbnail.size()));
    }
}

TEST(ExifDirectories, ValuesAndTheirRules) {
    const ExifBuilder b;
    const Bytes comment = [] {
        Bytes v{'A', 'S', 'C', 'I', 'I', 0, 0, 0, 'H', 'e', 'l', 'l', 'o', ' ', ' '};
        return v;
    }();
    const struct {
        const char* name;
        ExifEntry entry;
        std::string error;
        int orientation, iso;
        const char* comments;
        float resolutionUnit;
    } cases[] = {
        {"orientation 9", b.Short(0x0112, 9), "Undefined rotation value", 0, 0, "", 0},
        {"ISO 100", b.Short(0x8827, 100), "", 0, 100, "", 0},
        {"user comment", {0x9286, 7, 15, comment}, "", 0, 0, "Hello", 0},
        {"unit centimetre", b.Short(0x0128, 3), "", 0, 0, "", 1 / 2.54f},
        {"unit 9 leaves the field", b.Short(0x0128, 9), "", 0, 0, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExifInfoRecord record{};
        CRasterExifReader reader(&record);
        const Bytes jpeg = WithExif(b.Tiff({{c.entry}}));
        CRasterMemStream stream(jpeg.data(), static_cast<std::uint32_t>(jpeg.size()));
        EXPECT_TRUE(reader.ReadSections(&stream, CRasterExifReader::kReadExif));
        EXPECT_TRUE(record.isExif);
        EXPECT_EQ(std::string(reader.LastError), c.error);
        EXPECT_EQ(record.orientation, c.orientation);
        EXPECT_EQ(record.isoEquivalent, c.iso);
        EXPECT_STREQ(record.comments, c.comments);
        EXPECT_FLOAT_EQ(record.resolutionUnit, c.resolutionUnit);
    }
}

TEST(ExifDirectories, DamagedDataIsRefusedWithinTheSegment) {
    const ExifBuilder b;
    Bytes oversized = b.Tiff({{b.Short(0x0112, 1)}});
    oversized[8] = 200;  // 200 entries in a directory of one
    Bytes farValue = b.Tiff({{ExifBuilder::Text(0x010F, "a long camera make")}});
    farValue[8 + 2 + 8] = 0xF0;  // the value's offset beyond the data
    Bytes badLink = b.Tiff({{b.Long(0x8769, 0x7000)}});
    const struct {
        const char* name;
        Bytes tiff;
        const char* error;
    } cases[] = {
        {"byte order XX", b.Tiff({{}}, 42, "XX"), "Invalid Exif alignment marker."},
        {"magic 43", b.Tiff({{}}, 43), "Invalid Exif start (1)"},
        {"directory past the segment", oversized, "Illegally sized directory"},
        {"format code 13", b.Tiff({{ExifEntry{0x0112, 13, 1, {0, 0, 0, 0}}}}), "Illegal format code in EXIF dir"},
        {"value past the segment", farValue, "Illegal pointer offset value in EXIF."},
        {"sub-directory link past the segment", badLink, "Illegal subdirectory link"},
    };
    for (const auto& c : cases) {
        const ReadResult result = Read(WithExif(c.tiff));
        EXPECT_FALSE(result.record.isExif) << c.name;
        EXPECT_EQ(result.error, c.error) << c.name;
    }
}

TEST(ExifDirectories, LinksBackToADirectoryEnd) {
    const ExifBuilder b;
    // The EXIF sub-directory link and the next-directory link both point at the directory itself.
    Bytes tiff = b.Tiff({{b.Long(0x8769, 8), b.Long(0x8769, 8), b.Short(0x0112, 3)}});
    const Bytes self = b.U32(8);
    std::copy(self.begin(), self.end(), tiff.begin() + 8 + 2 + 3 * 12);  // next directory
    for (int entry = 0; entry < 2; ++entry) {
        std::copy(self.begin(), self.end(), tiff.begin() + 8 + 2 + 12 * entry + 8);
    }
    // Offsets of 8 are ignored as links: point them one byte further, at a copy.
    tiff[8 + 2 + 8] = 9;
    tiff[8 + 2 + 12 + 8] = 9;
    const ReadResult result = Read(WithExif(tiff));
    EXPECT_TRUE(result.ok);
    EXPECT_TRUE(result.record.isExif);
    EXPECT_EQ(result.record.orientation, 3);
}

TEST(ExifSections, WritesTheKeptSectionsBeforeTheImage) {
    const ExifBuilder b;
    const Bytes original = JpegWith({ExifBuilder::App1(b.Tiff({{ExifBuilder::Text(0x010F, "Maker")}})),
                                     Segment(0xFE, {'n', 'o', 't', 'e'}), Segment(0xFE, {'x'})});
    ExifInfoRecord record{};
    CRasterExifReader reader(&record);
    CRasterMemStream in(original.data(), static_cast<std::uint32_t>(original.size()));
    ASSERT_TRUE(reader.ReadSections(&in, CRasterExifReader::kReadExif | CRasterExifReader::kReadImage));
    reader.KeepExifAndComment();
    ASSERT_EQ(reader.SectionCount, 2);
    EXPECT_EQ(reader.Sections[0].type, 0xE1);
    EXPECT_EQ(reader.Sections[1].type, 0xFE);

    const Bytes image = JpegWith({Segment(0xE0, Bytes(14, 0))});
    CRasterMemStream second(image.data(), static_cast<std::uint32_t>(image.size()));
    ASSERT_TRUE(reader.ReadSections(&second, CRasterExifReader::kReadImage));
    CRasterMemStream out;
    ASSERT_TRUE(out.Open());
    ASSERT_TRUE(reader.WriteSections(&out));
    const Bytes written(out.Buffer, out.Buffer + out.End);

    const ReadResult reread = Read(written);
    EXPECT_TRUE(reread.ok);
    EXPECT_STREQ(reread.record.cameraMake, "Maker");
    EXPECT_STREQ(reread.record.comments, "note");
    // The APP0 of the second stream was dropped; the EXIF segment follows the start of image.
    EXPECT_EQ(written[3], 0xE1);
    EXPECT_EQ(Bytes(written.end() - 4, written.end()), (Bytes{0x12, 0x34, 0xFF, 0xD9}));

    CRasterExifReader empty;
    CRasterMemStream sink;
    ASSERT_TRUE(sink.Open());
    EXPECT_FALSE(empty.WriteSections(&sink));
    EXPECT_STREQ(empty.LastError, "Can't write exif : didn't read all");
}

}  // namespace
