// The EXIF record of the shared JPEG files and of the fixtures that carry EXIF
// against exiftool's reading of the same files (-n: values as stored, not as
// printed; -G1: each tag with the directory it came from).
#include "imaging/jpeg/exif_reader.h"
#include "imaging/raster_stream.h"
#include "oracle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// One file's tags as exiftool prints them, by "Group:Tag"; strings unquoted.
using Tags = std::map<std::string, std::string>;

// The JSON string that starts at text[i] (its opening quote), unescaped; i ends
// past the closing quote. Characters beyond ASCII are kept as "?", one per
// character, as the comment reader keeps them.
std::string JsonString(const std::string& text, std::size_t& i) {
    std::string out;
    for (++i; i < text.size() && text[i] != '"'; ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            c = text[++i];
            if (c == 'n') c = '\n';
            else if (c == 't') c = '\t';
            else if (c == 'r') c = '\r';
            else if (c == 'u') {
                const unsigned code = std::stoul(text.substr(i + 1, 4), nullptr, 16);
                i += 4;
                c = code < 0x80 ? static_cast<char>(code) : '?';
            }
        } else if (static_cast<unsigned char>(c) >= 0x80) {
            // A UTF-8 sequence: one character, its continuation bytes skipped.
            while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) ++i;
            c = '?';
        }
        out += c;
    }
    ++i;
    return out;
}

// exiftool prints each tag of each file's object on a line of its own.
std::map<std::string, Tags> ReadExiftool(const std::vector<fs::path>& files) {
    const fs::path output = fs::path(testing::TempDir()) / "exif_exiftool.json";
    std::string command = "exiftool -n -j -a -G1";
    for (const fs::path& file : files) command += " '" + file.string() + "'";
    command += " > '" + output.string() + "' 2>/dev/null";
    // exiftool exits with 1 when a file has problems it reports in the output.
    std::system(command.c_str());
    std::ifstream in(output);
    std::map<std::string, Tags> result;
    Tags* current = nullptr;
    std::string line;
    while (std::getline(in, line)) {
        std::size_t i = line.find('"');
        if (i == std::string::npos) continue;
        const std::string key = JsonString(line, i);
        i = line.find(':', i);
        if (i == std::string::npos) continue;
        i = line.find_first_not_of(' ', i + 1);
        if (i == std::string::npos) continue;
        std::string value = line[i] == '"' ? JsonString(line, i) : line.substr(i, line.find_last_not_of(',') + 1 - i);
        if (key == "SourceFile") {
            current = &result[fs::path(value).filename().string()];
        } else if (current) {
            current->emplace(key, value);  // the first of duplicates, as the reader keeps the first comment
        }
    }
    return result;
}

double Number(const Tags& tags, const std::string& key) {
    const auto found = tags.find(key);
    if (found == tags.end()) return 0;
    // "undef" and "inf" are exiftool's rationals with a zero denominator, which the reader takes as 0.
    char* end = nullptr;
    const double value = std::strtod(found->second.c_str(), &end);
    return end == found->second.c_str() || !std::isfinite(value) ? 0 : value;
}

std::string Text(const Tags& tags, const std::string& key, std::size_t maxChars) {
    const auto found = tags.find(key);
    if (found == tags.end()) return "";
    const std::string& text = found->second;
    return text.substr(0, std::min(text.find('\0'), maxChars));
}

// Inches per resolution unit, the record's measure for both unit tags.
float InchesPerUnit(double unit) {
    switch (static_cast<int>(unit)) {
    case 1:
    case 2: return 1.0f;
    case 3: return 1.0f / 2.54f;
    case 4: return 1.0f / 25.4f;
    case 5: return 1.0f / 25400.0f;
    default: return 0.0f;
    }
}

// The record's fields by name, and whether the sections were read.
struct Expected {
    std::map<std::string, double> numbers;
    std::map<std::string, std::string> texts;
};

