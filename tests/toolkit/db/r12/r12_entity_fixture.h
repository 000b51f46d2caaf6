// Synthetic fixed-record DWG files: a byte builder for entity records and a
// drawing whose reader state lays the entities, blocks and extras sections
// out in a file of the test's own.
#pragma once
#include "toolkit/ad.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/r12/dwg_r12.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"

// Little-endian fields, appended in file order.
class Bytes {
public:
    Bytes& u8(int v) {
        s_.push_back(static_cast<char>(v & 0xFF));
        return *this;
    }
    Bytes& i16(int v) { return u8(v).u8(v >> 8); }
    Bytes& i32(std::uint32_t v) { return i16(static_cast<int>(v & 0xFFFF)).i16(static_cast<int>(v >> 16)); }
    Bytes& d(double v) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        for (int i = 0; i < 8; ++i) u8(static_cast<int>(bits >> (8 * i)));
        return *this;
    }
    Bytes& p2(double x, double y) { return d(x).d(y); }
    Bytes& p3(double x, double y, double z) { return d(x).d(y).d(z); }
    Bytes& text(const std::string& t) {
        i16(static_cast<int>(t.size()));
        s_ += t;
        return *this;
    }
    Bytes& raw(const std::string& bytes) {
        s_ += bytes;
        return *this;
    }
    const std::string& str() const { return s_; }
    std::size_t size() const { return s_.size(); }

private:
    std::string s_;
};

// The start of a record's body: layer index and option word.
inline Bytes lead(int layer, int options) { return Bytes().i16(layer).i16(options); }

// A whole record: type, flags, the length of the whole record, the body, a
// CRC word.
inline std::string record(int type, int flags, const Bytes& body) {
    Bytes r;
    r.u8(type).u8(flags).i16(static_cast<int>(4 + body.size() + 2)).raw(body.str()).i16(0);
    return r.str();
}

// A jump record to the raw address word.
inline std::string jumpRecord(std::uint32_t address) { return record(18, 0, Bytes().i32(address)); }

// A LINE of AC1009 with its own z (used where any entity will do).
inline std::string line1009(double x) { return record(1, 0, lead(0, 0).p2(x, 0).d(0).p2(x, 1).d(0)); }

class R12EntityTest : public StartedToolkit {
protected:
    static constexpr std::int64_t kLead = 32;  // bytes before the entities section

    void SetUp() override {
        StartedToolkit::SetUp();
        d = adCreateDrawing();
        ASSERT_NE(d, nullptr);
        d->header = static_cast<AdHeaderVars*>(HostAlloc(sizeof(AdHeaderVars)));
        std::memset(d->header, 0, sizeof(AdHeaderVars));
        dwg = adDwgBeginFile(d);
        ASSERT_NE(dwg, nullptr);
        data.reset(new AdEntityData);
    }
    void TearDown() override {
        adCloseDrawing(d);
        StartedToolkit::TearDown();
    }

    // Writes the lead, the entities, the blocks and the extras one after
    // another and begins the entities section.
    void open(std::int16_t version, const std::string& entities, const std::string& blocks = "",
              const std::string& extras = "") {
        const std::string file = std::string(static_cast<std::size_t>(kLead), '\0') + entities + blocks + extras;
        dwg->entitiesStart = static_cast<std::int32_t>(kLead);
        dwg->entitiesEnd = dwg->entitiesStart + static_cast<std::int32_t>(entities.size());
        dwg->blocksStart = dwg->entitiesEnd;
        dwg->blocksEnd = dwg->blocksStart + static_cast<std::int32_t>(blocks.size());
        dwg->extrasStart = extras.empty() ? 0 : dwg->blocksEnd;
        dwg->extrasEnd = extras.empty() ? 0 : dwg->extrasStart + static_cast<std::int32_t>(extras.size());
        dwg->fileLength = static_cast<std::int64_t>(file.size());
        d->version = version;
        d->file = HostOpenRead(dir.write("r12.dwg", file).c_str());
        ASSERT_NE(d->file, nullptr);
        ASSERT_EQ(adR12BeginEntities(d), 1);
    }

    // Reads the next record into a data record full of garbage, so that a
    // field the reader leaves unset shows.
    int next() {
        header = AdEntityHeader{};
        std::memset(data.get(), 0x5A, sizeof(AdEntityData));
        flag = 0;
        adSetError(0);
        return adR12EntityNext(d, &header, data.get(), &flag);
    }

    AdDrawing* d = nullptr;
    AdDwgFile* dwg = nullptr;
    TempDir dir;
    AdEntityHeader header{};
    std::unique_ptr<AdEntityData> data;
    std::uint8_t flag = 0;
};
