// The host's file layer: lines split at every line end without losing a byte,
// positions and lengths, writes, refusals, and Windows-style names found in
// any case.
#include "toolkit/ad.h"
#include "toolkit/db/host_file.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct GetsCase {
    const char* name;
    std::string bytes;
    std::int32_t size;
    std::vector<std::string> lines;  // every line HostGets gives before null
};

class HostGetsLines : public testing::TestWithParam<GetsCase> {};

TEST_P(HostGetsLines, SplitsAtEveryLineEndAndLosesNoByte) {
    const GetsCase& c = GetParam();
    TempDir dir;
    HostFile* f = HostOpenRead(dir.write("lines.txt", c.bytes).c_str());
    ASSERT_NE(f, nullptr);
    char buffer[64];
    for (const std::string& line : c.lines) {
        ASSERT_EQ(HostGets(buffer, c.size, f), buffer) << "before line \"" << line << "\"";
        EXPECT_EQ(std::string(buffer), line);
    }
    EXPECT_EQ(HostGets(buffer, c.size, f), nullptr);
    HostClose(f);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostGetsLines,
    testing::Values(GetsCase{"CrLf", "ab\r\ncd", 64, {"ab\r", "cd"}},
                    GetsCase{"LfCrThenLf", "ab\n\r\n", 64, {"ab\n", "\n"}},
                    GetsCase{"LoneCrKeepsNextByte", "a\rb", 64, {"a\r", "b"}},
                    GetsCase{"CrCrIsTwoLines", "a\r\rb", 64, {"a\r", "\r", "b"}},
                    GetsCase{"LastLineWithoutEnd", "x\nlast", 64, {"x\n", "last"}},
                    // A full buffer leaves the byte that did not fit for the next call.
                    GetsCase{"LongLineInPieces", "abcdef\n", 4, {"abc", "def", "\n"}},
                    GetsCase{"FullBufferAtEndOfFile", "abc", 4, {"abc"}},
                    GetsCase{"SizeZero", "abc", 0, {}}),
    [](const testing::TestParamInfo<GetsCase>& info) { return std::string(info.param.name); });

TEST(HostFile, SeekTellAndLengthKeepThePosition) {
    TempDir dir;
    HostFile* f = HostOpenRead(dir.write("ten.bin", "0123456789").c_str());
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(HostSeek(f, 3, 0), 0);
    EXPECT_EQ(HostFileLength(f), 10);
    EXPECT_EQ(HostTell(f), 3);
    EXPECT_EQ(HostGetc(f), '3');
    ASSERT_EQ(HostSeek(f, 2, 1), 0);
    EXPECT_EQ(HostGetc(f), '6');
    ASSERT_EQ(HostSeek(f, -1, 2), 0);
    EXPECT_EQ(HostGetc(f), '9');
    EXPECT_EQ(HostGetc(f), -1);
    EXPECT_NE(HostEof(f), 0);
    EXPECT_NE(HostSeek(f, 0, 7), 0);
    // A seek back from the end reads again, lines included.
    ASSERT_EQ(HostSeek(f, 8, 0), 0);
    EXPECT_EQ(HostEof(f), 0);
    char line[8];
    EXPECT_STREQ(HostGets(line, sizeof line, f), "89");
    EXPECT_EQ(HostClose(f), 0);
}

