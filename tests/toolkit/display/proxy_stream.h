// A writer of proxy-graphics streams for the tests: every record type with
// its padding rules (strings to 4 bytes, short arrays to an even count),
// and the raw pieces (frames of any size, bare values) that make the
// damaged streams a reader must survive.
#pragma once
#include "toolkit/ad.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using ProxyPoint = std::array<double, 3>;

class ProxyStream {
public:
    ProxyStream() { bytes.resize(8, 0); }  // the preamble

    // Raw values.
    ProxyStream& i32(std::int32_t v) { return raw(&v, 4); }
    ProxyStream& i16(std::int16_t v) { return raw(&v, 2); }
    ProxyStream& f64(double v) { return raw(&v, 8); }
    ProxyStream& point(const ProxyPoint& p) { return f64(p[0]).f64(p[1]).f64(p[2]); }
    ProxyStream& points(const std::vector<ProxyPoint>& ps) {
        for (const ProxyPoint& p : ps) point(p);
        return *this;
    }
    // The string, its NUL and pads up to a multiple of 4.
    ProxyStream& string(const std::string& s) {
        raw(s.data(), s.size());
        const std::size_t total = (s.size() + 1 + 3) / 4 * 4;
        bytes.resize(bytes.size() + total - s.size(), 0);
        return *this;
    }
    // n int16 values and one pad value when n is odd.
    ProxyStream& shorts(const std::vector<std::int16_t>& v) {
        for (std::int16_t x : v) i16(x);
        if (v.size() % 2) i16(0);
        return *this;
    }
    ProxyStream& longs(const std::vector<std::int32_t>& v) {
        for (std::int32_t x : v) i32(x);
        return *this;
    }
    ProxyStream& raw(const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
        return *this;
    }

    // A record: begin writes a frame whose size end fills in; a frame may
    // also be written with any size at all.
    std::size_t begin(std::int32_t type) {
        const std::size_t at = bytes.size();
        i32(0).i32(type);
        return at;
    }
    ProxyStream& end(std::size_t at, std::int32_t surplus = 0) {
        bytes.resize(bytes.size() + static_cast<std::size_t>(surplus), 0xCD);
        const auto size = static_cast<std::int32_t>(bytes.size() - at);
        std::memcpy(&bytes[at], &size, 4);
        return *this;
    }
    ProxyStream& frame(std::int32_t size, std::int32_t type) { return i32(size).i32(type); }

    // Whole records.
    ProxyStream& circle(const ProxyPoint& c, double r, const ProxyPoint& n = {0, 0, 1}) {
        const std::size_t at = begin(2);
        return point(c).f64(r).point(n).end(at);
    }
    ProxyStream& circle3(const ProxyPoint& a, const ProxyPoint& b, const ProxyPoint& c) {
        const std::size_t at = begin(3);
        return point(a).point(b).point(c).end(at);
    }
    ProxyStream& arc(const ProxyPoint& c, double r, const ProxyPoint& n, const ProxyPoint& start, double sweep) {
        const std::size_t at = begin(4);
        return point(c).f64(r).point(n).point(start).f64(sweep).i32(0).end(at);
    }
    ProxyStream& arc3(const ProxyPoint& a, const ProxyPoint& b, const ProxyPoint& c) {
        const std::size_t at = begin(5);
        return point(a).point(b).point(c).i32(0).end(at);
    }
    ProxyStream& polyline(const std::vector<ProxyPoint>& ps, std::int32_t type = 6) {
        const std::size_t at = begin(type);
        return i32(static_cast<std::int32_t>(ps.size())).points(ps).end(at);
    }
    ProxyStream& polygon(const std::vector<ProxyPoint>& ps) { return polyline(ps, 7); }
    // Trailer blocks are written by the caller between begin and end.
    ProxyStream& meshHead(std::size_t* at, std::int32_t rows, std::int32_t columns, const std::vector<ProxyPoint>& ps) {
        *at = begin(8);
        return i32(rows).i32(columns).points(ps);
    }
    ProxyStream& shellHead(std::size_t* at, const std::vector<ProxyPoint>& ps, const std::vector<std::int32_t>& faces) {
        *at = begin(9);
        i32(static_cast<std::int32_t>(ps.size())).points(ps);
        return i32(static_cast<std::int32_t>(faces.size())).longs(faces);
    }
    ProxyStream& text(const ProxyPoint& at, const ProxyPoint& normal, const ProxyPoint& direction, double height,
                      const std::string& s) {
        const std::size_t start = begin(10);
        return point(at).point(normal).point(direction).f64(height).f64(1.0).f64(0.0).string(s).end(start);
    }
    ProxyStream& fontText(const ProxyPoint& at, const ProxyPoint& normal, const std::string& s,
                          const std::string& font, std::int32_t surplus = 0) {
        const std::size_t start = begin(11);
        point(at).point(normal).point({1, 0, 0}).string(s).i32(-1).i32(0);
        f64(2.5).f64(1.0).f64(0.0).f64(0.0).longs({1, 0, 0, 0, 1});
        return string(font).string("").end(start, surplus);
    }
    ProxyStream& xline(const ProxyPoint& a, const ProxyPoint& b, std::int32_t type = 12) {
        const std::size_t at = begin(type);
        return point(a).point(b).end(at);
    }
    ProxyStream& value(std::int32_t type, std::int32_t v) {
        const std::size_t at = begin(type);
        return i32(v).end(at);
    }
    ProxyStream& colour(std::int32_t v) { return value(14, v); }
    ProxyStream& layer(std::int32_t v) { return value(16, v); }
    ProxyStream& linetype(std::int32_t v) { return value(18, v); }
    ProxyStream& fillMode(std::int32_t v) { return value(20, v); }
    // Type 27 with identity matrices.
    ProxyStream& clip(const std::vector<std::array<double, 2>>& ps) {
        const std::size_t at = begin(27);
        point({0, 0, 0}).point({0, 0, 0}).i32(static_cast<std::int32_t>(ps.size()));
        for (const auto& p : ps) f64(p[0]).f64(p[1]);
        for (int m = 0; m < 2; ++m)
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 4; ++c) f64(r == c ? 1.0 : 0.0);
        return i32(0).i32(0).f64(0.0).f64(0.0).i32(0).end(at);
    }
    // Any type with a payload of n bytes.
    ProxyStream& opaque(std::int32_t type, std::size_t n) {
        const std::size_t at = begin(type);
        bytes.resize(bytes.size() + n, 0x5A);
        return end(at);
    }

    // A store holding the stream; the caller frees it.
    AdStore* store() const {
        AdStore* s = adStoreCreate(AD_STORE_BLOCK_SIZE);
        AdStream* out = adStreamOpenWrite(s);
        adStreamWrite(out, bytes.data(), static_cast<std::int32_t>(bytes.size()));
        adStreamCloseWrite(out);
        return s;
    }

    std::vector<std::uint8_t> bytes;
};
