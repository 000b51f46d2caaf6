// Every solids test starts from the module's start state and captures what the
// code writes to the diagnostic streams.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/module_state.h"
#include "toolkit/solids/curve.h"
#include "toolkit/solids/vector.h"

class SolidsTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetSolidsState();
        setDiagnosticSink(&SolidsTest::capture, this);
    }
    void TearDown() override { resetSolidsState(); }

    std::string out, err;

private:
    static void capture(DiagnosticStream stream, std::string_view text, void* context) {
        auto* self = static_cast<SolidsTest*>(context);
        (stream == DiagnosticStream::out ? self->out : self->err).append(text);
    }
};

inline void expectNear(const aVector& got, const aVector& want, double tol = 1e-12) {
    EXPECT_NEAR(got.x, want.x, tol);
    EXPECT_NEAR(got.y, want.y, tol);
    EXPECT_NEAR(got.z, want.z, tol);
}

inline void expectNear(const aPoint& got, const aPoint& want, double tol = 1e-12) {
    expectNear(aVector(got), aVector(want), tol);
}

using Curves = std::vector<std::unique_ptr<c_Curve>>;

// Takes ownership of the n curves a surface wrote.
inline Curves take(c_Curve** curves, int n) {
    Curves out;
    for (int i = 0; i < n; ++i) out.emplace_back(curves[i]);
    return out;
}
