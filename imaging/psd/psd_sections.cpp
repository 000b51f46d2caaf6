// PSD file sections: header, colour mode data, image resources, layer and
// mask information (passed over) and the composite image data.
#include "imaging/psd/psd_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The largest sizes a PSD (or its large-document form) holds.
constexpr std::int32_t kMaxSide = 300000;
constexpr std::int16_t kMaxChannels = 56;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

void CPsdReader::Reset() {
    Channels = Depth = ColorMode = -1;
    Height = Width = -1;
    ColorModeLength = -1;
    ColorModeData.clear();
    IndexedColors = TransparentIndex = -1;
    ResolutionX = ResolutionY = -1;
    ResolutionRead = false;
    Bitmap.FreeImageData();
}

std::uint32_t CPsdReader::ReadBigEndian(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = value << 8 | bytes[i];
    return value;
}

bool CPsdReader::Read(void* buffer, std::size_t size) { return std::fread(buffer, 1, size, File) == size; }

// Bytes from the current position to the end of the file.
long CPsdReader::Left() {
    const long here = std::ftell(File);
    if (here < 0 || std::fseek(File, 0, SEEK_END) != 0) return 0;
    const long end = std::ftell(File);
    std::fseek(File, here, SEEK_SET);
    return end > here ? end - here : 0;
}

int CPsdReader::Load(const char* path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
    if (!file) return kPsdCannotOpen;
    return Load(file.get());
}

int CPsdReader::Load(std::FILE* file) {
    Reset();
    File = file;
    int result = kPsdOk;
    int stage = kPsdBadHeader;
    try {
        if (!ReadHeader()) {
            result = kPsdBadHeader;
        } else if (stage = kPsdBadColorModeData; !ReadColorModeData()) {
            result = kPsdBadColorModeData;
        } else if (stage = kPsdBadResources; !ReadImageResources()) {
            result = kPsdBadResources;
        } else {
            SkipLayerAndMaskInfo();
            stage = kPsdBadImageData;
            result = ReadImageData();
        }
    } catch (const std::bad_alloc&) {
        result = stage;
    }
    File = nullptr;
    return result;
}

bool CPsdReader::ReadHeader() {
    std::uint8_t header[26];
    if (!Read(header, sizeof header) || std::memcmp(header, "8BPS", 4) != 0 || ReadBigEndian(header + 4, 2) != 1)
        return false;
    for (int i = 6; i < 12; ++i) {
        if (header[i] != 0) return false;
    }
    Channels = static_cast<std::int16_t>(ReadBigEndian(header + 12, 2));
    Height = static_cast<std::int32_t>(ReadBigEndian(header + 14, 4));
    Width = static_cast<std::int32_t>(ReadBigEndian(header + 18, 4));
    Depth = static_cast<std::int16_t>(ReadBigEndian(header + 22, 2));
    ColorMode = static_cast<std::int16_t>(ReadBigEndian(header + 24, 2));
    // Sizes the format cannot hold would only feed the size arithmetic below.
    return Channels >= 1 && Channels <= kMaxChannels && Height >= 1 && Height <= kMaxSide && Width >= 1 &&
           Width <= kMaxSide;
}

bool CPsdReader::ReadColorModeData() {
    std::uint8_t length[4];
    if (!Read(length, 4)) return false;
    const std::uint32_t size = ReadBigEndian(length, 4);
    if (size > static_cast<std::uint32_t>(Left())) return false;
    ColorModeLength = static_cast<std::int32_t>(size);
    ColorModeData.assign(size, 0xFE);
    return Read(ColorModeData.data(), size);
}

// Every resource is consumed whole by its stated size, whatever its kind;
// the resolution (1005), the indexed colour count (1046) and the transparent
// index (1047) are kept.
bool CPsdReader::ReadImageResources() {
    std::uint8_t field[4];
    if (!Read(field, 4)) return false;
    const std::uint64_t length = ReadBigEndian(field, 4);
    std::uint64_t consumed = 0;
    std::vector<std::uint8_t> data;
    while (consumed < length) {
        if (!Read(field, 4)) break;
        consumed += 4;
        if (std::memcmp(field, "8BIM", 4) != 0) continue;
        std::uint8_t head[3];
        if (!Read(head, 3)) return false;
        const std::uint32_t id = ReadBigEndian(head, 2), nameLength = head[2];
        // The name and its length byte are padded to an even size.
        const std::uint32_t nameBytes = nameLength + (nameLength % 2 == 0 ? 1 : 0);
        if (std::fseek(File, static_cast<long>(nameBytes), SEEK_CUR) != 0 || !Read(field, 4)) return false;
        std::uint64_t size = ReadBigEndian(field, 4);
        size += size & 1;
        consumed += 2 + 1 + nameBytes + 4 + size;
        if (size > static_cast<std::uint64_t>(Left())) return false;
        if (id == 1005 || id == 1046 || id == 1047) {
            data.resize(static_cast<std::size_t>(size));
            if (!Read(data.data(), data.size())) return false;
            if (id == 1005 && size >= 16) {
                ResolutionX = static_cast<std::int32_t>(ReadBigEndian(data.data(), 2));
                ResolutionY = static_cast<std::int32_t>(ReadBigEndian(data.data() + 8, 2));
                ResolutionRead = true;
            } else if (id == 1046 && size >= 2) {
                IndexedColors = static_cast<std::int16_t>(ReadBigEndian(data.data(), 2));
            } else if (id == 1047 && size >= 2) {
                TransparentIndex = static_cast<std::int16_t>(ReadBigEndian(data.data(), 2));
            }
        } else if (std::fseek(File, static_cast<long>(size), SEEK_CUR) != 0) {
            return false;
        }
    }
    return consumed == length;
}

