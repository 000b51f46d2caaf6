// The LZW decoder of GIF image data, with its read-ahead over the stream.
#include "imaging/gif/gif_codec.h"

#include <cstdio>
#include <new>
#include <vector>

namespace {

constexpr int kMaxCodes = 4096;

// Data bytes of the image's sub-blocks, read through a 16 KB read-ahead
// buffer; Finish puts the stream right after the last sub-block.
class SubBlockReader {
public:
    explicit SubBlockReader(CRasterStream* stream) : Stream(stream), Buffer(16384) {}

    int Raw() {
        if (Position == Fill) {
            Fill = Stream->Read(Buffer.data(), 1, Buffer.size() - 1);
            Position = 0;
            if (Fill == 0) return -1;
        }
        return Buffer[Position++];
    }

    int Next() {
        if (BlockPosition == BlockLength) {
            if (Done) return -1;
            const int length = Raw();
            BlockLength = BlockPosition = 0;
            if (length <= 0) {
                Done = true;
                return -1;
            }
            for (int i = 0; i < length; ++i) {
                const int byte = Raw();
                if (byte < 0) {
                    Done = true;
                    break;
                }
                Block[BlockLength++] = static_cast<std::uint8_t>(byte);
            }
            if (BlockLength == 0) return -1;
        }
        return Block[BlockPosition++];
    }

    void Finish() {
        while (!Done) {
            const int length = Raw();
            if (length <= 0) break;
            for (int i = 0; i < length && !Done; ++i) Done = Raw() < 0;
        }
        Stream->Seek(-static_cast<long>(Fill - Position), SEEK_CUR);
    }

private:
    CRasterStream* Stream;
    std::vector<std::uint8_t> Buffer;
    std::size_t Position = 0, Fill = 0;
    std::uint8_t Block[255] = {};
    int BlockLength = 0, BlockPosition = 0;
    bool Done = false;
};

// Rows of the frame from the top, in interlace order when asked: every 8th
// row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
class LineWriter {
public:
    LineWriter(CRasterImage& frame, bool interlaced)
        : Frame(frame), Height(frame.GetHeight()), Interlaced(interlaced), Step(interlaced ? 8 : 1) {}

    int Put(const std::uint8_t* line) {
        if (Row >= Height) return kGifLzwTooManyRows;
        std::uint8_t* target = Frame.GetPixels(Height - 1 - Row);
        const std::uint32_t width = Frame.GetWidth();
        switch (Frame.GetBpp()) {
        case 8:
            for (std::uint32_t x = 0; x < width; ++x) target[x] = line[x];
            break;
        case 4:
            for (std::uint32_t x = 0; x < width; x += 2) {
                const std::uint8_t low = x + 1 < width ? line[x + 1] & 15 : 0;
                target[x / 2] = static_cast<std::uint8_t>((line[x] & 15) << 4 | low);
            }
            break;
        default:
            for (std::uint32_t x = 0; x < width; x += 8) {
                std::uint8_t byte = 0;
                for (std::uint32_t bit = 0; bit < 8 && x + bit < width; ++bit) byte |= (line[x + bit] & 1) << (7 - bit);
                target[x / 8] = byte;
            }
            break;
        }
        Row += Step;
        while (Interlaced && Row >= Height && Pass < 3) {
            static constexpr std::uint32_t kStart[] = {4, 2, 1};
            Row = kStart[Pass];
            Step = Pass == 0 ? 8 : Step / 2;
            ++Pass;
        }
        return 0;
    }

private:
    CRasterImage& Frame;
    std::uint32_t Height;
    bool Interlaced;
    std::uint32_t Row = 0, Step, Pass = 0;
};

class CodeReader {
public:
    explicit CodeReader(SubBlockReader& bytes, int end) : Bytes(bytes), End(end) {}
    int Read(int size) {
        while (Count < size) {
            const int byte = Bytes.Next();
            if (byte < 0) return End;
            Accumulator |= static_cast<std::uint32_t>(byte) << Count;
            Count += 8;
        }
        const int code = static_cast<int>(Accumulator & ((1u << size) - 1));
        Accumulator >>= size;
        Count -= size;
        return code;
    }

private:
    SubBlockReader& Bytes;
    int End;
    std::uint32_t Accumulator = 0;
    int Count = 0;
};

int Decode(SubBlockReader& bytes, CRasterImage& frame, bool interlaced) {
    const int minimum = bytes.Raw();
    if (minimum < 2 || minimum > 9) return kGifLzwBadCodeSize;
    const int clear = 1 << minimum, end = clear + 1, firstFree = clear + 2;
    int size = minimum + 1, nextFree = firstFree, limit = 1 << size;

    const std::uint32_t width = frame.GetWidth();
    std::vector<std::uint8_t> line, stack;
    std::vector<std::uint8_t> suffix;
    std::vector<std::uint16_t> prefix;
    try {
        line.resize(std::size_t{width} + 1);
        stack.resize(kMaxCodes);
        suffix.resize(kMaxCodes);
        prefix.resize(kMaxCodes);
    } catch (const std::bad_alloc&) {
        return kGifLzwNoMemory;
    }
    LineWriter writer(frame, interlaced);
    CodeReader codes(bytes, end);
    std::uint32_t filled = 0;
    int oldCode = -1, firstChar = 0;

    // Pops the stack (last pushed first) into the line, handing on full lines.
    auto emit = [&](int depth) {
        while (depth > 0) {
            line[filled++] = stack[--depth];
            if (filled == width) {
                filled = 0;
                if (const int result = writer.Put(line.data())) return result;
            }
        }
        return 0;
    };

    for (;;) {
        int code = codes.Read(size);
        if (code == end) break;
        if (code == clear || oldCode < 0) {
            size = minimum + 1;
            nextFree = firstFree;
            limit = 1 << size;
            while (code == clear) code = codes.Read(size);
            if (code == end) break;
            if (code >= nextFree) code = 0;
            stack[0] = static_cast<std::uint8_t>(code);
            oldCode = firstChar = code;
            if (const int result = emit(1)) return result;
            continue;
        }
        int current = code, depth = 0;
        if (code >= nextFree) {
            // Only code == nextFree is legal (the string just being made);
            // anything beyond repeats the last string.
            if (code > nextFree) current = oldCode;
            stack[depth++] = static_cast<std::uint8_t>(firstChar);
            code = oldCode;
        }
        // Every entry's prefix is an older code, so the chain ends; the bound
        // only guards the stack.
        while (code >= firstFree && depth < kMaxCodes - 1) {
            stack[depth++] = suffix[code];
            code = prefix[code];
        }
        const int root = code >= clear ? 0 : code;
        stack[depth++] = static_cast<std::uint8_t>(root);
        if (nextFree < limit) {
            suffix[nextFree] = static_cast<std::uint8_t>(root);
            prefix[nextFree] = static_cast<std::uint16_t>(oldCode);
            ++nextFree;
            oldCode = current;
            firstChar = root;
        }
        if (nextFree >= limit && size < 12) {
            limit <<= 1;
            ++size;
        }
        if (const int result = emit(depth)) return result;
    }
    if (filled == 0) return 0;
    // A last short line is written too, index 0 to its right.
    for (std::uint32_t x = filled; x < width; ++x) line[x] = 0;
    return writer.Put(line.data());
}

}  // namespace

int DecodeGifLzw(CRasterStream* stream, CRasterImage& frame, bool interlaced) {
    SubBlockReader bytes(stream);
    const int result = Decode(bytes, frame, interlaced);
    bytes.Finish();
    return result;
}