// The record as exiftool's reading says it should be. The rules that are the
// record's own: ISO speeds below 50 are stored multiplied by 200; flashUsed is
// any of the three low bits of Flash; the exposure and aperture fall back to
// the APEX values; whiteBalance holds tag 0x9208, which exiftool calls
// LightSource; the CCD width is computed in inches.
Expected FromExiftool(const Tags& t, const std::string& file) {
    Expected e;
    const auto first = [&](std::initializer_list<const char*> keys) {
        for (const char* key : keys) {
            if (const double v = Number(t, key); v != 0) return v;
        }
        return 0.0;
    };
    const double iso = Number(t, "ExifIFD:ISO");
    const double orientation = Number(t, "IFD0:Orientation");
    const double planeX = Number(t, "ExifIFD:FocalPlaneXResolution");
    const double planeUnits = InchesPerUnit(Number(t, "ExifIFD:FocalPlaneResolutionUnit"));
    const double largest = std::max(Number(t, "ExifIFD:ExifImageWidth"), Number(t, "ExifIFD:ExifImageHeight"));
    e.numbers = {
        {"height", Number(t, "File:ImageHeight")},
        {"width", Number(t, "File:ImageWidth")},
        {"orientation", orientation >= 1 && orientation <= 8 ? orientation : 0},
        {"isColor", Number(t, "File:ColorComponents") == 3},
        {"process", t.count("File:EncodingProcess") ? 0xC0 + Number(t, "File:EncodingProcess") : 0},
        {"flashUsed", (static_cast<int>(Number(t, "ExifIFD:Flash")) & 7) != 0},
        {"focalLength", Number(t, "ExifIFD:FocalLength")},
        {"exposureTime", first({"ExifIFD:ExposureTime", "ExifIFD:ShutterSpeedValue"})},
        {"apertureFNumber", first({"ExifIFD:FNumber", "ExifIFD:ApertureValue", "ExifIFD:MaxApertureValue"})},
        {"distance", Number(t, "ExifIFD:SubjectDistance")},
        {"ccdWidth", planeX != 0 ? largest * planeUnits / planeX : 0},
        {"exposureBias", Number(t, "ExifIFD:ExposureCompensation")},
        {"whiteBalance", Number(t, "ExifIFD:LightSource")},
        {"meteringMode", Number(t, "ExifIFD:MeteringMode")},
        {"exposureProgram", Number(t, "ExifIFD:ExposureProgram")},
        {"isoEquivalent", iso < 50 ? iso * 200 : iso},
        {"compressionLevel", std::trunc(Number(t, "ExifIFD:CompressedBitsPerPixel"))},
        {"focalPlaneXRes", planeX},
        {"focalPlaneYRes", Number(t, "ExifIFD:FocalPlaneYResolution")},
        {"focalPlaneUnits", planeUnits},
        {"xResolution", Number(t, "IFD0:XResolution")},
        {"yResolution", Number(t, "IFD0:YResolution")},
        {"resolutionUnit", InchesPerUnit(Number(t, "IFD0:ResolutionUnit"))},
        {"brightness", Number(t, "ExifIFD:BrightnessValue")},
        {"thumbnailSize", Number(t, "IFD1:ThumbnailLength")},
        {"isExif", t.count("File:ExifByteOrder") != 0},
        {"read", 1},
    };
    // A COM section's text replaces the UserComment that precedes it.
    const std::string comment = t.count("File:Comment") ? Text(t, "File:Comment", 998) : Text(t, "ExifIFD:UserComment", 199);
    e.texts = {
        {"exifVersion", Text(t, "ExifIFD:ExifVersion", 4)},
        {"cameraMake", Text(t, "IFD0:Make", 31)},
        {"cameraModel", Text(t, "IFD0:Model", 39)},
        {"dateTime", Text(t, "ExifIFD:DateTimeOriginal", 19)},
        {"comments", comment},
        // exiftool gives the thumbnail's offset in the file.
        {"thumbnail", file.substr(std::min<std::size_t>(static_cast<std::size_t>(Number(t, "IFD1:ThumbnailOffset")), file.size()),
                                  static_cast<std::size_t>(Number(t, "IFD1:ThumbnailLength")))},
    };
    return e;
}

std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

