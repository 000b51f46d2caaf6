// Run-length coded BMP pixels. Both forms share the escapes after a zero
// count: 0 end of line, 1 end of bitmap, 2 delta (dx, dy), 3 to 255 an
// absolute run of that many pixels padded to a 16-bit boundary.
#include "imaging/bmp/bmp_image.h"

namespace {

// Writes pixel indices at a position that moves right and up, dropping what
// falls outside the picture.
class RleCursor {
public:
    explicit RleCursor(CRasterImage& image) : image_(image) {}
    bool Done() const { return y_ >= static_cast<std::int64_t>(image_.GetHeight()); }
    // The row with its padding: runs may fill the padding, not pass it.
    bool RowFull() const { return x_ >= std::int64_t{image_.GetRowBytes()} * 8 / image_.GetBpp(); }
    void Put(std::uint8_t index) {
        image_.SetIndexAt(x_, y_, index);
        ++x_;
    }
    void NextLine() {
        x_ = 0;
        ++y_;
    }
    void Move(int dx, int dy) {
        x_ += dx;
        y_ += dy;
    }

private:
    CRasterImage& image_;
    std::int64_t x_ = 0;
    std::int64_t y_ = 0;
};

// The escape after a zero count; false ends the decoding.
template <class AbsoluteRun>
bool Escape(CRasterStream* stream, RleCursor& cursor, AbsoluteRun absoluteRun) {
    const int code = stream->GetC();
    switch (code) {
    case -1:
    case 1: return false;
    case 0: cursor.NextLine(); return true;
    case 2: {
        const int dx = stream->GetC();
        const int dy = stream->GetC();
        if (dx < 0 || dy < 0) return false;
        cursor.Move(dx, dy);
        return true;
    }
    default: return absoluteRun(code);
    }
}

}  // namespace

void DecodeRle8(CRasterStream* stream, CRasterImage& image) {
    RleCursor cursor(image);
    while (!cursor.Done()) {
        const int count = stream->GetC();
        if (count < 0) return;
        if (count > 0) {
            const int value = stream->GetC();
            if (value < 0) return;
            for (int i = 0; i < count; ++i) {
                // A run that would cross the row's end ends the whole picture.
                if (cursor.RowFull()) return;
                cursor.Put(static_cast<std::uint8_t>(value));
            }
            continue;
        }
        const bool more = Escape(stream, cursor, [&](int run) {
            for (int i = 0; i < run; ++i) {
                const int value = stream->GetC();
                if (value < 0) return false;
                cursor.Put(static_cast<std::uint8_t>(value));
            }
            if (run & 1) stream->GetC();
            return true;
        });
        if (!more) return;
    }
}

void DecodeRle4(CRasterStream* stream, CRasterImage& image) {
    RleCursor cursor(image);
    while (!cursor.Done()) {
        const int count = stream->GetC();
        if (count < 0) return;
        if (count > 0) {
            // The run alternates the value's two nibbles, the high one first.
            const int value = stream->GetC();
            if (value < 0) return;
            for (int i = 0; i < count; ++i) cursor.Put(static_cast<std::uint8_t>(i & 1 ? value & 15 : value >> 4));
            continue;
        }
        const bool more = Escape(stream, cursor, [&](int run) {
            int value = 0;
            for (int i = 0; i < run; ++i) {
                if ((i & 1) == 0 && (value = stream->GetC()) < 0) return false;
                cursor.Put(static_cast<std::uint8_t>(i & 1 ? value & 15 : value >> 4));
            }
            // The run's (run + 1) / 2 bytes are padded to an even count.
            if ((run + 1) & 2) stream->GetC();
            return true;
        });
        if (!more) return;
    }
}
