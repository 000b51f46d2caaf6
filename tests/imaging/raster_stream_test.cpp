// The raster streams: the memory stream's reads, seeks, growth and ownership
// of its buffer, and the standard I/O stream over an open file; both answer
// the failure values when they have nothing to work on.
#include "imaging/raster_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

TEST(RasterMemStream, ReadsWholeElementsOnly) {
    const std::uint8_t bytes[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    CRasterMemStream stream(bytes, sizeof bytes);
    std::uint8_t out[12] = {};
    EXPECT_EQ(stream.Read(out, 4, 3), 2u);  // 10 bytes copied, two whole elements
    EXPECT_EQ(std::memcmp(out, bytes, 10), 0);
    EXPECT_EQ(stream.Tell(), 10);
    EXPECT_TRUE(stream.Eof());
    EXPECT_EQ(stream.GetC(), -1);
    EXPECT_EQ(stream.Tell(), 10);
    EXPECT_EQ(stream.Read(out, 1, 1), 0u);
}

TEST(RasterMemStream, SeeksClampBelowAndMayPassTheEnd) {
    const std::uint8_t bytes[8] = {};
    CRasterMemStream stream(bytes, sizeof bytes);
    struct Case {
        long offset;
        int origin;
        bool ok;
        long position;
    };
    const Case cases[] = {{-5, SEEK_SET, true, 0}, {3, SEEK_SET, true, 3},   {2, SEEK_CUR, true, 5},
                          {-2, SEEK_END, true, 6}, {-100, SEEK_CUR, true, 0}, {1, 7, false, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(stream.Seek(c.offset, c.origin), c.ok) << c.offset << "/" << c.origin;
        EXPECT_EQ(stream.Tell(), c.position) << c.offset << "/" << c.origin;
    }
    ASSERT_TRUE(stream.Seek(10, SEEK_END));
    EXPECT_TRUE(stream.Eof());
    EXPECT_EQ(stream.Error(), 1);
    std::uint8_t out[1];
    EXPECT_EQ(stream.Read(out, 1, 1), 0u);
}

TEST(RasterMemStream, GrowsInPagesAndFillsGapsWithZeros) {
    CRasterMemStream stream;
    ASSERT_TRUE(stream.Open());
    EXPECT_FALSE(stream.Open());  // a buffer is already attached
    EXPECT_TRUE(stream.PutC(7));
    EXPECT_EQ(stream.Capacity, 4096u);
    EXPECT_EQ(stream.Size(), 1);
    std::vector<std::uint8_t> block(4095, 9);
    EXPECT_EQ(stream.Write(block.data(), 1, block.size()), block.size());
    EXPECT_EQ(stream.Capacity, 4096u);
    EXPECT_TRUE(stream.PutC(1));  // 4097 bytes
    EXPECT_EQ(stream.Capacity, 8192u);
    ASSERT_TRUE(stream.Seek(4, SEEK_END));
    EXPECT_TRUE(stream.PutC(5));
    EXPECT_EQ(stream.Size(), 4097 + 5);
    for (int i = 4097; i < 4101; ++i) EXPECT_EQ(stream.Buffer[i], 0) << i;
    EXPECT_EQ(stream.Buffer[4101], 5);
}

TEST(RasterMemStream, WritingOverACallersBufferCopiesItFirst) {
    std::vector<std::uint8_t> caller = {1, 2, 3, 4};
    const std::vector<std::uint8_t> original = caller;
    {
        CRasterMemStream stream(caller.data(), static_cast<std::uint32_t>(caller.size()));
        ASSERT_TRUE(stream.Seek(0, SEEK_END));
        const std::uint8_t more[3] = {5, 6, 7};
        EXPECT_EQ(stream.Write(more, 1, 3), 3u);
        EXPECT_NE(stream.Buffer, caller.data());
        EXPECT_TRUE(stream.OwnsBuffer);
        ASSERT_TRUE(stream.Seek(0, SEEK_SET));
        std::uint8_t all[7];
        EXPECT_EQ(stream.Read(all, 1, 7), 7u);
        EXPECT_EQ(std::vector<std::uint8_t>(all, all + 7), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7}));
    }
    EXPECT_EQ(caller, original);  // neither reallocated nor written, nor freed by the stream
}

TEST(RasterMemStream, DetachedBufferBelongsToTheCaller) {
    auto stream = std::make_unique<CRasterMemStream>();
    ASSERT_TRUE(stream->Open());
    stream->PutC(42);
    std::uint8_t* block = stream->GetBuffer(true);
    stream.reset();
    EXPECT_EQ(block[0], 42);
    std::free(block);
}

TEST(RasterMemStream, WithoutBufferAnswersTheFailureValues) {
    CRasterMemStream stream;
    std::uint8_t byte = 0;
    EXPECT_EQ(stream.Read(&byte, 1, 1), 0u);
    EXPECT_EQ(stream.Write(&byte, 1, 1), 0u);
    EXPECT_FALSE(stream.Seek(0, SEEK_SET));
    EXPECT_EQ(stream.Tell(), -1);
    EXPECT_EQ(stream.Size(), -1);
    EXPECT_TRUE(stream.Eof());
    EXPECT_EQ(stream.Error(), -1);
    EXPECT_FALSE(stream.PutC(1));
    EXPECT_EQ(stream.GetC(), -1);
}

TEST(RasterStdioStream, SizeKeepsThePositionAndTheFileStaysOpen) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        CRasterStdioStream stream(file);
        EXPECT_EQ(stream.Write("abcdef", 1, 6), 6u);
        ASSERT_TRUE(stream.Seek(2, SEEK_SET));
        EXPECT_EQ(stream.Size(), 6);
        EXPECT_EQ(stream.Tell(), 2);
        EXPECT_EQ(stream.GetC(), 'c');
        ASSERT_TRUE(stream.Seek(0, SEEK_CUR));  // standard I/O wants a seek between reading and writing
        EXPECT_TRUE(stream.PutC('Z'));
        EXPECT_TRUE(stream.Close());
    }
    // The caller opened the file, so the stream left it open.
    EXPECT_EQ(std::fseek(file, 3, SEEK_SET), 0);
    EXPECT_EQ(std::fgetc(file), 'Z');
    std::fclose(file);
}

TEST(RasterStdioStream, OverANullFileAnswersTheFailureValues) {
    CRasterStdioStream stream(nullptr);
    std::uint8_t byte = 0;
    EXPECT_EQ(stream.Read(&byte, 1, 1), 0u);
    EXPECT_EQ(stream.Size(), -1);
    EXPECT_EQ(stream.GetC(), -1);
    EXPECT_TRUE(stream.Eof());
    EXPECT_FALSE(stream.Seek(0, SEEK_SET));
    EXPECT_TRUE(stream.Close());
}

}  // namespace
