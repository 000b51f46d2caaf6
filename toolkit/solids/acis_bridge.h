// The bridge between the display engine's request and the solid-model code:
// the SAT text streamed from the request's read callback, and the render
// target that hands the wireframe to its begin, vertex and end callbacks.
#pragma once

#include <array>
#include <streambuf>
#include <vector>

#include "toolkit/solids/acis_request.h"
#include "toolkit/solids/gl_interface.h"
#include "toolkit/solids/transform.h"

class satParser;

// An input-only stream buffer over the request's read callback, refilled 512
// bytes at a time. The last byte of the previous chunk stays in front of the
// new one, so one character can always be put back, whatever the chunks.
class satStreamBuf : public std::streambuf {
public:
    static constexpr int kChunk = 512;

    explicit satStreamBuf(AdAcisRequest* request);

protected:
    int_type underflow() override;
    int_type overflow(int_type) override { return traits_type::eof(); }
    int_type pbackfail(int_type c) override;

private:
    AdAcisRequest* request_;
    std::array<char, 1 + kChunk> buffer_{};
};

// The render target of the display path: arcs and NURBS curves become
// polylines, vertices go to the request's callbacks through the body
// transform, and everything else (colours, lists) is dropped.
class GL_CallbackInterface : public GL_Interface {
public:
    explicit GL_CallbackInterface(AdAcisRequest* request) : request_(request) {}

    void drawArc(c_Conic* curve, double t0, double t1, GL_Renderer* renderer) override;
    bool drawNURBS(c_NURBSCurve* curve, GL_Renderer* renderer) override;
    void begin(std::int32_t mode) override { request_->begin(mode, request_->userData); }
    void end() override { request_->end(request_->userData); }
    void vertex(double x, double y, double z) override;
    void pushMatrix() override { stack_.push_back({current_, transformed_}); }
    void popMatrix() override;
    void multMatrix(const double* columnMajor16) override;
    std::int32_t segmentsPerSpan() override { return request_->segmentsPerSpan; }

private:
    AdAcisRequest* request_;
    aTransform current_;
    bool transformed_ = false;
    struct Saved {
        aTransform transform;
        bool transformed;
    };
    std::vector<Saved> stack_;
};

// Renders every body of a parser that read its text in full.
void adAcisTessellate(satParser* parser, AdAcisRequest* request);
