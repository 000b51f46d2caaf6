// A render target that keeps what it is sent.
#pragma once

#include <vector>

#include "toolkit/solids/gl_interface.h"
#include "toolkit/solids/vector.h"

struct RecordingTarget : GL_Interface {
    explicit RecordingTarget(std::int32_t perSpan) : perSpan(perSpan) {}
    void begin(std::int32_t mode) override { modes.push_back(mode); }
    void end() override { ++ends; }
    void vertex(double x, double y, double z) override { vertices.emplace_back(x, y, z); }
    std::int32_t segmentsPerSpan() override { return perSpan; }

    std::int32_t perSpan;
    std::vector<std::int32_t> modes;
    int ends = 0;
    std::vector<aPoint> vertices;
};
