// A started toolkit with one empty drawing whose fonts are freed at the end,
// and the paths of the font files the tests use.
#pragma once
#include "started_toolkit.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

inline std::string sharedFont(const char* name) { return std::string(VT_SHARED_DATA_DIR) + "/fonts/" + name; }
inline std::string testFont(const char* name) { return std::string(VT_TEST_DATA_DIR) + "/fonts/" + name; }

#define SKIP_WITHOUT_SHARED_FONTS()                                                            \
    if (HostAccess(sharedFont("iso3098b_shapes.shx").c_str(), 0) != 0)                         \
    GTEST_SKIP() << "the shared font corpus is not at " << VT_SHARED_DATA_DIR << "/fonts"

// One pen-down segment of a shape.
struct Segment {
    double from[2];
    double to[2];
};

inline void collectSegment(const double from[2], const double to[2], void* userData) {
    static_cast<std::vector<Segment>*>(userData)->push_back({{from[0], from[1]}, {to[0], to[1]}});
}

class FontTest : public StartedToolkit {
protected:
    void TearDown() override {
        adFreeFonts(d);
        StartedToolkit::TearDown();
    }
    AdFont* load(const std::string& name, std::int32_t mask = AD_FONT_MASK_ANY) {
        return adLoadFont(d, name.c_str(), mask, &fallback, nullptr, 0);
    }
    AdFont* builtin(int which) const { return adGlobals->builtinFonts[which]; }

    AdFont fallback{};
    std::unique_ptr<AdDrawing> drawing_ = std::make_unique<AdDrawing>();
    AdDrawing* d = drawing_.get();
};
