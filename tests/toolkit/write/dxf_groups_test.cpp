// DXF group output: the value lines of ASCII files and the bytes of binary
// ones, as other readers expect them on every build.
#include "toolkit/write/dxf/dxf_writer.h"
#include "toolkit/db/host_file.h"
#include "toolkit/db/started_toolkit.h"
#include "output_file.h"

#include <functional>
#include <string>
#include <vector>

namespace {
class DxfGroups : public StartedToolkit {};

struct RealCase {
    double value;
    int precision;
    int minusZero;
    const char* line;
};

TEST_F(DxfGroups, RealLinesFollowPrecisionAndZeroRules) {
    const RealCase cases[] = {
        {1.0, 6, 0, "1.0"},
        {0.1, 6, 0, "0.1"},
        {0.25, 6, 0, "0.25"},
        {123.4567891, 6, 0, "123.456789"},
        {4e-7, 6, 0, "0.0"},
        {-4e-7, 6, 1, "-0.0"},
        {-4e-7, 6, 0, "0.0"},
        {-0.0, 6, 1, "0.0"},
        {-0.0, 6, 0, "0.0"},
        {1e16, 6, 0, "1.000000E+16"},
        {-2.5e20, 6, 0, "-2.500000E+20"},
        {0.3, 0, 0, "0.0"},
        {10.0, 0, 0, "10"},
        {-12.5, 2, 0, "-12.5"},
        // Long fixed values keep every digit the double has.
        {123456789012345.0, 6, 0, "123456789012345.0"},
        {5e-324, 6, 1, "0.0"},
    };
    for (const RealCase& c : cases) {
        OutputFile file(4, AD_FORMAT_DXF_ASCII);
        adDxfSetNumberFormat(file.get(), c.minusZero, c.precision, 0);
        char text[AD_DXF_NUMBER_SIZE];
        adDxfFormatReal(file.get(), c.value, text);
        EXPECT_STREQ(text, c.line) << c.value << " at precision " << c.precision;
    }
}

TEST_F(DxfGroups, FullPrecisionRealsTrimZerosOnly) {
    OutputFile file(4, AD_FORMAT_DXF_ASCII);
    adDxfSetNumberFormat(file.get(), 1, 6, 0);
    char text[AD_DXF_NUMBER_SIZE];
    const std::pair<double, const char*> cases[] = {
        {0.5, "0.5"}, {1.0, "1.0"}, {0.1, "0.1"}, {0.1 + 1e-15, "0.100000000000001"}, {-1e-9, "-0.000000001"}, {3e17, "3.000000E+17"}};
    for (const auto& [value, line] : cases) {
        adDxfFormatFullReal(file.get(), value, text);
        EXPECT_STREQ(text, line) << value;
    }
}

// Writes through one writer and answers the file.
std::string ascii(const std::function<int(AdOutputDrawing*)>& write, std::int16_t version = 4) {
    OutputFile file(version, AD_FORMAT_DXF_ASCII);
    adDxfSetNumberFormat(file.get(), 1, 6, 0);
    EXPECT_EQ(write(file.get()), 1);
    return file.bytes();
}

std::string binary(const std::function<int(AdOutputDrawing*)>& write, std::int16_t version) {
    OutputFile file(version, AD_FORMAT_DXF_BINARY);
    adDxfSetNumberFormat(file.get(), 1, 6, 0);
    EXPECT_EQ(write(file.get()), 1);
    return file.bytes();
}

TEST_F(DxfGroups, AsciiGroupsAreCodeAndValueLinesInCrLf) {
    EXPECT_EQ(ascii([](AdOutputDrawing* o) { return adDxfWriteShortGroup(o, 70, 1); }), " 70\r\n     1\r\n");
    EXPECT_EQ(ascii([](AdOutputDrawing* o) { return adDxfWriteLongGroup(o, 90, -5); }), " 90\r\n       -5\r\n");
    EXPECT_EQ(ascii([](AdOutputDrawing* o) { return adDxfWriteStringGroup(o, 0, "SECTION"); }), "  0\r\nSECTION\r\n");
    EXPECT_EQ(ascii([](AdOutputDrawing* o) { return adDxfWriteCharGroup(o, 1002, '{'); }), "1002\r\n{\r\n");
    EXPECT_EQ(ascii([](AdOutputDrawing* o) {
                  const double angle = 1.5707963267948966;
                  return adDxfWriteAngleGroup(o, 50, &angle);
              }),
              " 50\r\n90.0\r\n");
    EXPECT_EQ(ascii([](AdOutputDrawing* o) {
                  const AdHandle h{{0, 0, 0, 0, 0, 0, 0x2A, 0x0F}};
                  return adDxfWriteHandleGroup(o, 5, &h);
              }),
              "  5\r\n2A0F\r\n");
    EXPECT_EQ(ascii([](AdOutputDrawing* o) {
                  return adDxfWriteDateVar(o, "$TDCREATE", AdJulianDate{2451545, 43200000}, 9);
              }),
              "  9\r\n$TDCREATE\r\n 40\r\n2451545.500000000\r\n");
}

TEST_F(DxfGroups, EscapedStringsMarkControlsAndCarets) {
    const std::pair<const char*, const char*> cases[] = {
        {"a^b", "a^ b"}, {"ab^", "ab^  "}, {"a\tb", "a^Ib"}, {"x\ry", "x^My"}, {"", ""},
        // A caret that trails a lead byte at an odd position belongs to it;
        // one that ends the text is still followed by a space.
        {"\x81^x", "\x81^x"},
        {"\x81^", "\x81^ "},
    };
    for (const auto& [text, value] : cases) {
        const std::string expected = "1000\r\n" + std::string(value) + "\r\n";
        EXPECT_EQ(ascii([&](AdOutputDrawing* o) { return adDxfWriteEscapedGroup(o, 1000, text); }), expected) << text;
    }
}

TEST_F(DxfGroups, BinaryCodesTakeTheWidthOfTheVersion) {
    EXPECT_EQ(binary([](AdOutputDrawing* o) { return adDxfWriteGroupCode(o, 1001); }, 4), std::string("\xFF\xE9\x03", 3));
    EXPECT_EQ(binary([](AdOutputDrawing* o) { return adDxfWriteGroupCode(o, 70); }, 4), std::string("\x46", 1));
    EXPECT_EQ(binary([](AdOutputDrawing* o) { return adDxfWriteGroupCode(o, 0); }, 5), std::string("\0\0", 2));
    EXPECT_EQ(binary([](AdOutputDrawing* o) { return adDxfWriteShortGroup(o, 70, -2); }, 7),
              std::string("\x46\x00\xFE\xFF", 4));
    EXPECT_EQ(binary([](AdOutputDrawing* o) { return adDxfWriteStringGroup(o, 8, "0"); }, 4), std::string("\x08" "0\0", 3));
    EXPECT_EQ(binary([](AdOutputDrawing* o) { return adDxfWriteCharGroup(o, 1002, '}'); }, 4),
              std::string("\xFF\xEA\x03\x7D\x00", 5));
    const std::string real = binary(
        [](AdOutputDrawing* o) {
            const double v = 1.5;
            return adDxfWriteRealGroup(o, 40, &v);
        },
        4);
    EXPECT_EQ(real, std::string("\x28\0\0\0\0\0\0\xF8\x3F", 9));
}

TEST_F(DxfGroups, BinaryChunksSplitIntoPiecesOfTheChunkSize) {
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = adStreamOpenWrite(store);
    std::vector<std::uint8_t> bytes(130);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
    adStreamWrite(out, bytes.data(), static_cast<std::int32_t>(bytes.size()));
    adStreamCloseWrite(out);
    const std::string text = ascii([&](AdOutputDrawing* o) { return adDxfWriteBinaryChunks(o, store, 310, 127); });
    EXPECT_EQ(text.substr(0, 11), "310\r\n000102");
    EXPECT_EQ(text.substr(text.size() - 13), "310\r\n7F8081\r\n");
    const std::string raw = binary([&](AdOutputDrawing* o) { return adDxfWriteBinaryChunks(o, store, 310, 127); }, 4);
    ASSERT_EQ(raw.size(), 2u * 3 + 130);
    EXPECT_EQ(raw.substr(0, 3), std::string("\x36\x01\x7F", 3));
    EXPECT_EQ(raw.substr(130, 3), std::string("\x36\x01\x03", 3));
    adStoreFree(store);
}

#ifndef _WIN32
// The fatal-error hook's answers to a failed write.
int hookCalls = 0;
int retryAnswer(std::int32_t) {
    ++hookCalls;
    return 1;
}
#endif

TEST_F(DxfGroups, AFailingWriteThatIsRetriedGivesUpInTime) {
#ifdef _WIN32
    GTEST_SKIP() << "needs a device that refuses writes";
#else
    AdOutputDrawing* output = adOpenOutputDrawing("/dev/full", 4, AD_FORMAT_DXF_ASCII);
    ASSERT_NE(output, nullptr);
    std::setvbuf(output->file->file, nullptr, _IONBF, 0);
    adGlobals->hooks.fatalError = retryAnswer;
    hookCalls = 0;
    EXPECT_EQ(adDxfWriteStringGroup(output, 0, "SECTION"), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_WRITE);
    EXPECT_EQ(hookCalls, AD_WRITE_RETRY_LIMIT);
    adGlobals->hooks.fatalError = nullptr;
    adCloseOutputDrawing(output);
#endif
}
}  // namespace