void CPsdReader::SkipLayerAndMaskInfo() {
    std::uint8_t field[4];
    if (!Read(field, 4)) return;
    const long size = static_cast<long>(std::min<std::uint32_t>(ReadBigEndian(field, 4), static_cast<std::uint32_t>(Left())));
    std::fseek(File, size, SEEK_CUR);
}

// A file that ends before its image data is whole, or is too small for the
// picture its header names, has lost the picture: that is a failure, not an
// empty success. Run-length data cut short still gives what it holds.
int CPsdReader::ReadImageData() {
    std::uint8_t field[2];
    if (!Read(field, 2)) return kPsdBadImageData;
    const std::uint32_t compression = ReadBigEndian(field, 2);
    if (compression == 2) return kPsdZip;
    if (compression == 3) return kPsdZipPrediction;
    if (compression > 1) return kPsdUnknownCompression;
    if (Depth == 1) return kPsdBitmapMode;
    if (Depth != 8 && Depth != 16) return kPsdUnsupportedDepth;
    switch (ColorMode) {
    case 1: case 2: case 3: case 4: case 7: case 8: case 9: break;
    default: return kPsdOk;
    }
    const std::uint32_t sampleBytes = static_cast<std::uint32_t>(Depth) / 8;
    const std::uint64_t pixels = std::uint64_t(Width) * std::uint64_t(Height);
    const std::uint64_t plane = pixels * sampleBytes;
    const std::uint64_t total = plane * static_cast<std::uint64_t>(Channels);
    const std::uint64_t left = static_cast<std::uint64_t>(Left());
    std::vector<std::uint8_t> planar;
    if (compression == 0) {
        // Raw planes one after another.
        if (total > left) return kPsdBadImageData;
        planar.resize(static_cast<std::size_t>(total));
        if (!Read(planar.data(), planar.size())) return kPsdBadImageData;
    } else {
        // A count byte and a byte give at most 128: a file cannot hold more than that.
        const std::uint64_t counts = std::uint64_t{2} * static_cast<std::uint64_t>(Channels) * static_cast<std::uint64_t>(Height);
        if (counts > left || total > (left - counts) * 64) return kPsdBadImageData;
        std::fseek(File, static_cast<long>(counts), SEEK_CUR);
        planar.assign(static_cast<std::size_t>(total), 0xFE);
        for (std::int32_t channel = 0; channel < Channels; ++channel) {
            std::uint8_t* out = planar.data() + channel * plane;
            std::uint64_t produced = 0;
            while (produced < plane) {
                const int count = std::fgetc(File);
                if (count < 0) break;
                if (count < 128) {
                    const std::uint64_t n = std::min<std::uint64_t>(count + 1u, plane - produced);
                    if (!Read(out + produced, static_cast<std::size_t>(n))) break;
                    produced += n;
                    if (n < count + 1u) std::fseek(File, static_cast<long>(count + 1u - n), SEEK_CUR);
                } else if (count > 128) {
                    const int value = std::fgetc(File);
                    if (value < 0) break;
                    const std::uint64_t n = std::min<std::uint64_t>(257u - count, plane - produced);
                    std::memset(out + produced, value, static_cast<std::size_t>(n));
                    produced += n;
                }
            }
        }
    }
    // Planes to pixels: sample i of pixel k at (k x channels + i) x sample bytes.
    std::vector<std::uint8_t> pixelData(planar.size());
    for (std::int32_t channel = 0; channel < Channels; ++channel) {
        const std::uint8_t* in = planar.data() + channel * plane;
        for (std::uint64_t k = 0; k < pixels; ++k) {
            std::memcpy(pixelData.data() + (k * static_cast<std::uint64_t>(Channels) + channel) * sampleBytes,
                        in + k * sampleBytes, sampleBytes);
        }
    }
    planar.clear();
    planar.shrink_to_fit();
    const int made = MakeBitmap();
    if (made != kPsdOk) return made;
    ConvertPixels(pixelData, sampleBytes);
    return kPsdOk;
}

int CPsdReader::MakeBitmap() {
    if (!Bitmap.Create(static_cast<std::uint32_t>(Width), static_cast<std::uint32_t>(Height), 24, kRasterBmp))
        return kPsdNoBitmap;
    Bitmap.FillPixels(255);
    Bitmap.Header.biXPelsPerMeter = ResolutionRead ? ResolutionX * 10000 / 254 : 3780;
    Bitmap.Header.biYPelsPerMeter = ResolutionRead ? ResolutionY * 10000 / 254 : 3780;
    std::memcpy(Bitmap.Dib, &Bitmap.Header, sizeof Bitmap.Header);
    return kPsdOk;
}

bool CPsdReader::DetachPicture(CRasterImage& target) {
    if (!Bitmap.IsValid()) return false;
    return target.TakeOver(Bitmap);
}

#ifdef _WIN32
HBITMAP CPsdReader::DetachBitmap() {
    if (!Bitmap.IsValid()) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader = Bitmap.Header;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return nullptr;
    std::memcpy(bits, Bitmap.GetPixels(), Bitmap.Header.biSizeImage);
    Bitmap.FreeImageData();
    return bitmap;
}
#endif