TEST(HostFile, WritesWhatItIsGiven) {
    TempDir dir;
    const std::string name = (dir.path() / "out.bin").string();
    HostFile* f = HostOpenFile(name.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    const char bytes[3] = {'a', '\0', 'b'};
    EXPECT_EQ(HostWrite(bytes, 1, 3, f), 3u);
    EXPECT_GE(HostPuts("xyz", f), 0);
    EXPECT_EQ(HostClose(f), 0);

    f = HostOpenRead(name.c_str());
    ASSERT_NE(f, nullptr);
    char back[8] = {};
    EXPECT_EQ(HostRead(back, 2, 4, f), 3u);  // six bytes: three whole items of two
    EXPECT_EQ(std::string(back, 6), std::string("a\0bxyz", 6));
    HostClose(f);
}

// A file read is served from a window of its bytes: reads that cross the
// window's edges, go past it, come back into an earlier window and run into
// the end, in that order on one open file, give the file's bytes.
TEST(HostFile, ReadsEveryByteWhereverTheWindowStands) {
    constexpr auto W = static_cast<std::int64_t>(HOST_READ_WINDOW);
    const std::int64_t size = 2 * W + W / 2;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    for (std::int64_t i = 0; i < size; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    TempDir dir;
    HostFile* f = HostOpenRead(dir.write("big.bin", bytes).c_str());
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(HostFileLength(f), size);
    struct Step {
        std::int64_t at;
        std::int64_t count;
    };
    const Step steps[] = {
        {W - 3, 10},         // across the first edge
        {5, 3},              // back into the first window
        {W + 7, W + 100},    // longer than the window
        {W - 1, 1},          // a window's last byte
        {2 * W + 1, 2 * W},  // into the end: a short count
        {size, 1},           // at the end
        {size + 5, 1},       // beyond it
        {0, size},           // everything at once
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "at " << step.at << ", " << step.count << " bytes");
        ASSERT_EQ(HostSeek(f, step.at, 0), 0);
        std::string got(static_cast<std::size_t>(step.count), '\0');
        const std::int64_t expected = std::max<std::int64_t>(0, std::min(step.count, size - step.at));
        const auto n = static_cast<std::int64_t>(HostRead(got.data(), 1, got.size(), f));
        ASSERT_EQ(n, expected);
        EXPECT_TRUE(got.compare(0, static_cast<std::size_t>(n), bytes, static_cast<std::size_t>(std::min(step.at, size)),
                                static_cast<std::size_t>(n)) == 0);
        EXPECT_EQ(HostTell(f), step.at + n);
        EXPECT_EQ(HostEof(f) != 0, n < step.count);
    }
    HostClose(f);
}

// A CR LF pair split by the window's edge still ends one line.
TEST(HostFile, LineEndPairAcrossTheWindowEdge) {
    const std::string first(HOST_READ_WINDOW - 1, 'a');
    TempDir dir;
    HostFile* f = HostOpenRead(dir.write("lines.txt", first + "\r\nb").c_str());
    ASSERT_NE(f, nullptr);
    std::vector<char> line(HOST_READ_WINDOW + 8);
    const auto size = static_cast<std::int32_t>(line.size());
    ASSERT_NE(HostGets(line.data(), size, f), nullptr);
    EXPECT_EQ(std::string(line.data()), first + "\r");
    ASSERT_NE(HostGets(line.data(), size, f), nullptr);
    EXPECT_STREQ(line.data(), "b");
    EXPECT_EQ(HostGets(line.data(), size, f), nullptr);
    HostClose(f);
}

TEST(HostFile, RefusesWhatCannotBeOpened) {
    TempDir dir;
    const std::string missing = (dir.path() / "missing.bin").string();
    EXPECT_EQ(HostOpenRead(missing.c_str()), nullptr);
    EXPECT_EQ(HostAccess(missing.c_str(), 0), -1);
    EXPECT_EQ(HostOpenRead(nullptr), nullptr);
    const std::string tooLong(8192, 'a');
    EXPECT_EQ(HostOpenRead(tooLong.c_str()), nullptr);
    EXPECT_EQ(HostAccess(tooLong.c_str(), 0), -1);
}

// Drawings name support files the Windows way, in any letter case.
TEST(HostFile, FindsWindowsStyleNamesInAnyCase) {
    TempDir dir;
    dir.write("Fonts/Txt.shx", "shape");
    const std::string root = dir.path().string();
    const std::string windowsName = root + "\\FONTS\\TXT.SHX";

    EXPECT_EQ(HostAccess(windowsName.c_str(), 0), 0);
    HostFile* f = HostOpenRead(windowsName.c_str());
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(HostGetc(f), 's');
    HostClose(f);

    // A new file lands in the directory that exists, under the name given.
    f = HostOpenFile((root + "\\fonts\\new.txt").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    HostClose(f);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "Fonts" / "new.txt"));

    EXPECT_EQ(HostAccess((root + "\\FONTS\\none.shx").c_str(), 0), -1);
}

}  // namespace
