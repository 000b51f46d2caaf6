// Extended-data items for the expectations of tests, one builder per kind of
// value.
#pragma once
#include "toolkit/ad.h"

#include <cstring>

#include "handle_values.h"
#include "xdata_bytes.h"

inline AdXdataItem Expect(std::int16_t code) {
    AdXdataItem item{};
    item.code = code;
    return item;
}
inline AdXdataItem Text(const char* text) {
    AdXdataItem item = Expect(1000);
    std::strcpy(item.value.text, text);
    return item;
}
inline AdXdataItem Brace(char brace) {
    AdXdataItem item = Expect(1002);
    item.value.text[0] = brace;
    return item;
}
inline AdXdataItem Handle(std::int16_t code, std::uint64_t handle) {
    AdXdataItem item = Expect(code);
    item.value.handle = H(handle);
    return item;
}
inline AdXdataItem Point(std::int16_t code, double x, double y, double z) {
    AdXdataItem item = Expect(code);
    item.value.point[0] = x;
    item.value.point[1] = y;
    item.value.point[2] = z;
    return item;
}
inline AdXdataItem Real(std::int16_t code, double value) {
    AdXdataItem item = Expect(code);
    item.value.real = value;
    return item;
}
inline AdXdataItem Int16(std::int16_t value) {
    AdXdataItem item = Expect(1070);
    item.value.int16 = value;
    return item;
}
inline AdXdataItem Int32(std::int32_t value) {
    AdXdataItem item = Expect(1071);
    item.value.int32 = value;
    return item;
}
inline AdXdataItem Chunk(const Bytes& bytes) {
    AdXdataItem item = Expect(1004);
    item.length = static_cast<std::int16_t>(bytes.size());
    std::memcpy(item.value.bytes, bytes.data(), bytes.size());
    return item;
}
