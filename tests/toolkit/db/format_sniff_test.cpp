// Telling a drawing's format and version from its first bytes, with the
// errors for files that are no drawing, missing files and lack of memory.
#include "toolkit/ad.h"
#include "toolkit/db/host_fault.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "started_toolkit.h"
#include "temp_dir.h"

namespace {

const char* const kVersions[] = {"AC1002", "AC1003", "AC1004", "AC1006", "AC1009", "AC1012", "AC1014", "AC1015"};

int versionIndex(const std::string& text) {
    for (int i = 0; i < AD_VERSION_COUNT; ++i)
        if (text == kVersions[i]) return i;
    return -1;
}

class FormatSniff : public StartedToolkit {
protected:
    void TearDown() override {
        HostFailAllocationAfter(-1);
        StartedToolkit::TearDown();
    }
    int sniffBytes(const std::string& bytes, AdFileSniff* sniff) {
        return adSniffDrawingFile(dir.write("file.bin", bytes).c_str(), sniff);
    }
    TempDir dir;
};

struct SniffCase {
    const char* label;
    std::string bytes;
    bool acceptPreRelease;
    int error;  // 0: a load can start
    int format;
    int version;
};

std::string dwgLead(const char* version) { return std::string(version) + std::string(18, '\0'); }

const std::string kDxfBoth = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n999\nAC1009\n";

class SniffCases : public FormatSniff, public testing::WithParamInterface<SniffCase> {};

TEST_P(SniffCases, FormatVersionAndError) {
    const SniffCase& c = GetParam();
    if (c.acceptPreRelease) adSetAcceptPreRelease();
    AdFileSniff sniff;
    EXPECT_EQ(sniffBytes(c.bytes, &sniff), c.error == 0 ? 1 : 0);
    if (c.error) {
        EXPECT_EQ(adGlobals->errorCode, c.error);
    }
    EXPECT_EQ(sniff.format, c.format);
    EXPECT_EQ(sniff.version, c.version);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, SniffCases,
    testing::Values(
        SniffCase{"Dwg2000", dwgLead("AC1015"), false, 0, AD_FORMAT_DWG, 7},
        SniffCase{"PreReleaseRefused", dwgLead("AC1013"), false, AD_ERR_PRE_RELEASE, AD_FORMAT_DWG, 6},
        SniffCase{"PreReleaseAccepted", dwgLead("AC1013"), true, 0, AD_FORMAT_DWG, 6},
        SniffCase{"Ac1500", dwgLead("AC1500"), false, 0, AD_FORMAT_DWG, 7},
        SniffCase{"LaterDwg", dwgLead("AC1018"), false, AD_ERR_UNSUPPORTED_VERSION, AD_FORMAT_DWG, -1},
        SniffCase{"EarlierDwg", dwgLead("AC1.40"), false, AD_ERR_UNSUPPORTED_VERSION, AD_FORMAT_DWG, -1},
        SniffCase{"BothVersionsFirstInTable", kDxfBoth, false, 0, AD_FORMAT_DXF_ASCII, 4},
        SniffCase{"CommentOnlyDxf", "999\nwritten by hand\n", false, 0, AD_FORMAT_DXF_ASCII, -1},
        SniffCase{"BinaryDxf", std::string("AutoCAD Binary DXF\r\n\x1a\0\0SECTION\0", 31), false, 0,
                  AD_FORMAT_DXF_BINARY, -1},
        SniffCase{"TextFile", "just some words\n", false, AD_ERR_NOT_DRAWING, AD_FORMAT_DXF_ASCII, -1},
        SniffCase{"EmptyFile", "", false, AD_ERR_NOT_DRAWING, AD_FORMAT_DXF_ASCII, -1},
        // The whole of a short file is looked at, less its last byte.
        SniffCase{"SectionEndsShortFile", "0\nSECTION", false, AD_ERR_NOT_DRAWING, AD_FORMAT_DXF_ASCII, -1},
        SniffCase{"SectionBeforeLastByte", "0\nSECTION\n", false, 0, AD_FORMAT_DXF_ASCII, -1},
        SniffCase{"SectionBeyondSniff", std::string(AD_SNIFF_SIZE, ' ') + "SECTION\n", false, AD_ERR_NOT_DRAWING,
                  AD_FORMAT_DXF_ASCII, -1}),
    [](const testing::TestParamInfo<SniffCase>& info) { return std::string(info.param.label); });

TEST_F(FormatSniff, VersionFromText) {
    EXPECT_EQ(adDwgVersionFromText("AC1015\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 24), 7);
    EXPECT_EQ(adDwgVersionFromText("AC1013", 6), 6);
    EXPECT_EQ(adGlobals->preReleaseSeen, 1);
    EXPECT_EQ(adDwgVersionFromText("AC1009", 6), -1);  // a whole-text match is not inside the first 5 bytes
    EXPECT_EQ(adGlobals->preReleaseSeen, 0);
}

TEST_F(FormatSniff, MissingFileAndNoMemory) {
    AdFileSniff sniff;
    EXPECT_EQ(adSniffDrawingFile((dir.path() / "absent.dwg").string().c_str(), &sniff), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_FILE_OPEN);
    HostFailAllocationAfter(0);
    EXPECT_EQ(sniffBytes(dwgLead("AC1015"), &sniff), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_BUFFER_128K_A);
}

// Every real file: DWG versions the reader takes give their index, later and
// earlier DWG versions are refused, and DXF files are told ASCII or binary.
TEST_F(FormatSniff, RealFiles) {
    const std::string root = VT_SHARED_DATA_DIR;
    std::ifstream manifest(root + "/MANIFEST.tsv");
    if (!manifest) GTEST_SKIP() << "no real files in " << root;
    std::string line;
    std::getline(manifest, line);
    int checked = 0;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string path, repository, inRepository, commit, licence, detected;
        std::getline(fields, path, '\t');
        for (std::string* field : {&repository, &inRepository, &commit, &licence, &detected})
            std::getline(fields, *field, '\t');
        std::istringstream words(detected);
        std::string kind, second, third;
        words >> kind >> second >> third;
        if (kind != "DWG" && kind != "DXF") continue;
        SCOPED_TRACE(path + " (" + detected + ")");
        AdFileSniff sniff;
        int ok = adSniffDrawingFile((root + "/" + path).c_str(), &sniff);
        ++checked;
        if (kind == "DWG") {
            int index = versionIndex(second);
            if (index >= 0) {
                EXPECT_EQ(ok, 1);
                EXPECT_EQ(sniff.format, AD_FORMAT_DWG);
                EXPECT_EQ(sniff.version, index);
            } else {
                EXPECT_EQ(ok, 0);
                EXPECT_EQ(adGlobals->errorCode, second.rfind("AC1", 0) == 0 ? AD_ERR_UNSUPPORTED_VERSION
                                                                            : AD_ERR_NOT_DRAWING);
            }
            continue;
        }
        EXPECT_EQ(ok, 1);
        EXPECT_EQ(sniff.format, second == "binary" ? AD_FORMAT_DXF_BINARY : AD_FORMAT_DXF_ASCII);
        EXPECT_EQ(sniff.version, versionIndex(third));
    }
    EXPECT_GT(checked, 0);
}

}  // namespace
