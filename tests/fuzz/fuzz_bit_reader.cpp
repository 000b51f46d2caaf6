// The DWG bit reader's primitives reading an arbitrary buffer to its end. The
// first byte tells how many of the next bytes (at most 31) choose the order of
// the reads, cycled; the rest is the bit data. With no order given every
// primitive is taken in turn.
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// One read, chosen by op; arg gives the size of the reads that take one.
void readOne(std::uint8_t op, std::uint8_t arg) {
    double values[3];
    double more[3];
    const double defaults[3] = {1.0, -2.0, 0.5};
    char text[64];
    std::uint8_t bytes[32];
    AdHandle handle;
    AdHandleEntry entry;
    const AdHandle base = {{0, 0, 0, 0, 0, 0, 0x12, 0x34}};
    switch (op % 20) {
    case 0: adBitReadBit(); break;
    case 1: adBitSkip(arg % 40); break;
    case 2: adBitReadByte(); break;
    case 3: adBitReadShort(); break;
    case 4: adBitReadLong(); break;
    case 5: adBitReadRawLong(); break;
    case 6: adBitReadDouble(values); break;
    case 7: adBitReadRawDouble(values); break;
    case 8: adBitReadRaw2D(values); break;
    case 9: adBitRead3D(values); break;
    case 10: adBitReadDefDouble(values, defaults[0]); break;
    case 11: adBitReadDefPoint3D(values, defaults); break;
    case 12: adBitReadOptionalDouble(values); break;
    case 13: adBitReadFlaggedPoints(values, more); break;
    case 14: adBitReadText(text, 1 + arg % static_cast<std::uint8_t>(sizeof text)); break;
    case 15: adBitReadHandle(&handle); break;
    case 16: adBitReadHandleRef(&entry); break;
    case 17: adBitReadRelHandle(&base, &handle); break;
    case 18: adBitReadBytes(bytes, arg % static_cast<std::uint8_t>(sizeof bytes)); break;
    default: adBitReadPosition(); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static AdGlobalState state;
    state = AdGlobalState{};
    adGlobals = &state;
    if (size == 0 || size > 0x10000000) return 0;

    const std::size_t orderCount = std::min<std::size_t>(data[0] % 32, size - 1);
    const std::uint8_t* order = data + 1;
    // A buffer of exactly the data's size, so that the sanitizer sees any read past it.
    std::vector<std::uint8_t> bits(data + 1 + orderCount, data + size);
    AdBitStream stream{};
    stream.current = bits.data();
    stream.bytesLeft = static_cast<std::int32_t>(bits.size());
    stream.bitMask = 0x100;
    stream.pieceCount = 1;
    state.bitStream = &stream;

    // Most reads take a bit or more; the bound ends a run of those that take none.
    const std::size_t limit = 8 * bits.size() + 32;
    for (std::size_t i = 0; !stream.failed && i < limit; ++i) {
        const std::uint8_t op = orderCount ? order[i % orderCount] : static_cast<std::uint8_t>(i);
        readOne(op, static_cast<std::uint8_t>(op >> 3));
    }
    adGlobals = nullptr;
    return 0;
}