Expected ReadOurs(const std::string& bytes, std::string& error) {
    ExifInfoRecord r{};
    CRasterExifReader reader(&r);
    CRasterMemStream stream(reinterpret_cast<const std::uint8_t*>(bytes.data()), static_cast<std::uint32_t>(bytes.size()));
    const bool read = reader.ReadSections(&stream, CRasterExifReader::kReadExif);
    error = reader.LastError;
    Expected ours;
    ours.numbers = {
        {"height", r.height},
        {"width", r.width},
        {"orientation", r.orientation},
        {"isColor", r.isColor},
        {"process", r.process},
        {"flashUsed", r.flashUsed},
        {"focalLength", r.focalLength},
        {"exposureTime", r.exposureTime},
        {"apertureFNumber", r.apertureFNumber},
        {"distance", r.distance},
        {"ccdWidth", r.ccdWidth},
        {"exposureBias", r.exposureBias},
        {"whiteBalance", r.whiteBalance},
        {"meteringMode", r.meteringMode},
        {"exposureProgram", r.exposureProgram},
        {"isoEquivalent", r.isoEquivalent},
        {"compressionLevel", r.compressionLevel},
        {"focalPlaneXRes", r.focalPlaneXRes},
        {"focalPlaneYRes", r.focalPlaneYRes},
        {"focalPlaneUnits", r.focalPlaneUnits},
        {"xResolution", r.xResolution},
        {"yResolution", r.yResolution},
        {"resolutionUnit", r.resolutionUnit},
        {"brightness", r.brightness},
        {"thumbnailSize", r.thumbnailSize},
        {"isExif", r.isExif},
        {"read", read},
    };
    ours.texts = {
        {"exifVersion", r.exifVersion}, {"cameraMake", r.cameraMake}, {"cameraModel", r.cameraModel},
        {"dateTime", r.dateTime},       {"comments", r.comments},
        {"thumbnail", r.thumbnailPointer ? std::string(r.thumbnailPointer, r.thumbnailPointer + r.thumbnailSize) : ""},
    };
    return ours;
}

// Where the reader and exiftool differ by definition: the fields, the value
// the reader gives them (a number as text), and why.
const struct {
    const char* file;
    std::vector<std::string> fields;
    const char* ours;
    const char* why;
} kDefinitions[] = {
    // Stray bytes between segments: exiftool skips them, the reader takes the
    // first for a marker code and stops with "Premature end of file?" before
    // the frame header.
    {"bad_junk_header.jpg", {"read", "height", "width", "isColor", "process"}, "0", "5 bytes after the COM segment"},
    {"bad_truncated_app14.jpg", {"read", "height", "width", "isColor", "process"}, "0", "a byte after the APP14 segment"},
    {"baseline_hopper.jpg", {"comments"}, "File written by Adobe Photoshop? 4.0?",
     "the COM text ends in a NUL byte, which exiftool drops and the reader shows as \"?\" like any byte that is "
     "not printable"},
};

std::vector<fs::path> JpegFiles() {
    std::vector<fs::path> files;
    std::vector<fs::path> folders{fs::path(VT_TEST_DATA_DIR) / "raster" / "jpeg"};
    if (sharedDataSkipReason().empty()) folders.push_back(fs::path(VT_SHARED_DATA_DIR) / "raster" / "jpeg");
    for (const fs::path& folder : folders) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".jpg") files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(ExifAgainstExiftool, EveryFieldOfEveryFile) {
    if (const std::string why = exiftoolSkipReason(); !why.empty()) GTEST_SKIP() << why;
    const std::vector<fs::path> files = JpegFiles();
    const std::map<std::string, Tags> exiftool = ReadExiftool(files);
    int withExif = 0;
    for (const fs::path& file : files) {
        const std::string name = file.filename().string();
        SCOPED_TRACE(name);
        const auto tags = exiftool.find(name);
        ASSERT_NE(tags, exiftool.end()) << "exiftool did not read it";
        const std::string bytes = FileBytes(file);
        Expected expected = FromExiftool(tags->second, bytes);
        for (const auto& definition : kDefinitions) {
            if (name != definition.file) continue;
            for (const std::string& field : definition.fields) {
                if (expected.texts.count(field)) expected.texts[field] = definition.ours;
                else expected.numbers[field] = std::atof(definition.ours);
            }
        }
        std::string error;
        const Expected ours = ReadOurs(bytes, error);
        for (const auto& [field, want] : expected.numbers) {
            const double got = ours.numbers.at(field);
            EXPECT_LE(std::fabs(got - want), 1e-6 * std::max(1.0, std::fabs(want)))
                << field << ": " << got << " against " << want << " (" << error << ")";
        }
        for (const auto& [field, want] : expected.texts) EXPECT_EQ(ours.texts.at(field), want) << field;
        withExif += expected.numbers.at("isExif") != 0;
    }
    // The fixtures alone hold two files with EXIF.
    EXPECT_GE(withExif, 2);
}

}  // namespace
